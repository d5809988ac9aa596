// The status-bar panes that an editor fills, through the main frame's one
// status bar; nothing is shown while there is none.
#pragma once

#include <wx/string.h>

class QelSTC;

// Shows text in the named pane ("PaneInfo", "PaneLexer", "PaneFileType").
void QelShowPane(const wxString& text, const wxString& pane);

// Builds the named pane's text from the editor and shows it.
void QelUpdatePane(QelSTC* stc, const wxString& pane);
