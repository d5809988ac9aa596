// The report utilities on a hidden frame: make on a real makefile, the
// version list over sibling version folders, the popup menus of the lists,
// commands over every page of a notebook, and the count report over folders
// checked against wc.
#include <unistd.h>

#include <gtest/gtest.h>
#include <wx/aui/auibook.h>
#include <wx/config.h>
#include <wx/testing.h>
#include <wx/weakref.h>

#include <qelkit/dir.h>
#include <qelkit/lexers.h>
#include <qelkit/listitem.h>
#include <qelkit/menu.h>
#include <qelkit/report/listviewfile.h>
#include <qelkit/report/process.h>
#include <qelkit/report/util.h>

#include "reportframe.h"

namespace {

using Type = QelListViewFileName::ListType;
using qeltest::Command;
using qeltest::ShellQuote;

class ReportUtilTest : public qeltest::ReportFrameTest {
protected:
    void SetUp() override
    {
        ReportFrameTest::SetUp();
        qeltest::InstallLexers(QEL_SOURCE_DIR "/data/lexers.xml");
        m_Frame = Start();
    }

    static std::vector<wxString> Column(QelListView* list, const wxString& column)
    {
        std::vector<wxString> cells;
        for (long row = 0; row < list->GetItemCount(); row++)
            cells.push_back(list->GetItemText(row, column));
        return cells;
    }
    // a.txt in lib-1.1/src, lib-1.2/src and lib-1.3/src, each newer than
    // the one before.
    std::vector<wxString> Versions()
    {
        std::vector<wxString> files;
        for (const char* version : {"lib-1.1", "lib-1.2", "lib-1.3"}) {
            const wxString dir = m_Root.File(wxString(version) + "/src");
            EXPECT_TRUE(wxFileName::Mkdir(dir, 0755, wxPATH_MKDIR_FULL));
            files.push_back(dir + "/a.txt");
            EXPECT_TRUE(qeltest::WriteBytes(files.back(), version));
            qeltest::SetModificationTime(files.back(), 1000 * files.size());
        }
        return files;
    }

