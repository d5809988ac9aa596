// The frame's tool bar and find bar on a real frame and editor.
#include <functional>
#include <tuple>

#include <gtest/gtest.h>
#include <wx/accel.h>
#include <wx/checkbox.h>
#include <wx/config.h>

#include <qelkit/frd.h>
#include <qelkit/toolbar.h>

#include "frames.h"

namespace {

// A click on a box of a bar: its new state, then its event. Returns the
// state it had.
bool Click(wxWindow* bar, int id, bool value)
{
    auto* box = wxDynamicCast(bar->FindWindow(id), wxCheckBox);
    const bool was = box->GetValue();
    box->SetValue(value);
    wxCommandEvent event(wxEVT_CHECKBOX, id);
    event.SetEventObject(box);
    box->ProcessWindowEvent(event);
    return was;
}

class FindBarTest : public qeltest::BarsTest {
protected:
    void SetUp() override
    {
        BarsTest::SetUp();
        m_Bar = dynamic_cast<QelFindToolBar*>(m_Frame->GetManager().GetPane("FINDBAR").window);
        m_Entry = m_Bar->GetFindCtrl();
    }

    // The entry emptied and given the focus, as by a click.
    void FocusEntry()
    {
        m_Entry->ChangeValue(wxEmptyString);
        wxFocusEvent focus(wxEVT_SET_FOCUS);
        m_Entry->ProcessWindowEvent(focus);
    }

