#include <qelkit/lexer.h>

#include <algorithm>

#include <wx/intl.h>
#include <wx/log.h>
#include <wx/stc/stc.h>
#include <wx/tokenzr.h>
#include <wx/xml/xml.h>

#include <qelkit/lexers.h>
#include <qelkit/util.h>

struct QelLexer::Data {
    wxString m_CommentBegin;
    wxString m_CommentBegin2;
    wxString m_CommentEnd;
    wxString m_CommentEnd2;
    wxString m_Extensions;
    wxString m_ScintillaLexer;
    std::set<wxString> m_Keywords;
    std::vector<QelProperty> m_Properties;
    std::vector<QelStyle> m_Styles;
    std::map<int, std::set<wxString>> m_KeywordsSet;
};

namespace {

constexpr int MAX_KEYWORD_SET = 7;
constexpr int LINE_WIDTH = 80;

const QelLexers& LexersOrInstalled(const QelLexers* lexers)
{
    return lexers != nullptr ? *lexers : *QelLexers::Get(true);
}

} // namespace

const std::shared_ptr<QelLexer::Data>& QelLexer::EmptyData()
{
    static const std::shared_ptr<Data> empty = std::make_shared<Data>();
    return empty;
}

QelLexer::QelLexer()
    : m_Data(EmptyData())
{ }

QelLexer::QelLexer(const wxXmlNode* node, const QelLexers* lexers)
    : m_Data(EmptyData())
{
    if (node != nullptr) Set(node, LexersOrInstalled(lexers));
}

const wxString& QelLexer::GetCommentBegin() const
{
    return m_Data->m_CommentBegin;
}
const wxString& QelLexer::GetCommentBegin2() const
{
    return m_Data->m_CommentBegin2;
}
const wxString& QelLexer::GetCommentEnd() const
{
    return m_Data->m_CommentEnd;
}
const wxString& QelLexer::GetCommentEnd2() const
{
    return m_Data->m_CommentEnd2;
}
const wxString& QelLexer::GetExtensions() const
{
    return m_Data->m_Extensions;
}
const wxString& QelLexer::GetScintillaLexer() const
{
    return m_Data->m_ScintillaLexer;
}
const std::set<wxString>& QelLexer::GetKeywords() const
{
    return m_Data->m_Keywords;
}

const std::map<int, std::set<wxString>>& QelLexer::GetKeywordsSets() const
{
    return m_Data->m_KeywordsSet;
}

const std::vector<QelStyle>& QelLexer::GetStyles() const
{
    return m_Data->m_Styles;
}
const std::vector<QelProperty>& QelLexer::GetProperties() const
{
    return m_Data->m_Properties;
}

QelLexer::Data& QelLexer::Edit()
{
    if (m_Data.use_count() != 1) m_Data = std::make_shared<Data>(*m_Data);
    return *m_Data;
}

void QelLexer::Set(const wxXmlNode* node, const QelLexers& lexers)
{
    Data& data = Edit();
    data.m_ScintillaLexer = node->GetAttribute("name", "");
    m_IsOk = !data.m_ScintillaLexer.empty();
    if (!m_IsOk) {
        wxLogError(_("Missing lexer on line: %d"), node->GetLineNumber());
        return;
    }

    data.m_Extensions = node->GetAttribute("extensions", "");
    if (const wxString match = node->GetAttribute("match", ""); !match.empty())
        AutoMatch(match, lexers);

    if (data.m_ScintillaLexer == "hypertext") {
        data.m_CommentBegin = "<!--";
        data.m_CommentEnd = "-->";
    }

    for (const wxXmlNode* child = node->GetChildren(); child != nullptr; child = child->GetNext()) {
        if (child->GetType() != wxXML_ELEMENT_NODE) continue;
        const wxString& name = child->GetName();
        if (name == "styles") {
            const auto styles = ParseNodeStyles(child, lexers);
            data.m_Styles.insert(data.m_Styles.end(), styles.begin(), styles.end());
        } else if (name == "keywords") {
            if (!SetKeywords(child->GetNodeContent().Strip(wxString::both)))
                wxLogError(_("Keywords could not be set on line: %d"), child->GetLineNumber());
        } else if (name == "properties") {
            data.m_Properties = lexers.ParseNodeProperties(child);
        } else if (name == "comments") {
            data.m_CommentBegin = child->GetAttribute("begin1", "");
            data.m_CommentEnd = child->GetAttribute("end1", "");
            data.m_CommentBegin2 = child->GetAttribute("begin2", "");
            data.m_CommentEnd2 = child->GetAttribute("end2", "");
        }
    }
}

