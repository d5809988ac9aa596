// The configuration dialog, built from real items under a hidden frame that
// is the application's top window and records what the dialog reports.
#include <functional>
#include <utility>
#include <vector>

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/bookctrl.h>
#include <wx/button.h>
#include <wx/dirdlg.h>
#include <wx/testing.h>
#include <wx/timer.h>

#include <qelkit/configdialog.h>
#include <qelkit/defs.h>
#include <qelkit/frame.h>

#include "configcontrols.h"
#include "testing.h"

namespace {

using qeltest::Edit;
using qeltest::Shown;
using Calls = std::vector<std::pair<int, int>>;

class RecordingFrame : public QelFrame {
public:
    RecordingFrame()
        : QelFrame(nullptr, wxID_ANY, "settings")
    { }
    void OnCommandConfigDialog(int dialogid, int commandid) override
    {
        m_Calls.emplace_back(dialogid, commandid);
    }
    Calls m_Calls;
};

constexpr int DIALOG_ID = wxID_PREFERENCES;
constexpr long APPLY_FLAGS = wxOK | wxCANCEL | wxAPPLY;

class ConfigDialogTest : public qeltest::ConfigTest {
protected:
    void SetUp() override
    {
        ConfigTest::SetUp();
        m_Frame = new RecordingFrame;
        wxTheApp->SetTopWindow(m_Frame);
    }
    void TearDown() override
    {
        wxTheApp->SetTopWindow(nullptr);
        m_Frame->Destroy(); // with the dialogs, its children
        qeltest::Pump(0);
        ConfigTest::TearDown();
    }

    QelConfigDialog* Make(const std::vector<QelConfigItem>& items, long flags = wxOK | wxCANCEL,
                          int book = 0, const wxString& name = "QelConfigDialog")
    {
        return new QelConfigDialog(m_Frame, items, "Settings", 0, 1, flags, DIALOG_ID, book,
                                   wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER, name);
    }

    static wxWindow* Window(QelConfigDialog* dlg, size_t item)
    {
        return dlg->GetConfigItems().at(item).GetWindow();
    }
    static wxBookCtrlBase* Book(QelConfigDialog* dlg)
    {
        return dynamic_cast<wxBookCtrlBase*>(dlg->FindWindow("book" + dlg->GetName()));
    }
    static wxConfigBase& Cfg() { return *wxConfigBase::Get(); }

