// Version-control menus built from vcs.xml, the editor's popup for files in
// and out of a repository, and open commands whose output becomes pages.
#include <gtest/gtest.h>
#include <wx/config.h>
#include <wx/testing.h>

#include <fstream>
#include <memory>

#include <qelkit/configdialog.h>
#include <qelkit/frame.h>
#include <qelkit/menu.h>
#include <qelkit/stc.h>
#include <qelkit/vcs.h>
#include <qelkit/vcsmenu.h>

#include "testing.h"

using qeltest::ShellQuote;

namespace {

// A menu as text: "label#id" items, "-" separators, "label{...}" submenus;
// ids are given relative to base.
wxString Layout(const wxMenu* menu, int base)
{
    wxString text;
    for (const wxMenuItem* item : menu->GetMenuItems()) {
        if (!text.empty()) text += "|";
        if (item->IsSeparator())
            text += "-";
        else if (item->IsSubMenu())
            text += item->GetItemLabel() + "{" + Layout(item->GetSubMenu(), base) + "}";
        else
            text += item->GetItemLabel() + wxString::Format("#%d", item->GetId() - base);
    }
    return text;
}

// The editor's popup, built as a right click builds it.
class PopupSTC : public QelSTC {
public:
    using QelSTC::BuildPopupMenu;
    using QelSTC::QelSTC;
};

// Answers the command dialog; wxTEST_DIALOG fails when it comes twice.
class Answer : public wxExpectModalBase<QelConfigDialog, Answer> {
public:
    explicit Answer(int answer)
        : m_Answer(answer)
    { }

protected:
    int OnInvoked(QelConfigDialog*) const override { return m_Answer; }
    int m_Answer;
};

// Opens each output as a page of its own, as the application's frame does.
class PageFrame : public QelFrame {
public:
    PageFrame()
        : QelFrame(nullptr, wxID_ANY, "pages")
    { }
    using QelFrame::OpenFile;
    bool OpenFile(const QelFileName& filename, const QelVCSEntry& vcs, long flags) override
    {
        auto* stc = new QelSTC(this, "");
        stc->SetEdgeMode(wxSTC_EDGE_LINE);
        SetFindFocus(stc);
        pages.push_back(stc);
        return QelFrame::OpenFile(filename, vcs, flags);
    }
    std::vector<QelSTC*> pages;
};

class VcsMenuTest : public qeltest::ConfigTest {
protected:
    void SetUp() override
    {
        ConfigTest::SetUp();
        qeltest::InstallLexers(QEL_SOURCE_DIR "/data/lexers.xml");
        m_Root = m_Temp.File("w");
        qeltest::Run("mkdir -p " + ShellQuote(m_Root) + " && cd " + ShellQuote(m_Root)
                     + " && git init -q && printf 'int a;\\nint b;\\n' > f.c"
                       " && printf 'int c;\\n' > g.c && git add f.c g.c"
                       " && GIT_AUTHOR_DATE='2020-01-02T03:04:05Z'"
                       " GIT_COMMITTER_DATE='2020-01-02T03:04:05Z'"
                       " git -c user.name=T -c user.email=t@q.example commit -q -m one"
                       " && printf 'int z;\\n' >> f.c && printf 'int y;\\n' >> g.c");
        m_Outside = m_Temp.File("out.c");
        std::ofstream(m_Outside.ToStdString()) << "int x;\n";
        ReadVcs(QEL_SOURCE_DIR "/data/vcs.xml");
        wxConfigBase::Get()->Write("git", "git");
        wxConfigBase::Get()->Write("VCS", 1);
    }

    static void ReadVcs(const wxString& file)
    {
        QelVCS vcs{wxFileName(file)};
        ASSERT_TRUE(QelVCS::Read());
    }

    static int IdOf(const wxString& run)
    {
        for (const auto& command : QelVCS::GetEntries().at("git").GetCommands())
            if (command.GetCommand(true, false) == run)
                return ID_EDIT_VCS_LOWEST + 1 + command.GetNo();
        return -1;
    }

    wxString m_Root, m_Outside;
};

TEST_F(VcsMenuTest, CommandsAreLaidOutByPlaceSubmenuAndSeparator)
{
    const wxString xml = m_Temp.File("vcs.xml");
    std::ofstream(xml.ToStdString()) << R"(<vcses>
  <vcs name="x"><commands>
    <command>&amp;Diff</command>
    <command type="popup" submenu="S">b</command>
    <command type="popup" submenu="S">c</command>
    <command type="main separator">d</command>
  </commands></vcs>
  <vcs name="y"><commands>
    <command submenu="T">e</command>
    <command type="main">f</command>
  </commands></vcs>
</vcses>
)";
    ReadVcs(xml);

