#include <qelkit/indicator.h>

#include <wx/intl.h>
#include <wx/log.h>
#include <wx/stc/stc.h>
#include <wx/xml/xml.h>

#include <qelkit/lexers.h>
#include <qelkit/style.h>

namespace {

constexpr int MAX_INDICATOR = 31;
constexpr int MAX_INDICATOR_STYLE = 7;

} // namespace

QelIndicator::QelIndicator(const wxXmlNode* node, const QelLexers* lexers)
{
    if (node == nullptr) return;
    const QelLexers& source = lexers != nullptr ? *lexers : *QelLexers::Get(true);
    auto expand = [&source](const wxString& text) { return source.ApplyMacro(text); };
    const int line = node->GetLineNumber();

    const wxString no = expand(node->GetAttribute("no", "0"));
    if (!QelReadRecordNumber(no, &m_No, _("Illegal indicator: %s on line: %d"), line)) return;

    const auto items = QelSplitItems(node->GetNodeContent().Strip(wxString::both));
    const wxString style = expand(items.empty() ? wxString() : items[0]);
    if (!QelReadRecordNumber(style, &m_Style, _("Illegal indicator style: %s on line: %d"), line))
        return;

    if (items.size() > 1) {
        m_ForegroundColour = QelColourFromText(expand(items[1].Strip(wxString::both)));
        if (items.size() > 2) m_Under = items[2].Strip(wxString::both) == "true";
    }

    if (!IsOk()) wxLogError(_("Illegal indicator number: %d on line: %d"), m_No, line);
}

QelIndicator::QelIndicator(int no)
    : m_No(no)
{ }

bool QelIndicator::IsOk() const
{
    return m_No >= 0 && m_No <= MAX_INDICATOR && m_Style >= 0 && m_Style <= MAX_INDICATOR_STYLE;
}

void QelIndicator::Apply(wxStyledTextCtrl* stc) const
{
    if (!IsOk()) return;
    stc->IndicatorSetStyle(m_No, m_Style);
    if (m_ForegroundColour.IsOk()) stc->IndicatorSetForeground(m_No, m_ForegroundColour);
    stc->IndicatorSetUnder(m_No, m_Under);
}
