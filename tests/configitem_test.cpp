// Configuration items as plain values: a copy assigned over an item of
// another kind takes all of it. What each kind makes of its fields is
// checked on the real controls (configitem_guitest, configdialog_guitest).
#include <gtest/gtest.h>

#include <qelkit/configitem.h>

namespace {

const std::map<long, const wxString> g_Choices{{0, "None"}, {1, "Word"}};

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
