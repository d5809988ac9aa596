#include <qelkit/process.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <limits>
#include <string>

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <wx/app.h>
#include <wx/config.h>
#include <wx/filename.h>
#include <wx/log.h>
#include <wx/regex.h>
#include <wx/stopwatch.h>
#include <wx/timer.h>
#include <wx/tokenzr.h>
#include <wx/weakref.h>
#include <wx/wfstream.h>
#include <wx/window.h>

#include <qelkit/configdialog.h>
#include <qelkit/defs.h>
#include <qelkit/filename.h>
#include <qelkit/shell.h>
#include <qelkit/stcdlg.h>
#include <qelkit/util.h>

extern char** environ;

namespace {

constexpr int POLL_IDLE_MS = 1000;       // a quiet child is looked at once a second
constexpr int POLL_BUSY_MS = 10;         // while output flows, soon again
constexpr int TICK_BUDGET_MS = 20;       // longest a tick may keep the event loop
constexpr size_t CHUNK = 16384;          // read at a time
constexpr size_t LONGEST_LINE = 1 << 20; // a line without end is cut there
constexpr int PIECES_SHOWN = 4;          // of one line: the rest is counted, not kept

wxString DecodeLine(const char* data, size_t size)
{
    if (size == 0) return wxString();
    wxString line = wxString::FromUTF8(data, size);
    if (line.empty()) line = wxString(data, wxConvISO8859_1, size);
    return line;
}

// One pipe from the child, read without ever waiting.
struct Pipe {
    int fd = -1;
    QelLineBuffer buffer;

    // Reads at most one chunk; false when nothing was there.
    bool ReadChunk(std::vector<wxString>& lines)
    {
        if (fd < 0) return false;
        char data[CHUNK];
        while (true) {
            const ssize_t got = ::read(fd, data, sizeof(data));
            if (got > 0) {
                buffer.Add(data, static_cast<size_t>(got), lines);
                return true;
            }
            if (got < 0 && errno == EINTR) continue;
            if (got == 0) fd = -1; // the last writer has gone
            return false;
        }
    }
};

int PipeFd(wxInputStream* stream)
{
    const auto* file = dynamic_cast<wxFileInputStream*>(stream);
    if (file == nullptr || file->GetFile() == nullptr) return -1;
    const int fd = file->GetFile()->fd();
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
    return fd;
}

wxString JoinLines(const std::vector<wxString>& lines)
{
    wxString text;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) text += '\n';
        text += lines[i];
    }
    return text;
}

// The environment of a child: ours with the extra variables on top.
wxEnvVariableHashMap ChildEnv(const std::map<wxString, wxString>& extra)
{
    wxEnvVariableHashMap env;
    if (extra.empty()) return env; // an empty map makes the child inherit ours
    wxGetEnvMap(&env);
    for (const auto& [name, value] : extra) env[name] = value;
    return env;
}

bool IsExecutableFile(const wxString& path)
{
    return wxFileName::FileExists(path) && wxFileName::IsFileExecutable(path);
}

// The program a command names, as the child will find it; empty when none.
wxString FindProgram(const wxString& program, const wxString& dir, const wxString& path_var)
{
    if (program.empty()) return wxString();
    if (program.Contains("/")) {
        wxFileName fn(program);
        fn.MakeAbsolute(dir);
        return IsExecutableFile(fn.GetFullPath()) ? fn.GetFullPath() : wxString();
    }
    wxStringTokenizer folders(path_var, ":", wxTOKEN_RET_EMPTY_ALL);
    while (folders.HasMoreTokens()) {
        wxString folder = folders.GetNextToken();
        if (folder.empty()) folder = dir;
        const wxString candidate = folder + "/" + program;
        if (IsExecutableFile(candidate)) return candidate;
    }
    return wxString();
}

wxArrayString EnvStrings(const std::map<wxString, wxString>& extra)
{
    wxArrayString strings;
    if (extra.empty()) {
        for (char** var = environ; *var != nullptr; ++var)
            strings.push_back(wxString::FromUTF8(*var));
        return strings;
    }
    for (const auto& [name, value] : ChildEnv(extra)) strings.push_back(name + "=" + value);
    return strings;
}

struct SyncResult {
    int error = 0; // errno of a failed start
    int status = -1;
    std::vector<wxString> out;
    std::vector<wxString> err;
};

