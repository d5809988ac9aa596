// The printout of a real editor drawn into a memory device context at a
// fixed resolution; never a printer or its dialog.
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <wx/dcmemory.h>
#include <wx/html/htmprint.h>
#include <wx/prntbase.h>

#include <qelkit/printing.h>
#include <qelkit/stc.h>
#include <qelkit/status.h>

#include "testing.h"

namespace {

// Printer and screen alike at `ppi` on a device of 600 by 800 pixels, so
// that the printout draws at its fixed scale of 0.8.
class PrintingTest : public qeltest::EditorTest {
protected:
    QelSTC* Editor(int lines)
    {
        std::string text;
        for (int i = 1; i <= lines; ++i) text += "line " + std::to_string(i) + "\n";
        m_Path = WriteFile("doc.txt", text);
        return new QelSTC(m_Frame, QelFileName(m_Path));
    }
    void Prepare(wxPrintout& printout, int ppi = 72, wxSize page = wxSize(600, 800))
    {
        m_Dc.SelectObject(m_Bitmap);
        m_Dc.SetBackground(*wxWHITE_BRUSH);
        m_Dc.Clear();
        printout.SetDC(&m_Dc);
        printout.SetPPIScreen(ppi, ppi);
        printout.SetPPIPrinter(ppi, ppi);
        printout.SetPageSizePixels(page.x, page.y);
        printout.OnPreparePrinting();
    }
    static wxPageSetupDialogData* PageSetup()
    {
        return QelPrinting::Get()->GetHtmlPrinter()->GetPageSetupData();
    }

    wxString m_Path;
    wxBitmap m_Bitmap{600, 800, 24};
    wxMemoryDC m_Dc;
    double m_Scale = 0; // of the last page printed
};

TEST_F(PrintingTest, PagesBreakAtLineStartsAndEndAtTheDocumentEnd)
{
    for (const int lines : {0, 1, 2000}) {
        SCOPED_TRACE(lines);
        QelSTC* stc = Editor(lines);
        QelPrintout printout(stc);
        wxPrintout& base = printout;
        Prepare(printout);
        const auto& breaks = printout.GetPageBreaks();
        const int count = printout.GetPageCount();
        EXPECT_EQ(count == 0, lines == 0);
        EXPECT_EQ(count > 1, lines == 2000) << count;
        EXPECT_EQ(breaks.back(), stc->GetLength());
        // Full pages hold the same number of lines, each page starting a line.
        for (int i = 1; i < count; ++i) {
            const int line = stc->LineFromPosition(breaks[i]);
            EXPECT_EQ(stc->PositionFromLine(line), breaks[i]) << "page " << i;
            EXPECT_EQ(line, i * stc->LineFromPosition(breaks[1])) << "page " << i;
        }
        for (const int page : {-1, 0, 1, count, count + 1})
            EXPECT_EQ(base.HasPage(page), page >= 1 && page <= count) << "page " << page;
        if (count > 0) {
            EXPECT_TRUE(base.OnPrintPage(count));
        }
        qeltest::ExpectAsserts asserts;
        EXPECT_FALSE(base.OnPrintPage(count + 1));
        EXPECT_EQ(asserts.Count(), 1);
        stc->Destroy();
    }
}

TEST_F(PrintingTest, PagesThatCannotBeCountedEndTheRunCleanly)
{
    const struct {
        const char* name;
        int margins; // millimetres on each side
        wxSize page; // pixels
        bool dc;
        int asserts, errors; // besides the assertion for page 1
    } rows[] = {{"MarginsOverThePaper", 160, {600, 800}, true, 0, 1},
                {"PageOfNoPixels", 5, {0, 0}, true, 0, 0},
                {"NoDeviceContext", 5, {600, 800}, false, 1, 0}};
    QelSTC* stc = Editor(50);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        PageSetup()->SetMarginTopLeft(wxPoint(row.margins, row.margins));
        PageSetup()->SetMarginBottomRight(wxPoint(row.margins, row.margins));
        QelPrintout printout(stc);
        wxPrintout& base = printout;
        qeltest::LogCapture log;
        qeltest::ExpectAsserts asserts;
        Prepare(printout, 72, row.page);
        if (!row.dc) {
            printout.SetDC(nullptr);
            base.OnPreparePrinting();
        }
        EXPECT_EQ(printout.GetPageCount(), 0);
        EXPECT_FALSE(base.OnPrintPage(1));
        EXPECT_EQ(asserts.Count(), row.asserts + 1);
        EXPECT_EQ(log.CountLevel(wxLOG_Error), size_t(row.errors)) << log.Dump();
    }
}

// The image's rows above `top` and below `bottom`, where the header and the
// footer go, as grey levels.
std::string Bands(const wxBitmap& bitmap, int top, int bottom)
{
    const wxImage image = bitmap.ConvertToImage();
    std::string out;
    for (int y = 0; y < image.GetHeight(); ++y)
        for (int x = 0; (y < top || y > bottom) && x < image.GetWidth(); ++x)
            out += char('0' + image.GetRed(x, y) / 64);
    return out;
}

