// When the main window's commands are available: the rules over a plain
// snapshot of the window's state, so that they need no window to be checked.
#pragma once

#include <optional>

// What the rules look at. The frame fills it from its editors notebook, the
// current editor, list and project, its process, the histories, the
// settings and the panes.
struct UiState {
    // The editors notebook.
    size_t editor_pages = 0;

    // The current editor.
    bool has_editor = false;
    int length = 0;
    bool named = false; // its file has a full path
    bool modified = false;
    bool read_only = false;
    int selected_chars = 0; // 0, 1, or 2 for more
    bool can_undo = false;
    bool can_redo = false;
    int fold_level = 0; // of the caret's line, with its flags
    bool vi_active = false;
    bool vi_insert = false;
    bool macro_recording = false;
    bool macro_recorded = false;

    // The current list view, when there is no editor to print.
    bool has_list = false;
    int list_items = 0;

    bool process_running = false;
    bool process_selected = false;
    size_t vcs_count = 0;
    bool vcs_use = false;

    bool has_project = false;
    bool project_changed = false;
    bool project_named = false;
    bool project_shown = false;

    bool recent_file = false;
    bool recent_project = false;

    long sort_method = 4;  // "List/SortMethod"
    bool sort_sync = true; // "List/SortSync"

    // Shown panes, bit i for ID_VIEW_FILES + i.
    unsigned panes_shown = 0;
};

// Equal states give every command the same answer.
bool operator==(const UiState& a, const UiState& b);
inline bool operator!=(const UiState& a, const UiState& b)
{
    return !(a == b);
}

struct UiAnswer {
    bool known = true; // the id has a rule here
    bool enable = true;
    std::optional<bool> check; // for check items
};

// The answer for a command id.
UiAnswer UiRules(int id, const UiState& state);

// The pane a View item shows, for its bit in UiState::panes_shown.
const char* UiPaneName(int view_id);
