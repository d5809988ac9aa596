// Folder traversal on a real tree, compared with find(1).
#include <functional>
#include <set>
#include <string>

#include <gtest/gtest.h>
#include <wx/filename.h>
#include <wx/tokenzr.h>

#include <qelkit/dir.h>

#include "testing.h"

namespace {

// Paths in order, one per line; a path given twice shows twice.
using Paths = std::multiset<std::string>;

std::string Show(const Paths& paths)
{
    std::string text;
    for (const auto& path : paths) text += path + "\n";
    return text;
}

// Records what the hooks are given; a hook may run extra code per call.
class RecordingDir : public QelDir {
public:
    using QelDir::QelDir;
    using Hook = std::function<void(const wxString&)>;
    void OnDir(const wxString& dir) override { Note(m_Dirs, m_OnDir, dir); }
    void OnFile(const wxString& file) override { Note(m_Files, m_OnFile, file); }

    Paths m_Dirs, m_Files;
    Hook m_OnDir, m_OnFile;

private:
    static void Note(Paths& paths, const Hook& hook, const wxString& path)
    {
        paths.insert(path.utf8_string());
        if (hook) hook(path);
    }
};

// A tree with nested folders, mixed-case names, hidden entries, a link to a
// file, a dangling link, two link loops and two named pipes.
class DirTraversal : public ::testing::Test {
protected:
    void SetUp() override
    {
        int rc = -1;
        qeltest::Run("cd " + qeltest::ShellQuote(Root())
                         + " && mkdir -p sub/deeper/deepest Mixed .hid empty && touch a.txt B.TXT"
                           " c.log Makefile .f.txt 'with blank.Txt' sub/d.txt sub/E.Log"
                           " sub/deeper/f.TxT sub/deeper/g.c sub/deeper/deepest/h.txt"
                           " Mixed/ReadMe.md .hid/e.txt && ln -s a.txt link.txt && ln -s missing"
                           " dangling.txt && ln -s .. sub/loop && ln -s ../.. sub/deeper/up &&"
                           " mkfifo pipe.txt sub/pipe.log",
                     &rc);
        ASSERT_EQ(rc, 0);
    }

    const wxString& Root() const { return m_Temp.Path(); }

    // What `find -L <root> <tests>` prints.
    Paths Find(const std::string& tests) const
    {
        const std::string out
            = qeltest::Run("find -L " + qeltest::ShellQuote(Root()) + " " + tests + " 2>/dev/null");
        Paths paths;
        for (const wxString& line : wxStringTokenize(wxString::FromUTF8(out), "\n"))
            paths.insert(line.utf8_string());
        return paths;
    }

