#include <qelkit/paint.h>

#include <wx/dcclient.h>
#include <wx/window.h>

bool QelPaintIsUnderChild(const wxWindow* window, const wxRect& part)
{
    if (part.IsEmpty()) return false;
    for (const wxWindow* child : window->GetChildren())
        if (!child->IsTopLevel() && child->IsShown() && child->GetRect().Contains(part))
            return true;
    return false;
}

void QelSkipPaintsUnderChildren(wxEvtHandler& handler, wxWindow* window)
{
    // Bound to the handler itself, so that it comes before the handler's own
    // table. The children looked at are few: a notebook keeps the pages it
    // does not show under a window of their own.
    handler.Bind(wxEVT_PAINT, [window](wxPaintEvent& event) {
        if (event.GetEventObject() != window
            || !QelPaintIsUnderChild(window, window->GetUpdateRegion().GetBox())) {
            event.Skip();
            return;
        }
#ifndef __WXGTK__
        // Elsewhere a paint left without a device context comes back.
        wxPaintDC dc(window);
#endif
    });
}
