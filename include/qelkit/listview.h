// The report list of the system: a list view in report mode whose columns
// are typed, so that a click on a header sorts by integer, date, float or
// text value. The list keeps its rows; in report view the control is virtual
// and asks for the cells of the rows it draws. Rows have a text form (cells
// joined by a tab, rows by the line end) used by the clipboard, drag and
// drop and the settings dialogs.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <vector>

#include <wx/dnd.h>
#include <wx/listbase.h>
#include <wx/listctrl.h>

class QelMenu;
class wxMemoryDC;
class wxFindDialogEvent;
class QelListView;

// How a sort treats the direction of a column; stored in the settings by number.
enum QelSortType {
    SORT_KEEP = 1, // the column's last direction
    SORT_ASCENDING = 2,
    SORT_DESCENDING = 3,
    SORT_TOGGLE = 4, // the other direction than last time
};

// One column: its name is the item text; the type decides how cells compare.
class QelColumn : public wxListItem {
public:
    enum QelColumnType {
        COL_INT = 1,
        COL_DATE = 2, // ISO date, a blank, ISO time
        COL_FLOAT = 3,
        COL_STRING = 4,
    };

    // Width 0 takes the type's default; the column number is -1 until the
    // column is inserted into a list.
    QelColumn(const wxString& name = wxEmptyString, QelColumnType type = COL_STRING, int width = 0);
    ~QelColumn() override = default;

    QelColumnType GetType() const noexcept { return m_Type; }
    bool GetIsSortedAscending() const noexcept { return m_IsSortedAscending; }
    void SetIsSortedAscending(QelSortType sort_method);

private:
    QelColumnType m_Type;
    bool m_IsSortedAscending = false;
};

// Compares two cells of a column of that type for sorting ascending:
// negative, 0 or positive. Numbers and times compare by value, texts in
// code-point order, upper-cased first unless match_case.
int QelCompareCells(QelColumn::QelColumnType type, const wxString& a, const wxString& b,
                    bool match_case);

// Refuses a drop while the list has selected rows, else adds the rows.
class ListViewDropTarget : public wxTextDropTarget {
public:
    explicit ListViewDropTarget(QelListView* lv)
        : m_ListView(lv)
    { }
    ~ListViewDropTarget() override = default;
    bool OnDropText(wxCoord x, wxCoord y, const wxString& text) override;

private:
    QelListView* m_ListView; // not owned: the list owns this target
};

class QelListView : public wxListView {
public:
    enum QelImageType {
        IMAGE_NONE = 0,
        IMAGE_ART = 1,       // art-provider images added through GetArtID
        IMAGE_FILE_ICON = 2, // the toolkit's shared file icons
        IMAGE_OWN = 3,
    };

    QelListView(wxWindow* parent, wxWindowID id = wxID_ANY, const wxPoint& pos = wxDefaultPosition,
                const wxSize& size = wxDefaultSize, long style = wxLC_REPORT,
                QelImageType image_type = IMAGE_NONE,
                const wxValidator& validator = wxDefaultValidator,
                const wxString& name = wxListCtrlNameStr);
    ~QelListView() override;

    using wxListView::InsertColumn;

    // Characters of a cell that the control is given at most: it lays out
    // the whole text of each cell it draws, and a cell of a megabyte held
    // the window for seconds at each paint. The list keeps the whole cell;
    // in report view the control is given what fills the cell's column.
    static constexpr size_t SHOWN_CELL_LENGTH = 1000;

    // One row as the list keeps it: in report view the control asks for
    // cells only as it draws them, so a row costs no text measuring when
    // it is added, however many rows a run adds.
    struct Row {
        std::vector<wxString> cells; // entry i is column i; missing entries are empty
        int image = -1;
        wxUIntPtr data = 0;
        wxItemAttr* attr = nullptr; // shared by the rows of one colour, owned by the list
        // The list numbers the rows it is given in the order it is given
        // them, from 1: a sort or a delete keeps the number of a row.
        unsigned long long added = 0;
    };

    // The rows, with the toolkit's names. Cells of other columns than the
    // first take no image.
    long InsertItem(long index, const wxString& label, int image = -1);
    long InsertItem(wxListItem& info);
    // A copy of a row, at index or at the end for -1; it is numbered as
    // the row added last.
    long InsertRow(long index, Row row);
    const Row& GetRow(long item) const;
    bool SetItem(long index, int col, const wxString& label, int image = -1);
    void SetItemText(long item, const wxString& text) { SetItem(item, 0, text); }
    bool SetItemData(long item, long data);
    wxUIntPtr GetItemData(long item) const;
    void SetItemTextColour(long item, const wxColour& colour);
    wxColour GetItemTextColour(long item) const;
    // Deselects the row before deleting it: the toolkit's selected count
    // would otherwise still count a row deleted while selected.
    bool DeleteItem(long item);
    bool DeleteAllItems();
    // Deletes `count` rows from `first` in one pass; the rows below keep
    // their selection and focus, and the rows in view stay there. Returns
    // the number of rows deleted.
    long DeleteItems(long first, long count);
    // The same for the rows whose entry is true; rows past its end stay.
    long DeleteItems(const std::vector<bool>& doomed);
    // Characters in the cells of all rows, or of the row.
    size_t GetTextLength() const noexcept { return m_TextLength; }
    size_t GetTextLength(long item) const;
    wxString GetItemText(long item_number, int col = 0) const;

