#include <qelkit/marker.h>

#include <wx/intl.h>
#include <wx/log.h>
#include <wx/stc/stc.h>
#include <wx/xml/xml.h>

#include <qelkit/lexers.h>
#include <qelkit/style.h>

namespace {

constexpr int MAX_MARKER = 31;

} // namespace

QelMarker::QelMarker(const wxXmlNode* node, const QelLexers* lexers)
{
    if (node == nullptr) return;
    const QelLexers& source = lexers != nullptr ? *lexers : *QelLexers::Get(true);
    auto expand = [&source](const wxString& text) { return source.ApplyMacro(text); };
    const int line = node->GetLineNumber();

    const wxString no = expand(node->GetAttribute("no", "0"));
    if (!QelReadRecordNumber(no, &m_No, _("Illegal marker: %s on line: %d"), line)) return;

    const auto items = QelSplitItems(node->GetNodeContent().Strip(wxString::both));
    // The symbol is read as C's atoi reads it: a leading number, else 0.
    m_Symbol = items.empty() ? 0 : QelLeadingNumber(expand(items[0]));
    if (items.size() > 1)
        m_ForegroundColour = QelColourFromText(expand(items[1].Strip(wxString::both)));
    if (items.size() > 2)
        m_BackgroundColour = QelColourFromText(expand(items[2].Strip(wxString::both)));

    if (!IsOk()) wxLogError(_("Illegal marker number: %d on line: %d"), m_No, line);
}

QelMarker::QelMarker(int no)
    : m_No(no)
{ }

bool QelMarker::IsOk() const
{
    return m_No >= 0 && m_No <= MAX_MARKER && m_Symbol >= 0 && m_Symbol <= MAX_MARKER;
}

void QelMarker::Apply(wxStyledTextCtrl* stc) const
{
    if (!IsOk()) return;
    // The control leaves a colour alone when it is unset.
    stc->MarkerDefine(m_No, m_Symbol, m_ForegroundColour, m_BackgroundColour);
}
