// Menus: the edit group by menu style, separators that never lead or
// double, and the bar, print and submenu items.
#include <qelkit/menu.h>

#include "testing.h"

namespace {

std::vector<int> Ids(const wxMenu& menu)
{
    std::vector<int> ids;
    for (const auto* item : menu.GetMenuItems()) ids.push_back(item->GetId());
    return ids;
}

TEST(Menu, EditGroupFollowsTheStyle)
{
    const struct {
        const char* name;
        long style;
        bool add_invert;
        std::vector<int> ids;
    } rows[] = {
        {"ReadOnlySelection", MENU_READ_ONLY | MENU_HAS_SELECTION, false, {wxID_COPY}},
        {"EmptyList", MENU_OFFER_PASTE | MENU_NO_CONTENT, true, {wxID_PASTE}},
        {"ListNoSelection",
         MENU_OFFER_PASTE | MENU_OFFER_CLEAR,
         true,
         {wxID_PASTE, wxID_SELECTALL, wxID_CLEAR, ID_EDIT_SELECT_INVERT}},
        {"ListSelection",
         MENU_OFFER_PASTE | MENU_HAS_SELECTION,
         true,
         {wxID_CUT, wxID_COPY, wxID_PASTE, ID_EDIT_SELECT_NONE, ID_EDIT_SELECT_INVERT,
          wxID_DELETE}},
        {"SelectionNoInvert", MENU_HAS_SELECTION, false, {wxID_CUT, wxID_COPY, wxID_DELETE}},
        {"ReadOnlyPaste", MENU_READ_ONLY | MENU_OFFER_PASTE, false, {wxID_SELECTALL}},
        {"EmptySelection", MENU_HAS_SELECTION | MENU_NO_CONTENT, true, {wxID_CUT, wxID_COPY}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(QelMenuEditIds(row.style, row.add_invert), row.ids);
        QelMenu menu(row.style);
        menu.AppendEdit(row.add_invert);
        EXPECT_EQ(Ids(menu), row.ids);
    }
    QelMenu labels(MENU_HAS_SELECTION);
    labels.AppendEdit(true);
    EXPECT_EQ(labels.FindItem(ID_EDIT_SELECT_NONE)->GetItemLabel(), "&Deselect All");
    EXPECT_EQ(labels.FindItem(ID_EDIT_SELECT_INVERT)->GetItemLabel(), "&Invert");
}

TEST(Menu, GroupsWithoutLeadingOrDoubledSeparators)
{
    QelMenu menu;
    EXPECT_EQ(menu.AppendSeparator(), nullptr);
    menu.AppendBars();
    EXPECT_NE(menu.AppendSeparator(), nullptr);
    EXPECT_EQ(menu.AppendSeparator(), nullptr);
    menu.AppendPrint();
    EXPECT_EQ(Ids(menu),
              (std::vector<int>{ID_VIEW_STATUSBAR, ID_VIEW_TOOLBAR, ID_VIEW_FINDBAR, wxID_SEPARATOR,
                                wxID_PRINT_SETUP, wxID_PREVIEW, wxID_PRINT}));
    EXPECT_TRUE(menu.FindItem(ID_VIEW_FINDBAR)->IsCheckable());
    EXPECT_EQ(menu.FindItem(wxID_PRINT_SETUP)->GetItemLabel(), "Page &Setup...");
    EXPECT_EQ(menu.FindItem(wxID_PRINT)->GetItemLabelText(), "Print..."); // stock label
}

TEST(Menu, CopiesSubmenusAndTools)
{
    QelMenu menu(MENU_HAS_SELECTION | MENU_OFFER_PASTE);
    menu.AppendEdit();
    const QelMenu copy(menu);
    EXPECT_EQ(copy.GetMenuItemCount(), 0u);
    EXPECT_EQ(copy.GetStyle(), MENU_HAS_SELECTION | MENU_OFFER_PASTE);

    QelMenu other;
    EXPECT_FALSE(other.AppendTools(wxID_ANY));
    EXPECT_EQ(other.GetMenuItemCount(), 0u);
    EXPECT_EQ(other.AppendSubMenu(new QelMenu, "Own", "", 6100)->GetId(), 6100);
    EXPECT_TRUE(other.AppendSubMenu(new QelMenu, "Any")->IsSubMenu());
    EXPECT_NE(other.FindItemByPosition(1)->GetId(), 6100);
    EXPECT_EQ(other.Append(6101, "Named", "help", wxART_FILE_OPEN)->GetHelp(), "help");
}

} // namespace
