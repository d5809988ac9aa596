// Find, replace and go-to of the editor control.
#include <qelkit/stc.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include <wx/fdrepdlg.h>
#include <wx/intl.h>
#include <wx/log.h>
#include <wx/numdlg.h>

#include <qelkit/frd.h>
#include <qelkit/status.h>
#include <qelkit/util.h>

#include "textsearch.h"

namespace {

// The control's message that searches the target for bytes (SCI_SEARCHINTARGET):
// the toolkit's call converts the text again for every search, and cannot
// give a byte that is not UTF-8.
constexpr int kSearchInTarget = 2197;

// The first code of the private-use characters that stand for bytes that
// are not UTF-8 (the toolkit's choice for its converter below).
constexpr wxUint32 kByteCharacters = 0x100000;

const wxMBConv& ByteConv()
{
    static const wxMBConvUTF8 conv(wxMBConvUTF8::MAP_INVALID_UTF8_TO_PUA);
    return conv;
}

} // namespace

namespace {

int SearchRaw(wxStyledTextCtrl* stc, const std::string& bytes)
{
    return stc->SendMsg(kSearchInTarget, bytes.length(), wxIntPtr(bytes.data()));
}

// The control's own word characters, as its whole-word search of text has them.
bool IsWordBefore(wxStyledTextCtrl* stc, int pos)
{
    return pos > 0 && stc->WordStartPosition(pos, true) < pos;
}

bool IsWordAt(wxStyledTextCtrl* stc, int pos)
{
    return pos < stc->GetLength() && stc->WordEndPosition(pos, true) > pos;
}

// The first match in [from, to] that is a whole word, the target set on it:
// at each place a match starts, its longest match and then shorter ones, as
// grep -w tries them.
int SearchWordForward(wxStyledTextCtrl* stc, const std::string& bytes, int from, int to)
{
    for (int pos = from; pos <= to;) {
        stc->SetTargetRange(pos, to);
        const int start = SearchRaw(stc, bytes);
        if (start < 0) return -1;
        if (!IsWordBefore(stc, start)) {
            for (int end = stc->GetTargetEnd();;) {
                if (!IsWordAt(stc, end)) return start;
                if (end <= start) break;
                stc->SetTargetRange(start, stc->PositionBefore(end));
                if (SearchRaw(stc, bytes) != start) break;
                end = stc->GetTargetEnd();
            }
        }
        if (start >= to) return -1;
        pos = stc->PositionAfter(start);
    }
    return -1;
}

// The last such match in [to, from], as the control searches back. Its
// expressions match within a line: the last line that holds any match is
// searched forward, then the lines before it.
int SearchWordBackward(wxStyledTextCtrl* stc, const std::string& bytes, int from, int to)
{
    for (int last = from; last >= to;) {
        stc->SetTargetRange(last, to);
        const int any = SearchRaw(stc, bytes);
        if (any < 0) return -1;
        const int line = stc->LineFromPosition(any);
        const int begin = std::max(to, stc->PositionFromLine(line));
        const int end = std::min(last, stc->GetLineEndPosition(line));
        int found = -1;
        for (int pos = begin, at; pos <= end && (at = SearchWordForward(stc, bytes, pos, end)) >= 0;
             pos = stc->PositionAfter(at)) {
            found = at;
            if (at >= end) break;
        }
        if (found >= 0) return SearchWordForward(stc, bytes, found, end);
        if (line == 0) return -1;
        last = stc->GetLineEndPosition(line - 1);
    }
    return -1;
}

// A text, not an expression, is found by the control where its bytes are,
// ASCII letters in either case without match case (the control folds no
// other character), at the start of a character. The control compares a
// character at a time, a hundred megabytes a second or less; the needle
// finds the places of the bytes many times faster, and the control then
// decides on each place alone (a character start, a whole word) with a
// target just as long, where it finds what it would have found there in the
// whole one.
bool IsByteSearch(wxStyledTextCtrl* stc, const std::string& bytes, int from, int to)
{
    return !bytes.empty() && !(stc->GetSearchFlags() & wxSTC_FIND_REGEXP)
        && stc->GetCodePage() == wxSTC_CP_UTF8 && std::min(from, to) >= 0
        && std::max(from, to) <= stc->GetLength();
}

qeltext::Needle MakeNeedle(wxStyledTextCtrl* stc, const std::string& bytes)
{
    return qeltext::Needle(bytes, !(stc->GetSearchFlags() & wxSTC_FIND_MATCHCASE));
}

// A target end inside a character is moved out of it by the control.
bool CutsCharacter(wxStyledTextCtrl* stc, int pos)
{
    return pos > 0 && pos < stc->GetLength() && (stc->GetCharAt(pos) & 0xc0) == 0x80;
}

// A match may end past a target end that cuts a character, as the control
// moves that end to the character's end.
int SearchBytesForward(wxStyledTextCtrl* stc, const std::string& bytes, int from, int to)
{
    const qeltext::Needle needle = MakeNeedle(stc, bytes);
    const int length = static_cast<int>(bytes.size());
    const char* text = stc->GetRangePointer(from, to - from);
    const size_t size = static_cast<size_t>(to - from);
    for (size_t at = needle.Find(text, 0, size); at != std::string::npos;
         at = needle.Find(text, at + 1, size)) {
        const int pos = from + static_cast<int>(at);
        stc->SetTargetRange(pos, std::min(to, pos + length));
        if (const int found = SearchRaw(stc, bytes); found >= 0) return found;
    }
    if (CutsCharacter(stc, to)) {
        stc->SetTargetRange(std::max(from, to - length + 1), to);
        if (const int found = SearchRaw(stc, bytes); found >= 0) return found;
    }
    stc->SetTargetRange(from, to);
    return -1;
}

// The places of a block are found forward and tried from its end; the
// blocks from the end of the target back, so that a match near its end is
// found soon.
int SearchBytesBackward(wxStyledTextCtrl* stc, const std::string& bytes, int from, int to)
{
    constexpr size_t kBlock = 1 << 16;
    const qeltext::Needle needle = MakeNeedle(stc, bytes);
    const size_t length = bytes.size();
    const char* text = stc->GetRangePointer(to, from - to);
    std::vector<size_t> places;
    for (size_t end = static_cast<size_t>(from - to); end >= length;) {
        const size_t begin = end > kBlock + length ? end - kBlock - length : 0;
        places.clear();
        for (size_t at = needle.Find(text, begin, end); at != std::string::npos;
             at = needle.Find(text, at + 1, end))
            places.push_back(at);
        for (auto at = places.rbegin(); at != places.rend(); ++at) {
            // A few bytes more, for an end that would cut a character.
            const int pos = to + static_cast<int>(*at);
            stc->SetTargetRange(std::min(from, pos + static_cast<int>(length) + 3), pos);
            if (const int found = SearchRaw(stc, bytes); found >= 0) return found;
        }
        if (begin == 0) break;
        end = begin + length - 1;
    }
    // The control moves a target start inside a character back to the
    // character's start.
    if (CutsCharacter(stc, to)) {
        stc->SetTargetRange(std::min(from, to + static_cast<int>(length) + 3), to);
        if (const int found = SearchRaw(stc, bytes); found >= 0) return found;
    }
    stc->SetTargetRange(from, to);
    return -1;
}

} // namespace

