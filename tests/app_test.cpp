#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <wx/fileconf.h>
#include <wx/translation.h>

#include <qelkit/app.h>
#include <qelkit/defs.h>
#include <qelkit/frd.h>
#include <qelkit/lexers.h>
#include <qelkit/paths.h>

#include "handover.h"
#include "testing.h"

using namespace qeltest;

namespace {

// Compiles a catalog that translates two labels into Dutch.
void WriteCatalog(const wxString& mo)
{
    TempDir work;
    const wxString po = work.File("c.po");
    ASSERT_TRUE(WriteBytes(po,
                           "msgid \"\"\nmsgstr \"Content-Type: text/plain; charset=UTF-8\\n\"\n\n"
                           "msgid \"Find what\"\nmsgstr \"Zoek naar\"\n\n"
                           "msgid \"Match case\"\nmsgstr \"Hoofdlettergevoelig\"\n"));
    int rc = -1;
    qeltest::Run("msgfmt -o " + ShellQuote(mo) + " " + ShellQuote(po), &rc);
    ASSERT_EQ(rc, 0) << "msgfmt failed for " << mo;
}

class AppTest : public ConfigTest {
protected:
    void TearDown() override
    {
        QelSetPathsOverride("");
        ConfigTest::TearDown();
    }
};

} // namespace

// The settings file in lower case, the resources beside the executable.
TEST_F(AppTest, FilesAreLookedUpBesideTheExecutable)
{
    QelSetPathsOverride(m_Temp.Path());
    EXPECT_EQ(QelConfigFileName("Tindrel").GetFullPath(), m_Temp.File("tindrel.ini"));
    EXPECT_EQ(QelResourceFile("lexers.xml").GetFullPath(), m_Temp.File("lexers.xml"));
    EXPECT_EQ(QelCatalogDir("nl_NL"), m_Temp.File("locale/nl_NL/LC_MESSAGES"));
    EXPECT_EQ(QelWritableDir(), m_Temp.Path());
}

// Settings, log and new projects go beside the program when its folder is
// writable, else to a folder of the user's own that others cannot read.
TEST_F(AppTest, WritableFolderFallsBackToTheUsersConfigFolder)
{
    const wxString exe = m_Temp.File("bin");
    const struct {
        const char* name;
        bool writable;
        const char* xdg; // XDG_CONFIG_HOME below the folder; unset when null
        const char* want;
    } rows[] = {
        {"beside the program", true, "cfg", "bin"},
        {"config folder", false, "cfg", "cfg/tindrel"},
        {"default config folder", false, nullptr, "home/.config/tindrel"},
    };
    wxString oldHome, oldXdg;
    const bool hadXdg = wxGetEnv("XDG_CONFIG_HOME", &oldXdg);
    wxGetEnv("HOME", &oldHome);
    wxSetEnv("HOME", m_Temp.File("home"));
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        if (row.xdg != nullptr)
            wxSetEnv("XDG_CONFIG_HOME", m_Temp.File(row.xdg));
        else
            wxUnsetEnv("XDG_CONFIG_HOME");
        const wxString dir = QelWritableDirFor(exe, row.writable);
        EXPECT_EQ(dir, m_Temp.File(row.want));
        if (!row.writable) {
            EXPECT_TRUE(wxDirExists(dir));
            EXPECT_EQ(qeltest::Run("stat -c %a " + ShellQuote(dir)), "700\n");
        }
    }
    wxSetEnv("HOME", oldHome);
    if (hadXdg)
        wxSetEnv("XDG_CONFIG_HOME", oldXdg);
    else
        wxUnsetEnv("XDG_CONFIG_HOME");
}

// The log file is appended to and private; a link planted in its place, or
// a folder, is not written through.
TEST_F(AppTest, LogFileAppendsAndRefusesLinks)
{
    const wxString log = m_Temp.File("tindrel.log");
    ASSERT_TRUE(WriteBytes(log, "earlier\n"));
    wxChmod(log, 0600);
    for (const char* line : {"one\n", "two\n"}) {
        FILE* file = QelOpenLogFile(log);
        ASSERT_NE(file, nullptr);
        fputs(line, file);
        fclose(file);
    }
    EXPECT_EQ(ReadBytes(log), "earlier\none\ntwo\n");

    const wxString fresh = m_Temp.File("fresh.log");
    fclose(QelOpenLogFile(fresh));
    EXPECT_EQ(qeltest::Run("stat -c %a " + ShellQuote(fresh)), "600\n");

    const wxString target = m_Temp.File("target");
    ASSERT_TRUE(WriteBytes(target, "kept\n"));
    const wxString link = m_Temp.File("link.log");
    ASSERT_EQ(symlink(target.fn_str(), link.fn_str()), 0);
    EXPECT_EQ(QelOpenLogFile(link), nullptr);
    EXPECT_EQ(ReadBytes(target), "kept\n");
    EXPECT_EQ(QelOpenLogFile(m_Temp.Path()), nullptr);
}

