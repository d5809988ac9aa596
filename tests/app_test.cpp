#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <memory>

#include <gtest/gtest.h>

#include <wx/translation.h>

#include <qelkit/app.h>
#include <qelkit/frd.h>
#include <qelkit/lexers.h>
#include <qelkit/paths.h>

#include "handover.h"
#include "testing.h"

using namespace qeltest;

using AppTest = ConfigTest;

// Settings, log and new projects go beside the program when its folder is
// writable, else to a folder of the user's own that others cannot read.
TEST_F(AppTest, WritableFolderFallsBackToTheUsersConfigFolder)
{
    const wxString home = m_Temp.File("home"), cfg = m_Temp.File("cfg");
    EnvGuard homeGuard("HOME", &home), xdg("XDG_CONFIG_HOME", &cfg);
    EXPECT_EQ(QelWritableDirFor(m_Temp.File("bin"), true), m_Temp.File("bin"));
    for (const wxString& want : {cfg + "/tindrel", home + "/.config/tindrel"}) {
        const wxString dir = QelWritableDirFor(m_Temp.File("bin"), false);
        EXPECT_EQ(dir, want);
        EXPECT_EQ(qeltest::Run("stat -c %a " + ShellQuote(dir)), "700\n") << dir;
        xdg.Set(nullptr);
    }
}

// The log file is appended to and private; a link planted in its place, or
// a folder, is not written through.
TEST_F(AppTest, LogFileAppendsAndRefusesLinks)
{
    const wxString log = m_Temp.File("tindrel.log"), target = m_Temp.File("target");
    ASSERT_TRUE(WriteBytes(log, "earlier\n") && WriteBytes(target, "kept\n"));
    for (const char* line : {"one\n", "two\n"}) {
        FILE* file = QelOpenLogFile(log);
        ASSERT_NE(file, nullptr);
        fputs(line, file);
        fclose(file);
    }
    EXPECT_EQ(ReadBytes(log), "earlier\none\ntwo\n");
    fclose(QelOpenLogFile(m_Temp.File("fresh.log")));
    EXPECT_EQ(qeltest::Run("stat -c %a " + ShellQuote(m_Temp.File("fresh.log"))), "600\n");
    ASSERT_EQ(symlink(target.fn_str(), m_Temp.File("link.log").fn_str()), 0);
    EXPECT_EQ(QelOpenLogFile(m_Temp.File("link.log")), nullptr);
    EXPECT_EQ(ReadBytes(target), "kept\n");
    EXPECT_EQ(QelOpenLogFile(m_Temp.Path()), nullptr);
}

// One program per settings folder: a start on the same folder finds the
// first through a lock and a socket in the runtime folder, one with a
// folder of its own does not.
TEST_F(AppTest, OneProgramPerSettingsFolder)
{
    EnvGuard runtime("XDG_RUNTIME_DIR", &m_Temp.Path());
    // The first program is a child process that holds the lock until killed.
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t child = fork();
    if (child == 0) {
        QelHandover first(m_Temp.File("a"));
        const char alone = first.IsAnotherRunning() ? 'n' : 'y';
        if (write(ready[1], &alone, 1) == 1) pause();
        _exit(1);
    }
    char alone = 0;
    EXPECT_EQ(read(ready[0], &alone, 1), 1);
    EXPECT_EQ(alone, 'y');
    QelHandover same(m_Temp.File("a")), other(m_Temp.File("b"));
    EXPECT_TRUE(same.IsAnotherRunning());
    EXPECT_FALSE(other.IsAnotherRunning());
    EXPECT_EQ(wxFileName(same.GetSocketPath()).GetPath(), m_Temp.Path());
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    close(ready[0]);
    close(ready[1]);
}

// Values are stored, not interpreted: nothing is taken for an environment
// variable, and quotes, escapes and outer blanks read back as written.
TEST_F(AppTest, SettingsReadBackByteForByte)
{
    const wxString values[] = {"$HOME-lit", "make $(nproc",  "${PATH}",        "%HOME%",
                               "a\\$b\\",   " \"quoted\"\t", "line\nnext\x0b", L"caf\u00e9 \u65e5"};
    for (size_t i = 0; i < WXSIZEOF(values); ++i)
        wxConfigBase::Get()->Write(wxString::Format("k%zu", i), values[i]);
    Reopen();
    LogCapture log;
    for (size_t i = 0; i < WXSIZEOF(values); ++i)
        EXPECT_EQ(wxConfigBase::Get()->Read(wxString::Format("k%zu", i)).utf8_string(),
                  values[i].utf8_string());
    EXPECT_TRUE(log.Records().empty()) << log.Dump();
}

