// Commands run to their end: output and error apart, exit status, arguments
// passed one by one, commands that cannot start; the line splitter and the
// links from output lines to files.
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

wxArrayString Args(std::initializer_list<const char*> args)
{
    wxArrayString array;
    for (const char* arg : args) array.push_back(wxString::FromUTF8(arg));
    return array;
}

wxString RealPath(const wxString& path)
{
    return wxString::FromUTF8(qeltest::Run("realpath -z " + qeltest::ShellQuote(path)).c_str());
}

} // namespace

TEST_F(ProcessTest, RunsToTheEndWithErrorAndOutputApart)
{
    struct Row {
        const char* name;
        const char* script; // run by sh -c
        long status;
        std::string output;
    };
    std::string many = qeltest::Run("seq 1 300000");
    many.pop_back();
    const Row rows[] = {
        {"ManyLinesReadWhileTheChildRuns", "seq 1 300000", 0, many},
        {"ErrorLinesThenALineEndThenOutput", "echo e1 >&2; echo e2 >&2; echo o", 0, "e1\ne2\no"},
        {"OnlyError", "echo w >&2; exit 2", 2, "w"},
        {"BlankLinesKept", "printf 'a\\n\\n\\nb\\n\\n'", 0, "a\n\n\nb\n"},
        {"CarriageReturnsDropped", "printf 'a\\r\\nb'", 0, "a\nb"},
        {"Latin1Byte", "printf 'caf\\351\\n'", 0, "caf\xc3\xa9"},
        {"Utf8", "printf 'caf\\303\\251\\n'", 0, "caf\xc3\xa9"},
        {"InputIsEmpty", "cat; echo end", 0, "end"},
        {"BackgroundJobDoesNotHoldTheRun", "sleep 20 & echo done", 0, "done"},
        {"Signal", "kill -9 $$", 128 + 9, ""},
    };
    for (const Row& row : rows) {
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
    const wxString dir = m_Temp.File("my bin");
    ASSERT_TRUE(wxFileName::Mkdir(dir));
    const wxString script = dir + "/print args";
    ASSERT_TRUE(qeltest::WriteBytes(
        script, "#!/bin/sh\nfor a in \"$@\"; do printf '[%s]\\n' \"$a\"; done\n"));
    wxFileName(script).SetPermissions(wxPOSIX_USER_READ | wxPOSIX_USER_WRITE
                                      | wxPOSIX_USER_EXECUTE);

    const char* const awkward[]
        = {"a b", "x\" --amend -m \"y", "back\\slash", "'single'", "", "$HOME", "a;b|c", "*",
           "-n",  "tab\there",          "caf\xc3\xa9", "new\nline"};
    wxArrayString args;
    args.push_back(script);
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
    struct Row {
        const char* line;
        const char* output;
    };
    const Row rows[] = {
        {"printf '%s|' 'a b' c", "a b|c|"},
        {"printf '%s|' \"d\\\"e\" f\\ g", "d\"e|f g|"},
        {"printf '%s|' $HOME ';' '|'", "$HOME|;|||"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.line);
        QelProcess process;
        EXPECT_EQ(process.Execute(row.line, wxEXEC_SYNC), 0);
        EXPECT_EQ(process.GetOutput(), row.output);
    }
    EXPECT_EQ(QelJoinCommand(Args({"git", "commit", "-m", "a b", ""})), "git commit -m 'a b' ''");
}

TEST_F(ProcessTest, WorkingFolderAndEnvironment)
{
    const wxString real = RealPath(m_Temp.Path());
    qeltest::WriteBytes(m_Temp.File("sub dir/.keep"), "");
    wxFileName::Mkdir(m_Temp.File("sub dir"));
    const wxString sub = RealPath(m_Temp.File("sub dir"));

    QelProcess process;
    EXPECT_EQ(process.Execute(Args({"pwd"}), wxEXEC_SYNC, m_Temp.Path()), 0);
    EXPECT_EQ(process.GetOutput(), real);

    // Without a folder the run goes to the first remembered one.
    wxConfigBase::Get()->Write(QelProcess::GetWorkingDirKey(),
                               m_Temp.File("sub dir") + "\x0b/tmp\x0b");
    EXPECT_EQ(process.Execute(Args({"pwd"}), wxEXEC_SYNC), 0);
    EXPECT_EQ(process.GetOutput(), sub);

    process.SetEnv("QEL_TEST_VALUE", "one two");
    EXPECT_EQ(process.Execute(Args({"sh", "-c", "echo \"$QEL_TEST_VALUE\" $HOME"}), wxEXEC_SYNC),
              0);
    EXPECT_EQ(process.GetOutput(), "one two " + wxString(wxGetenv("HOME")));
}

TEST_F(ProcessTest, CommandsThatCannotStartAreReported)
{
    struct Row {
        const char* name;
        wxArrayString args;
        wxString wd;
        const char* reason;
    };
    qeltest::WriteBytes(m_Temp.File("plain"), "#!/bin/sh\necho no\n");
    const Row rows[] = {
        {"NoSuchProgram", Args({"/nonexistent/prog", "x"}), "", "command not found"},
        {"NotOnThePath", Args({"qel-no-such-program"}), "", "command not found"},
        {"NotExecutable", Args({"./plain"}), m_Temp.Path(), "command not found"},
        {"AFolder", Args({"/tmp"}), "", "command not found"},
        {"NoFolder", Args({"pwd"}), m_Temp.File("missing"), "no folder"},
        {"NoCommand", Args({}), "", "no command"},
    };
    for (const Row& row : rows) {
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
    qeltest::WriteBytes(dir.File("x.c"), "");
    wxFileName::Mkdir(dir.File("src"));
    qeltest::WriteBytes(dir.File("src/x.c"), "");
    qeltest::WriteBytes(dir.File("a.php"), "");
    qeltest::CwdGuard cwd(elsewhere.Path());
    const wxString x = dir.File("x.c");
    struct Row {
        wxString line;
        wxString path;
        const char* lineno;
    };
    const Row rows[] = {
        {"x.c:12: warning", x, "12"},
        {"x.c:12:5: error: bad", x, "12"},
        {"x.c: note", x, ""},
        {"x.c:0:", x, ""},
        {"x.c:12abc", x, "12abc"},
        {"x.c", x, ""},
        {"src/x.c:7: warning", dir.File("src/x.c"), "7"},
        {"./src/../x.c:3:", x, "3"},
        {x + ":9:", x, "9"},
        {"Parse error: bad in " + dir.File("a.php") + " on line 7", dir.File("a.php"), "7"},
        {"nofile:3", "", ""},
        {"src:3", "", ""},
        {"", "", ""},
        {"make: *** [Makefile:2: all] Error 1", "", ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.line.ToStdString());
        const QelOutputLink link = QelParseOutputLine(row.line, dir.Path());
        EXPECT_EQ(link.path, row.path);
        EXPECT_EQ(link.lineno, row.lineno);
    }
}

TEST(LineBuffer, LinesAcrossChunks)
{
    struct Row {
        const char* name;
        std::vector<std::string> chunks;
        std::vector<const char*> lines;
    };
    const Row rows[] = {
        {"CrLfSplit", {"a\r", "\nb"}, {"a", "b"}},
        {"BlankLines", {"", "\n\n", "\n"}, {"", "", ""}},
        {"Utf8Split", {"caf\xc3", "\xa9\n"}, {"caf\xc3\xa9"}},
        {"LoneCarriageReturnAtEnd", {"x\r"}, {"x"}},
        {"LongLine", {std::string(100000, 'z'), "\n"}, {nullptr}},
        {"Nothing", {}, {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        QelLineBuffer buffer;
        std::vector<wxString> lines;
        for (const auto& chunk : row.chunks) buffer.Add(chunk.data(), chunk.size(), lines);
        buffer.Flush(lines);
        ASSERT_EQ(lines.size(), row.lines.size());
        for (size_t i = 0; i < lines.size(); ++i) {
            const wxString want = row.lines[i] == nullptr ? wxString(100000, 'z')
                                                          : wxString::FromUTF8(row.lines[i]);
            EXPECT_EQ(lines[i], want);
        }
    }
}
