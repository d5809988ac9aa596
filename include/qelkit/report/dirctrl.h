// The explorer: a tree of folders and files bound to the frame with
// histories. Activated entries open as files, a right click offers open,
// copy, version control, make and find or replace in the selected entries,
// and the selected path shows in the status bar.
#pragma once

#include <wx/defs.h>
#include <wx/dirctrl.h>

class QelFrameWithHistory;
class QelMenu;
class wxTreeEvent;

class QelGenericDirCtrl : public wxGenericDirCtrl {
public:
    // Starts at the toolkit's default folder for folder dialogs.
    QelGenericDirCtrl(wxWindow* parent, QelFrameWithHistory* frame, wxWindowID id = wxID_ANY,
                      const wxPoint& pos = wxDefaultPosition, const wxSize& size = wxDefaultSize,
                      long style = wxDIRCTRL_3D_INTERNAL | wxDIRCTRL_MULTIPLE,
                      const wxString& filter = wxEmptyString, int defaultFilter = 0,
                      const wxString& name = wxTreeCtrlNameStr);
    ~QelGenericDirCtrl() override = default;

    // Afterwards exactly the path is selected, and shown: at once, or when
    // the tree first gets the size to show a row, or is thawed.
    void ExpandAndSelectPath(const wxString& path);

    // The popup menu of the selection, whose first path is `first`.
    void BuildPopupMenu(QelMenu* menu, const wxString& first);

    void OnTree(wxTreeEvent& event);
    void OnCommand(wxCommandEvent& event);

private:
    // Scrolls the first selected entry into view; keeps asking while the
    // tree is too small to show one, or frozen.
    void ShowSelection();
    void OnTreeSize(wxSizeEvent& event);
    void OnTreeIdle(wxIdleEvent& event);

    QelFrameWithHistory* m_Frame; // not owned
    bool m_ShowSelection = false; // selected before the tree could show it

    wxDECLARE_EVENT_TABLE();
};
