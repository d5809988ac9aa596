#include <qelkit/file.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <functional>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <wx/app.h>
#include <wx/config.h>
#include <wx/intl.h>
#include <wx/log.h>
#include <wx/msgdlg.h>

#include <qelkit/paths.h>

namespace {

// Symbolic links are followed at most this deep, as the kernel does.
constexpr int kMaxLinkDepth = 40;

wxString FromFileNameBytes(const char* bytes, size_t length)
{
    return wxString(bytes, *wxConvFileName, length);
}

// The file that a save through path replaces: path itself, or the file its
// chain of symbolic links ends at (which need not exist yet).
wxString ResolveLinks(const wxString& path)
{
    wxString current = path;

    for (int depth = 0; depth < kMaxLinkDepth; ++depth) {
        struct stat st = {};
        if (lstat(current.fn_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
            break;
        }

        char target[PATH_MAX];
        const ssize_t length = readlink(current.fn_str(), target, sizeof target);
        if (length <= 0 || static_cast<size_t>(length) >= sizeof target) {
            break;
        }

        const wxString next = FromFileNameBytes(target, static_cast<size_t>(length));
        current = next.StartsWith("/") ? next
                                       : wxFileName(current).GetPath(wxPATH_GET_SEPARATOR) + next;
    }

    return current;
}

// The start of the names of the temporary files that saves of the file
// `name` make beside it: hidden, and saying what they are ("save" for a new
// file that replaces it, "backup" for a copy of its old text). The saving
// process's id and a count follow, as "<pid>-<count>".
wxString TempPrefix(const wxString& name, const char* purpose = "save")
{
    // The console base: a program without windows has no GUI application.
    const wxAppConsole* app = wxAppConsole::GetInstance();
    const wxString program = app != nullptr ? app->GetAppName().Left(32) : "qelkit";
    return "." + name + "." + program + "-" + purpose + "-";
}

// The file name part of path shortened to 64 bytes on disk, so that a
// temporary name made of it cannot exceed the limit, whatever the width of
// its characters.
wxString ShortName(const wxString& path)
{
    wxString name = wxFileName(path).GetFullName().Left(64);
    while (name.fn_str().length() > 64) name.RemoveLast();
    return name;
}

// A new file named stem followed by "<pid>-<count>", with its name in
// *made; -1 with errno set when none can be made.
int CreateUnique(const wxString& stem, mode_t mode, wxString* made)
{
    static unsigned counter = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const wxString candidate
            = stem + wxString::Format("%ld-%u", static_cast<long>(getpid()), counter++);
        const int fd = open(candidate.fn_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0) {
            *made = candidate;
            return fd;
        }
        if (errno != EEXIST) break;
    }
    return -1;
}

// Copies from the offset of in to its end, to out at its offset; false with
// errno set at the first failure.
bool CopyBytes(int in, int out)
{
    std::vector<char> block(1 << 16);
    for (;;) {
        const ssize_t n = read(in, block.data(), block.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return n == 0;
        for (ssize_t done = 0; done < n;) {
            const ssize_t w = write(out, block.data() + done, static_cast<size_t>(n - done));
            if (w < 0 && errno == EINTR) continue;
            if (w < 0) return false;
            done += w;
        }
    }
}

// The temporary files that saves of this process are writing now. Any other
// of its names is left over from one of its saves that failed where the
// folder did not let the file be removed.
class LiveTemps {
public:
    static void Add(const wxString& path)
    {
        const std::lock_guard<std::mutex> lock(Mutex());
        Paths().insert(path);
    }
    static void Remove(const wxString& path)
    {
        const std::lock_guard<std::mutex> lock(Mutex());
        Paths().erase(path);
    }
    static bool Has(const wxString& path)
    {
        const std::lock_guard<std::mutex> lock(Mutex());
        return Paths().count(path) > 0;
    }

private:
    static std::mutex& Mutex()
    {
        static std::mutex mutex;
        return mutex;
    }
    static std::set<wxString>& Paths()
    {
        static std::set<wxString> paths;
        return paths;
    }
};

// The process id in the rest "<pid>-<count>" of the name of a temporary
// file of ours; 0 when the rest is not of that form.
pid_t OwnerOf(const char* rest)
{
    char* end = nullptr;
    errno = 0;
    const long pid = std::strtol(rest, &end, 10);
    if (errno != 0 || end == rest || *end != '-' || pid <= 0 || pid > INT_MAX || end[1] == '\0') {
        return 0;
    }
    for (const char* digit = end + 1; *digit != '\0'; ++digit) {
        if (*digit < '0' || *digit > '9') return 0;
    }
    return static_cast<pid_t>(pid);
}

bool IsGone(pid_t pid)
{
    return kill(pid, 0) != 0 && errno == ESRCH;
}

// Whether the temporary file at path, the rest of whose name is
// "<pid>-<count>", will never be finished: the process that made it is gone
// (its save was cut short), or it is this one and no save writes it now.
bool IsLeftOver(const char* rest, const wxString& path)
{
    const pid_t pid = OwnerOf(rest);
    if (pid == 0) return false;
    if (pid == getpid()) return !LiveTemps::Has(path);
    return IsGone(pid);
}

// Calls found with the path and the rest of the name of every entry of
// folder whose name starts with prefix.
void ForEachNamed(const wxString& folder, const wxString& prefix,
                  const std::function<void(const wxString& path, const char* rest)>& found)
{
    const wxString where = folder.empty() ? wxString("./") : folder;
    const wxCharBuffer start = prefix.fn_str();
    DIR* dir = start.data() != nullptr ? opendir(where.fn_str()) : nullptr;
    if (dir == nullptr) {
        return; // the save itself reports what is wrong with the name or folder
    }

    const size_t length = std::strlen(start.data());

    while (const dirent* entry = readdir(dir)) {
        if (std::strncmp(entry->d_name, start.data(), length) != 0) continue;
        found(where + FromFileNameBytes(entry->d_name, std::strlen(entry->d_name)),
              entry->d_name + length);
    }

    closedir(dir);
}

// The names in folder of the copies of old texts ("-backup-" in them),
// listed again only once the folder changed: every file opened looks for
// copies of its own in the same few folders, 500 files from one folder
// would read it 500 times. A copy is looked at by its name each time.
// The time of a folder moves in ticks of the clock, of up to two seconds
// on some file systems: a folder changed more recently than that may
// change again unseen, and its listing is not kept.
std::vector<std::string> BackupNamesIn(const wxString& folder)
{
    struct Listing {
        timespec changed = {-1, 0};
        std::vector<std::string> names;
    };
    static std::mutex lock;
    static std::map<wxString, Listing> listings;

    timespec now = {};
    clock_gettime(CLOCK_REALTIME, &now);
    struct stat st = {};
    if (stat(folder.fn_str(), &st) != 0) return {};
    const std::lock_guard<std::mutex> hold(lock);
    Listing& listing = listings[folder];
    if (listing.changed.tv_sec == st.st_mtim.tv_sec
        && listing.changed.tv_nsec == st.st_mtim.tv_nsec)
        return listing.names;

    listing = Listing{};
    DIR* dir = opendir(folder.fn_str());
    if (dir == nullptr) return {};
    while (const dirent* entry = readdir(dir))
        if (std::strstr(entry->d_name, "-backup-") != nullptr)
            listing.names.push_back(entry->d_name);
    closedir(dir);
    if (st.st_mtim.tv_sec < now.tv_sec - 2) listing.changed = st.st_mtim;
    return listing.names;
}

// Removes the temporary files that earlier saves of the same file left in
// the folder: regular files of this user, named as ours, that no save is
// writing.
void RemoveLeftOvers(const wxString& folder, const wxString& prefix)
{
    ForEachNamed(folder, prefix, [](const wxString& path, const char* rest) {
        if (!IsLeftOver(rest, path)) return;
        struct stat st = {};
        if (lstat(path.fn_str(), &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == geteuid()
            && unlink(path.fn_str()) == 0) {
            wxLogVerbose(_("Removed '%s', left behind by a save that did not finish"), path);
        }
    });
}

// The name of the file at path with every link resolved, those of its
// folders too: the one name under which a save and a later open find the
// copies of its text.
wxString CanonicalPath(const wxString& path)
{
    char* real = realpath(path.fn_str(), nullptr);
    if (real == nullptr) return wxFileName(path).GetAbsolutePath();
    const wxString canonical = FromFileNameBytes(real, std::strlen(real));
    std::free(real);
    return canonical;
}

// A folder where the copy of a file's old text may be made, and the start
// of the names of the copies of that file there.
struct BackupPlace {
    wxString folder; // ends with a separator
    wxString prefix;
};

// The places of the copies of the file at the canonical path, in the order
// they are tried: beside it, where its name says whose copy it is (unless
// that name had to be shortened), then the program's own folder and the
// temporary folder, where a tag of its whole path does.
std::vector<BackupPlace> BackupPlaces(const wxString& canonical)
{
    const wxString name = ShortName(canonical);
    const wxString tagged = TempPrefix(name + "." + QelPathTag(canonical), "backup");
    const bool whole = name == wxFileName(canonical).GetFullName();
    const wxLogNull quiet; // a folder that cannot be made is passed over
    return {{wxFileName(canonical).GetPath(wxPATH_GET_SEPARATOR),
             whole ? TempPrefix(name, "backup") : tagged},
            {QelWritableDir() + "/", tagged},
            {wxFileName::GetTempDir() + "/", tagged}};
}

// Whether a save still makes or holds the copy at path, made by the process
// pid: it holds a lock on it. Without a lock to go by (the copy of another
// user, a file system without locks) the process that made it tells.
bool IsHeld(const wxString& path, pid_t pid)
{
    if (LiveTemps::Has(path)) return true;
    // An unfinished copy may be written only: opened so, and never cut.
    const int flags = O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY;
    int fd = open(path.fn_str(), O_RDONLY | flags);
    if (fd < 0 && errno == EACCES) fd = open(path.fn_str(), O_WRONLY | flags);
    if (fd >= 0) {
        const bool locked = flock(fd, LOCK_SH | LOCK_NB) != 0;
        const int error = errno;
        close(fd);
        if (!locked) return false;
        if (error == EWOULDBLOCK) return true;
    }
    return pid != getpid() && !IsGone(pid);
}

// A copy is made writable by its owner alone, who may then still open it
// to try its lock, and given its own permissions once it holds the whole
// text: one that has no others was cut short before the file was touched,
// and holds only part of a text the file still has. (A umask that takes
// the owner's write leaves it without any.)
constexpr mode_t kUnfinishedCopy = S_IWUSR;

bool IsUnfinished(mode_t mode)
{
    return (mode & 07777 & ~kUnfinishedCopy) == 0;
}

// Whether the entry at path, the rest of whose name is "<pid>-<count>", is
// a copy of a file's old text, unfinished or whole as asked, of this user
// or of owner, that no running save holds: left by a save that did not
// finish, or that could not put the old text back.
bool IsLeftCopy(const wxString& path, const char* rest, bool unfinished, uid_t owner)
{
    const pid_t pid = OwnerOf(rest);
    struct stat st = {};
    if (pid == 0 || lstat(path.fn_str(), &st) != 0 || !S_ISREG(st.st_mode)
        || (st.st_uid != geteuid() && st.st_uid != owner) || IsUnfinished(st.st_mode) != unfinished)
        return false;
    // Between its making and its lock a running save holds an unfinished
    // copy by its process alone.
    if (unfinished && pid != getpid() && !IsGone(pid)) return false;
    return !IsHeld(path, pid);
}

// Calls found with the path and the rest of the name ("<pid>-<count>") of
// every copy of a file's old text in its places, as the listings kept of
// their folders name them.
void ForEachCopy(const std::vector<BackupPlace>& places,
                 const std::function<void(const wxString& path, const char* rest)>& found)
{
    for (const BackupPlace& place : places) {
        const wxCharBuffer prefix = place.prefix.fn_str();
        if (prefix.data() == nullptr) continue;
        const size_t length = std::strlen(prefix.data());
        for (const std::string& name : BackupNamesIn(place.folder))
            if (name.compare(0, length, prefix.data()) == 0)
                found(place.folder + FromFileNameBytes(name.data(), name.size()),
                      name.c_str() + length);
    }
}

// Removes the copies of a file's old text that saves killed while they
// made them left in its places: this user's, whose process is gone.
void RemoveUnfinishedCopies(const std::vector<BackupPlace>& places)
{
    ForEachCopy(places, [](const wxString& path, const char* rest) {
        if (IsLeftCopy(path, rest, true, geteuid()) && unlink(path.fn_str()) == 0)
            wxLogVerbose(_("Removed '%s', left behind by a save that did not finish"), path);
    });
}

// A descriptor of the regular file at path, opened with flags (a mode of
// 0666 less the umask for a file made), or -1 with the system's reason or
// "not a regular file" in *why. Opened without waiting: the open of a FIFO
// would wait for a writer or a reader, and a device is no file to edit.
int OpenRegularFile(const wxString& path, int flags, struct stat* st, wxString* why)
{
    const int fd = open(path.fn_str(), flags | O_NONBLOCK | O_CLOEXEC | O_NOCTTY, 0666);
    const int error = fd < 0 || fstat(fd, st) != 0 ? errno : 0;
    if (error == 0 && S_ISREG(st->st_mode)) {
        fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
        return fd;
    }
    *why = error != 0 ? wxSysErrorMsgStr(error) : wxString(_("not a regular file"));
    if (fd >= 0) close(fd);
    return -1;
}

// The open(2) flags of a mode of the toolkit's file class. A file opened to
// be written anew is emptied only once it is known to be a regular file.
int OpenFlags(wxFile::OpenMode mode)
{
    switch (mode) {
    case wxFile::write:
        return O_WRONLY | O_CREAT;
    case wxFile::read_write:
        return O_RDWR;
    case wxFile::write_append:
        return O_WRONLY | O_CREAT | O_APPEND;
    case wxFile::write_excl:
        return O_WRONLY | O_CREAT | O_EXCL;
    default:
        return O_RDONLY;
    }
}

// Replaces one file by a new one written beside it: Begin creates the new
// file, the caller writes to Fd(), then Commit renames it over the target
// or Abort removes it. Where a new file would not be the same file, Begin
// copies the old text aside and Fd() writes the target itself; Commit then
// drops the copy, Abort puts it back. Every failure is logged with the path.
class AtomicReplace {
public:
    AtomicReplace() = default;
    AtomicReplace(const AtomicReplace&) = delete;
    AtomicReplace& operator=(const AtomicReplace&) = delete;
    ~AtomicReplace() { Abort(); }

    bool Begin(const wxString& path);
    int Fd() const { return m_Fd; }
    bool Commit();
    // The status of the file written, taken from its handle before it was
    // renamed into place (valid after Commit).
    const struct stat& Written() const { return m_Written; }
    void Abort();

private:
    bool CreateTemp(const struct stat* existing);
    bool BeginInPlace();
    bool MakeBackup();
    bool CommitInPlace();
    void AbortInPlace();
    bool RestoreBackup() const;
    void RemoveBackup();
    void ReleaseBackup();

    wxString m_Path;   // as the caller named it, for messages
    wxString m_Target; // the file that is replaced
    wxString m_Temp;
    std::vector<BackupPlace> m_Places; // of the copy of an existing target's old text
    wxString m_Backup;                 // written in place: the old text, until the new one is in
    int m_BackupFd = -1;               // holds the lock that marks the copy as this save's
    bool m_InPlace = false;            // Fd() is the target's own
    bool m_Cut = false;                // the target was cut to the new length
    int m_Fd = -1;
    struct stat m_Written = {};
    struct stat m_Old = {}; // written in place: the target before the save
};

bool AtomicReplace::Begin(const wxString& path)
{
    m_Path = path;

    if (path.empty()) {
        wxLogError(_("Cannot save a file without a name"));
        return false;
    }

    m_Target = ResolveLinks(path);

    struct stat st = {};
    if (::stat(m_Target.fn_str(), &st) != 0) {
        // Only a file that is not there yet is made: a loop of links, for
        // one, is no file to replace, and the link would become a file.
        if (errno != ENOENT) {
            wxLogSysError(_("Cannot write file '%s'"), path);
            return false;
        }
        return CreateTemp(nullptr);
    }

    if (!S_ISREG(st.st_mode)) {
        wxLogError(_("Cannot write file '%s': it is not a regular file"), path);
        return false;
    }

    // Renaming would get round a file that its owner made read-only, which
    // writing into it could not.
    if (access(m_Target.fn_str(), W_OK) != 0) {
        wxLogSysError(_("Cannot write file '%s'"), path);
        return false;
    }

    // A save in place killed while it copied the old text aside left a
    // part of a text the file still has whole.
    m_Places = BackupPlaces(CanonicalPath(m_Target));
    RemoveUnfinishedCopies(m_Places);

    // A new file would leave the other names of this one with the old text.
    if (st.st_nlink > 1) return BeginInPlace();

    return CreateTemp(&st);
}

bool AtomicReplace::CreateTemp(const struct stat* existing)
{
    const wxString folder = wxFileName(m_Target).GetPath(wxPATH_GET_SEPARATOR);

    // A save that was killed cannot clean up after itself: the next one does.
    const wxString prefix = TempPrefix(ShortName(m_Target));
    RemoveLeftOvers(folder, prefix);

    // A new file gets 0666 less the umask, as a plain create would; only a
    // file made here is ever removed.
    m_Fd = CreateUnique(folder + prefix, existing != nullptr ? 0600 : 0666, &m_Temp);

    if (m_Fd < 0) {
        // A file the user may write in a folder the user may not.
        if (existing != nullptr && (errno == EACCES || errno == EPERM)) return BeginInPlace();
        wxLogSysError(_("Cannot write file '%s'"), m_Path);
        return false;
    }
    LiveTemps::Add(m_Temp);

    if (existing != nullptr) {
        // The mode is set after the owner because a change of owner clears
        // set-id bits. Only a privileged user may give a file another's
        // owner, and only a member a group: a shared file whose new copy
        // could not keep them is written in place, or its other users would
        // lose their access.
        struct stat made = {};
        if (fchown(m_Fd, existing->st_uid, existing->st_gid) != 0
            && (fstat(m_Fd, &made) != 0 || made.st_uid != existing->st_uid
                || made.st_gid != existing->st_gid)) {
            Abort();
            return BeginInPlace();
        }

        if (fchmod(m_Fd, existing->st_mode & 07777) != 0) {
            wxLogSysError(_("Cannot write file '%s'"), m_Path);
            Abort();
            return false;
        }
    }

    return true;
}

bool AtomicReplace::BeginInPlace()
{
    if (!MakeBackup()) return false;

    struct stat st = {};
    wxString why;
    m_Fd = OpenRegularFile(m_Target, O_WRONLY, &st, &why);
    if (m_Fd < 0) {
        wxLogError(_("Cannot write file '%s': %s"), m_Path, why);
        RemoveBackup();
        return false;
    }
    m_InPlace = true;
    return true;
}

// Copies the target's text to a new file of this user alone, where one can
// be made: beside it, else in the program's own folder, else in the
// temporary folder. The copy is locked until it is removed: a copy that
// nobody holds was left by a save that did not finish.
bool AtomicReplace::MakeBackup()
{
    struct stat st = {};
    wxString why;
    const int in = OpenRegularFile(m_Target, O_RDONLY, &st, &why);
    if (in >= 0) {
        m_Old = st;
        for (const BackupPlace& place : m_Places) {
            const int out = CreateUnique(place.folder + place.prefix, kUnfinishedCopy, &m_Backup);
            if (out >= 0) {
                LiveTemps::Add(m_Backup);
                // Where the file system has no locks the process id in the
                // name tells whether the save still runs.
                flock(out, LOCK_EX | LOCK_NB);
                fchmod(out, kUnfinishedCopy); // whatever the umask took
            }
            // Whole and on disk before it says so, and says so before the
            // file is touched.
            const bool copied = out >= 0 && lseek(in, 0, SEEK_SET) == 0 && CopyBytes(in, out)
                && fsync(out) == 0 && fchmod(out, 0600) == 0 && fsync(out) == 0;
            if (copied) {
                m_BackupFd = out;
                break;
            }
            why = wxSysErrorMsgStr(errno);
            if (out >= 0) {
                unlink(m_Backup.fn_str());
                close(out);
                LiveTemps::Remove(m_Backup);
            }
            m_Backup.clear();
        }
        close(in);
    }
    if (m_Backup.empty())
        wxLogError(_("Cannot write file '%s': no copy of its text can be made first: %s"), m_Path,
                   why);
    return !m_Backup.empty();
}

bool AtomicReplace::CommitInPlace()
{
    // The file ends where the new text does, which may be before the old.
    m_Cut = true;
    const off_t end = lseek(m_Fd, 0, SEEK_CUR);
    if (end < 0 || ftruncate(m_Fd, end) != 0 || fsync(m_Fd) != 0 || fstat(m_Fd, &m_Written) != 0) {
        wxLogSysError(_("Cannot write file '%s'"), m_Path);
        Abort();
        return false;
    }
    close(m_Fd);
    m_Fd = -1;
    m_InPlace = false;
    RemoveBackup();
    return true;
}

void AtomicReplace::AbortInPlace()
{
    // A save that wrote nothing left the file as it was, times and all.
    const bool written = m_Cut || lseek(m_Fd, 0, SEEK_CUR) != 0;
    close(m_Fd);
    m_Fd = -1;
    m_InPlace = false;
    if (written && !RestoreBackup()) {
        wxLogError(_("Cannot write file '%s': its earlier text is kept in '%s'"), m_Path, m_Backup);
        ReleaseBackup(); // the user's to take back
        return;
    }
    RemoveBackup();
}

bool AtomicReplace::RestoreBackup() const
{
    struct stat st = {};
    wxString why;
    const int in = OpenRegularFile(m_Backup, O_RDONLY, &st, &why);
    const int out = in >= 0 ? OpenRegularFile(m_Target, O_WRONLY, &st, &why) : -1;
    bool restored = out >= 0 && CopyBytes(in, out);
    restored = restored && ftruncate(out, lseek(out, 0, SEEK_CUR)) == 0;
    // The old text takes back its times too, or the file would seem changed
    // on disk to whoever read it. Only the owner may set them: for another
    // user the text alone is back.
    const struct timespec times[] = {m_Old.st_atim, m_Old.st_mtim};
    if (restored) futimens(out, times);
    restored = restored && fsync(out) == 0;
    if (out >= 0) restored = close(out) == 0 && restored;
    if (in >= 0) close(in);
    return restored;
}

void AtomicReplace::RemoveBackup()
{
    // Removed while still locked: nobody takes it for a copy left over.
    if (!m_Backup.empty() && unlink(m_Backup.fn_str()) != 0)
        wxLogWarning(_("Cannot remove the copy '%s': %s"), m_Backup, wxSysErrorMsgStr(errno));
    ReleaseBackup();
}

void AtomicReplace::ReleaseBackup()
{
    if (m_BackupFd >= 0) close(m_BackupFd);
    m_BackupFd = -1;
    LiveTemps::Remove(m_Backup);
    m_Backup.clear();
}

bool AtomicReplace::Commit()
{
    if (m_Fd < 0) {
        return false;
    }
    if (m_InPlace) return CommitInPlace();

    const bool synced = fsync(m_Fd) == 0 && fstat(m_Fd, &m_Written) == 0;
    const int sync_error = errno;
    const bool closed = close(m_Fd) == 0;
    const int close_error = errno;
    m_Fd = -1;

    if (!synced || !closed) {
        wxLogSysError(synced ? close_error : sync_error, _("Cannot write file '%s'"), m_Path);
        Abort();
        return false;
    }

    if (rename(m_Temp.fn_str(), m_Target.fn_str()) != 0) {
        wxLogSysError(_("Cannot write file '%s'"), m_Path);
        Abort();
        return false;
    }

    LiveTemps::Remove(m_Temp);
    m_Temp.clear();
    return true;
}

void AtomicReplace::Abort()
{
    if (m_InPlace) {
        AbortInPlace();
        return;
    }

    if (!m_Temp.empty() && unlink(m_Temp.fn_str()) != 0 && errno != ENOENT) {
        // The folder no longer lets it go (it was made read-only during the
        // save, say); the file itself can still be emptied, so that it holds
        // no second copy of the data. The next save of the file removes it.
        const int error = errno;
        const bool emptied
            = m_Fd >= 0 ? ftruncate(m_Fd, 0) == 0 : truncate(m_Temp.fn_str(), 0) == 0;
        wxLogWarning(emptied ? _("Cannot remove the emptied temporary file '%s': %s")
                             : _("Cannot remove the temporary file '%s': %s"),
                     m_Temp, wxSysErrorMsgStr(error));
    }

    if (m_Fd >= 0) {
        close(m_Fd);
        m_Fd = -1;
    }

    if (!m_Temp.empty()) {
        LiveTemps::Remove(m_Temp);
        m_Temp.clear();
    }
}

} // namespace

wxString QelPathTag(const wxString& path)
{
    const wxCharBuffer on_disk = path.fn_str();
    const std::string bytes = on_disk.data() != nullptr
        ? std::string(on_disk.data(), on_disk.length())
        : path.utf8_string();
    std::uint64_t hash = 14695981039346656037ULL;
    for (const char byte : bytes)
        hash = (hash ^ static_cast<unsigned char>(byte)) * 1099511628211ULL;
    return wxString::Format("%016llx", static_cast<unsigned long long>(hash));
}

bool QelReadWholeFile(const wxString& path, std::string* bytes, wxString* why, size_t max_bytes)
{
    struct stat st = {};
    int fd = OpenRegularFile(path, O_RDONLY, &st, why);
    // Held whole in memory: a huge or sparse file would take it all.
    if (fd >= 0 && static_cast<unsigned long long>(st.st_size) > max_bytes) {
        *why = wxString::Format(_("more than %zu bytes"), max_bytes);
        close(fd);
        fd = -1;
    }
    int error = 0;
    bool read = false;
    if (fd >= 0) {
        bytes->resize(static_cast<size_t>(st.st_size));
        size_t got = 0;
        while (got < bytes->size()) {
            const ssize_t n = ::read(fd, bytes->data() + got, bytes->size() - got);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) {
                error = n < 0 ? errno : 0;
                break; // a file that shrank meanwhile just ends
            }
            got += static_cast<size_t>(n);
        }
        bytes->resize(got);
        read = error == 0;
    }
    if (error != 0) *why = wxSysErrorMsgStr(error);
    if (fd >= 0) close(fd);
    return read;
}

bool QelWriteFileAtomic(const wxString& path, const void* data, size_t size)
{
    AtomicReplace replace;
    if (!replace.Begin(path)) {
        return false;
    }

    const char* bytes = static_cast<const char*>(data);
    size_t written = 0;

    while (written < size) {
        const ssize_t n = write(replace.Fd(), bytes + written, size - written);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            wxLogSysError(_("Cannot write file '%s'"), path);
            return false;
        }
        written += static_cast<size_t>(n);
    }

