// The status bar whose fields are panes addressed by name, with a tool tip
// per pane and double clicks reported to the frame by pane name.
#pragma once

#include <map>
#include <vector>

#include <wx/statusbr.h>
#include <wx/string.h>

class QelFrame;
class wxMouseEvent;

class QelStatusBarPane : public wxStatusBarPane {
public:
    // An unnamed pane (the general status field).
    explicit QelStatusBarPane(int width = -3, int style = wxSB_NORMAL);
    // A named pane; an empty helptext becomes the part of the name after its
    // first "e" ("PaneLexer" gives "Lexer").
    QelStatusBarPane(const wxString& name, int width, const wxString& helptext = wxEmptyString,
                     int style = wxSB_NORMAL);

    const wxString& GetHelpText() const noexcept { return m_HelpText; }
    const wxString& GetName() const noexcept { return m_Name; }
    // The field number the pane asks for: panes are numbered in the order
    // they are made, over the whole run. A status bar whose panes do not
    // number 0 .. n-1 numbers them by their place in its list instead.
    int GetNo() const noexcept { return m_No; }

private:
    friend class QelStatusBar; // renumbers its own copies

    wxString m_HelpText;
    wxString m_Name;
    int m_No;

    static int m_Total;
};

class QelStatusBar : public wxStatusBar {
public:
    // Shown or hidden by the setting "ShowStatusBar" (default true).
    QelStatusBar(QelFrame* parent, wxWindowID id = wxID_ANY, long style = wxST_SIZEGRIP,
                 const wxString& name = wxStatusBarNameStr);
    // Stores whether the bar is shown under "ShowStatusBar".
    ~QelStatusBar() override;

    // Installs the panes, once; equal names keep the first pane.
    void SetFields(const std::vector<QelStatusBarPane>& fields);

    using wxStatusBar::SetStatusText;
    // Sets the text of the pane named field; an unknown name is ignored.
    void SetStatusText(const wxString& text, const wxString& field);

    // The field number of the named pane, or -1.
    int GetFieldNo(const wxString& field) const;
    // The pane's name for a field number, or nullptr.
    const QelStatusBarPane* GetPane(int field) const;

protected:
    // The message pane is painted at once, so that a text shown before a
    // long run is seen during it; the other panes (counts, positions) are
    // painted with the next turn of the event loop, however often a run
    // changes them.
    void DoUpdateStatusText(int field) override;

private:
    void OnMouse(wxMouseEvent& event);

    QelFrame* m_Frame;
    std::map<wxString, QelStatusBarPane> m_Panes; // pane numbers are field numbers here

    wxDECLARE_EVENT_TABLE();
};
