// Folder traversal over the files that match a list of ";"-separated wildcards.
#pragma once

#include <vector>

#include <wx/dir.h>
#include <wx/string.h>

class wxFileName;

// Walks a folder tree and calls OnFile for every regular file (links are
// followed) whose name matches the file spec, and OnDir for every folder
// when the flags hold wxDIR_DIRS. A folder is entered at most once (so link
// loops end), one traversal runs at a time in the process, a running one can
// be cancelled, and pending events are processed every few tens of
// milliseconds so that the user interface stays responsive.
class QelDir : public wxDir {
public:
    // Opens the folder; `flags` are the toolkit's wxDIR_FILES, wxDIR_DIRS,
    // wxDIR_HIDDEN (and wxDIR_NO_FOLLOW to leave links alone).
    QelDir(const wxString& fullpath, const wxString& filespec, int flags = wxDIR_DEFAULT);
    virtual ~QelDir() = default;

    // Runs the traversal. Returns the number of regular files walked that pass
    // the toolkit's own (case-sensitive) filter: the wildcard itself when it holds
    // one pattern, every file when it holds ";". Returns 0 at once when the
    // folder could not be opened (logged) or another traversal is running.
    size_t FindFiles();

    const wxString& GetFileSpec() const { return m_FileSpec; }
    int GetFlags() const { return m_Flags; }

    // Asks the running traversal to stop at its next entry.
    static void Cancel() { m_Cancelled = true; }
    static bool Cancelled() { return m_Cancelled; }
    static bool GetIsBusy() { return m_IsBusy; }

    // Hooks, called with full paths; the base ones do nothing.
    virtual void OnDir(const wxString& WXUNUSED(dir)) { }
    virtual void OnFile(const wxString& WXUNUSED(file)) { }

private:
    const wxString m_FileSpec;
    const int m_Flags;
    const wxString m_Path;

    static bool m_IsBusy;
    static bool m_Cancelled;
};

// True when the file's full name (no folder) matches one of the
// ";"-separated wildcards of `pattern`, ignoring case. "*" matches every
// name, an empty pattern none; blanks around a pattern are part of it.
bool QelMatchesOneOf(const wxFileName& filename, const wxString& pattern);

// The wildcards of a ";"-separated list, upper-cased, empty ones left out.
std::vector<wxString> QelSplitPatterns(const wxString& spec);
// True when the upper-cased name matches one of the upper-cased wildcards.
bool QelMatchesAny(const wxString& upper_name, const std::vector<wxString>& patterns);
