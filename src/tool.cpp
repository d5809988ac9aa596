#include <qelkit/tool.h>

#include <wx/intl.h>
#include <wx/log.h>

std::map<int, QelToolInfo> QelTool::m_ToolInfo;

namespace {

wxString Translated(const wxString& text)
{
    return text.empty() ? text : wxString(wxGetTranslation(text));
}

} // namespace

QelTool::QelTool(int type)
    : m_Id(type)
{
    if (!m_ToolInfo.empty()) return;

    AddInfo(ID_TOOL_RECENT_REVISION, _("Recent revision from"), wxEmptyString, wxEmptyString);
    AddInfo(ID_TOOL_REPORT_REVISION, _("Reported %ld revisions in"), _("Report &Revision"),
            wxEmptyString);
    AddInfo(ID_TOOL_REPORT_COUNT, _("Counted"), _("Report &Count"), wxEmptyString);
    AddInfo(ID_TOOL_FIND_IN_FILES, _("Found %ld matches in"), wxEmptyString, wxEmptyString);
    AddInfo(ID_TOOL_REPLACE_IN_FILES, _("Replaced %ld matches in"), wxEmptyString, wxEmptyString);
    AddInfo(ID_TOOL_REPORT_KEYWORD, _("Reported %ld keywords in"), _("Report &Keyword"),
            wxEmptyString);
}

void QelTool::AddInfo(int tool_id, const wxString& info, const wxString& text,
                      const wxString& helptext)
{
    m_ToolInfo[tool_id] = QelToolInfo(Translated(info), Translated(text), Translated(helptext));
}

const wxString QelTool::Info() const
{
    const auto it = m_ToolInfo.find(m_Id);
    return it == m_ToolInfo.end() ? wxString() : it->second.GetInfo();
}

wxString QelTool::LogText(const QelStatistics<long>& stat) const
{
    wxString text = Info();

    // Substituted as text: a translation with other % directives must not be
    // taken as a format.
    if (text.Contains("%ld")) {
        text.Replace("%ld", wxString::Format("%ld", stat.Get(_("Actions Completed"))));
    }

    text << " " << stat.Get(_("Files")) << " " << _("file(s)");
    // Files left as they were are a failure of the run: said here, where
    // the user looks, with the reasons in the log.
    if (const long skipped = stat.Get(_("Files Skipped")); skipped > 0)
        text << ", " << skipped << " " << _("file(s) skipped: see the log");
    return text;
}

void QelTool::Log(const QelStatistics<long>* stat) const
{
    wxCHECK_RET(stat != nullptr, "no statistics");

    if (stat->Get(_("Files")) != 0 && IsCount()) {
        wxLogMessage("%s", stat->Get());
    }

    wxLogStatus("%s", LogText(*stat));
}
