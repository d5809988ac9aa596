#include <qelkit/app.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <optional>
#include <set>
#include <string>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <wx/apptrait.h>
#include <wx/fileconf.h>
#include <wx/filename.h>
#include <wx/stream.h>
#include <wx/textbuf.h>
#include <wx/tokenzr.h>
#include <wx/translation.h>

#include <qelkit/file.h>
#include <qelkit/frd.h>
#include <qelkit/lexers.h>
#include <qelkit/paths.h>
#include <qelkit/printing.h>
#include <qelkit/vcs.h>

namespace {

// Catalogs are files we listed ourselves: hand the toolkit each file by its
// catalog name instead of letting it search the system's folders.
class QelCatalogLoader : public wxTranslationsLoader {
public:
    explicit QelCatalogLoader(const wxString& lang)
        : m_Lang(lang)
    { }

    void Add(const wxString& domain, const wxString& path) { m_Files[domain] = path; }

    wxMsgCatalog* LoadCatalog(const wxString& domain, const wxString& lang) override
    {
        // The toolkit also asks for variants of the language (with the
        // encoding, without the region): the files hold the one language,
        // read once, when it is asked for by its own name.
        if (lang != m_Lang) return nullptr;
        const auto it = m_Files.find(domain);
        if (it == m_Files.end()) return nullptr;
        // Read here, not by the toolkit, whose open of a file that was
        // replaced by a FIFO since it was listed would wait for a writer.
        std::string bytes;
        wxString why;
        if (!QelReadWholeFile(it->second, &bytes, &why)) {
            wxLogWarning(_("Catalog '%s' cannot be read: %s"), it->second, why);
            return nullptr;
        }
        return wxMsgCatalog::CreateFromData(
            wxScopedCharBuffer::CreateNonOwned(bytes.data(), bytes.size()), domain);
    }

    wxArrayString GetAvailableTranslations(const wxString& domain) const override
    {
        wxArrayString langs;
        if (m_Files.count(domain) > 0) langs.push_back(m_Lang);
        return langs;
    }

private:
    wxString m_Lang;
    std::map<wxString, wxString> m_Files;
};

// Until the main frame installs its own log target, messages go to the log
// file, warnings and errors to stderr as well, and never to a dialog: a
// start-up that waits on a message box never finishes unattended.
class QelEarlyLog : public wxLog {
public:
    explicit QelEarlyLog(const wxString& appName)
        : m_AppName(appName)
    { }
    ~QelEarlyLog() override
    {
        if (m_File != nullptr) fclose(m_File);
    }

protected:
    void DoLogRecord(wxLogLevel level, const wxString& msg, const wxLogRecordInfo& info) override
    {
        if (level != wxLOG_Status) wxLog::DoLogRecord(level, msg, info);
    }

