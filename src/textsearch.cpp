// Find machinery of the text-file scanner: the prefilter and the compiled
// find settings.
#include "textsearch.h"

#include <string.h>

#include <cstring>

#include <algorithm>
#include <memory>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <wx/log.h>

#include <qelkit/frd.h>

#include "textbytes.h"

using qeltext::AsciiUpper;
using qeltext::npos;

namespace {

bool IsAscii(const wxString& text)
{
    for (const wxUniChar c : text) {
        if (c.GetValue() >= 0x80) return false;
    }
    return true;
}

} // namespace

// The prefilter.

QelTextFile::Search::Search(Kind kind, std::string needle, bool fold, bool high)
    : m_Kind(kind)
    , m_Needle(std::move(needle), fold)
    , m_High(high)
{
    if (m_Kind == Kind::bytes && m_Needle.IsEmpty() && !m_High) m_Kind = Kind::all;
}

size_t QelTextFile::Search::Next(const std::string& data, size_t from, size_t limit)
{
    if (m_Kind == Kind::none || from >= limit) return npos;
    if (m_Kind == Kind::all) return from;

    size_t found = npos;
    if (!m_Needle.IsEmpty()) {
        found
            = Cached(m_NeedleCache, from, [&] { return m_Needle.Find(data.data(), from, limit); });
    }
    if (m_High) {
        const size_t high = Cached(m_HighCache, from,
                                   [&] { return qeltext::FindHighByte(data.data(), from, limit); });
        found = std::min(found, high);
    }
    return found;
}

void QelTextFile::Search::Reset()
{
    m_NeedleCache = Cache();
    m_HighCache = Cache();
}

template <class F> size_t QelTextFile::Search::Cached(Cache& cache, size_t from, F find)
{
    if (cache.from == npos || from < cache.from || (cache.at != npos && from > cache.at)) {
        cache.from = from;
        cache.at = find();
    }
    return cache.at;
}

// The needle.

qeltext::Needle::Needle(std::string bytes, bool fold)
    : m_Bytes(std::move(bytes))
    , m_Fold(fold)
{
    // Bytes of text from the most to the least common; those not listed
    // are rarer still.
    static const std::string common = " etaoinsrlhdcumfpgwybv_k\n,.;()=*/\t0123456789xjqz-{}"
                                      "ETAOINSRLHDCUMFPGWYBVKXJQZ\"'#<>[]&|:+!";
    size_t best = 0;
    for (size_t k = 0; k < m_Bytes.size(); ++k) {
        // Folded, a letter is as common as its lower case.
        const char c
            = m_Fold && m_Bytes[k] >= 'A' && m_Bytes[k] <= 'Z' ? m_Bytes[k] | 0x20 : m_Bytes[k];
        const size_t rank = std::min(common.find(c), common.size());
        if (rank > best || k == 0) best = rank, m_Rare = k;
    }
    if (m_Fold) {
        for (char& c : m_Bytes) c = static_cast<char>(AsciiUpper(static_cast<unsigned char>(c)));
    }
}

size_t qeltext::Needle::Find(const char* text, size_t from, size_t limit) const
{
    if (m_Bytes.empty() || from >= limit || limit - from < m_Bytes.size()) return npos;
    return m_Fold ? FindFolded(text, from, limit) : FindExact(text, from, limit);
}

// The rare byte is looked for with memchr (many bytes at a time).
size_t qeltext::Needle::FindExact(const char* t, size_t from, size_t limit) const
{
    const size_t m = m_Bytes.size();
    const size_t r = m_Rare;
    const size_t last = limit - m + r; // the rare byte of the last place
    for (size_t i = from + r; i <= last;) {
        const void* p = std::memchr(t + i, m_Bytes[r], last + 1 - i);
        if (p == nullptr) return npos;
        const size_t at = static_cast<const char*>(p) - t;
        const char* s = t + at - r;
        if (s[0] == m_Bytes[0] && s[m - 1] == m_Bytes[m - 1]
            && std::memcmp(s, m_Bytes.data(), m) == 0) {
            return at - r;
        }
        i = at + 1;
    }
    return npos;
}

// The rare byte is looked for sixteen bytes at a time where the processor
// allows, a letter by its bytes with the case bit set.
size_t qeltext::Needle::FindFolded(const char* text, size_t from, size_t limit) const
{
    const unsigned char* t = reinterpret_cast<const unsigned char*>(text);
    const unsigned char* n = reinterpret_cast<const unsigned char*>(m_Bytes.data());
    const size_t m = m_Bytes.size();
    const size_t r = m_Rare;
    const auto equal = [t, n, m](size_t at) {
        for (size_t k = 0; k < m; ++k)
            if (AsciiUpper(t[at + k]) != n[k]) return false;
        return true;
    };
    const unsigned char fold = n[r] >= 'A' && n[r] <= 'Z' ? 0x20 : 0;
    const unsigned char want = n[r] | fold;
    const size_t end = limit - m + r + 1; // past the rare byte of the last place
    size_t i = from + r;
#if defined(__SSE2__)
    const __m128i vfold = _mm_set1_epi8(static_cast<char>(fold));
    const __m128i vwant = _mm_set1_epi8(static_cast<char>(want));
    for (; i + 16 <= end; i += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(t + i));
        unsigned bits = static_cast<unsigned>(
            _mm_movemask_epi8(_mm_cmpeq_epi8(_mm_or_si128(v, vfold), vwant)));
        for (; bits != 0; bits &= bits - 1) {
            const size_t at = i + static_cast<size_t>(__builtin_ctz(bits)) - r;
            if (equal(at)) return at;
        }
    }