// Runs a program to its end: its input is empty (nothing can wait for a
// user), it leads a process group of its own, and both pipes are read while
// it runs, so it never blocks on a full pipe.
SyncResult RunToEnd(const wxString& program, const wxArrayString& args, const wxString& dir,
                    const std::map<wxString, wxString>& extra)
{
    SyncResult result;
    int outPipe[2], errPipe[2];
    if (pipe(outPipe) != 0) {
        result.error = errno;
        return result;
    }
    if (pipe(errPipe) != 0) {
        result.error = errno;
        close(outPipe[0]), close(outPipe[1]);
        return result;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, outPipe[1], 1);
    posix_spawn_file_actions_adddup2(&actions, errPipe[1], 2);
    for (int fd : {outPipe[0], outPipe[1], errPipe[0], errPipe[1]})
        posix_spawn_file_actions_addclose(&actions, fd);
    const std::string dirBytes = QelFileNameBytes(dir);
    posix_spawn_file_actions_addchdir_np(&actions, dirBytes.c_str());
    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attr, 0);

    QelCStrings argv(args);
    QelCStrings envp(EnvStrings(extra));
    const std::string programBytes = QelFileNameBytes(program);
    pid_t pid = 0;
    result.error = posix_spawn(&pid, programBytes.c_str(), &actions, &attr, argv.Get(), envp.Get());
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attr);
    close(outPipe[1]);
    close(errPipe[1]);
    fcntl(outPipe[0], F_SETFL, O_NONBLOCK);
    fcntl(errPipe[0], F_SETFL, O_NONBLOCK);

    if (result.error == 0) {
        Pipe out, err;
        out.fd = outPipe[0];
        err.fd = errPipe[0];
        bool ended = false;
        int status = 0;
        while (!ended && (out.fd >= 0 || err.fd >= 0)) {
            pollfd fds[2] = {{out.fd, POLLIN, 0}, {err.fd, POLLIN, 0}};
            if (poll(fds, 2, 50) > 0) {
                out.ReadChunk(result.out);
                err.ReadChunk(result.err);
            }
            ended = waitpid(pid, &status, WNOHANG) == pid;
        }
        if (!ended) waitpid(pid, &status, 0);
        // A background job the child left may still hold the pipes, even
        // keep writing: take what is there and stop.
        wxStopWatch watch;
        while ((out.ReadChunk(result.out) || err.ReadChunk(result.err))
               && watch.Time() < TICK_BUDGET_MS * 25) { }
        out.buffer.Flush(result.out);
        err.buffer.Flush(result.err);
        result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    close(outPipe[0]);
    close(errPipe[0]);
    return result;
}

// Stops a child with every process it started. Just after the start the
// child may not lead its process group yet: then it has started nothing.
wxKillError KillGroup(long pid, wxSignal sig)
{
    const wxKillError result = wxProcess::Kill(pid, sig, wxKILL_CHILDREN);
    return result == wxKILL_NO_PROCESS ? wxProcess::Kill(pid, sig, wxKILL_NOCHILDREN) : result;
}

} // namespace

// The process that wx starts and watches for a QelProcess, with the lines
// read from it that were not reported yet. Once its owner has gone it
// deletes itself when the child ends; else the owner deletes it when the
// end and the last output were reported.
class QelProcessChild : public wxProcess {
public:
    explicit QelProcessChild(QelProcess* owner)
        : wxProcess(wxPROCESS_REDIRECT)
        , m_Owner(owner)
    { }

    void Attach()
    {
        m_Out.fd = PipeFd(GetInputStream());
        m_Err.fd = PipeFd(GetErrorStream());
    }

    void Detach() { m_Owner = nullptr; }

    // The owner has what it needs to take the end; an end that came before
    // is handed on now.
    void Started()
    {
        m_Started = true;
        if (m_Ended) OnTerminate(static_cast<int>(GetPid()), m_Status);
    }

    void OnTerminate(int pid, int status) override
    {
        m_Ended = true;
        m_Status = status;
        // A child that ends at once is reported while it is being started.
        if (!m_Started) return;
        if (m_Owner == nullptr) {
            delete this;
            return;
        }
        m_Owner->ChildEnded(pid, status); // may delete this
    }

    bool HasLines() const { return m_Next < m_Lines.size(); }
    const wxString& NextLine() { return m_Lines[m_Next++]; }

