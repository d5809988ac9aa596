// Tool runs over real trees reported into the frame's lists, checked
// against wc and grep; rows that open their file at their line; the
// output of a background process as rows of the process list.
#include <algorithm>

#include <gtest/gtest.h>

#include <qelkit/listitem.h>
#include <qelkit/report/process.h>
#include <qelkit/report/textfile.h>
#include <qelkit/stc.h>

#include "reportframe.h"

namespace {

using Type = QelListViewFileName::ListType;

class ToolRunTest : public qeltest::ReportFrameTest {
protected:
    void SetUp() override
    {
        ReportFrameTest::SetUp();
        qeltest::InstallLexers(QEL_SOURCE_DIR "/data/lexers.xml");
        ASSERT_TRUE(wxFileName::Mkdir(m_Temp.File("src/sub"), wxS_DIR_DEFAULT, wxPATH_MKDIR_FULL));
        // Each file has one revision in its header.
        m_Files = {
            Write("top.c", "int x;\n// 1.0 110101 me First\n\nint y;\n"),
            Write("src/a.c", "// 1.2 110101 me Main\nint main()\n{\n\n    return 0;\n\n}\n"),
            Write("src/sub/b.c",
                  "\tif (x) return x; \nwhile (y) { if (y) y--; }\nchar zed;\n"
                  "/* 1.1 110101 me Loop */\n"),
        };
        m_Frame = Start();
    }

    // The row of the list for the file; -1 when none.
    static long RowOf(QelListView* list, const wxString& path)
    {
        for (long row = 0; row < list->GetItemCount(); row++)
            if (QelListItem(list, row).GetFileName().GetFullPath() == path) return row;
        return -1;
    }

    static std::string Count(const wxString& command, const wxString& path)
    {
        std::string out = qeltest::Run(command + " " + qeltest::ShellQuote(path) + " | wc -l");
        return std::to_string(std::stol(out));
    }

    static wxArrayString Shell(const char* script)
    {
        const wxString args[] = {"sh", "-c", script};
        return wxArrayString(3, args);
    }

