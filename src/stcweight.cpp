// The bound on the weight of a line: the control lays a line out whole at
// every change of it, so no edit may make one heavier than the weight that
// a file read may hold, whichever way its text comes in.
#include <qelkit/stc.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <initializer_list>
#include <utility>

#include <wx/app.h>
#include <wx/intl.h>
#include <wx/log.h>
#include <wx/weakref.h>

#include <qelkit/status.h>

namespace {

// The most a byte weighs: measured apart from the text around it.
constexpr size_t kHeaviestByte = 1 + QelLineWeight::kBreakWeight;
// What a change may add to the weight of the bytes beside it, which may stop
// being part of a character there: up to four bytes on either side.
constexpr size_t kSeamWeight = 8 * QelLineWeight::kBreakWeight;

// Messages of the control that insert the text they carry.
constexpr int kAddText = 2001;    // at the caret; wParam: the length
constexpr int kInsertText = 2003; // wParam: the position, -1 the caret
constexpr int kReplaceSel = 2170; // over the selection
constexpr int kAppendText = 2282; // at the end; wParam: the length
constexpr int kLinesJoin = 2288;

// Whether the message inserts a text that CommandKeepsLinesLight weighs.
bool InsertsWeighed(int message)
{
    return message == wxSTC_CMD_PASTE || message == kAddText || message == kInsertText
        || message == kReplaceSel || message == kAppendText;
}

// The control's word classes: line ends are a class of their own, and
// control characters count as blanks.
bool IsLineEnd(int c)
{
    return c == '\r' || c == '\n';
}

bool IsBlank(int c)
{
    return !IsLineEnd(c) && c >= 0 && c <= ' ';
}

// What a deletion of the control takes away with no selection, [from, to);
// empty when it cannot reach over a line end. A word deletion stops at a
// line end, unless only blanks lie between it and the caret: then it takes
// the run of line ends, and going forward the blanks after them.
std::pair<int, int> Deleted(QelSTC& stc, int message)
{
    const int caret = stc.GetCurrentPos();
    const int length = stc.GetLength();
    int from = caret;
    int to = caret;
    switch (message) {
    case wxSTC_CMD_DELETEBACK:
        return {stc.PositionBefore(caret), caret};
    case wxSTC_CMD_CLEAR:
        return {caret, stc.PositionAfter(caret)};
    case wxSTC_CMD_DELWORDLEFT:
        while (from > 0 && IsBlank(stc.GetCharAt(from - 1))) --from;
        if (from == 0 || !IsLineEnd(stc.GetCharAt(from - 1))) return {caret, caret};
        while (from > 0 && IsLineEnd(stc.GetCharAt(from - 1))) --from;
        return {from, caret};
    case wxSTC_CMD_DELWORDRIGHTEND:
        while (to < length && IsBlank(stc.GetCharAt(to))) ++to;
        [[fallthrough]];
    case wxSTC_CMD_DELWORDRIGHT:
        if (to == length || !IsLineEnd(stc.GetCharAt(to))) return {caret, caret};
        while (to < length && IsLineEnd(stc.GetCharAt(to))) ++to;
        if (message == wxSTC_CMD_DELWORDRIGHT)
            while (to < length && IsBlank(stc.GetCharAt(to))) ++to;
        return {caret, to};
    default:
        return {caret, caret};
    }
}

// A piece of what an edit makes: a range of the document or bytes of its own.
struct Piece {
    Piece(int from_in, int to_in)
        : from(from_in)
        , to(to_in)
    { }
    Piece(std::string_view bytes_in)
        : bytes(bytes_in)
    { }

