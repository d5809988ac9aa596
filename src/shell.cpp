#include <qelkit/shell.h>

#include <algorithm>
#include <cstring>
#include <iterator>

#include <wx/config.h>
#include <wx/intl.h>
#include <wx/tokenzr.h>

namespace {

const char* const HISTORY_KEY = "Shell";

// The number that leads a "!n" recall; 0 when there is none. Long numbers
// are cut short well past any history's length, so nothing overflows.
size_t LeadingNumber(const wxString& text)
{
    size_t number = 0;
    for (const wxUniChar c : text) {
        if (c < '0' || c > '9') break;
        number = std::min<size_t>(number * 10 + (c - '0'), 1000000000);
    }
    return number;
}

} // namespace

QelSTCShell::QelSTCShell(wxWindow* parent, const wxString& prompt, const wxString& command_end,
                         bool echo, int commands_save_in_config, const wxString& lexer,
                         long menu_flags, wxWindowID id, const wxPoint& pos, const wxSize& size,
                         long style)
    : QelSTC(parent, wxEmptyString, 0, wxEmptyString, menu_flags, id, pos, size, style)
    , m_CommandEnd(command_end.empty() ? GetEOL() : command_end)
    , m_CommandEndIsEOL(command_end.empty())
    , m_Echo(echo)
    , m_CommandsInConfigDelimiter(wxUniChar(3))
    , m_CommandsSaveInConfig(commands_save_in_config)
    , m_Prompt(prompt)
    , m_Handler(parent)
{
    // Bound after the editor's own handlers, so these run first.
    Bind(wxEVT_KEY_DOWN, &QelSTCShell::OnKey, this);
    for (const int id : {int(wxID_PASTE), int(wxID_CUT), int(wxID_DELETE)})
        Bind(wxEVT_MENU, &QelSTCShell::OnCommand, this, id);
    Bind(wxEVT_STC_CHARADDED, &QelSTCShell::OnStyledText, this);

    // Typing must reach the prompt, whatever the editors' vi setting says.
    GetVi().Use(false);

    SetEdgeMode(wxSTC_EDGE_NONE);
    ResetMargins(false);
    SetName("SHELL");
    Prompt(wxEmptyString, true);

    if (m_CommandsSaveInConfig > 0) {
        // Stored newest first; the list keeps them oldest first.
        wxStringTokenizer commands(wxConfigBase::Get(true)->Read(HISTORY_KEY, wxEmptyString),
                                   m_CommandsInConfigDelimiter);
        while (commands.HasMoreTokens()) m_Commands.push_front(commands.GetNextToken());
    }
    m_CommandsIterator = m_Commands.end();

    SetLexer(lexer, false);
}

QelSTCShell::~QelSTCShell()
{
    if (m_CommandsSaveInConfig <= 0) return;
    // Never make a settings object just to write into it at exit.
    wxConfigBase* config = wxConfigBase::Get(false);
    if (config == nullptr) return;

    wxString text;
    int count = 0;
    for (auto it = m_Commands.rbegin(); it != m_Commands.rend() && count < m_CommandsSaveInConfig;
         ++it, ++count)
        text += *it + m_CommandsInConfigDelimiter;
    config->Write(HISTORY_KEY, text);
}

void QelSTCShell::Prompt(const wxString& text, bool add_eol)
{
    if (!m_Enabled) return;
    if (!text.empty()) AppendText(text);
    if (GetLength() > 0 && add_eol) AppendText(GetEOL());
    AppendText(m_Prompt);
    DocumentEnd();
    m_CommandStartPosition = GetCurrentPos();
    EmptyUndoBuffer();
}

int QelSTCShell::PromptLength() const
{
    return static_cast<int>(m_Prompt.utf8_str().length());
}

bool QelSTCShell::EndsAtLineEnd() const
{
    return m_CommandEndIsEOL || m_CommandEnd == GetEOL();
}

bool QelSTCShell::HasPrompt(int line, bool alone) const
{
    // Bytes, so that no character of the prompt is taken for a pattern and
    // a line that is not UTF-8 (which converts to no text) keeps its prompt.
    const int start = PositionFromLine(line);
    const int length = GetLineEndPosition(line) - start;
    if (length < PromptLength() || (alone && length != PromptLength())) return false;
    const wxScopedCharBuffer prompt = m_Prompt.utf8_str();
    const wxCharBuffer head
        = const_cast<QelSTCShell*>(this)->GetTextRangeRaw(start, start + PromptLength());
    return memcmp(head.data(), prompt.data(), prompt.length()) == 0;
}

int QelSTCShell::FindPromptLine()
{
    for (int line = GetLineCount() - 1; line >= 0; --line)
        if (HasPrompt(line)) return PositionFromLine(line);
    return -1;
}

bool QelSTCShell::RemovesOnlyCommand() const
{
    return GetSelectionStart() >= m_CommandStartPosition;
}

void QelSTCShell::PostCommand(int id, const wxString& command) const
{
    if (!m_Handler) return;
    wxCommandEvent event(wxEVT_MENU, id);
    event.SetString(command);
    wxPostEvent(m_Handler.get(), event);
}

