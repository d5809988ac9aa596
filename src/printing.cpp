#include <qelkit/printing.h>

#include <wx/filename.h>
#include <wx/html/htmprint.h>
#include <wx/log.h>
#include <wx/print.h>
#include <wx/stc/stc.h>
#include <wx/utils.h>

#include <qelkit/stc.h>
#include <qelkit/status.h>
#include <qelkit/util.h>

QelPrinting* QelPrinting::m_Self = nullptr;

QelPrinting::QelPrinting()
    : m_HtmlPrinter(new wxHtmlEasyPrinting("Printing"))
    , m_Printer(new wxPrinter)
{
    m_HtmlPrinter->SetFonts(wxEmptyString, wxEmptyString);

    // Margins in millimetres: 15 left and right, 5 top and bottom.
    wxPageSetupDialogData* setup = m_HtmlPrinter->GetPageSetupData();
    setup->SetMarginTopLeft(wxPoint(15, 5));
    setup->SetMarginBottomRight(wxPoint(15, 5));

    // The header carries the time this object was made.
    m_HtmlPrinter->SetHeader(QelPrintHeader(wxFileName()), wxPAGE_ALL);
    m_HtmlPrinter->SetFooter(QelPrintFooter(), wxPAGE_ALL);
}

QelPrinting::~QelPrinting()
{
    delete m_HtmlPrinter;
    delete m_Printer;
}

QelPrinting* QelPrinting::Get(bool createOnDemand)
{
    if (m_Self == nullptr && createOnDemand) m_Self = new QelPrinting;
    return m_Self;
}

QelPrinting* QelPrinting::Set(QelPrinting* printing)
{
    QelPrinting* old = m_Self;
    m_Self = printing;
    return old;
}

namespace {

// Millimetres to screen pixels at 22.4 mm to the inch, not 25.4: together
// with the scale below this sets the size of the printed text.
int MillimetresToPixels(int millimetres, int ppi)
{
    return static_cast<int>(static_cast<double>(millimetres * ppi) / 22.4);
}

// Every page is printed at this fraction of the screen's size.
constexpr double kPrintScale = 0.8;

// Distances of the header's text and rule above the print area.
constexpr int kTextFromTop = 23;
constexpr int kLineFromTop = 8;

} // namespace

QelPrintout::QelPrintout(wxStyledTextCtrl* owner)
    : wxPrintout(QelPrintCaption(wxFileName(owner->GetName())))
    , m_Owner(owner)
{ }

void QelPrintout::OnPreparePrinting()
{
    wxSize ppiScr;
    GetPPIScreen(&ppiScr.x, &ppiScr.y);
    wxPageSetupDialogData* setup = QelPrinting::Get()->GetHtmlPrinter()->GetPageSetupData();

    // An unset paper becomes A4 for this and every later run.
    wxSize paper = setup->GetPaperSize();
    if (paper.x == 0 || paper.y == 0) {
        setup->SetPaperSize(wxPAPER_A4);
        paper = setup->GetPaperSize();
    }
    // The paper is named upright; a page printed across (chosen in the page
    // setup or in the print dialog) has its long side across, or the text
    // would run on below the bottom edge.
    wxSize device;
    GetPageSizePixels(&device.x, &device.y);
    if ((device.x > device.y) != (paper.x > paper.y)) paper = wxSize(paper.y, paper.x);

    const int width = MillimetresToPixels(paper.x, ppiScr.x);
    const int height = MillimetresToPixels(paper.y, ppiScr.y);
    m_PageRect = wxRect(0, 0, width, height);

    const wxPoint topLeft = setup->GetMarginTopLeft();
    const wxPoint bottomRight = setup->GetMarginBottomRight();
    const int left = MillimetresToPixels(topLeft.x, ppiScr.x);
    const int top = MillimetresToPixels(topLeft.y, ppiScr.y);
    const int right = MillimetresToPixels(bottomRight.x, ppiScr.x);
    const int bottom = MillimetresToPixels(bottomRight.y, ppiScr.y);
    m_PrintRect = wxRect(left, top, width - (left + right), height - (top + bottom));

    CountPages();
}

void QelPrintout::CountPages()
{
    m_PageBreaks.assign(1, 0);
    wxDC* dc = GetDC();
    wxCHECK_RET(dc != nullptr, "GetDC() != __null");

    wxBusyCursor busy;
    const int length = m_Owner->GetLength();
    int pos = 0;
    while (pos < length) {
        if (!SetScale(dc)) return;
        int next = m_Owner->FormatRange(false, pos, length, dc, dc, m_PrintRect, m_PageRect);
        // A page that starts inside a line lays out the whole line, and the
        // control counts the part above the page into the position where
        // the next page starts, unless the page reaches the line's end
        // (which it then gives exactly): when this page ends inside the same
        // line, that part is taken off again, or it would never be printed.
        const int line = m_Owner->LineFromPosition(pos);
        const int line_start = m_Owner->PositionFromLine(line);
        if (pos > line_start) {
            const int following
                = line + 1 < m_Owner->GetLineCount() ? m_Owner->PositionFromLine(line + 1) : length;
            const int within = m_Owner->FormatRange(false, pos, m_Owner->GetLineEndPosition(line),
                                                    dc, dc, m_PrintRect, m_PageRect);
            if (within != following) next = within - (pos - line_start);
        }
        // A page that takes no text (margins larger than the paper, or a
        // line taller than the page) would repeat for ever.
        if (next <= pos) {
            wxLogError(_("The text does not fit on the page"));
            return;
        }
        m_PageBreaks.push_back(next);
        pos = next;
    }
}

