// The version-control systems of vcs.xml, and a request to one of them.
#pragma once

#include <map>

#include <wx/arrstr.h>
#include <wx/filename.h>
#include <wx/string.h>

#include <qelkit/vcsentry.h>

class QelVCS {
public:
    // An empty request: no system, no files.
    QelVCS() = default;

    // Records the file the systems are read from; the object is an empty
    // request.
    explicit QelVCS(const wxFileName& filename);

    // Reads the systems again from the recorded file. False when it is missing
    // or malformed (the second is logged with the file and the line); the
    // systems read before are then kept.
    static bool Read();

    // Forgets every system.
    static void Clear();

    static size_t GetCount();
    static const wxFileName& GetFileName();
    // The systems by name, in plain character order.
    static const std::map<wxString, QelVCSEntry>& GetEntries();

    const QelVCSEntry& GetEntry() const { return m_Entry; }

private:
    static std::map<wxString, QelVCSEntry>& Entries();
    static wxFileName& FileName();

    QelVCSEntry m_Entry;
    wxArrayString m_Files;
    wxString m_Caption;
};