    void DoLogTextAtLevel(wxLogLevel level, const wxString& text) override
    {
        if (level > wxLOG_Info) {
            wxLog::DoLogTextAtLevel(level, text); // debug output
            return;
        }
        const wxScopedCharBuffer bytes = text.utf8_str();
        if (level <= wxLOG_Warning) fprintf(stderr, "%s\n", bytes.data());
        // The folder is decided at the first message, so that a run that
        // only prints its usage leaves nothing behind.
        if (m_File == nullptr && !m_Tried) {
            m_Tried = true;
            m_File = QelOpenLogFile(QelLogFileName(m_AppName).GetFullPath());
        }
        if (m_File != nullptr) {
            fprintf(m_File, "%s\n", bytes.data());
            fflush(m_File);
        }
    }

private:
    wxString m_AppName;
    FILE* m_File = nullptr;
    bool m_Tried = false;
};

// A failed assertion is a programmer error: report it and carry on.
void QelLogAssert(const wxString& file, int line, const wxString& func, const wxString& cond,
                  const wxString& msg)
{
    wxLogError("Assertion failed: %s:%d %s: %s %s", file, line, func, cond, msg);
}

// Appends what is written to a text. The toolkit's memory stream grows its
// buffer by the size of each write, so a settings file of many keys was
// copied again for each of them.
class StringOutput : public wxOutputStream {
public:
    std::string Take() { return std::move(m_Text); }

protected:
    size_t OnSysWrite(const void* buffer, size_t size) override
    {
        m_Text.append(static_cast<const char*>(buffer), size);
        return size;
    }

private:
    std::string m_Text;
};

// The program writes a few hundred keys. The toolkit's reading of a settings
// file grows faster than the file: a hundred thousand keys take it about a
// second, millions keep the program from starting and take gigabytes.
constexpr unsigned long kMaxSettingsBytes = 16 * 1024 * 1024;
constexpr size_t kMaxSettingsLines = 100000;

// Why settings of this text are too large to be read; empty when they are not.
wxString SettingsTooLarge(const std::string& bytes)
{
    if (bytes.size() > kMaxSettingsBytes)
        return wxString::Format(_("more than %lu bytes"), kMaxSettingsBytes);
    // The toolkit ends a line at a CR as well as at an LF.
    if (std::max(std::count(bytes.begin(), bytes.end(), '\n'),
                 std::count(bytes.begin(), bytes.end(), '\r'))
        > std::ptrdiff_t(kMaxSettingsLines))
        return wxString::Format(_("more than %zu lines"), kMaxSettingsLines);
    return wxString();
}

// The settings file is written as documents are: to a file beside it that
// replaces it only once whole (a link stays a link, the mode is kept), with
// nothing left behind when that fails. The toolkit's own writing removes the
// old file before it renames, and leaves its temporary file when the rename
// fails.
class QelSettingsFile : public wxFileConfig {
public:
    explicit QelSettingsFile(const wxString& path)
        : wxFileConfig("", "", path, "", path.empty() ? 0 : wxCONFIG_USE_LOCAL_FILE, wxConvAuto())
        , m_Path(path)
        , m_Written(Text())
    {
        SetExpandEnvVars(false);
    }
    // Written here, so that the base finds nothing left to write.
    ~QelSettingsFile() override { Flush(); }

    // The file is removed: what is stored next must be written again.
    bool DeleteAll() override
    {
        m_Written.clear();
        return wxFileConfig::DeleteAll();
    }

    bool Flush(bool = false) override { return Write(Text()); }

private:
    bool Write(const std::string& text)
    {
        if (text == m_Written || m_Path.empty()) return true;
        // A file the next start would refuse would lose every setting: the
        // one there stays, and this is said once.
        if (const wxString why = SettingsTooLarge(text); !why.empty()) {
            if (!m_TooLargeTold)
                wxLogError(_("Settings file '%s' is not written: it would be too large to be "
                             "read again (%s)"),
                           m_Path, why);
            m_TooLargeTold = true;
            return false;
        }
        // A failure is told once, not again at each write that follows it
        // (at the close of the window, at the exit), until one succeeds.
        std::optional<wxLogNull> quiet;
        if (m_Failing) quiet.emplace();
        m_Failing = !QelWriteFileAtomic(m_Path, text.data(), text.size());
        if (m_Failing) return false;
        m_Written = text;
        return true;
    }

    // The file as it would be written now; also marks the settings as written
    // for the base.
    std::string Text()
    {
        StringOutput out;
        Save(out, wxConvUTF8);
        return out.Take();
    }

