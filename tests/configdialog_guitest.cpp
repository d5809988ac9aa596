// The configuration dialog, built from real items in a hidden frame that is
// the application's top window and records what the dialog reports to it.
#include <functional>
#include <utility>
#include <vector>

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/bookctrl.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/checklst.h>
#include <wx/choicebk.h>
#include <wx/combobox.h>
#include <wx/dirdlg.h>
#include <wx/filepicker.h>
#include <wx/listbook.h>
#include <wx/notebook.h>
#include <wx/radiobox.h>
#include <wx/spinctrl.h>
#include <wx/stattext.h>
#include <wx/testing.h>
#include <wx/textctrl.h>
#include <wx/timer.h>
#include <wx/toolbook.h>
#include <wx/treebook.h>

#include <qelkit/configdialog.h>
#include <qelkit/defs.h>
#include <qelkit/frame.h>

#include "testing.h"

namespace {

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
        m_Frame->Destroy(); // and the dialogs, its children
        qeltest::Pump(0);
        ConfigTest::TearDown();
    }

    QelConfigDialog* Make(const std::vector<QelConfigItem>& items, long flags = wxOK | wxCANCEL,
                          int book = 0, const wxString& name = "QelConfigDialog")
    {
        return new QelConfigDialog(m_Frame, items, "Settings", 0, 1, flags, DIALOG_ID, book,
                                   wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER, name);
    }

    // Clicks a button of the dialog as the user would.
    static void Press(QelConfigDialog* dlg, int id)
    {
        wxWindow* button = dlg->FindWindow(id);
        ASSERT_NE(button, nullptr) << "no button " << id;
        wxCommandEvent event(wxEVT_BUTTON, id);
        event.SetEventObject(button);
        button->GetEventHandler()->ProcessEvent(event);
    }

    static bool Enabled(QelConfigDialog* dlg, int id)
    {
        dlg->UpdateWindowUI(wxUPDATE_UI_RECURSE);
        return dlg->FindWindow(id)->IsEnabled();
    }

    static wxBookCtrlBase* Book(QelConfigDialog* dlg)
    {
        return dynamic_cast<wxBookCtrlBase*>(dlg->FindWindow("book" + dlg->GetName()));
    }

    static wxWindow* Window(QelConfigDialog* dlg, size_t item)
    {
        return dlg->GetConfigItems().at(item).GetWindow();
    }

    static wxConfigBase& Cfg() { return *wxConfigBase::Get(); }

    RecordingFrame* m_Frame = nullptr;
};

template <typename T> T* As(wxWindow* w)
{
    T* control = dynamic_cast<T*>(w);
    EXPECT_NE(control, nullptr);
    return control;
}

// The caller's own window of the every-kind dialog: a text field kept
// under "Mine".
void CreateMine(wxWindow* user, wxWindow* parent, bool)
{
    static_cast<wxTextCtrl*>(user)->Create(parent, wxID_ANY);
}
bool MineToConfig(wxWindow* user, bool save)
{
    auto* text = static_cast<wxTextCtrl*>(user);
    if (save)
        wxConfigBase::Get()->Write("Mine", text->GetValue());
    else
        text->ChangeValue(wxConfigBase::Get()->Read("Mine", ""));
    return true;
}

const std::map<long, const wxString> g_Flags{{1, "A"}, {2, "B"}, {4, "C"}};
const std::map<long, const wxString> g_Modes{{0, "None"}, {1, "Word"}, {2, "Line"}};

