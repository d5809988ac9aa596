#include <qelkit/vcscommand.h>

QelVCSCommand::QelVCSCommand(const wxString& command, int no, const wxString& type,
                             const wxString& submenu, const wxString& subcommand)
    : m_Command(command)
    , m_SubMenu(submenu.empty() ? subcommand : submenu)
    , m_SubCommand(subcommand)
    , m_SubMenuIsCommand(!subcommand.empty())
    , m_No(no)
    , m_Type(From(type))
{ }

long QelVCSCommand::From(const wxString& type)
{
    long bits = VCS_MENU_BOTH;
    if (type.Contains("popup"))
        bits = VCS_MENU_POPUP;
    else if (type.Contains("main"))
        bits = VCS_MENU_MAIN;
    if (type.Contains("separator")) bits |= VCS_MENU_SEPARATOR;
    return bits;
}

wxString QelVCSCommand::GetCommand(bool include_subcommand, bool include_accelerators) const
{
    wxString text = m_Command;
    // The subcommand itself is run, not the label of the submenu it names.
    if (include_subcommand && m_SubMenuIsCommand) text += " " + m_SubCommand;
    if (!include_accelerators) text.Replace("&", "");
    return text;
}

bool QelVCSCommand::Is(std::initializer_list<const char*> words) const
{
    const wxString command = GetCommand(false, false);
    for (const char* word : words)
        if (command == word) return true;
    return false;
}

bool QelVCSCommand::IsAdd() const
{
    return Is({"add"});
}

bool QelVCSCommand::IsBlame() const
{
    return Is({"blame", "print"});
}

bool QelVCSCommand::IsCheckout() const
{
    return Is({"checkout", "co"});
}

bool QelVCSCommand::IsCommit() const
{
    return Is({"commit", "ci", "delta"});
}

bool QelVCSCommand::IsDiff() const
{
    return GetCommand(false, false).Contains("diff");
}

bool QelVCSCommand::IsHelp() const
{
    return Is({"help"});
}

bool QelVCSCommand::IsHistory() const
{
    return Is({"log", "prs", "prt"});
}

bool QelVCSCommand::IsOpen() const
{
    return Is({"cat", "get", "show"}) || IsBlame() || IsDiff() || IsHistory();
}

bool QelVCSCommand::IsUpdate() const
{
    return Is({"update", "up"});
}

bool QelVCSCommand::UseFlags() const
{
    return !IsHelp();
}

bool QelVCSCommand::UseSubcommand() const
{
    return IsHelp() || (m_SubMenuIsCommand && !m_SubMenu.empty());
}
