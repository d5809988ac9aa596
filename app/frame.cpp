#include "frame.h"

#include "log.h"

#include <wx/app.h>
#include <wx/filename.h>
#include <wx/html/htmprint.h>
#include <wx/menu.h>
#include <wx/sizer.h>

#include <qelkit/filedlg.h>
#include <qelkit/paths.h>
#include <qelkit/notebook.h>
#include <qelkit/printing.h>
#include <qelkit/util.h>
#include <qelkit/stc.h>

namespace {

// Asks to save a changed editor; false when the user keeps it open.
bool SaveChangesOf(wxWindow* parent, QelSTC* stc)
{
    QelFileDialog dialog(parent, &stc->GetFile(), wxFileSelectorPromptStr,
                         wxFileSelectorDefaultWildcardStr, wxFD_SAVE | wxFD_OVERWRITE_PROMPT);
    return dialog.ShowModalIfChanged(false) != wxID_CANCEL;
}

wxMenuBar* MakeMenuBar()
{
    auto* file = new wxMenu;
    file->Append(wxID_OPEN);
    file->Append(wxID_SAVE);
    file->Append(wxID_SAVEAS);
    file->Append(wxID_CLOSE);
    file->AppendSeparator();
    file->Append(wxID_PRINT_SETUP, QelEllipsed(_("Page &Setup")));
    file->Append(wxID_PREVIEW);
    file->Append(wxID_PRINT);
    file->AppendSeparator();
    file->Append(wxID_EXIT);

    auto* edit = new wxMenu;
    edit->Append(wxID_UNDO);
    edit->Append(wxID_REDO);
    edit->AppendSeparator();
    edit->Append(wxID_CUT);
    edit->Append(wxID_COPY);
    edit->Append(wxID_PASTE);
    edit->Append(wxID_SELECTALL);
    edit->AppendSeparator();
    edit->Append(wxID_FIND);
    edit->Append(wxID_REPLACE);
    edit->Append(ID_EDIT_FIND_NEXT, _("Find &Next") + "\tF3");
    edit->Append(ID_EDIT_FIND_PREVIOUS, _("Find &Previous") + "\tF4");
    edit->Append(wxID_JUMP_TO, _("&Go To Line...") + "\tCtrl+G");
    edit->AppendSeparator();
    edit->Append(wxID_PREFERENCES, _("Editor &Options..."));

    auto* bar = new wxMenuBar;
    bar->Append(file, _("&File"));
    bar->Append(edit, _("&Edit"));
    return bar;
}

} // namespace

Frame::Frame(bool)
    : QelManagedFrame(nullptr, wxID_ANY, wxTheApp->GetAppDisplayName())
    , m_LogFile(QelLogFileName(wxTheApp->GetAppName()).GetFullPath())
{
    m_LogTarget = new QelLogStderr(QelOpenLogFile(m_LogFile), this);
    m_OldLog = wxLog::SetActiveTarget(m_LogTarget);
    m_Editors = new QelNotebook(this, this, ID_NOTEBOOK_EDITORS);
    SetMenuBar(MakeMenuBar());
    SetupStatusBar({QelStatusBarPane(), QelStatusBarPane("PaneFileType", 60),
                    QelStatusBarPane("PaneLexer", 80), QelStatusBarPane("PaneInfo", 100)});
    GetManager().AddPane(m_Editors, wxAuiPaneInfo().Name("EDITORS").CenterPane());
    GetManager().Update();

    Bind(wxEVT_CLOSE_WINDOW, &Frame::OnClose, this);
    Bind(wxEVT_IDLE, &Frame::OnIdle, this);
    for (const int id : {wxID_SAVE, wxID_SAVEAS, wxID_CLOSE, wxID_EXIT})
        Bind(wxEVT_MENU, &Frame::OnFile, this, id);
    Bind(wxEVT_MENU, &Frame::OnEdit, this, wxID_CUT, wxID_CLEAR);
    for (const int id : {wxID_PRINT, wxID_PRINT_SETUP, wxID_PREVIEW})
        Bind(wxEVT_MENU, &Frame::OnPrint, this, id);
    Bind(
        wxEVT_MENU,
        [this](wxCommandEvent&) {
            QelSTC::ConfigDialog(this, _("Editor Options"),
                                 EDITOR_CONFIG_MODELESS | EDITOR_CONFIG_APPLY, wxID_PREFERENCES);
        },
        wxID_PREFERENCES);
    Bind(wxEVT_MENU, &Frame::OnEdit, this, wxID_UNDO, wxID_REDO);
    for (const int id : {int(wxID_SELECTALL), int(wxID_JUMP_TO), int(ID_EDIT_FIND_NEXT),
                         int(ID_EDIT_FIND_PREVIOUS)})
        Bind(wxEVT_MENU, &Frame::OnEdit, this, id);

    SetSize(FromDIP(wxSize(900, 700)));
}

Frame::~Frame()
{
    RemoveLog();
    delete m_OldLog;
}

void Frame::RemoveLog()
{
    // The target we replaced takes the messages of the shut-down; a frame
    // destroyed without a close leaves no target pointing at it.
    if (m_LogTarget != nullptr && wxLog::GetActiveTarget() == m_LogTarget) {
        delete wxLog::SetActiveTarget(m_OldLog);
        m_OldLog = nullptr;
    }
    m_LogTarget = nullptr;
}