    return replace.Commit();
}

std::vector<wxString> QelLeftBackups(const wxString& path)
{
    // Another user's copy is told only of that user's file: anyone may
    // make a file under the name of a copy in the temporary folder.
    struct stat st = {};
    const uid_t owner = stat(path.fn_str(), &st) == 0 ? st.st_uid : geteuid();
    std::vector<wxString> found;
    ForEachCopy(BackupPlaces(CanonicalPath(path)), [&](const wxString& copy, const char* rest) {
        if (IsLeftCopy(copy, rest, false, owner)) found.push_back(copy);
    });
    // One folder may be more than one place (a file in the program's folder).
    std::sort(found.begin(), found.end());
    found.erase(std::unique(found.begin(), found.end()), found.end());
    return found;
}

QelFile::QelFile(bool open_file)
    : m_OpenFile(open_file)
{ }

QelFile::QelFile(const wxFileName& filename, wxFile::OpenMode mode, bool open_file)
    : m_OpenFile(open_file)
{
    const wxString path = filename.GetFullPath();
    struct stat st = {};
    wxString why;
    if (const int fd = OpenRegularFile(path, OpenFlags(mode), &st, &why); fd >= 0) {
        Attach(fd);
        // Written over without the cut, the old text's tail would stay.
        if (mode == wxFile::write && ftruncate(fd, 0) != 0) {
            wxLogSysError(_("Cannot write file '%s'"), path);
            Close();
        }
    } else {
        wxLogError(_("Cannot open file '%s': %s"), path, why);
    }
    m_FileName.wxFileName::Assign(filename);
    m_Stat.Sync(filename.GetFullPath());
    MakeAbsolute();
}

