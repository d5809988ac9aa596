// Commands run in the background while the event loop runs: every line
// reported, the end announced, input typed for the child, stopping a child
// with everything it started, a busy runner, and endless output.
#include <algorithm>
#include <memory>
#include <sstream>

#include <gtest/gtest.h>
#include <wx/frame.h>
#include <wx/stopwatch.h>
#include <wx/timer.h>

#include <qelkit/defs.h>
#include <qelkit/process.h>

#include "testing.h"

using qeltest::LogCapture;
using qeltest::PumpUntil;

namespace {

// Keeps the lines a background run reports.
class Recorder : public QelProcess {
public:
    void ReportAdd(const wxString& line, const wxString&, const wxString&) override
    {
        if (!m_InBatch) m_Batch.Start(), m_InBatch = true;
        m_Lines.push_back(line);
        if (m_RowMicroseconds > 0) wxMicroSleep(m_RowMicroseconds); // a slow list
    }
    void ReportCreate() override { ++m_Creates; }
    void ReportFlush() override
    {
        if (m_InBatch) m_LongestBatch = std::max(m_LongestBatch, m_Batch.Time());
        m_InBatch = false;
    }

    wxArrayString m_Lines;
    int m_Creates = 0;
    int m_RowMicroseconds = 0;
    long m_LongestBatch = 0; // ms from a batch's first row to its end
    wxStopWatch m_Batch;
    bool m_InBatch = false;
};

wxArrayString Args(std::initializer_list<wxString> args)
{
    return wxArrayString(args.begin(), args.end());
}

wxArrayString Split(const std::string& text)
{
    wxArrayString lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(wxString::FromUTF8(line));
    return lines;
}

// Processes of a group that have not ended.
int LiveInGroup(long pgid)
{
    return std::stoi(qeltest::Run(
        wxString::Format("ps -eo pgid=,stat= | awk '$1 == %ld && $2 !~ /^Z/' | wc -l", pgid)));
}

class ProcessGuiTest : public qeltest::EditorTest {
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        wxTheApp->SetTopWindow(m_Frame);
        m_Frame->Bind(
            wxEVT_MENU, [this](wxCommandEvent&) { ++m_Terminated; }, ID_TERMINATED_PROCESS);
    }
    void TearDown() override
    {
        wxTheApp->SetTopWindow(nullptr);
        EditorTest::TearDown();
    }

    // Runs to the end; false when it did not end in time.
    bool RunToEnd(Recorder& process, const wxArrayString& args, const wxString& wd = "")
    {
        if (process.Execute(args, wxEXEC_ASYNC, wd) <= 0) return false;
        return PumpUntil([&] { return !process.IsRunning() && m_Terminated > 0; }, 20000);
    }

    int m_Terminated = 0;
};

} // namespace

