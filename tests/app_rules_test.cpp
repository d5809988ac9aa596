#include <functional>

#include <gtest/gtest.h>

#include "defs.h"
#include "rules.h"

namespace {

UiState Editor(int length = 10)
{
    UiState s;
    s.editor_pages = 1;
    s.has_editor = true;
    s.length = length;
    return s;
}

struct Row {
    const char* name;
    int id;
    std::function<void(UiState&)> set; // applied to Editor()
    bool enable;
    std::optional<bool> check = std::nullopt;
    bool no_editor = false; // start from an empty state instead
};

void ExpectRows(const std::vector<Row>& rows)
{
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        UiState state = row.no_editor ? UiState() : Editor();
        if (row.set) row.set(state);
        const UiAnswer answer = UiRules(row.id, state);
        EXPECT_TRUE(answer.known);
        EXPECT_EQ(answer.enable, row.enable);
        EXPECT_EQ(answer.check, row.check);
    }
}

} // namespace

TEST(UiRulesTest, FrameCommands)
{
    ExpectRows({
        {"save all without pages", ID_ALL_SAVE, nullptr, false, std::nullopt, true},
        {"set vcs with a system", ID_OPTION_VCS, [](UiState& s) { s.vcs_count = 1; }, true},
        {"revision report without vcs", ID_TOOL_REPORT_REVISION, nullptr, true, true},
        {"revision report with vcs", ID_TOOL_REPORT_REVISION, [](UiState& s) { s.vcs_use = true; },
         true, false},
        {"execute while running", wxID_EXECUTE,
         [](UiState& s) { s.process_selected = s.process_running = true; }, false},
        {"execute selected", wxID_EXECUTE, [](UiState& s) { s.process_selected = true; }, true},
        {"project save unchanged", ID_PROJECT_SAVE, [](UiState& s) { s.has_project = true; },
         false},
        {"project save changed", ID_PROJECT_SAVE,
         [](UiState& s) { s.has_project = s.project_changed = true; }, true},
        {"sort sync off", ID_PROJECT_SORT_SYNC, [](UiState& s) { s.sort_sync = false; }, true,
         false},
        {"output pane shown", ID_VIEW_OUTPUT, [](UiState& s) { s.panes_shown = 1u << 2; }, true,
         true},
        {"ascii pane hidden", ID_VIEW_ASCII_TABLE, [](UiState& s) { s.panes_shown = 0x1f; }, true,
         false},
    });
}

TEST(UiRulesTest, PrintFollowsEditorElseList)
{
    ExpectRows({
        {"editor with text", wxID_PRINT, nullptr, true},
        {"empty editor", wxID_PREVIEW, [](UiState& s) { s.length = 0; }, false},
        // An empty editor wins over a list with items.
        {"empty editor, list", wxID_PRINT,
         [](UiState& s) {
             s.length = 0;
             s.has_list = true;
             s.list_items = 3;
         },
         false},
        {"list with items", wxID_PREVIEW,
         [](UiState& s) {
             s.has_list = true;
             s.list_items = 3;
         },
         true, std::nullopt, true},
        {"list without items", wxID_PRINT, [](UiState& s) { s.has_list = true; }, false,
         std::nullopt, true},
        {"list only: save", wxID_SAVE,
         [](UiState& s) {
             s.has_list = true;
             s.list_items = 3;
         },
         false, std::nullopt, true},
    });
}

TEST(UiRulesTest, SortMethodChecksExactlyOne)
{
    for (const long method : {2L, 3L, 4L, 7L}) {
        SCOPED_TRACE(method);
        UiState s;
        s.sort_method = method;
        int checked = 0;
        for (int id = ID_OPTION_LIST_SORT_ASCENDING; id <= ID_OPTION_LIST_SORT_TOGGLE; ++id) {
            const UiAnswer answer = UiRules(id, s);
            ASSERT_TRUE(answer.check.has_value());
            if (*answer.check) {
                ++checked;
                EXPECT_EQ(id - ID_OPTION_LIST_SORT_ASCENDING + 2, method);
            }
        }
        EXPECT_EQ(checked, method == 7 ? 0 : 1);
    }
}

TEST(UiRulesTest, EditorCommands)
{
    ExpectRows({
        {"save named modified", wxID_SAVE, [](UiState& s) { s.named = s.modified = true; }, true},
        {"save unnamed modified", wxID_SAVE, [](UiState& s) { s.modified = true; }, false},
        {"save named unmodified", wxID_SAVE, [](UiState& s) { s.named = true; }, false},
        {"save as empty", wxID_SAVEAS, [](UiState& s) { s.length = 0; }, false},
        {"save as one char", wxID_SAVEAS, [](UiState& s) { s.length = 1; }, true},
        {"find next empty", ID_EDIT_FIND_NEXT, [](UiState& s) { s.length = 0; }, false},
        {"control char read-only two chars", ID_EDIT_CONTROL_CHAR,
         [](UiState& s) {
             s.read_only = true;
             s.selected_chars = 2;
         },
         false},
        {"control char read-only one char", ID_EDIT_CONTROL_CHAR,
         [](UiState& s) {
             s.read_only = true;
             s.selected_chars = 1;
         },
         true},
        {"fold base level", ID_EDIT_FOLD_TOGGLE, [](UiState& s) { s.fold_level = 0x400; }, false},
        {"fold header", ID_EDIT_FOLD_TOGGLE, [](UiState& s) { s.fold_level = 0x2400; }, true},
        {"fold inside", ID_EDIT_FOLD_TOGGLE, [](UiState& s) { s.fold_level = 0x401; }, true},
        {"playback while recording", ID_EDIT_MACRO_PLAYBACK,
         [](UiState& s) { s.macro_recorded = s.macro_recording = true; }, false},
        {"playback recorded", ID_EDIT_MACRO_PLAYBACK, [](UiState& s) { s.macro_recorded = true; },
         true},
        {"record vi command mode", ID_EDIT_MACRO_START_RECORD,
         [](UiState& s) { s.vi_active = true; }, false},
        {"record vi insert mode", ID_EDIT_MACRO_START_RECORD,
         [](UiState& s) { s.vi_active = s.vi_insert = true; }, true},
        {"record while recording", ID_EDIT_MACRO_START_RECORD,
         [](UiState& s) { s.macro_recording = true; }, false},
        {"undo without editor", wxID_UNDO, [](UiState& s) { s.can_undo = true; }, false,
         std::nullopt, true},
    });
}

// Ids without a rule are left to the toolkit's other handlers.
TEST(UiRulesTest, UnknownIdsAreNotAnswered)
{
    for (const int id : {int(wxID_PREFERENCES), int(ID_APP_LOWEST), 6188, int(ID_SPLIT)}) {
        SCOPED_TRACE(id);
        EXPECT_FALSE(UiRules(id, Editor()).known);
        EXPECT_FALSE(UiRules(id, UiState()).known);
    }
}
