#include <qelkit/listviewfile.h>

#include <wx/config.h>
#include <wx/dirdlg.h>
#include <wx/filename.h>
#include <wx/textbuf.h>
#include <wx/textdlg.h>
#include <wx/tokenzr.h>

#include <qelkit/lexer.h>
#include <qelkit/listitem.h>
#include <qelkit/status.h>

namespace {

using Col = QelColumn;

// The columns every file list but the folder list ends with; QelListItem
// fills them from the file.
bool IsFileColumn(const wxString& name)
{
    return name == _("Modified") || name == _("In Folder") || name == _("Type")
        || name == _("Size");
}

void InsertFileColumns(QelListView* lv)
{
    lv->InsertColumn(Col(_("Modified"), Col::COL_DATE, 150));
    lv->InsertColumn(Col(_("In Folder"), Col::COL_STRING, 175));
    lv->InsertColumn(Col(_("Type"), Col::COL_STRING, 100));
    lv->InsertColumn(Col(_("Size"), Col::COL_INT, 60));
}

// The type's own columns, between "File Name" and the file columns.
std::vector<Col> OwnColumns(QelListViewFileName::ListType type)
{
    using LV = QelListViewFileName;
    switch (type) {
    case LV::LIST_COUNT:
        return {Col(_("Lines"), Col::COL_INT),       Col(_("Lines Of Code"), Col::COL_INT),
                Col(_("Empty Lines"), Col::COL_INT), Col(_("Words Of Code"), Col::COL_INT),
                Col(_("Comments"), Col::COL_INT),    Col(_("Comment Size"), Col::COL_INT)};
    case LV::LIST_FIND:
        return {Col(_("Line"), Col::COL_STRING, 250), Col(_("Match"), Col::COL_STRING),
                Col(_("Line No"), Col::COL_INT)};
    case LV::LIST_REPLACE:
        return {Col(_("Line"), Col::COL_STRING, 250), Col(_("Match"), Col::COL_STRING),
                Col(_("Line No"), Col::COL_INT), Col(_("Replaced"), Col::COL_STRING)};
    case LV::LIST_PROCESS:
        return {Col(_("Line"), Col::COL_STRING, 250), Col(_("Line No"), Col::COL_INT),
                Col(_("File Name"), Col::COL_STRING)};
    case LV::LIST_REVISION:
        return {Col(_("Revision Comment"), Col::COL_STRING, 400), Col(_("Date"), Col::COL_DATE),
                Col(_("Initials"), Col::COL_STRING), Col(_("Line No"), Col::COL_INT),
                Col(_("Revision"), Col::COL_STRING)};
    case LV::LIST_SQL:
        return {Col(_("Run Time"), Col::COL_DATE), Col(_("Query"), Col::COL_STRING, 400),
                Col(_("Line No"), Col::COL_INT)};
    default:
        return {};
    }
}

} // namespace

// clang-format off
wxBEGIN_EVENT_TABLE(QelListViewFileName, QelListView)
    EVT_LIST_ITEM_ACTIVATED(wxID_ANY, QelListViewFileName::OnList)
    EVT_LIST_ITEM_SELECTED(wxID_ANY, QelListViewFileName::OnList)
    EVT_MENU(wxID_ADD, QelListViewFileName::OnCommand)
wxEND_EVENT_TABLE();
// clang-format on

QelListViewFileName::QelListViewFileName(wxWindow* parent, ListType type, wxWindowID id,
                                         const QelLexer* lexer, const wxPoint& pos,
                                         const wxSize& size, long style,
                                         const wxValidator& validator, const wxString& name)
    : QelListView(parent, id, pos, size, style, IMAGE_FILE_ICON, validator, name)
    , m_Type(type)
{
    Initialize(lexer);
}

