// Runs external commands: synchronously, with standard output and standard
// error collected, or in the background, with their output read line by line
// as it arrives and linked to the files and lines it names.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include <wx/arrstr.h>
#include <wx/process.h>
#include <wx/string.h>
#include <wx/utils.h>

class QelSTC;
class wxCommandEvent;
class wxWindow;
class wxTimer;
class wxTimerEvent;

// The file and line an output line refers to; both empty when it names no
// existing file, the line empty when it has no number.
struct QelOutputLink {
    wxString path;   // full path of an existing file
    wxString lineno; // as written after the file name, e.g. "12"
};

// Finds "message in <path> on line <n>" or "<path>:<n>..." in an output line.
// A relative path counts from `base_dir`, the folder the command ran in.
// `known` keeps the paths resolved so far in one run (an empty full path:
// no such file), so that output that names the same files again is cheap.
QelOutputLink QelParseOutputLine(const wxString& line, const wxString& base_dir,
                                 std::map<wxString, wxString>* known = nullptr);

// Cuts bytes into lines as they arrive. A line ends at a line feed; a carriage
// return before it is dropped; a line of 1 MiB without end is cut there, and
// after four such pieces the rest of the line is only counted, which a last
// line tells. Lines are UTF-8, else taken as Latin-1.
class QelLineBuffer {
public:
    // Appends the bytes and adds every line they complete to `lines`.
    void Add(const char* data, size_t size, std::vector<wxString>& lines);
    // Adds the unfinished last line, if there is one, and forgets it.
    void Flush(std::vector<wxString>& lines);

private:
    void CutLongLine(std::vector<wxString>& lines);
    // Counts bytes of a line past what is shown of it; true while it does.
    bool LeaveOut(const char* data, size_t size);
    // The line that tells how much of the line was left out.
    void EndLeftOut(std::vector<wxString>& lines);

    std::string m_Pending;
    int m_Pieces = 0;              // of the line, cut off and reported
    unsigned long long m_Left = 0; // bytes of the line left out
    bool m_LeftCr = false;         // the last byte left out is a carriage return
};

// The words of a command line as /bin/sh makes them: blanks separate words,
// quotes and backslashes are removed as the shell removes them (inside
// double quotes a backslash escapes only $ ` " \ and a line end). No shell
// runs: $, globs, ~ and operators such as ; or | stay in the words as typed.
// Every command line the user writes is split here.
wxArrayString QelSplitCommand(const wxString& command);

// Arguments or an environment as the C strings the system calls take, ended
// by a null pointer; a file name that is not UTF-8 goes as its own bytes.
class QelCStrings {
public:
    explicit QelCStrings(const wxArrayString& texts);
    char* const* Get() { return m_Pointers.data(); }

private:
    std::vector<std::string> m_Bytes;
    std::vector<char*> m_Pointers;
};

// The argument vector as one line for messages and titles; arguments with
// blanks or quotes are shown in single quotes.
wxString QelJoinCommand(const wxArrayString& args);

// The application's top window; null when there is none, also in a program
// without windows.
wxWindow* QelTopWindow();

class QelProcessChild;

class QelProcess : public wxProcess {
public:
    // Default command: the first entry of "Process".
    QelProcess();
    // A copy runs synchronously only: it takes command, error and output, and
    // keeps its own timer.
    QelProcess(const QelProcess& process);
    QelProcess& operator=(const QelProcess& process);
    // A child still running is killed with its whole process group.
    ~QelProcess() override;

    // The settings key of the working folder: "Process folder".
    static const wxString& GetWorkingDirKey();

    bool IsRunning() const;
    // A command was run before or "Process" has one.
    bool IsSelected() const;
    // The last synchronous run could not start.
    bool GetError() const { return m_Error; }
    // Standard error, a line end, standard output (of the last synchronous run).
    const wxString& GetOutput() const { return m_Output; }
    const wxString& GetCommand() const { return m_Command; }
    // The exit status of the last run that ended; -1 before.
    int GetExitCode() const { return m_ExitCode; }
    // The folder the last run was started in.
    const wxString& GetWorkingDir() const { return m_WorkingDir; }