int QelSTCSearchBytes(wxStyledTextCtrl* stc, const std::string& bytes)
{
    const int from = stc->GetTargetStart();
    const int to = stc->GetTargetEnd();
    if (IsByteSearch(stc, bytes, from, to))
        return from <= to ? SearchBytesForward(stc, bytes, from, to)
                          : SearchBytesBackward(stc, bytes, from, to);
    // The control's expressions leave whole words to the caller.
    const int whole = wxSTC_FIND_REGEXP | wxSTC_FIND_WHOLEWORD;
    if ((stc->GetSearchFlags() & whole) != whole) return SearchRaw(stc, bytes);
    return from <= to ? SearchWordForward(stc, bytes, from, to)
                      : SearchWordBackward(stc, bytes, from, to);
}

namespace {

int SearchBytes(QelSTC* stc, const wxString& text)
{
    return QelSTCSearchBytes(stc, QelSTCBytes(text));
}

} // namespace

wxString QelSTCText(const char* bytes, size_t length)
{
    return length == 0 ? wxString() : wxString(bytes, ByteConv(), length);
}

std::string QelSTCBytes(const wxString& text)
{
    const wxScopedCharBuffer bytes = text.mb_str(ByteConv());
    return std::string(bytes.data(), bytes.length());
}

wxUint32 QelByteOfCharacter(wxUint32 code)
{
    return code >= kByteCharacters && code < kByteCharacters + 0x100 ? code - kByteCharacters
                                                                     : code;
}

