#include <qelkit/vcsentry.h>

#include <wx/log.h>
#include <wx/xml/xml.h>

namespace {

bool IsElement(const wxXmlNode* node, const char* name)
{
    return node->GetType() == wxXML_ELEMENT_NODE && node->GetName() == name;
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
