#include <qelkit/managedframe.h>

#include <set>
#include <vector>

#include <wx/config.h>
#include <wx/log.h>
#include <wx/panel.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/statusbr.h>

#include <qelkit/frd.h>
#include <qelkit/paint.h>
#include <qelkit/stc.h>
#include <qelkit/toolbar.h>
#include <qelkit/vi.h>

namespace {

const char* const ViBar = "VIBAR";

} // namespace

// clang-format off
wxBEGIN_EVENT_TABLE(QelManagedFrame, QelFrame)
    EVT_MENU(wxID_PREFERENCES, QelManagedFrame::OnCommand)
    EVT_MENU_RANGE(ID_VIEW_PANE_LOWEST, ID_VIEW_PANE_HIGHEST, QelManagedFrame::OnCommand)
    EVT_UPDATE_UI_RANGE(ID_VIEW_PANE_LOWEST, ID_VIEW_PANE_HIGHEST, QelManagedFrame::OnUpdateUI)
wxEND_EVENT_TABLE()
// clang-format on

QelManagedFrame::QelManagedFrame(wxWindow* parent, wxWindowID id, const wxString& title, long style)
    : QelFrame(parent, id, title, style)
    , m_Manager(this, wxAUI_MGR_DEFAULT)
{
    // The manager clears and draws all of the frame it manages, and swallows
    // the toolkit's erasing: a device context made for that erasing alone
    // cost every blink of the caret, which repaints its editor's ancestors.
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    QelSkipPaintsUnderChildren(m_Manager, this);
    m_ToolBar = new QelToolBar(this);
    m_ToolBar->AddControls();
    AddToolBarPane(m_ToolBar, "TOOLBAR", _("Toolbar"));
    AddToolBarPane(new QelFindToolBar(this), "FINDBAR", _("Findbar"));
    AddToolBarPane(CreateViPanel(), ViBar, wxEmptyString);
    m_Manager.Update();
}

QelManagedFrame::~QelManagedFrame()
{
    m_Manager.UnInit();
}

wxVisualAttributes QelManagedFrame::GetDefaultAttributes() const
{
    return m_DefaultAttributes.Get([this] { return QelFrame::GetDefaultAttributes(); });
}

bool QelManagedFrame::AddToolBarPane(wxWindow* window, const wxString& name,
                                     const wxString& caption)
{
    wxAuiPaneInfo info;
    info.Name(name).LeftDockable(false).RightDockable(false);
    if (!caption.empty()) {
        info.Caption(caption).ToolbarPane().Top().Show();
    } else {
        // The vi bar: one fixed line under everything else, shown on demand.
        info.Bottom()
            .Hide()
            .CloseButton(false)
            .DockFixed(true)
            .Movable(false)
            .Row(10)
            .CaptionVisible(false);
    }
    return m_Manager.AddPane(window, info);
}

wxPanel* QelManagedFrame::CreateViPanel()
{
    auto* panel = new wxPanel(this);
    m_viTextPrefix = new wxStaticText(panel, wxID_ANY, wxEmptyString);
    m_viTextCtrl = new QelViTextCtrl(panel, this);

    auto* sizer = new wxFlexGridSizer(2, 0, 0);
    sizer->AddGrowableCol(1);
    sizer->Add(m_viTextPrefix, wxSizerFlags().CenterVertical().Border(wxLEFT | wxRIGHT));
    sizer->Add(m_viTextCtrl, wxSizerFlags().Expand());
    panel->SetSizerAndFit(sizer);
    return panel;
}

bool QelManagedFrame::AllowClose(int WXUNUSED(id), wxWindow* WXUNUSED(page))
{
    SetFindFocus(nullptr);
    return true;
}

void QelManagedFrame::OnNotebook(int WXUNUSED(id), wxWindow* page)
{
    SetFindFocus(page);
}

void QelManagedFrame::SyncCloseAll(int WXUNUSED(id))
{
    SetFindFocus(nullptr);
}

void QelManagedFrame::GetViCommand(QelVi* vi, const wxString& command)
{
    wxCHECK_RET(vi != nullptr && !command.empty(), "no vi command");
    // vi passes a search typed with a count ("3/") as it stands: the last
    // character says what the bar is for.
    m_viTextPrefix->SetLabelText(wxString(command.Last()));
    m_viTextCtrl->SetVi(vi);
    ShowViBar(true);
}

