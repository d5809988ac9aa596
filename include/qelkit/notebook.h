// The frame's tabbed notebook whose pages are found by a key, usually the
// full path of the document a page shows.
#pragma once

#include <map>
#include <vector>

#include <wx/aui/auibook.h>
#include <wx/bitmap.h>
#include <wx/string.h>

#include <qelkit/attributes.h>
#include <qelkit/defs.h>

class QelManagedFrame;

class QelNotebook : public wxAuiNotebook {
public:
    // frame (may be null) is told about page changes, closes and the loss of
    // the last page.
    QelNotebook(wxWindow* parent, QelManagedFrame* frame = nullptr, wxWindowID id = wxID_ANY,
                const wxPoint& pos = wxDefaultPosition, const wxSize& size = wxDefaultSize,
                long style = wxAUI_NB_DEFAULT_STYLE);

    // Adds page under key, with the key as tab text when text is empty.
    // Null, adding nothing, when the key is in use or the toolkit refuses.
    // While the notebook is frozen, selecting (here and in SelectPage) waits
    // for the thaw, where the last page asked for is selected.
    // These hide the toolkit's forms on purpose: a page is never added
    // without a key.
#if defined(__clang__)
#pragma clang diagnostic push
#pragma clang diagnostic ignored "-Woverloaded-virtual"
#endif
    wxWindow* AddPage(wxWindow* page, const wxString& key, const wxString& text = wxEmptyString,
                      bool select = false, const wxBitmap& bitmap = wxNullBitmap);
    wxWindow* InsertPage(size_t page_idx, wxWindow* page, const wxString& key,
                         const wxString& text = wxEmptyString, bool select = false,
                         const wxBitmap& bitmap = wxNullBitmap);
#if defined(__clang__)
#pragma clang diagnostic pop
#endif

    // Deletes (destroys) the page of key.
    bool DeletePage(const wxString& key);
    // Deleting by index also forgets the page's key.
    bool DeletePage(size_t page) override;
    // Deletes the pages as one change of the notebook: one relayout, and the
    // frame told once of the page left selected. False when one was not a
    // page.
    bool DeletePages(const std::vector<wxWindow*>& pages);

    wxWindow* GetPageByKey(const wxString& key) const;
    // The page's index, or wxNOT_FOUND.
    int GetPageIndexByKey(const wxString& key) const;
    // The key of page; empty (and an assertion) for a page without key.
    wxString GetKeyByPage(wxWindow* page) const;

    // Selects and returns the page of key; null for an unknown key.
    wxWindow* SelectPage(const wxString& key);

    // Re-keys the page of key under new_key with tab text text (and bitmap
    // when valid). False for an unknown key, and for a new_key that another
    // page holds.
    bool SetPageText(const wxString& key, const wxString& new_key, const wxString& text,
                     const wxBitmap& bitmap = wxNullBitmap);
    using wxAuiNotebook::SetPageText;

    // Asks, last to first, whether each changed editor page is to be saved
    // (clean pages ask nothing), and adds the pages that may close to
    // closable: all of them, or those before a cancel or a failed save, when
    // it returns false. Deletes nothing.
    bool AllowCloseAll(std::vector<wxWindow*>& closable);

    // Runs the command id (ID_ALL_*) over every editor page, last to first.
    // False when a close was cancelled or refused by a failed save, or when
    // a save failed.
    bool ForEach(int id);

    size_t GetKeyCount() const noexcept { return m_MapPages.size(); }

    // The notebook that window would be a page of: its parent, or for a page
    // not shown its parent's parent; null when neither is a notebook.
    static QelNotebook* Of(wxWindow* window);

    ~QelNotebook() override;

    // Passes the idle time on to the pages shown only.
    bool SendIdleEvents(wxIdleEvent& event) override;
    // Looked up in the theme once: the toolkit asks for them with every
    // device context made on the notebook.
    wxVisualAttributes GetDefaultAttributes() const override;

protected:
    void DoThaw() override;

private:
    void FitTabHeight(const wxBitmap& bitmap);
    // The key of a page that went, or was keyed anew, passes to another
    // editor page bound to the file of that name.
    void PassKey(const wxString& key);
    void ErasePage(const wxString& key);
    void ErasePage(wxWindow* page);
    void OnNotebook(wxAuiNotebookEvent& event);
    void OnPageShow(wxShowEvent& event);
    // Puts the page under the notebook while it is shown, else under
    // m_HiddenPages.
    void PlacePage(wxWindow* page);

    QelManagedFrame* m_Frame;
    std::map<wxString, wxWindow*> m_MapPages;
    bool m_Deleting = false;                // in DeletePages: page changes are told at its end
    wxWindow* m_PendingSelection = nullptr; // selected at the thaw
    int m_TabBitmapHeight = -1; // of the tallest tab bitmap so far; -1 before the first tab
    QelDefaultAttributes m_DefaultAttributes{this};
    // The parent of the pages not shown, hidden itself: each blink of a
    // caret in a page draws the notebook, and GTK goes through every child
    // of the window it draws, shown or not, hundreds of pages with as many
    // files open.
    wxWindow* m_HiddenPages;

    wxDECLARE_EVENT_TABLE();
};
