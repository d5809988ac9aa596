// The editor of the report library: an editor that knows the frame with
// histories it lives in. The files it loads become recent files, a file
// opened from a link gets a page of its own through the frame, the frame's
// title names the editor, and version-control commands run through the frame.
#pragma once

#include <qelkit/stc.h>

class QelFrameWithHistory;

class QelSTCWithFrame : public QelSTC {
public:
    // An editor on a file; the file becomes the most recent one when it
    // loaded.
    QelSTCWithFrame(wxWindow* parent, QelFrameWithHistory* frame, const QelFileName& filename,
                    int line_number = 0, const wxString& match = wxEmptyString, long flags = 0,
                    long type = EDITOR_MENU_ALL, wxWindowID id = wxID_ANY,
                    const wxPoint& pos = wxDefaultPosition, const wxSize& size = wxDefaultSize,
                    long style = 0);
    // An editor showing a text; the title becomes the window name.
    QelSTCWithFrame(wxWindow* parent, QelFrameWithHistory* frame,
                    const wxString& value = wxEmptyString, long flags = 0,
                    const wxString& title = wxEmptyString, long type = EDITOR_MENU_ALL,
                    wxWindowID id = wxID_ANY, const wxPoint& pos = wxDefaultPosition,
                    const wxSize& size = wxDefaultSize, long style = 0);
    // A second editor on the file of stc (the split view).
    QelSTCWithFrame(const QelSTC& stc, QelFrameWithHistory* frame);

    QelFrameWithHistory* GetFrame() { return m_Frame; }

    // With EDITOR_FROM_LINK the frame opens the file (a page of its own) and
    // this editor keeps its document; otherwise the file is loaded here.
    bool Open(const QelFileName& filename, int line_number = 0,
              const wxString& match = wxEmptyString, long flags = 0) override;
    // The status bar, then the frame's title: the editor's name, marked
    // when read-only.
    void PropertiesMessage(long flags = 0) override;

private:
    void BindCommands();
    // The version-control commands on this editor's file.
    void OnCommand(wxCommandEvent& command);

    QelFrameWithHistory* m_Frame; // not owned; outlives the editor
};
