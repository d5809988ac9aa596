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
    }
    // The menu appends the items of its own style.
    QelMenu menu(rows[3].style);
    menu.AppendEdit(rows[3].add_invert);
    EXPECT_EQ(Ids(menu), rows[3].ids);
}

TEST(Menu, NoLeadingOrDoubledSeparatorsAndCopiesKeepOnlyTheStyle)
{
    QelMenu menu(MENU_HAS_SELECTION | MENU_OFFER_PASTE);
    EXPECT_EQ(menu.AppendSeparator(), nullptr);
    menu.AppendBars();
    EXPECT_NE(menu.AppendSeparator(), nullptr);
    EXPECT_EQ(menu.AppendSeparator(), nullptr);
    EXPECT_FALSE(menu.AppendTools(wxID_ANY));

    const QelMenu copy(menu);
    EXPECT_EQ(copy.GetMenuItemCount(), 0u);
    EXPECT_EQ(copy.GetStyle(), MENU_HAS_SELECTION | MENU_OFFER_PASTE);
}

} // namespace