    std::vector<wxString> m_Files;
};

TEST_F(ToolRunTest, ReportsAgreeWithWcAndGrep)
{
    struct Row {
        int tool;
        Type type;
        const char* columns; // "column=command;..."
    };
    const Row rows[] = {
        {ID_TOOL_REPORT_COUNT, Type::LIST_COUNT, "Lines=cat;Empty Lines=grep '^$'"},
        {ID_TOOL_REPORT_KEYWORD, Type::LIST_KEYWORD,
         "int=grep -ow int;return=grep -ow return;while=grep -ow while;"
         "Keywords=grep -owE 'int|return|if|while|char'"},
        {ID_TOOL_REPORT_REVISION, Type::LIST_REVISION, "Line No=sed '/ 110101 /q'"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.columns);
        ASSERT_TRUE(Selected(Type::LIST_FILE, {m_Temp.Path()}, "*.c")->RunItems(QelTool(row.tool)));
        QelListView* list = m_Frame->m_Lists[row.type];
        ASSERT_NE(list, nullptr);
        ASSERT_EQ(list->GetItemCount(), static_cast<int>(m_Files.size()));
        for (const wxString& file : m_Files) {
            const long row_no = RowOf(list, file);
            ASSERT_NE(row_no, -1) << file;
            for (const wxString& column : wxSplit(row.columns, ';', '\0')) {
                EXPECT_EQ(list->GetItemText(row_no, column.BeforeFirst('=')).utf8_string(),
                          Count(column.AfterFirst('='), file))
                    << file << " " << column;
            }
        }
    }
}

TEST_F(ToolRunTest, ASecondRunCannotStartWhileOneRuns)
{
    QelListViewWithFrame* list = Selected(Type::LIST_FILE, m_Files);
    {
        const QelToolRun running(QelTool(ID_TOOL_REPORT_COUNT), m_Frame);
        ASSERT_TRUE(running.IsOk());
        qeltest::LogCapture log;
        EXPECT_FALSE(list->RunItems(QelTool(ID_TOOL_REPORT_COUNT)));
        EXPECT_TRUE(log.Has("A tool is running")) << log.Dump();
        EXPECT_EQ(m_Frame->m_Lists[Type::LIST_COUNT]->GetItemCount(), 0);
    }
    EXPECT_TRUE(list->RunItems(QelTool(ID_TOOL_REPORT_COUNT)));
    EXPECT_EQ(m_Frame->m_Lists[Type::LIST_COUNT]->GetItemCount(), 3);
    // A report does not run on a list of its own kind.
    m_Frame->m_Lists[Type::LIST_COUNT]->Select(0);
    EXPECT_FALSE(m_Frame->m_Lists[Type::LIST_COUNT]->RunItems(QelTool(ID_TOOL_REPORT_COUNT)));
}

TEST_F(ToolRunTest, ProcessOutputBecomesRowsOfTheProcessList)
{
    const wxString run_dir = m_Temp.File("src");
    QelProcessListView* process = m_Frame->GetProcess();
    const qeltest::CwdGuard cwd(m_Temp.File("src/sub"));
    const auto run = [&](const char* command) {
        ASSERT_GT(process->Execute(command, wxEXEC_ASYNC, run_dir), 0);
        WaitForProcess();
    };
    run("sh -c 'echo a.c:4: warning; echo hello; echo missing.c:2: x'");
    QelListViewWithFrame* list = m_Frame->m_Lists[Type::LIST_PROCESS];
    ASSERT_NE(list, nullptr);
    wxString rows;
    for (long r = 0; r < list->GetItemCount(); r++) {
        rows += list->GetItemText(r, "Line") + "|" + list->GetItemText(r, "File Name") + "|"
            + list->GetItemText(r, "Line No") + "\n";
    }
    EXPECT_EQ(rows, "a.c:4: warning|a.c|4\nhello||\nmissing.c:2: x||\n");
    list->ItemActivated(0);
    EXPECT_EQ(m_Frame->m_Stc->GetFileName().GetFullPath(), m_Files[1]);
    EXPECT_EQ(m_Frame->m_Stc->GetCurrentLine(), 3);

    // Without a process list the lines go to the base process.
    m_Frame->m_ListsOn = false;
    run("echo again");
    EXPECT_EQ(process->GetListView(), nullptr);
    EXPECT_EQ(list->GetItemCount(), 3);
    ASSERT_NE(QelProcess::GetSTC(), nullptr);
    EXPECT_NE(QelProcess::GetSTC()->GetText().Find("again"), wxNOT_FOUND);
}

// A child printing a gigabyte in ten million lines took the program to five:
// past the scrollback the list drops its oldest rows in batches, counted in
// a first row, as a terminal does; the rows that stay keep their links and
// their selection.
TEST_F(ToolRunTest, OutputPastTheScrollbackDropsTheOldestRows)
{
    QelProcessListView* process = m_Frame->GetProcess();
    const struct {
        const char* name;
        long rows, characters; // the scrollback; past it 9/10 of it are kept
        const char* script;    // a wait for "go" after line 60 lets the user pick lines
        long least;            // rows kept at the end, at least
        std::vector<long> picked;
        const char* selected_after; // %ld: the count of the count row
        bool sorted = false;        // the user sorts the rows on "Line" at the wait
    } cases[] = {
        {"Rows", 100, 100000, "seq 1 1000", 90, {}, ""},
        {"Characters", 1000, 50000, "seq -f %01000.0f 1 100", 45, {}, ""},
        {"PickedRowStays",
         100,
         100000,
         "seq 1 60; until [ -e go ]; do sleep 0.05; done; seq 61 120",
         90,
         {10, 50},
         "50"},
        {"PickedRowsGo",
         100,
         100000,
         "seq 1 60; until [ -e go ]; do sleep 0.05; done; seq 61 120",
         90,
         {10},
         "[%ld earlier lines dropped]"},
        // The oldest rows go and the count row counts on wherever the sort put them.
        {"Sorted",
         100,
         100000,
         "seq 1 150; until [ -e go ]; do sleep 0.05; done; seq 151 165",
         90,
         {},
         "",
         true},
        {"Links", 100, 100000, "seq -f 'a.c:4: warning %.0f' 1 300", 90, {}, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        process->SetScrollback(c.rows, c.characters);
        const wxString go = m_Temp.File("src/go");
        wxRemoveFile(go);
        ASSERT_GT(process->Execute(Shell(c.script), wxEXEC_ASYNC, m_Temp.File("src")), 0);
        QelListViewWithFrame* list = m_Frame->m_Lists[Type::LIST_PROCESS];
        list->EditClearAll();
        if (!c.picked.empty()) {
            ASSERT_TRUE(qeltest::PumpUntil([&] { return list->GetItemCount() == 60; }, 20000));
            for (long line : c.picked) list->Select(line - 1);
        }
        if (c.sorted) {
            ASSERT_TRUE(qeltest::PumpUntil(
                [&] {
                    const long n = list->GetItemCount();
                    return n > 0 && list->GetItemText(n - 1, 0) == "150";
                },
                20000));
            list->SortColumn("Line", SORT_ASCENDING);
        }
        ASSERT_TRUE(qeltest::WriteBytes(go, ""));
        WaitForProcess();

        const wxArrayString lines = wxSplit(
            qeltest::Run("cd " + qeltest::ShellQuote(m_Temp.File("src")) + " && " + c.script), '\n',
            '\0');
        const long total = static_cast<long>(lines.size()) - 1; // after the last line end
        const long kept = list->GetItemCount() - 1;
        EXPECT_GE(kept, c.least);
        EXPECT_LE(kept, c.rows);
        // One count row, the first unless sorted; the other rows the last
        // lines of the output, in their order unless sorted.
        long count_row = -1;
        std::vector<wxString> output;
        for (long row = 0; row <= kept; row++) {
            const wxString text = list->GetItemText(row, 0);
            if (!text.StartsWith("[")) {
                output.push_back(text);
                continue;
            }
            EXPECT_EQ(count_row, -1) << row;
            count_row = row;
        }
        EXPECT_EQ(count_row == 0, !c.sorted) << count_row;
        EXPECT_LE(list->GetTextLength() - list->GetTextLength(count_row),
                  static_cast<size_t>(c.characters));
        EXPECT_EQ(list->GetItemText(count_row, 0),
                  wxString::Format("[%ld earlier lines dropped]", total - kept));
        if (c.sorted) {
            std::sort(output.begin(), output.end(), [](const wxString& a, const wxString& b) {
                return a.length() != b.length() ? a.length() < b.length() : a < b;
            });
        }
        ASSERT_EQ(static_cast<long>(output.size()), kept);
        for (long row = 0; row < kept; row++)
            ASSERT_EQ(output[row], lines[total - kept + row]) << row;
        wxString selected;
        for (long row = list->GetFirstSelected(); row != -1; row = list->GetNextSelected(row))
            selected << list->GetItemText(row, 0);
        EXPECT_EQ(selected, wxString::Format(c.selected_after, total - kept));
    }
    // A row that stayed opens the file it names.
    QelListViewWithFrame* list = m_Frame->m_Lists[Type::LIST_PROCESS];
    list->ItemActivated(1);
    EXPECT_EQ(m_Frame->m_Stc->GetFileName().GetFullPath(), m_Files[1]);
    EXPECT_EQ(m_Frame->m_Stc->GetCurrentLine(), 3);
}

// Output without a line end into the empty list scrolled it to row -1, an
// assertion of the toolkit.
TEST_F(ToolRunTest, APromptIntoTheEmptyListScrollsNowhere)
{
    QelProcessListView* process = m_Frame->GetProcess();
    ASSERT_GT(process->Execute("sh -c 'printf partial; sleep 0.5; echo \" end\"'"), 0);
    WaitForProcess();
    QelListViewWithFrame* list = m_Frame->m_Lists[Type::LIST_PROCESS];
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->GetItemCount(), 1);
    EXPECT_EQ(list->GetItemText(0, "Line"), "partial end");
}

} // namespace