// Styles for every macro whose name starts with `lexer` (upper-case names:
// the range up to lexer + "ZZZ"), one per theme style name contained in it.
void QelLexer::AutoMatch(const wxString& lexer, const QelLexers& lexers)
{
    Data& data = Edit();
    const auto& macros = lexers.GetMacros();
    const auto& styles = lexers.GetThemeMacros();
    const wxString last = lexer + "ZZZ";
    for (auto it = macros.lower_bound(lexer); it != macros.end() && it->first <= last; ++it)
        for (const auto& [style, spec] : styles)
            if (it->first.Contains(style)) data.m_Styles.emplace_back(it->second, spec, &lexers);
}

std::vector<QelStyle> QelLexer::ParseNodeStyles(const wxXmlNode* node,
                                                const QelLexers& lexers) const
{
    std::vector<QelStyle> styles;
    for (const wxXmlNode* child = node->GetChildren(); child != nullptr; child = child->GetNext())
        if (child->GetType() == wxXML_ELEMENT_NODE && child->GetName() == "style")
            styles.emplace_back(child, &lexers);
    return styles;
}

bool QelLexer::SetKeywords(const wxString& value)
{
    Data& data = Edit();
    data.m_Keywords.clear();
    data.m_KeywordsSet.clear();

    int current = 0;
    std::set<wxString> pending;
    wxStringTokenizer tokens(value, " \t\r\n", wxTOKEN_STRTOK);
    while (tokens.HasMoreTokens()) {
        const wxString token = tokens.GetNextToken();
        wxStringTokenizer fields(token, ":", wxTOKEN_RET_EMPTY);
        const wxString word = fields.GetNextToken();
        if (fields.HasMoreTokens()) {
            // Read as atoi reads it: no number gives set 0.
            const int n = QelLeadingNumber(fields.GetNextToken());
            if (n < 0 || n > MAX_KEYWORD_SET) return false;
            if (n != current) {
                if (!pending.empty()) {
                    data.m_KeywordsSet.insert({current, pending});
                    pending.clear();
                }
                current = n;
            }
            pending.insert(word);
            data.m_Keywords.insert(word);
        } else {
            pending.insert(token);
            data.m_Keywords.insert(token);
        }
    }
    data.m_KeywordsSet.insert({current, pending});
    return true;
}

bool QelLexer::IsKeyword(const wxString& word) const
{
    return m_Data->m_Keywords.count(word) > 0;
}

bool QelLexer::KeywordStartsWith(const wxString& word) const
{
    const wxString lower = word.Lower();
    const auto it = m_Data->m_Keywords.lower_bound(lower);
    return it != m_Data->m_Keywords.end() && it->StartsWith(lower);
}

wxString QelLexer::GetKeywordsString(int keyword_set) const
{
    const std::set<wxString>* words = &m_Data->m_Keywords;
    if (keyword_set != -1) {
        const auto it = m_Data->m_KeywordsSet.find(keyword_set);
        if (it == m_Data->m_KeywordsSet.end()) return wxString();
        words = &it->second;
    }
    wxString text;
    for (const auto& word : *words) text << word << ' ';
    return text.Trim(true);
}

void QelLexer::SetProperty(const wxString& name, const wxString& value)
{
    Data& data = Edit();
    for (auto& property : data.m_Properties) {
        if (property.GetName() == name) {
            property.Set(value);
            return;
        }
    }
    data.m_Properties.emplace_back(name, value);
}

namespace {

// Colours the start of the text at once; the control colours the rest when
// it is shown or asked for it (fold levels, style queries further on). A
// whole large file would keep its window from showing for seconds.
void ColouriseStart(wxStyledTextCtrl* stc)
{
    constexpr int kColourNow = 1 << 16;
    stc->Colourise(0, std::min(stc->GetLength(), kColourNow) - 1);
}

} // namespace

