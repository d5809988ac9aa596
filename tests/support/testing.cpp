#include "testing.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <new>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <wx/app.h>
#include <wx/clipbrd.h>
#include <wx/evtloop.h>
#include <wx/fileconf.h>
#include <wx/filename.h>
#include <wx/frame.h>
#include <wx/sstream.h>
#include <wx/stc/stc.h>
#include <wx/stopwatch.h>
#include <wx/utils.h>

// Process-wide objects that tests may create; each owner adds its line below.
#include <qelkit/app.h>
#include <qelkit/frd.h>
#include <qelkit/lexers.h>
#include <qelkit/printing.h>
#include <qelkit/stc.h>
#include <qelkit/vcs.h>

namespace qeltest {

namespace {

int g_ExpectAssertDepth = 0;
int g_AssertCount = 0;

void TestAssertHandler(const wxString& file, int line, const wxString& func, const wxString& cond,
                       const wxString& msg)
{
    if (g_ExpectAssertDepth > 0) {
        ++g_AssertCount;
        return;
    }
    // The test processes share one display. The toolkit stops waiting for an
    // answer from the clipboard when it loses the primary selection, which
    // any other process selecting text takes, and then asserts on the late
    // answer: a race between processes, not a fault of the code under test.
    if (msg.Contains("alien clipboard")) return;
    ADD_FAILURE_AT(file.utf8_str().data(), line)
        << "toolkit assertion in " << func.utf8_str().data() << ": " << cond.utf8_str().data()
        << " " << msg.utf8_str().data();
}

} // namespace

TempDir::TempDir()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "qeltest-XXXXXX").string();
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (mkdtemp(buffer.data()) == nullptr) {
        ADD_FAILURE() << "cannot make a temporary folder";
        return;
    }
    m_Path = wxString::FromUTF8(buffer.data());
}

TempDir::TempDir(bool letters_only)
    : TempDir()
{
    if (!letters_only || m_Path.empty()) return;
    // The random part of mkdtemp's name may hold digits: a folder named
    // with letters only is made beside it, each digit spelled as a letter.
    wxString letters = wxFileName(m_Path).GetFullName();
    for (wxUniCharRef c : letters)
        if (c >= '0' && c <= '9') c = wxUniChar('a' + (c - '0'));
    const wxString plain = wxFileName(m_Path).GetPath() + "/" + letters + "-letters";
    std::error_code ec;
    std::filesystem::remove(std::filesystem::path(m_Path.utf8_string()), ec);
    if (!wxFileName::Mkdir(plain, 0700)) {
        ADD_FAILURE() << "cannot make a temporary folder";
        m_Path.clear();
        return;
    }
    m_Path = plain;
}

TempDir::~TempDir()
{
    if (m_Path.empty()) return;
    std::error_code ec;
    std::filesystem::remove_all(std::filesystem::path(m_Path.utf8_string()), ec);
}

wxString TempDir::File(const wxString& name) const
{
    return m_Path + "/" + name;
}

