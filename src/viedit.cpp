// vi emulation: what it needs of its editor and of the application's frame.
#include <qelkit/vi.h>

#include <wx/app.h>
#include <wx/utils.h>

#include <qelkit/managedframe.h>
#include <qelkit/stc.h>

namespace {

// The frame's command bar, once the frame has one: each call goes to the
// frame when it offers the operation (the int overload), else it is left
// to the caller (the long one).
template <typename Frame>
auto ShowMessage(Frame* frame, const wxString& text, int)
    -> decltype(frame->ShowViMessage(text), bool())
{
    frame->ShowViMessage(text);
    return true;
}
template <typename Frame> bool ShowMessage(Frame*, const wxString&, long)
{
    return false;
}

template <typename Frame>
auto OpenBar(Frame* frame, QelVi* vi, const wxString& command, int)
    -> decltype(frame->GetViCommand(vi, command), void())
{
    frame->GetViCommand(vi, command);
}
template <typename Frame> void OpenBar(Frame*, QelVi*, const wxString&, long)
{ }

template <typename Frame> auto HideBar(Frame* frame, int) -> decltype(frame->HideViBar(), void())
{
    frame->HideViBar();
}
template <typename Frame> void HideBar(Frame*, long)
{ }

// Looked up at each use: the top window changes while the program starts,
// and an editor in a dialog may have no managed frame at all.
QelManagedFrame* GetManagedFrame()
{
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

bool QelVi::FindNext(const wxString& text, bool find_next) const
{
    return m_STC->FindNext(text, m_SearchFlags, find_next);
}

void QelVi::GotoLineAndSelect(int line_number) const
{
    m_STC->GotoLineAndSelect(line_number);
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

void QelVi::SetFolding(bool fold) const
{
    m_STC->SetLexerProperty("fold", fold ? "1" : "0");
    m_STC->Fold(fold);
}

void QelVi::ShowViMessage(const wxString& text) const
{
    QelManagedFrame* frame = GetManagedFrame();
    if (frame == nullptr || !ShowMessage(frame, text, 0)) wxLogStatus(text);
}

void QelVi::GetViCommand(const wxString& command)
{
    if (QelManagedFrame* frame = GetManagedFrame(); frame != nullptr)
        OpenBar(frame, this, command, 0);
}

void QelVi::HideViBar() const
{
    if (QelManagedFrame* frame = GetManagedFrame(); frame != nullptr) HideBar(frame, 0);
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
