// The process-wide printing objects: the page setup with the HTML printer
// that prints lists and grids, and the printer that prints editors.
#pragma once

class wxHtmlEasyPrinting;
class wxPrinter;

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
