// Projects: a list of files and folders kept together, shown as a list page
// bound to its project file (XML, conventionally ".prj"). The list adds
// files and folders through its "Add Items" dialog, follows its rows and its
// own file for changes on disk, and tells when it differs from the file.
#pragma once

#include <map>
#include <string>
#include <vector>

#include <wx/datetime.h>
#include <wx/timer.h>

#include <qelkit/file.h>
#include <qelkit/report/listviewframe.h>

class QelConfigDialog;

// One row of a project: a file, or a folder with the file patterns
// (";"-separated wildcards) that go with it.
struct QelProjectEntry {
    enum Kind {
        PROJECT_FILE,
        PROJECT_FOLDER,
    };

    Kind kind = PROJECT_FILE;
    wxString path; // full path
    wxString spec; // folders only

    bool operator==(const QelProjectEntry& other) const
    {
        return kind == other.kind && path == other.path && spec == other.spec;
    }
    bool operator!=(const QelProjectEntry& other) const { return !(*this == other); }
};

// The project file format, without any window: a root element (written as
// "files", any name read) whose first child is a comment naming the
// project, then a "file" element per file and a "folder" element with an
// "extensions" attribute per folder. Other nodes are skipped on reading.
class QelProjectFile {
public:
    using Entries = std::vector<QelProjectEntry>;

    // The entries of a document held in bytes (UTF-8). False when the text
    // is not well-formed, with *error saying why and on which line.
    static bool Parse(const std::string& bytes, Entries* entries, wxString* error);

    // The entries of the file; false with an error naming the file and the
    // line when it cannot be read or is not well-formed.
    static bool Read(const wxString& path, Entries* entries, wxString* error);

    // The document for the entries. The comment names the project (its
    // name without folder) and the time; it never holds "--".
    static std::string Text(const Entries& entries, const wxString& project_name,
                            const wxDateTime& when = wxDateTime::Now());

    // Writes the document: a new file is renamed over the old one, which
    // keeps its mode. Refused (false, logged with the path) when the
    // document would not read back as the same entries, so that a file
    // that cannot be read is never written.
    static bool Write(const wxString& path, const Entries& entries);

    // The comment text made safe: no "--" and no "-" at its end.
    static wxString CommentText(const wxString& text);
};

class QelListViewFile : public QelListViewWithFrame, public QelFile {
public:
    // Loads the project file; a file that does not exist yet gives an empty
    // project bound to that name. One that cannot be read (reported with
    // its name and line) gives an empty project that a plain save refuses
    // to write over it: only a save that names the file again does.
    QelListViewFile(wxWindow* parent, QelFrameWithHistory* frame, const wxString& file,
                    wxWindowID id = wxID_ANY, long menu_flags = LIST_MENU_FIND | LIST_MENU_TOOL,
                    const wxPoint& pos = wxDefaultPosition, const wxSize& size = wxDefaultSize,
                    long style = wxLC_REPORT, const wxValidator& validator = wxDefaultValidator,
                    const wxString& name = wxListCtrlNameStr);
    ~QelListViewFile() override;

    // Adds the files and folders that the "Add Items" dialog's settings
    // name ("In folder", "Add what", "Add files", "Add folders",
    // "Recursive"); the number added, also logged. OK in this project's own
    // dialog calls it.
    long AddItems();

    bool GetContentsChanged() const override { return m_ContentsChanged; }
    void ResetContentsChanged() override { m_ContentsChanged = false; }

    // The project file is read-only: edits are ignored.
    bool IsReadOnly() const;

    // The rows as project entries, in list order. A row whose file or folder
    // is missing keeps the kind and patterns it was added with.
    QelProjectFile::Entries GetEntries() const;

    // One step of following the rows for changes on disk, run by a timer
    // every few tenths of a second while the list is shown: checks rows from
    // where the last step stopped, for about half a millisecond, refreshes
    // the rows whose file changed, re-sorts once per pass, then checks the
    // project file itself; nothing while a folder walk runs. The number of
    // rows checked; at most max_rows when that is above 0.
    long SyncStep(long max_rows = 0);
    // The row that the next step checks first.
    long GetSyncRow() const { return m_ItemNumber; }

    bool ItemFromText(const wxString& text) override;
    void AfterSorting() override;
    void BuildPopupMenu(QelMenu* menu) override;

    QelConfigDialog* GetAddItemsDialog() { return m_AddItemsDialog; }

protected:
    // An outside change of the project file does not reload while the list
    // holds changes of its own: the list is kept.
    bool DoFileLoadConfirm(bool synced) override;
    bool DoFileLoad(bool synced) override;
    // A save over a project file that changed on disk asks first.
    Overwrite DoFileOverwriteConfirm() override;
    void DoFileNew() override;
    bool DoFileSave(bool save_as) override;

private:
    // Appends the entries as rows and remembers them.
    void AddEntries(const QelProjectFile::Entries& entries);
    // The full path a row names, from its name and folder cells.
    wxString RowPath(long row, int name_col, int folder_col) const;
    // Remembers what rows first .. last-1 are.
    void Remember(long first, long last);
    void Changed();
    void SortSync();

    void OnCommand(wxCommandEvent& event);
    void OnMouse(wxMouseEvent& event);
    void OnTimer(wxTimerEvent& event);

    bool m_ContentsChanged = false;
    QelConfigDialog* m_AddItemsDialog = nullptr; // owned, destroyed with the list
    const wxString m_TextAddFiles;
    const wxString m_TextAddFolders;
    const wxString m_TextAddRecursive;
    const wxString m_TextAddWhat;
    const wxString m_TextInFolder;
    bool m_Unreadable = false; // the bound file could not be read at the start
    bool m_ItemUpdated = false;
    long m_ItemNumber = 0;
    // What each row was added as, by its full path: a row whose file is
    // missing does not show whether it was a file or a folder.
    std::map<wxString, QelProjectEntry::Kind> m_Kinds;
    wxTimer m_SyncTimer;

    wxDECLARE_EVENT_TABLE();
};
