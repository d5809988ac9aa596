// The base of our own dialogs: content in a one-column grid above a standard
// button row made from button flags.
#pragma once

#include <wx/dialog.h>
#include <wx/sizer.h>

class QelDialog : public wxDialog {
public:
    // button_flags: wxOK, wxCANCEL, wxYES_NO, wxAPPLY, wxCLOSE ...; 0 gives
    // no button row.
    QelDialog(wxWindow* parent, const wxString& title, long button_flags = wxOK | wxCANCEL,
              wxWindowID id = wxID_ANY, const wxPoint& pos = wxDefaultPosition,
              const wxSize& size = wxDefaultSize, long style = wxDEFAULT_DIALOG_STYLE,
              const wxString& name = wxDialogNameStr);

protected:
    // The next content row; with the expand flag in flags the row takes the
    // extra height when the dialog grows.
    wxSizerItem* AddUserSizer(wxWindow* window, const wxSizerFlags& flags = wxSizerFlags());
    wxSizerItem* AddUserSizer(wxSizer* sizer, const wxSizerFlags& flags = wxSizerFlags());

    // Installs the grids with the button row below the content and fits the
    // dialog; called once, after all content was added.
    void LayoutSizers(bool add_separator_line = true);

    long GetButtonFlags() const noexcept { return m_ButtonFlags; }

    // Null once LayoutSizers gave them to the dialog.
    wxFlexGridSizer* GetTopSizer() const noexcept { return m_TopSizer; }
    wxFlexGridSizer* GetUserSizer() const noexcept { return m_UserSizer; }

private:
    void GrowLastRow(const wxSizerFlags& flags);

    const long m_ButtonFlags;
    wxFlexGridSizer* m_TopSizer;
    wxFlexGridSizer* m_UserSizer;
    bool m_LaidOut = false;
};
