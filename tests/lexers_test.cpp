// The lexers configuration without a display: reading lexers.xml, macros,
// themes, the global element, lookups and the file-dialog wildcard.
#include <gtest/gtest.h>

#include <wx/config.h>
#include <wx/filename.h>

#include <qelkit/lexers.h>
#include <qelkit/paths.h>
#include <qelkit/util.h>

#include "testing.h"

namespace {

const wxString SHIPPED = QEL_SOURCE_DIR "/data/lexers.xml";
const wxString FAULTS = QEL_TEST_DATA_DIR "/lexers/faults.xml";

// A theme "xcode" and two lexers, in the order the reader needs.
const char* const SMALL = R"(<?xml version="1.0"?>
<lexers>
  <macro>
    <def no="RED">#FF0000</def>
    <themes>
      <theme name="xcode">
        <def style="WORD">fore:#0000FF,bold</def>
      </theme>
      <theme name="dark">
        <def style="WORD">fore:#00FFFF</def>
      </theme>
    </themes>
  </macro>
  <global>
    <marker no="1">0</marker>
    <property-less/>
  </global>
  <lexer name="cpp" extensions="*.cpp;*.h"/>
  <lexer name="python" extensions="*.py"/>
</lexers>
)";

// Installs a lexers object on a file (read at once) for the test's lifetime;
// the fixture's TearDown deletes it.
class LexersTest : public qeltest::ConfigTest
{
protected:
    QelLexers& Install(const wxString& file)
    {
        QelLexers* lexers = new QelLexers(wxFileName(file));
        delete QelLexers::Set(lexers);
        lexers->Read();
        return *lexers;
    }

    QelLexers& InstallText(const std::string& xml)
    {
        const wxString file = m_Temp.File("lexers.xml");
        qeltest::WriteBytes(file, xml);
        return Install(file);
    }

    // The number of the n-th line of `file` that holds `text`, found by grep.
    static int GrepLine(const wxString& file, const wxString& text, int nth = 1)
    {
        const std::string out = qeltest::Run(
            "grep -nF -- " + qeltest::ShellQuote(text) + " " + qeltest::ShellQuote(file) +
            wxString::Format(" | sed -n %dp | cut -d: -f1", nth));
        return std::atoi(out.c_str());
    }
};

} // namespace

TEST_F(LexersTest, GetWithoutCreatingMakesNothing)
{
    EXPECT_EQ(QelLexers::Get(false), nullptr);
    EXPECT_EQ(QelLexers::Get(false), nullptr);
}

TEST_F(LexersTest, GetMakesOneFromTheShippedFile)
{
    // The data folder pointed at the test's own: first without lexers.xml.
    struct Override {
        explicit Override(const wxString& dir) { QelSetPathsOverride(dir); }
        ~Override() { QelSetPathsOverride(""); }
    } override(m_Temp.Path());
    {
        qeltest::LogCapture log;
        QelLexers* lexers = QelLexers::Get();
        ASSERT_NE(lexers, nullptr);
        EXPECT_EQ(QelLexers::Get(false), lexers);
        EXPECT_EQ(lexers->Count(), 0u);
        EXPECT_FALSE(lexers->GetThemeOk());
        EXPECT_EQ(log.Records().size(), 1u) << log.Dump();
        EXPECT_TRUE(log.Has("Lexers file not found: " + m_Temp.File("lexers.xml"))) << log.Dump();
    }
    delete QelLexers::Set(nullptr);
    qeltest::WriteBytes(m_Temp.File("lexers.xml"), SMALL);
    {
        qeltest::LogCapture log;
        EXPECT_EQ(QelLexers::Get()->Count(), 2u);
        EXPECT_TRUE(QelLexers::Get()->GetThemeOk());
        EXPECT_TRUE(log.Records().empty()) << log.Dump();
    }
}

TEST_F(LexersTest, SetReturnsThePreviousWithoutDeletingIt)
{
    QelLexers* first = new QelLexers(wxFileName("a.xml"));
    QelLexers* second = new QelLexers(wxFileName("b.xml"));
    EXPECT_EQ(QelLexers::Set(first), nullptr);
    EXPECT_EQ(QelLexers::Set(second), first);
    EXPECT_EQ(QelLexers::Get(false), second);
    EXPECT_EQ(first->GetFileName().GetFullName(), "a.xml");  // still alive
    delete first;
}

