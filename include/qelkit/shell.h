// An editor control turned into a command shell: commands are typed after a
// prompt and handed to an event handler, with a history that can be browsed,
// listed, recalled and kept in the settings file.
#pragma once

#include <list>

#include <wx/weakref.h>

#include <qelkit/stc.h>

class QelSTCShell : public QelSTC {
public:
    // An empty command end means the editor's line end. A history count
    // above 0 reads the history from "Shell" and writes that many of the
    // newest commands back there on destruction. The parent gets the
    // command events until another handler is set.
    QelSTCShell(wxWindow* parent, const wxString& prompt = ">",
                const wxString& command_end = wxEmptyString, bool echo = true,
                int commands_save_in_config = -1, const wxString& lexer = wxEmptyString,
                long menu_flags = EDITOR_MENU_ALL, wxWindowID id = wxID_ANY,
                const wxPoint& pos = wxDefaultPosition, const wxSize& size = wxDefaultSize,
                long style = 0);
    ~QelSTCShell() override;

    // Off, the shell is a plain editor: keys, pastes and Return are left to
    // it, and Prompt does nothing.
    void EnableShell(bool enabled) { m_Enabled = enabled; }
    bool GetShellEnabled() const { return m_Enabled; }

    // Appends the text, a line end (when add_eol and the document is not
    // empty) and the prompt; the next command starts after it.
    void Prompt(const wxString& text = wxEmptyString, bool add_eol = true);

    // Receives ID_SHELL_COMMAND with the command and ID_SHELL_COMMAND_STOP;
    // not owned. (This hides the window's own handler chain setter, which
    // the toolkit reaches through its base class only.)
    void SetEventHandler(wxEvtHandler* handler) { m_Handler = handler; }
    wxEvtHandler* GetCommandHandler() const { return m_Handler.get(); }

    // The history, oldest first, each command once.
    const std::list<wxString>& GetCommands() const { return m_Commands; }
    const wxString& GetPrompt() const { return m_Prompt; }
    // Whether the line begins with the prompt and, when alone, holds
    // nothing else. Compared as bytes: a line that is not UTF-8 still has it.
    bool HasPrompt(int line, bool alone = false) const;

private:
    void EnterCommand(wxKeyEvent& event);
    void KeepCommand();
    bool SetCommandFromHistory(const wxString& short_command);
    void ShowHistory();
    void ShowCommand(int key);
    void PostCommand(int id, const wxString& command = wxEmptyString) const;
    // Document position of the start of the last line that begins with the
    // prompt; -1 when there is none.
    int FindPromptLine();
    int PromptLength() const; // in bytes, as positions count
    bool EndsAtLineEnd() const;
    // Whether removing the selection (or the character at the caret) leaves
    // the old output alone.
    bool RemovesOnlyCommand() const;

    void OnKey(wxKeyEvent& event);
    void OnCommand(wxCommandEvent& event);
    void OnStyledText(wxStyledTextEvent& event);

    std::list<wxString> m_Commands;
    std::list<wxString>::const_iterator m_CommandsIterator; // end: not browsing
    wxString m_Command;
    const wxString m_CommandEnd;
    const bool m_CommandEndIsEOL; // made with an empty command end
    int m_CommandStartPosition = 0;
    const bool m_Echo;
    bool m_Enabled = true;
    const wxString m_CommandsInConfigDelimiter;
    const int m_CommandsSaveInConfig;
    wxString m_Prompt;
    wxWeakRef<wxEvtHandler> m_Handler; // null once it is gone
};
