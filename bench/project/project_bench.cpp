// A project of many files in a hidden frame: the time to load it into its
// list, to save it, one step of following the rows for changes on disk, a
// whole pass of such steps, a sort on "Modified", and adding a tree of files
// through AddItems (checked against a count the caller passes, from find):
//
//   qel_project_bench PROJECT [TREE FILES_IN_TREE] [ROUNDS]
//
// With QEL_LEXERS naming a lexers file, the lexers are loaded first, as in
// the application (every file name looks its lexer up).
// Prints one "name: value" line per measure; the exit code is 1 when a
// check failed (rows lost by a save, a count that differs from find).
#include <algorithm>
#include <ctime>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <wx/app.h>
#include <wx/config.h>
#include <wx/filename.h>
#include <wx/log.h>

#include <qelkit/app.h>
#include <qelkit/lexers.h>
#include <qelkit/report/frame.h>
#include <qelkit/report/listviewfile.h>

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::time_point from)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - from).count();
}

// The processor time of this thread, in milliseconds: a step that waited
// for a processor taken by another program does not count it.
double CpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

class Frame : public QelFrameWithHistory {
public:
    Frame()
        : QelFrameWithHistory(nullptr, wxID_ANY, "bench", 9, 4)
    { }
    QelListViewFile* GetProject() override { return m_Project; }
    QelListViewFile* m_Project = nullptr;
};

} // namespace

class BenchApp : public wxApp {
public:
    bool OnInit() override
    {
        // Messages go to stderr, never into a window at the exit.
        delete wxLog::SetActiveTarget(new wxLogStderr());
        wxLog::DontCreateOnDemand();
        return true;
    }

    int OnRun() override
    {
        if (argc < 2) {
            std::fprintf(stderr, "usage: qel_project_bench PROJECT [TREE FILES] [ROUNDS]\n");
            return 2;
        }
        const wxString project = argv[1];
        const wxString tree = argc > 3 ? argv[2] : wxString();
        const long tree_files = argc > 3 ? std::atol(argv[3].utf8_str()) : 0;
        const int rounds = argc > 4 ? std::atoi(argv[4].utf8_str()) : 5;

        const wxString work = wxFileName::CreateTempFileName("qel-project-bench");
        wxRemoveFile(work);
        wxFileName::Mkdir(work);
        delete wxConfigBase::Set(QelCreateConfig(work + "/bench.ini"));
        bool ok = true;
        if (const char* lexers = std::getenv("QEL_LEXERS"); lexers != nullptr && *lexers != 0) {
            QelLexers::Set(new QelLexers(wxFileName(lexers)));
            ok = QelLexers::Get()->Read();
        }

        auto* frame = new Frame();
        auto* list = new QelListViewFile(frame, frame, work + "/new.prj");
        frame->m_Project = list;

        std::vector<double> load, save;
        for (int i = 0; i < rounds; i++) {
            auto start = Clock::now();
            ok = list->FileLoad(QelFileName(project)) && ok;
            load.push_back(Ms(start));
            start = Clock::now();
            ok = list->FileSave(QelFileName(work + "/saved.prj")) && ok;
            save.push_back(Ms(start));
        }
        const long rows = list->GetItemCount();
        QelProjectFile::Entries original, saved;
        wxString error;
        ok = QelProjectFile::Read(project, &original, &error) && ok;
        ok = QelProjectFile::Read(work + "/saved.prj", &saved, &error) && ok;
        if (saved != original) {
            std::printf("saved project differs from the original\n");
            ok = false;
        }
        std::printf("rows: %ld\nload: %.0f ms\nsave: %.0f ms (%lld bytes)\n", rows, Median(load),
                    Median(save),
                    static_cast<long long>(wxFileName::GetSize(work + "/saved.prj").GetValue()));

        // One pass of sync steps over every row, twice: the first pass may
        // find rows to refresh, the second finds none.
        std::vector<double> steps, cpu;
        double pass = 0;
        long checked = 0;
        for (int p = 0; p < 2; p++) {
            const auto pass_start = Clock::now();
            do {
                const auto start = Clock::now();
                const double cpu_start = CpuMs();
                checked += list->SyncStep();
                cpu.push_back(CpuMs() - cpu_start);
                steps.push_back(Ms(start));
            } while (list->GetSyncRow() != 0);
            pass = Ms(pass_start);
        }
        std::sort(steps.begin(), steps.end());
        std::sort(cpu.begin(), cpu.end());
        std::printf("sync step: median %.3f ms, 99%% %.3f ms, max %.3f ms (processor time: max "
                    "%.3f ms), %ld rows per step\n",
                    steps[steps.size() / 2], steps[steps.size() * 99 / 100], steps.back(),
                    cpu.back(), checked / static_cast<long>(steps.size()));
        std::printf("sync pass: %.0f ms in %zu steps of 100 ms apart\n", pass, steps.size() / 2);

        auto start = Clock::now();
        list->SortColumn(_("Modified"), SORT_ASCENDING);
        std::printf("sort on Modified: %.0f ms\n", Ms(start));

        if (!tree.empty()) {
            list->FileNew(QelFileName(work + "/added.prj"));
            wxConfigBase* config = wxConfigBase::Get();
            config->Write(_("In folder"), tree);
            config->Write(_("Add what"), "*");
            config->Write(_("Add folders"), false);
            config->Write("List/SortSync", false);
            start = Clock::now();
            const long added = list->AddItems();
            std::printf("add items: %ld files (find: %ld) in %.0f ms\n", added, tree_files,
                        Ms(start));
            ok = added == tree_files && ok;
        }

        delete frame;
        delete QelLexers::Set(nullptr);
        std::fflush(stdout);
        wxFileName::Rmdir(work, wxPATH_RMDIR_RECURSIVE);
        return ok ? 0 : 1;
    }
};

wxIMPLEMENT_APP(BenchApp);