wxString QelListViewFileName::GetTypeDescription(ListType type)
{
    switch (type) {
    case LIST_FOLDER:
        return _("Folder");
    case LIST_COUNT:
        return _("File Count");
    case LIST_FIND:
        return _("Find Results");
    case LIST_HISTORY:
        return _("History");
    case LIST_KEYWORD:
        return _("Keywords");
    case LIST_REPLACE:
        return _("Replace Results");
    case LIST_PROCESS:
        return _("Process Output");
    case LIST_FILE:
        return _("File");
    case LIST_REVISION:
        return _("Revisions");
    case LIST_SQL:
        return _("SQL Queries");
    case LIST_VERSION:
        return _("Version List");
    default:
        wxFAIL_MSG("unknown list type");
        return wxEmptyString;
    }
}

void QelListViewFileName::Initialize(const QelLexer* lexer)
{
    SetName(GetTypeDescription());

    if (m_Type == LIST_FOLDER) {
        SetSingleStyle(wxLC_SMALL_ICON | wxLC_NO_HEADER);
        return;
    }
    SetSingleStyle(wxLC_REPORT);

    if (m_Type == LIST_KEYWORD) {
        if (lexer == nullptr) {
            wxFAIL_MSG("a keyword list needs a lexer");
            return;
        }
        SetName(GetTypeDescription() + " " + lexer->GetScintillaLexer());
    }

    if (m_Type != LIST_PROCESS) InsertColumn(Col(_("File Name"), Col::COL_STRING));
    for (const Col& col : OwnColumns(m_Type)) InsertColumn(col);
    if (m_Type == LIST_KEYWORD) {
        for (const wxString& keyword : lexer->GetKeywords()) {
            InsertColumn(Col(keyword, Col::COL_INT));
        }
        InsertColumn(Col(_("Keywords"), Col::COL_INT));
    }
    InsertFileColumns(this);
}

// --- text form ---

wxString QelListViewFileName::ItemToText(long item_number) const
{
    const wxString eol = wxTextBuffer::GetEOL();
    if (item_number == -1) {
        wxString text;
        for (long row = 0; row < GetItemCount(); row++) {
            text += GetItemText(row, 0) + eol;
        }
        return text;
    }
    if (m_Type == LIST_FOLDER) return GetItemText(item_number, 0);

    const QelListItem item(const_cast<QelListViewFileName*>(this), item_number);
    const QelFileName& fn = item.GetFileName();
    // The full path also for a file that is missing now, so that its row
    // keeps its folder through a copy or a save.
    wxString text = fn.GetFullPath();
    if (wxFileName::DirExists(fn.GetPath())) {
        text += GetFieldSeparator() + GetItemText(item_number, _("Type"));
    }
    if (m_Type != LIST_FILE) text += GetFieldSeparator() + QelListView::ItemToText(item_number);
    return text;
}

bool QelListViewFileName::ItemFromText(const wxString& text)
{
    if (text.empty()) return false;

    bool added = false;
    wxStringTokenizer lines(text, wxTextBuffer::GetEOL());
    while (lines.HasMoreTokens()) {
        const wxString line = lines.GetNextToken();
        added = true;
        if (m_Type == LIST_FOLDER) {
            QelListItem(this, QelFileName(line), wxEmptyString).Insert(-1);
            continue;
        }
        const wxArrayString cells = wxStringTokenize(line, wxString(GetFieldSeparator()));
        if (cells.empty()) {
            QelListItem(this, QelFileName(line), wxEmptyString).Insert(-1);
            continue;
        }
        const QelFileName fn(cells[0]);
        const long row = GetItemCount();
        if (!wxFileName::FileExists(cells[0])) {
            QelListItem(this, fn, cells.size() > 1 ? cells[1] : wxString()).Insert(-1);
        } else {
            QelListItem(this, fn, wxEmptyString).Insert(-1);
        }
        // After the path comes the "Type" cell, written only when the
        // file's folder exists, then the row's cells from the first column on.
        AddCellsFromText(row, cells, wxFileName::DirExists(fn.GetPath()) ? 2 : 1);
    }
    return added;
}

void QelListViewFileName::AddCellsFromText(long row, const wxArrayString& cells, size_t first)
{
    const auto& columns = GetColumns();
    for (size_t i = first, col = 0; i < cells.size() && col < columns.size(); i++, col++) {
        const wxString& name = columns[col].GetText();
        // The file fills its own columns and its name.
        if (IsFileColumn(name) || name == _("File Name")) continue;
        SetItem(row, static_cast<int>(col), cells[i]);
    }
}

