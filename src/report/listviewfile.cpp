#include <qelkit/report/listviewfile.h>

#include <algorithm>
#include <chrono>

#include <sys/stat.h>

#include <wx/app.h>
#include <wx/config.h>
#include <wx/log.h>
#include <wx/mstream.h>
#include <wx/weakref.h>
#include <wx/xml/xml.h>

#include <qelkit/configdialog.h>
#include <qelkit/file.h>
#include <qelkit/listitem.h>
#include <qelkit/menu.h>
#include <qelkit/report/frame.h>
#include <qelkit/report/textfile.h>
#include <qelkit/status.h>
#include <qelkit/util.h>
#include <qelkit/xml.h>

namespace {

const wxString ROOT = "files";
const wxString FILE_NODE = "file";
const wxString FOLDER_NODE = "folder";
const wxString EXTENSIONS = "extensions";

// One step of following the rows may take this long.
constexpr std::chrono::microseconds kSyncBudget(300);
constexpr int kSyncInterval = 100; // milliseconds between steps

// The full path a row names, with trailing separators taken off a folder
// (a row shows the last part of its path as its name).
wxString EntryPath(const wxString& path)
{
    wxString result = path;
    while (result.length() > 1 && result.Last() == wxFileName::GetPathSeparator()) {
        result.RemoveLast();
    }
    return result;
}

wxXmlNode* EntryNode(const QelProjectEntry& entry)
{
    const bool folder = entry.kind == QelProjectEntry::PROJECT_FOLDER;
    auto* node = new wxXmlNode(wxXML_ELEMENT_NODE, folder ? FOLDER_NODE : FILE_NODE);
    node->AddChild(new wxXmlNode(wxXML_TEXT_NODE, wxEmptyString, entry.path));
    if (folder) node->AddAttribute(EXTENSIONS, entry.spec);
    return node;
}

} // namespace

// --- the project file ---

wxString QelProjectFile::CommentText(const wxString& text)
{
    wxString result = text;
    while (result.Replace("--", "- -") > 0) { }
    if (result.EndsWith("-")) result += " ";
    return result;
}

bool QelProjectFile::Parse(const std::string& bytes, Entries* entries, wxString* error)
{
    entries->clear();
    wxXmlDocument doc;
    if (!QelParseXml(bytes.data(), bytes.size(), &doc, error)) return false;
    if (doc.GetRoot() == nullptr) {
        *error = _("not a project file");
        return false;
    }

    for (const wxXmlNode* child = doc.GetRoot()->GetChildren(); child != nullptr;
         child = child->GetNext()) {
        if (child->GetType() != wxXML_ELEMENT_NODE) continue;
        QelProjectEntry entry;
        if (child->GetName() == FILE_NODE) {
            entry.kind = QelProjectEntry::PROJECT_FILE;
        } else if (child->GetName() == FOLDER_NODE) {
            entry.kind = QelProjectEntry::PROJECT_FOLDER;
            entry.spec = child->GetAttribute(EXTENSIONS, wxEmptyString);
        } else {
            continue;
        }
        entry.path = child->GetNodeContent();
        if (!entry.path.empty()) entries->push_back(entry);
    }
    return true;
}

bool QelProjectFile::Read(const wxString& path, Entries* entries, wxString* error)
{
    entries->clear();
    std::string bytes;
    wxString why;
    if (!QelReadWholeFile(path, &bytes, &why)) {
        *error = wxString::Format(_("Cannot load project '%s': %s"), path, why);
        return false;
    }

    if (!Parse(bytes, entries, &why)) {
        *error = wxString::Format(_("Cannot load project '%s': %s"), path, why);
        return false;
    }
    return true;
}

std::string QelProjectFile::Text(const Entries& entries, const wxString& project_name,
                                 const wxDateTime& when)
{
    const wxAppConsole* instance = wxAppConsole::GetInstance();
    const wxString app = instance != nullptr ? instance->GetAppDisplayName() : wxString();
    auto* root = new wxXmlNode(wxXML_ELEMENT_NODE, ROOT);
    wxXmlNode* last = new wxXmlNode(
        wxXML_COMMENT_NODE, wxEmptyString,
        CommentText(app + " " + _("project") + " " + project_name + " " + when.Format()));
    root->AddChild(last);
    // Appending by the last node: AddChild walks all children every time.
    for (const QelProjectEntry& entry : entries) {
        wxXmlNode* node = EntryNode(entry);
        root->InsertChildAfter(node, last);
        last = node;
    }

    wxXmlDocument doc;
    doc.SetRoot(root);
    wxMemoryOutputStream stream;
    doc.Save(stream, 2);
    std::string bytes(stream.GetLength(), '\0');
    stream.CopyTo(bytes.data(), bytes.size());
    return bytes;
}