QelFile::~QelFile() = default;

bool QelFile::Assign(const QelFileName& filename)
{
    m_FileName = filename;
    return m_Stat.Sync(filename.GetFullPath());
}

bool QelFile::MakeAbsolute()
{
    if (!m_FileName.wxFileName::MakeAbsolute()) {
        return false;
    }

    // Both under the absolute path, also for a file not there yet: a status
    // kept under a relative one would follow another file after a change of
    // the working folder.
    const wxString fullpath = m_FileName.GetFullPath();
    const bool exists = m_FileName.m_Stat.Sync(fullpath);
    return m_Stat.Sync(fullpath) && exists;
}

bool QelFile::Get(bool synced)
{
    // The file may have become a named pipe since its status was taken: its
    // open would wait for a writer.
    if (synced || m_OpenFile) {
        struct stat st = {};
        wxString why;
        const int fd = OpenRegularFile(m_FileName.GetFullPath(), O_RDONLY, &st, &why);
        if (fd < 0) {
            wxLogError(_("Cannot open file '%s': %s"), m_FileName.GetFullPath(), why);
            return false;
        }
        Attach(fd);
    }

    // The status of the bytes about to be read, of the handle: a change made
    // on disk while they are read is still a change at the next check.
    struct stat read = {};
    const bool read_status = IsOpened() && fstat(fd(), &read) == 0;

    const bool loaded = DoFileLoad(synced);

    if (IsOpened()) {
        Close();
    }

    // A hook that loaded nothing leaves the object as it was, changes and all.
    if (loaded) {
        ResetContentsChanged();
        if (read_status) m_Stat = QelStat(m_FileName.GetFullPath(), read);
        DoFileLoaded(synced);
    }

    return loaded;
}

