// A hidden frame with history for the report tests: one editor, and the
// list pages that Activate makes on first use (none when switched off).
#pragma once

#include <map>

#include <wx/menu.h>
#include <wx/testing.h>

#include <qelkit/configdialog.h>
#include <qelkit/listitem.h>

#include <qelkit/report/frame.h>
#include <qelkit/report/listviewfile.h>
#include <qelkit/report/listviewframe.h>
#include <qelkit/report/process.h>
#include <qelkit/stc.h>
#include <qelkit/vcs.h>

#include "testing.h"

namespace qeltest {

// Sends a menu command to the window as a menu would.
inline void Command(wxWindow* window, int id)
{
    wxCommandEvent event(wxEVT_MENU, id);
    window->ProcessWindowEvent(event);
}

class ReportFrame : public QelFrameWithHistory {
public:
    ReportFrame()
        : QelFrameWithHistory(nullptr, wxID_ANY, "report", 9, 4)
    {
        m_Stc = new QelSTC(this);
        SetFindFocus(m_Stc);
        auto* bar = new wxMenuBar();
        m_FileMenu = new wxMenu();
        m_ProjectMenu = new wxMenu();
        UseFileHistory(wxID_ANY, m_FileMenu);
        UseProjectHistory(wxID_ANY, m_ProjectMenu);
        bar->Append(m_FileMenu, "File");
        bar->Append(m_ProjectMenu, "Project");
        SetMenuBar(bar);
    }

    QelListView* Activate(QelListViewFileName::ListType type, const QelLexer* lexer) override
    {
        if (!m_ListsOn) return nullptr;
        auto& list = m_Lists[type];
        if (list == nullptr) list = new QelListViewWithFrame(this, this, type, wxID_ANY, 3, lexer);
        return list;
    }
    QelSTC* GetSTC() override { return m_Stc; }
    QelListViewFile* GetProject() override { return m_Project; }
    QelConfigDialog* FindDialog(bool replace) const { return replace ? m_RiFDialog : m_FiFDialog; }

    void Command(int id) { qeltest::Command(this, id); }

    QelSTC* m_Stc;
    wxMenu* m_FileMenu;
    wxMenu* m_ProjectMenu;
    QelListViewFile* m_Project = nullptr;
    bool m_ListsOn = true;
    std::map<int, QelListViewWithFrame*> m_Lists;
};

// Answers a modal settings dialog as a user who presses the button `id`,
// after `look` saw what it shows: OK stores what the dialog shows.
inline ExpectAnswer<QelConfigDialog>
ExpectConfigDialog(int id, const std::function<void(QelConfigDialog*)>& look = nullptr)
{
    return ExpectAnswer<QelConfigDialog>(
        [id, look](QelConfigDialog* dialog) {
            if (look) look(dialog);
            wxCommandEvent event(wxEVT_BUTTON, id);
            event.SetEventObject(dialog);
            dialog->ProcessWindowEvent(event);
        },
        id);
}

// ConfigTest with a frame made by Start and closed by Stop as a user would.
class ReportFrameTest : public ConfigTest {
protected:
    void TearDown() override
    {
        Stop();
        ConfigTest::TearDown();
    }
    ReportFrame* Start()
    {
        Stop();
        return m_Frame = new ReportFrame();
    }
    // Closes the frame; true when it went.
    bool Stop()
    {
        if (m_Frame == nullptr) return true;
        if (!m_Frame->Close(true)) return false;
        m_Frame = nullptr;
        Pump(0);
        return true;
    }
    // A git working tree in the temporary folder with the tracked file t.c,
    // and the version-control systems read from vcs.xml with "git" as the
    // program; the tree's path.
    wxString GitTree(const wxString& name)
    {
        const wxString tree = m_Temp.File(name);
        qeltest::Run("git init -q " + ShellQuote(tree) + " && cd " + ShellQuote(tree)
                     + " && echo x > t.c && git add t.c");
        QelVCS vcs{wxFileName(QEL_SOURCE_DIR "/data/vcs.xml")};
        EXPECT_TRUE(QelVCS::Read());
        wxConfigBase::Get()->Write("git", "git");
        return tree;
    }
    // A file with the text in the temporary folder; its path.
    wxString Write(const wxString& name, const std::string& text)
    {
        const wxString path = m_Temp.File(name);
        EXPECT_TRUE(WriteBytes(path, text)) << path;
        return path;
    }

    // A list of the type on the frame with rows for the paths, all selected.
    QelListViewWithFrame* Selected(QelListViewFileName::ListType type,
                                   const std::vector<wxString>& paths,
                                   const wxString& spec = wxEmptyString)
    {
        auto* list = new QelListViewWithFrame(m_Frame, m_Frame, type);
        for (const wxString& path : paths) QelListItem(list, QelFileName(path), spec).Insert();
        for (long row = 0; row < list->GetItemCount(); row++) list->Select(row);
        return list;
    }
    // Lets the frame's process end and its last lines arrive.
    void WaitForProcess()
    {
        ASSERT_TRUE(PumpUntil([&] { return !m_Frame->GetProcess()->IsRunning(); }, 10000));
        Pump(50);
    }

    ReportFrame* m_Frame = nullptr;
};

} // namespace qeltest
