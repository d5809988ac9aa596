#include <wx/log.h>

#include <qelkit/file.h>
#include <qelkit/notebook.h>
#include <qelkit/stc.h>

#include "frame.h"

void Frame::OnCommand(wxCommandEvent& event)
{
    QelSTC* stc = GetSTC();
    switch (event.GetId()) {
    case wxID_CLOSE:
        if (stc != nullptr && AllowClose(ID_NOTEBOOK_EDITORS, stc))
            m_Editors->DeletePage(m_Editors->GetPageIndex(stc));
        break;
    case wxID_NEW:
        NewFile(false);
        break;
    case wxID_SAVE:
        if (stc != nullptr && !stc->GetFile().FileSave())
            wxLogError("%s", _("Cannot save file") + ": " + stc->GetFileName().GetFullPath());
        break;
    case wxID_EXIT:
        Close(false);
        break;
    default:
        event.Skip();
        break;
    }
}

void Frame::OnCommandConfigDialog(int dialogid, int commandid)
{
    DecoratedFrame::OnCommandConfigDialog(dialogid, commandid);
}

void Frame::StatusBarDoubleClicked(const wxString& pane)
{
    DecoratedFrame::StatusBarDoubleClicked(pane);
}

void Frame::StatusBarDoubleClickedRight(const wxString& pane)
{
    DecoratedFrame::StatusBarDoubleClickedRight(pane);
}
