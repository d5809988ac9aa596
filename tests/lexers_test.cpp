// The lexers configuration without a display: reading lexers.xml (messages
// checked against grep -n), macros, themes, the global element, lookups, the
// file-dialog wildcard, and the shipped file.
#include <algorithm>
#include <tuple>
#include <utility>
#include <iterator>
#include <memory>

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

// Two themes, a global element and two lexers.
const char* const SMALL = R"(<?xml version="1.0"?>
<lexers><macro><def no="RED">#FF0000</def><themes>
  <theme name="xcode"><def style="WORD">fore:#0000FF,bold</def></theme>
  <theme name="dark"><def style="WORD">fore:#00FFFF</def></theme>
</themes></macro><global><marker no="1">0</marker></global>
  <lexer name="cpp" extensions="*.cpp;*.h"/><lexer name="python" extensions="*.py"/>
</lexers>
)";

class LexersTest : public qeltest::ConfigTest {
protected:
    QelLexers& InstallText(const std::string& xml) { return qeltest::InstallLexers(m_Temp, xml); }
};

} // namespace

// Made from the data folder on first use; a missing file is one warning.
TEST_F(LexersTest, TheInstalledObject)
{
    QelSetPathsOverride(m_Temp.Path());
    qeltest::LogCapture log;
    EXPECT_EQ(QelLexers::Get()->Count(), 0u);
    EXPECT_EQ(log.Dump(), "2: Lexers file not found: " + m_Temp.File("lexers.xml") + "\n");
    std::unique_ptr<QelLexers> first(QelLexers::Set(nullptr)); // handed back, not deleted
    qeltest::WriteBytes(m_Temp.File("lexers.xml"), SMALL);
    EXPECT_EQ(QelLexers::Get()->Count(), 2u);
    QelSetPathsOverride("");
}

// One fault per line of the fixture; each message names the line grep finds,
// and nothing refused reaches the tables.
TEST_F(LexersTest, FaultsAreReportedWithTheirLines)
{
    // The text grep finds the line by, and the message.
    const std::pair<const char*, const char*> faults[] = {
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
    const char* const lists[]
        = {"Illegal style: 1,2,x", "Illegal style: 3,,4", "Illegal style: 256", "Illegal style: -1",
           "Illegal style: 99999999999"};

    qeltest::LogCapture log;
    const QelLexers& lexers = qeltest::InstallLexers(FAULTS);
    for (const auto& [grep, message] : faults) {
        SCOPED_TRACE(grep);
        const std::string line = qeltest::Run("grep -nF -- " + qeltest::ShellQuote(grep) + " "
                                              + qeltest::ShellQuote(FAULTS) + " | cut -d: -f1");
        ASSERT_EQ(std::count(line.begin(), line.end(), '\n'), 1) << "one line holds " << grep;
        EXPECT_EQ(log.Count(wxString::Format(message, std::stoi(line))), 1u) << log.Dump();
    }
    for (const char* list : lists) {
        size_t exact = 0;
        for (const auto& record : log.Records()) exact += record.text == list;
        EXPECT_EQ(exact, 1u) << list << "\n" << log.Dump();
    }
    EXPECT_EQ(log.CountLevel(wxLOG_Error), std::size(faults) + std::size(lists)) << log.Dump();

    // Nothing refused reaches the tables; the first of two definitions stays.
    EXPECT_EQ(lexers.ApplyMacro("RED"), "#FF0000");
    EXPECT_EQ(lexers.GetThemeMacros().at("WORD"), "fore:#0000FF,bold");

    for (int no : {0, 1, 2, 3, 4, 5, 32, 40}) {
        EXPECT_EQ(lexers.MarkerIsLoaded(QelMarker(no)), no >= 3 && no <= 5) << no;
        EXPECT_EQ(lexers.IndicatorIsLoaded(QelIndicator(no)), no == 3) << no;
    }

    // Styles are kept valid or not, but none with a number outside 0..255 or
    // a colour the control cannot take.
    for (const auto& style : lexers.GetStyles()) {
        for (int no : style.GetNo()) EXPECT_TRUE(no >= 0 && no <= 255) << no;
        EXPECT_TRUE(QelStyleSpecIsValid(style.GetValue())) << style.GetValue();
    }
    // A failed keyword text keeps what it stored before the bad token.
    const QelLexer cpp = lexers.FindByName("cpp");
    EXPECT_TRUE(cpp.IsKeyword("char") && !cpp.IsKeyword("b"));
}

// The global element is read only with a theme, which must come first.
TEST_F(LexersTest, ThemeInEffect)
{
    const std::string globalFirst = R"(<lexers>
  <global><marker no="1">0</marker></global>
  <macro><themes><theme name="xcode"/></themes></macro>
</lexers>)";
    // Why, the setting, the file, the theme in effect, whether the global element was read.
    using Row = std::tuple<const char*, const char*, std::string, const char*, bool>;
    for (const auto& [name, setting, xml, want, global] :
         {Row{"default is xcode", nullptr, SMALL, "xcode", true},
          Row{"unknown is none", "nosuch", SMALL, "", false},
          Row{"global before the themes", nullptr, globalFirst, "xcode", false}}) {
        SCOPED_TRACE(name);
        wxConfigBase::Get()->DeleteEntry("theme");
        if (setting != nullptr) wxConfigBase::Get()->Write("theme", setting);
        const QelLexers& lexers = InstallText(xml);
        EXPECT_EQ(lexers.GetTheme(), want);
        EXPECT_EQ(lexers.MarkerIsLoaded(QelMarker(1)), global);
    }

    // The setting is read on every call.
    const QelLexers& lexers = InstallText(SMALL);
    EXPECT_EQ(lexers.ApplyMacro("WORD"), "fore:#0000FF,bold");
    wxConfigBase::Get()->Write("theme", "dark");
    EXPECT_EQ(lexers.ApplyMacro("WORD"), "fore:#00FFFF");
}

