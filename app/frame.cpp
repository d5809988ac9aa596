#include "frame.h"

#include <algorithm>
#include <functional>
#include <utility>

#include <wx/app.h>
#include <wx/artprov.h>
#include <wx/aui/auibook.h>
#include <wx/config.h>
#include <wx/filedlg.h>
#include <wx/image.h>
#include <wx/dcclient.h>
#include <wx/panel.h>
#include <wx/sizer.h>

#include <qelkit/filedlg.h>
#include <qelkit/lexers.h>
#include <qelkit/notebook.h>
#include <qelkit/openfiles.h>
#include <qelkit/paths.h>
#include <qelkit/report/dirctrl.h>
#include <qelkit/report/listviewfile.h>
#include <qelkit/report/listviewframe.h>
#include <qelkit/report/process.h>
#include <qelkit/report/stc.h>
#include <qelkit/report/util.h>
#include <qelkit/toolbar.h>
#include <qelkit/util.h>
#include <qelkit/vcsentry.h>
#include <qelkit/vcsmenu.h>

#include "defs.h"
#include "edittools.h"
#include "log.h"

namespace {

// The toolkit's default notebook style with close buttons on every tab, the
// notebook's close button and the window list.
constexpr long kNotebookStyle = wxAUI_NB_DEFAULT_STYLE | wxAUI_NB_CLOSE_ON_ALL_TABS
    | wxAUI_NB_CLOSE_BUTTON | wxAUI_NB_WINDOWLIST_BUTTON;
constexpr long kListStyle = wxLC_LIST | wxLC_HRULES | wxLC_VRULES | wxBORDER_SUNKEN;
constexpr long kListMenu = LIST_MENU_FIND | LIST_MENU_TOOL;

const wxString kPerspective = "Perspective";

// Captions come back from a saved layout in the language it was saved in:
// they are set again after loading.
struct PaneCaption {
    const char* name;
    wxString caption;
};

std::vector<PaneCaption> Captions()
{
    return {{"FILES", _("Files")},      {"PROJECTS", _("Projects")},
            {"DIRCTRL", _("Explorer")}, {"ASCIITABLE", _("Ascii Table")},
            {"HISTORY", _("History")},  {"OUTPUT", _("Output")}};
}

// An empty picture as large as the file-type icons, which a tab shows
// until its icon comes.
wxBitmap BlankIcon()
{
    wxImage image(16, 16);
    image.InitAlpha();
    std::fill_n(image.GetAlpha(), 16 * 16, wxIMAGE_ALPHA_TRANSPARENT);
    return wxBitmap(image);
}

bool HexMode()
{
    return wxConfigBase::Get()->ReadBool("HexMode", false);
}

// The main windows whose log targets are in use, in the order they were
// installed (tests make several in one run).
std::vector<Frame*>& LoggingFrames()
{
    static std::vector<Frame*> frames;
    return frames;
}

// A page that can be opened holds a regular file that can be read: a folder,
// a device or a file without read permission would give an empty page whose
// save writes into it.
bool CanOpen(const wxString& path)
{
    return wxFileName::FileExists(path) && wxFileName::IsFileReadable(path);
}

} // namespace

// A pane whose window is made by its maker when the pane is first painted
// (that is, shown), or when Get asks for it.
class LazyPane : public wxPanel {
public:
    using Maker = std::function<wxWindow*(wxWindow* parent)>;

    LazyPane(wxWindow* parent, Maker maker)
        : wxPanel(parent)
        , m_Maker(std::move(maker))
    {
        SetSizer(new wxBoxSizer(wxVERTICAL));
        Bind(wxEVT_PAINT, [this](wxPaintEvent&) {
            wxPaintDC dc(this);
            if (m_Window == nullptr) CallAfter([this] { Get(); });
        });
    }

    wxWindow* Get()
    {
        if (m_Window == nullptr) {
            m_Window = m_Maker(this);
            GetSizer()->Add(m_Window, wxSizerFlags(1).Expand());
            Layout();
        }
        return m_Window;
    }

private:
    const Maker m_Maker;
    wxWindow* m_Window = nullptr;
};

