// Replace all of the editor: the new bytes of a range are built in one pass
// over the unchanged document and put in as one change, so that a replace
// costs what its search costs, not one change of the control per match.
#include <qelkit/stc.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <qelkit/defs.h>

namespace {

// The control's message for a tagged part of a match, in bytes (SCI_GETTAG):
// the toolkit's call converts it to text.
constexpr int kGetTag = 2616;

// A match, [from, to) in the old text, and where its replacement went:
// `at` in the new bytes of the span, `length` bytes long.
struct Replaced {
    int from;
    int to;
    int at;
    int length;
};

// The new bytes from the first match to the end of the last one, and the
// matches in order.
struct Built {
    std::string text;
    std::vector<Replaced> replaced;
};

// A tagged part of the control's last regular-expression match.
void AppendTag(QelSTC* stc, int tag, std::string& out)
{
    const int length = stc->SendMsg(kGetTag, tag, 0);
    if (length <= 0) return;
    std::string bytes(static_cast<size_t>(length) + 1, '\0');
    stc->SendMsg(kGetTag, tag, wxIntPtr(bytes.data()));
    out.append(bytes.data(), static_cast<size_t>(length));
}

// The replacement of the last match as the control's own regular-expression
// replace makes it: "\0" to "\9" are tagged parts, "\a \b \f \n \r \t \v \\"
// the control characters and the backslash, any other backslash stays.
void AppendTagged(QelSTC* stc, const std::string& replacement, std::string& out)
{
    static const std::string_view escapes("a\ab\bf\fn\nr\rt\tv\v\\\\");
    for (size_t i = 0; i < replacement.size(); ++i) {
        const char c = replacement[i];
        const char next = i + 1 < replacement.size() ? replacement[i + 1] : '\0';
        if (c != '\\' || next == '\0') {
            out += c;
        } else if (next >= '0' && next <= '9') {
            AppendTag(stc, next - '0', out);
            ++i;
        } else if (const size_t e = escapes.find(next); e != std::string_view::npos && e % 2 == 0) {
            out += escapes[e + 1];
            ++i;
        } else {
            out += c;
        }
    }
}

// Finds the matches in [start, end) and builds their replacements. After a
// match of nothing the search goes on one character further, and a match
// of nothing right where the previous match ended is none, as sed and vim
// have it. Nor is one at the end of a range that ends where a line starts:
// that line (the last, empty one after a final line end above all) lies
// outside. Nor, as in vim, one at the end of a line that holds text: the
// control's expressions find none there.
class Builder {
public:
    Builder(QelSTC* stc, int start, int end)
        : m_STC(stc)
        , m_Start(start)
        , m_End(end)
        , m_Bytes(stc->GetRangePointer(start, end - start))
        , m_EndsAtLineStart(end > start && stc->PositionFromLine(stc->LineFromPosition(end)) == end)
    { }

    Built Literal(const std::string& find, const std::string& replacement)
    {
        const std::string_view bytes(m_Bytes, static_cast<size_t>(m_End - m_Start));
        for (size_t at = bytes.find(find); at != std::string_view::npos;
             at = bytes.find(find, at + find.size())) {
            const int from = m_Start + static_cast<int>(at);
            Add(from, from + static_cast<int>(find.size()));
            m_Built.text += replacement;
            End();
        }
        return std::move(m_Built);
    }

    Built Search(const std::string& find, const std::string& replacement, bool regex, bool tagged)
    {
        int pos = m_Start;
        while (pos <= m_End) {
            const int from = regex ? SearchLines(find, pos) : SearchFrom(find, pos);
            if (from < 0) break;
            const int to = m_STC->GetTargetEnd();
            const bool skip
                = to == from && (from == m_LastEnd || (from == m_End && m_EndsAtLineStart));
            if (!skip) {
                Add(from, to);
                if (tagged)
                    AppendTagged(m_STC, replacement, m_Built.text);
                else
                    m_Built.text += replacement;
                End();
            }
            if (to > from)
                pos = to;
            else if (from >= m_End)
                break;
            else
                pos = m_STC->PositionAfter(from);
        }
        return std::move(m_Built);
    }

private:
    int SearchFrom(const std::string& find, int pos)
    {
        m_STC->SetTargetRange(pos, m_End);
        return QelSTCSearchBytes(m_STC, find);
    }