bool QelFile::FileLoad(const QelFileName& filename)
{
    if (!filename.FileExists()) {
        return false;
    }

    // Asked while still bound to the current file, so that saving the
    // changes first writes them where they belong.
    if (!Confirm(false)) {
        return false;
    }

    const QelFileName old_name = m_FileName;
    const QelStat old_stat = m_Stat;

    Assign(filename);

    if (MakeAbsolute() && Get(false)) {
        TellLeftBackups();
        return true;
    }

    m_FileName = old_name;
    m_Stat = old_stat;
    return false;
}

void QelFile::TellLeftBackups()
{
    // Said after the load, whose own status it replaces: the file may hold
    // the start of a new text over the old one, which only the copy has whole.
    const wxString path = m_FileName.GetFullPath();
    for (const wxString& copy : QelLeftBackups(path)) {
        if (!m_ToldBackups.insert(copy).second) continue;
        const wxString said = wxString::Format(
            _("A save of '%s' did not finish: the file may be damaged, its earlier text is kept "
              "in '%s'"),
            path, copy);
        wxLogWarning("%s", said);
        wxLogStatus("%s", said);
    }
}

void QelFile::FileNew(const QelFileName& filename)
{
    Assign(filename);
    DoFileNew();
}

bool QelFile::FileSave(const QelFileName& filename)
{
    if (!filename.IsOk()) {
        return Save(false);
    }

    const QelFileName old_name = m_FileName;
    const QelStat old_stat = m_Stat;

    // For a file that does not exist yet both statuses fail here.
    Assign(filename);
    MakeAbsolute();

    if (Save(true)) {
        return true;
    }

    m_FileName = old_name;
    m_Stat = old_stat;
    return false;
}