// clang-format off
wxBEGIN_EVENT_TABLE(Frame, DecoratedFrame)
    EVT_CLOSE(Frame::OnClose)
    EVT_AUINOTEBOOK_BG_DCLICK(ID_NOTEBOOK_EDITORS, Frame::OnNotebook)
    EVT_MENU(wxID_DELETE, Frame::OnCommand)
    EVT_MENU(wxID_EXECUTE, Frame::OnCommand)
    EVT_MENU(wxID_JUMP_TO, Frame::OnCommand)
    EVT_MENU(wxID_SELECTALL, Frame::OnCommand)
    EVT_MENU(wxID_STOP, Frame::OnCommand)
    EVT_MENU(ID_DOCUMENT_NEXT, Frame::OnCommand)
    EVT_MENU(ID_DOCUMENT_PREVIOUS, Frame::OnCommand)
    EVT_MENU_RANGE(wxID_CUT, wxID_CLEAR, Frame::OnCommand)
    EVT_MENU_RANGE(wxID_CLOSE, wxID_PREFERENCES, Frame::OnCommand)
    EVT_MENU_RANGE(ID_APP_LOWEST, ID_APP_HIGHEST, Frame::OnCommand)
    EVT_MENU_RANGE(ID_ALL_LOWEST, ID_ALL_HIGHEST, Frame::OnCommand)
    EVT_MENU_RANGE(ID_EDIT_STC_LOWEST, ID_EDIT_STC_HIGHEST, Frame::OnCommand)
    EVT_MENU_RANGE(ID_TOOL_LOWEST, ID_TOOL_HIGHEST, Frame::OnCommand)
    EVT_MENU_RANGE(ID_EDIT_VCS_LOWEST, ID_EDIT_VCS_HIGHEST, Frame::OnCommand)
    EVT_MENU_RANGE(ID_VCS_LOWEST, ID_VCS_HIGHEST, Frame::OnCommand)
    EVT_UPDATE_UI(ID_ALL_CLOSE, Frame::OnUpdateUI)
    EVT_UPDATE_UI(ID_ALL_SAVE, Frame::OnUpdateUI)
    EVT_UPDATE_UI(wxID_EXECUTE, Frame::OnUpdateUI)
    EVT_UPDATE_UI(wxID_JUMP_TO, Frame::OnUpdateUI)
    EVT_UPDATE_UI(wxID_PRINT, Frame::OnUpdateUI)
    EVT_UPDATE_UI(wxID_PREVIEW, Frame::OnUpdateUI)
    EVT_UPDATE_UI(wxID_REPLACE, Frame::OnUpdateUI)
    EVT_UPDATE_UI(wxID_UNDO, Frame::OnUpdateUI)
    EVT_UPDATE_UI(wxID_REDO, Frame::OnUpdateUI)
    EVT_UPDATE_UI(wxID_STOP, Frame::OnUpdateUI)
    EVT_UPDATE_UI(ID_EDIT_ADD_HEADER, Frame::OnUpdateUI)
    EVT_UPDATE_UI(ID_EDIT_CONTROL_CHAR, Frame::OnUpdateUI)
    EVT_UPDATE_UI(ID_EDIT_INSERT_SEQUENCE, Frame::OnUpdateUI)
    EVT_UPDATE_UI(ID_EDIT_MACRO_PLAYBACK, Frame::OnUpdateUI)
    EVT_UPDATE_UI(ID_EDIT_MACRO_START_RECORD, Frame::OnUpdateUI)
    EVT_UPDATE_UI(ID_EDIT_MACRO_STOP_RECORD, Frame::OnUpdateUI)
    EVT_UPDATE_UI(ID_OPTION_VCS, Frame::OnUpdateUI)
    EVT_UPDATE_UI(ID_PROJECT_SAVE, Frame::OnUpdateUI)
    EVT_UPDATE_UI(ID_RECENT_FILE_MENU, Frame::OnUpdateUI)
    EVT_UPDATE_UI(ID_RECENT_PROJECT_MENU, Frame::OnUpdateUI)
    EVT_UPDATE_UI(ID_PROJECT_SORT_SYNC, Frame::OnUpdateUI)
    EVT_UPDATE_UI(ID_TOOL_REPORT_REVISION, Frame::OnUpdateUI)
    EVT_UPDATE_UI_RANGE(wxID_SAVE, wxID_SAVEAS, Frame::OnUpdateUI)
    EVT_UPDATE_UI_RANGE(ID_EDIT_FIND_NEXT, ID_EDIT_FIND_PREVIOUS, Frame::OnUpdateUI)
    EVT_UPDATE_UI_RANGE(ID_EDIT_FOLD_TOGGLE, ID_EDIT_UNFOLD_ALL, Frame::OnUpdateUI)
    EVT_UPDATE_UI_RANGE(ID_OPTION_LIST_SORT_ASCENDING, ID_OPTION_LIST_SORT_TOGGLE, Frame::OnUpdateUI)
    EVT_UPDATE_UI_RANGE(ID_PROJECT_OPENTEXT, ID_PROJECT_SAVEAS, Frame::OnUpdateUI)
    EVT_UPDATE_UI_RANGE(ID_VIEW_FILES, ID_VIEW_ASCII_TABLE, Frame::OnUpdateUI)
