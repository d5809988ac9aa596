// The printout of a real editor drawn into a memory device context at a
// fixed resolution, and the preview frame; never a printer or its dialog.
#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <wx/dcmemory.h>
#include <wx/html/htmprint.h>
#include <wx/image.h>
#include <wx/prntbase.h>

#include <qelkit/printing.h>
#include <qelkit/stc.h>
#include <qelkit/status.h>

#include "testing.h"

namespace {

// The device: a page of 600 by 800 pixels, printer and screen alike, so
// that the printout draws at its fixed scale of 0.8.
constexpr int PAGE_W = 600;
constexpr int PAGE_H = 800;

class PrintingTest : public qeltest::EditorTest {
protected:
    // An editor on a file of `lines` numbered lines.
    QelSTC* Editor(int lines)
    {
        std::string text;
        for (int i = 1; i <= lines; ++i) text += "line " + std::to_string(i) + "\n";
        m_Path = WriteFile("doc.txt", text);
        return new QelSTC(m_Frame, QelFileName(m_Path));
    }

    // Gives the printout the memory device at `ppi` and prepares the run.
    void Prepare(wxPrintout& printout, int ppi, wxSize page = wxSize(PAGE_W, PAGE_H))
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
    wxBitmap m_Bitmap{PAGE_W, PAGE_H, 24};
    wxMemoryDC m_Dc;
};

TEST_F(PrintingTest, PaperAndMarginsGiveThePageAndPrintRectangles)
{
    const struct {
        const char* name;
        wxPaperSize paper; // wxPAPER_NONE: unset, A4 is taken
        int ppi;
        wxRect page, print;
    } rows[] = {
        {"UnsetAt72", wxPAPER_NONE, 72, {0, 0, 675, 954}, {48, 16, 579, 922}},
        {"UnsetAt96", wxPAPER_NONE, 96, {0, 0, 900, 1272}, {64, 21, 772, 1230}},
        {"LetterAt72", wxPAPER_LETTER, 72, {0, 0, 691, 896}, {48, 16, 595, 864}},
    };
    QelSTC* stc = Editor(3);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        delete QelPrinting::Set(nullptr);
        if (row.paper != wxPAPER_NONE) PageSetup()->SetPaperSize(row.paper);
        ASSERT_EQ(PageSetup()->GetPaperSize().x == 0, row.paper == wxPAPER_NONE);

        QelPrintout printout(stc);
        Prepare(printout, row.ppi);
        EXPECT_EQ(printout.GetPageRect(), row.page);
        EXPECT_EQ(printout.GetPrintRect(), row.print);
        EXPECT_EQ(PageSetup()->GetPaperId(), row.paper == wxPAPER_NONE ? wxPAPER_A4 : row.paper);
    }
}

TEST_F(PrintingTest, PagesBreakAtLineStartsAndEndAtTheDocumentEnd)
{
    const struct {
        const char* name;
        int lines;
        bool many; // more than one page
    } rows[] = {{"Empty", 0, false}, {"OneLine", 1, false}, {"TwoThousand", 2000, true}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        QelSTC* stc = Editor(row.lines);
        QelPrintout printout(stc);
        wxPrintout& base = printout;
        Prepare(printout, 72);

        const std::vector<int>& breaks = printout.GetPageBreaks();
        const int count = printout.GetPageCount();
        ASSERT_FALSE(breaks.empty());
        EXPECT_EQ(breaks.front(), 0);
        EXPECT_EQ(breaks.back(), stc->GetLength());
        EXPECT_EQ(count > 1, row.many) << count;
        EXPECT_EQ(count == 0, row.lines == 0);

        // Full pages hold the same number of lines, each starting a line.
        int perPage = -1;
        for (int i = 1; i < count; ++i) {
            EXPECT_GT(breaks[i], breaks[i - 1]);
            const int line = stc->LineFromPosition(breaks[i]);
            EXPECT_EQ(stc->PositionFromLine(line), breaks[i]) << "page " << i;
            const int lines = line - stc->LineFromPosition(breaks[i - 1]);
            if (perPage < 0) perPage = lines;
            EXPECT_EQ(lines, perPage) << "page " << i;
        }

        int minPage = -1, maxPage = -1, from = -1, to = -1;
        base.GetPageInfo(&minPage, &maxPage, &from, &to);
        EXPECT_EQ(wxString::Format("%d %d %d %d", minPage, maxPage, from, to),
                  wxString::Format("1 %d 1 %d", count, count));
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
        wxPoint margins; // millimetres on each side
        wxSize page;     // page size in pixels
        bool dc;
        int asserts, errors;
    } rows[] = {
        {"MarginsLargerThanThePaper", {120, 160}, {PAGE_W, PAGE_H}, true, 0, 1},
        {"PageOfNoPixels", {15, 5}, {0, 0}, true, 0, 0},
        {"NoDeviceContext", {15, 5}, {PAGE_W, PAGE_H}, false, 1, 0},
    };
    QelSTC* stc = Editor(50);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        PageSetup()->SetMarginTopLeft(row.margins);
        PageSetup()->SetMarginBottomRight(row.margins);
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
        EXPECT_FALSE(base.HasPage(1));
        EXPECT_FALSE(base.OnPrintPage(1));
        EXPECT_EQ(asserts.Count(), row.asserts + 1); // and the page that is not there
        EXPECT_EQ(log.CountLevel(wxLOG_Error), size_t(row.errors)) << log.Dump();
    }
}

