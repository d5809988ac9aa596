// Editing aids of the editor control: braces, indentation, completion,
// folding, change markers and the hexadecimal dump.
#include <qelkit/stc.h>

#include <algorithm>
#include <cctype>
#include <cstdio>

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

void QelSTC::OnKeyUp(wxKeyEvent& event)
{
    event.Skip();
    if (m_Flags & EDITOR_HEX) {
        if (!CheckBraceHex(GetCurrentPos())) CheckBraceHex(GetCurrentPos() - 1);
    } else if (!CheckBrace(GetCurrentPos())) {
        CheckBrace(GetCurrentPos() - 1);
    }
}

bool QelSTC::SmartIndentation()
{
    // A showing completion list takes the Return key itself.
    if (GetReadOnly() || AutoCompActive()) return false;

    const wxCharBuffer raw = GetLineRaw(GetCurrentLine());
    const std::string line(raw.data(), raw.length());
    const std::string eol(GetEOL().utf8_str());

    if (line.empty() || line == eol) return false;

    const std::string indent = QelLeadingWhiteSpace(line);
    if (indent.empty()) return false;

    const std::string insert = eol + indent;
    const int pos = GetCurrentPos();

    BeginUndoAction();
    InsertTextRaw(pos, insert.c_str());
    GotoPos(pos + static_cast<int>(insert.size()));
    EndUndoAction();
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
    if (GetProperty("fold") != "1" || !m_Lexer.IsOk() || m_Lexer.GetScintillaLexer().empty()) {
        SetMarginWidth(m_MarginFoldingNumber, 0);
        return;
    }

    const wxConfigBase* config = wxConfigBase::Get(true);
    SetMarginWidth(m_MarginFoldingNumber, config->ReadLong(_("Folding"), 16));
    SetFoldFlags(config->ReadLong(_("Fold flags"), 20));

    if (foldall) {
        FoldAll();
    } else if (GetLineCount() > config->ReadLong(_("Auto fold"), 1500) && !m_FoldAllPending) {
        // Folding needs the whole text styled: done once the window shows.
        m_FoldAllPending = true;
        CallAfter([this] {
            m_FoldAllPending = false;
            FoldAll();
        });
    }
}

void QelSTC::FoldAll()
{
    if (GetProperty("fold") != "1") return;

    const int current = GetCurrentLine();
    const bool xml = m_Lexer.GetScintillaLexer() == "xml";

    // Fold levels exist only for styled text.
    Colourise(0, -1);

    for (int line = 0; line < GetLineCount();) {
        const int level = GetFoldLevel(line);
        const int last = GetLastChild(line, level);

        // The root element of an XML file stays open.
        if (xml && (level & (wxSTC_FOLDLEVELNUMBERMASK | wxSTC_FOLDLEVELHEADERFLAG)) == 0x2400) {
            ++line;
        } else if (line + 1 < last) {
            if (GetFoldExpanded(line)) ToggleFold(line);
            line = last + 1;
        } else {
            ++line;
        }
    }

    GotoLine(current);
}

void QelSTC::MarkerAddChange(int line)
{
    if (!GetReadOnly() && QelLexers::Get(true)->MarkerIsLoaded(m_MarkerChange)
        && GetFileName().GetStat().IsOk())
        MarkerAdd(line, m_MarkerChange.GetNo());
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
    auto* self = const_cast<QelSTC*>(this);
    const int line = self->GetCurrentLine();
    return QelGetLineNumber(self->GetTextRange(PositionFromLine(line), GetLineEndPosition(line)));
}

void QelSTC::AddTextHexMode(wxFileOffset start, const char* bytes, size_t size)
{
    SetControlCharSymbol(120);
    QelLexers::Get(true)->ApplyHexStyles(this);
    QelLexers::Get(true)->ApplyMarkers(this);
    SetEdgeMode(wxSTC_EDGE_NONE);
    SetViewEOL(false);
    SetViewWhiteSpace(wxSTC_WS_INVISIBLE);

    // A dump is never undone: recording it would hold it twice.
    const bool undo = GetUndoCollection();
    SetUndoCollection(false);
    const std::string dump = QelHexDump(start, bytes, size, GetEOL().utf8_str());
    AddTextRaw(dump.data(), static_cast<int>(dump.size()));
    SetUndoCollection(undo);
}

std::string QelLeadingWhiteSpace(const std::string& line)
{
    return line.substr(0, line.find_first_not_of(" \t"));
}

std::string QelHexDump(wxFileOffset start, const char* bytes, size_t size, const char* eol)
{
    const std::string line_end(eol);
    std::string dump;
    dump.reserve(size / 16 * (76 + line_end.size()) + 80);

    char field[32];
    for (size_t first = 0; first < size; first += 16) {
        const size_t n = std::min<size_t>(16, size - first);

        snprintf(field, sizeof field, "%08llx: ", static_cast<unsigned long long>(start + first));
        dump += field;

        for (size_t i = 0; i < n; ++i) {
            snprintf(field, sizeof field, "%02x ", static_cast<unsigned char>(bytes[first + i]));
            dump += field;
            if (i == 7) dump += ' ';
        }

        if (n < 8) dump += ' ';
        dump.append((16 - n) * 3 + 1, ' ');

        for (size_t i = 0; i < n; ++i) {
            // One byte per column, and valid text: high bytes show as ".".
            const auto c = static_cast<unsigned char>(bytes[first + i]);
            const bool dot = c == 0 || c == '\t' || c == '\n' || c == '\r' || c >= 0x7F;
            dump += dot ? '.' : static_cast<char>(c);
        }

        dump += line_end;
    }

    return dump;
}
