// Shared helpers of the test binaries: temporary folders, files as bytes,
// shell commands, log capture and a fixture with its own settings file.
#pragma once

#include <functional>
#include <list>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>
#include <wx/config.h>
#include <wx/eventfilter.h>
#include <wx/log.h>
#include <wx/string.h>
#include <wx/testing.h>
#include <wx/xml/xml.h>

class QelLexers;
class wxFrame;
class wxWindow;
class wxStyledTextCtrl;

namespace qeltest {

// Address-space limits and the address sanitizer's shadow memory do not mix:
// tests that exhaust memory on purpose leave that part out under it.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kAddressSanitizer = true;
#else
constexpr bool kAddressSanitizer = false;
#endif

// A fresh folder under the system's temporary folder, removed with all its
// contents when the object goes.
class TempDir {
public:
    TempDir();
    // With letters_only the path holds no digit (for code that reads
    // version numbers out of paths).
    explicit TempDir(bool letters_only);
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const wxString& Path() const { return m_Path; }
    // Path of an entry inside the folder (not created).
    wxString File(const wxString& name) const;

private:
    wxString m_Path;
};

// Whole files as raw bytes.
bool WriteBytes(const wxString& path, const std::string& bytes);
std::string ReadBytes(const wxString& path);

// Runs a command through /bin/sh and returns what it printed on stdout.
std::string Run(const wxString& command, int* exitCode = nullptr);

// Runs a shell script on a virtual display of its own (the server picks a
// free display number itself, so parallel runs never collide), bounded to
// `seconds`; what it printed on stdout. For tests that send real key events,
// which must not reach other tests' windows.
std::string RunOnOwnDisplay(const wxString& script, int seconds = 60, int* exitCode = nullptr);

// What a run of a program copied into a folder left behind.
struct ProgramRun {
    int exitCode = -1;
    std::string stderrText;
    std::string logText;
    std::string windows; // the titles of its visible windows, one a line
    std::string endedBy; // the signal after which it had ended, as named
};

// How a run of the program goes beyond its start.
struct ProgramSteps {
    wxString launcher;         // before the program on the shell's line (an env(1) call)
    wxString during;           // a shell script run once its window shows
    wxString signals = "TERM"; // sent in turn then, each given a few seconds to end it
    wxString args = "";        // after the program (shell words, quoted by the caller)
    // The name of the window to wait for, when the first window shown is not
    // yet the one to look at (the files of the command line open after it).
    wxString shown = "";
};

// Copies the program into the folder, so that its settings file and log land
// there, and starts it there with the given settings (none when empty).
ProgramRun RunProgram(const wxString& exe, const TempDir& dir, const std::string& settings,
                      const ProgramSteps& steps = {});

// Quotes a path for the shell.
wxString ShellQuote(const wxString& text);

// Sets a file's modification time, in seconds since the epoch.
void SetModificationTime(const wxString& path, long seconds);

// Elements named "e" nested `depth` deep, each start tag on a line of its
// own: the deepest starts on line `depth`.
std::string NestedXml(int depth);

// A list of texts as "{[a][b]}", for failure output.
std::string ShowList(const std::list<wxString>& list);

// The clipboard belongs to the display, which the test processes that CTest
// runs side by side share: the tests that use it take turns while holding this,
// which gives the clipboard up when it goes.
class ClipboardLock {
public:
    ClipboardLock();
    ~ClipboardLock();
    ClipboardLock(const ClipboardLock&) = delete;
    ClipboardLock& operator=(const ClipboardLock&) = delete;

private:
    int m_Fd;
};

// Goes to a folder and back to the earlier working folder when it goes.
class CwdGuard {
public:
    explicit CwdGuard(const wxString& folder);
    ~CwdGuard();
    CwdGuard(const CwdGuard&) = delete;
    CwdGuard& operator=(const CwdGuard&) = delete;

private:
    wxString m_Old;
};

// Sets an environment variable (unsets it for null) until it goes.
class EnvGuard {
public:
    EnvGuard(const wxString& name, const wxString* value);
    ~EnvGuard();
    EnvGuard(const EnvGuard&) = delete;
    EnvGuard& operator=(const EnvGuard&) = delete;
    void Set(const wxString* value);

private:
    wxString m_Name, m_Old;
    bool m_Had;
};

// Records every log message while alive, replacing the active log target.
class LogCapture : public wxLog {
public:
    struct Record {
        wxLogLevel level;
        wxString text;
    };

