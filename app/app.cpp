#include "app.h"

#include <csignal>

#include <wx/cmdline.h>
#include <wx/evtloop.h>

#include <qelkit/openfiles.h>
#include <qelkit/paths.h>

#include "frame.h"
#include "handover.h"

wxIMPLEMENT_APP(App);

App::App() = default;

App::~App() = default;

bool App::OnInit()
{
    SetAppName("tindrel");
    SetAppDisplayName("Tindrel");
    if (!QelApp::OnInit()) return false;

    m_Handover = std::make_unique<QelHandover>(QelWritableDir());
    if (m_Handover->IsAnotherRunning()) {
        if (m_Handover->Send(wxGetCwd(), m_Files)) {
            m_HandedOver = true;
            return true;
        }
        wxLogWarning(_("The running program does not answer at %s: starting another"),
                     m_Handover->GetSocketPath());
    } else if (!m_Handover->GetSocketPath().empty()
               && !m_Handover->Listen([this](const wxString& cwd, const wxArrayString& files) {
                      OpenDocuments(cwd, files);
                  })) {
        wxLogWarning(_("Cannot receive files from later starts at %s"),
                     m_Handover->GetSocketPath());
    }

    auto* frame = new Frame(m_Files.empty());
    frame->Show(true);
    m_Frame = frame;
    QelOpenFiles(frame, m_Files, 0, wxDIR_FILES);

    // Files handed over while the window was being made.
    std::vector<Request> pending;
    pending.swap(m_Pending);
    for (const Request& request : pending) OpenDocuments(request.cwd, request.files);
    return true;
}

void App::OnEventLoopEnter(wxEventLoopBase* loop)
{
    QelApp::OnEventLoopEnter(loop);
    // The signal reaches the program through the running main loop, so it
    // can only be caught from here on. A request to terminate (the end of a
    // session, kill) closes the window as Quit does, but without questions,
    // so that the settings are kept. (The loop is null when the last one
    // ends.)
    if (loop == nullptr || !loop->IsMain() || m_Terminable) return;
    m_Terminable = SetSignalHandler(SIGTERM, [](int) {
        App& app = wxGetApp();
        if (app.m_Frame)
            app.m_Frame->Close(true);
        else
            app.ExitMainLoop();
        // Nothing else may wake the loop for the idle time that deletes the
        // window and ends it.
        app.WakeUpIdle();
    });
}

int App::OnRun()
{
    return m_HandedOver ? 0 : QelApp::OnRun();
}

int App::OnExit()
{
    m_Handover.reset();
    return QelApp::OnExit();
}

void App::OnInitCmdLine(wxCmdLineParser& parser)
{
    QelApp::OnInitCmdLine(parser);
    parser.AddParam(_("input file:line number"), wxCMD_LINE_VAL_STRING,
                    wxCMD_LINE_PARAM_OPTIONAL | wxCMD_LINE_PARAM_MULTIPLE);
}

bool App::OnCmdLineParsed(wxCmdLineParser& parser)
{
    for (size_t i = 0; i < parser.GetParamCount(); ++i) m_Files.Add(parser.GetParam(i));
    return QelApp::OnCmdLineParsed(parser);
}

void App::OpenDocuments(const wxString& cwd, const wxArrayString& files)
{
    if (!m_Frame) {
        m_Pending.push_back({cwd, files});
        return;
    }
    const wxString old = wxGetCwd();
    if (!wxSetWorkingDirectory(cwd)) {
        wxLogError(_("Cannot open files in folder: %s"), cwd);
        return;
    }
    QelOpenFiles(m_Frame, files, 0, wxDIR_FILES);
    wxSetWorkingDirectory(old);
    if (m_Frame) m_Frame->Raise();
}
