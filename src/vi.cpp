// vi emulation: keys, modes and the normal-mode commands.
#include <qelkit/vi.h>

#include <algorithm>
#include <cctype>
#include <cwctype>

#include <locale.h>
#include <wctype.h>

#include <qelkit/frd.h>
#include <qelkit/process.h>
#include <qelkit/status.h>
#include <qelkit/stc.h>
#include <qelkit/util.h>

wxString QelVi::m_LastCommand;
wxString QelVi::m_LastFindCharCommand;

namespace {

// The control keys (Ctrl+B, Ctrl+G, Ctrl+P and Ctrl+Q, as the characters
// they type) that are commands of normal mode.
bool IsViControlKey(int c)
{
    return c == 2 || c == 7 || c == 16 || c == 17;
}

// The keys whose key-down is a command of vi's (in insert mode, mostly
// left to the editor).
bool IsViKey(int key_code)
{
    return key_code == WXK_TAB || key_code == WXK_BACK || key_code == WXK_RETURN
        || key_code == WXK_ESCAPE;
}

// The keys that only move the caret, the view or the selection, whatever
// the modifiers: in normal mode the editor moves with them.
bool IsMotionKey(int key_code)
{
    switch (key_code) {
    case WXK_LEFT:
    case WXK_RIGHT:
    case WXK_UP:
    case WXK_DOWN:
    case WXK_HOME:
    case WXK_END:
    case WXK_PAGEUP:
    case WXK_PAGEDOWN:
    case WXK_NUMPAD_LEFT:
    case WXK_NUMPAD_RIGHT:
    case WXK_NUMPAD_UP:
    case WXK_NUMPAD_DOWN:
    case WXK_NUMPAD_HOME:
    case WXK_NUMPAD_END:
    case WXK_NUMPAD_PAGEUP:
    case WXK_NUMPAD_PAGEDOWN:
        return true;
    default:
        return false;
    }
}

// An insert repeated by a count stops growing past this many characters.
constexpr size_t MaxRepeatedInsert = 16 * 1024 * 1024;

// Moves that go further than this jump to the target line at once instead
// of stepping line by line.
constexpr int MaxLineSteps = 100;

// Runs a caret or scroll command up to `count` times, stopping as soon as it
// no longer moves anything (a huge count must not freeze the editor).
template <typename Step> void Repeat(wxStyledTextCtrl* stc, int count, Step step)
{
    for (int i = 0; i < count; ++i) {
        const int pos = stc->GetCurrentPos();
        const int top = stc->GetFirstVisibleLine();
        step();
        if (stc->GetCurrentPos() == pos && stc->GetFirstVisibleLine() == top) break;
    }
}

// The position `count` whole characters (a line end is one) from `pos`
// towards `limit`, at most `limit`.
int StepChars(wxStyledTextCtrl* stc, int pos, int count, int limit)
{
    const bool forward = limit >= pos;
    // Each step passes at least one byte.
    if (count >= std::abs(limit - pos)) return limit;
    for (int i = 0; i < count; ++i)
        pos = forward ? stc->PositionAfter(pos) : stc->PositionBefore(pos);
    return pos;
}

// Puts the caret there, as the column that up and down then keep.
void MoveCaret(wxStyledTextCtrl* stc, int pos)
{
    stc->GotoPos(pos);
    stc->ChooseCaretX();
}

// A caret after the last character of a line stands on that character, as
// the cursor of vi does: commands that act on the character at the caret
// take that one, never the line end.
int StandOn(wxStyledTextCtrl* stc, int pos)
{
    const int line = stc->LineFromPosition(pos);
    return pos == stc->GetLineEndPosition(line) && pos > stc->PositionFromLine(line)
        ? stc->PositionBefore(pos)
        : pos;
}

// How vi's word motions class a character: 0 a blank, a line end or the
// document end, 1 punctuation, 2 a word character (any byte of a
// multi-byte character too).
int WordClass(const wxStyledTextCtrl* stc, int pos)
{
    if (pos >= stc->GetLength()) return 0;
    const int c = stc->GetCharAt(pos) & 0xff;
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n') return 0;
    return c >= 0x80 || c == '_' || std::isalnum(c) ? 2 : 1;
}

// A walk over the text as vi's word motions take it: character by
// character, resting on each line end. The empty line after a last line
// end is no line of vi's, so the walk ends before it.
class WordWalk {
public:
    // What a step did.
    enum Step { InLine, NextLine, OntoLineEnd, AtEnd };

    WordWalk(wxStyledTextCtrl* stc, int pos)
        : m_STC(stc)
        , m_Pos(pos)
        , m_LastLine(stc->GetLineCount() - 1)
    {
        if (m_LastLine > 0 && stc->PositionFromLine(m_LastLine) == stc->GetLength()) --m_LastLine;
    }

    int Pos() const { return m_Pos; }
    int Class() const { return WordClass(m_STC, m_Pos); }
    int Line() const { return m_STC->LineFromPosition(m_Pos); }
    bool OnLastLine() const { return Line() >= m_LastLine; }
    bool OnEmptyLine() const
    {
        return m_Pos == m_STC->PositionFromLine(Line())
            && m_Pos == m_STC->GetLineEndPosition(Line());
    }