    LogCapture();
    ~LogCapture() override;

    const std::vector<Record>& Records() const { return m_Records; }
    bool Has(const wxString& text) const { return Count(text) > 0; }
    // Number of records whose text contains the given text.
    size_t Count(const wxString& text) const;
    size_t CountLevel(wxLogLevel level) const;
    // All records as one text, one per line, for failure output.
    wxString Dump() const;
    void Clear() { m_Records.clear(); }

protected:
    void DoLogRecord(wxLogLevel level, const wxString& msg, const wxLogRecordInfo& info) override;

private:
    std::vector<Record> m_Records;
    wxLog* m_Previous;
    bool m_PreviousVerbose;
};

// While alive, toolkit assertions are counted instead of failing the test.
class ExpectAsserts {
public:
    ExpectAsserts();
    ~ExpectAsserts();
    int Count() const;
};

// Deletes every process-wide object that a test may have created.
void ResetSingletons();

// Installs the handler that turns a toolkit assertion into a test failure,
// and a log target that writes to stderr.
void InstallTestHandlers();

// A fixture that gives each test its own settings file as the global
// configuration, and deletes the process-wide objects afterwards.
class ConfigTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    const wxString& ConfigPath() const { return m_ConfigPath; }
    // Writes the configuration to its file, deletes it and reads it back.
    void Reopen();
    // The settings file as text.
    std::string ConfigText();

    TempDir m_Temp;

private:
    wxString m_ConfigPath;
    wxConfigBase* m_Previous = nullptr;
};

// The root element of an XML text, for the records that read one element;
// its line numbers count from the text's first line.
class XmlElement {
public:
    explicit XmlElement(const wxString& xml);
    const wxXmlNode* Node() const { return m_Doc.GetRoot(); }

private:
    wxXmlDocument m_Doc;
};

// Makes a lexers object on the file, installs it as the process-wide one
// (ResetSingletons deletes it) and reads it.
QelLexers& InstallLexers(const wxString& file);
// The same on the XML text, written to "lexers.xml" in the folder.
QelLexers& InstallLexers(const TempDir& folder, const std::string& xml);

// GUI binary only: ConfigTest with a hidden frame holding an editor control.
class StcTest : public ConfigTest {
protected:
    void SetUp() override;
    void TearDown() override;

    wxFrame* m_Frame = nullptr;
    wxStyledTextCtrl* m_Stc = nullptr;
};

// GUI binary only: ConfigTest with a hidden frame to hold editors, and
// files written into the temporary folder.
class EditorTest : public ConfigTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Writes the bytes to the named file in the temporary folder; its path.
    wxString WriteFile(const wxString& name, const std::string& bytes);

    wxFrame* m_Frame = nullptr;
};

// While alive, the editor control throws std::bad_alloc once, as it does
// when a line does not fit into memory, from inside the load of the file of
// that name (at the save point the load sets).
class ThrowWhileLoading : public wxEventFilter {
public:
    explicit ThrowWhileLoading(const wxString& name);
    ~ThrowWhileLoading() override;
    int FilterEvent(wxEvent& event) override;

private:
    wxString m_Name;
    bool m_Thrown = false;
};

// All bytes of an editor's document.
std::string TextBytes(wxStyledTextCtrl* stc);

// A key pressed in the window, as the toolkit sends it: a key-down that no
// one handles becomes a character event (modifiers: wxMOD_CONTROL, ...).
void PressKey(wxWindow* window, int key_code, int unicode, int modifiers = 0);

// GUI binary only: let the event loop run.
void Pump(int milliseconds);
bool PumpUntil(const std::function<bool()>& done, int milliseconds);

// Answers a modal dialog of the given kind in a test: `answer` fills it in
// (and may note what it showed), then it ends with `code`.
template <class Dialog>
class ExpectAnswer : public wxExpectModalBase<Dialog, ExpectAnswer<Dialog>> {
public:
    explicit ExpectAnswer(std::function<void(Dialog*)> answer, int code = wxID_OK)
        : m_Answer(std::move(answer))
        , m_Code(code)
    { }

protected:
    int OnInvoked(Dialog* dialog) const override
    {
        m_Answer(dialog);
        return m_Code;
    }

private:
    std::function<void(Dialog*)> m_Answer;
    int m_Code;
};

} // namespace qeltest
