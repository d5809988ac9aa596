// The main window of tindrel: one editor page per open file, keyed by the
// file's absolute path, and the menus that open, edit and save them.
#pragma once

#include <qelkit/managedframe.h>

class QelNotebook;

class Frame : public QelManagedFrame {
public:
    Frame();

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

private:
    void OnClose(wxCloseEvent& event);
    void OnEdit(wxCommandEvent& event);
    void OnFile(wxCommandEvent& event);
    void OnIdle(wxIdleEvent& event);
    void OnPrint(wxCommandEvent& event);
    void UpdateTitle();

    QelNotebook* m_Editors;
    bool m_Forwarding = false; // an edit command is on its way to the editor
};
