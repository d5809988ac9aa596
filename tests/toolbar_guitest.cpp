// The frame's tool bar and find bar on a real frame and editor: incremental
// find with the option boxes, Enter, the next and previous tools, the
// "Hex" and "Sync" boxes, stock tools and the Delete key in the find entry.
#include <iterator>

#include <gtest/gtest.h>
#include <wx/accel.h>
#include <wx/checkbox.h>
#include <wx/config.h>
#include <wx/stockitem.h>

#include <qelkit/frd.h>
#include <qelkit/toolbar.h>

#include "frames.h"

namespace {

// A click on a box of a bar: its new state, then its event.
void Click(wxWindow* bar, int id, bool value)
{
    auto* box = wxDynamicCast(bar->FindWindow(id), wxCheckBox);
    ASSERT_NE(box, nullptr) << id;
    box->SetValue(value);
    wxCommandEvent event(wxEVT_CHECKBOX, id);
    event.SetEventObject(box);
    event.SetInt(value);
    box->ProcessWindowEvent(event);
}

bool Checked(wxWindow* bar, int id)
{
    auto* box = wxDynamicCast(bar->FindWindow(id), wxCheckBox);
    return box != nullptr && box->GetValue();
}

class FindBarTest : public qeltest::BarsTest {
protected:
    void SetUp() override
    {
        BarsTest::SetUp();
        m_Bar = dynamic_cast<QelFindToolBar*>(m_Frame->GetManager().GetPane("FINDBAR").window);
        ASSERT_NE(m_Bar, nullptr);
        m_Entry = m_Bar->GetFindCtrl();
    }

    // The entry empty and focused, as the user clicks into it.
    void FocusEntry()
    {
        m_Entry->ChangeValue(wxEmptyString);
        wxFocusEvent focus(wxEVT_SET_FOCUS, m_Entry->GetId());
        focus.SetEventObject(m_Entry);
        m_Entry->ProcessWindowEvent(focus);
    }

    void Tool(int id)
    {
        wxCommandEvent event(wxEVT_MENU, id);
        event.SetEventObject(m_Bar);
        m_Bar->ProcessWindowEvent(event);
    }

    QelFindToolBar* m_Bar = nullptr;
    QelTextCtrl* m_Entry = nullptr;
};

TEST_F(FindBarTest, FindsIncrementallyWithTheOptionBoxes)
{
    struct Row {
        const char* name;
        const char* text;
        int caret;
        bool whole_word, match_case, regex;
        const char* typed;
        const char* after_first; // selection after the first letter
        const char* after_typed;
    };
    const Row rows[] = {
        {"FromCaretAtFocus", "0123456789 ab ab", 10, false, false, false, "ab", "11,12", "11,13"},
        {"CaseIgnored", "xx AB ab", 0, false, false, false, "ab", "3,4", "3,5"},
        {"CaseMatched", "xx AB ab", 0, false, true, false, "ab", "6,7", "6,8"},
        {"InsideWords", "xaby ab", 0, false, false, false, "ab", "1,2", "1,3"},
        {"WholeWords", "xaby ab", 0, true, false, false, "ab", "0,0", "5,7"},
        {"RegexOn", "a1 b22 b3", 0, false, false, true, "b[0-9]+", "3,4", "3,6"},
        {"RegexOff", "a1 b22 b3", 0, false, false, false, "b[0-9]+", "3,4", "0,0"},
        {"NoMatchKeepsCaret", "abc", 1, false, false, false, "z", "1,1", "1,1"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        SetText(row.text, row.caret);
        Click(m_Bar, ID_FIND_MATCH_WHOLE_WORD, row.whole_word);
        Click(m_Bar, ID_FIND_MATCH_CASE, row.match_case);
        Click(m_Bar, ID_FIND_REGULAR_EXPRESSION, row.regex);

        FocusEntry();
        const wxString typed(row.typed);
        Type(m_Entry, typed.Left(1));
        EXPECT_EQ(Selection(), row.after_first);
        Type(m_Entry, typed.Mid(1));
        EXPECT_EQ(Selection(), row.after_typed);
        EXPECT_EQ(m_Frame->GetFindFocus(), m_Stc);
    }
}

TEST_F(FindBarTest, EnterKeepsTheTextAndSearchesOn)
{
    SetText("foo bar foo foo");
    FocusEntry();
    Type(m_Entry, "foo");
    ASSERT_EQ(Selection(), "0,3");

    Enter(m_Entry);
    EXPECT_EQ(Selection(), "8,11");
    EXPECT_EQ(QelFindReplaceData::Get()->GetFindStrings().front(), "foo");
    Enter(m_Entry);
    EXPECT_EQ(Selection(), "12,15");

    // An empty entry changes nothing.
    const auto history = QelFindReplaceData::Get()->GetFindStrings();
    m_Entry->ChangeValue(wxEmptyString);
    Enter(m_Entry);
    EXPECT_EQ(Selection(), "12,15");
    EXPECT_EQ(QelFindReplaceData::Get()->GetFindStrings(), history);
}

TEST_F(FindBarTest, NextAndPreviousTools)
{
    struct Row {
        const char* name;
        int tool;
        int from, to; // selection before
        const char* after;
    };
    const Row rows[] = {
        {"Next", wxID_DOWN, 3, 5, "6,8"},
        {"Previous", wxID_UP, 3, 5, "0,2"},
        {"NextWraps", wxID_DOWN, 6, 8, "0,2"},
        {"PreviousWraps", wxID_UP, 0, 2, "6,8"},
    };
    SetText("ab ab ab");
    m_Entry->ChangeValue("ab");
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        m_Stc->SetSelection(row.from, row.to);
        Tool(row.tool);
        EXPECT_EQ(Selection(), row.after);
    }
}

TEST_F(FindBarTest, ToolsNeedText)
{
    for (const char* text : {"", "a"}) {
        SCOPED_TRACE(text);
        m_Entry->ChangeValue(text);
        m_Bar->UpdateWindowUI(wxUPDATE_UI_FROMIDLE);
        EXPECT_EQ(m_Bar->GetToolEnabled(wxID_DOWN), *text != '\0');
        EXPECT_EQ(m_Bar->GetToolEnabled(wxID_UP), *text != '\0');
    }
}

TEST_F(FindBarTest, BoxesWriteTheSharedSettings)
{
    const QelFindReplaceData* frd = QelFindReplaceData::Get();
    Click(m_Bar, ID_FIND_REGULAR_EXPRESSION, true);
    EXPECT_TRUE(frd->UseRegularExpression());
    Click(m_Bar, ID_FIND_MATCH_CASE, true);
    EXPECT_TRUE(frd->MatchCase());

    // Whole word turns regular expressions off; the box keeps its check.
    Click(m_Bar, ID_FIND_MATCH_WHOLE_WORD, true);
    EXPECT_TRUE(frd->MatchWord());
    EXPECT_FALSE(frd->UseRegularExpression());
    EXPECT_TRUE(Checked(m_Bar, ID_FIND_REGULAR_EXPRESSION));
    EXPECT_EQ(frd->STCFlags(), wxSTC_FIND_WHOLEWORD | wxSTC_FIND_MATCHCASE);
}

// On GTK the Delete accelerator runs before the entry sees the key; passed
// on as a command, the frame forwarded it to the editor, which deleted there.
TEST_F(FindBarTest, DeleteKeyDeletesInTheEntry)
{
    struct Row {
        const char* name;
        long from, to; // entry selection
        const char* after;
    };
    const Row rows[] = {
        {"NextCharacter", 1, 1, "ac"},
        {"Selection", 0, 2, "c"},
        {"AtTheEnd", 3, 3, "abc"},
    };
    bool reached_frame = false;
    m_Frame->Bind(
        wxEVT_MENU,
        [&](wxCommandEvent&) {
            reached_frame = true;
            m_Stc->Clear();
        },
        wxID_DELETE);

    wxKeyEvent key(wxEVT_KEY_DOWN);
    key.m_keyCode = WXK_DELETE;
    const int command = m_Entry->GetAcceleratorTable()->GetCommand(key);
    ASSERT_EQ(command, wxID_DELETE);

    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        SetText("hello", 1);
        m_Entry->ChangeValue("abc");
        m_Entry->SetSelection(row.from, row.to);
        wxCommandEvent event(wxEVT_MENU, command);
        event.SetEventObject(m_Entry);
        m_Entry->HandleWindowEvent(event);
        EXPECT_EQ(m_Entry->GetValue(), row.after);
        EXPECT_EQ(m_Stc->GetText(), "hello");
        EXPECT_FALSE(reached_frame);
    }
}

