// Command and window identifiers of the tindrel main window. The library's
// own run from 6001 to 6163 (qelkit/defs.h); the application's lie between
// ID_APP_LOWEST and ID_APP_HIGHEST, which bound range tests only.
#pragma once

#include <qelkit/defs.h>

enum AppCommandId {
    ID_APP_LOWEST = 6164,
    ID_EDIT_ADD_HEADER = 6165,
    ID_EDIT_INSERT_SEQUENCE = 6166,
    ID_EDIT_MACRO_PLAYBACK = 6167,
    ID_EDIT_MACRO_START_RECORD = 6168,
    ID_EDIT_MACRO_STOP_RECORD = 6169,
    ID_OPTION_EDITOR = 6170,
    ID_OPTION_VCS = 6171,
    ID_OPTION_COMPARATOR = 6172,
    ID_OPTION_LIST_FONT = 6173,
    ID_OPTION_LIST_READONLY_COLOUR = 6174,
    ID_OPTION_LIST_SORT_ASCENDING = 6175,
    ID_OPTION_LIST_SORT_DESCENDING = 6176,
    ID_OPTION_LIST_SORT_TOGGLE = 6177,
    ID_PROCESS_SELECT = 6178,
    ID_PROJECT_NEW = 6179,
    ID_PROJECT_OPEN = 6180,
    ID_PROJECT_OPENTEXT = 6181,
    ID_PROJECT_CLOSE = 6182,
    ID_PROJECT_SAVEAS = 6183,
    ID_RECENT_FILE_MENU = 6184,
    ID_RECENT_PROJECT_MENU = 6185,
    ID_PROJECT_SORT_SYNC = 6186,
    ID_SPLIT = 6187,
    // 6188 carries no command.
    ID_VIEW_FILES = 6189,
    ID_VIEW_PROJECTS = 6190,
    ID_VIEW_OUTPUT = 6191,
    ID_VIEW_DIRCTRL = 6192,
    ID_VIEW_HISTORY = 6193,
    ID_VIEW_ASCII_TABLE = 6194,
    // 6195 carries no command.
    ID_APP_HIGHEST = 6196,
};

// The window id of the history list.
constexpr int ID_LISTVIEW_HISTORY = 3;