// Each faulty line of the settings file is told once, with its number, and
// the lines around it are read.
TEST_F(AppTest, FaultyLinesOfTheSettingsFileAreToldOnceEach)
{
    const struct {
        const char* name;
        std::string text;
        const char* told; // after "line N: "; null for nothing
    } rows[] = {
        {"Fine", "a=1\n [g] ; comment\n# note\n\n  b = 2\na\\=b=3\nc=\n", nullptr},
        {"KeySetAgain", "a=0\nb=2\n a =1\n", "line 3: key 'a' was set on line 1 already"},
        {"KeySetAgainInAGroup", "a=1\n[g]\nx=0\n[h]\nx=1\n[g]\nx=2\n",
         "line 7: key 'x' was set on line 3 already"},
        {"NoEquals", "a=1\nbad line\n", "line 2: no '=' after the key: the line is ignored"},
        {"EscapedEquals", "a=1\nb\\=2\n", "line 2: no '=' after the key: the line is ignored"},
        {"CrLf", "a=1\r\nbad\r\nb=2\r\n", "line 2: no '=' after the key: the line is ignored"},
        {"TextAfterGroup", "a=1\n[g] junk\nb=2\n", "line 2: text after the group name is ignored"},
        {"UnclosedGroup", "a=1\n[g\\]\nb=2\n",
         "line 2: no ']' ends the group name: the line is ignored"},
        {"NoKey", "a=1\n = 2\n", "line 2: no key before '='"},
    };
    const wxString path = m_Temp.File("faulty.ini");
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        ASSERT_TRUE(WriteBytes(path, row.text));
        LogCapture log;
        ExpectAsserts asserts; // the toolkit's, for a line without a key
        const std::unique_ptr<wxConfigBase> config(QelCreateConfig(path));
        EXPECT_EQ(log.Records().size(), row.told != nullptr ? 1u : 0u) << log.Dump();
        if (row.told != nullptr) {
            EXPECT_TRUE(log.Has("Settings file '" + path + "', " + row.told)) << log.Dump();
        }
        EXPECT_EQ(config->Read("a", ""), "1");
    }
}