wxEND_EVENT_TABLE();
// clang-format on

Frame::Frame(bool open_recent)
    : m_ProjectWildcard(_("Project Files") + " (*.prj)|*.prj")
{
    InstallLog();
    wxEvtHandler::AddFilter(&m_Events);

    m_Editors = new QelNotebook(this, this, ID_NOTEBOOK_EDITORS, wxDefaultPosition, wxDefaultSize,
                                kNotebookStyle);
    m_Lists = new QelNotebook(this, this, ID_NOTEBOOK_LISTS, wxDefaultPosition, wxDefaultSize,
                              kNotebookStyle);
    m_Projects = new QelNotebook(this, this, ID_NOTEBOOK_PROJECTS, wxDefaultPosition, wxDefaultSize,
                                 kNotebookStyle);
    m_HistoryPane = new LazyPane(this, [this](wxWindow* parent) {
        auto* list = new QelListViewWithFrame(parent, this, QelListViewFileName::LIST_HISTORY,
                                              ID_LISTVIEW_HISTORY, kListMenu, nullptr,
                                              wxDefaultPosition, wxDefaultSize, kListStyle);
        list->Show(); // the history hides the list it mirrors into
        return list;
    });
    m_DirPane = new LazyPane(this, [this](wxWindow* parent) {
        return new QelGenericDirCtrl(parent, this, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                                     wxDIRCTRL_3D_INTERNAL | wxDIRCTRL_MULTIPLE);
    });
    auto* ascii = new QelSTC(this, wxEmptyString, 0, wxEmptyString, EDITOR_MENU_ALL);
    FillAsciiTable(ascii);

    wxAuiManager& manager = GetManager();
    const std::vector<PaneCaption> captions = Captions();
    manager.AddPane(m_Editors,
                    wxAuiPaneInfo().Name("FILES").CenterPane().MaximizeButton(true).Caption(
                        captions[0].caption));
    manager.AddPane(m_Projects,
                    wxAuiPaneInfo()
                        .Name("PROJECTS")
                        .Left()
                        .MaximizeButton(true)
                        .MinSize(150, -1)
                        .Caption(captions[1].caption));
    manager.AddPane(m_DirPane, wxAuiPaneInfo().Name("DIRCTRL").Left().Caption(captions[2].caption));
    manager.AddPane(ascii, wxAuiPaneInfo().Name("ASCIITABLE").Left().Caption(captions[3].caption));
    manager.AddPane(m_HistoryPane,
                    wxAuiPaneInfo().Name("HISTORY").Left().Caption(captions[4].caption));
    manager.AddPane(m_Lists,
                    wxAuiPaneInfo()
                        .Name("OUTPUT")
                        .Bottom()
                        .MaximizeButton(true)
                        .MinSize(250, 100)
                        .Row(0)
                        .Caption(captions[5].caption));

    RestoreLayout(open_recent);
    StatusText(QelLexers::Get(true)->GetTheme(), "PaneTheme");
    manager.Update();
}

