#include <qelkit/report/listviewframe.h>

#include <cstdlib>

#include <wx/config.h>
#include <wx/filename.h>
#include <wx/weakref.h>

#include <qelkit/lexers.h>
#include <qelkit/listitem.h>
#include <qelkit/menu.h>
#include <qelkit/report/frame.h>
#include <qelkit/report/textfile.h>
#include <qelkit/report/util.h>
#include <qelkit/status.h>
#include <qelkit/util.h>
#include <qelkit/vcs.h>
#include <qelkit/vcsmenu.h>

namespace {

bool HasComparator()
{
    return !wxConfigBase::Get()->Read(_("Comparator"), wxEmptyString).empty();
}

bool UsesVersionControl()
{
    return QelVCS(wxArrayString()).Use();
}

} // namespace

// clang-format off
wxBEGIN_EVENT_TABLE(QelListViewWithFrame, QelListViewFileName)
    EVT_MENU_RANGE(ID_LIST_LOWEST, ID_LIST_HIGHEST, QelListViewWithFrame::OnCommand)
    EVT_MENU_RANGE(ID_TOOL_LOWEST, ID_TOOL_HIGHEST, QelListViewWithFrame::OnCommand)
    EVT_MENU_RANGE(ID_EDIT_VCS_LOWEST, ID_EDIT_VCS_HIGHEST, QelListViewWithFrame::OnCommand)
wxEND_EVENT_TABLE();
// clang-format on

QelListViewWithFrame::QelListViewWithFrame(wxWindow* parent, QelFrameWithHistory* frame,
                                           ListType type, wxWindowID id, long menu_flags,
                                           const QelLexer* lexer, const wxPoint& pos,
                                           const wxSize& size, long style,
                                           const wxValidator& validator, const wxString& name)
    : QelListViewFileName(parent, type, id, lexer, pos, size, style, validator, name)
    , m_MenuFlags(menu_flags)
    , m_Frame(frame)
{
    if (type == LIST_HISTORY) m_Frame->UseFileHistoryList(this);
}

QelListViewWithFrame::~QelListViewWithFrame()
{
    // The page was closed while a tool ran over its rows: the rows to come
    // are gone with it.
    if (m_RunningTool) QelToolRun::Cancel();
}

QelListViewFileName::ListType QelListViewWithFrame::GetTypeTool(const QelTool& tool)
{
    switch (tool.GetId()) {
    case ID_TOOL_FIND_IN_FILES:
        return LIST_FIND;
    case ID_TOOL_REPLACE_IN_FILES:
        return LIST_REPLACE;
    case ID_TOOL_REPORT_COUNT:
        return LIST_COUNT;
    case ID_TOOL_REPORT_VERSION:
        return LIST_VERSION;
    case ID_TOOL_REPORT_REVISION:
        return LIST_REVISION;
    case ID_TOOL_REPORT_KEYWORD:
        return LIST_KEYWORD;
    case ID_TOOL_REPORT_SQL:
        return LIST_SQL;
    default:
        wxFAIL;
        return LIST_FILE;
    }
}

std::vector<long> QelListViewWithFrame::Selection() const
{
    std::vector<long> rows;
    for (long row = GetFirstSelected(); row != -1; row = GetNextSelected(row)) {
        rows.push_back(row);
    }
    return rows;
}

void QelListViewWithFrame::ItemActivated(long item_number)
{
    const QelListItem item(this, item_number);
    if (!wxFileName::FileExists(item.GetFileName().GetFullPath())) {
        QelListViewFileName::ItemActivated(item_number);
        return;
    }
    const int line = std::atoi(GetItemText(item_number, _("Line No")).utf8_str());
    const wxString match
        = GetItemText(item_number, GetType() == LIST_REPLACE ? _("Replaced") : _("Match"));
    m_Frame->OpenFile(QelFileName(item.GetFileName().GetFullPath()), line, match, 0);
    SetFocus();
}

