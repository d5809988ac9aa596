// Paints that a window's children cover whole are left to the children.
#include <algorithm>
#include <functional>
#include <utility>
#include <vector>

#include <gtest/gtest.h>
#include <wx/frame.h>
#include <wx/panel.h>

#include <qelkit/paint.h>

// A child's repaint (a caret's blink) reaches the window's own drawing no
// more; what no child covers still does.
TEST(PaintUnderChild, TheHandlerSeesOnlyPaintsNotCovered)
{
    auto* frame = new wxFrame(nullptr, wxID_ANY, "paint", wxDefaultPosition, wxSize(400, 300));
    auto* child = new wxPanel(frame, wxID_ANY, wxPoint(10, 20), wxSize(200, 100));
    new wxPanel(frame, wxID_ANY, wxPoint(10, 200), wxSize(50, 50)); // a lone one would fill it
    // As a docking manager, pushed onto the frame; its own handler comes
    // after those bound to it.
    wxEvtHandler manager;
    frame->PushEventHandler(&manager);
    // The parts the manager was asked to draw. Other test processes share
    // the display: their windows may expose parts of this one at any time,
    // so what counts is where a paint lies, not that one came.
    std::vector<wxRect> painted;
    manager.Bind(wxEVT_PAINT,
                 [&](wxPaintEvent&) { painted.push_back(frame->GetUpdateRegion().GetBox()); });
    QelSkipPaintsUnderChildren(manager, frame);
    const auto parts_after = [&painted](const std::function<void()>& action) {
        action();
        for (int i = 0; i < 10; ++i) wxTheApp->Yield(), wxMilliSleep(20);
        return std::exchange(painted, {});
    };
    const auto any_within = [](const std::vector<wxRect>& parts, const wxRect& area) {
        return std::any_of(parts.begin(), parts.end(),
                           [&area](const wxRect& part) { return area.Contains(part); });
    };
    EXPECT_FALSE(parts_after([frame] { frame->Show(); }).empty());
    const wxRect under = child->GetRect();
    EXPECT_FALSE(any_within(parts_after([child] { child->RefreshRect(wxRect(20, 20, 150, 17)); }),
                            under));
    const auto any_holding = [](const std::vector<wxRect>& parts, const wxRect& area) {
        return std::any_of(parts.begin(), parts.end(),
                           [&area](const wxRect& part) { return part.Contains(area); });
    };
    const wxRect free(250, 40, 100, 17);
    EXPECT_TRUE(any_holding(parts_after([frame, free] { frame->RefreshRect(free); }), free));
    // The child that covered the last paint covers nothing once hidden or gone.
    const wxRect line(20, 30, 150, 17);
    const auto refresh_line = [frame, line] { frame->RefreshRect(line); };
    EXPECT_FALSE(any_within(parts_after(refresh_line), under));
    child->Hide();
    EXPECT_TRUE(any_holding(parts_after(refresh_line), line));
    child->Show();
    EXPECT_FALSE(any_within(parts_after(refresh_line), under));
    child->Destroy();
    EXPECT_TRUE(any_holding(parts_after(refresh_line), line));
    frame->PopEventHandler();
    frame->Destroy();
}
