#include <qelkit/report/process.h>

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

bool QelProcessListView::HasCountRow() const
{
    // The user may have cleared the list, or deleted or sorted the row away.
    return m_Dropped > 0 && m_ListView->GetItemCount() > 0
        && m_ListView->GetItemText(0, 0) == CountRowText(m_Dropped);
}

void QelProcessListView::DropOldestRows()
{
    QelListView* list = m_ListView.get();
    const bool counted = HasCountRow();
    const long first = counted ? 1 : 0;
    const long rows = list->GetItemCount() - first;
    size_t characters = list->GetTextLength() - (counted ? list->GetTextLength(0) : 0);
    if (rows <= m_ScrollbackRows && characters <= m_ScrollbackCharacters) return;

    // Down to nine tenths of the bound, so that rows go in batches, each
    // moving the rows that stay once, rather than one row for each line.
    const long keep_rows = m_ScrollbackRows / 10 * 9;
    const size_t keep_characters = m_ScrollbackCharacters / 10 * 9;
    long drop = 0;
    while (drop < rows && (rows - drop > keep_rows || characters > keep_characters)) {
        characters -= list->GetTextLength(first + drop);
        drop++;
    }
    const bool had_selection = list->GetSelectedItemCount() > 0;
    if (!counted) {
        m_Dropped = 0;
        list->InsertItem(0, wxEmptyString);
    }
    list->DeleteItems(1, drop);
    m_Dropped += drop;
    list->SetItemText(0, CountRowText(m_Dropped));
    // The rows the user picked went: the count row keeps the list from
    // following the output again.
    if (had_selection && list->GetSelectedItemCount() == 0) {
        list->Select(0);
        list->Focus(0);
    }
}
