// The scanner that runs one tool over one text file: find and replace in the
// lines, code, comment and keyword counts, and the revision history in the
// header comment. Results leave through the hooks Report (one line) and
// ReportStatistics (the whole file), which do nothing here.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include <wx/regex.h>
#include <wx/string.h>

#include <qelkit/filename.h>
#include <qelkit/rcs.h>
#include <qelkit/statistics.h>
#include <qelkit/tool.h>

// Comment syntax of the file's lexer: its first pair of markers (begin1,
// end1) or its second (begin2, end2).
enum QelSyntaxType { SYNTAX_NONE = 0, SYNTAX_ONE = 1, SYNTAX_TWO = 2 };

// The verdict on a piece of text that may be (part of) a comment marker.
enum QelCommentType {
    COMMENT_NONE = 0,
    COMMENT_BEGIN = 1,
    COMMENT_END = 2,
    COMMENT_BOTH = 3,
    COMMENT_INCOMPLETE = 4,
};

// How the bytes of a file stand for its text. A file without a byte-order
// mark is UTF-8 when it is valid UTF-8, else Latin-1 (every byte a
// character), whatever the locale.
enum class QelTextEncoding { utf8, latin1, utf16le, utf16be, utf32le, utf32be };

// Runs one tool over one file: made on the stack, RunTool once, read through
// the getters. Lines end at LF, CR LF or CR; they are numbered from 0.
//
// Find and replace take the find text, replace text and options of the
// find-and-replace settings: match case, whole word (every occurrence is
// tried, and every match of an expression, as grep -w does), regular
// expression (the toolkit's PCRE syntax). A replace changes only the
// replaced text: the file keeps its encoding, byte-order mark, line ends
// and mode; a symbolic link stays a link and its target is written.
class QelTextFile {
public:
    QelTextFile(const QelFileName& filename, const QelTool& tool);
    virtual ~QelTextFile();

    QelTextFile(const QelTextFile&) = delete;
    QelTextFile& operator=(const QelTextFile&) = delete;

    // The whole run. False when the file cannot be read, the find text is
    // empty (an assertion) or no valid regular expression (an error; a
    // running folder traversal is cancelled), replace meets a read-only or
    // binary file, or the write-back fails (an error with the path; the
    // file's replacements are then taken out of "Actions Completed").
    virtual bool RunTool();

    const QelFileName& GetFileName() const noexcept { return m_FileName; }
    // The file's status when it was opened for the run.
    const struct stat& GetOpenStatus() const noexcept { return m_OpenStatus; }
    const QelRCS& GetRCS() const noexcept { return m_RCS; }
    const QelFileStatistics& GetStatistics() const noexcept { return m_Stats; }
    const QelTool& GetTool() const noexcept { return m_Tool; }

    // While a hook runs: the index and the text of the line being scanned.
    // In Report of find and replace that is the reported line (for replace
    // with the new text already in it).
    size_t GetCurrentLineNumber() const noexcept { return m_CurrentLine; }
    const wxString& GetCurrentLine() const;

    // The encoding the file was read in; valid after RunTool.
    QelTextEncoding GetEncoding() const;
    bool HasByteOrderMark() const noexcept { return !m_Bom.empty(); }

    // The replacements could not be written. Such a file, and one that
    // could not be read or was skipped by a replace (read-only or binary
    // with something to replace), counts under "Files Skipped", not "Files".
    bool IsWriteFailed() const noexcept { return m_WriteFailed; }

    // From a hook: inserts a line (ending in a line feed) before the line
    // being scanned; the file is written back at the end of the run, and
    // the scanned line and those after it count one further.
    void InsertLine(const wxString& line);

    // Count and keyword reports: once after the file was parsed.
    virtual void ReportStatistics() { }

    // Find in files reads a window of whole lines at a time, in reads of
    // this size (0: the default, 1 MiB). Tests make it small.
    static void SetReadChunkSize(size_t bytes);

protected:
    void IncActionsCompleted(long inc_value);

    // Counts one line: code, comments, words, keywords; then ParseComments.
    bool ParseLine(const wxString& line);

    // The revision tools read the comment text of each line; always true.
    virtual bool ParseComments();

    // Find and replace: each matching line. Revision report: each revision
    // that ends, with the index of its last line; GetRCS() holds it.
    virtual void Report(size_t WXUNUSED(line)) { }

    // Replaces the file at path by bytes; the test seam for a failed write.
    virtual bool DoWriteFile(const wxString& path, const std::string& bytes);

private:
    struct Line {
        size_t begin, end, next;
    }; // content [begin, end), next line at next

    class Search;

    bool RunSteps();
    void Skip();
    bool ReadFile();
    bool ReadAll(size_t size);
    ssize_t ReadAt(char* buffer, size_t size, uint64_t offset) const;
    bool StartsWithByteOrderMark() const; // of the data read
    bool FillWindow(size_t keep_from);
    size_t CompleteEnd() const;
    bool IsFileUtf8() const;
    void CloseFile();
    void FindInWindow(Search& search, size_t& pos, size_t& index);
    void DetectByteOrderMark();
    void DecodeWide(QelTextEncoding encoding, size_t bom_length);
    void DetectEncoding() const; // decided when first needed
    bool IsLatin1() const;
    bool Parse();
    bool ParseLines();
    void ParseColumn(const wchar_t* text, size_t i, size_t n);
    void CodeCharacter(wchar_t c);
    bool EndParsedLine(size_t length);
    bool PrepareFind();
    bool FindLines();
    bool MatchLine(const Line& line, size_t candidate);
    bool WriteBack();
    bool EncodeOutput(std::string& out);

