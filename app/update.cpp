// Which of the main window's commands are available: the window's state,
// taken once for all the updates of an idle pass, goes through the rules.
#include <algorithm>
#include <iterator>
#include <optional>
#include <utility>
#include <vector>

#include <wx/aui/framemanager.h>
#include <wx/config.h>
#include <wx/stc/stc.h>

#include <qelkit/listview.h>
#include <qelkit/notebook.h>
#include <qelkit/report/listviewfile.h>
#include <qelkit/report/process.h>
#include <qelkit/stc.h>
#include <qelkit/vcs.h>

#include "defs.h"
#include "frame.h"
#include "rules.h"

namespace {

void TakeEditor(QelSTC* stc, UiState& s)
{
    s.has_editor = true;
    s.length = stc->GetLength();
    // Whether the full path would be empty, without making it at every pass.
    s.named = stc->GetFileName().IsOk();
    s.modified = stc->GetModify();
    s.read_only = stc->GetReadOnly();
    // Whether exactly one character is selected is all the rules ask: no
    // counting through a large selection at every update.
    const bool empty = stc->GetSelectionStart() == stc->GetSelectionEnd();
    s.selected_chars = empty ? 0 : stc->GetSelectedCharacterCode() >= 0 ? 1 : 2;
    s.can_undo = stc->CanUndo();
    s.can_redo = stc->CanRedo();
    s.fold_level = stc->GetFoldLevel(stc->GetCurrentLine());
    s.vi_active = stc->GetVi().GetIsActive();
    s.vi_insert = stc->GetVi().GetInsertMode();
    s.macro_recording = stc->MacroIsRecording();
    s.macro_recorded = stc->MacroIsRecorded();
}

} // namespace

int Frame::EventCount::FilterEvent(wxEvent& event)
{
    // Drawing, and the docking managers and tool bars asking each other
    // about their layout in the idle pass, change nothing of it.
    static const wxEventType quiet[] = {wxEVT_PAINT,       wxEVT_NC_PAINT,   wxEVT_ERASE_BACKGROUND,
                                        wxEVT_STC_PAINTED, wxEVT_AUI_RENDER, wxEVT_AUI_FIND_MANAGER,
                                        wxEVT_TIMER,       wxEVT_IDLE,       wxEVT_UPDATE_UI};
    if (std::find(std::begin(quiet), std::end(quiet), event.GetEventType()) == std::end(quiet))
        ++count;
    return Event_Skip;
}

bool Frame::SendIdleEvents(wxIdleEvent& event)
{
    // The caret's blink and the timer following the shown files wake the
    // program several times a second: with no event since the last pass,
    // which wanted no more time, and the same state, every tool would be
    // asked again for the same answer, and every window given time for
    // nothing.
    const bool quiet = m_Events.count == m_EventsAtPass && !m_MoreAtPass && m_LastPassState
        && !StateMoved(*m_LastPassState);
    m_EventsAtPass = m_Events.count;
    if (quiet) {
        const long interval = wxUpdateUIEvent::GetUpdateInterval();
        wxUpdateUIEvent::SetUpdateInterval(-1);
        m_MoreAtPass = SendQuietIdleEvents(event);
        wxUpdateUIEvent::SetUpdateInterval(interval);
        return m_MoreAtPass;
    }

    // The tools of the bars ask one after another, each for its command, in
    // the same pass. An update asked outside a pass (a menu opening) looks
    // again; a pass within a pass (a dialog's) takes its own.
    std::optional<UiState> state;
    std::optional<UiState>* const outer = std::exchange(m_PassState, &state);
    m_MoreAtPass = DecoratedFrame::SendIdleEvents(event);
    m_PassState = outer;
    m_LastPassState = state;
    return m_MoreAtPass;
}

bool Frame::SendQuietIdleEvents(wxIdleEvent& event)
{
    // Without an event only the window itself (the mark of unsaved changes
    // in its title) and the panes shown may want the time: the editors
    // (their files changed on disk, their control's own work), and the lists
    // and trees, which lay out only then the rows a timer added (a process's
    // output, a project followed). The bars keep what the last pass left
    // them, and the notebooks give theirs to the page shown alone. The
    // toolkit's own work for the window (a focus lost) is done as in every
    // pass.
    OnInternalIdle();
    bool more = false;
    if (wxIdleEvent::GetMode() == wxIDLE_PROCESS_ALL || HasExtraStyle(wxWS_EX_PROCESS_IDLE)) {
        event.SetEventObject(this);
        HandleWindowEvent(event);
        more = event.MoreRequested();
    }
    // Windows, not panes: an idle handler may show or hide a pane.
    std::vector<wxWindow*> shown;
    const wxAuiPaneInfoArray& panes = GetManager().GetAllPanes();
    for (size_t i = 0; i < panes.GetCount(); ++i)
        if (const wxAuiPaneInfo& pane = panes[i];
            !pane.IsToolbar() && pane.IsShown() && pane.window != nullptr && pane.window->IsShown())
            shown.push_back(pane.window);
    for (wxWindow* window : shown)
        if (GetChildren().Find(window) && window->SendIdleEvents(event)) more = true;
    return more;
}

bool Frame::StateMoved(const UiState& last)
{
    // With no event, only what runs by itself changes the state: a followed
    // file read again into its editor, a process ending.
    QelSTC* stc = GetSTC();
    if ((stc != nullptr) != last.has_editor) return true;
    UiState now = last;
    if (stc != nullptr) TakeEditor(stc, now);
    now.process_running = GetProcess()->IsRunning();
    return now != last;
}

UiState Frame::TakeState()
{
    UiState s;
    s.editor_pages = m_Editors->GetPageCount();
    if (QelSTC* stc = GetSTC(); stc != nullptr) {
        TakeEditor(stc, s);
    } else if (QelListView* list = GetListView(); list != nullptr) {
        s.has_list = true;
        s.list_items = list->GetItemCount();
    }

    s.process_running = GetProcess()->IsRunning();
    s.process_selected = GetProcess()->IsSelected();
    s.vcs_count = QelVCS::GetCount();
    s.vcs_use = QelVCS().Use();

    if (QelListViewFile* project = GetProject(); project != nullptr) {
        s.has_project = true;
        s.project_changed = project->GetContentsChanged();
        s.project_named = !project->GetFileName().GetFullPath().empty();
        s.project_shown = project->IsShown();
    }

    s.recent_file = !GetRecentFile().empty();
    s.recent_project = !GetRecentProject().empty();
    wxConfigBase* config = wxConfigBase::Get();
    s.sort_method = config->ReadLong("List/SortMethod", 4);
    s.sort_sync = config->ReadBool("List/SortSync", true);
    for (int id = ID_VIEW_FILES; id <= ID_VIEW_ASCII_TABLE; ++id)
        if (IsPaneShown(UiPaneName(id))) s.panes_shown |= 1u << (id - ID_VIEW_FILES);
    return s;
}

void Frame::OnUpdateUI(wxUpdateUIEvent& event)
{
    std::optional<UiState> own;
    std::optional<UiState>& state = m_PassState != nullptr ? *m_PassState : own;
    if (!state) state = TakeState();

    const UiAnswer answer = UiRules(event.GetId(), *state);
    if (!answer.known) {
        event.Skip();
        return;
    }
    event.Enable(answer.enable);
    if (answer.check) event.Check(*answer.check);
}