bool QelProjectFile::Write(const wxString& path, const Entries& entries)
{
    const std::string bytes = Text(entries, wxFileName(path).GetFullName());

    // A name the document cannot hold (a control character) would make a
    // file that cannot be read back: nothing is written then.
    Entries again;
    wxString why;
    if (!Parse(bytes, &again, &why) || again != entries) {
        wxLogError(_("Cannot save project '%s': a name cannot be stored in it %s"), path, why);
        return false;
    }
    return QelWriteFileAtomic(path, bytes.data(), bytes.size());
}

// --- the project list ---

// clang-format off
wxBEGIN_EVENT_TABLE(QelListViewFile, QelListViewWithFrame)
    EVT_LEFT_DOWN(QelListViewFile::OnMouse)
    EVT_MENU(wxID_ADD, QelListViewFile::OnCommand)
    EVT_MENU(wxID_CUT, QelListViewFile::OnCommand)
    EVT_MENU(wxID_CLEAR, QelListViewFile::OnCommand)
    EVT_MENU(wxID_DELETE, QelListViewFile::OnCommand)
    EVT_MENU(wxID_PASTE, QelListViewFile::OnCommand)
    EVT_TIMER(wxID_ANY, QelListViewFile::OnTimer)
wxEND_EVENT_TABLE();
// clang-format on

QelListViewFile::QelListViewFile(wxWindow* parent, QelFrameWithHistory* frame, const wxString& file,
                                 wxWindowID id, long menu_flags, const wxPoint& pos,
                                 const wxSize& size, long style, const wxValidator& validator,
                                 const wxString& name)
    : QelListViewWithFrame(parent, frame, LIST_FILE, id, menu_flags, nullptr, pos, size, style,
                           validator, name)
    , QelFile(false)
    , m_TextAddFiles(_("Add files"))
    , m_TextAddFolders(_("Add folders"))
    , m_TextAddRecursive(_("Recursive"))
    , m_TextAddWhat(_("Add what"))
    , m_TextInFolder(_("In folder"))
    , m_SyncTimer(this)
{
    wxFileName absolute(file);
    if (!file.empty()) absolute.MakeAbsolute();
    const QelFileName filename(absolute);
    if (!filename.GetStat().IsOk()) {
        FileNew(filename); // saved there when asked, nothing written now
    } else if (!FileLoad(filename)) {
        // Bound to the name all the same, but only a save under a name
        // given again writes over what could not be read.
        FileNew(filename);
        m_Unreadable = true;
    }

    const std::vector<QelConfigItem> items{
        QelConfigItem(m_TextAddWhat, CONFIG_COMBOBOX, wxEmptyString, true),
        QelConfigItem(m_TextInFolder, CONFIG_COMBOBOXDIR, wxEmptyString, true, ID_BROWSE_FOLDER),
        QelConfigItem(std::set<wxString>{m_TextAddFiles, m_TextAddFolders, m_TextAddRecursive}),
    };
    m_AddItemsDialog
        = new QelConfigDialog(this, items, _("Add Items"), 0, 1, wxOK | wxCANCEL, wxID_ADD);
    // Every project's dialog has the same id, so the frame cannot tell whose
    // OK it is: the project that owns the dialog adds, once the dialog has
    // stored its items and gone.
    m_AddItemsDialog->Bind(
        wxEVT_BUTTON,
        [this](wxCommandEvent& event) {
            event.Skip();
            CallAfter([this] { AddItems(); });
        },
        wxID_OK);

    m_SyncTimer.Start(kSyncInterval);
}

QelListViewFile::~QelListViewFile()
{
    m_SyncTimer.Stop();
    if (m_AddItemsDialog != nullptr) m_AddItemsDialog->Destroy();
}

bool QelListViewFile::IsReadOnly() const
{
    return QelStat(GetFileName().GetFullPath()).IsReadOnly();
}

void QelListViewFile::Changed()
{
    m_ContentsChanged = true;
}

void QelListViewFile::SortSync()
{
    if (!wxConfigBase::Get()->ReadBool("List/SortSync", true)) return;
    // The rows follow their files unasked: neither this sort nor the
    // selection it moves is news, and the status line keeps what the user
    // reads there (a run's end text, say). Errors still get through.
    const wxLogLevel level = wxLog::GetLogLevel();
    wxLog::SetLogLevel(std::min(level, static_cast<wxLogLevel>(wxLOG_Message)));
    SortColumn(_("Modified"), SORT_KEEP);
    wxLog::SetLogLevel(level);
}

