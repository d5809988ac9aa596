// Keyboard macros: the control's recordable messages, kept with the text
// they inserted, played back into any editor.
#include <qelkit/stc.h>

#include <algorithm>

#include <wx/app.h>
#include <wx/evtloop.h>
#include <wx/intl.h>
#include <wx/log.h>
#include <wx/stopwatch.h>
#include <wx/weakref.h>

namespace {

// Messages of the control that carry a text, and how.
constexpr int kAddText = 2001;    // wParam: the length
constexpr int kInsertText = 2003; // wParam: the position
constexpr int kReplaceSel = 2170; // typed characters come as this one
constexpr int kAppendText = 2282; // wParam: the length
constexpr int kGotoPos = 2025;    // wParam: the position

bool CarriesText(int message)
{
    return message == kAddText || message == kInsertText || message == kReplaceSel
        || message == kAppendText;
}

// Messages whose wParam is a position. A macro acts where its caret is, so
// they are kept as an offset from the caret and played back from the caret
// of the playing editor. (A line asked for by number stays that line.)
bool TakesPosition(int message)
{
    return message == kInsertText || message == kGotoPos;
}

struct MacroStep {
    int message = 0;
    long wparam = 0;  // from the caret for a position
    std::string text; // bytes, with the recording document's line ends
    bool awaiting_text = false;
    bool overtype = false; // typed over what followed the caret
};

// The steps of the recorded macro, beside its printable records.
std::vector<MacroStep>& Steps()
{
    static std::vector<MacroStep> steps;
    return steps;
}

// What happened since the last record. A message sent to the control
// reports first and then inserts its text; a typed character is inserted
// first, announced as a character added and reported last. So only the last
// insertion before a typed character's report is its text: the ones before
// it are what the previous message did (a Tab's blanks, a paste), and that
// message makes them again when it is played back.
struct SinceRecord {
    std::string last_inserted;
    bool claimed = false; // the last insertion went to an awaiting step
    bool typed = false;   // a character was added by typing
};

SinceRecord& Since()
{
    static SinceRecord since;
    return since;
}

// The editor that records, if any: one recording for all editors.
wxWeakRef<QelSTC>& Recorder()
{
    static wxWeakRef<QelSTC> recorder;
    return recorder;
}

// The text with every line end as eol.
std::string WithLineEnds(const std::string& text, const std::string& eol)
{
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            out += eol;
        } else {
            out += text[i];
        }
    }
    return out;
}

// How long a macro plays before the window may answer again.
constexpr long kPlaybackSliceMs = 50;

// Selects what `typed` characters typed over take the place of, as the
// control types over: a selection for the first, then for each one the
// character after the caret, up to the line end.
void SelectTypedOver(QelSTC& stc, size_t typed)
{
    const int from = stc.GetSelectionStart();
    int to = stc.GetSelectionEnd();
    if (from < to) --typed;
    const int line_end = stc.GetLineEndPosition(stc.LineFromPosition(to));
    for (; typed > 0 && to < line_end; --typed) to = stc.PositionAfter(to);
    stc.SetSelection(from, to);
}

// Plays the step at `at` into the editor; the index of the next step.
size_t PlayStep(QelSTC& stc, const std::vector<MacroStep>& steps, size_t at, const std::string& eol)
{
    const MacroStep& step = steps[at];
    if (step.message == kReplaceSel) {
        // Typed characters come one a step. Each one sent alone has the
        // control lay out the caret's line again, which makes a long line
        // quadratic: a run of them goes in as one text.
        std::string text;
        size_t next = at;
        for (; next < steps.size() && steps[next].message == kReplaceSel
             && steps[next].overtype == step.overtype;
             ++next)
            text += WithLineEnds(steps[next].text, eol);
        if (step.overtype) SelectTypedOver(stc, next - at);
        stc.SendWeighed(kReplaceSel, static_cast<wxUIntPtr>(step.wparam),
                        reinterpret_cast<wxIntPtr>(text.c_str()));
        return next;
    }
    const long wparam = TakesPosition(step.message)
        ? std::clamp<long>(stc.GetCurrentPos() + step.wparam, 0, stc.GetLength())
        : step.wparam;
    if (!CarriesText(step.message)) {
        stc.SendWeighed(step.message, wparam, 0);
        return at + 1;
    }
    const std::string text = WithLineEnds(step.text, eol);
    const bool length_first = step.message == kAddText || step.message == kAppendText;
    stc.SendWeighed(step.message, length_first ? text.size() : static_cast<wxUIntPtr>(wparam),
                    reinterpret_cast<wxIntPtr>(text.c_str()));
    return at + 1;
}