wxString QelManagedFrame::GetViTextPrefix() const
{
    return m_viTextPrefix->GetLabelText();
}

bool QelManagedFrame::GetViCommandIsFind() const
{
    return GetViCommandIsFindNext() || GetViCommandIsFindPrevious();
}

bool QelManagedFrame::GetViCommandIsFindNext() const
{
    return GetViTextPrefix() == "/";
}

bool QelManagedFrame::GetViCommandIsFindPrevious() const
{
    return GetViTextPrefix() == "?";
}

void QelManagedFrame::HideViBar()
{
    wxAuiPaneInfo& pane = m_Manager.GetPane(ViBar);
    if (!pane.IsShown()) return;
    pane.Hide();
    m_Manager.Update();
    FocusViEditor();
}

void QelManagedFrame::ShowViMessage(const wxString& text)
{
    if (wxStatusBar* bar = GetStatusBar(); bar != nullptr && bar->IsShown()) {
        bar->SetStatusText(text, 0);
        HideViBar();
        return;
    }
    m_viTextPrefix->SetLabelText(text);
    FocusViEditor();
    ShowViBar(false);
}

void QelManagedFrame::ShowViBar(bool with_entry)
{
    m_viTextCtrl->Show(with_entry);
    m_viTextCtrl->GetParent()->Layout();
    m_Manager.GetPane(ViBar).Show();
    m_Manager.Update();
}

void QelManagedFrame::FocusViEditor()
{
    if (QelSTC* stc = m_viTextCtrl->GetSTC(); stc != nullptr) stc->SetFocus();
}

void QelManagedFrame::TogglePane(const wxString& pane)
{
    wxAuiPaneInfo& info = m_Manager.GetPane(pane);
    wxCHECK_RET(info.IsOk(), "info.IsOk()");
    info.Show(!info.IsShown());
    m_Manager.Update();
}

namespace {

// The pane names of a layout as the toolkit writes it: parts end with "|",
// fields with ";", and a delimiter inside a value is escaped with "\\". One
// pass, however long the layout.
std::vector<wxString> PaneNames(const wxString& perspective)
{
    std::vector<wxString> names;
    wxString field;
    for (auto it = perspective.begin(); it != perspective.end(); ++it) {
        const wxUniChar c = *it;
        if (c == '\\' && it + 1 != perspective.end() && (it[1] == '|' || it[1] == ';')) {
            field += *++it;
        } else if (c == '|' || c == ';') {
            if (field.StartsWith("name=")) names.push_back(field.Mid(5));
            field.clear();
        } else {
            field += c;
        }
    }
    return names;
}

} // namespace

bool QelManagedFrame::LoadPerspective(const wxString& perspective)
{
    // The toolkit takes the panes it knows and skips the others, but each
    // one it skips costs a pass over the rest of the text: a damaged layout
    // of many panes would hold the start for many seconds.
    std::set<wxString> seen;
    for (const wxString& name : PaneNames(perspective)) {
        if (!m_Manager.GetPane(name).IsOk() || !seen.insert(name).second) {
            wxLogWarning(_("The layout in the settings is ignored: it names the pane %s, which "
                           "this window does not have or names twice"),
                         name.Left(100));
            return false;
        }
    }
    if (m_Manager.LoadPerspective(perspective, false)) return true;
    wxLogWarning(_("The layout in the settings is ignored: it is not a layout"));
    return false;
}

void QelManagedFrame::OnCommand(wxCommandEvent& event)
{
    switch (event.GetId()) {
    case ID_VIEW_FINDBAR:
        TogglePane("FINDBAR");
        break;
    case ID_VIEW_TOOLBAR:
        TogglePane("TOOLBAR");
        break;
    case wxID_PREFERENCES:
        // One shared modeless dialog; its Apply reaches OnCommandConfigDialog.
        QelSTC::ConfigDialog(this, _("Editor Options"),
                             EDITOR_CONFIG_MODELESS | EDITOR_CONFIG_APPLY
                                 | EDITOR_CONFIG_NO_INCLUDE_DIRECTORY,
                             wxID_PREFERENCES);
        break;
    default:
        wxFAIL;
    }
}

