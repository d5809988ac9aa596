// The main window's commands and their availability, on the real window,
// hidden, with real files and real dialogs answered by the test.
#include <gtest/gtest.h>
#include <wx/config.h>
#include <wx/testing.h>
#include <wx/textdlg.h>

#include <qelkit/notebook.h>
#include <qelkit/report/listviewfile.h>
#include <qelkit/stc.h>
#include <qelkit/vcs.h>

#include "defs.h"
#include "app_frame_harness.h"

using namespace qeltest;

namespace {

// Ends a save dialog with a path, noting the dialog's style.
ExpectAnswer<wxFileDialog> SavePath(const wxString& path, long* style)
{
    return ExpectAnswer<wxFileDialog>([=](wxFileDialog* dialog) {
        *style = dialog->GetWindowStyle();
        dialog->SetPath(path);
    });
}

// Types an answer into a text question.
ExpectAnswer<wxTextEntryDialog> Text(const wxString& value)
{
    return ExpectAnswer<wxTextEntryDialog>(
        [=](wxTextEntryDialog* dialog) { dialog->SetValue(value); });
}

class CommandsTest : public AppFrameTest {
protected:
    // Runs a menu command through the window's event tables as a menu
    // does; true when a handler took it.
    bool Command(int id, const wxString& text = wxEmptyString)
    {
        wxCommandEvent event(wxEVT_MENU, id);
        event.SetString(text);
        event.SetEventObject(m_Frame);
        return m_Frame->ProcessWindowEvent(event);
    }

    QelSTC* Open(const wxString& name, const std::string& bytes)
    {
        const wxString path = m_Temp.File(name);
        EXPECT_TRUE(WriteBytes(path, bytes));
        EXPECT_TRUE(m_Frame->OpenFile(QelFileName(path)));
        return m_Frame->GetSTC();
    }