Frame::~Frame()
{
    // A frame destroyed without its close (an error path, a test) must not
    // leave the toolkit logging into it.
    RemoveLog();
    wxEvtHandler::RemoveFilter(&m_Events);
}

void Frame::WaitForIcon(wxWindow* page)
{
    m_IconsWaiting.push_back(page);
    // Once the tabs are drawn, that is after the window has shown.
    for (wxWindow* child : m_Editors->GetChildren()) {
        if (dynamic_cast<wxAuiTabCtrl*>(child) == nullptr
            || std::find(m_IconTabs.begin(), m_IconTabs.end(), child) != m_IconTabs.end())
            continue;
        m_IconTabs.push_back(child);
        child->Bind(wxEVT_PAINT, [this](wxPaintEvent& event) {
            event.Skip();
            if (m_IconsShown) return;
            m_IconsShown = true;
            CallAfter(&Frame::ShowWaitingIcons);
        });
    }
}

void Frame::ShowWaitingIcons()
{
    // Frozen: each icon would draw the tabs again at once.
    m_Editors->Freeze();
    for (const wxWeakRef<wxWindow>& page : std::exchange(m_IconsWaiting, {})) {
        // A page closed meanwhile is gone from the list too.
        const int index = page ? m_Editors->GetPageIndex(page.get()) : wxNOT_FOUND;
        if (auto* stc = dynamic_cast<QelSTC*>(page.get()); stc != nullptr && index != wxNOT_FOUND)
            m_Editors->SetPageBitmap(index, QelGetIconBitmap(stc->GetFileName()));
    }
    m_Editors->Thaw();
}

QelListViewWithFrame* Frame::GetHistory()
{
    return static_cast<QelListViewWithFrame*>(m_HistoryPane->Get());
}

QelGenericDirCtrl* Frame::GetDirCtrl()
{
    return static_cast<QelGenericDirCtrl*>(m_DirPane->Get());
}

void Frame::RestoreLayout(bool open_recent)
{
    wxAuiManager& manager = GetManager();
    const wxString perspective = wxConfigBase::Get()->Read(kPerspective, wxEmptyString);
    if (!perspective.empty() && LoadPerspective(perspective)) {
        for (const auto& pane : Captions()) manager.GetPane(pane.name).Caption(pane.caption);
        // A layout saved by an earlier version has the bars at their sizes
        // of then.
        for (const char* name : {"TOOLBAR", "FINDBAR"})
            if (auto* bar = dynamic_cast<QelToolBar*>(manager.GetPane(name).window)) bar->FitPane();
        // A layout kept maximised comes back as the maximised pane found it,
        // before the output pane is hidden.
        RestoreKeptMaximized();
    } else {
        // The first start: no size was kept either, and the toolkit's
        // default is too small for an editor.
        SetSize(FromDIP(wxSize(900, 700)));
        for (const char* name : {"ASCIITABLE", "DIRCTRL", "HISTORY", "PROJECTS"})
            manager.GetPane(name).Hide();
    }
    manager.GetPane("OUTPUT").Hide();
    HideViBar();

    if (!open_recent) {
        manager.GetPane("PROJECTS").Hide();
        return;
    }
    if (const wxString file = GetRecentFile(); !file.empty())
        Frame::OpenFile(QelFileName(file));
    else
        NewFile(false);
    if (!manager.GetPane("PROJECTS").IsShown()) return;
    if (const wxString project = GetRecentProject(); !project.empty())
        Frame::OpenFile(QelFileName(project), 0, wxEmptyString, EDITOR_OPEN_PROJECT);
    else
        manager.GetPane("PROJECTS").Hide();
}

wxString Frame::EditorKey(const wxFileName& filename)
{
    wxFileName name(filename);
    name.Normalize(wxPATH_NORM_TILDE | wxPATH_NORM_ABSOLUTE | wxPATH_NORM_DOTS);
    return name.GetFullPath();
}

wxString Frame::ListKey(QelListViewFileName::ListType type, const QelLexer* lexer)
{
    wxString key = QelListViewFileName::GetTypeDescription(type);
    if (lexer != nullptr) key += " " + lexer->GetScintillaLexer();
    return key;
}

