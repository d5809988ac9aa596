// The grid on real windows: paste, the clipboard shared with another program,
// find, drops and drags, the printed page, its status pane and the statistics
// view.
#include <cstdio>
#include <functional>
#include <memory>

#include <gtest/gtest.h>
#include <wx/clipbrd.h>
#include <wx/fdrepdlg.h>
#include <wx/filename.h>
#include <wx/html/htmlwin.h>

#include <qelkit/frame.h>
#include <qelkit/frd.h>
#include <qelkit/grid.h>
#include <qelkit/status.h>

#include "frames.h"
#include "testing.h"

// Cells show as (row, column) in failures.
void PrintTo(const wxGridCellCoords& coords, std::ostream* os)
{
    *os << "(" << coords.GetRow() << ", " << coords.GetCol() << ")";
}

namespace {

// A grid whose drag ends can be driven without a pointer.
class DragGrid : public QelGrid {
public:
    using QelGrid::BeginDrag;
    using QelGrid::EndDrag;
    using QelGrid::QelGrid;
};

// A hidden frame with a grid holding "v<row><column>" in every cell.
class GridTest : public qeltest::EditorTest {
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        m_Frame->SetSize(320, 200);
        Reset(10, 3);
    }

    // A fresh grid; cells "r,c=text" given blank-separated get that text.
    void Reset(int rows, int cols, const wxString& cells = "")
    {
        m_Frame->DestroyChildren();
        m_Grid = new DragGrid(m_Frame, wxID_ANY, wxDefaultPosition, wxSize(300, 180));
        m_Grid->CreateGrid(rows, cols);
        for (int row = 0; row < rows; ++row)
            for (int col = 0; col < cols; ++col) m_Grid->SetCellValue(row, col, Initial(row, col));
        int row = 0;
        int col = 0;
        for (const wxString& cell : wxSplit(cells, ' '))
            if (sscanf(cell.c_str(), "%d,%d=", &row, &col) == 2)
                m_Grid->SetCellValue(row, col, cell.AfterFirst('='));
    }

    static wxString Initial(int row, int col) { return wxString::Format("v%d%d", row, col); }

    // The cells that differ from their initial text, as "r,c=text ...".
    std::string Changes() const
    {
        wxString text;
        for (int row = 0; row < m_Grid->GetNumberRows(); ++row)
            for (int col = 0; col < m_Grid->GetNumberCols(); ++col)
                if (m_Grid->GetCellValue(row, col) != Initial(row, col))
                    text += wxString::Format("%d,%d=", row, col) + m_Grid->GetCellValue(row, col)
                        + " ";
        return text.Trim().utf8_string();
    }

    // Selects blocks "top,left,bottom,right" given blank-separated.
    void Select(const wxString& blocks)
    {
        m_Grid->ClearSelection();
        int b[4];
        for (const wxString& block : wxSplit(blocks, ' '))
            if (sscanf(block.c_str(), "%d,%d,%d,%d", &b[0], &b[1], &b[2], &b[3]) == 4)
                m_Grid->SelectBlock(b[0], b[1], b[2], b[3], true);
    }

    void Command(int id)
    {
        wxCommandEvent event(wxEVT_MENU, id);
        m_Grid->ProcessWindowEvent(event);
    }

    // Drops text at the place where the cell is shown now, as the toolkit would.
    bool DropOnCell(int row, int col, const wxString& text)
    {
        const wxRect rect = m_Grid->CellToRect(row, col);
        const wxPoint at = m_Grid->CalcScrolledPosition(rect.GetPosition() + wxPoint(2, 2));
        return Target()->OnDropText(at.x, at.y, text);
    }
    QelTextDropTarget* Target()
    {
        return static_cast<QelTextDropTarget*>(m_Grid->GetGridWindow()->GetDropTarget());
    }

    DragGrid* m_Grid = nullptr;
};

TEST_F(GridTest, PasteFillsCellsFromTheStart)
{
    struct {
        const char* name;
        wxGridCellCoords start;
        const char* data;
        const char* changes;
    } const cases[] = {
        // Runs of separators count as one, as the toolkit's tokenizer splits.
        {"EmptyValueDoesNotKeepItsPlace", {0, 0}, "x\t\ty", "0,0=x 0,1=y"},
        {"EmptyLineDoesNotKeepItsPlace", {0, 0}, "a\n\nb\n", "0,0=a 1,0=b"},
        {"SurplusValuesDropped", {2, 1}, "a\tb\tc", "2,1=a 2,2=b"},
        {"ReadOnlyCellUsesUpItsValue", {8, 0}, "a\tb\tc", "8,0=a 8,2=c"},
        {"LinesBelowLastRowDropped", {9, 2}, "a\nb\n", "9,2=a"},
        {"NoCursorWritesNothing", {-1, -1}, "z", ""},
    };
    for (const auto& c : cases) {
        Reset(10, 3);
        m_Grid->SetReadOnly(8, 1);
        m_Grid->SetCellsValue(c.start, c.data);
        EXPECT_EQ(Changes(), c.changes) << c.name;
        EXPECT_EQ(m_Grid->GetNumberRows(), 10) << c.name;
    }
}