    Line LineAt(size_t begin);
    // The start of the line that holds `at`, looking back to `from` at most
    // (a line start).
    size_t LineStart(size_t from, size_t at) const;
    size_t CountLines();
    void DecodeLine(const Line& line) const;
    bool EncodeText(const wxString& text, std::string& out);
    void ReplaceLineText(const Line& line, const wxString& text);
    void FlushTo(size_t offset);

    QelCommentType CheckForComment(std::wstring_view text);
    QelCommentType CheckCommentSyntax(const std::wstring& syntax_begin,
                                      const std::wstring& syntax_end, std::wstring_view text) const;
    const std::wstring& CommentBegin() const;
    const std::wstring& CommentEnd() const;
    void CommentStatementStart();
    void CommentStatementEnd();
    void EndWord();

    bool PrepareRevision();
    void EndCurrentRevision(size_t report_line);

    bool m_EmptyLine = false;
    bool m_FinishedAction = false;
    bool m_IsCommentStatement = false;
    bool m_IsString = false;
    bool m_Modified = false;
    bool m_RevisionActive = false;
    const QelFileName m_FileName;
    QelFileStatistics m_Stats;
    QelRCS m_RCS;
    QelSyntaxType m_LastSyntaxType = SYNTAX_NONE;
    QelSyntaxType m_SyntaxType = SYNTAX_NONE;
    const QelTool m_Tool;
    size_t m_LineMarker = 0;
    size_t m_LineMarkerEnd = 0;
    size_t m_VersionLine = 0;
    wxString m_Comments;

    // The comment markers of the file's lexer.
    std::wstring m_Begin1, m_End1, m_Begin2, m_End2;

    // The file: its text bytes from m_Begin on (UTF-8 or Latin-1; UTF-16
    // and UTF-32 files are held as UTF-8), and the byte-order mark. A
    // streamed scan holds the window from m_WindowOffset on, whole lines
    // and the start of the next, up to the end of the file (m_Eof).
    static constexpr size_t DEFAULT_READ_CHUNK = 1 << 20;
    static size_t m_ReadChunk;
    int m_Fd = -1;
    bool m_Streaming = false;
    bool m_Eof = true;
    uint64_t m_WindowOffset = 0;
    uint64_t m_FileSize = 0; // as the status said when opened
    struct stat m_OpenStatus = {};
    std::string m_Data;
    size_t m_Begin = 0;
    std::string m_Bom;
    mutable QelTextEncoding m_Encoding = QelTextEncoding::utf8;
    mutable bool m_EncodingKnown = false;
    int m_HasCR = -1;

    Line m_Line{0, 0, 0};     // the line being scanned
    size_t m_CurrentLine = 0; // its index, lines inserted before it included
    size_t m_LineShift = 0;   // lines inserted so far
    bool m_IsLastLine = false;
    // The line's text, decoded when first asked for (stale until then).
    mutable wxString m_LineText;
    mutable bool m_LineStale = false;
    mutable std::wstring m_Wide; // decoding buffer
    std::wstring m_Folded;       // the line in upper case, for matching

    // The line being parsed: whether it holds code, and the word of code
    // being read.
    bool m_LineHoldsCode = false;
    bool m_InWord = false;
    wxString m_Word;

    // Counts of the line being parsed, added to m_Stats at its end.
    struct Pending {
        long words = 0;
        long comments = 0;
        long commentSize = 0;
    };
    Pending m_Pending;

    // The text written back: m_Data up to m_Copied with the changes made so
    // far; begun at the first change.
    std::string m_Out;
    bool m_OutStarted = false;
    size_t m_Copied = 0;
    bool m_EncodeFailed = false;
    bool m_WriteFailed = false;
    long m_Replaced = 0;

    class Finder;
    const Finder* m_Finder = nullptr;
};

// Helpers of the scanner, for any search that wants its rules.

// Upper case as the scanner compares without match case: ASCII letters
// fold among themselves; other characters by their Unicode upper case,
// but never to an ASCII one, whatever the locale.
wchar_t QelFoldCase(wchar_t c);

// A letter, digit or "_" (Unicode letters and digits too, whatever the
// locale): what whole-word matching must not find on either side.
bool QelIsWordCharacter(wchar_t c);

// The longest run of ASCII text that every match of a regular expression
// (PCRE syntax) must contain; empty when none is known. For a cheap test
// that skips lines which cannot match.
wxString QelRegexRequiredText(const wxString& pattern);

// Replaces every match of `re` in `text` by `replacement`, in which "&" and
// "\0" stand for the whole match, "\1" to "\9" for a group (empty when there
// is no such group) and a backslash makes the next character literal. An
// empty match next to the previous match is not replaced; the loop always
// moves on, so patterns such as "$" or "x*" end. *count receives the number
// of replacements.
// With `follow` (the same expression compiled from QelRegexFollowPattern),
// every match after the first is looked for with the character before it
// in view, so that "\b", "\B" and look-behinds see what precedes it.
wxString QelRegexReplace(const wxRegEx& re, const wxString& text, const wxString& replacement,
                         size_t* count, const wxRegEx* follow = nullptr);

// The pattern of `follow` above: the expression that cannot match at the
// start of its text. Empty when the pattern cannot be wrapped so.
wxString QelRegexFollowPattern(const wxString& pattern);

// The expression whose matches are the matches of `pattern` that are whole
// words: neither the character before nor the one after is a letter, a
// digit or "_". A shorter match from the same place is tried too, as grep
// -w does. Its groups are those of `pattern`.
wxString QelRegexWholeWordPattern(const wxString& pattern);
