// The line parser of the text-file scanner: code, comments, words and
// keywords of each line, for the count, keyword and revision tools.
#include <qelkit/textfile.h>

#include <algorithm>

#include "textbytes.h"
#include "textkeys.h"

using qeltext::IsSpace;

namespace {

bool IsBrace(wchar_t c)
{
    return c == '(' || c == ')' || c == '<' || c == '>' || c == '[' || c == ']' || c == '{'
        || c == '}';
}

bool IsCodewordSeparator(wchar_t c)
{
    return IsSpace(c) || IsBrace(c) || c == ',' || c == ';' || c == ':';
}

} // namespace

bool QelTextFile::ParseLines()
{
    DetectEncoding();
    size_t index = 0;

    for (size_t pos = m_Begin; pos < m_Data.size() && !m_FinishedAction; ++index) {
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
    if (m_IsCommentStatement) {
        m_Comments += c;
        if (m_Tool.IsCount()) ++m_Pending.commentSize;
    } else if (c == '"') {
        m_IsString = !m_IsString;
    }

    if (m_IsString) {
        m_LineHoldsCode = true;
        return;
    }

    // Column 0 only starts the current word; it is never judged as (part
    // of) a comment marker and makes no code by itself.
    if (i == 0) {
        if (!IsSpace(c)) m_Word = c;
        return;
    }

    // The window: the last characters up to this column, as many as begin1.
    const size_t w = std::min(i + 1, m_Begin1.length());
    switch (CheckForComment(std::wstring_view(text + i + 1 - w, w))) {
    case COMMENT_NONE:
        CodeCharacter(c);
        break;
    case COMMENT_BEGIN:
        if (!m_IsCommentStatement) CommentStatementStart();
        break;
    case COMMENT_END:
        CommentStatementEnd();
        break;
    case COMMENT_BOTH:
        m_IsCommentStatement ? CommentStatementEnd() : CommentStatementStart();
        break;
    case COMMENT_INCOMPLETE:
        break;
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

    const qeltext::Keys& keys = qeltext::GetKeys();
    QelStatistics<long>& elements = m_Stats.Elements();

    if (m_LineHoldsCode) {
        const long linesOfCode = elements.Inc(keys.linesOfCode, 1);
        // The revision history is looked for in the header only.
        if (m_Tool.GetId() == ID_TOOL_REPORT_REVISION && linesOfCode > 5) m_FinishedAction = true;
    }

    m_EmptyLine = length == 0;
    if (m_EmptyLine) elements.Inc(keys.emptyLines, 1);

    if (m_IsCommentStatement && !m_IsLastLine && m_Tool.IsCount()) {
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
    if (m_Tool.GetId() == ID_TOOL_REPORT_KEYWORD && m_FileName.GetLexer().IsKeyword(m_Word)) {
        m_Stats.Keywords().Inc(m_Word, 1);
    }
    m_InWord = false;
    m_Word.clear();
}

QelCommentType QelTextFile::CheckCommentSyntax(const std::wstring& syntax_begin,
                                               const std::wstring& syntax_end,
                                               std::wstring_view text) const
{
    if (text == syntax_begin) return text == syntax_end ? COMMENT_BOTH : COMMENT_BEGIN;
    if (text == syntax_end) return COMMENT_END;

    const auto startsWith = [text](const std::wstring& marker) {
        return marker.size() >= text.size() && marker.compare(0, text.size(), text) == 0;
    };
    if (startsWith(syntax_begin) || (!syntax_end.empty() && startsWith(syntax_end))) {
        return COMMENT_INCOMPLETE;
    }
    return COMMENT_NONE;
}

QelCommentType QelTextFile::CheckForComment(std::wstring_view text)
{
    if (m_Begin2.empty()) return CheckCommentSyntax(m_Begin1, m_End1, text);

    QelCommentType one = COMMENT_NONE;
    if (m_SyntaxType == SYNTAX_NONE || m_SyntaxType == SYNTAX_ONE) {
        one = CheckCommentSyntax(m_Begin1, m_End1, text);
        if (one == COMMENT_BEGIN) m_SyntaxType = SYNTAX_ONE;
    }

    QelCommentType two = COMMENT_NONE;
    if (m_SyntaxType == SYNTAX_NONE || m_SyntaxType == SYNTAX_TWO) {
        two = CheckCommentSyntax(m_Begin2, m_End2, text);
        if (two == COMMENT_BEGIN) m_SyntaxType = SYNTAX_TWO;
    }

    QelCommentType verdict = one;
    if (one == COMMENT_NONE || (one == COMMENT_INCOMPLETE && two != COMMENT_NONE)) verdict = two;

    if (verdict == COMMENT_END) {
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