TEST_F(ConfigDialogTest, EveryKindOnTwoPagesLoadsAndSavesThroughTheSettingsFile)
{
    const std::vector<QelConfigItem> items{
        QelConfigItem("Show", CONFIG_CHECKBOX, "One"),
        QelConfigItem("Flags", g_Flags, false, "One"),
        QelConfigItem(std::set<wxString>{"Keep", "Match case"}, "One"),
        QelConfigItem("Back", CONFIG_COLOUR, "One"),
        QelConfigItem("Find what", CONFIG_COMBOBOX, "One"),
        QelConfigItem("Folder", CONFIG_COMBOBOXDIR, "One", false, ID_BROWSE_FOLDER),
        QelConfigItem("Run\tand wait", CONFIG_COMMAND_LINK_BUTTON, "One"),
        QelConfigItem("Go", CONFIG_BUTTON, "One", false, 100),
        QelConfigItem("Dir", CONFIG_DIRPICKERCTRL, "One"),
        QelConfigItem("File", CONFIG_FILEPICKERCTRL, "One"),
        QelConfigItem("Font", CONFIG_FONTPICKERCTRL, "One"),
        QelConfigItem("Home", "https://example.org", "One", 0, CONFIG_HYPERLINKCTRL),
        QelConfigItem("Count", CONFIG_INT, "Two"),
        QelConfigItem("Mode", g_Modes, true, "Two"),
        QelConfigItem("Zoom", -5, 20, "Two", CONFIG_SLIDER),
        QelConfigItem("Edge", 0, 500, "Two"),
        QelConfigItem("Step", 0.5, 10, "Two", CONFIG_SPINCTRL_DOUBLE, 0, 0.5),
        QelConfigItem(wxLI_HORIZONTAL, "Two"),
        QelConfigItem("Info", "<b>note</b>", "Two", 0, CONFIG_STATICTEXT),
        QelConfigItem("Name", "", "Two"),
        QelConfigItem("Wrap", CONFIG_TOGGLEBUTTON, "Two"),
        QelConfigItem("Mine", new wxTextCtrl, CreateMine, MineToConfig, "Two", false, true, -1),
    };
    const struct {
        const char* key;
        const char* stored;
        const char* saved; // after the edits below and OK
    } values[] = {
        {"Show", "1", "0"},
        {"Flags", "5", "5"},
        {"Keep", "1", "1"},
        {"Back", "rgb(255, 0, 0)", "rgb(255, 0, 0)"},
        {"Find what", "alpha\vbeta\v", "gamma\valpha\vbeta\v"},
        {"Folder", "/tmp\v", "/tmp\v"},
        {"Dir", "/tmp", "/tmp"},
        {"File", "/etc/hosts", "/etc/hosts"},
        {"Count", "42", "42"},
        {"Mode", "2", "1"},
        {"Zoom", "7", "7"},
        {"Edge", "80", "120"},
        {"Step", "2.5", "2.5"},
        {"Name", "abc", "xyz"},
        {"Wrap", "1", "1"},
        {"Mine", "own", "own"},
    };
    for (const auto& v : values) Cfg().Write(v.key, wxString::FromUTF8(v.stored));
    Reopen();

    QelConfigDialog* dlg = Make(items);
    wxBookCtrlBase* book = Book(dlg);
    ASSERT_NE(book, nullptr);
    ASSERT_EQ(book->GetPageCount(), 2u);
    EXPECT_EQ(book->GetPageText(0), "One");
    EXPECT_EQ(book->GetPageText(1), "Two");
    for (size_t i = 0; i < items.size(); ++i) {
        SCOPED_TRACE(items[i].GetLabel());
        ASSERT_NE(Window(dlg, i), nullptr);
        EXPECT_EQ(Window(dlg, i)->GetParent(), book->GetPage(i < 12 ? 0 : 1));
    }
    EXPECT_EQ(As<wxComboBox>(Window(dlg, 4))->GetValue(), "alpha");
    EXPECT_EQ(As<wxTextCtrl>(Window(dlg, 12))->GetValue(), "42");
    EXPECT_EQ(As<wxTextCtrl>(Window(dlg, 21))->GetValue(), "own");

    dlg->Show();
    As<wxCheckBox>(Window(dlg, 0))->SetValue(false);
    As<wxComboBox>(Window(dlg, 4))->SetValue("gamma");
    As<wxRadioBox>(Window(dlg, 13))->SetStringSelection("Word");
    As<wxSpinCtrl>(Window(dlg, 15))->SetValue(120);
    As<wxTextCtrl>(Window(dlg, 19))->ChangeValue("xyz");
    Press(dlg, wxID_OK);
    EXPECT_FALSE(dlg->IsShown());
    Reopen();
    for (const auto& v : values)
        EXPECT_EQ(Cfg().Read(v.key, "<missing>"), wxString::FromUTF8(v.saved)) << v.key;
    for (const char* key : {"Info", "Home", "Go", "Run\tand wait", "Match case"})
        EXPECT_FALSE(Cfg().HasEntry(key)) << key;
    EXPECT_TRUE(Cfg().HasEntry("Font"));
    EXPECT_EQ(m_Frame->m_Calls, (Calls{{DIALOG_ID, wxID_OK}}));
}

