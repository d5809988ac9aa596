// The managed frame's vi bar, driven through a real editor's vi emulation,
// and the View toggles of the docked bars.
#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/config.h>
#include <wx/statusbr.h>

#include <qelkit/frd.h>
#include <qelkit/stcdlg.h>

#include "frames.h"

namespace {

class ViBarTest : public qeltest::BarsTest {
protected:
    void SetUp() override
    {
        BarsTest::SetUp();
        m_Stc->GetVi().Use(true);
        m_Entry = m_Frame->GetViTextCtrl();
    }

    // Keys typed in an editor (the frame's by default): a key-down that vi
    // leaves alone becomes a character event, as the toolkit makes it.
    void TypeInEditor(const wxString& keys, QelSTC* stc = nullptr)
    {
        if (stc == nullptr) stc = m_Stc;
        for (const wxUniChar c : keys) {
            wxKeyEvent down(wxEVT_KEY_DOWN);
            down.m_keyCode = down.m_uniChar = static_cast<int>(c.GetValue());
            if (!stc->ProcessWindowEvent(down)) Key(stc, down.m_keyCode);
        }
    }
    std::string Text() const { return m_Stc->GetText().utf8_string(); }

    QelViTextCtrl* m_Entry = nullptr;
};

TEST_F(ViBarTest, ExCommandsRunAndTheLastGoodOneIsKept)
{
    // The stored command opens selected and is replaced by what is typed; a
    // failed command keeps the bar open and the stored one.
    const std::tuple<const char*, const char*, const char*, const char*> rows[] = {
        {"", "1,3d", "4\n5\n", "1,3d"},
        {"2,3d", "", "1\n4\n5\n", "2,3d"},
        {"2,3d", "nosuch", "1\n2\n3\n4\n5\n", "2,3d"},
        {"2,3d", "set ts=4", "1\n2\n3\n4\n5\n", "set ts=4"},
    };
    for (const auto& [preset, typed, text, vicommand] : rows) {
        SCOPED_TRACE(typed);
        SetText("1\n2\n3\n4\n5\n");
        wxConfigBase::Get()->Write("vicommand", wxString(preset));
        TypeInEditor(":");
        EXPECT_EQ(wxWindow::FindFocus(), m_Entry); // what is typed next goes to the bar
        EXPECT_EQ(m_Entry->GetStringSelection().utf8_string(), preset);
        Type(m_Entry, typed);
        Enter(m_Entry);
        EXPECT_EQ(Text(), text);
        // What a command did ("3 fewer lines") may stay in the bar, alone.
        EXPECT_EQ(PaneShown("VIBAR") && m_Entry->IsShown(), std::string(typed) == "nosuch");
        EXPECT_EQ(wxConfigBase::Get()->Read("vicommand", "?").utf8_string(), vicommand);
        Key(m_Entry, WXK_ESCAPE);
    }
}

TEST_F(ViBarTest, SearchesFromTheCaretTheBarOpenedAt)
{
    // In "xx ab a ab", "ab" found after "a" from the caret, not from the "a".
    // Keys typed in the editor from a caret (and selection end), then in the
    // bar letter by letter, ended by Escape or Enter; the selection after the
    // first letter, after all, at the end; the find string kept.
    const struct {
        int caret, select_to;
        const char *keys, *typed;
        bool escape;
        const char *after_first, *after_typed, *after_finish, *find_string;
    } rows[] = {
        {0, 0, "/", "ab", true, "3,4", "3,5", "0,0", ""},
        {0, 0, "/", "ab", false, "3,4", "3,5", "3,5", "ab"},
        {10, 10, "?", "a ", false, "8,9", "6,8", "6,8", "a "},
        {2, 2, "/", "zz", true, "2,2", "2,2", "2,2", ""},
        {3, 5, "/", "", false, "3,5", "3,5", "8,10", "ab"}, // a selection is found again
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.keys) + row.typed);
        qeltest::ResetSingletons();
        wxConfigBase::Get()->DeleteAll();
        SetText("xx ab a ab", row.caret);
        m_Stc->SetSelection(row.caret, row.select_to);
        TypeInEditor(row.keys);
        Type(m_Entry, wxString(row.typed).Left(1));
        EXPECT_EQ(Selection(), row.after_first);
        Type(m_Entry, wxString(row.typed).Mid(1));
        EXPECT_EQ(Selection(), row.after_typed);
        row.escape ? (void)Key(m_Entry, WXK_ESCAPE) : Enter(m_Entry);
        EXPECT_EQ(Selection(), row.after_finish);
        EXPECT_FALSE(PaneShown("VIBAR"));
        EXPECT_EQ(QelFindReplaceData::Get()->GetFindString().utf8_string(), row.find_string);
    }
    // The search is remembered: "n" goes on with it.
    TypeInEditor("n");
    EXPECT_EQ(Selection(), "3,5");
}

