// The explorer pane on a real folder: selection, the popup menu for files,
// folders, makefiles and version-controlled entries, copying the selected
// paths, opening them, make and find in the selection.
#include <sys/stat.h>

#include <gtest/gtest.h>
#include <wx/config.h>
#include <wx/testing.h>
#include <wx/treectrl.h>

#include <qelkit/frd.h>
#include <qelkit/menu.h>
#include <qelkit/report/dirctrl.h>
#include <qelkit/report/process.h>
#include <qelkit/status.h>

#include "reportframe.h"

namespace {

using Type = QelListViewFileName::ListType;
using qeltest::ShellQuote;

class ExplorerTest : public qeltest::ReportFrameTest {
protected:
    void SetUp() override
    {
        ReportFrameTest::SetUp();
        qeltest::InstallLexers(QEL_SOURCE_DIR "/data/lexers.xml");
        ASSERT_TRUE(wxFileName::Mkdir(m_Temp.File("sub")));
        m_A = Write("a.c", "int a;\n");
        m_B = Write("b.c", "int b;\nint bb;\n");
        Write("sub/c.c", "int c;\n");
        m_Make = Write("Makefile", "all:\n\t@echo ran\n");
        m_Frame = Start();
        m_Dir = new QelGenericDirCtrl(m_Frame, m_Frame);
    }

    // Selects exactly the paths, in the order given.
    wxArrayString Select(const std::vector<wxString>& paths)
    {
        m_Dir->ExpandAndSelectPath(paths.front());
        for (size_t i = 1; i < paths.size(); i++) m_Dir->SelectPath(paths[i], true);
        wxArrayString selected;
        m_Dir->GetPaths(selected);
        return selected;
    }

    void Command(int id) { qeltest::Command(m_Dir, id); }

    QelGenericDirCtrl* m_Dir = nullptr;
    wxString m_A, m_B, m_Make;
};

// The opened file was selected but left out of view when the explorer got
// its size after the file was selected (a pane laid out at start or shown),
// or when its branch was expanded in a frozen window (files opened together)
// and so laid out only once the window thawed.
TEST_F(ExplorerTest, TheSelectedPathIsShown)
{
    for (int i = 0; i < 60; i++) Write(wxString::Format("sub/f%02d.c", i), "int f;\n");
    wxTreeCtrl* tree = m_Dir->GetTreeCtrl();
    const struct {
        const char* name;
        int height_before;
        bool frozen; // from a collapsed tree
    } rows[] = {{"sub/f59.c", 0, false}, {"a.c", 150, false},      {"sub/f30.c", 150, false},
                {"sub/f00.c", 0, false}, {"sub/f59.c", 150, true}, {"a.c", 150, true},
                {"sub/f45.c", 150, true}};
    for (const auto& [name, height_before, frozen] : rows) {
        SCOPED_TRACE(wxString::Format("%s%s", name, frozen ? " frozen" : ""));
        m_Dir->SetSize(200, height_before);
        if (frozen) {
            m_Dir->CollapseTree();
            qeltest::Pump(0);
            m_Frame->Freeze();
        }
        ASSERT_EQ(Select({m_Temp.File(name)}).size(), 1u);
        if (frozen) m_Frame->Thaw();
        m_Dir->SetSize(200, 150);
        qeltest::Pump(0);
        wxArrayTreeItemIds selected;
        ASSERT_EQ(tree->GetSelections(selected), 1u);
        EXPECT_TRUE(tree->IsVisible(selected[0]));
    }
}

TEST_F(ExplorerTest, PopupOffersWhatTheFirstSelectedEntryAllows)
{
    const wxString repo = GitTree("repo");
    const wxString sub = m_Temp.File("sub");
    struct Row {
        wxString first, second; // the selected paths
        long vcs;
        const char* offered; // Open, Make, the git menu
    };
    const wxString tracked = repo + "/t.c";
    const Row rows[] = {{sub, "", 0, ""},      {m_A, "", 0, "o"},      {sub, m_A, 0, ""},
                        {m_Make, "", 0, "om"}, {tracked, "", 1, "og"}, {repo, "", 1, "g"}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.first + " " + row.second + wxString::Format(", VCS %ld", row.vcs));
        wxConfigBase::Get()->Write("VCS", row.vcs);
        std::vector<wxString> paths{row.first};
        if (!row.second.empty()) paths.push_back(row.second);
        const wxArrayString selected = Select(paths);
        ASSERT_EQ(selected.size(), paths.size());
        QelMenu menu(MENU_OFFER_PASTE);
        m_Dir->BuildPopupMenu(&menu, selected[0]);
        wxString offered;
        if (menu.FindItem(ID_TREE_OPEN) != nullptr) offered += 'o';
        if (menu.FindItem(ID_TREE_RUN_MAKE) != nullptr) offered += 'm';
        if (menu.FindItem("git") != wxNOT_FOUND) offered += 'g';
        EXPECT_EQ(offered, row.offered);
    }
}

