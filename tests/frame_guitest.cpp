// The frame base: status texts of an editor and a list, the menu bar and
// title bar toggles, the open command, dropped files and the routing of
// find dialog events to the find focus.
#include <memory>

#include <wx/dnd.h>
#include <wx/fdrepdlg.h>
#include <wx/listctrl.h>
#include <wx/menu.h>
#include <wx/panel.h>
#include <wx/testing.h>

#include <qelkit/frame.h>
#include <qelkit/frd.h>
#include <qelkit/grid.h>
#include <qelkit/listview.h>
#include <qelkit/stc.h>
#include <qelkit/vcsentry.h>

#include "frames.h"
#include "testing.h"

using qeltest::RecordingFrame;

namespace {

class FrameTest : public qeltest::ConfigTest {
protected:
    void SetUp() override
    {
        ConfigTest::SetUp();
        m_Frame = std::make_unique<RecordingFrame>();
        m_Frame->SetSize(800, 400);
        m_Frame->SetupStatusBar({QelStatusBarPane(-3), QelStatusBarPane("PaneFileType", 50),
                                 QelStatusBarPane("PaneInfo", 100),
                                 QelStatusBarPane("PaneLexer", 75)});
    }
    void TearDown() override
    {
        m_Frame.reset();
        ConfigTest::TearDown();
    }

    wxString Pane(const wxString& name) const
    {
        QelStatusBar* bar = QelFrame::GetSharedStatusBar();
        return bar->GetStatusText(bar->GetFieldNo(name));
    }

    void Command(int id, const wxString& text = wxEmptyString)
    {
        wxCommandEvent event(wxEVT_MENU, id);
        event.SetString(text);
        m_Frame->ProcessWindowEvent(event);
    }

    // An editor on the frame that is the find focus.
    QelSTC* Editor(const wxString& text, long flags = 0)
    {
        auto* stc = new QelSTC(m_Frame.get(), text, flags);
        m_Frame->SetFindFocus(stc);
        return stc;
    }

