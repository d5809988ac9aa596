#include <qelkit/toolbar.h>

#include <wx/accel.h>
#include <wx/artprov.h>
#include <wx/aui/framemanager.h>
#include <wx/checkbox.h>
#include <wx/config.h>
#include <wx/stockitem.h>

#include <qelkit/art.h>
#include <qelkit/frame.h>
#include <qelkit/frd.h>
#include <qelkit/stc.h>

namespace {

// A check box on a tool bar, with its tip and its first state.
wxCheckBox* MakeCheckBox(wxWindow* parent, int id, const wxString& label, const wxString& tip,
                         bool value)
{
    auto* box = new wxCheckBox(parent, id, label);
    box->SetToolTip(tip);
    box->SetValue(value);
    return box;
}

} // namespace

// clang-format off
wxBEGIN_EVENT_TABLE(QelToolBar, wxAuiToolBar)
    EVT_CHECKBOX(ID_TOOLBAR_HEX, QelToolBar::OnCommand)
    EVT_CHECKBOX(ID_TOOLBAR_SYNC, QelToolBar::OnCommand)
wxEND_EVENT_TABLE()
// clang-format on

QelToolBar::QelToolBar(QelFrame* frame, wxWindowID id, const wxPoint& pos, const wxSize& size,
                       long style)
    : wxAuiToolBar(frame, id, pos, size, style | wxAUI_TB_HORZ_TEXT)
    , m_Frame(frame)
{ }

void QelToolBar::AddControls()
{
    for (const int id : {wxID_OPEN, wxID_SAVE, wxID_PRINT, wxID_FIND}) AddTool(id);

    // The settings are read once here; a click writes them at once.
    const wxConfigBase* config = wxConfigBase::Get();
    m_HexMode = MakeCheckBox(this, ID_TOOLBAR_HEX, "Hex", _("Open in hex mode"),
                             config->ReadBool("HexMode", false));
    AddControl(m_HexMode);
    m_SyncMode = MakeCheckBox(this, ID_TOOLBAR_SYNC, "Sync", _("Synchronize modified files"),
                              config->ReadBool("AllowSync", true));
    AddControl(m_SyncMode);

    Realize();
}

bool QelToolBar::Realize()
{
    if (!wxAuiToolBar::Realize()) return false;
    FitPane();
    return true;
}

void QelToolBar::FitPane()
{
    wxAuiManager* manager = wxAuiManager::GetManager(this);
    if (manager == nullptr) return;
    if (wxAuiPaneInfo& pane = manager->GetPane(this); pane.IsOk())
        pane.BestSize(GetHintSize(pane.dock_direction));
}

wxAuiToolBarItem* QelToolBar::AddTool(int toolId, const wxString& label, const wxBitmap& bitmap,
                                      const wxString& shortHelp, wxItemKind kind)
{
    if (const wxBitmap stock = QelStockArt(toolId).GetBitmap(wxART_TOOLBAR); stock.IsOk())
        return wxAuiToolBar::AddTool(toolId, wxEmptyString, stock,
                                     wxGetStockLabel(toolId, wxSTOCK_NOFLAGS), kind);
    return wxAuiToolBar::AddTool(toolId, label, bitmap, shortHelp, kind);
}

void QelToolBar::OnCommand(wxCommandEvent& event)
{
    switch (event.GetId()) {
    case ID_TOOLBAR_HEX:
        wxConfigBase::Get()->Write("HexMode", m_HexMode->GetValue());
        break;
    case ID_TOOLBAR_SYNC:
        wxConfigBase::Get()->Write("AllowSync", m_SyncMode->GetValue());
        break;
    default:
        wxFAIL;
    }
}

// clang-format off
wxBEGIN_EVENT_TABLE(QelTextCtrl, wxTextCtrl)
    EVT_SET_FOCUS(QelTextCtrl::OnFocus)
    EVT_TEXT(wxID_ANY, QelTextCtrl::OnCommand)
    EVT_TEXT_ENTER(wxID_ANY, QelTextCtrl::OnEnter)
    EVT_MENU(wxID_DELETE, QelTextCtrl::OnDelete)
wxEND_EVENT_TABLE()
// clang-format on

QelTextCtrl::QelTextCtrl(wxWindow* parent, QelFrame* frame, wxWindowID id, const wxPoint& pos,
                         const wxSize& size)
    : wxTextCtrl(parent, id, QelFindReplaceData::Get()->GetFindString(), pos, size,
                 wxTE_PROCESS_ENTER)
    , m_Frame(frame)
{
    wxAcceleratorEntry entries[1];
    entries[0].Set(wxACCEL_NORMAL, WXK_DELETE, wxID_DELETE);
    SetAcceleratorTable(wxAcceleratorTable(1, entries));
}

void QelTextCtrl::Find(bool find_next, bool restore_position)
{
    QelSTC* stc = m_Frame != nullptr ? m_Frame->GetSTC() : nullptr;
    if (stc == nullptr) return;

    m_Frame->SetFindFocus(stc);
    const int flags = QelFindReplaceData::Get()->STCFlags();
    // Restoring the position means the text is being typed: a long document
    // is searched between the keys.
    if (restore_position) {
        stc->PositionRestore();
        stc->FindAsYouType(GetValue(), flags, find_next);
    } else {
        stc->FindNext(GetValue(), flags, find_next);
    }
}

