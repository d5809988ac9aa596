// The names of the counters the text-file scanner fills. Private to the
// scanner's source files.
#pragma once

#include <wx/intl.h>
#include <wx/string.h>

namespace qeltext {

// Element counter names, translated once per run.
struct Keys {
    wxString files = _("Files");
    wxString totalSize = _("Total Size");
    wxString lines = _("Lines");
    wxString linesOfCode = _("Lines Of Code");
    wxString emptyLines = _("Empty Lines");
    wxString wordsOfCode = _("Words Of Code");
    wxString comments = _("Comments");
    wxString commentSize = _("Comment Size");
    wxString actions = _("Actions Completed");
    wxString skipped = _("Files Skipped");
};

// The names for this run: made again when the language changed since the
// last run.
void RefreshKeys();

const Keys& GetKeys();

} // namespace qeltext
