#include <future>
#include <memory>
#include <vector>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <wx/filefn.h>
#include <wx/scopeguard.h>
#include <wx/stopwatch.h>

#include "handover.h"
#include "testing.h"

using namespace qeltest;
using namespace std::string_literals;

namespace {

sockaddr_un Address(const wxString& path)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    strncpy(address.sun_path, path.fn_str(), sizeof address.sun_path - 1);
    return address;
}

// A socket connected to the path, or -1.
int Connect(const wxString& path)
{
    const sockaddr_un address = Address(path);
    const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    return connect(fd, (sockaddr*)&address, sizeof address) == 0 ? fd : -1;
}

// A child process that runs as another user; the parent gets its id.
template <typename Work> pid_t AsUser(uid_t user, Work work)
{
    const pid_t child = fork();
    if (child == 0) _exit(setuid(user) == 0 && work() ? 0 : 1);
    return child;
}

} // namespace

// The running program reads what later starts hand over while the window goes
// on, and hears and answers only programs of its owner's: a request that
// claims more than the limit, stops short, runs past its length or comes from
// another user is dropped with one line, and a sender that says nothing
// holds nothing up.
TEST(Handover, OnlyWholeRequestsOfTheOwnerAreTaken)
{
    TempDir dir;
    EnvGuard runtime("XDG_RUNTIME_DIR", &dir.Path());
    wxArrayString received; // "cwd:file,file"
    QelHandover server(dir.File("settings")), other(dir.File("other"));
    ASSERT_TRUE(server.Listen([&](const wxString& cwd, const wxArrayString& files) {
        received.Add(cwd + ":" + wxJoin(files, ','));
    }));
    const int silent = Connect(server.GetSocketPath());
    const struct {
        const char* name;
        std::string bytes;
        const char* dropped; // the reason logged; null when handed over
    } rows[] = {
        {"Whole", "\0\0\0\x0b/cwd\0a.txt\0"s, nullptr},
        {"ClaimsFourGigabytes", "\xff\xff\xff\xff/cwd\0", "4294967295 bytes claimed, more than"},
        {"CutShort", "\0\0\x03\xe8/cwd\0"s, "cut short after 9 of 1004 bytes"},
        {"LongerThanClaimed", "\0\0\0\x02/cwd\0a\0"s, "longer than the 2 bytes claimed"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        LogCapture log;
        const int fd = Connect(server.GetSocketPath());
        ASSERT_EQ(send(fd, row.bytes.data(), row.bytes.size(), 0), ssize_t(row.bytes.size()));
        shutdown(fd, SHUT_WR);
        char answer = 0;
        PumpUntil([&] { return recv(fd, &answer, 1, MSG_DONTWAIT) >= 0; }, 5000);
        close(fd);
        EXPECT_EQ(answer, row.dropped ? 0 : 'y');
        EXPECT_EQ(log.Count("Files handed over were dropped: "), row.dropped ? 1u : 0u)
            << log.Dump();
        EXPECT_TRUE(!row.dropped || log.Has(row.dropped)) << log.Dump();
    }
    // A later start sends from a thread of its own, as this one runs the loop.
    auto sent = std::async(std::launch::async, [&] {
        return QelHandover(dir.File("settings")).Send("/w", wxArrayString(1, "b.txt"), 5000);
    });
    PumpUntil([&] { return received.GetCount() == 2; }, 5000);
    EXPECT_TRUE(sent.get());
    close(silent);

    // Another user's way in is opened here only so that the socket's own
    // check is met.
    ASSERT_EQ(chmod(dir.Path().fn_str(), 0711) | chmod(server.GetSocketPath().fn_str(), 0777), 0);
    LogCapture log;
    const pid_t sender = AsUser(4242, [&] {
        const int fd = Connect(server.GetSocketPath());
        return fd >= 0 && send(fd, "\0\0\0\2/\0", 6, 0) == 6;
    });
    EXPECT_TRUE(PumpUntil([&] { return log.Has("Refused to take files from user 4242"); }, 5000))
        << log.Dump();
    EXPECT_EQ(wxJoin(received, ';'), "/cwd:a.txt;/w:b.txt");
    // A socket of another user's where the running program's should be.
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const sockaddr_un address = Address(other.GetSocketPath());
    const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_EQ(bind(fd, (sockaddr*)&address, sizeof address), 0);
    const pid_t listener = AsUser(
        4242, [&] { return listen(fd, 1) == 0 && write(ready[1], "y", 1) == 1 && pause() == 0; });
    char ok = 0;
    ASSERT_EQ(read(ready[0], &ok, 1), 1);
    EXPECT_FALSE(other.Send("/cwd", wxArrayString(1, "a.txt"), 1000));
    EXPECT_TRUE(log.Has("Refused to hand files to user 4242")) << log.Dump();
    kill(listener, SIGKILL);
    for (const pid_t child : {sender, listener}) waitpid(child, nullptr, 0);
    close(fd);
}

// Start-up messages (the settings, the locale, lexers.xml) go to stderr and
// the log, once each, never to a dialog that would hold the start; the log
// says once which folder holds the settings and the log. A second start that
// hands its files over adds nothing to the log.
TEST(Program, StartUpMessagesNeverStopTheStart)
{
    std::string keysAtTheLimit, manyKeys;
    for (int i = 0; i < 100000; ++i) keysAtTheLimit += "k" + std::to_string(i) + "=v\n";
    manyKeys = keysAtTheLimit + "k100000=v\n";
    const std::string dutch = "LANG=" + std::to_string(wxLANGUAGE_DUTCH) + "\n";
    const struct {
        std::string settings;
        const char* lexers;          // none when null
        std::string logged;          // in stderr and the log
        bool settingsFolder = false; // a folder stands where the settings file goes
        std::string fifo = "";       // a FIFO stands in this file's place
        bool untouched = false;      // the settings file stays as it was
    } rows[] = {
        {"LANG=99999\n", nullptr, "Warning: Unknown language 99999"},
        // The locale is not installed on the test machines.
        {"LANG=" + std::to_string(wxLANGUAGE_DUTCH) + "\n", nullptr, ""},
        {"", "<lexers><lexer name=", "Error: Lexers file could not be loaded"},
        // Read at the start and written back at exit, never expanded.
        {"Find what=$HOME-lit\x0b$(date\x0b\n", nullptr, ""},
        // Settings that cannot be written at the exit are no crash.
        {"", nullptr, "tindrel.ini': it is not a regular file", true},
        // Nothing waits for a reader of a FIFO: such a log is not used.
        {"", nullptr, "Log file not used: ", false, "tindrel.log"},
        {"", nullptr, "tindrel.ini': it is not a regular file", false, "tindrel.ini"},
        // The data files are refused, naming them, not a fallback.
        {"", nullptr, "/lexers.xml: not a regular file", false, "lexers.xml"},
        {"", nullptr, "/vcs.xml: not a regular file", false, "vcs.xml"},
        // A faulty line is told with its number; the toolkit would tell this
        // one twice, with a wrong number.
        {"a=1\nb=2\na=3\n", nullptr, "line 3: key 'a' was set on line 1 already"},
        // The toolkit would tell this one by an assertion only.
        {"=value\n", nullptr, "line 1: no key before '='"},
        // Far more keys than the program writes: not read, nor written at
        // the exit.
        {manyKeys, nullptr, "tindrel.ini' is too large (more than 100000 lines)", false, "", true},
        // As many as are read: the program's own keys would take the file
        // past that, and the next start would refuse it.
        {keysAtTheLimit, nullptr,
         "tindrel.ini' is not written: it would be too large to be read again (more than "
         "100000 lines)",
         false, "", true},
        // A catalog's open would wait for a writer.
        {dutch, nullptr, "LC_MESSAGES/f.mo' is not a valid message catalog: not a regular file",
         false, "locale/nl_NL/LC_MESSAGES/f.mo"},
        {dutch, nullptr,
         "LC_MESSAGES/sub/notes' is not a valid message catalog: not a regular file", false,
         "locale/nl_NL/LC_MESSAGES/sub/notes"},
    };
    // How often text occurs in all.
    const auto count = [](const std::string& all, const std::string& text) {
        size_t n = 0;
        for (size_t at = all.find(text); at != std::string::npos; at = all.find(text, at + 1)) ++n;
        return n;
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.settings.substr(0, 64) + row.logged);
        TempDir dir;
        if (row.lexers != nullptr) {
            ASSERT_TRUE(WriteBytes(dir.File("lexers.xml"), row.lexers));
        }
        const wxString kept = dir.File("tindrel.ini") + (row.settingsFolder ? "/kept" : "");
        if (row.settingsFolder) {
            ASSERT_TRUE(wxMkdir(dir.File("tindrel.ini")) && WriteBytes(kept, "k"));
        }
        if (!row.fifo.empty()) {
            const wxFileName fifo(dir.File(row.fifo));
            ASSERT_TRUE(fifo.Mkdir(0700, wxPATH_MKDIR_FULL));
            ASSERT_EQ(mkfifo(fifo.GetFullPath().fn_str(), 0600), 0);
        }
        const ProgramRun run
            = RunProgram(QEL_TINDREL_EXE, dir, row.settings, {"", "./tindrel 2>/dev/null"});
        EXPECT_EQ(run.exitCode, 0) << run.stderrText;
        EXPECT_EQ(run.windows, "textfile1\n") << run.stderrText;
        EXPECT_TRUE(row.logged.empty() || count(run.stderrText, row.logged) == 1) << run.stderrText;
        EXPECT_EQ(run.stderrText.find("Assertion failed"), std::string::npos) << run.stderrText;
        const std::string line = ": Settings and log folder: " + dir.Path().utf8_string() + "\n";
        if (row.fifo != "tindrel.log") {
            EXPECT_TRUE(row.logged.empty() || count(run.logText, row.logged) == 1) << run.logText;
            EXPECT_NE(run.logText.find(line), std::string::npos) << run.logText;
            EXPECT_EQ(run.logText.find(line), run.logText.rfind(line)) << run.logText;
        }
        // What was stored is kept, whether the exit could write or not, and
        // nothing else is left.
        if (row.fifo != "tindrel.ini") {
            EXPECT_NE(ReadBytes(kept).find(row.settingsFolder ? "k" : row.settings),
                      std::string::npos);
        }
        EXPECT_TRUE(!row.untouched || ReadBytes(kept) == row.settings);
        EXPECT_EQ(qeltest::Run("cd " + ShellQuote(dir.Path()) + " && ls -A"),
                  "lexers.xml\n" + std::string(row.fifo.rfind("locale/", 0) == 0 ? "locale\n" : "")
                      + "stderr.txt\ntindrel\ntindrel.ini\ntindrel.log\n"
                      + std::string(row.fifo == "vcs.xml" ? "vcs.xml\n" : "") + "windows.txt\n");
    }
}

