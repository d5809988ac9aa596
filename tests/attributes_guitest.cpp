// The default attributes kept for a window: looked up once, and again after
// a change of the system's colours or theme.
#include <gtest/gtest.h>
#include <wx/frame.h>
#include <wx/panel.h>

#include <qelkit/attributes.h>

TEST(DefaultAttributes, KeptUntilTheThemeChanges)
{
    auto* frame = new wxFrame(nullptr, wxID_ANY, "attributes");
    auto* panel = new wxPanel(frame);
    {
        QelDefaultAttributes kept(panel);
        int lookups = 0;
        const auto lookup = [&] {
            ++lookups;
            wxVisualAttributes attributes;
            attributes.colBg = lookups == 1 ? *wxWHITE : *wxBLACK;
            return attributes;
        };
        EXPECT_EQ(kept.Get(lookup).colBg, *wxWHITE);
        EXPECT_EQ(kept.Get(lookup).colBg, *wxWHITE);
        EXPECT_EQ(lookups, 1);

        // Told to the frame, as the toolkit does: its children hear of it.
        wxSysColourChangedEvent changed;
        frame->ProcessWindowEvent(changed);
        EXPECT_EQ(kept.Get(lookup).colBg, *wxBLACK);
        EXPECT_EQ(lookups, 2);
        panel->Destroy(); // before what it binds
    }
    frame->Destroy();
}
