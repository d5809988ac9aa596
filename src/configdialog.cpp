#include <qelkit/configdialog.h>

#include <set>

#include <wx/app.h>
#include <wx/checkbox.h>
#include <wx/checklst.h>
#include <wx/choicebk.h>
#include <wx/combobox.h>
#include <wx/dirdlg.h>
#include <wx/filepicker.h>
#include <wx/intl.h>
#include <wx/listbook.h>
#include <wx/notebook.h>
#include <wx/persist.h>
#include <wx/persist/bookctrl.h>
#include <wx/textctrl.h>
#include <wx/toolbook.h>
#include <wx/treebook.h>

#include <qelkit/frame.h>

// clang-format off
wxBEGIN_EVENT_TABLE(QelConfigDialog, QelDialog)
    EVT_BUTTON(wxID_APPLY, QelConfigDialog::OnCommand)
    EVT_BUTTON(wxID_CANCEL, QelConfigDialog::OnCommand)
    EVT_BUTTON(wxID_CLOSE, QelConfigDialog::OnCommand)
    EVT_BUTTON(wxID_OK, QelConfigDialog::OnCommand)
    EVT_UPDATE_UI(wxID_APPLY, QelConfigDialog::OnUpdateUI)
    EVT_UPDATE_UI(wxID_OK, QelConfigDialog::OnUpdateUI)
wxEND_EVENT_TABLE()
    // clang-format on

    namespace
{
    // The grid of one page; every column takes a share of the extra width.
    wxFlexGridSizer* CreatePageGrid(int rows, int cols)
    {
        auto* grid
            = rows == 0 ? new wxFlexGridSizer(cols, 0, 0) : new wxFlexGridSizer(rows, cols, 0, 0);
        for (int col = 0; col < cols; ++col) grid->AddGrowableCol(col);
        return grid;
    }

    // With a fixed number of rows, the row that just got an item grows.
    void GrowRowOfLastItem(wxFlexGridSizer * grid, int rows)
    {
        if (rows <= 0 || grid->GetItemCount() == 0) return;
        const size_t row = (grid->GetItemCount() - 1) / grid->GetCols();
        if (row < static_cast<size_t>(rows) && !grid->IsRowGrowable(row)) grid->AddGrowableRow(row);
    }

} // namespace

QelConfigDialog::QelConfigDialog(wxWindow* parent, const std::vector<QelConfigItem>& v,
                                 const wxString& title, int rows, int cols, long flags,
                                 wxWindowID id, int bookctrl_style, long style,
                                 const wxString& name)
    : QelDialog(parent, title, flags, id, wxDefaultPosition, wxDefaultSize, style, name)
    , m_ConfigItems(v)
{
    LayoutItems(rows, cols, bookctrl_style);
}

void QelConfigDialog::ForceCheckBoxChecked(const wxString& contains, const wxString& page)
{
    m_ForceCheckBoxChecked = true;
    m_Contains = contains;
    m_Page = page;
}

void QelConfigDialog::Reload() const
{
    // An item whose control could not be made was reported when laid out.
    for (const auto& item : m_ConfigItems)
        if (item.HasWindow()) item.ToConfig(false);
}

void QelConfigDialog::Save() const
{
    for (const auto& item : m_ConfigItems)
        if (item.HasWindow()) item.ToConfig(true);
}

void QelConfigDialog::LayoutItems(int rows, int cols, int bookctrl_style)
{
    if (m_ConfigItems.empty()) {
        AddUserSizer(CreateTextSizer(_("No further info available")), wxSizerFlags().Center());
        LayoutSizers(true);
        return;
    }

    wxBookCtrlBase* book
        = m_ConfigItems.front().GetPage().empty() ? nullptr : CreateBook(bookctrl_style);
    const bool readonly = GetButtonFlags() == wxCANCEL;
    wxString page;
    wxFlexGridSizer* grid = nullptr; // none yet: the first item starts a page
    wxFlexGridSizer* labelGrid = nullptr;
    int kind = -1;
    std::set<int> boundIds;

    for (auto& item : m_ConfigItems) {
        // Without a book all items share one grid, whatever pages they name.
        const bool newPage = grid == nullptr
            || (book != nullptr && !item.GetPage().empty() && item.GetPage() != page);
        if (newPage) {
            if (book != nullptr && book->GetCurrentPage() != nullptr)
                book->GetCurrentPage()->SetSizerAndFit(grid);
            if (book != nullptr) book->AddPage(new wxWindow(book, wxID_ANY), item.GetPage(), true);
            page = item.GetPage();
            grid = CreatePageGrid(rows, item.GetColumns() == -1 ? cols : item.GetColumns());
            // A label grid of the page before belongs to another window.
            labelGrid = nullptr;
            kind = -1;
        }

        wxWindow* parent = book != nullptr ? book->GetCurrentPage() : this;
        labelGrid
            = item.Layout(parent, grid, readonly, item.GetType() == kind ? labelGrid : nullptr);
        kind = item.GetType();

        // Once per id: a click reaches the first item of its id only once.
        if ((kind == CONFIG_BUTTON || kind == CONFIG_COMBOBOXDIR) && item.HasWindow()
            && boundIds.insert(item.GetWindow()->GetId()).second)
            Bind(wxEVT_BUTTON, &QelConfigDialog::OnCommand, this, item.GetWindow()->GetId());
        GrowRowOfLastItem(grid, rows);
    }

    if (book == nullptr) {
        AddUserSizer(grid, wxSizerFlags().Expand());
        LayoutSizers(true);
        return;
    }
    book->GetCurrentPage()->SetSizerAndFit(grid);
    FinishBook(book);
    LayoutSizers(false);
}

