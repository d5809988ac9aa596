// Version-control menus built from vcs.xml, the editor's popup for files in
// and out of a repository, and open commands whose output becomes pages.
#include <gtest/gtest.h>
#include <wx/config.h>
#include <wx/regex.h>
#include <wx/testing.h>

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
                       " && echo 'int c;' > g.c && git add f.c g.c && git -c user.name=T"
                       " -c user.email=t@q.example commit -q -m one && echo 'int z;' >> f.c"
                       " && echo 'int y;' >> g.c && echo 'int x;' > ../out.c");
        QelVCS vcs{wxFileName(QEL_SOURCE_DIR "/data/vcs.xml")};
        ASSERT_TRUE(QelVCS::Read());
        wxConfigBase::Get()->Write("git", "git");
        wxConfigBase::Get()->Write("VCS", 1);
    }

    static int IdOf(const wxString& run)
    {
        for (const auto& command : QelVCS::GetEntries().at("git").GetCommands())
            if (command.GetCommand(true, false) == run)
                return ID_EDIT_VCS_LOWEST + 1 + command.GetNo();
        return -1;
    }

    wxString m_Root, m_Outside = m_Temp.File("out.c");
};

TEST_F(VcsMenuTest, FilesAndBaseFolderGetTheirMenus)
{
    wxConfigBase::Get()->Write(_("Comparator"), "cmp");
    wxConfigBase::Get()->Write(_("Base folder"), m_Root);
    // Items of a submenu tell their subcommands apart; a submenu with
    // nothing to show is left out, and no separator doubles or ends a menu.
    const struct {
        const char* name;
        wxString file;
        int base;
        const char* layout;
    } cases[] = {
        {"file in a repository", m_Root + "/f.c", ID_EDIT_VCS_LOWEST + 1,
         "git{&add...#0|&blame...#1|&commit...#2|-|&diff...#3|&log...#4|s&how...#5|"
         "&status...#6|-|&restore...#7|r&m...#8}"},
        {"file outside any repository", m_Outside, ID_EDIT_VCS_LOWEST + 1, ""},
        {"base folder", wxEmptyString, ID_VCS_LOWEST + 1,
         "&add...#0|&commit...#2|-|&diff...#3|&log...#4|&status...#6|-|&fetch...#9|"
         "&pull...#10|p&ush...#11|-|&Branch{branch --list...#12|branch --all...#13}|-|"
         "S&tash{stash list...#14|stash push...#15|stash pop...#16}|-|&help...#17"},
    };
    wxFrame frame(nullptr, wxID_ANY, "top");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QelMenu menu;
        EXPECT_EQ(menu.AppendVCS(wxFileName(c.file)), *c.layout != 0);
        EXPECT_EQ(Layout(&menu, c.base), c.layout);
        if (c.file.empty()) continue;

        PopupSTC stc(&frame, "");
        ASSERT_TRUE(stc.Open(QelFileName(c.file)));
        QelMenu popup;
        stc.BuildPopupMenu(popup);
        EXPECT_EQ(popup.FindItem(IdOf("diff")) != nullptr, *c.layout != 0);
        EXPECT_EQ(popup.FindItem(ID_EDIT_COMPARE_RECENT) == nullptr, *c.layout != 0);
    }
}

TEST_F(VcsMenuTest, OpenCommandsBecomePagesWithTheirLexer)
{
    const struct {
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
    const wxString names[] = {m_Root + "/f.c", m_Root + "/g.c"};
    const wxArrayString files(std::begin(names), std::end(names));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.command);
        auto* frame = new PageFrame();
        const int id = IdOf(c.command);
        ASSERT_GE(id, 0);
        wxTEST_DIALOG(QelVCSExecute(frame, id, files),
                      qeltest::ExpectAnswer<QelConfigDialog>([](QelConfigDialog*) {}, c.answer));
        ASSERT_EQ(frame->pages.size(), c.answer == wxID_OK ? files.size() : 0u);
        for (size_t i = 0; i < frame->pages.size(); ++i) {
            const wxString rel = wxFileName(files[i]).GetFullName();
            wxString want
                = qeltest::Run("git -C " + ShellQuote(m_Root) + " " + c.command + " " + rel);
            EXPECT_FALSE(want.Trim().empty());
            // git stamps a line not committed yet with the time of the run,
            // which may be the next second in the test's own run.
            wxString got = frame->pages[i]->GetText().Trim();
            wxRegEx now("Not Committed Yet [0-9-]+ [0-9:]+ [+-][0-9]+");
            now.ReplaceAll(&got, "Not Committed Yet -");
            now.ReplaceAll(&want, "Not Committed Yet -");
            EXPECT_EQ(got, want) << rel;
            EXPECT_EQ(frame->pages[i]->GetLexer().GetScintillaLexer(), c.lexer);
            EXPECT_EQ(frame->pages[i]->GetEdgeMode(), c.edge);
        }
        frame->Destroy();
    }
}

} // namespace