void QelListViewFile::AddEntries(const QelProjectFile::Entries& entries)
{
    const int type_col = FindColumn(_("Type"));
    Freeze();
    for (const QelProjectEntry& entry : entries) {
        const wxString path = EntryPath(entry.path);
        QelListItem item(this, QelFileName(path), entry.spec);
        item.Insert();
        // A folder that is missing now still shows its patterns, which go
        // with it into the next save.
        if (entry.kind == QelProjectEntry::PROJECT_FOLDER && !item.GetFileName().GetStat().IsOk()) {
            SetItem(item.GetId(), type_col, entry.spec);
        }
        m_Kinds[item.GetFileName().GetFullPath()] = entry.kind;
    }
    Thaw();
}

void QelListViewFile::Remember(long first, long last)
{
    for (long row = first; row < last; row++) {
        const QelFileName fn = QelListItem(this, row).GetFileName();
        const bool file = fn.GetStat().IsOk() && !S_ISDIR(fn.GetStat().st_mode);
        m_Kinds[fn.GetFullPath()]
            = file ? QelProjectEntry::PROJECT_FILE : QelProjectEntry::PROJECT_FOLDER;
    }
}

wxString QelListViewFile::RowPath(long row, int name_col, int folder_col) const
{
    // As QelListItem reads a row, without looking for the file's lexer.
    return QelListItem::RowPath(GetItemText(row, folder_col), GetItemText(row, name_col));
}

QelProjectFile::Entries QelListViewFile::GetEntries() const
{
    const int name_col = FindColumn(_("File Name")), folder_col = FindColumn(_("In Folder"));
    const int type_col = FindColumn(_("Type"));
    QelProjectFile::Entries entries;
    entries.reserve(GetItemCount());

    for (long row = 0; row < GetItemCount(); row++) {
        QelProjectEntry entry;
        entry.path = RowPath(row, name_col, folder_col);
        if (const QelStat stat(entry.path); stat.IsOk()) {
            entry.kind = S_ISDIR(stat.st_mode) ? QelProjectEntry::PROJECT_FOLDER
                                               : QelProjectEntry::PROJECT_FILE;
        } else {
            // Missing now: the row keeps what it was added as.
            const auto known = m_Kinds.find(entry.path);
            entry.kind = known != m_Kinds.end() ? known->second : QelProjectEntry::PROJECT_FOLDER;
        }
        if (entry.kind == QelProjectEntry::PROJECT_FOLDER) {
            entry.spec = GetItemText(row, type_col);
        }
        entries.push_back(entry);
    }
    return entries;
}

long QelListViewFile::AddItems()
{
    if (IsReadOnly()) return 0;

    wxConfigBase* config = wxConfigBase::Get();
    int flags = 0;
    if (config->ReadBool(m_TextAddFiles, true)) flags |= wxDIR_FILES;
    if (config->ReadBool(m_TextAddRecursive, true)) flags |= wxDIR_DIRS;

    const long before = GetItemCount();
    QelDirWithListView dir(this, QelConfigFirstOf(m_TextInFolder), QelConfigFirstOf(m_TextAddWhat),
                           flags);
    // The walk lets the event loop run, where this page may be closed: the
    // walk then stops, and nothing of the page is touched again.
    const wxWeakRef<QelListViewFile> self(this);
    dir.FindFiles();
    if (!self) return 0;
    const long added = GetItemCount() - before;

    if (added > 0) {
        Remember(before, GetItemCount());
        Changed();
        SortSync();
    }
    wxLogStatus("%s", _("Added") + wxString::Format(" %ld ", added) + _("file(s)"));
    return added;
}

bool QelListViewFile::ItemFromText(const wxString& text)
{
    if (IsReadOnly()) return false;
    const long before = GetItemCount();
    const bool added = QelListViewWithFrame::ItemFromText(text);
    if (GetItemCount() > before) {
        Remember(before, GetItemCount());
        Changed();
    }
    return added;
}

void QelListViewFile::AfterSorting()
{
    // A sort the user asked for changes the stored order.
    if (!wxConfigBase::Get()->ReadBool("List/SortSync", true)) Changed();
}

void QelListViewFile::BuildPopupMenu(QelMenu* menu)
{
    const bool read_only = IsReadOnly();
    if (read_only) menu->SetStyle(menu->GetStyle() | MENU_READ_ONLY);
    QelListViewWithFrame::BuildPopupMenu(menu);
    if (GetSelectedItemCount() == 0 && !read_only) {
        menu->AppendSeparator();
        menu->Append(wxID_ADD);
    }
}

// --- the file binding ---

