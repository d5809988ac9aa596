// The main window of tindrel: the editors, lists and projects notebooks,
// the history list, the explorer and the ASCII table in dockable panes whose
// layout is kept between runs, and the documents opened, made, closed and
// synced in them.
#pragma once

#include <optional>
#include <vector>

#include <wx/eventfilter.h>
#include <wx/log.h>
#include <wx/weakref.h>

#include <qelkit/listviewfile.h>

#include "decorated.h"
#include "rules.h"

class LazyPane;
class QelGenericDirCtrl;
class QelLexer;
class QelListViewFile;
class QelListViewWithFrame;
class QelNotebook;
class QelSTC;
class wxAuiNotebookEvent;

class Frame : public DecoratedFrame {
public:
    // With open_recent (no file named at start) the most recent file and,
    // when its pane was shown, the most recent project are opened again.
    explicit Frame(bool open_recent);
    ~Frame() override;

    // Documents.

    // Selects the page of the file, or opens it in a new one; false (and
    // "Cannot open file" logged) for anything but a readable regular file.
    // The name is made absolute and normalised first: one page per file.
    using DecoratedFrame::OpenFile;
    bool OpenFile(const QelFileName& filename, int line_number = 0,
                  const wxString& match = wxEmptyString, long flags = 0) override;
    // Opens names as the command line and later starts give them (a
    // wildcard matches files only); what cannot be opened is told in one
    // line, naming the first few with their count.
    void OpenNames(const wxArrayString& names);
    // The output of a version-control command on the file, in a page of its
    // own before the file's page; the same command again refreshes it.
    bool OpenFile(const QelFileName& filename, const QelVCSEntry& vcs, long flags = 0) override;
    // A new unnamed text file (false in hex mode) or project page.
    bool NewFile(bool as_project);
    // The list page of a type (and lexer), made on first use; null for
    // LIST_FILE without a page.
    QelListViewWithFrame* AddPage(QelListViewFileName::ListType type,
                                  const QelLexer* lexer = nullptr);
    // The list that reports of the type go to, with the output pane shown;
    // for LIST_FILE the current project.
    QelListView* Activate(QelListViewFileName::ListType type,
                          const QelLexer* lexer = nullptr) override;
    // The selected project when the projects pane is shown; else null.
    QelListViewFile* GetProject() override;
    // Asks for project files and opens them; false when cancelled.
    bool DialogProjectOpen();
    // Offers every changed page of notebook id to be saved before the window
    // closes; false when the user cancelled or a save failed. Projects close
    // as they are answered; editors stay for the window to take along,
    // except those answered before a cancel, which close.
    bool AllowCloseAll(int id);
    // Notebook id lost its last page.
    void SyncCloseAll(int id) override;

    // Commands (commands.cpp).
    void OnCommandConfigDialog(int dialogid, int commandid) override;
    void StatusBarDoubleClicked(const wxString& pane) override;
    void StatusBarDoubleClickedRight(const wxString& pane) override;

    // Log: appends a line to the run's log text.
    void Log(wxLogLevel level, const wxString& msg, const wxLogRecordInfo& info);

    QelNotebook* GetEditors() { return m_Editors; }
    QelNotebook* GetLists() { return m_Lists; }
    QelNotebook* GetProjects() { return m_Projects; }
    // The history list and the explorer are made when their pane is first
    // painted or they are asked for: file icons and their types, and
    // listing folders, are a good part of the start-up otherwise.
    QelListViewWithFrame* GetHistory();
    QelGenericDirCtrl* GetDirCtrl();
    // The editor of the "ASCIITABLE" pane.
    QelSTC* GetAsciiTable();
    const wxString& GetLogFile() const { return m_LogFile; }
    const wxString& GetLogText() const { return m_LogText; }
    const wxString& GetProjectWildcard() const { return m_ProjectWildcard; }

    // Shows the pane (when hidden) and applies the layout; a side pane
    // opens at a quarter of the window's width. A maximised pane gives the
    // panes it hid their places back first.
    void ShowPane(const wxString& name, bool show = true);
    // The pane fills the window; the panes it hides come back as they were
    // when any pane is shown or hidden next.
    void MaximizePane(const wxString& name);
    bool IsPaneShown(const wxString& name);