bool QelFile::MayOverwrite()
{
    // A file that vanished is simply written again, and what is no regular
    // file is refused by the save itself; one that appeared under the name of
    // a new document is someone else's.
    const QelStat now(m_FileName.GetFullPath());
    if (m_Overwriting || !now.IsOk() || !S_ISREG(now.st_mode) || now.IsSameVersion(m_Stat)) {
        return true;
    }

    // The question answers this change: no reload question follows it.
    m_Seen = now;
    Overwrite answer = Overwrite::cancel;
    {
        const QelFileQuestion question;
        answer = DoFileOverwriteConfirm();
    }

    switch (answer) {
    case Overwrite::yes:
        return true;
    case Overwrite::reload:
        Get(true);
        return false;
    default:
        return false;
    }
}

bool QelFile::MayWriteOverLeftBackups(std::vector<wxString>* doomed)
{
    std::vector<wxString> copies = QelLeftBackups(m_FileName.GetFullPath());
    copies.erase(std::remove_if(copies.begin(), copies.end(),
                                [this](const wxString& copy) { return m_KeptBackups.count(copy); }),
                 copies.end());
    if (copies.empty()) return true;

    LeftBackups answer = LeftBackups::cancel;
    {
        const QelFileQuestion question;
        answer = DoFileLeftBackupsConfirm(copies);
    }

    switch (answer) {
    case LeftBackups::remove:
        *doomed = copies;
        return true;
    case LeftBackups::keep:
        m_KeptBackups.insert(copies.begin(), copies.end());
        return true;
    default:
        return false;
    }
}

