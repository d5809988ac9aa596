// Opens a file in a hidden editor control, replaces all of a text in it and
// writes the result, timing each step on stderr:
//
//   qel_stc_bench [-E] FIND REPLACE INPUT OUTPUT
//
// -E: FIND is a regular expression of the control. With an empty OUTPUT
// only the opening is timed. Run under a display (Xvfb).
#include <chrono>
#include <cstdio>
#include <cstring>

#include <wx/app.h>
#include <wx/config.h>
#include <wx/frame.h>
#include <wx/log.h>

#include <qelkit/app.h>
#include <qelkit/file.h>
#include <qelkit/frd.h>
#include <qelkit/stc.h>
#include "../peak.h"

namespace {

double Seconds(std::chrono::steady_clock::time_point since)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

class BenchApp : public wxApp {
public:
    bool OnInit() override
    {
        int arg = 1;
        const bool regex = argc > 1 && argv[1] == wxString("-E");
        if (regex) ++arg;
        if (argc - arg != 4) {
            std::fprintf(stderr, "usage: qel_stc_bench [-E] FIND REPLACE INPUT OUTPUT\n");
            return false;
        }
        const wxString find = argv[arg], replace = argv[arg + 1];
        const wxString input = argv[arg + 2], output = argv[arg + 3];

        delete wxLog::SetActiveTarget(new wxLogStderr);
        wxConfigBase::Set(QelCreateConfig(wxEmptyString)); // in memory only
        auto* frame = new wxFrame(nullptr, wxID_ANY, "bench");

        auto start = std::chrono::steady_clock::now();
        auto* stc = new QelSTC(frame, QelFileName(input));
        std::fprintf(stderr, "open: %.3f s, %d lines, lexer %s, peak %ld kB\n", Seconds(start),
                     stc->GetLineCount(), stc->GetLexer().GetScintillaLexer().utf8_str().data(),
                     PeakKilobytes());

        if (!output.empty()) {
            QelFindReplaceData* frd = QelFindReplaceData::Get();
            frd->SetMatchCase(true);
            frd->SetMatchWord(false);
            frd->SetUseRegularExpression(regex);

            start = std::chrono::steady_clock::now();
            const int count = stc->ReplaceAll(find, replace);
            std::fprintf(stderr, "replace all: %.3f s, %d replacements\n", Seconds(start), count);

            const wxCharBuffer text = stc->GetTextRaw();
            m_Ok = QelWriteFileAtomic(output, text.data(), text.length());
        }

        frame->Destroy();
        CallAfter([this] { ExitMainLoop(); });
        return true;
    }

    int OnExit() override
    {
        delete QelFindReplaceData::Set(nullptr);
        return wxApp::OnExit();
    }

    int OnRun() override
    {
        wxApp::OnRun();
        return m_Ok ? 0 : 1;
    }

private:
    bool m_Ok = true;
};

} // namespace

wxIMPLEMENT_APP_NO_MAIN(BenchApp);

int main(int argc, char** argv)
{
    return wxEntry(argc, argv);
}
