// The frame's process: the output of a background run becomes rows of the
// frame's process list, a line naming a file and line a row that opens it.
#pragma once

#include <wx/weakref.h>

#include <qelkit/listview.h>
#include <qelkit/process.h>

class QelFrameWithHistory;

class QelProcessListView : public QelProcess {
public:
    explicit QelProcessListView(QelFrameWithHistory* frame);

    // The list of the run, asked of the frame when a background run starts.
    void ReportCreate() override;
    // A row for the line; without a process list the line goes to the
    // base process, and once the list was closed it goes nowhere.
    void ReportAdd(const wxString& line, const wxString& path, const wxString& lineno) override;
    // The list follows the output to its last row, unless the user selected
    // one, and its counts go to the status bar.
    void ReportFlush() override;

    QelListView* GetListView() const { return m_ListView.get(); }

private:
    QelFrameWithHistory* m_Frame; // not owned
    // A page of the application, which the user may close while the run
    // goes on.
    wxWeakRef<QelListView> m_ListView;
    bool m_HasList = false; // the run was given a list
};