bool QelFile::Save(bool save_as)
{
    if (!save_as && !MayOverwrite()) {
        return false;
    }

    // Removed only once the new text is in: until then they may be the
    // only whole text the file had.
    std::vector<wxString> doomed;
    if (!MayWriteOverLeftBackups(&doomed)) {
        return false;
    }

    AtomicReplace replace;

    if (m_OpenFile) {
        if (!replace.Begin(m_FileName.GetFullPath())) {
            return false;
        }
        Attach(replace.Fd());
    }

    m_WriteFailed = false;
    bool saved = DoFileSave(save_as);

    if (m_OpenFile) {
        // A write the hook did not check still fails the save; it was told
        // when it failed.
        if (saved && !m_WriteFailed && Error()) LogFailure(_("Cannot write file '%s'"));
        saved = saved && !m_WriteFailed && !Error();

        Detach();
        saved = saved && replace.Commit();
    }

    if (!saved) {
        return false;
    }

    for (const wxString& copy : doomed) {
        if (unlink(copy.fn_str()) == 0)
            wxLogVerbose(_("Removed '%s', the earlier text of '%s'"), copy,
                         m_FileName.GetFullPath());
        else if (errno != ENOENT)
            wxLogWarning(_("Cannot remove the copy '%s': %s"), copy, wxSysErrorMsgStr(errno));
    }

    ResetContentsChanged();
    m_FileName.m_Stat.Sync();
    // What was written, not what the path holds a moment later: a change
    // made just after the rename is still a change at the next check.
    if (m_OpenFile) {
        m_Stat = QelStat(m_FileName.GetFullPath(), replace.Written());
    } else {
        m_Stat.Sync();
    }
    DoFileSaved(save_as);
    return true;
}

