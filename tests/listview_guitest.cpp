// The report list with typed columns: sorting by value, the text form of
// rows, the clipboard, deleting, finding and printing, on real hidden lists.
#include <functional>

#include <gtest/gtest.h>
#include <wx/clipbrd.h>
#include <wx/frame.h>
#include <wx/testing.h>

#include <qelkit/frame.h>
#include <qelkit/frd.h>
#include <qelkit/statusbar.h>
#include <qelkit/listview.h>
#include <qelkit/status.h>

#include "numberdialog.h"
#include "testing.h"

namespace {

using Cells = std::vector<wxString>;

// Counts the hooks that a sort and a delete run.
class CountingList : public QelListView {
public:
    CountingList(wxWindow* parent)
        : QelListView(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxLC_REPORT)
    { }
    void ItemsUpdate() override { ++m_Updates; }
    void AfterSorting() override { ++m_AfterSorts; }
    int m_Updates = 0;
    int m_AfterSorts = 0;
};

// Rows of the sorting and finding cases: Name, Count, Ratio, When.
const std::vector<Cells> kRows = {
    {"b", "10", "2.9", "2020-01-01 00:00:00"},
    {"a", "9", "2.1", "1969-12-31 23:59:59"},
    {"C", "-3", "10.5", "1970-01-01 00:00:01"},
    {"d", "100", "-0.5", ""},
};

class ListViewTest : public qeltest::EditorTest {
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        m_List = MakeList(m_Frame, kRows);
    }

    static CountingList* MakeList(wxWindow* parent, const std::vector<Cells>& rows = {})
    {
        auto* lv = new CountingList(parent);
        lv->InsertColumn(QelColumn("Name", QelColumn::COL_STRING));
        lv->InsertColumn(QelColumn("Count", QelColumn::COL_INT));
        lv->InsertColumn(QelColumn("Ratio", QelColumn::COL_FLOAT));
        lv->InsertColumn(QelColumn("When", QelColumn::COL_DATE));
        Fill(lv, rows);
        return lv;
    }

    static void Fill(QelListView* lv, const std::vector<Cells>& rows)
    {
        for (const Cells& row : rows) {
            const long item = lv->InsertItem(lv->GetItemCount(), row[0]);
            for (size_t col = 1; col < row.size(); col++) lv->SetItem(item, col, row[col]);
        }
    }

    // Rows joined by ";", cells by "|"; with names_only the names joined by ",".
    static wxString Dump(const QelListView* lv, bool names_only = false)
    {
        wxString text;
        for (long row = 0; row < lv->GetItemCount(); row++) {
            if (row > 0) text << (names_only ? "," : ";");
            for (int col = 0; col < (names_only ? 1 : lv->GetColumnCount()); col++)
                text << (col > 0 ? "|" : "") << lv->GetItemText(row, col);
        }
        return text;
    }
    static wxString Names(const QelListView* lv) { return Dump(lv, true); }

    static wxString Selected(const QelListView* lv)
    {
        wxString text;
        for (long row = lv->GetFirstSelected(); row != -1; row = lv->GetNextSelected(row))
            text << (text.empty() ? "" : ",") << row;
        return text;
    }

    static void Command(QelListView* lv, int id)
    {
        wxCommandEvent event(wxEVT_MENU, id);
        event.SetEventObject(lv);
        lv->ProcessWindowEvent(event);
    }

    // A click on the row as the generic list gets it from the pointer:
    // its rows window receives the button down and up.
    static void Click(QelListView* lv, long row, int modifiers = wxMOD_NONE)
    {
        qeltest::Pump(0); // the list takes no click until it laid its rows out
        wxRect rect;
        ASSERT_TRUE(lv->GetItemRect(row, rect));
        wxWindow* rows = RowsWindow(lv);
        ASSERT_NE(rows, nullptr);
        const wxPoint at = rect.GetPosition() + wxPoint(4, rect.height / 2) - rows->GetPosition();
        for (const wxEventType type : {wxEVT_LEFT_DOWN, wxEVT_LEFT_UP}) {
            wxMouseEvent event(type);
            event.SetPosition(at);
            event.SetShiftDown((modifiers & wxMOD_SHIFT) != 0);
            event.SetControlDown((modifiers & wxMOD_CONTROL) != 0);
            event.SetEventObject(rows);
            rows->GetEventHandler()->ProcessEvent(event);
        }
    }

