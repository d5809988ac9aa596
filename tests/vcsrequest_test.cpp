// Version-control requests: finding the system of a file by its
// administrative folder, choosing the command of a menu identifier, the
// arguments of a run, and git run on a repository made here, each result
// compared with what git itself prints.
#include <string>

#include <gtest/gtest.h>
#include <wx/config.h>
#include <wx/filename.h>

#include <qelkit/filename.h>
#include <qelkit/vcs.h>

#include "testing.h"

using qeltest::ShellQuote;

namespace {

wxArrayString Files(std::initializer_list<wxString> files)
{
    return wxArrayString(files.begin(), files.end());
}

// What git prints, as the runner keeps it: without the last line end.
wxString Printed(std::string text)
{
    if (!text.empty() && text.back() == '\n') text.pop_back();
    return wxString::FromUTF8(text);
}

class VcsRequestTest : public qeltest::ConfigTest {
protected:
    void SetUp() override
    {
        ConfigTest::SetUp();
        QelVCS vcs{wxFileName(QEL_SOURCE_DIR "/data/vcs.xml")};
        ASSERT_TRUE(QelVCS::Read());
        wxConfigBase::Get()->Write("git", "git");
    }

    static const QelVCSEntry& Entry(const wxString& name) { return QelVCS::GetEntries().at(name); }

    // The per-document menu identifier of a command of a system.
    static int IdOf(const wxString& system, const wxString& run)
    {
        for (const auto& command : Entry(system).GetCommands())
            if (command.GetCommand(true, false) == run)
                return ID_EDIT_VCS_LOWEST + 1 + command.GetNo();
        ADD_FAILURE() << "no command " << run;
        return -1;
    }

    // Runs a shell command in the test's folder.
    std::string Sh(const wxString& command, int* status = nullptr)
    {
        return qeltest::Run("cd " + ShellQuote(m_Temp.Path()) + " && " + command, status);
    }
    std::string Git(const wxString& command, int* status = nullptr)
    {
        return Sh("cd w && git " + command, status);
    }

    // A repository in "w" with two commits, then changes; two files have
    // names that read as options, one a name that is not UTF-8.
    void MakeRepository()
    {
        Sh("mkdir -p w/a/b && cd w && git init -q -b main . && git config user.name Tester"
           " && git config user.email t@q.example && printf 'int a;\\nint b;\\n' > a/b/f.c"
           " && printf 'x\\n' > 'a b.c' && echo o > ./--output=victim.txt && echo d > ./--"
           " && echo n > \"$(printf 'n\\377.c')\""
           " && git add -A && git commit -q -m first"
           " && printf 'int a;\\nint c;\\n' > a/b/f.c && git commit -q -a -m 'second change'"
           " && printf 'int a;\\nint d;\\n' > a/b/f.c && echo p >> ./--output=victim.txt"
           " && echo m >> \"$(printf 'n\\377.c')\"");
    }

    void TearDown() override
    {
        wxConvFileName = m_NameConversion;
        ConfigTest::TearDown();
    }

    // The file "n\xff.c" of the repository, named as the program names it:
    // its byte that is not UTF-8 carried by a character of a private-use plane.
    wxString NotUTF8()
    {
        EXPECT_TRUE(QelUseFileNameBytes());
        return m_Root + "/" + wxString("n\xff.c", *wxConvFileName);
    }

    const wxString m_Root = m_Temp.File("w");
    wxMBConv* const m_NameConversion = wxConvFileName;
};

} // namespace

