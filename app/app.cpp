// tindrel: the application object.
#include <wx/cmdline.h>

#include <qelkit/app.h>
#include <qelkit/openfiles.h>

#include "frame.h"

class App : public QelApp {
public:
    bool OnInit() override
    {
        SetAppName("tindrel");
        if (!QelApp::OnInit()) return false;

        auto* frame = new Frame(m_Files.empty());
        frame->Show();
        QelOpenFiles(frame, m_Files);

        // Start-up alone, for scripts and timings: the window shows with its
        // files, then the program ends.
        if (m_Quit) CallAfter([frame] { frame->Close(true); });
        return true;
    }

    void OnInitCmdLine(wxCmdLineParser& parser) override
    {
        QelApp::OnInitCmdLine(parser);
        parser.AddSwitch("q", "quit", _("quit once the files are shown"));
        parser.AddParam(_("input file:line number"), wxCMD_LINE_VAL_STRING,
                        wxCMD_LINE_PARAM_OPTIONAL | wxCMD_LINE_PARAM_MULTIPLE);
    }

    bool OnCmdLineParsed(wxCmdLineParser& parser) override
    {
        m_Quit = parser.Found("q");
        for (size_t i = 0; i < parser.GetParamCount(); ++i) m_Files.Add(parser.GetParam(i));
        return QelApp::OnCmdLineParsed(parser);
    }

private:
    wxArrayString m_Files;
    bool m_Quit = false;
};

wxIMPLEMENT_APP(App);