TEST_F(ProcessGuiTest, EveryLineIsReportedAndTheEndAnnounced)
{
    const struct {
        const char *name, *script;
        int status;
        std::string lines; // in order, as sorted text when `sorted`
        bool sorted;
    } rows[] = {
        {"BlankLinesKeptAfterTheEnd", "printf 'a\\n\\n\\nb\\n'", 0, "a\n\n\nb\n", false},
        {"ErrorAndOutputApart", "echo o; echo e >&2; exit 4", 4, "e\no\n", true},
        {"ManyLinesInOrder", "seq 1 50000", 0, qeltest::Run("seq 1 50000"), false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        m_Terminated = 0;
        LogCapture log;
        Recorder process;
        ASSERT_TRUE(RunToEnd(process, Args({"sh", "-c", row.script})));
        EXPECT_EQ(process.m_Creates, 1);
        EXPECT_EQ(process.GetExitCode(), row.status);
        wxArrayString lines = process.m_Lines;
        if (row.sorted) lines.Sort();
        EXPECT_EQ(lines, Split(row.lines));
        EXPECT_EQ(m_Terminated, 1);
        EXPECT_EQ(log.Count("Ready"), 1u) << log.Dump();
    }
}

// A prompt without a line end must not hold the event loop while the child
// waits; the prompt is still reported when the child ends.
TEST_F(ProcessGuiTest, APromptWithoutLineEndDoesNotStallTheLoop)
{
    Recorder process;
    ASSERT_GT(process.Execute(Args({"sh", "-c", "printf 'Password: '; sleep 2"}), wxEXEC_ASYNC), 0);
    bool answered = false; // while the child waits
    wxTimer probe;
    probe.Bind(wxEVT_TIMER, [&](wxTimerEvent&) { answered = process.IsRunning(); });
    probe.StartOnce(300);
    EXPECT_TRUE(PumpUntil([&] { return !process.IsRunning(); }, 5000));
    EXPECT_TRUE(answered);
    EXPECT_EQ(process.m_Lines, Split("Password: "));
}

TEST_F(ProcessGuiTest, StoppingKillsTheChildAndWhatItStarted)
{
    auto process = std::make_unique<Recorder>();
    long pid = process->Execute(Args({"sh", "-c", "sleep 30 & sleep 30; echo late"}), wxEXEC_ASYNC);
    ASSERT_GT(pid, 0);
    ASSERT_TRUE(PumpUntil([&] { return LiveInGroup(pid) >= 3; }, 5000)) << LiveInGroup(pid);
    LogCapture log;
    EXPECT_EQ(process->Kill(wxSIGKILL), wxKILL_OK);
    EXPECT_TRUE(PumpUntil([&] { return LiveInGroup(pid) == 0; }, 250)) << LiveInGroup(pid);
    EXPECT_TRUE(PumpUntil([&] { return !process->IsRunning(); }, 5000));
    EXPECT_EQ(process->Kill(wxSIGKILL), wxKILL_NO_PROCESS);
    EXPECT_TRUE(log.Has("Stopped")) << log.Dump();
    EXPECT_EQ(process->m_Lines.size(), 0u);

    // A runner that goes takes its children with it; their end reaches no one.
    pid = process->Execute(Args({"sh", "-c", "sleep 30 & sleep 30"}), wxEXEC_ASYNC);
    ASSERT_TRUE(PumpUntil([&] { return LiveInGroup(pid) >= 2; }, 5000));
    m_Terminated = 0;
    process.reset();
    EXPECT_TRUE(PumpUntil([&] { return LiveInGroup(pid) == 0; }, 1000));
    qeltest::Pump(100);
    EXPECT_EQ(m_Terminated, 0);
}

// Output as fast as the child writes it, into rows cheap or slow to add:
// between two ticks the event loop runs out of work, so that keys, posted
// events and the stop button get through, and a tick never takes a whole
// read of slow rows. The stop ends the group and drops what was not shown.
TEST_F(ProcessGuiTest, EndlessOutputLeavesTheLoopFreeAndStops)
{
    for (const int row_us : {0, 200}) {
        SCOPED_TRACE(row_us);
        Recorder process;
        process.m_RowMicroseconds = row_us;
        const long pid = process.Execute(Args({"yes"}), wxEXEC_ASYNC);
        ASSERT_GT(pid, 0);
        int turns = 0;
        while (turns < 20 && (process.m_Lines.empty() || wxTheApp->Pending()))
            wxTheApp->Dispatch(), ++turns;
        EXPECT_LT(turns, 20);
        // A batch holds the loop for a small slice of time (bounded loosely:
        // the machine may be busy), however fast the output and slow the rows.
        EXPECT_LT(process.m_LongestBatch, 500);
        if (row_us > 0) {
            EXPECT_LT(process.m_Lines.size(), 8192u); // a read of "y" lines
        }
        wxPostEvent(&process, wxCommandEvent(wxEVT_MENU, ID_SHELL_COMMAND_STOP));
        wxTheApp->ProcessPendingEvents();
        const size_t shown = process.m_Lines.size();
        EXPECT_TRUE(PumpUntil([&] { return LiveInGroup(pid) == 0 && m_Terminated > 0; }, 5000));
        EXPECT_EQ(process.m_Lines.size(), shown);
        m_Terminated = 0;
    }
}

// One child at a time: a second background run is refused while lines typed
// in the output window reach the child, and its stop button ends it.
TEST_F(ProcessGuiTest, ABusyRunnerTakesTypedLinesAndTheStopButton)
{
    Recorder process;
    const long pid = process.Execute(Args({"cat"}), wxEXEC_ASYNC);
    ASSERT_GT(pid, 0);
    LogCapture log;
    EXPECT_EQ(process.Execute("echo second"), 0);
    EXPECT_TRUE(log.Has("Process is running")) << log.Dump();
    EXPECT_EQ(process.GetPid(), pid);
    EXPECT_EQ(process.Execute("echo beside", wxEXEC_SYNC), 0);
    EXPECT_EQ(process.GetOutput(), "beside");

    for (const char* typed : {"hello", "two words\n"}) {
        wxCommandEvent command(wxEVT_MENU, ID_SHELL_COMMAND);
        command.SetString(typed);
        process.ProcessEvent(command);
    }
    EXPECT_TRUE(PumpUntil([&] { return process.m_Lines.size() == 2; }, 3000));
    EXPECT_EQ(process.m_Lines, Split("hello\ntwo words\n"));
    wxCommandEvent stop(wxEVT_MENU, ID_SHELL_COMMAND_STOP);
    process.ProcessEvent(stop);
    EXPECT_TRUE(PumpUntil([&] { return !process.IsRunning(); }, 2000));
    EXPECT_EQ(LiveInGroup(pid), 0);
    // At once after the start the child may not lead its group yet.
    const long again = process.Execute(Args({"sleep", "30"}), wxEXEC_ASYNC);
    EXPECT_EQ(process.Kill(), wxKILL_OK);
    EXPECT_TRUE(PumpUntil([&] { return LiveInGroup(again) == 0; }, 2000));
}

// A child writing 20 MB without a line end was kept whole, in rows of 1 MiB,
// by a background run as by a run to the end: the program grew with it.
TEST_F(ProcessGuiTest, ALineWithoutEndIsKeptOnlyToItsStart)
{
    const wxArrayString args = Args({"sh", "-c", "head -c 20000000 /dev/zero | tr '\\0' a"});
    const wxString note
        = wxString::Format("[%d more bytes of this line not shown]", 20000000 - (4 << 20));
    Recorder process;
    ASSERT_TRUE(RunToEnd(process, args));
    size_t kept = 0;
    for (const wxString& line : process.m_Lines) kept += line.length();
    EXPECT_EQ(kept, (4u << 20) + note.length());
    ASSERT_EQ(process.m_Lines.size(), 5u);
    EXPECT_EQ(process.m_Lines.front(), wxString('a', 1 << 20));
    EXPECT_EQ(process.m_Lines.back(), note);

    ASSERT_EQ(process.Execute(args, wxEXEC_SYNC), 0);
    EXPECT_EQ(process.GetOutput().length(), (4u << 20) + 4 + note.length());
    EXPECT_TRUE(process.GetOutput().EndsWith("a\n" + note));
}
