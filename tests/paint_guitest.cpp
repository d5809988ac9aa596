// Paints that a window's children cover whole are left to the children.
#include <functional>

#include <gtest/gtest.h>
#include <wx/frame.h>
#include <wx/panel.h>

#include <qelkit/paint.h>

TEST(PaintUnderChild, OnlyAPartWhollyUnderAShownChild)
{
    auto* frame = new wxFrame(nullptr, wxID_ANY, "paint", wxDefaultPosition, wxSize(400, 300));
    auto* child = new wxPanel(frame, wxID_ANY, wxPoint(10, 20), wxSize(200, 100));
    new wxPanel(frame, wxID_ANY, wxPoint(250, 20), wxSize(100, 100));
    const struct {
        wxRect part;
        bool under;
    } rows[] = {
        {{10, 20, 200, 100}, true}, // the child's whole area
        {{30, 40, 150, 17}, true},  // a line of it
        {{5, 40, 150, 17}, false},  // reaching out of it
        {{205, 40, 60, 17}, false}, // over two children and the gap between
        {{0, 0, 8, 8}, false},      // beside them
        {{30, 40, 0, 0}, false},    // nothing
    };
    for (const auto& row : rows)
        EXPECT_EQ(QelPaintIsUnderChild(frame, row.part), row.under)
            << row.part.x << "," << row.part.y << " " << row.part.width << "x" << row.part.height;
    child->Hide();
    EXPECT_FALSE(QelPaintIsUnderChild(frame, {30, 40, 150, 17}));
    frame->Destroy();
}

// The handler still paints what no child covers, and nothing that a
// child's own repaint (a caret's blink) brings to the window under it.
TEST(PaintUnderChild, TheHandlerSeesOnlyPaintsNotCovered)
{
    auto* frame = new wxFrame(nullptr, wxID_ANY, "paint", wxDefaultPosition, wxSize(400, 300));
    // Two children: a frame stretches a lone one over all of it.
    auto* child = new wxPanel(frame, wxID_ANY, wxPoint(10, 20), wxSize(200, 100));
    new wxPanel(frame, wxID_ANY, wxPoint(10, 200), wxSize(50, 50));
    // As a docking manager: pushed onto the frame, painting it whole (its
    // own handler comes after those bound to it).
    wxEvtHandler manager;
    frame->PushEventHandler(&manager);
    int painted = 0;
    manager.Bind(wxEVT_PAINT, [&painted](wxPaintEvent&) { ++painted; });
    QelSkipPaintsUnderChildren(manager, frame);
    frame->Show();
    const auto settle = [] {
        for (int i = 0; i < 10; ++i) wxTheApp->Yield(), wxMilliSleep(20);
    };
    settle();
    EXPECT_GT(painted, 0); // the first paint covers the whole window

    const struct {
        std::function<void()> refresh;
        bool painted;
    } rows[] = {
        {[child] { child->RefreshRect(wxRect(20, 20, 150, 17)); }, false},
        {[frame] { frame->RefreshRect(wxRect(250, 40, 100, 17)); }, true},
    };
    for (const auto& row : rows) {
        const int before = painted;
        row.refresh();
        settle();
        EXPECT_EQ(painted > before, row.painted) << &row - rows;
    }
    frame->PopEventHandler();
    frame->Destroy();
}
