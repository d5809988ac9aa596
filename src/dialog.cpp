#include <qelkit/dialog.h>

QelDialog::QelDialog(wxWindow* parent, const wxString& title, long button_flags, wxWindowID id,
                     const wxPoint& pos, const wxSize& size, long style, const wxString& name)
    : wxDialog(parent, id, title, pos, size, style, name)
    , m_ButtonFlags(button_flags)
    , m_TopSizer(new wxFlexGridSizer(1, 0, 0))
    , m_UserSizer(new wxFlexGridSizer(1, 0, 0))
{ }

void QelDialog::GrowLastRow(const wxSizerFlags& flags)
{
    if ((flags.GetFlags() & wxEXPAND) == 0) return;
    const size_t rows = m_UserSizer->GetChildren().GetCount();
    if (rows > 0) m_UserSizer->AddGrowableRow(rows - 1);
}

wxSizerItem* QelDialog::AddUserSizer(wxWindow* window, const wxSizerFlags& flags)
{
    wxCHECK_MSG(!m_LaidOut, nullptr, "dialog already laid out");
    wxSizerItem* item = m_UserSizer->Add(window, flags);
    GrowLastRow(flags);
    return item;
}

wxSizerItem* QelDialog::AddUserSizer(wxSizer* sizer, const wxSizerFlags& flags)
{
    wxCHECK_MSG(!m_LaidOut, nullptr, "dialog already laid out");
    wxSizerItem* item = m_UserSizer->Add(sizer, flags);
    GrowLastRow(flags);
    return item;
}

void QelDialog::LayoutSizers(bool add_separator_line)
{
    wxCHECK_RET(!m_LaidOut, "dialog already laid out");
    m_LaidOut = true;

    m_TopSizer->AddGrowableCol(0);
    m_UserSizer->AddGrowableCol(0);

    // Expand alone: the toolkit refuses expansion together with centring.
    const wxSizerFlags flags = wxSizerFlags().Expand().Border();
    const int border = wxSizerFlags::GetDefaultBorder();

    m_TopSizer->AddSpacer(border);
    m_TopSizer->Add(m_UserSizer, flags);
    m_TopSizer->AddGrowableRow(m_TopSizer->GetChildren().GetCount() - 1);

    if (m_ButtonFlags != 0) {
        wxSizer* buttons = add_separator_line ? CreateSeparatedButtonSizer(m_ButtonFlags)
                                              : CreateButtonSizer(m_ButtonFlags);
        if (buttons != nullptr) m_TopSizer->Add(buttons, flags);
    }
    m_TopSizer->AddSpacer(border);

    SetSizerAndFit(m_TopSizer);
}