// Reads the clipboard with another program, served by us meanwhile.
std::string ClipboardByXclip(const qeltest::TempDir& temp)
{
    const wxString out = temp.File("clip");
    if (wxFileName::FileExists(out)) wxRemoveFile(out);
    const wxString part = qeltest::ShellQuote(out + ".part");
    qeltest::Run("(timeout 10 xclip -o -selection clipboard > " + part + "; mv " + part + " "
                 + qeltest::ShellQuote(out) + ") >/dev/null 2>&1 &");
    if (!qeltest::PumpUntil([&] { return wxFileName::FileExists(out); }, 10000)) return "(none)";
    return qeltest::ReadBytes(out);
}

TEST_F(GridTest, BlockThroughTheClipboard)
{
    if (qeltest::Run("command -v xclip").empty()) GTEST_SKIP() << "xclip is not installed";
    qeltest::ClipboardLock lock;

    Select("0,1,0,1 2,0,2,0 2,2,2,2"); // the selected cells need not touch
    Command(wxID_COPY);
    EXPECT_EQ(ClipboardByXclip(m_Temp), "v01\nv20\tv22\n");

    // A block that another program copied lands at the cursor. Ask for it
    // only once this process has seen that it lost the clipboard: the toolkit
    // would handle that notice inside its wait for an answer, which ends the
    // wait early, and take the late answer for a later request (an assertion,
    // or a write through a data object already gone).
    qeltest::Run(
        "printf 'h\\303\\251\\tb\\nc\\td\\n' | xclip -selection clipboard >/dev/null 2>&1");
    ASSERT_TRUE(qeltest::PumpUntil(
        [] { return !wxTheClipboard->GTKGetDataObject(wxTheClipboard->GTKGetClipboardAtom()); },
        10000));
    EXPECT_EQ(QelClipboardGet(), wxString::FromUTF8("h\xc3\xa9\tb\nc\td\n"));
    Select("");
    m_Grid->SetGridCursor(5, 1);
    Command(wxID_PASTE);
    EXPECT_EQ(Changes(), "5,1=h\xc3\xa9 5,2=b 6,1=c 6,2=d");

    // Cut puts the block on the clipboard and empties it, read-only cells aside.
    m_Grid->SetReadOnly(6, 2);
    Select("5,1,6,2");
    Command(wxID_CUT);
    EXPECT_EQ(ClipboardByXclip(m_Temp), "h\xc3\xa9\tb\nc\td\n");
    EXPECT_EQ(Changes(), "5,1= 5,2= 6,1= 6,2=d");
}

TEST_F(GridTest, FindWalksColumnsAndWrapsOnce)
{
    struct {
        const char* name;
        const char* cells;
        const char* text;
        bool down;
        int flags;
        bool found;
        wxGridCellCoords where; // the cursor starts at (1, 1) or (1, 0)
    } const cases[] = {
        {"NextRowOfTheColumn", "4,0=xx 0,1=xx", "xx", true, 0, true, {4, 0}},
        // The wrapped pass moves the cursor, yet the call reports false.
        {"WrapFindsTheOnlyMatch", "0,0=xx", "xx", true, 0, false, {0, 0}},
        {"BackwardFromTheBottom", "5,0=xx 9,0=xx 1,2=xx", "xx", false, 0, true, {9, 0}},
        {"BackwardWrap", "5,2=xx", "xx", false, 0, false, {5, 2}},
        {"CaseIgnoredContains", "5,0=xaby", "Ab", true, 0, true, {5, 0}},
        {"CaseMatters", "5,0=xaby", "Ab", true, wxFR_MATCHCASE, false, {1, 0}},
        {"WholeCellOnly", "4,0=xaby 9,0=AB", "ab", true, wxFR_WHOLEWORD, true, {9, 0}},
        {"EmptyText", "4,0=", "", true, 0, false, {1, 0}},
    };
    for (const auto& c : cases) {
        Reset(10, 3, c.cells);
        QelFindReplaceData::Get()->SetFlags(c.flags);
        m_Grid->SetGridCursor(1, c.down ? 0 : 1);
        EXPECT_EQ(m_Grid->FindNext(c.text, c.down), c.found) << c.name;
        EXPECT_EQ(m_Grid->GetGridCursorCoords(), c.where) << c.name;
    }

    // The find dialog's events search for the find text in its direction.
    QelFindReplaceData::Get()->SetFindString("v52");
    QelFindReplaceData::Get()->SetFlags(wxFR_DOWN);
    wxFindDialogEvent event(wxEVT_FIND_NEXT);
    m_Grid->ProcessWindowEvent(event);
    EXPECT_EQ(m_Grid->GetGridCursorCoords(), wxGridCellCoords(5, 2));
    // The find text comes from a one-line selection.
    Select("5,1,5,2");
    EXPECT_EQ(m_Grid->GetFindString(), "v51\tv52");

    Reset(0, 0);
    EXPECT_FALSE(m_Grid->FindNext("x", true));
    EXPECT_FALSE(m_Grid->FindNext("x", false));
}