bool Frame::OpenFile(const QelFileName& filename, int line_number, const wxString& match,
                     long flags)
{
    const wxString key = EditorKey(filename);
    if (!CanOpen(key)) {
        if ((flags & EDITOR_OPEN_PROJECT) == 0) {
            Refuse(key);
            return false;
        }
        // Said with the loader's reason, and no longer offered: every start
        // would open it, and say it, again.
        QelProjectFile::Entries entries;
        wxString error;
        if (QelProjectFile::Read(key, &entries, &error)) error = _("Cannot open file") + ": " + key;
        wxLogError("%s", error);
        RemoveRecentProject(key);
        RemoveRecentProject(filename.GetFullPath()); // as it was kept, if not normalised
        return false;
    }
    const QelFileName file(key);
    if ((flags & EDITOR_OPEN_PROJECT) != 0) return OpenProject(file, key);

    ShowPane("FILES");

    if (auto* stc = dynamic_cast<QelSTC*>(m_Editors->SelectPage(key)); stc != nullptr) {
        if (line_number > 0)
            stc->GotoLineAndSelect(line_number, match);
        else if (!match.empty())
            stc->FindNext(match, 0, true);
        return true;
    }

    if (HexMode()) flags |= EDITOR_HEX;
    auto* stc = new QelSTCWithFrame(m_Editors, this, file, line_number, match, flags);
    if (!stc->GetFileName().IsOk()) { // the load refused it (and said why)
        stc->Destroy();
        return false;
    }
    if (m_IconsShown) {
        m_Editors->AddPage(stc, key, file.GetFullName(), true, QelGetIconBitmap(file));
    } else {
        m_Editors->AddPage(stc, key, file.GetFullName(), true, BlankIcon());
        WaitForIcon(stc);
    }
    if (IsPaneShown("DIRCTRL")) GetDirCtrl()->ExpandAndSelectPath(key);
    if (key == m_LogFile) stc->DocumentEnd();
    if (file.GetExt() == "prj") stc->SetEdgeMode(wxSTC_EDGE_NONE);
    return true;
}

void Frame::OpenNames(const wxArrayString& names)
{
    // A request may name very many files: a line for each would flood the
    // log and keep the window busy writing it.
    Refused refused;
    Refused* const outer = std::exchange(m_Refused, &refused);
    QelOpenFiles(this, names, 0, wxDIR_FILES);
    m_Refused = outer;
    if (refused.count == 1) {
        Refuse(refused.first[0]);
    } else if (refused.count > 1) {
        wxString list = refused.first[0];
        for (size_t i = 1; i < refused.first.size(); ++i) list += ", " + refused.first[i];
        if (refused.count > refused.first.size()) list += ", ...";
        wxLogError(_("Cannot open %zu files: %s"), refused.count, list);
    }
}

void Frame::Refuse(const wxString& key)
{
    constexpr size_t kNamed = 3;
    if (m_Refused == nullptr) {
        wxLogError("%s", _("Cannot open file") + ": " + key);
    } else if (++m_Refused->count <= kNamed) {
        m_Refused->first.push_back(key);
    }
}

bool Frame::OpenProject(const QelFileName& file, const wxString& key)
{
    if (m_Projects->SelectPage(key) == nullptr) {
        auto* project = new QelListViewFile(m_Projects, this, key, wxID_ANY, kListMenu,
                                            wxDefaultPosition, wxDefaultSize, kListStyle);
        m_Projects->AddPage(project, key, file.GetName(), true,
                            wxArtProvider::GetBitmap(wxART_NORMAL_FILE, wxART_OTHER));
    }
    ShowPane("PROJECTS");
    return true;
}

