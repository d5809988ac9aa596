#include <qelkit/paths.h>

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
    if (IsWritableDir(exeDir)) return exeDir;

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

void QelSetPathsOverride(const wxString& dir)
{
    PathsOverride() = dir;
}