    RecordingFrame* m_Frame = nullptr;
};

// Clicks a button of the dialog as the user would.
void Press(wxWindow* dlg, int id)
{
    wxWindow* button = dlg->FindWindow(id);
    ASSERT_NE(button, nullptr) << "no button " << id;
    wxCommandEvent event(wxEVT_BUTTON, id);
    event.SetEventObject(button);
    button->GetEventHandler()->ProcessEvent(event);
}

const std::map<long, const wxString> g_Flags{{1, "A"}, {2, "B"}, {4, "C"}};
const std::map<long, const wxString> g_Modes{{0, "None"}, {1, "Word"}, {2, "Line"}};

TEST_F(ConfigDialogTest, EveryKindOnTwoPagesLoadsAndSavesThroughTheSettingsFile)
{
    // Stored before the dialog is made; shown by the control; edited (null
    // for no edit); stored after OK. Values at the edges of their kinds too.
    const struct {
        QelConfigItem item;
        const char *stored, *shown, *edit, *saved;
    } rows[] = {
        // clang-format off
        {{"Show", CONFIG_CHECKBOX, "One"}, "1", "1", "0", "0"},
        {{"Flags", g_Flags, false, "One"}, "5", "A;C;", "B;", "2"},
        {{"None", g_Flags, false, "One"}, "6", "B;C;", "", "0"},
        {{"Back", CONFIG_COLOUR, "One"}, "rgb(255, 0, 0)", "#FF0000", "#0000FF", "rgb(0, 0, 255)"},
        {{"Find what", CONFIG_COMBOBOX, "One"}, "a\vb\v", "a/2", "c", "c\va\vb\v"},
        {{"Recent", CONFIG_COMBOBOX, "One", false, -1, 3}, "b\va\vz\v", "b/3", "c", "c\vb\va\v"},
        {{"Where", CONFIG_COMBOBOX, "One"}, nullptr, "/0", "foo", "foo\v"},
        {{"Folder", CONFIG_COMBOBOXDIR, "One", false, ID_BROWSE_FOLDER}, "/tmp\v", "/tmp/1", "/usr", "/usr\v/tmp\v"},
        {{"Go", CONFIG_BUTTON, "One", false, 100}, nullptr, "<no value>", nullptr, nullptr},
        {{"Dir", CONFIG_DIRPICKERCTRL, "One"}, "/tmp", "/tmp", "/usr", "/usr"},
        {{"File", CONFIG_FILEPICKERCTRL, "One"}, "/etc/hosts", "/etc/hosts", "/bin/sh", "/bin/sh"},
        {{"Font", CONFIG_FONTPICKERCTRL, "One"}, "Serif 11", "Serif 11", nullptr, "Serif 11"},
        {{"Count", CONFIG_INT, "Two"}, "-7", "-7", "4.2", "4"},
        {{"Mode", g_Modes, true, "Two"}, "2", "Line", "Word", "1"},
        {{"Kind", g_Modes, true, "Two"}, "7", "None", nullptr, "0"},
        {{"Zoom", -5, 20, "Two", CONFIG_SLIDER}, "-2", "-2", "-3", "-3"},
        {{"Edge", 0, 500, "Two"}, "80", "80", "120", "120"},
        {{"Step", 0.5, 10, "Two", CONFIG_SPINCTRL_DOUBLE, 0, 0.5}, "2.5", "2.5", "3.5", "3.5"},
        {{"Name", "", "Two"}, "abc", "abc", "xyz", "xyz"},
        {{"Wrap", CONFIG_TOGGLEBUTTON, "Two"}, "1", "1", "0", "0"},
        {{"Include", CONFIG_LISTVIEW_FOLDER, "Two"}, "/tmp\n", "/tmp\n", "/usr\n/var\n", "/usr\n/var\n"},
        {{"Header", "", "Two", 0, CONFIG_STC}, "//", "//", "x\ny", "x\ny"},
        // clang-format on
    };
    std::vector<QelConfigItem> items;
    for (const auto& row : rows) {
        items.push_back(row.item);
        if (row.stored != nullptr) Cfg().Write(row.item.GetLabel(), wxString::FromUTF8(row.stored));
    }
    Reopen();

    QelConfigDialog* dlg = Make(items);
    dlg->Show();
    for (size_t i = 0; i < items.size(); ++i) {
        SCOPED_TRACE(items[i].GetLabel());
        ASSERT_TRUE(dlg->GetConfigItems()[i].HasWindow());
        EXPECT_EQ(Shown(Window(dlg, i)), wxString::FromUTF8(rows[i].shown));
        if (rows[i].edit != nullptr) Edit(Window(dlg, i), wxString::FromUTF8(rows[i].edit));
    }
    Press(dlg, wxID_OK);
    EXPECT_FALSE(dlg->IsShown());
    EXPECT_EQ(m_Frame->m_Calls, (Calls{{DIALOG_ID, wxID_OK}}));

    Reopen();
    for (const auto& row : rows) {
        SCOPED_TRACE(row.item.GetLabel());
        const wxString saved = row.saved == nullptr ? "<missing>" : wxString::FromUTF8(row.saved);
        EXPECT_EQ(Cfg().Read(row.item.GetLabel(), "<missing>"), saved);
    }
}

// Which book page each item lands on; without a book (no page on the first
// item, or a kind of book that does not exist) the items sit on the dialog.
// Regression: the label grid of a page's last item was handed to the next
// page's first item of the same kind.
TEST_F(ConfigDialogTest, ItemPagesMakeBookPages)
{
    const struct {
        std::vector<wxString> pages; // of the items, in order
        int book;                    // kind of book control
        wxString want;               // the book's pages
        std::vector<int> on;         // page of each item, -1: on the dialog
    } rows[] = {
        // clang-format off
        {{"A", "A", "B", "B"}, 0, "A,B,", {0, 0, 1, 1}}, {{"A", "B", "A"}, 1, "A,B,A,", {0, 1, 2}},
        {{"A", ""}, 2, "A,", {0, 0}}, {{"A", "B"}, 4, "A,B,", {0, 1}},
        {{"", "B"}, 0, "", {-1, -1}}, {{"A", "B"}, 9, "", {-1, -1}},
        // clang-format on
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.want + wxString::Format(" in book %d", row.book));
        std::vector<QelConfigItem> items;
        for (const auto& page : row.pages) items.emplace_back("Name", 0, 9, page);
        qeltest::ExpectAsserts asserts;
        QelConfigDialog* dlg = Make(items, wxOK | wxCANCEL, row.book);
        EXPECT_EQ(asserts.Count(), row.book > 4 ? 1 : 0);
        wxBookCtrlBase* book = Book(dlg);
        ASSERT_EQ(book != nullptr, !row.want.empty());
        wxString pages;
        for (size_t i = 0; book != nullptr && i < book->GetPageCount(); ++i)
            pages << book->GetPageText(i) << ",";
        EXPECT_EQ(pages, row.want);
        for (size_t i = 0; i < row.on.size(); ++i) {
            wxWindow* page = row.on[i] < 0 ? dlg : book->GetPage(row.on[i]);
            EXPECT_EQ(Window(dlg, i)->GetParent(), page);
            EXPECT_EQ(Window(dlg, i)->GetContainingSizer()->GetContainingWindow(), page);
        }
        dlg->Destroy();
    }
}