bool Frame::OpenFile(const QelFileName& filename, const QelVCSEntry& vcs, long flags)
{
    const QelFileName file(EditorKey(filename));
    const wxString unique = vcs.GetCommand().GetCommand(true, false) + " " + vcs.GetFlags();
    const wxString key = file.GetFullPath() + unique;
    const wxString title = file.GetFullName() + " " + unique;

    auto* stc = dynamic_cast<QelSTC*>(m_Editors->SelectPage(key));
    if (stc != nullptr) {
        // The command ran again: its page shows the new output, not the old.
        stc->SetText(vcs.GetOutput());
        stc->SetSavePoint();
        stc->SetReadOnly((flags & EDITOR_READ_ONLY) != 0);
    } else {
        stc = new QelSTCWithFrame(m_Editors, this, vcs.GetOutput(), flags, title);
        const int index = m_Editors->GetPageIndexByKey(file.GetFullPath());
        if (index == wxNOT_FOUND)
            m_Editors->AddPage(stc, key, title, true);
        else
            m_Editors->InsertPage(index, stc, key, title, true);
    }
    QelVCSCommandOnSTC(vcs.GetCommand(), file.GetLexer(), stc);
    return true;
}

bool Frame::NewFile(bool as_project)
{
    if (as_project) {
        // Beside the settings: the executable's folder is not writable once
        // installed, and a project there could never be saved. A number
        // whose file a past run saved is passed over, or saving the new
        // project would overwrite it.
        wxString name, path;
        do {
            name = wxString::Format("%s%d", _("project"), m_NewProjectNo++);
            path = wxFileName(QelWritableDir(), name + ".prj").GetFullPath();
        } while (wxFileExists(path) || m_Projects->GetPageByKey(path) != nullptr);
        auto* project = new QelListViewFile(m_Projects, this, path, wxID_ANY, kListMenu,
                                            wxDefaultPosition, wxDefaultSize, kListStyle);
        project->FileNew(QelFileName(path));
        m_Projects->AddPage(project, path, name, true);
        ShowPane("PROJECTS");
        return true;
    }
    if (HexMode()) return false;
    const wxString name = wxString::Format("%s%d", _("textfile"), m_NewFileNo);
    auto* stc = new QelSTCWithFrame(m_Editors, this);
    stc->GetFile().FileNew(QelFileName(name));
    m_NewFileNo++;
    m_Editors->AddPage(stc, name, name, true);
    ShowPane("FILES");
    return true;
}

QelListViewWithFrame* Frame::AddPage(QelListViewFileName::ListType type, const QelLexer* lexer)
{
    const wxString key = ListKey(type, lexer);
    if (wxWindow* page = m_Lists->GetPageByKey(key); page != nullptr)
        return dynamic_cast<QelListViewWithFrame*>(page);
    if (type == QelListViewFileName::LIST_FILE) return nullptr;
    auto* list = new QelListViewWithFrame(m_Lists, this, type, wxID_ANY, kListMenu, lexer,
                                          wxDefaultPosition, wxDefaultSize, kListStyle);
    m_Lists->AddPage(list, key, key, true);
    return list;
}

QelListView* Frame::Activate(QelListViewFileName::ListType type, const QelLexer* lexer)
{
    if (type == QelListViewFileName::LIST_FILE) return GetProject();
    QelListViewWithFrame* list = AddPage(type, lexer);
    ShowPane("OUTPUT");
    return list;
}

QelListViewFile* Frame::GetProject()
{
    const int selection = m_Projects->GetSelection();
    if (!m_Projects->IsShown() || selection == wxNOT_FOUND) return nullptr;
    return dynamic_cast<QelListViewFile*>(m_Projects->GetPage(selection));
}

bool Frame::DialogProjectOpen()
{
    wxFileDialog dialog(this, _("Select Projects"), QelWritableDir(), wxEmptyString,
                        m_ProjectWildcard, wxFD_OPEN | wxFD_MULTIPLE);
    if (dialog.ShowModal() != wxID_OK) return false;
    QelOpenFiles(this, QelFileDialogPaths(dialog), EDITOR_OPEN_PROJECT, wxDIR_DEFAULT);
    return true;
}

bool Frame::AllowCloseAll(int id)
{
    switch (id) {
    case ID_NOTEBOOK_EDITORS: {
        // The pages of a window that closes go with it, at no cost per page;
        // after a cancel those already answered go.
        std::vector<wxWindow*> closable;
        if (m_Editors->AllowCloseAll(closable)) return true;
        m_Editors->DeletePages(closable);
        return false;
    }
    case ID_NOTEBOOK_PROJECTS:
        return QelForEach(m_Projects, ID_LIST_ALL_CLOSE, wxNullFont);
    default:
        wxFAIL_MSG("no notebook of pages to close");
        return true;
    }
}

