// The default font and colours of a window, looked up in the toolkit's theme
// once instead of for every device context made on the window.
#pragma once

#include <functional>
#include <optional>

#include <wx/window.h>

class QelDefaultAttributes {
public:
    // A change of the system's colours or theme, told to window, drops what
    // was kept.
    explicit QelDefaultAttributes(wxWindow* window);

    QelDefaultAttributes(const QelDefaultAttributes&) = delete;
    QelDefaultAttributes& operator=(const QelDefaultAttributes&) = delete;

    // What lookup gives, kept from its first call until the theme changes.
    wxVisualAttributes Get(const std::function<wxVisualAttributes()>& lookup) const;

private:
    mutable std::optional<wxVisualAttributes> m_Attributes;
};
