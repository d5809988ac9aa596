// The version-control systems of vcs.xml, and a request to one of them.
#pragma once

#include <map>

#include <wx/arrstr.h>
#include <wx/filename.h>
#include <wx/string.h>

class wxWindow;

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

    // The request of a menu command on documents (full paths; none: the
    // base folder); menu_id -1 keeps the first command.
    QelVCS(const wxArrayString& files, int menu_id = -1);

    // Version control is on ("VCS" is not 0).
    bool Use() const;
    // Empty when off, "Auto" for the automatic choice, else the system's name.
    wxString GetName() const;
    // The first document, else the first "Base folder".
    wxString GetFile() const;
    const wxString& GetCaption() const { return m_Caption; }
    const QelVCSEntry& GetEntry() const { return m_Entry; }

    // The system of a file under the "VCS" setting; the empty entry when none.
    static QelVCSEntry FindEntry(const wxFileName& fn);
    // The file lies under the system that FindEntry finds for it.
    static bool DirExists(const wxFileName& fn);

    // Administrative folders. A system is found by a folder named after it
    // (CVS) or after it with a leading dot (.svn) beside the file; some are
    // also found in the folders above. A file inside such a folder is not
    // under version control. A path naming an existing folder is searched
    // from that folder itself.
    static bool CheckPath(const wxString& name, const wxFileName& fn);
    static bool CheckPathAll(const wxString& name, const wxFileName& fn);
    // Systems kept in one folder at the top of the working tree.
    static bool IsCheckPathAllVCS(const wxString& name);
    // The folder that holds the administrative folder; empty when none.
    static wxString GetRoot(const wxString& name, const wxFileName& fn);
    // The file's path below that folder, with '/' between the names.
    static wxString GetRelativeFile(const wxString& name, const wxFileName& fn);

    // The dialog that sets "VCS" and the executables; wxID_CANCEL at once
    // without systems.
    static int ConfigDialog(wxWindow* parent, const wxString& title);
    // Columns of the radio box of that dialog for a number of choices.
    static int GetRadioColumns(size_t choices);
    // Makes sure a base folder under version control is known, asking for
    // one when needed; false when cancelled, off or none is found.
    bool GetDir(wxWindow* parent);
    // The command's dialog; asks for a base folder when there are no files.
    int ShowDialog(wxWindow* parent) const;
    // Dialog, run and output: wxID_OK, or wxID_CANCEL when cancelled or the
    // command did not start.
    int Request(wxWindow* parent);

    // Runs the current command on the request's files, to its end: for
    // systems kept at the top of the tree in the repository root with the
    // files relative to it, for the others in the first file's folder.
    long Execute();

private:
    static std::map<wxString, QelVCSEntry>& Entries();
    static wxFileName& FileName();

    QelVCSEntry m_Entry;
    wxArrayString m_Files;
    wxString m_Caption;
};