void Frame::SyncCloseAll(int id)
{
    DecoratedFrame::SyncCloseAll(id);
    switch (id) {
    case ID_NOTEBOOK_EDITORS:
        // The window is closing: no unnamed file to stand in. Nor in hex
        // mode, and the title then names no page that has gone.
        if (!m_Closing && !NewFile(false)) SetTitle(wxTheApp->GetAppDisplayName());
        break;
    case ID_NOTEBOOK_LISTS:
        ShowPane("OUTPUT", false);
        break;
    case ID_NOTEBOOK_PROJECTS:
        ShowPane("PROJECTS", false);
        break;
    default:
        wxFAIL_MSG("unknown notebook");
        break;
    }
}

bool Frame::HasUnsavedChanges()
{
    for (size_t page = 0; page < m_Editors->GetPageCount(); page++)
        if (auto* stc = dynamic_cast<QelSTC*>(m_Editors->GetPage(page));
            stc != nullptr && stc->GetFile().GetContentsChanged())
            return true;
    for (size_t page = 0; page < m_Projects->GetPageCount(); page++)
        if (auto* project = dynamic_cast<QelFile*>(m_Projects->GetPage(page));
            project != nullptr && project->GetContentsChanged())
            return true;
    return false;
}

void Frame::SaveSettings()
{
    wxConfigBase::Get()->Write(kPerspective, Perspective());
    SaveHistory();
}

QelSTC* Frame::GetAsciiTable()
{
    return dynamic_cast<QelSTC*>(GetManager().GetPane("ASCIITABLE").window);
}

void Frame::ShowPane(const wxString& name, bool show)
{
    wxAuiPaneInfo& pane = GetManager().GetPane(name);
    if (!pane.IsOk() || pane.IsShown() == show) return;
    // A pane shown beside a maximised one would be hidden again as that one
    // is restored, and the maximised one hidden would leave an empty window:
    // the others first take back the places they had.
    if (RestoreMaximized() != nullptr && pane.IsShown() == show) {
        GetManager().Update();
        return;
    }
    // A side pane opening makes a new dock as wide as the pane's window
    // asks, and a pane whose window is made on first paint asks next to
    // nothing: it opens at a quarter of the window instead.
    if (show && pane.IsDocked()
        && (pane.dock_direction == wxAUI_DOCK_LEFT || pane.dock_direction == wxAUI_DOCK_RIGHT))
        pane.BestSize(GetClientSize().x / 4, pane.best_size.y);
    pane.Show(show);
    GetManager().Update();
}

void Frame::MaximizePane(const wxString& name)
{
    wxAuiPaneInfo& pane = GetManager().GetPane(name);
    if (!pane.IsOk() || pane.IsMaximized()) return;
    // The manager keeps what one maximised pane hid.
    RestoreMaximized();
    GetManager().MaximizePane(pane);
    GetManager().Update();
}

wxAuiPaneInfo* Frame::RestoreMaximized()
{
    wxAuiPaneInfoArray& panes = GetManager().GetAllPanes();
    for (size_t i = 0; i < panes.GetCount(); i++) {
        if (!panes[i].IsMaximized()) continue;
        GetManager().RestorePane(panes[i]);
        return &panes[i];
    }
    return nullptr;
}

void Frame::RestoreKeptMaximized()
{
    wxAuiPaneInfoArray& panes = GetManager().GetAllPanes();
    wxAuiPaneInfo* maximized = nullptr;
    bool others_shown = false, states_kept = false;
    for (size_t i = 0; i < panes.GetCount(); i++) {
        wxAuiPaneInfo& pane = panes[i];
        if (pane.IsToolbar()) continue;
        if (pane.IsMaximized() && maximized == nullptr)
            maximized = &pane;
        else if (pane.IsShown())
            others_shown = true;
        if (pane.HasFlag(wxAuiPaneInfo::savedHiddenState)) states_kept = true;
    }
    if (maximized == nullptr) return;
    // The docking manager hides the other panes of the one it maximises,
    // each keeping whether it was hidden (the vi bar is, at least). An
    // earlier version only marked the pane as maximised: the others are
    // where they were, with no state to go back to, and the manager would
    // show every one of them. They stay as they are.
    if (others_shown || !states_kept)
        for (size_t i = 0; i < panes.GetCount(); i++)
            panes[i].SetFlag(wxAuiPaneInfo::savedHiddenState,
                             panes[i].HasFlag(wxAuiPaneInfo::optionHidden));
    GetManager().RestorePane(*maximized);
}

