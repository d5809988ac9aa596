// The main window of tindrel: one editor page per open file, keyed by the
// file's absolute path, and the menus that open, edit and save them.
#pragma once

#include <wx/log.h>

#include <qelkit/managedframe.h>

class QelNotebook;

class Frame : public QelManagedFrame {
public:
    explicit Frame(bool open_recent = false);
    ~Frame() override;

    // The editor of the selected page; null without one.
    QelSTC* GetSTC() override;

    // Selects the page of the file, or opens it in a new page; a name that
    // does not exist yet gets an empty page that saving creates.
    bool OpenFile(const QelFileName& filename, int line_number = 0,
                  const wxString& match = wxEmptyString, long flags = 0) override;

    bool AllowClose(int id, wxWindow* page) override;
    void OnCommandConfigDialog(int dialogid, int commandid) override;
    void OnNotebook(int id, wxWindow* page) override;
    void SyncCloseAll(int id) override;

    QelNotebook* GetEditors() const { return m_Editors; }

    // Appends a line to the run's log text.
    void Log(wxLogLevel level, const wxString& msg, const wxLogRecordInfo& info);
    const wxString& GetLogFile() const { return m_LogFile; }
    const wxString& GetLogText() const { return m_LogText; }

private:
    void OnClose(wxCloseEvent& event);
    void OnEdit(wxCommandEvent& event);
    void OnFile(wxCommandEvent& event);
    void OnIdle(wxIdleEvent& event);
    void OnPrint(wxCommandEvent& event);
    void RemoveLog();
    void UpdateTitle();

    wxString m_LogFile;
    wxString m_LogText;
    wxLog* m_OldLog = nullptr;
    wxLog* m_LogTarget = nullptr;
    QelNotebook* m_Editors;
    bool m_Forwarding = false; // an edit command is on its way to the editor
};
