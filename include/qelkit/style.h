// A style of lexers.xml: one style definition for one or more style
// numbers of the editor control, and the parsing helpers that all the
// lexer records (styles, markers, indicators) share.
#pragma once

#include <set>
#include <vector>

#include <wx/colour.h>
#include <wx/string.h>

class wxFont;
class wxStyledTextCtrl;
class wxXmlNode;
class QelLexers;

// The editor font when the settings name none: the toolkit's fixed-width
// family (the system's own fixed font is a proportional one on GTK).
wxFont QelDefaultEditorFont();

class QelStyle {
public:
    // No numbers, empty value: not valid.
    QelStyle() = default;

    // Reads a `style` or `hex` element. Macros and theme style macros come
    // from `lexers`, the installed lexers object when that is null.
    explicit QelStyle(const wxXmlNode* node, const QelLexers* lexers = nullptr);

    // Numbers from the number list `no` (macros expanded), `value` as is.
    QelStyle(const wxString& no, const wxString& value, const QelLexers* lexers = nullptr);

    // Resets the control's default style when there are no numbers, else
    // sets the definition on every number in ascending order.
    void Apply(wxStyledTextCtrl* stc) const;

    // Whether style number 32, the control's default style, is one of ours.
    bool ContainsDefaultStyle() const;

    bool IsOk() const { return !m_No.empty() && !m_Value.empty(); }

    const std::set<int>& GetNo() const { return m_No; }
    const wxString& GetValue() const { return m_Value; }

private:
    void SetNo(const wxString& text, const QelLexers& lexers);

    std::set<int> m_No; // style numbers 0..255
    wxString m_Value;   // as StyleSetSpec takes it
};

// Helpers shared by the records.

// Splits at commas: an empty item at the start or between two commas counts,
// a comma at the very end adds no item; "" gives no items.
std::vector<wxString> QelSplitItems(const wxString& text);

// A whole decimal number (an optional sign, then digits only) that fits in
// an int; false for anything else, overflow included.
bool QelToWholeNumber(const wxString& text, int* number);

// A record's whole number: on anything else sets -1 and logs the message,
// a format that takes the text and the line number.
bool QelReadRecordNumber(const wxString& text, int* number, const wxString& message, int line);

// The number at the start of the text as C's atoi reads it (leading white
// space skipped, 0 when no digits follow), saturated instead of overflowing.
int QelLeadingNumber(const wxString& text);

// The colour a text names ("#RRGGBB" or a colour name); unset (not ok)
// for a text the toolkit does not take, the empty text included.
wxColour QelColourFromText(const wxString& text);

// The colour items ("fore:", "back:") of a style definition that the
// control cannot turn into a colour; a value with one is refused while
// reading, as the control's own parser would assert on it.
bool QelStyleSpecIsValid(const wxString& spec);