void QelListViewWithFrame::BuildPopupMenu(QelMenu* menu)
{
    const std::vector<long> rows = Selection();
    bool exists = true, is_folder = false, read_only = false, is_make = false;
    QelFileName file;
    if (!rows.empty()) {
        file = QelListItem(this, rows.front()).GetFileName();
        exists = file.GetStat().IsOk();
        is_folder = wxFileName::DirExists(file.GetFullPath());
        read_only = file.GetStat().IsReadOnly();
        is_make = file.GetLexer().GetScintillaLexer() == "makefile";
    }
    const bool comparator = HasComparator();
    const bool vcs = UsesVersionControl();

    if (!rows.empty() && exists) {
        menu->Append(ID_LIST_OPEN_ITEM, _("&Open"), wxEmptyString, wxART_FILE_OPEN);
        menu->AppendSeparator();
    }
    QelListViewFileName::BuildPopupMenu(menu);
    if (rows.size() > 1 && exists && comparator) {
        menu->AppendSeparator();
        menu->Append(ID_LIST_COMPARE, _("C&ompare"));
    }
    if (rows.size() == 1) {
        if (is_make) {
            menu->AppendSeparator();
            menu->Append(ID_LIST_RUN_MAKE, _("&Make"));
        }
        if (GetType() != LIST_FILE && !vcs && exists && !is_folder && comparator) {
            const wxString other = ProjectFile();
            if (!other.empty() && other != file.GetFullPath()) {
                menu->AppendSeparator();
                menu->Append(ID_LIST_COMPARE,
                             _("&Compare With") + " " + QelGetEndOfText(other, 15));
            }
        }
    }
    if (!rows.empty() && exists) AppendSelectionItems(menu, file, is_folder, read_only);
}

void QelListViewWithFrame::AppendSelectionItems(QelMenu* menu, const QelFileName& file,
                                                bool is_folder, bool read_only)
{
    const bool comparator = HasComparator();
    const bool vcs = UsesVersionControl();
    if (!is_folder) {
        if (!vcs) {
            menu->AppendSeparator();
            if (comparator) menu->Append(ID_LIST_COMPARE_RECENT, _("&Compare Recent Version"));
            menu->Append(ID_LIST_VERSION_LIST, _("&Version List"));
        }
        if (QelVCS::DirExists(file)) {
            menu->AppendSeparator();
            menu->AppendVCS(file);
        }
    }
    if (GetType() != LIST_FIND && GetType() != LIST_REPLACE
        && (m_MenuFlags & LIST_MENU_FIND) != 0) {
        menu->AppendSeparator();
        menu->Append(ID_TOOL_FIND_IN_FILES,
                     QelEllipsed(m_Frame->GetFindInCaption(ID_TOOL_FIND_IN_FILES)));
        if (!read_only)
            menu->Append(ID_TOOL_REPLACE_IN_FILES,
                         QelEllipsed(m_Frame->GetFindInCaption(ID_TOOL_REPLACE_IN_FILES)));
    }
    if ((m_MenuFlags & LIST_MENU_TOOL) != 0 && QelLexers::Get()->Count() > 0) {
        menu->AppendSeparator();
        menu->AppendTools();
    }
    // The tools, or the version-control commands, may add nothing after
    // the separator that opened their group.
    menu->DropTrailingSeparator();
}

bool QelListViewWithFrame::RunItems(const QelTool& tool)
{
    const int id = tool.GetId();
    if ((id == ID_TOOL_REPORT_COUNT && GetType() == LIST_COUNT)
        || (id == ID_TOOL_REPORT_KEYWORD && GetType() == LIST_KEYWORD)
        || (id == ID_TOOL_REPORT_SQL && GetType() == LIST_SQL)) {
        return false;
    }
    if (tool.IsFindType() && m_Frame->FindInSelectionDialog(id, false) != wxID_OK) return false;
    const std::vector<long> rows = Selection();
    const QelToolRun run(tool, m_Frame);
    if (!run.IsOk()) return false;
    // The run lets the event loop go on, where this page may be closed; its
    // destructor then cancels the run, and nothing of it is touched again.
    const wxWeakRef<QelListViewWithFrame> self(this);
    m_RunningTool = true;
    QelFileStatistics total;
    for (const long row : rows) {
        total += QelRun(QelListItem(this, row), tool);
        if (run.IsCancelled()) break;
    }
    if (self) {
        m_RunningTool = false;
        // The rows show their files as the run left them: the list's sync
        // then has no change of the run's own to report over its end text.
        for (const long row : rows)
            if (row < GetItemCount()) QelListItem(this, row).Update();
    }
    if (run.IsCancelled()) {
        wxLogStatus(_("Cancelled"));
        return true;
    }
    tool.Log(&total.GetElements());
    return true;
}

