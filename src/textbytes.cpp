// Bytes and characters for the text-file scanner.
#include "textbytes.h"

#include <locale.h>
#include <wctype.h>

#include <cstdint>
#include <cstring>

namespace qeltext {

namespace {

// The character classes of C.UTF-8, so that case and word rules are the same
// under every process locale. Null when no such locale is installed; the
// process locale is used then.
locale_t UnicodeLocale()
{
    static const locale_t locale = [] {
        for (const char* name : {"C.UTF-8", "C.utf8", "en_US.UTF-8"}) {
            const locale_t l = newlocale(LC_CTYPE_MASK, name, static_cast<locale_t>(nullptr));
            if (l != static_cast<locale_t>(nullptr)) return l;
        }
        return static_cast<locale_t>(nullptr);
    }();
    return locale;
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
    while (i + 8 <= n) {
        uint64_t sums = 0;
        for (int k = 0; k < 255 && i + 8 <= n; ++k, i += 8) {
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

} // namespace

size_t CheckUtf8(const unsigned char* s, size_t n, bool* ok)
{
    size_t i = 0;
    while (i < n) {
        uint64_t word;
        if (i + 8 <= n && (std::memcpy(&word, s + i, 8), (word & 0x8080808080808080ULL) == 0)) {
            i += 8;
            continue;
        }
        const unsigned char c = s[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        size_t len = 0;
        uint32_t cp = 0;
        if (c >= 0xC2 && c <= 0xDF)
            len = 2, cp = c & 0x1F;
        else if (c >= 0xE0 && c <= 0xEF)
            len = 3, cp = c & 0x0F;
        else if (c >= 0xF0 && c <= 0xF4)
            len = 4, cp = c & 0x07;
        else
            return *ok = false, i;
        for (size_t k = 1; k < len; ++k) {
            if (i + k >= n) return i;
            if ((s[i + k] & 0xC0) != 0x80) return *ok = false, i;
            cp = (cp << 6) | (s[i + k] & 0x3F);
        }
        if ((len == 3 && (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF)))
            || (len == 4 && (cp < 0x10000 || cp > 0x10FFFF))) {
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

size_t FindHighByte(const char* s, size_t from, size_t n)
{
    size_t i = from;
    for (; i + 8 <= n; i += 8) {
        uint64_t word;
        std::memcpy(&word, s + i, 8);
        if ((word & 0x8080808080808080ULL) != 0) break;
    }
    for (; i < n; ++i) {
        if (static_cast<unsigned char>(s[i]) >= 0x80) return i;
    }
    return npos;
}

bool IsAsciiText(const char* text, size_t length)
{
    return FindHighByte(text, 0, length) == npos;
}

size_t CountLineEnds(const char* d, size_t a, size_t b)
{
    size_t count = CountByte(d + a, b - a, '\n');
    for (const char* p = d + a;
         (p = static_cast<const char*>(std::memchr(p, '\r', d + b - p))) != nullptr; ++p) {
        if (p + 1 == d + b || p[1] != '\n') ++count;
    }
    return count;
}

size_t DecodeLatin1(const char* text, size_t length, wchar_t* out)
{
    for (size_t i = 0; i < length; ++i) out[i] = static_cast<unsigned char>(text[i]);
    return length;
}

size_t DecodeUtf8(const char* text, size_t length, wchar_t* out)
{
    const unsigned char* s = reinterpret_cast<const unsigned char*>(text);
    size_t count = 0;
    for (size_t i = 0; i < length;) {
        const unsigned char c = s[i];
        if (c < 0x80) {
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

bool AppendEncoded(const wxString& text, bool latin1, std::string& out)
{
    if (!latin1) {
        const wxScopedCharBuffer utf8 = text.utf8_str();
        out.append(utf8.data(), utf8.length());
        return true;
    }
    for (const wxUniChar c : text) {
        if (c.GetValue() > 0xFF) return false;
        out.push_back(static_cast<char>(c.GetValue()));
    }
    return true;
}

std::unique_ptr<wxMBConv> WideConverter(QelTextEncoding encoding)
{
    switch (encoding) {
    case QelTextEncoding::utf16le:
        return std::make_unique<wxMBConvUTF16LE>();
    case QelTextEncoding::utf16be:
        return std::make_unique<wxMBConvUTF16BE>();
    case QelTextEncoding::utf32le:
        return std::make_unique<wxMBConvUTF32LE>();
    case QelTextEncoding::utf32be:
        return std::make_unique<wxMBConvUTF32BE>();
    default:
        return std::unique_ptr<wxMBConv>();
    }
}

bool IsSpace(wchar_t c)
{
    if (c < 0x80) return c == ' ' || (c >= '\t' && c <= '\r');
    const locale_t locale = UnicodeLocale();
    return locale ? iswspace_l(c, locale) != 0 : iswspace(c) != 0;
}

} // namespace qeltext

wchar_t QelFoldCase(wchar_t c)
{
    if (c < 0x80) return (c >= 'a' && c <= 'z') ? static_cast<wchar_t>(c - ('a' - 'A')) : c;
    const locale_t locale = qeltext::UnicodeLocale();
    const wint_t upper = locale ? towupper_l(c, locale) : towupper(c);
    return upper < 0x80 ? c : static_cast<wchar_t>(upper);
}

bool QelIsWordCharacter(wchar_t c)
{
    if (c < 0x80) {
        return c == '_' || (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z')
            || (c >= 'A' && c <= 'Z');
    }
    const locale_t locale = qeltext::UnicodeLocale();
    return locale ? iswalnum_l(c, locale) != 0 : iswalnum(c) != 0;
}
