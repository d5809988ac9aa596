#include <qelkit/statistics.h>

#include <wx/grid.h>

int QelStatisticsShowRow(wxEvtHandler* view, int row, const wxString& key, const wxString& value)
{
    auto* grid = dynamic_cast<wxGrid*>(view);
    wxCHECK_MSG(grid != nullptr && grid->GetNumberCols() >= 2, row, "not a statistics grid");

    if (row < 0 || row >= grid->GetNumberRows()) {
        grid->AppendRows(1);
        row = grid->GetNumberRows() - 1;
        grid->SetCellValue(row, 0, key);
        // The counters are the table's: no paste, drop or cut may change them.
        grid->SetReadOnly(row, 0);
        grid->SetReadOnly(row, 1);
        grid->AutoSizeColumn(0);
    }
    grid->SetCellValue(row, 1, value);
    grid->ForceRefresh();
    return row;
}
