#include <qelkit/report/dirctrl.h>

#include <wx/dirdlg.h>
#include <wx/textbuf.h>
#include <wx/treectrl.h>
#include <wx/utils.h>

#include <qelkit/defs.h>
#include <qelkit/filename.h>
#include <qelkit/lexer.h>
#include <qelkit/menu.h>
#include <qelkit/openfiles.h>
#include <qelkit/report/frame.h>
#include <qelkit/report/util.h>
#include <qelkit/status.h>
#include <qelkit/util.h>
#include <qelkit/vcs.h>
#include <qelkit/vcsmenu.h>

// clang-format off
wxBEGIN_EVENT_TABLE(QelGenericDirCtrl, wxGenericDirCtrl)
    EVT_MENU_RANGE(ID_EDIT_VCS_LOWEST, ID_EDIT_VCS_HIGHEST, QelGenericDirCtrl::OnCommand)
    EVT_MENU_RANGE(ID_TREE_OPEN, ID_TREE_RUN_MAKE, QelGenericDirCtrl::OnCommand)
    EVT_MENU_RANGE(ID_TOOL_LOWEST, ID_TOOL_HIGHEST, QelGenericDirCtrl::OnCommand)
    EVT_TREE_ITEM_ACTIVATED(wxID_TREECTRL, QelGenericDirCtrl::OnTree)
    EVT_TREE_ITEM_MENU(wxID_TREECTRL, QelGenericDirCtrl::OnTree)
    EVT_TREE_SEL_CHANGED(wxID_TREECTRL, QelGenericDirCtrl::OnTree)
wxEND_EVENT_TABLE();
// clang-format on

QelGenericDirCtrl::QelGenericDirCtrl(wxWindow* parent, QelFrameWithHistory* frame, wxWindowID id,
                                     const wxPoint& pos, const wxSize& size, long style,
                                     const wxString& filter, int defaultFilter,
                                     const wxString& name)
    : wxGenericDirCtrl(parent, id, wxDirDialogDefaultFolderStr, pos, size, style, filter,
                       defaultFilter, name)
    , m_Frame(frame)
{
    GetTreeCtrl()->Bind(wxEVT_SIZE, &QelGenericDirCtrl::OnTreeSize, this);
    GetTreeCtrl()->Bind(wxEVT_IDLE, &QelGenericDirCtrl::OnTreeIdle, this);
}

void QelGenericDirCtrl::ExpandAndSelectPath(const wxString& path)
{
    UnselectAll();
    ExpandPath(path);
    SelectPath(path, true);
    ShowSelection();
}

// A file opened before the pane is laid out (at start, or as the pane is
// shown) is scrolled to for a tree without height, which leaves it just
// above the rows shown once the tree has its size. A frozen tree (files
// opened together freeze the window) places the rows of the branches it
// expanded only once thawed: scrolled before, it would stay where it was.
void QelGenericDirCtrl::ShowSelection()
{
    wxTreeCtrl* tree = GetTreeCtrl();
    wxArrayTreeItemIds selected;
    if (tree->GetSelections(selected) == 0) {
        m_ShowSelection = false;
        return;
    }
    if (tree->IsFrozen()) {
        m_ShowSelection = true;
        return;
    }
    tree->EnsureVisible(selected[0]);
    m_ShowSelection = !tree->IsVisible(selected[0]);
}

// The tree's scroll range follows its size after this handler: the scroll
// waits until then.
void QelGenericDirCtrl::OnTreeSize(wxSizeEvent& event)
{
    event.Skip();
    if (m_ShowSelection) CallAfter(&QelGenericDirCtrl::ShowSelection);
}

// The first idle after a thaw; a tree without height waits for its size.
void QelGenericDirCtrl::OnTreeIdle(wxIdleEvent& event)
{
    event.Skip();
    wxTreeCtrl* tree = GetTreeCtrl();
    if (m_ShowSelection && !tree->IsFrozen() && tree->GetClientSize().y > 0) ShowSelection();
}

void QelGenericDirCtrl::BuildPopupMenu(QelMenu* menu, const wxString& first)
{
    const QelFileName filename(first);
    if (filename.FileExists()) {
        menu->Append(ID_TREE_OPEN, _("&Open"));
        menu->AppendSeparator();
    }
    menu->Append(ID_TREE_COPY, wxGetStockLabel(wxID_COPY), wxEmptyString, wxART_COPY);
    if (QelVCS::DirExists(filename)) {
        menu->AppendSeparator();
        menu->AppendVCS(filename);
    }
    if (filename.GetLexer().GetScintillaLexer() == "makefile") {
        menu->AppendSeparator();
        menu->Append(ID_TREE_RUN_MAKE, _("&Make"));
    }
    menu->AppendSeparator();
    menu->Append(ID_TOOL_FIND_IN_FILES,
                 QelEllipsed(m_Frame->GetFindInCaption(ID_TOOL_FIND_IN_FILES)));
    menu->Append(ID_TOOL_REPLACE_IN_FILES,
                 QelEllipsed(m_Frame->GetFindInCaption(ID_TOOL_REPLACE_IN_FILES)));
}

void QelGenericDirCtrl::OnTree(wxTreeEvent& event)
{
    wxArrayString files;
    GetPaths(files);
    if (files.empty()) {
        event.Skip();
        return;
    }
    const wxEventType type = event.GetEventType();
    if (type == wxEVT_TREE_ITEM_MENU) {
        QelMenu menu(MENU_OFFER_PASTE);
        BuildPopupMenu(&menu, files[0]);
        PopupMenu(&menu, wxDefaultPosition);
    } else if (type == wxEVT_TREE_ITEM_ACTIVATED) {
        QelOpenFiles(m_Frame, files, 0, wxDIR_FILES);
    } else if (type == wxEVT_TREE_SEL_CHANGED) {
        QelLogStatus(wxFileName(files[0]), STAT_FULLPATH);
    } else {
        wxFAIL;
    }
}

void QelGenericDirCtrl::OnCommand(wxCommandEvent& event)
{
    const int id = event.GetId();
    wxArrayString files;
    GetPaths(files);
    if (id > ID_EDIT_VCS_LOWEST && id < ID_EDIT_VCS_HIGHEST) {
        QelVCSExecute(m_Frame, id, files);
    } else if (id > ID_TOOL_LOWEST && id < ID_TOOL_HIGHEST) {
        m_Frame->FindInSelection(files, id);
    } else if (id == ID_TREE_COPY) {
        const wxBusyCursor busy;
        wxString text;
        for (const wxString& file : files) text += file + wxTextBuffer::GetEOL();
        QelClipboardAdd(text);
    } else if (id == ID_TREE_RUN_MAKE) {
        if (!files.empty()) QelMake(m_Frame, wxFileName(files[0]));
    } else if (id == ID_TREE_OPEN) {
        QelOpenFiles(m_Frame, files, 0, wxDIR_FILES);
    } else {
        wxFAIL;
    }
}
