// Opens a file as a hexadecimal dump in a hidden editor control, timing the
// open and reporting the peak memory on stderr, and writes the dump (not
// with OUTPUT "-", for timing the view alone):
//
//   qel_hex_bench INPUT OUTPUT
//
// Run under a display (Xvfb).
#include <chrono>
#include <cstdio>

#include <wx/app.h>
#include <wx/config.h>
#include <wx/frame.h>
#include <wx/log.h>

#include <qelkit/app.h>
#include <qelkit/file.h>
#include <qelkit/stc.h>
#include "../peak.h"

namespace {

class BenchApp : public wxApp {
public:
    bool OnInit() override
    {
        if (argc != 3) {
            std::fprintf(stderr, "usage: qel_hex_bench INPUT OUTPUT\n");
            return false;
        }
        delete wxLog::SetActiveTarget(new wxLogStderr);
        wxLog::SetLogLevel(wxLOG_Warning);
        wxConfigBase::Set(QelCreateConfig(wxEmptyString)); // in memory only
        auto* frame = new wxFrame(nullptr, wxID_ANY, "bench");

        const long before = PeakKilobytes();
        const auto start = std::chrono::steady_clock::now();
        auto* stc = new QelSTC(frame, QelFileName(argv[1]), 0, wxEmptyString, EDITOR_HEX);
        const double seconds
            = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        std::fprintf(stderr, "hex open: %.3f s, %d lines, peak %ld kB (%ld kB before)\n", seconds,
                     stc->GetLineCount(), PeakKilobytes(), before);

        m_Ok = true;
        if (argv[2] != "-") {
            const wxCharBuffer text = stc->GetTextRaw();
            m_Ok = QelWriteFileAtomic(argv[2], text.data(), text.length());
        }

        frame->Destroy();
        CallAfter([this] { ExitMainLoop(); });
        return true;
    }
    int OnRun() override
    {
        wxApp::OnRun();
        return m_Ok ? 0 : 1;
    }

private:
    bool m_Ok = false;
};

} // namespace

wxIMPLEMENT_APP_NO_MAIN(BenchApp);

int main(int argc, char** argv)
{
    return wxEntry(argc, argv);
}
