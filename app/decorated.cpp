#include "decorated.h"

#include <wx/app.h>
#include <wx/artprov.h>
#include <wx/listctrl.h>
#include <wx/menu.h>
#include <wx/stockitem.h>

#include <qelkit/file.h>
#include <qelkit/filedlg.h>
#include <qelkit/lexers.h>
#include <qelkit/listviewfile.h>
#include <qelkit/menu.h>
#include <qelkit/status.h>
#include <qelkit/stc.h>
#include <qelkit/toolbar.h>
#include <qelkit/util.h>
#include <qelkit/vcs.h>

#include "defs.h"
#include "icon.xpm"

namespace {

// The menu style of the frame's own menus.
constexpr long kMenuStyle = 0x10;

wxString Stock(wxWindowID id)
{
    return wxGetStockLabel(id, wxSTOCK_WITH_MNEMONIC);
}

wxMenu* MenuFile(DecoratedFrame* frame)
{
    auto* menu = new QelMenu(kMenuStyle);
    menu->Append(wxID_NEW);
    menu->Append(wxID_OPEN);
    frame->UseFileHistory(ID_RECENT_FILE_MENU, menu);
    menu->AppendSeparator();
    menu->Append(wxID_CLOSE);
    menu->Append(ID_ALL_CLOSE, _("Close A&ll"));
    menu->AppendSeparator();
    menu->Append(wxID_SAVE);
    menu->Append(wxID_SAVEAS);
    menu->Append(ID_ALL_SAVE, _("Save A&ll"), wxEmptyString, wxART_FILE_SAVE);
    menu->AppendSeparator();
    menu->AppendPrint();
    menu->AppendSeparator();
    menu->Append(wxID_EXIT);
    return menu;
}

wxMenu* MenuEdit()
{
    auto* menu = new QelMenu(kMenuStyle);
    menu->Append(wxID_UNDO);
    menu->Append(wxID_REDO);
    menu->AppendSeparator();
    menu->Append(wxID_CUT);
    menu->Append(wxID_COPY);
    menu->Append(wxID_PASTE);
    menu->AppendSeparator();
    menu->Append(wxID_JUMP_TO);
    menu->AppendSeparator();

    auto* find = new QelMenu(kMenuStyle);
    find->Append(wxID_FIND);
    find->Append(wxID_REPLACE);
    find->Append(ID_FIND_IN_FILES, QelEllipsed(_("Find &In Files")));
    find->Append(ID_REPLACE_IN_FILES, QelEllipsed(_("Replace In File&s")));
    menu->AppendSubMenu(find, _("&Find And Replace"));
    menu->AppendSeparator();

    auto* more = new QelMenu(kMenuStyle);
    more->Append(ID_EDIT_ADD_HEADER, QelEllipsed(_("&Add Header")));
    more->Append(ID_EDIT_INSERT_SEQUENCE, QelEllipsed(_("Insert Sequence")));
    more->AppendSeparator();
    more->Append(ID_EDIT_CONTROL_CHAR, QelEllipsed(_("&Control Char"), "Ctrl+K"));
    menu->AppendSubMenu(more, _("More"));
    menu->AppendSeparator();

    auto* macro = new QelMenu(kMenuStyle);
    macro->Append(ID_EDIT_MACRO_START_RECORD, _("Start Record"));
    macro->Append(ID_EDIT_MACRO_STOP_RECORD, _("Stop Record"));
    macro->AppendSeparator();
    macro->Append(ID_EDIT_MACRO_PLAYBACK, _("Playback\tCtrl+M"));
    menu->AppendSubMenu(macro, _("&Macro"));
    return menu;
}

wxMenu* MenuView()
{
    auto* menu = new QelMenu(kMenuStyle);
    menu->AppendBars();
    menu->AppendSeparator();
    menu->AppendCheckItem(ID_VIEW_FILES, _("&Files"));
    menu->AppendCheckItem(ID_VIEW_PROJECTS, _("&Projects"));
    menu->AppendCheckItem(ID_VIEW_DIRCTRL, _("&Explorer"));
    menu->AppendCheckItem(ID_VIEW_HISTORY, _("&History"));
    menu->AppendCheckItem(ID_VIEW_OUTPUT, _("&Output"));
    menu->AppendSeparator();
    menu->AppendCheckItem(ID_VIEW_ASCII_TABLE, _("&Ascii Table"));
    return menu;
}

wxMenu* MenuProcess()
{
    auto* menu = new wxMenu;
    menu->Append(ID_PROCESS_SELECT, QelEllipsed(_("&Select")));
    menu->AppendSeparator();
    menu->Append(wxID_EXECUTE, wxEmptyString);
    menu->Append(wxID_STOP, wxEmptyString);
    return menu;
}

wxMenu* MenuProject(DecoratedFrame* frame)
{
    auto* menu = new QelMenu(kMenuStyle);
    menu->Append(ID_PROJECT_NEW, Stock(wxID_NEW), wxEmptyString, wxART_NEW);
    menu->Append(ID_PROJECT_OPEN, Stock(wxID_OPEN), wxEmptyString, wxART_FILE_OPEN);
    frame->UseProjectHistory(ID_RECENT_PROJECT_MENU, menu);
    menu->Append(ID_PROJECT_OPENTEXT, _("&Open As Text"));
    menu->Append(ID_PROJECT_CLOSE, Stock(wxID_CLOSE), wxEmptyString, wxART_CLOSE);
    menu->AppendSeparator();
    menu->Append(ID_PROJECT_SAVE, Stock(wxID_SAVE), wxEmptyString, wxART_FILE_SAVE);
    menu->Append(ID_PROJECT_SAVEAS, Stock(wxID_SAVEAS), wxEmptyString, wxART_FILE_SAVE_AS);
    menu->AppendSeparator();
    menu->AppendCheckItem(ID_PROJECT_SORT_SYNC, _("&Auto Sort"));
    return menu;
}

wxMenu* MenuWindow()
{
    auto* menu = new wxMenu;
    menu->Append(ID_SPLIT, _("Split"));
    return menu;
}

wxMenu* MenuOptions(bool has_vcs)
{
    auto* menu = new wxMenu;
    if (has_vcs)
        menu->Append(ID_OPTION_VCS, QelEllipsed(_("Set &VCS")));
    else
        menu->Append(ID_OPTION_COMPARATOR, QelEllipsed(_("Set &Comparator")));
    menu->AppendSeparator();
    menu->Append(ID_OPTION_LIST_FONT, QelEllipsed(_("Set &List Font")));
    menu->Append(ID_OPTION_LIST_READONLY_COLOUR, QelEllipsed(_("Set List &Read Only Colour")));

    auto* sort = new wxMenu;
    sort->AppendCheckItem(ID_OPTION_LIST_SORT_ASCENDING, _("&Ascending"));
    sort->AppendCheckItem(ID_OPTION_LIST_SORT_DESCENDING, _("&Descending"));
    sort->AppendCheckItem(ID_OPTION_LIST_SORT_TOGGLE, _("&Toggle"));
    menu->AppendSubMenu(sort, _("Set &List Sort Method"));
    menu->AppendSeparator();
    menu->Append(ID_OPTION_EDITOR, QelEllipsed(_("Set &Editor Options")));
    return menu;
}

wxMenu* MenuHelp()
{
    auto* menu = new QelMenu(kMenuStyle);
    menu->Append(wxID_ABOUT);
    menu->Append(wxID_HELP);
    return menu;
}

} // namespace