bool QelSTC::FindNext(const wxString& text, int search_flags, bool find_next)
{
    FinishFindAsYouType();
    if (text.empty()) return false;

    // The first attempt runs from the caret (or the selection start going
    // back) to the end; the second, after the wrap report, from the other end.
    for (const bool wrapped : {false, true}) {
        int start = 0;
        int end = 0;

        if (find_next) {
            start = wrapped ? 0 : GetCurrentPos();
            end = GetTextLength();
        } else {
            start = wrapped ? GetTextLength() : GetSelectionStart();
            if (start == -1) start = GetCurrentPos();
        }

        SetTargetStart(start);
        SetTargetEnd(end);
        SetSearchFlags(search_flags);

        if (SearchBytes(this, text) < 0) {
            QelFindResult(text, find_next, wrapped);
            continue;
        }

        SelectFound(wrapped);
        return true;
    }

    return false;
}

void QelSTC::SelectFound(bool wrapped)
{
    // After a wrap the status line keeps saying so: the match found lies
    // behind where the search began.
    if (!wrapped) wxLogStatus(wxEmptyString);
    if (GetTargetStart() != GetTargetEnd()) SetSelection(GetTargetStart(), GetTargetEnd());
    EnsureVisible(LineFromPosition(GetTargetStart()));
    EnsureCaretVisible();
}

bool QelSTC::FindNext(bool find_next)
{
    const QelFindReplaceData* frd = QelFindReplaceData::Get();
    return FindNext(frd->GetFindString(), frd->STCFlags(), find_next);
}

bool QelSTC::ReplaceNext(const wxString& find_text, const wxString& replace_text, int search_flags,
                         bool find_next)
{
    if (find_text.empty()) return false;

    SetSearchFlags(search_flags);

    // The selection is replaced only when it is a match itself; the search
    // within it also gives a regular expression's groups from this match.
    bool found = false;
    if (const int from = GetSelectionStart(), to = GetSelectionEnd();
        from != to && !SelectionIsRectangle()) {
        SetTargetStart(from);
        SetTargetEnd(to);
        found = SearchBytes(this, find_text) == from && GetTargetEnd() == to;
    }

    if (!found) {
        SetTargetStart(GetCurrentPos());
        SetTargetEnd(GetTextLength());
        if (SearchBytes(this, find_text) < 0) return false;
    }

    // The replacement is weighed before the control deletes the match.
    const std::string bytes = TargetReplacement(
        replace_text, (search_flags & wxSTC_FIND_REGEXP) && QelIsTargetRE(replace_text));
    if (ReplaceTargetRaw(bytes.data(), static_cast<int>(bytes.size())) < 0) return false;
    MarkTargetChange(); // the target is the replacement now

    SetCurrentPos(GetTargetEnd());
    SetAnchor(GetTargetEnd());
    FindNext(find_text, search_flags, find_next);
    return true;
}

bool QelSTC::ReplaceNext(bool find_next)
{
    const QelFindReplaceData* frd = QelFindReplaceData::Get();
    return ReplaceNext(frd->GetFindString(), frd->GetReplaceString(), frd->STCFlags(), find_next);
}

int QelSTC::ReplaceAll(const wxString& find_text, const wxString& replace_text)
{
    if (find_text.empty()) return 0;

    // A selection over more than one line limits the replacements to it.
    const bool in_selection = HasSelectedText()
        && LineFromPosition(GetSelectionEnd()) > LineFromPosition(GetSelectionStart());
    const size_t refusals = m_HeavyLineRefusals;
    const int count = ReplaceAllInRange(in_selection ? GetSelectionStart() : 0,
                                        in_selection ? GetSelectionEnd() : GetLength(), find_text,
                                        replace_text, QelFindReplaceData::Get()->STCFlags());
    // A refusal is the one message.
    if (m_HeavyLineRefusals == refusals)
        wxLogStatus(_("Replaced: %d occurrences of: %s"), count, find_text);
    return count;
}

void QelSTC::OnFindDialog(wxFindDialogEvent& event)
{
    const QelFindReplaceData* frd = QelFindReplaceData::Get();
    const wxEventType type = event.GetEventType();

    if (type == wxEVT_FIND || type == wxEVT_FIND_NEXT)
        FindNext(frd->SearchDown());
    else if (type == wxEVT_FIND_REPLACE)
        ReplaceNext(frd->SearchDown());
    else if (type == wxEVT_FIND_REPLACE_ALL)
        ReplaceAll(frd->GetFindString(), frd->GetReplaceString());
}