TEST_F(ConfigDialogTest, RequiredItemsAndAForcedCheckBoxDecideOnOkAndApply)
{
    const QelConfigItem addBox("Add files", CONFIG_CHECKBOX);
    const QelConfigItem requiredBox("In", CONFIG_COMBOBOX, "", true);
    const QelConfigItem names(std::set<wxString>{"add more", "other"});
    const struct {
        const char* name;
        std::vector<QelConfigItem> items;
        bool force;                  // on "Add" and no page
        std::vector<wxString> edits; // per item, "" for none
        bool want;
    } rows[] = {
        // clang-format off
        {"RequiredComboBoxEmpty", {requiredBox}, false, {""}, false},
        {"RequiredComboBoxFilled", {requiredBox}, false, {"x"}, true},
        {"RequiredStringEmpty", {{"Name", "", "", 0, CONFIG_STRING, true}}, false, {""}, false},
        {"RequiredDirPickerEmpty", {{"Dir", CONFIG_DIRPICKERCTRL, "", true}}, false, {""}, false},
        {"ForcedBoxUnchecked", {addBox}, true, {""}, false},
        {"ForcedInAnyLetterCase", {{"Then ADD", CONFIG_CHECKBOX}}, true, {"1"}, true},
        {"OtherBoxChecked", {addBox, {"Remove", CONFIG_CHECKBOX}}, true, {"", "1"}, false},
        {"ForcedNamesRow", {names}, true, {"add more;"}, true},
        {"OtherNamesRow", {names}, true, {"other;"}, false},
        {"ForcedBoxOnAnotherPage", {{"Add", CONFIG_CHECKBOX, "P"}}, true, {"1"}, false},
        {"RequiredEmptyBeatsTheForcedBox", {addBox, requiredBox}, true, {"1", ""}, false},
        // clang-format on
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        QelConfigDialog* dlg = Make(row.items, APPLY_FLAGS);
        if (row.force) dlg->ForceCheckBoxChecked("Add");
        for (size_t i = 0; i < row.edits.size(); ++i)
            if (!row.edits[i].empty()) Edit(Window(dlg, i), row.edits[i]);
        dlg->UpdateWindowUI(wxUPDATE_UI_RECURSE);
        EXPECT_EQ(dlg->FindWindow(wxID_OK)->IsEnabled(), row.want);
        EXPECT_EQ(dlg->FindWindow(wxID_APPLY)->IsEnabled(), row.want);
        dlg->Destroy();
    }
}

// Shows the dialog modal for real; the clicks run inside its event loop. A
// watchdog ends a dialog that the clicks left open, with -1.
int RunModal(QelConfigDialog* dlg, const std::function<void()>& clicks)
{
    wxTimer watchdog;
    watchdog.Bind(wxEVT_TIMER, [dlg](wxTimerEvent&) {
        if (dlg->IsModal()) dlg->EndModal(-1);
    });
    watchdog.StartOnce(5000);
    dlg->CallAfter(clicks);
    return dlg->ShowModal();
}

