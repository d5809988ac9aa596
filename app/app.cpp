#include "app.h"

#include <algorithm>
#include <clocale>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <dlfcn.h>

#include <wx/cmdline.h>
#include <wx/config.h>
#include <wx/dialog.h>
#include <wx/evtloop.h>
#include <wx/modalhook.h>
#include <wx/msgout.h>

#include <qelkit/filename.h>
#include <qelkit/frd.h>
#include <qelkit/paths.h>

#include "frame.h"
#include "handover.h"

wxIMPLEMENT_APP_NO_MAIN(App);

namespace {

// The arguments as the toolkit was given them.
std::vector<std::string> g_Arguments;
// On a UTF-8 system their bytes are carried to the toolkit as they are read.
bool g_BytesCarried = false;

// An argument's bytes for a message: those that are not printable ASCII as
// \xNN.
wxString Escaped(const std::string& bytes)
{
    wxString text;
    for (const unsigned char c : bytes)
        text += c >= 0x20 && c < 0x7f ? wxString(wxUniChar(c)) : wxString::Format("\\x%02x", c);
    return text;
}

// The toolkit's own options (help, verbose) are described here too, so that
// the command line reads the same before the toolkit starts and in OnInit.
void DescribeCommandLine(wxCmdLineParser& parser)
{
    parser.AddSwitch("h", "help", _("show this help message"), wxCMD_LINE_OPTION_HELP);
    parser.AddSwitch("", "verbose", _("generate verbose log messages"));
    parser.AddParam(_("input file:line number"), wxCMD_LINE_VAL_STRING,
                    wxCMD_LINE_PARAM_OPTIONAL | wxCMD_LINE_PARAM_MULTIPLE);
}

// GTK's own options, which GTK takes out of the arguments when the toolkit
// starts it, after the reading below: that reading lets them pass, and the
// usage does not show them. (Asking GTK to take them now would have it set
// up the locale, which the toolkit keeps it from doing later.)
void AllowGtkOptions(wxCmdLineParser& parser)
{
    for (const char* name : {"display", "class", "name", "gtk-module", "gdk-debug", "gdk-no-debug",
                             "gtk-debug", "gtk-no-debug"})
        parser.AddOption("", name, "", wxCMD_LINE_VAL_STRING, wxCMD_LINE_HIDDEN);
    parser.AddSwitch("", "g-fatal-warnings", "", wxCMD_LINE_HIDDEN);
}

// Help and mistakes on the command line are answered before the toolkit
// opens the display: the usage needs none, and asking for it is no failure.
// The exit status, or nothing when the program is to start.
std::optional<int> AnswerCommandLine(int argc, char** argv)
{
    // Names are read in the user's encoding, as the toolkit reads them later.
    setlocale(LC_CTYPE, "");
    wxCmdLineParser parser(argc, argv);
    DescribeCommandLine(parser);
    AllowGtkOptions(parser);
    wxMessageOutputStderr errors; // the parser's own message for a mistake
    wxMessageOutput* previous = wxMessageOutput::Set(&errors);
    const int parsed = parser.Parse(false);
    wxMessageOutput::Set(previous);
    if (parsed == 0) return std::nullopt;

    const bool asked = parsed == -1;
    fputs(parser.GetUsageString().utf8_str(), asked ? stdout : stderr);
    return asked ? EXIT_SUCCESS : EXIT_FAILURE;
}

// Xlib's handler of a broken connection to the display: GTK's own ends the
// process at once and never returns. (Looked up at run time, as below, so
// that the program needs no X headers.)
using DisplayLostHandler = int (*)(void* display);
DisplayLostHandler g_ToolkitDisplayLost = nullptr;

int OnDisplayLost(void* display)
{
    wxGetApp().KeepOnDisplayLost();
    // Returning would end the process too, through exit and its cleanups.
    return g_ToolkitDisplayLost != nullptr ? g_ToolkitDisplayLost(display) : 0;
}

void InstallDisplayLostHandler()
{
    using SetHandler = DisplayLostHandler (*)(DisplayLostHandler);
    const auto set = reinterpret_cast<SetHandler>(dlsym(RTLD_DEFAULT, "XSetIOErrorHandler"));
    if (set != nullptr) g_ToolkitDisplayLost = set(OnDisplayLost);
}

// A name of the command line as the file-name conversion reads its bytes.
// Under the C locale the toolkit reads file names as UTF-8 but took the
// arguments for Latin-1: that reading keeps every byte, yet names another
// file ("é" as "Ã©"). On a UTF-8 system main carried the bytes already; in
// another encoding the two readings agree.
wxString AsFileName(const wxString& argument)
{
    if (g_BytesCarried) return argument;
    const wxCharBuffer bytes = wxConvLocal.cWC2MB(argument.wc_str());
    if (bytes.data() == nullptr) return argument;
    const wxWCharBuffer name = wxConvFileName->cMB2WC(bytes.data());
    return name.data() == nullptr ? argument : wxString(name.data());
}

} // namespace

