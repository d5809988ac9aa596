// One version-control system read from vcs.xml: its name, its numbered
// commands and how it takes flags. It runs its commands through the process
// it derives from.
#pragma once

#include <vector>

#include <wx/string.h>

#include <qelkit/defs.h>
#include <qelkit/lexer.h>
#include <qelkit/process.h>
#include <qelkit/vcscommand.h>

class wxMenu;
class wxWindow;
class wxXmlNode;

// As many commands as a menu block has identifiers.
constexpr int QEL_VCS_COMMANDS_MAX = ID_EDIT_VCS_HIGHEST - ID_EDIT_VCS_LOWEST - 1;

class QelVCSEntry : public QelProcess {
public:
    // The entry that stands for "no system": no name, number -1, one empty
    // command.
    QelVCSEntry();

    // Reads a "vcs" element; `no` is the system's number.
    QelVCSEntry(const wxXmlNode* node, int no);

    // Appends the "command" children of a "commands" element.
    void AddCommands(const wxXmlNode* node);

    // Appends the commands to `menu` from identifier base_id on, those of a
    // popup or of a main menu, labelled with their subcommands, in their
    // submenus (none left empty) and with their separators (none doubled or
    // last). Returns the number of items `menu` then holds.
    int BuildMenu(int base_id, wxMenu* menu, bool is_popup) const;

    // Makes the command of a menu identifier current; other identifiers
    // (-1 among them) keep the current one.
    void SetCommand(int menu_id);
    // The settings key of the current command's flags: "vcsflags/<name><no>".
    const wxString& GetFlagsKey() const { return m_FlagsKey; }

    // The executable: the setting under the system's name.
    wxString GetBin() const;
    // The flags typed for the command ("Flags").
    wxString GetFlags() const;

    // The command's dialog: the commit comment, the base folder (and for an
    // add, the path) when `add_folder`, the flags, prefix flags and the
    // subcommand as the command uses them. OK keeps the flags for the
    // command. Returns the modal result.
    int ShowDialog(wxWindow* parent, const wxString& caption, bool add_folder) const;

    // The arguments of a run of the current command on `args`, from the
    // executable on: prefix flags, command and subcommand, flags, the commit
    // comment, then `args` (dropped for help), paths that are never read as
    // options: after "--", or with "./" before a leading "-" for a system
    // without it. Nothing is joined or quoted.
    wxArrayString GetArgv(const wxArrayString& args) const;

    // Runs the current command on `args` in `wd` to its end. Returns its exit
    // code, or -1 when there is no executable or it did not start.
    using QelProcess::Execute;
    long Execute(const wxArrayString& args, const QelLexer& lexer, const wxString& wd);
    // Styles the shared output editor for the current command, then shows
    // the output as a process does.
    void ShowOutput(const wxString& caption = wxEmptyString) const override;

    // The lexer of the file the last command ran on.
    const QelLexer& GetLexer() const { return m_Lexer; }

    const wxString& GetName() const { return m_Name; }
    int GetNo() const { return m_No; }
    bool SupportKeywordExpansion() const { return m_SupportKeywordExpansion; }
    // Flags go before the command.
    bool HasPrefixFlags() const { return m_FlagsLocation == 1; }

    // The current command.
    const QelVCSCommand& GetCommand() const;
    // All commands in file order; never empty.
    const std::vector<QelVCSCommand>& GetCommands() const { return m_Commands; }

private:
    bool m_SupportKeywordExpansion = false;
    int m_CommandId = 0;
    int m_FlagsLocation = 0; // 0 after the command, 1 before it
    int m_No = -1;
    wxString m_FlagsKey;
    wxString m_Name;
    QelLexer m_Lexer;
    std::vector<QelVCSCommand> m_Commands;
};