    // Reads a chunk of each pipe, once the lines read before were reported;
    // false when neither had anything. After the end only what the pipes
    // hold is read: a job the child left may go on writing into them.
    bool Read()
    {
        m_Lines.clear();
        m_Next = 0;
        if (m_Ended && m_ChunksAfterEnd++ >= CHUNKS_AFTER_END) {
            m_Drained = true;
            return false;
        }
        const bool out = m_Out.ReadChunk(m_Lines);
        const bool err = m_Err.ReadChunk(m_Lines);
        if (m_Ended && !out && !err) m_Drained = true;
        return out || err;
    }

    // The unfinished last lines, once nothing more comes.
    void Flush()
    {
        m_Out.buffer.Flush(m_Lines);
        m_Err.buffer.Flush(m_Lines);
    }

    // Ended, with everything it wrote read and reported.
    bool IsDone() const { return m_Ended && m_Drained && !HasLines(); }
    bool IsEnded() const { return m_Ended; }

    Pipe m_Out;
    Pipe m_Err;
    wxString m_Dir;                       // the folder the child runs in
    std::map<wxString, wxString> m_Known; // paths of its output: full path, or empty
    bool m_Stopped = false;               // its output is no longer wanted

private:
    // Both pipes hold 64 KiB each at most when the child ends.
    static constexpr int CHUNKS_AFTER_END = 2 * 65536 / CHUNK + 2;

    QelProcess* m_Owner;
    bool m_Started = false;
    bool m_Ended = false;
    bool m_Drained = false; // after the end, the pipes had no more
    int m_Status = 0;
    int m_ChunksAfterEnd = 0;
    std::vector<wxString> m_Lines; // read, reported up to m_Next
    size_t m_Next = 0;
};

QelOutputLink QelParseOutputLine(const wxString& line, const wxString& base_dir,
                                 std::map<wxString, wxString>* known)
{
    QelOutputLink link;
    static wxRegEx inOnLine(".*in (.*) on line (.*)");
    if (line.Contains(" on line ") && inOnLine.Matches(line)) {
        link.path = inOnLine.GetMatch(line, 1);
        link.lineno = inOnLine.GetMatch(line, 2);
    } else {
        const size_t colon = line.find(':');
        link.path = line.substr(0, colon);
        if (colon != wxString::npos) link.lineno = line.AfterFirst(':').BeforeFirst(':');
    }
    if (!link.lineno.empty() && wxAtoi(link.lineno) == 0) link.lineno.clear();
    // No file name is longer than the system takes: a long line without a
    // colon names no file, and is not kept among the known paths.
    if (link.path.empty() || link.path.length() > PATH_MAX) return QelOutputLink();

    if (known != nullptr) {
        // Output names the same files again and again.
        if (const auto it = known->find(link.path); it != known->end()) {
            if (it->second.empty()) return QelOutputLink();
            link.path = it->second;
            return link;
        }
        if (known->size() > 4096) known->clear();
    }
    const wxString base = base_dir.empty() ? wxGetCwd() : base_dir;
    wxString full = link.path.StartsWith("/") ? link.path : base + "/" + link.path;
    if (!wxFileExists(full)) {
        full.clear();
    } else if (full.Contains("/.")) {
        wxFileName fn(full);
        fn.Normalize(wxPATH_NORM_DOTS | wxPATH_NORM_ABSOLUTE);
        full = fn.GetFullPath();
    }
    if (known != nullptr) (*known)[link.path] = full;
    if (full.empty()) return QelOutputLink();
    link.path = full;
    return link;
}

void QelLineBuffer::Add(const char* data, size_t size, std::vector<wxString>& lines)
{
    const char* end = data + size;
    while (data < end) {
        const char* eol = static_cast<const char*>(memchr(data, '\n', end - data));
        if (eol == nullptr) {
            if (LeaveOut(data, end - data)) return;
            m_Pending.append(data, end);
            CutLongLine(lines);
            return;
        }
        const char* start = data;
        size_t length = eol - data;
        if (LeaveOut(data, length)) {
            EndLeftOut(lines);
            data = eol + 1;
            continue;
        }
        if (!m_Pending.empty()) {
            m_Pending.append(data, eol);
            start = m_Pending.data();
            length = m_Pending.size();
        }
        if (length > 0 && start[length - 1] == '\r') --length;
        lines.push_back(DecodeLine(start, length));
        m_Pending.clear();
        m_Pieces = 0;
        data = eol + 1;
    }
}

