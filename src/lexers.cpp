#include <qelkit/lexers.h>

#include <wx/choicdlg.h>
#include <wx/config.h>
#include <wx/intl.h>
#include <wx/log.h>
#include <wx/regex.h>
#include <wx/stc/stc.h>
#include <wx/xml/xml.h>

#include <qelkit/dir.h>
#include <qelkit/paths.h>
#include <qelkit/util.h>
#include <qelkit/xml.h>

QelLexers* QelLexers::m_Self = nullptr;

namespace {

const wxString THEME_KEY = "theme";
const wxString DEFAULT_THEME = "xcode";

bool IsElement(const wxXmlNode* node, const char* name)
{
    return node->GetType() == wxXML_ELEMENT_NODE && node->GetName() == name;
}

wxString Content(const wxXmlNode* node)
{
    return node->GetNodeContent().Strip(wxString::both);
}

// The chosen text by its index: the dialog keeps the selected text only when
// its own OK button ends it.
wxString ChoiceOf(const wxSingleChoiceDialog& dialog, const wxArrayString& choices)
{
    const int index = dialog.GetSelection();
    return index >= 0 && size_t(index) < choices.size() ? choices[index] : wxString();
}

// The control's own colour as text that reads back to the same colour: a
// colour name would not, as GTK takes "light grey" for another grey than the
// toolkit's colour table gives that name to.
wxString ColourText(const wxColour& colour)
{
    return colour.GetAsString(wxC2S_CSS_SYNTAX);
}

} // namespace

QelLexers::QelLexers(const wxFileName& filename)
    : m_FileName(filename)
    , m_NoTheme(wxEmptyString)
{ }

QelLexers* QelLexers::Get(bool createOnDemand)
{
    if (m_Self == nullptr && createOnDemand) {
        // Installed before reading, so that anything reading asks this one.
        m_Self = new QelLexers(QelResourceFile("lexers.xml"));
        if (!m_Self->GetFileName().Exists(wxFILE_EXISTS_ANY))
            wxLogWarning(_("Lexers file not found: %s"), m_Self->GetFileName().GetFullPath());
        m_Self->Read();
    }
    return m_Self;
}

QelLexers* QelLexers::Set(QelLexers* lexers)
{
    QelLexers* previous = m_Self;
    m_Self = lexers;
    return previous;
}

bool QelLexers::Read()
{
    // What is there but is no regular file is refused by the load, naming it.
    if (!m_FileName.Exists(wxFILE_EXISTS_ANY)) return false;

    wxXmlDocument doc;
    wxString reason;
    if (!QelLoadXml(m_FileName.GetFullPath(), &doc, &reason) || doc.GetRoot() == nullptr) {
        wxLogError(_("Lexers file could not be loaded: %s: %s"), m_FileName.GetFullPath(), reason);
        return false;
    }

    Initialize();
    for (const wxXmlNode* child = doc.GetRoot()->GetChildren(); child != nullptr;
         child = child->GetNext()) {
        if (IsElement(child, "macro"))
            ParseNodeMacro(child);
        else if (IsElement(child, "global"))
            ParseNodeGlobal(child);
        else if (IsElement(child, "lexer")) {
            QelLexer lexer(child, this);
            m_Lexers.insert({lexer.GetScintillaLexer(), lexer});
        }
    }
    IndexExtensions();

    if (wxConfigBase* config = wxConfigBase::Get(false); config != nullptr) {
        for (const wxString& key : {_("In files"), _("Add what")})
            if (!config->Exists(key)) config->Write(key, GetLexerExtensions());
    }
    return true;
}

void QelLexers::Initialize()
{
    m_DefaultStyle = QelStyle();
    m_ThemeColours.clear();
    m_GlobalProperties.clear();
    m_Indicators.clear();
    m_Lexers.clear();
    m_Index = ExtensionIndex();
    m_Macros.clear();
    m_ThemeMacros.clear();
    m_Markers.clear();
    m_Styles.clear();
    m_StylesHex.clear();
    m_TempColours.clear();
    m_TempMacros.clear();
    m_ThemeColours[m_NoTheme] = m_DefaultColours;
    m_ThemeMacros[m_NoTheme] = StringMap();
}