bool QelSTC::GotoDialog(const wxString& caption)
{
    const int lines = GetLineCount();
    // The last line gone to may lie past the end after text was removed.
    const long initial = std::clamp<long>(m_GotoLineNumber, 1, lines);

    const long answer = wxGetNumberFromUser(_("Input") + wxString::Format(" 1 - %d:", lines),
                                            wxEmptyString, caption, initial, 1, lines, this);
    if (answer < 0) return false;

    GotoLineAndSelect(static_cast<int>(answer));
    return true;
}

void QelSTC::GotoLineAndSelect(int line_number, const wxString& text)
{
    line_number = std::clamp(line_number, 1, GetLineCount());

    GotoLine(line_number - 1);
    EnsureVisible(line_number - 1);
    m_GotoLineNumber = line_number;

    SetTargetStart(PositionFromLine(line_number - 1));
    SetTargetEnd(GetLineEndPosition(line_number - 1));

    if (!text.empty()) {
        SetSearchFlags(QelFindReplaceData::Get()->STCFlags());
        if (SearchBytes(this, text) < 0) {
            QelFindResult(text, true, true);
            return;
        }
    }

    SetSelection(GetTargetStart(), GetTargetEnd());
}

wxString QelSTC::GetFindString() const
{
    QelFindReplaceData* frd = QelFindReplaceData::Get();
    const wxString selection = GetSelectedText();

    if (HasSelectedText() && QelGetNumberOfLines(selection) == 1) {
        bool take = true;
        if (frd->UseRegularExpression())
            for (const wxUniChar c : selection) take = take && wxIsalnum(c);
        if (take) frd->SetFindString(selection);
    }

    return frd->GetFindString();
}

bool QelSTC::HasSelectedText() const
{
    return !SelectionIsRectangle() && GetSelectionStart() != GetSelectionEnd();
}

wxString QelSTC::GetSelectedText() const
{
    if (SelectionIsRectangle()) return wxEmptyString;
    return GetTextRangeKept(GetSelectionStart(), GetSelectionEnd());
}

int QelSTC::GetSelectedCharacterCode() const
{
    const int start = GetSelectionStart();
    const int end = GetSelectionEnd();
    // Positions first: a large selection is never converted. The control
    // steps over CR LF at once, which is two characters all the same.
    if (SelectionIsRectangle() || start == end
        || const_cast<QelSTC*>(this)->PositionAfter(start) != end)
        return -1;
    const wxString text = GetTextRangeKept(start, end);
    return text.length() == 1 ? static_cast<int>(QelByteOfCharacter(text[0].GetValue())) : -1;
}

wxString QelSTC::GetTextRangeKept(int start, int end) const
{
    if (end <= start) return wxEmptyString;
    const wxCharBuffer bytes = const_cast<QelSTC*>(this)->GetTextRangeRaw(start, end);
    return QelSTCText(bytes.data(), static_cast<size_t>(end - start));
}

wxString QelSTC::GetWordAtPos(int pos) const
{
    auto* self = const_cast<QelSTC*>(this);
    const int word_start = self->WordStartPosition(pos, true);
    const int word_end = self->WordEndPosition(pos, true);

    if (word_start == word_end && word_start < GetTextLength()) {
        const wxString c = GetTextRangeKept(word_start, self->PositionAfter(word_start));
        return (c.empty() || wxIsspace(c[0])) ? wxString() : c;
    }

    return GetTextRangeKept(word_start, word_end);
}

wxString QelSTC::GetTextAtCurrentPos() const
{
    if (HasSelectedText()) {
        const wxString selection = GetSelectedText();
        return QelGetNumberOfLines(selection) < 2 ? selection : wxString();
    }

    // The line with its line end.
    const int line = const_cast<QelSTC*>(this)->GetCurrentLine();
    const int end = line + 1 < GetLineCount() ? PositionFromLine(line + 1) : GetLength();
    return QelTextInDelimiters(GetTextRangeKept(PositionFromLine(line), end));
}

wxString QelTextInDelimiters(const wxString& line)
{
    static const struct {
        const char* open;
        const char* close;
    } pairs[] = {{"\"", "\""}, {"<", ">"}, {": ", ":"}, {"'", "'"}};

    for (const auto& pair : pairs) {
        const size_t open = line.find(pair.open);
        const size_t close = line.rfind(pair.close);
        const size_t from = open + strlen(pair.open);
        if (open == wxString::npos || close == wxString::npos || close <= open || close < from)
            continue;
        return line.Mid(from, close - from).Strip(wxString::both);
    }

    return wxEmptyString;
}

bool QelIsTargetRE(const wxString& target)
{
    for (char digit = '1'; digit <= '9'; ++digit)
        if (target.Contains(wxString("\\") + digit)) return true;
    return false;
}