bool WriteBytes(const wxString& path, const std::string& bytes)
{
    std::ofstream out(path.utf8_string(), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

std::string ReadBytes(const wxString& path)
{
    std::ifstream in(path.utf8_string(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string Run(const wxString& command, int* exitCode)
{
    std::string output;
    FILE* pipe = popen(command.utf8_str().data(), "r");
    if (pipe == nullptr) {
        if (exitCode != nullptr) *exitCode = -1;
        return output;
    }
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, n);
    const int status = pclose(pipe);
    if (exitCode != nullptr) *exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return output;
}

std::string RunOnOwnDisplay(const wxString& script, int seconds, int* exitCode)
{
    const wxString wrapped
        = "fd=$(mktemp)\n"
          "Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>\"$fd\" 2>/dev/null & xpid=$!\n"
          "for i in $(seq 200); do [ -s \"$fd\" ] && break; sleep 0.05; done\n"
          "export DISPLAY=:$(head -1 \"$fd\"); rm -f \"$fd\"\n"
          "(\n"
        + script + "\n)\nrc=$?; kill $xpid; wait $xpid 2>/dev/null; exit $rc\n";
    return Run(wxString::Format("timeout %d sh -c ", seconds) + ShellQuote(wrapped), exitCode);
}

ProgramRun RunProgram(const wxString& exe, const TempDir& dir, const std::string& settings,
                      const ProgramSteps& steps)
{
    const wxString copy = dir.File(wxFileName(exe).GetFullName());
    EXPECT_TRUE(wxCopyFile(exe, copy));
    wxFileName(copy).SetPermissions(wxPOSIX_USER_READ | wxPOSIX_USER_WRITE | wxPOSIX_USER_EXECUTE);
    // The program ships with its lexers beside it; a test may bring its own.
    const wxString lexers = wxFileName(wxFileName(exe).GetPath(), "lexers.xml").GetFullPath();
    if (!wxFileName::Exists(dir.File("lexers.xml"), wxFILE_EXISTS_ANY) && wxFileExists(lexers)) {
        EXPECT_TRUE(wxCopyFile(lexers, dir.File("lexers.xml")));
    }
    if (!settings.empty()) {
        EXPECT_TRUE(WriteBytes(dir.File(wxFileName(exe).GetName() + ".ini"), settings));
    }

    // Once its window shows, the steps run and the program is asked to end.
    ProgramRun run;
    // A program started from a terminal does not ignore an interrupt, as the
    // shell's background job would.
    run.endedBy = Run(
        "cd " + ShellQuote(dir.Path()) + " || exit 1\n" + steps.launcher
            + " env --default-signal=INT ./" + ShellQuote(wxFileName(exe).GetFullName()) + " "
            + steps.args
            + " 2>stderr.txt & pid=$!\nshown=" + ShellQuote(steps.shown)
            + "\nfor i in $(seq 600); do kill -0 $pid 2>/dev/null || break; "
              "for w in $(xdotool search --onlyvisible --pid $pid 2>/dev/null); do "
              "[ -z \"$shown\" ] || [ \"$(xdotool getwindowname $w)\" = \"$shown\" ] && break 2; "
              "done; sleep 0.1; done\n"
              // Once settled, the visible windows by name; a loaded machine
              // may show the window while it is being remapped, so look again
              // for a few seconds while none is listed.
              "sleep 0.3; for i in $(seq 30); do "
              "for w in $(xdotool search --onlyvisible --pid $pid 2>/dev/null); do "
              "xdotool getwindowname $w; done >windows.txt; "
              "[ -s windows.txt ] && break; sleep 0.1; done\n"
            + "{ :\n" + steps.during + "\n} >/dev/null\nfor s in " + steps.signals
            + "; do kill -$s $pid 2>/dev/null\n"
              "for i in $(seq 50); do kill -0 $pid 2>/dev/null || break; sleep 0.1; done\n"
              "kill -0 $pid 2>/dev/null || { echo $s; break; }; done\n"
              "kill -KILL $pid 2>/dev/null; wait $pid",
        &run.exitCode);
    run.stderrText = ReadBytes(dir.File("stderr.txt"));
    // Never a FIFO in the log's place: reading it would wait for a writer.
    const wxString log = dir.File(wxFileName(exe).GetName() + ".log");
    if (wxFileName::FileExists(log)) run.logText = ReadBytes(log);
    run.windows = ReadBytes(dir.File("windows.txt"));
    return run;
}

wxString ShellQuote(const wxString& text)
{
    wxString quoted(text);
    quoted.Replace("'", "'\\''");
    return "'" + quoted + "'";
}

void SetModificationTime(const wxString& path, long seconds)
{
    qeltest::Run(wxString::Format("touch -m -d @%ld ", seconds) + ShellQuote(path));
}

std::string NestedXml(int depth)
{
    std::string xml;
    for (int i = 0; i < depth; ++i) xml += "<e>\n";
    for (int i = 0; i < depth; ++i) xml += "</e>";
    return xml;
}

std::string ShowList(const std::list<wxString>& list)
{
    std::string text = "{";
    for (const auto& item : list) text += "[" + item.utf8_string() + "]";
    return text + "}";
}

CwdGuard::CwdGuard(const wxString& folder)
    : m_Old(wxGetCwd())
{
    wxSetWorkingDirectory(folder);
}

CwdGuard::~CwdGuard()
{
    wxSetWorkingDirectory(m_Old);
}

EnvGuard::EnvGuard(const wxString& name, const wxString* value)
    : m_Name(name)
    , m_Had(wxGetEnv(name, &m_Old))
{
    Set(value);
}

EnvGuard::~EnvGuard()
{
    m_Had ? wxSetEnv(m_Name, m_Old) : wxUnsetEnv(m_Name);
}

void EnvGuard::Set(const wxString* value)
{
    value ? wxSetEnv(m_Name, *value) : wxUnsetEnv(m_Name);
}

LogCapture::LogCapture()
    : m_Previous(wxLog::SetActiveTarget(this))
    , m_PreviousVerbose(wxLog::GetVerbose())
{
    wxLog::SetVerbose(true);
}

LogCapture::~LogCapture()
{
    wxLog::SetVerbose(m_PreviousVerbose);
    wxLog::SetActiveTarget(m_Previous);
}

size_t LogCapture::Count(const wxString& text) const
{
    size_t count = 0;
    for (const auto& record : m_Records)
        if (record.text.Contains(text)) ++count;
    return count;
}

size_t LogCapture::CountLevel(wxLogLevel level) const
{
    size_t count = 0;
    for (const auto& record : m_Records)
        if (record.level == level) ++count;
    return count;
}

wxString LogCapture::Dump() const
{
    wxString text;
    for (const auto& record : m_Records) text << record.level << ": " << record.text << "\n";
    return text;
}

void LogCapture::DoLogRecord(wxLogLevel level, const wxString& msg, const wxLogRecordInfo&)
{
    m_Records.push_back({level, msg});
}

ExpectAsserts::ExpectAsserts()
{
    if (g_ExpectAssertDepth++ == 0) g_AssertCount = 0;
}

ExpectAsserts::~ExpectAsserts()
{
    --g_ExpectAssertDepth;
}

int ExpectAsserts::Count() const
{
    return g_AssertCount;
}

ClipboardLock::ClipboardLock()
    // Read-only: a lock file left by another user can still be locked.
    : m_Fd(open("/tmp/qeltest-clipboard.lock", O_CREAT | O_RDONLY | O_CLOEXEC, 0666))
{
    if (m_Fd >= 0) flock(m_Fd, LOCK_EX);
}

ClipboardLock::~ClipboardLock()
{
    // Give the clipboard up while still holding the lock: a process that
    // still believes it owns the clipboard clears it when it exits, which
    // would wipe out what the next test has put there meanwhile.
    if (wxTheClipboard->Open()) {
        wxTheClipboard->Clear();
        wxTheClipboard->Close();
    }
    if (m_Fd >= 0) close(m_Fd);
}

void ResetSingletons()
{
    delete QelFindReplaceData::Set(nullptr);
    delete QelLexers::Set(nullptr);
    delete QelPrinting::Set(nullptr);
    QelVCS::Clear();
}

void InstallTestHandlers()
{
    wxSetAssertHandler(TestAssertHandler);
    delete wxLog::SetActiveTarget(new wxLogStderr);
}

void ConfigTest::SetUp()
{
    m_ConfigPath = m_Temp.File("settings.ini");
    m_Previous = wxConfigBase::Set(QelCreateConfig(m_ConfigPath));
}

void ConfigTest::TearDown()
{
    ResetSingletons();
    delete wxConfigBase::Set(m_Previous);
    m_Previous = nullptr;
}

void ConfigTest::Reopen()
{
    wxConfigBase* config = wxConfigBase::Get(false);
    if (config != nullptr) config->Flush();
    delete wxConfigBase::Set(QelCreateConfig(m_ConfigPath));
}

std::string ConfigTest::ConfigText()
{
    wxConfigBase* config = wxConfigBase::Get(false);
    if (config != nullptr) config->Flush();
    return ReadBytes(m_ConfigPath);
}

XmlElement::XmlElement(const wxString& xml)
{
    wxStringInputStream in(xml);
    m_Doc.Load(in);
}

QelLexers& InstallLexers(const wxString& file)
{
    QelLexers* lexers = new QelLexers(wxFileName(file));
    delete QelLexers::Set(lexers);
    lexers->Read();
    return *lexers;
}

QelLexers& InstallLexers(const TempDir& folder, const std::string& xml)
{
    const wxString file = folder.File("lexers.xml");
    EXPECT_TRUE(WriteBytes(file, xml));
    return InstallLexers(file);
}

void StcTest::SetUp()
{
    ConfigTest::SetUp();
    m_Frame = new wxFrame(nullptr, wxID_ANY, "test");
    m_Stc = new wxStyledTextCtrl(m_Frame);
}

void EditorTest::SetUp()
{
    ConfigTest::SetUp();
    m_Frame = new wxFrame(nullptr, wxID_ANY, "editors");
}

void EditorTest::TearDown()
{
    m_Frame->Destroy();
    Pump(0);
    ConfigTest::TearDown();
}

wxString EditorTest::WriteFile(const wxString& name, const std::string& bytes)
{
    const wxString path = m_Temp.File(name);
    EXPECT_TRUE(WriteBytes(path, bytes)) << path;
    return path;
}

ThrowWhileLoading::ThrowWhileLoading(const wxString& name)
    : m_Name(name)
{
    wxEvtHandler::AddFilter(this);
}

ThrowWhileLoading::~ThrowWhileLoading()
{
    wxEvtHandler::RemoveFilter(this);
}

int ThrowWhileLoading::FilterEvent(wxEvent& event)
{
    const auto* stc = dynamic_cast<QelSTC*>(event.GetEventObject());
    if (!m_Thrown && event.GetEventType() == wxEVT_STC_SAVEPOINTREACHED && stc != nullptr
        && stc->GetFileName().GetFullName() == m_Name) {
        m_Thrown = true;
        throw std::bad_alloc();
    }
    return Event_Skip;
}

std::string TextBytes(wxStyledTextCtrl* stc)
{
    const wxCharBuffer text = stc->GetTextRaw();
    return std::string(text.data(), text.length());
}

void PressKey(wxWindow* window, int key_code, int unicode, int modifiers)
{
    wxKeyEvent down(wxEVT_KEY_DOWN);
    down.SetEventObject(window);
    down.m_keyCode = key_code;
    down.m_uniChar = unicode;
    down.m_controlDown = (modifiers & wxMOD_CONTROL) != 0;
    down.m_shiftDown = (modifiers & wxMOD_SHIFT) != 0;
    down.m_altDown = (modifiers & wxMOD_ALT) != 0;
    if (window->ProcessWindowEvent(down)) return;
    wxKeyEvent chr(down);
    chr.SetEventType(wxEVT_CHAR);
    chr.m_keyCode = unicode < 128 ? unicode : WXK_NONE;
    window->ProcessWindowEvent(chr);
}

void StcTest::TearDown()
{
    m_Frame->Destroy();
    Pump(0);
    ConfigTest::TearDown();
}

void Pump(int milliseconds)
{
    PumpUntil([] { return false; }, milliseconds);
}

bool PumpUntil(const std::function<bool()>& done, int milliseconds)
{
    wxStopWatch watch;
    while (true) {
        // The console base: a headless test binary has no GUI app object.
        if (wxAppConsole* app = wxAppConsole::GetInstance()) {
            app->Yield(true);
            app->ProcessPendingEvents();
            app->ProcessIdle();
        }
        if (done()) return true;
        if (watch.Time() >= milliseconds) return false;
        wxMilliSleep(5);
    }
}

} // namespace qeltest