    struct Case {
        const char* name;
        const char* vcs;
        bool popup;
        int base;
        const char* layout;
    } cases[] = {
        {"main menu", "x", false, ID_VCS_LOWEST + 1, "&Diff...#0|-|S{}|-|d...#3|-"},
        {"popup menu", "x", true, ID_EDIT_VCS_LOWEST + 1, "&Diff...#0|-|S{b...#1|c...#2}|-"},
        {"submenu first", "y", true, ID_EDIT_VCS_LOWEST + 1, "-|T{e...#0}|-"},
        {"submenu first, main", "y", false, ID_VCS_LOWEST + 1, "-|T{e...#0}|-|f...#1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        wxMenu menu;
        const int count = QelVCS::GetEntries().at(c.vcs).BuildMenu(c.base, &menu, c.popup);
        EXPECT_EQ(Layout(&menu, c.base), c.layout);
        EXPECT_EQ(count, static_cast<int>(menu.GetMenuItemCount()));
    }
}

TEST_F(VcsMenuTest, FilesInAndOutOfARepositoryGetTheirMenus)
{
    wxConfigBase::Get()->Write(_("Comparator"), "cmp");
    wxMenu expected;
    QelVCS::GetEntries().at("git").BuildMenu(ID_EDIT_VCS_LOWEST + 1, &expected, true);

    struct Case {
        const char* name;
        wxString file;
        bool appended;
        bool compare; // the editor's popup offers the comparator instead
    } cases[] = {
        {"in a repository", m_Root + "/f.c", true, false},
        {"outside any repository", m_Outside, false, true},
    };
    wxFrame frame(nullptr, wxID_ANY, "top");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QelMenu menu;
        EXPECT_EQ(menu.AppendVCS(wxFileName(c.file)), c.appended);
        ASSERT_EQ(menu.GetMenuItemCount(), c.appended ? 1u : 0u);
        if (c.appended) {
            const wxMenuItem* item = menu.FindItemByPosition(0);
            EXPECT_EQ(item->GetItemLabel(), "git");
            EXPECT_EQ(Layout(item->GetSubMenu(), 0), Layout(&expected, 0));
            EXPECT_NE(item->GetSubMenu()->FindItem(IdOf("blame")), nullptr);
            EXPECT_EQ(item->GetSubMenu()->FindItem(IdOf("fetch")), nullptr);
        }

        PopupSTC stc(&frame, "");
        ASSERT_TRUE(stc.Open(QelFileName(c.file)));
        QelMenu popup;
        stc.BuildPopupMenu(popup);
        EXPECT_EQ(popup.FindItem(IdOf("diff")) != nullptr, c.appended);
        EXPECT_EQ(popup.FindItem(ID_EDIT_COMPARE_RECENT) != nullptr, c.compare);
    }
}

TEST_F(VcsMenuTest, BaseFolderMenuHoldsTheMainCommands)
{
    wxConfigBase::Get()->Write(_("Base folder"), m_Root);
    QelMenu menu;
    ASSERT_TRUE(menu.AppendVCS());
    const int base = ID_VCS_LOWEST + 1;
    wxMenu expected;
    QelVCS::GetEntries().at("git").BuildMenu(base, &expected, false);
    EXPECT_EQ(Layout(&menu, base), Layout(&expected, base));
    EXPECT_NE(menu.FindItem(base + IdOf("fetch") - ID_EDIT_VCS_LOWEST - 1), nullptr);
    EXPECT_EQ(menu.FindItem(base + IdOf("blame") - ID_EDIT_VCS_LOWEST - 1), nullptr);
}

TEST_F(VcsMenuTest, OpenCommandsBecomePagesWithTheirLexer)
{
    struct Case {
        const char* command;
        int answer;
        const char* lexer;
        int edge;
    } cases[] = {
        {"blame", wxID_OK, "cpp", wxSTC_EDGE_NONE},
        {"diff", wxID_OK, "diff", wxSTC_EDGE_NONE},
        {"log", wxID_OK, "", wxSTC_EDGE_LINE},
        {"show", wxID_CANCEL, "", wxSTC_EDGE_LINE},
    };
    const wxArrayString files = [this] {
        wxArrayString a;
        a.Add(m_Root + "/f.c");
        a.Add(m_Root + "/g.c");
        return a;
    }();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.command);
        auto* frame = new PageFrame();
        const int id = IdOf(c.command);
        ASSERT_GE(id, 0);
        wxTEST_DIALOG(QelVCSExecute(frame, id, files), Answer(c.answer));
        ASSERT_EQ(frame->pages.size(), c.answer == wxID_OK ? files.size() : 0u);
        for (size_t i = 0; i < frame->pages.size(); ++i) {
            const wxString rel = wxFileName(files[i]).GetFullName();
            wxString want = qeltest::Run("git -C " + ShellQuote(m_Root) + " " + c.command + " "
                                         + ShellQuote(rel));
            want.Trim();
            wxString got = frame->pages[i]->GetText();
            EXPECT_EQ(got.Trim(), want) << rel;
            EXPECT_FALSE(want.empty());
            EXPECT_EQ(frame->pages[i]->GetLexer().GetScintillaLexer(), c.lexer);
            EXPECT_EQ(frame->pages[i]->GetEdgeMode(), c.edge);
        }
        frame->Destroy();
    }
}

} // namespace