TEST_F(LexersTest, FaultsAreReportedWithTheirLines)
{
    struct Fault { const char* grep; const char* message; };
    const Fault faults[] = {
        {"<def no=\"RED\">#00FF00", "Macro: RED on line: %d already exists"},
        {"fore:#00FF00</def>", "Macro style: WORD on line: %d already exists"},
        {"fore:#12F", "Illegal style: fore:#12F on line: %d"},
        {"bold,back:", "Illegal style: bold,back: on line: %d"},
        {"fore:#111111", "Duplicate default style: style on line: %d"},
        {"no=\"\">eol", "Illegal style: eol on line: %d"},
        {"fore:#222222", "Illegal style: fore:#222222 on line: %d"},
        {"fore:#333333", "Illegal style: fore:#333333 on line: %d"},
        {"fore:#444444", "Illegal style: fore:#444444 on line: %d"},
        {"fore:#GGGGGG", "Illegal style: fore:#GGGGGG on line: %d"},
        {"<style no=\"8\">", "Illegal style:  on line: %d"},
        {"<marker no=\"32\">", "Illegal marker number: 32 on line: %d"},
        {"<marker no=\"2\">40", "Illegal marker number: 2 on line: %d"},
        {"twelve", "Illegal marker: twelve on line: %d"},
        {"no=\"zero\"", "Illegal indicator: zero on line: %d"},
        {"<indicator no=\"1\">x", "Illegal indicator style: x on line: %d"},
        {"<indicator no=\"2\">8", "Illegal indicator number: 2 on line: %d"},
        {"<indicator no=\"40\">", "Illegal indicator number: 40 on line: %d"},
        {"name=\"fold\"></property>", "Illegal property name: fold or value:  on line: %d"},
        {"*.nameless", "Missing lexer on line: %d"},
        {"a:8", "Keywords could not be set on line: %d"},
        {"a:-1", "Keywords could not be set on line: %d"},
        {"y:99999999999999", "Keywords could not be set on line: %d"},
    };
    // Number lists have no line in their message.
    const char* const lists[] = {
        "Illegal style: 1,2,x", "Illegal style: 3,,4", "Illegal style: 256",
        "Illegal style: -1", "Illegal style: 99999999999"};

    qeltest::LogCapture log;
    InstallText(qeltest::ReadBytes(FAULTS));
    for (const auto& fault : faults) {
        SCOPED_TRACE(fault.grep);
        const int line = GrepLine(FAULTS, fault.grep);
        ASSERT_GT(line, 0);
        EXPECT_EQ(log.Count(wxString::Format(fault.message, line)), 1u) << log.Dump();
    }
    for (const char* list : lists) {
        SCOPED_TRACE(list);
        size_t exact = 0;
        for (const auto& record : log.Records()) exact += record.text == list;
        EXPECT_EQ(exact, 1u) << log.Dump();
    }
    EXPECT_EQ(log.CountLevel(wxLOG_Error), std::size(faults) + std::size(lists)) << log.Dump();
}

TEST_F(LexersTest, FaultyRecordsAreNotKept)
{
    qeltest::LogCapture log;
    const QelLexers& lexers = InstallText(qeltest::ReadBytes(FAULTS));

    EXPECT_EQ(lexers.GetDefaultStyle().GetNo(), (std::set<int>{32, 33}));
    EXPECT_EQ(lexers.ApplyMacro("RED"), "#FF0000");   // the first of two
    EXPECT_EQ(lexers.GetThemeMacros().at("WORD"), "fore:#0000FF,bold");
    EXPECT_EQ(lexers.GetThemeMacros().count("SHORTHEX"), 0u);

    for (int no : {3, 4, 5}) EXPECT_TRUE(lexers.MarkerIsLoaded(QelMarker(no))) << no;
    for (int no : {0, 1, 2, 32}) EXPECT_FALSE(lexers.MarkerIsLoaded(QelMarker(no))) << no;
    EXPECT_TRUE(lexers.IndicatorIsLoaded(QelIndicator(3)));
    for (int no : {0, 1, 2, 40}) EXPECT_FALSE(lexers.IndicatorIsLoaded(QelIndicator(no))) << no;

    // The styles without a number 32 are all kept, valid or not; none holds
    // a number outside 0..255 or a colour the control cannot take.
    ASSERT_EQ(lexers.GetStyles().size(), 8u);
    for (const auto& style : lexers.GetStyles()) {
        for (int no : style.GetNo()) EXPECT_TRUE(no >= 0 && no <= 255) << no;
        EXPECT_TRUE(QelStyleSpecIsValid(style.GetValue())) << style.GetValue();
    }
    EXPECT_EQ(lexers.GetStyles()[0].GetNo(), (std::set<int>{1, 2}));
    EXPECT_EQ(lexers.GetStyles()[1].GetNo(), (std::set<int>{3, 4}));

    // A property without name is named "0"; an empty value keeps it invalid.
    ASSERT_EQ(lexers.GetGlobalProperties().size(), 3u);
    EXPECT_EQ(lexers.GetGlobalProperties()[0].GetName(), "0");
    EXPECT_FALSE(lexers.GetGlobalProperties()[1].IsOk());

    // The nameless lexer is kept under the empty name; what a failed keyword
    // text stored before the bad token stays.
    EXPECT_EQ(lexers.Count(), 4u);
    EXPECT_EQ(lexers.GetLexers().count(""), 1u);
    const QelLexer cpp = lexers.FindByName("cpp");
    EXPECT_EQ(cpp.GetKeywordsString(0), "int");
    EXPECT_TRUE(cpp.IsKeyword("char"));
    EXPECT_FALSE(cpp.IsKeyword("b"));
    EXPECT_EQ(lexers.FindByName("python").GetKeywordsSets().count(-1), 0u);
}