// A malformed file is named and the tables stay; a good one replaces them all.
TEST_F(LexersTest, ReadingAgain)
{
    QelLexers& lexers = InstallText(SMALL);
    const wxString file = m_Temp.File("lexers.xml");
    std::string unclosed = SMALL;
    unclosed.erase(unclosed.find("</macro>"), 8);
    for (const auto& [xml, line] :
         {std::pair(unclosed, 7), std::pair(qeltest::NestedXml(1001), 1001)}) {
        SCOPED_TRACE(line);
        qeltest::WriteBytes(file, xml);
        qeltest::LogCapture log;
        EXPECT_FALSE(lexers.Read());
        EXPECT_TRUE(log.Has("Lexers file could not be loaded: " + file + ": ")
                    && log.Has(wxString::Format(" at line %d", line)))
            << log.Dump();
        EXPECT_EQ(lexers.Count(), 2u);
        EXPECT_TRUE(lexers.GetThemeOk());
    }

    qeltest::WriteBytes(file, "<lexers><lexer name=\"d\" extensions=\"*.d\"/></lexers>");
    EXPECT_TRUE(lexers.Read());
    EXPECT_EQ(lexers.Count(), 1u);
    EXPECT_TRUE(lexers.GetMacros().empty());
    EXPECT_FALSE(lexers.MarkerIsLoaded(QelMarker(1)));
}

// The patterns of every lexer, except one that only names its own lexer.
TEST_F(LexersTest, InFilesAndAddWhatWrittenOnlyWhenAbsent)
{
    EXPECT_EQ(InstallText(R"(<lexers><lexer name="xml" extensions="*.xml"/><lexer name="a"/>
  <lexer name="c" extensions="*.C"/><lexer name="html" extensions="*.htm;*.html"/></lexers>)")
                  .GetLexerExtensions(),
              "*.C\x0B*.htm;*.html");

    wxConfigBase::Get()->DeleteEntry("Add what");
    wxConfigBase::Get()->Write("In files", "*.txt");
    InstallText(SMALL);
    EXPECT_EQ(wxConfigBase::Get()->Read("In files"), "*.txt");
    EXPECT_EQ(wxConfigBase::Get()->Read("Add what"), "*.cpp;*.h\x0B*.py");
    wxConfigBase::Get()->Write("Add what", "*.c");
    QelLexers::Get(false)->Read();
    EXPECT_EQ(wxConfigBase::Get()->Read("Add what"), "*.c");
}

