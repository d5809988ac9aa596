// The tools that run the text-file scanner over files: find and replace in
// files, the count, revision and keyword reports. A tool is named by its
// command id (ID_TOOL_... in defs.h); a table shared by all tools holds each
// one's end-of-run text and menu texts.
#pragma once

#include <map>

#include <wx/string.h>

#include <qelkit/defs.h>
#include <qelkit/statistics.h>

// One row of the tool table.
class QelToolInfo {
public:
    // Note the order: info, menu text, help text.
    QelToolInfo(const wxString& info = wxEmptyString, const wxString& text = wxEmptyString,
                const wxString& helptext = wxEmptyString)
        : m_Info(info)
        , m_HelpText(helptext)
        , m_Text(text)
    { }

    // End-of-run text; may hold "%ld" for the number of actions.
    const wxString& GetInfo() const noexcept { return m_Info; }
    const wxString& GetHelpText() const noexcept { return m_HelpText; }
    // Menu text, with "&" before the mnemonic.
    const wxString& GetText() const noexcept { return m_Text; }

private:
    wxString m_Info;
    wxString m_HelpText;
    wxString m_Text;
};

class QelTool {
public:
    // Any id is accepted; one without a row has no texts. The first tool
    // made fills the table with the texts of the language active then.
    QelTool(int type);

    int GetId() const noexcept { return m_Id; }

    // The whole table, shared by all tools.
    const std::map<int, QelToolInfo>& GetToolInfo() const noexcept { return m_ToolInfo; }

    // The end-of-run text of this tool; empty when the table has no row.
    const wxString Info() const;

    // Find or replace in files.
    bool IsFindType() const noexcept
    {
        return m_Id == ID_TOOL_FIND_IN_FILES || m_Id == ID_TOOL_REPLACE_IN_FILES;
    }
    // Every report tool: ids 6127 to 6142.
    bool IsReportType() const noexcept
    {
        return m_Id > ID_TOOL_REPORT_LOWEST && m_Id < ID_TOOL_REPORT_HIGHEST;
    }
    bool IsCount() const noexcept { return m_Id == ID_TOOL_REPORT_COUNT; }
    // The two revision tools.
    bool IsRCSType() const noexcept
    {
        return m_Id == ID_TOOL_RECENT_REVISION || m_Id == ID_TOOL_REPORT_REVISION;
    }
    // The count and keyword reports.
    bool IsStatisticsType() const noexcept
    {
        return m_Id == ID_TOOL_REPORT_COUNT || m_Id == ID_TOOL_REPORT_KEYWORD;
    }

    // Shows the end-of-run text on the status bar: the info text (with the
    // "Actions Completed" counter in place of "%ld"), the "Files" counter
    // and "file(s)", then how many files were skipped when any ("Files
    // Skipped"). The count tool also logs the whole table as a message
    // when it counted any file. stat must not be null.
    void Log(const QelStatistics<long>* stat) const;

    // The message Log shows, without showing it.
    wxString LogText(const QelStatistics<long>& stat) const;

private:
    void AddInfo(int tool_id, const wxString& info, const wxString& text, const wxString& helptext);

    int m_Id;

    static std::map<int, QelToolInfo> m_ToolInfo;
};
