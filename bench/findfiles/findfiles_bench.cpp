// Find in files through the frame as the user runs it: a hidden frame with
// history whose find results list takes the rows, the OK of the find dialog
// handed to the frame, and a 20 ms timer that measures how long the event
// loop went without a turn. Run under a display (Xvfb).
//
//   qel_findfiles_bench [-i] [-E] [-c MS] [-l LEXERS] PATTERN FOLDER ROWS
//
// -i: match case off; -E: PATTERN is a regular expression; -c: press Cancel
// MS milliseconds after OK; -l: the lexers file the program reads. ROWS receives "path:line" for every row. One
// line on stdout: rows, wall time, time to the first row, the longest
// stall, the time Cancel took to stop the run (all ms), the peak and
// starting resident memory (kB), and the time the dump of ROWS took (ms).
#include <chrono>
#include <cstdio>
#include <cstring>

#include <wx/app.h>
#include <wx/config.h>
#include <wx/listctrl.h>
#include <wx/dirctrl.h>
#include <wx/log.h>
#include <wx/timer.h>

#include <qelkit/app.h>
#include <qelkit/frd.h>
#include <qelkit/lexers.h>
#include <qelkit/util.h>
#include <qelkit/listitem.h>
#include <qelkit/report/frame.h>
#include <qelkit/report/listviewframe.h>
#include "../peak.h"

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

class BenchFrame : public QelFrameWithHistory {
public:
    BenchFrame()
        : QelFrameWithHistory(nullptr, wxID_ANY, "bench")
    { }

    QelListView* Activate(QelListViewFileName::ListType type, const QelLexer* lexer) override
    {
        if (m_List == nullptr) {
            m_List = new QelListViewWithFrame(this, this, type, wxID_ANY, 3, lexer);
        }
        return m_List;
    }

    QelListViewWithFrame* m_List = nullptr;
    Clock::time_point m_FirstRow;
};

class BenchApp : public wxApp {
public:
    bool OnInit() override
    {
        bool matchCase = true, regex = false;
        long cancelMs = -1;
        wxString lexers;
        int arg = 1;
        for (; arg < argc && argv[arg].StartsWith("-"); ++arg) {
            if (argv[arg] == "-i")
                matchCase = false;
            else if (argv[arg] == "-E")
                regex = true;
            else if (argv[arg] == "-c" && arg + 1 < argc)
                argv[++arg].ToLong(&cancelMs);
            else if (argv[arg] == "-l" && arg + 1 < argc)
                lexers = argv[++arg];
        }
        if (argc - arg != 3) {
            std::fprintf(
                stderr,
                "usage: qel_findfiles_bench [-i] [-E] [-c MS] [-l LEXERS] PATTERN FOLDER ROWS\n");
            return false;
        }
        m_Rows = argv[arg + 2];
        m_CancelMs = cancelMs;

        delete wxLog::SetActiveTarget(new wxLogStderr);
        wxLog::SetLogLevel(wxLOG_Warning); // no status texts on stderr
        // Settings in memory only.
        delete wxConfigBase::Set(QelCreateConfig(wxEmptyString));
        if (!lexers.empty()) {
            delete QelLexers::Set(new QelLexers(wxFileName(lexers)));
            QelLexers::Get()->Read();
        }
        m_Frame = new BenchFrame();
        // The program's lists make the file icons when they first show a
        // file, long before a find; so does the bench, before its clock.
        wxTheFileIconsTable->GetSmallImageList();
        wxTheFileIconsTable->GetIconID("c");
        SetTopWindow(m_Frame);
        wxConfigBase* config = wxConfigBase::Get();
        config->Write(m_Frame->GetTextInFolder(), argv[arg + 1]);
        config->Write(m_Frame->GetTextInFiles(), "*");
        config->Write(m_Frame->GetTextRecursive(), true);
        QelFindReplaceData* frd = QelFindReplaceData::Get();
        frd->SetMatchCase(matchCase);
        frd->SetUseRegularExpression(regex);
        frd->SetFindString(argv[arg]);

        CallAfter(&BenchApp::Run);
        return true;
    }

private:
    void Run()
    {
        m_StartKb = PeakKilobytes();
        wxTimer ticks;
        ticks.Bind(wxEVT_TIMER, [this](wxTimerEvent&) { Tick(); });
        wxTimer cancel;
        cancel.Bind(wxEVT_TIMER, [this](wxTimerEvent&) {
            m_Cancelled = Clock::now();
            m_Frame->OnCommandConfigDialog(ID_FIND_IN_FILES, wxID_CANCEL);
        });

        m_Start = m_LastTick = Clock::now();
        ticks.Start(20);
        if (m_CancelMs >= 0) cancel.StartOnce(static_cast<int>(m_CancelMs));
        m_Frame->OnCommandConfigDialog(ID_FIND_IN_FILES, wxID_OK);
        const Clock::time_point end = Clock::now();
        Tick();
        ticks.Stop();
        cancel.Stop();

        const double cancelled = m_Cancelled == Clock::time_point() ? -1 : Ms(end - m_Cancelled);
        const double first
            = m_Frame->m_FirstRow == Clock::time_point() ? -1 : Ms(m_Frame->m_FirstRow - m_Start);
        QelListViewWithFrame* list = m_Frame->m_List;
        const long rows = list == nullptr ? 0 : list->GetItemCount();
        // The dump is the benchmark's, not the program's: it is timed apart
        // so that the whole process can be compared without it.
        const Clock::time_point dumpStart = Clock::now();
        if (FILE* out = std::fopen(m_Rows.fn_str(), "w")) {
            for (long r = 0; r < rows; r++) {
                std::fprintf(out, "%s:%s\n",
                             QelListItem(list, r).GetFileName().GetFullPath().utf8_str().data(),
                             list->GetItemText(r, _("Line No")).utf8_str().data());
            }
            std::fclose(out);
        }
        const double dump = Ms(Clock::now() - dumpStart);
        std::printf("rows %ld wall %.0f first %.0f stall %.0f stall_end %.0f cancel %.0f peak_kb "
                    "%ld start_kb %ld dump %.0f\n",
                    rows, Ms(end - m_Start), first, m_MaxGap, m_MaxGapEnd, cancelled,
                    PeakKilobytes(), m_StartKb, dump);
        m_Frame->Destroy();
        ExitMainLoop();
    }

    void Tick()
    {
        const Clock::time_point now = Clock::now();
        // A row is there for the user at the first turn of the event loop
        // that finds it in the list.
        if (m_Frame->m_FirstRow == Clock::time_point() && m_Frame->m_List != nullptr
            && m_Frame->m_List->GetItemCount() > 0)
            m_Frame->m_FirstRow = now;
        if (Ms(now - m_LastTick) > m_MaxGap) {
            m_MaxGap = Ms(now - m_LastTick);
            m_MaxGapEnd = Ms(now - m_Start);
        }
        m_LastTick = now;
    }

    BenchFrame* m_Frame = nullptr;
    wxString m_Rows;
    long m_CancelMs = -1;
    long m_StartKb = 0;
    Clock::time_point m_Start, m_LastTick, m_Cancelled;
    double m_MaxGap = 0;
    double m_MaxGapEnd = 0; // when the longest stall ended
};

} // namespace

wxIMPLEMENT_APP(BenchApp);
