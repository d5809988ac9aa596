#include <qelkit/report/frame.h>

#include <utility>

#include <wx/app.h>
#include <wx/config.h>
#include <wx/log.h>
#include <wx/menu.h>

#include <qelkit/configdialog.h>
#include <qelkit/listitem.h>
#include <qelkit/report/listviewfile.h>
#include <qelkit/report/process.h>
#include <qelkit/report/textfile.h>
#include <qelkit/stc.h>
#include <qelkit/util.h>
#include <qelkit/yieldingrun.h>

namespace {
const wxString RECENT_PROJECT_KEY = "RecentProject%d";
}

// clang-format off
wxBEGIN_EVENT_TABLE(QelFrameWithHistory, QelManagedFrame)
    EVT_CLOSE(QelFrameWithHistory::OnClose)
    EVT_IDLE(QelFrameWithHistory::OnIdle)
    EVT_MENU(ID_TERMINATED_PROCESS, QelFrameWithHistory::OnCommand)
    EVT_MENU_RANGE(ID_RECENT_FILE_LOWEST, ID_RECENT_FILE_HIGHEST, QelFrameWithHistory::OnCommand)
    EVT_MENU_RANGE(ID_RECENT_PROJECT_LOWEST, ID_RECENT_PROJECT_HIGHEST, QelFrameWithHistory::OnCommand)
    EVT_MENU_RANGE(ID_FRAME_HISTORY_LOWEST, ID_FRAME_HISTORY_HIGHEST, QelFrameWithHistory::OnCommand)
wxEND_EVENT_TABLE();
// clang-format on

QelFrameWithHistory::QelFrameWithHistory(wxWindow* parent, wxWindowID id, const wxString& title,
                                         size_t maxFiles, size_t maxProjects, long style)
    : QelManagedFrame(parent, id, title, style)
    , m_FileHistory(maxFiles, ID_RECENT_FILE_LOWEST)
    , m_ProjectHistory(maxProjects, ID_RECENT_PROJECT_LOWEST)
    , m_Process(new QelProcessListView(this))
    , m_TextInFiles(_("In files"))
    , m_TextInFolder(_("In folder"))
    , m_TextRecursive(_("Recursive"))
{
    wxConfigBase* config = wxConfigBase::Get();
    for (int i = static_cast<int>(maxProjects) - 1; i >= 0; i--) {
        SetRecentProject(config->Read(wxString::Format(RECENT_PROJECT_KEY, i), wxEmptyString));
    }
    if (!config->Exists(m_TextRecursive)) config->Write(m_TextRecursive, true);
}

QelFrameWithHistory::~QelFrameWithHistory()
{
    if (m_FiFDialog != nullptr) m_FiFDialog->Destroy();
    if (m_RiFDialog != nullptr) m_RiFDialog->Destroy();
    delete m_Process;
    m_Process = nullptr;
}

wxString QelFrameWithHistory::Entry(const wxFileHistory& history, size_t index)
{
    return index < history.GetCount() ? history.GetHistoryFile(index) : wxString();
}

void QelFrameWithHistory::SetRecentFile(const wxString& file)
{
    if (file.empty()) return;
    m_FileHistory.AddFileToHistory(file);
    if (m_FileHistoryList == nullptr) return;
    QelListItem(m_FileHistoryList, QelFileName(file)).Insert(0);
    for (long row = m_FileHistoryList->GetItemCount() - 1; row >= 1; row--) {
        if (QelListItem(m_FileHistoryList, row).GetFileName().GetFullPath() == file) {
            m_FileHistoryList->DeleteItem(row);
        }
    }
}

void QelFrameWithHistory::SetRecentProject(const wxString& project)
{
    if (project.empty() || m_ProjectHistory.GetMaxFiles() <= 0) return;
    m_ProjectHistory.AddFileToHistory(project);
}

void QelFrameWithHistory::RemoveRecentProject(const wxString& project)
{
    for (size_t i = m_ProjectHistory.GetCount(); i-- > 0;)
        if (m_ProjectHistory.GetHistoryFile(i) == project)
            m_ProjectHistory.RemoveFileFromHistory(i);
}

void QelFrameWithHistory::UseHistory(wxWindowID id, wxMenu* menu, wxFileHistory& history)
{
    auto* submenu = new wxMenu();
    menu->Append(id, _("Open &Recent"), submenu, wxEmptyString);
    history.UseMenu(submenu);
}

void QelFrameWithHistory::UseFileHistory(wxWindowID id, wxMenu* menu)
{
    UseHistory(id, menu, m_FileHistory);
    m_FileHistory.Load(*wxConfigBase::Get());
}

void QelFrameWithHistory::UseProjectHistory(wxWindowID id, wxMenu* menu)
{
    if (m_ProjectHistory.GetMaxFiles() < 1) return;
    UseHistory(id, menu, m_ProjectHistory);
    m_ProjectHistory.AddFilesToMenu();
}

void QelFrameWithHistory::UseFileHistoryList(QelListView* list)
{
    m_FileHistoryList = list;
    list->Hide();
    for (size_t i = 0; i < m_FileHistory.GetCount(); i++) {
        const QelFileName file(m_FileHistory.GetHistoryFile(i));
        if (file.GetStat().IsOk()) QelListItem(list, file).Insert();
    }
}