bool QelPrintout::SetScale(wxDC* dc)
{
    wxSize ppiScr;
    GetPPIScreen(&ppiScr.x, &ppiScr.y);
    if (ppiScr.x == 0) ppiScr = wxSize(96, 96);
    wxSize ppiPrt;
    GetPPIPrinter(&ppiPrt.x, &ppiPrt.y);
    if (ppiPrt.x == 0) ppiPrt = ppiScr;

    const wxSize dcSize = dc->GetSize();
    wxSize pageSize;
    GetPageSizePixels(&pageSize.x, &pageSize.y);
    if (dcSize.x <= 0 || dcSize.y <= 0 || pageSize.x <= 0 || pageSize.y <= 0 || ppiPrt.y <= 0
        || ppiScr.y <= 0)
        return false;

    const auto scale = [](int prt, int dcs, int scr, int page) {
        const float numerator = static_cast<float>(prt * kPrintScale * dcs);
        const float denominator = static_cast<float>(scr * page);
        return static_cast<double>(numerator / denominator);
    };
    dc->SetUserScale(scale(ppiPrt.x, dcSize.x, ppiScr.x, pageSize.x),
                     scale(ppiPrt.y, dcSize.y, ppiScr.y, pageSize.y));
    return true;
}

void QelPrintout::GetPageInfo(int* minPage, int* maxPage, int* pageFrom, int* pageTo)
{
    *minPage = 1;
    *maxPage = GetPageCount();
    *pageFrom = 1;
    *pageTo = GetPageCount();
}

bool QelPrintout::HasPage(int pageNum)
{
    return pageNum >= 1 && pageNum <= GetPageCount();
}

bool QelPrintout::OnPrintPage(int pageNum)
{
    wxDC* dc = GetDC();
    wxCHECK_MSG(dc != nullptr, false, "GetDC() != __null");
    wxCHECK_MSG(HasPage(pageNum), false, wxString::Format("no page %d", pageNum));
    if (!SetScale(dc)) return false;

    m_Owner->FormatRange(true, m_PageBreaks[pageNum - 1], m_Owner->GetLength(), dc, dc, m_PrintRect,
                         m_PageRect);
    DrawHeaderAndFooter(*dc, pageNum);
    return true;
}

void QelPrintout::DrawHeaderAndFooter(wxDC& dc, int pageNum) const
{
    dc.SetFont(wxNORMAL_FONT->Bold());
    dc.SetTextForeground(*wxBLACK);
    dc.SetTextBackground(*wxWHITE);
    dc.SetPen(*wxBLACK_PEN);

    const int left = m_PrintRect.GetLeft();
    const int top = m_PrintRect.GetTop();
    const int right = m_PrintRect.GetRight();
    const int bottom = m_PrintRect.GetBottom();

    if (const wxString header = QelPrintHeader(wxFileName(m_Owner->GetName())); !header.empty()) {
        dc.DrawText(QelTranslate(header, pageNum, GetPageCount()), left, top - kTextFromTop);
        dc.DrawLine(left, top - kLineFromTop, right, top - kLineFromTop);
    }
    if (const wxString footer = QelPrintFooter(); !footer.empty()) {
        dc.DrawText(QelTranslate(footer, pageNum, GetPageCount()), right / 2, bottom);
        dc.DrawLine(left, bottom, right, bottom);
    }
}

// The editor's printing, here beside its printout.

void QelSTC::Print(bool prompt)
{
    QelPrinting* printing = QelPrinting::Get(true);
    printing->GetPrinter()->GetPrintDialogData().SetPrintData(
        *printing->GetHtmlPrinter()->GetPrintData());
    // The printer does not take the printout over: it lives for this run.
    QelPrintout printout(this);
    printing->GetPrinter()->Print(this, &printout, prompt);
}

void QelSTC::PrintPreview()
{
    auto* preview = new wxPrintPreview(new QelPrintout(this), new QelPrintout(this));
    if (!preview->IsOk()) {
        delete preview;
        wxLogError(_("There was a problem previewing.\nPerhaps your current printer is not set "
                     "correctly?"));
        return;
    }
    auto* frame = new wxPreviewFrame(preview, this, QelPrintCaption(wxFileName(GetName())),
                                     wxDefaultPosition, wxDefaultSize,
                                     wxDEFAULT_FRAME_STYLE | wxFRAME_FLOAT_ON_PARENT);
    frame->Initialize();
    frame->Show(true);
}
