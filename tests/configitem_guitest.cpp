// Configuration items with their real controls in a hidden frame: the
// control each kind makes, its place in the sizers, and its value in the
// settings file; copies of items.
#include <vector>

#include <gtest/gtest.h>
#include <wx/frame.h>

#include <qelkit/configitem.h>
#include <qelkit/frd.h>

#include "configcontrols.h"
#include "testing.h"

namespace {

using qeltest::Edit;
using qeltest::Shown;

// A hidden frame whose vertical sizer takes the items.
class ConfigItemTest : public qeltest::EditorTest {
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        m_Sizer = new wxBoxSizer(wxVERTICAL);
        m_Frame->SetSizer(m_Sizer);
    }

    // The item laid out in the frame: control made and loaded.
    QelConfigItem Lay(QelConfigItem item, bool readonly = false)
    {
        item.Layout(m_Frame, m_Sizer, readonly, nullptr);
        return item;
    }

    static wxConfigBase& Cfg() { return *wxConfigBase::Get(); }
    static wxString Stored(const wxString& key) { return Cfg().Read(key, "<missing>"); }

    wxBoxSizer* m_Sizer = nullptr;
};

// Loading never writes; a file picker keeps its path when nothing usable
// is stored.
TEST_F(ConfigItemTest, MissingKeysWriteNothing)
{
    const QelConfigItem items[]
        = {{"Show", CONFIG_CHECKBOX},           {"Back", CONFIG_COLOUR},
           {"Font", CONFIG_FONTPICKERCTRL},     {"Count", CONFIG_INT},
           {"Zoom", 3.7, 9, "", CONFIG_SLIDER}, {"Include", CONFIG_LISTVIEW_FOLDER},
           {"Header", "", "", 0, CONFIG_STC}};
    for (const auto& item : items) {
        SCOPED_TRACE(item.GetLabel());
        EXPECT_TRUE(Lay(item).HasWindow());
        EXPECT_FALSE(Cfg().HasEntry(item.GetLabel()));
    }
    const QelConfigItem picker = Lay({"File", CONFIG_FILEPICKERCTRL});
    Edit(picker.GetWindow(), "/etc/hosts");
    Cfg().Write("File", "");
    EXPECT_TRUE(picker.ToConfig(false));
    EXPECT_EQ(Shown(picker.GetWindow()), "/etc/hosts");
}

TEST_F(ConfigItemTest, FindSettingsTakeTheirHistoriesAndOptions)
{
    QelFindReplaceData* frd = QelFindReplaceData::Get();
    for (const wxString& label :
         {frd->GetTextFindWhat(), frd->GetTextReplaceWith(), wxString("In")}) {
        const QelConfigItem item = Lay({label, CONFIG_COMBOBOX});
        Edit(item.GetWindow(), "needle " + label);
        EXPECT_TRUE(item.ToConfig(true));
    }
    EXPECT_EQ(frd->GetFindString(), "needle Find what");
    EXPECT_EQ(frd->GetReplaceString(), "needle Replace with");

    // Rows named like the find options are the find settings' own.
    frd->SetMatchCase(true);
    Cfg().Write("Zeta", true);
    const QelConfigItem names
        = Lay(QelConfigItem(std::set<wxString>{"Zeta", "Match case", "Other"}));
    EXPECT_EQ(Shown(names.GetWindow()), "Match case;Zeta;");
    Edit(names.GetWindow(), "Other;");
    EXPECT_TRUE(names.ToConfig(true));
    EXPECT_FALSE(frd->MatchCase());
    EXPECT_EQ(Stored("Other") + Stored("Zeta"), "10");
    EXPECT_FALSE(Cfg().HasEntry("Match case"));
}

// A window of the caller's own, made and stored through the callbacks.
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

TEST_F(ConfigItemTest, UserWindowIsTheCallersAndValuelessKindsStoreNothing)
{
    auto* text = new wxTextCtrl;
    const QelConfigItem user
        = Lay({"Mine", text, CreateUserText, SaveUserText, "", false, true, -1}, true);
    EXPECT_EQ(text->GetValue(), "ro");
    EXPECT_FALSE(user.ToConfig(false));
    EXPECT_TRUE(user.ToConfig(true) && g_UserSaved);

    const QelConfigItem items[] = {
        {"Bare", new wxTextCtrl(m_Frame, wxID_ANY), nullptr, nullptr, "", false, true, -1},
        {"Info", "text", "", 0, CONFIG_STATICTEXT},
        {"Home", "https://example.org", "", 0, CONFIG_HYPERLINKCTRL},
    };
    for (const QelConfigItem& made : items) {
        SCOPED_TRACE(made.GetLabel());
        EXPECT_EQ(Lay(made).ToConfig(true), made.GetType() == CONFIG_USER);
        EXPECT_FALSE(Cfg().HasEntry(made.GetLabel()));
    }
}

