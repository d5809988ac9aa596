// Editing aids of the editor control: braces, indentation, completion,
// folding, change markers and the hexadecimal dump.
#include <qelkit/stc.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>

#include <wx/config.h>
#include <wx/intl.h>

#include <qelkit/lexers.h>
#include <qelkit/util.h>

namespace {

// The word being completed, shared by every editor: typing on in another
// editor without white space between continues it.
wxString& CompletionWord()
{
    static wxString word;
    return word;
}

constexpr int kAllMarkers = 0xFFFF;

// How far past its header a block's end is looked for while a long document
// folds as it is shown: a longer block stays open and its inner blocks fold,
// so that showing the start of a file never styles all of it.
constexpr int kFoldLookahead = 1 << 20;

// The text styled at a time while a block's end is looked for.
constexpr int kStyleStep = 1 << 12;

// Whether a line of level belongs to the block of a header of level header:
// blank lines do, and lines of a deeper level.
bool InFoldBlock(int header, int level)
{
    return (level & wxSTC_FOLDLEVELWHITEFLAG) != 0
        || (level & wxSTC_FOLDLEVELNUMBERMASK) > (header & wxSTC_FOLDLEVELNUMBERMASK);
}

} // namespace

bool QelSTC::CheckBrace(int pos)
{
    const int match = BraceMatch(pos);

    if (match == wxSTC_INVALID_POSITION) {
        BraceHighlight(wxSTC_INVALID_POSITION, wxSTC_INVALID_POSITION);
        return false;
    }

    BraceHighlight(pos, match);
    return true;
}

void QelSTC::OnKeyUp(wxKeyEvent&)
{
    // Not skipped: a release left to the toolkit goes on to GTK, which looks
    // it up in the key bindings of the control's classes (most of what a key
    // costs), and nothing is bound to a release.
    if (m_Flags & EDITOR_HEX) {
        if (!CheckBraceHex(GetCurrentPos())) CheckBraceHex(GetCurrentPos() - 1);
    } else if (!CheckBrace(GetCurrentPos())) {
        CheckBrace(GetCurrentPos() - 1);
    }
}

bool QelSTC::SmartIndentation()
{
    // A showing completion list takes the Return key itself; so does the
    // control, for the line end at every caret of a rectangle or of several
    // selections.
    if (GetReadOnly() || AutoCompActive() || GetSelections() > 1) return false;

    // The Return replaces a selection, as the control's own does: the line
    // split is the one where the selection starts.
    const int start = GetSelectionStart();
    const int line_no = LineFromPosition(start);
    const wxCharBuffer raw = GetLineRaw(line_no);
    const std::string line(raw.data(), raw.length());
    const std::string eol(GetEOL().utf8_str());

    if (line.empty() || line == eol) return false;

    const std::string indent = QelLeadingWhiteSpace(line);
    if (indent.empty()) return false;

    // Put in place of the selection, never at a position: a macro recording
    // it plays it back wherever its caret is then.
    const bool changes_line = GetSelectionEnd() > start || start < GetLineEndPosition(line_no);
    const std::string insert = eol + indent;
    ReplaceSelectionRaw(insert.c_str());
    ChooseCaretX();
    EnsureCaretVisible();
    if (changes_line) MarkerAddChange(line_no);
    MarkerAddChange(line_no + 1);
    return true;
}

void QelSTC::Indent(int begin, int end, bool forward)
{
    const int step = GetIndent() > 0 ? GetIndent() : GetTabWidth();

    BeginUndoAction();

    for (int line = begin; line <= end; ++line) {
        const int start = PositionFromLine(line);

        if (forward) {
            InsertText(start, GetUseTabs() ? wxString('\t') : wxString(' ', step));
        } else if (GetLineIndentation(line) > 0) {
            // Never more than the white space there is: a line indented less
            // than a step keeps its text.
            const int white = GetLineIndentPosition(line) - start;
            DeleteRange(start, std::min(GetUseTabs() ? 1 : step, white));
        }

        MarkerAddChange(line);
    }

    EndUndoAction();
}

void QelSTC::Indent(int lines, bool forward)
{
    const int begin = GetCurrentLine();
    Indent(begin, begin + lines - 1, forward);
}

