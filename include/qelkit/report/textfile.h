// Tool runs whose results become rows of the frame's report lists: the
// scanner of one file, a folder walk that runs a tool on every file, and a
// folder walk that adds what it finds to a list.
#pragma once

#include <memory>
#include <vector>

#include <wx/weakref.h>

#include <qelkit/dir.h>
#include <qelkit/listview.h>
#include <qelkit/statistics.h>
#include <qelkit/textfile.h>
#include <qelkit/yieldingrun.h>

class QelFrameWithHistory;

// Scans one file and reports into the list of the run set up last.
class QelTextFileWithListView : public QelTextFile {
public:
    QelTextFileWithListView(const QelFileName& filename, const QelTool& tool);

    // Prepares a run: false when the tool's report list cannot be had (the
    // run must not start).
    static bool SetupTool(const QelTool& tool, QelFrameWithHistory* frame);

    // Runs the tool on the file: the statistics of the run.
    static QelFileStatistics Run(const QelFileName& filename, const QelTool& tool);

    // Count and keyword reports: one row for the file.
    void ReportStatistics() override;

    // A replace shows its rows only once the file was written.
    bool RunTool() override;

protected:
    // Find, replace and revision report: one row for the line.
    void Report(size_t line) override;

private:
    struct Row {
        size_t line;
        wxString text;
    };
    void AddLineRow(size_t line, const wxString& text);
    // The report list, unless its page was closed while the run let the
    // event loop go on; then the run stops.
    static QelListView* GetReport();

    std::vector<Row> m_Pending;                  // replace rows waiting for the write
    std::unique_ptr<QelListView::Row> m_FileRow; // the cells of the file's first row
    // The line columns of find and replace rows and what they show in
    // "Match" and "Replaced", the same for the whole run.
    struct Columns {
        int lineNo = -1, line = -1, match = -1, replaced = -1;
        wxString find, replace;
    };

    static QelFrameWithHistory* m_Frame;
    static wxWeakRef<QelListView> m_Report;
    static Columns m_Columns;
};

// One tool run at a time: a run asked for while another goes on is refused
// with a status text; the report list is set up for the run.
class QelToolRun {
public:
    QelToolRun(const QelTool& tool, QelFrameWithHistory* frame);
    ~QelToolRun();
    QelToolRun(const QelToolRun&) = delete;
    QelToolRun& operator=(const QelToolRun&) = delete;

    // The run may go on.
    bool IsOk() const { return m_Ok; }
    static bool IsBusy() { return m_Busy; }

    // Stops the running tool: its folder walk at the next entry, and the
    // run before its next file or folder.
    static void Cancel();
    bool IsCancelled() const { return m_Owner && m_Cancelled; }

private:
    const QelYieldingRun m_Yielding; // the run lets the event loop go on
    bool m_Ok = false;
    bool m_Owner = false;
    static bool m_Busy;
    static bool m_Cancelled;
};

// Runs a tool on every file of a folder tree and sums the statistics.
class QelDirTool : public QelDir {
public:
    QelDirTool(const QelTool& tool, const wxString& fullpath, const wxString& filespec,
               int flags = wxDIR_FILES);

    void OnFile(const wxString& file) override;
    const QelFileStatistics& GetStatistics() const { return m_Statistics; }

private:
    QelFileStatistics m_Statistics;
    const QelTool m_Tool;
    wxFileName m_Folder; // of the last file found
};

// Adds every file, and each folder when "Add folders" is on, to a list.
class QelDirWithListView : public QelDir {
public:
    QelDirWithListView(QelListView* listview, const wxString& fullpath, const wxString& filespec,
                       int flags = wxDIR_FILES);

    void OnDir(const wxString& dir) override;
    void OnFile(const wxString& file) override;

private:
    // Weak: the list's page may be closed while the walk lets the event
    // loop go on; the walk then stops.
    wxWeakRef<QelListView> m_ListView;
    // The list, or null after stopping the walk.
    QelListView* GetListView();
    const bool m_AddFolders;
};
