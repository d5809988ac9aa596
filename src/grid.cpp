#include <qelkit/grid.h>

#include <wx/fdrepdlg.h>
#include <wx/html/htmprint.h>
#include <wx/textfile.h>
#include <wx/tokenzr.h>
#include <wx/utils.h>

#include <qelkit/defs.h>
#include <qelkit/frame.h>
#include <qelkit/frd.h>
#include <qelkit/menu.h>
#include <qelkit/printing.h>
#include <qelkit/status.h>

bool QelGrid::recursive = false;

namespace {

// What became of the drag this program started: a grid of ours that refused
// the drop says so here, since GTK may still report the move it offered.
struct DragRecord {
    bool active = false;
    bool refused = false;
};
DragRecord g_Drag;

const wxString Eol()
{
    return wxTextFile::GetEOL();
}

// Visits every cell that exchange text written at start would fill, with its
// value, row by row and left to right; values past the last column are not
// visited, rows past the last row are (the visitor decides). Tabs and line
// ends split as strtok does: a run of them counts as one, so an empty value
// does not keep its place. The visitor returns false to stop.
template <class Visit>
void ForEachTarget(const wxGrid& grid, const wxGridCellCoords& start, const wxString& data,
                   Visit visit)
{
    if (start.GetRow() < 0 || start.GetCol() < 0) return;

    wxStringTokenizer lines(data, Eol());
    for (int row = start.GetRow(); lines.HasMoreTokens(); ++row) {
        wxStringTokenizer values(lines.GetNextToken(), "\t");
        for (int col = start.GetCol(); values.HasMoreTokens() && col < grid.GetNumberCols(); ++col)
            if (!visit(row, col, values.GetNextToken())) return;
    }
}

// With match_word the whole value must equal the needle, else contain it.
// The needle is already upper-cased when case does not matter.
bool CellMatches(const wxString& value, const wxString& needle, bool match_case, bool match_word)
{
    const wxString text = match_case ? value : value.Upper();
    return match_word ? text == needle : text.Contains(needle);
}

wxString EscapeHtml(const wxString& text)
{
    wxString escaped;
    escaped.reserve(text.length());
    for (const wxUniChar c : text) {
        if (c == '&')
            escaped += "&amp;";
        else if (c == '<')
            escaped += "&lt;";
        else if (c == '>')
            escaped += "&gt;";
        else
            escaped += c;
    }
    return escaped;
}

// Cells of the selection, counted over its blocks (rows, columns and
// dragged rectangles included).
int CountSelectedCells(const wxGrid& grid)
{
    int count = 0;
    for (const wxGridBlockCoords& block : grid.GetSelectedBlocks())
        count += (block.GetBottomRow() - block.GetTopRow() + 1)
            * (block.GetRightCol() - block.GetLeftCol() + 1);
    return count;
}

} // namespace

QelGrid::QelGrid(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size,
                 long style, const wxString& name)
    : wxGrid(parent, id, pos, size, style, name)
{
    // Drop targets are per widget on GTK: the cells live in the grid window.
    GetGridWindow()->SetDropTarget(new QelTextDropTarget(this));

    Bind(wxEVT_FIND, &QelGrid::OnFindDialog, this);
    Bind(wxEVT_FIND_NEXT, &QelGrid::OnFindDialog, this);
    Bind(wxEVT_GRID_CELL_LEFT_CLICK, &QelGrid::OnGrid, this);
    Bind(wxEVT_GRID_CELL_RIGHT_CLICK, &QelGrid::OnGrid, this);
    Bind(wxEVT_GRID_SELECT_CELL, &QelGrid::OnGrid, this);
    Bind(wxEVT_GRID_RANGE_SELECTED, &QelGrid::OnGridRange, this);
    Bind(wxEVT_MENU, &QelGrid::OnCommand, this, wxID_CUT, wxID_CLEAR);
    Bind(wxEVT_MENU, &QelGrid::OnCommand, this, wxID_DELETE);
    Bind(wxEVT_MENU, &QelGrid::OnCommand, this, wxID_SELECTALL);
    Bind(wxEVT_MENU, &QelGrid::OnCommand, this, ID_EDIT_SELECT_NONE);
}

QelGrid::~QelGrid() = default;

