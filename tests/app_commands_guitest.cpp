// The main window's commands and their availability, on the real window,
// hidden, with real files and real dialogs answered by the test.
#include <optional>
#include <utility>

#include <gtest/gtest.h>
#include <wx/config.h>
#include <wx/testing.h>
#include <wx/choicdlg.h>
#include <wx/textdlg.h>

#include <qelkit/configdialog.h>
#include <qelkit/lexers.h>
#include <qelkit/notebook.h>
#include <qelkit/openfiles.h>
#include <qelkit/report/listviewfile.h>
#include <qelkit/report/listviewframe.h>
#include <qelkit/report/process.h>
#include <qelkit/statusbar.h>
#include <qelkit/stc.h>
#include <qelkit/vcs.h>

#include "app_frame_harness.h"
#include "configcontrols.h"
#include "defs.h"

using namespace qeltest;

namespace {

// Ends a save dialog with a path, noting the dialog's style and title.
ExpectAnswer<wxFileDialog> SavePath(const wxString& path, long* style, wxString* title = nullptr)
{
    return ExpectAnswer<wxFileDialog>([=](wxFileDialog* dialog) {
        *style = dialog->GetWindowStyle();
        if (title != nullptr) *title = dialog->GetMessage();
        dialog->SetPath(path);
    });
}

// Types an answer into a text question.
ExpectAnswer<wxTextEntryDialog> Text(const wxString& value)
{
    return ExpectAnswer<wxTextEntryDialog>(
        [=](wxTextEntryDialog* dialog) { dialog->SetValue(value); });
}

// Fills a settings dialog's items in order (an empty text leaves an item as
// it is) and presses OK.
ExpectAnswer<QelConfigDialog> Fill(const std::vector<wxString>& values)
{
    return ExpectAnswer<QelConfigDialog>([=](QelConfigDialog* dialog) {
        for (size_t i = 0; i < values.size(); i++)
            if (!values[i].empty()) Edit(dialog->GetConfigItems().at(i).GetWindow(), values[i]);
        wxCommandEvent ok(wxEVT_BUTTON, wxID_OK);
        dialog->ProcessWindowEvent(ok);
    });
}

class CommandsTest : public AppFrameTest {
protected:
    QelNotebook* Editors() { return m_Frame->GetEditors(); }
};

TEST_F(CommandsTest, SaveAsAsksBeforeOverwritingAndRefusesAnOpenTarget)
{
    QelSTC* other = Open("other.txt", "other\n");
    QelSTC* stc = Open("a.txt", "a\n");
    stc->AppendText("b\n");
    const wxString existing = m_Temp.File("existing.txt"), fresh = m_Temp.File("fresh.txt");
    ASSERT_TRUE(WriteBytes(existing, "keep\n"));

    // The dialog itself asks before it overwrites.
    long style = 0;
    wxString title;
    wxTEST_DIALOG(Command(wxID_SAVEAS), SavePath(fresh, &style, &title));
    EXPECT_EQ(style & (wxFD_SAVE | wxFD_OVERWRITE_PROMPT), wxFD_SAVE | wxFD_OVERWRITE_PROMPT);
    EXPECT_EQ(title, "Save As"); // a title, not a menu item's label
    EXPECT_EQ(ReadBytes(fresh), "a\nb\n");
    EXPECT_EQ(Editors()->GetPageByKey(fresh), stc);

    // A new file was never saved anywhere: Save asks where, as Save As does.
    ASSERT_TRUE(m_Frame->NewFile(false));
    m_Frame->GetSTC()->AppendText("new\n");
    wxTEST_DIALOG(Command(wxID_SAVE), SavePath(m_Temp.File("chosen.txt"), &style));
    EXPECT_EQ(ReadBytes(m_Temp.File("chosen.txt")), "new\n");
    Editors()->SelectPage(fresh);

    // A name carried by the command (vi's write) asks for an existing file.
    const std::pair<int, std::string> rows[] = {{wxID_NO, "keep\n"}, {wxID_YES, "a\nb\n"}};
    for (const auto& [answer, on_disk] : rows) {
        wxTEST_DIALOG(Command(wxID_SAVEAS, existing), wxExpectModal<wxMessageDialog>(answer));
        EXPECT_EQ(ReadBytes(existing), on_disk) << answer;
        EXPECT_EQ(Editors()->GetKeyByPage(stc), answer == wxID_YES ? existing : fresh);
    }

    // A file that another page shows is refused, whichever way it comes.
    const wxString other_path = m_Temp.File("other.txt");
    LogCapture log;
    Command(wxID_SAVEAS, other_path);
    wxTEST_DIALOG(Command(wxID_SAVEAS), SavePath(other_path, &style));
    EXPECT_EQ(log.Count("it is open in another page"), 2u) << log.Dump();
    EXPECT_EQ(ReadBytes(other_path), "other\n");
    EXPECT_EQ(Editors()->GetPageByKey(other_path), other);
    EXPECT_EQ(Editors()->GetKeyByPage(stc), existing);
}

// Ids in the window's ranges without a command of their own reach the
// toolkit's other handlers, with no assertion on the way.
TEST_F(CommandsTest, IdsWithoutCommandArePassedOn)
{
    ExpectAsserts asserts;
    for (const int id : {5005, 5012, 5015, int(ID_ALL_LOWEST), int(ID_ALL_CONFIG_GET),
                         int(ID_APP_LOWEST), 6188, 6195, int(ID_VCS_LOWEST)})
        EXPECT_FALSE(Command(id)) << id;
    EXPECT_EQ(asserts.Count(), 0);
}

// What the window holds reaches the availability of its commands (the rules
// themselves are in app_rules_test). Each row changes the window further.
TEST_F(CommandsTest, AvailabilityFollowsTheWindow)
{
    QelSTC* stc = Open("a.txt", "\xc3\xa9\n");
    QelVCS vcs{wxFileName(QEL_SOURCE_DIR "/data/vcs.xml")};
    wxConfigBase* config = wxConfigBase::Get();
    const struct {
        const char* name;
        std::function<void()> change;
        int id;
        bool enabled;
        std::optional<bool> checked = std::nullopt;
    } rows[] = {
        {"unchanged file", nullptr, wxID_SAVE, false},
        {"changed file", [&] { stc->AppendText("x"); }, wxID_SAVE, true},
        // A read-only editor tells the code of one character of two bytes.
        {"read-only character", [&] { stc->SetReadOnly(true), stc->SetSelection(0, 2); },
         ID_EDIT_CONTROL_CHAR, true},
        // A line end of two characters, which the control steps over at once, is not one.
        {"read-only line end",
         [&] {
             stc->SetReadOnly(false), stc->SetTextRaw("a\r\nb");
             stc->SetReadOnly(true), stc->SetSelection(1, 3);
         },
         ID_EDIT_CONTROL_CHAR, false},
        {"no version control systems", nullptr, ID_OPTION_VCS, false},
        {"version control systems", [] { QelVCS::Read(); }, ID_OPTION_VCS, true},
        {"version control in use", nullptr, ID_TOOL_REPORT_REVISION, true, false},
        {"version control off", [=] { config->Write("VCS", 0L); }, ID_TOOL_REPORT_REVISION, true,
         true},
        {"auto sort off", [=] { config->Write("List/SortSync", false); }, ID_PROJECT_SORT_SYNC,
         true, false},
        {"sort descending", [=] { config->Write("List/SortMethod", 3L); },
         ID_OPTION_LIST_SORT_DESCENDING, true, true},
        {"output hidden", nullptr, ID_VIEW_OUTPUT, true, false},
        {"output shown", [&] { m_Frame->ShowPane("OUTPUT"); }, ID_VIEW_OUTPUT, true, true},
        {"project unchanged", [&] { m_Frame->NewFile(true); }, ID_PROJECT_SAVE, false},
        {"project changed", [&] { m_Frame->GetProject()->ItemFromText(m_Temp.File("a.txt")); },
         ID_PROJECT_SAVE, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        if (row.change) row.change();
        m_Frame->SetFindFocus(stc);
        wxUpdateUIEvent update(row.id);
        update.SetEventObject(m_Frame);
        EXPECT_TRUE(m_Frame->ProcessWindowEvent(update));
        EXPECT_EQ(update.GetEnabled(), row.enabled);
        EXPECT_EQ(update.GetSetChecked() ? std::optional<bool>(update.GetChecked()) : std::nullopt,
                  row.checked);
    }
}

// Close closes the page it is on, also a second view of a file, whose key
// is not the file's.
TEST_F(CommandsTest, CloseTakesItsOwnPage)
{
    QelSTC* stc = Open("a.txt", "a\n");
    // The character table's editor is no page: nothing to close or split.
    m_Frame->ShowPane("ASCIITABLE");
    m_Frame->SetFindFocus(m_Frame->GetAsciiTable());
    ASSERT_EQ(m_Frame->GetSTC(), m_Frame->GetAsciiTable());
    for (const int id : {int(wxID_CLOSE), int(wxID_SAVEAS), int(ID_SPLIT)})
        EXPECT_TRUE(Command(id));
    EXPECT_EQ(Editors()->GetPageCount(), 1u);

    m_Frame->SetFindFocus(stc);
    EXPECT_TRUE(Command(ID_SPLIT));
    ASSERT_EQ(Editors()->GetPageCount(), 2u);
    ASSERT_NE(m_Frame->GetSTC(), stc);
    EXPECT_TRUE(Command(wxID_CLOSE));
    ASSERT_EQ(Editors()->GetPageCount(), 1u);
    EXPECT_EQ(Editors()->GetPage(0), stc);

    // Changes shown in another view are not lost with a view: its close asks
    // nothing, and closing them all asks once. The file's page leaves its
    // key to a view of it, which opening the file again then selects.
    const wxString path = m_Temp.File("a.txt");
    stc->AddText("x");
    int asked = 0;
    const auto answer = [&asked](int code) {
        return ExpectAnswer<wxMessageDialog>([&asked](auto*) { ++asked; }, code).Optional();
    };
    const struct {
        int id;
        bool file_page; // the file's own page is closed, else the view made
        int asked;
    } rows[] = {{wxID_CLOSE, false, 0}, {wxID_CLOSE, true, 0}, {ID_ALL_CLOSE, true, 1}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.id + row.file_page);
        QelSTC* page = dynamic_cast<QelSTC*>(Editors()->GetPageByKey(path));
        m_Frame->SetFindFocus(page);
        ASSERT_TRUE(Command(ID_SPLIT));
        QelSTC* view = m_Frame->GetSTC();
        if (row.file_page) Editors()->SelectPage(path), m_Frame->SetFindFocus(page);
        asked = 0;
        wxTEST_DIALOG(Command(row.id), answer(wxID_NO), answer(wxID_NO));
        EXPECT_EQ(asked, row.asked);
        ASSERT_EQ(Editors()->GetPageCount(), 1u);
        if (row.id == ID_ALL_CLOSE) continue;
        ASSERT_TRUE(m_Frame->OpenFile(QelFileName(path)));
        EXPECT_EQ(Editors()->GetPageCount(), 1u);
        EXPECT_EQ(Editors()->GetPageByKey(path), row.file_page ? view : page);
    }
}

// Split, then Save As in the new view, bound both files to one document:
// what was typed for the copy was saved into the original too. The view
// left behind keeps the text it had, its change mark and its undo; when the
// file's own page is saved as the copy, the view takes the file's place.
TEST_F(CommandsTest, SplitThenSaveAsGivesEachFileItsOwnText)
{
    const wxString path = m_Temp.File("sa.txt"), copy = m_Temp.File("sacopy.txt");
    for (const bool from_view : {true, false})
        for (const std::string edit : {"", "EDIT "}) {
            SCOPED_TRACE(edit + (from_view ? "from the view" : "from the file's page"));
            QelSTC* page = Open("sa.txt", "original A\n");
            page->InsertText(0, edit);
            ASSERT_TRUE(Command(ID_SPLIT));
            QelSTC* view = m_Frame->GetSTC();
            QelSTC* saved = from_view ? view : page;
            QelSTC* kept = from_view ? page : view;
            if (!from_view) Editors()->SelectPage(path), m_Frame->SetFindFocus(page);
            long style = 0;
            wxTEST_DIALOG(Command(wxID_SAVEAS), SavePath(copy, &style));
            ASSERT_EQ(Editors()->GetKeyByPage(saved), copy);
            EXPECT_EQ(Editors()->GetPageByKey(path), kept);
            EXPECT_EQ(TextBytes(kept), edit + "original A\n");
            EXPECT_EQ(kept->GetModify(), !edit.empty());
            EXPECT_EQ(kept->CanUndo(), !edit.empty());

            Editors()->SelectPage(copy), m_Frame->SetFindFocus(saved);
            saved->InsertText(0, "COPY ONLY ");
            EXPECT_TRUE(Command(wxID_SAVE));
            Editors()->SelectPage(path), m_Frame->SetFindFocus(kept);
            kept->AppendText(" more");
            EXPECT_TRUE(Command(wxID_SAVE));
            EXPECT_EQ(ReadBytes(copy), "COPY ONLY " + edit + "original A\n");
            EXPECT_EQ(ReadBytes(path), edit + "original A\n more");
            EXPECT_FALSE(saved->GetModify() || kept->GetModify());
            ASSERT_TRUE(Command(ID_ALL_CLOSE));
        }
}

// A split view of a document never saved was named as no document is: its
// tab (once split again) and the window's title read the control's own
// names, and the title stayed after every page had closed.
TEST_F(CommandsTest, SplitOfANewDocumentIsNamedAsIt)
{
    ASSERT_TRUE(Command(wxID_NEW));
    QelSTC* stc = m_Frame->GetSTC();
    const wxString name = stc->GetFileName().GetFullName();
    stc->AddText("new text\n");
    for (int split = 0; split < 2; ++split) {
        SCOPED_TRACE(split);
        ASSERT_TRUE(Command(ID_SPLIT));
        QelSTC* view = m_Frame->GetSTC();
        ASSERT_NE(view, stc);
        EXPECT_EQ(Editors()->GetPageText(Editors()->GetPageIndex(view)), name);
        EXPECT_EQ(m_Frame->GetTitle(), name);
        stc = view;
    }
    // In hex mode no new document stands in: the title names no page.
    stc->SetSavePoint();
    wxConfigBase::Get()->Write("HexMode", true);
    ASSERT_TRUE(Command(ID_ALL_CLOSE));
    ASSERT_EQ(Editors()->GetPageCount(), 0u);
    EXPECT_EQ(m_Frame->GetTitle(), wxTheApp->GetAppDisplayName());
}

// Each view command shows or hides its pane; a side pane opens at a quarter
// of the window, not as narrow as its empty placeholder. Projects without a
// project make one; hiding the files leaves the projects the whole window,
// and showing them again, or opening a file, brings back just the panes
// that were shown before.
TEST_F(CommandsTest, ViewCommandsShowAndHideTheirPanes)
{
    m_Frame->SetClientSize(800, 600);
    wxAuiManager& manager = m_Frame->GetManager();
    const auto shown = [&] {
        std::string names;
        const wxAuiPaneInfoArray& panes = manager.GetAllPanes();
        for (size_t i = 0; i < panes.GetCount(); i++)
            if (panes[i].IsShown()) names += panes[i].name.utf8_string() + " ";
        return names;
    };
    const wxString files = m_Temp.File("b.c");
    ASSERT_TRUE(WriteBytes(files, "int b;\n"));
    const struct {
        int id;
        const char* pane;
        bool shown;
        bool projects_whole = false; // the projects fill the window
    } rows[] = {
        {ID_VIEW_DIRCTRL, "DIRCTRL", true},        {ID_VIEW_DIRCTRL, "DIRCTRL", false},
        {ID_VIEW_HISTORY, "HISTORY", true},        {ID_VIEW_HISTORY, "HISTORY", false},
        {ID_VIEW_ASCII_TABLE, "ASCIITABLE", true}, {ID_VIEW_ASCII_TABLE, "ASCIITABLE", false},
        {ID_VIEW_OUTPUT, "OUTPUT", true},          {ID_VIEW_OUTPUT, "OUTPUT", false},
        {ID_VIEW_PROJECTS, "PROJECTS", true},      {ID_VIEW_PROJECTS, "PROJECTS", false},
        {ID_VIEW_PROJECTS, "PROJECTS", true},      {ID_VIEW_DIRCTRL, "DIRCTRL", true},
        {ID_VIEW_FILES, "FILES", false, true},     {ID_VIEW_FILES, "FILES", true},
        {ID_VIEW_FILES, "FILES", false, true},     {wxID_OPEN, "FILES", true},
        {ID_VIEW_FILES, "FILES", false, true},     {ID_VIEW_PROJECTS, "FILES", true},
    };
    std::string before_whole;
    for (const auto& row : rows) {
        SCOPED_TRACE(wxString::Format("%d %s", row.id, row.pane));
        if (row.projects_whole) before_whole = shown();
        if (row.id == wxID_OPEN)
            QelOpenFiles(m_Frame, wxArrayString(1, &files)); // as File > Open does
        else
            ASSERT_TRUE(Command(row.id));
        const wxAuiPaneInfo& pane = manager.GetPane(row.pane);
        EXPECT_EQ(pane.IsShown(), row.shown);
        if (row.shown && pane.dock_direction == wxAUI_DOCK_LEFT) {
            EXPECT_GE(pane.rect.width, 200);
        }
        const wxAuiPaneInfo& projects = manager.GetPane("PROJECTS");
        EXPECT_EQ(projects.IsMaximized(), row.projects_whole);
        if (row.projects_whole) {
            EXPECT_EQ(shown(), "TOOLBAR FINDBAR PROJECTS ");
            EXPECT_GE(projects.rect.width, 700);
        } else if (!before_whole.empty() && row.id != ID_VIEW_PROJECTS) {
            EXPECT_EQ(shown(), std::exchange(before_whole, std::string()));
        }
    }
    EXPECT_EQ(shown(), "TOOLBAR FINDBAR FILES DIRCTRL ");
    EXPECT_EQ(m_Frame->GetProjects()->GetPageCount(), 1u);
}

// A project is saved under another name, which its page then has, and
// opened as text; closing one with changes asks
// first, Cancel keeps it.
TEST_F(CommandsTest, ProjectCommands)
{
    const wxString first = m_Temp.File("p.prj"), second = m_Temp.File("q.prj");
    const wxString item = m_Temp.File("item.txt");
    ASSERT_TRUE(QelProjectFile::Write(first, {}) && WriteBytes(item, "x"));
    // The toolkit's chooser of several files takes no path from a test.
    wxTEST_DIALOG(Command(ID_PROJECT_OPEN), ExpectAnswer<wxFileDialog>([](auto*) {}, wxID_CANCEL));
    EXPECT_EQ(m_Frame->GetProject(), nullptr);
    ASSERT_TRUE(m_Frame->OpenFile(QelFileName(first), 0, "", EDITOR_OPEN_PROJECT));
    ASSERT_TRUE(m_Frame->GetProject()->ItemFromText(item));
    long style = 0;
    wxTEST_DIALOG(Command(ID_PROJECT_SAVEAS), SavePath(second, &style));
    EXPECT_EQ(m_Frame->GetProjects()->GetKeyByPage(m_Frame->GetProject()), second);
    EXPECT_NE(ReadBytes(second).find("item.txt"), std::string::npos) << ReadBytes(second);
    EXPECT_TRUE(Command(ID_PROJECT_OPENTEXT));
    EXPECT_NE(Editors()->GetPageByKey(second), nullptr);

    for (const int answer : {wxID_CANCEL, wxID_NO}) {
        ASSERT_TRUE(m_Frame->GetProject()->ItemFromText(item));
        wxTEST_DIALOG(Command(ID_PROJECT_CLOSE), wxExpectModal<wxMessageDialog>(answer));
        EXPECT_EQ(m_Frame->GetProjects()->GetPageCount(), answer == wxID_CANCEL ? 1u : 0u);
    }
}

// A new project is only in memory until it is opened as text, which writes
// it under its own name first. No to the question about a changed project
// opens the file as it is on disk and keeps the changes.
TEST_F(CommandsTest, ProjectOpenedAsTextIsTheFileOnDisk)
{
    ASSERT_TRUE(Command(ID_PROJECT_NEW));
    QelListViewFile* project = m_Frame->GetProject();
    ASSERT_NE(project, nullptr);
    const wxString path = static_cast<QelFile*>(project)->GetFileName().GetFullPath();
    // New projects go beside the settings, outside the temporary folder.
    struct Removed {
        wxString path;
        ~Removed() { wxRemoveFile(path); }
    } removed{path};
    ASSERT_FALSE(wxFileExists(path));
    EXPECT_TRUE(Command(ID_PROJECT_OPENTEXT));
    EXPECT_NE(Editors()->GetPageByKey(path), nullptr);
    EXPECT_FALSE(project->GetContentsChanged());
    const std::string written = ReadBytes(path);
    EXPECT_NE(written.find("<files>"), std::string::npos) << written;

    Editors()->DeletePage(Editors()->GetPageIndex(Editors()->GetPageByKey(path)));
    const wxString item = m_Temp.File("item.txt");
    ASSERT_TRUE(WriteBytes(item, "x") && project->ItemFromText(item));
    wxTEST_DIALOG(Command(ID_PROJECT_OPENTEXT), wxExpectModal<wxMessageDialog>(wxID_NO));
    EXPECT_NE(Editors()->GetPageByKey(path), nullptr);
    EXPECT_EQ(ReadBytes(path), written);
    EXPECT_TRUE(project->GetContentsChanged());
}

// A double click on the main status field shows the run's log in one
// read-only page, refilled each time; the theme pane chooses the theme.
// A right double click opens the file behind a pane, at what it shows;
// the lexers and version-control files are read again once saved.
TEST_F(CommandsTest, StatusPanesShowWhatTheyName)
{
    for (const char* message : {"first message", "second message"}) {
        wxLogMessage("%s", message);
        m_Frame->StatusBarDoubleClicked(wxEmptyString);
        auto* log = dynamic_cast<QelSTC*>(Editors()->GetPageByKey("LOGTAIL"));
        ASSERT_NE(log, nullptr);
        EXPECT_EQ(Editors()->GetPageCount(), 1u);
        EXPECT_TRUE(log->GetText().Contains(message)) << message;
        EXPECT_TRUE(log->GetReadOnly() && !log->GetModify() && !log->CanUndo());
    }
    const wxString lexers = m_Temp.File("lexers.xml"), vcs = m_Temp.File("vcs.xml");
    ASSERT_TRUE(wxCopyFile(QEL_SOURCE_DIR "/data/lexers.xml", lexers));
    ASSERT_TRUE(wxCopyFile(QEL_SOURCE_DIR "/data/vcs.xml", vcs));
    InstallLexers(lexers);
    QelVCS use{wxFileName(vcs)};
    ASSERT_TRUE(QelVCS::Read());
    wxConfigBase::Get()->Write("VCS", 0L);
    const std::vector<wxString> themes = QelLexers::Get()->GetThemes();
    const int xcode = std::find(themes.begin(), themes.end(), "xcode") - themes.begin();
    wxTEST_DIALOG(m_Frame->StatusBarDoubleClicked("PaneTheme"),
                  ExpectAnswer<wxSingleChoiceDialog>([=](auto* d) { d->SetSelection(xcode); }));
    const auto* status = static_cast<QelStatusBar*>(m_Frame->GetStatusBar());
    EXPECT_EQ(status->GetStatusText(status->GetFieldNo("PaneTheme")), "xcode");

    const struct {
        const char* pane;
        wxString opened;
        const char* line; // the caret's line holds it; at the end when null
        const char *from = nullptr, *to = nullptr; // an edit that is saved, when given
        std::function<bool()> read = nullptr;      // then true
    } rows[] = {
        {"", m_Frame->GetLogFile(), nullptr},
        {"PaneTheme", lexers, "<theme name=\"xcode\">", "<theme name=\"dark\">",
         "<theme name=\"dim\">",
         [] {
             const std::vector<wxString> themes = QelLexers::Get()->GetThemes();
             return std::find(themes.begin(), themes.end(), "dim") != themes.end();
         }},
        {"PaneVCS", vcs, "<?xml", "<vcs name=\"bzr\"", "<vcs name=\"baz\"",
         [] { return QelVCS::GetEntries().count("baz") == 1; }},
        {"PaneLexer", lexers, "name=\"cpp\""}, // last: on the C file opened first
    };
    Open("c.c", "int a;\n");
    for (const auto& row : rows) {
        SCOPED_TRACE(row.pane);
        m_Frame->StatusBarDoubleClickedRight(row.pane);
        auto* stc = dynamic_cast<QelSTC*>(Editors()->GetCurrentPage());
        ASSERT_NE(stc, nullptr);
        EXPECT_EQ(Editors()->GetKeyByPage(stc), row.opened);
        EXPECT_TRUE(row.line != nullptr ? stc->GetCurLine().Contains(row.line)
                                        : stc->GetCurrentPos() == stc->GetLength())
            << stc->GetCurLine();
        if (row.from != nullptr) {
            wxString text = stc->GetText();
            ASSERT_EQ(text.Replace(row.from, row.to), 1u);
            stc->SetText(text);
            EXPECT_FALSE(row.read());
            EXPECT_TRUE(Command(wxID_SAVE));
            EXPECT_TRUE(row.read());
        }
        Editors()->SelectPage(m_Temp.File("c.c"));
    }
}

// git blame on a file opens its output read-only before the file; a second
// run refreshes the same page.
TEST_F(CommandsTest, VersionControlCommandOpensItsOutputPage)
{
    const wxString root = m_Temp.File("w");
    qeltest::Run("mkdir -p " + ShellQuote(root) + " && cd " + ShellQuote(root)
                 + " && git init -q && printf 'int a;\\n' > f.c && git add f.c"
                   " && git -c user.name=T -c user.email=t@q.example commit -q -m one");
    QelVCS vcs{wxFileName(QEL_SOURCE_DIR "/data/vcs.xml")};
    ASSERT_TRUE(QelVCS::Read());
    wxConfigBase::Get()->Write("git", "git");
    wxConfigBase::Get()->Write("VCS", 1);
    int blame = -1;
    for (const auto& command : QelVCS::GetEntries().at("git").GetCommands())
        if (command.GetCommand(true, false) == "blame")
            blame = ID_EDIT_VCS_LOWEST + 1 + command.GetNo();
    ASSERT_GT(blame, ID_EDIT_VCS_LOWEST);

    const wxString file = root + "/f.c";
    ASSERT_TRUE(m_Frame->OpenFile(QelFileName(file)));
    for (int run = 0; run < 2; ++run) {
        SCOPED_TRACE(run);
        ASSERT_NE(Editors()->SelectPage(file), nullptr);
        wxTEST_DIALOG(Command(blame), wxExpectAny(wxID_OK));
        ASSERT_EQ(Editors()->GetPageCount(), 2u);
        auto* output = dynamic_cast<QelSTC*>(Editors()->GetPage(0));
        ASSERT_NE(output, nullptr);
        EXPECT_TRUE(output->GetText().Contains("int a;")) << output->GetText();
        EXPECT_TRUE(output->GetText().Contains("(T ")) << output->GetText();
        EXPECT_TRUE(output->GetReadOnly());
    }
    QelVCS::Clear();
}

TEST_F(CommandsTest, EditToolsWriteIntoTheEditor)
{
    QelSTC* stc = Open("s.txt", "");
    // The count's confirmation comes only for a sequence that can be made.
    const struct {
        const char *start, *end;
        std::string text;
    } rows[] = {{"09", "11", ""}, {"a1", "b2", "a1\na2\nb1\nb2\n"}};
    for (const auto& row : rows) {
        LogCapture log;
        wxTEST_DIALOG(Command(ID_EDIT_INSERT_SEQUENCE), Text(row.start), Text(row.end),
                      wxExpectModal<wxMessageDialog>(wxID_OK).Optional());
        EXPECT_EQ(TextBytes(stc), row.text);
        EXPECT_EQ(log.CountLevel(wxLOG_Status) > 0, row.text.empty()) << log.Dump();
    }

    // A purpose selected and an author known: the header goes in unasked,
    // below the first line of an HTML page.
    wxConfigBase::Get()->Write(_("Author"), "T");
    QelSTC* html = Open("p.html", "<!DOCTYPE html>\n<body>\n");
    html->SetSelection(2, 9);
    EXPECT_TRUE(Command(ID_EDIT_ADD_HEADER));
    EXPECT_EQ(html->GetLine(0), "<!DOCTYPE html>\n");
    EXPECT_TRUE(html->GetLine(1).StartsWith("<!--")) << html->GetText();
    EXPECT_TRUE(html->GetText().Contains("Purpose:   DOCTYPE\n")) << html->GetText();
}

// The options commands store what their dialogs were given, or their own
// value; the font reaches every list, and the process chosen runs until
// stopped.
TEST_F(CommandsTest, OptionCommandsStoreTheirSettings)
{
    ASSERT_TRUE(Command(ID_PROJECT_NEW));
    // Lists made before the font changes: later ones read it when made.
    QelListView* found = m_Frame->Activate(QelListViewFileName::LIST_FIND);
    QelListView* history = m_Frame->GetHistory();
    QelVCS vcs{wxFileName(QEL_SOURCE_DIR "/data/vcs.xml")};
    ASSERT_TRUE(QelVCS::Read());
    wxConfigBase::Get()->Write(_("Base folder"), m_Temp.Path());
    const struct {
        int id;
        std::vector<wxString> answers; // no dialog when none
        const char* key;
        wxString stored;
    } rows[] = {
        {ID_OPTION_LIST_SORT_ASCENDING, {}, "List/SortMethod", "2"},
        {ID_OPTION_LIST_SORT_DESCENDING, {}, "List/SortMethod", "3"},
        {ID_OPTION_LIST_SORT_TOGGLE, {}, "List/SortMethod", "4"},
        {ID_PROJECT_SORT_SYNC, {}, "List/SortSync", "0"},
        {ID_PROJECT_SORT_SYNC, {}, "List/SortSync", "1"},
        {ID_OPTION_COMPARATOR, {"/usr/bin/cmp"}, "Comparator", "/usr/bin/cmp"},
        // With no colour stored the dialog offers red.
        {ID_OPTION_LIST_READONLY_COLOUR, {""}, "List Colour", "rgb(255, 0, 0)"},
        {ID_OPTION_LIST_FONT, {"Serif 13"}, "List Font", "Serif 13"},
        {ID_PROCESS_SELECT, {"sleep 30", m_Temp.Path()}, "Process", "sleep 30\v"},
        {ID_OPTION_VCS, {"git"}, "VCS", "2"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.id);
        if (row.answers.empty()) {
            EXPECT_TRUE(Command(row.id));
        } else {
            wxTEST_DIALOG(EXPECT_TRUE(Command(row.id)), Fill(row.answers));
        }
        EXPECT_EQ(wxConfigBase::Get()->Read(row.key, ""), row.stored);
    }
    for (const wxWindow* list : std::vector<const wxWindow*>{found, m_Frame->GetProject(), history})
        EXPECT_EQ(list->GetFont().GetNativeFontInfoDesc(), "Serif 13");

    QelProcess* process = m_Frame->GetProcess();
    wxTEST_DIALOG(Command(wxID_EXECUTE), Fill({}));
    EXPECT_TRUE(process->IsRunning());
    Command(wxID_STOP);
    EXPECT_TRUE(PumpUntil([process] { return !process->IsRunning(); }, 5000));
}

// The editor options stay open: Apply and OK give every editor the stored
// settings again, Cancel gives it nothing.
TEST_F(CommandsTest, EditorOptionsReachTheEditorsOnApplyAndOk)
{
    const std::vector<QelSTC*> editors{Open("a.txt", "a\n"), Open("b.txt", "b\n")};
    wxTheApp->SetTopWindow(m_Frame);
    ASSERT_TRUE(Command(ID_OPTION_EDITOR));
    QelConfigDialog* dialog = Modeless(ID_OPTION_EDITOR);
    ASSERT_NE(dialog, nullptr);
    wxWindow* width = nullptr;
    for (const QelConfigItem& item : dialog->GetConfigItems())
        if (item.GetLabel() == "Tab width") width = item.GetWindow();
    ASSERT_NE(width, nullptr);

    const struct {
        int button;
        const char* edit; // typed into the tab width first, when given
        long stored;      // written behind the dialog's back first; none when 0
        int want;
    } rows[] = {{wxID_APPLY, "7", 0, 7}, {wxID_CANCEL, "", 5, 7}, {wxID_OK, "", 0, 5}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.button);
        if (row.stored != 0) wxConfigBase::Get()->Write("Tab width", row.stored);
        if (*row.edit != 0) Edit(width, row.edit);
        wxCommandEvent press(wxEVT_BUTTON, row.button);
        dialog->ProcessWindowEvent(press);
        for (QelSTC* stc : editors) EXPECT_EQ(stc->GetTabWidth(), row.want);
    }
    wxTheApp->SetTopWindow(nullptr);
}

