// Configuration items as plain values: what each constructor decides.
#include <gtest/gtest.h>
#include <wx/slider.h>
#include <wx/statline.h>
#include <wx/textctrl.h>

#include <qelkit/configitem.h>

namespace {

const std::map<long, const wxString> g_Choices{{0, "None"}, {1, "Word"}};

TEST(ConfigItem, ConstructorsSetKindLabelRuleAndLimits)
{
    const struct {
        QelConfigItem item;
        QelConfigType type;
        bool addLabel;
        int id, maxItems;
        long style;
    } rows[] = {
        // clang-format off
        {{"Show", CONFIG_CHECKBOX}, CONFIG_CHECKBOX, false, -1, 25, 0},
        {{"Go", CONFIG_BUTTON, "", false, 12}, CONFIG_BUTTON, false, 12, 25, 0},
        {{"On", CONFIG_TOGGLEBUTTON, "", false, -1, 25, true}, CONFIG_TOGGLEBUTTON, false, -1, 25, 0},
        {{"Run", CONFIG_COMMAND_LINK_BUTTON}, CONFIG_COMMAND_LINK_BUTTON, false, -1, 25, 0},
        {{"Find what", CONFIG_COMBOBOX, "", true, 3, 10}, CONFIG_COMBOBOX, true, 3, 10, 0},
        {{"In", CONFIG_COMBOBOX, "", false, -1, 25, false}, CONFIG_COMBOBOX, false, -1, 25, 0},
        {{"Text", "", "", wxTE_MULTILINE}, CONFIG_STRING, true, -1, 0, wxTE_MULTILINE},
        {{"Info", "text", "", 0, CONFIG_STATICTEXT}, CONFIG_STATICTEXT, false, -1, 0, 0},
        {{"Home", "https://x.org", "", 0, CONFIG_HYPERLINKCTRL, false, true}, CONFIG_HYPERLINKCTRL, false, -1, 0, 0},
        {{"Edge column", 0, 500, "Edge"}, CONFIG_SPINCTRL, true, -1, 0, 4},
        {{"Zoom", -10, 20, "", CONFIG_SLIDER, wxSL_VERTICAL}, CONFIG_SLIDER, true, -1, 0, wxSL_VERTICAL},
        {{"Mine", nullptr, nullptr, nullptr, "", false, true, -1}, CONFIG_USER, true, -1, 1, 0},
        {{wxLI_VERTICAL, "Page"}, CONFIG_STATICLINE, false, -1, 0, wxLI_VERTICAL},
        {QelConfigItem(std::set<wxString>{"b", "a"}), CONFIG_CHECKLISTBOX_NONAME, false, -1, 0, 0},
        {{"W", g_Choices, true}, CONFIG_RADIOBOX, false, -1, 0, 4},
        {{"W", g_Choices}, CONFIG_CHECKLISTBOX, false, -1, 0, 4},
        // clang-format on
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.item.GetLabel());
        EXPECT_EQ(row.item.GetType(), row.type);
        EXPECT_EQ(row.item.GetAddLabel(), row.addLabel);
        EXPECT_EQ(row.item.GetId(), row.id);
        EXPECT_EQ(row.item.GetMaxItems(), row.maxItems);
        EXPECT_EQ(row.item.GetStyle(), row.style);
        EXPECT_EQ(row.item.GetWindow(), nullptr);
    }
    EXPECT_EQ(rows[13].item.GetLabel(), "checklistbox_noname");
}

TEST(ConfigItem, CopiesAssignOverAnotherKind)
{
    std::vector<QelConfigItem> items(2, QelConfigItem("Name"));
    items[1] = QelConfigItem("Mode", g_Choices, true, "Page", 2, 4, 3);
    items[0] = QelConfigItem("Folder", CONFIG_COMBOBOXDIR, "", true);
    EXPECT_EQ(items[1].GetType(), CONFIG_RADIOBOX);
    EXPECT_EQ(items[1].GetPage() + items[1].GetLabel(), "PageMode");
    EXPECT_EQ(items[1].GetColumns(), 3);
    EXPECT_TRUE(items[0].GetIsRequired());
    EXPECT_EQ(items[0].GetColumns(), -1);
}

} // namespace
