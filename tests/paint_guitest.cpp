// Paints that a window's children cover whole are left to the children.
#include <functional>
#include <utility>

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
    int painted = 0;
    manager.Bind(wxEVT_PAINT, [&painted](wxPaintEvent&) { ++painted; });
    QelSkipPaintsUnderChildren(manager, frame);
    // Events are handled until no paint has come for 200 ms (a loaded
    // display may expose the window late); whether any came.
    const auto settle = [&painted] {
        int quiet = 0, seen = painted;
        for (int i = 0; i < 150 && quiet < 10; ++i) {
            wxTheApp->Yield(), wxMilliSleep(20);
            quiet = painted == seen ? quiet + 1 : 0;
            seen = painted;
        }
        return std::exchange(painted, 0) > 0;
    };
    const auto painted_after = [&settle](const std::function<void()>& action) {
        settle();
        action();
        return settle();
    };
    EXPECT_TRUE(painted_after([frame] { frame->Show(); }));
    EXPECT_FALSE(painted_after([child] { child->RefreshRect(wxRect(20, 20, 150, 17)); }));
    EXPECT_TRUE(painted_after([frame] { frame->RefreshRect(wxRect(250, 40, 100, 17)); }));
    frame->PopEventHandler();
    frame->Destroy();
}
