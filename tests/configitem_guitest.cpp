// Configuration items with their real controls in a hidden frame: the
// control each kind makes, its place in the sizers, and its value in the
// settings file.
#include <functional>
#include <vector>

#include <gtest/gtest.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/checklst.h>
#include <wx/clrpicker.h>
#include <wx/combobox.h>
#include <wx/commandlinkbutton.h>
#include <wx/filepicker.h>
#include <wx/fontpicker.h>
#include <wx/frame.h>
#include <wx/radiobox.h>
#include <wx/settings.h>
#include <wx/slider.h>
#include <wx/spinctrl.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/tglbtn.h>

#include <qelkit/configitem.h>
#include <qelkit/frd.h>
#include <qelkit/lexers.h>
#include <qelkit/listviewfile.h>
#include <qelkit/stc.h>

#include "testing.h"

namespace {

// A hidden frame whose vertical sizer takes the items.
class ConfigItemTest : public qeltest::ConfigTest {
protected:
    void SetUp() override
    {
        ConfigTest::SetUp();
        m_Frame = new wxFrame(nullptr, wxID_ANY, "items");
        m_Sizer = new wxBoxSizer(wxVERTICAL);
        m_Frame->SetSizer(m_Sizer);
    }
    void TearDown() override
    {
        m_Frame->Destroy();
        qeltest::Pump(0);
        ConfigTest::TearDown();
    }

    // Lays the item out in the frame and returns it, control made and loaded.
    QelConfigItem Lay(QelConfigItem item, bool readonly = false)
    {
        item.Layout(m_Frame, m_Sizer, readonly, nullptr);
        return item;
    }

    static wxConfigBase& Cfg() { return *wxConfigBase::Get(); }
    static wxString Stored(const wxString& key) { return Cfg().Read(key, "<missing>"); }

