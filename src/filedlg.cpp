#include <qelkit/filedlg.h>

#include <wx/filename.h>
#include <wx/log.h>
#include <wx/msgdlg.h>

#include <qelkit/file.h>
#include <qelkit/lexers.h>

QelFileDialog::QelFileDialog(wxWindow* parent, QelFile* file, const wxString& message,
                             const wxString& wildcard, long style, const wxPoint& pos,
                             const wxSize& size, const wxString& name)
    : wxFileDialog(parent, message, file->GetFileName().GetPath(wxPATH_GET_VOLUME),
                   file->GetFileName().GetFullName(), wildcard, style, pos, size, name)
    , m_File(file)
{
    if (wildcard == wxFileSelectorDefaultWildcardStr && m_File->GetFileName().IsOk())
        SetWildcard(QelLexers::Get()->BuildWildCards(m_File->GetFileName()));
}

bool QelFileDialog::SaveUnnamed()
{
    // A save dialog of its own: this one may be an open dialog, which would
    // not let the user type a new name.
    wxFileDialog dialog(GetParent(), _("Save As"), GetDirectory(),
                        m_File->GetFileName().GetFullName(), GetWildcard(),
                        wxFD_SAVE | wxFD_OVERWRITE_PROMPT);
    if (dialog.ShowModal() != wxID_OK) return false;
    const wxArrayString paths = QelFileDialogPaths(dialog);
    if (paths.empty()) return false;
    if (m_File->FileSave(QelFileName(paths[0]))) return true;
    wxLogError("%s", _("Cannot save file") + ": " + paths[0]);
    return false;
}

bool QelFileDialog::IsNamed() const
{
    // A new document named only for its tab ("textfile1") has no folder: it
    // was never saved, and saving it means choosing a place.
    return m_File->GetFileName().IsOk() && m_File->GetFileName().IsAbsolute();
}

bool QelFileDialog::Save()
{
    if (!IsNamed()) return SaveUnnamed();
    if (m_File->FileSave()) return true;
    wxLogError("%s", _("Cannot save file") + ": " + m_File->GetFileName().GetFullPath());
    return false;
}

int QelFileDialog::ShowModalIfChanged(bool show_modal)
{
    if (m_File->GetContentsChanged()) {
        const bool named = IsNamed();
        const wxString question = named
            ? _("Save changes to") + ": " + m_File->GetFileName().GetFullPath() + "?"
            : _("Save changes") + "?";
        const QelFileQuestion shown;
        switch (wxMessageBox(question, _("Confirm"), wxYES_NO | wxCANCEL | wxICON_QUESTION)) {
        case wxYES: {
            // The caller closes or replaces the document after this: a save
            // that did not happen must stop it.
            if (!Save()) return wxID_CANCEL;
            break;
        }
        case wxNO:
            // Go on without saving. The document may well stay open (a
            // version-control command, opening a project as text), so its
            // changes stay marked: only closing it forgets them.
            break;
        default:
            return wxID_CANCEL;
        }
    }
    return show_modal ? ShowModal() : wxID_OK;
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
