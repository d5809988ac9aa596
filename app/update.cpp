// Which of the main window's commands are available: the window's state,
// taken cheaply at every update, goes through the rules.
#include <wx/config.h>

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
    s.named = !stc->GetFileName().GetFullPath().empty();
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

void Frame::OnUpdateUI(wxUpdateUIEvent& event)
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

    const UiAnswer answer = UiRules(event.GetId(), s);
    if (!answer.known) {
        event.Skip();
        return;
    }
    event.Enable(answer.enable);
    if (answer.check) event.Check(*answer.check);
}