    wxFrame* m_Frame = nullptr;
    wxBoxSizer* m_Sizer = nullptr;
};

template <typename T> T* Control(const QelConfigItem& item)
{
    T* control = dynamic_cast<T*>(item.GetWindow());
    EXPECT_NE(control, nullptr) << "wrong control for " << item.GetLabel();
    return control;
}

wxString Checked(wxCheckListBox* list)
{
    wxString rows;
    for (unsigned i = 0; i < list->GetCount(); ++i)
        if (list->IsChecked(i)) rows << list->GetString(i) << ";";
    return rows;
}

const std::map<long, const wxString> g_Flags{{1, "A"}, {2, "B"}, {4, "C"}};
const std::map<long, const wxString> g_Modes{{0, "None"}, {1, "Word"}, {2, "Line"}};

// One kind through the settings file: a stored value is shown as soon as
// the control exists; an edit is saved in the stored form.
struct RoundTrip {
    const char* name;
    std::function<QelConfigItem()> make;
    wxString stored;
    std::function<wxString(wxWindow*)> shown;
    wxString wantShown;
    std::function<void(wxWindow*)> edit;
    wxString wantSaved;
};

void PrintTo(const RoundTrip& c, std::ostream* os)
{
    *os << c.name;
}

class ConfigItemRoundTrip : public ConfigItemTest,
                            public ::testing::WithParamInterface<RoundTrip> { };

TEST_P(ConfigItemRoundTrip, ShowsTheStoredValueAndSavesTheEdit)
{
    const RoundTrip& c = GetParam();
    QelConfigItem made = c.make();
    Cfg().Write(made.GetLabel(), c.stored);
    const QelConfigItem item = Lay(made);
    ASSERT_NE(item.GetWindow(), nullptr);
    EXPECT_EQ(c.shown(item.GetWindow()), c.wantShown);

    c.edit(item.GetWindow());
    EXPECT_TRUE(item.ToConfig(true));
    Reopen();
    EXPECT_EQ(Stored(item.GetLabel()), c.wantSaved);
}

template <typename T> T* As(wxWindow* w)
{
    return dynamic_cast<T*>(w);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, ConfigItemRoundTrip,
    ::testing::Values(
        RoundTrip{"CheckBox", [] { return QelConfigItem("Show", CONFIG_CHECKBOX); }, "1",
                  [](wxWindow* w) { return wxString::Format("%d", As<wxCheckBox>(w)->GetValue()); },
                  "1", [](wxWindow* w) { As<wxCheckBox>(w)->SetValue(false); }, "0"},
        RoundTrip{
            "ToggleButton", [] { return QelConfigItem("Wrap", CONFIG_TOGGLEBUTTON); }, "0",
            [](wxWindow* w) { return wxString::Format("%d", As<wxToggleButton>(w)->GetValue()); },
            "0", [](wxWindow* w) { As<wxToggleButton>(w)->SetValue(true); }, "1"},
        RoundTrip{"FlagListSharesBits", [] { return QelConfigItem("Flags", g_Flags); }, "5",
                  [](wxWindow* w) { return Checked(As<wxCheckListBox>(w)); }, "A;C;",
                  [](wxWindow* w) { As<wxCheckListBox>(w)->Check(0, false); }, "4"},
        RoundTrip{"FlagListNothingChecked", [] { return QelConfigItem("Flags", g_Flags); }, "6",
                  [](wxWindow* w) { return Checked(As<wxCheckListBox>(w)); }, "B;C;",
                  [](wxWindow* w) {
                      As<wxCheckListBox>(w)->Check(1, false);
                      As<wxCheckListBox>(w)->Check(2, false);
                  },
                  "0"},
        RoundTrip{"Colour", [] { return QelConfigItem("Back", CONFIG_COLOUR); }, "#FF0000",
                  [](wxWindow* w) {
                      return As<wxColourPickerWidget>(w)->GetColour().GetAsString(
                          wxC2S_HTML_SYNTAX);
                  },
                  "#FF0000", [](wxWindow* w) { As<wxColourPickerWidget>(w)->SetColour(*wxBLUE); },
                  "rgb(0, 0, 255)"},
        RoundTrip{"ComboBoxPutsTheTypedTextFirst",
                  [] { return QelConfigItem("In", CONFIG_COMBOBOX, "", false, -1, 3); },
                  "b\va\vz\v",
                  [](wxWindow* w) {
                      return As<wxComboBox>(w)->GetValue()
                          + wxString::Format("/%u", As<wxComboBox>(w)->GetCount());
                  },
                  "b/3", [](wxWindow* w) { As<wxComboBox>(w)->SetValue("c"); }, "c\vb\va\v"},
        RoundTrip{"FolderComboBox",
                  [] { return QelConfigItem("Folder", CONFIG_COMBOBOXDIR, "", false, 1000); },
                  "/tmp\v", [](wxWindow* w) { return As<wxComboBox>(w)->GetValue(); }, "/tmp",
                  [](wxWindow* w) { As<wxComboBox>(w)->SetValue("/usr"); }, "/usr\v/tmp\v"},
        RoundTrip{"DirPicker", [] { return QelConfigItem("Dir", CONFIG_DIRPICKERCTRL); }, "/tmp",
                  [](wxWindow* w) { return As<wxDirPickerCtrl>(w)->GetPath(); }, "/tmp",
                  [](wxWindow* w) { As<wxDirPickerCtrl>(w)->SetPath("/usr"); }, "/usr"},
        RoundTrip{"FilePicker", [] { return QelConfigItem("File", CONFIG_FILEPICKERCTRL); },
                  "/etc/hosts", [](wxWindow* w) { return As<wxFilePickerCtrl>(w)->GetPath(); },
                  "/etc/hosts", [](wxWindow* w) { As<wxFilePickerCtrl>(w)->SetPath("/bin/sh"); },
                  "/bin/sh"},
        RoundTrip{"IntSavesItsLeadingDigits", [] { return QelConfigItem("Count", CONFIG_INT); },
                  "42", [](wxWindow* w) { return As<wxTextCtrl>(w)->GetValue(); }, "42",
                  [](wxWindow* w) { As<wxTextCtrl>(w)->ChangeValue("12abc"); }, "12"},
        RoundTrip{"IntWithoutDigitsSavesZero", [] { return QelConfigItem("Count", CONFIG_INT); },
                  "-7", [](wxWindow* w) { return As<wxTextCtrl>(w)->GetValue(); }, "-7",
                  [](wxWindow* w) { As<wxTextCtrl>(w)->ChangeValue("abc"); }, "0"},
        RoundTrip{"RadioBox", [] { return QelConfigItem("Mode", g_Modes, true); }, "2",
                  [](wxWindow* w) { return As<wxRadioBox>(w)->GetStringSelection(); }, "Line",
                  [](wxWindow* w) { As<wxRadioBox>(w)->SetStringSelection("Word"); }, "1"},
        RoundTrip{"RadioBoxKeepsItsSelectionForAnUnknownValue",
                  [] { return QelConfigItem("Mode", g_Modes, true); }, "7",
                  [](wxWindow* w) { return As<wxRadioBox>(w)->GetStringSelection(); }, "None",
                  [](wxWindow*) {}, "0"},
        RoundTrip{"Slider", [] { return QelConfigItem("Zoom", -5, 20, "", CONFIG_SLIDER); }, "7",
                  [](wxWindow* w) { return wxString::Format("%d", As<wxSlider>(w)->GetValue()); },
                  "7", [](wxWindow* w) { As<wxSlider>(w)->SetValue(-3); }, "-3"},
        RoundTrip{"SpinControl", [] { return QelConfigItem("Edge", 0, 500); }, "80",
                  [](wxWindow* w) { return wxString::Format("%d", As<wxSpinCtrl>(w)->GetValue()); },
                  "80", [](wxWindow* w) { As<wxSpinCtrl>(w)->SetValue(120); }, "120"},
        RoundTrip{
            "SpinControlDouble",
            [] { return QelConfigItem("Step", 0.5, 10, "", CONFIG_SPINCTRL_DOUBLE, 0, 0.5); },
            "2.5",
            [](wxWindow* w) { return wxString::FromCDouble(As<wxSpinCtrlDouble>(w)->GetValue()); },
            "2.5", [](wxWindow* w) { As<wxSpinCtrlDouble>(w)->SetValue(3.5); }, "3.5"},
        RoundTrip{"FolderList", [] { return QelConfigItem("Include", CONFIG_LISTVIEW_FOLDER); },
                  "/tmp\n/usr\n",
                  [](wxWindow* w) {
                      return wxString::Format("%d:", As<QelListViewFolder>(w)->GetItemCount())
                          + As<QelListViewFolder>(w)->GetFolders();
                  },
                  "2:/tmp\n/usr\n",
                  [](wxWindow* w) { As<QelListViewFolder>(w)->SetFolders("/var\n"); }, "/var\n"},
        RoundTrip{"Editor", [] { return QelConfigItem("Header", "", "", 0, CONFIG_STC); },
                  "// one\n// two", [](wxWindow* w) { return As<QelSTC>(w)->GetText(); },
                  "// one\n// two", [](wxWindow* w) { As<QelSTC>(w)->SetText("x\ny"); }, "x\ny"},
        RoundTrip{"String", [] { return QelConfigItem("Name"); }, "abc",
                  [](wxWindow* w) { return As<wxTextCtrl>(w)->GetValue(); }, "abc",
                  [](wxWindow* w) { As<wxTextCtrl>(w)->ChangeValue("two words"); }, "two words"}),
    [](const auto& info) { return std::string(info.param.name); });

// What each kind shows when its key is missing.
TEST_F(ConfigItemTest, MissingKeysGiveTheDefaults)
{
    struct Row {
        const char* name;
        QelConfigItem item;
        std::function<wxString(wxWindow*)> shown;
        wxString want;
    };
    const wxFont fixed = wxSystemSettings::GetFont(wxSYS_OEM_FIXED_FONT);
    const Row rows[] = {
        {"CheckBox", QelConfigItem("Show", CONFIG_CHECKBOX),
         [](wxWindow* w) { return wxString::Format("%d", As<wxCheckBox>(w)->GetValue()); }, "0"},
        {"FlagList", QelConfigItem("Flags", g_Flags),
         [](wxWindow* w) { return Checked(As<wxCheckListBox>(w)); }, ""},
        {"Colour", QelConfigItem("Back", CONFIG_COLOUR),
         [](wxWindow* w) {
             return As<wxColourPickerWidget>(w)->GetColour().GetAsString(wxC2S_HTML_SYNTAX);
         },
         "#FFFFFF"},
        {"ComboBox", QelConfigItem("In", CONFIG_COMBOBOX),
         [](wxWindow* w) {
             return As<wxComboBox>(w)->GetValue()
                 + wxString::Format("/%u", As<wxComboBox>(w)->GetCount());
         },
         "/0"},
        {"Font", QelConfigItem("Font", CONFIG_FONTPICKERCTRL),
         [](wxWindow* w) {
             return As<wxFontPickerCtrl>(w)->GetSelectedFont().GetNativeFontInfoDesc();
         },
         fixed.GetNativeFontInfoDesc()},
        {"Int", QelConfigItem("Count", CONFIG_INT),
         [](wxWindow* w) { return As<wxTextCtrl>(w)->GetValue(); }, "0"},
        {"RadioBox", QelConfigItem("Mode", g_Modes, true),
         [](wxWindow* w) { return As<wxRadioBox>(w)->GetStringSelection(); }, "None"},
        {"SliderAtItsMinimum", QelConfigItem("Zoom", 3.7, 9, "", CONFIG_SLIDER),
         [](wxWindow* w) { return wxString::Format("%d", As<wxSlider>(w)->GetValue()); }, "3"},
        {"SpinAtItsMinimum", QelConfigItem("Edge", 8, 500),
         [](wxWindow* w) { return wxString::Format("%d", As<wxSpinCtrl>(w)->GetValue()); }, "8"},
        {"SpinDoubleAtItsMinimum",
         QelConfigItem("Step", 1.5, 4, "", CONFIG_SPINCTRL_DOUBLE, 0, 0.5),
         [](wxWindow* w) { return wxString::FromCDouble(As<wxSpinCtrlDouble>(w)->GetValue()); },
         "1.5"},
        {"String", QelConfigItem("Name"), [](wxWindow* w) { return As<wxTextCtrl>(w)->GetValue(); },
         ""},
        {"FolderList", QelConfigItem("Include", CONFIG_LISTVIEW_FOLDER),
         [](wxWindow* w) {
             return wxString::Format("%d", As<QelListViewFolder>(w)->GetItemCount());
         },
         "0"},
        {"Editor", QelConfigItem("Header", "", "", 0, CONFIG_STC),
         [](wxWindow* w) { return As<QelSTC>(w)->GetText(); }, ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const QelConfigItem item = Lay(row.item);
        ASSERT_NE(item.GetWindow(), nullptr);
        EXPECT_EQ(row.shown(item.GetWindow()), row.want);
        EXPECT_FALSE(Cfg().HasEntry(item.GetLabel())) << "loading wrote the key";
    }
}

TEST_F(ConfigItemTest, EditorTakesTheLexerItsValueNames)
{
    qeltest::InstallLexers(QEL_SOURCE_DIR "/data/lexers.xml");
    const struct {
        const char* name;
        wxString value;
        wxString want;
    } rows[] = {{"Named", "cpp", "cpp"}, {"Empty", "", ""}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        auto* stc = Control<QelSTC>(Lay(QelConfigItem("Header", row.value, "", 0, CONFIG_STC)));
        ASSERT_NE(stc, nullptr);
        EXPECT_EQ(stc->GetLexer().GetScintillaLexer(), row.want);
        EXPECT_EQ(stc->GetLexer().IsOk(), !row.want.empty());
    }
}

TEST_F(ConfigItemTest, FilePickerKeepsItsPathWhenNothingUsableIsStored)
{
    const QelConfigItem item = Lay(QelConfigItem("File", CONFIG_FILEPICKERCTRL));
    auto* picker = Control<wxFilePickerCtrl>(item);
    picker->SetPath("/etc/hosts");
    EXPECT_TRUE(item.ToConfig(false)); // key missing
    EXPECT_EQ(picker->GetPath(), "/etc/hosts");
    Cfg().Write("File", "");
    EXPECT_TRUE(item.ToConfig(false));
    EXPECT_EQ(picker->GetPath(), "/etc/hosts");
}

TEST_F(ConfigItemTest, FontRoundTrip)
{
    const QelConfigItem item = Lay(QelConfigItem("Font", CONFIG_FONTPICKERCTRL));
    wxFont font(wxFontInfo(17).Family(wxFONTFAMILY_SWISS).Bold());
    Control<wxFontPickerCtrl>(item)->SetSelectedFont(font);
    EXPECT_TRUE(item.ToConfig(true));
    Reopen();
    const QelConfigItem again = Lay(QelConfigItem("Font", CONFIG_FONTPICKERCTRL));
    const wxFont shown = Control<wxFontPickerCtrl>(again)->GetSelectedFont();
    EXPECT_EQ(shown.GetPointSize(), 17);
    EXPECT_EQ(shown.GetWeight(), wxFONTWEIGHT_BOLD);
}

TEST_F(ConfigItemTest, FindHistoriesAreSharedWithTheFindSettings)
{
    QelFindReplaceData* frd = QelFindReplaceData::Get();
    const struct {
        wxString label;
        std::function<wxString()> current;
    } rows[] = {
        {frd->GetTextFindWhat(), [frd] { return frd->GetFindString(); }},
        {frd->GetTextReplaceWith(), [frd] { return frd->GetReplaceString(); }},
        {"Other", [frd] { return frd->GetFindString(); }},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.label);
        const QelConfigItem item = Lay(QelConfigItem(row.label, CONFIG_COMBOBOX));
        Control<wxComboBox>(item)->SetValue("needle " + row.label);
        EXPECT_TRUE(item.ToConfig(true));
        EXPECT_EQ(Stored(row.label), "needle " + row.label + "\v");
    }
    EXPECT_EQ(frd->GetFindString(), "needle Find what");
    EXPECT_EQ(frd->GetReplaceString(), "needle Replace with");
    EXPECT_EQ(qeltest::ShowList(frd->GetFindStrings()), qeltest::ShowList({"needle Find what"}));
}

TEST_F(ConfigItemTest, NamesListLeavesTheFindOptionsToTheFindSettings)
{
    QelFindReplaceData* frd = QelFindReplaceData::Get();
    frd->SetMatchCase(true);
    Cfg().Write("Other", false);
    Cfg().Write("Zeta", true);
    const QelConfigItem item
        = Lay(QelConfigItem(std::set<wxString>{"Zeta", "Match case", "Other"}));
    auto* list = Control<wxCheckListBox>(item);
    EXPECT_EQ(Checked(list), "Match case;Zeta;");

    list->Check(0, false); // "Match case"
    list->Check(1, true);  // "Other"
    EXPECT_TRUE(item.ToConfig(true));
    EXPECT_FALSE(frd->MatchCase());
    EXPECT_EQ(Stored("Other"), "1");
    EXPECT_EQ(Stored("Zeta"), "1");
    EXPECT_FALSE(Cfg().HasEntry("Match case")) << "the find settings' option got its own key";
}

// A window of the caller's own, with and without its callbacks.
bool g_UserSaved = false;
void CreateUserText(wxWindow* user, wxWindow* parent, bool readonly)
{
    static_cast<wxTextCtrl*>(user)->Create(parent, wxID_ANY, readonly ? "ro" : "rw");
}
bool SaveUserText(wxWindow*, bool save)
{
    g_UserSaved = save;
    return save;
}

TEST_F(ConfigItemTest, UserWindowIsMadeAndStoredByTheCaller)
{
    auto* text = new wxTextCtrl;
    const QelConfigItem item
        = Lay(QelConfigItem("Mine", text, CreateUserText, SaveUserText, "", false, true, -1), true);
    EXPECT_EQ(item.GetWindow(), text);
    EXPECT_EQ(text->GetParent(), m_Frame);
    EXPECT_EQ(text->GetValue(), "ro");
    EXPECT_FALSE(item.ToConfig(false));
    EXPECT_TRUE(item.ToConfig(true));
    EXPECT_TRUE(g_UserSaved);

    auto* plain = new wxTextCtrl(m_Frame, wxID_ANY);
    const QelConfigItem bare
        = Lay(QelConfigItem("Bare", plain, nullptr, nullptr, "", false, true, -1));
    EXPECT_TRUE(bare.ToConfig(true));
    EXPECT_FALSE(Cfg().HasEntry("Bare"));
}

TEST_F(ConfigItemTest, KindsWithoutValueStoreNothing)
{
    const QelConfigItem items[] = {
        QelConfigItem("Info", "text", "", 0, CONFIG_STATICTEXT),
        QelConfigItem("Go", CONFIG_BUTTON),
        QelConfigItem("Main\tnote", CONFIG_COMMAND_LINK_BUTTON),
        QelConfigItem("Home", "https://example.org", "", 0, CONFIG_HYPERLINKCTRL),
        QelConfigItem(wxLI_HORIZONTAL, ""),
    };
    for (const QelConfigItem& made : items) {
        SCOPED_TRACE(made.GetLabel());
        const QelConfigItem item = Lay(made);
        ASSERT_NE(item.GetWindow(), nullptr);
        EXPECT_FALSE(item.ToConfig(true));
        EXPECT_FALSE(Cfg().HasEntry(item.GetLabel()));
    }
}

// Regression: an item whose window was not made used to be placed in the
// sizer and loaded through a null pointer after the assertion.
TEST_F(ConfigItemTest, AnItemWithoutWindowIsReportedAndLeftOut)
{
    auto* uncreated = new wxTextCtrl; // the callback that should create it is missing
    struct Row {
        const char* name;
        QelConfigItem item;
    };
    const Row rows[] = {
        {"UserWithoutWindow",
         QelConfigItem("Mine", nullptr, nullptr, nullptr, "", false, true, -1)},
        {"UserWindowNeverCreated",
         QelConfigItem("Mine", uncreated, nullptr, nullptr, "", false, true, -1)},
        {"KindOutOfRange", QelConfigItem("Bad", CONFIG_ITEM_MAX)},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        QelConfigItem item = row.item;
        wxFlexGridSizer grid(2, 0, 0);
        qeltest::ExpectAsserts asserts;
        EXPECT_EQ(item.Layout(m_Frame, m_Sizer, false, &grid), &grid);
        EXPECT_GE(asserts.Count(), 1);
        EXPECT_EQ(m_Sizer->GetItemCount(), 0u);
        EXPECT_EQ(grid.GetItemCount(), 0u);
        if (item.GetWindow() == nullptr) {
            EXPECT_FALSE(item.ToConfig(false));
        }
    }
    delete uncreated;
}

TEST_F(ConfigItemTest, ControlSizes)
{
    const struct {
        const char* name;
        QelConfigItem item;
        wxSize want; // -1: the natural height, more than one line is not wanted
    } rows[] = {
        {"String", QelConfigItem("Name"), wxSize(200, -1)},
        {"MultiLineString", QelConfigItem("Text", "", "", wxTE_MULTILINE), wxSize(200, 200)},
        {"MultiLineStaticText", QelConfigItem("Info", "", "", wxTE_MULTILINE, CONFIG_STATICTEXT),
         wxSize(200, 200)},
        {"Int", QelConfigItem("Count", CONFIG_INT), wxSize(75, -1)},
        {"Spin", QelConfigItem("Edge", 0, 9), wxSize(75, -1)},
        {"ComboBox", QelConfigItem("In", CONFIG_COMBOBOX), wxSize(250, -1)},
    };
    const int lineHeight = Control<wxTextCtrl>(Lay(QelConfigItem("Probe")))->GetSize().y;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const wxSize size = Lay(row.item).GetWindow()->GetSize();
        EXPECT_EQ(size.x, row.want.x);
        if (row.want.y > 0)
            EXPECT_EQ(size.y, row.want.y);
        else
            EXPECT_LT(size.y, 2 * lineHeight);
    }
}

