// Keyboard macros: the control's recordable messages, kept with the text
// they inserted, played back into any editor.
#include <qelkit/stc.h>

#include <wx/intl.h>
#include <wx/log.h>
#include <wx/weakref.h>

namespace {

// Messages of the control that carry a text, and how.
constexpr int kAddText = 2001;    // wParam: the length
constexpr int kInsertText = 2003; // wParam: the position
constexpr int kReplaceSel = 2170; // typed characters come as this one
constexpr int kAppendText = 2282; // wParam: the length

bool CarriesText(int message)
{
    return message == kAddText || message == kInsertText || message == kReplaceSel
        || message == kAppendText;
}

struct MacroStep {
    int message = 0;
    long wparam = 0;
    std::string text; // bytes, with the recording document's line ends
    bool awaiting_text = false;
};

// The steps of the recorded macro, beside its printable records.
std::vector<MacroStep>& Steps()
{
    static std::vector<MacroStep> steps;
    return steps;
}

// Text inserted since the last record: typing inserts before the control
// reports the message, a message sent to it reports first.
std::string& Inserted()
{
    static std::string inserted;
    return inserted;
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
    Inserted().clear();
    wxLogStatus(_("Macro recording"));

    Bind(wxEVT_STC_MODIFIED, &QelSTC::OnMacroEvent, this);
    wxStyledTextCtrl::StartRecord();
}

void QelSTC::StopRecord()
{
    wxCHECK_RET(m_MacroIsRecording, "m_MacroIsRecording");

    m_MacroIsRecording = false;
    Recorder() = nullptr;
    Unbind(wxEVT_STC_MODIFIED, &QelSTC::OnMacroEvent, this);

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

    if (event.GetEventType() == wxEVT_STC_MODIFIED) {
        if (!(event.GetModificationType() & wxSTC_MOD_INSERTTEXT)) return;
        const wxCharBuffer raw
            = GetTextRangeRaw(event.GetPosition(), event.GetPosition() + event.GetLength());
        const std::string text(raw.data(), raw.length());
        if (!steps.empty() && steps.back().awaiting_text) {
            steps.back().text = text;
            steps.back().awaiting_text = false;
        } else {
            Inserted() += text;
        }
        return;
    }

    if (!m_MacroIsRecording) return;

    // The pointer of the message cannot be trusted: the text comes from
    // the insertions around it.
    MacroStep step;
    step.message = event.GetMessage();
    step.wparam = static_cast<long>(event.GetWParam());
    if (CarriesText(step.message)) {
        step.awaiting_text = Inserted().empty();
        step.text = Inserted();
    }
    Inserted().clear();
    if (!steps.empty()) steps.back().awaiting_text = false;
    steps.push_back(step);
    m_Macro.push_back(wxString::Format("%d %ld ", step.message, step.wparam) + "0");
}

void QelSTC::MacroPlayback()
{
    wxCHECK_RET(MacroIsRecorded(), "MacroIsRecorded()");

    const std::string eol(GetEOL().utf8_str());

    for (const MacroStep& step : Steps()) {
        if (!CarriesText(step.message)) {
            SendMsg(step.message, step.wparam, 0);
            continue;
        }
        const std::string text = WithLineEnds(step.text, eol);
        const bool length_first = step.message == kAddText || step.message == kAppendText;
        SendMsg(step.message, length_first ? text.size() : static_cast<wxUIntPtr>(step.wparam),
                reinterpret_cast<wxIntPtr>(text.c_str()));
    }

    wxLogStatus(_("Macro played back"));
}