    std::unique_ptr<RecordingFrame> m_Frame;
};

TEST(PaneText, InfoAndFileType)
{
    struct Row {
        const char* name;
        QelPaneInfoState state;
        const char* text;
    };
    const Row rows[] = {
        {"CaretAtStartShowsLines", {0, 11, 0, 0, 0, 20, false, "x"}, "11"},
        {"NoSelection", {25, 11, 2, 22, 25, 25, false, ""}, "3,4"},
        {"InLine", {17, 11, 1, 11, 13, 17, false, "2345"}, "2,7,4"},
        {"OverLines", {76, 11, 6, 66, 44, 76, false, "a\nb\nc"}, "7,3,32"},
        {"Rectangle", {17, 11, 1, 11, 13, 28, true, "23\n23"}, "2,7,5"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(QelFormatPaneInfo(row.state), row.text);
    }
    EXPECT_EQ(QelFileTypeText(EDITOR_HEX, wxSTC_EOL_CRLF), "HEX");
    EXPECT_EQ(QelFileTypeText(0, wxSTC_EOL_CRLF), "DOS");
    EXPECT_EQ(QelFileTypeText(0, wxSTC_EOL_CR), "MAC");
    EXPECT_EQ(QelFileTypeText(0, wxSTC_EOL_LF), "UNIX");
    EXPECT_EQ(QelFileTypeText(0, 7), "UNKNOWN");
}

TEST_F(FrameTest, EditorStatusTexts)
{
    wxString text;
    for (int i = 0; i < 10; ++i) text += "0123456789\n";
    QelSTC* stc = Editor(text);
    struct Row {
        const char* name;
        int anchor, caret;
        const char* info;
    };
    const Row rows[] = {
        {"CaretAtStart", 20, 0, "11"},
        {"Lines5To7", 44, 76, "7,3,32"},
        {"InLine2", 13, 17, "2,7,4"},
        {"Caret", 25, 25, "3,4"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        stc->SetSelection(row.anchor, row.caret);
        QelFrame::UpdateStatusBar(stc, "PaneInfo");
        EXPECT_EQ(Pane("PaneInfo"), row.info);
    }
    // The status bar's own update event keeps the position current.
    stc->SetSelection(13, 13);
    wxUpdateUIEvent update(ID_STATUSBAR);
    QelFrame::GetSharedStatusBar()->ProcessWindowEvent(update);
    EXPECT_EQ(Pane("PaneInfo"), "2,3");

    stc->SetEOLMode(wxSTC_EOL_CR);
    QelFrame::UpdateStatusBar(stc, "PaneFileType");
    EXPECT_EQ(Pane("PaneFileType"), "MAC");
    QelFrame::UpdateStatusBar(Editor("", EDITOR_HEX), "PaneFileType");
    EXPECT_EQ(Pane("PaneFileType"), "HEX");
}

TEST_F(FrameTest, ListStatusTexts)
{
    auto* list
        = new wxListView(m_Frame.get(), wxID_ANY, wxDefaultPosition, wxDefaultSize, wxLC_REPORT);
    list->InsertColumn(0, "c");
    for (int i = 0; i < 5; ++i) list->InsertItem(i, "row");
    QelFrame::StatusText("before", "PaneInfo");
    list->Hide();
    QelFrame::UpdateStatusBar(list);
    EXPECT_EQ(Pane("PaneInfo"), "before");
    list->Show();
    QelFrame::UpdateStatusBar(list);
    EXPECT_EQ(Pane("PaneInfo"), "5");
    list->Select(1);
    list->Select(3);
    QelFrame::UpdateStatusBar(list);
    EXPECT_EQ(Pane("PaneInfo"), "5,2");
}

TEST_F(FrameTest, MenuBarFollowsSettingUntilFirstCommand)
{
    struct Row {
        const char* name;
        bool stored;
        std::vector<bool> shown; // after creation, then after each toggle
    };
    const Row rows[] = {{"StoredHidden", false, {false, true, false}},
                        {"StoredShown", true, {true, false, true}}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        wxConfigBase::Get()->Write("ShowMenuBar", row.stored);
        {
            RecordingFrame frame;
            frame.SetMenuBar(new wxMenuBar);
            EXPECT_EQ(frame.GetMenuBar() != nullptr, row.shown[0]);
            for (size_t i = 1; i < row.shown.size(); ++i) {
                wxCommandEvent toggle(wxEVT_MENU, ID_VIEW_MENUBAR);
                frame.ProcessWindowEvent(toggle);
                EXPECT_EQ(frame.GetMenuBar() != nullptr, row.shown[i]) << i;
            }
        }
        EXPECT_EQ(wxConfigBase::Get()->ReadBool("ShowMenuBar", !row.shown.back()),
                  row.shown.back());
    }
}

TEST_F(FrameTest, TitleBarToggle)
{
    RecordingFrame bare(wxRESIZE_BORDER);
    wxCommandEvent toggle(wxEVT_MENU, ID_VIEW_TITLEBAR);
    bare.ProcessWindowEvent(toggle);
    EXPECT_EQ(bare.GetWindowStyleFlag(), wxDEFAULT_FRAME_STYLE);
    bare.ProcessWindowEvent(toggle);
    EXPECT_EQ(bare.GetWindowStyleFlag(), wxDEFAULT_FRAME_STYLE & ~wxCAPTION);
}

TEST_F(FrameTest, OpenCommandBesideTheEditor)
{
    // The editor shows x.c in the folder; names are looked up there.
    const wxString folder = m_Temp.Path();
    for (const char* name : {"x.c", "a.txt", "notes.txt", "b.h"})
        ASSERT_TRUE(qeltest::WriteBytes(m_Temp.File(name), "text\n"));
    QelSTC* stc = Editor("");
    ASSERT_TRUE(stc->Open(QelFileName(m_Temp.File("x.c"))));

    const wxString elsewhere = m_Temp.File("elsewhere");
    ASSERT_TRUE(wxMkdir(elsewhere));
    qeltest::CwdGuard cwd(elsewhere);
    qeltest::LogCapture log;
    Command(wxID_OPEN, "a.txt missing.txt notes.txt:12\t*.h /abs/other.c");

    EXPECT_EQ(wxGetCwd(), folder);
    EXPECT_TRUE(log.Has("Cannot locate file: missing.txt")) << log.Dump();
    ASSERT_EQ(m_Frame->opens.size(), 4u);
    const RecordingFrame::Open expected[] = {{folder + "/a.txt", 0, 0},
                                             {folder + "/notes.txt", 12, 0},
                                             {folder + "/b.h", 0, 0},
                                             {"/abs/other.c", 0, 0}};
    for (size_t i = 0; i < std::size(expected); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(m_Frame->opens[i].path, expected[i].path);
        EXPECT_EQ(m_Frame->opens[i].line, expected[i].line);
    }
}

TEST_F(FrameTest, DroppedFilesAreAlwaysAccepted)
{
    auto* target = dynamic_cast<wxFileDropTarget*>(m_Frame->GetDropTarget());
    ASSERT_NE(target, nullptr);
    wxArrayString names;
    names.push_back(m_Temp.File("nowhere.txt"));
    EXPECT_TRUE(target->OnDropFiles(0, 0, names));
    EXPECT_EQ(m_Frame->OpenedPaths(), std::vector<wxString>{m_Temp.File("nowhere.txt")});
}

TEST_F(FrameTest, OpenFileLoadsIntoTheCurrentEditor)
{
    QelFrame frame(nullptr, wxID_ANY, "plain");
    ASSERT_TRUE(qeltest::WriteBytes(m_Temp.File("f.txt"), "loaded\n"));
    EXPECT_FALSE(frame.OpenFile(QelFileName(m_Temp.File("f.txt"))));
    auto* stc = new QelSTC(&frame, "");
    frame.SetFindFocus(stc);
    EXPECT_EQ(frame.GetSTC(), stc);
    EXPECT_TRUE(frame.OpenFile(QelFileName(m_Temp.File("f.txt"))));
    EXPECT_EQ(stc->GetText(), "loaded\n");
}

TEST_F(FrameTest, OneFindDialogAtATime)
{
    auto count = [this] {
        int dialogs = 0;
        for (const wxWindow* child : m_Frame->GetChildren())
            if (dynamic_cast<const wxFindReplaceDialog*>(child) != nullptr
                && !wxPendingDelete.Member(const_cast<wxWindow*>(child)))
                ++dialogs;
        return dialogs;
    };
    Command(wxID_FIND);
    Command(wxID_REPLACE);
    qeltest::Pump(50);
    EXPECT_EQ(count(), 1);
    ASSERT_NE(m_Frame->GetFindReplaceDialog(), nullptr);
    EXPECT_TRUE(m_Frame->GetFindReplaceDialog()->HasFlag(wxFR_REPLACEDIALOG));

    wxFindDialogEvent close(wxEVT_FIND_CLOSE, m_Frame->GetFindReplaceDialog()->GetId());
    m_Frame->ProcessWindowEvent(close);
    qeltest::Pump(50);
    EXPECT_EQ(count(), 0);
    EXPECT_EQ(m_Frame->GetFindReplaceDialog(), nullptr);
}

TEST_F(FrameTest, FindEventsReachTheFindFocusOnce)
{
    // A window that handles no find event must not send it back up to the
    // frame, which would post it again for ever.
    int arrived = 0;
    m_Frame->Bind(wxEVT_FIND_REPLACE, [&arrived](wxFindDialogEvent& event) {
        ++arrived;
        event.Skip();
    });
    m_Frame->SetFindFocus(new wxPanel(m_Frame.get()));
    wxFindDialogEvent replace(wxEVT_FIND_REPLACE, wxID_ANY);
    m_Frame->ProcessWindowEvent(replace);
    qeltest::Pump(100);
    EXPECT_EQ(arrived, 1);

    // An editor as find focus does the search.
    QelSTC* stc = Editor("hay needle hay");
    QelFindReplaceData::Get()->SetFindString("needle");
    QelFindReplaceData::Get()->SetFlags(wxFR_DOWN);
    wxFindDialogEvent next(wxEVT_FIND_NEXT, wxID_ANY);
    m_Frame->ProcessWindowEvent(next);
    qeltest::PumpUntil([stc] { return stc->GetSelectionStart() == 4; }, 500);
    EXPECT_EQ(stc->GetSelectedText(), "needle");
}

TEST_F(FrameTest, DestroyedFindFocusIsForgotten)
{
    auto* panel = new wxPanel(m_Frame.get());
    m_Frame->SetFindFocus(panel);
    delete panel;
    EXPECT_EQ(m_Frame->GetFindFocus(), nullptr);
    EXPECT_EQ(m_Frame->GetSTC(), nullptr);
    wxFindDialogEvent find(wxEVT_FIND, wxID_ANY);
    m_Frame->ProcessWindowEvent(find); // dropped, nothing to post to
}

TEST_F(FrameTest, InfoPaneDoubleClickAsksForALine)
{
    QelFrame frame(nullptr, wxID_ANY, "plain");
    {
        wxTestingModalHook nothing; // no editor: no dialog
        frame.StatusBarDoubleClicked("PaneInfo");
    }
    auto* stc = new QelSTC(&frame, "a\nb\nc\n");
    frame.SetFindFocus(stc);
    wxTEST_DIALOG(frame.StatusBarDoubleClicked("PaneInfo"), wxExpectAny(wxID_CANCEL));
}

TEST_F(FrameTest, ListsAndGridsAreFoundFromTheirInnerWindows)
{
    auto* list = new QelListView(m_Frame.get());
    auto* grid = new QelGrid(m_Frame.get());
    grid->CreateGrid(2, 2);
    struct Row {
        const char* name;
        wxWindow* focus;
        QelListView* list;
        QelGrid* grid;
    };
    const Row rows[] = {
        {"ListItself", list, list, nullptr},
        {"ListInner", list->GetChildren().front(), list, nullptr},
        {"GridInner", grid->GetGridWindow(), nullptr, grid},
        {"Frame", m_Frame.get(), nullptr, nullptr},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        m_Frame->SetFindFocus(row.focus);
        EXPECT_EQ(m_Frame->GetListView(), row.list);
        EXPECT_EQ(m_Frame->GetGrid(), row.grid);
        EXPECT_EQ(m_Frame->GetSTC(), nullptr);
    }
}

TEST_F(FrameTest, ReplaceEventsToAListArePostedOnce)
{
    int arrived = 0;
    m_Frame->Bind(wxEVT_FIND_REPLACE_ALL, [&arrived](wxFindDialogEvent& event) {
        ++arrived;
        event.Skip();
    });
    auto* list = new QelListView(m_Frame.get());
    m_Frame->SetFindFocus(list->GetChildren().front());
    wxFindDialogEvent replace(wxEVT_FIND_REPLACE_ALL, wxID_ANY);
    m_Frame->ProcessWindowEvent(replace);
    qeltest::Pump(100);
    EXPECT_EQ(arrived, 1);
}

TEST_F(FrameTest, InfoPaneDoubleClickOnAList)
{
    auto* list = new QelListView(m_Frame.get());
    list->InsertColumn(0, "c");
    for (int i = 0; i < 3; ++i) list->InsertItem(i, "row");
    m_Frame->SetFindFocus(list);
    // The recording frame records the call; the base asks for an item.
    wxTEST_DIALOG(m_Frame->QelFrame::StatusBarDoubleClicked("PaneInfo"), wxExpectAny(wxID_CANCEL));
}

TEST_F(FrameTest, VersionControlOutputGoesToTheEditor)
{
    const QelVCSEntry vcs; // no run: its output is empty
    EXPECT_EQ(vcs.GetOutput(), "");
    wxTEST_DIALOG(EXPECT_TRUE(m_Frame->QelFrame::OpenFile(QelFileName("x.c"), vcs)),
                  wxExpectModal<wxMessageDialog>(wxID_OK));
    QelSTC* stc = Editor("before");
    wxTestingModalHook nothing;
    EXPECT_TRUE(m_Frame->QelFrame::OpenFile(QelFileName("x.c"), vcs));
    EXPECT_EQ(stc->GetText(), "");
}

} // namespace
