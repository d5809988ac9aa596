// An indicator of lexers.xml (element `indicator`).
#pragma once

#include <wx/colour.h>

class wxStyledTextCtrl;
class wxXmlNode;
class QelLexers;

class QelIndicator {
public:
    // Number -1, style -1, colour unset, not under; then reads the element
    // when one is given, with macros from `lexers` (installed object if null).
    explicit QelIndicator(const wxXmlNode* node = nullptr, const QelLexers* lexers = nullptr);

    // Only carries a number, to ask whether such an indicator was loaded.
    explicit QelIndicator(int no);

    // Style, then colour (only when set), then under; nothing when invalid.
    void Apply(wxStyledTextCtrl* stc) const;

    int GetNo() const { return m_No; }
    int GetStyle() const { return m_Style; }
    const wxColour& GetForegroundColour() const { return m_ForegroundColour; }
    bool GetUnder() const { return m_Under; }

    // Number 0..31 and style 0..7.
    bool IsOk() const;

    // By number alone, as markers.
    bool operator<(const QelIndicator& i) const { return m_No < i.m_No; }
    bool operator==(const QelIndicator& i) const { return m_No == i.m_No; }

private:
    int m_No = -1;
    int m_Style = -1;
    wxColour m_ForegroundColour;
    bool m_Under = false;
};
