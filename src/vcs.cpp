#include <qelkit/vcs.h>

#include <wx/config.h>
#include <wx/log.h>
#include <wx/xml/xml.h>

#include <qelkit/configdialog.h>
#include <qelkit/filename.h>
#include <qelkit/util.h>
#include <qelkit/xml.h>

namespace {

bool IsElement(const wxXmlNode* node, const char* name)
{
    return node->GetType() == wxXML_ELEMENT_NODE && node->GetName() == name;
}

} // namespace

QelVCS::QelVCS(const wxFileName& filename)
{
    FileName() = filename;
}

std::map<wxString, QelVCSEntry>& QelVCS::Entries()
{
    // Never destroyed: the entries must not outlive the toolkit, Clear
    // empties them before it goes.
    static auto* entries = new std::map<wxString, QelVCSEntry>;
    return *entries;
}

wxFileName& QelVCS::FileName()
{
    static wxFileName name;
    return name;
}

bool QelVCS::Read()
{
    const wxString path = FileName().GetFullPath();
    // What is there but is no regular file is refused by the load, naming it.
    if (!FileName().Exists(wxFILE_EXISTS_ANY)) return false;

    wxXmlDocument doc;
    wxString reason;
    if (!QelLoadXml(path, &doc, &reason) || doc.GetRoot() == nullptr) {
        wxLogError(_("Version control file could not be loaded: %s: %s"), path, reason);
        return false;
    }

    std::map<wxString, QelVCSEntry> entries;
    for (const wxXmlNode* child = doc.GetRoot()->GetChildren(); child != nullptr;
         child = child->GetNext()) {
        if (!IsElement(child, "vcs")) continue;
        // A second system of the same name is dropped; the next one takes
        // its number.
        if (entries.count(child->GetAttribute("name")) > 0) continue;
        QelVCSEntry entry(child, static_cast<int>(entries.size()) + 2);
        entries.emplace(entry.GetName(), entry);
    }

    const size_t before = Entries().size();
    Entries().swap(entries);
    if (wxConfigBase* config = wxConfigBase::Get(false); config != nullptr) {
        if ((before > 0 && before != Entries().size()) || !config->Exists("VCS"))
            config->Write("VCS", 1L);
    }
    return true;
}

void QelVCS::Clear()
{
    Entries().clear();
}

size_t QelVCS::GetCount()
{
    return Entries().size();
}

const wxFileName& QelVCS::GetFileName()
{
    return FileName();
}

const std::map<wxString, QelVCSEntry>& QelVCS::GetEntries()
{
    return Entries();
}

namespace {

wxString AdminFolder(const wxString& name)
{
    return name == "mercurial" ? wxString(".hg") : "." + name;
}

// Where the search for a path starts, and the path below that folder.
struct Start {
    wxString dir;
    wxString below;
};

Start StartOf(const wxFileName& fn)
{
    const wxString full = fn.GetFullPath();
    if (!fn.HasName() || wxDirExists(full)) {
        wxFileName dir = wxFileName::DirName(full);
        return {dir.GetPath(), ""};
    }
    return {fn.GetPath(), fn.GetFullName()};
}

bool IsInside(const wxFileName& fn, const wxString& admin)
{
    for (const auto& dir : fn.GetDirs())
        if (dir == admin) return true;
    return fn.GetFullName() == admin;
}

bool HoldsAdmin(const wxString& dir, const wxString& admin)
{
    const wxString path = dir + "/" + admin;
    // In a linked work tree or a submodule, .git is a file naming the real one.
    return wxDirExists(path) || (admin == ".git" && wxFileExists(path));
}

// Walks up from the start folder to the folder holding the administrative
// folder; `found.dir` is empty when there is none.
Start FindAdmin(const wxString& name, const wxFileName& fn, bool walk)
{
    if (name.empty() || !fn.IsOk()) return {};
    const wxString admin = AdminFolder(name);
    if (IsInside(fn, admin)) return {};
    Start at = StartOf(fn);
    while (!at.dir.empty() && wxDirExists(at.dir)) {
        if (HoldsAdmin(at.dir, admin) || (!walk && HoldsAdmin(at.dir, name))) return at;
        if (!walk || at.dir == "/") break;
        const wxFileName dir = wxFileName::DirName(at.dir);
        at.below = dir.GetDirs().Last() + (at.below.empty() ? "" : "/" + at.below);
        wxFileName parent = dir;
        parent.RemoveLastDir();
        at.dir = parent.GetPath();
        if (at.dir.empty()) at.dir = "/";
    }
    return {};
}

long VcsSetting()
{
    return wxConfigBase::Get()->ReadLong("VCS", 1);
}

} // namespace

QelVCS::QelVCS(const wxArrayString& files, int menu_id)
    : m_Files(files)
{
    m_Entry = FindEntry(wxFileName(GetFile()));
    if (m_Entry.GetName().empty()) {
        m_Caption = "VCS";
        return;
    }
    m_Entry.SetCommand(menu_id);
    const QelVCSCommand& command = m_Entry.GetCommand();
    m_Caption = m_Entry.GetName() + " " + command.GetCommand(true, false);
    if (!command.IsHelp() && m_Files.size() == 1) m_Caption += " " + m_Files[0];
}

bool QelVCS::Use() const
{
    return VcsSetting() != 0;
}

wxString QelVCS::GetName() const
{
    if (!Use()) return wxString();
    return VcsSetting() == 1 ? wxString("Auto") : m_Entry.GetName();
}

wxString QelVCS::GetFile() const
{
    return m_Files.empty() ? QelConfigFirstOf(_("Base folder")) : m_Files[0];
}