    Step Next()
    {
        const int line = Line();
        const int end = m_STC->GetLineEndPosition(line);
        if (m_Pos < end) {
            m_Pos = m_STC->PositionAfter(m_Pos);
            return m_Pos < end ? InLine : OntoLineEnd;
        }
        if (line >= m_LastLine) return AtEnd;
        m_Pos = m_STC->PositionFromLine(line + 1);
        return NextLine;
    }

    void Back()
    {
        if (m_Pos > m_STC->PositionFromLine(Line())) m_Pos = m_STC->PositionBefore(m_Pos);
    }

private:
    wxStyledTextCtrl* m_STC;
    int m_Pos;
    int m_LastLine;
};

// Where `count` words from `pos` end for a delete or a change: at the start
// of the next word, an empty line counting as one; but the last word ends
// at its line end when it ends a line, so that the line break stays.
int WordsEnd(wxStyledTextCtrl* stc, int pos, int count)
{
    WordWalk walk(stc, pos);
    for (int left = count - 1; left >= 0; --left) {
        // The walk ends at the document end, and the last word at the line
        // end it reaches.
        const auto ends = [&](WordWalk::Step step) {
            return step == WordWalk::AtEnd || (step != WordWalk::InLine && left == 0);
        };
        const int start_class = walk.Class();
        const bool last_line = walk.OnLastLine();
        const WordWalk::Step step = walk.Next();
        if (ends(step) || (step != WordWalk::InLine && last_line)) break;
        while (start_class != 0 && walk.Class() == start_class)
            if (ends(walk.Next())) return walk.Pos();
        while (walk.Class() == 0 && !walk.OnEmptyLine())
            if (ends(walk.Next())) return walk.Pos();
    }
    return walk.Pos();
}

// Where "cw" from `pos`, a character of a word, ends: at the end of that
// word (the blanks after it stay), then of each further word counted.
int ChangedWordsEnd(wxStyledTextCtrl* stc, int pos, int count)
{
    WordWalk walk(stc, pos);
    // Passes the characters of one class; false at the document end.
    const auto pass = [&walk](int word_class) {
        while (walk.Class() == word_class)
            if (walk.Next() == WordWalk::AtEnd) return false;
        return true;
    };
    for (int i = 0; i < count; ++i) {
        const int start_class = walk.Class();
        if (walk.Next() == WordWalk::AtEnd) return walk.Pos();
        if (walk.Class() == start_class) {
            if (!pass(start_class)) return walk.Pos();
        } else if (i > 0) {
            // On the end of a word: on to the end of the next one.
            if (!pass(0) || !pass(walk.Class())) return walk.Pos();
        }
        walk.Back();
    }
    return stc->PositionAfter(walk.Pos());
}

// The text that a delete or a change of words takes.
struct WordsRange {
    int start, end;
};

// What "dw" (or "cw" with `change`) with the count takes from `pos`. The
// words end where the next one starts; on a word "cw" ends with the word
// instead. An end at the start of a later line goes back to the end of the
// line before it, and from the start of a line's text the lines go whole.
WordsRange RangeOfWords(wxStyledTextCtrl* stc, int pos, int count, bool change)
{
    pos = StandOn(stc, pos);
    if (change && WordClass(stc, pos) != 0) return {pos, ChangedWordsEnd(stc, pos, count)};
    const int end = WordsEnd(stc, pos, count);
    const int line = stc->LineFromPosition(pos), end_line = stc->LineFromPosition(end);
    if (end_line == line || end != stc->PositionFromLine(end_line)) return {pos, end};
    if (pos > stc->GetLineIndentPosition(line)) return {pos, stc->GetLineEndPosition(end_line - 1)};
    // A change keeps one line to type into.
    return {stc->PositionFromLine(line), change ? stc->GetLineEndPosition(end_line - 1) : end};
}

// Lower case to upper, anything else to lower, by the Unicode tables
// whatever locale the program runs in.
wxString ToggledCase(const wxString& text)
{
    static const locale_t utf8
        = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr));
    wxString result;
    for (const wxUniChar c : text) {
        const wint_t w = c.GetValue();
        if (utf8 == static_cast<locale_t>(nullptr))
            result += wxUniChar(
                static_cast<wxUint32>(std::iswlower(w) ? std::towupper(w) : std::towlower(w)));
        else
            result += wxUniChar(static_cast<wxUint32>(iswlower_l(w, utf8) ? towupper_l(w, utf8)
                                                                          : towlower_l(w, utf8)));
    }
    return result;
}

} // namespace

QelVi::QelVi(QelSTC* stc)
    : m_MarkerSymbol(0)
    , m_SearchFlags(wxSTC_FIND_REGEXP | wxSTC_FIND_MATCHCASE)
    , m_STC(stc)
{
    m_STC->Bind(wxEVT_CHAR_HOOK, &QelVi::OnCharHook, this);
}

