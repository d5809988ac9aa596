// The application object of tindrel: the command line, the main window, and
// the files that later starts and the desktop hand to the running program.
#pragma once

#include <memory>
#include <vector>

#include <wx/arrstr.h>
#include <wx/weakref.h>

#include <qelkit/app.h>

class Frame;
class QelHandover;

class App : public QelApp {
public:
    App();
    ~App() override;

    bool OnInit() override;
    int OnRun() override;
    int OnExit() override;
    void OnInitCmdLine(wxCmdLineParser& parser) override;
    bool OnCmdLineParsed(wxCmdLineParser& parser) override;

    // Opens names as the command line does ("name:line", wildcards), relative
    // to the folder given: what a second start or the desktop asks for. An
    // open file is only selected. Before the main window exists the request
    // waits for it.
    void OpenDocuments(const wxString& cwd, const wxArrayString& files);

    // The connection to the display broke and the process is about to end:
    // says so in the log and writes the settings, touching no window.
    void KeepOnDisplayLost();

protected:
    bool StartsHere() override;

private:
    class ModalDialogs;

    // What SIGTERM (and SIGINT, SIGHUP) asks for: the open modal dialogs end
    // first, as Cancel, and then the window closes as Quit does, without
    // questions.
    void Terminate();
    void CloseNow();
    void InstallEndSignals();
    // True once a signal asked the run to end, also one that came before
    // the main loop took it in.
    bool EndAsked();

    struct Request {
        wxString cwd;
        wxArrayString files;
    };

    wxArrayString m_Files; // the command line's names, as given
    std::vector<Request> m_Pending;
    wxWeakRef<Frame> m_Frame;
    std::unique_ptr<QelHandover> m_Handover;
    std::unique_ptr<ModalDialogs> m_Dialogs;
    bool m_HandedOver = false; // this start gave its files to another
    bool m_Ending = false;     // a signal asked the run to end
};

wxDECLARE_APP(App);