    // A key as the generic list gets it from the keyboard: its rows window
    // receives the key down, then the character (the arrows move there).
    static void Key(QelListView* lv, int key_code)
    {
        wxWindow* rows = RowsWindow(lv);
        ASSERT_NE(rows, nullptr);
        wxKeyEvent key(wxEVT_KEY_DOWN);
        key.m_keyCode = key_code;
        key.SetEventObject(rows);
        if (rows->GetEventHandler()->ProcessEvent(key)) return;
        key.SetEventType(wxEVT_CHAR);
        rows->GetEventHandler()->ProcessEvent(key);
    }

    // The child of the generic list that draws the rows, below the header.
    static wxWindow* RowsWindow(QelListView* lv)
    {
        wxWindow* rows = nullptr;
        for (wxWindow* child : lv->GetChildren())
            if (rows == nullptr || child->GetPosition().y > rows->GetPosition().y) rows = child;
        return rows;
    }

    CountingList* m_List = nullptr;
};

TEST_F(ListViewTest, SortOrdersRowsByTheColumnsValues)
{
    const std::tuple<const char*, QelSortType, bool, const char*> cases[] = {
        {"Count", SORT_ASCENDING, false, "C,a,b,d"},
        {"Ratio", SORT_ASCENDING, false, "d,a,b,C"}, // 2.1 and 2.9 not truncated alike
        {"When", SORT_ASCENDING, false, "a,d,C,b"},  // times before the epoch are negative
        {"Name", SORT_ASCENDING, false, "a,b,C,d"},
        {"Name", SORT_ASCENDING, true, "C,a,b,d"},
    };
    for (const auto& [column, method, match_case, names] : cases) {
        SCOPED_TRACE(column);
        QelFindReplaceData::Get()->SetMatchCase(match_case);
        m_List->SortColumn(column, method);
        EXPECT_EQ(Names(m_List), names);
    }

    // A date that cannot be sorts as the epoch; equal keys keep their order.
    CountingList* dates = MakeList(m_Frame,
                                   {{"x", "", "", "2020-13-01 00:00:00"},
                                    {"y", "", "", "1999-12-31 23:59:59"},
                                    {"z", "", "", "1970-01-01 00:00:00"},
                                    {"w", "", "", "2000-01-01 00:00:00"}});
    dates->SortColumn("When", SORT_ASCENDING);
    EXPECT_EQ(Names(dates), "x,z,y,w");
}

// Header clicks toggle a fresh column ascending, then descending, and run the
// hooks; unknown columns do nothing.
TEST_F(ListViewTest, HeaderClicksAndSortHooks)
{
    wxListEvent click(wxEVT_LIST_COL_CLICK, m_List->GetId());
    click.SetEventObject(m_List);
    click.SetColumn(2);
    m_List->ProcessWindowEvent(click);
    EXPECT_EQ(Names(m_List), "d,a,b,C");
    m_List->ProcessWindowEvent(click);
    EXPECT_EQ(Names(m_List), "C,b,a,d");
    EXPECT_EQ(m_List->m_Updates * 10 + m_List->m_AfterSorts, 22);
    m_List->SortColumn("Nope", SORT_TOGGLE);
    m_List->SortColumn(4, SORT_TOGGLE);
    EXPECT_EQ(Names(m_List), "C,b,a,d");
    EXPECT_EQ(m_List->GetSortedColumn(), 2);
}

TEST_F(ListViewTest, TextFormIsReadCellByCell)
{
    // Empty lines and empty cells give no token; extra cells are dropped.
    const std::tuple<const char*, bool, const char*> cases[]
        = {{"", false, ""},
           {"x\t1\t1.5\ty\nz\t2", true, "x|1|1.5|y;z|2||"},
           {"\n\nx\t\t3\n", true, "x|3||"},
           {"\t\t", true, "\t\t|||"},
           {"a\tb\tc\td\te", true, "a|b|c|d"}};
    for (const auto& [text, added, rows] : cases) {
        m_List->DeleteAllItems();
        EXPECT_EQ(m_List->ItemFromText(text), added) << text;
        EXPECT_EQ(Dump(m_List), rows);
    }
}

