// The main window built for real and hidden: its menus and panes, the layout
// kept in the settings file, the documents it opens, the routing of its log,
// and the save questions before pages and the window close.

#include <sys/stat.h>

#include <algorithm>

#include <gtest/gtest.h>

#include <wx/config.h>
#include <wx/image.h>
#include <wx/regex.h>
#include <wx/testing.h>
#include <wx/weakref.h>

#include <qelkit/configdialog.h>
#include <qelkit/frd.h>
#include <qelkit/notebook.h>
#include <qelkit/openfiles.h>
#include <qelkit/paths.h>
#include <qelkit/report/listviewfile.h>
#include <qelkit/report/listviewframe.h>
#include <qelkit/report/process.h>
#include <qelkit/stc.h>
#include <qelkit/toolbar.h>
#include <qelkit/util.h>

#include "defs.h"
#include "frame.h"
#include "testing.h"

using namespace qeltest;

namespace {

class AppFrame : public ConfigTest {
protected:
    void SetUp() override
    {
        ConfigTest::SetUp();
        QelSetPathsOverride(m_Temp.Path());
        InstallLexers(QEL_SOURCE_DIR "/data/lexers.xml");
    }
    void TearDown() override
    {
        Destroy();
        QelSetPathsOverride("");
        ConfigTest::TearDown();
    }

    void Make(bool open_recent = true) { Destroy(), m_Frame = new Frame(open_recent); }
    void Destroy() { delete m_Frame.get(), m_Frame = nullptr; }
    // A close as the window manager asks for it; true when the window went.
    bool CloseWindow(bool force)
    {
        if (!m_Frame->Close(force)) return false;
        return PumpUntil([this] { return m_Frame.get() == nullptr; }, 2000);
    }
    bool Shown(const char* pane) { return m_Frame->IsPaneShown(pane); }
    std::vector<wxString> Keys()
    {
        std::vector<wxString> keys;
        QelNotebook* book = m_Frame->GetEditors();
        for (size_t i = 0; i < book->GetPageCount(); i++)
            keys.push_back(book->GetKeyByPage(book->GetPage(i)));
        return keys;
    }
    QelSTC* Editor() { return dynamic_cast<QelSTC*>(m_Frame->GetEditors()->GetCurrentPage()); }
    // A page closed as its close button does it.
    bool ClosePage(wxWindow* page)
    {
        if (!m_Frame->AllowClose(ID_NOTEBOOK_EDITORS, page)) return false;
        QelNotebook* book = m_Frame->GetEditors();
        return book->DeletePage(book->GetPageIndex(page));
    }
    wxString File(const wxString& name, const std::string& bytes = "text\n")
    {
        const wxString path = m_Temp.File(name);
        EXPECT_TRUE(WriteBytes(path, bytes));
        return path;
    }