#endif
    for (; i < end; ++i)
        if ((t[i] | fold) == want && equal(i - r)) return i - r;
    return npos;
}

// The compiled find settings.

const QelTextFile::Finder& QelTextFile::Finder::Get(const QelFindReplaceData& frd)
{
    static std::unique_ptr<Finder> cache;
    if (!cache || !cache->IsFor(frd)) cache.reset(new Finder(frd));
    return *cache;
}

QelTextFile::Finder::Finder(const QelFindReplaceData& frd)
    : m_Find(frd.GetFindString())
    , m_Replace(frd.GetReplaceString())
    , m_MatchCase(frd.MatchCase())
    , m_MatchWord(frd.MatchWord())
    , m_Regex(frd.UseRegularExpression())
{
    if (m_Regex)
        CompileRegex();
    else
        CompileLiteral();
}

bool QelTextFile::Finder::IsFor(const QelFindReplaceData& frd) const
{
    return m_Find == frd.GetFindString() && m_Replace == frd.GetReplaceString()
        && m_MatchCase == frd.MatchCase() && m_MatchWord == frd.MatchWord()
        && m_Regex == frd.UseRegularExpression();
}

bool QelTextFile::Finder::NeedsEncoding() const
{
    return !m_Regex && m_MatchCase && !IsAscii(m_Find);
}

QelTextFile::Search QelTextFile::Finder::MakeSearch(bool latin1) const
{
    if (NeedsEncoding()) {
        std::string needle;
        if (!qeltext::AppendEncoded(m_Find, latin1, needle)) return Search(Search::Kind::none);
        return Search(Search::Kind::bytes, needle);
    }
    return Search(Search::Kind::bytes, m_Ascii, !m_MatchCase, m_HighAny || (m_HighUtf8 && !latin1));
}

long QelTextFile::Finder::MatchLiteral(const wxString& line, std::wstring& folded,
                                       wxString* replaced) const
{
    const wchar_t* text = line.wc_str();
    const size_t n = line.length();
    std::wstring_view hay(text, n);
    if (!m_MatchCase) {
        folded.assign(text, n);
        for (wchar_t& c : folded) c = QelFoldCase(c);
        hay = folded;
    }

    long count = 0;
    size_t copied = 0;
    for (size_t at = hay.find(m_Needle); at != npos; at = hay.find(m_Needle, at)) {
        const size_t end = at + m_Needle.size();
        if (m_MatchWord
            && ((at > 0 && QelIsWordCharacter(text[at - 1]))
                || (end < n && QelIsWordCharacter(text[end])))) {
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

void QelTextFile::Finder::CompileRegex()
{
    {
        wxLogNull quiet; // the caller says what went wrong, once
        const int flags = m_MatchCase ? wxRE_DEFAULT : wxRE_DEFAULT | wxRE_ICASE;
        const wxString pattern = m_MatchWord ? QelRegexWholeWordPattern(m_Find) : m_Find;
        m_Valid = m_RegEx.Compile(pattern, flags);
        const wxString follow = QelRegexFollowPattern(pattern);
        if (m_Valid && !follow.empty()) m_Follow.Compile(follow, flags);
    }
    m_Ascii = QelRegexRequiredText(m_Find).ToStdString();
    // Without match case the toolkit also matches K to the Kelvin sign
    // and S to the long s, both written with non-ASCII bytes in UTF-8.
    const wxString upper = wxString(m_Ascii).Upper();
    m_HighUtf8 = !m_MatchCase && (upper.Contains("K") || upper.Contains("S"));
}

void QelTextFile::Finder::CompileLiteral()
{
    m_Valid = true;
    m_Needle = m_Find.ToStdWstring();
    if (!m_MatchCase) {
        for (wchar_t& c : m_Needle) c = QelFoldCase(c);
    }
    // The longest ASCII run of the text; any line holding a non-ASCII
    // byte when there is none (case folding keeps ASCII and non-ASCII
    // characters apart).
    size_t best = 0;
    size_t bestLength = 0;
    for (size_t i = 0; i < m_Needle.size();) {
        size_t j = i;
        while (j < m_Needle.size() && m_Needle[j] < 0x80) ++j;
        if (j - i > bestLength) best = i, bestLength = j - i;
        i = j + 1;
    }
    for (size_t k = best; k < best + bestLength; ++k) {
        m_Ascii.push_back(static_cast<char>(m_Needle[k]));
    }
    m_HighAny = m_Ascii.empty();
    m_Plain = m_MatchCase && !m_MatchWord && m_Ascii.size() == m_Needle.size()
        && m_Ascii.find_first_of("\r\n") == std::string::npos;
}
