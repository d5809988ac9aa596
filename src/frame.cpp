#include <qelkit/frame.h>

#include <string>

#include <wx/accel.h>
#include <wx/config.h>
#include <wx/dnd.h>
#include <wx/fdrepdlg.h>
#include <wx/html/htmprint.h>
#include <wx/listctrl.h>
#include <wx/log.h>
#include <wx/menu.h>
#include <wx/msgdlg.h>
#include <wx/persist/toplevel.h>
#include <wx/stc/stc.h>

#include <qelkit/frd.h>
#include <qelkit/grid.h>
#include <qelkit/lexers.h>
#include <qelkit/listview.h>
#include <qelkit/openfiles.h>
#include <qelkit/printing.h>
#include <qelkit/stc.h>
#include <qelkit/vcsentry.h>
#include <qelkit/vcsmenu.h>
#include <qelkit/util.h>

QelStatusBar* QelFrame::m_StatusBar = nullptr;

namespace {

// A rectangular selection as the control copies it, each line followed by a
// line end, every byte kept: the toolkit's text is empty for one that is not
// UTF-8. The toolkit's buffer ends in the control's terminating zero.
wxString RectangleText(QelSTC* stc)
{
    const wxCharBuffer bytes = stc->GetSelectedTextRaw();
    size_t length = bytes.length();
    if (length > 0 && bytes.data()[length - 1] == '\0') --length;
    return QelSTCText(bytes.data(), length);
}

// Every drop of files is accepted, whatever opening them gives.
class FileDropTarget : public wxFileDropTarget {
public:
    explicit FileDropTarget(QelFrame* frame)
        : m_Frame(frame)
    { }

    bool OnDropFiles(wxCoord, wxCoord, const wxArrayString& filenames) override
    {
        QelOpenFiles(m_Frame, filenames, 0, wxDIR_DEFAULT);
        return true;
    }

private:
    QelFrame* m_Frame;
};

// The window itself or the nearest parent of the type inside its top-level
// window: lists and grids are composite, and the focus is one of their
// inner windows.
template <class T> T* OwnerOfType(wxWindow* window)
{
    for (; window != nullptr; window = window->GetParent()) {
        if (auto* found = dynamic_cast<T*>(window)) return found;
        if (window->IsTopLevel()) break;
    }
    return nullptr;
}

// The find focus wins over the keyboard focus while it is shown.
template <class T> T* FocusOfType(wxWindow* find_focus)
{
    if (find_focus != nullptr && find_focus->IsShown()) {
        if (T* found = OwnerOfType<T>(find_focus)) return found;
    }
    return OwnerOfType<T>(wxWindow::FindFocus());
}

} // namespace

// clang-format off
wxBEGIN_EVENT_TABLE(QelFrame, wxFrame)
    EVT_FIND(wxID_ANY, QelFrame::OnFindDialog)
    EVT_FIND_CLOSE(wxID_ANY, QelFrame::OnFindDialog)
    EVT_FIND_NEXT(wxID_ANY, QelFrame::OnFindDialog)
    EVT_FIND_REPLACE(wxID_ANY, QelFrame::OnFindDialog)
    EVT_FIND_REPLACE_ALL(wxID_ANY, QelFrame::OnFindDialog)
    EVT_MENU(wxID_FIND, QelFrame::OnCommand)
    EVT_MENU(wxID_REPLACE, QelFrame::OnCommand)
    EVT_MENU(wxID_OPEN, QelFrame::OnCommand)
    EVT_MENU(ID_VIEW_MENUBAR, QelFrame::OnCommand)
    EVT_MENU(ID_VIEW_STATUSBAR, QelFrame::OnCommand)
    EVT_MENU(ID_VIEW_TITLEBAR, QelFrame::OnCommand)
    EVT_UPDATE_UI(ID_VIEW_MENUBAR, QelFrame::OnUpdateUI)
    EVT_UPDATE_UI(ID_VIEW_STATUSBAR, QelFrame::OnUpdateUI)
    EVT_UPDATE_UI(ID_STATUSBAR, QelFrame::OnUpdateUI)
wxEND_EVENT_TABLE()
// clang-format on