// The rows of the image outside the print rectangle, where the header and
// the footer go, as text of grey levels; the device rows of the text itself
// are left out.
std::string Bands(const wxBitmap& bitmap, int top, int bottom)
{
    const wxImage image = bitmap.ConvertToImage();
    std::string out;
    for (int y = 0; y < image.GetHeight(); ++y) {
        if (y >= top && y <= bottom) continue;
        for (int x = 0; x < image.GetWidth(); ++x) out += char(image.GetRed(x, y) / 64 + '0');
        out += '\n';
    }
    return out;
}

TEST_F(PrintingTest, HeaderAndFooterCarryTheFileAndThePageNumbers)
{
    QelSTC* stc = Editor(300);
    QelPrintout printout(stc);
    wxPrintout& base = printout;
    Prepare(printout, 72);
    const int count = printout.GetPageCount();
    ASSERT_GE(count, 3);

    // The decorations drawn as the printout should: header text 23 and its
    // rule 8 units above the print area, footer text from half the right
    // edge and its rule on the bottom edge.
    const wxRect r = printout.GetPrintRect();
    const auto reference = [&](const wxString& footer) {
        wxBitmap bitmap(PAGE_W, PAGE_H, 24);
        wxMemoryDC dc(bitmap);
        dc.SetBackground(*wxWHITE_BRUSH);
        dc.Clear();
        double sx = 0, sy = 0;
        m_Dc.GetUserScale(&sx, &sy);
        dc.SetUserScale(sx, sy);
        dc.SetFont(wxNORMAL_FONT->Bold());
        dc.SetTextForeground(*wxBLACK);
        dc.SetPen(*wxBLACK_PEN);
        dc.DrawText(QelPrintHeader(wxFileName(m_Path)), r.x, r.y - 23);
        dc.DrawLine(r.x, r.y - 8, r.GetRight(), r.y - 8);
        dc.DrawText(footer, r.GetRight() / 2, r.GetBottom());
        dc.DrawLine(r.x, r.GetBottom(), r.GetRight(), r.GetBottom());
        dc.SelectObject(wxNullBitmap);
        return bitmap;
    };

    for (const int page : {1, count}) {
        SCOPED_TRACE(page);
        m_Dc.Clear();
        ASSERT_TRUE(base.OnPrintPage(page));
        double sx = 0, sy = 0;
        m_Dc.GetUserScale(&sx, &sy);
        EXPECT_NEAR(sx, 0.8, 1e-6);
        const int top = m_Dc.LogicalToDeviceY(r.y) - 2;
        const int bottom = m_Dc.LogicalToDeviceY(r.GetBottom()) + 2;
        m_Dc.SelectObject(wxNullBitmap);
        const std::string printed = Bands(m_Bitmap, top, bottom);

        // Compared as a whole: a failure names the footer, not the pixels.
        const auto looksLike = [&](const wxString& footer) {
            return printed == Bands(reference(footer), top, bottom);
        };
        EXPECT_TRUE(looksLike(wxString::Format("Page %d of %d", page, count)));
        EXPECT_FALSE(looksLike(wxString::Format("Page %d of %d", page == 1 ? count : 1, count)));
        EXPECT_FALSE(looksLike("Page @PAGENUM@ of @PAGESCNT@"));
        m_Dc.SelectObject(m_Bitmap);
    }
}

TEST_F(PrintingTest, PreviewOpensAFrameTitledWithTheFile)
{
    QelSTC* stc = Editor(100);
    qeltest::LogCapture log;
    stc->PrintPreview();
    wxPreviewFrame* preview = nullptr;
    for (wxWindow* w : wxTopLevelWindows)
        if (auto* f = dynamic_cast<wxPreviewFrame*>(w); f != nullptr) preview = f;
    ASSERT_NE(preview, nullptr) << log.Dump();
    EXPECT_EQ(preview->GetTitle(), m_Path);
    EXPECT_EQ(log.CountLevel(wxLOG_Error), 0u) << log.Dump();
    preview->Destroy();
    qeltest::Pump(0);
}

} // namespace
