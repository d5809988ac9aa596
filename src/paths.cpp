#include <qelkit/paths.h>

#include <fcntl.h>
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

} // namespace

wxString QelExecutableDir()
{
    if (!PathsOverride().empty()) return PathsOverride();
    return wxFileName(wxStandardPaths::Get().GetExecutablePath()).GetPath();
}

wxFileName QelResourceFile(const wxString& name)
{
    const wxFileName beside(QelExecutableDir(), name);
    if (beside.FileExists() || !PathsOverride().empty()) return beside;
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
    const int fd
        = open(path.fn_str(), O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) return nullptr;
    FILE* file = fdopen(fd, "a");
    if (file == nullptr) close(fd);
    return file;
}

void QelSetPathsOverride(const wxString& dir)
{
    PathsOverride() = dir;
}
