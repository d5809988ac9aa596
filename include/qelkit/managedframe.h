// The frame base with a docking manager: it docks the tool bar, the find
// bar and the vi bar, where the vi emulation of the editors takes ex
// commands and searches and shows its messages while the status bar is
// hidden. It also holds the hooks each keyed notebook calls when a page is
// selected, asked to close, or the last page went.
#pragma once

#include <wx/aui/framemanager.h>
#include <wx/textctrl.h>
#include <wx/weakref.h>

#include <qelkit/attributes.h>
#include <qelkit/frame.h>

class QelManagedFrame;
class QelToolBar;
class QelVi;
class wxPanel;
class wxStaticText;

// The entry of the vi bar.
class QelViTextCtrl : public wxTextCtrl {
public:
    QelViTextCtrl(wxWindow* parent, QelManagedFrame* frame, wxWindowID id = wxID_ANY,
                  const wxPoint& pos = wxDefaultPosition, const wxSize& size = wxDefaultSize);

    // The vi that opened the bar last; null once its editor is gone.
    QelVi* GetVi() const;
    QelSTC* GetSTC() const { return m_STC.get(); }

    // Opens the entry for vi, under the prefix the frame shows: ":" presets
    // the last ex command that ran, "/" and "?" the editor's selection or
    // else the find text.
    void SetVi(QelVi* vi);

protected:
    void OnCommand(wxCommandEvent& event);
    void OnEnter(wxCommandEvent& event);
    void OnFocus(wxFocusEvent& event);
    void OnKey(wxKeyEvent& event);

private:
    QelManagedFrame* m_Frame;
    // The editor of the vi; editors come and go while the bar lives.
    wxWeakRef<QelSTC> m_STC;
    bool m_UserInput = false; // typed since the bar opened

    wxDECLARE_EVENT_TABLE();
};

class QelManagedFrame : public QelFrame {
public:
    QelManagedFrame(wxWindow* parent, wxWindowID id, const wxString& title,
                    long style = wxDEFAULT_FRAME_STYLE);
    ~QelManagedFrame() override;

    // May notebook id close page? The base forgets the find focus and
    // allows it.
    virtual bool AllowClose(int id, wxWindow* page);
    // Opens the vi bar for vi under the prefix ":", "/" or "?" (a count in
    // front of it is dropped).
    virtual void GetViCommand(QelVi* vi, const wxString& command);
    // Notebook id selected page: it becomes the find focus.
    virtual void OnNotebook(int id, wxWindow* page);
    // Notebook id lost its last page: the find focus is forgotten.
    virtual void SyncCloseAll(int id);

    wxAuiManager& GetManager() { return m_Manager; }
    using QelFrame::GetToolBar;
    QelToolBar* GetToolBar() { return m_ToolBar; }
    QelViTextCtrl* GetViTextCtrl() { return m_viTextCtrl; }
    wxString GetViTextPrefix() const;

    // What the vi bar is open for.
    bool GetViCommandIsFind() const;
    bool GetViCommandIsFindNext() const;
    bool GetViCommandIsFindPrevious() const;

    // Hides a shown vi bar; the keyboard focus goes back to the editor
    // that used it last.
    void HideViBar();
    // Into the status bar's first field when it is shown, else alone in the
    // vi bar.
    void ShowViMessage(const wxString& text);

    // Shows a hidden pane and hides a shown one.
    void TogglePane(const wxString& pane);

    // Takes a layout kept in the settings, with the window's update left to
    // the caller. A layout that names a pane this window does not have, or
    // one pane twice, is damaged: it is ignored with a warning and false.
    bool LoadPerspective(const wxString& perspective);

    // Looked up in the theme once, as the notebook's are.
    wxVisualAttributes GetDefaultAttributes() const override;

protected:
    void OnCommand(wxCommandEvent& event);
    void OnUpdateUI(wxUpdateUIEvent& event);

private:
    bool AddToolBarPane(wxWindow* window, const wxString& name, const wxString& caption);
    wxPanel* CreateViPanel();
    // Shows the vi bar with its entry or with the label alone.
    void ShowViBar(bool with_entry);
    void FocusViEditor();

    wxAuiManager m_Manager;
    QelToolBar* m_ToolBar = nullptr;
    QelViTextCtrl* m_viTextCtrl = nullptr;
    wxStaticText* m_viTextPrefix = nullptr;
    QelDefaultAttributes m_DefaultAttributes{this};

    wxDECLARE_EVENT_TABLE();
};
