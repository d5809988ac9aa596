// GUI binary only: a hidden frame that records the calls the library makes
// up into it.
#pragma once

#include <memory>
#include <vector>

#include <qelkit/managedframe.h>

#include "testing.h"

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

    using QelFrame::OpenFile;
    bool OpenFile(const QelFileName& name, int line, const wxString&, long flags) override
    {
        opens.push_back({name.GetFullPath(), line, flags});
        return true;
    }
    std::vector<wxString> OpenedPaths() const
    {
        std::vector<wxString> paths;
        for (const auto& open : opens) paths.push_back(open.path);
        return paths;
    }
    void StatusBarDoubleClicked(const wxString& pane) override { left.push_back(pane); }
    void StatusBarDoubleClickedRight(const wxString& pane) override { right.push_back(pane); }
    bool AllowClose(int id, wxWindow* page) override
    {
        closes_asked.push_back(page);
        return allow_close && QelManagedFrame::AllowClose(id, page);
    }
    void SyncCloseAll(int id) override
    {
        sync_close_all.push_back(id);
        QelManagedFrame::SyncCloseAll(id);
    }

    std::vector<Open> opens;
    std::vector<wxString> left, right;
    std::vector<wxWindow*> closes_asked;
    std::vector<int> sync_close_all;
    bool allow_close = true;
};

// ConfigTest with a recording frame that goes before the settings do.
class FrameTest : public ConfigTest {
protected:
    void SetUp() override
    {
        ConfigTest::SetUp();
        m_Frame = std::make_unique<RecordingFrame>();
    }
    void TearDown() override
    {
        m_Frame.reset();
        ConfigTest::TearDown();
    }
    std::unique_ptr<RecordingFrame> m_Frame;
};

} // namespace qeltest
