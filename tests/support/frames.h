// GUI binary only: a hidden frame that records the calls the library makes
// up into it.
#pragma once

#include <memory>
#include <vector>

#include <qelkit/managedframe.h>
#include <qelkit/stc.h>

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
    void OnNotebook(int id, wxWindow* page) override
    {
        page_changes.push_back(page);
        QelManagedFrame::OnNotebook(id, page);
    }
    void SyncCloseAll(int id) override
    {
        sync_close_all.push_back(id);
        QelManagedFrame::SyncCloseAll(id);
    }

    std::vector<Open> opens;
    std::vector<wxString> left, right;
    std::vector<wxWindow*> closes_asked, page_changes;
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

// FrameTest with one editor (LF line ends) that is the find focus, and keys
// typed into the frame's entries as character events.
class BarsTest : public FrameTest {
protected:
    void SetUp() override
    {
        FrameTest::SetUp();
        m_Stc = new QelSTC(m_Frame.get());
        m_Stc->SetEOLMode(wxSTC_EOL_LF);
        m_Frame->SetFindFocus(m_Stc);
    }

    void SetText(const wxString& text, int caret = 0)
    {
        m_Stc->SetText(text);
        m_Stc->SetSelection(caret, caret);
    }
    // True when the window consumed the key.
    static bool Key(wxWindow* window, int key_code)
    {
        wxKeyEvent key(wxEVT_CHAR);
        key.m_keyCode = key.m_uniChar = key_code;
        return window->ProcessWindowEvent(key);
    }
    // The keys the entry leaves to its native handling are inserted.
    static void Type(wxTextCtrl* entry, const wxString& text)
    {
        for (const wxUniChar c : text)
            if (!Key(entry, static_cast<int>(c.GetValue()))) entry->WriteText(wxString(c));
    }
    static void Enter(wxTextCtrl* entry)
    {
        wxCommandEvent enter(wxEVT_TEXT_ENTER, entry->GetId());
        if (!Key(entry, WXK_RETURN)) entry->ProcessWindowEvent(enter);
    }
    std::string Selection() const
    {
        return std::to_string(m_Stc->GetSelectionStart()) + ","
            + std::to_string(m_Stc->GetSelectionEnd());
    }
    bool PaneShown(const wxString& name) { return m_Frame->GetManager().GetPane(name).IsShown(); }

    QelSTC* m_Stc = nullptr;
};

} // namespace qeltest