void QelFile::LogFailure(const wxString& format) const
{
    const wxString path = m_FileName.GetFullPath();
    if (GetLastError() != 0)
        wxLogSysError(GetLastError(), format, path);
    else
        wxLogError(format, path);
}

namespace {

// What the toolkit's call returns, without the message it gives of a
// failure: that names the handle's descriptor, and the caller names the file.
template <class Call> auto Quietly(Call call)
{
    const wxLogNull quiet;
    return call();
}

// The answer to a question of Yes, No and Cancel, as one of the three values
// given in that order.
template <class Answer>
Answer AskYesNoCancel(wxWindow* parent, const wxString& question, long style, Answer yes, Answer no,
                      Answer cancel)
{
    wxMessageDialog dialog(parent, question, _("Confirm"), wxYES_NO | wxCANCEL | style);
    switch (dialog.ShowModal()) {
    case wxID_YES:
        return yes;
    case wxID_NO:
        return no;
    default:
        return cancel;
    }
}

} // namespace

ssize_t QelFile::Read(void* data, size_t count)
{
    const ssize_t n = Quietly([&] { return wxFile::Read(data, count); });
    if (n < 0) LogFailure(_("Cannot read file '%s'"));
    return n;
}

wxFileOffset QelFile::Seek(wxFileOffset offset, wxSeekMode mode)
{
    const wxFileOffset at = Quietly([&] { return wxFile::Seek(offset, mode); });
    if (at == wxInvalidOffset) LogFailure(_("Cannot read file '%s'"));
    return at;
}

wxFileOffset QelFile::Length() const
{
    const wxFileOffset length = Quietly([this] { return wxFile::Length(); });
    if (length == wxInvalidOffset) LogFailure(_("Cannot read file '%s'"));
    return length;
}

size_t QelFile::Write(const void* data, size_t count)
{
    // The save fails at the first failed write: the rest would only fail
    // again, or leave a hole in the file.
    if (m_WriteFailed) return 0;

    const char* bytes = static_cast<const char*>(data);
    size_t written = 0;

    while (written < count) {
        const size_t n = Quietly([&] { return wxFile::Write(bytes + written, count - written); });
        if (n == 0) {
            m_WriteFailed = true;
            LogFailure(_("Cannot write file '%s'"));
            break;
        }
        written += n;
    }

    return written;
}

