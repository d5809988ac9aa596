// GUI binary only: a hidden frame that records the calls the library makes
// up into it, for the tests of the frame, its status bar, notebooks and the
// opening of files.
#pragma once

#include <vector>

#include <wx/string.h>

#include <qelkit/managedframe.h>

namespace qeltest {

class RecordingFrame : public QelManagedFrame {
public:
    struct Open {
        wxString path;
        int line;
        long flags;
    };

    explicit RecordingFrame(long style = wxDEFAULT_FRAME_STYLE)
        : QelManagedFrame(nullptr, wxID_ANY, "test", style)
    { }

    bool OpenFile(const QelFileName& filename, int line_number, const wxString&,
                  long flags) override
    {
        opens.push_back({filename.GetFullPath(), line_number, flags});
        return true;
    }
    void StatusBarDoubleClicked(const wxString& pane) override { left.push_back(pane); }
    void StatusBarDoubleClickedRight(const wxString& pane) override { right.push_back(pane); }
    void OnCommandConfigDialog(int dialogid, int commandid) override
    {
        configs.push_back({dialogid, commandid});
    }

    bool AllowClose(int id, wxWindow* page) override
    {
        closes_asked.push_back(page);
        return allow_close && QelManagedFrame::AllowClose(id, page);
    }
    void OnNotebook(int id, wxWindow* page) override
    {
        selected.push_back(page);
        QelManagedFrame::OnNotebook(id, page);
    }
    void SyncCloseAll(int id) override
    {
        sync_close_all.push_back(id);
        QelManagedFrame::SyncCloseAll(id);
    }

    // Paths of the files opened, in order.
    std::vector<wxString> OpenedPaths() const
    {
        std::vector<wxString> paths;
        for (const auto& open : opens) paths.push_back(open.path);
        return paths;
    }

    std::vector<Open> opens;
    std::vector<wxString> left, right;
    std::vector<std::pair<int, int>> configs;
    std::vector<wxWindow*> closes_asked, selected;
    std::vector<int> sync_close_all;
    bool allow_close = true;
};

} // namespace qeltest
