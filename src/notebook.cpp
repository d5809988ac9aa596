#include <qelkit/notebook.h>

#include <algorithm>
#include <set>

#include <wx/log.h>

#include <qelkit/filedlg.h>
#include <qelkit/managedframe.h>
#include <qelkit/paint.h>
#include <qelkit/stc.h>

wxBEGIN_EVENT_TABLE(QelNotebook, wxAuiNotebook)
    EVT_AUINOTEBOOK_PAGE_CHANGED(wxID_ANY, QelNotebook::OnNotebook)
    EVT_AUINOTEBOOK_PAGE_CLOSE(wxID_ANY, QelNotebook::OnNotebook)
wxEND_EVENT_TABLE()

QelNotebook::QelNotebook(wxWindow* parent, QelManagedFrame* frame, wxWindowID id,
                         const wxPoint& pos, const wxSize& size, long style)
    : wxAuiNotebook(parent, id, pos, size, style)
    , m_Frame(frame)
    , m_HiddenPages(new wxWindow(this, wxID_ANY))
{
    m_HiddenPages->Hide();
    // Drawn whole by its own manager, as a managed frame is.
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    QelSkipPaintsUnderChildren(m_mgr, this);
}

QelNotebook::~QelNotebook()
{
    // The toolkit's part deletes the pages after this, showing one after
    // another as it goes: they must not reach this part any more.
    for (size_t i = 0; i < GetPageCount(); ++i)
        GetPage(i)->Unbind(wxEVT_SHOW, &QelNotebook::OnPageShow, this);
}

bool QelNotebook::SendIdleEvents(wxIdleEvent& event)
{
    // The toolkit hands each idle time to every child, and every child then
    // asks for the update of its own id through all of its handlers: with
    // hundreds of files open that walk was most of what the program did
    // while nobody used it. A page not shown has nothing to show updated;
    // it gets its idle time again once chosen.
    bool more = false;
    OnInternalIdle();
    if (wxIdleEvent::GetMode() == wxIDLE_PROCESS_ALL || HasExtraStyle(wxWS_EX_PROCESS_IDLE)) {
        event.SetEventObject(this);
        HandleWindowEvent(event);
        more = event.MoreRequested();
    }
    // The pages not shown are children of m_HiddenPages, which is passed
    // over: the notebook's own children are its tab controls and the page
    // shown. A copy, as an idle handler may add or close a page, and one
    // closed is passed over.
    const wxWindowList& children = GetChildren();
    const std::vector<wxWindow*> shown(children.begin(), children.end());
    for (wxWindow* child : shown) {
        if (child == m_HiddenPages || !children.Find(child)) continue;
        if (child->SendIdleEvents(event)) more = true;
    }
    return more;
}

void QelNotebook::OnPageShow(wxShowEvent& event)
{
    event.Skip();
    // A page moved to another notebook is that one's to place.
    auto* page = dynamic_cast<wxWindow*>(event.GetEventObject());
    if (page != nullptr && GetPageIndex(page) != wxNOT_FOUND) PlacePage(page);
}

QelNotebook* QelNotebook::Of(wxWindow* window)
{
    wxWindow* parent = window->GetParent();
    if (auto* notebook = dynamic_cast<QelNotebook*>(parent)) return notebook;
    return parent != nullptr ? dynamic_cast<QelNotebook*>(parent->GetParent()) : nullptr;
}

void QelNotebook::PlacePage(wxWindow* page)
{
    wxWindow* const parent = page->IsShown() ? this : m_HiddenPages;
    if (page->GetParent() == parent) return;
    page->Reparent(parent);
#ifdef __WXGTK__
    // Put under a shown window, GTK would show it only at the next idle
    // time: shown now, it takes the focus the selection gives it.
    if (parent == this) page->GTKShowFromOnIdle();
#endif
}

wxVisualAttributes QelNotebook::GetDefaultAttributes() const
{
    return m_DefaultAttributes.Get([this] { return wxAuiNotebook::GetDefaultAttributes(); });
}

wxWindow* QelNotebook::AddPage(wxWindow* page, const wxString& key, const wxString& text,
                               bool select, const wxBitmap& bitmap)
{
    return InsertPage(GetPageCount(), page, key, text, select, bitmap);
}

wxWindow* QelNotebook::InsertPage(size_t page_idx, wxWindow* page, const wxString& key,
                                  const wxString& text, bool select, const wxBitmap& bitmap)
{
    if (m_MapPages.count(key) > 0) return nullptr;
    FitTabHeight(bitmap);
    // While frozen, a batch of pages is on its way: each selection would
    // measure the tabs and tell the frame, so only the last page asked for
    // is selected, once thawed.
    const bool defer = select && IsFrozen();
    // A page-changed event raised here reaches the frame before the key is
    // known.
    if (!wxAuiNotebook::InsertPage(page_idx, page, text.empty() ? key : text, select && !defer,
                                   bitmap)) {
        wxFAIL_MSG("Assert failure");
        return nullptr;
    }
    m_MapPages[key] = page;
    page->Bind(wxEVT_SHOW, &QelNotebook::OnPageShow, this);
    PlacePage(page); // the toolkit hid one not selected before it could be told
    if (defer) m_PendingSelection = page;
    return page;
}