class ToolBarTest : public qeltest::BarsTest {
protected:
    QelToolBar* Bar() { return m_Frame->GetToolBar(); }
};

TEST_F(ToolBarTest, HexAndSyncBoxesWriteTheirSettings)
{
    // A first start: "Hex" cleared, "Sync" set.
    EXPECT_FALSE(Checked(Bar(), ID_TOOLBAR_HEX));
    EXPECT_TRUE(Checked(Bar(), ID_TOOLBAR_SYNC));

    Click(Bar(), ID_TOOLBAR_HEX, true);
    EXPECT_TRUE(wxConfigBase::Get()->ReadBool("HexMode", false));
    Click(Bar(), ID_TOOLBAR_SYNC, false);
    EXPECT_FALSE(wxConfigBase::Get()->ReadBool("AllowSync", true));

    // A new frame shows the stored states.
    m_Frame = std::make_unique<QelManagedFrame>(nullptr, wxID_ANY, "again");
    EXPECT_TRUE(Checked(Bar(), ID_TOOLBAR_HEX));
    EXPECT_FALSE(Checked(Bar(), ID_TOOLBAR_SYNC));
}

TEST_F(ToolBarTest, StockToolsTakeStockArtAndLabel)
{
    struct Row {
        const char* name;
        int id;
        const char* label;
        const char* help;
    };
    const Row rows[] = {
        {"Stock", wxID_OPEN, "", "Open..."},
        {"StockFindNext", wxID_DOWN, "", "Down"},
        {"OwnId", ID_TOOL_LOWEST + 1, "lbl", "help"},
    };
    const wxBitmap bitmap(16, 16);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        wxAuiToolBarItem* item = Bar()->AddTool(row.id, "lbl", bitmap, "help");
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(item->GetLabel(), row.label);
        EXPECT_EQ(item->GetShortHelp(), row.help);
        EXPECT_TRUE(item->GetBitmapBundle().IsOk());
    }
    // The main tools are there in their order, then the two boxes.
    const int ids[]
        = {wxID_OPEN, wxID_SAVE, wxID_PRINT, wxID_FIND, ID_TOOLBAR_HEX, ID_TOOLBAR_SYNC};
    for (size_t i = 0; i < std::size(ids); ++i)
        EXPECT_EQ(Bar()->FindToolByIndex(static_cast<int>(i))->GetId(), ids[i]) << i;
}

} // namespace
