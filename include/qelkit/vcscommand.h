// One command of a version-control system as vcs.xml describes it: the words
// handed to the system's executable, where it goes in the menus, and what
// kind of command it is.
#pragma once

#include <initializer_list>

#include <wx/string.h>

// Menu placement bits of a command.
enum QelVCSCommandType {
    VCS_MENU_NONE = 0,
    VCS_MENU_BOTH = 1,  // the main menu and the popup menu
    VCS_MENU_POPUP = 2, // the popup menu of a document only
    VCS_MENU_MAIN = 4,  // the main (base-folder) menu only
    VCS_MENU_PLACES = 0x0F,
    VCS_MENU_SEPARATOR = 0x10, // a separator follows the item
};

class QelVCSCommand {
public:
    // Empty texts, number 0, in no menu.
    QelVCSCommand() = default;

    // `type` holds the words "popup", "main" and "separator"; `submenu` names
    // the submenu the command is shown in, `subcommand` a fixed word run after
    // the command (and the submenu's name when `submenu` is empty).
    QelVCSCommand(const wxString& command, int no, const wxString& type = wxEmptyString,
                  const wxString& submenu = wxEmptyString,
                  const wxString& subcommand = wxEmptyString);

    // The placement bits of a type text.
    static long From(const wxString& type);

    // The command, followed by its subcommand when asked, with the accelerator
    // marks '&' kept or removed.
    wxString GetCommand(bool include_subcommand = true, bool include_accelerators = true) const;

    int GetNo() const { return m_No; }
    const wxString& GetSubMenu() const { return m_SubMenu; }
    const wxString& GetSubCommand() const { return m_SubCommand; }
    long GetType() const { return m_Type; }

    // Kinds, from the command without subcommand and accelerators.
    bool IsAdd() const;
    bool IsBlame() const;
    bool IsCheckout() const;
    bool IsCommit() const;
    bool IsDiff() const;
    bool IsHelp() const;
    bool IsHistory() const;
    // Its output is opened as a document.
    bool IsOpen() const;
    bool IsUpdate() const;
    // The flags item is offered.
    bool UseFlags() const;
    // The subcommand item is offered.
    bool UseSubcommand() const;

private:
    bool Is(std::initializer_list<const char*> words) const;

    wxString m_Command;
    wxString m_SubMenu;    // the menu label
    wxString m_SubCommand; // what is run after the command
    bool m_SubMenuIsCommand = false;
    int m_No = 0;
    long m_Type = VCS_MENU_NONE;
};
