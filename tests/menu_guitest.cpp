// Menus: the edit group by menu style, separators that never lead or
// double, and the bar and print groups.
#include <qelkit/menu.h>

#include "testing.h"

namespace {

std::vector<int> Ids(const wxMenu& menu)
{
    std::vector<int> ids;
    for (const auto* item : menu.GetMenuItems()) ids.push_back(item->GetId());
    return ids;
}

struct EditCase {
    const char* name;
    long style;
    bool add_invert;
    std::vector<int> ids;
};

void PrintTo(const EditCase& row, std::ostream* os)
{
    *os << row.name;
}

class MenuEdit : public ::testing::TestWithParam<EditCase> { };

TEST_P(MenuEdit, OffersTheEntriesOfTheStyle)
{
    const EditCase& row = GetParam();
    EXPECT_EQ(QelMenuEditIds(row.style, row.add_invert), row.ids);
    QelMenu menu(row.style);
    menu.AppendEdit(row.add_invert);
    EXPECT_EQ(Ids(menu), row.ids);
}

INSTANTIATE_TEST_SUITE_P(
    Styles, MenuEdit,
    ::testing::Values(
        EditCase{"ReadOnlySelection", MENU_READ_ONLY | MENU_HAS_SELECTION, false, {wxID_COPY}},
        EditCase{"EmptyList", MENU_OFFER_PASTE | MENU_NO_CONTENT, true, {wxID_PASTE}},
        EditCase{"ListWithoutSelection",
                 MENU_OFFER_PASTE | MENU_OFFER_CLEAR,
                 true,
                 {wxID_PASTE, wxID_SELECTALL, wxID_CLEAR, ID_EDIT_SELECT_INVERT}},
        EditCase{"ListWithSelection",
                 MENU_OFFER_PASTE | MENU_HAS_SELECTION,
                 true,
                 {wxID_CUT, wxID_COPY, wxID_PASTE, ID_EDIT_SELECT_NONE, ID_EDIT_SELECT_INVERT,
                  wxID_DELETE}},
        EditCase{"SelectionWithoutInvert",
                 MENU_HAS_SELECTION,
                 false,
                 {wxID_CUT, wxID_COPY, wxID_DELETE}},
        EditCase{
            "ReadOnlyPasteOffered", MENU_READ_ONLY | MENU_OFFER_PASTE, false, {wxID_SELECTALL}},
        EditCase{"EmptyWithSelectionNoDelete",
                 MENU_HAS_SELECTION | MENU_NO_CONTENT,
                 true,
                 {wxID_CUT, wxID_COPY}},
        EditCase{"Plain", 0, false, {wxID_SELECTALL}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Menu, SeparatorNeverLeadsNorDoubles)
{
    QelMenu menu;
    EXPECT_EQ(menu.AppendSeparator(), nullptr);
    menu.AppendEdit();
    EXPECT_NE(menu.AppendSeparator(), nullptr);
    EXPECT_EQ(menu.AppendSeparator(), nullptr);
    menu.AppendPrint();
    EXPECT_EQ(Ids(menu),
              (std::vector<int>{wxID_SELECTALL, wxID_SEPARATOR, wxID_PRINT_SETUP, wxID_PREVIEW,
                                wxID_PRINT}));
}

TEST(Menu, GroupsAndLabels)
{
    QelMenu menu;
    menu.AppendBars();
    menu.AppendPrint();
    EXPECT_EQ(Ids(menu),
              (std::vector<int>{ID_VIEW_STATUSBAR, ID_VIEW_TOOLBAR, ID_VIEW_FINDBAR,
                                wxID_PRINT_SETUP, wxID_PREVIEW, wxID_PRINT}));
    for (int id : {ID_VIEW_STATUSBAR, ID_VIEW_TOOLBAR, ID_VIEW_FINDBAR})
        EXPECT_TRUE(menu.FindItem(id)->IsCheckable()) << id;
    EXPECT_EQ(menu.FindItem(wxID_PRINT_SETUP)->GetItemLabel(), "Page &Setup...");
    // Stock items carry the toolkit's label.
    EXPECT_EQ(menu.FindItem(wxID_PRINT)->GetItemLabelText(), "Print...");

    QelMenu edit(MENU_HAS_SELECTION);
    edit.AppendEdit(true);
    EXPECT_EQ(edit.FindItem(ID_EDIT_SELECT_NONE)->GetItemLabel(), "&Deselect All");
    EXPECT_EQ(edit.FindItem(ID_EDIT_SELECT_INVERT)->GetItemLabel(), "&Invert");
}

TEST(Menu, CopyKeepsStyleNotItemsAndToolsAddNothing)
{
    QelMenu menu(MENU_HAS_SELECTION | MENU_OFFER_PASTE);
    menu.AppendEdit();
    const QelMenu copy(menu);
    EXPECT_EQ(copy.GetMenuItemCount(), 0u);
    EXPECT_EQ(copy.GetStyle(), MENU_HAS_SELECTION | MENU_OFFER_PASTE);

    QelMenu tools;
    EXPECT_FALSE(tools.AppendTools(wxID_ANY));
    EXPECT_EQ(tools.GetMenuItemCount(), 0u);
}

TEST(Menu, SubmenuCarriesTheGivenId)
{
    QelMenu menu;
    wxMenuItem* own = menu.AppendSubMenu(new QelMenu, "Own", "", 6100);
    wxMenuItem* any = menu.AppendSubMenu(new QelMenu, "Any");
    EXPECT_EQ(own->GetId(), 6100);
    EXPECT_TRUE(own->IsSubMenu());
    EXPECT_NE(any->GetId(), 6100);
    EXPECT_TRUE(any->IsSubMenu());
    EXPECT_EQ(menu.Append(6101, "Named", "help", wxART_FILE_OPEN)->GetHelp(), "help");
}

} // namespace
