// vi emulation: what it needs of its editor and of the application's frame.
#include <qelkit/vi.h>

#include <algorithm>

#include <wx/app.h>
#include <wx/utils.h>

#include <qelkit/indicator.h>
#include <qelkit/lexers.h>
#include <qelkit/managedframe.h>
#include <qelkit/stc.h>

namespace {

// The frame whose vi bar serves the editor: its own frame when that is a
// managed one, else the application's top window (an editor in a dialog).
// Looked up on each use, so none is needed while frames are being built.
QelManagedFrame* ViFrame(QelSTC* stc)
{
    if (auto* frame = dynamic_cast<QelManagedFrame*>(wxGetTopLevelParent(stc))) return frame;
    return wxTheApp != nullptr ? dynamic_cast<QelManagedFrame*>(wxTheApp->GetTopWindow()) : nullptr;
}

} // namespace

bool QelVi::IsReadOnly() const
{
    return m_STC->GetReadOnly();
}

wxString QelVi::GetEOL() const
{
    return m_STC->GetEOL();
}

int QelVi::GetLastLine() const
{
    const int lines = m_STC->GetLineCount();
    return lines > 1 && m_STC->PositionFromLine(lines - 1) == m_STC->GetLength() ? lines - 1
                                                                                 : lines;
}

bool QelVi::FindNext(const wxString& text, bool find_next) const
{
    if (!m_STC->FindNext(text, m_SearchFlags, find_next)) return false;
    KeepFound();
    return true;
}

bool QelVi::FindRepeated(const wxString& text, int count, bool forward) const
{
    // Every search but the last is a plain one that finds what the editor's
    // find would: that one shows and scrolls to each match, far too slow for
    // a count that goes round all the matches of a large document. As the
    // search wraps around, the count is taken modulo the matches once they
    // come round again.
    QelSTC* stc = m_STC;
    int from = forward ? stc->GetCurrentPos() : stc->GetSelectionStart();
    int first = -1, start = -1, end = -1;
    stc->SetSearchFlags(m_SearchFlags);
    for (int done = 0; done + 1 < count;) {
        stc->SetTargetRange(from, forward ? stc->GetLength() : 0);
        if (stc->SearchInTarget(text) < 0) {
            stc->SetTargetRange(forward ? 0 : stc->GetLength(), forward ? stc->GetLength() : 0);
            if (stc->SearchInTarget(text) < 0) break;
        }
        if (++done == 1)
            first = stc->GetTargetStart();
        else if (stc->GetTargetStart() == first)
            count = done + (count - done - 1) % (done - 1) + 1;
        if (stc->GetTargetEnd() == stc->GetTargetStart()) continue; // the caret stays
        start = stc->GetTargetStart();
        end = stc->GetTargetEnd();
        from = forward ? end : start;
    }
    if (start >= 0) stc->SetSelection(start, end);
    return FindNext(text, forward);
}

void QelVi::GotoLineAndSelect(int line_number) const
{
    m_STC->GotoLineAndSelect(line_number);
    KeepFound();
}

void QelVi::MarkTargetChange() const
{
    m_STC->MarkTargetChange();
}

void QelVi::MarkerAddChange(int line) const
{
    m_STC->MarkerAddChange(line);
}

void QelVi::IndentLines(int begin, int end, bool forward) const
{
    m_STC->Indent(begin, end, forward);
}

void QelVi::SetIndicator(const QelIndicator& indicator, int start, int end) const
{
    start = std::max(start, 0);
    end = std::min(end, m_STC->GetLength());
    if (start >= end || !QelLexers::Get(true)->IndicatorIsLoaded(indicator)) return;
    m_STC->SetIndicatorCurrent(indicator.GetNo());
    m_STC->IndicatorFillRange(start, end - start);
}

void QelVi::SetFolding(bool fold) const
{
    m_STC->SetLexerProperty("fold", fold ? "1" : "0");
    m_STC->Fold(fold);
}

void QelVi::ShowViMessage(const wxString& text) const
{
    ++m_MessageCount;
    if (QelManagedFrame* frame = ViFrame(m_STC); frame != nullptr)
        frame->ShowViMessage(text);
    else
        wxLogStatus(text);
}

void QelVi::GetViCommand(const wxString& command)
{
    if (QelManagedFrame* frame = ViFrame(m_STC); frame != nullptr)
        frame->GetViCommand(this, command);
}

void QelVi::HideViBar() const
{
    if (QelManagedFrame* frame = ViFrame(m_STC); frame != nullptr) frame->HideViBar();
}

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
