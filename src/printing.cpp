#include <qelkit/printing.h>

#include <wx/filename.h>
#include <wx/html/htmprint.h>
#include <wx/print.h>

#include <qelkit/status.h>

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