void QelSTCShell::OnKey(wxKeyEvent& event)
{
    if (!m_Enabled) {
        event.Skip();
        return;
    }

    const int key = event.GetKeyCode();
    const int modifiers = event.GetModifiers();
    const bool control = modifiers == wxMOD_CONTROL;

    if (key == WXK_RETURN) {
        EnterCommand(event);
    } else if ((key == WXK_UP || key == WXK_DOWN) && GetCurrentPos() == GetLength()) {
        ShowCommand(key);
    } else if (key == WXK_HOME) {
        Home();
        const int start = PositionFromLine(GetCurrentLine());
        if (HasPrompt(GetCurrentLine())) GotoPos(start + PromptLength());
    } else if (control && (key == 'Q' || key == 'C')) {
        PostCommand(ID_SHELL_COMMAND_STOP);
    } else if (control && key == 'V') {
        if (GetCurrentPos() < m_CommandStartPosition) DocumentEnd();
        if (m_Echo) event.Skip();
    } else if (key == WXK_BACK || key == WXK_DELETE) {
        if (GetCurrentPos() > m_CommandStartPosition && RemovesOnlyCommand() && m_Echo)
            event.Skip();
    } else {
        // A character typed into old output goes to the command instead;
        // Shift only makes it a capital.
        const bool plain = modifiers == wxMOD_NONE || modifiers == wxMOD_SHIFT;
        if (plain && key < WXK_START && GetCurrentPos() < m_CommandStartPosition) DocumentEnd();
        m_CommandsIterator = m_Commands.end();
        if (m_Echo) event.Skip();
    }
}

void QelSTCShell::EnterCommand(wxKeyEvent& event)
{
    // The history may lose the entry being browsed below.
    m_CommandsIterator = m_Commands.end();

    if (const int start = FindPromptLine(); start >= 0)
        m_Command = GetTextRangeKept(start + PromptLength(), GetLength()).Strip(wxString::trailing);

    if (m_Command.empty()) {
        Prompt(wxEmptyString, true);
    } else if (EndsAtLineEnd() || m_Command.EndsWith(m_CommandEnd)) {
        EmptyUndoBuffer();
        wxString recall;
        if (m_Command == "history" + (EndsAtLineEnd() ? wxString() : m_CommandEnd)) {
            KeepCommand();
            ShowHistory();
            Prompt(wxEmptyString, true);
        } else if (m_Command.StartsWith("!", &recall)) {
            if (SetCommandFromHistory(recall)) {
                // Shown as run; its place in the history stays.
                AppendText(GetEOL() + m_Command);
                PostCommand(ID_SHELL_COMMAND, m_Command);
            } else {
                Prompt(GetEOL() + m_Command + ": " + _("event not found"), true);
            }
        } else {
            KeepCommand();
            PostCommand(ID_SHELL_COMMAND, m_Command);
        }
        m_Command.clear();
    } else if (m_Echo) {
        event.Skip(); // the command goes on in the next line
    }
    m_CommandsIterator = m_Commands.end();
}

void QelSTCShell::KeepCommand()
{
    m_Commands.remove(m_Command);
    m_Commands.push_back(m_Command);
}

bool QelSTCShell::SetCommandFromHistory(const wxString& short_command)
{
    if (const size_t number = LeadingNumber(short_command); number > 0) {
        if (number > m_Commands.size()) return false;
        m_Command = *std::next(m_Commands.begin(), static_cast<long>(number) - 1);
        return true;
    }

    wxString prefix = short_command;
    if (!EndsAtLineEnd()) prefix.RemoveLast(std::min(m_CommandEnd.length(), prefix.length()));
    for (auto it = m_Commands.rbegin(); it != m_Commands.rend(); ++it)
        if (it->StartsWith(prefix)) {
            m_Command = *it;
            return true;
        }
    return false;
}

void QelSTCShell::ShowHistory()
{
    // A line feed before each entry, whatever the document's line ends.
    int number = 1;
    for (const auto& command : m_Commands)
        AppendText(wxString::Format("\n%d %s", number++, command));
}

void QelSTCShell::ShowCommand(int key)
{
    // Browsing an empty history leaves the command being typed alone.
    if (m_Commands.empty()) return;
    const int start = FindPromptLine();
    if (start < 0) return;

    if (key == WXK_UP) {
        if (m_CommandsIterator != m_Commands.begin()) --m_CommandsIterator;
    } else if (m_CommandsIterator != m_Commands.end()) {
        ++m_CommandsIterator;
    }

    SetTargetStart(start);
    SetTargetEnd(GetLength());
    ReplaceTarget(m_Prompt
                  + (m_CommandsIterator == m_Commands.end() ? wxString() : *m_CommandsIterator));
    DocumentEnd();
}

void QelSTCShell::OnCommand(wxCommandEvent& event)
{
    if (!m_Enabled) {
        event.Skip();
        return;
    }
    if (event.GetId() == wxID_PASTE) {
        if (GetCurrentPos() < m_CommandStartPosition) DocumentEnd();
        Paste();
    } else if (RemovesOnlyCommand()) {
        // Cut and the Delete key's accelerator: old output stays.
        event.Skip();
    }
}

void QelSTCShell::OnStyledText(wxStyledTextEvent& event)
{
    // Typing a command sets no change markers.
    if (!m_Enabled) event.Skip();
}