// Lets the window paint, and take a close or a signal, while a long macro
// plays; false when the editor or its window is going meanwhile. Keys and
// clicks wait for the end: they would edit between the steps. Idle time
// waits too: it would delete a closed window under the caller.
bool AnswerWhilePlaying(const wxWeakRef<QelSTC>& stc)
{
    wxEventLoopBase* const loop = wxEventLoopBase::GetActive();
    if (loop == nullptr || loop->IsYielding()) return true;
    loop->YieldFor(wxEVT_CATEGORY_ALL & ~wxEVT_CATEGORY_USER_INPUT);
    // A yield that leaves out some kinds of events leaves out the posted
    // ones as well.
    wxTheApp->ProcessPendingEvents();
    if (!stc || stc->IsBeingDeleted() || wxTheApp->IsScheduledForDestruction(stc.get()))
        return false;
    wxWindow* const top = wxGetTopLevelParent(stc.get());
    return top == nullptr || (!top->IsBeingDeleted() && !wxTheApp->IsScheduledForDestruction(top));
}

} // namespace

void QelSTC::StartRecord()
{
    wxCHECK_RET(!m_MacroIsRecording, "!m_MacroIsRecording");
    if (Recorder().get() != nullptr) {
        wxLogStatus(_("Another editor is recording a macro"));
        return;
    }

    m_MacroIsRecording = true;
    Recorder() = this;
    m_Macro.clear();
    Steps().clear();
    Since() = SinceRecord();
    wxLogStatus(_("Macro recording"));

    Bind(wxEVT_STC_MODIFIED, &QelSTC::OnMacroEvent, this);
    Bind(wxEVT_STC_CHARADDED, &QelSTC::OnMacroEvent, this);
    wxStyledTextCtrl::StartRecord();
}

void QelSTC::StopRecord()
{
    wxCHECK_RET(m_MacroIsRecording, "m_MacroIsRecording");

    m_MacroIsRecording = false;
    Recorder() = nullptr;
    Unbind(wxEVT_STC_MODIFIED, &QelSTC::OnMacroEvent, this);
    Unbind(wxEVT_STC_CHARADDED, &QelSTC::OnMacroEvent, this);

    // The printable records, now that every text is known.
    m_Macro.clear();
    for (const MacroStep& step : Steps())
        m_Macro.push_back(wxString::Format("%d %ld ", step.message, step.wparam)
                          + (CarriesText(step.message) ? wxString::FromUTF8(step.text) : "0"));

    if (!m_Macro.empty()) wxLogStatus(_("Macro is recorded"));
    wxStyledTextCtrl::StopRecord();
}

void QelSTC::OnMacroEvent(wxStyledTextEvent& event)
{
    event.Skip();
    std::vector<MacroStep>& steps = Steps();
    SinceRecord& since = Since();

    if (event.GetEventType() == wxEVT_STC_MODIFIED) {
        if (!(event.GetModificationType() & wxSTC_MOD_INSERTTEXT)) return;
        const wxCharBuffer raw
            = GetTextRangeRaw(event.GetPosition(), event.GetPosition() + event.GetLength());
        since.last_inserted.assign(raw.data(), raw.length());
        since.claimed = !steps.empty() && steps.back().awaiting_text;
        if (since.claimed) {
            steps.back().text = since.last_inserted;
            steps.back().awaiting_text = false;
        }
        return;
    }

    if (event.GetEventType() == wxEVT_STC_CHARADDED) {
        // A message that inserted nothing: the insertion it took was typed.
        if (since.claimed) steps.back().text.clear();
        since.claimed = false;
        since.typed = true;
        return;
    }

    if (!m_MacroIsRecording) return;

    // The pointer of the message cannot be trusted: the text comes from
    // the insertions around it.
    MacroStep step;
    step.message = event.GetMessage();
    step.wparam = static_cast<long>(event.GetWParam());
    // The message is reported before it acts: the caret is still where it
    // was. An insertion at -1 is one at the caret.
    if (TakesPosition(step.message))
        step.wparam = step.wparam < 0 ? 0 : step.wparam - GetCurrentPos();
    if (CarriesText(step.message)) {
        step.awaiting_text = !since.typed;
        if (since.typed) step.text = since.last_inserted;
        // Typed over, played back over: the mode is the one it was typed in.
        step.overtype = since.typed && GetOvertype();
    }
    since = SinceRecord();
    if (!steps.empty()) steps.back().awaiting_text = false;
    steps.push_back(step);
    m_Macro.push_back(wxString::Format("%d %ld ", step.message, step.wparam) + "0");
}

void QelSTC::MacroPlayback()
{
    wxCHECK_RET(MacroIsRecorded(), "MacroIsRecorded()");

    const std::string eol(GetEOL().utf8_str());
    // A copy: a recording started while the window answers replaces the
    // macro, not the steps being played.
    const std::vector<MacroStep> steps = Steps();
    wxWeakRef<QelSTC> self(this);
    wxStopWatch since_answer;
    bool answered = false;

    const size_t refusals = GetHeavyLineRefusals();
    for (size_t at = 0; at < steps.size();) {
        // The window answers after the first step, so that a close or a
        // signal that came before is taken at once, then once a slice.
        if (at > 0 && (!answered || since_answer.Time() >= kPlaybackSliceMs)) {
            if (!AnswerWhilePlaying(self)) return;
            answered = true;
            since_answer.Start();
        }
        at = PlayStep(*this, steps, at, eol);
        // A line made too heavy stops it where it was refused, said once.
        if (GetHeavyLineRefusals() != refusals) return;
    }

    wxLogStatus(_("Macro played back"));
}