// Files named on the command line open, or what keeps one from opening is
// said in the log, and the others open; the program goes on, with no other
// document standing in for what it could not open.
TEST(Program, FilesOfTheCommandLineOpenOrAreSaid)
{
    // A name in UTF-8 and one in Latin-1.
    const char* const kMakeNamesAbove127
        = "echo hi >\"$(printf '\\303\\251.txt')\"; echo ho >\"$(printf 'caf\\351.txt')\"";
    const char* const kNamesAbove127
        = "\"$(printf '\\303\\251.txt')\" \"$(printf 'caf\\351.txt')\"";
    const struct {
        const char* name;
        const char* make;   // shell commands run in the folder first
        const char* locale; // the program's, when not null (made in the folder)
        const char* args;
        std::string title;  // "@/" stands for the folder
        const char* logged; // the same, after `said`; null: no error at all
        const char* launcher = "";
        const char* said = "Error: Cannot open file: ";
    } rows[] = {
        // One line of the largest size the editor holds: the toolkit threw
        // while laying it out, and the program ended with every document.
        {"LineTooLong", "truncate -s 2147483646 huge; echo hi >small.txt", nullptr,
         "huge small.txt", "@/small.txt",
         "@/huge (the editor holds lines of at most 67108864 bytes)"},
        // Its bytes are carried by characters of a private-use plane.
        {"NameNotUTF8", "echo hi >\"$(printf 'c\\377\\376d.txt')\"", nullptr,
         "\"$(printf 'c\\377\\376d.txt')\"",
         "@/c\xf4\x80\x83\xbf\xf4\x80\x83\xbe"
         "d.txt",
         nullptr},
        // A system whose encoding has no character for them: the toolkit
        // drops the argument.
        {"NameNotInTheEncoding",
         "echo hi >\"$(printf 'c\\377\\376d.txt')\"; mkdir loc && localedef -i C -f EUC-JP "
         "loc/C.EUC-JP",
         "C.EUC-JP", "\"$(printf 'c\\377\\376d.txt')\"", "Tindrel",
         "argument 1 is not in the system's encoding: c\\xff\\xfed.txt"},
        // The C locale's encoding is ASCII, which the toolkit reads as
        // Latin-1: each name was taken for another.
        {"NamesUnderTheCLocale", kMakeNamesAbove127, nullptr, kNamesAbove127,
         "@/caf\xf4\x80\x83\xa9.txt", nullptr, "env -u LC_ALL -u LC_CTYPE LANG=C"},
        {"NamesWithoutALocale", kMakeNamesAbove127, nullptr, kNamesAbove127,
         "@/caf\xf4\x80\x83\xa9.txt", nullptr, "env -u LC_ALL -u LC_CTYPE -u LANG"},
        // GTK takes its own options; here only its option names the display.
        {"OptionsOfGtk", "echo hi >a.txt", nullptr,
         "--display=\"$DISPLAY\" --name=n --class C --gtk-module=none --g-fatal-warnings a.txt",
         "@/a.txt", nullptr, "env -u DISPLAY"},
        // A line that the toolkit lays out for seconds at every key.
        {"LineTooLongToLayOut", "head -c 2000000 /dev/zero | tr '\\0' x >line", nullptr, "line",
         "@/line [Readonly]", "@/line (it has a line too long for the editor to lay out in time)",
         "", "Error: Shown in hexadecimal: "},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        TempDir dir;
        qeltest::Run("cd " + ShellQuote(dir.Path()) + " && " + row.make);
        const std::string folder = dir.Path().utf8_string();
        const auto place = [&](std::string text) {
            if (text.compare(0, 2, "@/") == 0) text.replace(0, 1, folder);
            return text;
        };
        const wxString locpath = dir.File("loc"), locale = row.locale ? row.locale : "";
        std::vector<std::unique_ptr<EnvGuard>> environment;
        for (const auto& [name, value] : {std::pair{"LOCPATH", &locpath}, {"LC_ALL", &locale}})
            if (row.locale != nullptr)
                environment.push_back(std::make_unique<EnvGuard>(name, value));
        ProgramSteps steps;
        steps.launcher = row.launcher;
        steps.args = row.args;
        // The window shows before the files open, and a loaded machine may
        // list it before their titles.
        if (row.title != "Tindrel") steps.shown = wxString::FromUTF8(place(row.title));
        const ProgramRun run = RunProgram(QEL_TINDREL_EXE, dir, "", steps);
        EXPECT_EQ(run.exitCode, 0) << run.stderrText;
        EXPECT_EQ(run.windows, place(row.title) + "\n") << run.stderrText;
        if (row.logged != nullptr)
            EXPECT_NE(run.logText.find(row.said + place(row.logged)), std::string::npos)
                << run.logText;
        else
            EXPECT_EQ(run.logText.find("Error: "), std::string::npos) << run.logText;
    }
}

