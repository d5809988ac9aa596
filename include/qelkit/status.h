// Talking to the desktop: text to and from the clipboard, the file status and
// find-result texts on the status bar, the newest copy of a file in sibling
// version folders, the external comparator, and the texts of printed pages.
// Status texts go through wxLogStatus, errors through wxLogError.
#pragma once

#include <wx/filename.h>
#include <wx/string.h>

#include <qelkit/defs.h> // STAT_SYNC, STAT_FULLPATH

// Puts the text on the clipboard and flushes it so that it outlives the
// program. False when the clipboard cannot be opened or refuses the text.
bool QelClipboardAdd(const wxString& text);

// The clipboard's text, or empty (with an error logged).
const wxString QelClipboardGet();

// Shows the file's name (the full path with STAT_FULLPATH), and when it
// exists "Modified" ("Synchronized" with STAT_SYNC) and its modification time.
// An invalid name shows nothing.
void QelLogStatus(const wxFileName& fn, long flags = 0);

// The text of a search that reached the end of the document ("Searching for
// 'x' hit bottom" or "... top"), or with recursive "'x' not found" and the
// bell. White space runs in the search text show as one blank.
void QelFindResult(const wxString& find_text, bool find_next, bool recursive);

// The newest copy of the file in the sibling folders of the first
// version-like folder of its path (a separator, lower-case letters or "-",
// digits with up to three ".digits" groups: /rel1, /release-2.9.2). A copy
// counts when it lies in another folder and its modification time differs.
// True with *lastfile set to the newest, else false with a status text or
// an error.
bool QelFindOtherFileName(const wxFileName& filename, wxFileName* lastfile);

// The version-folder pattern, for the toolkit's (PCRE) regular expressions;
// it is matched against the lower-cased full path.
const wxString& QelVersionFolderPattern();

// Starts the program of the "Comparator" setting on the two files, the older
// first (on equal times file2 first), each path one argument. False when no
// comparator is set (nothing shown), when a file does not exist or the
// program cannot be started (an error shown).
bool QelCompareFile(const wxFileName& file1, const wxFileName& file2);

// Print texts: the full path (job title); the full path and modification
// time cut to 79 characters, or "Printed: <now>" for a file that does not
// exist; "Page @PAGENUM@ of @PAGESCNT@".
const wxString QelPrintCaption(const wxFileName& filename);
const wxString QelPrintHeader(const wxFileName& filename);
const wxString QelPrintFooter();