std::vector<QelStatusBarPane> DecoratedPanes(size_t lexers, size_t vcs_systems)
{
    std::vector<QelStatusBarPane> panes{QelStatusBarPane(),
                                        QelStatusBarPane("PaneFileType", 50, _("File type")),
                                        QelStatusBarPane("PaneInfo", 100, _("Lines or items"))};
    if (lexers > 0) {
        panes.emplace_back("PaneLexer", 75, _("Lexer"));
        panes.emplace_back("PaneTheme", 75, _("Theme"));
    }
    if (vcs_systems > 0) panes.emplace_back("PaneVCS", 75, _("VCS"));
    return panes;
}

DecoratedFrame::DecoratedFrame()
    : QelFrameWithHistory(nullptr, wxID_ANY, wxTheApp->GetAppDisplayName(), 25, 4,
                          wxDEFAULT_FRAME_STYLE)
{
    SetIcon(wxIcon(tindrel_xpm));

    const bool has_vcs = QelVCS::GetCount() > 0;
    SetupStatusBar(DecoratedPanes(QelLexers::Get(true)->Count(), QelVCS::GetCount()), wxST_SIZEGRIP,
                   "statusBar");
    if (has_vcs) {
        // The folder question waits for the first folder command when no
        // base folder was ever chosen: a modal dialog before the window
        // exists would stop every first start.
        QelVCS vcs;
        if (!QelConfigFirstOf(_("Base folder")).empty()) vcs.GetDir(nullptr);
        StatusText(vcs.GetName(), "PaneVCS");
    }

    auto* bar = new wxMenuBar;
    bar->Append(MenuFile(this), Stock(wxID_FILE));
    bar->Append(MenuEdit(), Stock(wxID_EDIT));
    bar->Append(MenuView(), _("&View"));
    bar->Append(MenuProcess(), _("&Process"));
    bar->Append(MenuProject(this), _("&Project"));
    bar->Append(MenuWindow(), _("&Window"));
    bar->Append(MenuOptions(has_vcs), _("&Options"));
    bar->Append(MenuHelp(), Stock(wxID_HELP));
    SetMenuBar(bar);

    GetToolBar()->AddTool(wxID_HELP, wxEmptyString, wxNullBitmap, wxEmptyString, wxITEM_NORMAL);
    GetToolBar()->Realize();
}

bool DecoratedFrame::AllowClose(int id, wxWindow* page)
{
    QelFile* file = nullptr;
    if (id == ID_NOTEBOOK_EDITORS) {
        // Changes that another view shows are not lost with this one.
        if (auto* stc = dynamic_cast<QelSTC*>(page); stc != nullptr && !stc->IsDocumentShared())
            file = &stc->GetFile();
    } else if (id == ID_NOTEBOOK_PROJECTS) {
        file = dynamic_cast<QelFile*>(page);
    }
    // A clean file has nothing to ask, and no file chooser is built for it.
    if (file != nullptr && QelSaveIfChanged(this, file) != wxID_OK) return false;
    return QelFrameWithHistory::AllowClose(id, page);
}

void DecoratedFrame::OnNotebook(int id, wxWindow* page)
{
    QelFrameWithHistory::OnNotebook(id, page);
    switch (id) {
    case ID_NOTEBOOK_EDITORS:
        if (auto* stc = dynamic_cast<QelSTC*>(page); stc != nullptr) stc->PropertiesMessage(0);
        break;
    case ID_NOTEBOOK_LISTS:
        break;
    case ID_NOTEBOOK_PROJECTS:
        if (auto* project = dynamic_cast<QelFile*>(page); project != nullptr)
            QelLogStatus(project->GetFileName(), 0);
        UpdateStatusBar(dynamic_cast<wxListView*>(page));
        break;
    default:
        wxFAIL_MSG("unknown notebook");
        break;
    }
}