TEST_F(ConfigDialogTest, AnEmptyListSaysThereIsNothingToSet)
{
    QelConfigDialog* dlg = Make({});
    bool found = false;
    for (wxWindow* child : dlg->GetChildren())
        if (auto* text = dynamic_cast<wxStaticText*>(child))
            found = found || text->GetLabel() == "No further info available";
    EXPECT_TRUE(found);
    EXPECT_NE(dlg->FindWindow(wxID_OK), nullptr);
    EXPECT_NE(dlg->FindWindow(wxID_CANCEL), nullptr);
    EXPECT_EQ(Book(dlg), nullptr);
}

// Which book page each item lands on.
TEST_F(ConfigDialogTest, ItemPagesMakeBookPages)
{
    const struct {
        const char* name;
        std::vector<wxString> pages; // of the items, in order
        std::vector<wxString> want;  // page names of the book
        std::vector<int> on;         // page of each item
    } rows[] = {
        {"EmptyPageStaysOnTheCurrentOne", {"A", "A", "", "B"}, {"A", "B"}, {0, 0, 0, 1}},
        {"ARepeatedNameMakesAnotherPage", {"A", "B", "A"}, {"A", "B", "A"}, {0, 1, 2}},
        {"OnePage", {"A", ""}, {"A"}, {0, 0}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        std::vector<QelConfigItem> items;
        for (const auto& page : row.pages) items.emplace_back("Name", "", page);
        QelConfigDialog* dlg = Make(items);
        wxBookCtrlBase* book = Book(dlg);
        ASSERT_NE(book, nullptr);
        ASSERT_EQ(book->GetPageCount(), row.want.size());
        for (size_t i = 0; i < row.want.size(); ++i) EXPECT_EQ(book->GetPageText(i), row.want[i]);
        for (size_t i = 0; i < row.on.size(); ++i)
            EXPECT_EQ(Window(dlg, i)->GetParent(), book->GetPage(row.on[i])) << "item " << i;
        dlg->Destroy();
    }
}

TEST_F(ConfigDialogTest, BookKinds)
{
    const struct {
        int kind;
        std::function<bool(wxBookCtrlBase*)> is;
    } rows[] = {
        {0, [](wxBookCtrlBase* b) { return dynamic_cast<wxNotebook*>(b) != nullptr; }},
        {1, [](wxBookCtrlBase* b) { return dynamic_cast<wxTreebook*>(b) != nullptr; }},
        {2, [](wxBookCtrlBase* b) { return dynamic_cast<wxChoicebook*>(b) != nullptr; }},
        {3, [](wxBookCtrlBase* b) { return dynamic_cast<wxListbook*>(b) != nullptr; }},
        {4, [](wxBookCtrlBase* b) { return dynamic_cast<wxToolbook*>(b) != nullptr; }},
    };
    const std::vector<QelConfigItem> items{QelConfigItem("Name", "", "A"),
                                           QelConfigItem("Other", "", "B")};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.kind);
        QelConfigDialog* dlg = Make(items, wxOK | wxCANCEL, row.kind);
        wxBookCtrlBase* book = Book(dlg);
        ASSERT_NE(book, nullptr);
        EXPECT_TRUE(row.is(book));
        EXPECT_EQ(book->GetPageCount(), 2u);
        dlg->Destroy();
    }
}

// Items naming pages without a book share one grid on the dialog.
TEST_F(ConfigDialogTest, AnUnknownBookKindIsReportedAndTheItemsShareOneGrid)
{
    QelConfigDialog* dlg = nullptr;
    {
        qeltest::ExpectAsserts asserts;
        dlg = Make({QelConfigItem("Name", "", "A"), QelConfigItem("Other", "", "B")}, wxOK, 9);
        EXPECT_EQ(asserts.Count(), 1);
    }
    EXPECT_EQ(Book(dlg), nullptr);
    wxSizer* first = Window(dlg, 0)->GetContainingSizer();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(Window(dlg, 0)->GetParent(), dlg);
    EXPECT_EQ(Window(dlg, 1)->GetContainingSizer(), first);
}

