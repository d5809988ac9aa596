// The frame's process: the output of a background run becomes rows of the
// frame's process list, a line naming a file and line a row that opens it.
#pragma once

#include <qelkit/process.h>

class QelFrameWithHistory;
class QelListView;

class QelProcessListView : public QelProcess {
public:
    explicit QelProcessListView(QelFrameWithHistory* frame);

    // The list of the run, asked of the frame when a background run starts.
    void ReportCreate() override;
    // A row for the line; without a process list the line goes to the
    // base process.
    void ReportAdd(const wxString& line, const wxString& path, const wxString& lineno) override;

    QelListView* GetListView() const { return m_ListView; }

private:
    QelFrameWithHistory* m_Frame;      // not owned
    QelListView* m_ListView = nullptr; // a page of the application, not owned
};