    wxWeakRef<Frame> m_Frame;
};

TEST_F(AppFrame, TwoFramesInOneRunKeepTheirOwnPanes)
{
    // The second frame's panes must number from 0 again: numbering on over
    // the run wrote past the end of its field widths.
    wxLog* const before = wxLog::GetActiveTarget();
    Make();
    auto* first = m_Frame.get();
    m_Frame = nullptr;
    Make();
    delete first;
    QelFrame::StatusText("y", "PaneInfo");
    EXPECT_EQ(m_Frame->GetStatusBar()->GetStatusText(2), "y");
    // Its log target went with it; the second one's still logs, and after
    // it the one from before both.
    wxLogMessage("after the first");
    EXPECT_TRUE(m_Frame->GetLogText().Contains("after the first"));
    Destroy();
    EXPECT_EQ(wxLog::GetActiveTarget(), before);
}

// A first start shows the files pane only. After a restart the documents
// come back, and a shown pane, but never the output pane; the history, made
// only once its pane shows, lists the recent file. A window closed with the
// projects filling it keeps the layout they covered.
TEST_F(AppFrame, LayoutAndRecentDocumentsComeBackAfterARestart)
{
    const wxString a = File("a.txt"), prj = m_Temp.File("p.prj");
    const struct {
        const char* name;
        bool open_recent, project, file_gone;
        // 1 closed with the projects filling the window; so kept: 2 as an
        // earlier version marked them, 3 as the docking manager does
        int projects_whole = 0;
        bool others = true; // the history and the output shown before the window closed
    } rows[] = {
        {"RecentFileGone", true, false, true},
        {"FilesNamedAtStart", false, true, false},
        {"ProjectsFillTheWindow", true, true, false, 1},
        {"ProjectsFilledTheWindowInAnEarlierVersion", true, true, false, 2},
        {"ProjectsAloneFilledTheWindowInAnEarlierVersion", true, true, false, 2, false},
        {"ProjectsKeptMaximizedByTheManager", true, true, false, 3},
        {"FileAndProject", true, true, false}, // last: its history is looked at
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        wxConfigBase::Get()->DeleteAll();
        Make();
        EXPECT_TRUE(m_Frame->GetToolBar()->GetToolFits(wxID_HELP));
        for (const char* pane : {"PROJECTS", "HISTORY", "OUTPUT"}) EXPECT_FALSE(Shown(pane));
        EXPECT_TRUE(Shown("FILES"));
        ASSERT_TRUE(WriteBytes(a, "text\n"));
        ASSERT_TRUE(m_Frame->OpenFile(QelFileName(a)));
        if (row.project) {
            ASSERT_TRUE(QelProjectFile::Write(prj, {}));
            ASSERT_TRUE(m_Frame->OpenFile(QelFileName(prj), 0, "", EDITOR_OPEN_PROJECT));
        }
        if (row.others)
            for (const char* pane : {"HISTORY", "OUTPUT"}) m_Frame->ShowPane(pane);
        wxString whole;
        if (row.projects_whole == 2) {
            // The files hidden, and the projects only marked as maximised:
            // the other panes hold no state of their own to go back to.
            m_Frame->ShowPane("FILES", false);
            m_Frame->GetManager().GetPane("PROJECTS").Maximize();
            whole = m_Frame->GetManager().SavePerspective();
        } else if (row.projects_whole > 0) {
            wxCommandEvent files(wxEVT_MENU, ID_VIEW_FILES);
            ASSERT_TRUE(m_Frame->ProcessWindowEvent(files));
            ASSERT_FALSE(Shown("HISTORY"));
            whole = m_Frame->GetManager().SavePerspective();
        }
        ASSERT_TRUE(CloseWindow(false));
        if (row.projects_whole >= 2) wxConfigBase::Get()->Write("Perspective", whole);
        Reopen();
        if (row.file_gone) wxRemoveFile(a);
        // The tool bar as narrow as a layout from before the Help tool left it.
        wxString layout = wxConfigBase::Get()->Read("Perspective");
        wxRegEx width("name=TOOLBAR;[^|]*bestw=([0-9]+)");
        size_t at = 0, length = 0;
        ASSERT_TRUE(width.Matches(layout) && width.GetMatch(&at, &length, 1)) << layout;
        const auto state = [&](const char* pane) {
            wxRegEx field(wxString("name=") + pane + ";[^|]*state=([0-9]+)");
            return field.Matches(layout) ? wxAtol(field.GetMatch(layout, 1)) : -1;
        };
        if (row.projects_whole < 2) { // as the window kept it
            EXPECT_EQ(state("PROJECTS") & wxAuiPaneInfo::optionMaximized, 0);
            EXPECT_EQ(state("HISTORY") & wxAuiPaneInfo::optionHidden, 0);
        }
        wxConfigBase::Get()->Write("Perspective", layout.replace(at, length, "50"));
        // The frame's own log target takes the messages of its construction.
        Make(row.open_recent);
        EXPECT_TRUE(m_Frame->GetToolBar()->GetToolFits(wxID_HELP));
        EXPECT_EQ(Shown("HISTORY"), row.others);
        EXPECT_FALSE(Shown("OUTPUT"));
        for (const char* pane : {"DIRCTRL", "ASCIITABLE"}) EXPECT_FALSE(Shown(pane)) << pane;
        EXPECT_EQ(Keys(), std::vector<wxString>(row.open_recent && !row.file_gone, a));
        EXPECT_EQ(Shown("PROJECTS"), row.open_recent && row.project);
        EXPECT_FALSE(Shown("VIBAR"));
        EXPECT_FALSE(m_Frame->GetManager().GetPane("PROJECTS").IsMaximized());
        EXPECT_EQ(m_Frame->GetProject() != nullptr, row.open_recent && row.project);
        EXPECT_EQ(m_Frame->GetLogText().Contains("Cannot open file: " + a), row.file_gone)
            << m_Frame->GetLogText();
    }
    m_Frame->Show();
    EXPECT_TRUE(PumpUntil([this] { return m_Frame->GetHistory()->GetItemCount() == 1; }, 3000));
}

// Every route to a file selects its one page; what is no file gets a
// message and no page.
TEST_F(AppFrame, EveryRouteToAFileSelectsItsOnePage)
{
    wxMkdir(m_Temp.File("sub"));
    const wxString a = File("a.txt", "1\n2\n3\n4\n");
    CwdGuard cwd(m_Temp.Path());
    Make(false);
    const wxString huge = m_Temp.File("huge");
    qeltest::Run("truncate -s 2G " + ShellQuote(huge));
    for (const wxString& path :
         {m_Temp.Path(), wxString("/dev/null"), m_Temp.File("missing"), huge}) {
        SCOPED_TRACE(path);
        LogCapture log;
        EXPECT_FALSE(m_Frame->OpenFile(QelFileName(path)));
        EXPECT_TRUE(log.Has("Cannot open file: " + path)) << log.Dump();
        EXPECT_TRUE(Keys().empty());
    }
    // A project that cannot be opened is said with its reason and leaves
    // the recent projects: each start would say it again.
    const wxString fifo = m_Temp.File("fifo.prj");
    ASSERT_EQ(mkfifo(fifo.fn_str(), 0600), 0);
    for (const wxString& path : {m_Temp.Path(), wxString("/dev/null"), fifo}) {
        SCOPED_TRACE(path);
        m_Frame->SetRecentProject(path);
        LogCapture log;
        EXPECT_FALSE(m_Frame->OpenFile(QelFileName(path), 0, "", EDITOR_OPEN_PROJECT));
        EXPECT_EQ(log.Dump().utf8_string(),
                  "1: Cannot load project '" + path.utf8_string() + "': not a regular file\n");
        EXPECT_TRUE(m_Frame->GetRecentProject() != path);
    }
    {
        LogCapture log; // an empty name would be the working folder's
        QelOpenFiles(m_Frame, wxArrayString(1, wxString()));
        EXPECT_TRUE(log.Records().empty()) << log.Dump();
    }
    const std::pair<wxString, int> rows[] = {{"a.txt", 1}, {"sub/../a.txt:3", 3}};
    for (const auto& [open, line] : rows) {
        SCOPED_TRACE(open);
        QelOpenFiles(m_Frame, wxArrayString(1, &open));
        EXPECT_EQ(Keys(), std::vector<wxString>{a});
        EXPECT_EQ(Editor()->GetCurrentLine() + 1, line);
    }
}

// A tab shows its file's type icon, also a page opened before the window
// showed, once the tabs were drawn.
TEST_F(AppFrame, TabsShowTheirFileTypeIcons)
{
    Make(false);
    const wxString early = File("a.c"), late = File("b.py");
    ASSERT_TRUE(m_Frame->OpenFile(QelFileName(early)));
    m_Frame->Show();
    ASSERT_TRUE(m_Frame->OpenFile(QelFileName(late)));
    QelNotebook* book = m_Frame->GetEditors();
    const auto shown = [book](const wxString& path) {
        const wxImage tab = book->GetPageBitmap(book->GetPageIndexByKey(path)).ConvertToImage();
        const wxImage icon = QelGetIconBitmap(QelFileName(path)).ConvertToImage();
        return tab.GetSize() == icon.GetSize()
            && std::equal(tab.GetData(), tab.GetData() + 3 * 16 * 16, icon.GetData());
    };
    EXPECT_TRUE(PumpUntil([&] { return shown(early) && shown(late); }, 5000));
}

// The tools follow the state; an idle pass with nothing before it (a blink
// of the caret) asks them nothing, unless the state moved untold, and gives
// its time to the editor shown, not to the bars. The file and the title's
// mark still follow.
TEST_F(AppFrame, QuietIdlePassesLeaveTheToolsAsTheyAre)
{
    Make(false);
    m_Frame->Show();
    const wxString path = File("a.txt");
    ASSERT_TRUE(m_Frame->OpenFile(QelFileName(path)));
    Pump(100);
    int asked = 0, bar_idle = 0, editor_idle = 0;
    m_Frame->Bind(wxEVT_UPDATE_UI, [&asked](wxUpdateUIEvent& event) { ++asked, event.Skip(); });
    const auto count = [](int& n) { return [&n](wxIdleEvent& event) { ++n, event.Skip(); }; };
    m_Frame->GetToolBar()->Bind(wxEVT_IDLE, count(bar_idle));
    Editor()->Bind(wxEVT_IDLE, count(editor_idle));
    const auto pass = [&] {
        asked = bar_idle = editor_idle = 0;
        wxTheApp->ProcessIdle();
        return asked;
    };
    pass();
    EXPECT_EQ(pass(), 0);
    EXPECT_EQ(bar_idle, 0);
    EXPECT_EQ(editor_idle, 1);
    ASSERT_TRUE(WriteBytes(path, "theirs\n"));
    EXPECT_TRUE(PumpUntil([&] { return TextBytes(Editor()) == "theirs\n"; }, 3000));
    Editor()->AddText("x");
    EXPECT_GT(pass(), 0);
    EXPECT_GT(bar_idle, 0);
    EXPECT_TRUE(m_Frame->GetToolBar()->GetToolEnabled(wxID_SAVE));
    EXPECT_TRUE(m_Frame->GetTitle().EndsWith(" *"));
    Editor()->SetReadOnly(true); // the control tells no one
    EXPECT_GT(pass(), 0);
    EXPECT_EQ(pass(), 0);
}

// Rows a timer adds to a list of a shown pane (a process's output, with a
// row picked so that the list does not follow) tell no one: the quiet passes
// that the ticks bring still lay them out, with no key or mouse touched.
TEST_F(AppFrame, QuietIdlePassesLayOutTheShownPanes)
{
    Make(false);
    m_Frame->Show();
    QelListView* list = m_Frame->Activate(QelListViewFileName::LIST_PROCESS);
    ASSERT_NE(list, nullptr);
    list->InsertItem(0, "first");
    list->Select(0);
    Pump(100);
    for (int i = 0; i < 2; ++i) wxTheApp->ProcessIdle(); // the passes are quiet from here on
    const int range = list->GetScrollRange(wxVERTICAL);
    for (int i = 1; i < 1000; ++i) list->InsertItem(i, wxString::Format("%d", i));
    for (int i = 0; i < 3; ++i) wxTheApp->ProcessIdle();
    EXPECT_GT(list->GetScrollRange(wxVERTICAL), range + 100);
}

TEST_F(AppFrame, FilesOpenAsTheirKindNeeds)
{
    Make(false);
    // A new project keeps clear of the name of one a past run saved.
    const wxString saved = File("project1.prj", "<files/>\n");
    ASSERT_TRUE(m_Frame->NewFile(true));
    EXPECT_EQ(m_Frame->GetProjects()->GetKeyByPage(m_Frame->GetProject()),
              m_Temp.File("project2.prj"));
    EXPECT_EQ(ReadBytes(saved), "<files/>\n");
    // Opening shows the files pane and gives a maximised projects pane its
    // place back.
    m_Frame->ShowPane("FILES", false);
    m_Frame->GetManager().MaximizePane(m_Frame->GetManager().GetPane("PROJECTS"));
    ASSERT_TRUE(m_Frame->OpenFile(QelFileName(File("x.prj", "<files/>\n"))));
    EXPECT_TRUE(Shown("FILES"));
    EXPECT_FALSE(m_Frame->GetManager().GetPane("PROJECTS").IsMaximized());
    // The log opens at its end.
    wxLogMessage("a line for the log");
    ASSERT_TRUE(m_Frame->OpenFile(QelFileName(m_Frame->GetLogFile())));
    EXPECT_GT(Editor()->GetLength(), 0);
    EXPECT_EQ(Editor()->GetCurrentPos(), Editor()->GetLength());
    // A line too heavy to lay out in time: a dump, and the status bar keeps
    // the reason over what the new page tells.
    const wxString heavy = File("heavy.txt", std::string(QelEditorMaxLineWeight() + 1, 'x'));
    ASSERT_TRUE(m_Frame->OpenFile(QelFileName(heavy)));
    EXPECT_TRUE(Editor()->GetFlags() & EDITOR_HEX);
    const wxString said = "Shown in hexadecimal: " + heavy + " (";
    EXPECT_TRUE(PumpUntil(
        [&] { return m_Frame->GetStatusBar()->GetStatusText(0).StartsWith(said); }, 3000));
    // Of files opened at once, the reason of a page not shown stays out of
    // the status bar, which tells of the page shown; the log has it.
    const wxString hidden = File("hidden.txt", std::string(QelEditorMaxLineWeight() + 1, 'y'));
    wxArrayString names;
    names.push_back(hidden), names.push_back(File("shown.txt"));
    m_Frame->OpenNames(names);
    wxTheApp->ProcessPendingEvents();
    EXPECT_TRUE(m_Frame->GetLogText().Contains("Shown in hexadecimal: " + hidden));
    EXPECT_FALSE(m_Frame->GetStatusBar()->GetStatusText(0).Contains(hidden))
        << m_Frame->GetStatusBar()->GetStatusText(0);
    wxConfigBase::Get()->Write("HexMode", true);
    EXPECT_FALSE(m_Frame->NewFile(false));
}

TEST_F(AppFrame, ClosingAChangedFileAsks)
{
    const struct {
        int answer;
        bool folder_gone; // the save fails (last: its page stays)
        bool closed;
        const char* disk;
    } rows[] = {
        {wxID_YES, false, true, "xtext\n"},
        {wxID_NO, false, true, "text\n"},
        {wxID_CANCEL, false, false, "text\n"},
        {wxID_YES, true, false, ""},
    };
    Make(false);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.answer + row.folder_gone);
        TempDir folder;
        const wxString path = folder.File("a.txt");
        ASSERT_TRUE(WriteBytes(path, "text\n"));
        ASSERT_TRUE(m_Frame->OpenFile(QelFileName(path)));
        QelSTC* stc = Editor();
        stc->AddText("x");
        if (row.folder_gone) {
            ASSERT_TRUE(wxRemoveFile(path) && wxRmdir(folder.Path()));
        }
        LogCapture log;
        bool closed = false;
        wxTEST_DIALOG(closed = ClosePage(stc), wxExpectModal<wxMessageDialog>(row.answer));
        EXPECT_EQ(closed, row.closed);
        EXPECT_EQ(ReadBytes(path), row.disk);
        EXPECT_EQ(m_Frame->GetEditors()->GetPageIndexByKey(path) != wxNOT_FOUND, !row.closed);
        EXPECT_EQ(log.Has("Cannot save file: " + path), row.folder_gone) << log.Dump();
    }
}