void QelSTC::CheckAutoComp(const wxUniChar& c)
{
    wxString& word = CompletionWord();
    const int pos = GetCurrentPos();
    const int before = pos > 0 ? GetCharAt(pos - 1) : 0;

    if (std::isspace(before)) {
        word = c;
        return;
    }

    word += c;
    if (word.length() <= 2) return;

    if (!AutoCompActive()) {
        AutoCompSetIgnoreCase(true);
        AutoCompSetAutoHide(false);
        // The keyword text is sorted by case; the list must be without.
        AutoCompSetOrder(wxSTC_ORDER_PERFORMSORT);
    }

    if (m_Lexer.KeywordStartsWith(word)) {
        // Bytes already in the document: the word without the character
        // not yet inserted.
        const size_t typed = word.utf8_str().length() - wxString(c).utf8_str().length();
        AutoCompShow(static_cast<int>(typed), m_Lexer.GetKeywordsString(-1));
    } else {
        AutoCompCancel();
    }
}

void QelSTC::Fold(bool foldall)
{
    m_FoldLine = -1;

    if (GetProperty("fold") != "1" || !m_Lexer.IsOk() || m_Lexer.GetScintillaLexer().empty()) {
        SetMarginWidth(m_MarginFoldingNumber, 0);
        return;
    }

    const wxConfigBase* config = wxConfigBase::Get(true);
    SetMarginWidth(m_MarginFoldingNumber, config->ReadLong(_("Folding"), 16));
    SetFoldFlags(config->ReadLong(_("Fold flags"), 20));

    if (foldall) {
        FoldAll();
    } else if (GetLineCount() > config->ReadLong(_("Auto fold"), 1500)) {
        // Fold levels exist only for styled text, and styling all of a long
        // text takes long and much memory: it folds as it gets styled, that
        // is as it is shown, starting with what is styled already once the
        // window shows (the first fold sets up a state for every line).
        m_FoldLine = 0;
        m_FoldGaps.clear();
        CallAfter([this] {
            if (m_FoldLine < 0) return;
            FoldLines(m_FoldLine,
                      GetEndStyled() >= GetLength() ? GetLineCount()
                                                    : LineFromPosition(GetEndStyled()) - 1,
                      kFoldLookahead, GetCurrentLine());
            FoldStyled();
        });
    }
}

void QelSTC::FoldAll()
{
    if (GetProperty("fold") != "1") return;

    const int current = GetCurrentLine();
    Colourise(0, -1);
    int line = 0;
    FoldLines(line, GetLineCount(), -1, -1);
    m_FoldLine = -1;
    GotoLine(current);
}

void QelSTC::StyleTo(int pos)
{
    const int styled = GetEndStyled();
    if (pos > styled) Colourise(PositionFromLine(LineFromPosition(styled)), pos);
}

int QelSTC::FoldBlockEnd(int line, int level, int limit)
{
    const int lines = GetLineCount();
    int next = line + 1;
    for (; next < lines; ++next) {
        // A line's level is known once the line after it is styled.
        const int need = next + 2 < lines ? PositionFromLine(next + 2) : GetLength();
        if (const int styled = GetEndStyled(); need > styled) {
            if (limit >= 0 && styled >= limit) return -1;
            StyleTo(std::min(GetLength(), std::max(need, styled + kStyleStep)));
            if (GetEndStyled() <= styled) return -1; // a lexer that styles nothing
        }
        if (!InFoldBlock(level, GetFoldLevel(next))) break;
    }
    return next - 1;
}

bool QelSTC::FoldLines(int& from, int end, int limit, int keep)
{
    const bool xml = m_Lexer.GetScintillaLexer() == "xml";
    bool folded = false;

    while (from < end) {
        const int line = from++;
        const int level = GetFoldLevel(line);
        // The root element of an XML file stays open.
        if (!(level & wxSTC_FOLDLEVELHEADERFLAG)
            || (xml && (level & (wxSTC_FOLDLEVELNUMBERMASK | wxSTC_FOLDLEVELHEADERFLAG)) == 0x2400))
            continue;

        const int last = FoldBlockEnd(line, level, limit < 0 ? -1 : PositionFromLine(line) + limit);
        if (last < line + 2 || (keep > line && keep <= last)) continue;

        if (GetFoldExpanded(line)) {
            ToggleFold(line);
            folded = true;
        }
        from = last + 1;
    }
    return folded;
}