void QelNotebook::FitTabHeight(const wxBitmap& bitmap)
{
    // Left to itself the toolkit measures every tab again for each page
    // added, though the height depends only on the font and the tallest
    // bitmap: it is measured here once, and again for a taller bitmap.
    const int height = bitmap.IsOk() ? bitmap.GetLogicalHeight() : 0;
    if (m_TabBitmapHeight >= 0 && height <= m_TabBitmapHeight) return;
    m_TabBitmapHeight = height;
    wxAuiNotebookPageArray pages;
    wxAuiNotebookPage page;
    page.window = nullptr;
    page.active = true;
    page.hover = false;
    pages.Add(page);
    const wxSize size = height > 0 ? wxSize(height, height) : wxDefaultSize;
    SetTabCtrlHeight(GetArtProvider()->GetBestTabCtrlSize(this, pages, size));
}

bool QelNotebook::DeletePage(const wxString& key)
{
    const auto it = m_MapPages.find(key);
    wxCHECK_MSG(it != m_MapPages.end(), false, "unknown page key " + key);
    const int index = GetPageIndex(it->second);
    if (index == wxNOT_FOUND || !DeletePage(static_cast<size_t>(index))) {
        wxFAIL_MSG("Assert failure");
        return false;
    }
    return true;
}

bool QelNotebook::DeletePage(size_t page)
{
    wxWindow* window = page < GetPageCount() ? GetPage(page) : nullptr;
    if (!wxAuiNotebook::DeletePage(page)) return false;
    ErasePage(window);
    return true;
}

bool QelNotebook::DeletePages(const std::vector<wxWindow*>& pages)
{
    if (pages.empty() || GetPageCount() == 0) return pages.empty();
    wxWindow* const selected = GetCurrentPage();
    // Known before it goes: a page made meanwhile may take its address.
    const bool selected_goes = std::find(pages.begin(), pages.end(), selected) != pages.end();
    const bool had_focus = IsDescendant(FindFocus());
    const bool shown = IsShown();

    // After each deletion the toolkit selects a page again, lays out and
    // paints the notebook, looks for a scroll position that shows the tab by
    // measuring the tabs before it, and would have the frame show the
    // properties of every page on the way. Hidden, untold, and with the first
    // tab selected (found at once), the batch costs one layout whatever its
    // size.
    m_Deleting = true;
    Hide();
    SetSelection(0);
    wxWindow* const first = GetPage(0);
    bool deleted = true;
    for (wxWindow* page : pages) {
        if (page == first) continue;
        const int index = GetPageIndex(page);
        deleted = index != wxNOT_FOUND && DeletePage(static_cast<size_t>(index)) && deleted;
    }
    if (std::find(pages.begin(), pages.end(), first) != pages.end())
        deleted = DeletePage(size_t{0}) && deleted;
    // The page selected before stays so; else the last one, as the pages
    // went from the right.
    const int kept = selected_goes ? wxNOT_FOUND : GetPageIndex(selected);
    if (const int last = static_cast<int>(GetPageCount()) - 1; last >= 0) {
        const int select = kept != wxNOT_FOUND ? kept : last;
        if (select != GetSelection()) SetSelection(select);
    }
    m_Deleting = false;
    Show(shown);

    wxWindow* const current = GetCurrentPage();
    if (current != nullptr && had_focus) current->SetFocus();
    if (current != nullptr && selected_goes && m_Frame != nullptr)
        m_Frame->OnNotebook(GetId(), current);
    return deleted;
}

wxWindow* QelNotebook::GetPageByKey(const wxString& key) const
{
    const auto it = m_MapPages.find(key);
    return it == m_MapPages.end() ? nullptr : it->second;
}

int QelNotebook::GetPageIndexByKey(const wxString& key) const
{
    wxWindow* page = GetPageByKey(key);
    return page == nullptr ? wxNOT_FOUND : GetPageIndex(page);
}

wxString QelNotebook::GetKeyByPage(wxWindow* page) const
{
    for (const auto& [key, window] : m_MapPages)
        if (window == page) return key;
    wxFAIL_MSG("Assert failure");
    return wxString();
}

wxWindow* QelNotebook::SelectPage(const wxString& key)
{
    const int index = GetPageIndexByKey(key);
    if (index == wxNOT_FOUND) return nullptr;
    if (IsFrozen())
        m_PendingSelection = GetPage(index);
    else
        SetSelection(index);
    return GetPage(index);
}

bool QelNotebook::SetPageText(const wxString& key, const wxString& new_key, const wxString& text,
                              const wxBitmap& bitmap)
{
    const auto it = m_MapPages.find(key);
    if (it == m_MapPages.end()) return false;
    wxWindow* page = it->second;
    // Taking a key another page holds would leave that page without one.
    const auto other = m_MapPages.find(new_key);
    if (other != m_MapPages.end() && other->second != page) return false;

    m_MapPages.erase(it);
    m_MapPages[new_key] = page;
    const int index = GetPageIndex(page);
    if (!wxAuiNotebook::SetPageText(index, text)) wxFAIL_MSG("Assert failure");
    if (bitmap.IsOk()) SetPageBitmap(index, bitmap);
    if (new_key != key) PassKey(key);
    return true;
}