    int from = 0;
    int to = 0;
    std::string_view bytes;
};

// The heaviest line of the pieces put one after the other.
size_t Weigh(const QelSTC& stc, const Piece* first, const Piece* last)
{
    QelLineWeight weight;
    for (const Piece* at = first; at != last; ++at) {
        const Piece& piece = *at;
        // Taken at once: the next range may move the control's gap.
        if (piece.to > piece.from)
            weight.Add(stc.GetRangePointer(piece.from, piece.to - piece.from),
                       static_cast<size_t>(piece.to - piece.from));
        else if (!piece.bytes.empty())
            weight.Add(piece.bytes.data(), piece.bytes.size());
    }
    return weight.Get();
}

size_t Weigh(const QelSTC& stc, std::initializer_list<Piece> pieces)
{
    return Weigh(stc, pieces.begin(), pieces.end());
}

// Whether the byte continues a UTF-8 character.
bool IsContinuation(int byte)
{
    return (static_cast<unsigned char>(byte) & 0xC0) == 0x80;
}

// The heaviest line that moving [start, end) to pos makes, the bytes being
// the text moved; 0 when the lines it changes are too short to matter.
size_t WeightOfMove(const QelSTC& stc, int start, int end, int pos, std::string_view bytes)
{
    // The lines the move makes, from the first it changes to the last;
    // those wholly between the drop and the selection stay as they are.
    const int first = stc.PositionFromLine(stc.LineFromPosition(std::min(pos, start)));
    const int last = stc.GetLineEndPosition(stc.LineFromPosition(std::max(pos, end)));
    const size_t most = static_cast<size_t>(last - first - (end - start)) + bytes.size();
    if (most * kHeaviestByte <= QelEditorMaxLineWeight()) return 0;

    // From `from` to `to`, or when they lie on different lines, the rest of
    // the line of `from` with its line end and the start of the line of `to`.
    std::array<Piece, 6> pieces{Piece(0, 0), Piece(0, 0), Piece(0, 0),
                                Piece(0, 0), Piece(0, 0), Piece(0, 0)};
    size_t count = 0;
    const auto add = [&](Piece piece) { pieces[count++] = piece; };
    const auto between = [&](int from, int to) {
        const int line = stc.LineFromPosition(from);
        if (line == stc.LineFromPosition(to)) {
            add({from, to});
        } else {
            add({from, stc.PositionFromLine(line + 1)});
            add({stc.PositionFromLine(stc.LineFromPosition(to)), to});
        }
    };
    if (pos < start) {
        add({first, pos});
        add(bytes);
        between(pos, start);
        add({end, last});
    } else {
        add({first, start});
        between(end, pos);
        add(bytes);
        add({pos, last});
    }
    return Weigh(stc, pieces.data(), pieces.data() + count);
}

// Whether joining the lines of the target keeps the line made light. The
// control puts a blank where a line end was unless one is there: each line
// weighs then as it weighs alone, and the blank one more.
bool LinesJoinKeepsLight(const QelSTC& stc)
{
    const int first = stc.LineFromPosition(stc.GetTargetStart());
    const int last = stc.LineFromPosition(stc.GetTargetEnd());
    const size_t bytes
        = static_cast<size_t>(stc.GetLineEndPosition(last) - stc.PositionFromLine(first));
    if (bytes * kHeaviestByte <= QelEditorMaxLineWeight()) return true;
    size_t weight = 0;
    for (int line = first; line <= last && weight <= QelEditorMaxLineWeight(); ++line)
        weight += Weigh(stc, {{stc.PositionFromLine(line), stc.GetLineEndPosition(line)}})
            + (line < last ? 1 : 0);
    return weight <= QelEditorMaxLineWeight();
}

} // namespace

bool QelSTC::KeepsLinesLight(int from, int to, std::string_view bytes)
{
    if (GetReadOnly()) return true; // nothing changes

    const int line = LineFromPosition(from);
    const int start = PositionFromLine(line);
    const int line_end = GetLineEndPosition(line);
    const int end = std::max(to, GetLineEndPosition(LineFromPosition(to)));
    // Most edits are far too short to reach the limit whatever their bytes.
    const size_t most
        = static_cast<size_t>(from - start) + bytes.size() + static_cast<size_t>(end - to);
    if (most * kHeaviestByte <= QelEditorMaxLineWeight()) return true;

    // Within one line (a key deleting, a character typed over) the line is
    // weighed from what is known of it, as typing is.
    if (to <= line_end) {
        // Whole characters taken out of a line leave the bytes beside
        // them as they were, or join them into characters: never heavier.
        if (bytes.empty() && !IsContinuation(GetCharAt(from)) && !IsContinuation(GetCharAt(to)))
            return true;
        const size_t added = bytes.size() * kHeaviestByte + kSeamWeight;
        if (LineWeightAtMost(line) + added <= QelEditorMaxLineWeight()) return true;
        // What the bound gathered from the edits since it was weighed may
        // be far above the line's weight: weighed anew, it serves the next
        // edits again.
        if (!m_WeightBound.exact) {
            m_WeightBound.line = -1;
            if (LineWeightAtMost(line) + added <= QelEditorMaxLineWeight()) return true;
        }
    }
    if (WeightOfReplacing(from, to, bytes) <= QelEditorMaxLineWeight()) return true;
    RefuseHeavyLine();
    return false;
}

