// One lexer without a display: reading its element, keyword sets, comment
// lines, styles made from the theme, and cheap copies.
#include <gtest/gtest.h>

#include <qelkit/lexer.h>
#include <qelkit/lexers.h>

#include "testing.h"

namespace {

using Sets = std::map<int, std::set<wxString>>;

class LexerTest : public qeltest::ConfigTest {
protected:
    void SetUp() override
    {
        ConfigTest::SetUp();
        // The match attribute takes the macros starting with it (case-sensitive).
        m_Lexers = &qeltest::InstallLexers(m_Temp, R"(<lexers><macro>
  <def no="SCE_C_COMMENT">1</def><def no="SCE_C_COMMENTLINE">2</def><def no="SCE_C_WORD">5</def>
  <def no="SCE_CSS_TAG">9</def><def no="SCE_C_word">6</def><def no="SCE_D_WORD">7</def>
  <themes><theme name="xcode"><def style="COMMENT">fore:#008000</def><def style="WORD">bold</def></theme></themes>
</macro></lexers>)");
    }

    QelLexer FromXml(const wxString& xml) const
    {
        return QelLexer(qeltest::XmlElement(xml).Node(), m_Lexers);
    }

    QelLexers* m_Lexers = nullptr;
};

} // namespace

// Words are split at blanks, tabs and line ends; a set number out of 0..7
// refuses the text, keeping what was stored before it.
TEST_F(LexerTest, SetKeywords)
{
    struct Row {
        const char* text;
        bool ok;
        Sets sets;
    };
    const Row rows[] = {
        {"if else int:1 char", true, {{0, {"else", "if"}}, {1, {"char", "int"}}}},
        {"a b:2 c", true, {{0, {"a"}}, {2, {"b", "c"}}}},
        {"a:7", true, {{7, {"a"}}}},
        {"", true, {{0, {}}}},
        {"x:1 y:2 z:1", true, {{1, {"x"}}, {2, {"y"}}}}, // a set is not reopened
        {"a:x b", true, {{0, {"a", "b"}}}},              // no number reads as 0
        {"  one\ttwo\r\nthree:1\n\tfour ", true, {{0, {"one", "two"}}, {1, {"four", "three"}}}},
        {"a:8", false, {}},
        {"p q:-1 r", false, {}},
        {"p q:99999999999 r", false, {}},
        {"p q:1 r:9", false, {{0, {"p"}}}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        QelLexer lexer;
        EXPECT_EQ(lexer.SetKeywords(row.text), row.ok);
        EXPECT_EQ(lexer.GetKeywordsSets(), row.sets);
    }
}

TEST_F(LexerTest, KeywordQueries)
{
    QelLexer lexer;
    ASSERT_TRUE(lexer.SetKeywords("if else int:1 char x:2 z:1"));
    EXPECT_TRUE(lexer.IsKeyword("z")); // a keyword also when its set was not kept
    EXPECT_FALSE(lexer.IsKeyword("Z"));
    EXPECT_EQ(lexer.GetKeywordsString(0) + "|" + lexer.GetKeywordsString(5), "else if|");
    EXPECT_EQ(lexer.GetKeywordsString(-1), "char else if int x z");
    EXPECT_TRUE(lexer.KeywordStartsWith("IN"));
    EXPECT_TRUE(lexer.KeywordStartsWith("ch"));
    EXPECT_FALSE(lexer.KeywordStartsWith("intx"));

    ASSERT_TRUE(lexer.SetKeywords("Int")); // replaced, not added
    EXPECT_FALSE(lexer.IsKeyword("z"));
    EXPECT_FALSE(lexer.KeywordStartsWith("in")); // the word is lowered, not the keyword
}

TEST_F(LexerTest, ReadsItsElementLaterElementsWin)
{
    qeltest::LogCapture log;
    const QelLexer lexer = FromXml(R"(<lexer name="cpp" extensions="*.cpp;*.h">
  <comments begin1="#"/><comments begin1="/*" end1="*/" begin2="//"/>
  <keywords>a</keywords><keywords> int:1 char
    if else </keywords>
  <properties><property name="fold">1</property><property name="x"></property></properties>
  <styles><style no="1">COMMENT</style><other/><style no="2">italic</style></styles>
  <unknown/>
  <styles><style no="3">eol</style></styles>
</lexer>)");
    EXPECT_TRUE(lexer.IsOk());
    EXPECT_EQ(lexer.GetScintillaLexer(), "cpp");
    EXPECT_EQ(lexer.GetExtensions(), "*.cpp;*.h");
    EXPECT_EQ(lexer.GetCommentBegin() + lexer.GetCommentEnd() + lexer.GetCommentBegin2() + "|"
                  + lexer.GetCommentEnd2(),
              "/**///|");
    EXPECT_EQ(lexer.GetKeywordsSets(), (Sets{{1, {"char", "else", "if", "int"}}}));
    ASSERT_EQ(lexer.GetProperties().size(), 2u); // valid or not
    EXPECT_TRUE(log.Has("Illegal property name: x or value:  on line: 5")) << log.Dump();
    ASSERT_EQ(lexer.GetStyles().size(), 3u);
    EXPECT_EQ(lexer.GetStyles()[0].GetValue(), "fore:#008000");
    EXPECT_EQ(lexer.GetStyles()[2].GetNo(), (std::set<int>{3}));

    // Without a name nothing else is read; hypertext's default comment goes
    // with any comments element.
    const QelLexer nameless = FromXml(R"(<lexer extensions="*.x"><keywords>a</keywords></lexer>)");
    EXPECT_FALSE(nameless.IsOk());
    EXPECT_EQ(nameless.GetExtensions() + nameless.GetKeywordsString(), "");
    const QelLexer html = FromXml(R"(<lexer name="hypertext"><comments begin2="x"/></lexer>)");
    EXPECT_EQ(html.GetCommentBegin() + html.GetCommentEnd(), "");
}

// The macros that start with the match, one style per theme style name in them.
TEST_F(LexerTest, MatchTakesTheThemeStyles)
{
    const QelLexer lexer = FromXml(
        R"(<lexer name="cpp" match="SCE_C_"><styles><style no="9">eol</style></styles></lexer>)");
    std::vector<std::pair<std::set<int>, wxString>> styles;
    for (const auto& style : lexer.GetStyles())
        styles.emplace_back(style.GetNo(), style.GetValue());
    const std::vector<std::pair<std::set<int>, wxString>> want{
        {{1}, "fore:#008000"}, {{2}, "fore:#008000"}, {{5}, "bold"}, {{9}, "eol"}};
    EXPECT_EQ(styles, want);

    wxConfigBase::Get()->Write("theme", "nosuch"); // no theme: nothing matched
    EXPECT_TRUE(FromXml(R"(<lexer name="cpp" match="SCE_C_"/>)").GetStyles().empty());
}

// Filled out, a line with a comment start is 80 columns; an empty text
// repeats the last character of the start.
TEST_F(LexerTest, SingleCommentLines)
{
    struct Row {
        const char* begin;
        const char* end;
        const char* text;
        bool space;
        bool fill;
        int usable;
        wxString want;
    };
    const Row rows[] = {
        {"/*", "*/", "abc", false, true, 74, "/* abc" + wxString(' ', 71) + " */"},
        {"/*", "*/", "", false, true, 74, "/*" + wxString('*', 76) + "*/"},
        {"/*", "*/", "", true, true, 74, "/*" + wxString(' ', 76) + "*/"},
        {"/*", "*/", "abc", false, false, 74, "/* abc */"},
        {"//", "", "abc", false, true, 77, "// abc"},
        {"//", "", "", false, true, 77, wxString('/', 80)},
        {"#", "", "", false, false, 78, "##"},
        {"#", "#", "", false, true, 76, "#-" + wxString('-', 76) + "-#"},   // begin equals end
        {"", "-->", "", false, true, 76, "-" + wxString('-', 76) + "--->"}, // no begin: '-'
        {"", "", "abc", false, true, 80, "abc"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(wxString::Format("%s %s '%s' %d %d", row.begin, row.end, row.text, row.space,
                                      row.fill));
        const QelLexer lexer = FromXml(wxString::Format(
            R"(<lexer name="cpp"><comments begin1="%s" end1="%s"/></lexer>)", row.begin, row.end));
        EXPECT_EQ(lexer.UsableCharactersPerLine(), row.usable);
        EXPECT_EQ(lexer.MakeSingleLineComment(row.text, row.space, row.fill), row.want);
    }
    EXPECT_EQ(FromXml(R"(<lexer name="hypertext"/>)").MakeSingleLineComment("", false, true),
              "<!-- " + wxString(' ', 71) + " -->");
}

TEST_F(LexerTest, WrappedComments)
{
    const QelLexer hash = FromXml(R"(<lexer name="sh"><comments begin1="#"/></lexer>)");
    EXPECT_EQ(hash.MakeComment("one\ntwo\n", false, false), "# one\n# two");
    EXPECT_EQ(hash.MakeComment("one two", false, false), "# one two");
    EXPECT_EQ(QelLexer().MakeComment("one two", false, false), "one two");

    // Later pieces are indented as far as the prefix is long.
    const wxString labelled = hash.MakeComment("Author: ", "me\nyou");
    EXPECT_TRUE(labelled.StartsWith("# Author: me")) << labelled;
    EXPECT_TRUE(labelled.Contains("\n#         you")) << labelled;
    EXPECT_FALSE(labelled.EndsWith("\n"));
}

TEST_F(LexerTest, CopiesShareUntilChanged)
{
    const QelLexer original = FromXml(R"(<lexer name="cpp" extensions="*.c"><keywords>int</keywords>
  <properties><property name="fold">1</property></properties></lexer>)");
    QelLexer copy = original;
    EXPECT_EQ(&copy.GetKeywords(), &original.GetKeywords()); // one block for both
    EXPECT_TRUE(copy.IsOk());

    copy.SetProperty("fold", "0");         // replaces
    copy.SetProperty("fold.comment", "1"); // adds
    copy.SetKeywords("char");
    auto properties = [](const QelLexer& lexer) {
        wxString text;
        for (const auto& property : lexer.GetProperties())
            text << property.GetName() << "=" << property.GetValue() << " ";
        return text;
    };
    EXPECT_EQ(properties(copy), "fold=0 fold.comment=1 ");
    EXPECT_EQ(copy.GetExtensions(), "*.c");
    EXPECT_EQ(properties(original), "fold=1 ");
    EXPECT_EQ(original.GetKeywordsString(), "int");

    EXPECT_EQ(&QelLexer().GetKeywords(), &QelLexer().GetKeywords()); // empty lexers share too
}
