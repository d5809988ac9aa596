// The vi emulation of a hidden editor on a large document:
//
//   qel_vi_bench substitute FILE OUT [ROUNDS]
//       ":%s/a/b/g" on the text of FILE, written to OUT;
//   qel_vi_bench down FILE [ROUNDS]
//       "999999999j" typed from the first line; prints the caret's line.
//
// The best time of ROUNDS runs (default 1), each on the text freshly
// loaded, goes to stderr as "NAME: X ms"; loading is not timed.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <wx/app.h>
#include <wx/config.h>
#include <wx/ffile.h>
#include <wx/frame.h>
#include <wx/log.h>

#include <qelkit/app.h>
#include <qelkit/stc.h>

namespace {

std::string ReadFile(const char* path)
{
    std::string bytes;
    wxFFile file(path, "rb");
    if (!file.IsOpened()) return bytes;
    bytes.resize(file.Length());
    bytes.resize(file.Read(bytes.data(), bytes.size()));
    return bytes;
}

void Load(QelSTC* stc, const std::string& bytes)
{
    stc->ClearAll();
    stc->AddTextRaw(bytes.data(), static_cast<int>(bytes.size()));
    stc->EmptyUndoBuffer();
    stc->DocumentStart();
}

void TypeKeys(QelSTC* stc, const wxString& keys)
{
    for (const wxUniChar c : keys) {
        wxKeyEvent event(wxEVT_CHAR);
        event.SetEventObject(stc);
        event.m_keyCode = c.GetValue();
        event.m_uniChar = c.GetValue();
        stc->ProcessWindowEvent(event);
    }
}

template <typename Run> double Best(int rounds, Run run)
{
    double best = 0;
    for (int round = 0; round < rounds; ++round) {
        const double took = run();
        if (round == 0 || took < best) best = took;
    }
    return best;
}

int Bench(int argc, char** argv)
{
    const std::string what = argv[1];
    const std::string bytes = ReadFile(argv[2]);
    const bool substitute = what == "substitute";
    const int rounds
        = std::max(1, std::atoi(argc > (substitute ? 4 : 3) ? argv[substitute ? 4 : 3] : "1"));

    wxFrame* frame = new wxFrame(nullptr, wxID_ANY, "vi");
    QelSTC* stc = new QelSTC(frame);
    stc->SetEOLMode(wxSTC_EOL_LF);
    stc->GetVi().Use(true);

    using Clock = std::chrono::steady_clock;
    const double best = Best(rounds, [&] {
        Load(stc, bytes);
        const auto start = Clock::now();
        if (substitute)
            stc->GetVi().ExecCommand("%s/a/b/g");
        else
            TypeKeys(stc, "999999999j");
        return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    });

    int result = 0;
    if (substitute) {
        const wxCharBuffer text = stc->GetTextRaw();
        wxFFile out(argv[3], "wb");
        if (!out.IsOpened() || !out.Write(text.data(), stc->GetLength())) result = 1;
    } else {
        std::printf("%d\n", stc->LineFromPosition(stc->GetCurrentPos()) + 1);
    }
    std::fprintf(stderr, "%s: %.1f ms\n", what.c_str(), best);
    frame->Destroy();
    return result;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3 || (std::string(argv[1]) == "substitute" && argc < 4)) {
        std::fprintf(stderr, "usage: %s substitute FILE OUT [ROUNDS] | down FILE [ROUNDS]\n",
                     argv[0]);
        return 2;
    }
    wxApp::SetInstance(new wxApp);
    int wx_argc = 1;
    if (!wxEntryStart(wx_argc, argv)) return 1;
    // Messages to stderr: no dialog may wait for a click.
    delete wxLog::SetActiveTarget(new wxLogStderr);
    // Settings in memory only: a benchmark leaves no settings file behind.
    delete wxConfigBase::Set(QelCreateConfig(wxEmptyString));
    const int result = Bench(argc, argv);
    wxTheApp->ProcessPendingEvents();
    delete wxConfigBase::Set(nullptr);
    wxEntryCleanup();
    return result;
}
