// The process-wide printing objects: the page setup with the HTML printer
// that prints lists and grids, and the printer that prints editors; and the
// printout of one editor, page by page with a header and a footer.
#pragma once

#include <vector>

#include <wx/gdicmn.h>
#include <wx/print.h>

class wxHtmlEasyPrinting;
class wxStyledTextCtrl;

class QelPrinting {
public:
    QelPrinting();
    ~QelPrinting();
    QelPrinting(const QelPrinting&) = delete;
    QelPrinting& operator=(const QelPrinting&) = delete;

    // The installed object, made on first use when createOnDemand.
    static QelPrinting* Get(bool createOnDemand = true);
    // Installs printing (may be null); returns the previous object, which
    // the caller now owns.
    static QelPrinting* Set(QelPrinting* printing);

    // Its page setup data is the page setup of the whole application.
    wxHtmlEasyPrinting* GetHtmlPrinter() const noexcept { return m_HtmlPrinter; }
    wxPrinter* GetPrinter() const noexcept { return m_Printer; }

private:
    wxHtmlEasyPrinting* m_HtmlPrinter;
    wxPrinter* m_Printer;

    static QelPrinting* m_Self;
};

// The text of a styled-text control on the pages of the shared page setup,
// with a header (the file and its time) above and a footer (the page
// number) below each page. Geometry is in screen pixels.
class QelPrintout : public wxPrintout {
public:
    explicit QelPrintout(wxStyledTextCtrl* owner);

    // The whole paper, and the part inside the margins; set when the
    // toolkit prepares a run.
    const wxRect& GetPageRect() const noexcept { return m_PageRect; }
    const wxRect& GetPrintRect() const noexcept { return m_PrintRect; }
    // The document position where each page starts, then the position
    // after the last page.
    const std::vector<int>& GetPageBreaks() const noexcept { return m_PageBreaks; }
    // No pages before the run is prepared: the printer asks for the range
    // before that, and would take a negative count for a range of one page.
    int GetPageCount() const noexcept
    {
        return m_PageBreaks.empty() ? 0 : static_cast<int>(m_PageBreaks.size()) - 1;
    }

private:
    void OnPreparePrinting() override;
    bool HasPage(int pageNum) override;
    bool OnPrintPage(int pageNum) override;
    void GetPageInfo(int* minPage, int* maxPage, int* pageFrom, int* pageTo) override;

    void CountPages();
    // False when the device or the page has no size: nothing can be drawn.
    bool SetScale(wxDC* dc);
    void DrawHeaderAndFooter(wxDC& dc, int pageNum) const;

    wxRect m_PageRect;
    wxRect m_PrintRect;
    std::vector<int> m_PageBreaks;
    wxStyledTextCtrl* m_Owner;
};