TEST_F(AppFrame, WindowCloseAsksProjectsThenEditors)
{
    const wxString a = File("a.txt");
    LogCapture log; // under the window's own log target, which the close removes
    Make(false);
    ASSERT_TRUE(m_Frame->NewFile(true));
    ASSERT_TRUE(m_Frame->GetProject()->ItemFromText(File("b.txt")));
    ASSERT_TRUE(m_Frame->OpenFile(QelFileName(a)));
    Editor()->AddText("x");

    // The project is asked first; Cancel on the editor keeps the window.
    wxTEST_DIALOG(EXPECT_FALSE(CloseWindow(false)), wxExpectModal<wxMessageDialog>(wxID_NO),
                  wxExpectModal<wxMessageDialog>(wxID_CANCEL));
    EXPECT_EQ(m_Frame->GetProjects()->GetPageCount(), 0u);
    EXPECT_EQ(Keys(), std::vector<wxString>{a});

    // A process that runs vetoes without a question.
    ASSERT_GT(m_Frame->GetProcess()->Execute("sleep 30"), 0);
    EXPECT_FALSE(CloseWindow(false));
    m_Frame->GetProcess()->Kill(wxSIGKILL);
    PumpUntil([this] { return !m_Frame->GetProcess()->IsRunning(); }, 2000);

    // A close that cannot be refused loses the edit, and says so once, also
    // when it comes again before the window has gone (a repeated signal).
    log.Clear();
    EXPECT_TRUE(m_Frame->Close(true));
    EXPECT_TRUE(CloseWindow(true));
    EXPECT_EQ(log.CountLevel(wxLOG_Warning), 1u) << log.Dump();
    EXPECT_EQ(ReadBytes(a), "text\n");
}

