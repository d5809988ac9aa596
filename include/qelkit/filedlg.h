// The file dialog bound to one file object, and the one prompt to save a
// changed file before it is closed, replaced or saved under another name.
#pragma once

#include <wx/arrstr.h>
#include <wx/filedlg.h>

class QelFile;

class QelFileDialog : public wxFileDialog {
public:
    // Opens in the file's folder with its name; the default wildcard becomes
    // the lexers' wildcards for a file with a valid name. file is not owned
    // and must outlive the dialog.
    QelFileDialog(wxWindow* parent, QelFile* file,
                  const wxString& message = wxFileSelectorPromptStr,
                  const wxString& wildcard = wxFileSelectorDefaultWildcardStr,
                  long style = wxFD_DEFAULT_STYLE, const wxPoint& pos = wxDefaultPosition,
                  const wxSize& size = wxDefaultSize, const wxString& name = wxFileDialogNameStr);

    // Asks about a changed file as QelSaveIfChanged does (a never-saved file
    // is offered this dialog's folder and wildcard). wxID_CANCEL when that
    // stopped; otherwise the result of ShowModal when show_modal, else
    // wxID_OK.
    int ShowModalIfChanged(bool show_modal = false);

private:
    QelFile* m_File;
};

// Asks whether a changed file is to be saved before the caller goes on: Yes
// saves it (a file that never had a name is first given one with a Save
// dialog), No goes on without saving and leaves the changes marked: only
// closing the document forgets them. Returns wxID_CANCEL when the user
// cancels, or when the save was cancelled or failed, so that the caller
// keeps the document; else wxID_OK. An unchanged file passes at once, and
// no file dialog is built unless a name must be chosen.
int QelSaveIfChanged(wxWindow* parent, QelFile* file);

// Saves the file: one that never had a name (a new document named only for
// its tab) is first given one with a Save dialog. False, with the path
// logged, when the save failed; false when the user cancelled.
bool QelSaveFile(wxWindow* parent, QelFile* file);

// The paths chosen in a file dialog that was answered (one or, with
// wxFD_MULTIPLE, several).
wxArrayString QelFileDialogPaths(const wxFileDialog& dialog);