TEST_F(ExplorerTest, CopyPutsEverySelectedPathOnTheClipboard)
{
    const qeltest::ClipboardLock lock;
    EXPECT_EQ(Select({m_A, m_B}), wxArrayString(2, std::vector<wxString>{m_A, m_B}.data()));
    Command(ID_TREE_COPY);
    const wxString want = m_A + "\n" + m_B + "\n";
    EXPECT_TRUE(qeltest::PumpUntil([&] { return QelClipboardGet() == want; }, 5000))
        << QelClipboardGet();
}

TEST_F(ExplorerTest, SelectedFilesOpenThroughTheFrame)
{
    for (const bool activate : {true, false}) {
        SCOPED_TRACE(activate ? "activated" : "open command");
        m_Frame->SetRecentFile(m_Make);
        Select({m_A, m_B});
        wxTreeEvent event(wxEVT_TREE_ITEM_ACTIVATED, m_Dir->GetTreeCtrl(),
                          m_Dir->GetTreeCtrl()->GetFocusedItem());
        activate ? (void)m_Dir->ProcessWindowEvent(event) : Command(ID_TREE_OPEN);
        EXPECT_EQ(m_Frame->m_Stc->GetFileName().GetFullPath(), m_B);
        ASSERT_GE(m_Frame->GetFileHistory().GetCount(), 2u);
        EXPECT_EQ(m_Frame->GetFileHistory().GetHistoryFile(1), m_A);
    }
}

TEST_F(ExplorerTest, SelectionShowsTheFullPathAndNoSelectionLeavesEventsToTheToolkit)
{
    {
        qeltest::LogCapture log;
        Select({m_B});
        EXPECT_TRUE(log.Has(m_B + " Modified")) << log.Dump();
    }
    m_Dir->UnselectAll();
    for (const wxEventType type : {wxEVT_TREE_ITEM_MENU, wxEVT_TREE_ITEM_ACTIVATED}) {
        SCOPED_TRACE(type);
        wxTreeEvent event(type, m_Dir->GetTreeCtrl());
        m_Dir->OnTree(event);
        EXPECT_TRUE(event.GetSkipped());
    }
}

TEST_F(ExplorerTest, MakeAndFindRunOnTheSelection)
{
    Select({m_Make});
    Command(ID_TREE_RUN_MAKE);
    WaitForProcess();
    QelListView* output = m_Frame->m_Lists[Type::LIST_PROCESS];
    ASSERT_NE(output, nullptr);
    EXPECT_EQ(output->GetItemText(0, "Line"), "ran");

    QelFindReplaceData::Get()->SetFindString("int");
    wxConfigBase::Get()->Write(m_Frame->GetTextInFiles(), "*.c");
    Select({m_Temp.File("sub"), m_B});
    wxTEST_DIALOG(Command(ID_TOOL_FIND_IN_FILES), qeltest::ExpectConfigDialog(wxID_OK));
    QelListView* found = m_Frame->m_Lists[Type::LIST_FIND];
    ASSERT_NE(found, nullptr);
    const std::string grep = qeltest::Run("grep -Rn int " + ShellQuote(m_Temp.File("sub")) + " "
                                          + ShellQuote(m_B) + " | wc -l");
    EXPECT_EQ(found->GetItemCount(), std::stoi(grep));
}

} // namespace