bool QelSTC::CommandKeepsLinesLight(int message, wxUIntPtr wparam, wxIntPtr lparam)
{
    if (GetReadOnly()) return true; // nothing changes

    // Each part of a rectangle or of many selections is an insertion of its
    // own, checked as it is made.
    if (SelectionIsRectangle() || GetSelections() > 1) return true;

    const int start = GetSelectionStart();
    const int end = GetSelectionEnd();
    const char* text = reinterpret_cast<const char*>(lparam);
    switch (message) {
    case wxSTC_CMD_PASTE: {
        // An empty clipboard, or one without text, pastes nothing, as the
        // control's own read of it says nothing.
        const wxString pasted = [] {
            const wxLogNull quiet;
            return QelClipboardGet();
        }();
        return pasted.empty() || KeepsLinesLight(start, end, PasteBytes(pasted));
    }
    case kReplaceSel:
        return text == nullptr || KeepsLinesLight(start, end, text);
    case kAddText:
        return KeepsLinesLight(GetCurrentPos(), GetCurrentPos(), {text, wparam});
    case kInsertText: {
        const int at = static_cast<int>(wparam) < 0 ? GetCurrentPos() : static_cast<int>(wparam);
        return text == nullptr || KeepsLinesLight(at, at, text);
    }
    case kAppendText:
        return KeepsLinesLight(GetLength(), GetLength(), {text, wparam});
    case wxSTC_CMD_CUT:
    case wxSTC_CMD_CLEAR:
    case wxSTC_CMD_DELETEBACK:
    case wxSTC_CMD_DELWORDLEFT:
    case wxSTC_CMD_DELWORDRIGHT:
    case wxSTC_CMD_DELWORDRIGHTEND: {
        if (start != end) return KeepsLinesLight(start, end, {});
        const auto [from, to] = Deleted(*this, message);
        return from == to || KeepsLinesLight(from, to, {});
    }
    case kLinesJoin:
        if (LinesJoinKeepsLight(*this)) return true;
        RefuseHeavyLine();
        return false;
    default:
        return true;
    }
}

void QelSTC::LinesJoin()
{
    if (CommandKeepsLinesLight(kLinesJoin)) wxStyledTextCtrl::LinesJoin();
}

void QelSTC::AddTextRaw(const char* text, int length)
{
    const size_t size = length < 0 ? std::strlen(text) : static_cast<size_t>(length);
    // Not told (a file read, or an insertion weighed ahead), the text was
    // weighed before.
    const bool told = GetModEventMask() & wxSTC_MOD_INSERTCHECK;
    if (told && !KeepsLinesLight(GetCurrentPos(), GetCurrentPos(), {text, size})) return;
    const WeighedAhead weighed(*this);
    wxStyledTextCtrl::AddTextRaw(text, static_cast<int>(size));
}

int QelSTC::ReplaceTargetRaw(const char* text, int length)
{
    const size_t size = length < 0 ? std::strlen(text) : static_cast<size_t>(length);
    // Not told (a replacement of every match), it was weighed before.
    if ((GetModEventMask() & wxSTC_MOD_INSERTCHECK)
        && !KeepsLinesLight(GetTargetStart(), GetTargetEnd(), {text, size}))
        return -1;
    const WeighedAhead weighed(*this);
    return wxStyledTextCtrl::ReplaceTargetRaw(text, static_cast<int>(size));
}

int QelSTC::ReplaceTarget(const wxString& text)
{
    const wxScopedCharBuffer bytes = text.utf8_str();
    return ReplaceTargetRaw(bytes.data(), static_cast<int>(bytes.length()));
}

void QelSTC::ReplaceSelection(const wxString& text)
{
    const wxScopedCharBuffer bytes = text.utf8_str();
    SendWeighed(kReplaceSel, 0, reinterpret_cast<wxIntPtr>(bytes.data()));
}

bool QelSTC::SendWeighed(int message, wxUIntPtr wparam, wxIntPtr lparam)
{
    m_DeletedAt = -1; // a command of its own
    if (!CommandKeepsLinesLight(message, wparam, lparam)) return false;

    // What was weighed here is not weighed again as it goes in, where a text
    // that is not UTF-8 would come as nothing.
    const WeighedAhead weighed(
        *this, InsertsWeighed(message) && !SelectionIsRectangle() && GetSelections() == 1);
    SendMsg(message, wparam, lparam);
    return true;
}

