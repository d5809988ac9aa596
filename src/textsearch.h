// Find machinery of the text-file scanner: the byte-level prefilter that picks
// the lines worth matching, and the compiled find settings that match them.
// Private to the library's source files: the editor's search looks for its
// bytes with the same needle.
#pragma once

#include <cstddef>
#include <string>

#include <wx/regex.h>
#include <wx/string.h>

#include <qelkit/textfile.h>

class QelFindReplaceData;

namespace qeltext {

// Where some bytes lie in a text, ASCII letters in either case when folding:
// the needle's rarest byte is looked for many bytes at a time, and each place
// found is compared whole.
class Needle {
public:
    Needle(std::string bytes, bool fold);

    // The first place in [from, limit) of the whole needle, or std::string::npos.
    size_t Find(const char* text, size_t from, size_t limit) const;
    bool IsEmpty() const { return m_Bytes.empty(); }
    size_t Length() const { return m_Bytes.size(); }

private:
    size_t FindExact(const char* text, size_t from, size_t limit) const;
    size_t FindFolded(const char* text, size_t from, size_t limit) const;

    std::string m_Bytes; // upper case when folding
    bool m_Fold;
    size_t m_Rare = 0; // index of the rarest byte
};

} // namespace qeltext

// A cheap byte-level test that finds the places where a match may start:
// the bytes of a text that every match holds (with ASCII letters in either
// case when folding), or also any non-ASCII byte. It never misses a match;
// the line found is then matched exactly.
class QelTextFile::Search {
public:
    enum class Kind { all, none, bytes };

    Search(Kind kind = Kind::all, std::string needle = std::string(), bool fold = false,
           bool high = false);

    // The first place in [from, limit) where a match that ends before
    // limit may start.
    size_t Next(const std::string& data, size_t from, size_t limit);

    // The data moved: what was found is no longer where it was.
    void Reset();

private:
    // A result found from `from` stays right for any later start up to it.
    struct Cache {
        size_t from = std::string::npos;
        size_t at = std::string::npos;
    };

    template <class F> static size_t Cached(Cache& cache, size_t from, F find);

    Kind m_Kind;
    qeltext::Needle m_Needle;
    bool m_High;
    Cache m_NeedleCache;
    Cache m_HighCache;
};

// The compiled find settings of a run, kept while the settings stay the same
// (a traversal scans thousands of files with them).
class QelTextFile::Finder {
public:
    // The finder for the current settings; a new one when they changed.
    static const Finder& Get(const QelFindReplaceData& frd);

    bool IsValid() const { return m_Valid; }
    bool IsRegex() const { return m_Regex; }
    const wxRegEx& RegEx() const { return m_RegEx; }
    const wxRegEx& FollowRegEx() const { return m_Follow; }
    const wxString& GetFind() const { return m_Find; }
    const wxString& GetReplace() const { return m_Replace; }

    // Match case, no whole word, ASCII text without line ends: what the
    // cheap test finds (PlainLength bytes) is a match.
    bool IsPlainLiteral() const { return m_Plain; }
    size_t PlainLength() const { return m_Ascii.size(); }

    // Whether the cheap test depends on the file's encoding.
    bool NeedsEncoding() const;

    // The cheap test for a file whose text is Latin-1 or (else) UTF-8.
    Search MakeSearch(bool latin1) const;

    // The number of occurrences of the literal find text in the line that
    // pass the whole-word rule; with `replaced`, that line with each of
    // them replaced. Without it, 1 at most. `folded` is a buffer.
    long MatchLiteral(const wxString& line, std::wstring& folded, wxString* replaced) const;

private:
    explicit Finder(const QelFindReplaceData& frd);

    bool IsFor(const QelFindReplaceData& frd) const;
    void CompileRegex();
    void CompileLiteral();

    const wxString m_Find;
    const wxString m_Replace;
    const bool m_MatchCase;
    const bool m_MatchWord;
    const bool m_Regex;
    bool m_Valid = false;
    wxRegEx m_RegEx;
    wxRegEx m_Follow;      // see QelRegexReplace
    std::wstring m_Needle; // the literal, folded without match case
    std::string m_Ascii;   // ASCII text every match holds
    bool m_HighAny = false;
    bool m_Plain = false;
    bool m_HighUtf8 = false;
};
