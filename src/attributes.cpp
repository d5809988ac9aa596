#include <qelkit/attributes.h>

QelDefaultAttributes::QelDefaultAttributes(wxWindow* window)
{
    window->Bind(wxEVT_SYS_COLOUR_CHANGED, [this](wxSysColourChangedEvent& event) {
        // The toolkit passes the change on to the children from here.
        event.Skip();
        m_Attributes.reset();
    });
}

wxVisualAttributes
QelDefaultAttributes::Get(const std::function<wxVisualAttributes()>& lookup) const
{
    if (!m_Attributes) m_Attributes = lookup();
    return *m_Attributes;
}
