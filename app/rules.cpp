#include "rules.h"

#include <tuple>

#include "defs.h"

namespace {

// A line above the base fold level is a fold header or lies inside a fold.
constexpr int kFoldBase = 0x400;

UiAnswer Enable(bool enable)
{
    UiAnswer answer;
    answer.enable = enable;
    return answer;
}

UiAnswer Check(bool check)
{
    UiAnswer answer;
    answer.check = check;
    return answer;
}

// The rules that hold with or without a current editor.
std::optional<UiAnswer> FrameRules(int id, const UiState& s)
{
    switch (id) {
    // Saving or closing all is useful as soon as one page is open.
    case ID_ALL_CLOSE:
    case ID_ALL_SAVE:
        return Enable(s.editor_pages > 0);
    case ID_OPTION_VCS:
        return Enable(s.vcs_count > 0);
    case ID_OPTION_LIST_SORT_ASCENDING:
    case ID_OPTION_LIST_SORT_DESCENDING:
    case ID_OPTION_LIST_SORT_TOGGLE:
        return Check(id - ID_OPTION_LIST_SORT_ASCENDING == s.sort_method - 2);
    case ID_TOOL_REPORT_REVISION:
        return Check(!s.vcs_use);
    case ID_PROJECT_SAVE:
        return Enable(s.has_project && s.project_changed);
    case wxID_STOP:
        return Enable(s.process_running);
    case wxID_PRINT:
    case wxID_PREVIEW:
        return Enable(s.has_editor ? s.length > 0 : s.has_list && s.list_items > 0);
    case wxID_EXECUTE:
        return Enable(s.process_selected && !s.process_running);
    case ID_PROJECT_OPENTEXT:
        return Enable(s.has_project && s.project_named);
    case ID_PROJECT_CLOSE:
    case ID_PROJECT_SAVEAS:
        return Enable(s.has_project && s.project_shown);
    case ID_RECENT_FILE_MENU:
        return Enable(s.recent_file);
    case ID_RECENT_PROJECT_MENU:
        return Enable(s.recent_project);
    case ID_PROJECT_SORT_SYNC:
        return Check(s.sort_sync);
    default:
        break;
    }
    if (id >= ID_VIEW_FILES && id <= ID_VIEW_ASCII_TABLE)
        return Check((s.panes_shown >> (id - ID_VIEW_FILES) & 1) != 0);
    return std::nullopt;
}

// The rules on the current editor, assuming there is one.
std::optional<bool> EditorRules(int id, const UiState& s)
{
    switch (id) {
    case wxID_SAVE:
        return s.named && s.modified;
    case wxID_UNDO:
        return s.can_undo;
    case wxID_REDO:
        return s.can_redo;
    case wxID_SAVEAS:
    case wxID_REPLACE:
    case wxID_JUMP_TO:
    case ID_EDIT_FIND_NEXT:
    case ID_EDIT_FIND_PREVIOUS:
    case ID_EDIT_FOLD_ALL:
    case ID_EDIT_UNFOLD_ALL:
        return s.length > 0;
    // A read-only editor only tells the code of one selected character.
    case ID_EDIT_CONTROL_CHAR:
        return !s.read_only || s.selected_chars == 1;
    case ID_EDIT_FOLD_TOGGLE:
        return s.length > 0 && s.fold_level > kFoldBase;
    case ID_EDIT_ADD_HEADER:
    case ID_EDIT_INSERT_SEQUENCE:
        return !s.read_only;
    case ID_EDIT_MACRO_PLAYBACK:
        return s.macro_recorded && !s.macro_recording;
    // vi's command mode keys are no text to record.
    case ID_EDIT_MACRO_START_RECORD:
        return s.length > 0 && !s.macro_recording && (!s.vi_active || s.vi_insert);
    case ID_EDIT_MACRO_STOP_RECORD:
        return s.macro_recording;
    default:
        return std::nullopt;
    }
}

} // namespace

bool operator==(const UiState& a, const UiState& b)
{
    const auto fields = [](const UiState& s) {
        return std::tie(s.editor_pages, s.has_editor, s.length, s.named, s.modified, s.read_only,
                        s.selected_chars, s.can_undo, s.can_redo, s.fold_level, s.vi_active,
                        s.vi_insert, s.macro_recording, s.macro_recorded, s.has_list, s.list_items,
                        s.process_running, s.process_selected, s.vcs_count, s.vcs_use,
                        s.has_project, s.project_changed, s.project_named, s.project_shown,
                        s.recent_file, s.recent_project, s.sort_method, s.sort_sync, s.panes_shown);
    };
    return fields(a) == fields(b);
}

UiAnswer UiRules(int id, const UiState& state)
{
    if (const auto answer = FrameRules(id, state)) return *answer;
    const auto enable = EditorRules(id, state);
    if (!enable) {
        UiAnswer unknown;
        unknown.known = false;
        return unknown;
    }
    return Enable(state.has_editor && *enable);
}

const char* UiPaneName(int view_id)
{
    static const char* const names[]
        = {"FILES", "PROJECTS", "OUTPUT", "DIRCTRL", "HISTORY", "ASCIITABLE"};
    if (view_id < ID_VIEW_FILES || view_id > ID_VIEW_ASCII_TABLE) return "";
    return names[view_id - ID_VIEW_FILES];
}
