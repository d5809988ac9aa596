// Runs a command that prints LINES short lines, every second one a
// "file:line" link to an existing file, in the background through the
// process runner, while a 20 ms timer records how long the event loop was
// held. Checks that every line arrived, in order, with its link, and prints
//
//   lines: N in order, links: L, time: T ms, lines/s: R, longest stall: S ms
//
//   qel_process_bench [LINES]
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include <wx/app.h>
#include <wx/file.h>
#include <wx/filename.h>
#include <wx/timer.h>

#include <qelkit/process.h>

namespace {

using Clock = std::chrono::steady_clock;

long Ms(Clock::time_point from)
{
    return static_cast<long>(
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - from).count());
}

// Counts the lines and checks each against the line the command printed.
class CheckingProcess : public QelProcess {
public:
    void ReportAdd(const wxString& line, const wxString& path, const wxString& lineno) override
    {
        const bool link = m_Count % 2 == 1;
        const wxString want = link ? wxString::Format("f.c:%ld: warning", m_Count)
                                   : wxString::Format("line %ld", m_Count);
        if (line != want || link != !path.empty() || (link && lineno.empty())) ++m_Wrong;
        if (!path.empty()) ++m_Links;
        ++m_Count;
    }
    void OnTerminate(int pid, int status) override
    {
        QelProcess::OnTerminate(pid, status);
        wxTheApp->ExitMainLoop();
    }

    long m_Count = 0;
    long m_Links = 0;
    long m_Wrong = 0;
};

} // namespace

// A console application: its event loop runs the timers and hears of the
// child's end.
class BenchApp : public wxAppConsole {
public:
    bool OnInit() override { return true; } // the line count is ours, not an option

    int OnRun() override
    {
        const long lines = argc > 1 ? std::atol(argv[1].utf8_str()) : 1000000;
        const wxString dir = wxFileName::CreateTempFileName("qel-process-bench");
        wxRemoveFile(dir);
        wxFileName::Mkdir(dir);
        wxFile(dir + "/f.c", wxFile::write).Write("");

        CheckingProcess process;
        auto last = Clock::now();
        long stall = 0;
        wxTimer probe;
        probe.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
            stall = std::max(stall, Ms(last));
            last = Clock::now();
        });
        probe.Start(20);

        wxArrayString args;
        args.push_back("awk");
        args.push_back(wxString::Format(
            "BEGIN { for (i = 0; i < %ld; i++) if (i %% 2) print \"f.c:\" i \": warning\";"
            " else print \"line \" i }",
            lines));
        const auto start = Clock::now();
        if (process.Execute(args, wxEXEC_ASYNC, dir) <= 0) return 2;
        wxAppConsole::OnRun();
        const long ms = std::max(1L, Ms(start));
        probe.Stop();
        wxFileName::Rmdir(dir, wxPATH_RMDIR_RECURSIVE);

        const bool ok = process.m_Count == lines && process.m_Wrong == 0;
        std::printf(
            "lines: %ld %s, links: %ld, time: %ld ms, lines/s: %ld, longest stall: %ld ms\n",
            process.m_Count, ok ? "in order" : "WRONG", process.m_Links, ms,
            process.m_Count * 1000 / ms, stall);
        return ok ? 0 : 1;
    }
};

wxIMPLEMENT_APP_CONSOLE(BenchApp);