TEST_F(ConfigItemTest, CommandLinkSplitsItsLabelAtTheFirstTab)
{
    const struct {
        wxString label, main, note;
    } rows[] = {{"Main\tNote text", "Main", "Note text"},
                {"Main\tNote\tmore", "Main", "Note\tmore"},
                {"Only", "Only", ""}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.label);
        auto* button = Control<wxCommandLinkButton>(
            Lay(QelConfigItem(row.label, CONFIG_COMMAND_LINK_BUTTON)));
        EXPECT_EQ(button->GetMainLabel(), row.main);
        EXPECT_EQ(button->GetNote(), row.note);
    }
}

// Labelled items of one kind share a two-column grid; anything else starts
// a new one or goes to the page sizer directly.
TEST_F(ConfigItemTest, ConsecutiveLabelledItemsShareOneGrid)
{
    QelConfigItem first("First"), second("Second"),
        unlabelled("Plain", "", "", 0, CONFIG_STRING, false, false), third("Third"),
        number("Count", CONFIG_INT);
    wxFlexGridSizer* grid = first.Layout(m_Frame, m_Sizer, false, nullptr);
    ASSERT_NE(grid, nullptr);
    EXPECT_EQ(second.Layout(m_Frame, m_Sizer, false, grid), grid);
    EXPECT_EQ(unlabelled.Layout(m_Frame, m_Sizer, false, grid), grid);
    EXPECT_EQ(third.Layout(m_Frame, m_Sizer, false, grid), grid);
    wxFlexGridSizer* other = number.Layout(m_Frame, m_Sizer, false, nullptr);
    EXPECT_NE(other, grid);

    // Page sizer: the first grid, the unlabelled field, the new grid.
    ASSERT_EQ(m_Sizer->GetItemCount(), 3u);
    EXPECT_EQ(m_Sizer->GetItem(size_t(0))->GetSizer(), grid);
    EXPECT_EQ(m_Sizer->GetItem(size_t(1))->GetWindow(), unlabelled.GetWindow());
    EXPECT_EQ(m_Sizer->GetItem(size_t(2))->GetSizer(), other);
    ASSERT_EQ(grid->GetItemCount(), 6u); // three labels and three fields
    const wxString labels[] = {"First:", "Second:", "Third:"};
    for (size_t i = 0; i < 3; ++i) {
        auto* label = dynamic_cast<wxStaticText*>(grid->GetItem(2 * i)->GetWindow());
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->GetLabel(), labels[i]);
    }
    EXPECT_EQ(grid->GetItem(size_t(5))->GetWindow(), third.GetWindow());
}