void QelLexers::ParseNodeMacro(const wxXmlNode* node)
{
    for (const wxXmlNode* child = node->GetChildren(); child != nullptr; child = child->GetNext()) {
        if (IsElement(child, "def")) {
            const wxString name = child->GetAttribute("no", "");
            if (name.empty()) continue;
            if (m_Macros.count(name) > 0)
                wxLogError(_("Macro: %s on line: %d already exists"), name, child->GetLineNumber());
            else
                m_Macros[name] = Content(child);
        } else if (IsElement(child, "themes")) {
            ParseNodeThemes(child);
        }
    }
}

void QelLexers::ParseNodeThemes(const wxXmlNode* node)
{
    for (const wxXmlNode* child = node->GetChildren(); child != nullptr; child = child->GetNext()) {
        if (!IsElement(child, "theme")) continue;
        ParseNodeTheme(child);
        const wxString name = child->GetAttribute("name", "");
        m_ThemeColours[name] = m_TempColours;
        m_ThemeMacros[name] = m_TempMacros;
    }
}

void QelLexers::ParseNodeTheme(const wxXmlNode* node)
{
    m_TempColours.clear();
    m_TempMacros.clear();
    for (const wxXmlNode* child = node->GetChildren(); child != nullptr; child = child->GetNext()) {
        if (IsElement(child, "def")) {
            const wxString style = child->GetAttribute("style", "");
            const wxString content = Content(child);
            if (style.empty()) continue;
            if (m_TempMacros.count(style) > 0)
                wxLogError(_("Macro style: %s on line: %d already exists"), style,
                           child->GetLineNumber());
            // A colour the control cannot take would assert whenever it is applied.
            else if (!QelStyleSpecIsValid(content))
                wxLogError(_("Illegal style: %s on line: %d"), content, child->GetLineNumber());
            else
                m_TempMacros[style] = content;
        } else if (IsElement(child, "colour")) {
            m_TempColours[child->GetAttribute("name", "0")] = ApplyMacro(Content(child));
        }
    }
}

void QelLexers::ParseNodeGlobal(const wxXmlNode* node)
{
    for (const wxXmlNode* child = node->GetChildren(); child != nullptr; child = child->GetNext()) {
        if (child->GetType() != wxXML_ELEMENT_NODE || GetTheme() == m_NoTheme) continue;
        const wxString& name = child->GetName();
        if (name == "hex") {
            m_StylesHex.emplace_back(child, this);
        } else if (name == "indicator") {
            const QelIndicator indicator(child, this);
            if (indicator.IsOk()) m_Indicators.insert(indicator);
        } else if (name == "marker") {
            const QelMarker marker(child, this);
            if (marker.IsOk()) m_Markers.insert(marker);
        } else if (name == "properties") {
            m_GlobalProperties = ParseNodeProperties(child);
        } else if (name == "style") {
            const QelStyle style(child, this);
            if (!style.ContainsDefaultStyle())
                m_Styles.push_back(style);
            else if (m_DefaultStyle.IsOk())
                wxLogError(_("Duplicate default style: %s on line: %d"), name,
                           child->GetLineNumber());
            else
                m_DefaultStyle = style;
        }
    }
}

std::vector<QelProperty> QelLexers::ParseNodeProperties(const wxXmlNode* node) const
{
    std::vector<QelProperty> properties;
    for (const wxXmlNode* child = node->GetChildren(); child != nullptr; child = child->GetNext())
        if (IsElement(child, "property")) properties.emplace_back(child);
    return properties;
}

wxString QelLexers::GetTheme() const
{
    // Read on every call, so a changed setting takes effect at once.
    const wxConfigBase* config = wxConfigBase::Get(false);
    const wxString theme
        = config != nullptr ? config->Read(THEME_KEY, DEFAULT_THEME) : DEFAULT_THEME;
    if (m_ThemeMacros.count(theme) > 0) return theme;
    // After a read the first name is the no-theme: an unknown theme is none.
    if (!m_ThemeMacros.empty()) return m_ThemeMacros.begin()->first;
    return m_NoTheme;
}

