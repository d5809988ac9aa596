// Commands of the report library that act on many things at once: every page
// of a notebook of lists, make on a makefile, a tool on one row of a list
// (a file, or a folder walked), and the other versions of a file kept in
// sibling folders named with a version number.
#pragma once

#include <vector>

#include <wx/arrstr.h>
#include <wx/filename.h>
#include <wx/font.h>

#include <qelkit/statistics.h>

class QelFrameWithHistory;
class QelListItem;
class QelListView;
class QelTool;
class wxAuiNotebook;

// Runs the command on every page, from the last to the first.
// ID_LIST_ALL_SET_FONT gives each list the font (when valid) and reads its
// rows again; ID_LIST_ALL_CLOSE closes each project page after the save
// question. False when the user cancelled (the pages not yet visited stay),
// a page was missing or the notebook refused to delete one.
bool QelForEach(wxAuiNotebook* notebook, int id, const wxFont& font = wxNullFont);

// The words of the make run: the "Make" program, the "MakeSwitch" option and
// the makefile's full path, each one argument whatever blanks it holds.
wxArrayString QelMakeArguments(const wxFileName& makefile);

// Runs make on the makefile in the makefile's folder, in the background
// through the frame's process, so that its output becomes linked rows. False
// when it did not start (another run still going is refused with a status
// text).
bool QelMake(QelFrameWithHistory* frame, const wxFileName& makefile);

// Runs the tool on one row: its file, or its folder walked with every
// sub-folder over the row's file patterns. The statistics of that run.
QelFileStatistics QelRun(const QelListItem& item, const QelTool& tool);

// What a search for other versions of a file found.
struct QelOtherVersions {
    enum class Result {
        found,      // at least one other version
        no_version, // no folder of the path carries a version number
        no_folder,  // the folder holding the version folders cannot be read
        none,       // version folders, but no other copy of the file
    };
    Result result = Result::none;
    wxString base;                 // the folder holding the version folders
    std::vector<wxFileName> files; // in the order the folder lists them
};

// The copies of the file in the sibling folders of the first folder of its
// path named with a version number (lib-1.2, rel3, /release-2.9.2): the same
// path below each sibling, an existing file in another folder with another
// modification time. Letting the event loop run between the siblings when
// `yield` is set.
QelOtherVersions QelFindOtherVersions(const wxFileName& filename, bool yield = false);

// Adds a row for every other version of the file to the list; false (with a
// status text saying why) when there is none.
bool QelFindOtherFileName(const wxFileName& filename, QelListView* listview);