bool QelSTC::FoldGapsShown(int top, int bottom)
{
    bool folded = false;
    for (size_t i = 0; i < m_FoldGaps.size(); ++i) {
        const auto [first, end] = m_FoldGaps[i];
        if (first > bottom || end <= top) continue;
        // A block whose header lies above the top stays open: folding it
        // would take away the lines being looked at.
        int line = std::max(first, top);
        folded |= FoldLines(line, std::min(end, bottom + 1), kFoldLookahead, GetCurrentLine());
        // What is left of the gap above and below the lines looked at.
        m_FoldGaps[i] = {first, std::max(first, top)};
        if (line < end) m_FoldGaps.emplace_back(line, end);
    }
    m_FoldGaps.erase(std::remove_if(m_FoldGaps.begin(), m_FoldGaps.end(),
                                    [](const auto& gap) { return gap.first >= gap.second; }),
                     m_FoldGaps.end());
    return folded;
}

void QelSTC::FoldStyled()
{
    // The line at the top stays there while the lines above it fold.
    const int top = DocLineFromVisible(GetFirstVisibleLine());

    // Lines a jump passed over (to the end, to a line found) fold once they
    // are shown: each fold costs the control a scroll-bar update and a
    // redraw, which for the blocks of a long text takes seconds.
    if (m_FoldLine >= 0 && m_FoldLine < top && m_FoldLine < GetLineCount()) {
        m_FoldGaps.emplace_back(m_FoldLine, top);
        m_FoldLine = top;
    }

    // Up to the last line shown; each fold brings more lines into view.
    for (int pass = 0; m_FoldLine >= 0 && pass < 100; ++pass) {
        const int lines = GetLineCount();
        const int bottom = DocLineFromVisible(GetFirstVisibleLine() + LinesOnScreen()) + 1;
        const bool gaps = std::any_of(m_FoldGaps.begin(), m_FoldGaps.end(), [&](const auto& gap) {
            return gap.first <= bottom && gap.second > top;
        });
        if ((m_FoldLine > bottom || m_FoldLine >= lines) && !gaps) break;
        // Levels are known of the lines before the last one styled.
        StyleTo(bottom + 2 < lines ? PositionFromLine(bottom + 2) : GetLength());
        bool folded = FoldGapsShown(top, bottom);
        folded
            |= FoldLines(m_FoldLine, std::min(bottom + 1, lines), kFoldLookahead, GetCurrentLine());
        // Nothing folded: every line shown has been looked at.
        if (!folded) break;
        SetFirstVisibleLine(VisibleFromDocLine(top));
    }
    if (m_FoldLine >= GetLineCount() && m_FoldGaps.empty()) m_FoldLine = -1;
}

void QelSTC::ShiftFoldLines(int line, int added)
{
    // Lines added or removed after line move the lines still to fold.
    const auto shift = [line, added](int& at) {
        if (at > line) at = std::max(line + 1, at + added);
    };
    shift(m_FoldLine);
    for (auto& gap : m_FoldGaps) {
        shift(gap.first);
        shift(gap.second);
    }
}

bool QelSTC::MarksChanges() const
{
    return !GetReadOnly() && QelLexers::Get(true)->MarkerIsLoaded(m_MarkerChange)
        && GetFileName().GetStat().IsOk();
}

void QelSTC::MarkerAddChange(int line)
{
    if (MarksChanges()) MarkerAdd(line, m_MarkerChange.GetNo());
}

void QelSTC::MarkTargetChange()
{
    if (!QelLexers::Get(true)->MarkerIsLoaded(m_MarkerChange)) return;

    const int last = LineFromPosition(GetTargetEnd());
    for (int line = LineFromPosition(GetTargetStart()); line <= last; ++line) MarkerAddChange(line);
}

void QelSTC::MarkerDeleteAllChange()
{
    if (QelLexers::Get(true)->MarkerIsLoaded(m_MarkerChange))
        MarkerDeleteAll(m_MarkerChange.GetNo());
}

void QelSTC::MarkerNext(bool next)
{
    int line = next ? wxStyledTextCtrl::MarkerNext(GetCurrentLine() + 1, kAllMarkers)
                    : MarkerPrevious(GetCurrentLine() - 1, kAllMarkers);

    if (line == -1)
        line = next ? wxStyledTextCtrl::MarkerNext(0, kAllMarkers)
                    : MarkerPrevious(GetLineCount() - 1, kAllMarkers);

    if (line != -1) GotoLine(line);
}

int QelSTC::GetLineNumberAtCurrentPos() const
{
    const int line = const_cast<QelSTC*>(this)->GetCurrentLine();
    return QelGetLineNumber(GetTextRangeKept(PositionFromLine(line), GetLineEndPosition(line)));
}

