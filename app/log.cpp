#include "log.h"

#include "frame.h"

QelLogStderr::QelLogStderr(FILE* fp, Frame* frame)
    : wxLogStderr(fp)
    , m_Frame(frame)
    , m_File(fp)
{
    wxLog::SetVerbose(true);
    wxLog::SetTimestamp("%x %X");
}

QelLogStderr::~QelLogStderr()
{
    if (m_File != nullptr) fclose(m_File);
}

void QelLogStderr::DoLogRecord(wxLogLevel level, const wxString& msg, const wxLogRecordInfo& info)
{
    if (level == wxLOG_Status || level == wxLOG_Error) {
        if (m_Frame != nullptr && m_Frame->GetStatusBar() != nullptr)
            m_Frame->SetStatusText(msg, 0);
        if (level == wxLOG_Status) return;
    }
    // The base formats the line and writes it to the file; debug and trace
    // go to the debug output instead.
    wxLogStderr::DoLogRecord(level, msg, info);
    if (m_Frame != nullptr) m_Frame->Log(level, msg, info);
}
