// Version-control requests: finding the system of a file by its
// administrative folder, choosing the command of a menu identifier, the
// arguments of a run, and git run on a repository made here, each result
// compared with what git itself prints.
#include <string>

#include <gtest/gtest.h>
#include <wx/config.h>
#include <wx/filename.h>

#include <qelkit/vcs.h>

#include "testing.h"

using qeltest::LogCapture;
using qeltest::ShellQuote;

namespace {

const wxString SHIPPED = QEL_SOURCE_DIR "/data/vcs.xml";

wxArrayString Files(std::initializer_list<wxString> files)
{
    wxArrayString array;
    for (const auto& file : files) array.push_back(file);
    return array;
}

std::string Show(const wxArrayString& args)
{
    std::string text;
    for (const auto& arg : args) text += "[" + arg.ToStdString() + "]";
    return text;
}

class VcsRequestTest : public qeltest::ConfigTest {
protected:
    void SetUp() override
    {
        ConfigTest::SetUp();
        QelVCS vcs{wxFileName(SHIPPED)};
        ASSERT_TRUE(QelVCS::Read());
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

    // Makes the folder and an empty file in it.
    wxString Touch(const wxString& relative)
    {
        const wxString path = m_Temp.File(relative);
        wxFileName::Mkdir(wxFileName(path).GetPath(), wxS_DIR_DEFAULT, wxPATH_MKDIR_FULL);
        qeltest::WriteBytes(path, "");
        return path;
    }
};

// A repository with fixed authors and dates: two commits, then a change.
class GitTest : public VcsRequestTest {
protected:
    void SetUp() override
    {
        VcsRequestTest::SetUp();
        m_Root = m_Temp.File("w");
        wxConfigBase::Get()->Write("git", "git");
        Git("init -q -b main . && git config user.name Tester && git config user.email t@q.example"
            " && mkdir -p a/b && printf 'int a;\\nint b;\\n' > a/b/f.c && printf 'x\\n' > 'a b.c'"
            " && git add -A && git commit -q -m first"
            " && printf 'int a;\\nint c;\\n' > a/b/f.c && git commit -q -a -m 'second change'"
            " && printf 'int a;\\nint d;\\n' > a/b/f.c");
    }

    std::string Git(const wxString& command, int* status = nullptr)
    {
        wxFileName::Mkdir(m_Root, wxS_DIR_DEFAULT, wxPATH_MKDIR_FULL);
        const wxString env = "GIT_AUTHOR_DATE=2020-01-02T03:04:05Z "
                             "GIT_COMMITTER_DATE=2020-01-02T03:04:05Z ";
        return qeltest::Run("cd " + ShellQuote(m_Root) + " && export " + env + " && git " + command,
                            status);
    }

    // What git prints, as the runner keeps it: without the last line end.
    static wxString Printed(std::string text)
    {
        if (!text.empty() && text.back() == '\n') text.pop_back();
        return wxString::FromUTF8(text);
    }