QelVCSEntry QelVCS::FindEntry(const wxFileName& fn)
{
    const long setting = VcsSetting();
    if (setting == 1) {
        if (!fn.IsOk()) return QelVCSEntry();
        for (const auto& [name, entry] : Entries())
            if ((IsCheckPathAllVCS(name) && CheckPathAll(name, fn)) || CheckPath(name, fn))
                return entry;
        return QelVCSEntry();
    }
    for (const auto& [name, entry] : Entries())
        if (entry.GetNo() == setting) return entry;
    return QelVCSEntry();
}

bool QelVCS::DirExists(const wxFileName& fn)
{
    const wxString name = FindEntry(fn).GetName();
    return (IsCheckPathAllVCS(name) && CheckPathAll(name, fn)) || CheckPath(name, fn);
}

bool QelVCS::CheckPath(const wxString& name, const wxFileName& fn)
{
    return !FindAdmin(name, fn, false).dir.empty();
}

bool QelVCS::CheckPathAll(const wxString& name, const wxFileName& fn)
{
    return !FindAdmin(name, fn, true).dir.empty();
}

bool QelVCS::IsCheckPathAllVCS(const wxString& name)
{
    // Subversion and Bazaar keep a single administrative folder at the top
    // of a working tree too.
    return name == "git" || name == "mercurial" || name == "svn" || name == "bzr";
}

wxString QelVCS::GetRoot(const wxString& name, const wxFileName& fn)
{
    return FindAdmin(name, fn, true).dir;
}

wxString QelVCS::GetRelativeFile(const wxString& name, const wxFileName& fn)
{
    return FindAdmin(name, fn, true).below;
}

long QelVCS::Execute()
{
    if (m_Entry.GetName().empty()) {
        wxLogError(_("No version control for %s"), GetFile());
        return -1;
    }
    const QelFileName fn(GetFile());
    const QelVCSCommand& command = m_Entry.GetCommand();
    if (GetFile().empty()) {
        wxArrayString args;
        if (command.IsAdd()) args.push_back(QelConfigFirstOf(_("Path")));
        return m_Entry.Execute(args, QelLexer(), QelConfigFirstOf(_("Base folder")));
    }
    const wxString name = m_Entry.GetName();
    const Start start = StartOf(fn);
    // On the base folder, add adds the path typed in its dialog, which is
    // taken relative to that folder.
    if (const wxString path = QelConfigFirstOf(_("Path"));
        m_Files.empty() && command.IsAdd() && !path.empty())
        return m_Entry.Execute(wxArrayString(1, path), QelLexer(), start.dir);
    wxArrayString args;
    wxString wd = start.dir;
    if (IsCheckPathAllVCS(name)) {
        const wxString root = GetRoot(name, fn);
        if (!root.empty()) wd = root;
        // Every file relative to the root of the first; the root itself
        // stands for the whole tree and needs no argument.
        for (const auto& file : m_Files) {
            wxFileName relative = wxDirExists(file) ? wxFileName::DirName(file) : wxFileName(file);
            relative.MakeRelativeTo(wd);
            const wxString path = relative.GetFullPath(wxPATH_UNIX);
            if (!path.empty()) args.push_back(path);
        }
    } else {
        for (const auto& file : m_Files) args.push_back(file);
        if (m_Files.empty()) args.push_back(fn.GetFullPath());
    }
    return m_Entry.Execute(args, fn.GetLexer(), wd);
}

int QelVCS::GetRadioColumns(size_t choices)
{
    switch (choices) {
    case 6:
    case 11:
        return 3;
    case 7:
    case 8:
    case 12:
    case 16:
        return 4;
    default:
        return 5;
    }
}

int QelVCS::ConfigDialog(wxWindow* parent, const wxString& title)
{
    if (Entries().empty()) return wxID_CANCEL;
    std::map<long, const wxString> choices{{0, _("None")}, {1, "Auto"}};
    for (const auto& [name, entry] : Entries()) choices.emplace(entry.GetNo(), name);
    std::vector<QelConfigItem> items{QelConfigItem(
        "VCS", choices, true, wxEmptyString, GetRadioColumns(choices.size()), wxRA_SPECIFY_COLS)};
    for (const auto& [name, entry] : Entries()) items.emplace_back(name, CONFIG_FILEPICKERCTRL);
    QelConfigDialog dialog(parent, items, title);
    return dialog.ShowModal();
}

bool QelVCS::GetDir(wxWindow* parent)
{
    if (!Use()) return false;
    QelConfigDialog dialog(parent,
                           {QelConfigItem(_("Base folder"), CONFIG_COMBOBOXDIR, wxEmptyString, true,
                                          ID_BROWSE_FOLDER)},
                           _("Select VCS Folder"));
    const auto base = [] { return wxFileName(QelConfigFirstOf(_("Base folder"))); };
    bool ask = base().GetFullPath().empty();
    if (!ask) {
        m_Entry = FindEntry(base());
        ask = m_Entry.GetName().empty();
    }
    if (ask && dialog.ShowModal() == wxID_CANCEL) return false;
    m_Entry = FindEntry(base());
    return !m_Entry.GetName().empty();
}

int QelVCS::ShowDialog(wxWindow* parent) const
{
    return m_Entry.ShowDialog(parent, m_Caption, m_Files.empty());
}

int QelVCS::Request(wxWindow* parent)
{
    if (ShowDialog(parent) == wxID_CANCEL || Execute() < 0) return wxID_CANCEL;
    m_Entry.ShowOutput(m_Caption);
    return wxID_OK;
}
