// Regular-expression helpers of the text-file scanner: the literal text every
// match must hold (for the prefilter), and a replace loop that always moves on.
#include <qelkit/textfile.h>

#include <wctype.h>

#include <algorithm>
#include <cctype>
#include <cwchar>
#include <string>

namespace {

constexpr size_t npos = std::string::npos;

// Skips a bracket expression starting at p (at its "["); returns the index
// after its "]", or npos when it does not end.
size_t SkipBracket(const std::wstring& p, size_t i)
{
    ++i;
    if (i < p.size() && p[i] == '^') ++i;
    if (i < p.size() && p[i] == ']') ++i; // a leading "]" is literal
    while (i < p.size()) {
        if (p[i] == '\\')
            i += 2;
        else if (p[i] == '[' && i + 1 < p.size() && p[i + 1] == ':') {
            const size_t end = p.find(L":]", i + 2);
            if (end == npos) return npos;
            i = end + 2;
        } else if (p[i] == ']')
            return i + 1;
        else
            ++i;
    }
    return npos;
}

// The index after a repeat count ("{n}", "{n,}", "{n,m}", "{,m}") starting
// at i, or npos when the "{" there is literal text.
size_t SkipRepeatCount(const std::wstring& p, size_t i)
{
    size_t end = i + 1;
    while (end < p.size() && (iswdigit(p[end]) || p[end] == ',')) ++end;
    return end < p.size() && p[end] == '}' && end > i + 1 ? end + 1 : npos;
}

// Escapes that stand for a class or a position, taking no further characters.
bool IsSimpleEscape(wchar_t c)
{
    return std::wcschr(L"dDwWsSbBAzZGhHvVRXK", c) != nullptr;
}

// Collects runs of literal text; the longest one found so far is kept.
class Runs {
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

// Reads the escape at i (its backslash) and returns the index after it, or
// npos for an escape that is not followed (\x.., \1, \Q, \p{..}).
size_t ReadEscape(const std::wstring& p, size_t i, bool top, Runs& runs)
{
    if (i + 1 >= p.size()) return npos;
    const wchar_t e = p[i + 1];
    const bool literal = e < 0x80 && !std::isalnum(static_cast<int>(e));
    if (!literal && !IsSimpleEscape(e)) return npos;
    if (top) literal ? runs.Add(e) : runs.End();
    return i + 2;
}

// Reads a character that is neither an escape, a bracket nor a repeat count;
// inside a group nothing counts as required.
void ReadCharacter(wchar_t c, int& depth, Runs& runs)
{
    if (c == '(')
        ++depth, runs.End();
    else if (c == ')')
        depth = std::max(0, depth - 1), runs.End();
    else if (depth > 0) {
    } else if (c == '*' || c == '?')
        runs.DropLast();
    else if (c == '+' || c == '{' || c == '.' || c == '^' || c == '$' || c >= 0x80)
        runs.End();
    else
        runs.Add(c);
}

// Appends the replacement of one match: "&" and "\0" are the match, "\1"
// to "\9" its groups, a backslash makes the next character literal.
void AppendReplacement(const wxRegEx& re, const wxString& text, const wxString& replacement,
                       wxString& out)
{
    for (size_t i = 0; i < replacement.length(); ++i) {
        const wxUniChar c = replacement[i];
        size_t group = npos;
        if (c == '&')
            group = 0;
        else if (c == '\\' && i + 1 < replacement.length()) {
            const wxUniChar next = replacement[++i];
            if (next >= '0' && next <= '9')
                group = next.GetValue() - '0';
            else
                out += next;
        } else
            out += c;

        size_t start = 0;
        size_t length = 0;
        const bool known = group != npos && group < re.GetMatchCount();
        if (known && re.GetMatch(&start, &length, group) && start != npos) {
            out += text.substr(start, length);
        }
    }
}

} // namespace

wxString QelRegexRequiredText(const wxString& pattern)
{
    const std::wstring p = pattern.ToStdWstring();
    if (p.find(L"(?") != npos || p.find(L"(*") != npos)
        return wxString(); // options may change anything

    Runs runs;
    int depth = 0;
    for (size_t i = 0; i < p.size();) {
        const wchar_t c = p[i];
        size_t next = i + 1;
        if (c == '\\')
            next = ReadEscape(p, i, depth == 0, runs);
        else if (c == '[') {
            next = SkipBracket(p, i);
            if (depth == 0) runs.End();
        } else if (c == '{' && depth == 0 && SkipRepeatCount(p, i) != npos) {
            runs.DropLast();
            next = SkipRepeatCount(p, i);
        } else if (c == '|' && depth == 0)
            return wxString();
        else
            ReadCharacter(c, depth, runs);

        if (next == npos) return wxString();
        i = next;
    }
    runs.End();
    return wxString(runs.Best());
}

wxString QelRegexFollowPattern(const wxString& pattern)
{
    // Verbs must stay at the very start, a comment of the extended syntax
    // could swallow the closing parenthesis, and \G or a recursion into
    // the whole pattern would take the look-behind in.
    for (const char* part : {"(*", "#", "\\G", "(?R", "(?0"})
        if (pattern.Contains(part)) return wxString();
    return "(?<=[\\s\\S])(?:" + pattern + ")";
}

wxString QelRegexWholeWordPattern(const wxString& pattern)
{
    // Letters, digits and "_" as the scanner's word characters count them
    // (the toolkit's \w knows ASCII only).
    static const wxString word = "[\\p{L}\\p{Nd}\\p{Nl}_]";
    // Verbs such as (*UCP) hold only at the very start.
    size_t body = 0;
    while (pattern.compare(body, 2, "(*") == 0) {
        const size_t close = pattern.find(')', body);
        if (close == wxString::npos) break;
        body = close + 1;
    }
    return pattern.substr(0, body) + "(?<!" + word + ")(?:" + pattern.substr(body) + ")(?!" + word
        + ")";
}

wxString QelRegexReplace(const wxRegEx& re, const wxString& text, const wxString& replacement,
                         size_t* count, const wxRegEx* follow)
{
    const size_t n = text.length();
    const bool context = follow != nullptr && follow->IsValid();
    wxString out;
    size_t pos = 0;
    size_t lastEnd = npos;
    *count = 0;

    while (pos <= n) {
        // Matched from pos on, as the toolkit's own replace does; with the
        // character before pos in front where it can be, so that a word
        // boundary or a look-behind sees it.
        const size_t from = context && pos > 0 ? pos - 1 : pos;
        const wxRegEx& matcher = from < pos ? *follow : re;
        const wxString rest = text.substr(from);
        size_t start = 0;
        size_t len = 0;
        if (!matcher.Matches(rest, pos > 0 ? wxRE_NOTBOL : 0) || !matcher.GetMatch(&start, &len, 0)
            || start < pos - from)
            break;
        start -= pos - from; // from pos on

        // An empty match right after the previous match is not one more.
        if (len == 0 && pos + start == lastEnd) {
            if (pos + start >= n) break;
            out += text.substr(pos, start + 1);
            pos += start + 1;
            continue;
        }

        out += text.substr(pos, start);
        AppendReplacement(matcher, rest, replacement, out);
        ++*count;
        pos += start + len;
        lastEnd = pos;

        // After an empty match the next character is copied: the loop moves on.
        if (len == 0) {
            if (pos >= n) break;
            out += text[pos++];
        }
    }

    if (pos < n) out += text.substr(pos);
    return out;
}