TEST_F(ViBarTest, MessagesGoToTheShownStatusBarElseToTheBar)
{
    // Keys typed in the editor, or an ex command run from the bar; the text
    // and the message after it, and the key that closes it: a message stays
    // until the next key, and the editor has the focus meanwhile.
    const struct {
        const char *keys, *ex, *text, *message;
        int close;
    } rows[] = {
        {"3dd", "", "4\n5\n", "3 fewer lines", 'l'},
        {"", "1,3d", "4\n5\n", "3 fewer lines", WXK_ESCAPE},
        {"", "2,4y", "1\n2\n3\n4\n5\n", "3 lines yanked", 'l'},
        {"", "1,2m 5", "3\n4\n5\n1\n2\n", "2 lines moved", WXK_RETURN},
        {"", "%s/[24]/x/", "1\nx\n3\nx\n5\n", "Replaced: 2 occurrences of: [24]", 'l'},
    };
    const qeltest::ClipboardLock lock;
    m_Frame->CreateStatusBar(1);
    for (const auto& row : rows) {
        for (const bool shown : {true, false}) {
            SCOPED_TRACE(std::string(row.keys) + row.ex + (shown ? " shown" : " hidden"));
            m_Frame->GetStatusBar()->Show(shown);
            m_Frame->GetStatusBar()->SetStatusText(wxEmptyString, 0);
            SetText("1\n2\n3\n4\n5\n");
            if (*row.ex != '\0') {
                TypeInEditor(":");
                m_Entry->SetValue(row.ex);
                Enter(m_Entry);
            }
            TypeInEditor(row.keys);
            ASSERT_EQ(Text(), row.text);
            EXPECT_EQ(m_Frame->GetStatusBar()->GetStatusText(0), shown ? row.message : "");
            EXPECT_EQ(PaneShown("VIBAR"), !shown);
            EXPECT_EQ(m_Frame->GetViTextPrefix() == row.message, !shown);
            if (!shown) {
                EXPECT_FALSE(m_Entry->IsShown()) << "the message alone";
            }
            if (*row.ex != '\0') {
                EXPECT_EQ(wxWindow::FindFocus(), m_Stc);
            }
            // Any other command closes the message.
            TypeInEditor(wxString(wxUniChar(row.close)));
            EXPECT_FALSE(PaneShown("VIBAR"));
        }
    }
}

// An editor in a dialog, such as the entry dialog, has the top window's bar.
TEST_F(ViBarTest, AnEditorInADialogUsesTheTopWindowsBar)
{
    wxTheApp->SetTopWindow(m_Frame.get());
    auto* dialog = new QelSTCEntryDialog(m_Frame.get(), "caption", "1\n2\n");
    QelSTC* stc = dialog->GetSTC();
    stc->GetVi().Use(true);
    TypeInEditor(":", stc);
    EXPECT_EQ(m_Entry->GetVi(), &stc->GetVi());
    Type(m_Entry, "1,1d");
    Enter(m_Entry);
    EXPECT_EQ(stc->GetText(), "2\n");
    wxTheApp->SetTopWindow(nullptr);
    dialog->Destroy();
}

// The bar kept a plain pointer to the editor that used it last; once that
// editor was closed, a message or an Enter reached the freed editor.
TEST_F(ViBarTest, ForgetsAClosedEditor)
{
    TypeInEditor(":");
    ASSERT_EQ(m_Entry->GetVi(), &m_Stc->GetVi());
    Key(m_Entry, WXK_ESCAPE);
    delete m_Stc;
    EXPECT_EQ(m_Entry->GetVi(), nullptr);

    m_Frame->ShowViMessage("gone");
    EXPECT_TRUE(PaneShown("VIBAR"));
    Enter(m_Entry);
    m_Frame->HideViBar();
    EXPECT_FALSE(PaneShown("VIBAR"));
}

TEST_F(ViBarTest, ViewCommandsTogglePanesAndTheirChecks)
{
    for (const auto& [pane, id] :
         {std::pair("FINDBAR", ID_VIEW_FINDBAR), {"TOOLBAR", ID_VIEW_TOOLBAR}}) {
        for (const bool shown : {false, true}) {
            wxCommandEvent command(wxEVT_MENU, id);
            m_Frame->ProcessWindowEvent(command);
            wxUpdateUIEvent update(id);
            m_Frame->ProcessWindowEvent(update);
            EXPECT_EQ(PaneShown(pane), shown) << pane;
            EXPECT_EQ(update.GetChecked(), shown) << pane;
        }
    }
    // The editor options open once, as one modeless dialog.
    for (int i = 0; i < 2; ++i) {
        wxCommandEvent options(wxEVT_MENU, wxID_PREFERENCES);
        m_Frame->ProcessWindowEvent(options);
    }
    int dialogs = 0;
    for (const wxWindow* child : m_Frame->GetChildren())
        dialogs += child->IsTopLevel() && child->GetId() == wxID_PREFERENCES && child->IsShown();
    EXPECT_EQ(dialogs, 1);
}

// A layout is taken only when it names the window's own panes, each once:
// one from a damaged settings file is left alone, however many it names.
TEST_F(ViBarTest, LayoutsNamingOtherPanesAreIgnored)
{
    wxAuiManager& manager = m_Frame->GetManager();
    // A delimiter in a caption is kept escaped, and names no pane.
    manager.GetPane("TOOLBAR").Hide().Caption("x|name=NOPE");
    const wxString own = manager.SavePerspective(), unknown = "name=NOPE;caption=a;state=0|";
    wxString many = own;
    for (int i = 0; i < 20000; ++i) many += unknown;
    const struct {
        const char* name;
        wxString perspective;
        bool taken; // the tool bar hidden then
    } rows[] = {
        {"Own", own, true},
        {"UnknownPane", own + unknown, false},
        {"PaneTwice", own + own.AfterFirst('|'), false},
        {"ManyUnknownPanes", many, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        manager.GetPane("TOOLBAR").Show();
        qeltest::LogCapture log;
        EXPECT_EQ(m_Frame->LoadPerspective(row.perspective), row.taken);
        EXPECT_EQ(PaneShown("TOOLBAR"), !row.taken);
        EXPECT_EQ(log.CountLevel(wxLOG_Warning), row.taken ? 0u : 1u) << log.Dump();
    }
}

} // namespace
