// The parts of the list views that talk to the frame: context menus, the
// status-bar counts and printing.
#include <qelkit/listview.h>
#include <qelkit/listviewfile.h>

#include <wx/utils.h>
#include <wx/html/htmprint.h>

#include <qelkit/defs.h>
#include <qelkit/frame.h>
#include <qelkit/menu.h>
#include <qelkit/printing.h>

void QelListView::UpdateStatusBar()
{
    QelFrame::UpdateStatusBar(this);
}

void QelListView::BuildPopupMenu(QelMenu* menu)
{
    menu->AppendSeparator();
    menu->AppendEdit(true);
    if (GetItemCount() == 0 || GetSelectedItemCount() > 0 || !InReportView()) return;

    auto* sort_menu = new wxMenu;
    const size_t max_entries = ID_COLUMN_SORT_HIGHEST - ID_COLUMN_SORT_LOWEST + 1;
    for (size_t col = 0; col < m_Columns.size() && col < max_entries; col++) {
        sort_menu->Append(ID_COLUMN_SORT_LOWEST + static_cast<int>(col), m_Columns[col].GetText());
    }
    menu->AppendSeparator();
    menu->AppendSubMenu(sort_menu, _("Sort On"));
}

void QelListView::PopupSortMenu()
{
    QelMenu menu(GetSelectedItemCount() > 0 ? MENU_HAS_SELECTION : MENU_OFFER_PASTE);
    menu.Append(wxID_SORT_ASCENDING);
    menu.Append(wxID_SORT_DESCENDING);
    PopupMenu(&menu);
}

void QelListView::OnMouse(wxMouseEvent& event)
{
    if (!event.RightDown()) {
        wxFAIL_MSG("unexpected mouse event");
        return;
    }
    QelMenu menu(GetMenuStyle());
    BuildPopupMenu(&menu);
    if (menu.GetMenuItemCount() > 0) PopupMenu(&menu, event.GetPosition());
}

void QelListView::Print()
{
    wxBusyCursor wait;
    QelPrinting::Get()->GetHtmlPrinter()->PrintText(BuildPage());
}

void QelListView::PrintPreview()
{
    wxBusyCursor wait;
    QelPrinting::Get()->GetHtmlPrinter()->PreviewText(BuildPage());
}

void QelListViewFileName::BuildPopupMenu(QelMenu* menu)
{
    QelListView::BuildPopupMenu(menu);
    if (m_Type == LIST_FOLDER) {
        menu->AppendSeparator();
        menu->Append(wxID_ADD);
    }
}