QelFrame::QelFrame(wxWindow* parent, wxWindowID id, const wxString& title, long style)
    : wxFrame(parent, id, title, wxDefaultPosition, wxDefaultSize, style, "QelFrame")
{
    Initialize();
    wxPersistentRegisterAndRestore(this, "QelFrame");
    QelPrinting::Get(true)->GetHtmlPrinter()->SetParentWindow(this);
}

QelFrame::~QelFrame()
{
    if (m_FindReplaceDialog != nullptr) m_FindReplaceDialog->Destroy();

    wxConfigBase::Get()->Write("ShowMenuBar", GetMenuBar() != nullptr && GetMenuBar()->IsShown());
    // A hidden menu bar is detached from the frame, which no longer deletes it.
    if (m_MenuBar != nullptr && GetMenuBar() != m_MenuBar) delete m_MenuBar;

    // Another frame may hold the shared status bar: delete only our own.
    if (m_StatusBar != nullptr && m_StatusBar->GetParent() == this) delete m_StatusBar;

    if (QelPrinting* printing = QelPrinting::Get(false);
        printing != nullptr && printing->GetHtmlPrinter()->GetParentWindow() == this)
        printing->GetHtmlPrinter()->SetParentWindow(nullptr);
}

void QelFrame::Initialize()
{
    SetDropTarget(new FileDropTarget(this));

    wxAcceleratorEntry entries[4];
    entries[0].Set(wxACCEL_NORMAL, WXK_F5, wxID_FIND);
    entries[1].Set(wxACCEL_NORMAL, WXK_F6, wxID_REPLACE);
    entries[2].Set(wxACCEL_CTRL, 'B', ID_VIEW_MENUBAR);
    entries[3].Set(wxACCEL_CTRL, 'T', ID_VIEW_TITLEBAR);
    SetAcceleratorTable(wxAcceleratorTable(4, entries));
}

QelGrid* QelFrame::GetGrid()
{
    return FocusOfType<QelGrid>(m_FindFocus.get());
}

QelListView* QelFrame::GetListView()
{
    return FocusOfType<QelListView>(m_FindFocus.get());
}

QelSTC* QelFrame::GetSTC()
{
    return FocusOfType<QelSTC>(m_FindFocus.get());
}

bool QelFrame::OpenFile(const QelFileName& filename, int line_number, const wxString& match,
                        long flags)
{
    QelSTC* stc = GetSTC();
    return stc != nullptr && stc->Open(filename, line_number, match, flags);
}

bool QelFrame::OpenFile(const QelFileName& filename, const QelVCSEntry& vcs, long WXUNUSED(flags))
{
    if (QelSTC* stc = GetSTC(); stc != nullptr) {
        stc->SetText(vcs.GetOutput());
        QelVCSCommandOnSTC(vcs.GetCommand(), filename.GetLexer(), stc);
    } else {
        wxMessageBox(vcs.GetOutput(), wxMessageBoxCaptionStr, wxOK | wxCENTRE);
    }
    return true;
}

void QelFrame::StatusBarDoubleClicked(const wxString& pane)
{
    QelSTC* stc = GetSTC();
    if (pane == "PaneInfo") {
        if (stc != nullptr) {
            stc->GotoDialog(_("Enter Line Number"));
        } else if (QelListView* lv = GetListView(); lv != nullptr) {
            lv->GotoDialog(_("Enter Item Number"));
        }
    } else if (pane == "PaneLexer") {
        if (stc == nullptr || QelLexers::Get()->Count() == 0) return;
        wxString name = stc->GetLexer().GetScintillaLexer();
        if (QelLexers::Get()->ShowDialog(this, name, _("Enter Lexer"))) stc->SetLexer(name, true);
    } else if (pane == "PaneFileType") {
        if (stc != nullptr) stc->FileTypeMenu();
    }
}

void QelFrame::SetMenuBar(wxMenuBar* bar)
{
    if (bar != nullptr) m_MenuBar = bar;
    if (!m_IsCommand && !wxConfigBase::Get()->ReadBool("ShowMenuBar", true)) {
        wxFrame::SetMenuBar(nullptr);
    } else {
        wxFrame::SetMenuBar(bar);
    }
}

