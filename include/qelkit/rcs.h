// One revision of the history that a source file may carry in the comment at
// its head: "[number] yymmdd [HHMMSS] user description", continued on
// indented comment lines.
#pragma once

#include <wx/datetime.h>
#include <wx/string.h>

class QelRCS {
public:
    // Empty texts, an invalid time, the date-only format.
    QelRCS();

    // Parses a revision header. A first word holding "." is the revision
    // number (else the number is empty and the word starts the date); then a
    // date "%y%m%d %H%M%S" or "%y%m%d", the user and the description. False
    // when no date follows: the record is then left as it was. `text` keeps
    // what followed the date, less the user.
    bool SetRevision(wxString& text);

    // Adds a continuation text, with a blank between it and the description
    // already there.
    void AppendDescription(const wxString& text);

    // Number, time (in its own format, local time) and user, each followed by
    // a blank when present, then the description.
    const wxString GetRevision() const;

    const wxString& GetDescription() const noexcept { return m_Description; }
    const wxString& GetRevisionFormat() const noexcept { return m_RevisionFormat; }
    const wxString& GetRevisionNumber() const noexcept { return m_RevisionNumber; }
    const wxDateTime& GetRevisionTime() const noexcept { return m_RevisionTime; }
    const wxString& GetUser() const noexcept { return m_User; }

private:
    wxString m_Description;
    wxString m_RevisionFormat;
    wxString m_RevisionNumber;
    wxDateTime m_RevisionTime;
    wxString m_User;
};