TEST_F(GridTest, DropsLandUnderThePointerUnlessTheyWouldHarmCells)
{
    m_Grid->SetReadOnly(2, 2);
    Select("4,0,5,1");
    const struct {
        const char* name;
        wxGridCellCoords at;
        const char* data;
    } cases[] = {{"SecondLineOntoTheSelection", {3, 0}, "a\nb\n"},
                 {"OntoAReadOnlyCell", {2, 1}, "a\tb\n"},
                 {"TwoLinesFromTheLastRow", {9, 0}, "a\nb\n"}};
    for (const auto& c : cases)
        EXPECT_FALSE(m_Grid->IsAllowedDropSelection(c.at, c.data)) << c.name;
    EXPECT_FALSE(DropOnCell(4, 0, "a\n"));
    EXPECT_FALSE(Target()->OnDropText(5000, 5000, "a"));
    EXPECT_EQ(Changes(), "");

    Reset(60, 3);
    m_Grid->MakeCellVisible(40, 0);
    ASSERT_GT(m_Grid->GetViewStart().y, 0);
    EXPECT_TRUE(DropOnCell(40, 1, "p\tq\n"));
    EXPECT_EQ(Changes(), "40,1=p 40,2=q");
}

TEST_F(GridTest, OnlyAnAcceptedMoveEmptiesTheSource)
{
    struct {
        const char* name;
        wxDragResult result;
        int dropRow; // where a grid of ours took the drop first, -1 for none
        const char* changes;
        bool selected;
    } const cases[] = {
        {"CopyKeepsTheSource", wxDragCopy, -1, "", false},
        {"MoveElsewhere", wxDragMove, -1, "0,0= 0,1= 1,0= 1,1=", false},
        {"MoveWithinTheGrid", wxDragMove, 5, "0,0= 0,1= 1,0= 1,1= 5,0=v00 5,1=v01 6,0=v10 6,1=v11",
         false},
        // GTK may report the move it offered although our grid refused it.
        {"MoveRefusedHere", wxDragMove, 1, "", true},
        {"Cancel", wxDragCancel, -1, "", true},
    };
    for (const auto& c : cases) {
        Reset(10, 3);
        Select("0,0,1,1");
        m_Grid->BeginDrag();
        if (c.dropRow >= 0) DropOnCell(c.dropRow, 0, m_Grid->GetSelectedCellsValue());
        m_Grid->EndDrag(c.result);
        EXPECT_EQ(Changes(), c.changes) << c.name;
        EXPECT_EQ(m_Grid->IsSelection(), c.selected) << c.name;
    }
}

TEST_F(GridTest, PrintedPageEscapesCellsAndLabels)
{
    // Cell and label texts are text, not mark-up.
    Reset(1, 2, "0,0=<b>a&b</b> 0,1=");
    m_Grid->SetColLabelValue(0, "x<y");
    auto* html = new wxHtmlWindow(m_Frame);
    html->SetPage(m_Grid->BuildPage());
    EXPECT_TRUE(html->ToText().Contains("x<y") && html->ToText().Contains("<b>a&b</b>"))
        << html->ToText();
}

TEST_F(GridTest, PaneInfoShowsTheCellOrTheSelectionSize)
{
    auto frame = std::make_unique<qeltest::RecordingFrame>();
    QelStatusBar* bar
        = frame->SetupStatusBar({QelStatusBarPane(-3), QelStatusBarPane("PaneInfo", 80)});
    m_Grid = new DragGrid(frame.get());
    m_Grid->CreateGrid(10, 3);
    const std::pair<std::function<void()>, const char*> panes[] = {
        {[&] { m_Grid->SetGridCursor(4, 2); }, "3,5"}, // column, then row
        {[&] { m_Grid->SelectBlock(1, 0, 2, 1); }, "4"},
        {[&] { m_Grid->SelectRow(5); }, "3"},
        {[&] { m_Grid->SelectBlock(7, 0, 7, 0, true); }, "4"},
    };
    for (const auto& c : panes) {
        c.first();
        EXPECT_EQ(bar->GetStatusText(bar->GetFieldNo("PaneInfo")), c.second);
    }
}

TEST_F(GridTest, StatisticsViewFollowsItsTable)
{
    QelStatistics<long> statistics;
    statistics.Set("Lines", 3);
    auto* view = new QelGridStatistics<long>(statistics, m_Frame);
    statistics.Inc("Lines", 2);
    statistics.Set("Files", 1);
    QelStatistics<long> copy = statistics; // shares the view
    copy.Set("Files", 7);
    ASSERT_EQ(view->GetNumberRows(), 2);
    EXPECT_EQ(view->GetCellValue(0, 1) + view->GetCellValue(1, 0) + view->GetCellValue(1, 1),
              "5Files7");

    delete view; // the table outlives its view
    EXPECT_EQ(statistics.Set("Lines", 9), 9);
}

} // namespace