    // The control's expressions match within a line and try no position
    // where the part of the line searched is empty: an empty line is
    // searched on its own, and a search from the end of a line that holds
    // text starts on the next line, so that an empty line there is not
    // passed over. Only an expression anchored at the line start is tried
    // on an empty line at all; there, where any match can only start, the
    // anchor changes nothing else (nor the numbers of the tagged parts).
    int SearchLines(const std::string& find, int pos)
    {
        const int line = m_STC->LineFromPosition(pos);
        if (pos >= m_End || pos != m_STC->GetLineEndPosition(line)) return SearchFrom(find, pos);
        if (pos != m_STC->PositionFromLine(line))
            return SearchLines(find, std::min(m_End, m_STC->PositionFromLine(line + 1)));
        for (const std::string& on_line : {find, "^" + find}) {
            m_STC->SetTargetRange(pos, pos);
            if (const int from = QelSTCSearchBytes(m_STC, on_line); from >= 0) return from;
            if (find[0] == '^') break;
        }
        return SearchFrom(find, pos);
    }

    // Copies the bytes up to the match and opens its replacement.
    void Add(int from, int to)
    {
        if (m_Built.replaced.empty()) m_Copied = from;
        m_Built.text.append(m_Bytes + (m_Copied - m_Start), static_cast<size_t>(from - m_Copied));
        m_Built.replaced.push_back({from, to, static_cast<int>(m_Built.text.size()), 0});
        m_Copied = to;
        m_LastEnd = to;
    }

    void End()
    {
        Replaced& last = m_Built.replaced.back();
        last.length = static_cast<int>(m_Built.text.size()) - last.at;
    }

    QelSTC* m_STC;
    const int m_Start;
    const int m_End;
    const char* m_Bytes; // the range in the control, valid while it is not changed
    const bool m_EndsAtLineStart;
    int m_Copied = 0;
    int m_LastEnd = -1;
    Built m_Built;
};

// Where a position of the old text is in the new one: moved by what the
// replacements before it added or removed; one inside a match goes to the
// start of its replacement.
int MapPosition(const Built& built, int pos)
{
    const std::vector<Replaced>& replaced = built.replaced;
    const auto after = std::upper_bound(replaced.begin(), replaced.end(), pos,
                                        [](int p, const Replaced& r) { return p < r.from; });
    if (after == replaced.begin()) return pos;
    const Replaced& r = *(after - 1);
    const int at = replaced.front().from + r.at;
    return pos < r.to ? at : at + r.length + pos - r.to;
}

// A pattern without any character that the control's regular expressions
// treat specially matches itself.
bool IsLiteral(const wxString& pattern)
{
    return pattern.find_first_of(".[]*+?^$\\") == wxString::npos;
}

// What one change over the span would lose of what the control keeps when
// each match is replaced on its own: the markers of the lines in the span,
// the caret and the selection, the first line shown.
class Keeper {
public:
    Keeper(QelSTC* stc, const Built& built)
        : m_STC(stc)
        , m_Built(built)
        , m_Anchor(stc->GetAnchor())
        , m_Caret(stc->GetCurrentPos())
        , m_Top(stc->PositionFromLine(stc->DocLineFromVisible(stc->GetFirstVisibleLine())))
        , m_FirstLine(stc->LineFromPosition(built.replaced.front().from))
    {
        const int last = stc->LineFromPosition(built.replaced.back().to);
        // A vi mark is its symbol's handle, which a symbol added again would
        // not be: the marks are taken off and set again.
        for (const auto& [marker, line] : stc->GetVi().TakeMarks(m_FirstLine, last))
            m_ViMarks.emplace_back(marker, stc->PositionFromLine(line));
        for (int line = stc->wxStyledTextCtrl::MarkerNext(m_FirstLine, ~0);
             line >= 0 && line <= last; line = stc->wxStyledTextCtrl::MarkerNext(line + 1, ~0))
            m_Markers.emplace_back(stc->PositionFromLine(line), stc->MarkerGet(line));
    }

