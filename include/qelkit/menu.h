// The menu of every window: a toolkit menu with a style word describing the
// state of the window it is for, and the standard groups of items.
#pragma once

#include <vector>

#include <wx/artprov.h>
#include <wx/filename.h>
#include <wx/menu.h>
#include <wx/string.h>

#include <qelkit/defs.h>

class QelMenu : public wxMenu {
public:
    // An empty menu; style is a QelMenuStyle bit set.
    explicit QelMenu(long style = 0);
    // An empty menu with the style of menu; its items are not copied.
    QelMenu(const QelMenu& menu);
    QelMenu& operator=(const QelMenu&) = delete;

    long GetStyle() const noexcept { return m_Style; }
    void SetStyle(long style) noexcept { m_Style = style; }

    // A stock item: the toolkit's label for id, and its stock bitmap when
    // there is one.
    wxMenuItem* Append(int id);
    // A labelled item, with the art provider's bitmap for artid when valid.
    wxMenuItem* Append(int id, const wxString& name, const wxString& helptext = wxEmptyString,
                       const wxArtID& artid = wxEmptyString);
    // The toolkit's other forms (a plain Append(id) would be ambiguous with
    // the toolkit's defaulted one, so they are named here one by one).
    wxMenuItem* Append(wxMenuItem* item) { return wxMenu::Append(item); }
    wxMenuItem* Append(int id, const wxString& text, wxMenu* submenu,
                       const wxString& help = wxEmptyString)
    {
        return wxMenu::Append(id, text, submenu, help);
    }

    // With wxID_ANY the toolkit picks the item's id; else the item carries
    // itemid, so update events can enable it.
    wxMenuItem* AppendSubMenu(wxMenu* submenu, const wxString& text,
                              const wxString& help = wxEmptyString, int itemid = wxID_ANY);

    // A separator, but never as the first item or right after another one,
    // so every group may open with it.
    wxMenuItem* AppendSeparator();
    // Removes a separator that ends the menu: the group it opened added
    // nothing.
    void DropTrailingSeparator();

    // The edit group allowed by the style (see QelMenuEditIds).
    void AppendEdit(bool add_invert = false);
    // Check items for the status bar, tool bar and find bar.
    void AppendBars();
    // Page setup, print preview and print.
    void AppendPrint();
    // For a file: the version-control submenu of the system the file is
    // under. For no file (an invalid name): the commands of the base folder's
    // system, asking for the folder when needed. False when nothing was
    // added.
    bool AppendVCS(const wxFileName& filename = wxFileName());
    // Tools have no submenu of their own: adds nothing, returns false.
    bool AppendTools(int itemid = wxID_ANY);

private:
    long m_Style;
};

// The ids of the edit group for a menu style, in menu order.
std::vector<int> QelMenuEditIds(long style, bool add_invert);
