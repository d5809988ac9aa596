#include <qelkit/dir.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <string>
#include <unordered_set>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <wx/app.h>
#include <wx/filefn.h>
#include <wx/filename.h>
#include <wx/log.h>
#include <wx/tokenzr.h>

#include <qelkit/yieldingrun.h>

bool QelDir::m_IsBusy = false;
bool QelDir::m_Cancelled = false;

// Empty patterns (from two adjacent or a leading ";") would match nothing.
std::vector<wxString> QelSplitPatterns(const wxString& spec)
{
    std::vector<wxString> patterns;
    wxStringTokenizer tkz(spec.Upper(), ";");
    while (tkz.HasMoreTokens()) {
        const wxString pattern = tkz.GetNextToken();
        if (!pattern.empty()) patterns.push_back(pattern);
    }
    return patterns;
}

bool QelMatchesAny(const wxString& upper_name, const std::vector<wxString>& patterns)
{
    for (const auto& pattern : patterns)
        if (wxMatchWild(pattern, upper_name, false)) return true;
    return false;
}

namespace {

std::string FileSystemName(const wxString& path)
{
    const wxCharBuffer buffer = path.fn_str();
    return buffer.data() != nullptr ? std::string(buffer.data()) : std::string();
}

wxString SystemError(int error)
{
    return wxString(std::strerror(error), *wxConvCurrent);
}

void LogCannotOpen(const wxString& path, int error)
{
    wxLogError(_("Cannot open folder '%s': %s"), path, SystemError(error));
}

// Folder identity, so that a folder reached twice (a link loop, or a second
// link to the same folder) is walked once.
struct FolderId {
    dev_t dev;
    ino_t ino;
    bool operator==(const FolderId& other) const { return dev == other.dev && ino == other.ino; }
};

struct FolderIdHash {
    size_t operator()(const FolderId& id) const noexcept
    {
        return std::hash<unsigned long long>()((static_cast<unsigned long long>(id.dev) << 40)
                                               ^ static_cast<unsigned long long>(id.ino));
    }
};

// One walk of a QelDir: one directory read and at most one status per entry,
// subfolders of a folder first, then its files (the toolkit's order).
class Walker {
public:
    explicit Walker(QelDir& dir);

    size_t Run(const wxString& root);

private:
    struct Entry {
        std::string name;
        FolderId id;
    };

    enum class Kind { other, folder, file };
    struct Type {
        Kind kind;
        FolderId id; // of a folder
    };

    void WalkFolder(const std::string& path, const wxString& wpath, int fd);
    bool ReadFolder(DIR* d, std::vector<Entry>& folders, std::vector<std::string>& files);
    Type Classify(int dirfd, const dirent* de) const;
    void FileFound(const wxString& wprefix, const std::string& name);
    void FolderFound(const std::string& prefix, const wxString& wprefix, const Entry& entry);
    void Yield();

    QelDir& m_Dir;
    const int m_Flags;
    const bool m_Hidden;
    const bool m_Follow;
    // The toolkit's own filter: the wildcard when it holds one pattern.
    const bool m_UseFilter;
    const wxString m_Filter;
    const bool m_MatchAll;
    const std::vector<wxString> m_Patterns;

    std::unordered_set<FolderId, FolderIdHash> m_Entered;
    size_t m_Count = 0;
    std::chrono::steady_clock::time_point m_LastYield;
};

Walker::Walker(QelDir& dir)
    : m_Dir(dir)
    , m_Flags(dir.GetFlags())
    , m_Hidden((dir.GetFlags() & wxDIR_HIDDEN) != 0)
    , m_Follow((dir.GetFlags() & wxDIR_NO_FOLLOW) == 0)
    , m_UseFilter(!dir.GetFileSpec().Contains(";"))
    , m_Filter(dir.GetFileSpec())
    , m_MatchAll(dir.GetFileSpec() == "*")
    , m_Patterns(QelSplitPatterns(dir.GetFileSpec()))
    , m_LastYield(std::chrono::steady_clock::now())
{ }

size_t Walker::Run(const wxString& root)
{
    wxString wpath(root);
    while (wpath.length() > 1 && wpath.Last() == '/') wpath.RemoveLast();
    const std::string path = FileSystemName(wpath);

    const int fd = open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        LogCannotOpen(wpath, errno);
        return 0;
    }
    struct stat st;
    if (fstat(fd, &st) == 0) m_Entered.insert({st.st_dev, st.st_ino});
    WalkFolder(path, wpath, fd);
    return m_Count;
}

// Takes over `fd`, an open descriptor of the folder.
void Walker::WalkFolder(const std::string& path, const wxString& wpath, int fd)
{
    DIR* d = fdopendir(fd);
    if (d == nullptr) {
        LogCannotOpen(wpath, errno);
        close(fd);
        return;
    }

    std::vector<Entry> folders;
    std::vector<std::string> files;
    const bool complete = ReadFolder(d, folders, files);
    const int error = errno;
    closedir(d);
    if (!complete) LogCannotOpen(wpath, error);

    const std::string prefix = path == "/" ? path : path + "/";
    const wxString wprefix = wpath == "/" ? wpath : wpath + "/";

    for (const auto& folder : folders) {
        if (QelDir::Cancelled()) return;
        FolderFound(prefix, wprefix, folder);
        Yield();
    }
    for (const auto& file : files) {
        if (QelDir::Cancelled()) return;
        FileFound(wprefix, file);
        Yield();
    }
}

