// Opening files named by path, by wildcard or as "name:line" through a
// frame's OpenFile, with or without asking for them in a file dialog.
#pragma once

#include <wx/arrstr.h>
#include <wx/dir.h>
#include <wx/filedlg.h>
#include <wx/string.h>

#include <qelkit/dir.h>

class QelFrame;

// Opens each name through the frame: an existing file as it is; a name with
// "*" or "?" as a wildcard matched in the current working folder, or in the
// folder its path names; a missing "name:line" at that line (the whole
// number after the first ":"). An empty name is skipped. Wildcards that match
// no file are said in one error, and so are those not looked for because
// another folder scan runs; a scan that is cancelled ends the request.
void QelOpenFiles(QelFrame* frame, const wxArrayString& files, long file_flags = 0,
                  int dir_flags = wxDIR_DEFAULT);

// Asks for files with a file dialog (in the current editor's folder when
// there is one) and opens them. With ask_for_continue a changed editor is
// first offered to be saved; Cancel there stops.
void QelOpenFilesDialog(QelFrame* frame, long style = wxFD_OPEN | wxFD_MULTIPLE | wxFD_CHANGE_DIR,
                        const wxString& wildcards = wxFileSelectorDefaultWildcardStr,
                        bool ask_for_continue = false, long file_flags = 0,
                        int dir_flags = wxDIR_DEFAULT);

// A folder scan that opens every file it finds through the frame.
class QelDirOpenFile : public QelDir {
public:
    QelDirOpenFile(QelFrame* frame, const wxString& fullpath, const wxString& filespec,
                   long file_flags, int dir_flags);

    void OnFile(const wxString& file) override;

private:
    QelFrame* m_Frame;
    long m_Flags;
};

// How QelOpenFiles reads one name.
struct QelOpenName {
    enum class Kind { file, wildcard };
    Kind kind;
    wxString name; // the file name, or the whole wildcard
    int line;      // 0 for none
};

// The reading of name, given whether a file of exactly that name exists.
QelOpenName QelParseOpenName(const wxString& name, bool exists);

// The names of an open command: its text split at white space; relative
// names of plain files made absolute in `folder` (when not empty) and kept
// only when they exist there, else reported in *missing. A numeric ":line"
// suffix is kept but not part of the existence test. Wildcards pass
// unchanged.
wxArrayString QelOpenCommandNames(const wxString& text, const wxString& folder,
                                  wxArrayString* missing);