void QelSTC::CheckInsertion(wxStyledTextEvent& event)
{
    const int pos = event.GetPosition();
    const bool replaces = m_DeletedAt == pos;
    m_DeletedAt = -1;

    const size_t length = static_cast<size_t>(event.GetLength());
    const int line = LineFromPosition(pos);
    const size_t line_length
        = static_cast<size_t>(GetLineEndPosition(line) - PositionFromLine(line));
    if ((line_length + length) * kHeaviestByte <= QelEditorMaxLineWeight()) return;
    if (LineWeightAtMost(line) + length * kHeaviestByte + kSeamWeight <= QelEditorMaxLineWeight())
        return;

    // Bytes that are not UTF-8 come as no text at all. The editor weighs
    // its own before they go in; the control's are copies of its text (a
    // line duplicated, a case changed), let in.
    const std::string bytes = event.GetString().utf8_string();
    if (bytes.size() != length) return;
    // The second half of a replacement that the control makes itself (Tab
    // or a middle-click paste over a selection, a case changed) is let in:
    // refused, it would lose what the first half deleted.
    if (replaces) return;
    // An edit this near the limit has the line weighed exactly: the weight
    // found is the bound once the insertion is made, when it ends no line.
    m_WeightBound.line = -1;
    if (const size_t weight = WeightOfReplacing(pos, pos, bytes);
        weight <= QelEditorMaxLineWeight()) {
        if (bytes.find_first_of("\r\n") == std::string::npos)
            m_WeightBound = {line, static_cast<int>(line_length + length), weight, true, pos};
        return;
    }

    // Nothing goes in, and nothing is kept for undo: the document is as it
    // was, unmodified when it was. The end of the insertion turns the undo
    // history on again.
    ChangeInsertion(0, wxEmptyString);
    if (GetUndoCollection()) {
        SetUndoCollection(false);
        m_RefusingInsertion = true;
    }
    RefuseHeavyLine();
}

void QelSTC::FollowLineWeight(const wxStyledTextEvent& event)
{
    if (m_RefusingInsertion) {
        m_RefusingInsertion = false;
        SetUndoCollection(true);
    }
    const bool inserted = (event.GetModificationType() & wxSTC_MOD_INSERTTEXT) != 0;
    m_DeletedAt = inserted ? -1 : event.GetPosition();
    const int ahead = std::exchange(m_WeightBound.ahead, -1);
    if (m_WeightBound.line < 0) return;
    if (event.GetLinesAdded() != 0) {
        m_WeightBound.line = -1;
        return;
    }
    const int line = LineFromPosition(event.GetPosition());
    if (line != m_WeightBound.line) return;
    const int length = GetLineEndPosition(line) - PositionFromLine(line);
    // The insertion that the check weighed with the line.
    if (inserted && ahead == event.GetPosition() && length == m_WeightBound.length) return;
    m_WeightBound.weight
        += (inserted ? static_cast<size_t>(event.GetLength()) * kHeaviestByte : 0) + kSeamWeight;
    m_WeightBound.exact = false;
    m_WeightBound.length = length;
}

size_t QelSTC::LineWeightAtMost(int line)
{
    const int start = PositionFromLine(line);
    const int length = GetLineEndPosition(line) - start;
    if (m_WeightBound.line != line || m_WeightBound.length != length)
        m_WeightBound = {line, length, Weigh(*this, {{start, start + length}}), true};
    return m_WeightBound.weight;
}

size_t QelSTC::WeightOfReplacing(int from, int to, std::string_view bytes) const
{
    const int start = PositionFromLine(LineFromPosition(from));
    const int end = std::max(to, GetLineEndPosition(LineFromPosition(to)));
    return Weigh(*this, {{start, from}, bytes, {to, end}});
}

void QelSTC::RefuseHeavyLine()
{
    ++m_HeavyLineRefusals;
    // The parts of one edit, or the edits of one command, are told once.
    if (m_HeavyLineTold) return;
    m_HeavyLineTold = true;
    wxLogError(_("Refused: the edit would make a line heavier than %lu KiB, too long for the "
                 "editor to lay out in time"),
               static_cast<unsigned long>(QelEditorMaxLineWeight() / 1024));
    if (wxTheApp == nullptr) return;
    wxWeakRef<QelSTC> self(this);
    wxTheApp->CallAfter([self] {
        if (self) self->m_HeavyLineTold = false;
    });
}

void QelSTC::OnDrop(wxStyledTextEvent& event)
{
    event.Skip();
    if (GetReadOnly()) return;

    // A move takes the selection away first: its lines join.
    const std::string bytes = event.GetString().utf8_string();
    const int pos = event.GetPosition();
    const int start = GetSelectionStart();
    const int end = GetSelectionEnd();
    const bool moves = event.GetDragResult() == wxDragMove && start < end;
    if (moves && pos >= start && pos <= end) return; // onto itself: nothing moves
    // Within one line, a move keeps the line's weight.
    const int line = LineFromPosition(pos);
    if (moves && LineFromPosition(start) == line && LineFromPosition(end) == line) return;

    if (!moves) {
        if (!KeepsLinesLight(pos, pos, bytes)) event.SetDragResult(wxDragNone);
        return;
    }
    // The control deletes the selection before it inserts: refused only
    // then, the text would be gone. The move is weighed whole.
    if (WeightOfMove(*this, start, end, pos, bytes) <= QelEditorMaxLineWeight()) return;
    RefuseHeavyLine();
    event.SetDragResult(wxDragNone);
}