std::vector<wxString> QelLexers::GetThemes() const
{
    std::vector<wxString> themes;
    for (const auto& theme : m_ThemeMacros) themes.push_back(theme.first);
    return themes;
}

const QelLexers::StringMap& QelLexers::GetThemeMacros() const
{
    static const StringMap none;
    const auto it = m_ThemeMacros.find(GetTheme());
    return it != m_ThemeMacros.end() ? it->second : none;
}

wxString QelLexers::ApplyMacro(const wxString& text) const
{
    if (const auto it = m_Macros.find(text); it != m_Macros.end()) return it->second;
    const auto& styles = GetThemeMacros();
    if (const auto it = styles.find(text); it != styles.end()) return it->second;
    return text;
}

bool QelLexers::MarkerIsLoaded(const QelMarker& marker) const
{
    return m_Markers.count(marker) > 0;
}

bool QelLexers::IndicatorIsLoaded(const QelIndicator& indic) const
{
    return m_Indicators.count(indic) > 0;
}

wxString QelLexers::GetLexerExtensions() const
{
    wxString text;
    for (const auto& [name, lexer] : m_Lexers) {
        const wxString& extensions = lexer.GetExtensions();
        if (extensions.empty() || extensions == "*." + name) continue;
        if (!text.empty()) text << QelGetFieldSeparator();
        text << extensions;
    }
    return text;
}

QelLexer QelLexers::FindByName(const wxString& name) const
{
    const auto it = m_Lexers.find(name);
    return it != m_Lexers.end() ? it->second : QelLexer();
}

void QelLexers::IndexExtensions()
{
    m_Index = ExtensionIndex();
    for (const auto& [name, lexer] : m_Lexers) {
        const size_t number = m_Index.names.size();
        m_Index.names.push_back(name);
        std::vector<wxString> others;
        for (const wxString& pattern : QelSplitPatterns(lexer.GetExtensions())) {
            const wxString ext = pattern.Mid(2);
            if (pattern.StartsWith("*.") && !ext.empty()
                && ext.find_first_of("*?.") == wxString::npos)
                m_Index.extensions.insert({ext, number}); // an earlier lexer keeps it
            else
                others.push_back(pattern);
        }
        if (!others.empty()) m_Index.others.emplace_back(number, std::move(others));
    }
}

QelLexer QelLexers::FindByFileName(const wxFileName& filename) const
{
    const wxString name = filename.GetFullName().Upper();
    const size_t dot = name.rfind('.');
    size_t best = m_Index.names.size();
    if (dot != wxString::npos) {
        const auto found = m_Index.extensions.find(name.substr(dot + 1));
        if (found != m_Index.extensions.end()) best = found->second;
    }
    for (const auto& [number, patterns] : m_Index.others) {
        if (number >= best) break;
        if (QelMatchesAny(name, patterns)) best = number;
    }
    return best < m_Index.names.size() ? m_Lexers.at(m_Index.names[best]) : QelLexer();
}

QelLexer QelLexers::FindByText(const wxString& text) const
{
    static const wxRegEx shell("#! */bin/.*", wxRE_EXTENDED);
    const wxString lower = text.Lower();
    if (lower.StartsWith("<html>")) return FindByName("hypertext");
    if (lower.StartsWith("<?xml")) return FindByName("xml");
    if (lower.StartsWith("//")) return FindByName("cpp");
    if (shell.Matches(lower)) return FindByName("bash");
    return QelLexer();
}

