// Folder traversal on real trees, compared with find(1).
#include <functional>
#include <set>
#include <string>

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/ffile.h>
#include <wx/filename.h>
#include <wx/stopwatch.h>
#include <wx/tokenzr.h>

#include <qelkit/dir.h>

#include "testing.h"

namespace {

using PathSet = std::set<std::string>;

std::string Show(const PathSet& paths)
{
    std::string text;
    for (const auto& path : paths) text += path + "\n";
    return text;
}

// Records what the hooks are given; a hook may run extra code per call.
class RecordingDir : public QelDir {
public:
    using QelDir::QelDir;

    void OnDir(const wxString& dir) override
    {
        m_Dirs.insert(dir.utf8_string());
        if (m_OnDir) m_OnDir(dir);
    }
    void OnFile(const wxString& file) override
    {
        m_Files.insert(file.utf8_string());
        ++m_FileCalls;
        if (m_OnFile) m_OnFile(file);
    }

    PathSet m_Dirs;
    PathSet m_Files;
    size_t m_FileCalls = 0;
    std::function<void(const wxString&)> m_OnDir;
    std::function<void(const wxString&)> m_OnFile;
};

// A tree with nested folders, mixed-case names, hidden entries, a link to a
// file, a dangling link, two link loops and two named pipes.
class DirTraversal : public ::testing::Test {
protected:
    void SetUp() override
    {
        int rc = -1;
        qeltest::Run("cd " + qeltest::ShellQuote(Root()) + " && "
            "mkdir -p sub/deeper/deepest Mixed .hid empty && "
            "touch a.txt B.TXT c.log Makefile .f.txt 'with blank.Txt' "
            "  sub/d.txt sub/E.Log sub/deeper/f.TxT sub/deeper/g.c sub/deeper/deepest/h.txt "
            "  Mixed/ReadMe.md .hid/e.txt && "
            "ln -s a.txt link.txt && ln -s missing dangling.txt && "
            "ln -s .. sub/loop && ln -s ../.. sub/deeper/up && "
            "mkfifo pipe.txt sub/pipe.log",
            &rc);
        ASSERT_EQ(rc, 0);
    }

    const wxString& Root() const { return m_Temp.Path(); }

    // The paths that `find -L <root> <tests>` prints.
    PathSet Find(const std::string& tests) const
    {
        const std::string out = qeltest::Run(
            "find -L " + qeltest::ShellQuote(Root()) + " " + tests + " 2>/dev/null");
        PathSet paths;
        wxStringTokenizer tkz(wxString::FromUTF8(out), "\n");
        while (tkz.HasMoreTokens()) paths.insert(tkz.GetNextToken().utf8_string());
        return paths;
    }