bool QelGrid::FindNext(const wxString& text, bool find_next)
{
    if (text.empty()) return false;

    const QelFindReplaceData* frd = QelFindReplaceData::Get();
    const bool match_case = frd->MatchCase();
    const bool match_word = frd->MatchWord();
    const wxString needle = match_case ? text : text.Upper();

    const int rows = GetNumberRows();
    const int cols = GetNumberCols();
    const int step = find_next ? 1 : -1;
    const int first_row = find_next ? 0 : rows - 1;

    // Without a cursor the first pass already covers the whole grid.
    int start_row = first_row;
    int start_col = find_next ? 0 : cols - 1;
    const wxGridCellCoords cursor = GetGridCursorCoords();
    if (!recursive && cursor.GetRow() >= 0 && cursor.GetCol() >= 0) {
        start_row = cursor.GetRow() + step;
        start_col = cursor.GetCol();
    }

    for (int col = start_col; col >= 0 && col < cols; col += step)
        for (int row = col == start_col ? start_row : first_row; row >= 0 && row < rows;
             row += step) {
            if (!CellMatches(GetCellValue(row, col), needle, match_case, match_word)) continue;
            recursive = false;
            SetGridCursor(row, col);
            MakeCellVisible(row, col);
            return true;
        }

    QelFindResult(text, find_next, recursive);
    if (!recursive) {
        recursive = true;
        FindNext(text, find_next);
        recursive = false;
    }
    return false;
}

const wxString QelGrid::GetFindString() const
{
    QelFindReplaceData* frd = QelFindReplaceData::Get();
    if (IsSelection()) {
        const wxString value = GetSelectedCellsValue();
        const size_t eol = value.find(Eol());
        if (!value.empty() && eol + Eol().length() == value.length())
            frd->SetFindString(value.Left(eol));
    } else {
        const wxGridCellCoords cursor = GetGridCursorCoords();
        if (cursor.GetRow() >= 0 && cursor.GetCol() >= 0) {
            const wxString value = GetCellValue(cursor);
            if (!value.empty()) frd->SetFindString(value);
        }
    }
    return frd->GetFindString();
}

const wxString QelGrid::GetSelectedCellsValue() const
{
    wxString text;
    for (int row = 0; row < GetNumberRows(); ++row) {
        wxString line;
        bool selected = false;
        for (int col = 0; col < GetNumberCols(); ++col) {
            if (!IsInSelection(row, col)) continue;
            if (selected) line += '\t';
            line += GetCellValue(row, col);
            selected = true;
        }
        if (selected) text += line + Eol();
    }
    return text;
}

bool QelGrid::CopySelectedCellsToClipboard() const
{
    wxBusyCursor wait;
    return QelClipboardAdd(GetSelectedCellsValue());
}

void QelGrid::PasteCellsFromClipboard()
{
    SetCellsValue(GetGridCursorCoords(), QelClipboardGet());
}

void QelGrid::EmptySelection()
{
    wxBusyCursor wait;
    for (int row = 0; row < GetNumberRows(); ++row)
        for (int col = 0; col < GetNumberCols(); ++col)
            if (IsInSelection(row, col) && !IsReadOnly(row, col))
                SetGridCellValue(wxGridCellCoords(row, col), wxEmptyString);
}

void QelGrid::SetCellsValue(const wxGridCellCoords& start_coords, const wxString& data)
{
    ForEachTarget(*this, start_coords, data, [this](int row, int col, const wxString& value) {
        if (row >= GetNumberRows()) return false;
        if (!IsReadOnly(row, col)) SetGridCellValue(wxGridCellCoords(row, col), value);
        return true;
    });
}

const wxString QelGrid::BuildPage() const
{
    wxString page = "<TABLE ";
    page += GridLinesEnabled() ? "border=1" : "border=0";
    page += " cellpadding=4 cellspacing=0 >" + Eol();
    page += "<tr>" + Eol();

    if (GetColLabelSize() > 0)
        for (int col = 0; col < GetNumberCols(); ++col)
            page += "<td><i>" + EscapeHtml(GetColLabelValue(col)) + "</i>" + Eol();

    for (int row = 0; row < GetNumberRows(); ++row) {
        page += "<tr>" + Eol();
        for (int col = 0; col < GetNumberCols(); ++col) {
            const wxString value = GetCellValue(row, col);
            page += "<td>" + (value.empty() ? wxString("&nbsp") : EscapeHtml(value)) + Eol();
        }
    }
    page += "</TABLE>" + Eol();
    return page;
}

void QelGrid::Print()
{
    wxBusyCursor wait;
    QelPrinting::Get()->GetHtmlPrinter()->PrintText(BuildPage(), wxEmptyString);
}

void QelGrid::PrintPreview()
{
    wxBusyCursor wait;
    QelPrinting::Get()->GetHtmlPrinter()->PreviewText(BuildPage(), wxEmptyString);
}