void QelListViewFileName::ItemsUpdate()
{
    for (long row = 0; row < GetItemCount(); row++) QelListItem(this, row).Update();
}

void QelListViewFileName::DeleteDoubles()
{
    const long before = GetItemCount();
    // Nothing is remembered at the start, and rows without a file name are
    // never doubles: the last row, and lines of output naming no file, stay.
    bool has_kept = false;
    time_t kept_time = 0;
    wxString kept_name;
    for (long row = before - 1; row >= 0; row--) {
        const wxString name = GetItemText(row, _("File Name"));
        const time_t mtime = QelListItem(this, row).GetFileName().GetStat().st_mtime;
        if (has_kept && !name.empty() && mtime == kept_time && name == kept_name) {
            DeleteItem(row);
        } else {
            has_kept = true;
            kept_time = mtime;
            kept_name = name;
        }
    }
    if (GetItemCount() != before) ItemsUpdate();
}

// --- events ---

void QelListViewFileName::ItemActivated(long item_number)
{
    if (item_number < 0) {
        wxFAIL_MSG("no row to activate");
        return;
    }
    if (m_Type == LIST_FOLDER) {
        wxDirDialog dlg(this, wxGetTranslation(wxDirSelectorPromptStr),
                        GetItemText(item_number, 0),
                        wxDD_DEFAULT_STYLE | wxDD_DIR_MUST_EXIST);
        if (dlg.ShowModal() == wxID_OK) SetItemText(item_number, dlg.GetPath());
        return;
    }
    QelListItem item(this, item_number);
    const QelFileName& fn = item.GetFileName();
    if (wxFileName::FileExists(fn.GetFullPath()) || !wxFileName::DirExists(fn.GetPath())) return;
    // A folder, or one no longer there, has a type to give; a device or a
    // named pipe has none.
    if (fn.Exists(wxFILE_EXISTS_ANY) && !wxFileName::DirExists(fn.GetFullPath())) return;

    wxTextEntryDialog dlg(this, _("Input") + ":", _("Folder Type"),
                          GetItemText(item_number, _("Type")), wxOK | wxCANCEL | wxCENTRE);
    if (dlg.ShowModal() == wxID_OK) item.SetItem(_("Type"), dlg.GetValue());
}

void QelListViewFileName::OnCommand(wxCommandEvent& event)
{
    if (event.GetId() != wxID_ADD) {
        wxFAIL_MSG("unexpected command");
        return;
    }
    wxDirDialog dlg(this, wxGetTranslation(wxDirSelectorPromptStr), wxEmptyString,
                    wxDD_DEFAULT_STYLE | wxDD_DIR_MUST_EXIST);
    if (dlg.ShowModal() != wxID_OK) return;
    QelListItem(this, QelFileName(dlg.GetPath()), wxEmptyString).Insert(GetFirstSelected());
}

void QelListViewFileName::OnList(wxListEvent& event)
{
    if (event.GetEventType() == wxEVT_LIST_ITEM_SELECTED) {
        if (GetSelectedItemCount() == 1) {
            QelLogStatus(QelListItem(this, event.GetIndex()).GetFileName(), STAT_FULLPATH);
        }
        event.Skip();
    } else if (event.GetEventType() == wxEVT_LIST_ITEM_ACTIVATED) {
        ItemActivated(event.GetIndex());
    } else {
        wxFAIL_MSG("unexpected list event");
    }
}

// --- the folder list of a settings dialog ---

QelListViewFolder::QelListViewFolder(wxWindow* parent, wxWindowID id, const wxPoint& pos,
                                     const wxSize& size, long style, const wxValidator& validator,
                                     const wxString& name)
    : QelListViewFileName(parent, LIST_FOLDER, id, nullptr, pos, size, style, validator, name)
{ }

void QelListViewFolder::SetFolders(const wxString& text)
{
    DeleteAllItems();
    ItemFromText(text);
}
