// The revision record and the scanner's reading of revision histories.
#include <qelkit/rcs.h>

#include <wx/config.h>
#include <wx/regex.h>

#include <qelkit/textfile.h>
#include <qelkit/util.h>

namespace {

const wxString REV_DATE_FORMAT = "%y%m%d";
const wxString REV_TIME_FORMAT = "%y%m%d %H%M%S";

// Parses a date at the start of text; fields the format does not give come
// from midnight, not from an earlier value.
bool ParseDate(const wxString& text, const wxString& format, wxDateTime* time, wxString* rest)
{
    wxString::const_iterator end;
    wxDateTime parsed;
    if (!parsed.ParseFormat(text, format, wxDateTime(1, wxDateTime::Jan, 2000), &end)) {
        return false;
    }
    *time = parsed;
    *rest = wxString(end, text.end());
    return true;
}

} // namespace

QelRCS::QelRCS()
    : m_RevisionFormat(REV_DATE_FORMAT)
{ }

bool QelRCS::SetRevision(wxString& text)
{
    // Work on a copy, so that a header without a date changes nothing.
    QelRCS parsed(*this);
    wxString rest = text;

    const wxString word = QelGetWord(rest);
    if (word.Contains(".")) {
        parsed.m_RevisionNumber = word;
    } else {
        parsed.m_RevisionNumber.clear();
        rest = word + " " + rest;
    }

    wxString after;
    if (ParseDate(rest, REV_TIME_FORMAT, &parsed.m_RevisionTime, &after)) {
        parsed.m_RevisionFormat = REV_TIME_FORMAT;
    } else if (ParseDate(rest, REV_DATE_FORMAT, &parsed.m_RevisionTime, &after)) {
        parsed.m_RevisionFormat = REV_DATE_FORMAT;
    } else {
        return false;
    }

    parsed.m_User = QelGetWord(after);
    after.Trim(true);
    parsed.m_Description = after;

    *this = parsed;
    text = after;
    return true;
}

void QelRCS::AppendDescription(const wxString& text)
{
    if (!m_Description.empty()) m_Description += " ";
    m_Description += text;
}

const wxString QelRCS::GetRevision() const
{
    wxString text;
    if (!m_RevisionNumber.empty()) text << m_RevisionNumber << " ";
    if (m_RevisionTime.IsValid()) text << m_RevisionTime.Format(m_RevisionFormat) << " ";
    if (!m_User.empty()) text << m_User << " ";
    return text + m_Description;
}

// The scanner's part: ParseComments runs at the end of every parsed line.

bool QelTextFile::ParseComments()
{
    if (!m_Tool.IsRCSType() || (m_Tool.GetId() != ID_TOOL_REPORT_REVISION && m_VersionLine >= 2)
        || m_Comments.length() <= 2) {
        m_Comments.clear();
        return true;
    }

    // A continuation line: "*", "|" or a blank, then at least two blanks.
    static const wxRegEx continuation("^[*| ]   *");
    size_t start = 0;
    size_t len = 0;

    if (!continuation.Matches(m_Comments) || !continuation.GetMatch(&start, &len)) {
        EndCurrentRevision(m_CurrentLine == 0 ? 0 : m_CurrentLine - 1);
        if (PrepareRevision()) m_RevisionActive = true;
    } else if (m_VersionLine > 0 && m_CurrentLine == m_LineMarkerEnd + 1) {
        wxString text = m_Comments.substr(start + len);
        text.Trim(true);
        m_LineMarkerEnd = m_CurrentLine;
        m_RCS.AppendDescription(text);
    }

    m_Comments.clear();
    return true;
}

bool QelTextFile::PrepareRevision()
{
    const wxConfigBase* config = wxConfigBase::Get();
    const bool recentOnly = m_Tool.GetId() == ID_TOOL_RECENT_REVISION
        || (config != nullptr && config->ReadBool("RCS/RecentOnly", false));
    if (recentOnly && m_VersionLine == 1) return false;

    if (!m_RCS.SetRevision(m_Comments)) return false;

    if (m_LineMarker == 0) {
        m_LineMarker = m_CurrentLine;
        m_LineMarkerEnd = m_CurrentLine;
    }
    if (m_Tool.GetId() == ID_TOOL_REPORT_REVISION) m_LineMarkerEnd = m_CurrentLine;

    ++m_VersionLine;
    return true;
}

void QelTextFile::EndCurrentRevision(size_t report_line)
{
    if (!m_RevisionActive) return;

    IncActionsCompleted(1);
    if (m_Tool.GetId() == ID_TOOL_REPORT_REVISION) Report(report_line);
    m_RevisionActive = false;
}
