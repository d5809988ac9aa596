// A margin marker of lexers.xml (element `marker`).
#pragma once

#include <wx/colour.h>

class wxStyledTextCtrl;
class wxXmlNode;
class QelLexers;

class QelMarker {
public:
    // Number -1, symbol -1, colours unset; then reads the element when one
    // is given, with macros from `lexers` (the installed object when null).
    explicit QelMarker(const wxXmlNode* node = nullptr, const QelLexers* lexers = nullptr);

    // Only carries a number, to ask whether such a marker was loaded.
    explicit QelMarker(int no);

    // MarkerDefine when valid; an invalid marker does nothing.
    void Apply(wxStyledTextCtrl* stc) const;

    int GetNo() const { return m_No; }
    int GetSymbol() const { return m_Symbol; }
    const wxColour& GetForegroundColour() const { return m_ForegroundColour; }
    const wxColour& GetBackgroundColour() const { return m_BackgroundColour; }

    // Number and symbol both 0..31.
    bool IsOk() const;

    // By number alone: an ordered set holds one marker per number.
    bool operator<(const QelMarker& m) const { return m_No < m.m_No; }
    bool operator==(const QelMarker& m) const { return m_No == m.m_No; }

private:
    int m_No = -1;
    int m_Symbol = -1;
    wxColour m_BackgroundColour;
    wxColour m_ForegroundColour;
};