TEST_F(LexersTest, Lookups)
{
    const QelLexers& lexers = InstallText(R"(<lexers>
  <lexer name="b" extensions="*.TXT;*.md"/><lexer name="a" extensions="*.txt"/>
  <lexer name="a" extensions="*.second"/><lexer name="bash" extensions="*.sh"/>
  <lexer name="cpp" extensions="*.cpp"/><lexer name="hypertext" extensions="*.html"/>
  <lexer name="none"/><lexer name="pipe" extensions="*.a|*.b"/>
  <lexer name="0" extensions="READ*;*.x.y;Z*.md"/></lexers>)");
    // By file name: case ignored, the first name in name order wins; of two
    // lexers with one name the first is kept.
    EXPECT_EQ(lexers.FindByName("a").GetExtensions(), "*.txt");
    for (const auto& [file, lexer] :
         {std::pair{"/x/READ.TXT", "0"}, std::pair{"/x/b.TXT", "a"}, std::pair{"/x/notes.Md", "b"},
          std::pair{"/x/a.X.y", "0"}, std::pair{"/x/y.c", ""}, std::pair{"/x/a.md.", ""}})
        EXPECT_EQ(lexers.FindByFileName(wxFileName(file)).GetScintillaLexer(), lexer) << file;

    for (const auto& [text, want] :
         {std::pair{"<HTML><body>", "hypertext"}, std::pair{" //x", ""},
          std::pair{"// comment", "cpp"}, std::pair{"#! /bin/bash\n", "bash"},
          std::pair{"#!/usr/bin/env bash", ""},
          std::pair{"echo #!/bin/sh", "bash"}, // the expression is not anchored
          std::pair{"<?xml #!/bin/sh", ""}})   // no xml lexer, and the later rules are not tried
        EXPECT_EQ(lexers.FindByText(text).GetScintillaLexer(), want) << text;

    // Entries without patterns or with a '|' are left out; matching ones go first.
    EXPECT_EQ(lexers.BuildWildCards(wxFileName("x.txt")),
              "b (*.TXT;*.md) |*.TXT;*.md|a (*.txt) |*.txt|All Files (*)|*|0 (READ*;*.x.y;Z*.md) "
              "|READ*;*.x.y;Z*.md|bash (*.sh) |*.sh|cpp (*.cpp) |*.cpp|hypertext (*.html) |*.html");
}

// The shipped file: no message, every lexer complete and found by file names.
TEST_F(LexersTest, ShippedFile)
{
    qeltest::LogCapture log;
    const QelLexers& lexers = qeltest::InstallLexers(SHIPPED);
    EXPECT_EQ(log.Records().size(), 0u) << log.Dump();
    EXPECT_GE(lexers.Count(), 25u);

    const std::set<wxString> noComments{"diff", "errorlist"};
    const std::set<wxString> noKeywords{"diff", "errorlist", "markdown", "po", "props"};
    for (const auto& [name, lexer] : lexers.GetLexers()) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(lexer.GetStyles().empty());
        EXPECT_EQ(lexer.GetCommentBegin().empty(), noComments.count(name) > 0);
        EXPECT_EQ(lexer.GetKeywords().empty(), noKeywords.count(name) > 0);
        // A theme style name left over means a typo in the file.
        for (const auto& style : lexer.GetStyles())
            EXPECT_TRUE(style.GetValue().Contains(":") || style.GetValue() == "bold"
                        || style.GetValue() == "italic")
                << style.GetValue();
        // A file named after its own first pattern finds it.
        wxString sample = lexer.GetExtensions().BeforeFirst(';');
        sample.Replace("*", "sample");
        EXPECT_EQ(lexers.FindByFileName(wxFileName(sample)).GetScintillaLexer(), name) << sample;
    }

    // Whole names, without a star.
    for (const auto& [file, lexer] :
         {std::pair{"Makefile", "makefile"}, std::pair{"CMakeLists.txt", "cmake"}})
        EXPECT_EQ(lexers.FindByFileName(wxFileName(file)).GetScintillaLexer(), lexer) << file;
    wxConfigBase::Get()->Write("theme", "dark");
    EXPECT_TRUE(QelLexers::Get(false)->Read());
    EXPECT_EQ(log.Records().size(), 0u) << log.Dump();
}