    // After the change: the markers back on their lines, the lines that got
    // a replacement marked as changed, the caret and the view where they were.
    void Restore()
    {
        // The lines of the span were merged into its first line, and the
        // new ones have none.
        m_STC->MarkerDelete(m_FirstLine, -1);
        for (const auto& [pos, set] : m_Markers)
            m_STC->MarkerAddSet(m_STC->LineFromPosition(MapPosition(m_Built, pos)), set);
        for (const auto& [marker, pos] : m_ViMarks)
            m_STC->GetVi().PutMark(marker, m_STC->LineFromPosition(MapPosition(m_Built, pos)));
        MarkChanged();

        m_STC->SetSelection(MapPosition(m_Built, m_Anchor), MapPosition(m_Built, m_Caret));
        m_STC->SetFirstVisibleLine(
            m_STC->VisibleFromDocLine(m_STC->LineFromPosition(MapPosition(m_Built, m_Top))));
    }

private:
    // Each line once: many matches on one line are common.
    void MarkChanged()
    {
        if (!m_STC->MarksChanges()) return;
        const int span_start = m_Built.replaced.front().from;
        int marked = -1;
        for (const Replaced& r : m_Built.replaced) {
            const int last = m_STC->LineFromPosition(span_start + r.at + r.length);
            for (int line = std::max(marked + 1, m_STC->LineFromPosition(span_start + r.at));
                 line <= last; ++line)
                m_STC->MarkerAdd(line, QEL_MARKER_CHANGE);
            marked = std::max(marked, last);
        }
    }

    QelSTC* m_STC;
    const Built& m_Built;
    const int m_Anchor;
    const int m_Caret;
    const int m_Top;
    const int m_FirstLine;
    std::vector<std::pair<int, int>> m_Markers;       // line start, marker set
    std::vector<std::pair<wxUniChar, int>> m_ViMarks; // mark, line start
};

} // namespace

int QelSTC::ReplaceAllInRange(int start, int end, const wxString& find_text,
                              const wxString& replace_text, int search_flags)
{
    const std::string find = QelSTCBytes(find_text);
    start = std::clamp(start, 0, GetLength());
    end = std::clamp(end, start, GetLength());
    if (find.empty() || GetReadOnly()) return 0;

    const std::string replacement = QelSTCBytes(replace_text);
    const bool regex = (search_flags & wxSTC_FIND_REGEXP) != 0;
    const bool tagged = regex && QelIsTargetRE(replace_text);
    const bool literal = (search_flags & wxSTC_FIND_MATCHCASE)
        && !(search_flags & wxSTC_FIND_WHOLEWORD) && !tagged && (!regex || IsLiteral(find_text));
    SetSearchFlags(search_flags);

    Builder builder(this, start, end);
    const Built built = literal ? builder.Literal(find, replacement)
                                : builder.Search(find, replacement, regex, tagged);
    if (built.replaced.empty()) return 0;

    const int from = built.replaced.front().from;
    if (!KeepsLinesLight(from, built.replaced.back().to, built.text)) return 0;

    Keeper keeper(this, built);
    const int lines = GetLineCount();
    BeginUndoAction();
    // The change events would carry the whole span converted to text, twice.
    const int mod_mask = GetModEventMask();
    SetModEventMask(0);
    SetTargetRange(from, built.replaced.back().to);
    const WeighedAhead weighed(*this);
    ReplaceTargetRaw(built.text.data(), static_cast<int>(built.text.size()));
    SetModEventMask(mod_mask);
    EndUndoAction();
    m_WeightBound = {}; // not told of the change
    if (m_FoldLine >= 0 && GetLineCount() != lines)
        ShiftFoldLines(LineFromPosition(from), GetLineCount() - lines);
    keeper.Restore();
    return static_cast<int>(built.replaced.size());
}

std::string QelSTC::TargetReplacement(const wxString& replace_text, bool tagged)
{
    const std::string replacement = QelSTCBytes(replace_text);
    if (!tagged) return replacement;
    std::string bytes;
    AppendTagged(this, replacement, bytes);
    return bytes;
}