    // The key of an editor page for a file name: its full path, made
    // absolute against the working folder and normalised.
    static wxString EditorKey(const wxFileName& filename);
    // The key of a list page: the type's description, and the lexer's
    // Scintilla name when given.
    static wxString ListKey(QelListViewFileName::ListType type, const QelLexer* lexer);

    using DecoratedFrame::OnNotebook;

    // One look at the window's state serves every update asked while the
    // window's windows take their idle time; a pass after which nothing
    // happened but drawing and timers, with the state of the last pass,
    // leaves the answers as they are and gives its time to the editors
    // shown alone.
    bool SendIdleEvents(wxIdleEvent& event) override;

    // Does an editor or project page hold unsaved changes?
    bool HasUnsavedChanges();
    // Writes the layout and the recent files and projects into the
    // settings, as a close does; draws nothing.
    void SaveSettings();

private:
    // The names OpenFile could not open while OpenNames runs.
    struct Refused {
        size_t count = 0;
        wxArrayString first; // the first few, for the message
    };

    bool OpenProject(const QelFileName& filename, const wxString& key);
    void InstallLog();
    void RemoveLog();
    void RestoreLayout(bool open_recent);
    // Ends a maximised pane, if any; that pane, or null.
    wxAuiPaneInfo* RestoreMaximized();
    // Ends the maximised pane of a layout loaded, if any; a pane that an
    // earlier version only marked as maximised leaves the others as they are.
    void RestoreKeptMaximized();
    // The layout to keep in the settings.
    wxString Perspective();
    void Refuse(const wxString& key);
    // The first file-type icon makes the toolkit read the desktop's type
    // database, tens of milliseconds before the window could show: pages
    // opened before the tabs were first drawn get their icons after.
    void WaitForIcon(wxWindow* page);
    void ShowWaitingIcons();

    void OnClose(wxCloseEvent& event);
    void OnCommand(wxCommandEvent& event);   // commands.cpp
    void OnUpdateUI(wxUpdateUIEvent& event); // update.cpp
    UiState TakeState();                     // update.cpp
    bool StateMoved(const UiState& last);    // update.cpp
    // The idle pass with nothing to update: the window and its panes shown,
    // not the tool bars.
    bool SendQuietIdleEvents(wxIdleEvent& event); // update.cpp
    void OnNotebook(wxAuiNotebookEvent& event);

    int m_NewFileNo = 1;
    int m_NewProjectNo = 1;
    LazyPane* m_DirPane = nullptr;
    LazyPane* m_HistoryPane = nullptr;
    QelNotebook* m_Editors = nullptr;
    QelNotebook* m_Lists = nullptr;
    QelNotebook* m_Projects = nullptr;
    const wxString m_ProjectWildcard;
    wxString m_LogFile;
    wxString m_LogText;
    wxLog* m_OldLog = nullptr;    // the target before ours, active again once ours goes
    wxLog* m_LogTarget = nullptr; // ours, owned
    bool m_Closing = false;       // a close is under way: no new unnamed page
    Refused* m_Refused = nullptr; // gathers the refusals of OpenFile, while set
    bool m_IconsShown = false;    // the tabs were drawn: icons are looked up at once
    std::vector<wxWeakRef<wxWindow>> m_IconsWaiting;
    std::vector<wxWindow*> m_IconTabs; // the tab bars told to look for them
    // The state taken in the idle pass under way, once an update asked.
    std::optional<UiState>* m_PassState = nullptr;
    // Counts the events that may change what the updates answer: all but
    // paints, timers and idle and update events themselves.
    class EventCount : public wxEventFilter {
    public:
        int FilterEvent(wxEvent& event) override;
        unsigned long count = 0;
    };
    EventCount m_Events;
    unsigned long m_EventsAtPass = 0;
    bool m_MoreAtPass = false; // the last pass had a window ask for more time
    std::optional<UiState> m_LastPassState;

    wxDECLARE_EVENT_TABLE();
};
