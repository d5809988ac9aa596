#include <qelkit/paths.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <set>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <wx/stdpaths.h>
#include <wx/utils.h>

namespace {

wxString& PathsOverride()
{
    static wxString dir;
    return dir;
}

wxString InstalledDataDir()
{
    return wxStandardPaths::Get().GetDataDir();
}

bool IsWritableDir(const wxString& dir)
{
    return !dir.empty() && access(dir.fn_str(), W_OK | X_OK) == 0;
}

// Said on stderr, the only place left, once for each log file: the program
// opens its log more than once.
void ReportLogFileNotUsed(const wxString& path, const char* reason)
{
    static std::set<wxString> reported;
    if (!reported.insert(path).second) return;
    fprintf(stderr, "Log file not used: %s: %s\n", static_cast<const char*>(path.utf8_str()),
            reason);
}

} // namespace

wxString QelExecutableDir()
{
    if (!PathsOverride().empty()) return PathsOverride();
    return wxFileName(wxStandardPaths::Get().GetExecutablePath()).GetPath();
}

wxFileName QelResourceFile(const wxString& name)
{
    // Whatever stands beside it is the one meant, also when it cannot be
    // read (a FIFO, a device): the refusal must name it, not the fallback.
    const wxFileName beside(QelExecutableDir(), name);
    if (beside.Exists(wxFILE_EXISTS_ANY) || !PathsOverride().empty()) return beside;
    return wxFileName(InstalledDataDir(), name);
}

wxString QelCatalogDir(const wxString& canonicalName)
{
    const wxString relative = "locale/" + canonicalName + "/LC_MESSAGES";
    const wxString beside = QelExecutableDir() + "/" + relative;
    if (wxDirExists(beside) || !PathsOverride().empty()) return beside;
    return InstalledDataDir() + "/" + relative;
}

wxString QelWritableDir()
{
    const wxString exeDir = QelExecutableDir();
    return QelWritableDirFor(exeDir, IsWritableDir(exeDir));
}

wxString QelWritableDirFor(const wxString& exeDir, bool writable)
{
    if (writable) return exeDir;

    wxString base;
    if (!wxGetEnv("XDG_CONFIG_HOME", &base) || base.empty()) base = wxGetHomeDir() + "/.config";
    const wxString dir = base + "/tindrel";
    if (!wxDirExists(dir)) wxFileName::Mkdir(dir, 0700, wxPATH_MKDIR_FULL);
    return dir;
}

wxFileName QelConfigFileName(const wxString& appName)
{
    return wxFileName(QelWritableDir(), appName.Lower() + ".ini");
}

wxFileName QelLogFileName(const wxString& appName)
{
    return wxFileName(QelWritableDir(), appName.Lower() + ".log");
}

FILE* QelOpenLogFile(const wxString& path)
{
    // Only a regular file, looked at before opening: opening a FIFO for
    // writing waits for a reader, and opening a device may act on it. The
    // open itself never waits, and what it opened is looked at again, in
    // case the file was replaced in between.
    struct stat st;
    if (lstat(path.fn_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
        ReportLogFileNotUsed(path, "it is not a regular file");
        return nullptr;
    }
    const int fd = open(
        path.fn_str(),
        O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0600);
    if (fd < 0) {
        ReportLogFileNotUsed(path, strerror(errno));
        return nullptr;
    }
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(fd);
        ReportLogFileNotUsed(path, "it is not a regular file");
        return nullptr;
    }
    fcntl(fd, F_SETFL, O_APPEND); // writes may block as any file's do
    FILE* file = fdopen(fd, "a");
    if (file == nullptr) close(fd);
    return file;
}

void QelSetPathsOverride(const wxString& dir)
{
    PathsOverride() = dir;
}