    const qeltest::TempDir m_Root{true}; // no digit in its path
};

// Where the rows of the run link to is up to the process list below it.
TEST_F(ReportUtilTest, MakeRunsInTheMakefilesFolderOnceNoOtherProcessRuns)
{
    const wxString dir = m_Temp.File("a b");
    ASSERT_TRUE(wxFileName::Mkdir(dir));
    const wxString makefile = Write("a b/Makefile", "all:\n\t@echo done\n\t@false\n");
    std::vector<wxString> want;
    for (const wxString& line : wxSplit(qeltest::Run("cd " + ShellQuote(dir) + " && make -f "
                                                     + ShellQuote(makefile) + " 2>&1"),
                                        '\n', '\0'))
        if (!line.empty()) want.push_back(line);
    ASSERT_EQ(want.size(), 2u);

    QelProcessListView* process = m_Frame->GetProcess();
    ASSERT_GT(process->Execute("sleep 5", wxEXEC_ASYNC, m_Temp.Path()), 0);
    EXPECT_FALSE(QelMake(m_Frame, wxFileName(makefile)));
    process->Kill();
    WaitForProcess();

    ASSERT_TRUE(QelMake(m_Frame, wxFileName(makefile)));
    WaitForProcess();
    EXPECT_EQ(process->GetWorkingDir(), dir);
    ASSERT_NE(m_Frame->m_Lists[Type::LIST_PROCESS], nullptr);
    std::vector<wxString> got = Column(m_Frame->m_Lists[Type::LIST_PROCESS], "Line");
    std::sort(got.begin(), got.end());
    std::sort(want.begin(), want.end());
    EXPECT_EQ(got, want);
}

TEST_F(ReportUtilTest, VersionListHoldsTheOtherVersionsNewestFirst)
{
    const std::vector<wxString> files = Versions();
    QelListViewWithFrame* list = Selected(Type::LIST_FILE, {files[1]});
    // A second run finds the same copies again: they are not listed twice.
    for (int run = 1; run <= 2; run++) {
        SCOPED_TRACE(run);
        Command(list, ID_LIST_VERSION_LIST);
        QelListView* versions = m_Frame->m_Lists[Type::LIST_VERSION];
        ASSERT_NE(versions, nullptr);
        std::vector<wxString> paths;
        for (long row = 0; row < versions->GetItemCount(); row++)
            paths.push_back(QelListItem(versions, row).GetFileName().GetFullPath());
        EXPECT_EQ(paths, (std::vector<wxString>{files[2], files[0]}));
    }

    const wxString plain = m_Root.File("plain.txt");
    ASSERT_TRUE(qeltest::WriteBytes(plain, "x\n"));
    qeltest::LogCapture log;
    Command(Selected(Type::LIST_FILE, {plain}), ID_LIST_VERSION_LIST);
    EXPECT_TRUE(log.Has("No version information found")) << log.Dump();
    EXPECT_EQ(m_Frame->m_Lists[Type::LIST_VERSION]->GetItemCount(), 2);
}

// A page closed while something still writes into it, or reads its rows:
// the writer stops, or what it writes later goes nowhere, and nothing
// reaches the freed page.
TEST_F(ReportUtilTest, APageClosedMidRunIsNeverWrittenAgain)
{
    const std::vector<wxString> files = Versions();
    // A walk long enough to let the event loop turn: many names of one file.
    const wxString many = m_Temp.File("many");
    ASSERT_TRUE(wxFileName::Mkdir(many));
    ASSERT_TRUE(qeltest::WriteBytes(many + "/0", "x\n"));
    for (int f = 1; f < 10000; f++)
        ASSERT_EQ(link((many + "/0").fn_str(), wxString::Format("%s/%d", many, f).fn_str()), 0);
    wxConfigBase::Get()->Write(_("In folder"), many);
    wxConfigBase::Get()->Write(_("Add what"), "*");
    wxTheApp->SetTopWindow(m_Frame); // the output window's parent
    QelProcessListView* process = m_Frame->GetProcess();
    QelListViewWithFrame* source = nullptr;
    struct Row {
        const char* name;
        std::function<wxWindow*()> start; // the page, once the writer has it
        // Drives the writer, whose page closes at its first event; whether
        // it then stopped or wrote nowhere.
        std::function<bool()> run;
    };
    const Row rows[] = {
        {"ProcessList",
         [&] {
             process->Execute("sh -c 'while :; do echo out; sleep 0.01; done'");
             return m_Frame->m_Lists[Type::LIST_PROCESS];
         },
         [&] {
             qeltest::Pump(100), process->Kill(); // output goes on meanwhile
             return qeltest::PumpUntil([&] { return !process->IsRunning(); }, 5000)
                 && m_Frame->m_Lists.count(Type::LIST_PROCESS) == 0
                 && !QelProcess::GetSTC()->GetText().Contains("out");
         }},
        {"VersionList", [&] { return m_Frame->Activate(Type::LIST_VERSION, nullptr); },
         [&] {
             Command(Selected(Type::LIST_FILE, {files[1]}), ID_LIST_VERSION_LIST);
             return m_Frame->m_Lists.count(Type::LIST_VERSION) == 0;
         }},
        // The rows chosen are searched to the end.
        {"VersionListSource", [&] { return source = Selected(Type::LIST_FILE, files); },
         [&] {
             Command(source, ID_LIST_VERSION_LIST);
             return m_Frame->m_Lists[Type::LIST_VERSION]->GetItemCount() == 3;
         }},
        {"ToolRunSource",
         [&] {
             return source = Selected(Type::LIST_FILE, {many, files[0]});
         },
         [&] {
             source->RunItems(QelTool(ID_TOOL_REPORT_COUNT));
             return m_Frame->m_Lists[Type::LIST_COUNT]->GetItemCount() < 10000;
         }},
        {"ProjectAddWalk",
         [&] { return m_Frame->m_Project = new QelListViewFile(m_Frame, m_Frame, many + ".prj"); },
         [&] { return m_Frame->GetProject()->AddItems() == 0 && !QelDir::GetIsBusy(); }},
        {"History", [&] { return new QelListViewWithFrame(m_Frame, m_Frame, Type::LIST_HISTORY); },
         [&] {
             qeltest::Pump(0), m_Frame->SetRecentFile(files[0]);
             return m_Frame->GetFileHistory().GetHistoryFile(0) == files[0];
         }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        wxWeakRef<wxWindow> page(row.start());
        ASSERT_TRUE(page);
        m_Frame->CallAfter([this, &page] {
            for (auto it = m_Frame->m_Lists.begin(); it != m_Frame->m_Lists.end();)
                it = it->second == page ? m_Frame->m_Lists.erase(it) : std::next(it);
            m_Frame->m_Project = nullptr;
            delete page.get();
        });
        EXPECT_TRUE(row.run());
        EXPECT_FALSE(page);
    }
    wxTheApp->SetTopWindow(nullptr);
}

TEST_F(ReportUtilTest, ListPopupsOfferWhatTheRowAllows)
{
    const wxString file = Write("f.c", "int f;\n");
    const wxString read_only = Write("ro.c", "int r;\n");
    ASSERT_EQ(chmod(read_only.utf8_str(), 0444), 0);
    const wxString makefile = Write("Makefile", "all:\n");
    const wxString folder = m_Temp.File("sub");
    ASSERT_TRUE(wxFileName::Mkdir(folder));
    const wxString repo = GitTree("repo");

    struct Row {
        Type type;
        wxString path;
        long vcs;            // the "VCS" setting
        const char* offered; // Open, Make, Version list, Find, Replace, the git menu
    };
    const Row rows[] = {
        {Type::LIST_FILE, file, 0, "ovfr"},          {Type::LIST_FILE, read_only, 0, "ovf"},
        {Type::LIST_PROCESS, makefile, 0, "omvfr"},  {Type::LIST_FILE, folder, 0, "ofr"},
        {Type::LIST_REPLACE, file, 0, "ov"},         {Type::LIST_FILE, file, 1, "ofr"},
        {Type::LIST_FILE, repo + "/t.c", 1, "ofrg"},
    };
    const int items[] = {ID_LIST_OPEN_ITEM, ID_LIST_RUN_MAKE, ID_LIST_VERSION_LIST,
                         ID_TOOL_FIND_IN_FILES, ID_TOOL_REPLACE_IN_FILES};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.path + wxString::Format(" in list %d, VCS %ld", row.type, row.vcs));
        wxConfigBase::Get()->Write("VCS", row.vcs);
        QelMenu menu;
        Selected(row.type, {row.path})->BuildPopupMenu(&menu);
        wxString offered;
        for (int i = 0; i < 5; i++)
            if (menu.FindItem(items[i]) != nullptr) offered += "omvfr"[i];
        if (menu.FindItem("git") != wxNOT_FOUND) offered += 'g';
        EXPECT_EQ(offered, row.offered);
        // The tools group has no items: its separator ended the menu.
        EXPECT_FALSE(menu.FindItemByPosition(menu.GetMenuItemCount() - 1)->IsSeparator());
    }
}