// "Name" is stored as "abc"; each click follows typing its text.
TEST_F(ConfigDialogTest, ButtonsSaveOrReloadAndReachTheFrame)
{
    using Clicks = std::vector<std::pair<wxString, int>>;
    const struct {
        bool modal;
        Clicks clicks;
        int result; // modal: ShowModal's; modeless: 1 while still shown
        wxString stored;
        Calls calls;
    } rows[] = {
        // clang-format off
        {false, {{"xyz", wxID_APPLY}}, 1, "xyz", {{DIALOG_ID, wxID_APPLY}}},
        {false, {{"xyz", wxID_CANCEL}}, 0, "abc", {{DIALOG_ID, wxID_CANCEL}}},
        {true, {{"xyz", wxID_OK}}, wxID_OK, "xyz", {}},
        {true, {{"xyz", wxID_APPLY}, {"zzz", wxID_CANCEL}}, wxID_CANCEL, "xyz", {{DIALOG_ID, wxID_APPLY}}},
        // clang-format on
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.clicks.back().second);
        Cfg().Write("Name", "abc");
        m_Frame->m_Calls.clear();
        QelConfigDialog* dlg = Make({{"Name"}}, APPLY_FLAGS);
        const auto click = [&] {
            for (const auto& c : row.clicks) {
                Edit(Window(dlg, 0), c.first);
                Press(dlg, c.second);
            }
        };
        if (row.modal) {
            EXPECT_EQ(RunModal(dlg, click), row.result);
        } else {
            dlg->Show();
            click();
            EXPECT_EQ(dlg->IsShown(), row.result == 1);
        }
        EXPECT_EQ(Cfg().Read("Name", ""), row.stored);
        EXPECT_EQ(Shown(Window(dlg, 0)), row.stored); // a cancel reloads the stored value
        EXPECT_EQ(m_Frame->m_Calls, row.calls);
        dlg->Destroy();
    }
}

TEST_F(ConfigDialogTest, OnlyACancelButtonMakesTheDialogReadOnly)
{
    for (const long flags : {wxCANCEL, wxOK | wxCANCEL}) {
        QelConfigDialog* dlg = Make({{"Name"}}, flags);
        EXPECT_EQ(static_cast<wxTextCtrl*>(Window(dlg, 0))->IsEditable(), flags != wxCANCEL);
        dlg->Destroy();
    }
}

TEST_F(ConfigDialogTest, ReopeningShowsThePageSelectedLast)
{
    const std::vector<QelConfigItem> items{{"Name", "", "A"}, {"Other", "", "B"}, {"Z", "", "C"}};
    QelConfigDialog* first = Make(items, wxOK | wxCANCEL, 0, "Options");
    Book(first)->SetSelection(2);
    first->Destroy();
    qeltest::Pump(0);
    EXPECT_EQ(Book(Make(items, wxOK | wxCANCEL, 0, "Options"))->GetSelection(), 2);
    EXPECT_EQ(Book(Make(items, wxOK | wxCANCEL, 0, "Elsewhere"))->GetSelection(), 0);
}

TEST_F(ConfigDialogTest, ItemButtonsBrowseOrReachTheFrameWithoutSaving)
{
    Cfg().Write("Folder", "/tmp\v");
    QelConfigDialog* dlg = Make({{"Folder", CONFIG_COMBOBOXDIR, "", true, ID_BROWSE_FOLDER},
                                 {"Go", CONFIG_BUTTON, "", false, 100}});
    wxWindow* browse = nullptr;
    for (wxWindow* child : dlg->GetChildren())
        if (dynamic_cast<wxButton*>(child) && child->GetId() == ID_BROWSE_FOLDER) browse = child;
    ASSERT_NE(browse, nullptr);

    wxCommandEvent click(wxEVT_BUTTON, ID_BROWSE_FOLDER);
    click.SetEventObject(browse);
    // The native dialog hands back a folder only when the user accepts one.
    wxTEST_DIALOG(browse->GetEventHandler()->ProcessEvent(click),
                  qeltest::ExpectAnswer<wxDirDialog>(
                      [&](wxDirDialog* dir) { dir->wxDirDialogBase::SetPath(m_Temp.Path()); }));
    EXPECT_EQ(Shown(Window(dlg, 0)), m_Temp.Path() + "/1");
    Press(dlg, 100);
    EXPECT_EQ(Cfg().Read("Folder", ""), "/tmp\v");
    EXPECT_EQ(m_Frame->m_Calls, (Calls{{DIALOG_ID, 100}}));

    Press(dlg, wxID_OK);
    EXPECT_EQ(Cfg().Read("Folder", ""), m_Temp.Path() + "\v/tmp\v");
}

} // namespace
