// The frame's docked tool bars: the main tool bar with its stock tools and
// the "Hex" and "Sync" boxes, and the find bar whose entry searches the
// frame's current editor as the user types.
#pragma once

#include <wx/aui/auibar.h>
#include <wx/bitmap.h>
#include <wx/textctrl.h>

#include <qelkit/defs.h>

class QelFrame;
class wxCheckBox;

class QelToolBar : public wxAuiToolBar {
public:
    // Text is laid out beside the bitmaps whatever the style.
    explicit QelToolBar(QelFrame* frame, wxWindowID id = wxID_ANY,
                        const wxPoint& pos = wxDefaultPosition, const wxSize& size = wxDefaultSize,
                        long style = 0);

    QelFrame* GetFrame() { return m_Frame; }

    // The open, save, print and find tools, then the "Hex" and "Sync" boxes
    // set from "HexMode" and "AllowSync".
    void AddControls();

    // Lays the tools out, and gives the tool bar's pane, if it has one, the
    // size they need.
    bool Realize();
    // The pane takes the size the tools need: a pane keeps the size it was
    // added with or that a saved layout gave it, which cuts off tools added
    // since.
    void FitPane();

    // A stock id gets the stock bitmap and the stock label as short help;
    // the label, bitmap and help given are used only for other ids.
    wxAuiToolBarItem* AddTool(int toolId, const wxString& label = wxEmptyString,
                              const wxBitmap& bitmap = wxNullBitmap,
                              const wxString& shortHelp = wxEmptyString,
                              wxItemKind kind = wxITEM_NORMAL);

protected:
    void OnCommand(wxCommandEvent& event);

private:
    wxCheckBox* m_HexMode = nullptr;
    wxCheckBox* m_SyncMode = nullptr;
    QelFrame* m_Frame;

    wxDECLARE_EVENT_TABLE();
};

// The find entry: every change searches again from where the editor's caret
// was when the entry took the focus; Enter keeps the text and searches on.
class QelTextCtrl : public wxTextCtrl {
public:
    QelTextCtrl(wxWindow* parent, QelFrame* frame, wxWindowID id = wxID_ANY,
                const wxPoint& pos = wxDefaultPosition, const wxSize& size = wxDefaultSize);

    // Searches the text in the frame's current editor, if any.
    void Find(bool find_next = true, bool restore_position = false);

protected:
    void OnCommand(wxCommandEvent& event);
    void OnDelete(wxCommandEvent& event);
    void OnEnter(wxCommandEvent& event);
    void OnFocus(wxFocusEvent& event);

private:
    QelFrame* m_Frame;

    wxDECLARE_EVENT_TABLE();
};

// The find bar: entry, next and previous tools, and the whole-word, case
// and regular-expression boxes, which write the shared find settings and
// show them at every update of the window, whatever changed them.
class QelFindToolBar : public QelToolBar {
public:
    explicit QelFindToolBar(QelFrame* frame, wxWindowID id = wxID_ANY,
                            const wxPoint& pos = wxDefaultPosition,
                            const wxSize& size = wxDefaultSize, long style = 0);

    QelTextCtrl* GetFindCtrl() { return m_FindCtrl; }

protected:
    void OnCommand(wxCommandEvent& event);
    void OnUpdateUI(wxUpdateUIEvent& event);

private:
    void Initialize();

    QelTextCtrl* m_FindCtrl = nullptr;
    wxCheckBox* m_IsRegularExpression = nullptr;
    wxCheckBox* m_MatchCase = nullptr;
    wxCheckBox* m_MatchWholeWord = nullptr;

    wxDECLARE_EVENT_TABLE();
};