TEST_F(ReportUtilTest, SetFontOnEveryPageRefreshesItsRows)
{
    const wxString file = Write("f.txt", "12345\n");
    auto* notebook = new wxAuiNotebook(m_Frame);
    std::vector<QelListViewWithFrame*> pages;
    for (int i = 0; i < 2; i++) {
        pages.push_back(new QelListViewWithFrame(notebook, m_Frame, Type::LIST_FILE));
        QelListItem(pages.back(), QelFileName(file)).Insert();
        notebook->AddPage(pages.back(), wxString::Format("page%d", i));
    }
    const wxFont font(wxFontInfo(17).Family(wxFONTFAMILY_TELETYPE));
    for (const wxFont& given : {wxNullFont, font}) {
        SCOPED_TRACE(given.IsOk() ? "ValidFont" : "NullFont");
        const int size = given.IsOk() ? 40 : 20;
        ASSERT_TRUE(qeltest::WriteBytes(file, std::string(size, 'x')));
        EXPECT_TRUE(QelForEach(notebook, ID_LIST_ALL_SET_FONT, given));
        for (QelListViewWithFrame* page : pages) {
            EXPECT_EQ(page->GetItemText(0, "Size"), wxString::Format("%d", size));
            EXPECT_EQ(page->GetFont().GetPointSize() == 17, given.IsOk());
        }
    }
}

