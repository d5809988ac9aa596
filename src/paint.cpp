#include <qelkit/paint.h>

#include <wx/dcclient.h>
#include <wx/weakref.h>
#include <wx/window.h>

namespace {

bool Covers(const wxWindow* child, const wxRect& part)
{
    return !child->IsTopLevel() && child->IsShown() && child->GetRect().Contains(part);
}

// The shown child of window that covers the part whole; null when none does.
wxWindow* CoveringChild(const wxWindow* window, const wxRect& part)
{
    if (part.IsEmpty()) return nullptr;
    for (wxWindow* child : window->GetChildren())
        if (Covers(child, part)) return child;
    return nullptr;
}

} // namespace

bool QelPaintIsUnderChild(const wxWindow* window, const wxRect& part)
{
    return CoveringChild(window, part) != nullptr;
}

void QelSkipPaintsUnderChildren(wxEvtHandler& handler, wxWindow* window)
{
    // Bound to the handler itself, so that it comes before the handler's own
    // table. The child that covered the last paint is looked at first: the
    // caret blinks in the same editor, among the hundreds of pages of a
    // notebook.
    handler.Bind(wxEVT_PAINT, [window, last = wxWeakRef<wxWindow>()](wxPaintEvent& event) mutable {
        if (event.GetEventObject() != window) {
            event.Skip();
            return;
        }
        const wxRect part = window->GetUpdateRegion().GetBox();
        if (!last || last->GetParent() != window || part.IsEmpty() || !Covers(last, part))
            last = CoveringChild(window, part);
        if (!last) {
            event.Skip();
            return;
        }
#ifndef __WXGTK__
        // Elsewhere a paint left without a device context comes back.
        wxPaintDC dc(window);
#endif
    });
}
