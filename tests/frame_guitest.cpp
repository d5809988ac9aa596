// The frame base: the pane texts, the menu bar setting, the
// open command, drops, the find focus and the routing of find events.
#include <wx/dnd.h>
#include <wx/fdrepdlg.h>
#include <wx/html/htmprint.h>
#include <wx/menu.h>
#include <wx/msgdlg.h>
#include <wx/panel.h>
#include <wx/testing.h>

#include <qelkit/frd.h>
#include <qelkit/grid.h>
#include <qelkit/listview.h>
#include <qelkit/printing.h>
#include <qelkit/stc.h>
#include <qelkit/vcsentry.h>

#include "frames.h"
#include "testing.h"

using qeltest::RecordingFrame;

namespace {

class FrameTest : public qeltest::FrameTest {
protected:
    void SetUp() override
    {
        qeltest::FrameTest::SetUp();
        m_Frame->SetupStatusBar({QelStatusBarPane(-3), QelStatusBarPane("PaneInfo", 100)});
    }
    static wxString Pane(const wxString& name)
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
    // Posts a find event through the frame; the number that reached it.
    int FindEventsAtFrame(const wxEventTypeTag<wxFindDialogEvent>& type)
    {
        int arrived = 0;
        auto count = [&arrived](wxFindDialogEvent& event) {
            ++arrived;
            event.Skip();
        };
        m_Frame->Bind(type, count);
        wxFindDialogEvent event(type, wxID_ANY);
        m_Frame->ProcessWindowEvent(event);
        qeltest::Pump(100);
        m_Frame->Unbind(type, count);
        return arrived;
    }
    QelSTC* Editor(const wxString& text) // the find focus
    {
        auto* stc = new QelSTC(m_Frame.get(), text);
        m_Frame->SetFindFocus(stc);
        return stc;
    }
    QelListView* List(int rows)
    {
        auto* list = new QelListView(m_Frame.get());
        list->InsertColumn(0, "c");
        for (int i = 0; i < rows; ++i) list->InsertItem(i, "row");
        return list;
    }
};

TEST_F(FrameTest, EditorPaneTexts)
{
    // Lines end in a byte that is not UTF-8: the selection is counted anyway.
    std::string text;
    for (int i = 0; i < 10; ++i) text += "012345678\xe9\n";
    QelSTC* stc = Editor("");
    stc->SetTextRaw(text.c_str());
    // The rectangle holds "78\xe9" twice, each with its line end.
    const std::tuple<int, int, bool, const char*> rows[] = {{20, 0, false, "11"},
                                                            {44, 76, false, "7,3,32"},
                                                            {13, 17, false, "2,7,4"},
                                                            {25, 25, false, "3,4"},
                                                            {18, 32, true, "3,11,8"}};
    for (const auto& [anchor, caret, rectangle, info] : rows) {
        stc->SetSelection(anchor, caret);
        if (rectangle) {
            stc->SetRectangularSelectionAnchor(anchor);
            stc->SetRectangularSelectionCaret(caret);
        }
        // The status bar's own update event keeps the position current.
        wxUpdateUIEvent update(ID_STATUSBAR);
        QelFrame::GetSharedStatusBar()->ProcessWindowEvent(update);
        EXPECT_EQ(Pane("PaneInfo"), info);
    }
    EXPECT_EQ(QelFormatPaneInfo({17, 11, 1, 11, 13, 28, true, "23\n23"}), "2,7,5"); // rectangle
}

TEST_F(FrameTest, MenuBarFollowsSettingUntilFirstCommand)
{
    for (const bool stored : {false, true}) {
        SCOPED_TRACE(stored);
        wxConfigBase::Get()->Write("ShowMenuBar", stored);
        {
            RecordingFrame frame;
            frame.SetMenuBar(new wxMenuBar);
            EXPECT_EQ(frame.GetMenuBar() != nullptr, stored);
            wxCommandEvent toggle(wxEVT_MENU, ID_VIEW_MENUBAR);
            frame.ProcessWindowEvent(toggle);
            EXPECT_EQ(frame.GetMenuBar() != nullptr, !stored);
            frame.ProcessWindowEvent(toggle);
        }
        EXPECT_EQ(wxConfigBase::Get()->ReadBool("ShowMenuBar", !stored), stored);
    }
}

TEST_F(FrameTest, OpenCommandBesideTheEditorAndDrops)
{
    const wxString folder = m_Temp.Path();
    for (const char* name : {"x.c", "a.txt", "notes.txt", "b.h"})
        ASSERT_TRUE(qeltest::WriteBytes(m_Temp.File(name), "text\n"));
    ASSERT_TRUE(Editor("")->Open(QelFileName(m_Temp.File("x.c"))));
    const wxString elsewhere = m_Temp.File("elsewhere");
    ASSERT_TRUE(wxMkdir(elsewhere));
    qeltest::CwdGuard cwd(elsewhere);
    qeltest::LogCapture log;

    Command(wxID_OPEN, "a.txt missing.txt notes.txt:12\t*.h /abs/other.c");
    EXPECT_TRUE(log.Has("Cannot locate file: missing.txt")) << log.Dump();
    EXPECT_EQ(m_Frame->OpenedPaths(),
              (std::vector<wxString>{folder + "/a.txt", folder + "/notes.txt", folder + "/b.h",
                                     "/abs/other.c"}));
    EXPECT_EQ(m_Frame->opens.at(1).line, 12);

    // Every drop is accepted, whatever opening gives.
    auto* target = static_cast<wxFileDropTarget*>(m_Frame->GetDropTarget());
    EXPECT_TRUE(target->OnDropFiles(0, 0, wxArrayString(1, m_Temp.File("nowhere.txt"))));
    EXPECT_EQ(m_Frame->OpenedPaths().back(), m_Temp.File("nowhere.txt"));
}

TEST_F(FrameTest, OpenFileAndOutputGoToTheEditor)
{
    QelFrame frame(nullptr, wxID_ANY, "plain");
    ASSERT_TRUE(qeltest::WriteBytes(m_Temp.File("f.txt"), "loaded\n"));
    const QelVCSEntry vcs; // no run: its output is empty
    EXPECT_FALSE(frame.OpenFile(QelFileName(m_Temp.File("f.txt"))));
    wxTEST_DIALOG(EXPECT_TRUE(frame.OpenFile(QelFileName("x.c"), vcs)),
                  wxExpectModal<wxMessageDialog>(wxID_OK));

    auto* stc = new QelSTC(&frame, "");
    frame.SetFindFocus(stc);
    EXPECT_TRUE(frame.OpenFile(QelFileName(m_Temp.File("f.txt"))));
    EXPECT_EQ(stc->GetText(), "loaded\n");
    wxTestingModalHook nothing;
    EXPECT_TRUE(frame.OpenFile(QelFileName("x.c"), vcs));
    EXPECT_EQ(stc->GetText(), "");
}

TEST_F(FrameTest, OneFindDialogAtATime)
{
    auto count = [this] {
        int dialogs = 0;
        for (wxWindow* child : m_Frame->GetChildren())
            dialogs += dynamic_cast<wxFindReplaceDialog*>(child) != nullptr
                && !wxPendingDelete.Member(child);
        return dialogs;
    };
    Command(wxID_FIND);
    Command(wxID_REPLACE);
    qeltest::Pump(50);
    EXPECT_EQ(count(), 1);
    wxFindDialogEvent close(wxEVT_FIND_CLOSE, wxID_ANY);
    m_Frame->ProcessWindowEvent(close);
    EXPECT_EQ(m_Frame->GetFindReplaceDialog(), nullptr);
}

TEST_F(FrameTest, FindEventsReachTheFindFocusOnce)
{
    // A window that does not handle the event must not pass it back up to
    // the frame, which would post it again for ever.
    m_Frame->SetFindFocus(new wxPanel(m_Frame.get()));
    EXPECT_EQ(FindEventsAtFrame(wxEVT_FIND_REPLACE), 1);
    m_Frame->SetFindFocus(List(2)->GetChildren().front());
    EXPECT_EQ(FindEventsAtFrame(wxEVT_FIND_REPLACE_ALL), 1);

    QelSTC* stc = Editor("hay needle hay");
    QelFindReplaceData::Get()->SetFindString("needle");
    QelFindReplaceData::Get()->SetFlags(wxFR_DOWN);
    FindEventsAtFrame(wxEVT_FIND_NEXT);
    EXPECT_EQ(stc->GetSelectedText(), "needle");

    // A find focus that was destroyed is forgotten.
    delete stc;
    EXPECT_EQ(m_Frame->GetFindFocus(), nullptr);
    EXPECT_EQ(FindEventsAtFrame(wxEVT_FIND), 1);
}

TEST_F(FrameTest, ListsAndGridsAreFoundFromTheirInnerWindows)
{
    QelListView* list = List(0);
    auto* grid = new QelGrid(m_Frame.get());
    grid->CreateGrid(2, 2);
    const std::tuple<wxWindow*, QelListView*, QelGrid*> rows[]
        = {{list->GetChildren().front(), list, nullptr},
           {grid->GetGridWindow(), nullptr, grid},
           {m_Frame.get(), nullptr, nullptr}};
    for (const auto& [focus, found_list, found_grid] : rows) {
        m_Frame->SetFindFocus(focus);
        EXPECT_EQ(m_Frame->GetListView(), found_list);
        EXPECT_EQ(m_Frame->GetGrid(), found_grid);
    }
}

TEST_F(FrameTest, PrintingForgetsADestroyedFrame)
{
    QelPrinting* printing = QelPrinting::Get(false);
    ASSERT_NE(printing, nullptr);
    wxHtmlEasyPrinting* html = printing->GetHtmlPrinter();
    EXPECT_EQ(html->GetParentWindow(), m_Frame.get());
    m_Frame.reset(); // leaves no dangling parent behind
    EXPECT_EQ(html->GetParentWindow(), nullptr);
}

} // namespace