wxString QelLexers::BuildWildCards(const wxFileName& filename) const
{
    wxString wildcards = _("All Files")
        + wxString::Format(" (%s)|%s", wxFileSelectorDefaultWildcardStr,
                           wxFileSelectorDefaultWildcardStr);
    for (const auto& [name, lexer] : m_Lexers) {
        const wxString& extensions = lexer.GetExtensions();
        // A '|' of the user's file would split the entry in the wrong place.
        if (extensions.empty() || extensions.Contains("|") || name.Contains("|")) continue;
        const wxString entry = name + " (" + extensions + ") |" + extensions;
        if (QelMatchesOneOf(filename, extensions))
            wildcards = entry + "|" + wildcards;
        else
            wildcards = wildcards + "|" + entry;
    }
    return wildcards;
}

void QelLexers::ApplyGlobalStyles(wxStyledTextCtrl* stc)
{
    if (m_DefaultColours.empty()) {
        m_DefaultColours["caretforeground"] = ColourText(stc->GetCaretForeground());
        m_DefaultColours["caretlinebackground"] = ColourText(stc->GetCaretLineBackground());
        m_DefaultColours["edge"] = ColourText(stc->GetEdgeColour());
    }

    m_DefaultStyle.Apply(stc);
    stc->StyleClearAll();
    for (const auto& style : m_Styles) style.Apply(stc);

    if (const auto theme = m_ThemeColours.find(GetTheme()); theme != m_ThemeColours.end()) {
        for (const auto& [key, text] : theme->second) {
            const wxColour colour = QelColourFromText(text);
            // The control asserts on a colour that is not set.
            if (!colour.IsOk()) continue;
            if (key == "caretforeground")
                stc->SetCaretForeground(colour);
            else if (key == "caretlinebackground")
                stc->SetCaretLineBackground(colour);
            else if (key == "selbackground")
                stc->SetSelBackground(true, colour);
            else if (key == "selforeground")
                stc->SetSelForeground(true, colour);
            else if (key == "calltipbackground")
                stc->CallTipSetBackground(colour);
            else if (key == "calltipforeground")
                stc->CallTipSetForeground(colour);
            else if (key == "edge")
                stc->SetEdgeColour(colour);
        }
    }
    ApplyIndicators(stc);
}

void QelLexers::ApplyHexStyles(wxStyledTextCtrl* stc) const
{
    for (const auto& style : m_StylesHex) style.Apply(stc);
}

void QelLexers::ApplyIndicators(wxStyledTextCtrl* stc) const
{
    for (const auto& indicator : m_Indicators) indicator.Apply(stc);
}

void QelLexers::ApplyMarkers(wxStyledTextCtrl* stc) const
{
    for (const auto& marker : m_Markers) marker.Apply(stc);
}

void QelLexers::ApplyProperties(wxStyledTextCtrl* stc) const
{
    for (const auto& property : m_GlobalProperties) property.Apply(stc);
}

bool QelLexers::ShowDialog(wxWindow* parent, wxString& lexer, const wxString& caption) const
{
    wxArrayString choices;
    for (const auto& entry : m_Lexers) choices.Add(entry.first);
    choices.Add(wxEmptyString);

    wxSingleChoiceDialog dialog(parent, _("Input") + ":", caption, choices, nullptr,
                                wxCHOICEDLG_STYLE);
    if (const int index = choices.Index(lexer); index != wxNOT_FOUND) dialog.SetSelection(index);
    if (dialog.ShowModal() == wxID_CANCEL) return false;

    lexer = FindByName(ChoiceOf(dialog, choices)).GetScintillaLexer();
    return true;
}

bool QelLexers::ShowThemeDialog(wxWindow* parent, const wxString& caption)
{
    if (m_ThemeMacros.empty()) return false;

    wxArrayString choices;
    for (const auto& theme : GetThemes()) choices.Add(theme);

    wxSingleChoiceDialog dialog(parent, _("Input") + ":", caption, choices, nullptr,
                                wxCHOICEDLG_STYLE);
    if (const int index = choices.Index(GetTheme()); index != wxNOT_FOUND)
        dialog.SetSelection(index);
    if (dialog.ShowModal() == wxID_CANCEL) return false;

    wxConfigBase::Get()->Write(THEME_KEY, ChoiceOf(dialog, choices));
    return Read();
}
