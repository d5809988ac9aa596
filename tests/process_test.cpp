// Commands run to their end: output and error apart, exit status, arguments
// passed one by one, commands that cannot start; the line splitter and the
// links from output lines to files.
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <wx/config.h>
#include <wx/filename.h>
#include <wx/stopwatch.h>

#include <qelkit/process.h>

#include "testing.h"

using qeltest::LogCapture;

namespace {

class ProcessTest : public qeltest::ConfigTest { };

wxArrayString Args(std::initializer_list<wxString> args)
{
    return wxArrayString(args.begin(), args.end());
}

// The words as "<word>" one after the other, as the shell loop prints them.
wxString Bracketed(const wxArrayString& words)
{
    wxString text;
    for (const wxString& word : words) text += "<" + word + ">";
    return text;
}

wxString RealPath(const wxString& path)
{
    return wxString::FromUTF8(qeltest::Run("realpath -z " + qeltest::ShellQuote(path)).c_str());
}

} // namespace

TEST_F(ProcessTest, RunsToTheEndWithErrorAndOutputApart)
{
    std::string many = qeltest::Run("seq 1 300000");
    many.pop_back();
    const struct {
        const char *name, *script; // run by sh -c
        long status;
        std::string output;
    } rows[]
        = {{"ManyLinesReadWhileTheChildRuns", "seq 1 300000", 0, many},
           {"ErrorLinesThenALineEndThenOutput", "echo e1 >&2; echo e2 >&2; echo o", 0, "e1\ne2\no"},
           {"OnlyError", "echo w >&2; exit 2", 2, "w"},
           {"BlankLinesKept", "printf 'a\\n\\n\\nb\\n\\n'", 0, "a\n\n\nb\n"},
           {"Latin1Byte", "printf 'caf\\351\\n'", 0, "caf\xc3\xa9"},
           {"InputIsEmpty", "cat; echo end", 0, "end"},
           {"BackgroundJobDoesNotHoldTheRun", "sleep 20 & echo done", 0, "done"},
           {"Signal", "kill -9 $$", 128 + 9, ""}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        QelProcess process;
        wxStopWatch watch;
        EXPECT_EQ(process.Execute(Args({"sh", "-c", row.script}), wxEXEC_SYNC), row.status);
        EXPECT_LT(watch.Time(), 10000); // the background job would hold it 20 s
        EXPECT_FALSE(process.GetError());
        EXPECT_EQ(process.GetOutput(), wxString::FromUTF8(row.output.c_str()));
    }
}

// Each argument reaches the program as it was given: nothing is split,
// unquoted or interpreted, also when the program's path holds a blank.
TEST_F(ProcessTest, ArgumentsArriveUnchanged)
{
    const wxString script = m_Temp.File("my bin/print args");
    wxFileName::Mkdir(m_Temp.File("my bin"));
    qeltest::WriteBytes(script, "#!/bin/sh\nfor a; do printf '[%s]\\n' \"$a\"; done\n");
    qeltest::Run("chmod +x " + qeltest::ShellQuote(script));
    const char* const awkward[]
        = {"a b", "x\" --amend -m \"y", "", "$HOME;*", "caf\xc3\xa9", "new\nline"};
    wxArrayString args(1, script);
    wxString want;
    for (const char* arg : awkward) {
        args.push_back(wxString::FromUTF8(arg));
        want += "[" + wxString::FromUTF8(arg) + "]\n";
    }
    want.RemoveLast();
    QelProcess process;
    EXPECT_EQ(process.Execute(args, wxEXEC_SYNC), 0);
    EXPECT_EQ(process.GetOutput(), want);
}

TEST_F(ProcessTest, CommandLinesAreSplitWithoutAShell)
{
    const char* const rows[][2] = {{"printf '%s|' 'a b' c", "a b|c|"},
                                   {"printf '%s|' \"d\\\"e\" f\\ g", "d\"e|f g|"},
                                   {"printf '%s|' $HOME ';' '|'", "$HOME|;|||"},
                                   {"printf '%s|' 'a\\.b' \"c\\\\d\"", "a\\.b|c\\d|"},
                                   {"printf 'x\\ty\\n'", "x\ty"}};
    for (const auto& [line, output] : rows) {
        SCOPED_TRACE(line);
        QelProcess process;
        EXPECT_EQ(process.Execute(line, wxEXEC_SYNC), 0);
        EXPECT_EQ(process.GetOutput(), output);
    }
    EXPECT_EQ(QelJoinCommand(Args({"git", "commit", "-m", "a b", ""})), "git commit -m 'a b' ''");
}

