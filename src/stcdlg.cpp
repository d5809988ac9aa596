#include <qelkit/stcdlg.h>

#include <wx/app.h>
#include <wx/persist/toplevel.h>

#include <qelkit/shell.h>

QelSTCEntryDialog::QelSTCEntryDialog(wxWindow* parent, const wxString& caption,
                                     const wxString& text, const wxString& prompt,
                                     long button_style, bool use_shell, wxWindowID id,
                                     const wxPoint& pos, const wxSize& size, long style,
                                     const wxString& name)
    : QelDialog(parent, caption, button_style, id, pos, size, style, name)
{
    if (!prompt.empty()) AddUserSizer(CreateTextSizer(prompt), wxSizerFlags().Center());

    if (use_shell)
        m_STC = new QelSTCShell(this, ">", wxEmptyString, true, -1, wxEmptyString, EDITOR_MENU_ALL);
    else
        m_STC = new QelSTC(this, text, 0L, wxString(), long(EDITOR_MENU_ALL));

    // A plain entry field: no edge, no margins, nothing invisible shown.
    m_STC->SetEdgeMode(wxSTC_EDGE_NONE);
    m_STC->ResetMargins(true);
    m_STC->SetViewEOL(false);
    m_STC->SetViewWhiteSpace(wxSTC_WS_INVISIBLE);

    AddUserSizer(m_STC, wxSizerFlags().Expand());
    LayoutSizers(true);

    // After the layout, which fits the dialog to its content: restored
    // before, the size would not survive it.
    wxPersistentRegisterAndRestore(this, name);

    Bind(wxEVT_MENU, &QelSTCEntryDialog::OnCommand, this, wxID_FIND);
    Bind(wxEVT_MENU, &QelSTCEntryDialog::OnCommand, this, wxID_REPLACE);
}

QelSTCEntryDialog::~QelSTCEntryDialog()
{
    // The kept size is saved on the destroy event. Sent now, while this is
    // still a dialog, not from the window base's destructor.
    SendDestroyEvent();
}

QelSTCShell* QelSTCEntryDialog::GetSTCShell()
{
    return dynamic_cast<QelSTCShell*>(m_STC);
}

wxString QelSTCEntryDialog::GetText() const
{
    return m_STC->GetText();
}

wxCharBuffer QelSTCEntryDialog::GetTextRaw() const
{
    return m_STC->GetTextRaw();
}

const QelLexer& QelSTCEntryDialog::GetLexer() const
{
    return m_STC->GetLexer();
}

bool QelSTCEntryDialog::SetLexer(const wxString& lexer)
{
    return m_STC->SetLexer(lexer, false);
}

void QelSTCEntryDialog::OnCommand(wxCommandEvent& event)
{
    wxCHECK_RET(event.GetId() == wxID_FIND || event.GetId() == wxID_REPLACE, "unexpected command");
    // The main window's find and replace dialogs work on this editor too.
    // A dialog that is itself the top window would only get the event back.
    wxWindow* top = wxTheApp != nullptr ? wxTheApp->GetTopWindow() : nullptr;
    if (top != nullptr && top != this) wxPostEvent(top, event);
}