bool QelFile::Write(const wxString& text, const wxMBConv& conv)
{
    if (m_WriteFailed) return false;
    const wxWX2MBbuf buffer = text.mb_str(conv);
    if (!buffer && !text.empty()) {
        m_WriteFailed = true;
        wxLogError(_("Cannot write file '%s': the text holds characters its encoding lacks"),
                   m_FileName.GetFullPath());
        return false;
    }
    return Write(buffer.data(), buffer.length()) == buffer.length();
}

bool QelFile::CheckSync()
{
    // m_Stat, not the current status: a file that was loaded, deleted and
    // then created again is followed again. Nothing happens while a question
    // is shown, of this binding or another: this one asks when it is answered.
    if (IsOpened() || QelFileQuestion::IsShown() || !m_Stat.IsOk()) {
        return false;
    }

    // Only a regular file can be reloaded: a folder reads as nothing, and the
    // open of a named pipe would block until someone writes to it.
    if (!m_FileName.m_Stat.Sync() || !S_ISREG(m_FileName.m_Stat.st_mode)
        || m_FileName.m_Stat.IsSameVersion(m_Stat) || m_FileName.m_Stat.IsSameVersion(m_Seen)) {
        return false;
    }

    // The setting once the file is seen to have changed: a shown file is
    // looked at twice a second, and nearly always found as it was.
    if (const wxConfigBase* config = wxConfigBase::Get(false);
        config != nullptr && !config->ReadBool("AllowSync", true)) {
        return false;
    }

    // A reload takes the status of what it read. A cancelled or failed one
    // is not tried again until the file changes again, but m_Stat stays:
    // the object still holds what was loaded before.
    m_Seen = m_FileName.m_Stat;
    m_Overwriting = true; // saving inside the question writes over the change
    const bool confirmed = Confirm(true);
    m_Overwriting = false;
    return confirmed && Get(true);
}

const wxCharBuffer QelFile::Read(wxFileOffset seek_position)
{
    if (!IsOpened()) {
        return wxCharBuffer(size_t{0});
    }

    const wxFileOffset length = Length();
    if (length == wxInvalidOffset || seek_position < 0 || seek_position > length
        || Seek(seek_position) == wxInvalidOffset) {
        return wxCharBuffer(size_t{0});
    }

    const size_t count = static_cast<size_t>(length - seek_position);
    wxCharBuffer buffer(count);
    if (buffer.data() == nullptr) {
        wxLogError(_("Not enough memory to read file '%s'"), GetFileName().GetFullPath());
        return wxCharBuffer(size_t{0});
    }
    size_t got = 0;

    while (got < count) {
        const ssize_t n = Read(buffer.data() + got, count - got);
        if (n <= 0) {
            break; // a read error is told by Read; a shrunk file just ends
        }
        got += static_cast<size_t>(n);
    }

    if (got < count) {
        buffer.shrink(got);
    }

    return buffer;
}

bool QelFile::Confirm(bool synced)
{
    const QelFileQuestion question;
    return DoFileLoadConfirm(synced);
}

QelFile::Overwrite QelFile::DoFileOverwriteConfirm()
{
    return Overwrite::yes;
}

QelFile::Overwrite QelFile::AskOverwrite(wxWindow* parent) const
{
    const wxString question = wxString::Format(_("%s was changed on disk since it was read."),
                                               GetFileName().GetFullPath())
        + "\n"
        + _("Save your changes over it (Yes), drop them and load the file (No), or keep them "
            "unsaved (Cancel)?");

    return AskYesNoCancel(parent, question, wxICON_QUESTION, Overwrite::yes, Overwrite::reload,
                          Overwrite::cancel);
}

QelFile::LeftBackups QelFile::DoFileLeftBackupsConfirm(const std::vector<wxString>& backups)
{
    for (const wxString& copy : backups)
        wxLogWarning(_("Saving over '%s': the earlier text of a save of it that did not finish is "
                       "kept in '%s'"),
                     GetFileName().GetFullPath(), copy);
    return LeftBackups::keep;
}

QelFile::LeftBackups QelFile::AskLeftBackups(wxWindow* parent,
                                             const std::vector<wxString>& backups) const
{
    wxString question = wxString::Format(_("A save of %s did not finish. Its earlier text is "
                                           "kept in:"),
                                         GetFileName().GetFullPath());
    for (const wxString& copy : backups) question += "\n" + copy;
    question += "\n"
        + _("Save over the file and delete the copy (Yes), save and keep the copy (No), or do not "
            "save (Cancel)?");

    return AskYesNoCancel(parent, question, wxNO_DEFAULT | wxICON_WARNING, LeftBackups::remove,
                          LeftBackups::keep, LeftBackups::cancel);
}

bool QelFile::DoFileLoadConfirm(bool)
{
    return true;
}

bool QelFile::DoFileLoad(bool)
{
    return true;
}

void QelFile::DoFileNew()
{ }

bool QelFile::DoFileSave(bool)
{
    return true;
}

void QelFile::DoFileSaved(bool)
{ }

void QelFile::DoFileLoaded(bool)
{ }

void QelFile::Follow(const QelFile& other)
{
    m_FileName = other.m_FileName;
    m_Stat = other.m_Stat;
    m_Seen = other.m_Seen;
}
