// The table control on a real grid in a hidden frame: exchange text, paste
// rules, the clipboard shared with another program, find, drops onto a
// scrolled grid, the end of a drag, the printed page, the popup's entries
// and the statistics view.
#include <array>
#include <functional>
#include <memory>
#include <vector>

#include <gtest/gtest.h>
#include <wx/fdrepdlg.h>
#include <wx/filefn.h>
#include <wx/filename.h>
#include <wx/frame.h>
#include <wx/html/htmlwin.h>

#include <qelkit/frame.h>
#include <qelkit/frd.h>
#include <qelkit/grid.h>
#include <qelkit/menu.h>
#include <qelkit/status.h>

#include "frames.h"
#include "testing.h"

// Cells show as (row, column) in failures.
void PrintTo(const wxGridCellCoords& coords, std::ostream* os)
{
    *os << "(" << coords.GetRow() << ", " << coords.GetCol() << ")";
}

namespace {

using qeltest::ShellQuote;

// A grid whose drag ends can be driven without a pointer.
class DragGrid : public QelGrid {
public:
    using QelGrid::BeginDrag;
    using QelGrid::EndDrag;
    using QelGrid::QelGrid;
};

using Block = std::array<int, 4>;            // top row, left column, bottom row, right column
using RowText = std::pair<int, const char*>; // a row as "a|b|c"

// A hidden frame with a 10x3 grid holding "v<row><column>".
class GridTest : public qeltest::ConfigTest {
protected:
    void SetUp() override
    {
        ConfigTest::SetUp();
        m_Frame = new wxFrame(nullptr, wxID_ANY, "grid", wxDefaultPosition, wxSize(320, 200));
        m_Grid = MakeGrid(10, 3);
    }
    void TearDown() override
    {
        m_Frame->Destroy();
        qeltest::Pump(0);
        ConfigTest::TearDown();
    }

    DragGrid* MakeGrid(int rows, int cols)
    {
        auto* grid = new DragGrid(m_Frame, wxID_ANY, wxDefaultPosition, wxSize(300, 180));
        grid->CreateGrid(rows, cols);
        for (int row = 0; row < rows; ++row)
            for (int col = 0; col < cols; ++col)
                grid->SetCellValue(row, col, wxString::Format("v%d%d", row, col));
        return grid;
    }

    std::string Row(int row) const
    {
        wxString text;
        for (int col = 0; col < m_Grid->GetNumberCols(); ++col)
            text += (col > 0 ? "|" : "") + m_Grid->GetCellValue(row, col);
        return text.ToStdString();
    }

    void ExpectRows(const std::vector<RowText>& rows) const
    {
        for (const RowText& row : rows)
            EXPECT_EQ(Row(row.first), row.second) << "row " << row.first;
    }

    void Select(const std::vector<Block>& blocks)
    {
        m_Grid->ClearSelection();
        for (const Block& b : blocks) m_Grid->SelectBlock(b[0], b[1], b[2], b[3], true);
    }

    void Command(int id)
    {
        wxCommandEvent event(wxEVT_MENU, id);
        m_Grid->ProcessWindowEvent(event);
    }

    // Drops text where the cell lies on screen now, as the toolkit would.
    bool DropOnCell(DragGrid* grid, int row, int col, const wxString& text)
    {
        const wxRect rect = grid->CellToRect(row, col);
        const wxPoint at = grid->CalcScrolledPosition(rect.GetPosition() + wxPoint(2, 2));
        auto* target = static_cast<QelTextDropTarget*>(grid->GetGridWindow()->GetDropTarget());
        return target->OnDropText(at.x, at.y, text);
    }