    // The modal dialog that chooses the command and its folder; returns
    // wxID_OK or wxID_CANCEL.
    static int ConfigDialog(wxWindow* parent, const wxString& title);

    // An extra environment variable for later runs (the rest is inherited).
    void SetEnv(const wxString& name, const wxString& value);

    // Runs a command line, split into words without a shell (pipes and
    // variables need "sh -c"). An empty command runs the first entry of
    // "Process", chosen first in the dialog when there is none. wxEXEC_SYNC in `flags` waits; otherwise the run is in the
    // background. An empty `wd` means the first entry of "Process folder".
    // Returns the exit code (synchronous), the process id (background; 0 when
    // it did not start), or -1 when there is no command or it did not start.
    long Execute(const wxString& command, int flags = wxEXEC_ASYNC,
                 const wxString& wd = wxEmptyString);
    // The same with the arguments given one by one: each reaches the program
    // unchanged, whatever blanks, quotes or backslashes it holds.
    long Execute(const wxArrayString& args, int flags, const wxString& wd = wxEmptyString);

    // Stops the child and every process it started; what it wrote and was
    // not reported yet is dropped.
    wxKillError Kill(wxSignal sig = wxSIGKILL);

    // The child ended and its output was read: the unfinished last lines
    // are reported, "Ready" is shown and the top window gets
    // ID_TERMINATED_PROCESS.
    void OnTerminate(int pid, int status) override;

    // The editor of the output window that all process objects share: a
    // shell made by the first run once there is a top window; null before.
    // What is typed in it goes to the child last started in the background.
    static QelSTC* GetSTC();

    // Shows the output of the last synchronous run in the shared window,
    // titled with the caption (else the command).
    virtual void ShowOutput(const wxString& caption = wxEmptyString) const;
    // One line of output of a background run, with the file and line it
    // names; appended to the shared window's shell.
    virtual void ReportAdd(const wxString& line, const wxString& path, const wxString& lineno);
    // A background run has started: the shared window is cleared, given a
    // prompt and shown.
    virtual void ReportCreate();
    // The lines reported since the last call are all there is for now; a
    // list shows them in one go. Nothing to do for the shared window.
    virtual void ReportFlush() { }

private:
    friend class QelProcessChild;

    void OnCommand(wxCommandEvent& event);
    void OnTimer(wxTimerEvent& event);
    // Reports what the child wrote, for at most the budget; false when
    // nothing came.
    bool CheckInput(int budget_ms);
    // One tick: output, then the end once all output was reported, else
    // the next tick.
    void Poll();
    // Where the run goes: `wd`, else "Process folder", else the current one.
    wxString ResolveWorkingDir(const wxString& wd) const;
    // Empty when the program and folder are there, else the reason.
    // A background run is asked for while one runs (said in the status bar).
    bool IsBusy(int flags) const;
    // The program the child will run, searched as the system would.
    wxString FindProgramOf(const wxArrayString& args, const wxString& dir) const;
    wxString CheckStart(const wxArrayString& args, const wxString& dir) const;
    long ExecuteSync(const wxArrayString& args, int flags, const wxString& dir);
    long ExecuteAsync(const wxArrayString& args, int flags, const wxString& dir);
    void ChildEnded(int pid, int status);
    // The end is announced and the child object goes.
    void ChildDone();
    void BindEvents();

    bool m_Error = false;
    int m_ExitCode = -1;
    wxString m_Command;
    wxString m_Output;
    wxString m_WorkingDir;
    std::map<wxString, wxString> m_Env;
    wxTimer* m_Timer = nullptr;         // made by the first background run
    QelProcessChild* m_Child = nullptr; // the background child, null when none
};
