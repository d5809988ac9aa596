#include <qelkit/report/stc.h>

#include <wx/log.h>

#include <qelkit/filedlg.h>
#include <qelkit/report/frame.h>
#include <qelkit/vcsmenu.h>

QelSTCWithFrame::QelSTCWithFrame(wxWindow* parent, QelFrameWithHistory* frame,
                                 const QelFileName& filename, int line_number,
                                 const wxString& match, long flags, long type, wxWindowID id,
                                 const wxPoint& pos, const wxSize& size, long style)
    : QelSTC(parent, filename, line_number, match, flags, type, id, pos, size, style)
    , m_Frame(frame)
{
    BindCommands();
    // The base constructor loaded the file with its own Open; a load that
    // failed leaves no file behind and must not reach the history.
    if (GetFileName().FileExists()) m_Frame->SetRecentFile(GetFileName().GetFullPath());
}

QelSTCWithFrame::QelSTCWithFrame(wxWindow* parent, QelFrameWithHistory* frame,
                                 const wxString& value, long flags, const wxString& title,
                                 long type, wxWindowID id, const wxPoint& pos, const wxSize& size,
                                 long style)
    : QelSTC(parent, value, flags, title, type, id, pos, size, style)
    , m_Frame(frame)
{
    BindCommands();
}

QelSTCWithFrame::QelSTCWithFrame(const QelSTC& stc, QelFrameWithHistory* frame)
    : QelSTC(stc)
    , m_Frame(frame)
{
    BindCommands();
}

void QelSTCWithFrame::BindCommands()
{
    Bind(wxEVT_MENU, &QelSTCWithFrame::OnCommand, this, ID_EDIT_VCS_LOWEST, ID_EDIT_VCS_HIGHEST);
}

bool QelSTCWithFrame::Open(const QelFileName& filename, int line_number, const wxString& match,
                           long flags)
{
    // The frame may hand the open back to an editor with the flags it got,
    // link bit included: that editor loads the file itself instead of
    // passing it to the frame once more.
    static bool to_frame = false;
    if ((flags & EDITOR_FROM_LINK) != 0 && !to_frame) {
        to_frame = true;
        const bool opened = m_Frame->OpenFile(filename, line_number, match, flags);
        to_frame = false;
        return opened;
    }
    if (!QelSTC::Open(filename, line_number, match, flags)) return false;
    m_Frame->SetRecentFile(GetFileName().GetFullPath());
    return true;
}

void QelSTCWithFrame::PropertiesMessage(long flags)
{
    QelSTC::PropertiesMessage(flags);
    wxString title = GetName();
    if (GetReadOnly()) title += " [" + _("Readonly") + "]";
    m_Frame->SetTitle(title);
}

void QelSTCWithFrame::OnCommand(wxCommandEvent& command)
{
    const int id = command.GetId();
    wxCHECK_RET(id > ID_EDIT_VCS_LOWEST && id < ID_EDIT_VCS_HIGHEST,
                "not a version-control command");
    // The command works on the file on disk: unsaved changes are offered to
    // be saved first, and Cancel runs nothing.
    if (QelSaveIfChanged(this, &GetFile()) == wxID_CANCEL) return;
    const wxString path = GetFileName().GetFullPath();
    QelVCSExecute(m_Frame, id, wxArrayString(1, &path));
}
