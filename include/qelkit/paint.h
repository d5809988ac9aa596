// Paints that a window's children cover whole: on GTK 3 the blink of an
// editor's caret repaints every window under the caret, and a docking
// manager draws all of its window again for each.
#pragma once

#include <wx/gdicmn.h>

class wxEvtHandler;
class wxWindow;

// The part of window lies wholly under one of its shown children, which
// draws all of it itself.
bool QelPaintIsUnderChild(const wxWindow* window, const wxRect& part);

// Paints of window that lie under a child no longer reach handler (the
// docking manager pushed onto window, which draws the window whole).
void QelSkipPaintsUnderChildren(wxEvtHandler& handler, wxWindow* window);