void QelLineBuffer::CutLongLine(std::vector<wxString>& lines)
{
    // Output without line ends (a binary file, "yes | tr -d '\\n'") must not
    // grow without bound; the cut is made before a character, not inside it.
    while (m_Pending.size() >= LONGEST_LINE) {
        size_t cut = LONGEST_LINE;
        for (int back = 0; back < 3 && (m_Pending[cut] & 0xC0) == 0x80; ++back) --cut;
        lines.push_back(DecodeLine(m_Pending.data(), cut));
        m_Pending.erase(0, cut);
        // Nobody reads on in such a line: what the program keeps of it stays
        // bounded, however long the child goes on writing it.
        if (++m_Pieces == PIECES_SHOWN) {
            LeaveOut(m_Pending.data(), m_Pending.size());
            m_Pending.clear();
        }
    }
}

bool QelLineBuffer::LeaveOut(const char* data, size_t size)
{
    if (m_Pieces < PIECES_SHOWN) return false;
    m_Left += size;
    if (size > 0) m_LeftCr = data[size - 1] == '\r';
    return true;
}

void QelLineBuffer::EndLeftOut(std::vector<wxString>& lines)
{
    // A carriage return before the line feed belongs to the line end.
    const unsigned long long left = m_Left - (m_LeftCr ? 1 : 0);
    if (left > 0)
        lines.push_back(wxString::Format(_("[%llu more bytes of this line not shown]"), left));
    m_Pieces = 0;
    m_Left = 0;
    m_LeftCr = false;
}

void QelLineBuffer::Flush(std::vector<wxString>& lines)
{
    if (m_Pieces == PIECES_SHOWN) {
        EndLeftOut(lines);
        return;
    }
    m_Pieces = 0;
    if (m_Pending.empty()) return;
    size_t length = m_Pending.size();
    if (m_Pending[length - 1] == '\r') --length;
    lines.push_back(DecodeLine(m_Pending.data(), length));
    m_Pending.clear();
}

QelCStrings::QelCStrings(const wxArrayString& texts)
{
    for (const auto& text : texts) m_Bytes.emplace_back(QelFileNameBytes(text));
    for (auto& bytes : m_Bytes) m_Pointers.push_back(bytes.data());
    m_Pointers.push_back(nullptr);
}

wxArrayString QelSplitCommand(const wxString& command)
{
    // Quote removal and word splitting only: what a shell would expand ($,
    // globs, ~) or take as an operator stays in the word as typed.
    enum class Quote { none, single, dbl };
    const auto escapable_in_dbl
        = [](wxUniChar c) { return c == '$' || c == '`' || c == '"' || c == '\\' || c == '\n'; };
    wxArrayString words;
    wxString word;
    bool in_word = false; // a pair of empty quotes is a word too
    Quote quote = Quote::none;
    for (auto it = command.begin(); it != command.end(); ++it) {
        const wxUniChar c = *it;
        const auto next = it + 1;
        // A backslash that ends the text stays, as the shell keeps it.
        const bool escapes = c == '\\' && next != command.end()
            && (quote == Quote::none || (quote == Quote::dbl && escapable_in_dbl(*next)));
        if (escapes) {
            ++it;
            if (*it == '\n') continue; // an escaped line end joins the lines
            word += *it;
            in_word = true;
        } else if ((quote == Quote::single && c == '\'') || (quote == Quote::dbl && c == '"')) {
            quote = Quote::none;
        } else if (quote != Quote::none) {
            word += c;
        } else if (c == ' ' || c == '\t' || c == '\n') {
            if (in_word) words.push_back(word);
            word.clear();
            in_word = false;
        } else if (c == '\'' || c == '"') {
            quote = c == '\'' ? Quote::single : Quote::dbl;
            in_word = true;
        } else {
            word += c;
            in_word = true;
        }
    }
    // A quote left open runs to the end of the text.
    if (in_word) words.push_back(word);
    return words;
}

wxString QelJoinCommand(const wxArrayString& args)
{
    wxString line;
    for (const auto& arg : args) {
        if (!line.empty()) line += ' ';
        const bool plain = !arg.empty() && arg.find_first_of(" \t\"'\\$") == wxString::npos;
        line += plain ? arg : "'" + arg + "'";
    }
    return line;
}

wxWindow* QelTopWindow()
{
    auto* app = dynamic_cast<wxApp*>(wxAppConsole::GetInstance());
    return app != nullptr ? app->GetTopWindow() : nullptr;
}

