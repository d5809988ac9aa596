// A short-lived handle on one file row of a file list: made from a row to
// learn its file, or from a file name to add a row; it fills the columns that
// come from the file ("Type", "In Folder", "Size", "Modified").
#pragma once

#include <wx/listctrl.h>

#include <qelkit/filename.h>

class QelListView;
class QelRCS;

class QelListItem : public wxListItem {
public:
    // The row's file: "In Folder" joined with "File Name" (the name alone
    // when it is a full path or no folder is shown); the file patterns from "Type".
    QelListItem(QelListView* lv, long itemnumber);
    // A row not yet in the list (index -1).
    QelListItem(QelListView* listview, const QelFileName& filename,
                const wxString& filespec = wxEmptyString);
    ~QelListItem() override = default;

    // Puts the row into the list at index, or at the end for -1.
    void Insert(long index = -1);
    // The read-only state and the file columns from the file's status.
    void Update();
    // A column of -1 (an unknown name) is ignored.
    void SetItem(int col_number, const wxString& text);
    void SetItem(const wxString& col_name, const wxString& text);
    // Shows the row in the "List Colour" when read-only; the flag is also
    // the row's item data (1 or 0).
    void SetReadOnly(bool readonly);
    // "Revision", "Date", "Initials" and "Revision Comment" of the revision.
    void UpdateRevisionList(const QelRCS& rcs);
    void Delete();

    // The file a row names from its "In Folder" and "File Name" cells. A name
    // cell that holds a path (shown for a file whose folder is missing)
    // stands alone.
    static wxString RowPath(const wxString& folder, const wxString& name);

    const QelFileName& GetFileName() const noexcept { return m_FileName; }
    const wxString& GetFileSpec() const noexcept { return m_FileSpec; }
    bool IsReadOnly() const noexcept { return m_IsReadOnly; }
    QelListView* GetListView() const noexcept { return m_ListView; }

private:
    QelListView* m_ListView; // not owned
    QelFileName m_FileName;
    wxString m_FileSpec; // wildcards of a folder row, shown under "Type"
    bool m_IsReadOnly = false;
};