bool QelListViewFile::DoFileLoadConfirm(bool synced)
{
    if (synced && m_ContentsChanged) {
        wxLogStatus(_("Project %s changed on disk: kept the unsaved list"),
                    GetFileName().GetFullName());
        return false;
    }
    return true;
}

QelFile::Overwrite QelListViewFile::DoFileOverwriteConfirm()
{
    return AskOverwrite(this);
}

bool QelListViewFile::DoFileLoad(bool synced)
{
    QelProjectFile::Entries entries;
    wxString error;
    // The rows stay as they are when the file cannot be read; the next
    // start does not open it again.
    if (!QelProjectFile::Read(GetFileName().GetFullPath(), &entries, &error)) {
        wxLogError("%s", error);
        GetFrame()->RemoveRecentProject(GetFileName().GetFullPath());
        return false;
    }

    EditClearAll();
    m_Kinds.clear();
    m_ItemNumber = 0;
    m_ItemUpdated = false;
    AddEntries(entries);

    if (synced) QelLogStatus(GetFileName(), STAT_SYNC | STAT_FULLPATH);
    GetFrame()->SetRecentProject(GetFileName().GetFullPath());
    return true;
}

void QelListViewFile::DoFileNew()
{
    EditClearAll();
    m_Kinds.clear();
    m_ItemNumber = 0;
}

bool QelListViewFile::DoFileSave(bool save_as)
{
    const wxString path = GetFileName().GetFullPath();
    if (m_Unreadable && !save_as) {
        wxLogError(_("Project '%s' could not be read: save it under a name to replace it"), path);
        return false;
    }
    if (!QelProjectFile::Write(path, GetEntries())) return false;
    m_Unreadable = false;
    // Whichever command saved it under a new name, that name is offered again.
    if (save_as) GetFrame()->SetRecentProject(path);
    return true;
}

// --- following changes on disk ---

long QelListViewFile::SyncStep(long max_rows)
{
    // A folder walk (AddItems among them) lets events run meanwhile: the
    // rows it is adding must not be reloaded under it.
    if (!IsShown() || GetItemCount() == 0 || QelDir::GetIsBusy()
        || !wxConfigBase::Get()->ReadBool("AllowSync", true)) {
        return 0;
    }

    const int modified_col = FindColumn(_("Modified"));
    const int name_col = FindColumn(_("File Name")), folder_col = FindColumn(_("In Folder"));
    const auto start = std::chrono::steady_clock::now();
    long checked = 0;

    do {
        // Rows deleted since the last step can leave the index past the end.
        if (m_ItemNumber >= GetItemCount()) {
            m_ItemNumber = 0;
            if (m_ItemUpdated) {
                m_ItemUpdated = false;
                SortSync();
            }
            break;
        }

        const QelStat stat(RowPath(m_ItemNumber, name_col, folder_col));
        if (stat.IsOk()
            && (stat.GetModificationTime() != GetItemText(m_ItemNumber, modified_col)
                || stat.IsReadOnly() != (GetItemData(m_ItemNumber) > 0))) {
            QelListItem item(this, m_ItemNumber);
            item.Update();
            QelLogStatus(item.GetFileName(), STAT_SYNC | STAT_FULLPATH);
            m_ItemUpdated = true;
        }
        m_ItemNumber++;
        checked++;
    } while (checked != max_rows && std::chrono::steady_clock::now() - start < kSyncBudget);

    CheckSync();
    return checked;
}

void QelListViewFile::OnTimer(wxTimerEvent&)
{
    SyncStep();
}

// --- events ---

void QelListViewFile::OnCommand(wxCommandEvent& event)
{
    switch (event.GetId()) {
    case wxID_ADD:
        m_AddItemsDialog->ForceCheckBoxChecked(_("Add"));
        m_AddItemsDialog->Show();
        break;
    case wxID_CUT:
    case wxID_CLEAR:
    case wxID_DELETE:
    case wxID_PASTE:
        if (IsReadOnly()) break;
        // The list's own handler edits; a paste marks the change itself.
        event.Skip();
        if (event.GetId() == wxID_CLEAR
                ? GetItemCount() > 0
                : event.GetId() != wxID_PASTE && GetSelectedItemCount() > 0) {
            Changed();
        }
        break;
    default:
        wxFAIL;
    }
    UpdateStatusBar();
}

void QelListViewFile::OnMouse(wxMouseEvent& event)
{
    if (!event.LeftDown()) {
        wxFAIL;
        return;
    }
    event.Skip();
    int flags = 0;
    if (HitTest(event.GetPosition(), flags) == wxNOT_FOUND) QelLogStatus(GetFileName(), 0);
}
