// The log target of the main window: every message of the program reaches
// the status bar, the log file and the window's log text by its level.
#pragma once

#include <cstdio>

#include <wx/log.h>

class Frame;

// | level                          | status bar | log file | log text |
// | status                         | yes        | no       | no       |
// | error                          | yes        | yes      | yes      |
// | warning, message, info, fatal  | no         | yes      | yes      |
// | debug, trace                   | no         | stderr   | yes      |
class QelLogStderr : public wxLogStderr {
public:
    // Writes its lines to fp (stderr when null) and closes it when it goes.
    // Without a frame only the file gets messages. Turns verbose messages on
    // and sets the time stamp "%x %X".
    QelLogStderr(FILE* fp, Frame* frame);
    ~QelLogStderr() override;

protected:
    void DoLogRecord(wxLogLevel level, const wxString& msg, const wxLogRecordInfo& info) override;

private:
    Frame* m_Frame;
    FILE* m_File;
};