    wxString m_Path;
    std::string m_Written;       // what the file holds, as far as we know
    bool m_Failing = false;      // the last write failed, and said so
    bool m_TooLargeTold = false; // a write was refused for the size, and said so
};

// The settings file's text, read as the toolkit reads it (a regular file
// only), for the report of its faulty lines. False, and told, when it is
// there but cannot be read.
bool ReadSettingsText(const wxString& path, wxString* text)
{
    if (path.empty() || !wxFileName::FileExists(path)) return true;
    const auto refuse = [&path](const wxString& why) {
        wxLogError(_("Settings file '%s' is too large (%s): its settings are not used or saved"),
                   path, why);
        return false;
    };
    const wxULongLong size = wxFileName::GetSize(path);
    if (size != wxInvalidSize && size > kMaxSettingsBytes)
        return refuse(wxString::Format(_("more than %lu bytes"), kMaxSettingsBytes));
    std::string bytes;
    wxString why;
    if (!QelReadWholeFile(path, &bytes, &why, kMaxSettingsBytes)) {
        wxLogError(_("Settings file '%s' cannot be read (%s): its settings are not used or saved"),
                   path, why);
        return false;
    }
    if (const wxString tooLarge = SettingsTooLarge(bytes); !tooLarge.empty())
        return refuse(tooLarge);
    *text = wxString(bytes.data(), wxConvAuto(), bytes.size());
    return true;
}

// The line's group name, as a group header gives it, backslashes taken out;
// its end is at *end: the ']', else the line's length.
wxString GroupName(const wxString& line, size_t start, size_t* end)
{
    wxString name;
    size_t i = start + 1;
    for (; i < line.length() && line[i] != ']'; ++i) {
        if (line[i] == '\\' && ++i == line.length()) break;
        name += line[i];
    }
    *end = i;
    return name;
}

// The faults of one line of the settings file, as the toolkit reads it, in
// the words of the report; empty for none. `group` is the group the line is
// in, which a group header changes; `keys` holds the line of each key met.
wxString LineFault(const wxString& line, size_t number, wxString* group,
                   std::map<wxString, size_t>* keys)
{
    size_t start = 0;
    while (start < line.length() && wxIsspace(line[start])) ++start;
    if (start == line.length() || line[start] == ';' || line[start] == '#') return wxString();

    if (line[start] == '[') {
        size_t end = 0;
        const wxString name = GroupName(line, start, &end);
        if (end == line.length()) return _("no ']' ends the group name: the line is ignored");
        *group = name;
        for (size_t i = end + 1; i < line.length(); ++i) {
            if (line[i] == ';' || line[i] == '#') break;
            if (line[i] != ' ' && line[i] != '\t') return _("text after the group name is ignored");
        }
        return wxString();
    }

    wxString key;
    size_t i = start;
    for (; i < line.length() && line[i] != '='; ++i) {
        if (line[i] == '\\' && ++i == line.length()) break;
        key += line[i];
    }
    if (i == line.length()) return _("no '=' after the key: the line is ignored");
    key.Trim();
    if (key.empty()) return _("no key before '='");
    const auto [first, added] = keys->emplace(*group + "\n" + key, number);
    if (added) return wxString();
    return wxString::Format(_("key '%s' was set on line %zu already"), key, first->second);
}

// Tells each faulty line of the settings file once, with its number: the
// toolkit tells a key set again twice, one of them with a wrong line number,
// a group name without its ']' without any, and a line without a key only by
// a failed assertion.
void ReportSettingsLines(const wxString& path, const wxString& text)
{
    // A file of nothing but faults says enough with its first ones.
    constexpr size_t kTold = 20;
    size_t faults = 0;
    wxString group;
    std::map<wxString, size_t> keys;
    wxStringTokenizer lines(wxTextBuffer::Translate(text, wxTextFileType_Unix), "\n",
                            wxTOKEN_RET_EMPTY_ALL);
    for (size_t number = 1; lines.HasMoreTokens(); ++number) {
        const wxString fault = LineFault(lines.GetNextToken(), number, &group, &keys);
        if (!fault.empty() && ++faults <= kTold)
            wxLogWarning(_("Settings file '%s', line %zu: %s"), path, number, fault);
    }
    if (faults > kTold)
        wxLogWarning(_("Settings file '%s': %zu more faulty lines"), path, faults - kTold);
}

// Why the file is no compiled message catalog (a regular file that starts
// with the catalog's magic number, in either byte order); empty when it is
// one.
wxString CatalogFault(const wxString& path)
{
    // Opened without waiting: a FIFO's open would wait for a writer.
    const int fd = open(path.fn_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return wxSysErrorMsgStr(errno);
    struct stat st = {};
    unsigned char magic[4] = {};
    const bool regular = fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    const bool read = regular && ::read(fd, magic, sizeof magic) == ssize_t(sizeof magic);
    close(fd);
    if (!regular) return _("not a regular file");
    const unsigned char little[4] = {0xde, 0x12, 0x04, 0x95};
    const unsigned char big[4] = {0x95, 0x04, 0x12, 0xde};
    if (read && (memcmp(magic, little, 4) == 0 || memcmp(magic, big, 4) == 0)) return wxString();
    return _("it does not start as one");
}

using FolderId = std::pair<dev_t, ino_t>;

// Every entry of the folder and of its subfolders that is not a folder, the
// subfolders' first. Only folders are opened, and a folder reached again
// through a link is not entered again: two links back to the folder would
// have it listed without end. The listing tells what most entries are: only
// a link, or an entry of a file system that does not say, is looked at, and
// a folder only once, as it is opened. (QelDir would yield to the event loop
// while the program starts, and passes over the FIFOs that are to be told.)
void ListFiles(const wxString& dir, std::set<FolderId>* entered, wxArrayString* files)
{
    const int fd = open(dir.fn_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    struct stat st = {};
    DIR* const listing = fstat(fd, &st) == 0 && entered->insert({st.st_dev, st.st_ino}).second
        ? fdopendir(fd)
        : nullptr;
    if (listing == nullptr) {
        close(fd);
        return;
    }
    wxArrayString folders, others;
    while (const dirent* entry = readdir(listing)) {
        const char* const name = entry->d_name;
        if (strcmp(name, ".") == 0 || strcmp(name, "..") == 0) continue;
        bool folder = entry->d_type == DT_DIR;
        if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN)
            folder = fstatat(dirfd(listing), name, &st, 0) == 0 && S_ISDIR(st.st_mode);
        (folder ? folders : others).push_back(dir + "/" + wxString(name, *wxConvFileName));
    }
    closedir(listing);
    for (const auto& folder : folders) ListFiles(folder, entered, files);
    for (const auto& other : others) files->push_back(other);
}

class QelAppTraits : public wxGUIAppTraits {
public:
    // A settings object asked for when none is installed (after the exit
    // deleted it, for one) is the program's own file, read as OnInit reads it.
    wxConfigBase* CreateConfig() override
    {
        return QelCreateConfig(QelConfigFileName(wxTheApp->GetAppName()).GetFullPath());
    }
    // A message with no target installed comes at the very end, when the
    // toolkit has deleted ours and the application is going: a log window
    // made then would outlive what it needs.
    wxLog* CreateLogTarget() override { return new wxLogStderr; }
};

} // namespace

QelApp::~QelApp() = default;

wxAppTraits* QelApp::CreateTraits()
{
    return new QelAppTraits;
}

bool QelApp::OnInit()
{
    // Before anything can fail: assertions and messages of the start-up (the
    // command line, the locale, the catalogs) must not stop it on a dialog.
    wxSetAssertHandler(QelLogAssert);
    wxLog::SetTimestamp("%x %X");
    delete wxLog::SetActiveTarget(new QelEarlyLog(GetAppName()));

    if (!wxApp::OnInit()) return false;
    if (!StartsHere()) return true;

    wxConfigBase::Set(QelCreateConfig(QelConfigFileName(GetAppName()).GetFullPath()));

    m_Locale.Init(QelLanguageFromConfig(wxConfigBase::Get()), 0);
    m_CatalogDir = QelCatalogDir(m_Locale.GetCanonicalName());
    QelAddCatalogs(m_Locale, m_CatalogDir);

    // Without a readable vcs.xml the program runs without version control.
    QelVCS vcs(QelResourceFile("vcs.xml"));
    QelVCS::Read();
    return true;
}

int QelApp::OnExit()
{
    QelDeleteSingletons();
    // Written here, while the early log target still takes the failure
    // (which the write tells, naming the file) to the log file and stderr;
    // a settings file that cannot be replaced stays as it was.
    if (wxConfigBase* config = wxConfigBase::Set(nullptr); config != nullptr) {
        config->Flush();
        delete config;
    }
    return wxApp::OnExit();
}

wxFileConfig* QelCreateConfig(const wxString& path)
{
    wxString text;
    // Settings that could not be read are not written over either.
    const bool readable = ReadSettingsText(path, &text);
    wxFileConfig* config = nullptr;
    {
        // Its faults are told below, once each; an assertion it fails on
        // one of them goes too.
        const wxLogNull quiet;
        config = new QelSettingsFile(readable ? path : wxString());
    }
    ReportSettingsLines(path, text);
    return config;
}

int QelLanguageFromConfig(const wxConfigBase* config)
{
    if (config == nullptr || !config->HasEntry("LANG")) return wxLANGUAGE_DEFAULT;

    const long lang = config->ReadLong("LANG", wxLANGUAGE_DEFAULT);
    if (lang == wxLANGUAGE_DEFAULT) return wxLANGUAGE_DEFAULT;
    if (lang == wxLANGUAGE_UNKNOWN || lang < 0 || lang >= wxLANGUAGE_USER_DEFINED
        || wxLocale::GetLanguageInfo(lang) == nullptr) {
        wxLogWarning(_("Unknown language %ld in setting LANG, using the system language"), lang);
        return wxLANGUAGE_DEFAULT;
    }
    return static_cast<int>(lang);
}

QelCatalogsResult QelAddCatalogs(wxLocale& locale, const wxString& dir)
{
    QelCatalogsResult result;
    if (dir.empty() || !wxDirExists(dir)) return result;
    wxTranslations* translations = wxTranslations::Get();
    if (translations == nullptr) return result;

    wxArrayString files;
    std::set<FolderId> entered;
    ListFiles(dir, &entered, &files);
    // Each name is added once, from the first of its files that is a
    // catalog: a b.po beside b.mo must not stand in for it. Only catalogs
    // reach the toolkit, which would read anything else whole, and wait on a
    // FIFO for a writer.
    struct Choice {
        wxString file;
        wxString fault; // empty for a catalog
    };
    std::map<wxString, Choice> chosen;
    wxArrayString names; // in the listing's order
    for (const auto& file : files) {
        const wxString name = wxFileName(file).GetName();
        const auto [it, added] = chosen.try_emplace(name);
        if (!added && it->second.fault.empty()) continue;
        const wxString fault = CatalogFault(file);
        if (added) names.push_back(name);
        if (added || fault.empty()) it->second = {file, fault};
    }
    auto* loader = new QelCatalogLoader(locale.GetCanonicalName());
    for (const auto& [name, choice] : chosen)
        if (choice.fault.empty()) loader->Add(name, choice.file);
    translations->SetLoader(loader);

    for (const auto& name : names) {
        const Choice& choice = chosen[name];
        if (!choice.fault.empty())
            wxLogWarning(_("'%s' is not a valid message catalog: %s"), choice.file, choice.fault);
        if (choice.fault.empty() && locale.AddCatalog(name)) {
            result.added.push_back(name);
        } else {
            wxLogError("%s", "Catalog could not be added: " + name);
            result.failed.push_back(name);
        }
    }
    return result;
}

void QelDeleteSingletons()
{
    // The find settings write themselves back, so they go while the
    // configuration still exists.
    delete QelFindReplaceData::Set(nullptr);
    delete QelLexers::Set(nullptr);
    delete QelPrinting::Set(nullptr);
    QelVCS::Clear();
}