// A backslash in quotes reached the program dropped ('a\.b' became a.b).
TEST(SplitCommand, WordsAreThoseTheShellMakes)
{
    const char* const lines[] = {
        R"(grep -n 'a\.b' f)",
        R"(printf 'a\n')",
        R"(sed 's/\//x/')",
        R"(a\ b c\\d \"e\' \x)",
        R"("a\b" "c\$d" "e\`f" "g\"h" "i\\j" "k\'")",
        R"('it'\''s' "x"'y'z a'b c'd "it's" 'say "hi"')",
        R"('' "" a '')",
        "  lead\ttab  trail  ",
        "a\\\nb c \\\n d",
        "\"a\\\nb\" 'c\\\nd'",
        R"(a b\)",
        R"('$HOME' \$HOME "\$HOME" \*.c '~')",
        "caf\xc3\xa9 '\xc3\xbc\\'",
        "",
    };
    for (const char* line : lines) {
        SCOPED_TRACE(line);
        const wxString command = wxString::FromUTF8(line);
        const std::string want
            = qeltest::Run("sh -c 'for a; do printf \"<%s>\" \"$a\"; done' x " + command);
        EXPECT_EQ(Bracketed(QelSplitCommand(command)).utf8_string(), want);
    }
    // No shell runs: what it would expand or treat as an operator is kept.
    EXPECT_EQ(Bracketed(QelSplitCommand("echo $HOME *.c ~ a;b #c x|y")),
              "<echo><$HOME><*.c><~><a;b><#c><x|y>");
}

TEST_F(ProcessTest, WorkingFolderAndEnvironment)
{
    wxFileName::Mkdir(m_Temp.File("sub dir"));
    QelProcess process;
    EXPECT_EQ(process.Execute(Args({"pwd"}), wxEXEC_SYNC, m_Temp.Path()), 0);
    EXPECT_EQ(process.GetOutput(), RealPath(m_Temp.Path()));

    // Without a folder the run goes to the first remembered one.
    wxConfigBase::Get()->Write(QelProcess::GetWorkingDirKey(),
                               m_Temp.File("sub dir") + "\x0b/tmp\x0b");
    EXPECT_EQ(process.Execute(Args({"pwd"}), wxEXEC_SYNC), 0);
    EXPECT_EQ(process.GetOutput(), RealPath(m_Temp.File("sub dir")));

    process.SetEnv("QEL_TEST_VALUE", "one two");
    EXPECT_EQ(process.Execute(Args({"sh", "-c", "echo \"$QEL_TEST_VALUE\" $HOME"}), wxEXEC_SYNC),
              0);
    EXPECT_EQ(process.GetOutput(), "one two " + wxString(wxGetenv("HOME")));
}

TEST_F(ProcessTest, CommandsThatCannotStartAreReported)
{
    qeltest::WriteBytes(m_Temp.File("plain"), "#!/bin/sh\necho no\n");
    const struct {
        const char* name;
        wxArrayString args;
        wxString wd;
        const char* reason;
    } rows[] = {{"NoSuchProgram", Args({"/nonexistent/prog", "x"}), "", "command not found"},
                {"NotOnThePath", Args({"qel-no-such-program"}), "", "command not found"},
                {"NotExecutable", Args({"./plain"}), m_Temp.Path(), "command not found"},
                {"AFolder", Args({"/tmp"}), "", "command not found"},
                {"NoFolder", Args({"pwd"}), m_Temp.File("missing"), "no folder"},
                {"NoCommand", Args({}), "", "no command"}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        LogCapture log;
        QelProcess process;
        EXPECT_EQ(process.Execute(row.args, wxEXEC_SYNC, row.wd), -1);
        EXPECT_TRUE(process.GetError());
        EXPECT_EQ(process.GetOutput(), "");
        ASSERT_EQ(log.CountLevel(wxLOG_Error), 1u) << log.Dump();
        EXPECT_TRUE(log.Has("Cannot run " + QelJoinCommand(row.args) + ": " + row.reason))
            << log.Dump();
        // In the background nothing starts either.
        EXPECT_EQ(process.Execute(row.args, wxEXEC_ASYNC, row.wd), 0);
        EXPECT_FALSE(process.IsRunning());
    }
}

TEST(OutputLink, FileAndLineFromTheFolderOfTheRun)
{
    qeltest::TempDir dir, elsewhere;
    qeltest::Run("cd " + qeltest::ShellQuote(dir.Path()) + " && mkdir src && touch x.c a.php");
    qeltest::CwdGuard cwd(elsewhere.Path());
    // The line, and the file found below the folder "@" its line number.
    const wxString php = "Parse error: bad in " + dir.File("a.php") + " on line 7";
    const wxString rows[][2] = {{"x.c:12: warning", "x.c@12"},
                                {"x.c:12:5: error: bad", "x.c@12"},
                                {"x.c: note", "x.c@"},
                                {"x.c", "x.c@"},
                                {"./src/../x.c:3:", "x.c@3"},
                                {dir.File("x.c") + ":9:", "x.c@9"},
                                {php, "a.php@7"},
                                {"src:3", "@"},
                                {"", "@"},
                                {"make: *** [Makefile:2: all] Error 1", "@"}};
    for (const auto& [line, want] : rows) {
        SCOPED_TRACE(line.ToStdString());
        const QelOutputLink link = QelParseOutputLine(line, dir.Path());
        wxString path = link.path;
        EXPECT_TRUE(path.empty() || path.StartsWith(dir.Path() + "/", &path)) << path;
        EXPECT_EQ(path + "@" + link.lineno, want);
    }

    // The paths met in a run are kept; lines of a megabyte without a colon
    // were kept among them, thousands of them.
    std::map<wxString, wxString> known;
    EXPECT_TRUE(QelParseOutputLine(wxString('x', 1 << 20), dir.Path(), &known).path.empty());
    EXPECT_EQ(QelParseOutputLine("x.c:1:", dir.Path(), &known).lineno, "1");
    EXPECT_EQ(known.size(), 1u);
}

TEST(LineBuffer, LinesAcrossChunks)
{
    const struct {
        const char* name;
        std::vector<std::string> chunks, lines;
    } rows[] = {{"CrLfSplit", {"a\r", "\nb"}, {"a", "b"}},
                {"BlankLines", {"", "\n\n", "\n"}, {"", "", ""}},
                {"Utf8Split", {"caf\xc3", "\xa9\n"}, {"caf\xc3\xa9"}},
                {"LoneCarriageReturnAtEnd", {"x\r"}, {"x"}},
                {"LongLine", {std::string(100000, 'z'), "\n"}, {std::string(100000, 'z')}},
                // Endless output without line ends is cut, before a character.
                {"EndlessLine",
                 {std::string((1 << 20) - 1, 'z'), "\xc3\xa9z"},
                 {std::string((1 << 20) - 1, 'z'), "\xc3\xa9z"}},
                // Past four pieces the rest of such a line is only counted.
                {"EndlessLineLeftOut",
                 {std::string((4 << 20) + 6, 'z'), "z\r\nnext\n", std::string(5 << 20, 'z')},
                 {std::string(1 << 20, 'z'), std::string(1 << 20, 'z'), std::string(1 << 20, 'z'),
                  std::string(1 << 20, 'z'), "[7 more bytes of this line not shown]", "next",
                  std::string(1 << 20, 'z'), std::string(1 << 20, 'z'), std::string(1 << 20, 'z'),
                  std::string(1 << 20, 'z'), "[1048576 more bytes of this line not shown]"}},
                {"FourPiecesExactly",
                 {std::string(4 << 20, 'z'), "\n"},
                 {std::string(1 << 20, 'z'), std::string(1 << 20, 'z'), std::string(1 << 20, 'z'),
                  std::string(1 << 20, 'z')}},
                {"Nothing", {}, {}}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        QelLineBuffer buffer;
        std::vector<wxString> lines, want;
        for (const auto& chunk : row.chunks) buffer.Add(chunk.data(), chunk.size(), lines);
        buffer.Flush(lines);
        for (const auto& line : row.lines) want.push_back(wxString::FromUTF8(line));
        EXPECT_EQ(lines, want);
    }
}