TEST_F(LexersTest, GlobalBeforeMacroGivesNoGlobalRecords)
{
    // Valid XML, but the theme is not known yet when the global element is read.
    const std::string xml = R"(<?xml version="1.0"?>
<lexers>
  <global>
    <style no="32">fore:#000000</style>
    <style no="1">bold</style>
    <marker no="1">0</marker>
    <indicator no="1">1</indicator>
    <properties><property name="fold">1</property></properties>
  </global>
  <macro><themes><theme name="xcode"><def style="WORD">bold</def></theme></themes></macro>
</lexers>
)";
    const QelLexers& lexers = InstallText(xml);
    int rc = -1;
    qeltest::Run("xmllint --noout " + qeltest::ShellQuote(m_Temp.File("lexers.xml")), &rc);
    EXPECT_EQ(rc, 0);
    EXPECT_EQ(lexers.GetTheme(), "xcode");
    EXPECT_FALSE(lexers.GetDefaultStyle().IsOk());
    EXPECT_TRUE(lexers.GetStyles().empty());
    EXPECT_FALSE(lexers.MarkerIsLoaded(QelMarker(1)));
    EXPECT_FALSE(lexers.IndicatorIsLoaded(QelIndicator(1)));
    EXPECT_TRUE(lexers.GetGlobalProperties().empty());
}

TEST_F(LexersTest, ThemeInEffect)
{
    struct Case { const char* name; const char* setting; bool withThemes; const char* want; };
    const Case cases[] = {
        {"DefaultIsXcode", nullptr, true, "xcode"},
        {"ConfiguredTheme", "dark", true, "dark"},
        {"UnknownThemeIsNone", "nosuch", true, ""},
        {"FileWithoutThemes", nullptr, false, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        wxConfigBase::Get()->DeleteEntry("theme");
        if (c.setting != nullptr) wxConfigBase::Get()->Write("theme", c.setting);
        const QelLexers& lexers = InstallText(
            c.withThemes ? SMALL : "<lexers><lexer name=\"cpp\" extensions=\"*.cpp\"/></lexers>");
        EXPECT_EQ(lexers.GetTheme(), c.want);
        EXPECT_EQ(lexers.GetThemeOk(), wxString(c.want) != "");
        EXPECT_EQ(lexers.MarkerIsLoaded(QelMarker(1)), wxString(c.want) != "");
    }
}

TEST_F(LexersTest, ThemeMacrosBeforeAnyReadAreEmpty)
{
    const QelLexers lexers(wxFileName(m_Temp.File("missing.xml")));
    EXPECT_TRUE(lexers.GetThemeMacros().empty());
    EXPECT_EQ(lexers.GetTheme(), "");
    EXPECT_EQ(lexers.ApplyMacro("WORD"), "WORD");
    EXPECT_TRUE(lexers.GetThemes().empty());
}

TEST_F(LexersTest, TheThemeSettingIsReadOnEveryCall)
{
    const QelLexers& lexers = InstallText(SMALL);
    EXPECT_EQ(lexers.ApplyMacro("WORD"), "fore:#0000FF,bold");
    wxConfigBase::Get()->Write("theme", "dark");
    EXPECT_EQ(lexers.ApplyMacro("WORD"), "fore:#00FFFF");
    EXPECT_EQ(lexers.GetThemes(), (std::vector<wxString>{"", "dark", "xcode"}));
}

TEST_F(LexersTest, LexersCountedByNameFirstKept)
{
    const std::string xml = R"(<lexers>
  <lexer name="cpp" extensions="*.first"/>
  <lexer name="cpp" extensions="*.second"/>
  <lexer extensions="*.none"/>
</lexers>
)";
    qeltest::LogCapture log;
    const QelLexers& lexers = InstallText(xml);
    const std::string count = qeltest::Run(
        "xmllint --xpath 'count(//lexer)' " + qeltest::ShellQuote(m_Temp.File("lexers.xml")));
    EXPECT_EQ(wxString(count).Trim(), "3");
    EXPECT_EQ(lexers.Count(), 2u);
    EXPECT_EQ(lexers.FindByName("cpp").GetExtensions(), "*.first");
    EXPECT_TRUE(log.Has(wxString::Format("Missing lexer on line: %d",
        GrepLine(m_Temp.File("lexers.xml"), "*.none"))));
}

