// The table control: a grid whose selected cells copy, cut, paste and drag as
// tab-separated text, that searches its cells for the find text and prints
// itself as an HTML table.
#pragma once

#include <wx/dnd.h>
#include <wx/grid.h>

#include <qelkit/statistics.h>

class QelMenu;
class wxFindDialogEvent;

// Cell text travels as one line per row that holds a selected cell, the
// selected values of that row joined by tabs, each line ending in the native
// line end. Every cell write of this class goes through SetGridCellValue.
class QelGrid : public wxGrid {
public:
    QelGrid(wxWindow* parent, wxWindowID id = wxID_ANY, const wxPoint& pos = wxDefaultPosition,
            const wxSize& size = wxDefaultSize, long style = wxWANTS_CHARS,
            const wxString& name = wxGridNameStr);
    ~QelGrid() override;

    // Whether a left click in the selection drags it out; drops are always taken.
    void UseDragAndDrop(bool use) { m_UseDragAndDrop = use; }

    // Searches the cells column by column from the grid cursor (forward with
    // find_next), then once from the other end. True only when the first
    // pass found the text: a wrapped hit moves the cursor but returns false.
    bool FindNext(const wxString& text, bool find_next = true);
    // Makes a one-line selection, else the cell under the cursor, the find
    // text of the find settings; returns the find text.
    const wxString GetFindString() const;

    const wxString GetSelectedCellsValue() const;
    bool CopySelectedCellsToClipboard() const;
    void PasteCellsFromClipboard();
    // Empties every selected cell that is not read-only.
    void EmptySelection();
    // Writes exchange text into the cells from start_coords on: runs of tabs
    // or line ends count as one, values beyond the last column or row are
    // dropped, a read-only cell keeps its value but uses one up.
    void SetCellsValue(const wxGridCellCoords& start_coords, const wxString& data);

    // The grid as an HTML table, cell texts escaped.
    const wxString BuildPage() const;
    void Print();
    void PrintPreview();

    // The menu style of the popup: paste offered when editable, else
    // read-only, plus the selection bit.
    long GetMenuStyle() const;

    // Overridables.
    virtual bool DropSelection(const wxGridCellCoords& drop_coords, const wxString& data);
    virtual bool IsAllowedDragSelection();
    virtual bool IsAllowedDropSelection(const wxGridCellCoords& drop_coords, const wxString& data);
    virtual void SetGridCellValue(const wxGridCellCoords& coords, const wxString& data);
    virtual void BuildPopupMenu(QelMenu& menu);

protected:
    // Dragging the selection out: BeginDrag before the toolkit's drag runs,
    // EndDrag with its result. The source is emptied only for a move that a
    // grid of this program did not refuse.
    void BeginDrag();
    void EndDrag(wxDragResult result);

private:
    void DragSelection();
    void OnCommand(wxCommandEvent& event);
    void OnFindDialog(wxFindDialogEvent& event);
    void OnGrid(wxGridEvent& event);
    void OnGridRange(wxGridRangeSelectEvent& event);

    bool m_UseDragAndDrop = true;

    // Set while the wrapped pass of FindNext runs.
    static bool recursive;
};

// Routes text dropped on the grid's cell window into the grid.
class QelTextDropTarget : public wxTextDropTarget {
public:
    explicit QelTextDropTarget(QelGrid* grid);

    // x and y are in the cell window, which may be scrolled.
    bool OnDropText(wxCoord x, wxCoord y, const wxString& data) override;

private:
    QelGrid* m_Grid;
};

// A read-only grid of two columns, counter name and value, that shows a table
// of counters and is kept current by the table's Set. The table must outlive
// the constructor only; the grid may go first.
template <class T> class QelGridStatistics : public QelGrid {
public:
    QelGridStatistics(QelStatistics<T>& statistics, wxWindow* parent, wxWindowID id = wxID_ANY,
                      const wxPoint& pos = wxDefaultPosition, const wxSize& size = wxDefaultSize,
                      long style = wxWANTS_CHARS, const wxString& name = wxGridNameStr)
        : QelGrid(parent, id, pos, size, style, name)
    {
        CreateGrid(0, 2);
        EnableEditing(false);
        statistics.SetGrid(this);
    }
};
