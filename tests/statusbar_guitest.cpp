// The status bar: panes addressed by name, their widths, tool tips, double
// clicks and stored visibility, with one frame and with two.
#include <memory>

#include <wx/tooltip.h>

#include "frames.h"
#include "testing.h"

using qeltest::RecordingFrame;

namespace {

class StatusBarTest : public qeltest::ConfigTest {
protected:
    // The application's panes, made anew for every frame.
    static std::unique_ptr<RecordingFrame> MakeFrame()
    {
        auto frame = std::make_unique<RecordingFrame>();
        frame->SetSize(800, 300);
        frame->SetupStatusBar({QelStatusBarPane(-3), QelStatusBarPane("PaneFileType", 50),
                               QelStatusBarPane("PaneInfo", 100, "Lines or items"),
                               QelStatusBarPane("PaneLexer", 75),
                               QelStatusBarPane("PaneTheme", 75)});
        frame->SendSizeEvent();
        return frame;
    }
    // A mouse event of the type in the middle of the field.
    static void Mouse(QelStatusBar* bar, wxEventType type, int field)
    {
        wxRect rect;
        ASSERT_TRUE(bar->GetFieldRect(field, rect));
        wxMouseEvent event(type);
        event.SetPosition(rect.GetPosition() + wxSize(rect.width / 2, rect.height / 2));
        bar->GetEventHandler()->ProcessEvent(event);
    }
};

TEST_F(StatusBarTest, PanesByNameWithClicksAndToolTips)
{
    auto frame = MakeFrame();
    QelStatusBar* bar = QelFrame::GetSharedStatusBar();
    ASSERT_EQ(bar->GetFieldsCount(), 5);
    QelFrame::StatusText("12,3", "PaneInfo");
    QelFrame::StatusText("x", "Nope");
    for (int i = 0; i < 5; ++i) EXPECT_EQ(bar->GetStatusText(i), i == 2 ? "12,3" : "") << i;

    Mouse(bar, wxEVT_LEFT_DCLICK, 0);
    Mouse(bar, wxEVT_RIGHT_DCLICK, 2);
    EXPECT_EQ(frame->left, std::vector<wxString>{""});
    EXPECT_EQ(frame->right, std::vector<wxString>{"PaneInfo"});

    // The help text is the given one, else the name after its first "e".
    const std::pair<int, const char*> moves[] = {{3, "Lexer"}, {2, "Lines or items"}, {0, ""}};
    for (const auto& move : moves) {
        Mouse(bar, wxEVT_MOTION, move.first);
        ASSERT_NE(bar->GetToolTip(), nullptr);
        EXPECT_EQ(bar->GetToolTip()->GetTip(), move.second) << move.first;
    }
}

TEST_F(StatusBarTest, SecondFrameNumbersItsOwnPanes)
{
    // Its panes are made later in the run: their numbers lie beyond its
    // field count and must not be used as field numbers.
    auto first = MakeFrame();
    QelStatusBar* firstBar = QelFrame::GetSharedStatusBar();
    auto second = MakeFrame();
    QelStatusBar* bar = QelFrame::GetSharedStatusBar();
    ASSERT_NE(firstBar, bar);
    EXPECT_EQ(bar->GetFieldNo("PaneInfo"), 2);
    EXPECT_EQ(bar->GetStatusWidth(4), 75);
    Mouse(bar, wxEVT_LEFT_DCLICK, 3);
    EXPECT_EQ(second->left, std::vector<wxString>{"PaneLexer"});

    // A frame deletes only its own status bar.
    first.reset();
    ASSERT_EQ(QelFrame::GetSharedStatusBar(), bar);
    QelFrame::StatusText("8", "PaneInfo");
    EXPECT_EQ(bar->GetStatusText(2), "8");
    second.reset();
    EXPECT_EQ(QelFrame::GetSharedStatusBar(), nullptr);
}

TEST_F(StatusBarTest, VisibilityIsStoredAndFieldsSetOnce)
{
    {
        auto frame = MakeFrame();
        wxCommandEvent toggle(wxEVT_MENU, ID_VIEW_STATUSBAR);
        frame->ProcessWindowEvent(toggle);
        EXPECT_FALSE(QelFrame::GetSharedStatusBar()->IsShown());
    }
    EXPECT_FALSE(wxConfigBase::Get()->ReadBool("ShowStatusBar", true));
    auto frame = MakeFrame();
    EXPECT_FALSE(QelFrame::GetSharedStatusBar()->IsShown());

    qeltest::ExpectAsserts asserts;
    QelFrame::GetSharedStatusBar()->SetFields({QelStatusBarPane(-1)});
    EXPECT_EQ(asserts.Count(), 1);
    EXPECT_EQ(QelFrame::GetSharedStatusBar()->GetFieldsCount(), 5);
}

} // namespace