TEST_F(ListViewTest, CopyCutAndPasteCarryTheTextForm)
{
    qeltest::ClipboardLock lock;
    ASSERT_TRUE(QelClipboardAdd("kept"));
    Command(m_List, wxID_COPY); // nothing selected
    EXPECT_EQ(QelClipboardGet(), "kept");

    m_List->Select(0);
    m_List->Select(2);
    Command(m_List, wxID_COPY);
    EXPECT_EQ(QelClipboardGet(),
              "b\t10\t2.9\t2020-01-01 00:00:00\nC\t-3\t10.5\t1970-01-01 00:00:01\n");
    CountingList* other = MakeList(m_Frame);
    Command(other, wxID_PASTE);
    EXPECT_EQ(Dump(other), "b|10|2.9|2020-01-01 00:00:00;C|-3|10.5|1970-01-01 00:00:01");
    Command(m_List, wxID_CUT);
    EXPECT_EQ(Names(m_List), "a,d");
    EXPECT_EQ(QelClipboardGet(), other->ItemToText(0) + "\n" + other->ItemToText(1) + "\n");

    ListViewDropTarget target(m_List); // no drop while rows are selected
    m_List->Select(1);
    EXPECT_FALSE(target.OnDropText(0, 0, "e\t5"));
    m_List->Select(1, false);
    EXPECT_TRUE(target.OnDropText(0, 0, "e\t5"));
    EXPECT_EQ(Names(m_List), "a,d,e");

    wxClipboardLocker locker; // give the clipboard up for the tests that follow
    wxTheClipboard->Clear();
}

TEST_F(ListViewTest, DeleteSelectsTheRowAfterTheLastDeleted)
{
    const std::tuple<std::vector<long>, const char*, const char*> cases[] = {
        {{2, 5}, "r0,r1,r3,r4,r6", "4"},
        {{6}, "r0,r1,r2,r3,r4,r5", ""},
        {{}, "r0,r1,r2,r3,r4,r5,r6", ""},
    };
    for (const auto& [selected, rows_left, selected_after] : cases) {
        CountingList* lv = MakeList(m_Frame);
        for (int i = 0; i < 7; i++) Fill(lv, {{wxString::Format("r%d", i)}});
        for (long row : selected) lv->Select(row);
        Command(lv, wxID_DELETE);
        EXPECT_EQ(Names(lv), rows_left);
        EXPECT_EQ(Selected(lv), selected_after) << rows_left;
        EXPECT_EQ(lv->m_Updates, selected.empty() ? 0 : 1);
    }
}

// The focus stayed where the user had left it when the list picked a row
// itself; on GTK the next plain click then kept both rows selected, and a
// Delete removed the row the user had not picked.
TEST_F(ListViewTest, AClickAfterTheListPickedARowSelectsThatRowAlone)
{
    m_Frame->SetSize(400, 900);
    const struct {
        const char* name;
        std::function<void(QelListView*)> pick;
        long picked;  // the one row selected
        int key = 0;  // a plain arrow key moves on, else a click on the row below
        long to = -1; // the row moved to, else the row below
    } rows[] = {
        {"GoTo", [](QelListView* lv) { wxTEST_DIALOG(lv->GotoDialog(), qeltest::ExpectNumber(3)); },
         2},
        {"Find", [](QelListView* lv) { lv->FindNext("r5", true); }, 5},
        {"AfterDelete",
         [](QelListView* lv) {
             Click(lv, 4);
             Click(lv, 6, wxMOD_SHIFT);
             Command(lv, wxID_DELETE);
         },
         4},
        // The user alone can leave one row selected and the focus elsewhere.
        {"CtrlClickedOff",
         [](QelListView* lv) {
             Click(lv, 2);
             Click(lv, 7, wxMOD_CONTROL);
             Click(lv, 7, wxMOD_CONTROL);
         },
         2},
        // An arrow key after these kept the rows selected beside its own.
        {"CtrlClickedOffThenArrow",
         [](QelListView* lv) {
             Click(lv, 2);
             Click(lv, 7, wxMOD_CONTROL);
             Click(lv, 7, wxMOD_CONTROL);
         },
         2, WXK_DOWN, 8},
        {"InvertThenArrow",
         [](QelListView* lv) {
             Click(lv, 0);
             Click(lv, 28, wxMOD_SHIFT);
             Command(lv, ID_EDIT_SELECT_INVERT);
         },
         29, WXK_UP, 27},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        m_List->DeleteAllItems();
        for (int i = 0; i < 30; i++) Fill(m_List, {{wxString::Format("r%d", i)}});
        m_Frame->SendSizeEvent();
        row.pick(m_List);
        ASSERT_EQ(Selected(m_List).utf8_string(), std::to_string(row.picked));
        const long to = row.to == -1 ? row.picked + 1 : row.to;
        const wxString picked = m_List->GetItemText(row.picked);
        const wxString clicked = m_List->GetItemText(to);
        row.key == 0 ? Click(m_List, to) : Key(m_List, row.key);
        EXPECT_EQ(Selected(m_List).utf8_string(), std::to_string(to));
        const int before = m_List->GetItemCount();
        Command(m_List, wxID_DELETE);
        EXPECT_EQ(m_List->GetItemCount(), before - 1);
        const wxString names = "," + Names(m_List) + ",";
        EXPECT_TRUE(names.Contains("," + picked + ",")) << names;
        EXPECT_FALSE(names.Contains("," + clicked + ",")) << names;
    }
}

