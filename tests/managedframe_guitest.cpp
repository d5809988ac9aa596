// The managed frame's vi bar, driven through a real editor's vi emulation:
// ex commands and searches typed in the bar, what it remembers, messages,
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
    void TearDown() override
    {
        m_Stc->GetVi().Use(false);
        BarsTest::TearDown();
    }

    // Keys typed in the editor: a key-down that vi leaves alone becomes a
    // character event, as the toolkit makes it.
    void TypeInEditor(const wxString& keys)
    {
        for (const wxUniChar c : keys) {
            const int code = static_cast<int>(c.GetValue());
            wxKeyEvent down(wxEVT_KEY_DOWN);
            down.SetEventObject(m_Stc);
            down.m_keyCode = code;
            down.m_uniChar = code;
            if (!m_Stc->ProcessWindowEvent(down)) Key(m_Stc, code);
        }
    }

    QelViTextCtrl* m_Entry = nullptr;
};

TEST_F(ViBarTest, ExCommandsRunOnTheEditor)
{
    struct Row {
        const char* name;
        const char* preset; // "vicommand" before
        const char* typed;  // replaces the preset, which opens selected
        const char* text;
        bool bar_shown;
        const char* vicommand; // after
        const char* message;   // in the status bar
    };
    const Row rows[] = {
        {"DeleteRange", "", "1,3d", "4\n5\n", false, "1,3d", "3 fewer lines"},
        {"PresetRunsAgain", "2,3d", "", "1\n4\n5\n", false, "2,3d", "2 fewer lines"},
        {"FailedStaysOpen", "2,3d", "nosuch", "1\n2\n3\n4\n5\n", true, "2,3d", ""},
    };
    m_Frame->CreateStatusBar(1);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        SetText("1\n2\n3\n4\n5\n");
        m_Frame->GetStatusBar()->SetStatusText(wxEmptyString, 0);
        wxConfigBase::Get()->Write("vicommand", wxString(row.preset));

        TypeInEditor(":");
        ASSERT_TRUE(PaneShown("VIBAR"));
        EXPECT_EQ(m_Frame->GetViTextPrefix(), ":");
        EXPECT_EQ(m_Entry->GetValue().ToStdString(), row.preset);
        EXPECT_EQ(m_Entry->GetStringSelection().ToStdString(), row.preset);

        Type(m_Entry, row.typed);
        Enter(m_Entry);
        EXPECT_EQ(m_Stc->GetText().ToStdString(), row.text);
        EXPECT_EQ(PaneShown("VIBAR"), row.bar_shown);
        EXPECT_EQ(wxConfigBase::Get()->Read("vicommand", "?").ToStdString(), row.vicommand);
        EXPECT_EQ(m_Frame->GetStatusBar()->GetStatusText(0).ToStdString(), row.message);
        if (row.bar_shown) Key(m_Entry, WXK_ESCAPE);
    }
}

TEST_F(ViBarTest, SearchesIncrementallyFromTheSavedCaret)
{
    struct Row {
        const char* name;
        int caret;
        int select_to;     // a selection from the caret, -1 for none
        const char* keys;  // typed in the editor
        const char* value; // in the entry when it opens
        const char* typed;
        bool escape;             // else Enter
        const char* after_first; // selection after the first typed letter
        const char* after_typed;
        const char* after_finish;
        const char* find_string;
    };
    // "xx ab a ab"
    const Row rows[] = {
        {"ForwardThenEscape", 0, -1, "/", "", "ab", true, "3,4", "3,5", "0,0", ""},
        {"ForwardThenEnter", 0, -1, "/", "", "ab", false, "3,4", "3,5", "3,5", "ab"},
        {"SecondLetterFromSavedCaret", 4, -1, "/", "", "ab", false, "6,7", "8,10", "8,10", "ab"},
        {"Backward", 10, -1, "?", "", "a ", false, "8,9", "6,8", "6,8", "a "},
        {"CountBeforeSlash", 0, -1, "3/", "", "ab", false, "3,4", "3,5", "3,5", "ab"},
        {"NoMatchKeepsCaret", 2, -1, "/", "", "zz", true, "2,2", "2,2", "2,2", ""},
        {"SelectionPresetEnterFindsNext", 3, 5, "/", "ab", "", false, "3,5", "3,5", "8,10", "ab"},
        {"SelectionPresetEscape", 3, 5, "/", "ab", "", true, "3,5", "3,5", "3,5", "ab"},
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
        EXPECT_EQ(m_Entry->GetValue().ToStdString(), row.value);

        const wxString typed(row.typed);
        if (!typed.empty()) {
            Type(m_Entry, typed.Left(1));
            EXPECT_EQ(Selection(), row.after_first);
            Type(m_Entry, typed.Mid(1));
        }
        EXPECT_EQ(Selection(), row.after_typed);

        if (row.escape)
            Key(m_Entry, WXK_ESCAPE);
        else
            Enter(m_Entry);
        EXPECT_EQ(Selection(), row.after_finish);
        EXPECT_FALSE(PaneShown("VIBAR"));
        EXPECT_EQ(QelFindReplaceData::Get()->GetFindString().ToStdString(), row.find_string);
    }
}