TEST_F(ConfigItemTest, FolderRowHasItsLabelAndABrowseButtonWithTheComboBoxId)
{
    QelConfigItem item("Folder", CONFIG_COMBOBOXDIR, "", false, 1000, 25, false);
    wxFlexGridSizer* row = item.Layout(m_Frame, m_Sizer, false, nullptr);
    ASSERT_NE(row, nullptr);
    ASSERT_EQ(row->GetItemCount(), 3u);
    EXPECT_EQ(row->GetCols(), 3);
    auto* label = dynamic_cast<wxStaticText*>(row->GetItem(size_t(0))->GetWindow());
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->GetLabel(), "Folder:");
    EXPECT_EQ(row->GetItem(size_t(1))->GetWindow(), item.GetWindow());
    auto* button = dynamic_cast<wxButton*>(row->GetItem(size_t(2))->GetWindow());
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->GetId(), 1000);
    EXPECT_EQ(item.GetWindow()->GetId(), 1000);
}

TEST_F(ConfigItemTest, ReadOnlyStopsTypingButNotChoosing)
{
    const struct {
        const char* name;
        QelConfigItem item;
        std::function<bool(wxWindow*)> changeable;
    } rows[] = {
        {"String", QelConfigItem("Name"),
         [](wxWindow* w) { return As<wxTextCtrl>(w)->IsEditable(); }},
        {"Int", QelConfigItem("Count", CONFIG_INT),
         [](wxWindow* w) { return As<wxTextCtrl>(w)->IsEditable(); }},
        {"Spin", QelConfigItem("Edge", 0, 9), [](wxWindow* w) { return w->IsEnabled(); }},
        {"SpinDouble", QelConfigItem("Step", 0, 9, "", CONFIG_SPINCTRL_DOUBLE),
         [](wxWindow* w) { return w->IsEnabled(); }},
        {"DirPicker", QelConfigItem("Dir", CONFIG_DIRPICKERCTRL),
         [](wxWindow* w) { return As<wxDirPickerCtrl>(w)->GetTextCtrl()->IsEditable(); }},
        {"FilePicker", QelConfigItem("File", CONFIG_FILEPICKERCTRL),
         [](wxWindow* w) { return As<wxFilePickerCtrl>(w)->GetTextCtrl()->IsEditable(); }},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_TRUE(row.changeable(Lay(row.item, false).GetWindow()));
        EXPECT_FALSE(row.changeable(Lay(row.item, true).GetWindow()));
    }
    const QelConfigItem choosers[]
        = {QelConfigItem("Show", CONFIG_CHECKBOX), QelConfigItem("In", CONFIG_COMBOBOX),
           QelConfigItem("Flags", g_Flags)};
    for (const QelConfigItem& made : choosers) {
        SCOPED_TRACE(made.GetLabel());
        EXPECT_TRUE(Lay(made, true).GetWindow()->IsEnabled());
    }
}

TEST_F(ConfigItemTest, LayingOutACopyLeavesTheOriginalsWithoutWindows)
{
    const std::vector<QelConfigItem> originals{QelConfigItem("Name"),
                                               QelConfigItem("Show", CONFIG_CHECKBOX)};
    std::vector<QelConfigItem> copies = originals;
    for (auto& item : copies) item.Layout(m_Frame, m_Sizer, false, nullptr);
    for (size_t i = 0; i < originals.size(); ++i) {
        EXPECT_EQ(originals[i].GetWindow(), nullptr);
        EXPECT_NE(copies[i].GetWindow(), nullptr);
    }
}

} // namespace
