// The managed frame's vi bar, driven through a real editor's vi emulation,
// and the View toggles of the docked bars.
#include <gtest/gtest.h>
#include <wx/config.h>
#include <wx/statusbr.h>

#include <qelkit/frd.h>

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

    // Keys typed in the editor: a key-down that vi leaves alone becomes a
    // character event, as the toolkit makes it.
    void TypeInEditor(const wxString& keys)
    {
        for (const wxUniChar c : keys) {
            wxKeyEvent down(wxEVT_KEY_DOWN);
            down.m_keyCode = down.m_uniChar = static_cast<int>(c.GetValue());
            if (!m_Stc->ProcessWindowEvent(down)) Key(m_Stc, down.m_keyCode);
        }
    }
    std::string Text() const { return m_Stc->GetText().utf8_string(); }

    QelViTextCtrl* m_Entry = nullptr;
};

TEST_F(ViBarTest, ExCommandsRunAndTheLastGoodOneIsKept)
{
    struct Row {
        const char* name;
        const char* preset; // "vicommand" before; it opens selected
        const char* typed;  // replaces the preset
        const char* text;
        bool bar_shown;
        const char* vicommand; // after
    };
    const Row rows[] = {
        {"DeleteRange", "", "1,3d", "4\n5\n", false, "1,3d"},
        {"PresetRunsAgain", "2,3d", "", "1\n4\n5\n", false, "2,3d"},
        {"FailedStaysOpen", "2,3d", "nosuch", "1\n2\n3\n4\n5\n", true, "2,3d"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        SetText("1\n2\n3\n4\n5\n");
        wxConfigBase::Get()->Write("vicommand", wxString(row.preset));

        TypeInEditor(":");
        ASSERT_TRUE(PaneShown("VIBAR"));
        EXPECT_EQ(m_Entry->GetStringSelection().utf8_string(), row.preset);
        Type(m_Entry, row.typed);
        Enter(m_Entry);
        EXPECT_EQ(Text(), row.text);
        EXPECT_EQ(PaneShown("VIBAR"), row.bar_shown);
        EXPECT_EQ(wxConfigBase::Get()->Read("vicommand", "?").utf8_string(), row.vicommand);
        Key(m_Entry, WXK_ESCAPE);
    }
}

TEST_F(ViBarTest, SearchesFromTheCaretTheBarOpenedAt)
{
    struct Row {
        const char* name;
        int caret, select_to;                                 // a selection from the caret, or -1
        const char* keys;                                     // typed in the editor
        const char* typed;                                    // typed in the bar, letter by letter
        bool escape;                                          // else Enter
        const char *after_first, *after_typed, *after_finish; // selections
        const char* find_string;
    };
    // In "xx ab a ab", "ab" found after "a" from the caret, not from the "a".
    const Row rows[] = {
        {"ForwardEscape", 0, -1, "/", "ab", true, "3,4", "3,5", "0,0", ""},
        {"ForwardEnter", 0, -1, "/", "ab", false, "3,4", "3,5", "3,5", "ab"},
        {"Backward", 10, -1, "?", "a ", false, "8,9", "6,8", "6,8", "a "},
        {"CountBeforeSlash", 0, -1, "3/", "ab", false, "3,4", "3,5", "3,5", "ab"},
        {"NoMatchKeepsCaret", 2, -1, "/", "zz", true, "2,2", "2,2", "2,2", ""},
        {"SelectionPresetFindsNext", 3, 5, "/", "", false, "3,5", "3,5", "8,10", "ab"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        qeltest::ResetSingletons();
        wxConfigBase::Get()->DeleteAll();
        SetText("xx ab a ab", row.caret);
        if (row.select_to >= 0) m_Stc->SetSelection(row.caret, row.select_to);

        TypeInEditor(row.keys);
        ASSERT_TRUE(PaneShown("VIBAR"));
        EXPECT_EQ(m_Frame->GetViTextPrefix(), wxString(row.keys).Last());
        const wxString typed(row.typed);
        Type(m_Entry, typed.Left(1));
        EXPECT_EQ(Selection(), row.after_first);
        Type(m_Entry, typed.Mid(1));
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
    m_Frame->CreateStatusBar(1);
    for (const bool shown : {true, false}) {
        SCOPED_TRACE(shown);
        m_Frame->GetStatusBar()->Show(shown);
        m_Frame->GetStatusBar()->SetStatusText(wxEmptyString, 0);
        SetText("1\n2\n3\n4\n5\n");
        TypeInEditor("3dd");
        ASSERT_EQ(Text(), "4\n5\n");
        EXPECT_EQ(m_Frame->GetStatusBar()->GetStatusText(0), shown ? "3 fewer lines" : "");
        EXPECT_EQ(PaneShown("VIBAR"), !shown);
        EXPECT_EQ(m_Entry->IsShown(), shown);
        EXPECT_EQ(m_Frame->GetViTextPrefix(), shown ? "" : "3 fewer lines");
        // Any other command closes the message.
        TypeInEditor("l");
        EXPECT_FALSE(PaneShown("VIBAR"));
    }
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
    EXPECT_FALSE(PaneShown("VIBAR"));
    for (const auto& [pane, id] :
         {std::pair("FINDBAR", ID_VIEW_FINDBAR), {"TOOLBAR", ID_VIEW_TOOLBAR}}) {
        SCOPED_TRACE(pane);
        for (const bool shown : {false, true}) {
            wxCommandEvent command(wxEVT_MENU, id);
            EXPECT_TRUE(m_Frame->ProcessWindowEvent(command));
            EXPECT_EQ(PaneShown(pane), shown);
            wxUpdateUIEvent update(id);
            m_Frame->ProcessWindowEvent(update);
            EXPECT_EQ(update.GetChecked(), shown);
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

    // Neither an unknown pane nor a bound of the block does anything else.
    qeltest::ExpectAsserts asserts;
    m_Frame->TogglePane("NOPE");
    wxCommandEvent bound(wxEVT_MENU, ID_VIEW_PANE_LOWEST);
    m_Frame->ProcessWindowEvent(bound);
    EXPECT_EQ(asserts.Count(), 2);
    EXPECT_TRUE(PaneShown("FINDBAR") && PaneShown("TOOLBAR"));
}

} // namespace