wxStatusBar* QelFrame::OnCreateStatusBar(int number, long style, wxWindowID id,
                                         const wxString& name)
{
    m_StatusBar = new QelStatusBar(this, id, style, name);
    m_StatusBar->SetFieldsCount(number);
    return m_StatusBar;
}

QelStatusBar* QelFrame::SetupStatusBar(const std::vector<QelStatusBarPane>& panes, long style,
                                       const wxString& name)
{
    CreateStatusBar(static_cast<int>(panes.size()), style, ID_STATUSBAR, name);
    auto* bar = dynamic_cast<QelStatusBar*>(GetStatusBar());
    wxCHECK_MSG(bar != nullptr, nullptr, "no status bar");
    bar->SetFields(panes);
    return bar;
}

void QelFrame::StatusText(const wxString& text, const wxString& pane)
{
    if (m_StatusBar != nullptr) m_StatusBar->SetStatusText(text, pane);
}

void QelFrame::UpdateStatusBar(QelSTC* stc, const wxString& pane)
{
    wxCHECK_RET(stc != nullptr, "no editor");
    if (pane == "PaneFileType") {
        StatusText(QelFileTypeText(stc->GetFlags(), stc->GetEOLMode()), pane);
    } else if (pane == "PaneLexer") {
        StatusText(stc->GetLexer().GetScintillaLexer(), pane);
    } else if (pane == "PaneInfo") {
        const int caret = stc->GetCurrentPos();
        const int line = stc->LineFromPosition(caret);
        // The editor's own selected text keeps bytes that are not UTF-8, but
        // is empty for a rectangle.
        const QelPaneInfoState state{caret,
                                     stc->GetLineCount(),
                                     line,
                                     stc->PositionFromLine(line),
                                     stc->GetSelectionStart(),
                                     stc->GetSelectionEnd(),
                                     stc->SelectionIsRectangle(),
                                     stc->SelectionIsRectangle() ? RectangleText(stc)
                                                                 : stc->GetSelectedText()};
        StatusText(QelFormatPaneInfo(state), pane);
    } else {
        wxFAIL_MSG("Assert failure");
        StatusText(wxEmptyString, pane);
    }
}

void QelFrame::UpdateStatusBar(const wxListView* lv)
{
    if (lv == nullptr || !lv->IsShown()) return;
    // Called for every row a run adds: no format string.
    const int selected = lv->GetSelectedItemCount();
    std::string text = std::to_string(lv->GetItemCount());
    if (selected != 0) text += "," + std::to_string(selected);
    StatusText(wxString::FromAscii(text.c_str()), "PaneInfo");
}

void QelFrame::OnCommand(wxCommandEvent& event)
{
    m_IsCommand = true;

    switch (event.GetId()) {
    case wxID_FIND:
        ShowFindDialog(false);
        break;
    case wxID_REPLACE:
        ShowFindDialog(true);
        break;
    case wxID_OPEN:
        if (event.GetString().empty()) {
            QelOpenFilesDialog(this, wxFD_OPEN | wxFD_MULTIPLE | wxFD_CHANGE_DIR,
                               wxFileSelectorDefaultWildcardStr, false, 0, wxDIR_DEFAULT);
        } else {
            OpenCommand(event.GetString());
        }
        break;
    case ID_VIEW_MENUBAR:
        SetMenuBar(GetMenuBar() != nullptr ? nullptr : m_MenuBar);
        break;
    case ID_VIEW_STATUSBAR:
        if (wxStatusBar* bar = GetStatusBar(); bar != nullptr) {
            bar->Show(!bar->IsShown());
            SendSizeEvent();
        }
        break;
    case ID_VIEW_TITLEBAR:
        ToggleTitleBar();
        break;
    default:
        wxFAIL_MSG("Assert failure");
        break;
    }
}

void QelFrame::OnUpdateUI(wxUpdateUIEvent& event)
{
    switch (event.GetId()) {
    case ID_VIEW_MENUBAR:
        event.Check(GetMenuBar() != nullptr && GetMenuBar()->IsShown());
        break;
    case ID_VIEW_STATUSBAR:
        event.Check(GetStatusBar() != nullptr && GetStatusBar()->IsShown());
        break;
    case ID_STATUSBAR:
        if (QelSTC* stc = GetSTC(); stc != nullptr) UpdateStatusBar(stc, "PaneInfo");
        break;
    default:
        wxFAIL_MSG("Assert failure");
        break;
    }
}

