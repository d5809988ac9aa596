// The status bar: panes addressed by name, their widths, tool tips and
// double clicks, and the stored visibility, with one and with two frames.
#include <memory>

#include <wx/tooltip.h>

#include <qelkit/frame.h>
#include <qelkit/statusbar.h>

#include "frames.h"
#include "testing.h"

using qeltest::RecordingFrame;

namespace {

// The panes of the application, in field order.
std::vector<QelStatusBarPane> AppPanes()
{
    return {QelStatusBarPane(-3), QelStatusBarPane("PaneFileType", 50),
            QelStatusBarPane("PaneInfo", 100, "Lines or items"), QelStatusBarPane("PaneLexer", 75),
            QelStatusBarPane("PaneTheme", 75)};
}

class StatusBarTest : public qeltest::ConfigTest {
protected:
    std::unique_ptr<RecordingFrame> MakeFrame()
    {
        auto frame = std::make_unique<RecordingFrame>();
        frame->SetSize(800, 300);
        frame->SetupStatusBar(AppPanes());
        frame->SendSizeEvent();
        return frame;
    }

    // Sends a mouse event of the type to the middle of the field.
    static void Mouse(QelStatusBar* bar, wxEventType type, int field)
    {
        wxRect rect;
        ASSERT_TRUE(bar->GetFieldRect(field, rect));
        wxMouseEvent event(type);
        event.SetPosition(rect.GetPosition() + wxSize(rect.width / 2, rect.height / 2));
        event.SetEventObject(bar);
        bar->GetEventHandler()->ProcessEvent(event);
    }

    static wxString ToolTip(const QelStatusBar* bar)
    {
        return bar->GetToolTip() == nullptr ? wxString("<none>") : bar->GetToolTip()->GetTip();
    }
};

TEST(StatusBarPane, NumbersAndHelpTexts)
{
    struct Row {
        const char* name;
        QelStatusBarPane pane;
        const char* help;
    };
    const int first = QelStatusBarPane(1).GetNo() + 1;
    const Row rows[] = {
        {"Unnamed", QelStatusBarPane(-3), ""},
        {"AfterFirstE", QelStatusBarPane("PaneLexer", 75), "Lexer"},
        {"FileType", QelStatusBarPane("PaneFileType", 50), "FileType"},
        {"Explicit", QelStatusBarPane("PaneInfo", 100, "Lines or items"), "Lines or items"},
        {"NoE", QelStatusBarPane("XYZ", 10), ""},
    };
    for (size_t i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE(rows[i].name);
        EXPECT_EQ(rows[i].pane.GetHelpText(), rows[i].help);
        EXPECT_EQ(rows[i].pane.GetNo(), first + static_cast<int>(i));
    }
    const QelStatusBarPane copy = rows[1].pane;
    EXPECT_EQ(copy.GetNo(), rows[1].pane.GetNo());
}

TEST_F(StatusBarTest, FieldsTakeWidthsAndTextsByName)
{
    auto frame = MakeFrame();
    auto* bar = QelFrame::GetSharedStatusBar();
    ASSERT_NE(bar, nullptr);
    ASSERT_EQ(bar->GetFieldsCount(), 5);
    const int widths[] = {-3, 50, 100, 75, 75};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(bar->GetStatusWidth(i), widths[i]) << i;

    QelFrame::StatusText("12,3", "PaneInfo");
    QelFrame::StatusText("cpp", "PaneLexer");
    QelFrame::StatusText("x", "Nope");
    const char* texts[] = {"", "", "12,3", "cpp", ""};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(bar->GetStatusText(i), texts[i]) << i;
}

TEST_F(StatusBarTest, SecondFrameNumbersItsOwnPanes)
{
    // Both pane sets are made in one run, so the second one's numbers are
    // beyond its field count.
    auto first = MakeFrame();
    QelStatusBar* firstBar = QelFrame::GetSharedStatusBar();
    auto second = MakeFrame();
    QelStatusBar* secondBar = QelFrame::GetSharedStatusBar();
    ASSERT_NE(firstBar, secondBar);
    ASSERT_EQ(secondBar->GetFieldsCount(), 5);
    EXPECT_EQ(secondBar->GetFieldNo("PaneInfo"), 2);
    EXPECT_EQ(secondBar->GetStatusWidth(4), 75);

    QelFrame::StatusText("7", "PaneInfo");
    EXPECT_EQ(secondBar->GetStatusText(2), "7");
    Mouse(secondBar, wxEVT_LEFT_DCLICK, 3);
    EXPECT_EQ(second->left, std::vector<wxString>{"PaneLexer"});

    // The first frame goes and leaves the second frame's status bar alone.
    first.reset();
    EXPECT_EQ(QelFrame::GetSharedStatusBar(), secondBar);
    QelFrame::StatusText("8", "PaneInfo");
    EXPECT_EQ(secondBar->GetStatusText(2), "8");
    second.reset();
    EXPECT_EQ(QelFrame::GetSharedStatusBar(), nullptr);
    QelFrame::StatusText("9", "PaneInfo"); // dropped, no bar
}

TEST_F(StatusBarTest, DoubleClicksNameThePane)
{
    auto frame = MakeFrame();
    auto* bar = QelFrame::GetSharedStatusBar();
    Mouse(bar, wxEVT_LEFT_DCLICK, 0);
    Mouse(bar, wxEVT_RIGHT_DCLICK, 2);
    Mouse(bar, wxEVT_LEFT_DCLICK, 1);
    EXPECT_EQ(frame->left, (std::vector<wxString>{"", "PaneFileType"}));
    EXPECT_EQ(frame->right, std::vector<wxString>{"PaneInfo"});
}

TEST_F(StatusBarTest, MotionSetsToolTipOfPane)
{
    auto frame = MakeFrame();
    auto* bar = QelFrame::GetSharedStatusBar();
    const struct {
        int field;
        const char* tip;
    } moves[] = {{3, "Lexer"}, {2, "Lines or items"}, {2, "Lines or items"}, {0, ""}};
    for (const auto& move : moves) {
        SCOPED_TRACE(move.field);
        Mouse(bar, wxEVT_MOTION, move.field);
        EXPECT_EQ(ToolTip(bar), move.tip);
    }
}

TEST_F(StatusBarTest, VisibilityIsStoredAndRestored)
{
    {
        auto frame = MakeFrame();
        EXPECT_TRUE(QelFrame::GetSharedStatusBar()->IsShown());
        wxCommandEvent toggle(wxEVT_MENU, ID_VIEW_STATUSBAR);
        frame->ProcessWindowEvent(toggle);
        EXPECT_FALSE(QelFrame::GetSharedStatusBar()->IsShown());
    }
    EXPECT_FALSE(wxConfigBase::Get()->ReadBool("ShowStatusBar", true));
    auto frame = MakeFrame();
    EXPECT_FALSE(QelFrame::GetSharedStatusBar()->IsShown());
}

TEST_F(StatusBarTest, SecondSetFieldsAsserts)
{
    auto frame = MakeFrame();
    qeltest::ExpectAsserts asserts;
    QelFrame::GetSharedStatusBar()->SetFields(AppPanes());
    EXPECT_EQ(asserts.Count(), 1);
    EXPECT_EQ(QelFrame::GetSharedStatusBar()->GetFieldsCount(), 5);
}

} // namespace