void QelSTC::AddTextHexMode(wxFileOffset start, const char* bytes, size_t size)
{
    SetControlCharSymbol(120);
    QelLexers::Get(true)->ApplyHexStyles(this);
    QelLexers::Get(true)->ApplyMarkers(this);
    SetEdgeMode(wxSTC_EDGE_NONE);
    SetViewEOL(false);
    SetViewWhiteSpace(wxSTC_WS_INVISIBLE);

    // A dump is never undone: recording it would hold it twice. Nor is it
    // told as a change: the toolkit would copy it into the event as wide
    // characters. Room for all of it is made first, and it is made and added
    // a slice at a time, so it is never held outside the control as a whole.
    const bool undo = GetUndoCollection();
    SetUndoCollection(false);
    const int mod_mask = GetModEventMask();
    SetModEventMask(0);
    const wxCharBuffer eol = GetEOL().utf8_str();
    constexpr size_t kLine = 76; // 16 bytes at an offset below 2^32, no line end
    const size_t lines = (size + 15) / 16;
    Allocate(GetLength() + static_cast<int>(lines * (kLine + eol.length())) + 1);

    constexpr size_t kSlice = 16 << 16; // bytes of the file per slice
    std::string dump;
    for (size_t first = 0; first < size; first += kSlice) {
        dump.clear();
        QelHexDumpAppend(dump, start + static_cast<wxFileOffset>(first), bytes + first,
                         std::min(kSlice, size - first), eol.data());
        AddTextRaw(dump.data(), static_cast<int>(dump.size()));
    }
    SetModEventMask(mod_mask);
    SetUndoCollection(undo);
}

std::string QelLeadingWhiteSpace(const std::string& line)
{
    return line.substr(0, line.find_first_not_of(" \t"));
}

namespace {

// Each byte as two hexadecimal digits and as its character in a dump.
struct HexTables {
    char digits[256][2];
    char shown[256];

    HexTables()
    {
        const char* hex = "0123456789abcdef";
        for (int c = 0; c < 256; ++c) {
            digits[c][0] = hex[c >> 4];
            digits[c][1] = hex[c & 0xF];
            // One byte per column, and valid text: high bytes show as ".".
            const bool dot = c == 0 || c == '\t' || c == '\n' || c == '\r' || c >= 0x7F;
            shown[c] = dot ? '.' : static_cast<char>(c);
        }
    }
};

const HexTables& Tables()
{
    static const HexTables tables;
    return tables;
}

// The offset in at least eight hexadecimal digits; returns the end.
char* PutOffset(char* out, unsigned long long offset)
{
    int digits = 8;
    while (digits < 16 && (offset >> (4 * digits)) != 0) ++digits;
    for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4)
        *out++ = "0123456789abcdef"[(offset >> shift) & 0xF];
    return out;
}

// The blanks after the offset and the bytes field, with the extra blank
// after the eighth byte and one before the characters.
constexpr size_t kBytesField = 2 + 16 * 3 + 2;

} // namespace

void QelHexDumpAppend(std::string& dump, wxFileOffset start, const char* bytes, size_t size,
                      const char* eol)
{
    const HexTables& tables = Tables();
    const size_t eol_size = std::strlen(eol);
    const size_t old_size = dump.size();
    // At most: a 16 digit offset, the bytes field, 16 characters and eol.
    dump.resize(old_size + (size + 15) / 16 * (16 + kBytesField + 16 + eol_size));

    char* out = &dump[old_size];
    for (size_t first = 0; first < size; first += 16) {
        const size_t n = std::min<size_t>(16, size - first);
        const auto* line = reinterpret_cast<const unsigned char*>(bytes + first);

        out = PutOffset(out, static_cast<unsigned long long>(start) + first);
        *out++ = ':';
        std::memset(out, ' ', kBytesField - 1);
        for (size_t i = 0; i < n; ++i) {
            char* pair = out + 1 + 3 * i + (i >= 8 ? 1 : 0);
            pair[0] = tables.digits[line[i]][0];
            pair[1] = tables.digits[line[i]][1];
        }
        out += kBytesField - 1;

        for (size_t i = 0; i < n; ++i) *out++ = tables.shown[line[i]];
        std::memcpy(out, eol, eol_size);
        out += eol_size;
    }

    dump.resize(static_cast<size_t>(out - dump.data()));
}

std::string QelHexDump(wxFileOffset start, const char* bytes, size_t size, const char* eol)
{
    std::string dump;
    QelHexDumpAppend(dump, start, bytes, size, eol);
    return dump;
}