void QelFrameWithHistory::FileHistoryPopupMenu()
{
    wxMenu menu;
    for (size_t i = 0; i < m_FileHistory.GetCount(); i++) {
        const QelFileName file(m_FileHistory.GetHistoryFile(i));
        auto* item = new wxMenuItem(&menu, ID_RECENT_FILE_LOWEST + static_cast<int>(i),
                                    file.GetFullName());
        if (file.GetStat().IsOk()) item->SetBitmap(QelGetIconBitmap(file));
        menu.Append(item);
    }
    if (menu.GetMenuItemCount() > 0) PopupMenu(&menu);
}

bool QelFrameWithHistory::OpenFile(const QelFileName& filename, int line_number,
                                   const wxString& match, long flags)
{
    if (!QelFrame::OpenFile(filename, line_number, match, flags)) return false;
    SetRecentFile(filename.GetFullPath());
    return true;
}

void QelFrameWithHistory::DoRecent(wxFileHistory& history, size_t index, long flags)
{
    if (index >= history.GetCount() || index >= static_cast<size_t>(history.GetMaxFiles())) return;
    const wxString file = history.GetHistoryFile(index);
    if (!wxFileExists(file)) {
        history.RemoveFileFromHistory(index);
        wxLogStatus(_("Removed not existing file: %s from history"), file);
        return;
    }
    OpenFile(QelFileName(file), 0, wxEmptyString, flags);
}

wxString QelFrameWithHistory::TitleMark(const wxString& title, bool modified)
{
    const bool marked = !title.empty() && title.Last() == '*';
    if (modified && !marked) return title + " *";
    if (!modified && marked && title.length() > 2) return title.Left(title.length() - 2);
    return title;
}

bool QelFrameWithHistory::IsModified()
{
    QelListViewFile* project = GetProject();
    if (project != nullptr && project->GetContentsChanged()) return true;
    QelSTC* stc = GetSTC();
    return stc != nullptr && stc->GetModify() && stc->GetName() != "SHELL";
}

void QelFrameWithHistory::OnIdle(wxIdleEvent& event)
{
    event.Skip();
    const wxString title = GetTitle();
    if (title.empty()) return;
    const wxString marked = TitleMark(title, IsModified());
    if (marked != title) SetTitle(marked);
}

bool QelFrameWithHistory::DeferClose(const wxCloseEvent& event)
{
    if (!QelYieldingRun::IsUnderWay()) return false;
    QelToolRun::Cancel();
    m_CloseForced = m_CloseForced || !event.CanVeto();
    if (m_CloseWaiting) return true;
    m_CloseWaiting = true;
    const wxWeakRef<QelFrameWithHistory> self(this);
    QelYieldingRun::AfterAll([self] {
        if (!self) return;
        self->m_CloseWaiting = false;
        self->Close(std::exchange(self->m_CloseForced, false));
        // Nothing else may wake the loop for the idle time that deletes the
        // window.
        wxWakeUpIdle();
    });
    return true;
}

void QelFrameWithHistory::OnClose(wxCloseEvent& event)
{
    if (DeferClose(event)) return;
    if (event.CanVeto() && m_Process->IsRunning()) {
        wxLogStatus(_("Process is running"));
        event.Veto();
        return;
    }
    SaveHistory();
    wxConfigBase::Get()->Flush();
    event.Skip();
}

void QelFrameWithHistory::SaveHistory()
{
    wxConfigBase* config = wxConfigBase::Get();
    m_FileHistory.Save(*config);
    const size_t count = m_ProjectHistory.GetCount();
    for (size_t i = 0; i < count; i++) {
        config->Write(wxString::Format(RECENT_PROJECT_KEY, static_cast<int>(i)),
                      m_ProjectHistory.GetHistoryFile(i));
    }
    // Entries dropped since the start must not come back at the next one.
    for (int i = static_cast<int>(count); i < m_ProjectHistory.GetMaxFiles(); i++) {
        config->DeleteEntry(wxString::Format(RECENT_PROJECT_KEY, i));
    }
}

void QelFrameWithHistory::OnCommand(wxCommandEvent& event)
{
    const int id = event.GetId();
    if (id >= ID_RECENT_FILE_LOWEST && id <= ID_RECENT_FILE_HIGHEST) {
        DoRecent(m_FileHistory, id - ID_RECENT_FILE_LOWEST, 0);
    } else if (id >= ID_RECENT_PROJECT_LOWEST && id <= ID_RECENT_PROJECT_HIGHEST) {
        DoRecent(m_ProjectHistory, id - ID_RECENT_PROJECT_LOWEST, EDITOR_OPEN_PROJECT);
    } else if (id == ID_TERMINATED_PROCESS) {
        wxBell();
    } else if (id == ID_FIND_IN_FILES || id == ID_REPLACE_IN_FILES) {
        ShowFindInFilesDialog(id);
    } else if (id == ID_PROJECT_SAVE) {
        if (QelListViewFile* project = GetProject(); project != nullptr) project->FileSave();
    } else {
        wxFAIL;
    }
}