QelVi::~QelVi()
{
    m_STC->Unbind(wxEVT_CHAR_HOOK, &QelVi::OnCharHook, this);
}

void QelVi::OnCharHook(wxKeyEvent& event)
{
    // The frame's accelerators come before the editor's key-down: the
    // control keys that are commands in normal mode (Ctrl+B pages up, where
    // the frame shows or hides its menu bar) are taken here, ahead of them.
    if (m_IsActive && !m_InsertMode && event.GetModifiers() == wxMOD_CONTROL
        && event.GetKeyCode() >= 'A' && event.GetKeyCode() <= 'Z'
        && IsViControlKey(event.GetKeyCode() - 'A' + 1)) {
        AddToCommand(wxUniChar(event.GetKeyCode() - 'A' + 1));
        return;
    }
    event.Skip();
}

void QelVi::Use(bool mode)
{
    if (!mode) {
        LeaveInsertMode();
        m_Command.clear();
    }
    m_IsActive = mode;
}

void QelVi::LeaveInsertMode()
{
    if (!m_InsertMode) return;
    m_InsertMode = false;
    m_STC->EndUndoAction();
}

int QelVi::GetCount(const wxString& command)
{
    long long count = 0;
    for (const wxUniChar c : command) {
        if (c < '0' || c > '9') break;
        count = std::min<long long>(count * 10 + (c.GetValue() - '0'), MaxCount);
    }
    return count > 0 ? static_cast<int>(count) : 1;
}

bool QelVi::IsRepeatable(const wxString& command)
{
    // A command ending in "." replays the stored one: storing it would make
    // the next "." call itself without end.
    if (command.empty() || command.Last() == '.') return false;
    if (command.length() > 1) return !command.Matches("m?");
    return wxString("aiopxACDIORX~").Find(command[0]) != wxNOT_FOUND;
}

bool QelVi::LeavesToWindow(const wxKeyEvent& event) const
{
    if (!m_IsActive || m_InsertMode) return false;
    if (event.GetEventType() == wxEVT_KEY_DOWN) {
        // The control's own keys edit (Ctrl+L cuts a line, Alt+Backspace
        // undoes): it keeps only those that move.
        const int code = event.GetKeyCode();
        if (IsViKey(code)) return event.GetModifiers() == wxMOD_ALT;
        return !IsMotionKey(code);
    }
    if (event.GetEventType() != wxEVT_CHAR) return false;
    // A control key without a vi command is the window's (Ctrl+S saves): it
    // goes on to the menus, and never waits in the command.
    const int key = event.GetUnicodeKey();
    return key == WXK_NONE || (event.GetModifiers() & wxMOD_ALT) != 0
        || (key < WXK_SPACE && !IsViControlKey(key) && (event.GetModifiers() & wxMOD_CONTROL));
}

bool QelVi::OnChar(const wxKeyEvent& event)
{
    // In insert mode the editor inserts the character, and what it inserts
    // is collected (OnCharAdded): a key may add nothing.
    if (!m_IsActive || m_InsertMode || LeavesToWindow(event)) return true;
    const int key = event.GetUnicodeKey();
    if (key < WXK_SPACE && !IsViControlKey(key)) return false;

    TakeBarSearch();
    AddToCommand(wxUniChar(key));
    return false;
}

void QelVi::OnCharAdded(int key)
{
    // Return collects the line end itself: smart indentation adds it
    // without this notice.
    if (m_InsertMode && key != '\r' && key != '\n') m_InsertText += wxUniChar(key);
}

void QelVi::AddToCommand(wxUniChar c)
{
    m_Command += c;
    const wxString command = m_Command;
    if (DoCommand(command, false)) {
        if (IsRepeatable(command)) m_LastCommand = command;
        m_Command.clear();
    }
}

bool QelVi::OnKeyDown(const wxKeyEvent& event)
{
    if (!m_IsActive) return false;
    // These are commands of normal mode too, which close a message that
    // the bar shows.
    if (!m_InsertMode && IsViKey(event.GetKeyCode())) HideViBar();
    if (!m_InsertMode) {
        TakeBarSearch();
        // These keys move from vi's cursor too, or act on its line.
        if (IsViKey(event.GetKeyCode()) || IsMotionKey(event.GetKeyCode())) DropFound();
    }
    switch (event.GetKeyCode()) {
    case WXK_TAB:
        if (m_InsertMode) InsertTab();
        return false;
    case WXK_BACK:
        if (m_InsertMode) {
            // The editor takes back a line end as a whole, and so does the
            // record, also one that is all of it: a repeat must not add half
            // of one, nor one taken back.
            const wxString eol = GetEOL();
            if (m_InsertText.EndsWith(eol))
                m_InsertText.RemoveLast(eol.length());
            else if (m_InsertText.length() > 1)
                m_InsertText.RemoveLast();
            return true;
        }
        m_STC->CharLeft();
        return false;
    case WXK_RETURN:
        if (m_InsertMode) {
            // Recorded as the document's line end, so that a repeat adds
            // the same line end as the one typed.
            m_InsertText += GetEOL();
            return true;
        }
        MoveLines(GetCount(m_Command), true);
        m_Command.clear();
        return false;
    case WXK_ESCAPE:
        if (m_InsertMode) {
            const size_t repeat = m_InsertRepeatCount - 1;
            if (repeat > 0 && !m_InsertText.empty()) {
                const size_t times = std::min(repeat, MaxRepeatedInsert / m_InsertText.length());
                wxString text;
                text.reserve(times * m_InsertText.length());
                for (size_t i = 0; i < times; ++i) text += m_InsertText;
                m_STC->AddText(text);
            }
            LeaveInsertMode();
        } else {
            Bell();
        }
        if (m_STC->GetSelectionStart() != m_STC->GetSelectionEnd()) {
            const int caret = m_STC->GetCurrentPos();
            m_STC->SetSelection(caret, caret);
        }
        m_Command.clear();
        return false;
    default:
        return true;
    }
}