// Reads all entries first, so that no descriptor of the folder stays open
// while the hooks run and the walk goes deeper. False on a read error.
bool Walker::ReadFolder(DIR* d, std::vector<Entry>& folders, std::vector<std::string>& files)
{
    const int dirfd_ = dirfd(d);
    const bool want_folders = (m_Flags & wxDIR_DIRS) != 0;
    const bool want_files = (m_Flags & wxDIR_FILES) != 0;

    errno = 0;
    while (const dirent* de = readdir(d)) {
        const char* name = de->d_name;
        if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'))) continue;

        const Type type = Classify(dirfd_, de);
        // Hidden files are left to the filter, which may name the dot.
        if (type.kind == Kind::folder && want_folders && (name[0] != '.' || m_Hidden))
            folders.push_back({name, type.id});
        else if (type.kind == Kind::file && want_files)
            files.emplace_back(name);
        errno = 0;
    }
    return errno == 0;
}

// Folders and regular files, links followed unless wxDIR_NO_FOLLOW; named
// pipes, sockets and devices are neither, so no hook can block on them.
// Only links, entries of unknown type and folders cost a status call.
Walker::Type Walker::Classify(int dirfd_, const dirent* de) const
{
    const Type other{Kind::other, {0, 0}};
    switch (de->d_type) {
    case DT_REG:
        return {Kind::file, {0, 0}};
    case DT_DIR:
        if ((m_Flags & wxDIR_DIRS) == 0) return other;
        break; // its device and inode are needed
    case DT_LNK:
        if (!m_Follow) return other;
        break;
    case DT_UNKNOWN:
        break;
    default:
        return other;
    }

    struct stat st;
    if (fstatat(dirfd_, de->d_name, &st, m_Follow ? 0 : AT_SYMLINK_NOFOLLOW) != 0)
        return other; // a dangling link, or gone since it was listed
    if (S_ISREG(st.st_mode)) return {Kind::file, {0, 0}};
    if (S_ISDIR(st.st_mode)) return {Kind::folder, {st.st_dev, st.st_ino}};
    return other;
}

void Walker::FileFound(const wxString& wprefix, const std::string& name)
{
    const wxString wname(name.c_str(), *wxConvFileName);
    if (wname.empty()) return; // not representable in the file name encoding

    if (m_UseFilter && !m_Filter.empty()) {
        if (!wxMatchWild(m_Filter, wname, !m_Hidden)) return;
    } else if (!m_Hidden && name[0] == '.') {
        return;
    }

    ++m_Count;
    if (m_MatchAll || QelMatchesAny(wname.Upper(), m_Patterns)) m_Dir.OnFile(wprefix + wname);
}

void Walker::FolderFound(const std::string& prefix, const wxString& wprefix, const Entry& entry)
{
    if (!m_Entered.insert(entry.id).second) return;

    const wxString wname(entry.name.c_str(), *wxConvFileName);
    if (wname.empty()) return;

    const std::string path = prefix + entry.name;
    const wxString wpath = wprefix + wname;
    m_Dir.OnDir(wpath);
    if (QelDir::Cancelled()) return;

    const int fd = open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        LogCannotOpen(wpath, errno);
        return;
    }
    WalkFolder(path, wpath, fd);
}

// Lets the toolkit process pending events every few tens of milliseconds:
// often enough to stay responsive and cancellable, rarely enough to cost
// nothing. Only if needed, since a hook may already be inside a yield.
void Walker::Yield()
{
    using namespace std::chrono;
    const auto now = steady_clock::now();
    if (now - m_LastYield < milliseconds(30)) return;
    m_LastYield = now;
    if (wxAppConsole* app = wxAppConsole::GetInstance()) app->Yield(true);
}

} // namespace

QelDir::QelDir(const wxString& fullpath, const wxString& filespec, int flags)
    : m_FileSpec(filespec)
    , m_Flags(flags)
    , m_Path(fullpath)
{
    // The toolkit would log its own complaint; FindFiles says it once.
    wxLogNull quiet;
    if (!fullpath.empty()) Open(fullpath);
}

size_t QelDir::FindFiles()
{
    if (m_IsBusy) return 0;
    if (!IsOpened()) {
        const std::string path = FileSystemName(m_Path);
        struct stat st;
        const int error = stat(path.c_str(), &st) != 0 ? errno : ENOTDIR;
        LogCannotOpen(m_Path, error);
        return 0;
    }

    m_Cancelled = false;
    m_IsBusy = true;
    const QelYieldingRun yielding;
    Walker walker(*this);
    const size_t count = walker.Run(GetName());
    m_IsBusy = false;
    return count;
}

bool QelMatchesOneOf(const wxFileName& filename, const wxString& pattern)
{
    if (pattern == "*") return true;
    return QelMatchesAny(filename.GetFullName().Upper(), QelSplitPatterns(pattern));
}
