// The dialogs of processes and version-control requests, answered through
// the toolkit's test hooks: what they ask, and what OK and Cancel lead to.
#include <gtest/gtest.h>
#include <wx/config.h>
#include <wx/frame.h>
#include <wx/testing.h>

#include <qelkit/configdialog.h>
#include <qelkit/vcs.h>

#include "testing.h"

using qeltest::ShellQuote;

namespace {

// Answers a settings dialog after checking its title and its items.
qeltest::ExpectAnswer<QelConfigDialog> ExpectConfig(const wxString& title,
                                                    std::vector<wxString> labels, int answer)
{
    return qeltest::ExpectAnswer<QelConfigDialog>(
        [=](QelConfigDialog* dlg) {
            EXPECT_EQ(dlg->GetTitle(), title);
            std::vector<wxString> shown;
            for (const auto& item : dlg->GetConfigItems()) shown.push_back(item.GetLabel());
            EXPECT_EQ(shown, labels);
        },
        answer);
}

class VcsDialogTest : public qeltest::EditorTest {
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        qeltest::Run("mkdir -p " + ShellQuote(m_Root) + " && cd " + ShellQuote(m_Root)
                     + " && git init -q && printf 'a\\n' > f.c && git add f.c"
                       " && git -c user.name=T -c user.email=t@q.example commit -q -m one");
        QelVCS vcs{wxFileName(QEL_SOURCE_DIR "/data/vcs.xml")};
        ASSERT_TRUE(QelVCS::Read());
        Cfg()->Write("git", "git");
    }
    static wxConfigBase* Cfg() { return wxConfigBase::Get(); }

    static int IdOf(const wxString& run)
    {
        for (const auto& command : QelVCS::GetEntries().at("git").GetCommands())
            if (command.GetCommand(true, false) == run)
                return ID_EDIT_VCS_LOWEST + 1 + command.GetNo();
        return -1;
    }

    const wxString m_Root = m_Temp.File("w"), m_File = m_Root + "/f.c";
};

} // namespace

TEST_F(VcsDialogTest, RequestAsksRunsAndKeepsTheFlagsOfItsCommand)
{
    const int id = IdOf("log");
    const wxString key = wxString::Format("vcsflags/git%d", id - ID_EDIT_VCS_LOWEST - 1);
    Cfg()->Write(key, "--format=%s");
    QelVCS request(wxArrayString(1, &m_File), id);
    int result = 0;
    wxTEST_DIALOG(result = request.Request(m_Frame),
                  ExpectConfig("git log " + m_File, {"Flags"}, wxID_OK));
    EXPECT_EQ(result, wxID_OK);
    EXPECT_EQ(request.GetEntry().GetOutput(), "one");
    EXPECT_EQ(Cfg()->Read("Flags", ""), "--format=%s");

    // A cancelled commit runs nothing.
    QelVCS commit(wxArrayString(1, &m_File), IdOf("commit"));
    wxTEST_DIALOG(result = commit.Request(m_Frame),
                  ExpectConfig("git commit " + m_File, {"Revision comment", "Flags"}, wxID_CANCEL));
    EXPECT_EQ(result, wxID_CANCEL);
    EXPECT_EQ(qeltest::Run("git -C " + ShellQuote(m_Root) + " rev-list --count HEAD"), "1\n");
}

TEST_F(VcsDialogTest, BaseFolderIsAskedForWhenUnknown)
{
    QelVCS vcs;
    wxTEST_DIALOG(EXPECT_FALSE(vcs.GetDir(m_Frame)),
                  ExpectConfig("Select VCS Folder", {"Base folder"}, wxID_CANCEL));
    Cfg()->Write("Base folder", m_Root + "\x0b");
    EXPECT_TRUE(vcs.GetDir(m_Frame)); // known and under git: no dialog
    EXPECT_EQ(vcs.GetEntry().GetName(), "git");

    QelVCS add(wxArrayString(), IdOf("add"));
    wxTEST_DIALOG(add.ShowDialog(m_Frame),
                  ExpectConfig("git add", {"Base folder", "Path", "Flags"}, wxID_CANCEL));

    Cfg()->Write("VCS", 0L);
    EXPECT_FALSE(vcs.GetDir(m_Frame));
}

TEST_F(VcsDialogTest, SettingsDialogListsTheSystems)
{
    int result = 0;
    wxTEST_DIALOG(
        result = QelVCS::ConfigDialog(m_Frame, "Options"),
        ExpectConfig("Options", {"VCS", "CVS", "bzr", "git", "mercurial", "svn"}, wxID_OK));
    EXPECT_EQ(result, wxID_OK);
    QelVCS::Clear();
    EXPECT_EQ(QelVCS::ConfigDialog(m_Frame, "Options"), wxID_CANCEL);
}

TEST_F(VcsDialogTest, ProcessWithoutCommandAsksForOne)
{
    QelProcess process;
    long result = 0;
    wxTEST_DIALOG(result = process.Execute(""),
                  ExpectConfig("Select Process", {"Process", "Process folder"}, wxID_CANCEL));
    EXPECT_EQ(result, -1);
    EXPECT_FALSE(process.IsRunning());

    Cfg()->Write("Process", "echo chosen\x0b");
    wxTEST_DIALOG(result = process.Execute("", wxEXEC_SYNC),
                  ExpectConfig("Select Process", {"Process", "Process folder"}, wxID_OK));
    EXPECT_EQ(result, 0);
    EXPECT_EQ(process.GetOutput(), "chosen");
}
