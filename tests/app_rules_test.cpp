#include <functional>

#include <gtest/gtest.h>

#include "defs.h"
#include "rules.h"

// Each row starts from one editor holding text, or from no editor at all.
// (How the window's state reaches the rules is in app_commands_guitest.)
TEST(UiRulesTest, CommandsFollowTheWindowsState)
{
    const struct {
        const char* name;
        int id;
        std::function<void(UiState&)> set;
        bool enable;
        std::optional<bool> check = std::nullopt;
        bool no_editor = false;
    } rows[] = {
        {"save all without pages", ID_ALL_SAVE, nullptr, false, std::nullopt, true},
        {"execute while running", wxID_EXECUTE,
         [](UiState& s) { s.process_selected = s.process_running = true; }, false},
        {"ascii pane hidden", ID_VIEW_ASCII_TABLE, [](UiState& s) { s.panes_shown = 0x1f; }, true,
         false},
        // Print follows the editor, else the list: an empty editor wins.
        {"empty editor, list", wxID_PRINT,
         [](UiState& s) { s.length = 0, s.has_list = true, s.list_items = 3; }, false},
        {"list with items", wxID_PREVIEW, [](UiState& s) { s.has_list = true, s.list_items = 3; },
         true, std::nullopt, true},
        {"list without items", wxID_PRINT, [](UiState& s) { s.has_list = true; }, false,
         std::nullopt, true},
        {"save unnamed modified", wxID_SAVE, [](UiState& s) { s.modified = true; }, false},
        {"save as empty", wxID_SAVEAS, [](UiState& s) { s.length = 0; }, false},
        {"control char read-only two chars", ID_EDIT_CONTROL_CHAR,
         [](UiState& s) { s.read_only = true, s.selected_chars = 2; }, false},
        {"fold base level", ID_EDIT_FOLD_TOGGLE, [](UiState& s) { s.fold_level = 0x400; }, false},
        {"fold inside", ID_EDIT_FOLD_TOGGLE, [](UiState& s) { s.fold_level = 0x401; }, true},
        {"playback while recording", ID_EDIT_MACRO_PLAYBACK,
         [](UiState& s) { s.macro_recorded = s.macro_recording = true; }, false},
        {"record vi command mode", ID_EDIT_MACRO_START_RECORD,
         [](UiState& s) { s.vi_active = true; }, false},
        {"record vi insert mode", ID_EDIT_MACRO_START_RECORD,
         [](UiState& s) { s.vi_active = s.vi_insert = true; }, true},
        {"undo without editor", wxID_UNDO, [](UiState& s) { s.can_undo = true; }, false,
         std::nullopt, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        UiState state;
        if (!row.no_editor) state.editor_pages = 1, state.has_editor = true, state.length = 10;
        if (row.set) row.set(state);
        const UiAnswer answer = UiRules(row.id, state);
        EXPECT_TRUE(answer.known);
        EXPECT_EQ(answer.enable, row.enable);
        EXPECT_EQ(answer.check, row.check);
    }
    // Ids without a rule are left to the toolkit's other handlers.
    for (const int id : {int(wxID_PREFERENCES), int(ID_APP_LOWEST), 6188, int(ID_SPLIT)})
        EXPECT_FALSE(UiRules(id, UiState()).known) << id;
}

TEST(UiRulesTest, SortMethodChecksExactlyOne)
{
    for (const long method : {2L, 4L, 7L}) {
        UiState s;
        s.sort_method = method;
        for (int id = ID_OPTION_LIST_SORT_ASCENDING; id <= ID_OPTION_LIST_SORT_TOGGLE; ++id)
            EXPECT_EQ(UiRules(id, s).check, id - ID_OPTION_LIST_SORT_ASCENDING + 2 == method)
                << method;
    }
}