    // Report view makes the list virtual, the other views hand every row to
    // the control.
    void SetWindowStyleFlag(long style) override;

    // Appends the column at the right end and keeps a copy of it.
    void InsertColumn(const QelColumn& col);
    // The number of the first column with exactly that name, else -1.
    int FindColumn(const wxString& name) const;
    // The cell of the row in the named column; empty when there is no such column.
    wxString GetItemText(long item_number, const wxString& col_name) const;
    const std::vector<QelColumn>& GetColumns() const noexcept { return m_Columns; }
    // The column last sorted on, -1 for none.
    int GetSortedColumn() const noexcept { return m_SortedColumnNo; }

    // Sorts the rows on the column; -1 (an unknown name) does nothing.
    void SortColumn(int column_no, QelSortType sort_method);
    void SortColumn(const wxString& column_name, QelSortType sort_method);
    void SortColumnReset();

    // The image-list index of an art image (IMAGE_ART lists), added on first use.
    int GetArtID(const wxString& artid);

    // Text form of rows: rows end with the line end, cells are separated by
    // the field separator.
    virtual bool ItemFromText(const wxString& text);
    virtual wxString ItemToText(long item_number) const;
    // Hooks run after a sort with rows and after deleting rows.
    virtual void ItemsUpdate() { }
    virtual void AfterSorting() { }
    // Appends this list's entries to its context menu.
    virtual void BuildPopupMenu(QelMenu* menu);

    // Editing.
    void CopySelectedItemsToClipboard();
    void EditDelete();
    void EditClearAll();
    void EditSelectAll();
    void EditSelectNone();
    void EditInvertAll();

    // Selects the next (find_next) or previous row holding the text; wraps
    // once. False when not found on the first pass, even when the wrapped
    // pass found it.
    bool FindNext(const wxString& text, bool find_next);
    // Asks for a row number and selects that row.
    bool GotoDialog(const wxString& caption = wxEmptyString);

    // The list as an HTML table, for printing.
    wxString BuildPage() const;
    void Print();
    void PrintPreview();

    wxChar GetFieldSeparator() const noexcept { return m_FieldSeparator; }

protected:
    wxString OnGetItemText(long item, long col) const override;
    int OnGetItemImage(long item) const override;
    wxItemAttr* OnGetItemAttr(long item) const override;

    // The counts of this list on the frame's status bar.
    void UpdateStatusBar();
    // The context menu's style bits for the list's state.
    long GetMenuStyle() const;

private:
    bool IsVirtualList() const { return HasFlag(wxLC_VIRTUAL); }
    bool IsRow(long item) const { return item >= 0 && item < static_cast<long>(m_Rows.size()); }
    // What the control shows of a cell: its start.
    wxString GetShownText(long item, int col) const;
    // The start of a long cell that fills the column, and one character more.
    wxString FitToColumn(const wxString& cell, int col) const;
    // Hands the row to the control when the list is not virtual.
    void ShowRow(long item);
    // Puts the rows in this order (entry i is the old index of new row i),
    // the selection following its rows.
    void Reorder(const std::vector<long>& order);
    // Runs `change`, which moves, adds or deletes rows and gives the
    // control their count, and keeps the selection and the focus on their
    // rows: `moved` is the new index of an old row, -1 for a row deleted,
    // whose focus goes to the first row after it that stays.
    void MoveRows(const std::function<void()>& change, const std::function<long(long)>& moved);
    // The row the list picks itself (found, gone to, next after a delete):
    // selected alone, focused and shown.
    void SelectAlone(long item);

    bool FindInRows(const wxString& text, bool find_next, bool wrapped);
    void PopupSortMenu();

    void OnCommand(wxCommandEvent& event);
    void OnFindDialog(wxFindDialogEvent& event);
    void OnKeyDown(wxKeyEvent& event);
    void OnLeftDown(wxMouseEvent& event);
    void OnList(wxListEvent& event);
    void OnMouse(wxMouseEvent& event);
    void OnShow(wxShowEvent& event);

    const wxChar m_FieldSeparator = '\t';
    const QelImageType m_ImageType;
    const int m_ImageHeight = 16;
    const int m_ImageWidth = 16;
    bool m_StatusPending = false; // the status bar's count is to be taken again
    int m_SortedColumnNo = -1;
    int m_ToBeSortedColumnNo = -1; // the column whose header was right-clicked
    std::map<wxString, int> m_ArtIDs;
    std::vector<QelColumn> m_Columns; // entry i describes column i
    std::vector<Row> m_Rows;
    size_t m_TextLength = 0;                       // characters in the cells of m_Rows
    unsigned long long m_Added = 0;                // the rows given to the list
    mutable std::unique_ptr<wxMemoryDC> m_Measure; // made on the first long cell
    std::map<wxUint32, wxItemAttr> m_Attrs;        // by text colour

    wxDECLARE_EVENT_TABLE();
};