bool QelVi::DoCommand(const wxString& command, bool dot)
{
    if (command.empty()) return false;
    if (command[0] == ':') {
        if (command == ":") {
            GetViCommand(command);
            return true;
        }
        return DoCommandRange(command);
    }
    HideViBar();
    if (!KeepsFound(command)) DropFound();
    const int count = GetCount(command);
    if (DoMultiCharCommand(command, count, dot)) return true;
    return DoSingleCharCommand(command, count, dot);
}

bool QelVi::DoMultiCharCommand(const wxString& command, int count, bool dot)
{
    const bool writable = !IsReadOnly();
    const wxUniChar last = command.Last();

    if (writable && command.EndsWith("cw")) {
        ChangeWords(count, dot);
    } else if (writable && command == "cc") {
        m_STC->Home();
        m_STC->DelLineRight();
        if (dot && !m_InsertText.empty())
            m_STC->ReplaceSelection(m_InsertText);
        else
            InsertMode('i', 1, false, false);
    } else if (writable && command.EndsWith("dd")) {
        Delete(count);
    } else if (writable && (command == "d0" || command == "d$")) {
        command == "d0" ? m_STC->HomeExtend() : m_STC->LineEndExtend();
        m_STC->Cut();
    } else if (writable && command.EndsWith("dw")) {
        DeleteWords(count);
    } else if (writable && command.Matches("*r?")) {
        ReplaceChars(last, count);
    } else if (command.Matches("*f?") || command.Matches("*F?")) {
        FindChar(last, count, command[command.length() - 2] == 'f');
        m_LastFindCharCommand = command;
    } else if (command.Matches("*J")) {
        JoinLines(count);
    } else if (command.Matches("m?")) {
        PutMark(last, m_STC->LineFromPosition(m_STC->GetCurrentPos()));
    } else if (command.EndsWith("yw")) {
        // The words from the start of the caret's one; the caret stays, and
        // nothing stays selected that a put would replace.
        QelSTC* stc = m_STC;
        const int caret = stc->GetCurrentPos();
        Repeat(stc, count, [stc] { stc->WordRightEnd(); });
        const int end = stc->GetCurrentPos();
        Repeat(stc, count, [stc] { stc->WordLeft(); });
        stc->CopyKept(stc->GetCurrentPos(), end);
        MoveCaret(stc, caret);
    } else if (command.EndsWith("yy")) {
        Yank(count);
    } else if (command == "zc" || command == "zo" || command == "zE" || command == "zf") {
        Fold(command);
    } else if (command == "ZZ") {
        PostCommand(wxID_SAVE);
        PostClose(true);
    } else if (writable && (command.EndsWith(">>") || command.EndsWith("<<"))) {
        const int line = m_STC->LineFromPosition(m_STC->GetCurrentPos());
        const int end = std::min<long long>(1LL * line + count - 1, m_STC->GetLineCount() - 1);
        IndentLines(line, end, command.EndsWith(">>"));
    } else if (command.Matches("'?")) {
        GotoMarker(last);
    } else {
        return false;
    }
    return true;
}

void QelVi::ChangeWords(int count, bool dot)
{
    QelSTC* stc = m_STC;
    if (stc->GetSelectionStart() != stc->GetSelectionEnd())
        MoveCaret(stc, stc->GetSelectionStart());
    const WordsRange range = RangeOfWords(stc, stc->GetCurrentPos(), count, true);
    if (dot) {
        stc->SetSelection(range.start, range.end);
        stc->ReplaceSelection(m_InsertText);
        return;
    }
    // The words stay selected, so that what is typed replaces them.
    InsertMode('i', 1, false, false);
    stc->SetCurrentPos(range.start);
    stc->SetAnchor(range.end);
}

void QelVi::DeleteWords(int count)
{
    const WordsRange range = RangeOfWords(m_STC, m_STC->GetCurrentPos(), count, false);
    if (range.start == range.end) return;
    m_STC->BeginUndoAction();
    m_STC->SetSelection(range.start, range.end);
    m_STC->Cut();
    m_STC->EndUndoAction();
}

