// vi emulation: what it needs of its editor and of the application's frame.
#include <qelkit/vi.h>

#include <wx/app.h>
#include <wx/stc/stc.h>
#include <wx/utils.h>

#include <qelkit/status.h>

bool QelVi::IsReadOnly() const
{
    return m_STC->GetReadOnly();
}

wxString QelVi::GetEOL() const
{
    switch (m_STC->GetEOLMode()) {
    case wxSTC_EOL_CR:
        return "\r";
    case wxSTC_EOL_LF:
        return "\n";
    default:
        return "\r\n";
    }
}

bool QelVi::FindNext(const wxString& text, bool find_next) const
{
    if (text.empty()) return false;
    // From the caret (forward) or the selection start (backward) to the
    // document's end, then once around from the other end.
    for (const bool wrapped : {false, true}) {
        const int length = m_STC->GetLength();
        const int start = wrapped
            ? (find_next ? 0 : length)
            : (find_next ? m_STC->GetCurrentPos() : m_STC->GetSelectionStart());
        m_STC->SetTargetRange(start, find_next ? length : 0);
        m_STC->SetSearchFlags(m_SearchFlags);
        if (m_STC->SearchInTarget(text) < 0) {
            QelFindResult(text, find_next, wrapped);
            continue;
        }
        wxLogStatus(wxEmptyString);
        const int match_start = m_STC->GetTargetStart();
        const int match_end = m_STC->GetTargetEnd();
        if (match_end > match_start) m_STC->SetSelection(match_start, match_end);
        m_STC->EnsureVisible(m_STC->LineFromPosition(match_start));
        m_STC->EnsureCaretVisible();
        return true;
    }
    return false;
}

void QelVi::GotoLineAndSelect(int line_number) const
{
    const int line = std::max(1, std::min(line_number, m_STC->GetLineCount())) - 1;
    m_STC->GotoLine(line);
    m_STC->EnsureVisible(line);
    m_STC->SetSelection(m_STC->PositionFromLine(line), m_STC->GetLineEndPosition(line));
}

void QelVi::MarkTargetChange() const
{ }

void QelVi::MarkerAddChange(int) const
{ }

void QelVi::IndentLines(int begin, int end, bool forward) const
{
    m_STC->BeginUndoAction();
    for (int line = begin; line <= end; ++line) {
        const int start = m_STC->PositionFromLine(line);
        if (forward) {
            m_STC->InsertText(
                start, m_STC->GetUseTabs() ? wxString("\t") : wxString(' ', m_STC->GetIndent()));
        } else if (m_STC->GetLineIndentation(line) > 0) {
            const int width = m_STC->GetUseTabs() ? 1 : m_STC->GetIndent();
            m_STC->Remove(start, std::min(start + width, m_STC->GetLineIndentPosition(line)));
        }
        MarkerAddChange(line);
    }
    m_STC->EndUndoAction();
}

void QelVi::SetFolding(bool fold) const
{
    m_STC->SetProperty("fold", fold ? "1" : "0");
    m_STC->Colourise(0, -1);
}

void QelVi::ShowViMessage(const wxString& text) const
{
    wxLogStatus(text);
}

void QelVi::GetViCommand(const wxString&)
{ }

void QelVi::HideViBar() const
{ }

void QelVi::PostCommand(int id, const wxString& text) const
{
    wxWindow* top = wxTheApp != nullptr ? wxTheApp->GetTopWindow() : nullptr;
    if (top == nullptr) return;
    wxCommandEvent event(wxEVT_MENU, id);
    event.SetString(text);
    wxPostEvent(top, event);
}

void QelVi::PostClose(bool can_veto) const
{
    wxWindow* top = wxTheApp != nullptr ? wxTheApp->GetTopWindow() : nullptr;
    if (top == nullptr) return;
    wxCloseEvent event(wxEVT_CLOSE_WINDOW, 0);
    event.SetEventObject(top);
    event.SetCanVeto(can_veto);
    wxPostEvent(top, event);
}

void QelVi::Bell() const
{
    ++m_BellCount;
    wxBell();
}
