// The text-file scanner: the run of one tool over one file, reading the file
// in its own encoding (whole, or in windows of whole lines for find in
// files) and splitting it into lines. Find and replace are in textfind.cpp,
// the line parser in textparse.cpp, the revision reading in rcs.cpp.
#include <qelkit/textfile.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <memory>

#include <wx/intl.h>
#include <wx/log.h>
#include <wx/strconv.h>

#include "textbytes.h"
#include "textkeys.h"

using qeltext::CheckUtf8;
using qeltext::DecodeLatin1;
using qeltext::DecodeUtf8;
using qeltext::GetKeys;
using qeltext::IsAsciiText;
using qeltext::IsValidUtf8;
using qeltext::Keys;
using qeltext::RefreshKeys;

namespace {

const unsigned char* Bytes(const std::string& data)
{
    return reinterpret_cast<const unsigned char*>(data.data());
}

std::unique_ptr<Keys>& KeysCache()
{
    static std::unique_ptr<Keys> keys;
    return keys;
}

// The read buffer of the scanner before: a folder walk scans thousands of
// files, which then reuse memory already mapped instead of each faulting in
// pages of its own. A buffer grown by a big file is let go.
std::string& SpareBuffer()
{
    static std::string buffer;
    return buffer;
}
constexpr size_t SPARE_BUFFER_MAX = 4 << 20;

} // namespace

void qeltext::RefreshKeys()
{
    std::unique_ptr<Keys>& keys = KeysCache();
    if (!keys || keys->files != _("Files")) keys = std::make_unique<Keys>();
}

const Keys& qeltext::GetKeys()
{
    if (!KeysCache()) RefreshKeys();
    return *KeysCache();
}

QelTextFile::QelTextFile(const QelFileName& filename, const QelTool& tool)
    : m_FileName(filename)
    , m_Tool(tool)
{
    const QelLexer& lexer = m_FileName.GetLexer();
    m_Begin1 = lexer.GetCommentBegin().ToStdWstring();
    m_End1 = lexer.GetCommentEnd().ToStdWstring();
    m_Begin2 = lexer.GetCommentBegin2().ToStdWstring();
    m_End2 = lexer.GetCommentEnd2().ToStdWstring();
    m_Data.swap(SpareBuffer());
    m_Data.clear();
}

QelTextFile::~QelTextFile()
{
    CloseFile();
    if (m_Data.capacity() <= SPARE_BUFFER_MAX && m_Data.capacity() > SpareBuffer().capacity())
        m_Data.swap(SpareBuffer());
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
    RefreshKeys();
    if (!ReadFile()) {
        Skip();
        return false;
    }

    const Keys& keys = GetKeys();
    m_Stats.Elements().Set(keys.files, 1);

    if (m_Tool.IsCount()) {
        const QelStat& stat = m_FileName.GetStat();
        m_Stats.Elements().Inc(keys.totalSize, stat.IsOk() ? static_cast<long>(stat.st_size) : 0L);
        m_Stats.Elements().Inc(keys.lines, static_cast<long>(CountLines()));
    }

    if (m_Data.size() > m_Begin && !Parse()) return false;

    if (m_Tool.IsStatisticsType()) {
        if (m_Tool.GetId() == ID_TOOL_REPORT_KEYWORD
            && !m_FileName.GetLexer().GetKeywords().empty()) {
            IncActionsCompleted(1);
        }
        ReportStatistics();
    }

    return !m_Modified || WriteBack();
}