void QelVi::FindChar(wxUniChar c, int count, bool forward) const
{
    SearchFromCursor(wxString(c), count, forward);
}

bool QelVi::HasFound() const
{
    const QelSTC* stc = m_STC;
    return m_Found.start >= 0 && stc->GetSelections() == 1 && !stc->SelectionIsRectangle()
        && stc->GetSelectionStart() == m_Found.start && stc->GetSelectionEnd() == m_Found.end;
}

void QelVi::KeepFound() const
{
    const int start = m_STC->GetSelectionStart(), end = m_STC->GetSelectionEnd();
    m_Found = start < end ? Found{start, end} : Found{};
}

void QelVi::DropFound() const
{
    // A selection the user made stays: the commands that take one take it.
    const bool found = HasFound();
    const int start = m_Found.start;
    m_Found = Found{};
    if (found) MoveCaret(m_STC, start);
}

void QelVi::TakeBarSearch()
{
    if (!m_BarSearch) return;
    m_BarSearch = false;
    // A match the bar found is selected as the target of its search is; a
    // cancelled search gave back the selection there was before.
    if (m_STC->GetSelectionStart() == m_STC->GetTargetStart()
        && m_STC->GetSelectionEnd() == m_STC->GetTargetEnd())
        KeepFound();
}

bool QelVi::KeepsFound(const wxString& command)
{
    // A count, an "f" or "F" still waiting for its character, or a search
    // that goes on from what was found.
    const wxString rest
        = command.Mid(std::min(command.find_first_not_of("0123456789"), command.length()));
    if (rest.empty() || rest == "f" || rest == "F") return true;
    if (rest.length() == 2) return rest[0] == 'f' || rest[0] == 'F';
    return rest.length() == 1 && wxString("nN;/?").Find(rest[0]) != wxNOT_FOUND;
}

bool QelVi::SearchFromCursor(const wxString& text, int count, bool forward) const
{
    // From what was found a search goes on as from vi's cursor at its
    // start: onwards from the character after the start, as vim does, and
    // back from the start, where a backward search begins anyway. Finding
    // nothing, what was found stays shown.
    if (!HasFound() || !forward) return FindRepeated(text, count, forward);
    const Found found = m_Found;
    m_STC->GotoPos(m_STC->PositionAfter(found.start));
    if (FindRepeated(text, count, forward)) return true;
    m_STC->SetSelection(found.start, found.end);
    return false;
}

void QelVi::JoinLines(int count)
{
    // "J" and "2J" join two lines, "3J" three; the empty line after a last
    // line end is no line to join, so that line end stays.
    const int line = m_STC->LineFromPosition(m_STC->GetCurrentPos());
    const int last_line = GetLastLine() - 1;
    const int to
        = static_cast<int>(std::min<long long>(last_line, 1LL * line + std::max(count, 2) - 1));
    if (to <= line) {
        Bell();
        return;
    }
    m_STC->BeginUndoAction();
    m_STC->SetTargetRange(m_STC->PositionFromLine(line), m_STC->PositionFromLine(to));
    m_STC->LinesJoin();
    m_STC->EndUndoAction();
}

bool QelVi::DoSingleCharCommand(const wxString& command, int count, bool dot)
{
    const wxUniChar last = command.Last();
    if (last.GetValue() > 126) return false;
    QelSTC* stc = m_STC;

    switch (last.GetValue()) {
    case '0':
    case '^':
        if (command.length() > 1) return false;
        stc->Home();
        break;
    case '$':
        stc->LineEnd();
        break;
    case '{':
        stc->ParaUp();
        break;
    case '}':
        stc->ParaDown();
        break;
    case 'g':
        stc->DocumentStart();
        break;
    case 'G':
        if (count == 1)
            stc->DocumentEnd();
        else
            stc->GotoLine(std::min(count - 1, stc->GetLineCount() - 1));
        break;
    case 'H':
    case 'M':
    case 'L':
        GotoScreenLine(last, count);
        break;
    case 'j':
        MoveLines(count, true);
        break;
    case 'k':
        MoveLines(count, false);
        break;
    case '%':
        GotoBrace();
        break;
    case '*':
        FindWord(true);
        break;
    case '#':
        FindWord(false);
        break;
    case 'n':
    case 'N': {
        const wxString text = QelFindReplaceData::Get()->GetFindString();
        const bool forward = (last == 'n') == m_SearchForward;
        SearchFromCursor(text, count, forward);
        break;
    }
    case '/':
    case '?':
        m_BarSearch = true;
        GetViCommand(command);
        break;
    case '.':
        // Only the outermost "." replays: a stored command never ends in
        // ".", and the depth guard stops any other way back here.
        if (m_DotDepth > 0 || !IsRepeatable(m_LastCommand)) {
            Bell();
            break;
        }
        ++m_DotDepth;
        DoCommand(m_LastCommand, true);
        --m_DotDepth;
        break;
    case ';':
        if (!m_LastFindCharCommand.empty()) DoCommand(m_LastFindCharCommand, false);
        break;
    case 'a':
    case 'i':
    case 'o':
    case 'A':
    case 'C':
    case 'I':
    case 'O':
        InsertMode(last, count, false, dot);
        break;
    case 'R':
        InsertMode('R', count, true, dot);
        break;
    case 'D':
        if (!IsReadOnly()) {
            stc->LineEndExtend();
            stc->Cut();
        }
        break;
    case 'x':
        DeleteChars(count, true);
        break;
    case 'X':
        DeleteChars(count, false);
        break;
    case 'p':
        Put(true);
        break;
    case 'P':
        Put(false);
        break;
    case 'u':
        stc->Undo();
        break;
    case '~':
        ToggleCase();
        break;
    default:
        return DoMotion(last, count);
    }
    return true;
}