// Quit or a signal during a find or replace in files came while the run let
// the event loop go on, and destroyed the window and the dialog under the
// dialog's OK handler. The run stops, the handler returns to a window that
// is still there, and the close, as asked, follows: no file is changed and
// the settings are written.
TEST_F(AppFrame, CloseDuringFindInFilesWaitsForTheHandler)
{
    const wxString tree = m_Temp.File("tree");
    ASSERT_TRUE(wxFileName::Mkdir(tree));
    for (const char* name : {"a.txt", "b.txt", "c.txt"}) File("tree/" + wxString(name), "foo\n");
    const struct {
        const char* name;
        int dialog;
        bool quit; // from the menu, else as a signal closes it
    } rows[] = {
        {"Quit", ID_FIND_IN_FILES, true},
        {"signal", ID_FIND_IN_FILES, false},
        {"signal during a replace", ID_REPLACE_IN_FILES, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Make(false);
        wxConfigBase::Get()->DeleteEntry("Perspective");
        wxConfigBase::Get()->Write(m_Frame->GetTextInFolder(), tree);
        wxConfigBase::Get()->Write(m_Frame->GetTextInFiles(), "*");
        QelFindReplaceData::Get()->SetFindString("foo");
        QelFindReplaceData::Get()->SetReplaceString("bar");
        wxTheApp->SetTopWindow(m_Frame);
        wxCommandEvent show(wxEVT_MENU, row.dialog);
        ASSERT_TRUE(m_Frame->ProcessWindowEvent(show));
        QelConfigDialog* dialog = nullptr;
        for (wxWindow* window : wxTopLevelWindows)
            if (auto* d = dynamic_cast<QelConfigDialog*>(window); d != nullptr && d->IsShown())
                dialog = d;
        ASSERT_NE(dialog, nullptr);

        // Taken at the run's first turn of the event loop.
        wxTheApp->CallAfter([this, quit = row.quit] {
            wxCommandEvent exit(wxEVT_MENU, wxID_EXIT);
            quit ? void(m_Frame->ProcessWindowEvent(exit)) : void(m_Frame->Close(true));
        });
        wxCommandEvent ok(wxEVT_BUTTON, wxID_OK);
        ok.SetEventObject(dialog);
        dialog->ProcessWindowEvent(ok);
        ASSERT_TRUE(m_Frame);
        EXPECT_FALSE(dialog->IsShown());
        EXPECT_TRUE(PumpUntil([this] { return m_Frame.get() == nullptr; }, 5000));
        wxTheApp->SetTopWindow(nullptr);
        EXPECT_NE(wxConfigBase::Get()->Read("Perspective", ""), "");
        EXPECT_EQ(ReadBytes(tree + "/a.txt"), "foo\n");
    }
}

// Each level reaches the status bar, the log file and the window's log text
// as the main window routes it.
TEST_F(AppFrame, LogMessagesReachStatusBarFileAndTextByLevel)
{
    Make(false);
    const wxString file = m_Frame->GetLogFile();
    const std::string stamp = "[0-9]{2}/[0-9]{2}/[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2}";
    const struct {
        std::function<void()> log;
        const char* status;   // field 0 afterwards
        std::string fileLine; // pattern of the file's new line; none when empty
        std::string textLine; // of the log text's
    } rows[] = {
        {[] { wxLogStatus("Opened: /x"); }, "Opened: /x", "", ""},
        {[] { wxLogError("Cannot open file: /x"); }, "Cannot open file: /x",
         stamp + ": Error: Cannot open file: /x", stamp + " Cannot open file: /x"},
        {[] { wxLogWarning("w"); }, "Cannot open file: /x", stamp + ": Warning: w", stamp + " w"},
        {[] { wxLogDebug("d"); }, "Cannot open file: /x", "", stamp + " d"},
    };
    const auto matches = [](const std::string& pattern, const std::string& text) {
        return pattern.empty() ? text.empty()
                               : wxRegEx("^" + pattern + "\n$").Matches(wxString::FromUTF8(text));
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.status);
        const size_t fileBefore = ReadBytes(file).size();
        const size_t textBefore = m_Frame->GetLogText().utf8_string().size();
        row.log();
        wxLog::FlushActive();
        EXPECT_EQ(m_Frame->GetStatusBar()->GetStatusText(0), row.status);
        const std::string fileAdded = ReadBytes(file).substr(fileBefore);
        const std::string textAdded = m_Frame->GetLogText().utf8_string().substr(textBefore);
        EXPECT_TRUE(matches(row.fileLine, fileAdded)) << fileAdded;
        EXPECT_TRUE(matches(row.textLine, textAdded)) << textAdded;
    }
}

} // namespace

