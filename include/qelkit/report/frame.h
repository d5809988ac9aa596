// The frame of the report library: recent files and projects with their
// "Open Recent" menus, a list that mirrors the recent files, the title mark
// of unsaved changes, and the process whose output goes into a list.
// Activate and GetProject are how the library reaches the application's
// list pages and its current project.
#pragma once

#include <wx/filehistory.h>
#include <wx/weakref.h>

#include <qelkit/listviewfile.h>
#include <qelkit/managedframe.h>

class QelConfigDialog;
class QelListView;
class QelListViewFile;
class QelProcessListView;
class wxMenu;

class QelFrameWithHistory : public QelManagedFrame {
public:
    // The projects stored by the last close are read here; the files when
    // the derived frame calls UseFileHistory.
    QelFrameWithHistory(wxWindow* parent, wxWindowID id, const wxString& title, size_t maxFiles = 9,
                        size_t maxProjects = 0, long style = wxDEFAULT_FRAME_STYLE);
    ~QelFrameWithHistory() override;

    // The list page of a type, made on first use; null here.
    virtual QelListView* Activate(QelListViewFileName::ListType WXUNUSED(type),
                                  const QelLexer* WXUNUSED(lexer) = nullptr)
    {
        return nullptr;
    }
    // The current project list; null here.
    virtual QelListViewFile* GetProject() { return nullptr; }

    // Opens through the base frame; a file that opened becomes the most
    // recent one, a failed load is not recorded.
    using QelFrame::OpenFile;
    bool OpenFile(const QelFileName& filename, int line_number = 0,
                  const wxString& match = wxEmptyString, long flags = 0) override;

    QelProcessListView* GetProcess() { return m_Process; }
    wxString GetRecentFile() const { return Entry(m_FileHistory, 0); }
    wxString GetRecentProject() const { return Entry(m_ProjectHistory, 0); }
    const wxFileHistory& GetFileHistory() const { return m_FileHistory; }
    const wxFileHistory& GetProjectHistory() const { return m_ProjectHistory; }

    // Empty texts are ignored.
    void SetRecentFile(const wxString& file);
    void SetRecentProject(const wxString& project);
    // A project that cannot be read is not offered, nor reopened at a start.
    void RemoveRecentProject(const wxString& project);

    // Appends the "Open Recent" submenu under id; the file history is read
    // from the settings here.
    void UseFileHistory(wxWindowID id, wxMenu* menu);
    // The same for projects; nothing when no project is remembered at all.
    void UseProjectHistory(wxWindowID id, wxMenu* menu);
    // The list shows the recent files that exist, newest first, from now on.
    void UseFileHistoryList(QelListView* list);
    // The recent files as a popup menu at the mouse; nothing when empty.
    void FileHistoryPopupMenu();

    // The title with or without the mark " *" of unsaved changes; titles of
    // two characters or fewer keep their mark.
    static wxString TitleMark(const wxString& title, bool modified);

    // The settings labels of the find in files dialogs.
    const wxString& GetTextInFiles() const { return m_TextInFiles; }
    const wxString& GetTextInFolder() const { return m_TextInFolder; }
    const wxString& GetTextRecursive() const { return m_TextRecursive; }

    // Find (ID_FIND_IN_FILES) or replace (ID_REPLACE_IN_FILES) in the files
    // of the folder that the dialog's stored settings name. The replace
    // dialog offers no whole word: a replace runs without it.
    void FindInFiles(int dialogid);
    // Asks the selection dialog for tool id (ID_TOOL_FIND_IN_FILES or
    // ID_TOOL_REPLACE_IN_FILES), then runs it over the files and folders;
    // folders are always walked with their sub-folders.
    void FindInSelection(const wxArrayString& files, int id);
    // The modal dialog for a run over a selection: wxID_OK or wxID_CANCEL.
    // add_in_files adds the "In files" patterns (a folder is selected).
    int FindInSelectionDialog(int id, bool add_in_files = false);
    // The label of the find or replace in a selection for tool id.
    wxString GetFindInCaption(int id) const;
    // OK and Cancel of the modeless find dialogs, and Cancel of a project's
    // add items dialog (wxID_ADD), which stops a walk under way; other
    // dialogs go to the base frame.
    void OnCommandConfigDialog(int dialogid, int commandid) override;

    // Writes the recent files and projects into the settings, as a close does.
    void SaveHistory();

protected:
    // Does the current editor or project hold unsaved changes?
    bool IsModified();
    // A close asked while a run lets the event loop go on (a search in
    // files, a folder walk) would pull the window from under the run's
    // handler: the run is cancelled and the close, as asked, follows once
    // the handler has returned. True when the close waits.
    bool DeferClose(const wxCloseEvent& event);

    // The find in files dialogs; made and destroyed by the find code.
    QelConfigDialog* m_FiFDialog = nullptr;
    QelConfigDialog* m_RiFDialog = nullptr;

private:
    static wxString Entry(const wxFileHistory& history, size_t index);
    void UseHistory(wxWindowID id, wxMenu* menu, wxFileHistory& history);
    void CreateDialogs();
    // Shows the find or replace in files dialog (modeless).
    void ShowFindInFilesDialog(int dialogid);
    void DoRecent(wxFileHistory& history, size_t index, long flags);

    void OnClose(wxCloseEvent& event);
    void OnCommand(wxCommandEvent& event);
    void OnIdle(wxIdleEvent& event);

    wxFileHistory m_FileHistory;
    wxWeakRef<QelListView> m_FileHistoryList; // a page, which may be closed
    wxFileHistory m_ProjectHistory;
    QelProcessListView* m_Process = nullptr; // owned
    const wxString m_TextInFiles;
    const wxString m_TextInFolder;
    const wxString m_TextRecursive;
    bool m_CloseWaiting = false; // a close waits for the runs to end
    bool m_CloseForced = false;  // and one of those asked could not be refused

    wxDECLARE_EVENT_TABLE();
};
