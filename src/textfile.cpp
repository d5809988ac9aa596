// The text-file scanner: reading a file in its own encoding, find and replace
// in its lines, and the line parser that counts code, comments and keywords.
// The revision reading is in rcs.cpp.
#include <qelkit/textfile.h>

#include <fcntl.h>
#include <locale.h>
#include <sys/stat.h>
#include <unistd.h>
#include <wctype.h>

#include <algorithm>
#include <cctype>
#include <cwchar>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <memory>

#include <wx/intl.h>
#include <wx/log.h>
#include <wx/strconv.h>

#include <qelkit/dir.h>
#include <qelkit/file.h>
#include <qelkit/frd.h>
#include <qelkit/util.h>

namespace {

constexpr size_t npos = std::string::npos;

// The character classes of C.UTF-8, so that case and word rules are the same
// under every process locale. Null when no such locale is installed; the
// process locale is used then.
locale_t UnicodeLocale()
{
    static const locale_t locale = [] {
        for (const char* name : {"C.UTF-8", "C.utf8", "en_US.UTF-8"})
        {
            const locale_t l = newlocale(LC_CTYPE_MASK, name, static_cast<locale_t>(nullptr));
            if (l != static_cast<locale_t>(nullptr)) return l;
        }
        return static_cast<locale_t>(nullptr);
    }();
    return locale;
}

bool IsSpace(wchar_t c)
{
    if (c < 0x80) return c == ' ' || (c >= '\t' && c <= '\r');
    const locale_t locale = UnicodeLocale();
    return locale ? iswspace_l(c, locale) != 0 : iswspace(c) != 0;
}

bool IsBrace(wchar_t c)
{
    return c == '(' || c == ')' || c == '<' || c == '>' || c == '[' || c == ']' || c == '{' || c == '}';
}

bool IsCodewordSeparator(wchar_t c)
{
    return IsSpace(c) || IsBrace(c) || c == ',' || c == ';' || c == ':';
}

unsigned char AsciiUpper(unsigned char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<unsigned char>(c - ('a' - 'A')) : c;
}

bool IsAscii(const wxString& text)
{
    for (const wxUniChar c : text)
    {
        if (c.GetValue() >= 0x80) return false;
    }
    return true;
}

const unsigned char* Bytes(const std::string& data)
{
    return reinterpret_cast<const unsigned char*>(data.data());
}

// Checks strict UTF-8 (no overlong forms, no surrogates, nothing above
// U+10FFFF) and returns the length of the part checked: all of it, or less
// when it ends inside a character that may go on in more text. *ok turns
// false at the first byte that cannot be UTF-8.
size_t CheckUtf8(const unsigned char* s, size_t n, bool* ok)
{
    size_t i = 0;
    while (i < n)
    {
        uint64_t word;
        if (i + 8 <= n && (std::memcpy(&word, s + i, 8), (word & 0x8080808080808080ULL) == 0))
        {
            i += 8;
            continue;
        }
        const unsigned char c = s[i];
        if (c < 0x80)
        {
            ++i;
            continue;
        }
        size_t len = 0;
        uint32_t cp = 0;
        if (c >= 0xC2 && c <= 0xDF) len = 2, cp = c & 0x1F;
        else if (c >= 0xE0 && c <= 0xEF) len = 3, cp = c & 0x0F;
        else if (c >= 0xF0 && c <= 0xF4) len = 4, cp = c & 0x07;
        else return *ok = false, i;
        for (size_t k = 1; k < len; ++k)
        {
            if (i + k >= n) return i;
            if ((s[i + k] & 0xC0) != 0x80) return *ok = false, i;
            cp = (cp << 6) | (s[i + k] & 0x3F);
        }
        if ((len == 3 && (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF))) ||
            (len == 4 && (cp < 0x10000 || cp > 0x10FFFF)))
        {
            return *ok = false, i;
        }
        i += len;
    }
    return i;
}

bool IsValidUtf8(const unsigned char* s, size_t n)
{
    bool ok = true;
    return CheckUtf8(s, n, &ok) == n && ok;
}

// The number of bytes equal to c in [p, p + n), eight at a time: a byte of
// each word is 0x01 where it matched, summed up before the bytes overflow.
size_t CountByte(const char* p, size_t n, unsigned char c)
{
    const uint64_t ones = 0x0101010101010101ULL;
    const uint64_t low7 = 0x7F7F7F7F7F7F7F7FULL;
    const uint64_t pattern = ones * c;
    size_t count = 0;
    size_t i = 0;
    while (i + 8 <= n)
    {
        uint64_t sums = 0;
        for (int k = 0; k < 255 && i + 8 <= n; ++k, i += 8)
        {
            uint64_t word;
            std::memcpy(&word, p + i, 8);
            const uint64_t x = word ^ pattern; // zero bytes where c was
            sums += (~(((x & low7) + low7) | x) >> 7) & ones;
        }
        // Pairs of lanes into 16 bits, then the four sums into the top 16.
        sums = (sums & 0x00FF00FF00FF00FFULL) + ((sums >> 8) & 0x00FF00FF00FF00FFULL);
        count += static_cast<size_t>((sums * 0x0001000100010001ULL) >> 48);
    }
    for (; i < n; ++i) count += static_cast<unsigned char>(p[i]) == c;
    return count;
}

// The number of line ends in [a, b), where b does not cut a CR LF: LF, CR
// LF and CR each end a line.
size_t CountLineEnds(const char* d, size_t a, size_t b)
{
    size_t count = CountByte(d + a, b - a, '\n');
    for (const char* p = d + a; (p = static_cast<const char*>(std::memchr(p, '\r', d + b - p))) != nullptr; ++p)
    {
        if (p + 1 == d + b || p[1] != '\n') ++count;
    }
    return count;
}

// Decoders into a buffer of at least `length` characters; they return the
// number of characters. The UTF-8 one takes text already found valid.
size_t DecodeLatin1(const char* text, size_t length, wchar_t* out)
{
    for (size_t i = 0; i < length; ++i) out[i] = static_cast<unsigned char>(text[i]);
    return length;
}

size_t DecodeUtf8(const char* text, size_t length, wchar_t* out)
{
    const unsigned char* s = reinterpret_cast<const unsigned char*>(text);
    size_t count = 0;
    for (size_t i = 0; i < length;)
    {
        const unsigned char c = s[i];
        if (c < 0x80)
        {
            out[count++] = c;
            ++i;
            continue;
        }
        const size_t len = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : 2;
        uint32_t cp = c & (len == 2 ? 0x1F : len == 3 ? 0x0F : 0x07);
        for (size_t k = 1; k < len && i + k < length; ++k) cp = (cp << 6) | (s[i + k] & 0x3F);
        out[count++] = static_cast<wchar_t>(cp);
        i += len;
    }
    return count;
}