TEST_F(VcsRequestTest, FolderAndSettingChooseTheSystem)
{
    Sh("mkdir -p w/.git w/a/b s/.svn s/sub c/CVS h/.hg h/x t/.git/objects linked plain"
       " && touch w/a/b/f.c w/config w/.git/config s/sub/x.c c/x.c h/x/y.c linked/x.c"
       " plain/x.c && echo 'gitdir: ../t/.git' > linked/.git");
    struct Row {
        const char *name, *system, *path;
        bool beside, above; // CheckPath, CheckPathAll
        const char *root, *relative;
    };
    const Row rows[] = {
        {"GitFileBelowTheRoot", "git", "w/a/b/f.c", false, true, "w", "a/b/f.c"},
        {"GitFileAtTheRootNamedLikeAnAdminFile", "git", "w/config", true, true, "w", "config"},
        {"InsideTheAdminFolder", "git", "w/.git/config", false, false, "", ""},
        {"TheRootFolderItself", "git", "w", true, true, "w", ""},
        {"AFolderBelow", "git", "w/a", false, true, "w", "a"},
        {"LinkedWorkTree", "git", "linked/x.c", true, true, "linked", "x.c"},
        {"SvnAtTheTopOnly", "svn", "s/sub/x.c", false, true, "s", "sub/x.c"},
        {"CvsBeside", "CVS", "c/x.c", true, false, "", ""},
        {"MercurialUsesHg", "mercurial", "h/x/y.c", false, true, "h", "x/y.c"},
        {"NoSystem", "git", "plain/x.c", false, false, "", ""},
        {"NoName", "", "w/a/b/f.c", false, false, "", ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const wxFileName fn(m_Temp.File(row.path));
        EXPECT_EQ(QelVCS::CheckPath(row.system, fn), row.beside);
        EXPECT_EQ(QelVCS::CheckPathAll(row.system, fn), row.above);
        EXPECT_EQ(QelVCS::GetRoot(row.system, fn), *row.root ? m_Temp.File(row.root) : "");
        EXPECT_EQ(QelVCS::GetRelativeFile(row.system, fn), row.relative);
    }
    // The "VCS" setting: 1 finds the system by the folder, others choose one.
    const struct {
        long setting;
        const char *file, *system;
    } settings[] = {{1, "s/sub/x.c", "svn"}, {1, "c/x.c", "CVS"},     {1, "plain/x.c", ""},
                    {3, "plain/x.c", "svn"}, {2, "s/sub/x.c", "git"}, {42, "s/sub/x.c", ""},
                    {0, "s/sub/x.c", ""}};
    for (const auto& row : settings) {
        SCOPED_TRACE(row.setting);
        SCOPED_TRACE(row.file);
        wxConfigBase::Get()->Write("VCS", row.setting);
        const wxString file = m_Temp.File(row.file);
        const QelVCS request(Files({file}), -1);
        EXPECT_EQ(request.GetEntry().GetName(), row.system);
        EXPECT_EQ(request.Use(), row.setting != 0);
        EXPECT_EQ(QelVCS::DirExists(wxFileName(file)), row.setting == 1 && *row.system != 0);
    }
}

TEST_F(VcsRequestTest, MenuIdentifiersChooseTheCommand)
{
    QelVCSEntry git = Entry("git");
    ASSERT_TRUE(git.GetCommands().size() > 14u && git.GetCommands().size() < 24u);
    const int rows[][2] = {{ID_VCS_LOWEST + 1, 0},        {ID_EDIT_VCS_LOWEST + 1, 0},
                           {ID_EDIT_VCS_LOWEST + 14, 13}, {-1, 13},
                           {ID_EDIT_VCS_HIGHEST, 13},     {ID_VCS_LOWEST + 3, 2},
                           {ID_EDIT_VCS_LOWEST + 24, 0},  {ID_VCS_HIGHEST - 1, 0}};
    for (const auto& [id, no] : rows) {
        SCOPED_TRACE(id);
        git.SetCommand(id);
        EXPECT_EQ(git.GetCommand().GetNo(), no);
    }
}

TEST_F(VcsRequestTest, ArgumentsAreNeverJoined)
{
    wxConfigBase* config = wxConfigBase::Get();
    config->Write("Prefix flags", "-d '/cvs root'");
    config->Write("Subcommand", "remote");
    // Flags ending in a colon take the file, help flags drop the files, the
    // help command takes the subcommand, prefix flags come first, the
    // subcommand is apart from its label.
    const struct {
        const char *system, *run, *flags;
        wxArrayString files;
        wxString want;
    } rows[] = {
        {"svn", "log", "-r:", Files({"/p/f.c"}), "log|-r:/p/f.c"},
        {"svn", "log", "--help", Files({"/p/f.c"}), "log|--help"},
        {"git", "help", "ignored", Files({"/p/f.c"}), "help|remote"},
        {"CVS", "update", "-C", Files({"/c/x.c"}), "-d|/cvs root|update|-C|/c/x.c"},
        {"git", "branch --list", "", Files({}), "branch|--list|remote"},
        {"git", "log", "--grep='a\\.b' -n\\ 2", Files({}), "log|--grep=a\\.b|-n 2"},
        // Paths are never options: after "--", or from the folder for CVS.
        {"svn", "log", "", Files({"/p/f.c", "-x"}), "log|--|/p/f.c|-x"},
        {"CVS", "add", "", Files({"-x.c"}), "-d|/cvs root|add|./-x.c"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.want);
        QelVCSEntry entry = Entry(row.system);
        entry.SetCommand(IdOf(row.system, row.run));
        config->Write("Flags", row.flags);
        EXPECT_EQ(wxJoin(entry.GetArgv(row.files), '|', 0), row.want);
    }
}

TEST_F(VcsRequestTest, ResultsMatchWhatGitPrints)
{
    MakeRepository();
    const wxString f = m_Root + "/a/b/f.c", blank = m_Root + "/a b.c";
    const struct {
        const char *run, *flags;
        wxArrayString files;
        const char* git; // the same in the root; without files "a" is the base folder
    } rows[] = {
        {"status", "--short", Files({f}), "status --short a/b/f.c"},
        {"log", "'--format=%an %ad %s'", Files({blank, f}),
         "log '--format=%an %ad %s' 'a b.c' a/b/f.c"},
        {"blame", "", Files({blank}), "blame 'a b.c'"},
        {"status", "", Files({}), "status"},
        {"status", "--short", Files({m_Root}), "status --short"},
        // File names are never options: no output file, not the whole tree.
        {"diff", "", Files({m_Root + "/--output=victim.txt"}), "diff -- --output=victim.txt"},
        {"log", "--oneline", Files({m_Root + "/--"}), "log --oneline -- --"},
        // A name that is not UTF-8 reaches git as its bytes.
        {"diff", "", Files({NotUTF8()}), "diff -- \"$(printf 'n\\377.c')\""},
        {"log", "--oneline", Files({NotUTF8()}), "log --oneline -- \"$(printf 'n\\377.c')\""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.git);
        wxConfigBase::Get()->Write("Flags", row.flags);
        wxConfigBase::Get()->Write("Base folder", row.files.empty() ? m_Root + "/a\x0b" : "");
        QelVCS request(row.files, IdOf("git", row.run));
        ASSERT_EQ(request.GetEntry().GetName(), "git");
        int status = -1;
        const wxString want = Printed(Git(row.git, &status));
        EXPECT_NE(want, "");
        EXPECT_EQ(request.Execute(), status);
        EXPECT_FALSE(request.GetEntry().GetError());
        EXPECT_EQ(request.GetEntry().GetOutput(), want);
        EXPECT_EQ(request.GetEntry().GetWorkingDir(), m_Root);
    }
    EXPECT_FALSE(wxFileExists(m_Root + "/victim.txt"));
}

// Several files, one with a blank, one named like an option and one whose
// name is not UTF-8, go in one request, and so does the path typed for a
// request on the base folder; a comment that looks like options stays one
// argument.
TEST_F(VcsRequestTest, AddAndCommitWithAnAwkwardComment)
{
    MakeRepository();
    Sh("printf 'changed\\n' > 'w/a b.c' && printf 'new\\n' > w/a/c.c && echo n > w/-rf");
    QelVCS add(Files({m_Root + "/-rf", m_Root + "/a b.c", m_Root + "/a/c.c", NotUTF8()}),
               IdOf("git", "add"));
    EXPECT_EQ(add.Execute(), 0) << add.GetEntry().GetOutput();
    EXPECT_EQ(Git("diff --cached --name-only"), "-rf\na b.c\na/c.c\n\"n\\377.c\"\n");
    // Without files, the path typed in the dialog, relative to the base folder.
    Sh("printf 'new\\n' > w/a/b/g.c");
    wxConfigBase::Get()->Write("Base folder", m_Root + "/a\x0b");
    wxConfigBase::Get()->Write("Path", "b/g.c\x0b");
    QelVCS addTyped(Files({}), IdOf("git", "add"));
    EXPECT_EQ(addTyped.Execute(), 0) << addTyped.GetEntry().GetOutput();
    EXPECT_EQ(Git("diff --cached --name-only"), "-rf\na b.c\na/b/g.c\na/c.c\n\"n\\377.c\"\n");

    const wxString comment = "x\" --allow-empty --amend -m \"y";
    wxConfigBase::Get()->Write("Revision comment", comment + "\x0b");
    QelVCS commit(Files({m_Root + "/a/b/f.c"}), IdOf("git", "commit"));
    EXPECT_EQ(commit.Execute(), 0) << commit.GetEntry().GetOutput();
    EXPECT_EQ(Git("rev-list --count HEAD"), "3\n");
    EXPECT_EQ(Printed(Git("log -1 --format=%B")), comment + "\n");
    EXPECT_EQ(Git("show --name-only --format= HEAD"), "a/b/f.c\n");
}

TEST_F(VcsRequestTest, AFileOutsideAnyRepository)
{
    qeltest::TempDir outside;
    const wxString file = outside.File("x.c");
    qeltest::WriteBytes(file, "");
    {
        qeltest::LogCapture log;
        QelVCS request(Files({file}), IdOf("git", "status"));
        EXPECT_FALSE(QelVCS::DirExists(wxFileName(file)));
        EXPECT_EQ(request.Execute(), -1);
        EXPECT_TRUE(log.Has("No version control for " + file)) << log.Dump();
    }
    // With git chosen for every file, git itself says what is wrong.
    wxConfigBase::Get()->Write("VCS", static_cast<long>(Entry("git").GetNo()));
    QelVCS request(Files({file}), IdOf("git", "status"));
    int status = -1;
    const wxString want = Printed(
        qeltest::Run("cd " + ShellQuote(outside.Path()) + " && git status x.c 2>&1", &status));
    EXPECT_EQ(request.Execute(), status);
    EXPECT_EQ(request.GetEntry().GetOutput(), want);
}
