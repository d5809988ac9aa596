#include <qelkit/property.h>

#include <wx/intl.h>
#include <wx/log.h>
#include <wx/stc/stc.h>
#include <wx/xml/xml.h>

QelProperty::QelProperty(const wxXmlNode* node)
{
    if (node == nullptr) return;
    m_Name = node->GetAttribute("name", "0");
    m_Value = node->GetNodeContent().Strip(wxString::both);
    if (!IsOk())
        wxLogError(_("Illegal property name: %s or value: %s on line: %d"), m_Name, m_Value,
                   node->GetLineNumber());
}

QelProperty::QelProperty(const wxString& name, const wxString& value)
    : m_Name(name)
    , m_Value(value)
{ }

void QelProperty::Apply(wxStyledTextCtrl* stc) const
{
    if (IsOk()) stc->SetProperty(m_Name, m_Value);
}

void QelProperty::ApplyReset(wxStyledTextCtrl* stc) const
{
    stc->SetProperty(m_Name, "");
}