void QelManagedFrame::OnUpdateUI(wxUpdateUIEvent& event)
{
    switch (event.GetId()) {
    case ID_VIEW_FINDBAR:
        event.Check(m_Manager.GetPane("FINDBAR").IsShown());
        break;
    case ID_VIEW_TOOLBAR:
        event.Check(m_Manager.GetPane("TOOLBAR").IsShown());
        break;
    default:
        wxFAIL;
    }
}

// clang-format off
wxBEGIN_EVENT_TABLE(QelViTextCtrl, wxTextCtrl)
    EVT_CHAR(QelViTextCtrl::OnKey)
    EVT_SET_FOCUS(QelViTextCtrl::OnFocus)
    EVT_TEXT(wxID_ANY, QelViTextCtrl::OnCommand)
    EVT_TEXT_ENTER(wxID_ANY, QelViTextCtrl::OnEnter)
wxEND_EVENT_TABLE()
// clang-format on

QelViTextCtrl::QelViTextCtrl(wxWindow* parent, QelManagedFrame* frame, wxWindowID id,
                             const wxPoint& pos, const wxSize& size)
    : wxTextCtrl(parent, id, wxEmptyString, pos, size, wxTE_PROCESS_ENTER)
    , m_Frame(frame)
{ }

QelVi* QelViTextCtrl::GetVi() const
{
    return m_STC ? &m_STC->GetVi() : nullptr;
}

void QelViTextCtrl::SetVi(QelVi* vi)
{
    m_UserInput = false;
    m_STC = vi != nullptr ? vi->GetSTC() : nullptr;
    Show();

    wxString value;
    if (m_Frame->GetViCommandIsFind()) {
        QelFindReplaceData* frd = QelFindReplaceData::Get();
        if (m_STC != nullptr && m_STC->HasSelectedText())
            frd->SetFindString(m_STC->GetSelectedText());
        value = frd->GetFindString();
    } else {
        value = wxConfigBase::Get()->Read("vicommand", wxEmptyString);
    }
    // m_UserInput is false: the change searches nothing.
    SetValue(value);
    SelectAll();

    // The focus event saves it too, but none comes when the entry kept the
    // focus.
    if (m_STC) m_STC->PositionSave();
    SetFocus();
}

void QelViTextCtrl::OnCommand(wxCommandEvent& event)
{
    event.Skip();
    if (!m_UserInput || !m_STC || !m_Frame->GetViCommandIsFind()) return;

    // Every change searches again from where the caret was, between the
    // keys in a long document.
    m_STC->PositionRestore();
    m_STC->FindAsYouType(GetValue(), m_STC->GetVi().GetSearchFlags(),
                         m_Frame->GetViCommandIsFindNext());
}

void QelViTextCtrl::OnEnter(wxCommandEvent& WXUNUSED(event))
{
    const wxString value = GetValue();

    if (m_Frame->GetViCommandIsFind()) {
        if (m_UserInput) {
            // The incremental search found it already.
            if (!value.empty()) QelFindReplaceData::Get()->SetFindString(value);
        } else if (m_STC) {
            m_STC->FindNext(value, m_STC->GetVi().GetSearchFlags(),
                            m_Frame->GetViCommandIsFindNext());
        }
        m_Frame->HideViBar();
    } else if (m_Frame->GetViTextPrefix() == ":" && m_STC) {
        // A command that fails leaves the bar open with its text.
        if (m_STC->GetVi().ExecCommand(value)) wxConfigBase::Get()->Write("vicommand", value);
    }
}

void QelViTextCtrl::OnFocus(wxFocusEvent& event)
{
    event.Skip();
    if (m_STC) m_STC->PositionSave();
}

void QelViTextCtrl::OnKey(wxKeyEvent& event)
{
    switch (event.GetKeyCode()) {
    case WXK_ESCAPE:
        if (m_STC) m_STC->PositionRestore();
        m_Frame->HideViBar();
        m_UserInput = false;
        break;
    case WXK_RETURN:
    case WXK_NUMPAD_ENTER:
        event.Skip();
        break;
    default:
        m_UserInput = true;
        event.Skip();
    }
}