    qeltest::TempDir m_Temp;
};

// OnFile gets each regular file once that matches one of the ";"-separated
// patterns ignoring case, OnDir every folder once (loops end), and the count
// is of the toolkit's own filter: the wildcard with one pattern (case first), all
// files with ";".
TEST_F(DirTraversal, AgreesWithFind)
{
    const std::string all = "-type f", dirs = "-mindepth 1 -type d", visible = " -not -path '*/.*'";
    struct Row {
        const char* patterns;
        int flags;
        std::string files;
        std::string count = ""; // find's tests for the count, the folders; empty: all of them
        std::string dirs = "";
    };
    const int def = wxDIR_DEFAULT;
    const Row rows[] = {
        {"*.txt;*.log", def, "-type f \\( -iname '*.txt' -o -iname '*.log' \\)"},
        {";*.C", def, "-type f -iname '*.c'"},
        {"*.h;;", def, "-false"},
        {"*.txt; *.log", def, "-type f -iname '*.txt'"}, // the blank is the pattern's
        {"*.TXT", def, "-type f -name '*.TXT'", "-type f -name '*.TXT'"},
        {"", def, "-false"},
        {"*.txt;*.log", wxDIR_FILES | wxDIR_DIRS,
         "-type f" + visible + " \\( -iname '*.txt' -o -iname '*.log' \\)", all + visible,
         dirs + visible},
        {"*", wxDIR_DIRS | wxDIR_HIDDEN, "-false", "-false"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(wxString::Format("'%s' flags %d", row.patterns, row.flags).utf8_string());
        RecordingDir dir(Root(), row.patterns, row.flags);
        EXPECT_EQ(dir.FindFiles(), Find(row.count.empty() ? all : row.count).size());
        EXPECT_EQ(Show(dir.m_Files), Show(Find(row.files)));
        EXPECT_EQ(Show(dir.m_Dirs), Show(Find(row.dirs.empty() ? dirs : row.dirs)));
    }
}

TEST_F(DirTraversal, AFolderReachedTwiceIsWalkedOnceWithCleanPaths)
{
    qeltest::Run("ln -s sub/deeper " + qeltest::ShellQuote(m_Temp.File("again")));
    RecordingDir dir(Root() + "/", "g.c", wxDIR_DEFAULT);
    EXPECT_EQ(dir.FindFiles(), 1u);
    ASSERT_EQ(dir.m_Files.size(), 1u);
    // find lists it under both names; the walk takes either, without "//".
    const Paths both = Find("-type f -name g.c");
    EXPECT_EQ(both.size(), 2u);
    EXPECT_EQ(both.count(*dir.m_Files.begin()), 1u) << Show(dir.m_Files);
}

TEST_F(DirTraversal, CancelStopsEveryLevelAndOneWalkRunsAtATime)
{
    RecordingDir dir(Root(), "*", wxDIR_DEFAULT);
    size_t nested = 99;
    dir.m_OnFile = [&](const wxString&) {
        if (dir.m_Files.size() == 1) nested = RecordingDir(Root(), "*", wxDIR_DEFAULT).FindFiles();
        if (dir.m_Files.size() == 2) QelDir::Cancel();
    };
    EXPECT_EQ(dir.FindFiles(), 2u);
    EXPECT_EQ(nested, 0u);
    EXPECT_TRUE(QelDir::Cancelled());
    EXPECT_FALSE(QelDir::GetIsBusy());

    // From OnDir: nothing below that folder, nor after it.
    RecordingDir fromDir(Root(), "*", wxDIR_DEFAULT);
    fromDir.m_OnDir = [](const wxString& path) {
        if (path.EndsWith("/deeper")) QelDir::Cancel();
    };
    fromDir.FindFiles();
    for (const auto& file : fromDir.m_Files)
        EXPECT_EQ(file.find("/deeper/"), std::string::npos) << file;

    // A cancel while no walk runs is forgotten by the next one.
    QelDir::Cancel();
    EXPECT_EQ(RecordingDir(Root(), "*", wxDIR_DEFAULT).FindFiles(), Find("-type f").size());
    EXPECT_FALSE(QelDir::Cancelled());
}

// A folder that cannot be opened is reported once; one gone during the walk
// too, and the rest is walked in full.
TEST_F(DirTraversal, FolderThatCannotBeOpenedIsReported)
{
    const wxString gone = m_Temp.File("Mixed");
    for (const wxString& path :
         {m_Temp.File("no/such/folder"), m_Temp.File("a.txt"), wxString(), Root()}) {
        SCOPED_TRACE(path);
        qeltest::LogCapture log;
        RecordingDir dir(path, "*", wxDIR_DEFAULT);
        dir.m_OnDir = [&gone](const wxString& folder) {
            if (folder == gone) qeltest::Run("rm -r " + qeltest::ShellQuote(gone));
        };
        const size_t count = dir.FindFiles(); // before find, which must not see "Mixed"
        EXPECT_EQ(count, path == Root() ? Find("-type f").size() : 0u);
        EXPECT_EQ(log.CountLevel(wxLOG_Error), 1u) << log.Dump();
        EXPECT_EQ(log.Count("Cannot open folder '" + (path == Root() ? gone : path) + "': "), 1u)
            << log.Dump();
    }
}

// The name is matched, not the folder it is in.
TEST(MatchesOneOf, MatchesTheNameOnly)
{
    EXPECT_TRUE(QelMatchesOneOf(wxFileName("/some/dir/readme"), "*.md;README"));
    EXPECT_FALSE(QelMatchesOneOf(wxFileName("/some/readme/x"), "readme;*/readme*"));
}

} // namespace
