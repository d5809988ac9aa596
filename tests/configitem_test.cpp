// Configuration items as plain values: what each constructor decides.
#include <functional>
#include <vector>

#include <gtest/gtest.h>
#include <wx/slider.h>
#include <wx/statline.h>
#include <wx/textctrl.h>

#include <qelkit/configitem.h>

namespace {

struct MadeCase {
    const char* name;
    std::function<QelConfigItem()> make;
    QelConfigType type;
    bool addLabel;
    int id;
    int maxItems;
    long style;
    wxString label;
};

void PrintTo(const MadeCase& c, std::ostream* os)
{
    *os << c.name;
}

class ConfigItemMade : public ::testing::TestWithParam<MadeCase> { };

TEST_P(ConfigItemMade, TakesTheRulesOfItsConstructor)
{
    const MadeCase& c = GetParam();
    const QelConfigItem item = c.make();
    EXPECT_EQ(item.GetType(), c.type);
    EXPECT_EQ(item.GetAddLabel(), c.addLabel);
    EXPECT_EQ(item.GetId(), c.id);
    EXPECT_EQ(item.GetMaxItems(), c.maxItems);
    EXPECT_EQ(item.GetStyle(), c.style);
    EXPECT_EQ(item.GetLabel(), c.label);
    EXPECT_EQ(item.GetWindow(), nullptr);
}

const std::map<long, const wxString> g_Choices{{0, "None"}, {1, "Word"}};

INSTANTIATE_TEST_SUITE_P(
    Constructors, ConfigItemMade,
    ::testing::Values(
        MadeCase{"CheckBoxShowsItsOwnLabel", [] { return QelConfigItem("Show", CONFIG_CHECKBOX); },
                 CONFIG_CHECKBOX, false, -1, 25, 0, "Show"},
        MadeCase{"ButtonShowsItsOwnLabel",
                 [] { return QelConfigItem("Go", CONFIG_BUTTON, "", false, 12); }, CONFIG_BUTTON,
                 false, 12, 25, 0, "Go"},
        MadeCase{"ToggleButtonShowsItsOwnLabel",
                 [] { return QelConfigItem("On", CONFIG_TOGGLEBUTTON, "", false, -1, 25, true); },
                 CONFIG_TOGGLEBUTTON, false, -1, 25, 0, "On"},
        MadeCase{"ComboBoxKeepsItsHistoryLength",
                 [] { return QelConfigItem("Find what", CONFIG_COMBOBOX, "", true, 3, 10); },
                 CONFIG_COMBOBOX, true, 3, 10, 0, "Find what"},
        MadeCase{"ComboBoxAskedWithoutLabel",
                 [] { return QelConfigItem("In", CONFIG_COMBOBOX, "", false, -1, 25, false); },
                 CONFIG_COMBOBOX, false, -1, 25, 0, "In"},
        MadeCase{"StringHasALabel", [] { return QelConfigItem("Name"); }, CONFIG_STRING, true, -1,
                 0, 0, "Name"},
        MadeCase{"MultiLineString", [] { return QelConfigItem("Text", "", "", wxTE_MULTILINE); },
                 CONFIG_STRING, true, -1, 0, wxTE_MULTILINE, "Text"},
        MadeCase{"StaticTextNeverHasALabel",
                 [] { return QelConfigItem("Info", "text", "", 0, CONFIG_STATICTEXT); },
                 CONFIG_STATICTEXT, false, -1, 0, 0, "Info"},
        MadeCase{"HyperlinkNeverHasALabel",
                 [] {
                     return QelConfigItem("Home", "https://example.org", "", 0,
                                          CONFIG_HYPERLINKCTRL, false, true);
                 },
                 CONFIG_HYPERLINKCTRL, false, -1, 0, 0, "Home"},
        MadeCase{"SpinControlByDefault",
                 [] { return QelConfigItem("Edge column", 0, 500, "Edge"); }, CONFIG_SPINCTRL, true,
                 -1, 0, 4, "Edge column"},
        MadeCase{"Slider",
                 [] { return QelConfigItem("Zoom", -10, 20, "", CONFIG_SLIDER, wxSL_VERTICAL); },
                 CONFIG_SLIDER, true, -1, 0, wxSL_VERTICAL, "Zoom"},
        MadeCase{
            "UserWindow",
            [] { return QelConfigItem("Mine", nullptr, nullptr, nullptr, "", false, true, -1); },
            CONFIG_USER, true, -1, 1, 0, "Mine"},
        MadeCase{"SeparatorLine", [] { return QelConfigItem(wxLI_VERTICAL, "Page"); },
                 CONFIG_STATICLINE, false, -1, 0, wxLI_VERTICAL, ""},
        MadeCase{"NamesList",
                 [] {
                     return QelConfigItem(std::set<wxString>{"b", "a"});
                 },
                 CONFIG_CHECKLISTBOX_NONAME, false, -1, 0, 0, "checklistbox_noname"},
        MadeCase{"RadioBoxHasItsOwnTitle", [] { return QelConfigItem("W", g_Choices, true); },
                 CONFIG_RADIOBOX, false, -1, 0, 4, "W"},
        MadeCase{"FlagListHasNoLabel", [] { return QelConfigItem("W", g_Choices); },
                 CONFIG_CHECKLISTBOX, false, -1, 0, 4, "W"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ConfigItemCopy, KeepsEveryFieldAndAssignsOverAnotherKind)
{
    const QelConfigItem radio("Mode", g_Choices, true, "Page", 2, 4, 3);
    std::vector<QelConfigItem> items(2, QelConfigItem("Name"));
    items[1] = radio;
    EXPECT_EQ(items[1].GetType(), CONFIG_RADIOBOX);
    EXPECT_EQ(items[1].GetPage(), "Page");
    EXPECT_EQ(items[1].GetColumns(), 3);
    EXPECT_EQ(items[0].GetType(), CONFIG_STRING);
    EXPECT_EQ(items[0].GetColumns(), -1);
    const QelConfigItem required("Folder", CONFIG_COMBOBOXDIR, "", true);
    items[0] = required;
    EXPECT_TRUE(items[0].GetIsRequired());
}

} // namespace
