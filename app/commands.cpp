// The main window's menu commands, its answer to the configuration dialogs
// and to double clicks on the status bar.
#include <wx/aboutdlg.h>
#include <wx/artprov.h>
#include <wx/config.h>
#include <wx/html/htmprint.h>
#include <wx/msgdlg.h>
#include <wx/settings.h>
#include <wx/utils.h>

#include <qelkit/configdialog.h>
#include <qelkit/filedlg.h>
#include <qelkit/lexers.h>
#include <qelkit/menu.h>
#include <qelkit/notebook.h>
#include <qelkit/paths.h>
#include <qelkit/printing.h>
#include <qelkit/report/listviewfile.h>
#include <qelkit/report/listviewframe.h>
#include <qelkit/report/process.h>
#include <qelkit/report/stc.h>
#include <qelkit/report/util.h>
#include <qelkit/util.h>
#include <qelkit/vcs.h>
#include <qelkit/vcsmenu.h>
#include <qelkit/version.h>

#include "defs.h"
#include "edittools.h"
#include "frame.h"

namespace {

const wxString kHelpUrl = "https://tindrel.example/help";
const wxString kLogTail = "LOGTAIL";

// Commands of the current editor that the frame only passes on.
bool IsEditorCommand(int id)
{
    switch (id) {
    case wxID_UNDO:
    case wxID_REDO:
    case wxID_DELETE:
    case wxID_SELECTALL:
    case wxID_JUMP_TO:
    case wxID_CUT:
    case wxID_COPY:
    case wxID_PASTE:
    case wxID_CLEAR:
        return true;
    default:
        return id > ID_EDIT_STC_LOWEST && id < ID_EDIT_STC_HIGHEST;
    }
}

// The list that holds the keyboard focus, when it is one and the command is
// one of its own edit commands.
QelListView* ListFor(int id)
{
    switch (id) {
    case wxID_CUT:
    case wxID_COPY:
    case wxID_PASTE:
    case wxID_CLEAR:
    case wxID_SELECTALL:
    case wxID_DELETE:
        break;
    default:
        return nullptr;
    }
    for (wxWindow* window = wxWindow::FindFocus(); window != nullptr && !window->IsTopLevel();
         window = window->GetParent())
        if (auto* list = dynamic_cast<QelListView*>(window)) return list;
    return nullptr;
}

// The path chosen in a save dialog that asks before it overwrites; empty
// when cancelled.
wxString ChooseSavePath(wxWindow* parent, QelFile* file, const wxString& message,
                        const wxString& wildcard)
{
    QelFileDialog dialog(parent, file, message, wildcard, wxFD_SAVE | wxFD_OVERWRITE_PROMPT);
    if (dialog.ShowModal() != wxID_OK) return wxEmptyString;
    const wxArrayString paths = QelFileDialogPaths(dialog);
    return paths.empty() ? wxString() : Frame::EditorKey(wxFileName(paths[0]));
}

// A name given without a dialog (vi's write command) is asked about when it
// names another file that exists.
bool MayOverwrite(wxWindow* parent, QelFile* file, const wxString& key)
{
    return key == file->GetFileName().GetFullPath() || !wxFileName::Exists(key)
        || wxMessageBox(key + "\n" + _("File exists") + ". " + _("Overwrite") + "?", _("Save As"),
                        wxYES_NO | wxICON_QUESTION, parent)
        == wxYES;
}

// Saving onto a file that another page shows would leave two pages on one
// file, each overwriting the other's saves.
bool OpenElsewhere(QelNotebook* notebook, wxWindow* page, const wxString& key)
{
    wxWindow* other = notebook->GetPageByKey(key);
    if (other == nullptr || other == page) return false;
    wxLogError("%s", _("Cannot save file") + ": " + key + ": " + _("it is open in another page"));
    return true;
}

// Save As of an editor page; the page is re-keyed once the save succeeded.
void SaveEditorAs(Frame* frame, QelSTC* stc, const wxString& carried)
{
    QelNotebook* editors = frame->GetEditors();
    const wxString old_key = editors->GetKeyByPage(stc);
    const wxString key = carried.empty()
        // A title, not a menu item: no mnemonic, no ellipsis.
        ? ChooseSavePath(frame, &stc->GetFile(),
                         wxGetStockLabel(wxID_SAVEAS, wxSTOCK_WITHOUT_ELLIPSIS),
                         wxFileSelectorDefaultWildcardStr)
        : Frame::EditorKey(wxFileName(carried));
    if (key.empty() || OpenElsewhere(editors, stc, key)
        || (!carried.empty() && !MayOverwrite(frame, &stc->GetFile(), key))
        || !stc->GetFile().FileSave(QelFileName(key)))
        return;

    const QelFileName& file = stc->GetFileName();
    editors->SetPageText(old_key, key, file.GetFullName(), QelGetIconBitmap(file));
    stc->PropertiesMessage(0);
}

void SaveEditor(Frame* frame, QelSTC* stc)
{
    // A new document named only for its tab was never saved anywhere: it
    // gets its place first.
    if (!stc->GetFileName().IsAbsolute()) {
        SaveEditorAs(frame, stc, wxEmptyString);
        return;
    }
    if (!stc->GetFile().FileSave()) return;

    const wxString path = stc->GetFileName().GetFullPath();
    if (QelLexers* lexers = QelLexers::Get(false);
        lexers != nullptr && path == lexers->GetFileName().GetFullPath()) {
        lexers->Read();
        frame->GetEditors()->ForEach(ID_ALL_STC_SET_LEXER);
        QelFrame::UpdateStatusBar(stc, "PaneLexer");
    } else if (path == QelVCS::GetFileName().GetFullPath()) {
        QelVCS::Read();
    }
}

void ShowAbout(wxFrame* frame)
{
    wxAboutDialogInfo info;
    info.SetIcon(frame->GetIcon());
    info.SetVersion("1.1.0");
    info.AddDeveloper(QelGetVersionInfo().GetVersionString());
    info.SetDescription(_("This program offers a portable text or binary editor\nwith automatic "
                          "syncing.")
                        + " " + _("Its config files are read and saved in") + "\n"
                        + QelWritableDir());
    info.SetCopyright("(c) 2026 the tindrel developers");
    info.SetWebSite(kHelpUrl);
    wxAboutBox(info);
}

int SingleItemDialog(wxWindow* parent, const wxString& title, const wxString& label,
                     QelConfigType type)
{
    QelConfigDialog dialog(parent, {QelConfigItem(label, type)}, title, 0, 1, wxOK | wxCANCEL,
                           wxID_ANY, 0, wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER,
                           "QelConfigDialog");
    return dialog.ShowModal();
}

void SetListFont(Frame* frame)
{
    if (SingleItemDialog(frame, _("Set List Font"), _("List Font"), CONFIG_FONTPICKERCTRL)
        != wxID_OK)
        return;
    wxFont font;
    wxConfigBase::Get()->Read(_("List Font"), &font,
                              wxSystemSettings::GetFont(wxSYS_OEM_FIXED_FONT));
    QelForEach(frame->GetProjects(), ID_LIST_ALL_SET_FONT, font);
    QelForEach(frame->GetLists(), ID_LIST_ALL_SET_FONT, font);
    frame->GetHistory()->SetFont(font);
    frame->GetHistory()->ItemsUpdate();
}

void Split(Frame* frame, QelSTC* stc)
{
    QelNotebook* editors = frame->GetEditors();
    QelSTC* view = new QelSTCWithFrame(*stc, frame);
    const QelFileName& file = stc->GetFileName();
    editors->InsertPage(editors->GetPageIndex(stc), view, wxString::Format("stc%d", view->GetId()),
                        file.GetFullName(), true, QelGetIconBitmap(file));
}

void SelectNext(QelNotebook* notebook, bool forward)
{
    const int count = static_cast<int>(notebook->GetPageCount());
    const int selection = notebook->GetSelection();
    if (count == 0 || selection == wxNOT_FOUND) return;
    notebook->SetSelection((selection + (forward ? 1 : count - 1)) % count);
}

bool EditorCommand(Frame* frame, wxCommandEvent& event, QelSTC* stc)
{
    switch (event.GetId()) {
    case wxID_CLOSE:
    case wxID_SAVE:
    case wxID_SAVEAS:
    case ID_EDIT_ADD_HEADER:
    case ID_EDIT_INSERT_SEQUENCE:
    case ID_EDIT_MACRO_PLAYBACK:
    case ID_EDIT_MACRO_START_RECORD:
    case ID_EDIT_MACRO_STOP_RECORD:
    case ID_SPLIT:
        break;
    default:
        return false;
    }
    if (stc == nullptr) return true;
    // The editor of a pane (the character table) is no page to close, save
    // under a new key or split.
    const bool page = frame->GetEditors()->GetPageIndex(stc) != wxNOT_FOUND;
    if (!page
        && (event.GetId() == wxID_CLOSE || event.GetId() == wxID_SAVEAS
            || event.GetId() == ID_SPLIT))
        return true;

    switch (event.GetId()) {
    case wxID_CLOSE:
        // By page, not by file: a split view or an output page has a key
        // of its own.
        if (frame->AllowClose(ID_NOTEBOOK_EDITORS, stc))
            frame->GetEditors()->DeletePage(frame->GetEditors()->GetPageIndex(stc));
        break;
    case wxID_SAVE:
        SaveEditor(frame, stc);
        break;
    case wxID_SAVEAS:
        SaveEditorAs(frame, stc, event.GetString());
        break;
    case ID_EDIT_ADD_HEADER:
        InsertHeader(frame, stc);
        break;
    case ID_EDIT_INSERT_SEQUENCE:
        InsertSequence(frame, stc);
        break;
    case ID_EDIT_MACRO_PLAYBACK:
        stc->MacroPlayback();
        break;
    case ID_EDIT_MACRO_START_RECORD:
        stc->StartRecord();
        break;
    case ID_EDIT_MACRO_STOP_RECORD:
        stc->StopRecord();
        break;
    case ID_SPLIT:
        Split(frame, stc);
        break;
    }
    return true;
}

bool OptionCommand(Frame* frame, wxCommandEvent& event)
{
    wxConfigBase* config = wxConfigBase::Get();
    const int id = event.GetId();
    switch (id) {
    case ID_OPTION_EDITOR:
        QelSTC::ConfigDialog(frame, _("Editor Options"),
                             EDITOR_CONFIG_MODELESS | EDITOR_CONFIG_APPLY, ID_OPTION_EDITOR);
        break;
    case ID_OPTION_VCS:
        if (QelVCS::ConfigDialog(frame, _("Set VCS")) == wxID_OK) {
            QelVCS vcs;
            vcs.GetDir(frame);
            QelFrame::StatusText(vcs.GetName(), "PaneVCS");
        }
        break;
    case ID_OPTION_COMPARATOR:
        SingleItemDialog(frame, _("Set Comparator"), _("Comparator"), CONFIG_FILEPICKERCTRL);
        break;
    case ID_OPTION_LIST_FONT:
        SetListFont(frame);
        break;
    case ID_OPTION_LIST_READONLY_COLOUR:
        if (!config->Exists(_("List Colour"))) config->Write(_("List Colour"), *wxRED);
        SingleItemDialog(frame, _("Set List Read Only Colour"), _("List Colour"), CONFIG_COLOUR);
        break;
    case ID_OPTION_LIST_SORT_ASCENDING:
    case ID_OPTION_LIST_SORT_DESCENDING:
    case ID_OPTION_LIST_SORT_TOGGLE:
        config->Write("List/SortMethod", long(id - ID_OPTION_LIST_SORT_ASCENDING + 2));
        break;
    case ID_PROJECT_SORT_SYNC:
        config->Write("List/SortSync", !config->ReadBool("List/SortSync", true));
        break;
    default:
        return false;
    }
    return true;
}

bool ProjectCommand(Frame* frame, wxCommandEvent& event)
{
    switch (event.GetId()) {
    case ID_PROJECT_NEW:
        frame->NewFile(true);
        return true;
    case ID_PROJECT_OPEN:
        frame->DialogProjectOpen();
        return true;
    case ID_PROJECT_OPENTEXT:
    case ID_PROJECT_CLOSE:
    case ID_PROJECT_SAVEAS:
        break;
    default:
        return false;
    }

    QelListViewFile* project = frame->GetProject();
    if (project == nullptr) return true;
    QelFile* file = project;
    wxWindow* page = project;

    switch (event.GetId()) {
    case ID_PROJECT_OPENTEXT: {
        // A new project is only in memory: its file is written first, or
        // there would be nothing to open. Otherwise Yes saves the changes
        // and No leaves the file as it is on disk.
        const bool written = file->GetFileName().FileExists()
            ? QelSaveIfChanged(frame, file) != wxID_CANCEL
            : QelSaveFile(frame, file);
        if (written) frame->OpenFile(QelFileName(file->GetFileName().GetFullPath()));
        break;
    }
    case ID_PROJECT_CLOSE:
        if (frame->AllowClose(ID_NOTEBOOK_PROJECTS, page))
            frame->GetProjects()->DeletePage(frame->GetProjects()->GetPageIndex(page));
        break;
    case ID_PROJECT_SAVEAS: {
        const wxString old_key = frame->GetProjects()->GetKeyByPage(page);
        const wxString key
            = ChooseSavePath(frame, file, _("Project Save As"), frame->GetProjectWildcard());
        if (key.empty() || OpenElsewhere(frame->GetProjects(), page, key)
            || !file->FileSave(QelFileName(key)))
            break;
        frame->GetProjects()->SetPageText(old_key, key, file->GetFileName().GetName());
        break;
    }
    }
    return true;
}

// The frame's own showing gives a side pane a usable width.
void TogglePane(Frame* frame, const wxString& name)
{
    frame->ShowPane(name, !frame->IsPaneShown(name));
}

bool ViewCommand(Frame* frame, wxCommandEvent& event)
{
    switch (event.GetId()) {
    case ID_VIEW_FILES:
        // Beside the projects, the files leave them the whole window until
        // they come back, and with them the panes that were shown.
        if (frame->IsPaneShown("FILES") && frame->IsPaneShown("PROJECTS"))
            frame->MaximizePane("PROJECTS");
        else
            TogglePane(frame, "FILES");
        break;
    case ID_VIEW_PROJECTS:
        if (frame->GetProjects()->GetPageCount() > 0)
            TogglePane(frame, "PROJECTS");
        else
            frame->NewFile(true);
        break;
    case ID_VIEW_OUTPUT:
        TogglePane(frame, "OUTPUT");
        break;
    case ID_VIEW_DIRCTRL:
        TogglePane(frame, "DIRCTRL");
        break;
    case ID_VIEW_HISTORY:
        TogglePane(frame, "HISTORY");
        QelFrame::UpdateStatusBar(frame->GetHistory());
        break;
    case ID_VIEW_ASCII_TABLE:
        TogglePane(frame, "ASCIITABLE");
        break;
    default:
        return false;
    }
    return true;
}

} // namespace