    wxFrame* m_Frame = nullptr;
    DragGrid* m_Grid = nullptr;
};

struct SelectionCase {
    const char* name;
    std::vector<Block> blocks;
    const char* text;
};

TEST_F(GridTest, SelectionAsExchangeText)
{
    const SelectionCase cases[] = {
        {"ScatteredCells", {{0, 1, 0, 1}, {2, 0, 2, 0}, {2, 2, 2, 2}}, "v01\nv20\tv22\n"},
        {"Block", {{3, 1, 4, 2}}, "v31\tv32\nv41\tv42\n"},
        {"WholeRow", {{5, 0, 5, 2}}, "v50\tv51\tv52\n"},
        {"Nothing", {}, ""},
    };
    for (const SelectionCase& c : cases) {
        SCOPED_TRACE(c.name);
        Select(c.blocks);
        EXPECT_EQ(m_Grid->GetSelectedCellsValue(), c.text);
    }
}

struct PasteCase {
    const char* name;
    wxGridCellCoords start;
    const char* data;
    std::vector<RowText> rows;
};

TEST_F(GridTest, PasteFillsCellsFromTheStart)
{
    m_Grid->SetReadOnly(8, 1);
    const PasteCase cases[] = {
        // Runs of separators count as one, as the toolkit's tokenizer splits.
        {"EmptyValueDoesNotKeepItsPlace", {0, 0}, "x\t\ty", {{0, "x|y|v02"}}},
        {"EmptyLineDoesNotKeepItsPlace", {0, 0}, "a\n\nb\n", {{0, "a|v01|v02"}, {1, "b|v11|v12"}}},
        {"SurplusValuesDropped", {2, 1}, "a\tb\tc", {{2, "v20|a|b"}}},
        {"ReadOnlyCellUsesUpItsValue", {8, 0}, "a\tb\tc", {{8, "a|v81|c"}}},
        {"LinesBelowLastRowDropped", {9, 2}, "a\nb\n", {{9, "v90|v91|a"}}},
        {"NoCursorWritesNothing", {-1, -1}, "z", {{0, "v00|v01|v02"}}},
    };
    for (const PasteCase& c : cases) {
        SCOPED_TRACE(c.name);
        m_Grid->SetCellsValue(c.start, c.data);
        ExpectRows(c.rows);
        EXPECT_EQ(m_Grid->GetNumberRows(), 10);
        m_Frame->DestroyChildren();
        m_Grid = MakeGrid(10, 3);
        m_Grid->SetReadOnly(8, 1);
    }
}

// Reads the clipboard with another program; we serve it while that runs.
std::string ClipboardByXclip(const qeltest::TempDir& temp)
{
    const wxString out = temp.File("clip");
    if (wxFileName::FileExists(out)) wxRemoveFile(out);
    qeltest::Run("(timeout 10 xclip -o -selection clipboard > " + ShellQuote(out) + ".part; mv "
                 + ShellQuote(out) + ".part " + ShellQuote(out) + ") >/dev/null 2>&1 &");
    if (!qeltest::PumpUntil([&] { return wxFileName::FileExists(out); }, 10000)) return "(none)";
    return qeltest::ReadBytes(out);
}

TEST_F(GridTest, BlockThroughTheClipboard)
{
    if (qeltest::Run("command -v xclip").empty()) GTEST_SKIP() << "xclip is not installed";
    qeltest::ClipboardLock lock;

    Select({{1, 0, 2, 1}});
    Command(wxID_COPY);
    EXPECT_EQ(ClipboardByXclip(m_Temp), "v10\tv11\nv20\tv21\n");

    // A block that another program copied lands at the cursor.
    qeltest::Run("printf 'a\\tb\\nc\\td\\n' | xclip -selection clipboard >/dev/null 2>&1");
    ASSERT_TRUE(qeltest::PumpUntil([] { return QelClipboardGet() == "a\tb\nc\td\n"; }, 10000));
    m_Grid->ClearSelection();
    m_Grid->SetGridCursor(5, 1);
    Command(wxID_PASTE);
    ExpectRows({{4, "v40|v41|v42"}, {5, "v50|a|b"}, {6, "v60|c|d"}, {7, "v70|v71|v72"}});

    // Cut puts the block on the clipboard and empties it, read-only cells aside.
    m_Grid->SetReadOnly(6, 2);
    Select({{5, 1, 6, 2}});
    Command(wxID_CUT);
    EXPECT_EQ(ClipboardByXclip(m_Temp), "a\tb\nc\td\n");
    ExpectRows({{5, "v50||"}, {6, "v60||d"}});
}

struct FindCase {
    const char* name;
    wxGridCellCoords cursor;
    const char* text;
    bool down;
    int flags; // wxFR_MATCHCASE, wxFR_WHOLEWORD
    std::vector<std::pair<wxGridCellCoords, const char*>> cells;
    bool found;
    wxGridCellCoords where;
};

TEST_F(GridTest, FindWalksColumnsAndWrapsOnce)
{
    const wxGridCellCoords xx00(0, 0), xx01(0, 1), xx40(4, 0), xx50(5, 0), xx90(9, 0), xx52(5, 2);
    const FindCase cases[] = {
        {"NextRowOfTheColumn", {1, 0}, "xx", true, 0, {{xx40, "xx"}, {xx01, "xx"}}, true, xx40},
        {"NextColumnFromItsTop", {1, 0}, "xx", true, 0, {{xx00, "xx"}, {xx01, "xx"}}, true, xx01},
        // The wrapped pass moves the cursor, yet the call reports false.
        {"WrapFindsTheOnlyMatch", {1, 0}, "xx", true, 0, {{xx00, "xx"}}, false, xx00},
        {"BackwardFromTheBottom", {1, 1}, "xx", false, 0, {{xx50, "xx"}, {xx90, "xx"}}, true, xx90},
        {"BackwardWrap", {1, 0}, "xx", false, 0, {{xx52, "xx"}}, false, xx52},
        {"NowhereLeavesTheCursor", {1, 0}, "zz", true, 0, {}, false, {1, 0}},
        {"CaseIgnoredContains", {1, 0}, "Ab", true, 0, {{xx50, "xaby"}}, true, xx50},
        {"CaseMatters", {1, 0}, "Ab", true, wxFR_MATCHCASE, {{xx50, "xaby"}}, false, {1, 0}},
        {"WholeCellOnly",
         {1, 0},
         "ab",
         true,
         wxFR_WHOLEWORD,
         {{xx40, "xaby"}, {xx90, "AB"}},
         true,
         xx90},
        {"EmptyText", {1, 0}, "", true, 0, {{xx40, ""}}, false, {1, 0}},
    };
    for (const FindCase& c : cases) {
        SCOPED_TRACE(c.name);
        m_Frame->DestroyChildren();
        m_Grid = MakeGrid(10, 3);
        for (const auto& cell : c.cells) m_Grid->SetCellValue(cell.first, cell.second);
        QelFindReplaceData::Get()->SetFlags(c.flags);
        m_Grid->SetGridCursor(c.cursor);

        EXPECT_EQ(m_Grid->FindNext(c.text, c.down), c.found);
        EXPECT_EQ(m_Grid->GetGridCursorCoords(), c.where);
    }

    // The find dialog's events search for the find text in its direction.
    QelFindReplaceData::Get()->SetFindString("v52");
    QelFindReplaceData::Get()->SetFlags(wxFR_DOWN);
    wxFindDialogEvent event(wxEVT_FIND_NEXT);
    m_Grid->ProcessWindowEvent(event);
    EXPECT_EQ(m_Grid->GetGridCursorCoords(), wxGridCellCoords(5, 2));
}

TEST_F(GridTest, FindInAGridWithoutCells)
{
    m_Frame->DestroyChildren();
    m_Grid = MakeGrid(0, 0);
    EXPECT_FALSE(m_Grid->FindNext("x", true));
    EXPECT_FALSE(m_Grid->FindNext("x", false));
}

TEST_F(GridTest, DropLandsUnderThePointerOnAScrolledGrid)
{
    m_Frame->DestroyChildren();
    m_Grid = MakeGrid(60, 3);
    m_Grid->MakeCellVisible(40, 0);
    ASSERT_GT(m_Grid->GetViewStart().y, 0);

    EXPECT_TRUE(DropOnCell(m_Grid, 40, 1, "p\tq\n"));
    ExpectRows({{40, "v400|p|q"}, {0, "v00|v01|v02"}});
}

struct DropCase {
    const char* name;
    wxGridCellCoords at;
    const char* data;
    bool allowed;
};

TEST_F(GridTest, DropsThatWouldHarmCellsAreRefused)
{
    m_Grid->SetReadOnly(2, 2);
    Select({{4, 0, 5, 1}});
    const DropCase cases[] = {
        {"OntoTheSelection", {4, 0}, "a\n", false},
        {"SecondLineOntoTheSelection", {3, 0}, "a\nb\n", false},
        {"BesideTheSelection", {4, 2}, "a\nb\n", true},
        {"ValuesPastTheLastColumnIgnored", {3, 2}, "a\tb\tc\n", true},
        {"OntoAReadOnlyCell", {2, 1}, "a\tb\n", false},
        {"TwoLinesFromTheLastRow", {9, 0}, "a\nb\n", false},
        {"OneLineAtTheLastRow", {9, 0}, "a\tb\n", true},
        {"NoText", {4, 0}, "", true},
    };
    for (const DropCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(m_Grid->IsAllowedDropSelection(c.at, c.data), c.allowed);
    }
    // A refused drop writes nothing; a point outside the cells takes nothing.
    EXPECT_FALSE(DropOnCell(m_Grid, 9, 0, "a\nb\n"));
    ExpectRows({{9, "v90|v91|v92"}});
    auto* target = static_cast<QelTextDropTarget*>(m_Grid->GetGridWindow()->GetDropTarget());
    EXPECT_FALSE(target->OnDropText(5000, 5000, "a"));
}

struct DragCase {
    const char* name;
    wxDragResult result;
    bool dropHere; // a drop of the dragged text at (5, 0) first
    std::vector<RowText> rows;
    bool selected; // the source stays selected
};

TEST_F(GridTest, OnlyAnAcceptedMoveEmptiesTheSource)
{
    const DragCase cases[] = {
        {"CopyKeepsTheSource", wxDragCopy, false, {{0, "v00|v01|v02"}}, false},
        {"MoveElsewhere", wxDragMove, false, {{0, "||v02"}, {1, "||v12"}}, false},
        {"MoveWithinTheGrid", wxDragMove, true, {{0, "||v02"}, {5, "v00|v01|v52"}}, false},
        {"CancelKeepsEverything", wxDragCancel, false, {{0, "v00|v01|v02"}}, true},
    };
    for (const DragCase& c : cases) {
        SCOPED_TRACE(c.name);
        m_Frame->DestroyChildren();
        m_Grid = MakeGrid(10, 3);
        Select({{0, 0, 1, 1}});
        m_Grid->BeginDrag();
        if (c.dropHere) {
            EXPECT_TRUE(DropOnCell(m_Grid, 5, 0, m_Grid->GetSelectedCellsValue()));
        }
        m_Grid->EndDrag(c.result);
        ExpectRows(c.rows);
        EXPECT_EQ(m_Grid->IsSelection(), c.selected);
    }

    // GTK may report the move it offered although our grid refused the drop.
    Select({{0, 0, 1, 1}});
    m_Grid->BeginDrag();
    EXPECT_FALSE(DropOnCell(m_Grid, 1, 1, m_Grid->GetSelectedCellsValue()));
    m_Grid->EndDrag(wxDragMove);
    ExpectRows({{0, "v00|v01|v02"}, {1, "v10|v11|v12"}});
}

TEST_F(GridTest, PrintedPage)
{
    m_Frame->DestroyChildren();
    m_Grid = MakeGrid(1, 1);
    m_Grid->SetCellValue(0, 0, "");
    m_Grid->SetColLabelSize(0);
    m_Grid->EnableGridLines(false);
    EXPECT_EQ(m_Grid->BuildPage(),
              "<TABLE border=0 cellpadding=4 cellspacing=0 >\n<tr>\n<tr>\n<td>&nbsp\n</TABLE>\n");

    // Cell and label texts are text, not mark-up.
    m_Frame->DestroyChildren();
    m_Grid = MakeGrid(1, 2);
    m_Grid->SetCellValue(0, 0, "<b>a&b</b>");
    m_Grid->SetCellValue(0, 1, "");
    m_Grid->SetColLabelValue(0, "x<y");
    const wxString page = m_Grid->BuildPage();
    EXPECT_EQ(page,
              "<TABLE border=1 cellpadding=4 cellspacing=0 >\n<tr>\n<td><i>x&lt;y</i>\n"
              "<td><i>B</i>\n<tr>\n<td>&lt;b&gt;a&amp;b&lt;/b&gt;\n<td>&nbsp\n</TABLE>\n");
    auto* html = new wxHtmlWindow(m_Frame);
    html->SetPage(page);
    EXPECT_TRUE(html->ToText().Contains("<b>a&b</b>")) << html->ToText();
    EXPECT_TRUE(html->ToText().Contains("x<y")) << html->ToText();
}

struct MenuCase {
    const char* name;
    bool editable;
    bool selection;
    std::vector<int> ids;
};

TEST_F(GridTest, PopupOffersWhatTheGridAllows)
{
    const MenuCase cases[] = {
        {"EditableWithSelection", true, true, {wxID_CUT, wxID_COPY, wxID_PASTE, wxID_DELETE}},
        {"EditableWithout", true, false, {wxID_PASTE, wxID_SELECTALL}},
        {"ReadOnlyWithSelection", false, true, {wxID_COPY}},
        {"ReadOnlyWithout", false, false, {wxID_SELECTALL}},
    };
    for (const MenuCase& c : cases) {
        SCOPED_TRACE(c.name);
        m_Grid->EnableEditing(c.editable);
        Select(c.selection ? std::vector<Block>{{2, 0, 2, 1}} : std::vector<Block>{});
        QelMenu menu(m_Grid->GetMenuStyle());
        m_Grid->BuildPopupMenu(menu);
        std::vector<int> ids;
        for (const wxMenuItem* item : menu.GetMenuItems()) ids.push_back(item->GetId());
        EXPECT_EQ(ids, c.ids);
    }
}

struct PaneCase {
    const char* name;
    std::function<void(QelGrid*)> act;
    const char* info;
};

TEST_F(GridTest, PaneInfoShowsTheCellOrTheSelectionSize)
{
    auto frame = std::make_unique<qeltest::RecordingFrame>();
    QelStatusBar* bar
        = frame->SetupStatusBar({QelStatusBarPane(-3), QelStatusBarPane("PaneInfo", 80)});
    auto* grid = new QelGrid(frame.get());
    grid->CreateGrid(10, 3);

    const PaneCase cases[] = {
        {"CellColumnThenRow", [](QelGrid* g) { g->SetGridCursor(4, 2); }, "3,5"},
        {"Block", [](QelGrid* g) { g->SelectBlock(1, 0, 2, 1); }, "4"},
        {"WholeRow", [](QelGrid* g) { g->SelectRow(5); }, "3"},
        {"RowAndAnotherCell", [](QelGrid* g) { g->SelectBlock(7, 0, 7, 0, true); }, "4"},
    };
    for (const PaneCase& c : cases) {
        SCOPED_TRACE(c.name);
        c.act(grid);
        EXPECT_EQ(bar->GetStatusText(bar->GetFieldNo("PaneInfo")), c.info);
    }
}

TEST_F(GridTest, StatisticsViewFollowsItsTable)
{
    QelStatistics<long> statistics;
    statistics.Set("Lines", 3);
    auto* view = new QelGridStatistics<long>(statistics, m_Frame);
    ASSERT_EQ(view->GetNumberRows(), 1);

    statistics.Inc("Lines", 2);
    statistics.Set("Files", 1);
    QelStatistics<long> copy = statistics; // shares the view
    copy.Set("Files", 7);
    ASSERT_EQ(view->GetNumberRows(), 2);
    EXPECT_EQ(view->GetCellValue(0, 0) + "=" + view->GetCellValue(0, 1), "Lines=5");
    EXPECT_EQ(view->GetCellValue(1, 0) + "=" + view->GetCellValue(1, 1), "Files=7");

    delete view;
    EXPECT_EQ(statistics.Set("Lines", 9), 9);
    EXPECT_EQ(statistics.Get("Lines"), 9);
}

} // namespace