bool QelVi::DoMotion(wxUniChar c, int count)
{
    QelSTC* stc = m_STC;
    switch (c.GetValue()) {
    case 2:
        Repeat(stc, count, [stc] { stc->PageUp(); });
        break;
    case 7:
        Repeat(stc, count, [stc] { stc->PageDown(); });
        break;
    case 16:
        Repeat(stc, count, [stc] { stc->LineScrollUp(); });
        break;
    case 17:
        Repeat(stc, count, [stc] { stc->LineScrollDown(); });
        break;
    case ' ':
    case 'l':
        MoveCaret(stc, StepChars(stc, stc->GetCurrentPos(), count, stc->GetLength()));
        break;
    case 'h':
        MoveCaret(stc, StepChars(stc, stc->GetCurrentPos(), count, 0));
        break;
    case 'w':
        Repeat(stc, count, [stc] { stc->WordRight(); });
        break;
    case 'b':
        Repeat(stc, count, [stc] { stc->WordLeft(); });
        break;
    case 'e':
        Repeat(stc, count, [stc] { stc->WordRightEnd(); });
        break;
    default:
        return false;
    }
    return true;
}

void QelVi::GotoScreenLine(wxUniChar which, int count) const
{
    // Lines as the screen shows them: a folded line takes no display line,
    // a wrapped one several, and a line cut off at the top or the bottom is
    // not one of those shown.
    QelSTC* stc = m_STC;
    const int top = stc->GetFirstVisibleLine();
    const int bottom = top + std::max(stc->LinesOnScreen(), 1) - 1;
    // The control answers the line count for a display line past the end.
    const auto at = [stc](int display) {
        return std::min(stc->DocLineFromVisible(display), stc->GetLineCount() - 1);
    };
    const auto starts = [stc](int line) { return stc->VisibleFromDocLine(line); };
    const auto ends
        = [stc](int line) { return stc->VisibleFromDocLine(line) + stc->WrapCount(line); };
    const auto next = [&](int line) { return at(ends(line)); };
    const auto previous = [&](int line) { return at(starts(line) - 1); };

    int first = at(top);
    if (starts(first) < top && next(first) > first && starts(next(first)) <= bottom)
        first = next(first);
    int last = std::max(first, at(bottom));
    if (ends(last) - 1 > bottom && last > first) last = std::max(first, previous(last));

    int line = which == 'L' ? last : first;
    if (which == 'M') {
        // As vim takes it: the line holding the display line halfway down.
        line = at(starts(first) + (ends(last) - starts(first) + 1) / 2 - 1);
    } else {
        for (int i = 1; i < count && line != (which == 'H' ? last : first); ++i)
            line = which == 'H' ? next(line) : previous(line);
    }
    MoveCaret(stc, stc->GetLineIndentPosition(line));
}

void QelVi::MoveLines(int count, bool down)
{
    const int line = m_STC->LineFromPosition(m_STC->GetCurrentPos());
    const long long target = down
        ? std::min<long long>(1LL * line + count, m_STC->GetLineCount() - 1)
        : std::max<long long>(1LL * line - count, 0);
    const int steps = static_cast<int>(down ? target - line : line - target);
    if (steps <= MaxLineSteps) {
        for (int i = 0; i < steps; ++i) down ? m_STC->LineDown() : m_STC->LineUp();
        return;
    }
    // A far jump keeps the caret's column.
    const int column = m_STC->GetColumn(m_STC->GetCurrentPos());
    MoveCaret(m_STC, m_STC->FindColumn(static_cast<int>(target), column));
}

