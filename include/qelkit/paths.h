// Where the program finds its shipped data and where it writes its own files.
#pragma once

#include <cstdio>

#include <wx/filename.h>
#include <wx/string.h>

// The folder of the running executable.
wxString QelExecutableDir();

// A shipped data file (lexers.xml, vcs.xml): beside the executable when it is
// there, else in the installed data folder. The result may name a missing file.
wxFileName QelResourceFile(const wxString& name);

// The folder of the message catalogs of a language (for example "nl_NL"):
// "locale/<name>/LC_MESSAGES" beside the executable, else in the installed
// data folder. Never the system-wide catalog folder of every package.
wxString QelCatalogDir(const wxString& canonicalName);

// The folder for the settings file, the log and new projects: the
// executable's folder when it is writable, else $XDG_CONFIG_HOME/tindrel
// (default ~/.config/tindrel), which is created with mode 0700 when missing.
wxString QelWritableDir();

// The same choice for a given executable folder and whether it is writable.
wxString QelWritableDirFor(const wxString& exeDir, bool writable);

// The settings file of an application: its name in lower case with ".ini",
// in the writable folder.
wxFileName QelConfigFileName(const wxString& appName);

// The log file of an application: its name in lower case with ".log", in the
// writable folder.
wxFileName QelLogFileName(const wxString& appName);

// Opens a log file for appending, created with mode 0600 when missing; a
// symbolic link, a FIFO, a device or a folder in its place is refused, and
// opening never waits. Null when it cannot be opened, said on stderr.
FILE* QelOpenLogFile(const wxString& path);

// Tests point both the data and the writable folder at a folder of their own;
// an empty text removes the override.
void QelSetPathsOverride(const wxString& dir);