// The first byte in [from, n) that is not ASCII.
size_t FindHighByte(const std::string& data, size_t from, size_t n)
{
    const unsigned char* s = reinterpret_cast<const unsigned char*>(data.data());
    size_t i = from;
    for (; i + 8 <= n; i += 8)
    {
        uint64_t word;
        std::memcpy(&word, s + i, 8);
        if ((word & 0x8080808080808080ULL) != 0) break;
    }
    for (; i < n; ++i)
    {
        if (s[i] >= 0x80) return i;
    }
    return npos;
}

} // namespace

// A cheap byte-level test that finds the places where a match may start:
// the bytes of a text that every match holds (with ASCII letters in either
// case when folding), or also any non-ASCII byte. It never misses a match;
// the line found is then matched exactly.
class QelTextFile::Search
{
public:
    enum class Kind { all, none, bytes };

    Search(Kind kind = Kind::all, std::string needle = std::string(),
           bool fold = false, bool high = false)
        : m_Kind(kind), m_Needle(std::move(needle)), m_Fold(fold), m_High(high)
    {
        if (m_Kind == Kind::bytes && m_Needle.empty() && !m_High) m_Kind = Kind::all;
        if (m_Fold)
        {
            for (char& c : m_Needle) c = static_cast<char>(AsciiUpper(static_cast<unsigned char>(c)));
            std::fill(std::begin(m_Shift), std::end(m_Shift), m_Needle.size());
            for (size_t k = 0; k + 1 < m_Needle.size(); ++k)
            {
                m_Shift[static_cast<unsigned char>(m_Needle[k])] = m_Needle.size() - 1 - k;
            }
        }
    }

    // The first place in [from, limit) where a match that ends before
    // limit may start.
    size_t Next(const std::string& data, size_t from, size_t limit)
    {
        if (m_Kind == Kind::none || from >= limit) return npos;
        if (m_Kind == Kind::all) return from;

        size_t found = npos;
        if (!m_Needle.empty())
        {
            found = Cached(m_NeedleCache, from, [&] { return FindNeedle(data, from, limit); });
        }
        if (m_High)
        {
            const size_t high = Cached(m_HighCache, from, [&] { return FindHighByte(data, from, limit); });
            found = std::min(found, high);
        }
        return found;
    }

    // The data moved: what was found is no longer where it was.
    void Reset()
    {
        m_NeedleCache = Cache();
        m_HighCache = Cache();
    }

private:
    // A result found from `from` stays right for any later start up to it.
    struct Cache { size_t from = npos; size_t at = npos; };

    template <class F>
    static size_t Cached(Cache& cache, size_t from, F find)
    {
        if (cache.from == npos || from < cache.from || (cache.at != npos && from > cache.at))
        {
            cache.from = from;
            cache.at = find();
        }
        return cache.at;
    }

    size_t FindNeedle(const std::string& data, size_t from, size_t limit) const
    {
        if (!m_Fold)
        {
            const void* at = memmem(data.data() + from, limit - from, m_Needle.data(), m_Needle.size());
            return at == nullptr ? npos : static_cast<const char*>(at) - data.data();
        }
        return FindFolded(data, from, limit);
    }

    // Boyer-Moore-Horspool with ASCII letters compared in upper case.
    size_t FindFolded(const std::string& data, size_t from, size_t limit) const
    {
        const unsigned char* t = reinterpret_cast<const unsigned char*>(data.data());
        const unsigned char* n = reinterpret_cast<const unsigned char*>(m_Needle.data());
        const size_t m = m_Needle.size();
        const size_t last = m - 1;
        for (size_t i = from; i + m <= limit;)
        {
            const unsigned char c = AsciiUpper(t[i + last]);
            if (c == n[last])
            {
                size_t k = last;
                while (k > 0 && AsciiUpper(t[i + k - 1]) == n[k - 1]) --k;
                if (k == 0) return i;
            }
            i += m_Shift[c];
        }
        return npos;
    }

    Kind m_Kind;
    std::string m_Needle;
    bool m_Fold;
    bool m_High;
    size_t m_Shift[256];
    Cache m_NeedleCache;
    Cache m_HighCache;
};

namespace {

// Element counter names, translated once per run.
struct Keys
{
    wxString files = _("Files");
    wxString totalSize = _("Total Size");
    wxString lines = _("Lines");
    wxString linesOfCode = _("Lines Of Code");
    wxString emptyLines = _("Empty Lines");
    wxString wordsOfCode = _("Words Of Code");
    wxString comments = _("Comments");
    wxString commentSize = _("Comment Size");
    wxString actions = _("Actions Completed");
};

std::unique_ptr<Keys>& KeysCache()
{
    static std::unique_ptr<Keys> keys;
    return keys;
}

// The names for this run: made again when the language changed since the
// last run.
void RefreshKeys()
{
    std::unique_ptr<Keys>& keys = KeysCache();
    if (!keys || keys->files != _("Files")) keys = std::make_unique<Keys>();
}

const Keys& GetKeys()
{
    if (!KeysCache()) RefreshKeys();
    return *KeysCache();
}

bool IsAsciiText(const char* text, size_t length)
{
    size_t i = 0;
    for (; i + 8 <= length; i += 8)
    {
        uint64_t word;
        std::memcpy(&word, text + i, 8);
        if ((word & 0x8080808080808080ULL) != 0) return false;
    }
    for (; i < length; ++i)
    {
        if (static_cast<unsigned char>(text[i]) >= 0x80) return false;
    }
    return true;
}

} // namespace

wchar_t QelFoldCase(wchar_t c)
{
    if (c < 0x80) return (c >= 'a' && c <= 'z') ? static_cast<wchar_t>(c - ('a' - 'A')) : c;
    const locale_t locale = UnicodeLocale();
    const wint_t upper = locale ? towupper_l(c, locale) : towupper(c);
    return upper < 0x80 ? c : static_cast<wchar_t>(upper);
}