    QelFindToolBar* m_Bar = nullptr;
    QelTextCtrl* m_Entry = nullptr;
};

TEST_F(FindBarTest, FindsIncrementallyWithTheOptionBoxes)
{
    const struct {
        const char* name;
        const char* text;
        int caret;
        bool whole_word, match_case, regex;
        const char* typed;
        const char *after_first, *after_typed; // selections
    } rows[] = {
        {"FromCaretAtFocus", "0123456789 ab ab", 10, false, false, false, "ab", "11,12", "11,13"},
        {"CaseIgnored", "xx AB ab", 0, false, false, false, "ab", "3,4", "3,5"},
        {"CaseMatched", "xx AB ab", 0, false, true, false, "ab", "6,7", "6,8"},
        {"WholeWords", "xaby ab", 0, true, false, false, "ab", "0,0", "5,7"},
        {"RegexOn", "a1 b22 b3", 0, false, false, true, "b[0-9]+", "3,4", "3,6"},
        {"RegexOff", "a1 b22 b3", 0, false, false, false, "b[0-9]+", "3,4", "0,0"},
    };
    for (const auto& row : rows) {
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
    }
}

// The boxes read the settings once, when the bar was built: after find in
// files or a selection's find had changed them, Replace ran with a regular
// expression that the bar showed off.
TEST_F(FindBarTest, BoxesShowTheSettingsWhateverChangedThem)
{
    QelFindReplaceData* frd = QelFindReplaceData::Get();
    qeltest::RecordingFrame other;
    auto* other_bar = other.GetManager().GetPane("FINDBAR").window;
    const struct {
        const char* name;
        std::function<void()> change;
        const char* shown; // whole word, case, expression
    } rows[] = {
        // The check list of the find in files and selection dialogs.
        {"ExpressionByLabel", [&] { frd->Set(frd->GetTextRegEx(), true); }, "001"},
        {"CaseByLabel", [&] { frd->Set(frd->GetTextMatchCase(), true); }, "011"},
        // The toolkit's find dialog writes the flag word.
        {"FlagWord", [&] { frd->SetFlags(wxFR_DOWN | wxFR_WHOLEWORD); }, "101"},
        {"ExpressionOffByLabel", [&] { frd->Set(frd->GetTextRegEx(), false); }, "100"},
        // Whole word ticked on the bar turns the expression off.
        {"WholeWordOnTheBar",
         [&] {
             Click(m_Bar, ID_FIND_MATCH_WHOLE_WORD, false);
             Click(m_Bar, ID_FIND_REGULAR_EXPRESSION, true);
             Click(m_Bar, ID_FIND_MATCH_WHOLE_WORD, true);
         },
         "100"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        row.change();
        for (wxWindow* bar : {static_cast<wxWindow*>(m_Bar), other_bar}) {
            bar->UpdateWindowUI(wxUPDATE_UI_FROMIDLE | wxUPDATE_UI_RECURSE);
            std::string shown;
            for (const int id :
                 {ID_FIND_MATCH_WHOLE_WORD, ID_FIND_MATCH_CASE, ID_FIND_REGULAR_EXPRESSION}) {
                shown += wxDynamicCast(bar->FindWindow(id), wxCheckBox)->GetValue() ? '1' : '0';
            }
            EXPECT_EQ(shown, row.shown);
        }
    }
}

TEST_F(FindBarTest, EnterToolsAndTheirState)
{
    SetText("foo bar foo foo");
    FocusEntry();
    Type(m_Entry, "foo");
    ASSERT_EQ(Selection(), "0,3");
    Enter(m_Entry);
    EXPECT_EQ(Selection(), "8,11");
    EXPECT_EQ(QelFindReplaceData::Get()->GetFindStrings().front(), "foo");

    // Previous from the selection, next from its end, each wrapping once;
    // the status line tells the wrap, and a search that did not wrap clears it.
    const struct {
        int id;
        const char *selection, *status;
    } tools[]
        = {{wxID_UP, "0,3", ""}, {wxID_UP, "12,15", "hit top"}, {wxID_DOWN, "0,3", "hit bottom"}};
    for (const auto& tool : tools) {
        SCOPED_TRACE(tool.selection);
        qeltest::LogCapture log;
        wxCommandEvent event(wxEVT_MENU, tool.id);
        m_Bar->ProcessWindowEvent(event);
        EXPECT_EQ(Selection(), tool.selection);
        wxString status = "(none)";
        for (const auto& record : log.Records())
            if (record.level == wxLOG_Status) status = record.text;
        EXPECT_TRUE(*tool.status == 0 ? status.empty() : status.EndsWith(tool.status)) << status;
    }

    // An empty entry: Enter changes nothing, the tools are disabled.
    m_Entry->ChangeValue(wxEmptyString);
    Enter(m_Entry);
    EXPECT_EQ(Selection(), "0,3");
    m_Bar->UpdateWindowUI(wxUPDATE_UI_FROMIDLE);
    EXPECT_FALSE(m_Bar->GetToolEnabled(wxID_DOWN) || m_Bar->GetToolEnabled(wxID_UP));
}

// On GTK the Delete accelerator runs before the entry sees the key; passed
// on as a command, the frame forwarded it to the editor, which deleted there.
TEST_F(FindBarTest, DeleteKeyDeletesInTheEntry)
{
    m_Frame->Bind(
        wxEVT_MENU, [this](wxCommandEvent&) { m_Stc->Clear(); }, wxID_DELETE);
    wxKeyEvent key(wxEVT_KEY_DOWN);
    key.m_keyCode = WXK_DELETE;
    const int command = m_Entry->GetAcceleratorTable()->GetCommand(key);
    ASSERT_EQ(command, wxID_DELETE);
    // The entry's selection, then its text after the key.
    const std::tuple<long, long, const char*> rows[] = {{1, 1, "ac"}, {0, 2, "c"}, {3, 3, "abc"}};
    for (const auto& [from, to, after] : rows) {
        SetText("hello", 1);
        m_Entry->ChangeValue("abc");
        m_Entry->SetSelection(from, to);
        wxCommandEvent event(wxEVT_MENU, command);
        m_Entry->HandleWindowEvent(event);
        EXPECT_EQ(m_Entry->GetValue(), after);
        EXPECT_EQ(m_Stc->GetText(), "hello");
    }
}

TEST_F(FindBarTest, HexAndSyncBoxesWriteTheirSetting)
{
    QelToolBar* bar = m_Frame->GetToolBar();
    // A click writes the setting at once.
    EXPECT_FALSE(Click(bar, ID_TOOLBAR_HEX, true));
    EXPECT_TRUE(Click(bar, ID_TOOLBAR_SYNC, false));
    EXPECT_TRUE(wxConfigBase::Get()->ReadBool("HexMode", false));
    EXPECT_FALSE(wxConfigBase::Get()->ReadBool("AllowSync", true));
}

} // namespace
