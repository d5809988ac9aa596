#include <qelkit/report/process.h>

#include <algorithm>
#include <vector>

#include <wx/filename.h>

#include <qelkit/listitem.h>
#include <qelkit/listview.h>
#include <qelkit/report/frame.h>

namespace {

wxString CountRowText(unsigned long long dropped)
{
    return wxString::Format(_("[%llu earlier lines dropped]"), dropped);
}

} // namespace

QelProcessListView::QelProcessListView(QelFrameWithHistory* frame)
    : m_Frame(frame)
{ }

void QelProcessListView::ReportCreate()
{
    m_ListView = m_Frame->Activate(QelListViewFileName::LIST_PROCESS);
    m_HasList = m_ListView != nullptr;
}

void QelProcessListView::ReportAdd(const wxString& line, const wxString& path,
                                   const wxString& lineno)
{
    if (!m_HasList) {
        QelProcess::ReportAdd(line, path, lineno);
        return;
    }
    // The user closed the list: the run goes on, its output is not wanted.
    if (!m_ListView) return;
    if (path.empty()) {
        m_ListView->InsertItem(m_ListView->GetItemCount(), line);
        return;
    }
    // The link is resolved against the folder the command ran in.
    wxFileName fn(path);
    fn.Normalize(wxPATH_NORM_ENV_VARS | wxPATH_NORM_DOTS | wxPATH_NORM_TILDE | wxPATH_NORM_ABSOLUTE,
                 GetWorkingDir());
    if (!fn.FileExists() && !fn.DirExists()) {
        m_ListView->InsertItem(m_ListView->GetItemCount(), line);
        return;
    }
    QelListItem item(m_ListView, QelFileName(fn));
    item.Insert();
    item.SetItem(_("Line"), line);
    item.SetItem(_("Line No"), lineno);
}

void QelProcessListView::ReportFlush()
{
    // Once for each batch of rows: a list counts its selected rows one by one.
    if (!m_ListView) return;
    DropOldestRows();
    // Output without a line end yet (a prompt) adds no row: an empty list
    // has no last row to show.
    const long count = m_ListView->GetItemCount();
    if (count > 0 && m_ListView->GetSelectedItemCount() == 0) m_ListView->EnsureVisible(count - 1);
    QelFrame::UpdateStatusBar(m_ListView);
}

void QelProcessListView::SetScrollback(long rows, size_t characters)
{
    m_ScrollbackRows = rows;
    m_ScrollbackCharacters = characters;
}

long QelProcessListView::CountRow() const
{
    // The user may have cleared the list or deleted the row, or sorted it
    // away from the top; an output line of its text is not it.
    if (m_Dropped == 0) return -1;
    const long count = m_ListView->GetItemCount();
    for (long item = 0; item < count; item++) {
        if (m_ListView->GetRow(item).added == m_CountRowAdded) return item;
    }
    return -1;
}

void QelProcessListView::DropOldestRows()
{
    QelListView* list = m_ListView.get();
    long count_row = CountRow();
    const long rows = list->GetItemCount() - (count_row == -1 ? 0 : 1);
    size_t characters = list->GetTextLength() - list->GetTextLength(count_row);
    if (rows <= m_ScrollbackRows && characters <= m_ScrollbackCharacters) return;

    // The rows of output, oldest first: a sort by the user put them in
    // another order, and the rows added since went below.
    std::vector<long> oldest;
    oldest.reserve(rows);
    for (long item = 0; item < list->GetItemCount(); item++) {
        if (item != count_row) oldest.push_back(item);
    }
    const auto older
        = [list](long a, long b) { return list->GetRow(a).added < list->GetRow(b).added; };
    if (!std::is_sorted(oldest.begin(), oldest.end(), older))
        std::sort(oldest.begin(), oldest.end(), older);

    // Down to nine tenths of the bound, so that rows go in batches, each
    // moving the rows that stay once, rather than one row for each line.
    const long keep_rows = m_ScrollbackRows / 10 * 9;
    const size_t keep_characters = m_ScrollbackCharacters / 10 * 9;
    std::vector<bool> doomed(list->GetItemCount(), false);
    long drop = 0;
    while (drop < rows && (rows - drop > keep_rows || characters > keep_characters)) {
        characters -= list->GetTextLength(oldest[drop]);
        doomed[oldest[drop]] = true;
        drop++;
    }
    const bool had_selection = list->GetSelectedItemCount() > 0;
    if (count_row == -1) {
        m_Dropped = 0;
        count_row = list->InsertItem(0, wxEmptyString);
        m_CountRowAdded = list->GetRow(count_row).added;
        doomed.insert(doomed.begin(), false);
    }
    count_row -= static_cast<long>(std::count(doomed.begin(), doomed.begin() + count_row, true));
    list->DeleteItems(doomed);
    m_Dropped += drop;
    list->SetItemText(count_row, CountRowText(m_Dropped));
    // The rows the user picked went: the count row keeps the list from
    // following the output again.
    if (had_selection && list->GetSelectedItemCount() == 0) {
        list->Select(count_row);
        list->Focus(count_row);
    }
}
