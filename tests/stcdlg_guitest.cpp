// The entry dialog made hidden: its size kept in the settings file, and find
// handed to the top window.
#include <memory>

#include <wx/app.h>
#include <wx/frame.h>

#include <qelkit/stc.h>
#include <qelkit/stcdlg.h>

#include "testing.h"

namespace {

using EntryDialogTest = qeltest::ConfigTest;

TEST_F(EntryDialogTest, SizeKeptUnderItsName)
{
    const auto make = [](const wxString& name) {
        return std::make_unique<QelSTCEntryDialog>(nullptr, "caption", "", "", wxOK, true, wxID_ANY,
                                                   wxDefaultPosition, wxDefaultSize,
                                                   wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER, name);
    };
    make("T")->SetSize(500, 300);
    EXPECT_EQ(make("T")->GetSize(), wxSize(500, 300));
    EXPECT_NE(make("U")->GetSize(), wxSize(500, 300));
}

TEST_F(EntryDialogTest, FindGoesToTheTopWindow)
{
    // Counts the commands a window gets, passing them on; a dialog that
    // posted them to itself is cut off here, not left looping.
    const auto count = [](wxWindow* window, int& found) {
        window->Bind(wxEVT_MENU, [&found](wxCommandEvent& event) {
            if (++found < 10) event.Skip();
        });
    };

    for (const bool dialog_is_top : {false, true}) {
        SCOPED_TRACE(dialog_is_top ? "DialogIsTop" : "FrameIsTop");
        auto* frame = new wxFrame(nullptr, wxID_ANY, "top");
        auto* dialog = new QelSTCEntryDialog(frame, "caption", "text");
        int at_frame = 0, at_dialog = 0;
        count(frame, at_frame);
        count(dialog, at_dialog);
        wxTheApp->SetTopWindow(dialog_is_top ? static_cast<wxWindow*>(dialog) : frame);

        // As chosen in the editor's context menu: the editor passes it on.
        for (const int id : {int(wxID_FIND), int(wxID_REPLACE)}) {
            wxCommandEvent event(wxEVT_MENU, id);
            event.SetEventObject(dialog->GetSTC());
            dialog->GetSTC()->ProcessWindowEvent(event);
        }
        qeltest::Pump(50);
        EXPECT_EQ(at_dialog, 2);
        EXPECT_EQ(at_frame, dialog_is_top ? 0 : 2);

        wxTheApp->SetTopWindow(nullptr);
        frame->Destroy();
        qeltest::Pump(0);
    }
}

} // namespace