void QelNotebook::DoThaw()
{
    wxAuiNotebook::DoThaw();
    wxWindow* const page = m_PendingSelection;
    m_PendingSelection = nullptr;
    // Selecting the selected page again would give the tabs the keyboard
    // focus, which the page took when it was added.
    if (const int index = GetPageIndex(page); index != wxNOT_FOUND && index != GetSelection())
        SetSelection(index);
}

void QelNotebook::ErasePage(const wxString& key)
{
    const auto it = m_MapPages.find(key);
    if (it == m_MapPages.end()) return;
    if (it->second == m_PendingSelection) m_PendingSelection = nullptr;
    m_MapPages.erase(it);
    PassKey(key);
    if (m_MapPages.empty() && m_Frame != nullptr) m_Frame->SyncCloseAll(GetId());
}

void QelNotebook::PassKey(const wxString& key)
{
    // The file's page went, or went on to another file, while a view of the
    // file stays (a split view, keyed apart): that view takes the file's
    // key, so that opening the file finds it instead of making the file a
    // second document. Closing all pages comes here for each: the names are
    // compared first, and a full path made only for a page of that name.
    const wxString name = key.AfterLast(wxFileName::GetPathSeparator());
    for (const auto& [view_key, window] : m_MapPages) {
        const auto* stc = dynamic_cast<const QelSTC*>(window);
        if (stc == nullptr || view_key == key) continue;
        const wxFileName& file = stc->GetFileName();
        if (file.GetFullName() != name || file.GetFullPath() != key) continue;
        wxWindow* const view = window;
        m_MapPages.erase(wxString(view_key));
        m_MapPages[key] = view;
        return;
    }
}

void QelNotebook::ErasePage(wxWindow* page)
{
    for (const auto& [key, window] : m_MapPages) {
        if (window == page) {
            ErasePage(wxString(key));
            return;
        }
    }
}

void QelNotebook::OnNotebook(wxAuiNotebookEvent& event)
{
    const int selection = event.GetSelection();
    wxWindow* page = selection >= 0 && static_cast<size_t>(selection) < GetPageCount()
        ? GetPage(selection)
        : nullptr;

    if (event.GetEventType() == wxEVT_AUINOTEBOOK_PAGE_CHANGED) {
        event.Skip();
        if (m_Frame != nullptr && !m_Deleting) m_Frame->OnNotebook(GetId(), page);
        return;
    }

    // A page close.
    if (m_Frame != nullptr && !m_Frame->AllowClose(GetId(), page)) {
        event.Veto();
        return;
    }
    ErasePage(page);
    if (m_Frame != nullptr) m_Frame->HideViBar();
    event.Skip();
}

bool QelNotebook::AllowCloseAll(std::vector<wxWindow*>& closable)
{
    std::set<void*> answered; // the documents asked about, once for all their views
    for (int page = static_cast<int>(GetPageCount()) - 1; page >= 0; --page) {
        auto* stc = dynamic_cast<QelSTC*>(GetPage(page));
        if (stc == nullptr) {
            wxFAIL_MSG("Assert failure");
            continue;
        }
        // Only a changed document is asked about, with no file chooser
        // built unless a never-saved one must be named.
        if (answered.insert(stc->GetDocPointer()).second
            && QelSaveIfChanged(this, &stc->GetFile()) == wxID_CANCEL)
            return false;
        closable.push_back(stc);
    }
    return true;
}

bool QelNotebook::ForEach(int id)
{
    if (id == ID_ALL_CLOSE) {
        // The pages go in one batch once the questions are answered.
        std::vector<wxWindow*> closable;
        const bool allowed = AllowCloseAll(closable);
        DeletePages(closable);
        return allowed;
    }
    bool result = true;
    for (int page = static_cast<int>(GetPageCount()) - 1; page >= 0; --page) {
        auto* stc = dynamic_cast<QelSTC*>(GetPage(page));
        if (stc == nullptr) {
            wxFAIL_MSG("Assert failure");
            continue;
        }
        switch (id) {
        case ID_ALL_CONFIG_GET:
            stc->ConfigGet();
            break;
        case ID_ALL_SAVE: {
            if (!stc->GetFile().GetContentsChanged()) break;
            // A never-saved document asks for its name rather than landing
            // in the working folder; its page is then keyed by that name.
            const wxString key = GetKeyByPage(stc);
            if (!QelSaveFile(this, &stc->GetFile())) {
                result = false;
                break;
            }
            const QelFileName& saved = stc->GetFile().GetFileName();
            if (saved.GetFullPath() != key)
                SetPageText(key, saved.GetFullPath(), saved.GetFullName());
            break;
        }
        case ID_ALL_STC_SET_LEXER:
        case ID_ALL_STC_SET_LEXER_THEME:
            stc->SetLexer(stc->GetLexer().GetScintillaLexer(), true);
            break;
        default:
            wxFAIL_MSG("Assert failure");
            break;
        }
    }
    return result;
}