void Frame::OnCommand(wxCommandEvent& event)
{
    const int id = event.GetId();
    QelSTC* stc = GetSTC();

    // Version control on the base folder, and on the current editor's file
    // when its own menu did not take the command.
    if (id > ID_VCS_LOWEST && id < ID_VCS_HIGHEST) {
        QelVCSExecute(this, id, wxArrayString());
        return;
    }
    if (id > ID_EDIT_VCS_LOWEST && id < ID_EDIT_VCS_HIGHEST) {
        if (stc != nullptr) {
            const wxString path = stc->GetFileName().GetFullPath();
            QelVCSExecute(this, id, wxArrayString(1, &path));
        }
        return;
    }

    if (IsEditorCommand(id)) {
        // A list with the keyboard focus takes its edit commands: the editor,
        // the find focus, would copy its own text. What the target passes on
        // itself must not come back to it.
        wxWindow* target = ListFor(id);
        if (target == nullptr) target = stc;
        if (target != nullptr && event.GetEventObject() != target) {
            event.SetEventObject(target);
            wxPostEvent(target, event);
        }
        return;
    }
    if (id >= ID_TOOL_LOWEST && id <= ID_TOOL_HIGHEST) {
        // The lists and the explorer take these; from any other window the
        // command comes back here, and ends.
        if (wxWindow* focus = wxWindow::FindFocus();
            focus != nullptr && focus != this && event.GetEventObject() != focus) {
            event.SetEventObject(focus);
            wxPostEvent(focus, event);
        }
        return;
    }

    if (EditorCommand(this, event, stc) || OptionCommand(this, event) || ProjectCommand(this, event)
        || ViewCommand(this, event))
        return;

    switch (id) {
    case wxID_NEW:
        NewFile(false);
        break;
    case wxID_EXIT:
        Close(false);
        break;
    case wxID_HELP:
        wxLaunchDefaultBrowser(kHelpUrl);
        break;
    case wxID_PRINT:
    case wxID_PREVIEW:
        if (stc != nullptr) {
            id == wxID_PRINT ? stc->Print(true) : stc->PrintPreview();
        } else if (QelListView* list = GetListView(); list != nullptr) {
            id == wxID_PRINT ? list->Print() : list->PrintPreview();
        }
        break;
    case wxID_PRINT_SETUP:
        QelPrinting::Get()->GetHtmlPrinter()->PageSetup();
        break;
    case wxID_ABOUT:
        ShowAbout(this);
        break;
    case ID_ALL_CLOSE:
    case ID_ALL_SAVE:
        m_Editors->ForEach(id);
        break;
    case wxID_STOP:
        GetProcess()->Kill(wxSIGKILL);
        break;
    case wxID_EXECUTE:
        GetProcess()->Execute(wxEmptyString, 0, wxEmptyString);
        break;
    case ID_PROCESS_SELECT:
        QelProcess::ConfigDialog(this, _("Select Process"));
        break;
    case ID_DOCUMENT_NEXT:
        SelectNext(m_Editors, true);
        break;
    case ID_DOCUMENT_PREVIOUS:
        SelectNext(m_Editors, false);
        break;
    // Anything else, wxID_PREFERENCES among them, is for the base frames.
    default:
        event.Skip();
    }
}