wxString Frame::Perspective()
{
    // Kept maximised, the layout would come back with every other pane
    // hidden, as if the user had closed them: it is kept as the maximised
    // pane found it, and the window stays as it is.
    wxAuiPaneInfo* const maximized = RestoreMaximized();
    const wxString perspective = GetManager().SavePerspective();
    if (maximized != nullptr) GetManager().MaximizePane(*maximized);
    return perspective;
}

bool Frame::IsPaneShown(const wxString& name)
{
    return GetManager().GetPane(name).IsShown();
}

void Frame::OnNotebook(wxAuiNotebookEvent& WXUNUSED(event))
{
    FileHistoryPopupMenu();
}

void Frame::OnClose(wxCloseEvent& event)
{
    // A close asked again before the window has gone (a signal repeated) has
    // nothing more to do, nor to say.
    if (wxTheApp->IsScheduledForDestruction(this)) return;
    if (DeferClose(event)) return;
    // The layout as the user left it: closing the projects below hides
    // their pane, and the next start would never reopen a project.
    const wxString perspective = Perspective();
    if (event.CanVeto()) {
        if (GetProcess()->IsRunning()) {
            wxLogStatus(_("Process is running"));
            event.Veto();
            return;
        }
        m_Closing = true;
        const bool allowed
            = AllowCloseAll(ID_NOTEBOOK_PROJECTS) && AllowCloseAll(ID_NOTEBOOK_EDITORS);
        m_Closing = false;
        if (!allowed) {
            event.Veto();
            return;
        }
    }
    // A close that cannot be refused loses the changes; the log keeps a
    // trace of it, through the target that outlives this window.
    const bool lost = !event.CanVeto() && HasUnsavedChanges();
    RemoveLog();
    if (lost) wxLogWarning(_("Closed without saving changes"));
    wxConfigBase::Get()->Write(kPerspective, perspective);
    event.Skip();
}

void Frame::InstallLog()
{
    m_LogFile = QelLogFileName(wxTheApp->GetAppName()).GetFullPath();
    m_LogTarget = new QelLogStderr(QelOpenLogFile(m_LogFile), this);
    m_OldLog = wxLog::SetActiveTarget(m_LogTarget);
    LoggingFrames().push_back(this);
}

void Frame::RemoveLog()
{
    if (m_LogTarget == nullptr) return;
    std::vector<Frame*>& frames = LoggingFrames();
    frames.erase(std::remove(frames.begin(), frames.end(), this), frames.end());
    if (wxLog::GetActiveTarget() == m_LogTarget) {
        // The target we replaced takes over again for the messages of the
        // shutdown.
        wxLog::SetActiveTarget(m_OldLog);
    } else if (auto above = std::find_if(frames.begin(), frames.end(),
                                         [this](Frame* f) { return f->m_OldLog == m_LogTarget; });
               above != frames.end()) {
        // A second window put its target over ours: it hands ours's
        // predecessor back when it goes.
        (*above)->m_OldLog = m_OldLog;
    } else {
        // A target of someone else's holds ours as its predecessor: ours
        // cannot be taken out of that chain, so it and the one before it
        // stay where they are.
        m_OldLog = nullptr;
        m_LogTarget = nullptr;
        return;
    }
    m_OldLog = nullptr;
    delete m_LogTarget;
    m_LogTarget = nullptr;
}

void Frame::Log(wxLogLevel WXUNUSED(level), const wxString& msg, const wxLogRecordInfo& info)
{
    const wxDateTime when(wxLongLong(info.timestampMS));
    m_LogText += when.Format("%x %X") + " " + msg + "\n";
}
