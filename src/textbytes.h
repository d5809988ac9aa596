// Bytes and characters for the text-file scanner: UTF-8 checks, decoding and
// encoding, counts of bytes and line ends, and character classes that are the
// same under every process locale. Private to the scanner's source files.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

#include <wx/strconv.h>
#include <wx/string.h>

#include <qelkit/textfile.h>

namespace qeltext {

constexpr size_t npos = std::string::npos;

// Checks strict UTF-8 (no overlong forms, no surrogates, nothing above
// U+10FFFF) and returns the length of the part checked: all of it, or less
// when it ends inside a character that may go on in more text. *ok turns
// false at the first byte that cannot be UTF-8.
size_t CheckUtf8(const unsigned char* s, size_t n, bool* ok);
bool IsValidUtf8(const unsigned char* s, size_t n);

// The first byte in [from, n) that is not ASCII, or npos.
size_t FindHighByte(const char* s, size_t from, size_t n);
bool IsAsciiText(const char* text, size_t length);

// The number of line ends in [a, b), where b does not cut a CR LF: LF, CR
// LF and CR each end a line.
size_t CountLineEnds(const char* d, size_t a, size_t b);

// Decoders into a buffer of at least `length` characters; they return the
// number of characters. The UTF-8 one takes text already found valid.
size_t DecodeLatin1(const char* text, size_t length, wchar_t* out);
size_t DecodeUtf8(const char* text, size_t length, wchar_t* out);

// Appends text in UTF-8 or Latin-1; false when a character has no Latin-1
// byte.
bool AppendEncoded(const wxString& text, bool latin1, std::string& out);

// The converter of a UTF-16 or UTF-32 encoding; null for UTF-8 and Latin-1,
// which the scanner handles itself.
std::unique_ptr<wxMBConv> WideConverter(QelTextEncoding encoding);

inline unsigned char AsciiUpper(unsigned char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<unsigned char>(c - ('a' - 'A')) : c;
}

// White space as C.UTF-8 has it (the process locale when that is missing).
bool IsSpace(wchar_t c);

} // namespace qeltext
