// The frame's process: the output of a background run becomes rows of the
// frame's process list, a line naming a file and line a row that opens it.
#pragma once

#include <wx/weakref.h>

#include <qelkit/listview.h>
#include <qelkit/process.h>

class QelFrameWithHistory;

class QelProcessListView : public QelProcess {
public:
    // What the list keeps of the output by default, as a terminal keeps its
    // scrollback: the program stays within a few hundred megabytes however
    // much a child prints.
    static constexpr long SCROLLBACK_ROWS = 100000;
    static constexpr size_t SCROLLBACK_CHARACTERS = 16 << 20;

    explicit QelProcessListView(QelFrameWithHistory* frame);

    // The list of the run, asked of the frame when a background run starts.
    void ReportCreate() override;
    // A row for the line; without a process list the line goes to the
    // base process, and once the list was closed it goes nowhere.
    void ReportAdd(const wxString& line, const wxString& path, const wxString& lineno) override;
    // Past the scrollback the oldest rows go; the list follows the output
    // to its last row, unless the user selected one, and its counts go to
    // the status bar.
    void ReportFlush() override;

    QelListView* GetListView() const { return m_ListView.get(); }
    // The most rows and characters of output the list keeps.
    void SetScrollback(long rows, size_t characters);

private:
    // The row that counts the rows dropped so far, found by the number
    // the list gave it; -1 for none.
    long CountRow() const;
    // Drops the oldest rows once the list holds more than the scrollback.
    void DropOldestRows();

    QelFrameWithHistory* m_Frame; // not owned
    // A page of the application, which the user may close while the run
    // goes on.
    wxWeakRef<QelListView> m_ListView;
    bool m_HasList = false; // the run was given a list
    long m_ScrollbackRows = SCROLLBACK_ROWS;
    size_t m_ScrollbackCharacters = SCROLLBACK_CHARACTERS;
    unsigned long long m_Dropped = 0;       // rows dropped, as the count row says
    unsigned long long m_CountRowAdded = 0; // the count row's number in the list
};
