// Find and replace in the lines of a text file, and the write-back that keeps
// the file as it was except for the replaced text.
#include <qelkit/textfile.h>

#include <cerrno>
#include <cstring>
#include <memory>

#include <wx/filename.h>
#include <wx/intl.h>
#include <wx/log.h>
#include <wx/strconv.h>

#include <qelkit/dir.h>
#include <qelkit/file.h>
#include <qelkit/frd.h>
#include <qelkit/util.h>

#include "textbytes.h"
#include "textsearch.h"

using qeltext::npos;

bool QelTextFile::Parse()
{
    if (!m_Tool.IsFindType()) return ParseLines();

    if (!PrepareFind()) return false;

    if (m_Tool.GetId() == ID_TOOL_REPLACE_IN_FILES) {
        const wxString path = m_FileName.GetFullPath();
        const bool readOnly
            = m_FileName.GetStat().IsReadOnly() || !wxFileName::IsFileWritable(path);
        const bool binary
            = std::memchr(m_Data.data() + m_Begin, '\0', m_Data.size() - m_Begin) != nullptr;
        if (readOnly || binary) {
            // Said only where there was something to replace.
            DetectEncoding();
            if (m_Finder->MakeSearch(IsLatin1()).Next(m_Data, m_Begin, m_Data.size()) != npos) {
                if (readOnly)
                    wxLogError(_("Cannot replace in read-only file '%s'"), path);
                else
                    wxLogWarning(_("Skipped binary file '%s'"), path);
                Skip();
            }
            return false;
        }
    }
    return FindLines();
}

bool QelTextFile::PrepareFind()
{
    const QelFindReplaceData* frd = QelFindReplaceData::Get();
    if (frd->GetFindString().empty()) {
        wxFAIL_MSG("find or replace in files without a find text");
        return false;
    }

    m_Finder = &Finder::Get(*frd);
    if (!m_Finder->IsValid()) {
        wxLogError(_("The find text %s is not a valid regular expression"),
                   QelQuoted(m_Finder->GetFind()));
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

    for (;;) {
        FindInWindow(search, pos, index);
        if (m_Eof || m_FinishedAction) return true;
        if (!FillWindow(pos)) {
            wxLogError(_("Cannot read file '%s': %s"), m_FileName.GetFullPath(),
                       wxSysErrorMsgStr(errno));
            Skip();
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

    while (pos < limit && !m_FinishedAction) {
        const size_t candidate = search.Next(m_Data, pos, limit);
        if (candidate == npos) {
            // Line numbers go on in the next window; the last needs none.
            if (!m_Eof) index += qeltext::CountLineEnds(m_Data.data(), pos, limit);
            pos = limit;
            return;
        }

        // The lines before the candidate's are counted, not split.
        const size_t start = LineStart(pos, candidate);
        if (start > pos) index += qeltext::CountLineEnds(m_Data.data(), pos, start);
        m_Line = LineAt(start);
        m_CurrentLine = index + m_LineShift;

        if (MatchLine(m_Line, candidate)) {
            Report(m_CurrentLine);
            if (replace) ReplaceLineText(m_Line, m_LineText);
        }
        pos = m_Line.next;
        ++index;
    }
}

bool QelTextFile::MatchLine(const Line& line, size_t candidate)
{
    const bool replace = m_Tool.GetId() == ID_TOOL_REPLACE_IN_FILES;
    // The byte search found the very text on the line: a match, whose
    // text is decoded only when a hook asks for it.
    if (!replace && m_Finder->IsPlainLiteral() && candidate + m_Finder->PlainLength() <= line.end) {
        m_LineStale = true;
        IncActionsCompleted(1);
        return true;
    }
    DecodeLine(line);
    wxString replaced;
    long count = 0;

    if (m_Finder->IsRegex()) {
        if (replace) {
            size_t n = 0;
            replaced = QelRegexReplace(m_Finder->RegEx(), m_LineText, m_Finder->GetReplace(), &n,
                                       &m_Finder->FollowRegEx());
            count = static_cast<long>(n);
        } else {
            count = m_Finder->RegEx().Matches(m_LineText) ? 1 : 0;
        }
    } else {
        count = m_Finder->MatchLiteral(m_LineText, m_Folded, replace ? &replaced : nullptr);
    }

    if (count == 0) return false;
    if (replace) {
        m_LineText = replaced;
        m_Replaced += count;
        m_Modified = true;
    }
    IncActionsCompleted(replace ? count : 1);
    return true;
}

// The text written back.

bool QelTextFile::EncodeText(const wxString& text, std::string& out)
{
    DetectEncoding();
    return qeltext::AppendEncoded(text, IsLatin1(), out);
}

void QelTextFile::FlushTo(size_t offset)
{
    if (!m_OutStarted) {
        m_Out.reserve(m_Bom.size() + m_WindowOffset + m_Data.size() - m_Begin + 256);
        m_Out = m_Bom;
        // A streamed scan has the text before its window on disk only.
        if (m_WindowOffset > 0) {
            m_Out.resize(m_WindowOffset);
            if (ReadAt(&m_Out[0], m_WindowOffset, 0) != static_cast<ssize_t>(m_WindowOffset))
                m_EncodeFailed = true;
        }
        m_Copied = m_Begin;
        m_OutStarted = true;
    }
    if (offset > m_Copied) {
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

bool QelTextFile::WriteBack()
{
    const wxString path = m_FileName.GetFullPath();
    const bool replace = m_Tool.GetId() == ID_TOOL_REPLACE_IN_FILES;

    if (!replace && (m_FileName.GetStat().IsReadOnly() || !wxFileName::IsFileWritable(path))) {
        return true; // a read-only file is left as it is
    }

    FlushTo(m_Data.size());
    std::string bytes;
    if (m_EncodeFailed || !EncodeOutput(bytes)) {
        wxLogError(_("The new text cannot be written in the encoding of '%s'"), path);
    } else {
        if (DoWriteFile(path, bytes)) return true;
        wxLogError(_("The changes to '%s' were not written"), path);
    }

    m_WriteFailed = true;
    IncActionsCompleted(-m_Replaced);
    Skip();
    return false;
}

bool QelTextFile::EncodeOutput(std::string& out)
{
    const std::unique_ptr<wxMBConv> conv = qeltext::WideConverter(m_Encoding);
    if (!conv) {
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