    qeltest::TempDir m_Temp;
};

TEST_F(DirTraversal, SeveralPatternsMatchLikeFindIgnoringCase)
{
    const PathSet all = Find("-type f");
    ASSERT_EQ(all.size(), 14u) << Show(all);

    struct Row {
        const char* spec;
        const char* find;
    } rows[] = {
        {"*.txt;*.log", "-type f \\( -iname '*.txt' -o -iname '*.log' \\)"},
        {"*.c;*.md;makefile", "-type f \\( -iname '*.c' -o -iname '*.md' -o -iname makefile \\)"},
        {"*;", "-type f"},
        {";*.C", "-type f -iname '*.c'"},
        {"*.h;;", "-false"},
        {"?.txt;", "-type f -iname '?.txt'"},
        {"*.txt; *.log", "-type f -iname '*.txt'"},  // the blank belongs to the pattern
        {"with *;x", "-type f -iname 'with *'"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.spec);
        RecordingDir dir(Root(), row.spec, wxDIR_DEFAULT);
        // With ";" every regular file is walked and counted.
        EXPECT_EQ(dir.FindFiles(), all.size());
        const PathSet want = Find(row.find);
        EXPECT_EQ(Show(dir.m_Files), Show(want));
        EXPECT_EQ(dir.m_FileCalls, want.size());
    }
}

TEST_F(DirTraversal, OnePatternFiltersWithCaseFirst)
{
    struct Row {
        const char* spec;
        const char* find;
    } rows[] = {
        {"*.txt", "-type f -name '*.txt'"},
        {"*.TXT", "-type f -name '*.TXT'"},
        {"*", "-type f"},
        {"Makefile", "-type f -name Makefile"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.spec);
        RecordingDir dir(Root(), row.spec, wxDIR_DEFAULT);
        const PathSet want = Find(row.find);
        EXPECT_EQ(dir.FindFiles(), want.size());
        EXPECT_EQ(Show(dir.m_Files), Show(want));
    }
}

TEST_F(DirTraversal, EmptySpecWalksButMatchesNothing)
{
    RecordingDir dir(Root(), "", wxDIR_DEFAULT);
    EXPECT_EQ(dir.FindFiles(), Find("-type f").size());
    EXPECT_TRUE(dir.m_Files.empty());
}

TEST_F(DirTraversal, FoldersOnceEachLoopsEnd)
{
    RecordingDir dir(Root(), "*", wxDIR_DEFAULT);
    dir.FindFiles();
    EXPECT_EQ(Show(dir.m_Dirs), Show(Find("-mindepth 1 -type d")));
}

TEST_F(DirTraversal, HiddenEntriesOnlyWhenAsked)
{
    RecordingDir dir(Root(), "*.txt;*.log", wxDIR_FILES | wxDIR_DIRS);
    EXPECT_EQ(dir.FindFiles(), Find("-type f -not -path '*/.*'").size());
    EXPECT_EQ(Show(dir.m_Files),
              Show(Find("-type f -not -path '*/.*' \\( -iname '*.txt' -o -iname '*.log' \\)")));
    EXPECT_EQ(Show(dir.m_Dirs), Show(Find("-mindepth 1 -type d -not -path '*/.*'")));
}

TEST_F(DirTraversal, WithoutDirsOnlyTheTopFolder)
{
    RecordingDir dir(Root(), "*", wxDIR_FILES | wxDIR_HIDDEN);
    const PathSet want = Find("-maxdepth 1 -type f");
    EXPECT_EQ(dir.FindFiles(), want.size());
    EXPECT_EQ(Show(dir.m_Files), Show(want));
    EXPECT_TRUE(dir.m_Dirs.empty());
}

TEST_F(DirTraversal, DirsWithoutFilesVisitsFoldersOnly)
{
    RecordingDir dir(Root(), "*", wxDIR_DIRS | wxDIR_HIDDEN);
    EXPECT_EQ(dir.FindFiles(), 0u);
    EXPECT_TRUE(dir.m_Files.empty());
    EXPECT_EQ(Show(dir.m_Dirs), Show(Find("-mindepth 1 -type d")));
}

// A named pipe handed to a hook that reads its files would block for ever.
TEST_F(DirTraversal, HooksCanReadEveryFileTheyGet)
{
    RecordingDir dir(Root(), "*", wxDIR_DEFAULT);
    size_t read = 0;
    dir.m_OnFile = [&read](const wxString& file) {
        wxFFile f(file, "rb");
        wxString text;
        if (f.IsOpened() && f.ReadAll(&text)) ++read;
    };
    dir.FindFiles();
    EXPECT_EQ(read, Find("-type f").size());
    EXPECT_EQ(dir.m_Files.count(m_Temp.File("pipe.txt").utf8_string()), 0u);
}

TEST_F(DirTraversal, NoFollowLeavesLinksAlone)
{
    RecordingDir dir(Root(), "*", wxDIR_DEFAULT | wxDIR_NO_FOLLOW);
    dir.FindFiles();
    PathSet physical;
    const std::string out = qeltest::Run("find " + qeltest::ShellQuote(Root()) + " -type f");
    wxStringTokenizer tkz(wxString::FromUTF8(out), "\n");
    while (tkz.HasMoreTokens()) physical.insert(tkz.GetNextToken().utf8_string());
    EXPECT_EQ(Show(dir.m_Files), Show(physical));
}

TEST_F(DirTraversal, SecondLinkToAFolderIsNotWalkedAgain)
{
    qeltest::Run("ln -s sub/deeper " + qeltest::ShellQuote(m_Temp.File("again")));
    RecordingDir dir(Root(), "g.c", wxDIR_DEFAULT);
    EXPECT_EQ(dir.FindFiles(), 1u);
    ASSERT_EQ(dir.m_Files.size(), 1u);
    // find lists it under both names; the walk takes whichever comes first.
    const PathSet both = Find("-type f -name g.c");
    EXPECT_EQ(both.size(), 2u);
    EXPECT_EQ(both.count(*dir.m_Files.begin()), 1u);
}

TEST_F(DirTraversal, TrailingSeparatorGivesCleanPaths)
{
    RecordingDir dir(Root() + "/", "h.txt", wxDIR_DEFAULT);
    EXPECT_EQ(dir.FindFiles(), 1u);
    EXPECT_EQ(Show(dir.m_Files), m_Temp.File("sub/deeper/deepest/h.txt").utf8_string() + "\n");
}

TEST_F(DirTraversal, CancelStopsAtTheNextEntry)
{
    RecordingDir dir(Root(), "*", wxDIR_DEFAULT);
    dir.m_OnFile = [&dir](const wxString&) {
        if (dir.m_FileCalls == 2) QelDir::Cancel();
    };
    EXPECT_EQ(dir.FindFiles(), 2u);
    EXPECT_EQ(dir.m_FileCalls, 2u);
    EXPECT_TRUE(QelDir::Cancelled());
    EXPECT_FALSE(QelDir::GetIsBusy());

    // The next walk clears the flag and runs in full.
    RecordingDir again(Root(), "*", wxDIR_DEFAULT);
    EXPECT_EQ(again.FindFiles(), Find("-type f").size());
    EXPECT_FALSE(QelDir::Cancelled());
}

TEST_F(DirTraversal, CancelFromOnDirStopsEveryLevel)
{
    RecordingDir dir(Root(), "*", wxDIR_DEFAULT);
    dir.m_OnDir = [](const wxString& path) {
        if (path.EndsWith("/deeper")) QelDir::Cancel();
    };
    dir.FindFiles();
    for (const auto& file : dir.m_Files)
        EXPECT_EQ(file.find("/deeper/"), std::string::npos) << file;
    EXPECT_EQ(dir.m_Dirs.count(m_Temp.File("sub/deeper/deepest").utf8_string()), 0u);
}

TEST_F(DirTraversal, OneWalkAtATime)
{
    RecordingDir dir(Root(), "*", wxDIR_DEFAULT);
    size_t nested = 99;
    bool busyInside = false;
    dir.m_OnFile = [&](const wxString&) {
        if (dir.m_FileCalls != 1) return;
        busyInside = QelDir::GetIsBusy();
        RecordingDir other(Root(), "*", wxDIR_DEFAULT);
        nested = other.FindFiles();
        EXPECT_TRUE(other.m_Files.empty());
    };
    EXPECT_FALSE(QelDir::GetIsBusy());
    EXPECT_EQ(dir.FindFiles(), Find("-type f").size());
    EXPECT_TRUE(busyInside);
    EXPECT_EQ(nested, 0u);
    EXPECT_FALSE(QelDir::GetIsBusy());
}

TEST_F(DirTraversal, CancelWhileIdleIsForgotten)
{
    QelDir::Cancel();
    RecordingDir dir(Root(), "*", wxDIR_DEFAULT);
    EXPECT_EQ(dir.FindFiles(), Find("-type f").size());
}

TEST_F(DirTraversal, FolderThatCannotBeOpenedIsReported)
{
    struct Row {
        const char* name;
        wxString path;
    } rows[] = {
        {"Missing", m_Temp.File("no/such/folder")},
        {"AFile", m_Temp.File("a.txt")},
        {"Empty", ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        qeltest::LogCapture log;
        RecordingDir dir(row.path, "*", wxDIR_DEFAULT);
        EXPECT_FALSE(dir.IsOpened());
        EXPECT_EQ(dir.FindFiles(), 0u);
        EXPECT_TRUE(dir.m_Files.empty());
        EXPECT_EQ(log.CountLevel(wxLOG_Error), 1u) << log.Dump();
        EXPECT_EQ(log.Count("Cannot open folder '" + row.path + "'"), 1u) << log.Dump();
        EXPECT_FALSE(QelDir::GetIsBusy());
    }
}

TEST_F(DirTraversal, VanishedSubfolderIsReportedAndSkipped)
{
    qeltest::LogCapture log;
    RecordingDir dir(Root(), "*", wxDIR_DEFAULT);
    const wxString gone = m_Temp.File("Mixed");
    dir.m_OnDir = [&gone](const wxString& path) {
        if (path == gone) qeltest::Run("rm -r " + qeltest::ShellQuote(gone));
    };
    const size_t count = dir.FindFiles();
    EXPECT_EQ(count, Find("-type f").size());  // the rest is walked in full
    EXPECT_EQ(log.Count("Cannot open folder '" + gone + "'"), 1u) << log.Dump();
}

// Pending events are processed during a long walk, not only after it.
TEST_F(DirTraversal, YieldsToPendingEvents)
{
    ASSERT_NE(wxTheApp, nullptr);
    bool handled = false;
    wxTheApp->CallAfter([&handled] { handled = true; });

    RecordingDir dir(Root(), "*", wxDIR_DEFAULT);
    bool seenDuringWalk = false;
    dir.m_OnFile = [&](const wxString&) {
        // A slow hook: the walk must yield between two of its calls.
        seenDuringWalk = seenDuringWalk || handled;
        wxStopWatch watch;
        while (!handled && watch.Time() < 100) {}
    };
    dir.FindFiles();
    EXPECT_TRUE(seenDuringWalk);
}

TEST(MatchesOneOf, IgnoresCaseAndSplitsAtSemicolons)
{
    struct Row {
        const char* name;
        const char* pattern;
        bool want;
    } rows[] = {
        {"Main.CPP", "*.cpp;*.h", true},
        {"main.h", "*.cpp;*.h", true},
        {"main.hpp", "*.cpp;*.h", false},
        {"a.c", ";*.c", true},
        {"a.c", "*.h;;", false},
        {"x", "", false},
        {"x", "*", true},
        {".bashrc", "*rc", true},
        {"a.log", "*.txt; *.log", false},
        {"Makefile", "makefile", true},
        {"ab", "a?", true},
        {"abc", "a?", false},
        {"/some/dir/readme", "*.md;README", true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.name) + " / " + row.pattern);
        EXPECT_EQ(QelMatchesOneOf(wxFileName(row.name), row.pattern), row.want);
    }
}

} // namespace
