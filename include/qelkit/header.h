// The descriptive comment that heads a source file: name, purpose, author,
// creation date, version-control keyword, copyright and licence, written in
// the comment syntax of the file's lexer. Author, e-mail address, licence
// and purpose live in the settings, so that they are asked for once.
#pragma once

#include <wx/intl.h>
#include <wx/string.h>

class wxWindow;
class QelFileName;

class QelHeader {
public:
    // Stores every argument that is not empty.
    QelHeader(const wxString& purpose = wxEmptyString, const wxString& author = wxEmptyString,
              const wxString& email = wxEmptyString, const wxString& license = wxEmptyString);

    // Writes each argument that is not empty; empty ones keep the stored value.
    void Set(const wxString& purpose, const wxString& author, const wxString& email,
             const wxString& license) const;

    // The stored purpose or author is empty.
    bool InfoNeeded() const;

    // Asks for the purpose, and for author, e-mail address and licence while
    // no author is stored; wxID_OK stores the answers, wxID_CANCEL nothing.
    int ShowDialog(wxWindow* parent, const wxString& title = _("File Purpose")) const;

    // The header text for the file, ending with an empty line; an empty C
    // header file gets an include guard after it.
    const wxString Get(const QelFileName* filename) const;

private:
    wxString Read(const wxString& key) const;

    // Settings keys, also the labels of the dialog's fields.
    const wxString m_TextAuthor;
    const wxString m_TextEmail;
    const wxString m_TextLicense;
    const wxString m_TextPurpose;
};

// The include guard for a header file's name without its extension: "__",
// the name and "_h", each character that cannot stand in an identifier
// made "_".
wxString QelIncludeGuard(const wxString& name);
