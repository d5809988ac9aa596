#pragma once

// The file identity passed between all parts of the system: a toolkit file
// name with the lexer matched to it and the status taken when it was made.

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