TEST_F(ReportUtilTest, CloseAllProjectsStopsAtTheFirstCancel)
{
    const wxString file = Write("f.c", "int f;\n");
    auto* notebook = new wxAuiNotebook(m_Frame);
    std::vector<QelListViewFile*> projects;
    std::vector<wxString> paths;
    for (int i = 0; i < 3; i++) {
        paths.push_back(m_Temp.File(wxString::Format("p%d.prj", i)));
        ASSERT_TRUE(QelProjectFile::Write(paths.back(), {}));
        projects.push_back(new QelListViewFile(notebook, m_Frame, paths.back()));
        notebook->AddPage(projects.back(), wxString::Format("p%d", i));
        // The first project is left unchanged: it is closed without a question.
        ASSERT_TRUE(i == 0 || projects.back()->ItemFromText(file));
    }
    bool closed = true;
    // From the last page: p2 is closed without saving, Cancel on p1 stops.
    wxTEST_DIALOG(closed = QelForEach(notebook, ID_LIST_ALL_CLOSE),
                  wxExpectModal<wxMessageDialog>(wxNO), wxExpectModal<wxMessageDialog>(wxCANCEL));
    EXPECT_FALSE(closed);
    ASSERT_EQ(notebook->GetPageCount(), 2u);
    EXPECT_EQ(notebook->GetPage(1), projects[1]);
    QelProjectFile::Entries entries;
    wxString error;
    ASSERT_TRUE(QelProjectFile::Read(paths[2], &entries, &error)) << error;
    EXPECT_TRUE(entries.empty());

    // Yes saves p1; p0 holds no changes and is closed without a question.
    wxTEST_DIALOG(closed = QelForEach(notebook, ID_LIST_ALL_CLOSE),
                  wxExpectModal<wxMessageDialog>(wxYES));
    EXPECT_TRUE(closed);
    EXPECT_EQ(notebook->GetPageCount(), 0u);
    ASSERT_TRUE(QelProjectFile::Read(paths[1], &entries, &error)) << error;
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].path, file);
}

TEST_F(ReportUtilTest, CountOverTwoFoldersLogsEachFolderThenTheTotal)
{
    for (const char* folder : {"one", "two/deep"})
        ASSERT_TRUE(wxFileName::Mkdir(m_Temp.File(folder), 0755, wxPATH_MKDIR_FULL));
    Write("one/a.c", "a\n\nb\n");
    Write("one/b.c", "\n\n");
    Write("two/deep/c.c", "c\nd\ne\n\n");
    qeltest::LogCapture log;
    ASSERT_TRUE(Selected(Type::LIST_FILE, {m_Temp.File("one"), m_Temp.File("two")})
                    ->RunItems(QelTool(ID_TOOL_REPORT_COUNT)));
    std::vector<wxString> lines;
    for (const auto& record : log.Records())
        for (const wxString& line : wxSplit(record.text, '\n'))
            if (line.StartsWith("Lines: ")) lines.push_back(line);
    const auto wc = [](const wxString& dir) {
        return "Lines: "
            + wxString(std::to_string(std::stol(
                qeltest::Run("find " + ShellQuote(dir) + " -type f -exec cat {} + | wc -l"))));
    };
    EXPECT_EQ(
        lines,
        (std::vector<wxString>{wc(m_Temp.File("one")), wc(m_Temp.File("two")), wc(m_Temp.Path())}))
        << log.Dump();
    EXPECT_EQ(log.Count("file(s)"), 3u) << log.Dump();
    EXPECT_EQ(m_Frame->m_Lists[Type::LIST_COUNT]->GetItemCount(), 3);
}

} // namespace