namespace {

// The output window shared by every process object: a shell in a dialog that
// is a child of the top window and goes with it.
wxWeakRef<QelSTCEntryDialog> g_Dialog;

QelSTCShell* SharedShell()
{
    return g_Dialog ? g_Dialog->GetSTCShell() : nullptr;
}

// Made by the first run once there is a window to hold it; a program
// without windows shows no output window.
void MakeSharedDialog(const wxString& caption, QelProcess* handler)
{
    if (g_Dialog) return;
    wxWindow* top = QelTopWindow();
    if (top == nullptr) return;
    g_Dialog = new QelSTCEntryDialog(top, caption, wxEmptyString, wxEmptyString, wxOK, true,
                                     wxID_ANY, wxDefaultPosition, wxDefaultSize,
                                     wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER, "QelSTCEntryDialog");
    g_Dialog->GetSTCShell()->SetEventHandler(handler);
}

// A new prompt in the shared shell, unless it shows an empty one already: a
// stopped child is prompted for by the stop and again by its end, and a
// second prompt on the line would go into the next command.
void PromptShell(bool add_eol)
{
    QelSTCShell* shell = SharedShell();
    if (shell == nullptr || shell->HasPrompt(shell->GetLineCount() - 1, true)) return;
    shell->Prompt(wxEmptyString, add_eol);
}

} // namespace

QelProcess::QelProcess()
    : wxProcess(wxPROCESS_REDIRECT)
    , m_Command(QelConfigFirstOf(_("Process")))
{
    BindEvents();
}

QelProcess::QelProcess(const QelProcess& process)
    : wxProcess(wxPROCESS_DEFAULT)
{
    BindEvents();
    *this = process;
}

QelProcess& QelProcess::operator=(const QelProcess& process)
{
    if (this == &process) return *this;
    m_Error = process.m_Error;
    m_ExitCode = process.m_ExitCode;
    m_Command = process.m_Command;
    m_Output = process.m_Output;
    m_WorkingDir = process.m_WorkingDir;
    m_Env = process.m_Env;
    return *this;
}

QelProcess::~QelProcess()
{
    if (m_Child != nullptr && m_Child->IsEnded()) {
        delete m_Child; // ended, with output left to report
    } else if (m_Child != nullptr) {
        m_Child->Detach();
        KillGroup(GetPid(), wxSIGKILL);
    }
    delete m_Timer;
}

void QelProcess::BindEvents()
{
    Bind(wxEVT_TIMER, &QelProcess::OnTimer, this);
    Bind(wxEVT_MENU, &QelProcess::OnCommand, this, ID_SHELL_COMMAND, ID_SHELL_COMMAND_STOP);
}

const wxString& QelProcess::GetWorkingDirKey()
{
    static const wxString key("Process folder");
    return key;
}

bool QelProcess::IsRunning() const
{
    return m_Child != nullptr && GetPid() > 0;
}

bool QelProcess::IsSelected() const
{
    return !m_Command.empty() || !QelConfigFirstOf(_("Process")).empty();
}

int QelProcess::ConfigDialog(wxWindow* parent, const wxString& title)
{
    QelConfigDialog dialog(parent,
                           {QelConfigItem(_("Process"), CONFIG_COMBOBOX),
                            QelConfigItem(GetWorkingDirKey(), CONFIG_COMBOBOXDIR, wxEmptyString,
                                          true, ID_BROWSE_FOLDER)},
                           title);
    return dialog.ShowModal();
}

void QelProcess::SetEnv(const wxString& name, const wxString& value)
{
    m_Env[name] = value;
}

wxString QelProcess::ResolveWorkingDir(const wxString& wd) const
{
    wxString dir = wd.empty() ? QelConfigFirstOf(GetWorkingDirKey()) : wd;
    if (dir.empty()) return wxGetCwd();
    wxFileName fn = wxFileName::DirName(dir);
    fn.MakeAbsolute();
    return fn.GetPath();
}

wxString QelProcess::CheckStart(const wxArrayString& args, const wxString& dir) const
{
    if (args.empty() || args[0].empty()) return _("no command given");
    if (!wxFileName::DirExists(dir)) return wxString::Format(_("no folder %s"), dir);
    if (FindProgramOf(args, dir).empty()) return _("command not found");
    return wxString();
}

