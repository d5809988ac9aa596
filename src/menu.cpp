#include <qelkit/menu.h>

#include <wx/artprov.h>

#include <qelkit/art.h>
#include <qelkit/lexers.h>
#include <qelkit/util.h>

namespace {

wxSize MenuArtSize()
{
    return wxArtProvider::GetSizeHint(wxART_MENU);
}

} // namespace

QelMenu::QelMenu(long style)
    : wxMenu(0)
    , m_Style(style)
{ }

QelMenu::QelMenu(const QelMenu& menu)
    : wxMenu(0)
    , m_Style(menu.m_Style)
{ }

wxMenuItem* QelMenu::Append(int id)
{
    auto* item = new wxMenuItem(this, id);
    const QelStockArt art(id);
    // Bitmaps go on before the item is appended: GTK takes them only then.
    if (art.GetBitmap().IsOk()) item->SetBitmap(art.GetBitmap(wxART_MENU, MenuArtSize()));
    return wxMenu::Append(item);
}

wxMenuItem* QelMenu::Append(int id, const wxString& name, const wxString& helptext,
                            const wxArtID& artid)
{
    auto* item = new wxMenuItem(this, id, name, helptext);
    if (!artid.empty()) {
        const wxBitmap bitmap = wxArtProvider::GetBitmap(artid, wxART_MENU, MenuArtSize());
        if (bitmap.IsOk()) item->SetBitmap(bitmap);
    }
    return wxMenu::Append(item);
}

wxMenuItem* QelMenu::AppendSubMenu(wxMenu* submenu, const wxString& text, const wxString& help,
                                   int itemid)
{
    if (itemid == wxID_ANY) return wxMenu::AppendSubMenu(submenu, text, help);
    return wxMenu::Append(itemid, text, submenu, help);
}

wxMenuItem* QelMenu::AppendSeparator()
{
    const size_t count = GetMenuItemCount();
    if (count == 0 || FindItemByPosition(count - 1)->IsSeparator()) return nullptr;
    return wxMenu::AppendSeparator();
}

void QelMenu::DropTrailingSeparator()
{
    const size_t count = GetMenuItemCount();
    if (count > 0 && FindItemByPosition(count - 1)->IsSeparator())
        Destroy(FindItemByPosition(count - 1));
}

std::vector<int> QelMenuEditIds(long style, bool add_invert)
{
    const bool readonly = (style & MENU_READ_ONLY) != 0;
    const bool selected = (style & MENU_HAS_SELECTION) != 0;
    const bool empty = (style & MENU_NO_CONTENT) != 0;

    std::vector<int> ids;
    if (!readonly && selected) ids.push_back(wxID_CUT);
    if (selected) ids.push_back(wxID_COPY);
    if (!readonly && (style & MENU_OFFER_PASTE) != 0) ids.push_back(wxID_PASTE);
    if (!selected && !empty) {
        ids.push_back(wxID_SELECTALL);
    } else if (add_invert && !empty) {
        ids.push_back(ID_EDIT_SELECT_NONE);
    }
    if ((style & MENU_OFFER_CLEAR) != 0) ids.push_back(wxID_CLEAR);
    if (add_invert && !empty) ids.push_back(ID_EDIT_SELECT_INVERT);
    if (!readonly && selected && !empty) ids.push_back(wxID_DELETE);
    return ids;
}

void QelMenu::AppendEdit(bool add_invert)
{
    for (const int id : QelMenuEditIds(m_Style, add_invert)) {
        switch (id) {
        case ID_EDIT_SELECT_NONE:
            Append(id, _("&Deselect All"));
            break;
        case ID_EDIT_SELECT_INVERT:
            Append(id, _("&Invert"));
            break;
        default:
            Append(id);
            break;
        }
    }
}

void QelMenu::AppendBars()
{
    AppendCheckItem(ID_VIEW_STATUSBAR, _("&Statusbar"));
    AppendCheckItem(ID_VIEW_TOOLBAR, _("&Toolbar"));
    AppendCheckItem(ID_VIEW_FINDBAR, _("&Findbar"));
}

void QelMenu::AppendPrint()
{
    Append(wxID_PRINT_SETUP, QelEllipsed(_("Page &Setup")));
    Append(wxID_PREVIEW);
    Append(wxID_PRINT);
}

bool QelMenu::AppendTools(int WXUNUSED(itemid))
{
    QelLexers::Get(true);
    return false;
}
