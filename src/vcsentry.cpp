#include <qelkit/vcsentry.h>

#include <wx/config.h>
#include <wx/filedlg.h>
#include <wx/log.h>
#include <wx/xml/xml.h>

#include <qelkit/configdialog.h>
#include <qelkit/util.h>

namespace {

bool IsElement(const wxXmlNode* node, const char* name)
{
    return node->GetType() == wxXML_ELEMENT_NODE && node->GetName() == name;
}

// The systems whose commands take "--" as the end of their options.
bool EndsOptions(const wxString& name)
{
    return name == "git" || name == "mercurial" || name == "svn" || name == "bzr";
}

} // namespace

QelVCSEntry::QelVCSEntry()
{
    m_Commands.emplace_back();
}

QelVCSEntry::QelVCSEntry(const wxXmlNode* node, int no)
    : m_SupportKeywordExpansion(node->GetAttribute("keyword-expansion") == "true")
    , m_FlagsLocation(node->GetAttribute("flags-location") == "prefix" ? 1 : 0)
    , m_No(no)
    , m_Name(node->GetAttribute("name"))
{
    if (m_Name.empty()) {
        wxLogError(_("Missing vcs on line: %d"), node->GetLineNumber());
    } else {
        for (const wxXmlNode* child = node->GetChildren(); child != nullptr;
             child = child->GetNext())
            if (IsElement(child, "commands")) AddCommands(child);
    }
    if (m_Commands.empty()) {
        wxLogError("%s%s", _("No commands found for: "), m_Name);
        m_Commands.emplace_back();
    }
}

void QelVCSEntry::AddCommands(const wxXmlNode* node)
{
    for (const wxXmlNode* child = node->GetChildren(); child != nullptr; child = child->GetNext()) {
        if (!IsElement(child, "command")) continue;
        // A command beyond the identifier block could never be chosen.
        if (m_Commands.size() >= static_cast<size_t>(QEL_VCS_COMMANDS_MAX)) {
            wxLogError(_("Reached commands limit: %d"), QEL_VCS_COMMANDS_MAX);
            continue;
        }
        m_Commands.emplace_back(child->GetNodeContent().Strip(wxString::both),
                                static_cast<int>(m_Commands.size()), child->GetAttribute("type"),
                                child->GetAttribute("submenu"), child->GetAttribute("subcommand"));
    }
}

const QelVCSCommand& QelVCSEntry::GetCommand() const
{
    if (m_CommandId < 0 || static_cast<size_t>(m_CommandId) >= m_Commands.size())
        return m_Commands.front();
    return m_Commands[m_CommandId];
}

void QelVCSEntry::SetCommand(int menu_id)
{
    if (menu_id > ID_VCS_LOWEST && menu_id < ID_VCS_HIGHEST)
        m_CommandId = menu_id - ID_VCS_LOWEST - 1;
    else if (menu_id > ID_EDIT_VCS_LOWEST && menu_id < ID_EDIT_VCS_HIGHEST)
        m_CommandId = menu_id - ID_EDIT_VCS_LOWEST - 1;
    if (m_CommandId < 0 || static_cast<size_t>(m_CommandId) >= m_Commands.size()) m_CommandId = 0;
    m_FlagsKey = wxString::Format("vcsflags/%s%d", m_Name, GetCommand().GetNo());
}

wxString QelVCSEntry::GetBin() const
{
    return wxConfigBase::Get()->Read(m_Name, wxString());
}

wxString QelVCSEntry::GetFlags() const
{
    return wxConfigBase::Get()->Read(_("Flags"), wxString());
}

wxArrayString QelVCSEntry::GetArgv(const wxArrayString& args) const
{
    const QelVCSCommand& command = GetCommand();
    wxArrayString argv;
    const auto append = [&argv](const wxArrayString& words) {
        for (const auto& word : words) argv.push_back(word);
    };
    if (HasPrefixFlags()) append(QelSplitCommand(wxConfigBase::Get()->Read(_("Prefix flags"), "")));
    append(QelSplitCommand(command.GetCommand(true, false)));
    if (command.UseSubcommand())
        append(QelSplitCommand(wxConfigBase::Get()->Read(_("Subcommand"), "")));
    const wxString flags = command.UseFlags() ? GetFlags() : wxString();
    append(QelSplitCommand(flags));
    if (command.IsCommit()) {
        argv.push_back("-m");
        argv.push_back(QelConfigFirstOf(_("Revision comment")));
    }
    if (command.IsHelp() || flags.Contains("help")) return argv;
    size_t first = 0;
    // Flags that end with ':' take what follows as their value: "-r:" + file.
    if (!args.empty() && flags.EndsWith(":") && !argv.empty() && !command.IsCommit()) {
        argv.back() += args[0];
        first = 1;
    }
    // A path must never be read as an option (a file "--output=x" would
    // make git write x): the systems that know "--" get it before the
    // paths; for the others a path that starts with "-" is written as
    // relative to the current folder.
    const bool separator = EndsOptions(m_Name);
    if (separator && first < args.size()) argv.push_back("--");
    for (size_t i = first; i < args.size(); ++i)
        argv.push_back(!separator && args[i].StartsWith("-") ? "./" + args[i] : args[i]);
    return argv;
}

long QelVCSEntry::Execute(const wxArrayString& args, const QelLexer& lexer, const wxString& wd)
{
    wxString bin = GetBin();
    if (bin.empty()) {
        wxFileDialog dialog(QelTopWindow(), _("Select") + " " + m_Name + " bin", "", "",
                            wxFileSelectorDefaultWildcardStr, wxFD_OPEN | wxFD_FILE_MUST_EXIST);
        if (dialog.ShowModal() == wxID_CANCEL) return -1;
        bin = dialog.GetPath();
        wxConfigBase::Get()->Write(m_Name, bin);
    }
    m_Lexer = lexer;
    // Nothing may wait for a user: a credential prompt would stop the run.
    SetEnv("GIT_TERMINAL_PROMPT", "0");
    wxArrayString argv = GetArgv(args);
    argv.insert(argv.begin(), bin);
    return QelProcess::Execute(argv, wxEXEC_SYNC, wd);
}

int QelVCSEntry::ShowDialog(wxWindow* parent, const wxString& caption, bool add_folder) const
{
    const QelVCSCommand& command = GetCommand();
    std::vector<QelConfigItem> items;
    if (command.IsCommit()) items.emplace_back(_("Revision comment"), CONFIG_COMBOBOX, "", true);
    if (add_folder && !command.IsHelp()) {
        items.emplace_back(_("Base folder"), CONFIG_COMBOBOXDIR, "", true, ID_BROWSE_FOLDER);
        if (command.IsAdd()) items.emplace_back(_("Path"), CONFIG_COMBOBOX, "", true);
    }
    wxConfigBase* config = wxConfigBase::Get();
    if (command.UseFlags()) {
        config->Write(_("Flags"), config->Read(m_FlagsKey, wxString()));
        items.emplace_back(_("Flags"));
    }
    if (HasPrefixFlags()) items.emplace_back(_("Prefix flags"));
    if (command.UseSubcommand()) items.emplace_back(_("Subcommand"));

    QelConfigDialog dialog(parent, items, caption);
    const int result = dialog.ShowModal();
    if (result == wxID_OK && command.UseFlags()) config->Write(m_FlagsKey, GetFlags());
    return result;
}