    wxString m_Root;
};

} // namespace

TEST_F(VcsRequestTest, AdministrativeFolders)
{
    for (const char* folder : {"w/.git", "w/a/b", "s/.svn", "s/sub", "c/CVS", "h/.hg", "h/x",
                               "z/.bzr", "t/.git/objects"})
        wxFileName::Mkdir(m_Temp.File(folder), wxS_DIR_DEFAULT, wxPATH_MKDIR_FULL);
    Touch("w/a/b/f.c");
    Touch("w/config");
    Touch("w/.git/config");
    Touch("s/sub/x.c");
    Touch("c/x.c");
    Touch("h/x/y.c");
    Touch("z/k.c");
    Touch("linked/x.c");
    qeltest::WriteBytes(m_Temp.File("linked/.git"), "gitdir: ../t/.git\n");
    Touch("plain/x.c");
    struct Row {
        const char* name;
        const char* system;
        const char* path;
        bool beside; // CheckPath
        bool above;  // CheckPathAll
        const char* root;
        const char* relative;
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
        {"Bazaar", "bzr", "z/k.c", true, true, "z", "k.c"},
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
}

TEST_F(VcsRequestTest, SystemOfAFileFollowsTheSetting)
{
    wxFileName::Mkdir(m_Temp.File("s/.svn"), wxS_DIR_DEFAULT, wxPATH_MKDIR_FULL);
    wxFileName::Mkdir(m_Temp.File("c/CVS"), wxS_DIR_DEFAULT, wxPATH_MKDIR_FULL);
    const wxString svnFile = Touch("s/deep/er/x.c");
    const wxString cvsFile = Touch("c/x.c");
    const wxString plain = Touch("p/x.c");
    struct Row {
        const char* name;
        long setting;
        wxString file;
        const char* system;
    };
    const Row rows[] = {
        {"AutoSvn", 1, svnFile, "svn"},
        {"AutoCvs", 1, cvsFile, "CVS"},
        {"AutoNone", 1, plain, ""},
        {"ChosenForEveryFile", 3, plain, "svn"},
        {"ChosenOverTheFolder", 2, svnFile, "git"},
        {"NoSuchNumber", 42, svnFile, ""},
        {"Off", 0, svnFile, ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        wxConfigBase::Get()->Write("VCS", row.setting);
        const QelVCS request(Files({row.file}), -1);
        EXPECT_EQ(request.GetEntry().GetName(), row.system);
        EXPECT_EQ(request.Use(), row.setting != 0);
        EXPECT_EQ(QelVCS::DirExists(wxFileName(row.file)), row.setting == 1 && *row.system != 0);
    }
}

TEST_F(VcsRequestTest, MenuIdentifiersChooseTheCommand)
{
    QelVCSEntry git = Entry("git");
    struct Row {
        int id;
        int no;
    };
    const Row rows[] = {
        {ID_VCS_LOWEST + 1, 0},        {ID_EDIT_VCS_LOWEST + 1, 0},
        {ID_EDIT_VCS_LOWEST + 14, 13}, {-1, 13},
        {ID_EDIT_VCS_HIGHEST, 13},     {ID_VCS_LOWEST + 3, 2},
        {ID_EDIT_VCS_LOWEST + 24, 0},  {ID_VCS_HIGHEST - 1, 0},
    };
    ASSERT_GT(git.GetCommands().size(), 14u);
    ASSERT_LT(git.GetCommands().size(), 24u);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.id);
        git.SetCommand(row.id);
        EXPECT_EQ(git.GetCommand().GetNo(), row.no);
    }
}

TEST_F(VcsRequestTest, ArgumentsAreNeverJoined)
{
    struct Row {
        const char* name;
        const char* system;
        const char* run;
        const char* flags;
        wxArrayString files;
        std::string want;
    };
    wxConfigBase* config = wxConfigBase::Get();
    config->Write("Revision comment", "x\" --amend -m \"y\x0bolder\x0b");
    config->Write("Prefix flags", "-d '/cvs root'");
    config->Write("Subcommand", "remote");
    const Row rows[] = {
        {"FlagsEndingInColonTakeTheFile", "svn", "log", "-r:", Files({"/p/f.c"}),
         "[log][-r:/p/f.c]"},
        {"HelpFlagsDropTheFiles", "svn", "log", "--help", Files({"/p/f.c"}), "[log][--help]"},
        {"HelpCommand", "git", "help", "ignored", Files({"/p/f.c"}), "[help][remote]"},
        {"CommentIsOneArgument", "git", "commit", "-q", Files({"a b.c", "c\\d"}),
         "[commit][-q][-m][x\" --amend -m \"y][a b.c][c\\d]"},
        {"PrefixFlags", "CVS", "update", "-C", Files({"/c/x.c"}),
         "[-d][/cvs root][update][-C][/c/x.c]"},
        {"SubcommandKeptApartFromItsLabel", "git", "branch --list", "", Files({}),
         "[branch][--list][remote]"},
        {"FlagsSplitLikeAShell", "git", "log", "--format='%s %an'", Files({"f"}),
         "[log][--format=%s %an][f]"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        QelVCSEntry entry = Entry(row.system);
        entry.SetCommand(IdOf(row.system, row.run));
        config->Write("Flags", row.flags);
        EXPECT_EQ(Show(entry.GetArgv(row.files)), row.want);
    }
}

TEST_F(GitTest, ResultsMatchWhatGitPrints)
{
    const wxString f = m_Root + "/a/b/f.c";
    const wxString blank = m_Root + "/a b.c";
    struct Row {
        const char* name;
        const char* run;
        const char* flags;
        wxArrayString files;
        const char* git;  // the same in the repository's root
        const char* base; // "Base folder" for a request without files
    };
    const Row rows[] = {
        {"Status", "status", "--short", Files({f}), "status --short a/b/f.c", ""},
        {"Diff", "diff", "", Files({f}), "diff a/b/f.c", ""},
        {"Log", "log", "--format=%s", Files({f}), "log --format=%s a/b/f.c", ""},
        {"LogOfTwoFilesOneWithABlank", "log", "'--format=%an %ad %s'", Files({blank, f}),
         "log '--format=%an %ad %s' 'a b.c' a/b/f.c", ""},
        {"Blame", "blame", "", Files({blank}), "blame 'a b.c'", ""},
        {"Show", "show", "--stat", Files({f}), "show --stat a/b/f.c", ""},
        {"StatusOfTheBaseFolder", "status", "", Files({}), "status", "a"},
        {"StatusOfTheRootFolder", "status", "--short", Files({m_Root}), "status --short", ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        wxConfigBase::Get()->Write("Flags", row.flags);
        wxConfigBase::Get()->Write("Base folder",
                                   *row.base ? m_Root + "/" + row.base + "\x0b" : "");
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
}

// Several files, one with a blank, go in one request; a comment that looks
// like options stays one argument.
TEST_F(GitTest, AddAndCommitWithAnAwkwardComment)
{
    qeltest::WriteBytes(m_Root + "/a b.c", "changed\n");
    qeltest::WriteBytes(m_Root + "/a/c.c", "new\n");
    wxConfigBase::Get()->Write("Flags", "");
    QelVCS add(Files({m_Root + "/a b.c", m_Root + "/a/c.c"}), IdOf("git", "add"));
    EXPECT_EQ(add.Execute(), 0) << add.GetEntry().GetOutput();
    EXPECT_EQ(Git("diff --cached --name-only"), "a b.c\na/c.c\n");

    const wxString comment = "x\" --allow-empty --amend -m \"y";
    wxConfigBase::Get()->Write("Revision comment", comment + "\x0b");
    const std::string before = Git("rev-list --count HEAD");
    QelVCS commit(Files({m_Root + "/a/b/f.c"}), IdOf("git", "commit"));
    EXPECT_EQ(commit.Execute(), 0) << commit.GetEntry().GetOutput();
    EXPECT_EQ(std::stoi(Git("rev-list --count HEAD")), std::stoi(before) + 1);
    EXPECT_EQ(Printed(Git("log -1 --format=%B")), comment + "\n");
    EXPECT_EQ(Git("show --name-only --format= HEAD"), "a/b/f.c\n");
}

TEST_F(GitTest, AFileOutsideAnyRepository)
{
    qeltest::TempDir outside;
    const wxString file = outside.File("x.c");
    qeltest::WriteBytes(file, "");
    {
        LogCapture log;
        QelVCS request(Files({file}), IdOf("git", "status"));
        EXPECT_FALSE(QelVCS::DirExists(wxFileName(file)));
        EXPECT_EQ(request.Execute(), -1);
        EXPECT_TRUE(log.Has("No version control for " + file)) << log.Dump();
    }
    // With git chosen for every file, git itself says what is wrong.
    wxConfigBase::Get()->Write("VCS", static_cast<long>(Entry("git").GetNo()));
    wxConfigBase::Get()->Write("Flags", "");
    QelVCS request(Files({file}), IdOf("git", "status"));
    int status = -1;
    const wxString want = Printed(
        qeltest::Run("cd " + ShellQuote(outside.Path()) + " && git status x.c 2>&1", &status));
    EXPECT_EQ(request.Execute(), status);
    EXPECT_EQ(request.GetEntry().GetOutput(), want);
}