void QelVi::InsertMode(wxUniChar c, int repeat, bool overtype, bool dot)
{
    if (IsReadOnly()) return;
    QelSTC* stc = m_STC;
    if (!dot) {
        if (m_InsertMode) stc->EndUndoAction();
        m_InsertMode = true;
        m_InsertText.clear();
        m_InsertRepeatCount = repeat;
        stc->BeginUndoAction();
    }
    switch (c.GetValue()) {
    case 'a':
        // After the character the caret is on, never past the line end.
        if (stc->GetCurrentPos() < stc->GetLineEndPosition(stc->GetCurrentLine())) stc->CharRight();
        break;
    case 'A':
        stc->LineEnd();
        break;
    case 'I':
        stc->Home();
        break;
    case 'o':
        stc->LineEnd();
        stc->NewLine();
        break;
    case 'O':
        stc->Home();
        stc->NewLine();
        stc->LineUp();
        break;
    case 'C':
    case 'R': {
        const int caret = stc->GetCurrentPos();
        stc->SetSelectionStart(caret);
        stc->SetSelectionEnd(stc->GetLineEndPosition(stc->LineFromPosition(caret)));
        break;
    }
    default:
        break;
    }
    if (!dot) {
        stc->SetOvertype(overtype);
        return;
    }
    stc->SetTargetStart(stc->GetCurrentPos());
    if (c == 'R' || c == 'C')
        stc->ReplaceSelection(m_InsertText);
    else
        stc->AddText(m_InsertText);
    stc->SetTargetEnd(stc->GetCurrentPos());
    MarkTargetChange();
}

void QelVi::InsertTab()
{
    // The editor's Tab adds no character it tells of: what it put in place
    // of the selection on the line (a tab, or blanks to the next stop) is
    // collected here. An indent that rewrote the line's blanks is not.
    QelSTC* stc = m_STC;
    const int start = stc->GetSelectionStart(), removed = stc->GetSelectionEnd() - start;
    const int length = stc->GetLength();
    stc->Tab();
    const int end = stc->GetCurrentPos();
    if (end > start && stc->GetLength() - length == end - start - removed)
        m_InsertText += stc->GetTextRangeKept(start, end);
}

bool QelVi::ReplaceChars(wxUniChar c, int count)
{
    // Whole characters up to the line end only: with too few of them left
    // nothing changes, as the line break is never replaced.
    const int start = StandOn(m_STC, m_STC->GetCurrentPos());
    const int line_end = m_STC->GetLineEndPosition(m_STC->LineFromPosition(start));
    int end = start;
    for (int i = 0; i < count; ++i) {
        if (end >= line_end) {
            Bell();
            return false;
        }
        end = m_STC->PositionAfter(end);
    }
    m_STC->SetTargetRange(start, end);
    m_STC->ReplaceTarget(wxString(c, count));
    MarkTargetChange();
    MoveCaret(m_STC, start);
    return true;
}

void QelVi::DeleteChars(int count, bool forward)
{
    if (IsReadOnly()) return;
    // A selection the user made goes first, as the editor's own keys take
    // it: "x" deletes its last character, "X" all of it.
    if (m_STC->GetSelectionStart() != m_STC->GetSelectionEnd()) {
        const int end = m_STC->GetSelectionEnd();
        const int from = forward ? m_STC->PositionBefore(end) : m_STC->GetSelectionStart();
        m_STC->DeleteRange(from, end - from);
        MoveCaret(m_STC, from);
        if (--count == 0) return;
    }
    // Then whole characters of the caret's line, never its line end: a
    // caret after the last character stands on that character.
    const int caret = forward ? StandOn(m_STC, m_STC->GetCurrentPos()) : m_STC->GetCurrentPos();
    const int line = m_STC->LineFromPosition(caret);
    const int start = m_STC->PositionFromLine(line), end = m_STC->GetLineEndPosition(line);
    const int other = StepChars(m_STC, caret, count, forward ? end : start);
    if (other == caret) return;
    const int from = std::min(caret, other);
    m_STC->DeleteRange(from, std::max(caret, other) - from);
    MoveCaret(m_STC, from);
}

void QelVi::FindWord(bool find_next) const
{
    // The word touching the caret as the search's "\<" and "\>" see words,
    // a byte that is not UTF-8 within it: the control's own word positions
    // take such a byte for punctuation, and its text for nothing.
    int start = m_STC->GetCurrentPos(), end = start;
    while (start > 0 && WordClass(m_STC, start - 1) == 2) --start;
    while (WordClass(m_STC, end) == 2) ++end;
    const wxString word = m_STC->GetTextRangeKept(start, end);
    if (word.empty()) {
        Bell();
        return;
    }
    QelFindReplaceData::Get()->SetFindString("\\<" + word + "\\>");
    FindNext(QelFindReplaceData::Get()->GetFindString(), find_next);
}

void QelVi::GotoBrace() const
{
    const int caret = m_STC->GetCurrentPos();
    int match = m_STC->BraceMatch(caret);
    if (match == wxSTC_INVALID_POSITION && caret > 0) match = m_STC->BraceMatch(caret - 1);
    if (match != wxSTC_INVALID_POSITION) MoveCaret(m_STC, match);
}

