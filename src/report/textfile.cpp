#include <qelkit/report/textfile.h>

#include <chrono>
#include <string>

#include <wx/app.h>
#include <wx/config.h>
#include <wx/log.h>

#include <qelkit/frd.h>
#include <qelkit/listitem.h>
#include <qelkit/listview.h>
#include <qelkit/report/frame.h>
#include <qelkit/report/listviewframe.h>

QelFrameWithHistory* QelTextFileWithListView::m_Frame = nullptr;
QelTextFileWithListView::Columns QelTextFileWithListView::m_Columns;
wxWeakRef<QelListView> QelTextFileWithListView::m_Report;
bool QelToolRun::m_Busy = false;
bool QelToolRun::m_Cancelled = false;

namespace {

// One statistic of the file under the column of the same name.
void SetItemColumnStatistics(QelListItem& item, const wxString& col,
                             const QelStatistics<long>& stat)
{
    item.SetItem(col, wxString::Format("%ld", stat.Get(col)));
}

// Rows are slow to add: a file with many matches lets the event loop run
// every few tens of milliseconds, as the folder walk does between files.
void YieldNowAndThen()
{
    using namespace std::chrono;
    static steady_clock::time_point last;
    const steady_clock::time_point now = steady_clock::now();
    if (now - last < milliseconds(30)) return;
    last = now;
    if (wxTheApp != nullptr) wxTheApp->Yield(true);
}

// The "Line No" cell of a line index.
wxString LineNoText(size_t line)
{
    return wxString(std::to_wstring(line + 1));
}

// A new row of the report list for the file.
QelListItem AddRow(QelListView* list, const QelFileName& file)
{
    QelListItem item(list, file);
    item.Insert();
    return item;
}

} // namespace

QelTextFileWithListView::QelTextFileWithListView(const QelFileName& filename, const QelTool& tool)
    : QelTextFile(filename, tool)
{ }

bool QelTextFileWithListView::SetupTool(const QelTool& tool, QelFrameWithHistory* frame)
{
    m_Frame = frame;
    if (tool.IsReportType() && tool.GetId() != ID_TOOL_REPORT_KEYWORD) {
        m_Report = frame->Activate(QelListViewWithFrame::GetTypeTool(tool));
        if (m_Report == nullptr) return false;
    }
    if (tool.IsFindType()) {
        // Looked up once for the rows of the whole run.
        const QelFindReplaceData* frd = QelFindReplaceData::Get();
        const bool replace = tool.GetId() == ID_TOOL_REPLACE_IN_FILES;
        m_Columns = {m_Report->FindColumn(_("Line No")),
                     m_Report->FindColumn(_("Line")),
                     m_Report->FindColumn(_("Match")),
                     replace ? m_Report->FindColumn(_("Replaced")) : -1,
                     frd->GetFindString(),
                     frd->GetReplaceString()};
    }
    return true;
}

QelFileStatistics QelTextFileWithListView::Run(const QelFileName& filename, const QelTool& tool)
{
    QelTextFileWithListView scanner(filename, tool);
    scanner.RunTool();
    return scanner.GetStatistics();
}

QelListView* QelTextFileWithListView::GetReport()
{
    if (m_Report == nullptr) QelToolRun::Cancel();
    return m_Report;
}

void QelTextFileWithListView::Report(size_t line)
{
    // A row shows the start of a long line: the list lays each cell out
    // whole, and a line of megabytes would hold the window for minutes.
    constexpr size_t kRowLineLength = 1000;
    wxString text = GetCurrentLine().Left(kRowLineLength);
    text.Trim(false).Trim(true);
    if (GetTool().GetId() == ID_TOOL_REPLACE_IN_FILES) {
        m_Pending.push_back({line, text});
    } else if (GetTool().GetId() == ID_TOOL_FIND_IN_FILES) {
        AddLineRow(line, text);
    } else {
        wxCHECK_RET(GetTool().GetId() == ID_TOOL_REPORT_REVISION, "no line report");
        if (QelListView* report = GetReport(); report != nullptr) {
            QelListItem item = AddRow(report, GetFileName());
            item.SetItem(_("Line No"), LineNoText(line));
            item.UpdateRevisionList(GetRCS());
        }
    }
}

void QelTextFileWithListView::AddLineRow(size_t line, const wxString& text)
{
    QelListView* report = GetReport();
    if (report == nullptr) return;
    const Columns& columns = m_Columns;
    if (m_FileRow == nullptr) {
        // The file's cells are worked out once, for its first row, and
        // copied to its later rows.
        const QelFileName& name = GetFileName();
        const long first
            = AddRow(report, QelFileName(name, QelStat(name.GetFullPath(), GetOpenStatus())))
                  .GetId();
        m_FileRow = std::make_unique<QelListView::Row>(report->GetRow(first));
        report->SetItem(first, columns.lineNo, LineNoText(line));
        report->SetItem(first, columns.replaced, columns.replace);
        report->SetItem(first, columns.line, text);
        report->SetItem(first, columns.match, columns.find);
    } else {
        // A later row is added whole: nothing is looked up or drawn per cell.
        QelListView::Row row = *m_FileRow;
        const auto set = [&row](int col, const wxString& value) {
            if (col < 0) return;
            if (row.cells.size() <= static_cast<size_t>(col)) row.cells.resize(col + 1);
            row.cells[col] = value;
        };
        set(columns.lineNo, LineNoText(line));
        set(columns.replaced, columns.replace);
        set(columns.line, text);
        set(columns.match, columns.find);
        report->InsertRow(-1, std::move(row));
    }
    YieldNowAndThen();
}

