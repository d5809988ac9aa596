#include <gtest/gtest.h>

#include <wx/fileconf.h>
#include <wx/translation.h>

#include <qelkit/app.h>
#include <qelkit/defs.h>
#include <qelkit/frd.h>
#include <qelkit/lexers.h>
#include <qelkit/paths.h>
#include <qelkit/version.h>

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

TEST(Version, RecordsLibraryNameAndNumbers)
{
    const wxVersionInfo info = QelGetVersionInfo();
    EXPECT_EQ(info.GetName(), "Qelkit");
    EXPECT_EQ(info.GetMajor(), 1);
    EXPECT_EQ(info.GetMinor(), 1);
    EXPECT_EQ(info.GetMicro(), 0);
    EXPECT_EQ(info.GetDescription(), "Qelkit 1.1.0");
    EXPECT_EQ(info.GetVersionString(), "Qelkit 1.1");
    EXPECT_FALSE(info.HasCopyright());
}

TEST(Ids, BlocksBoundTheirCommands)
{
    const int editorIds[] = {ID_EDIT_READ_FILE,
                             ID_EDIT_COMPARE_RECENT,
                             ID_EDIT_CONTROL_CHAR,
                             ID_EDIT_HEX_DEC_CALLTIP,
                             ID_EDIT_UPPERCASE,
                             ID_EDIT_LOWERCASE,
                             ID_EDIT_FOLD_TOGGLE,
                             ID_EDIT_FOLD_ALL,
                             ID_EDIT_UNFOLD_ALL,
                             ID_EDIT_EOL_DOS,
                             ID_EDIT_EOL_UNIX,
                             ID_EDIT_EOL_MAC,
                             ID_EDIT_HEX,
                             ID_EDIT_MARKER_NEXT,
                             ID_EDIT_MARKER_PREVIOUS,
                             ID_EDIT_ZOOM_IN,
                             ID_EDIT_ZOOM_OUT};
    for (int id : editorIds) {
        EXPECT_LT(ID_EDIT_STC_LOWEST, id);
        EXPECT_GT(ID_EDIT_STC_HIGHEST, id);
        EXPECT_NE(id, 6033);
    }
    const int reportIds[]
        = {ID_TOOL_FIND_IN_FILES,  ID_TOOL_REPLACE_IN_FILES, ID_TOOL_REPORT_COUNT,
           ID_TOOL_REPORT_VERSION, ID_TOOL_REPORT_REVISION,  ID_TOOL_REPORT_KEYWORD,
           ID_TOOL_REPORT_SQL};
    for (int id : reportIds) {
        EXPECT_LT(ID_TOOL_REPORT_LOWEST, id);
        EXPECT_GT(ID_TOOL_REPORT_HIGHEST, id);
    }
    EXPECT_LT(ID_TOOL_LOWEST, ID_TOOL_RECENT_REVISION);
    EXPECT_GT(wxID_HIGHEST, 0);
    EXPECT_LT(wxID_HIGHEST, ID_SHELL_COMMAND);
}

TEST_F(AppTest, SettingsFileIsNamedAfterTheApplicationInLowerCase)
{
    QelSetPathsOverride(m_Temp.Path());
    EXPECT_EQ(QelConfigFileName("Tindrel").GetFullPath(), m_Temp.File("tindrel.ini"));
    EXPECT_EQ(QelConfigFileName("tindrel").GetFullPath(), m_Temp.File("tindrel.ini"));
}

TEST_F(AppTest, ResourcesAreLookedUpBesideTheExecutable)
{
    QelSetPathsOverride(m_Temp.Path());
    EXPECT_EQ(QelResourceFile("lexers.xml").GetFullPath(), m_Temp.File("lexers.xml"));
    EXPECT_EQ(QelCatalogDir("nl_NL"), m_Temp.File("locale/nl_NL/LC_MESSAGES"));
    EXPECT_EQ(QelWritableDir(), m_Temp.Path());
}

TEST_F(AppTest, LanguageComesFromTheSettingWhenItNamesALanguage)
{
    EXPECT_EQ(QelLanguageFromConfig(wxConfigBase::Get()), wxLANGUAGE_DEFAULT);

    wxConfigBase::Get()->Write("LANG", static_cast<long>(wxLANGUAGE_DUTCH));
    EXPECT_EQ(QelLanguageFromConfig(wxConfigBase::Get()), wxLANGUAGE_DUTCH);
}

TEST_F(AppTest, UnknownLanguageFallsBackToTheSystemLanguageWithAWarning)
{
    for (long bad : {static_cast<long>(wxLANGUAGE_UNKNOWN), 99999L, -7L}) {
        SCOPED_TRACE(bad);
        LogCapture log;
        wxConfigBase::Get()->Write("LANG", bad);
        EXPECT_EQ(QelLanguageFromConfig(wxConfigBase::Get()), wxLANGUAGE_DEFAULT);
        EXPECT_EQ(log.CountLevel(wxLOG_Warning), 1u) << log.Dump();
    }
}

TEST_F(AppTest, CatalogsOfTheFolderAndItsSubfoldersAreAdded)
{
    const wxString dir = m_Temp.File("nl");
    ASSERT_TRUE(wxFileName::Mkdir(dir + "/sub", 0777, wxPATH_MKDIR_FULL));
    WriteCatalog(dir + "/b.mo");
    WriteCatalog(dir + "/sub/a.mo");
    ASSERT_TRUE(WriteBytes(dir + "/README", "not a catalog\n"));

    wxLocale locale;
    {
        LogCapture quiet; // the locale itself is not installed here
        locale.Init(wxLANGUAGE_DUTCH, 0);
    }
    LogCapture log;
    const QelCatalogsResult result = QelAddCatalogs(locale, dir);

    wxArrayString added = result.added;
    added.Sort();
    EXPECT_EQ(wxJoin(added, ','), "a,b");
    EXPECT_EQ(wxJoin(result.failed, ','), "README");
    EXPECT_TRUE(wxTranslations::Get()->IsLoaded("a"));
    EXPECT_TRUE(wxTranslations::Get()->IsLoaded("b"));
    EXPECT_EQ(wxGetTranslation("Find what"), "Zoek naar");
    EXPECT_EQ(wxGetTranslation("Match case"), "Hoofdlettergevoelig");
    EXPECT_EQ(log.Count("Catalog could not be added: README"), 1u) << log.Dump();
}

TEST_F(AppTest, MissingCatalogFolderIsSilent)
{
    wxLocale locale;
    LogCapture log;
    const QelCatalogsResult result = QelAddCatalogs(locale, m_Temp.File("no-such-folder"));
    EXPECT_TRUE(result.added.empty());
    EXPECT_TRUE(result.failed.empty());
    EXPECT_TRUE(log.Records().empty()) << log.Dump();
    EXPECT_EQ(wxGetTranslation("Find what"), "Find what");
}

TEST_F(AppTest, DeletingSingletonsThatWereNeverMadeDoesNothing)
{
    LogCapture log;
    QelDeleteSingletons();
    QelDeleteSingletons();
    EXPECT_TRUE(log.Records().empty()) << log.Dump();
}

TEST_F(AppTest, FindSettingsAreWrittenBackBeforeTheConfigurationGoes)
{
    QelFindReplaceData::Get()->SetMatchCase(true);
    QelDeleteSingletons();
    EXPECT_EQ(QelFindReplaceData::Get(false), nullptr);
    EXPECT_EQ(QelLexers::Get(false), nullptr);
    EXPECT_NE(ConfigText().find("Match\\ case=1"), std::string::npos) << ConfigText();
}