bool QelProcess::IsBusy(int flags) const
{
    // One background child per runner: its output and end have one place.
    if ((flags & wxEXEC_SYNC) || !IsRunning()) return false;
    wxLogStatus(_("Process is running"));
    return true;
}

wxString QelProcess::FindProgramOf(const wxArrayString& args, const wxString& dir) const
{
    const auto path = m_Env.find("PATH");
    return FindProgram(args[0], dir,
                       path != m_Env.end() ? path->second : wxString(wxGetenv("PATH")));
}

long QelProcess::Execute(const wxString& command, int flags, const wxString& wd)
{
    if (IsBusy(flags)) return 0;
    if (command.empty() && m_Command.empty()
        && ConfigDialog(QelTopWindow(), _("Select Process")) == wxID_CANCEL)
        return -1;
    const wxString line = command.empty() ? QelConfigFirstOf(_("Process")) : command;
    if (line.empty()) {
        wxLogError(_("No command to run"));
        return -1;
    }
    const long result = Execute(QelSplitCommand(line), flags, wd);
    m_Command = line;
    return result;
}

long QelProcess::Execute(const wxArrayString& args, int flags, const wxString& wd)
{
    if (IsBusy(flags)) return 0;
    m_Command = QelJoinCommand(args);
    MakeSharedDialog(m_Command, this);
    m_WorkingDir = ResolveWorkingDir(wd);
    const wxString reason = CheckStart(args, m_WorkingDir);
    if (!reason.empty()) {
        wxLogError(_("Cannot run %s: %s"), m_Command, reason);
        if (flags & wxEXEC_SYNC) m_Error = true;
        return flags & wxEXEC_SYNC ? -1 : 0;
    }
    return flags & wxEXEC_SYNC ? ExecuteSync(args, flags, m_WorkingDir)
                               : ExecuteAsync(args, flags, m_WorkingDir);
}

long QelProcess::ExecuteSync(const wxArrayString& args, int, const wxString& dir)
{
    // Nothing typed can reach a child that is run to its end.
    if (QelSTCShell* shell = SharedShell(); shell != nullptr) shell->EnableShell(false);
    SyncResult run = RunToEnd(FindProgramOf(args, dir), args, dir, m_Env);
    m_Error = run.error != 0;
    if (m_Error) {
        wxLogError(_("Cannot run %s: %s"), m_Command, wxString(strerror(run.error)));
        m_Output.clear();
        return -1;
    }
    wxLogVerbose("%s: %s", _("Execute"), m_Command);
    m_ExitCode = run.status;
    // A line end between the two parts, so that a warning never joins the
    // first line of the output.
    m_Output = JoinLines(run.err);
    if (!run.err.empty() && !run.out.empty()) m_Output += '\n';
    m_Output += JoinLines(run.out);
    return run.status;
}

long QelProcess::ExecuteAsync(const wxArrayString& args, int flags, const wxString& dir)
{
    auto* child = new QelProcessChild(this);
    wxExecuteEnv env;
    env.cwd = dir;
    env.env = ChildEnv(m_Env);
    const long pid
        = wxExecute(QelCStrings(args).Get(), flags | wxEXEC_MAKE_GROUP_LEADER, child, &env);
    if (pid <= 0) {
        delete child;
        wxLogError(_("Cannot run %s: %s"), m_Command, _("the process could not be made"));
        return 0;
    }
    SetPid(pid);
    child->SetPid(pid);
    child->Attach();
    child->m_Dir = dir;
    m_Child = child;
    wxLogVerbose("%s: %s", _("Execute"), m_Command);
    // What is typed in the shell goes to the child running now.
    if (QelSTCShell* shell = SharedShell(); shell != nullptr) {
        shell->EnableShell(true);
        shell->SetEventHandler(this);
    }
    ReportCreate();
    // Made on the first background run: most process objects run nothing in
    // the background and are copied freely.
    if (m_Timer == nullptr) m_Timer = new wxTimer(this);
    m_Timer->StartOnce(POLL_BUSY_MS); // the first output soon, then as it comes
    child->Started();
    return pid;
}

bool QelProcess::CheckInput(int budget_ms)
{
    const wxStopWatch watch;
    bool any = false;
    // The budget is looked at after every line, not every chunk read: a
    // chunk may hold thousands of lines, and a list may take long for each.
    while (m_Child != nullptr && !m_Child->m_Stopped && watch.Time() < budget_ms) {
        if (!m_Child->HasLines() && !m_Child->Read()) break;
        any = true;
        // A chunk may end inside a line, and hold no whole line at all.
        if (!m_Child->HasLines()) continue;
        const wxString& line = m_Child->NextLine();
        const QelOutputLink link = QelParseOutputLine(line, m_Child->m_Dir, &m_Child->m_Known);
        ReportAdd(line, link.path, link.lineno);
    }
    if (any) ReportFlush();
    return any;
}

