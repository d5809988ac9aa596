// Keys that both the main window's menus and the focused editor's vi know:
// the editor gets them first.
#include <gtest/gtest.h>
#include <wx/modalhook.h>
#include <wx/uiaction.h>

#include <qelkit/report/listviewframe.h>
#include <qelkit/status.h>
#include <qelkit/stc.h>

#include "app_frame_harness.h"

using namespace qeltest;

namespace {

// Counts modal dialogs and cancels them.
class DialogCounter : public wxModalDialogHook {
public:
    int count = 0;

protected:
    int Enter(wxDialog*) override { return ++count, wxID_CANCEL; }
    void Exit(wxDialog*) override { }
};

using FrameKeys = AppFrameTest;

// Ctrl+P prints from the menu, but in vi's command mode it scrolls up a
// line, Ctrl+Q, which the window leaves alone, scrolls down, and Ctrl+B,
// which shows or hides the menu bar, pages up.
TEST_F(FrameKeys, ViCommandModeTakesCtrlPCtrlQAndCtrlB)
{
    std::string text;
    for (int i = 0; i < 300; ++i) text += "line\n";
    ASSERT_TRUE(WriteBytes(m_Temp.File("long.txt"), text));
    ASSERT_TRUE(m_Frame->OpenFile(QelFileName(m_Temp.File("long.txt"))));
    QelSTC* stc = m_Frame->GetSTC();
    stc->GetVi().Use(true);
    m_Frame->Show();
    m_Frame->Raise();
    stc->SetFocus();
    ASSERT_TRUE(PumpUntil([stc] { return stc->HasFocus(); }, 3000));
    stc->SetFirstVisibleLine(100);
    Pump(50);

    DialogCounter dialogs;
    dialogs.Register();
    wxUIActionSimulator sim;
    for (const auto& [key, first_line] : {std::pair<int, int>{'p', 99}, {'q', 100}}) {
        sim.Char(key, wxMOD_CONTROL);
        EXPECT_TRUE(PumpUntil([&] { return stc->GetFirstVisibleLine() == first_line; }, 3000))
            << char(key) << " " << stc->GetFirstVisibleLine();
    }
    // Ctrl+B pages up, and the frame's Ctrl+B leaves the menu bar shown.
    sim.Char('b', wxMOD_CONTROL);
    EXPECT_TRUE(PumpUntil([&] { return stc->GetFirstVisibleLine() < 100; }, 3000));
    EXPECT_NE(m_Frame->GetMenuBar(), nullptr);
    dialogs.Unregister();
    EXPECT_EQ(dialogs.count, 0);
}

// A control key that vi has no use for was kept in its pending command in
// command mode, and never reached the window: Ctrl+S did not save the fix
// just typed.
TEST_F(FrameKeys, ViCommandModeLeavesOtherControlKeysToTheWindow)
{
    const wxString path = m_Temp.File("fix.c");
    QelSTC* stc = Open("fix.c", "int x = 1;\n");
    stc->GetVi().Use(true);
    m_Frame->Show();
    m_Frame->Raise();
    stc->SetFocus();
    ASSERT_TRUE(PumpUntil([stc] { return stc->HasFocus(); }, 3000));

    DialogCounter dialogs;
    dialogs.Register();
    wxUIActionSimulator sim;
    const auto deleted = [&](const std::string& text) {
        sim.Char('x');
        return PumpUntil([&] { return TextBytes(stc) == text; }, 3000);
    };
    EXPECT_TRUE(deleted("nt x = 1;\n"));
    sim.Char('s', wxMOD_CONTROL);
    EXPECT_TRUE(PumpUntil([&] { return ReadBytes(path) == "nt x = 1;\n"; }, 3000));
    sim.Char('o', wxMOD_CONTROL);
    EXPECT_TRUE(PumpUntil([&] { return dialogs.count == 1; }, 3000)) << "the open dialog";
    EXPECT_TRUE(stc->GetVi().GetCommand().empty());
    // vi's own keys go on as before. The control's keys that no menu takes
    // change nothing: Ctrl+L cut the line, Alt+Backspace undid the "x".
    ASSERT_TRUE(PumpUntil([stc] { return stc->HasFocus(); }, 3000));
    sim.Char('l', wxMOD_CONTROL);
    sim.Char('t', wxMOD_CONTROL);
    sim.Char(WXK_BACK, wxMOD_ALT);
    EXPECT_TRUE(deleted("t x = 1;\n"));
    dialogs.Unregister();
}

// A list takes the keys its menu shows, before the window's menus, which
// gave Copy to the editor; the window's Copy goes to the focused list too.
// The count of selected rows follows a range selected with Shift, of which
// a virtual list tells no row.
TEST_F(FrameKeys, ListTakesItsKeys)
{
    ClipboardLock lock;
    QelListView* list = m_Frame->Activate(QelListViewFileName::LIST_FIND);
    for (const char* row : {"one", "two", "three"}) list->InsertItem(list->GetItemCount(), row);
    const wxString rows = list->ItemToText(1) + "\n" + list->ItemToText(2) + "\n";
    m_Frame->Show();
    m_Frame->Raise();
    list->SetFocus();
    ASSERT_TRUE(PumpUntil([list] { return list->IsDescendant(wxWindow::FindFocus()); }, 3000));

    wxUIActionSimulator sim;
    const wxStatusBar* status = m_Frame->GetStatusBar();
    const std::tuple<int, int, const char*> keys[]
        = {{'a', wxMOD_CONTROL, "3,3"}, {WXK_DOWN, 0, "3,1"}, {WXK_END, wxMOD_SHIFT, "3,2"}};
    for (const auto& [key, modifier, count] : keys) {
        sim.Char(key, modifier);
        EXPECT_TRUE(PumpUntil([&] { return status->GetStatusText(2) == count; }, 3000))
            << count << " " << status->GetStatusText(2);
    }
    sim.Char('c', wxMOD_CONTROL);
    EXPECT_TRUE(PumpUntil([&rows] { return QelClipboardGet() == rows; }, 3000));
    ASSERT_TRUE(QelClipboardAdd("none"));
    wxCommandEvent copy(wxEVT_MENU, wxID_COPY);
    m_Frame->ProcessWindowEvent(copy);
    EXPECT_TRUE(PumpUntil([&rows] { return QelClipboardGet() == rows; }, 3000));
}

} // namespace