bool QelTextFileWithListView::RunTool()
{
    m_Pending.clear();
    const bool ok = QelTextFile::RunTool();
    // A file that could not be written shows no replacements.
    if (ok) {
        for (const Row& row : m_Pending) AddLineRow(row.line, row.text);
    }
    m_Pending.clear();
    return ok;
}

void QelTextFileWithListView::ReportStatistics()
{
    const int id = GetTool().GetId();
    if (id == ID_TOOL_REPORT_KEYWORD) {
        m_Report = m_Frame->Activate(QelListViewFileName::LIST_KEYWORD, &GetFileName().GetLexer());
        if (m_Report == nullptr) return;
    }
    QelListView* report = GetReport();
    if (report == nullptr) return;
    QelListItem item = AddRow(report, GetFileName());
    if (id == ID_TOOL_REPORT_COUNT) {
        for (const wxString& col : {_("Lines"), _("Lines Of Code"), _("Empty Lines"),
                                    _("Words Of Code"), _("Comments"), _("Comment Size")}) {
            SetItemColumnStatistics(item, col, GetStatistics().GetElements());
        }
    } else if (id == ID_TOOL_REPORT_KEYWORD) {
        // The keyword columns lie between the file's columns and "Keywords".
        const QelStatistics<long>& keywords = GetStatistics().GetKeywords();
        const int last = report->FindColumn(_("Keywords"));
        const int first = last - static_cast<int>(GetFileName().GetLexer().GetKeywords().size());
        long total = 0;
        for (int col = first; col >= 0 && col < last; col++) {
            const long count = keywords.Get(report->GetColumns()[col].GetText());
            item.SetItem(col, wxString::Format("%ld", count));
            total += count;
        }
        item.SetItem(_("Keywords"), wxString::Format("%ld", total));
    } else {
        wxFAIL;
    }
}

QelToolRun::QelToolRun(const QelTool& tool, QelFrameWithHistory* frame)
{
    if (m_Busy) {
        wxLogStatus(_("A tool is running"));
        return;
    }
    m_Owner = m_Busy = true;
    m_Cancelled = false;
    m_Ok = QelTextFileWithListView::SetupTool(tool, frame);
}

void QelToolRun::Cancel()
{
    m_Cancelled = true;
    QelDir::Cancel();
}

QelToolRun::~QelToolRun()
{
    if (m_Owner) m_Busy = false;
}

QelDirTool::QelDirTool(const QelTool& tool, const wxString& fullpath, const wxString& filespec,
                       int flags)
    : QelDir(fullpath, filespec, flags)
    , m_Tool(tool)
{ }

void QelDirTool::OnFile(const wxString& file)
{
    // Find needs neither the file's status nor its lexer: the scanner opens
    // the file itself, and a row takes the status of the open file.
    QelFileName name;
    if (m_Tool.GetId() == ID_TOOL_FIND_IN_FILES) {
        // The files of a folder come one after another: its path is taken
        // apart once.
        const size_t slash = file.rfind('/');
        if (slash == wxString::npos) {
            name.wxFileName::Assign(file);
        } else {
            if (m_Folder.GetPath() != file.substr(0, slash) || slash == 0)
                m_Folder.AssignDir(file.substr(0, slash + 1));
            name.wxFileName::Assign(m_Folder);
            name.SetFullName(file.substr(slash + 1));
        }
    } else {
        name = QelFileName(file);
    }
    m_Statistics += QelTextFileWithListView::Run(name, m_Tool);
}

QelDirWithListView::QelDirWithListView(QelListView* listview, const wxString& fullpath,
                                       const wxString& filespec, int flags)
    : QelDir(fullpath, filespec, flags)
    , m_ListView(listview)
    , m_AddFolders(wxConfigBase::Get()->ReadBool(_("Add folders"), true))
{ }

QelListView* QelDirWithListView::GetListView()
{
    if (m_ListView == nullptr) Cancel();
    return m_ListView;
}

void QelDirWithListView::OnFile(const wxString& file)
{
    if (QelListView* list = GetListView(); list != nullptr)
        QelListItem(list, QelFileName(file), GetFileSpec()).Insert();
}

void QelDirWithListView::OnDir(const wxString& dir)
{
    if (!m_AddFolders) return;
    if (QelListView* list = GetListView(); list != nullptr)
        QelListItem(list, QelFileName(dir), GetFileSpec()).Insert();
}