    QelNotebook* Editors() { return m_Frame->GetEditors(); }
};

TEST_F(CommandsTest, SaveAsAsksBeforeOverwritingAndRefusesAnOpenTarget)
{
    QelSTC* other = Open("other.txt", "other\n");
    QelSTC* stc = Open("a.txt", "a\n");
    stc->AppendText("b\n");
    const wxString existing = m_Temp.File("existing.txt"), fresh = m_Temp.File("fresh.txt");
    ASSERT_TRUE(WriteBytes(existing, "keep\n"));

    // The dialog itself asks before it overwrites.
    long style = 0;
    wxTEST_DIALOG(Command(wxID_SAVEAS), SavePath(fresh, &style));
    EXPECT_EQ(style & (wxFD_SAVE | wxFD_OVERWRITE_PROMPT), wxFD_SAVE | wxFD_OVERWRITE_PROMPT);
    EXPECT_EQ(ReadBytes(fresh), "a\nb\n");
    EXPECT_EQ(Editors()->GetPageByKey(fresh), stc);

    // A new file was never saved anywhere: Save asks where, as Save As does.
    ASSERT_TRUE(m_Frame->NewFile(false));
    m_Frame->GetSTC()->AppendText("new\n");
    wxTEST_DIALOG(Command(wxID_SAVE), SavePath(m_Temp.File("chosen.txt"), &style));
    EXPECT_EQ(ReadBytes(m_Temp.File("chosen.txt")), "new\n");
    Editors()->SelectPage(fresh);

    // A name carried by the command (vi's write) asks for an existing file.
    const std::pair<int, std::string> rows[] = {{wxID_NO, "keep\n"}, {wxID_YES, "a\nb\n"}};
    for (const auto& [answer, on_disk] : rows) {
        wxTEST_DIALOG(Command(wxID_SAVEAS, existing), wxExpectModal<wxMessageDialog>(answer));
        EXPECT_EQ(ReadBytes(existing), on_disk) << answer;
        EXPECT_EQ(Editors()->GetKeyByPage(stc), answer == wxID_YES ? existing : fresh);
    }

    // A file that another page shows is refused, whichever way it comes.
    const wxString other_path = m_Temp.File("other.txt");
    LogCapture log;
    Command(wxID_SAVEAS, other_path);
    wxTEST_DIALOG(Command(wxID_SAVEAS), SavePath(other_path, &style));
    EXPECT_EQ(log.Count("it is open in another page"), 2u) << log.Dump();
    EXPECT_EQ(ReadBytes(other_path), "other\n");
    EXPECT_EQ(Editors()->GetPageByKey(other_path), other);
    EXPECT_EQ(Editors()->GetKeyByPage(stc), existing);
}

// Ids in the window's ranges without a command of their own reach the
// toolkit's other handlers, with no assertion on the way; the availability
// of a command follows the current editor: a read-only one tells the code
// of one character of two bytes (the rules themselves are in app_rules_test).
TEST_F(CommandsTest, IdsWithoutCommandArePassedOnAndAvailabilityFollowsTheEditor)
{
    QelSTC* stc = Open("a.txt", "\xc3\xa9\n");
    {
        ExpectAsserts asserts;
        for (const int id : {5005, 5012, 5015, int(ID_ALL_LOWEST), int(ID_ALL_CONFIG_GET),
                             int(ID_APP_LOWEST), 6188, 6195, int(ID_VCS_LOWEST)})
            EXPECT_FALSE(Command(id)) << id;
        EXPECT_EQ(asserts.Count(), 0);
    }
    stc->SetReadOnly(true);
    stc->SetSelection(0, 2);
    wxUpdateUIEvent update(ID_EDIT_CONTROL_CHAR);
    update.SetEventObject(m_Frame);
    m_Frame->ProcessWindowEvent(update);
    EXPECT_TRUE(update.GetEnabled());
}

// Close closes the page it is on, also a second view of a file, whose key
// is not the file's.
TEST_F(CommandsTest, CloseTakesItsOwnPage)
{
    QelSTC* stc = Open("a.txt", "a\n");
    // The character table's editor is no page: nothing to close or split.
    m_Frame->ShowPane("ASCIITABLE");
    m_Frame->SetFindFocus(m_Frame->GetAsciiTable());
    ASSERT_EQ(m_Frame->GetSTC(), m_Frame->GetAsciiTable());
    for (const int id : {int(wxID_CLOSE), int(wxID_SAVEAS), int(ID_SPLIT)})
        EXPECT_TRUE(Command(id));
    EXPECT_EQ(Editors()->GetPageCount(), 1u);

    m_Frame->SetFindFocus(stc);
    EXPECT_TRUE(Command(ID_SPLIT));
    ASSERT_EQ(Editors()->GetPageCount(), 2u);
    ASSERT_NE(m_Frame->GetSTC(), stc);
    EXPECT_TRUE(Command(wxID_CLOSE));
    ASSERT_EQ(Editors()->GetPageCount(), 1u);
    EXPECT_EQ(Editors()->GetPage(0), stc);
}

// A side pane opens at a quarter of the window, not as narrow as its empty
// placeholder.
TEST_F(CommandsTest, SidePanesOpenAtAQuarterOfTheWindow)
{
    m_Frame->SetClientSize(800, 600);
    const std::pair<int, const char*> panes[] = {{ID_VIEW_DIRCTRL, "DIRCTRL"},
                                                 {ID_VIEW_HISTORY, "HISTORY"},
                                                 {ID_VIEW_ASCII_TABLE, "ASCIITABLE"}};
    for (const auto& [id, name] : panes) {
        ASSERT_TRUE(Command(id));
        const wxAuiPaneInfo& pane = m_Frame->GetManager().GetPane(name);
        EXPECT_TRUE(pane.IsShown());
        EXPECT_GE(pane.rect.width, 200) << name;
        ASSERT_TRUE(Command(id)); // hidden again: the next has the side to itself
    }
}

// Closing a project with unsaved changes asks first; Cancel keeps it.
TEST_F(CommandsTest, ProjectCloseAsks)
{
    ASSERT_TRUE(WriteBytes(m_Temp.File("item.txt"), "x"));
    ASSERT_TRUE(Command(ID_PROJECT_NEW));
    for (const int answer : {wxID_CANCEL, wxID_NO}) {
        ASSERT_TRUE(m_Frame->GetProject()->ItemFromText(m_Temp.File("item.txt")));
        wxTEST_DIALOG(Command(ID_PROJECT_CLOSE), wxExpectModal<wxMessageDialog>(answer));
        EXPECT_EQ(m_Frame->GetProjects()->GetPageCount(), answer == wxID_CANCEL ? 1u : 0u);
    }
}

// A double click on the main status field shows the run's log in one
// read-only page, refilled each time.
TEST_F(CommandsTest, LogPageShowsTheLogText)
{
    for (const char* message : {"first message", "second message"}) {
        wxLogMessage("%s", message);
        m_Frame->StatusBarDoubleClicked(wxEmptyString);
        auto* log = dynamic_cast<QelSTC*>(Editors()->GetPageByKey("LOGTAIL"));
        ASSERT_NE(log, nullptr);
        EXPECT_EQ(Editors()->GetPageCount(), 1u);
        EXPECT_TRUE(log->GetText().Contains(message)) << message;
        EXPECT_TRUE(log->GetReadOnly() && !log->GetModify() && !log->CanUndo());
    }
}

// git blame on a file opens its output read-only before the file; a second
// run refreshes the same page.
TEST_F(CommandsTest, VersionControlCommandOpensItsOutputPage)
{
    const wxString root = m_Temp.File("w");
    qeltest::Run("mkdir -p " + ShellQuote(root) + " && cd " + ShellQuote(root)
                 + " && git init -q && printf 'int a;\\n' > f.c && git add f.c"
                   " && git -c user.name=T -c user.email=t@q.example commit -q -m one");
    QelVCS vcs{wxFileName(QEL_SOURCE_DIR "/data/vcs.xml")};
    ASSERT_TRUE(QelVCS::Read());
    wxConfigBase::Get()->Write("git", "git");
    wxConfigBase::Get()->Write("VCS", 1);
    int blame = -1;
    for (const auto& command : QelVCS::GetEntries().at("git").GetCommands())
        if (command.GetCommand(true, false) == "blame")
            blame = ID_EDIT_VCS_LOWEST + 1 + command.GetNo();
    ASSERT_GT(blame, ID_EDIT_VCS_LOWEST);

    const wxString file = root + "/f.c";
    ASSERT_TRUE(m_Frame->OpenFile(QelFileName(file)));
    for (int run = 0; run < 2; ++run) {
        SCOPED_TRACE(run);
        ASSERT_NE(Editors()->SelectPage(file), nullptr);
        wxTEST_DIALOG(Command(blame), wxExpectAny(wxID_OK));
        ASSERT_EQ(Editors()->GetPageCount(), 2u);
        auto* output = dynamic_cast<QelSTC*>(Editors()->GetPage(0));
        ASSERT_NE(output, nullptr);
        EXPECT_TRUE(output->GetText().Contains("int a;")) << output->GetText();
        EXPECT_TRUE(output->GetText().Contains("(T ")) << output->GetText();
        EXPECT_TRUE(output->GetReadOnly());
    }
    QelVCS::Clear();
}

TEST_F(CommandsTest, EditToolsWriteIntoTheEditor)
{
    QelSTC* stc = Open("s.txt", "");
    // The count's confirmation comes only for a sequence that can be made.
    const struct {
        const char *start, *end;
        std::string text;
    } rows[] = {{"09", "11", ""}, {"a1", "b2", "a1\na2\nb1\nb2\n"}};
    for (const auto& row : rows) {
        LogCapture log;
        wxTEST_DIALOG(Command(ID_EDIT_INSERT_SEQUENCE), Text(row.start), Text(row.end),
                      wxExpectModal<wxMessageDialog>(wxID_OK).Optional());
        EXPECT_EQ(TextBytes(stc), row.text);
        EXPECT_EQ(log.CountLevel(wxLOG_Status) > 0, row.text.empty()) << log.Dump();
    }

    // A purpose selected and an author known: the header goes in unasked,
    // below the first line of an HTML page.
    wxConfigBase::Get()->Write(_("Author"), "T");
    QelSTC* html = Open("p.html", "<!DOCTYPE html>\n<body>\n");
    html->SetSelection(2, 9);
    EXPECT_TRUE(Command(ID_EDIT_ADD_HEADER));
    EXPECT_EQ(html->GetLine(0), "<!DOCTYPE html>\n");
    EXPECT_TRUE(html->GetLine(1).StartsWith("<!--")) << html->GetText();
    EXPECT_TRUE(html->GetText().Contains("Purpose:   DOCTYPE\n")) << html->GetText();
}

} // namespace