// A file that the editor control throws on while it loads (a line that does
// not fit into memory) leaves no page: a new one is not added, one that was
// reloading goes; the other pages stay and the program goes on.
TEST_F(AppFrame, ThrowDuringALoadDropsThePage)
{
    Make(false);
    ASSERT_TRUE(m_Frame->OpenFile(QelFileName(File("kept.txt", "kept\n"))));
    QelSTC* kept = Editor();
    const wxString path = File("throws.txt", "thrown\n");
    {
        LogCapture log;
        ThrowWhileLoading thrower("throws.txt");
        EXPECT_FALSE(m_Frame->OpenFile(QelFileName(path)));
        EXPECT_TRUE(log.Has("Cannot open file: " + path + " (std::bad_alloc)")) << log.Dump();
    }
    Pump(50);
    EXPECT_EQ(m_Frame->GetEditors()->GetPageCount(), 1u);
    EXPECT_EQ(m_Frame->GetSTC(), kept);

    ASSERT_TRUE(m_Frame->OpenFile(QelFileName(File("throws.txt", "first\n"))));
    QelSTC* reloading = Editor();
    ASSERT_EQ(m_Frame->GetEditors()->GetPageCount(), 2u);
    ASSERT_TRUE(WriteBytes(path, "second, longer\n"));
    {
        ThrowWhileLoading thrower("throws.txt");
        EXPECT_FALSE(reloading->GetFile().CheckSync());
    }
    EXPECT_TRUE(PumpUntil([&] { return m_Frame->GetEditors()->GetPageCount() == 1u; }, 2000));
    EXPECT_EQ(m_Frame->GetSTC(), kept);
    EXPECT_EQ(TextBytes(kept), "kept\n");
    // So does a page not shown that the reload threw on.
    ASSERT_TRUE(m_Frame->OpenFile(QelFileName(File("throws.txt", "first\n"))));
    QelSTC* hidden = Editor();
    m_Frame->GetEditors()->SetSelection(m_Frame->GetEditors()->GetPageIndex(kept));
    ASSERT_FALSE(hidden->IsShown());
    ASSERT_TRUE(WriteBytes(path, "second, longer\n"));
    {
        ThrowWhileLoading thrower("throws.txt");
        EXPECT_FALSE(hidden->GetFile().CheckSync());
    }
    EXPECT_TRUE(PumpUntil([&] { return m_Frame->GetEditors()->GetPageCount() == 1u; }, 2000));
}