// The toolkit's main, but for the arguments: it converts them by the
// system's encoding and drops one that is not in it, with a warning on
// stderr alone. On a UTF-8 system the bytes of a name go to it as UTF-8 that
// carries them, and the file-name conversion gives them back at the open.
int main(int argc, char** argv)
{
    wxDISABLE_DEBUG_SUPPORT();
    g_Arguments.assign(argv, argv + argc);
    g_BytesCarried = QelUseFileNameBytes();
    if (g_BytesCarried)
        for (std::string& argument : g_Arguments) argument = QelFileNameAsUTF8(argument);
    std::vector<char*> pointers;
    for (std::string& argument : g_Arguments) pointers.push_back(argument.data());
    pointers.push_back(nullptr);
    if (const std::optional<int> status = AnswerCommandLine(argc, pointers.data())) return *status;
    return wxEntry(argc, pointers.data());
}

// The modal dialogs open now, innermost last. Once the program is ending,
// a new one is answered Cancel without showing, and the last one to go
// lets the window close.
class App::ModalDialogs : public wxModalDialogHook {
public:
    explicit ModalDialogs(std::function<void()> allGone)
        : m_AllGone(std::move(allGone))
    {
        Register();
    }

    // Ends every open dialog as Cancel; false when none was open.
    bool CancelAll()
    {
        m_Ending = true;
        for (wxDialog* dialog : std::vector<wxDialog*>(m_Open)) Cancel(dialog);
        return !m_Open.empty();
    }

protected:
    int Enter(wxDialog* dialog) override
    {
        if (m_Ending) return wxID_CANCEL;
        m_Open.push_back(dialog);
        return wxID_NONE;
    }

    void Exit(wxDialog* dialog) override
    {
        m_Open.erase(std::remove(m_Open.begin(), m_Open.end(), dialog), m_Open.end());
        // The window may go only once the dialog's caller has returned to
        // the main loop; a window closed under it would be used again.
        if (m_Ending && m_Open.empty()) wxTheApp->CallAfter(m_AllGone);
    }

private:
    static void Cancel(wxDialog* dialog)
    {
        if (dialog->IsModal()) {
            dialog->EndModal(wxID_CANCEL);
            return;
        }
        // Message boxes and the colour and font choosers are GTK's own and
        // run its loop, which only a response ends. Looked up here, so that
        // the program needs no GTK headers.
        using Respond = void (*)(void* dialog, int response);
        static const auto respond
            = reinterpret_cast<Respond>(dlsym(RTLD_DEFAULT, "gtk_dialog_response"));
        constexpr int kResponseCancel = -6;
        if (respond != nullptr && dialog->GetHandle() != nullptr)
            respond(dialog->GetHandle(), kResponseCancel);
    }

    std::function<void()> m_AllGone;
    std::vector<wxDialog*> m_Open;
    bool m_Ending = false;
};

App::App() = default;

App::~App() = default;

bool App::OnInit()
{
    SetAppName("tindrel");
    SetAppDisplayName("Tindrel");
    // Before anything is read or made that the end of the run must write or
    // take away: from here on a signal ends the start as Quit would.
    InstallEndSignals();
    if (!QelApp::OnInit()) return false;
    if (m_HandedOver || EndAsked()) return true;
    m_Dialogs = std::make_unique<ModalDialogs>([this] { CloseNow(); });
    // Installed over GTK's, which the toolkit's start set.
    InstallDisplayLostHandler();

    if (m_Handover->IsAnotherRunning()) {
        wxLogWarning(_("The running program does not answer at %s: starting another"),
                     m_Handover->GetSocketPath());
    } else if (!m_Handover->GetSocketPath().empty()
               && !m_Handover->Listen([this](const wxString& cwd, const wxArrayString& files) {
                      OpenDocuments(cwd, files);
                  })) {
        wxLogWarning(_("Cannot receive files from later starts at %s"),
                     m_Handover->GetSocketPath());
    }
    // Said by the run that owns the folder only: a start that hands its files
    // over would add a line for every document opened from the desktop.
    wxLogMessage("Settings and log folder: %s", QelWritableDir());
    if (EndAsked()) return true;

    // An argument that the toolkit dropped is said in the window, and no
    // other document stands in for it.
    std::vector<size_t> refused;
    for (size_t i = 1; i < g_Arguments.size(); ++i)
        if (wxConvLocal.cMB2WX(g_Arguments[i].c_str()).data() == nullptr) refused.push_back(i);

    auto* frame = new Frame(m_Files.empty() && refused.empty());
    m_Frame = frame;
    // A signal while the window was being made closes it at once.
    if (EndAsked()) {
        CloseNow();
        return true;
    }
    frame->Show(true);
    for (const size_t i : refused)
        wxLogError(_("Cannot open file: argument %zu is not in the system's encoding: %s"), i,
                   Escaped(g_Arguments[i]));
    frame->OpenNames(m_Files);

    // Files handed over while the window was being made.
    std::vector<Request> pending;
    pending.swap(m_Pending);
    for (const Request& request : pending) OpenDocuments(request.cwd, request.files);
    return true;
}