// A settings file far larger than any the program writes kept it from
// starting: the toolkit's reading grows faster than the file. It is refused
// with one message, and nothing is written over it. Nor is one written that
// would be refused: what is there stays, and that is said once.
TEST_F(AppTest, HugeSettingsFileIsRefusedAndKept)
{
    const wxString path = m_Temp.File("huge.ini");
    const struct {
        const char* name;
        int lines; // of one key each; none: a file of a byte over 16 MiB
        bool refused;
        bool written; // with one key added
        const char* end = "\n";
    } rows[] = {
        {"LinesBelowTheLimit", 99999, false, true},
        {"LinesAtTheLimit", 100000, false, false},
        {"MoreLines", 100001, true, false},
        {"MoreLinesEndedByCr", 100001, true, false, "\r"},
        {"MoreBytes", 0, true, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        std::string text;
        for (int i = 0; i < row.lines; ++i) text += "k" + std::to_string(i) + "=v" + row.end;
        ASSERT_TRUE(WriteBytes(path, text));
        if (row.lines == 0) qeltest::Run("truncate -s 16777217 " + ShellQuote(path));
        const std::string before = qeltest::Run("md5sum < " + ShellQuote(path));
        LogCapture log;
        std::unique_ptr<wxConfigBase> config(QelCreateConfig(path));
        EXPECT_EQ(log.Records().size(), row.refused ? 1u : 0u) << log.Dump();
        EXPECT_EQ(log.Count("Settings file '" + path + "' is too large"), row.refused ? 1u : 0u)
            << log.Dump();
        EXPECT_EQ(config->Read("k1", "none"), row.lines > 1 && !row.refused ? "v" : "none");
        config->Write("added", 1L);
        for (int flush = 0; flush < 2; ++flush)
            EXPECT_EQ(config->Flush(), row.written || row.refused);
        config.reset();
        EXPECT_EQ(qeltest::Run("md5sum < " + ShellQuote(path)) == before, !row.written);
        EXPECT_EQ(log.Count("Settings file '" + path
                            + "' is not written: it would be too large "
                              "to be read again (more than 100000 lines)"),
                  row.written || row.refused ? 0u : 1u)
            << log.Dump();
    }
}

// The lock and the socket go only to a folder of the owner's that no one
// else may enter: one planted by another user, one open to all or a link is
// refused, with nothing made in it; a missing one is made private.
TEST_F(AppTest, HandoverFolderIsTheOwnersAlone)
{
    EnvGuard runtime("XDG_RUNTIME_DIR", nullptr), tmp("TMPDIR", &m_Temp.Path());
    const wxString folder = m_Temp.File(wxString::Format("tindrel-%ld", long(getuid())));
    const struct {
        const char *name, *plant; // a script making the folder $F
        bool used;
    } rows[] = {
        {"Missing", "true", true},
        {"Private", "mkdir -m 700 $F", true},
        {"OtherUsers", "mkdir -m 700 $F && chown 4242 $F", false},
        {"OpenToAll", "mkdir -m 777 $F", false},
        {"Link", "mkdir -m 700 $F.real && ln -s $F.real $F", false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const wxString sh = "F=" + ShellQuote(folder) + "; rm -rf $F $F.real; " + row.plant;
        ASSERT_EQ(qeltest::Run(sh + " && echo ok"), "ok\n");
        LogCapture log;
        QelHandover handover(m_Temp.File("settings"));
        EXPECT_FALSE(handover.IsAnotherRunning());
        EXPECT_EQ(qeltest::Run(sh.BeforeFirst(';') + "; ls -A $F/ | wc -l"),
                  row.used ? "1\n" : "0\n");
        EXPECT_EQ(handover.GetSocketPath().StartsWith(folder + "/"), row.used);
        EXPECT_EQ(log.Count("Files are not handed over between starts: " + folder),
                  row.used ? 0u : 1u)
            << log.Dump();
        EXPECT_TRUE(!row.used || qeltest::Run("stat -c %a " + ShellQuote(folder)) == "700\n");
    }
}

// A setting that names no language falls back to the system's, with a warning.
TEST_F(AppTest, LanguageFromTheSetting)
{
    for (const long stored : {long(wxLANGUAGE_DUTCH), long(wxLANGUAGE_UNKNOWN), -7L}) {
        SCOPED_TRACE(stored);
        wxConfigBase::Get()->Write("LANG", stored);
        LogCapture log;
        const bool known = stored == wxLANGUAGE_DUTCH;
        EXPECT_EQ(QelLanguageFromConfig(wxConfigBase::Get()),
                  known ? stored : long(wxLANGUAGE_DEFAULT));
        EXPECT_EQ(log.CountLevel(wxLOG_Warning), known ? 0u : 1u) << log.Dump();
    }
}

TEST_F(AppTest, CatalogsOfTheFolderAndItsSubfoldersAreAdded)
{
    wxLocale locale;
    {
        LogCapture quiet; // the locale itself is not installed here
        locale.Init(wxLANGUAGE_DUTCH, 0);
    }
    const wxString dir = m_Temp.File("nl"), po = m_Temp.File("c.po");
    ASSERT_TRUE(wxFileName::Mkdir(dir + "/sub", 0777, wxPATH_MKDIR_FULL));
    ASSERT_TRUE(WriteBytes(po,
                           "msgid \"\"\nmsgstr \"Content-Type: text/plain; charset=UTF-8\\n\"\n\n"
                           "msgid \"Find what\"\nmsgstr \"Zoek naar\"\n"));
    for (const char* mo : {"/b.mo", "/sub/a.mo"})
        ASSERT_EQ(qeltest::Run("msgfmt -o " + ShellQuote(dir + mo) + " " + ShellQuote(po)
                               + " && echo ok"),
                  "ok\n");
    ASSERT_TRUE(WriteBytes(dir + "/README", "not a catalog\n"));
    // A file that is no catalog beside one of the same name does not stand
    // in for it; subfolders are listed first, so a.po comes after sub/a.mo.
    for (const char* other : {"/b.po", "/a.po"}) ASSERT_TRUE(WriteBytes(dir + other, "msgid"));
    // A FIFO is never opened: the open would wait for a writer. Links back
    // to the folder are not followed again: two of them would have it
    // listed without end.
    for (const char* fifo : {"/f.mo", "/sub/notes"})
        ASSERT_EQ(mkfifo((dir + fifo).fn_str(), 0600), 0);
    ASSERT_EQ(symlink(".", (dir + "/again").fn_str()) | symlink("..", (dir + "/sub/up").fn_str()),
              0);

    LogCapture log;
    const QelCatalogsResult none = QelAddCatalogs(locale, m_Temp.File("no-such-folder"));
    EXPECT_TRUE(none.added.empty() && none.failed.empty() && log.Records().empty()) << log.Dump();
    const QelCatalogsResult result = QelAddCatalogs(locale, dir);
    wxArrayString added = result.added;
    added.Sort();
    EXPECT_EQ(wxJoin(added, ','), "a,b");
    wxArrayString failed = result.failed;
    failed.Sort();
    EXPECT_EQ(wxJoin(failed, ','), "README,f,notes");
    EXPECT_EQ(wxGetTranslation("Find what"), "Zoek naar");
    EXPECT_EQ(log.Count("Catalog could not be added: "), 3u) << log.Dump();
    EXPECT_EQ(log.Count("Catalog could not be added: README"), 1u) << log.Dump();
    // Read once, for the locale's own name, not again for each variant of it.
    EXPECT_EQ(log.Count("README' is not a valid message catalog"), 1u) << log.Dump();
    EXPECT_EQ(log.Count("/sub/notes' is not a valid message catalog: not a regular file"), 1u)
        << log.Dump();
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