// Next and previous go round the pages; Save All writes every changed page;
// a macro recorded from the menu plays back; Close All leaves one new page.
TEST_F(CommandsTest, PageCommandsWalkSaveAndCloseThePages)
{
    QelSTC* a = Open("a.txt", "a\n");
    Open("b.txt", "b\n")->AppendText("b\n");
    ASSERT_TRUE(Command(wxID_NEW));
    ASSERT_EQ(Editors()->GetSelection(), 2);
    for (const auto& [id, want] : {std::pair<int, int>{ID_DOCUMENT_NEXT, 0},
                                   {ID_DOCUMENT_PREVIOUS, 2},
                                   {ID_DOCUMENT_PREVIOUS, 1},
                                   {ID_DOCUMENT_PREVIOUS, 0}}) {
        EXPECT_TRUE(Command(id));
        EXPECT_EQ(Editors()->GetSelection(), want) << id;
    }
    m_Frame->SetFindFocus(a);
    a->DocumentEnd();
    EXPECT_TRUE(Command(ID_EDIT_MACRO_START_RECORD));
    a->ReplaceSelection("m");
    EXPECT_TRUE(Command(ID_EDIT_MACRO_STOP_RECORD));
    EXPECT_TRUE(Command(ID_EDIT_MACRO_PLAYBACK));
    EXPECT_TRUE(Command(ID_ALL_SAVE));
    EXPECT_EQ(ReadBytes(m_Temp.File("a.txt")), "a\nmm");
    EXPECT_EQ(ReadBytes(m_Temp.File("b.txt")), "b\nb\n");

    EXPECT_TRUE(Command(ID_ALL_CLOSE));
    ASSERT_EQ(Editors()->GetPageCount(), 1u);
    EXPECT_EQ(Editors()->GetKeyByPage(Editors()->GetPage(0)), "textfile2");
}

} // namespace