void QelProcess::OnTimer(wxTimerEvent&)
{
    if (m_Child != nullptr) Poll();
}

void QelProcess::Poll()
{
    const wxStopWatch tick;
    const bool busy = CheckInput(TICK_BUDGET_MS);
    if (m_Child == nullptr || m_Child->m_Stopped) return;
    if (m_Child->IsDone()) {
        ChildDone();
        return;
    }
    // Started again once the tick is over, after a pause as long as the
    // tick: however fast the output, at least half of the time is left for
    // input, painting, posted events and signals.
    const int pause = std::max<int>(POLL_BUSY_MS, tick.Time());
    m_Timer->StartOnce(busy || m_Child->IsEnded() ? pause : POLL_IDLE_MS);
}

void QelProcess::ChildEnded(int, int status)
{
    m_ExitCode = status;
    if (m_Child->m_Stopped) {
        ChildDone();
        return;
    }
    // The rest of the output follows in slices, then the end.
    Poll();
}

void QelProcess::ChildDone()
{
    OnTerminate(static_cast<int>(GetPid()), m_ExitCode);
    delete m_Child;
    m_Child = nullptr;
}

void QelProcess::OnTerminate(int, int status)
{
    if (m_Timer != nullptr) m_Timer->Stop();
    m_ExitCode = status;
    if (m_Child != nullptr && !m_Child->m_Stopped) {
        // The last lines, whether or not they end in a line end.
        m_Child->Flush();
        CheckInput(std::numeric_limits<int>::max());
    }
    wxLogStatus(_("Ready"));
    if (wxWindow* top = QelTopWindow(); top != nullptr) {
        wxCommandEvent event(wxEVT_MENU, ID_TERMINATED_PROCESS);
        wxPostEvent(top, event);
    }
    PromptShell(false);
}

wxKillError QelProcess::Kill(wxSignal sig)
{
    if (!IsRunning()) return wxKILL_NO_PROCESS;
    m_Timer->Stop();
    wxLogStatus(_("Stopped"));
    DeletePendingEvents();
    PromptShell(true);
    // What was read and not shown yet is dropped too: a stop is also how a
    // flood of output is ended.
    m_Child->m_Stopped = true;
    if (!m_Child->IsEnded()) return KillGroup(GetPid(), sig);
    // Its id may belong to another process by now.
    ChildDone();
    return wxKILL_OK;
}

void QelProcess::OnCommand(wxCommandEvent& event)
{
    switch (event.GetId()) {
    case ID_SHELL_COMMAND:
        if (m_Child != nullptr && m_Child->GetOutputStream() != nullptr) {
            // The bytes as typed: the shell keeps those that are not UTF-8.
            std::string bytes = QelSTCBytes(event.GetString());
            if (bytes.empty() || bytes.back() != '\n') bytes += '\n';
            m_Child->GetOutputStream()->Write(bytes.data(), bytes.length());
        }
        PromptShell(true);
        break;
    case ID_SHELL_COMMAND_STOP:
        Kill(wxSIGKILL);
        break;
    default:
        wxFAIL_MSG("unexpected command");
    }
}

QelSTC* QelProcess::GetSTC()
{
    return g_Dialog ? g_Dialog->GetSTC() : nullptr;
}

void QelProcess::ShowOutput(const wxString& caption) const
{
    if (m_Error || !g_Dialog) return;
    g_Dialog->GetSTC()->SetText(m_Output);
    g_Dialog->SetTitle(caption.empty() ? m_Command : caption);
    g_Dialog->Show();
}

void QelProcess::ReportAdd(const wxString& line, const wxString&, const wxString&)
{
    if (QelSTCShell* shell = SharedShell(); shell != nullptr)
        shell->AppendText(line + shell->GetEOL());
}

void QelProcess::ReportCreate()
{
    QelSTCShell* shell = SharedShell();
    if (shell == nullptr) return;
    g_Dialog->SetTitle(m_Command);
    shell->ClearDocument();
    shell->Prompt(wxEmptyString, true);
    g_Dialog->Show();
}