void QelFrame::ShowFindDialog(bool replace)
{
    if (m_FindReplaceDialog != nullptr) {
        m_FindReplaceDialog->Destroy();
        m_FindReplaceDialog = nullptr;
    }
    m_FindFocus = wxWindow::FindFocus();
    // A one-line selection of the editor becomes the find string.
    if (QelSTC* stc = GetSTC(); stc != nullptr) stc->GetFindString();
    m_FindReplaceDialog = replace
        ? new wxFindReplaceDialog(this, QelFindReplaceData::Get(true), _("Replace"),
                                  wxFR_REPLACEDIALOG)
        : new wxFindReplaceDialog(this, QelFindReplaceData::Get(true), _("Find"), 0);
    m_FindReplaceDialog->Show();
}

void QelFrame::OnFindDialog(wxFindDialogEvent& event)
{
    if (event.GetEventType() == wxEVT_FIND_CLOSE) {
        wxCHECK_RET(m_FindReplaceDialog != nullptr, "no find dialog");
        m_FindReplaceDialog->Destroy();
        m_FindReplaceDialog = nullptr;
        return;
    }
    if (m_FindFocus == nullptr) return;
    // The focus of a list or grid is one of its inner windows: the event
    // goes to the list or grid itself.
    wxWindow* target = m_FindFocus.get();
    if (QelListView* lv = OwnerOfType<QelListView>(target); lv != nullptr) {
        target = lv;
    } else if (QelGrid* grid = OwnerOfType<QelGrid>(target); grid != nullptr) {
        target = grid;
    }
    // The copy must not come back here: a window that does not handle this
    // kind of find event (a list or grid does not replace) would pass it up
    // to the frame, which would post it again, for ever.
    wxEvent* copy = event.Clone();
    copy->StopPropagation();
    wxQueueEvent(target, copy);
}

void QelFrame::ToggleTitleBar()
{
    const long style = GetWindowStyleFlag();
    SetWindowStyleFlag((style & wxCAPTION) == 0 ? wxDEFAULT_FRAME_STYLE : style & ~wxCAPTION);
    Refresh();
}

void QelFrame::OpenCommand(const wxString& names)
{
    wxString folder;
    if (QelSTC* stc = GetSTC(); stc != nullptr) {
        folder = stc->GetFileName().GetPath(wxPATH_GET_VOLUME);
        if (!folder.empty() && names.find_first_of("*?") != wxString::npos)
            wxSetWorkingDirectory(folder);
    }
    wxArrayString missing;
    const wxArrayString files = QelOpenCommandNames(names, folder, &missing);
    for (const auto& name : missing) wxLogError("%s", _("Cannot locate file") + ": " + name);
    QelOpenFiles(this, files, 0, wxDIR_DEFAULT);
}

wxString QelFormatPaneInfo(const QelPaneInfoState& s)
{
    // Taken at every idle time of an editor: no format string.
    std::string text;
    if (s.caret == 0) {
        text = std::to_string(s.line_count);
    } else {
        const int column = s.caret - s.line_start + 1;
        const int length = s.sel_end - s.sel_start;
        text = std::to_string(s.line + 1) + ',';
        if (length == 0) {
            text += std::to_string(column);
        } else if (s.rectangular) {
            text += std::to_string(column) + ',' + std::to_string(s.sel_text.length());
        } else {
            const int lines = QelGetNumberOfLines(s.sel_text);
            text += std::to_string(lines < 2 ? column : lines) + ',' + std::to_string(length);
        }
    }
    return wxString::FromAscii(text.c_str());
}

wxString QelFileTypeText(long editor_flags, int eol_mode)
{
    if ((editor_flags & EDITOR_HEX) != 0) return "HEX";
    switch (eol_mode) {
    case wxSTC_EOL_CRLF:
        return "DOS";
    case wxSTC_EOL_CR:
        return "MAC";
    case wxSTC_EOL_LF:
        return "UNIX";
    default:
        return "UNKNOWN";
    }
}