wxString QelListViewWithFrame::ProjectFile()
{
    QelListView* project = m_Frame->Activate(LIST_FILE);
    if (project == nullptr || project->GetSelectedItemCount() != 1) return wxEmptyString;
    return QelListItem(project, project->GetFirstSelected()).GetFileName().GetFullPath();
}

void QelListViewWithFrame::Compare(const std::vector<long>& rows)
{
    for (size_t i = 0; i + 1 < rows.size(); i += 2) {
        QelCompareFile(QelListItem(this, rows[i]).GetFileName(),
                       QelListItem(this, rows[i + 1]).GetFileName());
    }
}

std::vector<QelFileName> QelListViewWithFrame::FileNames(const std::vector<long>& rows)
{
    std::vector<QelFileName> files;
    for (const long row : rows) files.push_back(QelListItem(this, row).GetFileName());
    return files;
}

std::vector<long> QelListViewWithFrame::FileRows(const std::vector<long>& rows)
{
    std::vector<long> files;
    for (const long row : rows) {
        if (!wxFileName::DirExists(QelListItem(this, row).GetFileName().GetFullPath()))
            files.push_back(row);
    }
    return files;
}

void QelListViewWithFrame::VersionList(const std::vector<long>& rows)
{
    // Each search lets the event loop run, where this page or the version
    // list may be closed.
    const wxWeakRef<QelListViewFileName> versions
        = dynamic_cast<QelListViewFileName*>(m_Frame->Activate(LIST_VERSION));
    wxCHECK_RET(versions, "no version list");
    bool found = false;
    for (const QelFileName& file : FileNames(rows)) {
        if (versions && QelFindOtherFileName(file, versions)) found = true;
    }
    if (!found || !versions) return;
    versions->SortColumn(_("Modified"), SORT_DESCENDING);
    versions->DeleteDoubles();
}

void QelListViewWithFrame::OnCommand(wxCommandEvent& event)
{
    const int id = event.GetId();
    const std::vector<long> rows = Selection();
    if (id > ID_TOOL_LOWEST && id < ID_TOOL_HIGHEST) {
        RunItems(QelTool(id));
    } else if (id > ID_EDIT_VCS_LOWEST && id < ID_EDIT_VCS_HIGHEST) {
        wxArrayString paths;
        for (const long row : rows)
            paths.push_back(QelListItem(this, row).GetFileName().GetFullPath());
        QelVCSExecute(m_Frame, id, paths);
    } else if (id == ID_LIST_OPEN_ITEM) {
        for (const long row : rows) ItemActivated(row);
    } else if (id == ID_LIST_RUN_MAKE) {
        if (!rows.empty()) QelMake(m_Frame, QelListItem(this, rows.front()).GetFileName());
    } else if (id == ID_LIST_VERSION_LIST) {
        VersionList(FileRows(rows));
    } else if (id == ID_LIST_COMPARE && rows.size() == 1) {
        const std::vector<long> files = FileRows(rows);
        const wxString other = ProjectFile();
        if (!files.empty() && !other.empty())
            QelCompareFile(QelFileName(other), QelListItem(this, files[0]).GetFileName());
    } else if (id == ID_LIST_COMPARE) {
        Compare(FileRows(rows));
    } else if (id == ID_LIST_COMPARE_RECENT) {
        // Each search lets the event loop run, where this page may be closed.
        for (const QelFileName& file : FileNames(FileRows(rows))) {
            wxFileName other;
            if (QelFindOtherFileName(file, &other)) QelCompareFile(file, other);
        }
    } else {
        wxFAIL;
    }
}
