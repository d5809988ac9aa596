#include <qelkit/report/process.h>

#include <wx/filename.h>

#include <qelkit/listitem.h>
#include <qelkit/listview.h>
#include <qelkit/report/frame.h>

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
    // The link is resolved against the folder the command ran in.
    wxFileName fn(path);
    fn.Normalize(wxPATH_NORM_ENV_VARS | wxPATH_NORM_DOTS | wxPATH_NORM_TILDE | wxPATH_NORM_ABSOLUTE,
                 GetWorkingDir());
    if (path.empty() || (!fn.FileExists() && !fn.DirExists())) {
        m_ListView->InsertItem(m_ListView->GetItemCount(), line);
    } else {
        QelListItem item(m_ListView, QelFileName(fn));
        item.Insert();
        item.SetItem(_("Line"), line);
        item.SetItem(_("Line No"), lineno);
    }
}

void QelProcessListView::ReportFlush()
{
    // Once for each batch of rows: a list counts its selected rows one by one.
    if (!m_ListView) return;
    // Output without a line end yet (a prompt) adds no row: an empty list
    // has no last row to show.
    const long count = m_ListView->GetItemCount();
    if (count > 0 && m_ListView->GetSelectedItemCount() == 0) m_ListView->EnsureVisible(count - 1);
    QelFrame::UpdateStatusBar(m_ListView);
}