long QelGrid::GetMenuStyle() const
{
    long style = IsEditable() ? MENU_OFFER_PASTE : MENU_READ_ONLY;
    if (IsSelection()) style |= MENU_HAS_SELECTION;
    return style;
}

bool QelGrid::DropSelection(const wxGridCellCoords& drop_coords, const wxString& data)
{
    SetCellsValue(drop_coords, data);
    return true;
}

bool QelGrid::IsAllowedDragSelection()
{
    return true;
}

bool QelGrid::IsAllowedDropSelection(const wxGridCellCoords& drop_coords, const wxString& data)
{
    bool allowed = true;
    ForEachTarget(*this, drop_coords, data, [this, &allowed](int row, int col, const wxString&) {
        allowed = row < GetNumberRows() && !IsReadOnly(row, col) && !IsInSelection(row, col);
        return allowed;
    });
    return allowed;
}

void QelGrid::SetGridCellValue(const wxGridCellCoords& coords, const wxString& data)
{
    SetCellValue(coords, data);
}

void QelGrid::BuildPopupMenu(QelMenu& menu)
{
    menu.AppendEdit();
}

void QelGrid::BeginDrag()
{
    g_Drag = DragRecord{true, false};
}

void QelGrid::EndDrag(wxDragResult result)
{
    const bool refused = g_Drag.refused;
    g_Drag = DragRecord();
    if (refused || !wxIsDragResultOk(result)) return;

    // A copy or link leaves the source as it was.
    if (result == wxDragMove) EmptySelection();
    ClearSelection();
}

void QelGrid::DragSelection()
{
    wxTextDataObject data(GetSelectedCellsValue());
    wxDropSource source(data, this);
    BeginDrag();
    EndDrag(source.DoDragDrop(wxDrag_DefaultMove));
}

void QelGrid::OnCommand(wxCommandEvent& event)
{
    switch (event.GetId()) {
    case wxID_CUT:
        // Cells are emptied only once their text is safe on the clipboard.
        if (CopySelectedCellsToClipboard()) EmptySelection();
        break;
    case wxID_COPY:
        CopySelectedCellsToClipboard();
        break;
    case wxID_PASTE:
        PasteCellsFromClipboard();
        break;
    case wxID_DELETE:
        EmptySelection();
        break;
    case wxID_SELECTALL:
        SelectAll();
        break;
    case ID_EDIT_SELECT_NONE:
        ClearSelection();
        break;
    default:
        wxFAIL;
    }
}

void QelGrid::OnFindDialog(wxFindDialogEvent& event)
{
    wxCHECK_RET(event.GetEventType() == wxEVT_FIND || event.GetEventType() == wxEVT_FIND_NEXT,
                "Assert failure");
    const QelFindReplaceData* frd = QelFindReplaceData::Get();
    FindNext(frd->GetFindString(), frd->SearchDown());
}

void QelGrid::OnGrid(wxGridEvent& event)
{
    const wxEventType type = event.GetEventType();
    if (type == wxEVT_GRID_CELL_RIGHT_CLICK) {
        QelMenu menu(GetMenuStyle());
        BuildPopupMenu(menu);
        PopupMenu(&menu);
    } else if (type == wxEVT_GRID_CELL_LEFT_CLICK) {
        if (IsSelection() && m_UseDragAndDrop && IsInSelection(event.GetRow(), event.GetCol())
            && IsAllowedDragSelection())
            DragSelection();
        else
            event.Skip();
    } else if (type == wxEVT_GRID_SELECT_CELL) {
        QelFrame::StatusText(wxString::Format("%d,%d", event.GetCol() + 1, event.GetRow() + 1),
                             "PaneInfo");
        event.Skip();
    } else {
        wxFAIL;
    }
}

void QelGrid::OnGridRange(wxGridRangeSelectEvent& event)
{
    event.Skip();
    QelFrame::StatusText(wxString::Format("%d", CountSelectedCells(*this)), "PaneInfo");
}

QelTextDropTarget::QelTextDropTarget(QelGrid* grid)
    : m_Grid(grid)
{ }

bool QelTextDropTarget::OnDropText(wxCoord x, wxCoord y, const wxString& data)
{
    int ux = 0;
    int uy = 0;
    m_Grid->CalcUnscrolledPosition(x, y, &ux, &uy);
    const wxGridCellCoords cell(m_Grid->YToRow(uy), m_Grid->XToCol(ux));

    const bool accepted = cell.GetRow() != wxNOT_FOUND && cell.GetCol() != wxNOT_FOUND
        && m_Grid->IsAllowedDropSelection(cell, data) && m_Grid->DropSelection(cell, data);
    if (g_Drag.active && !accepted) g_Drag.refused = true;
    return accepted;
}