// An interrupt (Ctrl+C in its terminal) and a hang-up (the terminal closed)
// end the program as a request to terminate does: the settings are written
// and the hand-over socket and lock go. A signal ignored by whoever started
// it (nohup) stays ignored. So it is while the files of the command line
// still open, and before the window is made (while the settings are read):
// then the start ends and writes nothing.
TEST(Program, InterruptAndHangUpEndItAsTerminateDoes)
{
    // Starts the program and sends it TERM once it holds the hand-over lock.
    const char* const kAtTheLock = R"(sh -c 'trap "kill -KILL \$p" TERM; "$@" & p=$!
for i in $(seq 1000); do ls *.lock >/dev/null 2>&1 && break; sleep 0.01; done
kill -TERM $p; wait $p' at-the-lock)";
    // Starts the program and stops it as soon as its window shows, which is
    // as the files of the command line begin to open, until a signal is
    // sent to it: the signal is sure to come before the open ends.
    const char* const kStoppedAtTheWindow = R"(sh -c '(
for i in $(seq 600); do xdotool search --onlyvisible --pid $$ >/dev/null 2>&1 && break; sleep 0.01; done
kill -STOP $$
for i in $(seq 600); do s=$(sed -n "s/^ShdPnd:[[:space:]]*//p" /proc/$$/status) || break
[ $((0x$s)) -ne 0 ] && break; sleep 0.01; done
kill -CONT $$) & exec "$@"' stopped-at-the-window)";
    std::string manyKeys;
    for (int i = 0; i < 90000; ++i) manyKeys += "k" + std::to_string(i) + "=v\n";
    const struct {
        const char *signals, *launcher, *endedBy;
        const char* args = "";
        std::string settings = "";
        bool shown = true; // the window was surely shown, and its layout is written
    } rows[] = {
        {"TERM", "", "TERM\n"},
        {"INT", "", "INT\n"},
        {"HUP", "", "HUP\n"},
        {"HUP TERM", "nohup", "TERM\n"},
        {"TERM", kStoppedAtTheWindow, "TERM\n", "'*.txt'"},
        {"TERM", kAtTheLock, "TERM\n", "", manyKeys, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.signals + std::string(" ") + row.launcher + row.args);
        TempDir dir;
        EnvGuard runtime("XDG_RUNTIME_DIR", &dir.Path());
        if (*row.args != '\0') {
            qeltest::Run("cd " + ShellQuote(dir.Path())
                         + " && for i in $(seq 2000); do echo $i >$i.txt; done");
        }
        const ProgramRun run = RunProgram(QEL_TINDREL_EXE, dir, row.settings,
                                          {row.launcher, "", row.signals, row.args});
        EXPECT_EQ(run.endedBy, row.endedBy) << run.stderrText;
        EXPECT_EQ(run.exitCode, 0) << run.stderrText;
        const std::string ini = ReadBytes(dir.File("tindrel.ini"));
        EXPECT_TRUE(ini.find("\nPerspective=") != std::string::npos
                    || (!row.shown && ini == row.settings));
        if (*row.args != '\0') {
            // The files open in the order the folder lists them, each kept
            // in the recent files: some opened, but not the last one.
            wxString last = qeltest::Run("cd " + ShellQuote(dir.Path())
                                         + " && ls -f | grep '[.]txt$' | tail -n 1");
            EXPECT_NE(ini.find(("\nfile1=" + dir.File("")).utf8_string()), std::string::npos)
                << ini;
            EXPECT_EQ(ini.find("=" + dir.File(last.Trim()).utf8_string() + "\n"), std::string::npos)
                << last;
        }
        EXPECT_EQ(qeltest::Run("cd " + ShellQuote(dir.Path()) + " && ls *.sock *.lock 2>/dev/null"),
                  "");
    }
}