void Frame::Log(wxLogLevel, const wxString& msg, const wxLogRecordInfo& info)
{
    m_LogText += wxDateTime(wxLongLong(info.timestampMS)).Format("%x %X") + " " + msg + "\n";
}

QelSTC* Frame::GetSTC()
{
    const int page = m_Editors->GetSelection();
    return page == wxNOT_FOUND ? nullptr : dynamic_cast<QelSTC*>(m_Editors->GetPage(page));
}

bool Frame::OpenFile(const QelFileName& filename, int line_number, const wxString& match,
                     long flags)
{
    wxFileName absolute(filename);
    absolute.MakeAbsolute();
    const wxString key = absolute.GetFullPath();

    if (auto* page = dynamic_cast<QelSTC*>(m_Editors->SelectPage(key)); page != nullptr) {
        if (line_number > 0) page->GotoLineAndSelect(line_number, match);
        UpdateTitle();
        return true;
    }

    QelSTC* stc = nullptr;
    if (absolute.FileExists()) {
        stc = new QelSTC(m_Editors, QelFileName(key), line_number, match, flags);
        if (stc->GetFileName().GetFullPath() != key) {
            stc->Destroy();
            return false;
        }
    } else {
        stc = new QelSTC(m_Editors);
        stc->GetFile().FileNew(QelFileName(key));
    }

    m_Editors->AddPage(stc, key, absolute.GetFullName(), true);
    stc->SetFocus();
    UpdateTitle();
    return true;
}

bool Frame::AllowClose(int id, wxWindow* page)
{
    if (auto* stc = dynamic_cast<QelSTC*>(page); stc != nullptr && !SaveChangesOf(this, stc))
        return false;
    return QelManagedFrame::AllowClose(id, page);
}

void Frame::OnCommandConfigDialog(int dialogid, int commandid)
{
    for (size_t i = 0; i < m_Editors->GetPageCount(); ++i)
        if (auto* stc = dynamic_cast<QelSTC*>(m_Editors->GetPage(i)); stc != nullptr)
            stc->ConfigGet();
    QelManagedFrame::OnCommandConfigDialog(dialogid, commandid);
}

void Frame::OnNotebook(int id, wxWindow* page)
{
    QelManagedFrame::OnNotebook(id, page);
    if (auto* stc = dynamic_cast<QelSTC*>(page); stc != nullptr) stc->PropertiesMessage();
    UpdateTitle();
}

void Frame::SyncCloseAll(int id)
{
    QelManagedFrame::SyncCloseAll(id);
    QelFrame::StatusText(wxEmptyString, "PaneInfo");
    UpdateTitle();
}

void Frame::OnClose(wxCloseEvent& event)
{
    for (size_t i = 0; event.CanVeto() && i < m_Editors->GetPageCount(); ++i) {
        auto* stc = dynamic_cast<QelSTC*>(m_Editors->GetPage(i));
        if (stc != nullptr && !SaveChangesOf(this, stc)) {
            event.Veto();
            return;
        }
    }
    RemoveLog();
    event.Skip();
}

void Frame::OnEdit(wxCommandEvent& event)
{
    // The editor passes on what it does not handle; that comes back here.
    QelSTC* stc = GetSTC();
    if (m_Forwarding || stc == nullptr) return;

    m_Forwarding = true;
    stc->GetEventHandler()->ProcessEvent(event);
    m_Forwarding = false;
}

void Frame::OnFile(wxCommandEvent& event)
{
    QelSTC* stc = GetSTC();

    switch (event.GetId()) {
    case wxID_EXIT:
        Close();
        return;
    case wxID_CLOSE:
        if (stc != nullptr && AllowClose(ID_NOTEBOOK_EDITORS, stc))
            m_Editors->DeletePage(m_Editors->GetSelection());
        return;
    }

    if (stc == nullptr) return;

    if (event.GetId() == wxID_SAVE && stc->GetFileName().IsOk()) {
        stc->GetFile().FileSave();
    } else {
        QelFileDialog dialog(this, &stc->GetFile(), wxFileSelectorPromptStr,
                             wxFileSelectorDefaultWildcardStr, wxFD_SAVE | wxFD_OVERWRITE_PROMPT);
        if (dialog.ShowModal() != wxID_OK) return;
        const wxString old_key = m_Editors->GetKeyByPage(stc);
        if (stc->GetFile().FileSave(QelFileName(dialog.GetPath())))
            m_Editors->SetPageText(old_key, stc->GetFileName().GetFullPath(),
                                   stc->GetFileName().GetFullName());
    }
    UpdateTitle();
}

void Frame::OnPrint(wxCommandEvent& event)
{
    if (event.GetId() == wxID_PRINT_SETUP) {
        QelPrinting::Get()->GetHtmlPrinter()->PageSetup();
        return;
    }
    // An empty document has no page to print.
    QelSTC* stc = GetSTC();
    if (stc == nullptr || stc->GetLength() == 0) return;
    if (event.GetId() == wxID_PRINT)
        stc->Print(true);
    else
        stc->PrintPreview();
}

void Frame::OnIdle(wxIdleEvent& event)
{
    event.Skip();
    UpdateTitle();
}

void Frame::UpdateTitle()
{
    const QelSTC* stc = GetSTC();
    wxString title
        = stc == nullptr ? wxTheApp->GetAppDisplayName() : stc->GetFileName().GetFullName();
    if (stc != nullptr && stc->GetModify()) title += " *";
    if (GetTitle() != title) SetTitle(title);
}
