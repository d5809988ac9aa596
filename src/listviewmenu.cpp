// The parts of the list views that talk to the frame: context menus, the
// status-bar counts and printing.
#include <qelkit/listview.h>
#include <qelkit/listviewfile.h>

#include <wx/busyinfo.h>
#include <wx/html/htmprint.h>

#include <qelkit/defs.h>

#if __has_include(<qelkit/menu.h>)
#include <qelkit/menu.h>
#define QEL_HAVE_MENU 1
#endif
#if __has_include(<qelkit/frame.h>)
#include <qelkit/frame.h>
#define QEL_HAVE_FRAME 1
#endif
#if __has_include(<qelkit/printing.h>)
#include <qelkit/printing.h>
#define QEL_HAVE_PRINTING 1
#endif

void QelListView::UpdateStatusBar()
{
#ifdef QEL_HAVE_FRAME
    QelFrame::UpdateStatusBar(this);
#endif
}

void QelListView::BuildPopupMenu(QelMenu* menu)
{
#ifdef QEL_HAVE_MENU
    menu->AppendSeparator();
    menu->AppendEdit(true);
    if (GetItemCount() == 0 || GetSelectedItemCount() > 0 || !InReportView()) return;

    auto* sort_menu = new wxMenu;
    for (size_t col = 0; col < m_Columns.size(); col++) {
        sort_menu->Append(ID_COLUMN_SORT_LOWEST + static_cast<int>(col), m_Columns[col].GetText());
    }
    menu->AppendSeparator();
    menu->AppendSubMenu(sort_menu, _("Sort On"));
#else
    (void)menu;
#endif
}

void QelListView::PopupSortMenu()
{
#ifdef QEL_HAVE_MENU
    QelMenu menu(GetSelectedItemCount() > 0 ? MENU_HAS_SELECTION : MENU_OFFER_PASTE);
    menu.Append(wxID_SORT_ASCENDING);
    menu.Append(wxID_SORT_DESCENDING);
    PopupMenu(&menu);
#endif
}

void QelListView::OnMouse(wxMouseEvent& event)
{
    if (!event.RightDown()) {
        wxFAIL_MSG("unexpected mouse event");
        return;
    }
#ifdef QEL_HAVE_MENU
    QelMenu menu(GetMenuStyle());
    BuildPopupMenu(&menu);
    if (menu.GetMenuItemCount() > 0) PopupMenu(&menu, event.GetPosition());
#endif
}

void QelListView::Print()
{
#ifdef QEL_HAVE_PRINTING
    wxBusyCursor wait;
    QelPrinting::Get()->GetHtmlPrinter()->PrintText(BuildPage());
#endif
}

void QelListView::PrintPreview()
{
#ifdef QEL_HAVE_PRINTING
    wxBusyCursor wait;
    QelPrinting::Get()->GetHtmlPrinter()->PreviewText(BuildPage());
#endif
}

void QelListViewFileName::BuildPopupMenu(QelMenu* menu)
{
    QelListView::BuildPopupMenu(menu);
#ifdef QEL_HAVE_MENU
    if (m_Type == LIST_FOLDER) {
        menu->AppendSeparator();
        menu->Append(wxID_ADD);
    }
#endif
}