// One program per settings folder: a start on the same folder finds the
// first through a lock and a socket in the runtime folder, one with a
// folder of its own does not.
TEST_F(AppTest, OneProgramPerSettingsFolder)
{
    wxString oldRuntime;
    const bool hadRuntime = wxGetEnv("XDG_RUNTIME_DIR", &oldRuntime);
    wxSetEnv("XDG_RUNTIME_DIR", m_Temp.Path());
    // The first program is a child process that holds the lock until told.
    int ready[2], release[2];
    ASSERT_EQ(pipe(ready), 0);
    ASSERT_EQ(pipe(release), 0);
    const pid_t child = fork();
    if (child == 0) {
        QelHandover first(m_Temp.File("a"));
        const char alone = first.IsAnotherRunning() ? 'n' : 'y';
        char go;
        if (write(ready[1], &alone, 1) == 1 && read(release[0], &go, 1) == 1) _exit(0);
        _exit(1);
    }
    char alone = 0;
    ASSERT_EQ(read(ready[0], &alone, 1), 1);
    EXPECT_EQ(alone, 'y');
    {
        QelHandover same(m_Temp.File("a")), other(m_Temp.File("b")), first(m_Temp.File("a"));
        EXPECT_TRUE(same.IsAnotherRunning());
        EXPECT_FALSE(other.IsAnotherRunning());
        EXPECT_EQ(same.GetSocketPath(), first.GetSocketPath());
        EXPECT_NE(other.GetSocketPath(), first.GetSocketPath());
        EXPECT_EQ(wxFileName(first.GetSocketPath()).GetPath(), m_Temp.Path());
    }
    EXPECT_EQ(write(release[1], "x", 1), 1);
    int status = -1;
    waitpid(child, &status, 0);
    EXPECT_EQ(status, 0);
    for (const int fd : {ready[0], ready[1], release[0], release[1]}) close(fd);
    if (hadRuntime)
        wxSetEnv("XDG_RUNTIME_DIR", oldRuntime);
    else
        wxUnsetEnv("XDG_RUNTIME_DIR");
}

// A setting that names no language falls back to the system's, with a warning.
TEST_F(AppTest, LanguageFromTheSetting)
{
    struct Row {
        long stored; // -1000: nothing stored
        int want;
        size_t warnings;
    };
    for (const Row& row :
         {Row{-1000, wxLANGUAGE_DEFAULT, 0}, Row{wxLANGUAGE_DUTCH, wxLANGUAGE_DUTCH, 0},
          Row{wxLANGUAGE_UNKNOWN, wxLANGUAGE_DEFAULT, 1}, Row{99999, wxLANGUAGE_DEFAULT, 1},
          Row{-7, wxLANGUAGE_DEFAULT, 1}}) {
        SCOPED_TRACE(row.stored);
        if (row.stored != -1000) wxConfigBase::Get()->Write("LANG", row.stored);
        LogCapture log;
        EXPECT_EQ(QelLanguageFromConfig(wxConfigBase::Get()), row.want);
        EXPECT_EQ(log.CountLevel(wxLOG_Warning), row.warnings) << log.Dump();
    }
}

TEST_F(AppTest, CatalogsOfTheFolderAndItsSubfoldersAreAdded)
{
    wxLocale locale;
    {
        LogCapture quiet; // the locale itself is not installed here
        locale.Init(wxLANGUAGE_DUTCH, 0);
    }
    {
        LogCapture log; // a missing folder is silent
        const QelCatalogsResult none = QelAddCatalogs(locale, m_Temp.File("no-such-folder"));
        EXPECT_TRUE(none.added.empty() && none.failed.empty());
        EXPECT_TRUE(log.Records().empty()) << log.Dump();
        EXPECT_EQ(wxGetTranslation("Find what"), "Find what");
    }
    const wxString dir = m_Temp.File("nl");
    ASSERT_TRUE(wxFileName::Mkdir(dir + "/sub", 0777, wxPATH_MKDIR_FULL));
    WriteCatalog(dir + "/b.mo");
    WriteCatalog(dir + "/sub/a.mo");
    ASSERT_TRUE(WriteBytes(dir + "/README", "not a catalog\n"));

    LogCapture log;
    const QelCatalogsResult result = QelAddCatalogs(locale, dir);
    wxArrayString added = result.added;
    added.Sort();
    EXPECT_EQ(wxJoin(added, ','), "a,b");
    EXPECT_EQ(wxJoin(result.failed, ','), "README");
    EXPECT_EQ(wxGetTranslation("Find what"), "Zoek naar");
    EXPECT_EQ(log.Count("Catalog could not be added: README"), 1u) << log.Dump();
}

// The find settings are written back before the configuration goes; deleting
// singletons that are gone already does nothing.
TEST_F(AppTest, DeletingSingletonsWritesTheFindSettingsOnce)
{
    QelFindReplaceData::Get()->SetMatchCase(true);
    LogCapture log;
    QelDeleteSingletons();
    QelDeleteSingletons();
    EXPECT_TRUE(log.Records().empty()) << log.Dump();
    EXPECT_EQ(QelFindReplaceData::Get(false), nullptr);
    EXPECT_EQ(QelLexers::Get(false), nullptr);
    EXPECT_NE(ConfigText().find("Match\\ case=1"), std::string::npos) << ConfigText();
}