TEST_F(ListViewTest, RowsInsertedAboveMoveTheSelectionDown)
{
    m_List->Select(1);
    m_List->Focus(1);
    m_List->InsertItem(0, "e");
    m_List->InsertItem(4, "f");
    EXPECT_EQ(Names(m_List), "e,b,a,C,f,d");
    EXPECT_EQ(Selected(m_List), "2");
    EXPECT_EQ(m_List->GetFocusedItem(), 2); // the focus stays with its row too
}

// The control keeps the selection, the focus and the view by row number:
// rows deleted in one go leave the rows below them as they were.
TEST_F(ListViewTest, RowsDeletedInOneGoLeaveTheRowsBelowAsTheyWere)
{
    const struct {
        const char* name;
        long first, count;
        std::vector<long> selected;
        long focused;
        const char *selected_after, *focused_after;
        bool top_stays; // the first row in view, else the view shows the last rows
    } cases[] = {
        {"AboveTheSelection", 1, 100, {150, 160}, 160, "r150,r160", "r160", true},
        {"AroundTheSelection", 10, 20, {5, 15, 40}, 15, "r5,r40", "r30", true},
        {"PastTheEnd", 190, 50, {195}, 195, "", "", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        m_List->DeleteAllItems();
        for (int i = 0; i < 200; i++) Fill(m_List, {{wxString::Format("r%d", i), "1"}});
        for (long row : c.selected) m_List->Select(row);
        m_List->Focus(c.focused);
        m_List->EnsureVisible(199);
        qeltest::Pump(0);
        const long top = m_List->GetTopItem();
        const wxString top_text = m_List->GetItemText(top);
        EXPECT_EQ(m_List->DeleteItems(c.first, c.count), std::min(c.count, 200 - c.first));
        qeltest::Pump(0);
        wxString selected;
        for (long row = m_List->GetFirstSelected(); row != -1; row = m_List->GetNextSelected(row))
            selected << (selected.empty() ? "" : ",") << m_List->GetItemText(row);
        EXPECT_EQ(selected, c.selected_after);
        EXPECT_EQ(m_List->GetItemText(m_List->GetFocusedItem()), c.focused_after);
        const long last = m_List->GetItemCount() - 1;
        EXPECT_EQ(m_List->GetItemText(m_List->GetTopItem()),
                  c.top_stays ? top_text : m_List->GetItemText(last - (199 - top)));
        EXPECT_EQ(m_List->GetTextLength(), Dump(m_List).length() - 4 * last - 3); // no "|", ";"
    }
    // In list view the control holds the rows, and deletes them itself.
    m_List->SetWindowStyleFlag(wxLC_LIST);
    m_List->DeleteAllItems();
    for (int i = 0; i < 10; i++) Fill(m_List, {{wxString::Format("r%d", i)}});
    m_List->Select(5);
    EXPECT_EQ(m_List->DeleteItems(std::vector<bool>{false, true, true}), 2);
    EXPECT_EQ(m_List->DeleteItems(2, 3), 3);
    EXPECT_EQ(Names(m_List), "r0,r3,r7,r8,r9");
    EXPECT_EQ(m_List->GetSelectedItemCount(), 0);
    EXPECT_EQ(m_List->GetTextLength(), 10u);
}

TEST_F(ListViewTest, StatusBarCountsRowsAndSelection)
{
    auto* frame = new QelFrame(nullptr, wxID_ANY, "counts");
    frame->SetupStatusBar({QelStatusBarPane(), QelStatusBarPane("PaneInfo", 60)});
    CountingList* lv = MakeList(frame, kRows);
    lv->Select(0);
    lv->Select(2);
    Command(lv, wxID_DELETE);
    EXPECT_EQ(frame->GetStatusBar()->GetStatusText(1), "2,1");
    Command(lv, wxID_CLEAR);
    EXPECT_EQ(frame->GetStatusBar()->GetStatusText(1), "0");
    frame->Destroy();
    qeltest::Pump(0);
}

// A sort, an insert or a delete above selected rows keeps their selection
// without telling of each row selected again: the output of a run that the
// user selected all of took seconds at each drop of its oldest rows. The
// status bar takes the count once, when it changed.
TEST_F(ListViewTest, MovedRowsKeepTheirSelectionWithoutAnEventForEach)
{
    auto* frame = new QelFrame(nullptr, wxID_ANY, "moves");
    frame->SetupStatusBar({QelStatusBarPane(), QelStatusBarPane("PaneInfo", 60)});
    CountingList* lv = MakeList(frame);
    int events = 0;
    const auto count = [&events](wxListEvent& event) {
        ++events;
        event.Skip();
    };
    lv->Bind(wxEVT_LIST_ITEM_SELECTED, count);
    lv->Bind(wxEVT_LIST_ITEM_DESELECTED, count);
    const struct {
        const char* name;
        std::function<void(QelListView*)> move;
        const char* status; // "-": as it was
    } cases[] = {
        {"Sort", [](QelListView* l) { l->SortColumn("Name", SORT_DESCENDING); }, "-"},
        {"InsertAbove", [](QelListView* l) { l->InsertItem(0, "x"); }, "-"},
        {"DeleteAbove", [](QelListView* l) { l->DeleteItems(0, 5); }, "-"},
        {"DeleteSelected", [](QelListView* l) { l->DeleteItems(5, 10); }, "10,5"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        lv->DeleteAllItems();
        for (int i = 0; i < 20; i++) Fill(lv, {{wxString::Format("r%02d", i)}});
        for (long row = 10; row < 20; row++) lv->Select(row);
        events = 0;
        frame->GetStatusBar()->SetStatusText("-", 1);
        c.move(lv);
        EXPECT_EQ(events, 0);
        EXPECT_EQ(lv->GetSelectedItemCount(), c.status[0] == '-' ? 10 : 5);
        EXPECT_EQ(frame->GetStatusBar()->GetStatusText(1), c.status);
    }
    frame->Destroy();
    qeltest::Pump(0);
}

TEST_F(ListViewTest, FindSelectsTheMatchingRowAndWrapsOnce)
{
    const struct {
        long selected; // -1: none
        const char* text;
        bool down, match_case, match_word, found;
        const char* selected_after;
        std::vector<const char*> reports;
    } cases[] = {
        {0, "", true, false, false, false, "0", {}},
        {-1, "c", true, false, false, true, "2", {}}, // case ignored
        {-1, "10", true, false, true, true, "0", {}}, // whole cell
        {0, "10", true, false, false, true, "2", {}}, // part of a cell
        {3, "b", false, false, false, true, "0", {}}, // upward
        // The wrapped pass selects the row, but the search still answers false.
        {2, "a", true, false, false, false, "1", {"hit bottom"}},
        {-1, "c", true, true, false, false, "", {"hit bottom", "not found"}},
        {1, "zzz", false, false, false, false, "1", {"hit top", "not found"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.text) + " from " + std::to_string(c.selected));
        QelFindReplaceData::Get()->SetMatchCase(c.match_case);
        QelFindReplaceData::Get()->SetMatchWord(c.match_word);
        m_List->DeleteAllItems();
        Fill(m_List, kRows);
        if (c.selected != -1) m_List->Select(c.selected);
        qeltest::LogCapture log;
        EXPECT_EQ(m_List->FindNext(c.text, c.down), c.found);
        EXPECT_EQ(Selected(m_List), c.selected_after);
        ASSERT_EQ(log.Records().size(), c.reports.size()) << log.Dump();
        for (size_t i = 0; i < c.reports.size(); i++)
            EXPECT_TRUE(log.Records()[i].text.Contains(c.reports[i])) << log.Dump();
    }
}

// A right click on the rows offers the list's menu, one on a column header
// the two sorts, which then sort that column.
TEST_F(ListViewTest, RightClicksOfferTheirMenus)
{
    wxString offered;
    m_List->Bind(wxEVT_MENU_OPEN, [&offered](wxMenuEvent& event) {
        for (const wxMenuItem* item : event.GetMenu()->GetMenuItems())
            offered << item->GetItemLabelText() << ";";
        // The toolkit's popup runs until dismissed: this one ends once shown.
        event.GetMenu()->m_popupShown = false;
    });
    const struct {
        long selected; // -1: none
        wxEventType click;
        const char* offered; // a separator is an empty label
    } rows[] = {
        {-1, wxEVT_RIGHT_DOWN, "Paste;Select All;Clear;Invert;;Sort On;"},
        {0, wxEVT_RIGHT_DOWN, "Cut;Copy;Paste;Deselect All;Invert;Delete;"},
        {-1, wxEVT_LIST_COL_RIGHT_CLICK, "Ascending;Descending;"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.offered);
        offered.clear();
        if (row.selected >= 0) m_List->Select(row.selected);
        // A popup needs the display's pointer, which another program may
        // hold a moment.
        for (int attempt = 0; attempt < 50 && offered.empty(); attempt++, qeltest::Pump(20)) {
            if (row.click == wxEVT_RIGHT_DOWN) {
                wxMouseEvent click(row.click);
                m_List->ProcessWindowEvent(click);
            } else {
                wxListEvent click(row.click, m_List->GetId());
                click.SetColumn(1);
                m_List->ProcessWindowEvent(click);
            }
        }
        EXPECT_EQ(offered.utf8_string(), row.offered);
    }
    Command(m_List, wxID_SORT_DESCENDING);
    EXPECT_EQ(Names(m_List), "d,b,a,C");
}

// A cell of a megabyte held the window for seconds at each paint, arrow key
// and scroll: the control lays out the whole text it is given, and cuts a
// text too wide one character at a time. It is given what fills the column
// (the start of the cell in the other views); the list keeps the cell.
TEST_F(ListViewTest, TheControlIsGivenTheStartOfALongCell)
{
    const wxString cell = "start " + wxString('x', 1 << 20);
    const std::tuple<const char*, long, int> rows[] = {{"ReportFirstColumn", wxLC_REPORT, 0},
                                                       {"ReportLaterColumn", wxLC_REPORT, 3},
                                                       {"SmallIcons", wxLC_SMALL_ICON, 0}};
    for (const auto& [name, style, col] : rows) {
        SCOPED_TRACE(name);
        CountingList* lv = MakeList(m_Frame, kRows);
        lv->SetItem(1, col, cell);
        lv->SetWindowStyleFlag(style);
        const wxListView* control = lv;
        const wxString shown = control->GetItemText(1, col);
        EXPECT_TRUE(shown.length() > 1 && cell.StartsWith(shown)) << shown.length();
        if (style == wxLC_REPORT) {
            EXPECT_LE(shown.length(), lv->GetColumnWidth(col) + 1u); // and the ellipsis
            lv->SetColumnWidth(col, 2000);
            EXPECT_GT(control->GetItemText(1, col).length(), shown.length());
        } else {
            EXPECT_EQ(shown.length(), QelListView::SHOWN_CELL_LENGTH);
        }
        EXPECT_EQ(control->GetItemText(0, col), kRows[0][col]);
        EXPECT_EQ(lv->GetItemText(1, col), cell);
    }
}

TEST_F(ListViewTest, PageIsATableWithEscapedCells)
{
    m_List->DeleteAllItems();
    Fill(m_List, {{"a<b", "1", "2.5", "x & \"y\""}});
    EXPECT_TRUE(m_List->BuildPage().Contains(
        "<td>a&lt;b\n<td>1\n<td>2.5\n<td>x &amp; &quot;y&quot;\n</TABLE>"))
        << m_List->BuildPage();
}

} // namespace