wxBookCtrlBase* QelConfigDialog::CreateBook(int bookctrl_style)
{
    switch (bookctrl_style) {
    case 0:
        return new wxNotebook(this, wxID_ANY, wxDefaultPosition, wxDefaultSize, 0);
    case 1:
        return new wxTreebook(this, wxID_ANY, wxDefaultPosition, wxDefaultSize, 0);
    case 2:
        return new wxChoicebook(this, wxID_ANY, wxDefaultPosition, wxDefaultSize, 0);
    case 3:
        return new wxListbook(this, wxID_ANY, wxDefaultPosition, wxDefaultSize, 0);
    case 4:
        return new wxToolbook(this, wxID_ANY, wxDefaultPosition, wxDefaultSize, 0);
    default:
        wxFAIL_MSG(wxString::Format("no book control of kind %d", bookctrl_style));
        return nullptr;
    }
}

// The book shows the page that was selected when a dialog of this name was
// last closed.
void QelConfigDialog::FinishBook(wxBookCtrlBase* book)
{
    book->SetName("book" + GetName());
    if (!wxPersistenceManager::Get().RegisterAndRestore(book)) book->SetSelection(0);
    AddUserSizer(book, wxSizerFlags().Expand());
}

void QelConfigDialog::OnCommand(wxCommandEvent& event)
{
    const int id = event.GetId();

    if (id < wxID_LOWEST) {
        const auto item = FindConfigItem(id);
        if (item != m_ConfigItems.end()) {
            switch (item->GetType()) {
            case CONFIG_COMBOBOXDIR:
                BrowseFolder(*item);
                break;
            case CONFIG_BUTTON:
                Click(id);
                break;
            default:
                wxFAIL_MSG(wxString::Format("item %d is no button", id));
                break;
            }
        }
    } else if (id == wxID_CANCEL) {
        Reload();
    } else {
        Save();
    }

    if (id == wxID_APPLY || ((id == wxID_OK || id == wxID_CANCEL) && !IsModal())) Click(id);

    // The toolkit ends the dialog on OK and Cancel.
    event.Skip();
}

// The chosen folder goes into the combo box only; OK or Apply store it.
void QelConfigDialog::BrowseFolder(const QelConfigItem& item)
{
    auto* box = static_cast<wxComboBox*>(item.GetWindow());
    wxDirDialog dialog(this, wxGetTranslation(wxDirSelectorPromptStr), box->GetValue(),
                       wxDD_DEFAULT_STYLE | wxDD_DIR_MUST_EXIST);
    if (dialog.ShowModal() == wxID_OK) box->SetValue(dialog.GetPath());
}

void QelConfigDialog::Click(int id) const
{
    if (wxTheApp == nullptr) return;
    auto* frame = dynamic_cast<QelFrame*>(wxTheApp->GetTopWindow());
    if (frame != nullptr) frame->OnCommandConfigDialog(GetId(), id);
}

std::vector<QelConfigItem>::const_iterator QelConfigDialog::FindConfigItem(int id) const
{
    for (auto it = m_ConfigItems.begin(); it != m_ConfigItems.end(); ++it)
        if (it->HasWindow() && it->GetWindow()->GetId() == id) return it;
    return m_ConfigItems.end();
}

void QelConfigDialog::OnUpdateUI(wxUpdateUIEvent& event)
{
    event.Enable(CanConfirm());
}

bool QelConfigDialog::IsForcedCheck(const wxString& label, const wxString& page, bool checked) const
{
    return checked && page == m_Page && label.Lower().Contains(m_Contains.Lower());
}

bool QelConfigDialog::CanConfirm() const
{
    bool forcedChecked = false;

    for (const auto& item : m_ConfigItems) {
        if (!item.HasWindow()) continue;
        wxWindow* window = item.GetWindow();
        const bool required = item.GetIsRequired();

        switch (item.GetType()) {
        case CONFIG_CHECKBOX:
            if (m_ForceCheckBoxChecked
                && IsForcedCheck(item.GetLabel(), item.GetPage(),
                                 static_cast<wxCheckBox*>(window)->GetValue()))
                forcedChecked = true;
            break;
        case CONFIG_CHECKLISTBOX_NONAME: {
            if (!m_ForceCheckBoxChecked) break;
            auto* list = static_cast<wxCheckListBox*>(window);
            for (unsigned row = 0; row < list->GetCount(); ++row)
                if (IsForcedCheck(list->GetString(row), item.GetPage(), list->IsChecked(row)))
                    forcedChecked = true;
            break;
        }
        case CONFIG_COMBOBOX:
        case CONFIG_COMBOBOXDIR:
            if (required && static_cast<wxComboBox*>(window)->GetValue().empty()) return false;
            break;
        case CONFIG_DIRPICKERCTRL:
        case CONFIG_FILEPICKERCTRL:
            if (required && static_cast<wxFileDirPickerCtrlBase*>(window)->GetPath().empty())
                return false;
            break;
        case CONFIG_INT:
        case CONFIG_STRING:
            if (required && static_cast<wxTextCtrl*>(window)->GetValue().empty()) return false;
            break;
        default:
            break;
        }
    }
    return !m_ForceCheckBoxChecked || forcedChecked;
}