// A request of a million empty names (a megabyte, complete) costs the window
// nothing: empty names are skipped, the names of a request that cannot be
// opened make one line with their count, and a request after it is served
// at once.
TEST(Program, RefusedNamesOfARequestMakeOneLine)
{
    TempDir dir;
    EnvGuard runtime("XDG_RUNTIME_DIR", &dir.Path());
    auto program = std::async(std::launch::async, [&] {
        return RunProgram(QEL_TINDREL_EXE, dir, "",
                          {"", "for i in $(seq 600); do [ -e sent ] && break; sleep 0.1; done"});
    });
    // Also when the test stops early, so that the program ends.
    wxON_BLOCK_EXIT2(WriteBytes, dir.File("sent"), std::string());
    const QelHandover later(dir.Path());
    wxArrayString names(1000000, wxString());
    for (const char* name : {"m1", "m2", "", "m3", "m4", "m1", "m5"}) names.Add(name);
    EXPECT_TRUE(later.Send(dir.Path(), names, 60000));
    const wxStopWatch watch;
    EXPECT_TRUE(later.Send(dir.Path(), wxArrayString(1, "after")));
    while (watch.Time() < 5000
           && ReadBytes(dir.File("tindrel.log")).find("/after") == std::string::npos)
        wxMilliSleep(100);
    EXPECT_LT(watch.Time(), 5000);
    ASSERT_TRUE(WriteBytes(dir.File("sent"), ""));
    const ProgramRun run = program.get();
    EXPECT_EQ(run.exitCode, 0) << run.stderrText.substr(0, 4096);
    EXPECT_LT(run.logText.size(), 4096u);
    const wxString lines[] = {"Error: Cannot open 5 files: " + dir.File("m1") + ", "
                                  + dir.File("m2") + ", " + dir.File("m3") + ", ...\n",
                              "Error: Cannot open file: " + dir.File("after") + "\n"};
    for (const wxString& line : lines)
        EXPECT_NE(run.logText.find(line.utf8_string()), std::string::npos)
            << run.logText.substr(0, 4096);
}