TEST_F(ViBarTest, RemembersCommandsAndSearches)
{
    SetText("a\nb\nc\nb\n");
    TypeInEditor(":");
    Type(m_Entry, "1,1d");
    Enter(m_Entry);
    ASSERT_EQ(m_Stc->GetText().ToStdString(), "b\nc\nb\n");

    // The next ":" offers the command again, Enter runs it.
    TypeInEditor(":");
    EXPECT_EQ(m_Entry->GetValue().ToStdString(), "1,1d");
    Enter(m_Entry);
    EXPECT_EQ(m_Stc->GetText().ToStdString(), "c\nb\n");

    // A search becomes the find text and its history; "n" goes on with it.
    SetText("b b b");
    TypeInEditor("/");
    Type(m_Entry, "b");
    Enter(m_Entry);
    EXPECT_EQ(Selection(), "0,1");
    EXPECT_EQ(QelFindReplaceData::Get()->GetFindStrings().front(), "b");
    TypeInEditor("n");
    EXPECT_EQ(Selection(), "2,3");
    m_Stc->SetSelection(0, 0);
    TypeInEditor("/");
    EXPECT_EQ(m_Entry->GetValue(), "b");
}

TEST_F(ViBarTest, MessagesGoToTheStatusBarOrTheBar)
{
    struct Row {
        const char* name;
        bool status_bar;
        bool shown;
        const char* field; // status bar field 0
        bool bar;          // the vi bar shows the message
    };
    const Row rows[] = {
        {"StatusBarShown", true, true, "3 fewer lines", false},
        {"StatusBarHidden", true, false, "", true},
        {"NoStatusBar", false, false, "", true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        if (row.status_bar) {
            if (m_Frame->GetStatusBar() == nullptr) m_Frame->CreateStatusBar(1);
            m_Frame->GetStatusBar()->Show(row.shown);
            m_Frame->GetStatusBar()->SetStatusText(wxEmptyString, 0);
        } else if (wxStatusBar* bar = m_Frame->GetStatusBar(); bar != nullptr) {
            m_Frame->SetStatusBar(nullptr);
            delete bar;
        }
        SetText("1\n2\n3\n4\n5\n");
        TypeInEditor("3dd");

        ASSERT_EQ(m_Stc->GetText().ToStdString(), "4\n5\n");
        if (row.status_bar) {
            EXPECT_EQ(m_Frame->GetStatusBar()->GetStatusText(0).ToStdString(), row.field);
        }
        EXPECT_EQ(PaneShown("VIBAR"), row.bar);
        if (row.bar) {
            EXPECT_EQ(m_Frame->GetViTextPrefix(), "3 fewer lines");
            EXPECT_FALSE(m_Entry->IsShown());
        }
        // Any other command closes the message.
        TypeInEditor("l");
        EXPECT_FALSE(PaneShown("VIBAR"));
    }
}

TEST_F(ViBarTest, MessageWithAmpersandIsShownAsItStands)
{
    m_Frame->ShowViMessage("a&b");
    EXPECT_EQ(m_Frame->GetViTextPrefix(), "a&b");
}

// The bar remembered the editor that used it last; once that editor was
// closed, a message or an Enter reached the freed editor.
TEST_F(ViBarTest, ForgetsAClosedEditor)
{
    SetText("1\n2\n");
    TypeInEditor(":");
    ASSERT_EQ(m_Entry->GetVi(), &m_Stc->GetVi());
    Key(m_Entry, WXK_ESCAPE);

    m_Stc->GetVi().Use(false);
    m_Frame->GetManager().DetachPane(m_Stc);
    delete m_Stc;
    m_Stc = new QelSTC(m_Frame.get());
    m_Stc->GetVi().Use(true);
    EXPECT_EQ(m_Entry->GetVi(), nullptr);

    m_Frame->ShowViMessage("gone");
    EXPECT_TRUE(PaneShown("VIBAR"));
    Enter(m_Entry);
    m_Frame->HideViBar();
    EXPECT_FALSE(PaneShown("VIBAR"));
}

class PaneToggleTest : public qeltest::BarsTest { };

TEST_F(PaneToggleTest, ViewCommandsToggleTheirPane)
{
    struct Row {
        const char* pane;
        int id;
    };
    const Row rows[] = {{"FINDBAR", ID_VIEW_FINDBAR}, {"TOOLBAR", ID_VIEW_TOOLBAR}};
    EXPECT_FALSE(PaneShown("VIBAR"));
    for (const Row& row : rows) {
        SCOPED_TRACE(row.pane);
        for (const bool shown : {false, true}) {
            wxCommandEvent command(wxEVT_MENU, row.id);
            EXPECT_TRUE(m_Frame->ProcessWindowEvent(command));
            EXPECT_EQ(PaneShown(row.pane), shown);

            wxUpdateUIEvent update(row.id);
            update.SetEventObject(m_Frame.get());
            m_Frame->ProcessWindowEvent(update);
            EXPECT_EQ(update.GetChecked(), shown);
        }
    }
}

TEST_F(PaneToggleTest, UnknownPaneOrIdAsserts)
{
    qeltest::ExpectAsserts asserts;
    m_Frame->TogglePane("NOPE");
    EXPECT_EQ(asserts.Count(), 1);

    // The bounds of the block carry no command.
    wxCommandEvent command(wxEVT_MENU, ID_VIEW_PANE_LOWEST);
    m_Frame->ProcessWindowEvent(command);
    EXPECT_EQ(asserts.Count(), 2);
    EXPECT_TRUE(PaneShown("FINDBAR"));
    EXPECT_TRUE(PaneShown("TOOLBAR"));
}

} // namespace
