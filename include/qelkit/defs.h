// Command identifiers and flag words shared by the whole system.
// Our own identifiers lie above the toolkit's highest one. The library's run
// from 6001 to 6163, the application's from 6164 to 6196. Within a block the
// lowest and highest identifiers carry no command: they bound range tests
// (lowest < id < highest).
#pragma once

#include <wx/defs.h>

// Commands a keyed notebook runs over all its editor pages.
enum QelAllPagesId {
    ID_ALL_LOWEST = 6001,
    ID_ALL_CLOSE = 6002,
    ID_ALL_CONFIG_GET = 6003,
    ID_ALL_SAVE = 6004,
    ID_ALL_STC_SET_LEXER = 6005,
    ID_ALL_STC_SET_LEXER_THEME = 6006,
    ID_ALL_HIGHEST = 6007,
};

// The view toggles of the frames; the panes' block lies between the two
// bounds.
enum QelViewId {
    ID_VIEW_MENUBAR = 6019,
    ID_VIEW_STATUSBAR = 6020,
    ID_VIEW_TITLEBAR = 6021,
    ID_VIEW_PANE_LOWEST = 6022,
    ID_VIEW_FINDBAR = 6023,
    ID_VIEW_TOOLBAR = 6024,
    ID_VIEW_PANE_HIGHEST = 6025,
};

// The controls of the frame's tool bar and find bar; window ids local to
// the bars, no menu commands.
enum QelToolBarId {
    ID_FIND_MATCH_WHOLE_WORD = 100,
    ID_FIND_MATCH_CASE = 101,
    ID_FIND_REGULAR_EXPRESSION = 102,
    ID_TOOLBAR_HEX = 103,
    ID_TOOLBAR_SYNC = 104,
};

// The window id of the frame's status bar; its update event keeps the
// position pane current.
constexpr int ID_STATUSBAR = 900;

// Editor commands, with the editor's own block of commands.
enum QelEditorCommandId {
    ID_SHELL_COMMAND = 6008,
    ID_SHELL_COMMAND_STOP = 6009,
    ID_EDIT_FIND_NEXT = 6011,
    ID_EDIT_FIND_PREVIOUS = 6012,
    ID_DOCUMENT_NEXT = 6013,
    ID_DOCUMENT_PREVIOUS = 6014,
    ID_EDIT_OPEN_LINK = 6017,
    ID_EDIT_OPEN_BROWSER = 6018,

    ID_EDIT_STC_LOWEST = 6026,
    ID_EDIT_READ_FILE = 6027,
    ID_EDIT_COMPARE_RECENT = 6028,
    ID_EDIT_CONTROL_CHAR = 6029,
    ID_EDIT_HEX_DEC_CALLTIP = 6030,
    ID_EDIT_UPPERCASE = 6031,
    ID_EDIT_LOWERCASE = 6032,
    // 6033 carries no command.
    ID_EDIT_FOLD_TOGGLE = 6034,
    ID_EDIT_FOLD_ALL = 6035,
    ID_EDIT_UNFOLD_ALL = 6036,
    ID_EDIT_EOL_DOS = 6037,
    ID_EDIT_EOL_UNIX = 6038,
    ID_EDIT_EOL_MAC = 6039,
    ID_EDIT_HEX = 6040,
    ID_EDIT_MARKER_NEXT = 6041,
    ID_EDIT_MARKER_PREVIOUS = 6042,
    ID_EDIT_ZOOM_IN = 6043,
    ID_EDIT_ZOOM_OUT = 6044,
    ID_EDIT_STC_HIGHEST = 6045,
};

// Selection commands of the edit menus and list views.
enum QelEditSelectId {
    ID_EDIT_SELECT_NONE = 6015,
    ID_EDIT_SELECT_INVERT = 6016,
};

// The "Sort On" entries of a list's menu: the lowest id plus the column number.
enum QelListViewId {
    ID_COLUMN_SORT_LOWEST = 1000,
    ID_COLUMN_SORT_HIGHEST = 1255,
};

// Item buttons of a configuration dialog must lie below wxID_LOWEST; the
// folder items of the system's dialogs use this one for their combo box
// and its browse button.
constexpr int ID_BROWSE_FOLDER = 1000;

// Sent to the top window when a command run in the background has ended.
enum QelProcessId {
    ID_TERMINATED_PROCESS = 6010,
};

// Version-control commands: one block for the commands on documents, one for
// the commands on the base folder. Command number n of a system has the
// identifier lowest + 1 + n.
enum QelVCSId {
    ID_EDIT_VCS_LOWEST = 6046,
    ID_EDIT_VCS_HIGHEST = 6071,
    ID_VCS_LOWEST = 6072,
    ID_VCS_HIGHEST = 6097,
};