// The file was not done (the log says why): it counts apart from the files
// done, so that the end of the run cannot read as a full success.
void QelTextFile::Skip()
{
    m_Stats.Elements().Set(GetKeys().files, 0);
    m_Stats.Elements().Set(GetKeys().skipped, 1);
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
    if (error != 0 || !S_ISREG(st.st_mode)) {
        CloseFile();
        wxLogError(_("Cannot open file '%s': %s"), path,
                   error != 0 ? wxSysErrorMsgStr(error) : wxString(_("not a regular file")));
        return false;
    }

    // Find in files reads a window of whole lines at a time, so that even
    // the largest file costs little memory; the other tools (and a file
    // with a byte-order mark, seen in the first window) take the whole file.
    m_Streaming = m_Tool.GetId() == ID_TOOL_FIND_IN_FILES;
    m_Eof = !m_Streaming;
    m_OpenStatus = st;
    m_FileSize = static_cast<uint64_t>(std::max<off_t>(st.st_size, 0));
    bool ok = m_Streaming ? FillWindow(0) : ReadAll(static_cast<size_t>(m_FileSize));
    if (ok && m_Streaming && StartsWithByteOrderMark()) {
        // The first window was read at offsets: the file is still at its start.
        m_Streaming = false;
        m_Eof = true;
        m_Data.clear();
        ok = ReadAll(static_cast<size_t>(m_FileSize));
    }
    if (!ok) {
        wxLogError(_("Cannot read file '%s': %s"), path, wxSysErrorMsgStr(errno));
        return false;
    }
    if (!m_Streaming) {
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
    for (;;) {
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
    const auto starts = [&](const char* bom, size_t length) {
        return m_Data.size() >= length && std::memcmp(m_Data.data(), bom, length) == 0;
    };
    return starts("\xEF\xBB\xBF", 3) || starts("\xFF\xFE", 2) || starts("\xFE\xFF", 2)
        || starts("\0\0\xFE\xFF", 4);
}

// Keeps the data from keep_from on (the start of a line not yet complete)
// and reads on until the window holds a whole line or the file ends.
bool QelTextFile::FillWindow(size_t keep_from)
{
    if (m_OutStarted) {
        FlushTo(keep_from);
        m_Copied -= keep_from;
    }
    m_Data.erase(0, keep_from);
    m_WindowOffset += keep_from;
    m_HasCR = -1;

    for (bool complete = false; !complete && !m_Eof;) {
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
        complete = std::memchr(d + from, '\n', m_Data.size() - from) != nullptr
            || (m_Data.size() > from + 1
                && std::memchr(d + from, '\r', m_Data.size() - from - 1) != nullptr);
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

    if (starts("\xEF\xBB\xBF", 3)) {
        // A UTF-8 mark before text that is no UTF-8 is just Latin-1 text.
        const bool utf8 = IsValidUtf8(Bytes(m_Data) + 3, m_Data.size() - 3);
        m_Encoding = utf8 ? QelTextEncoding::utf8 : QelTextEncoding::latin1;
        m_EncodingKnown = true;
        if (utf8) {
            m_Bom.assign(m_Data, 0, 3);
            m_Begin = 3;
        }
        return;
    }

    // UTF-32 first: its little-endian mark starts like UTF-16's.
    if (starts("\xFF\xFE\0\0", 4))
        DecodeWide(QelTextEncoding::utf32le, 4);
    else if (starts("\0\0\xFE\xFF", 4))
        DecodeWide(QelTextEncoding::utf32be, 4);
    else if (starts("\xFF\xFE", 2))
        DecodeWide(QelTextEncoding::utf16le, 2);
    else if (starts("\xFE\xFF", 2))
        DecodeWide(QelTextEncoding::utf16be, 2);
}

// UTF-16 and UTF-32 text is held as UTF-8 and written back in its encoding.
// Text that does not decode is taken as Latin-1, mark included.
void QelTextFile::DecodeWide(QelTextEncoding encoding, size_t bom_length)
{
    const std::unique_ptr<wxMBConv> conv = qeltext::WideConverter(encoding);
    size_t length = 0;
    const wxWCharBuffer wide
        = conv->cMB2WC(m_Data.data() + bom_length, m_Data.size() - bom_length, &length);
    m_EncodingKnown = true;
    if (wide.data() == nullptr || length == wxCONV_FAILED) {
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
    const bool utf8 = m_Streaming ? IsFileUtf8()
                                  : IsValidUtf8(Bytes(m_Data) + m_Begin, m_Data.size() - m_Begin);
    m_Encoding = utf8 ? QelTextEncoding::utf8 : QelTextEncoding::latin1;
    m_EncodingKnown = true;
}

// The whole file of a streamed scan is valid UTF-8: read again to know.
bool QelTextFile::IsFileUtf8() const
{
    std::string buffer;
    uint64_t offset = 0;
    for (;;) {
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

    if (m_HasCR == 0) {
        const void* lf = std::memchr(d + begin, '\n', size - begin);
        if (lf == nullptr) return {begin, size, size};
        const size_t end = static_cast<const char*>(lf) - d;
        return {begin, end, end + 1};
    }

    for (size_t i = begin; i < size; ++i) {
        if (d[i] == '\n') return {begin, i, i + 1};
        if (d[i] == '\r') return {begin, i, (i + 1 < size && d[i + 1] == '\n') ? i + 2 : i + 1};
    }
    return {begin, size, size};
}

size_t QelTextFile::LineStart(size_t from, size_t at) const
{
    const char* d = m_Data.data();
    const void* lf = memrchr(d + from, '\n', at - from);
    size_t start = lf == nullptr ? from : static_cast<const char*>(lf) - d + 1;
    if (m_HasCR != 0) {
        const void* cr = memrchr(d + start, '\r', at - start);
        if (cr != nullptr) start = static_cast<const char*>(cr) - d + 1;
    }
    return start;
}

size_t QelTextFile::CountLines()
{
    size_t count = 0;
    for (size_t pos = m_Begin; pos < m_Data.size(); pos = LineAt(pos).next) ++count;
    return count;
}

const wxString& QelTextFile::GetCurrentLine() const
{
    if (m_LineStale) DecodeLine(m_Line);
    return m_LineText;
}

void QelTextFile::DecodeLine(const Line& line) const
{
    m_LineStale = false;
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