// Regression: an item whose window was not made was placed in the sizer
// and loaded through a null pointer after the assertion.
TEST_F(ConfigItemTest, AnItemWithoutWindowIsReportedAndLeftOut)
{
    auto* uncreated = new wxTextCtrl; // its create callback is missing
    const QelConfigItem rows[] = {
        {"NoWindow", nullptr, nullptr, nullptr, "", false, true, -1},
        {"NeverCreated", uncreated, nullptr, nullptr, "", false, true, -1},
        {"KindOutOfRange", CONFIG_ITEM_MAX},
    };
    for (QelConfigItem item : rows) {
        SCOPED_TRACE(item.GetLabel());
        wxFlexGridSizer grid(2, 0, 0);
        qeltest::ExpectAsserts asserts;
        EXPECT_EQ(item.Layout(m_Frame, m_Sizer, false, &grid), &grid);
        EXPECT_FALSE(item.ToConfig(false));
        EXPECT_EQ(asserts.Count(), 2);
        EXPECT_EQ(m_Sizer->GetItemCount() + grid.GetItemCount(), 0u);
    }
    delete uncreated;
}

TEST_F(ConfigItemTest, ReadOnlyStopsTyping)
{
    const struct {
        QelConfigItem item;
        bool typingStops;
    } rows[] = {
        // clang-format off
        {{"Name"}, true}, {{"Info", "", "", wxTE_MULTILINE, CONFIG_STATICTEXT}, false},
        {{"Count", CONFIG_INT}, true}, {{"Step", 0, 9, "", CONFIG_SPINCTRL_DOUBLE}, true},
        {{"Dir", CONFIG_DIRPICKERCTRL}, true},
        // clang-format on
    };
    const auto typeable = [](wxWindow* w) {
        if (auto* picker = dynamic_cast<wxPickerBase*>(w))
            return picker->GetTextCtrl()->IsEditable();
        if (auto* text = dynamic_cast<wxTextCtrl*>(w)) return text->IsEditable();
        return w->IsEnabled();
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.item.GetLabel());
        wxWindow* w = Lay(row.item).GetWindow();
        EXPECT_TRUE(typeable(w));
        EXPECT_EQ(typeable(Lay(row.item, true).GetWindow()), !row.typingStops);
    }
}

// A spin control gets the width it needs: at a fixed 75 pixels GTK 3 cut
// off its buttons, all of them for a wide range.
TEST_F(ConfigItemTest, SpinControlsAreAsWideAsTheyNeed)
{
    for (const QelConfigItem& item : {QelConfigItem("Fold", 0, INT_MAX, "", CONFIG_SPINCTRL),
                                      QelConfigItem("Step", 0, 9, "", CONFIG_SPINCTRL_DOUBLE)}) {
        wxWindow* spin = Lay(item).GetWindow();
        m_Frame->Layout();
        EXPECT_GE(spin->GetSize().x, spin->GetBestSize().x) << item.GetLabel();
    }
}

// An editor's value names its lexer.
TEST_F(ConfigItemTest, EditorValueNamesTheLexer)
{
    qeltest::InstallLexers(QEL_SOURCE_DIR "/data/lexers.xml");
    auto* stc = dynamic_cast<QelSTC*>(Lay({"Header", "cpp", "", 0, CONFIG_STC}).GetWindow());
    ASSERT_NE(stc, nullptr);
    EXPECT_EQ(stc->GetLexer().GetScintillaLexer(), "cpp");
}

// Labelled items of one kind share a two-column grid; an unlabelled item
// goes to the page sizer, another kind starts a new grid.
TEST_F(ConfigItemTest, ConsecutiveLabelledItemsShareOneGrid)
{
    QelConfigItem items[] = {{"First"},
                             {"Second"},
                             {"Plain", "", "", 0, CONFIG_STRING, false, false},
                             {"Third"},
                             {"Show", CONFIG_CHECKBOX, "", false, -1, 25, true},
                             {"Count", CONFIG_INT}};
    // As the dialog does: the grid of the item before when of the same kind.
    std::vector<wxFlexGridSizer*> grids;
    int kind = -1;
    for (auto& item : items) {
        grids.push_back(
            item.Layout(m_Frame, m_Sizer, false, item.GetType() == kind ? grids.back() : nullptr));
        kind = item.GetType();
    }
    wxFlexGridSizer* grid = grids[0];
    ASSERT_NE(grids[5], nullptr);
    EXPECT_NE(grids[5], grid);
    EXPECT_EQ(grids, std::vector<wxFlexGridSizer*>({grid, grid, grid, grid, nullptr, grids[5]}));
    EXPECT_EQ(grid->GetItemCount(), 6u); // a label and a control for each item
}

} // namespace
