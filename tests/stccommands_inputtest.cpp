// Keys typed as a person would, through the display's input: these tests run
// alone, so that no other test's window takes the keyboard focus meanwhile.
#include <functional>
#include <map>
#include <memory>

#include <gtest/gtest.h>
#include <wx/frame.h>
#include <wx/menu.h>
#include <wx/uiaction.h>

#include <qelkit/menu.h>
#include <qelkit/stc.h>

#include "testing.h"

using namespace qeltest;

namespace {

class Editor : public QelSTC {
public:
    using QelSTC::BuildPopupMenu;
    using QelSTC::QelSTC;
};

using StcCommands = EditorTest;

// Each key named by the editor's own popup items reaches the editor as that
// item's command, in a shown frame with a menu bar as the program has. (The
// stock items name the control's own keys and the frame's find keys.)
TEST_F(StcCommands, PopupKeysReachTheEditor)
{
    auto* bar = new wxMenuBar;
    auto* file = new wxMenu;
    file->Append(wxID_EXIT);
    bar->Append(file, "&File");
    m_Frame->SetMenuBar(bar);
    auto* stc = new Editor(m_Frame, QelFileName(WriteFile("doc.c", "f() {\n x;\n}\n")));
    m_Frame->Show();
    stc->SetFocus();
    ASSERT_TRUE(PumpUntil([stc] { return stc->HasFocus(); }, 3000));

    std::map<int, int> arrived;
    stc->Bind(wxEVT_MENU, [&arrived](wxCommandEvent& event) {
        ++arrived[event.GetId()];
        event.Skip();
    });

    for (const int to : {0, 8}) { // no selection: folding; lines: the selection menu
        stc->SetSelection(0, to);
        QelMenu menu(to > 0 ? MENU_IS_SELECTED : 0);
        stc->BuildPopupMenu(menu);
        int pressed = 0;
        std::function<void(const wxMenu&)> press = [&](const wxMenu& m) {
            for (const wxMenuItem* item : m.GetMenuItems()) {
                if (item->GetSubMenu() != nullptr) press(*item->GetSubMenu());
                if (!item->GetItemLabel().Contains("\t") || item->GetId() < ID_EDIT_STC_LOWEST
                    || item->GetId() > ID_EDIT_STC_HIGHEST)
                    continue;
                SCOPED_TRACE(item->GetItemLabel());
                const std::unique_ptr<wxAcceleratorEntry> key(
                    wxAcceleratorEntry::Create(item->GetItemLabel()));
                ASSERT_TRUE(key);
                stc->SetSelection(0, to);
                wxUIActionSimulator().Char(key->GetKeyCode(), key->GetFlags());
                PumpUntil([&] { return arrived[item->GetId()] > 0; }, 2000);
                EXPECT_EQ(arrived[item->GetId()], 1);
                ++pressed;
            }
        };
        press(menu);
        EXPECT_GT(pressed, 0);
    }
}

} // namespace