// Tools that run over files and folders; the report tools form a block of
// their own inside the tool block.
enum QelToolId {
    ID_TOOL_LOWEST = 6099,
    ID_TOOL_RECENT_REVISION = 6100,
    ID_TOOL_REPORT_LOWEST = 6126,
    ID_TOOL_FIND_IN_FILES = 6127,
    ID_TOOL_REPLACE_IN_FILES = 6128,
    ID_TOOL_REPORT_COUNT = 6129,
    ID_TOOL_REPORT_VERSION = 6130,
    ID_TOOL_REPORT_REVISION = 6131,
    ID_TOOL_REPORT_KEYWORD = 6132,
    ID_TOOL_REPORT_SQL = 6134,
    ID_TOOL_REPORT_HIGHEST = 6143,
    ID_TOOL_HIGHEST = 6144,
};

// The recent-files and recent-projects menus of the frame with history:
// entry i of a history has the identifier lowest + i.
enum QelRecentId {
    ID_RECENT_FILE_LOWEST = wxID_FILE1, // 5051
    ID_RECENT_FILE_HIGHEST = 5076,
    ID_RECENT_PROJECT_LOWEST = 5077,
    ID_RECENT_PROJECT_HIGHEST = 5102,
};

// Commands of the lists bound to the frame.
enum QelListCommandId {
    ID_LIST_LOWEST = 6145,
    ID_LIST_COMPARE = 6146,
    ID_LIST_COMPARE_RECENT = 6147,
    ID_LIST_OPEN_ITEM = 6148,
    ID_LIST_RUN_MAKE = 6149,
    ID_LIST_VERSION_LIST = 6150,
    ID_LIST_HIGHEST = 6151,
};

// Commands run over every page of a notebook of lists.
enum QelListAllId {
    ID_LIST_ALL_SET_FONT = 6153,
    ID_LIST_ALL_CLOSE = 6159,
};

// Commands of the explorer's popup menu; 6156 and 6157 carry no command.
enum QelTreeId {
    ID_TREE_OPEN = 6154,
    ID_TREE_COPY = 6155,
    ID_TREE_RUN_MAKE = 6158,
};

// Commands of the frame with history; its command range runs between the
// two bounds.
enum QelFrameHistoryId {
    ID_FRAME_HISTORY_LOWEST = 6102,
    ID_PROJECT_SAVE = 6160,
    ID_FIND_IN_FILES = 6161,
    ID_REPLACE_IN_FILES = 6162,
    ID_FRAME_HISTORY_HIGHEST = 6163,
};

// What the popup menu of a list bound to the frame offers.
enum QelListMenuFlags {
    LIST_MENU_FIND = 0x01, // find and replace in the selected rows
    LIST_MENU_TOOL = 0x02, // the tools
};

// The flag word of an editor: how it was opened and what it shows.
// Bits not listed here pass through untouched.
enum QelEditorFlags {
    EDITOR_READ_ONLY = 0x01,
    EDITOR_HEX = 0x02,           // hexadecimal dump, always read-only
    EDITOR_FROM_LINK = 0x20,     // opened from a link in another editor
    EDITOR_OPEN_PROJECT = 0x100, // open as a project page, not an editor
};

// The context-menu word of an editor.
enum QelEditorMenuFlags {
    EDITOR_MENU_NONE = 0,
    EDITOR_MENU_OPEN_LINK = 0x20,
    EDITOR_MENU_ALL = 0xFFFF,
};

// Which edit entries a menu offers.
enum QelMenuStyle {
    MENU_READ_ONLY = 0x01,
    MENU_HAS_SELECTION = 0x02,
    MENU_NO_CONTENT = 0x04,
    MENU_OFFER_CLEAR = 0x08,
    MENU_OFFER_PASTE = 0x10,

    // The same bits under the names the editor's code uses.
    MENU_IS_READ_ONLY = MENU_READ_ONLY,
    MENU_IS_SELECTED = MENU_HAS_SELECTION,
    MENU_IS_EMPTY = MENU_NO_CONTENT,
    MENU_CAN_CLEAR = MENU_OFFER_CLEAR,
    MENU_CAN_PASTE = MENU_OFFER_PASTE,
};

// The flags of the file status line.
enum QelStatusFlags {
    STAT_SYNC = 1,     // "Synchronized" in place of "Modified"
    STAT_FULLPATH = 2, // the full path in place of the name
};

// Fixed numbers of the editor control.
constexpr int QEL_MARGIN_LINE_NUMBER = 0;
constexpr int QEL_MARGIN_DIVIDER = 1;
constexpr int QEL_MARGIN_FOLDING = 2;
constexpr int QEL_MARKER_CHANGE = 1;
constexpr int QEL_STYLE_DEFAULT = 32;
constexpr int QEL_MARKER_MAX = 31; // markers and indicators run from 0
constexpr int QEL_INDICATOR_MAX = 31;

// The notebooks of the main window; their window ids are also passed to the
// frame's notebook callbacks.
enum QelNotebookId {
    ID_NOTEBOOK_EDITORS = 0,
    ID_NOTEBOOK_LISTS = 1,
    ID_NOTEBOOK_PROJECTS = 2,
};
