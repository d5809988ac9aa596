// Asking the user for a number, for the commands of the editor and the lists.
#pragma once

#include <wx/string.h>

class wxWindow;

// The toolkit's number dialog; the number entered, or -1 when cancelled.
// The number is read from the dialog's entry field, which is also where a
// test that answers the dialog puts it.
long QelAskNumber(const wxString& message, const wxString& prompt, const wxString& caption,
                  long value, long min, long max, wxWindow* parent);
