// The entry dialog made hidden, with a plain editor or a shell, its size kept
// in the settings file, and find handed to the top window.
#include <memory>

#include <wx/app.h>
#include <wx/frame.h>

#include <qelkit/shell.h>
#include <qelkit/stcdlg.h>

#include "testing.h"

namespace {

using EntryDialogTest = qeltest::ConfigTest;

TEST_F(EntryDialogTest, HoldsAnEditorOrAShell)
{
    const struct {
        const char* name;
        const char* prompt;
        bool shell;
        const char* text;
        size_t editor_row;
    } rows[] = {
        {"Editor", "", false, "abc", 0},
        {"EditorBelowPrompt", "Type it:", false, "abc", 1},
        {"Shell", "", true, ">", 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        QelSTCEntryDialog dialog(nullptr, "caption", "abc", row.prompt, wxOK, row.shell);
        QelSTC* stc = dialog.GetSTC();
        EXPECT_EQ(dialog.GetText(), row.text);
        EXPECT_EQ(std::string(dialog.GetTextRaw().data()), row.text);
        EXPECT_EQ(dialog.GetSTCShell() != nullptr, row.shell);
        EXPECT_EQ(stc->GetName() == "SHELL", row.shell);
        EXPECT_FALSE(stc->GetReadOnly());
        for (int margin = 0; margin < 3; ++margin) EXPECT_EQ(stc->GetMarginWidth(margin), 0);

        // The content grid: the prompt's text row first, when there is one.
        const wxSizerItemList& items = stc->GetContainingSizer()->GetChildren();
        ASSERT_EQ(items.size(), row.editor_row + 1);
        EXPECT_EQ(items[row.editor_row]->GetWindow(), stc);
        EXPECT_NE(dialog.FindWindow(wxID_OK), nullptr);
    }
}

TEST_F(EntryDialogTest, SizeKeptUnderItsName)
{
    {
        QelSTCEntryDialog dialog(nullptr, "first", "", "", wxOK, true, wxID_ANY, wxDefaultPosition,
                                 wxDefaultSize, wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER, "T");
        dialog.SetSize(500, 300);
    }
    QelSTCEntryDialog same(nullptr, "again", "", "", wxOK, true, wxID_ANY, wxDefaultPosition,
                           wxDefaultSize, wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER, "T");
    EXPECT_EQ(same.GetSize(), wxSize(500, 300));

    QelSTCEntryDialog other(nullptr, "other", "", "", wxOK, true, wxID_ANY, wxDefaultPosition,
                            wxDefaultSize, wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER, "U");
    EXPECT_NE(other.GetSize(), wxSize(500, 300));
}

TEST_F(EntryDialogTest, FindGoesToTheTopWindow)
{
    // Counts the find and replace commands a window gets, passing them on;
    // a dialog that posted them to itself is cut off here, not left looping.
    const auto count = [](wxWindow* window, int& found) {
        for (const int id : {int(wxID_FIND), int(wxID_REPLACE)})
            window->Bind(
                wxEVT_MENU,
                [&found](wxCommandEvent& event) {
                    if (++found < 10) event.Skip();
                },
                id);
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