TEST_F(PrintingTest, HeaderAndFooterCarryTheFileAndThePageNumbers)
{
    QelSTC* stc = Editor(300);
    QelPrintout printout(stc);
    wxPrintout& base = printout;
    Prepare(printout);
    const int count = printout.GetPageCount();
    ASSERT_GE(count, 3);

    // The decorations as they should be: header text 23 and its rule 8 units
    // above the print area; footer text from half the right edge, and its
    // rule, on the bottom edge.
    const wxRect r = printout.GetPrintRect();
    const auto decorations = [&](const wxString& footer) {
        wxBitmap bitmap(600, 800, 24);
        wxMemoryDC dc(bitmap);
        dc.SetBackground(*wxWHITE_BRUSH);
        dc.Clear();
        dc.SetUserScale(m_Scale, m_Scale);
        dc.SetFont(wxNORMAL_FONT->Bold());
        dc.DrawText(QelPrintHeader(wxFileName(m_Path)), r.x, r.y - 23);
        dc.DrawLine(r.x, r.y - 8, r.GetRight(), r.y - 8);
        dc.DrawText(footer, r.GetRight() / 2, r.GetBottom());
        dc.DrawLine(r.x, r.GetBottom(), r.GetRight(), r.GetBottom());
        return bitmap;
    };

    for (const int page : {1, count}) {
        SCOPED_TRACE(page);
        m_Dc.Clear();
        ASSERT_TRUE(base.OnPrintPage(page));
        double sy = 0;
        m_Dc.GetUserScale(&m_Scale, &sy);
        EXPECT_NEAR(m_Scale, 0.8, 1e-6);
        const int top = m_Dc.LogicalToDeviceY(r.y) - 2;
        const int bottom = m_Dc.LogicalToDeviceY(r.GetBottom()) + 2;
        m_Dc.SelectObject(wxNullBitmap);
        const std::string printed = Bands(m_Bitmap, top, bottom);
        const auto looksLike = [&](const wxString& footer) {
            return printed == Bands(decorations(footer), top, bottom);
        };
        EXPECT_TRUE(looksLike(wxString::Format("Page %d of %d", page, count)));
        EXPECT_FALSE(looksLike("Page @PAGENUM@ of @PAGESCNT@"));
        m_Dc.SelectObject(m_Bitmap);
    }
}

// The printer asks for the pages before it prepares the printout, and takes
// any range it is given for the one the user chose: a printout not yet
// prepared names no range, so that the print dialog offers all pages rather
// than the first alone; once prepared it names them all.
TEST_F(PrintingTest, PagesOfferedToThePrintDialogAreAllPages)
{
    QelSTC* stc = Editor(300);
    QelPrintout printout(stc);
    wxPrintout& base = printout;
    const auto range = [&base] {
        int min = -9, max = -9, from = -9, to = -9;
        base.GetPageInfo(&min, &max, &from, &to);
        return std::vector<int>{min, max, from, to};
    };
    EXPECT_EQ(range(), (std::vector<int>{1, 0, 1, 0}));
    EXPECT_FALSE(base.HasPage(1));

    Prepare(printout);
    const int count = printout.GetPageCount();
    ASSERT_GE(count, 3);
    EXPECT_EQ(range(), (std::vector<int>{1, count, 1, count}));
    stc->Destroy();
}

// A page printed across (landscape) takes its text across too: every page
// ends on the paper, so more pages are needed than upright, and none of the
// document's lines falls off the bottom edge.
TEST_F(PrintingTest, LandscapePagesKeepTheirTextOnThePaper)
{
    QelSTC* stc = Editor(300);
    int counts[2] = {0, 0};
    for (const bool across : {false, true}) {
        SCOPED_TRACE(across ? "landscape" : "portrait");
        const wxSize page = across ? wxSize(800, 600) : wxSize(600, 800);
        m_Bitmap = wxBitmap(page.x, page.y, 24);
        QelPrintout printout(stc);
        wxPrintout& base = printout;
        Prepare(printout, 72, page);
        counts[across] = printout.GetPageCount();
        EXPECT_EQ(printout.GetPageRect().width > printout.GetPageRect().height, across);
        ASSERT_TRUE(base.OnPrintPage(1));
        const wxRect r = printout.GetPrintRect();
        EXPECT_LE(m_Dc.LogicalToDeviceY(r.GetBottom()), page.y);
        EXPECT_LE(m_Dc.LogicalToDeviceX(r.GetRight()), page.x);
        m_Dc.SelectObject(wxNullBitmap);
    }
    EXPECT_GT(counts[1], counts[0]);
    stc->Destroy();
}

// A line longer than a page goes on from page to page where the last page
// stopped: every page holds as much of it as the first, and none of it is
// left out between two pages.
TEST_F(PrintingTest, LineLongerThanAPageGoesOnFromPageToPage)
{
    std::string line;
    while (line.size() < 60000) line += "xxxxxxx ";
    m_Path = WriteFile("long.txt", line + "\nend\n");
    QelSTC* stc = new QelSTC(m_Frame, QelFileName(m_Path));
    QelPrintout printout(stc);
    Prepare(printout);
    const auto& breaks = printout.GetPageBreaks();
    const int count = printout.GetPageCount();
    ASSERT_GE(count, 4);
    const int page = breaks[1];
    ASSERT_GT(page, 0);
    for (int i = 1; i + 1 < count; ++i)
        EXPECT_EQ(breaks[i + 1] - breaks[i], page) << "page " << i + 1;
    EXPECT_EQ(count, static_cast<int>(line.size()) / page + 1);
    EXPECT_EQ(breaks.back(), stc->GetLength());
    stc->Destroy();
}

} // namespace
