#include <qelkit/style.h>

#include <climits>

#include <wx/app.h>
#include <wx/colour.h>
#include <wx/config.h>
#include <wx/font.h>
#include <wx/intl.h>
#include <wx/log.h>
#include <wx/settings.h>
#include <wx/stc/stc.h>
#include <wx/tokenzr.h>
#include <wx/xml/xml.h>

#include <qelkit/lexers.h>

namespace {

const QelLexers& LexersOrInstalled(const QelLexers* lexers)
{
    return lexers != nullptr ? *lexers : *QelLexers::Get(true);
}

bool IsHexColour(const wxString& text)
{
    if (text.length() != 7 || text[0] != '#') return false;
    for (size_t i = 1; i < text.length(); ++i)
        if (!wxIsxdigit(text[i])) return false;
    return true;
}

// The editor font as style items, from the settings ("Default font") or the
// system's fixed-width font. Fonts need the toolkit's GUI part: without it
// the text is left as it is (there is no control to style either).
wxString ExpandDefaultFont(const wxString& value)
{
    if (!value.Contains("default-font")) return value;
    const wxAppConsole* app = wxAppConsole::GetInstance();
    if (app == nullptr || !app->IsGUI()) return value;

    wxFont font = QelDefaultEditorFont();
    if (const wxConfigBase* config = wxConfigBase::Get(false); config != nullptr)
        font = config->ReadObject(_("Default font"), font);

    wxString result(value);
    result.Replace("default-font",
                   wxString::Format("face:%s,size:%d", font.GetFaceName(), font.GetPointSize()));
    if (font.GetStyle() == wxFONTSTYLE_ITALIC || font.GetStyle() == wxFONTSTYLE_SLANT)
        result += ",italic";
    if (font.GetWeight() == wxFONTWEIGHT_BOLD) result += ",bold";
    if (font.GetUnderlined()) result += ",underline";
    return result;
}

} // namespace

wxFont QelDefaultEditorFont()
{
    return wxFont(wxFontInfo(10).Family(wxFONTFAMILY_TELETYPE));
}

std::vector<wxString> QelSplitItems(const wxString& text)
{
    std::vector<wxString> items;
    wxStringTokenizer tkz(text, ",", wxTOKEN_RET_EMPTY);
    while (tkz.HasMoreTokens()) items.push_back(tkz.GetNextToken());
    return items;
}

bool QelToWholeNumber(const wxString& text, int* number)
{
    size_t start = (!text.empty() && (text[0] == '-' || text[0] == '+')) ? 1 : 0;
    if (start >= text.length()) return false;
    for (size_t i = start; i < text.length(); ++i)
        if (text[i] < '0' || text[i] > '9') return false;
    long value = 0;
    if (!text.ToLong(&value) || value < INT_MIN || value > INT_MAX) return false;
    *number = static_cast<int>(value);
    return true;
}

bool QelReadRecordNumber(const wxString& text, int* number, const wxString& message, int line)
{
    if (QelToWholeNumber(text, number)) return true;
    *number = -1;
    wxLogError(message, text, line);
    return false;
}

int QelLeadingNumber(const wxString& text)
{
    size_t i = 0;
    while (i < text.length() && wxIsspace(text[i])) ++i;
    bool negative = false;
    if (i < text.length() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    long long value = 0;
    for (; i < text.length() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > INT_MAX) {
            value = static_cast<long long>(INT_MAX) + 1;
            break;
        }
    }
    if (negative) value = -value;
    if (value > INT_MAX) return INT_MAX;
    return static_cast<int>(value);
}

wxColour QelColourFromText(const wxString& text)
{
    wxColour colour;
    if (!text.empty()) colour.Set(text);
    return colour;
}

bool QelStyleSpecIsValid(const wxString& spec)
{
    // The control splits the same way and reads "#RRGGBB" or a colour name
    // after "fore:" and "back:"; anything else there asserts in the toolkit.
    wxStringTokenizer tkz(spec, ",");
    while (tkz.HasMoreTokens()) {
        const wxString token = tkz.GetNextToken();
        const wxString option = token.BeforeFirst(':');
        if (option != "fore" && option != "back") continue;
        const wxString colour = token.AfterFirst(':');
        if (colour.empty()) return false;
        if (colour[0] == '#') {
            if (!IsHexColour(colour)) return false;
        } else if (!wxColour(colour).IsOk()) {
            return false;
        }
    }
    return true;
}

QelStyle::QelStyle(const wxXmlNode* node, const QelLexers* lexers)
{
    if (node == nullptr) return;
    const QelLexers& source = LexersOrInstalled(lexers);

    SetNo(source.ApplyMacro(node->GetAttribute("no", "0")), source);
    m_Value = node->GetNodeContent().Strip(wxString::both);

    const auto& macros = source.GetThemeMacros();
    if (const auto it = macros.find(m_Value); it != macros.end())
        m_Value = ExpandDefaultFont(it->second);

    const bool valid = QelStyleSpecIsValid(m_Value);
    if (!IsOk() || !valid) {
        wxLogError(_("Illegal style: %s on line: %d"), m_Value, node->GetLineNumber());
        // Refused: the control would assert on the colour whenever applied.
        if (!valid) m_Value.clear();
    }
}

QelStyle::QelStyle(const wxString& no, const wxString& value, const QelLexers* lexers)
    : m_Value(value)
{
    SetNo(no, LexersOrInstalled(lexers));
}

void QelStyle::SetNo(const wxString& text, const QelLexers& lexers)
{
    m_No.clear();
    for (const auto& item : QelSplitItems(text)) {
        int no = 0;
        if (QelToWholeNumber(lexers.ApplyMacro(item), &no) && no >= 0 && no <= wxSTC_STYLE_MAX)
            m_No.insert(no);
        else
            wxLogError(_("Illegal style: %s"), text);
    }
}

bool QelStyle::ContainsDefaultStyle() const
{
    return m_No.count(wxSTC_STYLE_DEFAULT) > 0;
}

void QelStyle::Apply(wxStyledTextCtrl* stc) const
{
    if (m_No.empty()) {
        stc->StyleResetDefault();
        return;
    }
    for (const int no : m_No) stc->StyleSetSpec(no, m_Value);
}
