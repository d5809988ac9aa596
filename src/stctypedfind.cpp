// The search as the user types in a find entry. In a long document a full
// search takes longer than the pause between two keys, so it runs in
// slices from a timer, and the next key replaces it instead of waiting.
#include <qelkit/stc.h>

#include <algorithm>

#include <wx/stopwatch.h>

#include <qelkit/status.h>

namespace {

// What one slice searches: a few milliseconds of the control's search.
constexpr int kSliceBytes = 1 << 19;
// A search starts when typing pauses this long; keys typed faster than this
// search nothing in between.
constexpr int kTypingPauseMs = 60;
// A turn of the timer searches slices until this time has passed: a text,
// found many megabytes a millisecond, ends in a few turns instead of one
// turn a slice, and a key still waits for one slice at most beyond it.
constexpr long kTurnMs = 10;

} // namespace

void QelSTC::FindAsYouType(const wxString& text, int search_flags, bool find_next)
{
    m_TypedFindTimer.Stop();
    m_TypedFind.pos = -1;
    if (GetLength() <= kSliceBytes) {
        FindNext(text, search_flags, find_next);
        return;
    }
    if (text.empty()) return;

    // The same attempts as FindNext: from the caret (back from the selection
    // start) to the end, then once over the whole text.
    const int start = GetSelectionStart();
    m_TypedFind = {text,         QelSTCBytes(text),
                   search_flags, find_next,
                   false,        find_next || start < 0 ? GetCurrentPos() : start};
    m_TypedFindTimer.StartOnce(kTypingPauseMs);
}

void QelSTC::FinishFindAsYouType()
{
    m_TypedFindTimer.Stop();
    while (FindSlice()) { }
}

bool QelSTC::FindSlices()
{
    const wxStopWatch watch;
    bool more = FindSlice();
    while (more && watch.Time() < kTurnMs) more = FindSlice();
    return more;
}

bool QelSTC::FindSlice()
{
    TypedFind& find = m_TypedFind;
    if (find.pos < 0) return false;

    // A regular expression matches within a line: slices end at a line
    // start. A text may span a cut: the next slice overlaps by more than
    // any match of it can be long.
    const int length = GetTextLength();
    const bool regex = (find.flags & wxSTC_FIND_REGEXP) != 0;
    const int overlap = regex ? 0 : 4 * static_cast<int>(find.bytes.size());
    int pos = std::min(find.pos, length);
    int cut = 0;
    if (find.forward) {
        cut = std::min(length, pos + kSliceBytes);
        if (regex && cut < length)
            cut = std::min(length, PositionFromLine(LineFromPosition(cut) + 1));
    } else {
        cut = std::max(0, pos - kSliceBytes);
        if (regex) cut = PositionFromLine(LineFromPosition(cut));
    }

    SetTargetRange(pos, cut);
    SetSearchFlags(find.flags);
    if (QelSTCSearchBytes(this, find.bytes) >= 0) {
        find.pos = -1;
        SelectFound(find.wrapped);
        return false;
    }

    const bool ended = find.forward ? cut >= length : cut <= 0;
    if (!ended) {
        find.pos
            = find.forward ? std::max(pos + 1, cut - overlap) : std::min(pos - 1, cut + overlap);
        return true;
    }
    QelFindResult(find.text, find.forward, find.wrapped);
    if (find.wrapped) {
        find.pos = -1;
        return false;
    }
    find.wrapped = true;
    find.pos = find.forward ? 0 : length;
    return true;
}
