// All of lexers.xml: the lexers, macros, themes, and the global element's
// default style, styles, hex styles, markers, indicators and properties.
// One object for the process (Get/Set); tests make their own on a fixture.
#pragma once

#include <map>
#include <set>
#include <vector>

#include <wx/filename.h>
#include <wx/string.h>

#include <qelkit/indicator.h>
#include <qelkit/lexer.h>
#include <qelkit/marker.h>
#include <qelkit/property.h>
#include <qelkit/style.h>

class wxStyledTextCtrl;
class wxWindow;
class wxXmlNode;

class QelLexers {
public:
    using StringMap = std::map<wxString, wxString>;

    // Empty tables bound to the file; nothing is read yet.
    explicit QelLexers(const wxFileName& filename);

    // The installed object; made from the shipped lexers.xml and read on
    // first use when createOnDemand (a missing file is logged as a warning).
    static QelLexers* Get(bool createOnDemand = true);

    // Installs `lexers` (may be null); returns the previous one, which the
    // caller now owns.
    static QelLexers* Set(QelLexers* lexers);

    // Reads the file, replacing all tables. False (tables kept, the file
    // named in the log) when it is missing or no well-formed XML.
    bool Read();

    const wxFileName& GetFileName() const { return m_FileName; }
    size_t Count() const { return m_Lexers.size(); }
    const std::map<wxString, QelLexer>& GetLexers() const { return m_Lexers; }
    const StringMap& GetMacros() const { return m_Macros; }
    const QelStyle& GetDefaultStyle() const { return m_DefaultStyle; }
    const std::vector<QelStyle>& GetStyles() const { return m_Styles; }
    const std::vector<QelStyle>& GetStylesHex() const { return m_StylesHex; }
    const std::vector<QelProperty>& GetGlobalProperties() const { return m_GlobalProperties; }

    // The settings value "theme" (default "xcode") when the file defines
    // it, else no theme (the empty name).
    wxString GetTheme() const;
    bool GetThemeOk() const { return GetTheme() != m_NoTheme; }

    // Every theme name in name order, the no-theme "" first; empty before
    // any successful read.
    std::vector<wxString> GetThemes() const;

    // Style macros of the theme in effect; an empty map when there are none.
    const StringMap& GetThemeMacros() const;

    // A file macro's value, else a theme style macro's value, else the text.
    wxString ApplyMacro(const wxString& text) const;

    bool MarkerIsLoaded(const QelMarker& marker) const;
    bool IndicatorIsLoaded(const QelIndicator& indic) const;

    // One property per `property` child, in order, valid or not.
    std::vector<QelProperty> ParseNodeProperties(const wxXmlNode* node) const;

    // The lexers' file patterns as one settings list (code 11 between).
    wxString GetLexerExtensions() const;

    // Lookups; each returns a copy, or the empty lexer for nothing found.
    QelLexer FindByName(const wxString& name) const;
    QelLexer FindByFileName(const wxFileName& filename) const;
    QelLexer FindByText(const wxString& text) const;

    // File-dialog wildcard: all files and one entry per lexer, the entries
    // of the lexers that match `filename` in front.
    wxString BuildWildCards(const wxFileName& filename) const;

    // Default style, global styles, theme colours and indicators.
    void ApplyGlobalStyles(wxStyledTextCtrl* stc);
    void ApplyHexStyles(wxStyledTextCtrl* stc) const;
    void ApplyIndicators(wxStyledTextCtrl* stc) const;
    void ApplyMarkers(wxStyledTextCtrl* stc) const;
    void ApplyProperties(wxStyledTextCtrl* stc) const;

    // Lets the user pick a lexer name (or none); true and `lexer` set when
    // confirmed.
    bool ShowDialog(wxWindow* parent, wxString& lexer, const wxString& caption) const;

    // Lets the user pick a theme; when confirmed stores it under "theme" and
    // returns the result of reading the file again. False without a dialog
    // when nothing was read yet.
    bool ShowThemeDialog(wxWindow* parent, const wxString& caption);

private:
    void Initialize();
    void ParseNodeMacro(const wxXmlNode* node);
    void ParseNodeThemes(const wxXmlNode* node);
    void ParseNodeTheme(const wxXmlNode* node);
    void ParseNodeGlobal(const wxXmlNode* node);

    // Finds the lexer of a file name without trying every lexer's patterns:
    // the "*.ext" patterns by a look-up of the extension, the others in order.
    struct ExtensionIndex {
        std::vector<wxString> names;           // the lexers in the order of m_Lexers
        std::map<wxString, size_t> extensions; // upper-cased extension -> first lexer
        std::vector<std::pair<size_t, std::vector<wxString>>> others; // wildcards by lexer
    };
    void IndexExtensions();

    std::map<wxString, QelLexer> m_Lexers;
    ExtensionIndex m_Index;
    StringMap m_Macros;
    StringMap m_DefaultColours; // the control's own colours, taken once
    StringMap m_TempColours;
    StringMap m_TempMacros;
    std::map<wxString, StringMap> m_ThemeColours;
    std::map<wxString, StringMap> m_ThemeMacros;
    std::set<QelIndicator> m_Indicators;
    std::set<QelMarker> m_Markers;
    std::vector<QelProperty> m_GlobalProperties;
    std::vector<QelStyle> m_Styles;
    std::vector<QelStyle> m_StylesHex;
    QelStyle m_DefaultStyle;
    const wxFileName m_FileName;
    const wxString m_NoTheme;

    static QelLexers* m_Self;
};