bool QelIsWordCharacter(wchar_t c)
{
    if (c < 0x80)
    {
        return c == '_' || (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    }
    const locale_t locale = UnicodeLocale();
    return locale ? iswalnum_l(c, locale) != 0 : iswalnum(c) != 0;
}

// The compiled find settings of a run, kept while the settings stay the same
// (a traversal scans thousands of files with them).
class QelTextFile::Finder
{
public:
    // The finder for the current settings; a new one when they changed.
    static const Finder& Get(const QelFindReplaceData& frd)
    {
        static std::unique_ptr<Finder> cache;
        if (!cache || !cache->IsFor(frd)) cache.reset(new Finder(frd));
        return *cache;
    }

    bool IsValid() const { return m_Valid; }
    bool IsRegex() const { return m_Regex; }
    const wxRegEx& RegEx() const { return m_RegEx; }
    const wxString& GetFind() const { return m_Find; }
    const wxString& GetReplace() const { return m_Replace; }

    // Whether the cheap test depends on the file's encoding.
    bool NeedsEncoding() const { return !m_Regex && m_MatchCase && !IsAscii(m_Find); }

    // The cheap test for a file whose text is Latin-1 or (else) UTF-8.
    Search MakeSearch(bool latin1) const
    {
        if (NeedsEncoding())
        {
            std::string needle;
            if (!Encode(m_Find, latin1, needle)) return Search(Search::Kind::none);
            return Search(Search::Kind::bytes, needle);
        }
        return Search(Search::Kind::bytes, m_Ascii, !m_MatchCase, m_HighAny || (m_HighUtf8 && !latin1));
    }

    // The number of occurrences of the literal find text in the line that
    // pass the whole-word rule; with `replaced`, that line with each of
    // them replaced. Without it, 1 at most.
    long MatchLiteral(const wxString& line, std::wstring& folded, wxString* replaced) const
    {
        const wchar_t* text = line.wc_str();
        const size_t n = line.length();
        std::wstring_view hay(text, n);
        if (!m_MatchCase)
        {
            folded.assign(text, n);
            for (wchar_t& c : folded) c = QelFoldCase(c);
            hay = folded;
        }

        long count = 0;
        size_t copied = 0;
        for (size_t at = hay.find(m_Needle); at != npos; at = hay.find(m_Needle, at))
        {
            const size_t end = at + m_Needle.size();
            if (m_MatchWord && ((at > 0 && QelIsWordCharacter(text[at - 1])) ||
                                (end < n && QelIsWordCharacter(text[end]))))
            {
                ++at;
                continue;
            }
            ++count;
            if (replaced == nullptr) return count;
            replaced->append(text + copied, at - copied);
            *replaced += m_Replace;
            copied = at = end;
        }
        if (replaced != nullptr && count > 0) replaced->append(text + copied, n - copied);
        return count;
    }

    static bool Encode(const wxString& text, bool latin1, std::string& out)
    {
        if (!latin1)
        {
            const wxScopedCharBuffer utf8 = text.utf8_str();
            out.append(utf8.data(), utf8.length());
            return true;
        }
        for (const wxUniChar c : text)
        {
            if (c.GetValue() > 0xFF) return false;
            out.push_back(static_cast<char>(c.GetValue()));
        }
        return true;
    }

private:
    explicit Finder(const QelFindReplaceData& frd)
        : m_Find(frd.GetFindString())
        , m_Replace(frd.GetReplaceString())
        , m_MatchCase(frd.MatchCase())
        , m_MatchWord(frd.MatchWord())
        , m_Regex(frd.UseRegularExpression())
    {
        if (m_Regex) CompileRegex();
        else CompileLiteral();
    }

    bool IsFor(const QelFindReplaceData& frd) const
    {
        return m_Find == frd.GetFindString() && m_Replace == frd.GetReplaceString() &&
            m_MatchCase == frd.MatchCase() && m_MatchWord == frd.MatchWord() &&
            m_Regex == frd.UseRegularExpression();
    }

    void CompileRegex()
    {
        {
            wxLogNull quiet; // the caller says what went wrong, once
            m_Valid = m_RegEx.Compile(m_Find, m_MatchCase ? wxRE_DEFAULT : wxRE_DEFAULT | wxRE_ICASE);
        }
        m_Ascii = QelRegexRequiredText(m_Find).ToStdString();
        // Without match case the toolkit also matches K to the Kelvin sign
        // and S to the long s, both written with non-ASCII bytes in UTF-8.
        const wxString upper = wxString(m_Ascii).Upper();
        m_HighUtf8 = !m_MatchCase && (upper.Contains("K") || upper.Contains("S"));
    }

    void CompileLiteral()
    {
        m_Valid = true;
        m_Needle = m_Find.ToStdWstring();
        if (!m_MatchCase)
        {
            for (wchar_t& c : m_Needle) c = QelFoldCase(c);
        }
        // The longest ASCII run of the text; any line holding a non-ASCII
        // byte when there is none (case folding keeps ASCII and non-ASCII
        // characters apart).
        size_t best = 0;
        size_t bestLength = 0;
        for (size_t i = 0; i < m_Needle.size();)
        {
            size_t j = i;
            while (j < m_Needle.size() && m_Needle[j] < 0x80) ++j;
            if (j - i > bestLength) best = i, bestLength = j - i;
            i = j + 1;
        }
        for (size_t k = best; k < best + bestLength; ++k)
        {
            m_Ascii.push_back(static_cast<char>(m_Needle[k]));
        }
        m_HighAny = m_Ascii.empty();
    }

    const wxString m_Find;
    const wxString m_Replace;
    const bool m_MatchCase;
    const bool m_MatchWord;
    const bool m_Regex;
    bool m_Valid = false;
    wxRegEx m_RegEx;
    std::wstring m_Needle; // the literal, folded without match case
    std::string m_Ascii;   // ASCII text every match holds
    bool m_HighAny = false;
    bool m_HighUtf8 = false;
};

QelTextFile::QelTextFile(const QelFileName& filename, const QelTool& tool)
    : m_FileName(filename)
    , m_Tool(tool)
{
    const QelLexer& lexer = m_FileName.GetLexer();
    m_Begin1 = lexer.GetCommentBegin().ToStdWstring();
    m_End1 = lexer.GetCommentEnd().ToStdWstring();
    m_Begin2 = lexer.GetCommentBegin2().ToStdWstring();
    m_End2 = lexer.GetCommentEnd2().ToStdWstring();
}

QelTextFile::~QelTextFile()
{
    CloseFile();
}

void QelTextFile::IncActionsCompleted(long inc_value)
{
    m_Stats.Elements().Inc(GetKeys().actions, inc_value);
}

size_t QelTextFile::m_ReadChunk = QelTextFile::DEFAULT_READ_CHUNK;

void QelTextFile::SetReadChunkSize(size_t bytes)
{
    m_ReadChunk = bytes == 0 ? DEFAULT_READ_CHUNK : bytes;
}

bool QelTextFile::RunTool()
{
    const bool ok = RunSteps();
    CloseFile();
    return ok;
}

bool QelTextFile::RunSteps()
{
    if (!ReadFile()) return false;

    RefreshKeys();
    const Keys& keys = GetKeys();
    m_Stats.Elements().Set(keys.files, 1);

    if (m_Tool.IsCount())
    {
        const QelStat& stat = m_FileName.GetStat();
        m_Stats.Elements().Inc(keys.totalSize, stat.IsOk() ? static_cast<long>(stat.st_size) : 0L);
        m_Stats.Elements().Inc(keys.lines, static_cast<long>(CountLines()));
    }

    if (m_Data.size() > m_Begin && !Parse()) return false;

    if (m_Tool.IsStatisticsType())
    {
        if (m_Tool.GetId() == ID_TOOL_REPORT_KEYWORD && !m_FileName.GetLexer().GetKeywords().empty())
        {
            IncActionsCompleted(1);
        }
        ReportStatistics();
    }

    return !m_Modified || WriteBack();
}

void QelTextFile::CloseFile()
{
    if (m_Fd >= 0) close(m_Fd);
    m_Fd = -1;
}

bool QelTextFile::ReadFile()
{
    const wxString path = m_FileName.GetFullPath();
    // Not blocking on a named pipe; only a regular file is read.
    m_Fd = open(path.fn_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    struct stat st;
    const int error = m_Fd < 0 || fstat(m_Fd, &st) != 0 ? errno : 0;
    if (error != 0 || !S_ISREG(st.st_mode))
    {
        CloseFile();
        wxLogError(_("Cannot open file '%s': %s"), path,
                   error != 0 ? wxSysErrorMsgStr(error) : wxString(_("not a regular file")));
        return false;
    }

    // Find in files reads a window of whole lines at a time, so that even
    // the largest file costs little memory; the other tools (and a file
    // with a byte-order mark) take the whole file.
    m_Streaming = m_Tool.GetId() == ID_TOOL_FIND_IN_FILES && !StartsWithByteOrderMark();
    m_Eof = !m_Streaming;
    m_FileSize = static_cast<uint64_t>(std::max<off_t>(st.st_size, 0));
    const bool ok = m_Streaming ? FillWindow(0) : ReadAll(static_cast<size_t>(m_FileSize));
    if (!ok)
    {
        wxLogError(_("Cannot read file '%s': %s"), path, wxSysErrorMsgStr(errno));
        return false;
    }
    if (!m_Streaming)
    {
        CloseFile();
        DetectByteOrderMark();
    }
    return true;
}

// Reads to the end, whatever the size said: the file may change meanwhile.
bool QelTextFile::ReadAll(size_t size)
{
    m_Data.resize(size + 1);
    size_t used = 0;
    for (;;)
    {
        if (used == m_Data.size()) m_Data.resize(m_Data.size() * 2);
        const ssize_t n = read(m_Fd, &m_Data[used], m_Data.size() - used);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) break;
        used += static_cast<size_t>(n);
    }
    m_Data.resize(used);
    return true;
}

ssize_t QelTextFile::ReadAt(char* buffer, size_t size, uint64_t offset) const
{
    ssize_t n;
    do n = pread(m_Fd, buffer, size, static_cast<off_t>(offset));
    while (n < 0 && errno == EINTR);
    return n;
}

bool QelTextFile::StartsWithByteOrderMark() const
{
    char head[4] = {1, 1, 1, 1};
    const ssize_t n = ReadAt(head, sizeof head, 0);
    if (n < 2) return false;
    const auto starts = [&](const char* bom, size_t length) {
        return static_cast<size_t>(n) >= length && std::memcmp(head, bom, length) == 0;
    };
    return starts("\xEF\xBB\xBF", 3) || starts("\xFF\xFE", 2) || starts("\xFE\xFF", 2) ||
           starts("\0\0\xFE\xFF", 4);
}

// Keeps the data from keep_from on (the start of a line not yet complete)
// and reads on until the window holds a whole line or the file ends.
bool QelTextFile::FillWindow(size_t keep_from)
{
    if (m_OutStarted)
    {
        FlushTo(keep_from);
        m_Copied -= keep_from;
    }
    m_Data.erase(0, keep_from);
    m_WindowOffset += keep_from;
    m_HasCR = -1;

    for (bool complete = false; !complete && !m_Eof;)
    {
        // One byte more than the file had left, so that a short read tells
        // its end (a regular file reads short only there).
        const size_t old = m_Data.size();
        const uint64_t offset = m_WindowOffset + old;
        const uint64_t left = offset < m_FileSize ? m_FileSize - offset : 0;
        const size_t want = static_cast<size_t>(std::min<uint64_t>(m_ReadChunk, left + 1));
        m_Data.resize(old + want);
        const ssize_t n = ReadAt(&m_Data[old], want, offset);
        if (n < 0) return false;
        m_Data.resize(old + static_cast<size_t>(n));
        m_Eof = static_cast<size_t>(n) < want;

        // A CR at the very end may still be followed by its LF.
        const size_t from = old > 0 ? old - 1 : 0;
        const char* d = m_Data.data();
        complete = std::memchr(d + from, '\n', m_Data.size() - from) != nullptr ||
            (m_Data.size() > from + 1 && std::memchr(d + from, '\r', m_Data.size() - from - 1) != nullptr);
    }
    return true;
}

// The end of the whole lines in the window.
size_t QelTextFile::CompleteEnd() const
{
    if (m_Eof) return m_Data.size();
    const char* d = m_Data.data();
    const void* lf = memrchr(d, '\n', m_Data.size());
    const void* cr = m_Data.empty() ? nullptr : memrchr(d, '\r', m_Data.size() - 1);
    const size_t afterLf = lf == nullptr ? 0 : static_cast<const char*>(lf) - d + 1;
    const size_t afterCr = cr == nullptr ? 0 : static_cast<const char*>(cr) - d + 1;
    return std::max(afterLf, afterCr);
}

void QelTextFile::DetectByteOrderMark()
{
    const auto starts = [this](const char* bom, size_t n) {
        return m_Data.size() >= n && std::memcmp(m_Data.data(), bom, n) == 0;
    };

    if (starts("\xEF\xBB\xBF", 3))
    {
        // A UTF-8 mark before text that is no UTF-8 is just Latin-1 text.
        const bool utf8 = IsValidUtf8(Bytes(m_Data) + 3, m_Data.size() - 3);
        m_Encoding = utf8 ? QelTextEncoding::utf8 : QelTextEncoding::latin1;
        m_EncodingKnown = true;
        if (utf8)
        {
            m_Bom.assign(m_Data, 0, 3);
            m_Begin = 3;
        }
        return;
    }

    // UTF-32 first: its little-endian mark starts like UTF-16's.
    if (starts("\xFF\xFE\0\0", 4)) DecodeWide(QelTextEncoding::utf32le, 4);
    else if (starts("\0\0\xFE\xFF", 4)) DecodeWide(QelTextEncoding::utf32be, 4);
    else if (starts("\xFF\xFE", 2)) DecodeWide(QelTextEncoding::utf16le, 2);
    else if (starts("\xFE\xFF", 2)) DecodeWide(QelTextEncoding::utf16be, 2);
}

namespace {

std::unique_ptr<wxMBConv> WideConverter(QelTextEncoding encoding)
{
    switch (encoding)
    {
    case QelTextEncoding::utf16le: return std::make_unique<wxMBConvUTF16LE>();
    case QelTextEncoding::utf16be: return std::make_unique<wxMBConvUTF16BE>();
    case QelTextEncoding::utf32le: return std::make_unique<wxMBConvUTF32LE>();
    case QelTextEncoding::utf32be: return std::make_unique<wxMBConvUTF32BE>();
    default: return std::unique_ptr<wxMBConv>();
    }
}

} // namespace

// UTF-16 and UTF-32 text is held as UTF-8 and written back in its encoding.
// Text that does not decode is taken as Latin-1, mark included.
void QelTextFile::DecodeWide(QelTextEncoding encoding, size_t bom_length)
{
    const std::unique_ptr<wxMBConv> conv = WideConverter(encoding);
    size_t length = 0;
    const wxWCharBuffer wide =
        conv->cMB2WC(m_Data.data() + bom_length, m_Data.size() - bom_length, &length);
    m_EncodingKnown = true;
    if (wide.data() == nullptr || length == wxCONV_FAILED)
    {
        m_Encoding = QelTextEncoding::latin1;
        return;
    }

    // The buffer lives in the string's own conversion cache.
    const wxString text(wide.data(), length);
    const wxScopedCharBuffer utf8 = text.utf8_str();
    m_Bom.assign(m_Data, 0, bom_length);
    m_Data.assign(utf8.data(), utf8.length());
    m_Begin = 0;
    m_Encoding = encoding;
}

QelTextEncoding QelTextFile::GetEncoding() const
{
    DetectEncoding();
    return m_Encoding;
}

void QelTextFile::DetectEncoding() const
{
    if (m_EncodingKnown) return;
    const bool utf8 = m_Streaming ? IsFileUtf8() : IsValidUtf8(Bytes(m_Data) + m_Begin, m_Data.size() - m_Begin);
    m_Encoding = utf8 ? QelTextEncoding::utf8 : QelTextEncoding::latin1;
    m_EncodingKnown = true;
}

// The whole file of a streamed scan is valid UTF-8: read again to know.
bool QelTextFile::IsFileUtf8() const
{
    std::string buffer;
    uint64_t offset = 0;
    for (;;)
    {
        const size_t carried = buffer.size();
        buffer.resize(carried + m_ReadChunk);
        const ssize_t n = ReadAt(&buffer[carried], m_ReadChunk, offset);
        if (n <= 0) return n == 0 && carried == 0; // a character cut off at the end is no UTF-8
        offset += static_cast<uint64_t>(n);
        buffer.resize(carried + static_cast<size_t>(n));

        bool ok = true;
        const size_t checked = CheckUtf8(Bytes(buffer), buffer.size(), &ok);
        if (!ok) return false;
        buffer.erase(0, checked);
    }
}

bool QelTextFile::IsLatin1() const
{
    return m_Encoding == QelTextEncoding::latin1;
}

QelTextFile::Line QelTextFile::LineAt(size_t begin)
{
    const char* d = m_Data.data();
    const size_t size = m_Data.size();
    if (m_HasCR < 0) m_HasCR = std::memchr(d + m_Begin, '\r', size - m_Begin) != nullptr;

    if (m_HasCR == 0)
    {
        const void* lf = std::memchr(d + begin, '\n', size - begin);
        if (lf == nullptr) return {begin, size, size};
        const size_t end = static_cast<const char*>(lf) - d;
        return {begin, end, end + 1};
    }

    for (size_t i = begin; i < size; ++i)
    {
        if (d[i] == '\n') return {begin, i, i + 1};
        if (d[i] == '\r') return {begin, i, (i + 1 < size && d[i + 1] == '\n') ? i + 2 : i + 1};
    }
    return {begin, size, size};
}

size_t QelTextFile::CountLines()
{
    size_t count = 0;
    for (size_t pos = m_Begin; pos < m_Data.size(); pos = LineAt(pos).next) ++count;
    return count;
}

void QelTextFile::DecodeLine(const Line& line)
{
    const char* text = m_Data.data() + line.begin;
    const size_t length = line.end - line.begin;
    // ASCII reads the same in every encoding: most files need no check.
    if (!IsAsciiText(text, length)) DetectEncoding();
    m_Wide.resize(length);
    const size_t count = m_EncodingKnown && IsLatin1() ? DecodeLatin1(text, length, &m_Wide[0])
                                                       : DecodeUtf8(text, length, &m_Wide[0]);
    // Assigning keeps the string's buffer from line to line.
    m_LineText.assign(m_Wide.data(), count);
}

bool QelTextFile::EncodeText(const wxString& text, std::string& out)
{
    DetectEncoding();
    return Finder::Encode(text, IsLatin1(), out);
}

void QelTextFile::FlushTo(size_t offset)
{
    if (!m_OutStarted)
    {
        m_Out.reserve(m_Bom.size() + m_WindowOffset + m_Data.size() - m_Begin + 256);
        m_Out = m_Bom;
        // A streamed scan has the text before its window on disk only.
        if (m_WindowOffset > 0)
        {
            m_Out.resize(m_WindowOffset);
            if (ReadAt(&m_Out[0], m_WindowOffset, 0) != static_cast<ssize_t>(m_WindowOffset)) m_EncodeFailed = true;
        }
        m_Copied = m_Begin;
        m_OutStarted = true;
    }
    if (offset > m_Copied)
    {
        m_Out.append(m_Data, m_Copied, offset - m_Copied);
        m_Copied = offset;
    }
}

void QelTextFile::ReplaceLineText(const Line& line, const wxString& text)
{
    FlushTo(line.begin);
    if (!EncodeText(text, m_Out)) m_EncodeFailed = true;
    m_Copied = line.end;
}

void QelTextFile::InsertLine(const wxString& line)
{
    FlushTo(m_Line.begin);
    if (!EncodeText(line, m_Out)) m_EncodeFailed = true;
    m_Out += '\n';
    m_Modified = true;
    ++m_LineShift;
    ++m_CurrentLine;
}

bool QelTextFile::Parse()
{
    if (!m_Tool.IsFindType()) return ParseLines();

    if (!PrepareFind()) return false;

    if (m_Tool.GetId() == ID_TOOL_REPLACE_IN_FILES)
    {
        const wxString path = m_FileName.GetFullPath();
        const bool readOnly = m_FileName.GetStat().IsReadOnly() || !wxFileName::IsFileWritable(path);
        const bool binary = std::memchr(m_Data.data() + m_Begin, '\0', m_Data.size() - m_Begin) != nullptr;
        if (readOnly || binary)
        {
            // Said only where there was something to replace.
            DetectEncoding();
            if (m_Finder->MakeSearch(IsLatin1()).Next(m_Data, m_Begin, m_Data.size()) != npos)
            {
                if (readOnly) wxLogError(_("Cannot replace in read-only file '%s'"), path);
                else wxLogWarning(_("Skipped binary file '%s'"), path);
            }
            return false;
        }
    }
    return FindLines();
}

bool QelTextFile::PrepareFind()
{
    const QelFindReplaceData* frd = QelFindReplaceData::Get();
    if (frd->GetFindString().empty())
    {
        wxFAIL_MSG("find or replace in files without a find text");
        return false;
    }

    m_Finder = &Finder::Get(*frd);
    if (!m_Finder->IsValid())
    {
        wxLogError(_("The find text %s is not a valid regular expression"), QelQuoted(m_Finder->GetFind()));
        // The traversal that runs this scanner stops: every file would fail.
        QelDir::Cancel();
        return false;
    }
    return true;
}

bool QelTextFile::FindLines()
{
    if (m_Finder->NeedsEncoding()) DetectEncoding();
    // An encoding not yet known can still turn out to be UTF-8.
    Search search = m_Finder->MakeSearch(m_EncodingKnown && IsLatin1());
    size_t index = 0; // lines before pos
    size_t pos = m_Begin;

    for (;;)
    {
        FindInWindow(search, pos, index);
        if (m_Eof || m_FinishedAction) return true;
        if (!FillWindow(pos))
        {
            wxLogError(_("Cannot read file '%s': %s"), m_FileName.GetFullPath(), wxSysErrorMsgStr(errno));
            return false;
        }
        pos = 0;
        search.Reset();
    }
}

// Matches the lines of the window from pos on; pos and index move on to
// the first line that is not complete.
void QelTextFile::FindInWindow(Search& search, size_t& pos, size_t& index)
{
    const bool replace = m_Tool.GetId() == ID_TOOL_REPLACE_IN_FILES;
    const size_t limit = CompleteEnd();

    while (pos < limit && !m_FinishedAction)
    {
        const size_t candidate = search.Next(m_Data, pos, limit);
        if (candidate == npos)
        {
            // Line numbers go on in the next window; the last needs none.
            if (!m_Eof) index += CountLineEnds(m_Data.data(), pos, limit);
            pos = limit;
            return;
        }

        m_Line = LineAt(pos);
        while (m_Line.next <= candidate)
        {
            ++index;
            m_Line = LineAt(m_Line.next);
        }
        m_CurrentLine = index + m_LineShift;

        if (MatchLine(m_Line))
        {
            Report(m_CurrentLine);
            if (replace) ReplaceLineText(m_Line, m_LineText);
        }
        pos = m_Line.next;
        ++index;
    }
}

bool QelTextFile::MatchLine(const Line& line)
{
    DecodeLine(line);
    const bool replace = m_Tool.GetId() == ID_TOOL_REPLACE_IN_FILES;
    wxString replaced;
    long count = 0;

    if (m_Finder->IsRegex())
    {
        if (replace)
        {
            size_t n = 0;
            replaced = QelRegexReplace(m_Finder->RegEx(), m_LineText, m_Finder->GetReplace(), &n);
            count = static_cast<long>(n);
        }
        else
        {
            count = m_Finder->RegEx().Matches(m_LineText) ? 1 : 0;
        }
    }
    else
    {
        count = m_Finder->MatchLiteral(m_LineText, m_Folded, replace ? &replaced : nullptr);
    }

    if (count == 0) return false;
    if (replace)
    {
        m_LineText = replaced;
        m_Replaced += count;
        m_Modified = true;
    }
    IncActionsCompleted(replace ? count : 1);
    return true;
}

bool QelTextFile::WriteBack()
{
    const wxString path = m_FileName.GetFullPath();
    const bool replace = m_Tool.GetId() == ID_TOOL_REPLACE_IN_FILES;

    if (!replace && (m_FileName.GetStat().IsReadOnly() || !wxFileName::IsFileWritable(path)))
    {
        return true; // a read-only file is left as it is
    }

    FlushTo(m_Data.size());
    std::string bytes;
    if (m_EncodeFailed || !EncodeOutput(bytes))
    {
        wxLogError(_("The new text cannot be written in the encoding of '%s'"), path);
    }
    else
    {
        if (DoWriteFile(path, bytes)) return true;
        wxLogError(_("The changes to '%s' were not written"), path);
    }

    m_WriteFailed = true;
    IncActionsCompleted(-m_Replaced);
    return false;
}

bool QelTextFile::EncodeOutput(std::string& out)
{
    const std::unique_ptr<wxMBConv> conv = WideConverter(m_Encoding);
    if (!conv)
    {
        out = std::move(m_Out);
        return true;
    }

    const size_t bom = m_Bom.size();
    const wxString text = wxString::FromUTF8(m_Out.data() + bom, m_Out.size() - bom);
    size_t length = 0;
    const wxCharBuffer bytes = conv->cWC2MB(text.wc_str(), text.length(), &length);
    if (bytes.data() == nullptr || length == wxCONV_FAILED) return false;

    out = m_Bom;
    out.append(bytes.data(), length);
    return true;
}

bool QelTextFile::DoWriteFile(const wxString& path, const std::string& bytes)
{
    return QelWriteFileAtomic(path, bytes.data(), bytes.size());
}

bool QelTextFile::ParseLines()
{
    DetectEncoding();
    size_t index = 0;

    for (size_t pos = m_Begin; pos < m_Data.size() && !m_FinishedAction; ++index)
    {
        m_Line = LineAt(pos);
        m_CurrentLine = index + m_LineShift;
        m_IsLastLine = m_Line.next >= m_Data.size();
        DecodeLine(m_Line);
        if (!ParseLine(m_LineText)) return false;
        pos = m_Line.next;
    }

    // The revision still active at the end of the scan ends there.
    if (m_Tool.IsRCSType()) EndCurrentRevision(m_LineMarkerEnd);
    return true;
}

// The line parser.

bool QelTextFile::ParseLine(const wxString& line)
{
    const wchar_t* text = line.wc_str();
    const size_t n = line.length();
    m_LineHoldsCode = false;
    m_InWord = false;
    m_Word.clear();

    for (size_t i = 0; i < n; ++i) ParseColumn(text, i, n);
    return EndParsedLine(n);
}

void QelTextFile::ParseColumn(const wchar_t* text, size_t i, size_t n)
{
    const wchar_t c = text[i];
    if (m_IsCommentStatement)
    {
        m_Comments += c;
        if (m_Tool.IsCount()) ++m_Pending.commentSize;
    }
    else if (c == '"')
    {
        m_IsString = !m_IsString;
    }

    if (m_IsString)
    {
        m_LineHoldsCode = true;
        return;
    }

    // Column 0 only starts the current word; it is never judged as (part
    // of) a comment marker and makes no code by itself.
    if (i == 0)
    {
        if (!IsSpace(c)) m_Word = c;
        return;
    }

    // The window: the last characters up to this column, as many as begin1.
    const size_t w = std::min(i + 1, m_Begin1.length());
    switch (CheckForComment(std::wstring_view(text + i + 1 - w, w)))
    {
    case COMMENT_NONE: CodeCharacter(c); break;
    case COMMENT_BEGIN: if (!m_IsCommentStatement) CommentStatementStart(); break;
    case COMMENT_END: CommentStatementEnd(); break;
    case COMMENT_BOTH: m_IsCommentStatement ? CommentStatementEnd() : CommentStatementStart(); break;
    case COMMENT_INCOMPLETE: break;
    }

    if (m_InWord && (IsCodewordSeparator(c) || i == n - 1)) EndWord();
}

void QelTextFile::CodeCharacter(wchar_t c)
{
    if (IsSpace(c) || m_IsCommentStatement) return;

    m_LineHoldsCode = true;
    if (IsCodewordSeparator(c)) return;

    if (!m_InWord && m_Tool.IsCount()) ++m_Pending.words;
    m_InWord = true;
    m_Word += c;
}

bool QelTextFile::EndParsedLine(size_t length)
{
    // A comment whose end marker is empty ends with its line.
    if (CheckForComment(std::wstring_view()) == COMMENT_END) CommentStatementEnd();

    const Keys& keys = GetKeys();
    QelStatistics<long>& elements = m_Stats.Elements();

    if (m_LineHoldsCode)
    {
        const long linesOfCode = elements.Inc(keys.linesOfCode, 1);
        // The revision history is looked for in the header only.
        if (m_Tool.GetId() == ID_TOOL_REPORT_REVISION && linesOfCode > 5) m_FinishedAction = true;
    }

    m_EmptyLine = length == 0;
    if (m_EmptyLine) elements.Inc(keys.emptyLines, 1);

    if (m_IsCommentStatement && !m_IsLastLine && m_Tool.IsCount())
    {
        m_Pending.commentSize += 1; // the default line end, "\n"
    }

    if (m_Pending.words != 0) elements.Inc(keys.wordsOfCode, m_Pending.words);
    if (m_Pending.comments != 0) elements.Inc(keys.comments, m_Pending.comments);
    if (m_Pending.commentSize != 0) elements.Inc(keys.commentSize, m_Pending.commentSize);
    m_Pending = Pending();

    return ParseComments();
}

void QelTextFile::EndWord()
{
    if (m_Tool.GetId() == ID_TOOL_REPORT_KEYWORD && m_FileName.GetLexer().IsKeyword(m_Word))
    {
        m_Stats.Keywords().Inc(m_Word, 1);
    }
    m_InWord = false;
    m_Word.clear();
}

QelCommentType QelTextFile::CheckCommentSyntax(
    const std::wstring& syntax_begin,
    const std::wstring& syntax_end,
    std::wstring_view text) const
{
    if (text == syntax_begin) return text == syntax_end ? COMMENT_BOTH : COMMENT_BEGIN;
    if (text == syntax_end) return COMMENT_END;

    const auto startsWith = [text](const std::wstring& marker) {
        return marker.size() >= text.size() && marker.compare(0, text.size(), text) == 0;
    };
    if (startsWith(syntax_begin) || (!syntax_end.empty() && startsWith(syntax_end)))
    {
        return COMMENT_INCOMPLETE;
    }
    return COMMENT_NONE;
}

QelCommentType QelTextFile::CheckForComment(std::wstring_view text)
{
    if (m_Begin2.empty()) return CheckCommentSyntax(m_Begin1, m_End1, text);

    QelCommentType one = COMMENT_NONE;
    if (m_SyntaxType == SYNTAX_NONE || m_SyntaxType == SYNTAX_ONE)
    {
        one = CheckCommentSyntax(m_Begin1, m_End1, text);
        if (one == COMMENT_BEGIN) m_SyntaxType = SYNTAX_ONE;
    }

    QelCommentType two = COMMENT_NONE;
    if (m_SyntaxType == SYNTAX_NONE || m_SyntaxType == SYNTAX_TWO)
    {
        two = CheckCommentSyntax(m_Begin2, m_End2, text);
        if (two == COMMENT_BEGIN) m_SyntaxType = SYNTAX_TWO;
    }

    QelCommentType verdict = one;
    if (one == COMMENT_NONE || (one == COMMENT_INCOMPLETE && two != COMMENT_NONE)) verdict = two;

    if (verdict == COMMENT_END)
    {
        // No comment of either syntax is open: nothing ends.
        if (m_SyntaxType == SYNTAX_NONE) verdict = COMMENT_NONE;
        m_LastSyntaxType = m_SyntaxType;
        m_SyntaxType = SYNTAX_NONE;
    }
    return verdict;
}

const std::wstring& QelTextFile::CommentBegin() const
{
    return m_SyntaxType == SYNTAX_TWO ? m_Begin2 : m_Begin1;
}

const std::wstring& QelTextFile::CommentEnd() const
{
    return m_LastSyntaxType == SYNTAX_TWO ? m_End2 : m_End1;
}

void QelTextFile::CommentStatementStart()
{
    m_IsCommentStatement = true;
    ++m_Pending.comments;
    m_Pending.commentSize += static_cast<long>(CommentBegin().length());
}

void QelTextFile::CommentStatementEnd()
{
    m_IsCommentStatement = false;
    // The end marker was collected with the comment; text such as "/*/"
    // ends with fewer characters collected than the marker has.
    const size_t remove = std::min(CommentEnd().length(), m_Comments.length());
    m_Comments.erase(m_Comments.length() - remove);
}

// Regular-expression helpers.

namespace {

// Skips a bracket expression starting at p (at its "["); returns the index
// after its "]", or npos when it does not end.
size_t SkipBracket(const std::wstring& p, size_t i)
{
    ++i;
    if (i < p.size() && p[i] == '^') ++i;
    if (i < p.size() && p[i] == ']') ++i; // a leading "]" is literal
    while (i < p.size())
    {
        if (p[i] == '\\') i += 2;
        else if (p[i] == '[' && i + 1 < p.size() && p[i + 1] == ':')
        {
            const size_t end = p.find(L":]", i + 2);
            if (end == npos) return npos;
            i = end + 2;
        }
        else if (p[i] == ']') return i + 1;
        else ++i;
    }
    return npos;
}

// Escapes that stand for a class or a position, taking no further characters.
bool IsSimpleEscape(wchar_t c)
{
    return std::wcschr(L"dDwWsSbBAzZGhHvVRXK", c) != nullptr;
}

} // namespace

namespace {

// Collects runs of literal text; the longest one found so far is kept.
class Runs
{
public:
    void Add(wchar_t c) { m_Run += c; }

    void End()
    {
        if (m_Run.size() > m_Best.size()) m_Best = m_Run;
        m_Run.clear();
    }

    // A quantifier that allows zero makes the last character optional.
    void DropLast()
    {
        if (!m_Run.empty()) m_Run.pop_back();
        End();
    }

    const std::wstring& Best() const { return m_Best; }

private:
    std::wstring m_Run;
    std::wstring m_Best;
};

// The index after a repeat count ("{n}", "{n,}", "{n,m}", "{,m}") starting
// at i, or npos when the "{" there is literal text.
size_t SkipRepeatCount(const std::wstring& p, size_t i)
{
    size_t end = i + 1;
    while (end < p.size() && (iswdigit(p[end]) || p[end] == ',')) ++end;
    return end < p.size() && p[end] == '}' && end > i + 1 ? end + 1 : npos;
}

} // namespace

wxString QelRegexRequiredText(const wxString& pattern)
{
    const std::wstring p = pattern.ToStdWstring();
    if (p.find(L"(?") != npos || p.find(L"(*") != npos) return wxString(); // options may change anything

    Runs runs;
    int depth = 0; // inside a group nothing counts as required
    for (size_t i = 0; i < p.size();)
    {
        const wchar_t c = p[i];
        if (c == '\\')
        {
            if (i + 1 >= p.size()) return wxString();
            const wchar_t e = p[i + 1];
            const bool literal = e < 0x80 && !std::isalnum(static_cast<int>(e));
            if (!literal && !IsSimpleEscape(e)) return wxString(); // \x.., \1, \Q, \p{..}: not followed
            if (depth == 0) literal ? runs.Add(e) : runs.End();
            i += 2;
            continue;
        }
        if (c == '[')
        {
            i = SkipBracket(p, i);
            if (i == npos) return wxString();
            if (depth == 0) runs.End();
            continue;
        }
        if (c == '{' && depth == 0 && SkipRepeatCount(p, i) != npos)
        {
            runs.DropLast();
            i = SkipRepeatCount(p, i);
            continue;
        }

        if (c == '(') ++depth, runs.End();
        else if (c == ')') depth = std::max(0, depth - 1), runs.End();
        else if (c == '|' && depth == 0) return wxString();
        else if (depth > 0) {}
        else if (c == '*' || c == '?') runs.DropLast();
        else if (c == '+' || c == '{' || c == '.' || c == '^' || c == '$' || c >= 0x80) runs.End();
        else runs.Add(c);
        ++i;
    }
    runs.End();
    return wxString(runs.Best());
}

namespace {

// Appends the replacement of one match: "&" and "\0" are the match, "\1"
// to "\9" its groups, a backslash makes the next character literal.
void AppendReplacement(
    const wxRegEx& re, const wxString& text, const wxString& replacement, wxString& out)
{
    for (size_t i = 0; i < replacement.length(); ++i)
    {
        const wxUniChar c = replacement[i];
        size_t group = npos;
        if (c == '&') group = 0;
        else if (c == '\\' && i + 1 < replacement.length())
        {
            const wxUniChar next = replacement[++i];
            if (next >= '0' && next <= '9') group = next.GetValue() - '0';
            else out += next;
        }
        else out += c;

        size_t start = 0;
        size_t length = 0;
        const bool known = group != npos && group < re.GetMatchCount();
        if (known && re.GetMatch(&start, &length, group) && start != npos)
        {
            out += text.substr(start, length);
        }
    }
}

} // namespace

wxString QelRegexReplace(
    const wxRegEx& re, const wxString& text, const wxString& replacement, size_t* count)
{
    const size_t n = text.length();
    wxString out;
    size_t pos = 0;
    size_t lastEnd = npos;
    *count = 0;

    while (pos <= n)
    {
        // Matched from pos on, as the toolkit's own replace does.
        const wxString rest = text.substr(pos);
        size_t start = 0;
        size_t len = 0;
        if (!re.Matches(rest, pos > 0 ? wxRE_NOTBOL : 0) || !re.GetMatch(&start, &len, 0)) break;

        // An empty match right after the previous match is not one more.
        if (len == 0 && pos + start == lastEnd)
        {
            if (pos + start >= n) break;
            out += rest.substr(0, start + 1);
            pos += start + 1;
            continue;
        }

        out += rest.substr(0, start);
        AppendReplacement(re, rest, replacement, out);
        ++*count;
        pos += start + len;
        lastEnd = pos;

        // After an empty match the next character is copied: the loop moves on.
        if (len == 0)
        {
            if (pos >= n) break;
            out += text[pos++];
        }
    }

    if (pos < n) out += text.substr(pos);
    return out;
}
