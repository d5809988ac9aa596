// A lexer property of lexers.xml (element `property`): a name the control's
// lexer knows and its value.
#pragma once

#include <wx/string.h>

class wxStyledTextCtrl;
class wxXmlNode;

class QelProperty {
public:
    // Empty name and value; then reads the element when one is given.
    explicit QelProperty(const wxXmlNode* node = nullptr);
    QelProperty(const wxString& name, const wxString& value);

    // SetProperty on the control when valid.
    void Apply(wxStyledTextCtrl* stc) const;

    // Sets the property to the empty text, valid or not.
    void ApplyReset(wxStyledTextCtrl* stc) const;

    bool IsOk() const { return !m_Name.empty() && !m_Value.empty(); }

    const wxString& GetName() const { return m_Name; }
    const wxString& GetValue() const { return m_Value; }

    // Replaces the value.
    void Set(const wxString& value) { m_Value = value; }

private:
    wxString m_Name;
    wxString m_Value;
};
