#pragma once

// The file identity passed between all parts of the system: a toolkit file
// name with the lexer matched to it and the status taken when it was made.

#include <string>

#include <wx/filename.h>
#include <wx/string.h>

#include <qelkit/lexer.h>
#include <qelkit/stat.h>

class QelFile;

class QelFileName : public wxFileName {
public:
    // Empty name, empty lexer, status of the empty path (not ok).
    QelFileName();

    // Name from the path in that format; status of fullpath exactly as given;
    // the lexer matching the name when the lexers are loaded.
    QelFileName(const wxString& fullpath, wxPathFormat format = wxPATH_NATIVE);

    // Copy of the toolkit name; status of its native full path; lexer lookup.
    QelFileName(const wxFileName& filename);

    // Copy of the toolkit name with a status already taken; lexer lookup.
    QelFileName(const wxFileName& filename, const QelStat& stat);

    // Copies name, lexer and status as they are: no new status, no lookup.
    QelFileName(const QelFileName& filename) = default;
    QelFileName& operator=(const QelFileName& filename);

    // Empty when no lexer matched or the lexers were not loaded at creation.
    const QelLexer& GetLexer() const noexcept { return m_Lexer; }

    // The status taken when the name was made (or last re-taken by a QelFile).
    const QelStat& GetStat() const noexcept { return m_Stat; }

private:
    // The file binding re-takes the status of its own file name.
    friend class QelFile;

    void LookupLexer();

    QelLexer m_Lexer;
    QelStat m_Stat;
};

// File names are bytes. On a system whose encoding is UTF-8, makes the
// toolkit's file-name conversion read a byte of a name that is not UTF-8 as a
// character of a private-use plane, and write that character back as the
// byte, so that such a name opens again; its default reads it as Latin-1 and
// writes UTF-8, another name. False, and nothing changed, on another system.
bool QelUseFileNameBytes();

// The name's bytes as UTF-8 that carries them as QelUseFileNameBytes does:
// what the toolkit's conversion of the command line takes, where it drops an
// argument that is not in the system's encoding.
std::string QelFileNameAsUTF8(const std::string& name);

// The bytes of a text that may hold file names, for the system (a program's
// arguments, its folder), as a file of that name is opened: on a UTF-8
// system UTF-8, but for the characters QelUseFileNameBytes made of a name's
// bytes that are not UTF-8, which are those bytes again.
std::string QelFileNameBytes(const wxString& text);