void Frame::OnCommandConfigDialog(int dialogid, int commandid)
{
    // The options menu and the preferences item share the editor options.
    if (dialogid == ID_OPTION_EDITOR || dialogid == wxID_PREFERENCES) {
        if (commandid != wxID_CANCEL) m_Editors->ForEach(ID_ALL_CONFIG_GET);
        return;
    }
    DecoratedFrame::OnCommandConfigDialog(dialogid, commandid);
}

void Frame::StatusBarDoubleClicked(const wxString& pane)
{
    if (pane.empty() && !m_LogText.empty()) {
        auto* log = dynamic_cast<QelSTC*>(m_Editors->SelectPage(kLogTail));
        if (log == nullptr) {
            log = new QelSTCWithFrame(m_Editors, this, wxEmptyString, 0, _("Log"));
            log->SetEdgeMode(wxSTC_EDGE_NONE);
            m_Editors->AddPage(log, kLogTail, _("Log"), true);
        }
        log->SetText(m_LogText);
        log->SetSavePoint();
        log->DocumentEnd();
        log->SetReadOnly(true);
    } else if (pane == "PaneTheme") {
        if (QelLexers::Get()->ShowThemeDialog(this, _("Enter Theme"))) {
            StatusText(QelLexers::Get()->GetTheme(), "PaneTheme");
            m_Editors->ForEach(ID_ALL_STC_SET_LEXER_THEME);
        }
    } else if (pane == "PaneVCS") {
        if (QelVCS::GetCount() == 0) return;
        QelMenu menu(MENU_OFFER_PASTE);
        if (menu.AppendVCS(wxFileName())) PopupMenu(&menu);
    } else {
        DecoratedFrame::StatusBarDoubleClicked(pane);
    }
}

void Frame::StatusBarDoubleClickedRight(const wxString& pane)
{
    if (pane.empty()) {
        OpenFile(QelFileName(m_LogFile));
    } else if (pane == "PaneLexer") {
        const QelSTC* stc = GetSTC();
        OpenFile(QelFileName(QelLexers::Get()->GetFileName().GetFullPath()), 0,
                 stc == nullptr ? wxString() : "name=\"" + stc->GetLexer().GetScintillaLexer());
    } else if (pane == "PaneTheme") {
        OpenFile(QelFileName(QelLexers::Get()->GetFileName().GetFullPath()), 0,
                 QelLexers::Get()->GetTheme());
    } else if (pane == "PaneVCS") {
        QelVCS vcs;
        vcs.GetDir(this);
        const wxString name = vcs.GetName();
        OpenFile(QelFileName(QelVCS::GetFileName().GetFullPath()), 0,
                 name == "Auto" ? wxString() : name);
    } else {
        DecoratedFrame::StatusBarDoubleClickedRight(pane);
    }
}
