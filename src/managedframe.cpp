#include <qelkit/managedframe.h>

QelManagedFrame::QelManagedFrame(wxWindow* parent, wxWindowID id, const wxString& title, long style)
    : QelFrame(parent, id, title, style)
{ }

bool QelManagedFrame::AllowClose(int WXUNUSED(id), wxWindow* WXUNUSED(page))
{
    SetFindFocus(nullptr);
    return true;
}

void QelManagedFrame::OnNotebook(int WXUNUSED(id), wxWindow* page)
{
    SetFindFocus(page);
}

void QelManagedFrame::SyncCloseAll(int WXUNUSED(id))
{
    SetFindFocus(nullptr);
}
