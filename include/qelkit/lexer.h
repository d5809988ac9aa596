// One lexer of lexers.xml held as a value: the control's lexer name, the file
// patterns it serves, its comment syntaxes, keyword sets, own styles and
// properties. Copies are cheap: they share the data until one is changed.
#pragma once

#include <map>
#include <memory>
#include <set>
#include <vector>

#include <wx/string.h>

#include <qelkit/property.h>
#include <qelkit/style.h>

class wxStyledTextCtrl;
class wxXmlNode;
class QelLexers;

class QelLexer {
public:
    // The empty lexer: every text and container empty, not ok.
    QelLexer();

    // Reads a `lexer` element; macros and theme come from `lexers`, the
    // installed lexers object when that is null.
    explicit QelLexer(const wxXmlNode* node, const QelLexers* lexers = nullptr);

    // Comment syntaxes: the first one (begin1, end1) and the second one
    // (begin2, end2); an empty end means the comment runs to the line end.
    const wxString& GetCommentBegin() const;
    const wxString& GetCommentBegin2() const;
    const wxString& GetCommentEnd() const;
    const wxString& GetCommentEnd2() const;

    // The ";"-separated file patterns, as written in lexers.xml.
    const wxString& GetExtensions() const;

    // The lexer's name, also the language name the control takes.
    const wxString& GetScintillaLexer() const;

    // Every keyword of every set, as spelled in lexers.xml.
    const std::set<wxString>& GetKeywords() const;

    // Keyword set number (0..7) to its words.
    const std::map<int, std::set<wxString>>& GetKeywordsSets() const;

    const std::vector<QelStyle>& GetStyles() const;
    const std::vector<QelProperty>& GetProperties() const;

    // After reading: a name was given; after ApplyLexer: the control took it.
    bool IsOk() const { return m_IsOk; }

    // Becomes the lexer named `lexer` (or, for a name without a lexer, the
    // one guessed from the control's first line), sets it on the control and
    // applies it. Returns whether the control knows the lexer.
    bool ApplyLexer(const wxString& lexer, wxStyledTextCtrl* stc, bool show_error = true,
                    bool clear = true);

    // Sends keywords, styles, properties, indicators and markers to the
    // control (the last three and the keywords only with a theme in effect)
    // and colours its text again.
    void Apply(wxStyledTextCtrl* stc, bool clear = true) const;

    // Sets or adds one own property; the control is not touched.
    void SetProperty(const wxString& name, const wxString& value);

    // Replaces all keywords from a keyword text ("word" or "word:set", set
    // 0..7, separated by blanks, tabs and line ends). False when a set
    // number is out of range; what was stored before it stays.
    bool SetKeywords(const wxString& value);

    // Exact, case-sensitive.
    bool IsKeyword(const wxString& word) const;

    // Whether a keyword begins with the lower-cased word.
    bool KeywordStartsWith(const wxString& word) const;

    // The words of one set, or of all sets for -1, sorted, joined by blanks.
    wxString GetKeywordsString(int keyword_set = -1) const;

    // Width of the text inside one comment line of 80 columns.
    int UsableCharactersPerLine() const;

    // One comment line around the text, padded to 80 columns when asked.
    wxString MakeSingleLineComment(const wxString& text, bool fill_out_with_space = false,
                                   bool fill_out = true) const;

    // The text as wrapped comment lines, no line feed after the last.
    wxString MakeComment(const wxString& text, bool fill_out_with_space, bool fill_out) const;

    // The same behind a prefix (later lines indented as far), filled out
    // with blanks.
    wxString MakeComment(const wxString& prefix, const wxString& text) const;

private:
    struct Data;

    void Set(const wxXmlNode* node, const QelLexers& lexers);
    void AutoMatch(const wxString& lexer, const QelLexers& lexers);
    std::vector<QelStyle> ParseNodeStyles(const wxXmlNode* node, const QelLexers& lexers) const;
    wxString GetFormattedText(const wxString& lines, const wxString& header,
                              bool fill_out_with_space, bool fill_out) const;

    // The data to change, no longer shared with other copies.
    Data& Edit();

    // One data block shared by every empty lexer: making one allocates nothing.
    static const std::shared_ptr<Data>& EmptyData();

    std::shared_ptr<Data> m_Data; // shared between copies; never changed while shared
    bool m_IsOk = false;
};