// Regression: the label grid of the last item of one page was handed to the
// first item of the next page when both were of one kind, so that the
// control sat in a sizer of the page before.
TEST_F(ConfigDialogTest, TheLabelGridStartsAfreshOnEachPage)
{
    QelConfigDialog* dlg = Make({QelConfigItem("Tab width", 1, 16, "Margin"),
                                 QelConfigItem("Line number", 0, 99, "Margin"),
                                 QelConfigItem("Auto fold", 0, 9, "Folding"),
                                 QelConfigItem("Fold level", 0, 9, "Folding")});
    wxBookCtrlBase* book = Book(dlg);
    ASSERT_NE(book, nullptr);
    const int pageOf[] = {0, 0, 1, 1};
    for (size_t i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        wxSizer* sizer = Window(dlg, i)->GetContainingSizer();
        ASSERT_NE(sizer, nullptr);
        EXPECT_EQ(sizer->GetContainingWindow(), book->GetPage(pageOf[i]));
    }
    EXPECT_EQ(Window(dlg, 0)->GetContainingSizer(), Window(dlg, 1)->GetContainingSizer());
    EXPECT_EQ(Window(dlg, 2)->GetContainingSizer(), Window(dlg, 3)->GetContainingSizer());
}

TEST_F(ConfigDialogTest, RequiredItemsAndAForcedCheckBoxDecideOnOkAndApply)
{
    using Act = std::function<void(QelConfigDialog*)>;
    const Act nothing = [](QelConfigDialog*) {};
    const Act checkFirst = [](QelConfigDialog* d) { As<wxCheckBox>(Window(d, 0))->SetValue(true); };
    const Act checkSecond
        = [](QelConfigDialog* d) { As<wxCheckBox>(Window(d, 1))->SetValue(true); };
    const struct {
        const char* name;
        std::vector<QelConfigItem> items;
        bool force; // on "Add", page ""
        Act act;
        bool want;
    } rows[] = {
        {"RequiredComboBoxEmpty",
         {QelConfigItem("In", CONFIG_COMBOBOX, "", true)},
         false,
         nothing,
         false},
        {"RequiredComboBoxFilled",
         {QelConfigItem("In", CONFIG_COMBOBOX, "", true)},
         false,
         [](QelConfigDialog* d) { As<wxComboBox>(Window(d, 0))->SetValue("x"); },
         true},
        {"OptionalComboBoxEmpty", {QelConfigItem("In", CONFIG_COMBOBOX)}, false, nothing, true},
        {"RequiredStringEmpty",
         {QelConfigItem("Name", "", "", 0, CONFIG_STRING, true)},
         false,
         nothing,
         false},
        {"RequiredIntCleared",
         {QelConfigItem("Count", CONFIG_INT, "", true)},
         false,
         [](QelConfigDialog* d) { As<wxTextCtrl>(Window(d, 0))->ChangeValue(""); },
         false},
        {"RequiredDirPickerEmpty",
         {QelConfigItem("Dir", CONFIG_DIRPICKERCTRL, "", true)},
         false,
         nothing,
         false},
        {"RequiredFilePickerFilled",
         {QelConfigItem("File", CONFIG_FILEPICKERCTRL, "", true)},
         false,
         [](QelConfigDialog* d) { As<wxFilePickerCtrl>(Window(d, 0))->SetPath("/etc/hosts"); },
         true},
        {"ForcedBoxUnchecked", {QelConfigItem("Add files", CONFIG_CHECKBOX)}, true, nothing, false},
        {"ForcedBoxChecked", {QelConfigItem("Add files", CONFIG_CHECKBOX)}, true, checkFirst, true},
        {"ForcedInAnyLetterCase",
         {QelConfigItem("Then ADD", CONFIG_CHECKBOX)},
         true,
         checkFirst,
         true},
        {"OtherBoxChecked",
         {QelConfigItem("Add files", CONFIG_CHECKBOX), QelConfigItem("Remove", CONFIG_CHECKBOX)},
         true,
         checkSecond,
         false},
        {"ForcedNamesRow",
         {QelConfigItem(std::set<wxString>{"add more", "other"})},
         true,
         [](QelConfigDialog* d) { As<wxCheckListBox>(Window(d, 0))->Check(0); },
         true},
        {"OtherNamesRow",
         {QelConfigItem(std::set<wxString>{"add more", "other"})},
         true,
         [](QelConfigDialog* d) { As<wxCheckListBox>(Window(d, 0))->Check(1); },
         false},
        {"ForcedBoxOnAnotherPage",
         {QelConfigItem("Add", CONFIG_CHECKBOX, "P")},
         true,
         checkFirst,
         false},
        {"RequiredEmptyBeatsTheForcedBox",
         {QelConfigItem("Add", CONFIG_CHECKBOX), QelConfigItem("In", CONFIG_COMBOBOX, "", true)},
         true,
         checkFirst,
         false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        QelConfigDialog* dlg = Make(row.items, APPLY_FLAGS);
        if (row.force) dlg->ForceCheckBoxChecked("Add");
        row.act(dlg);
        EXPECT_EQ(Enabled(dlg, wxID_OK), row.want);
        EXPECT_EQ(Enabled(dlg, wxID_APPLY), row.want);
        dlg->Destroy();
    }
}

// The buttons of a dialog shown modeless, with the field "Name" stored as
// "abc" and edited to "xyz" before the click.
TEST_F(ConfigDialogTest, ModelessButtonsSaveOrReloadAndReachTheFrame)
{
    const struct {
        const char* name;
        int button;
        wxString stored;
        wxString shown;
        bool open;
        Calls calls;
    } rows[] = {
        {"Ok", wxID_OK, "xyz", "xyz", false, {{DIALOG_ID, wxID_OK}}},
        {"Apply", wxID_APPLY, "xyz", "xyz", true, {{DIALOG_ID, wxID_APPLY}}},
        {"Cancel", wxID_CANCEL, "abc", "abc", false, {{DIALOG_ID, wxID_CANCEL}}},
        {"Close", wxID_CLOSE, "xyz", "xyz", true, {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Cfg().Write("Name", "abc");
        m_Frame->m_Calls.clear();
        QelConfigDialog* dlg = Make({QelConfigItem("Name")}, APPLY_FLAGS | wxCLOSE);
        dlg->Show();
        As<wxTextCtrl>(Window(dlg, 0))->ChangeValue("xyz");
        Press(dlg, row.button);
        EXPECT_EQ(Cfg().Read("Name", ""), row.stored);
        EXPECT_EQ(As<wxTextCtrl>(Window(dlg, 0))->GetValue(), row.shown);
        EXPECT_EQ(dlg->IsShown(), row.open);
        EXPECT_EQ(m_Frame->m_Calls, row.calls);
        dlg->Destroy();
    }
}

// Runs the dialog modal for real; the actions run inside its event loop. A
// watchdog ends a dialog that the actions left open, with -1.
int RunModal(QelConfigDialog* dlg, const std::function<void()>& actions)
{
    wxTimer watchdog;
    watchdog.Bind(wxEVT_TIMER, [dlg](wxTimerEvent&) {
        if (dlg->IsModal()) dlg->EndModal(-1);
    });
    watchdog.StartOnce(5000);
    dlg->CallAfter(actions);
    return dlg->ShowModal();
}

TEST_F(ConfigDialogTest, ModalButtonsReachTheFrameOnlyForApply)
{
    using Press = std::vector<std::pair<wxString, int>>; // text typed, then the button
    const struct {
        const char* name;
        Press presses;
        int result;
        wxString stored;
        wxString shown;
        Calls calls;
    } rows[] = {
        {"Ok", {{"xyz", wxID_OK}}, wxID_OK, "xyz", "xyz", {}},
        {"Cancel", {{"xyz", wxID_CANCEL}}, wxID_CANCEL, "abc", "abc", {}},
        {"ApplyThenCancel",
         {{"xyz", wxID_APPLY}, {"zzz", wxID_CANCEL}},
         wxID_CANCEL,
         "xyz",
         "xyz",
         {{DIALOG_ID, wxID_APPLY}}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Cfg().Write("Name", "abc");
        m_Frame->m_Calls.clear();
        QelConfigDialog* dlg = Make({QelConfigItem("Name")}, APPLY_FLAGS);
        auto* text = As<wxTextCtrl>(Window(dlg, 0));
        const int result = RunModal(dlg, [&] {
            for (const auto& press : row.presses) {
                text->ChangeValue(press.first);
                ConfigDialogTest::Press(dlg, press.second);
            }
        });
        EXPECT_EQ(result, row.result);
        EXPECT_EQ(Cfg().Read("Name", ""), row.stored);
        EXPECT_EQ(text->GetValue(), row.shown);
        EXPECT_EQ(m_Frame->m_Calls, row.calls);
        dlg->Destroy();
    }
}

TEST_F(ConfigDialogTest, OnlyACancelButtonMakesTheDialogReadOnly)
{
    const struct {
        long flags;
        bool editable;
    } rows[] = {{wxCANCEL, false}, {wxOK | wxCANCEL, true}, {wxOK, true}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.flags);
        QelConfigDialog* dlg
            = Make({QelConfigItem("Name"), QelConfigItem("Show", CONFIG_CHECKBOX)}, row.flags);
        EXPECT_EQ(As<wxTextCtrl>(Window(dlg, 0))->IsEditable(), row.editable);
        EXPECT_TRUE(Window(dlg, 1)->IsEnabled());
        dlg->Destroy();
    }
}

TEST_F(ConfigDialogTest, ReopeningShowsThePageSelectedLast)
{
    const std::vector<QelConfigItem> items{QelConfigItem("Name", "", "A"),
                                           QelConfigItem("Other", "", "B"),
                                           QelConfigItem("Third", "", "C")};
    QelConfigDialog* first = Make(items, wxOK | wxCANCEL, 0, "Options");
    ASSERT_NE(Book(first), nullptr);
    EXPECT_EQ(Book(first)->GetSelection(), 0);
    Book(first)->SetSelection(2);
    first->Destroy();
    qeltest::Pump(0);

    QelConfigDialog* again = Make(items, wxOK | wxCANCEL, 0, "Options");
    EXPECT_EQ(Book(again)->GetSelection(), 2);
    QelConfigDialog* other = Make(items, wxOK | wxCANCEL, 0, "Elsewhere");
    EXPECT_EQ(Book(other)->GetSelection(), 0);
}

// Answers the folder dialog with a path.
class ExpectFolder : public wxExpectModalBase<wxDirDialog, ExpectFolder> {
public:
    explicit ExpectFolder(const wxString& path)
        : m_Path(path)
    { }

protected:
    int OnInvoked(wxDirDialog* dlg) const override
    {
        // The native dialog hands back the folder only when the user accepts
        // it; set the one it hands back.
        dlg->wxDirDialogBase::SetPath(m_Path);
        return wxID_OK;
    }
    wxString m_Path;
};

TEST_F(ConfigDialogTest, BrowsingAFolderFillsTheComboBoxOnly)
{
    Cfg().Write("Folder", "/tmp\v");
    QelConfigDialog* dlg
        = Make({QelConfigItem("Folder", CONFIG_COMBOBOXDIR, "", true, ID_BROWSE_FOLDER)});
    auto* box = As<wxComboBox>(Window(dlg, 0));
    wxWindow* browse = nullptr;
    for (wxWindow* child : dlg->GetChildren())
        if (child != box && child->GetId() == ID_BROWSE_FOLDER) browse = child;
    ASSERT_NE(dynamic_cast<wxButton*>(browse), nullptr);

    wxCommandEvent click(wxEVT_BUTTON, ID_BROWSE_FOLDER);
    click.SetEventObject(browse);
    wxTEST_DIALOG(browse->GetEventHandler()->ProcessEvent(click), ExpectFolder(m_Temp.Path()));
    EXPECT_EQ(box->GetValue(), m_Temp.Path());
    EXPECT_EQ(Cfg().Read("Folder", ""), "/tmp\v");
    EXPECT_TRUE(m_Frame->m_Calls.empty());

    Press(dlg, wxID_OK);
    EXPECT_EQ(Cfg().Read("Folder", ""), m_Temp.Path() + "\v/tmp\v");
}

TEST_F(ConfigDialogTest, AnItemButtonReachesTheFrameWithoutSaving)
{
    Cfg().Write("Name", "abc");
    QelConfigDialog* dlg
        = Make({QelConfigItem("Name"), QelConfigItem("Go", CONFIG_BUTTON, "", false, 100)});
    dlg->Show();
    As<wxTextCtrl>(Window(dlg, 0))->ChangeValue("xyz");
    Press(dlg, 100);
    EXPECT_EQ(m_Frame->m_Calls, (Calls{{DIALOG_ID, 100}}));
    EXPECT_EQ(Cfg().Read("Name", ""), "abc");
    EXPECT_TRUE(dlg->IsShown());
}

} // namespace
