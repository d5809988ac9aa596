#include <qelkit/filedlg.h>

#include <wx/filename.h>
#include <wx/log.h>
#include <wx/msgdlg.h>

#include <qelkit/file.h>
#include <qelkit/lexers.h>

namespace {

// Where a file that never had a name is offered to be saved.
struct SavePlace {
    wxWindow* parent;
    wxString folder;
    wxString wildcard;
};

// The wildcard a dialog on the file offers: the lexers' wildcards instead of
// the default one for a file with a valid name.
wxString WildcardFor(const QelFile& file, const wxString& wildcard)
{
    if (wildcard == wxFileSelectorDefaultWildcardStr && file.GetFileName().IsOk())
        return QelLexers::Get()->BuildWildCards(file.GetFileName());
    return wildcard;
}

// Taken only when a name is to be chosen: the lexers' wildcards are built
// from every lexer.
SavePlace PlaceOf(wxWindow* parent, const QelFile& file)
{
    return {parent, file.GetFileName().GetPath(wxPATH_GET_VOLUME),
            WildcardFor(file, wxFileSelectorDefaultWildcardStr)};
}

bool IsNamed(const QelFile& file)
{
    // A new document named only for its tab ("textfile1") has no folder: it
    // was never saved, and saving it means choosing a place.
    return file.GetFileName().IsOk() && file.GetFileName().IsAbsolute();
}

bool SaveUnnamed(QelFile* file, const SavePlace& place)
{
    // A save dialog of its own: a dialog of the caller may be an open
    // dialog, which would not let the user type a new name.
    wxFileDialog dialog(place.parent, _("Save As"), place.folder, file->GetFileName().GetFullName(),
                        place.wildcard, wxFD_SAVE | wxFD_OVERWRITE_PROMPT);
    if (dialog.ShowModal() != wxID_OK) return false;
    const wxArrayString paths = QelFileDialogPaths(dialog);
    if (paths.empty()) return false;
    if (file->FileSave(QelFileName(paths[0]))) return true;
    wxLogError("%s", _("Cannot save file") + ": " + paths[0]);
    return false;
}

bool SaveNamed(QelFile* file)
{
    if (file->FileSave()) return true;
    wxLogError("%s", _("Cannot save file") + ": " + file->GetFileName().GetFullPath());
    return false;
}

// Whether the caller may go on (saved, or the user said No).
bool AskToSave(wxWindow* parent, QelFile* file, const SavePlace* place)
{
    if (!file->GetContentsChanged()) return true;

    const bool named = IsNamed(*file);
    const wxString question = named
        ? _("Save changes to") + ": " + file->GetFileName().GetFullPath() + "?"
        : _("Save changes") + "?";
    const QelFileQuestion shown;

    switch (wxMessageBox(question, _("Confirm"), wxYES_NO | wxCANCEL | wxICON_QUESTION)) {
    case wxYES:
        // The caller closes or replaces the document after this: a save
        // that did not happen must stop it.
        if (named) return SaveNamed(file);
        return SaveUnnamed(file, place != nullptr ? *place : PlaceOf(parent, *file));
    case wxNO:
        // Go on without saving. The document may well stay open (a
        // version-control command, opening a project as text), so its
        // changes stay marked: only closing it forgets them.
        return true;
    default:
        return false;
    }
}

} // namespace

QelFileDialog::QelFileDialog(wxWindow* parent, QelFile* file, const wxString& message,
                             const wxString& wildcard, long style, const wxPoint& pos,
                             const wxSize& size, const wxString& name)
    : wxFileDialog(parent, message, file->GetFileName().GetPath(wxPATH_GET_VOLUME),
                   file->GetFileName().GetFullName(), WildcardFor(*file, wildcard), style, pos,
                   size, name)
    , m_File(file)
{ }

int QelFileDialog::ShowModalIfChanged(bool show_modal)
{
    const SavePlace place{GetParent(), GetDirectory(), GetWildcard()};
    if (!AskToSave(GetParent(), m_File, &place)) return wxID_CANCEL;
    return show_modal ? ShowModal() : wxID_OK;
}

int QelSaveIfChanged(wxWindow* parent, QelFile* file)
{
    return AskToSave(parent, file, nullptr) ? wxID_OK : wxID_CANCEL;
}

bool QelSaveFile(wxWindow* parent, QelFile* file)
{
    return IsNamed(*file) ? SaveNamed(file) : SaveUnnamed(file, PlaceOf(parent, *file));
}

wxArrayString QelFileDialogPaths(const wxFileDialog& dialog)
{
    wxArrayString paths;
    if (dialog.HasFlag(wxFD_MULTIPLE)) {
        dialog.GetPaths(paths);
    } else if (!dialog.GetPath().empty()) {
        paths.push_back(dialog.GetPath());
    }
    // GTK's chooser knows no path before it was shown (a dialog answered by
    // a test hook), but it keeps the folder and name it was given.
    if (paths.empty() && !dialog.GetFilename().empty())
        paths.push_back(wxFileName(dialog.GetDirectory(), dialog.GetFilename()).GetFullPath());
    return paths;
}