TEST_F(LexersTest, LexerExtensionsAsOneSettingsList)
{
    struct Case { const char* name; const char* lexers; const char* want; };
    const Case cases[] = {
        {"OwnNameSkipped",
         R"(<lexer name="xml" extensions="*.xml"/><lexer name="hypertext" extensions="*.htm;*.html"/>)",
         "*.htm;*.html"},
        {"SeparatorBetweenOnly",
         R"(<lexer name="python" extensions="*.py"/><lexer name="cpp" extensions="*.cpp;*.h"/>)",
         "*.cpp;*.h\x0B*.py"},
        {"EmptySkipped", R"(<lexer name="a"/><lexer name="b" extensions="*.b;*.bb"/>)", "*.b;*.bb"},
        {"OnlyTheExactOwnName", R"(<lexer name="cpp" extensions="*.cpp"/><lexer name="c" extensions="*.C"/>)",
         "*.C"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(InstallText(std::string("<lexers>") + c.lexers + "</lexers>").GetLexerExtensions(),
                  c.want);
    }
}

TEST_F(LexersTest, InFilesAndAddWhatWrittenOnlyWhenAbsent)
{
    wxConfigBase::Get()->Write("In files", "*.txt");
    InstallText(SMALL);
    EXPECT_EQ(wxConfigBase::Get()->Read("In files"), "*.txt");
    EXPECT_EQ(wxConfigBase::Get()->Read("Add what"), "*.cpp;*.h\x0B*.py");

    // A reload keeps the user's values, and they survive in the settings file.
    wxConfigBase::Get()->Write("Add what", "*.c");
    QelLexers::Get(false)->Read();
    Reopen();
    EXPECT_EQ(wxConfigBase::Get()->Read("Add what"), "*.c");
    EXPECT_EQ(QelConfigFirstOf("In files"), "*.txt");
}

TEST_F(LexersTest, FailedReadsKeepTheTables)
{
    QelLexers& lexers = InstallText(SMALL);
    ASSERT_EQ(lexers.Count(), 2u);

    // The same file with one closing tag removed.
    const wxString broken = m_Temp.File("lexers.xml");
    qeltest::Run("sed -i 's#</macro>##' " + qeltest::ShellQuote(broken));
    int rc = 0;
    qeltest::Run("xmllint --noout " + qeltest::ShellQuote(broken) + " 2>/dev/null", &rc);
    ASSERT_NE(rc, 0);

    qeltest::LogCapture log;
    EXPECT_FALSE(lexers.Read());
    EXPECT_EQ(lexers.Count(), 2u);
    EXPECT_TRUE(lexers.GetThemeOk());
    EXPECT_TRUE(log.Has("Lexers file could not be loaded: " + broken)) << log.Dump();

    QelLexers missing(wxFileName(m_Temp.File("missing.xml")));
    EXPECT_FALSE(missing.Read());
    EXPECT_EQ(missing.Count(), 0u);
    EXPECT_FALSE(missing.GetThemeOk());
}

TEST_F(LexersTest, ReadingAgainRebuildsEverything)
{
    QelLexers& lexers = InstallText(SMALL);
    qeltest::WriteBytes(m_Temp.File("lexers.xml"), "<lexers><lexer name=\"d\" extensions=\"*.d\"/></lexers>");
    EXPECT_TRUE(lexers.Read());
    EXPECT_EQ(lexers.Count(), 1u);
    EXPECT_TRUE(lexers.GetMacros().empty());
    EXPECT_FALSE(lexers.GetThemeOk());
    EXPECT_FALSE(lexers.MarkerIsLoaded(QelMarker(1)));
}

TEST_F(LexersTest, DefaultStyleTakesItsOtherNumbersAlong)
{
    const QelLexers& lexers = InstallText(R"(<lexers>
  <macro><themes><theme name="xcode"/></themes></macro>
  <global>
    <style no="33">fore:#000001</style>
    <style no="32,33">fore:#000002</style>
  </global>
</lexers>)");
    EXPECT_EQ(lexers.GetDefaultStyle().GetNo(), (std::set<int>{32, 33}));
    EXPECT_EQ(lexers.GetDefaultStyle().GetValue(), "fore:#000002");
    ASSERT_EQ(lexers.GetStyles().size(), 1u);
    EXPECT_EQ(lexers.GetStyles()[0].GetValue(), "fore:#000001");
}

TEST_F(LexersTest, FindByText)
{
    const QelLexers& lexers = InstallText(R"(<lexers>
  <lexer name="hypertext" extensions="*.html"/>
  <lexer name="cpp" extensions="*.cpp"/>
  <lexer name="bash" extensions="*.sh"/>
</lexers>)");
    struct Case { const char* text; const char* want; };
    const Case cases[] = {
        {"<HTML><body>", "hypertext"},
        {"<html>", "hypertext"},
        {" //x", ""},
        {"// comment", "cpp"},
        {"#!/bin/sh\n", "bash"},
        {"#! /bin/bash\n", "bash"},
        {"#!/usr/bin/env bash", ""},
        {"echo #!/bin/sh", "bash"},     // the expression is not anchored
        {"<?xml version=\"1.0\"?>", ""}, // no xml lexer, later rules not tried
        {"plain", ""},
        {"", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(lexers.FindByText(c.text).GetScintillaLexer(), c.want);
    }
    // A rule that applies ends the search even without its lexer.
    const QelLexers& noCpp = InstallText(R"(<lexers><lexer name="bash" extensions="*.sh"/></lexers>)");
    EXPECT_EQ(noCpp.FindByText("//#!/bin/sh").GetScintillaLexer(), "");
}

TEST_F(LexersTest, FindByFileNameIgnoresCaseFirstNameWins)
{
    const QelLexers& lexers = InstallText(R"(<lexers>
  <lexer name="b" extensions="*.TXT;*.md"/>
  <lexer name="a" extensions="*.txt"/>
  <lexer name="c"/>
</lexers>)");
    qeltest::WriteBytes(m_Temp.File("README.TXT"), "x");
    const std::string found = qeltest::Run(
        "cd " + qeltest::ShellQuote(m_Temp.Path()) + " && find . -maxdepth 1 -iname '*.txt'");
    EXPECT_EQ(found, "./README.TXT\n");

    EXPECT_EQ(lexers.FindByFileName(wxFileName(m_Temp.File("README.TXT"))).GetScintillaLexer(), "a");
    EXPECT_EQ(lexers.FindByFileName(wxFileName("/x/notes.Md")).GetScintillaLexer(), "b");
    EXPECT_EQ(lexers.FindByFileName(wxFileName("/x/y.c")).GetScintillaLexer(), "");
    EXPECT_FALSE(lexers.FindByFileName(wxFileName("/x/y.c")).IsOk());
}

TEST_F(LexersTest, WildCardsPutMatchingLexersFirst)
{
    const QelLexers& lexers = InstallText(R"(<lexers>
  <lexer name="cpp" extensions="*.cpp;*.h"/>
  <lexer name="python" extensions="*.py"/>
  <lexer name="none"/>
  <lexer name="pipe" extensions="*.a|*.b"/>
</lexers>)");
    EXPECT_EQ(lexers.BuildWildCards(wxFileName("x.zzz")),
              "All Files (*)|*|cpp (*.cpp;*.h) |*.cpp;*.h|python (*.py) |*.py");
    EXPECT_EQ(lexers.BuildWildCards(wxFileName("x.py")),
              "python (*.py) |*.py|All Files (*)|*|cpp (*.cpp;*.h) |*.cpp;*.h");
}

TEST_F(LexersTest, ShippedFileReadsWithoutMessages)
{
    qeltest::LogCapture log;
    const QelLexers& lexers = Install(SHIPPED);
    EXPECT_EQ(log.Records().size(), 0u) << log.Dump();
    EXPECT_GE(lexers.Count(), 25u);
    EXPECT_EQ(lexers.GetTheme(), "xcode");
    EXPECT_EQ(lexers.GetThemes(), (std::vector<wxString>{"", "dark", "xcode"}));
    EXPECT_TRUE(lexers.GetDefaultStyle().IsOk());
    EXPECT_TRUE(lexers.MarkerIsLoaded(QelMarker(0)));
    EXPECT_TRUE(lexers.MarkerIsLoaded(QelMarker(1)));
    for (int fold = 25; fold <= 31; ++fold) EXPECT_TRUE(lexers.MarkerIsLoaded(QelMarker(fold))) << fold;
    EXPECT_FALSE(lexers.GetStylesHex().empty());
    EXPECT_FALSE(lexers.GetGlobalProperties().empty());

    wxConfigBase::Get()->Write("theme", "dark");
    log.Clear();
    EXPECT_TRUE(QelLexers::Get(false)->Read());
    EXPECT_EQ(log.Records().size(), 0u) << log.Dump();
    EXPECT_EQ(lexers.GetTheme(), "dark");
}

TEST_F(LexersTest, ShippedLexersAreComplete)
{
    const QelLexers& lexers = Install(SHIPPED);
    // Lexers whose languages have no comments or no keywords.
    const std::set<wxString> noComments{"diff", "errorlist"};
    const std::set<wxString> noKeywords{"diff", "errorlist", "markdown", "po", "props"};
    for (const auto& [name, lexer] : lexers.GetLexers()) {
        SCOPED_TRACE(name);
        EXPECT_TRUE(lexer.IsOk());
        EXPECT_FALSE(lexer.GetExtensions().empty());
        EXPECT_FALSE(lexer.GetStyles().empty());
        EXPECT_EQ(lexer.GetCommentBegin().empty(), noComments.count(name) > 0);
        EXPECT_EQ(lexer.GetKeywords().empty(), noKeywords.count(name) > 0);
        for (const auto& style : lexer.GetStyles()) {
            // Every style value was a theme style name or a specification:
            // a name left over means a typo in the file.
            EXPECT_TRUE(style.IsOk());
            EXPECT_TRUE(style.GetValue().Contains(":") || style.GetValue() == "bold" ||
                        style.GetValue() == "italic") << style.GetValue();
        }
    }
}

TEST_F(LexersTest, ShippedLexersMatchTheirSampleFiles)
{
    const QelLexers& lexers = Install(SHIPPED);
    struct Sample { const char* file; const char* lexer; };
    const Sample samples[] = {
        {"main.c", "cpp"}, {"view.CPP", "cpp"}, {"Main.java", "cpp"}, {"app.js", "cpp"},
        {"tool.py", "python"}, {"build.sh", "bash"}, {"Makefile", "makefile"},
        {"CMakeLists.txt", "cmake"}, {"layout.xml", "xml"}, {"index.html", "hypertext"},
        {"site.css", "css"}, {"schema.sql", "sql"}, {"script.pl", "perl"}, {"Rakefile", "ruby"},
        {"init.lua", "lua"}, {"unit.pas", "pascal"}, {"solver.f90", "fortran"}, {"old.f", "f77"},
        {"pkg.adb", "ada"}, {"paper.tex", "latex"}, {"fix.patch", "diff"},
        {"app.properties", "props"}, {"setup.ini", "props"}, {"run.bat", "batch"},
        {"ci.yml", "yaml"}, {"README.md", "markdown"}, {"gui.tcl", "tcl"}, {"init.el", "lisp"},
        {"tindrel.prj", "xml"}, {"httpd.conf", "conf"},
    };
    for (const auto& s : samples) {
        SCOPED_TRACE(s.file);
        EXPECT_EQ(lexers.FindByFileName(wxFileName(s.file)).GetScintillaLexer(), s.lexer);
    }
    // And every lexer gets a file made from its own first pattern.
    for (const auto& [name, lexer] : lexers.GetLexers()) {
        wxString sample = lexer.GetExtensions().BeforeFirst(';');
        sample.Replace("*", "sample");
        EXPECT_EQ(lexers.FindByFileName(wxFileName(sample)).GetScintillaLexer(), name) << sample;
    }
}
