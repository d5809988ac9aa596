// The base of the application object: the settings file, the language and
// its catalogs at start, the process-wide objects at exit.
#pragma once

#include <wx/app.h>
#include <wx/arrstr.h>
#include <wx/config.h>
#include <wx/intl.h>

class wxFileConfig;

class QelApp : public wxApp {
public:
    ~QelApp() override;

    bool OnInit() override;
    int OnExit() override;

    const wxString& GetCatalogDir() const { return m_CatalogDir; }
    const wxLocale& GetLocale() const { return m_Locale; }

protected:
    wxAppTraits* CreateTraits() override;
    // Called by OnInit once the command line is read, before the settings,
    // the language and the catalogs: false when the start ends there, with
    // success and nothing read (its work was handed to a running program).
    virtual bool StartsHere() { return true; }

private:
    wxString m_CatalogDir;
    wxLocale m_Locale;
};

// A settings object on the file whose values read back exactly as they were
// stored: a command or a find text holding "$HOME" or "$(" is never taken
// for an environment variable. The file is replaced only by a whole new one;
// when that cannot be written, the old one stays and nothing else is left.
// With an empty path the settings are held in memory only; so they are for a
// file that cannot be read or is too large to read (said once), which is
// then never written.
wxFileConfig* QelCreateConfig(const wxString& path);

// The language chosen by the "LANG" setting: the system's language when it is
// absent, and also when it does not name a language the toolkit knows (then a
// warning is logged).
int QelLanguageFromConfig(const wxConfigBase* config);

// The catalogs found in a folder and its subfolders, by file.
struct QelCatalogsResult {
    wxArrayString added;  // catalog names
    wxArrayString failed; // catalog names that could not be added
};

// Adds to the locale the catalog of every file in the folder and its
// subfolders, named after the file without folder and extension; a name of
// several files is added once, from one that is a catalog when there is one.
// A missing folder adds nothing and says nothing.
QelCatalogsResult QelAddCatalogs(wxLocale& locale, const wxString& dir);

// Deletes the process-wide objects in the order their write-back needs:
// find-and-replace settings, lexers, printing.
void QelDeleteSingletons();