void QelLexer::Apply(wxStyledTextCtrl* stc, bool clear) const
{
    QelLexers& lexers = *QelLexers::Get(true);
    // Text never styled nor folded (a file just read) has nothing to clear:
    // clearing sets every byte's style one by one.
    if (clear && (stc->GetEndStyled() > 0 || !stc->GetAllLinesVisible())) stc->ClearDocumentStyle();
    for (const auto& property : m_Data->m_Properties) property.ApplyReset(stc);
    for (int n = 0; n <= MAX_KEYWORD_SET; ++n) stc->SetKeyWords(n, wxString());

    const bool theme = lexers.GetThemeOk();
    if (theme) {
        // Keywords go in lower case: right for the control's case-insensitive
        // lexers, while mixed-case keywords of the others never match.
        for (const auto& [n, words] : m_Data->m_KeywordsSet)
            stc->SetKeyWords(n, GetKeywordsString(n).Lower());
        lexers.GetDefaultStyle().Apply(stc);
    }
    if (clear) lexers.ApplyGlobalStyles(stc);
    if (!theme) {
        ColouriseStart(stc);
        return;
    }

    lexers.ApplyIndicators(stc);
    lexers.ApplyProperties(stc);
    lexers.ApplyMarkers(stc);
    // Own properties and styles last, so that they win over global ones.
    for (const auto& property : m_Data->m_Properties) property.Apply(stc);
    for (const auto& style : m_Data->m_Styles) style.Apply(stc);
    ColouriseStart(stc);
}

bool QelLexer::ApplyLexer(const wxString& lexer, wxStyledTextCtrl* stc, bool show_error, bool clear)
{
    // A copy: the caller may pass our own name, which the assignment replaces.
    const wxString requested(lexer);
    const QelLexers& lexers = *QelLexers::Get(true);
    *this = lexers.FindByName(requested);
    if (GetScintillaLexer().empty()) {
        // Byte for character: the line's own text is empty when it holds a
        // byte that is not UTF-8, and only its ASCII start decides.
        const int end = stc->GetLineEndPosition(0);
        *this = lexers.FindByText(wxString::From8BitData(stc->GetTextRangeRaw(0, end), end));
    }

    stc->SetLexerLanguage(GetScintillaLexer());
    m_IsOk
        = (GetScintillaLexer().empty() && requested.empty()) || stc->GetLexer() != wxSTC_LEX_NULL;
    if (!m_IsOk && !GetScintillaLexer().empty() && show_error)
        wxLogError("%s", _("Lexer is not known") + ": " + GetScintillaLexer());

    Apply(stc, clear);
    return m_IsOk;
}

int QelLexer::UsableCharactersPerLine() const
{
    const int begin = static_cast<int>(m_Data->m_CommentBegin.length());
    const int end = static_cast<int>(m_Data->m_CommentEnd.length());
    return (begin > 0 ? LINE_WIDTH - 1 - begin : LINE_WIDTH) - (end > 0 ? end + 1 : 0);
}

wxString QelLexer::MakeSingleLineComment(const wxString& text, bool fill_out_with_space,
                                         bool fill_out) const
{
    const wxString& begin = m_Data->m_CommentBegin;
    const wxString& end = m_Data->m_CommentEnd;
    if (begin.empty() && end.empty()) return text;

    wxUniChar c = ' ';
    if (!fill_out_with_space && m_Data->m_ScintillaLexer != "hypertext" && text.empty())
        // An end without a begin has no last character to repeat: use '-'.
        c = (begin != end && !begin.empty()) ? begin.Last() : wxUniChar('-');

    wxString out = begin + c + text;
    if (fill_out && (c != ' ' || !end.empty())) {
        const int n = UsableCharactersPerLine() - static_cast<int>(text.length());
        if (n > 0) out.Append(c, n);
    }
    if (!end.empty()) out << c << end;
    return out;
}

wxString QelLexer::MakeComment(const wxString& text, bool fill_out_with_space, bool fill_out) const
{
    if (!text.Contains("\n"))
        return QelAlignText(text, wxString(), fill_out_with_space, fill_out, *this);
    return GetFormattedText(text, wxString(), fill_out_with_space, fill_out);
}

wxString QelLexer::MakeComment(const wxString& prefix, const wxString& text) const
{
    if (!text.Contains("\n")) return QelAlignText(text, prefix, true, true, *this);
    return GetFormattedText(text, prefix, true, true);
}

wxString QelLexer::GetFormattedText(const wxString& lines, const wxString& header,
                                    bool fill_out_with_space, bool fill_out) const
{
    wxString out;
    bool first = true;
    wxStringTokenizer pieces(lines, "\n", wxTOKEN_RET_EMPTY);
    while (pieces.HasMoreTokens()) {
        const wxString h = first ? header : wxString(' ', header.length());
        if (!first) out << '\n';
        out << QelAlignText(pieces.GetNextToken(), h, fill_out_with_space, fill_out, *this);
        first = false;
    }
    return out;
}