bool App::StartsHere()
{
    // A start that hands its files to the program that runs on the same
    // settings reads nothing of them and says nothing: the running program
    // told what there was to tell at its own start.
    m_Handover = std::make_unique<QelHandover>(QelWritableDir());
    m_HandedOver = m_Handover->IsAnotherRunning() && m_Handover->Send(wxGetCwd(), m_Files);
    return !m_HandedOver;
}

void App::InstallEndSignals()
{
    // A request to terminate (the end of a session, kill) closes the window
    // as Quit does, but without questions, so that the settings are kept; so
    // do an interrupt (Ctrl+C in the terminal) and a hang-up (the terminal
    // closed), unless whoever started the program chose to ignore them
    // (nohup, a background job). The toolkit only notes the signal and calls
    // the handler later, from an event loop or from EndAsked.
    const auto terminate = [](int) { wxGetApp().Terminate(); };
    SetSignalHandler(SIGTERM, terminate);
    for (const int number : {SIGINT, SIGHUP}) {
        struct sigaction action { };
        if (sigaction(number, nullptr, &action) == 0 && action.sa_handler != SIG_IGN)
            SetSignalHandler(number, terminate);
    }
}

bool App::EndAsked()
{
    // Until the main loop runs, a noted signal is taken in only where the
    // start yields, which it may not do before it is over.
    CheckSignal();
    return m_Ending;
}

void App::Terminate()
{
    m_Ending = true;
    // It may come while a dialog runs a loop of its own, whose caller still
    // uses the window: the window closes when the last dialog has gone.
    if (!m_Dialogs || !m_Dialogs->CancelAll()) CloseNow();
}

void App::CloseNow()
{
    if (m_Frame)
        m_Frame->Close(true);
    else
        ExitMainLoop();
    // Nothing else may wake the loop for the idle time that deletes the
    // window and ends it.
    WakeUpIdle();
}

void App::KeepOnDisplayLost()
{
    // Nothing here may draw or ask: any call on the display fails as the
    // one that found it gone did. The log line goes to the log file.
    const bool lost = m_Frame && m_Frame->HasUnsavedChanges();
    wxLogWarning("%s",
                 lost ? _("The connection to the display was lost: the program ends "
                          "without saving changes")
                      : _("The connection to the display was lost: the program ends"));
    if (m_Frame) m_Frame->SaveSettings();
    // The find settings are written back as they go.
    delete QelFindReplaceData::Set(nullptr);
    if (wxConfigBase* config = wxConfigBase::Get(false); config != nullptr) config->Flush();
    m_Handover.reset();
}

int App::OnRun()
{
    // No window: the files were handed over, or the start was ended before
    // the window was made, or it was closed and deleted before the loop
    // would have waited for it.
    return m_Frame ? QelApp::OnRun() : 0;
}

int App::OnExit()
{
    m_Dialogs.reset();
    m_Handover.reset();
    return QelApp::OnExit();
}

void App::OnInitCmdLine(wxCmdLineParser& parser)
{
    DescribeCommandLine(parser);
}

bool App::OnCmdLineParsed(wxCmdLineParser& parser)
{
    for (size_t i = 0; i < parser.GetParamCount(); ++i) m_Files.Add(AsFileName(parser.GetParam(i)));
    return QelApp::OnCmdLineParsed(parser);
}

void App::OpenDocuments(const wxString& cwd, const wxArrayString& files)
{
    if (m_Ending) return;
    if (!m_Frame) {
        m_Pending.push_back({cwd, files});
        return;
    }
    const wxString old = wxGetCwd();
    if (!wxSetWorkingDirectory(cwd)) {
        wxLogError(_("Cannot open files in folder: %s"), cwd);
        return;
    }
    m_Frame->OpenNames(files);
    wxSetWorkingDirectory(old);
    if (m_Frame) m_Frame->Raise();
}