void QelTextCtrl::OnCommand(wxCommandEvent& event)
{
    event.Skip();
    Find(true, true);
}

// The Delete key comes here as a command (the accelerator runs before the
// entry sees the key). It deletes in the entry and goes no further: passed
// on, the frame would forward it to the editor and delete there.
void QelTextCtrl::OnDelete(wxCommandEvent& WXUNUSED(event))
{
    long from = 0;
    long to = 0;
    GetSelection(&from, &to);
    if (from == to) {
        if (to >= GetLastPosition()) return;
        to = from + 1;
    }
    Remove(from, to);
}

void QelTextCtrl::OnEnter(wxCommandEvent& WXUNUSED(event))
{
    if (GetValue().empty()) return;
    QelFindReplaceData::Get()->SetFindString(GetValue());
    Find(true, false);
}

void QelTextCtrl::OnFocus(wxFocusEvent& event)
{
    if (QelSTC* stc = m_Frame != nullptr ? m_Frame->GetSTC() : nullptr; stc != nullptr)
        stc->PositionSave();
    event.Skip();
}

// clang-format off
wxBEGIN_EVENT_TABLE(QelFindToolBar, QelToolBar)
    EVT_CHECKBOX(ID_FIND_MATCH_WHOLE_WORD, QelFindToolBar::OnCommand)
    EVT_CHECKBOX(ID_FIND_MATCH_CASE, QelFindToolBar::OnCommand)
    EVT_CHECKBOX(ID_FIND_REGULAR_EXPRESSION, QelFindToolBar::OnCommand)
    EVT_MENU(wxID_DOWN, QelFindToolBar::OnCommand)
    EVT_MENU(wxID_UP, QelFindToolBar::OnCommand)
    EVT_UPDATE_UI(wxID_DOWN, QelFindToolBar::OnUpdateUI)
    EVT_UPDATE_UI(wxID_UP, QelFindToolBar::OnUpdateUI)
    EVT_UPDATE_UI_RANGE(ID_FIND_MATCH_WHOLE_WORD, ID_FIND_REGULAR_EXPRESSION,
                        QelFindToolBar::OnUpdateUI)
wxEND_EVENT_TABLE()
// clang-format on

QelFindToolBar::QelFindToolBar(QelFrame* frame, wxWindowID id, const wxPoint& pos,
                               const wxSize& size, long style)
    : QelToolBar(frame, id, pos, size, style)
{
    Initialize();

    AddControl(m_FindCtrl);
    AddTool(wxID_DOWN, wxEmptyString, wxArtProvider::GetBitmap(wxART_GO_DOWN, wxART_TOOLBAR),
            _("Find next"));
    AddTool(wxID_UP, wxEmptyString, wxArtProvider::GetBitmap(wxART_GO_UP, wxART_TOOLBAR),
            _("Find previous"));
    AddControl(m_MatchWholeWord);
    AddControl(m_MatchCase);
    AddControl(m_IsRegularExpression);

    Realize();
}

void QelFindToolBar::Initialize()
{
    const QelFindReplaceData* frd = QelFindReplaceData::Get();

    m_FindCtrl = new QelTextCtrl(this, GetFrame());
    m_MatchCase = MakeCheckBox(this, ID_FIND_MATCH_CASE, frd->GetTextMatchCase(),
                               _("Search case sensitive"), frd->MatchCase());
    m_MatchWholeWord = MakeCheckBox(this, ID_FIND_MATCH_WHOLE_WORD, frd->GetTextMatchWholeWord(),
                                    _("Search matching words"), frd->MatchWord());
    m_IsRegularExpression
        = MakeCheckBox(this, ID_FIND_REGULAR_EXPRESSION, frd->GetTextRegEx(),
                       _("Search using regular expressions"), frd->UseRegularExpression());
}

void QelFindToolBar::OnCommand(wxCommandEvent& event)
{
    QelFindReplaceData* frd = QelFindReplaceData::Get();

    switch (event.GetId()) {
    case ID_FIND_MATCH_WHOLE_WORD:
        frd->SetMatchWord(m_MatchWholeWord->GetValue());
        break;
    case ID_FIND_MATCH_CASE:
        frd->SetMatchCase(m_MatchCase->GetValue());
        break;
    case ID_FIND_REGULAR_EXPRESSION:
        frd->SetUseRegularExpression(m_IsRegularExpression->GetValue());
        break;
    case wxID_DOWN:
    case wxID_UP:
        m_FindCtrl->Find(event.GetId() == wxID_DOWN, false);
        break;
    default:
        wxFAIL;
    }
}

// The boxes show the shared settings whatever changed them last (the find
// dialog, find in files, a selection's find, another frame's bar): Replace
// has no switch of its own, so what is ticked here is what it runs with.
void QelFindToolBar::OnUpdateUI(wxUpdateUIEvent& event)
{
    const QelFindReplaceData* frd = QelFindReplaceData::Get();

    switch (event.GetId()) {
    case wxID_DOWN:
    case wxID_UP:
        event.Enable(!m_FindCtrl->GetValue().empty());
        break;
    case ID_FIND_MATCH_WHOLE_WORD:
        event.Check(frd->MatchWord());
        break;
    case ID_FIND_MATCH_CASE:
        event.Check(frd->MatchCase());
        break;
    case ID_FIND_REGULAR_EXPRESSION:
        event.Check(frd->UseRegularExpression());
        break;
    default:
        wxFAIL;
    }
}
