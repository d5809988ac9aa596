// The top-level window base of the library. Library code asks the frame for
// the current editor, list or grid and for files to be opened through its
// virtual operations; the application overrides them. The frame also owns
// the find and replace dialog, the shared status bar and its pane texts.
#pragma once

#include <vector>

#include <wx/frame.h>
#include <wx/string.h>
#include <wx/weakref.h>

#include <qelkit/defs.h>
#include <qelkit/filename.h>
#include <qelkit/statusbar.h>

class QelGrid;
class QelListView;
class QelSTC;
class QelVCSEntry;
class wxFindDialogEvent;
class wxFindReplaceDialog;
class wxListView;

class QelFrame : public wxFrame {
public:
    QelFrame(wxWindow* parent, wxWindowID id, const wxString& title,
             long style = wxDEFAULT_FRAME_STYLE);
    ~QelFrame() override;

    // The find focus when it is shown and of the type asked, else the window
    // with the keyboard focus when it is, else null.
    virtual QelGrid* GetGrid();
    virtual QelListView* GetListView();
    virtual QelSTC* GetSTC();

    // Apply of a configuration dialog, and OK or Cancel of a modeless one.
    virtual void OnCommandConfigDialog(int WXUNUSED(dialogid), int WXUNUSED(commandid)) { }

    // The base loads the file into the current editor; false without one.
    virtual bool OpenFile(const QelFileName& filename, int line_number = 0,
                          const wxString& match = wxEmptyString, long flags = 0);

    // The output of a version-control run: into the current editor, else
    // in a message box.
    virtual bool OpenFile(const QelFileName& filename, const QelVCSEntry& vcs, long flags = 0);

    // A double click on the named pane ("" for the unnamed one).
    virtual void StatusBarDoubleClicked(const wxString& pane);
    virtual void StatusBarDoubleClickedRight(const wxString& WXUNUSED(pane)) { }

    // Remembers a non-null bar; until the first command a stored
    // "ShowMenuBar" of false keeps the bar hidden.
    void SetMenuBar(wxMenuBar* bar) override;
    wxStatusBar* OnCreateStatusBar(int number, long style, wxWindowID id,
                                   const wxString& name) override;

    // The window that find and replace dialog events go to.
    void SetFindFocus(wxWindow* focus) { m_FindFocus = focus; }
    wxWindow* GetFindFocus() const { return m_FindFocus.get(); }
    wxFindReplaceDialog* GetFindReplaceDialog() const { return m_FindReplaceDialog; }

    // Makes the status bar (id ID_STATUSBAR) with one field per pane.
    QelStatusBar* SetupStatusBar(const std::vector<QelStatusBarPane>& panes,
                                 long style = wxST_SIZEGRIP,
                                 const wxString& name = wxStatusBarNameStr);

    // The status bar shared by the process; null before one is made.
    static QelStatusBar* GetSharedStatusBar() { return m_StatusBar; }
    // Sets the text of the named pane of the shared status bar, if any.
    static void StatusText(const wxString& text, const wxString& pane);
    // The text of "PaneInfo", "PaneLexer" or "PaneFileType" for an editor.
    static void UpdateStatusBar(QelSTC* stc, const wxString& pane);
    // Item count, with the selected count when there is a selection, in
    // "PaneInfo"; a hidden list changes nothing.
    static void UpdateStatusBar(const wxListView* lv);

protected:
    void OnCommand(wxCommandEvent& event);
    void OnFindDialog(wxFindDialogEvent& event);
    void OnUpdateUI(wxUpdateUIEvent& event);

private:
    friend class QelStatusBar; // forgets the shared pointer when it goes

    void Initialize();
    void OpenCommand(const wxString& names);
    void ShowFindDialog(bool replace);
    void ToggleTitleBar();

    wxWeakRef<wxWindow> m_FindFocus;
    wxFindReplaceDialog* m_FindReplaceDialog = nullptr;
    wxMenuBar* m_MenuBar = nullptr;
    bool m_IsCommand = false;

    static QelStatusBar* m_StatusBar;

    wxDECLARE_EVENT_TABLE();
};

// Texts of the status-bar panes, as plain functions of the editor's state.

// "PaneInfo": the line count with the caret at 0; else line,column; with a
// selection a third number, its length, and for a selection over several
// lines the line count in place of the column. Positions count from 0,
// lines and columns shown count from 1.
struct QelPaneInfoState {
    int caret;      // caret position
    int line_count; // lines of the document
    int line;       // line of the caret, from 0
    int line_start; // position of the start of that line
    int sel_start;  // selection start and end
    int sel_end;
    bool rectangular;  // a rectangular selection
    wxString sel_text; // the selected text
};
wxString QelFormatPaneInfo(const QelPaneInfoState& state);

// "PaneFileType": "HEX" for an editor with EDITOR_HEX, else by the
// wxSTC_EOL_* mode "DOS", "MAC", "UNIX" or "UNKNOWN".
wxString QelFileTypeText(long editor_flags, int eol_mode);