void QelVi::Put(bool after) const
{
    wxString text = QelClipboardGet();
    if (text.empty() || IsReadOnly()) return;
    // A selection (the character "f" found) stands for its first character.
    const int caret = m_STC->GetSelectionStart();
    const int line = m_STC->LineFromPosition(caret);
    m_STC->BeginUndoAction();
    const bool lines = QelGetNumberOfLines(text) > 1;
    const bool ended = lines && EndLastLine();
    int at = caret;
    if (lines) {
        // Whole lines go above or below the caret's line, never into it.
        if (text.Last() != '\n' && text.Last() != '\r') text += GetEOL();
        at = after && line + 1 < m_STC->GetLineCount() ? m_STC->PositionFromLine(line + 1)
            : after                                    ? m_STC->GetLength()
                                                       : m_STC->PositionFromLine(line);
    } else if (after && caret < m_STC->GetLineEndPosition(line)) {
        at = m_STC->PositionAfter(caret); // after the character the caret is on
    }
    // As paste adds the text: with the document's line ends, and the bytes
    // that are not UTF-8 as they were yanked.
    const std::string bytes = m_STC->PasteBytes(text);
    m_STC->SetTargetRange(at, at);
    m_STC->ReplaceTargetRaw(bytes.data(), static_cast<int>(bytes.size()));
    const int end = at + static_cast<int>(bytes.size());
    MarkTargetChange();
    UnendLastLine(ended);
    m_STC->EndUndoAction();
    // As vim leaves it: on the first put line, or on the last character put.
    MoveCaret(m_STC,
              lines ? m_STC->GetLineIndentPosition(m_STC->LineFromPosition(at))
                    : m_STC->PositionBefore(end));
}

void QelVi::ToggleCase() const
{
    const int caret = m_STC->GetCurrentPos();
    const int next = m_STC->PositionAfter(caret);
    if (next == caret) return; // the document end
    if (!IsReadOnly()) {
        const wxString text = m_STC->GetTextRangeKept(caret, next);
        const wxString converted = ToggledCase(text);
        if (converted != text) m_STC->Replace(caret, next, converted);
    }
    m_STC->CharRight();
    MarkerAddChange(m_STC->LineFromPosition(m_STC->GetCurrentPos()));
}

void QelVi::Delete(int lines) const
{
    if (IsReadOnly()) return;
    const int line = m_STC->LineFromPosition(m_STC->GetCurrentPos());
    const int before = m_STC->GetLineCount();
    if (m_STC->PositionFromLine(line) == m_STC->GetLength() && line > 0) {
        // The empty line after the last line end: that line end goes.
        const int before_end = m_STC->PositionBefore(m_STC->GetLength());
        m_STC->DeleteRange(before_end, m_STC->GetLength() - before_end);
    } else {
        CutLines(line, static_cast<int>(std::min<long long>(1LL * line + lines, before)));
    }
    if (lines > 1)
        ShowViMessage(wxString::Format(_("%d fewer lines"), before - m_STC->GetLineCount()));
}

void QelVi::Yank(int lines) const
{
    const int line = m_STC->LineFromPosition(m_STC->GetCurrentPos());
    CopyLines(line, static_cast<int>(std::min<long long>(1LL * line + lines, MaxCount)));
    if (lines > 1)
        ShowViMessage(
            wxString::Format(_("%d lines yanked"), QelGetNumberOfLines(QelClipboardGet()) - 1));
}

void QelVi::DeleteMarker(const wxUniChar& marker)
{
    const auto it = m_Markers.find(marker);
    if (it == m_Markers.end()) return;
    m_STC->MarkerDeleteHandle(it->second);
    m_Markers.erase(it);
}

int QelVi::MarkLine(const wxUniChar& marker) const
{
    const auto it = m_Markers.find(marker);
    return it == m_Markers.end() ? 0 : m_STC->MarkerLineFromHandle(it->second) + 1;
}

void QelVi::PutMark(const wxUniChar& marker, int line)
{
    DeleteMarker(marker);
    // The symbol's handle is the mark: the control moves it with its line.
    const int handle = m_STC->MarkerAdd(line, m_MarkerSymbol.GetNo());
    if (handle != -1) m_Markers[marker] = handle;
}

std::vector<std::pair<wxUniChar, int>> QelVi::TakeMarks(int first, int last)
{
    std::vector<std::pair<wxUniChar, int>> taken;
    for (const auto& [marker, handle] : m_Markers)
        if (const int line = m_STC->MarkerLineFromHandle(handle); line >= first && line <= last)
            taken.emplace_back(marker, line);
    for (const auto& mark : taken) DeleteMarker(mark.first);
    return taken;
}

void QelVi::GotoMarker(const wxUniChar& marker)
{
    if (const int line = MarkLine(marker); line > 0)
        GotoLineAndSelect(line);
    else
        Bell();
}

void QelVi::Fold(const wxString& command) const
{
    if (command == "zE" || command == "zf") {
        SetFolding(command == "zf");
        return;
    }
    const int caret_line = m_STC->LineFromPosition(m_STC->GetCurrentPos());
    const int line = (m_STC->GetFoldLevel(caret_line) & wxSTC_FOLDLEVELHEADERFLAG)
        ? caret_line
        : m_STC->GetFoldParent(caret_line);
    if (line < 0) return;
    const bool expanded = m_STC->GetFoldExpanded(line);
    if ((command == "zc") == expanded) m_STC->ToggleFold(line);
}
