// One lexer without a display: reading its element, keyword sets, comment
// lines, styles made from the theme, and cheap copies.
#include <gtest/gtest.h>

#include <wx/sstream.h>
#include <wx/xml/xml.h>

#include <qelkit/lexer.h>
#include <qelkit/lexers.h>

#include "testing.h"

namespace {

// Macros and a theme for AutoMatch; the lexers object that reading asks.
const char* const MACROS = R"(<lexers><macro>
  <def no="SCE_C_COMMENT">1</def>
  <def no="SCE_C_COMMENTLINE">2</def>
  <def no="SCE_C_WORD">5</def>
  <def no="SCE_CSS_TAG">9</def>
  <def no="SCE_C_word">6</def>
  <def no="SCE_D_WORD">7</def>
  <themes><theme name="xcode">
    <def style="COMMENT">fore:#008000</def>
    <def style="WORD">bold</def>
  </theme></themes>
</macro></lexers>)";

class LexerTest : public qeltest::ConfigTest
{
protected:
    void SetUp() override
    {
        ConfigTest::SetUp();
        const wxString file = m_Temp.File("lexers.xml");
        qeltest::WriteBytes(file, MACROS);
        m_Lexers = new QelLexers(wxFileName(file));
        ASSERT_TRUE(m_Lexers->Read());
        delete QelLexers::Set(m_Lexers);
    }

    // A lexer read from the text of its element.
    QelLexer FromXml(const wxString& xml)
    {
        wxStringInputStream in(xml);
        wxXmlDocument doc;
        if (!doc.Load(in)) return QelLexer();
        return QelLexer(doc.GetRoot(), m_Lexers);
    }

    QelLexer WithComments(const char* begin, const char* end)
    {
        return FromXml(wxString::Format(
            R"(<lexer name="cpp"><comments begin1="%s" end1="%s"/></lexer>)", begin, end));
    }

    QelLexers* m_Lexers = nullptr;
};

using Sets = std::map<int, std::set<wxString>>;

} // namespace

TEST_F(LexerTest, EmptyLexer)
{
    const QelLexer lexer;
    EXPECT_FALSE(lexer.IsOk());
    EXPECT_EQ(lexer.GetScintillaLexer(), "");
    EXPECT_TRUE(lexer.GetKeywords().empty());
    EXPECT_TRUE(lexer.GetStyles().empty());
    EXPECT_EQ(lexer.MakeSingleLineComment("text"), "text");
    EXPECT_EQ(lexer.UsableCharactersPerLine(), 80);
}

TEST_F(LexerTest, SetKeywords)
{
    struct Case { const char* text; bool ok; Sets sets; };
    const Case cases[] = {
        {"if else int:1 char", true, {{0, {"else", "if"}}, {1, {"char", "int"}}}},
        {"a b:2 c", true, {{0, {"a"}}, {2, {"b", "c"}}}},
        {"a:8", false, {}},
        {"a:7", true, {{7, {"a"}}}},
        {"", true, {{0, {}}}},
        {"x:1 y:2 z:1", true, {{1, {"x"}}, {2, {"y"}}}},
        {"a:x b", true, {{0, {"a", "b"}}}},              // no number reads as 0
        {"  one\ttwo\r\nthree:1\n\tfour ", true, {{0, {"one", "two"}}, {1, {"four", "three"}}}},
        {"p q:-1 r", false, {}},
        {"p q:99999999999 r", false, {}},
        {"p q:1 r:9", false, {{0, {"p"}}}},              // stored before the bad token stays
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        QelLexer lexer;
        EXPECT_EQ(lexer.SetKeywords(c.text), c.ok);
        EXPECT_EQ(lexer.GetKeywordsSets(), c.sets);
    }
}

TEST_F(LexerTest, KeywordsOutsideTheirSet)
{
    QelLexer lexer;
    ASSERT_TRUE(lexer.SetKeywords("x:1 y:2 z:1"));
    EXPECT_TRUE(lexer.IsKeyword("z"));
    EXPECT_EQ(lexer.GetKeywordsString(1), "x");
    EXPECT_EQ(lexer.GetKeywordsString(-1), "x y z");
    EXPECT_FALSE(lexer.IsKeyword("Z"));
    EXPECT_TRUE(lexer.SetKeywords("q"));
    EXPECT_FALSE(lexer.IsKeyword("z"));   // replaced, not added
}

TEST_F(LexerTest, KeywordQueries)
{
    QelLexer lexer;
    ASSERT_TRUE(lexer.SetKeywords("if else int:1 char"));
    EXPECT_TRUE(lexer.KeywordStartsWith("IN"));
    EXPECT_TRUE(lexer.KeywordStartsWith("ch"));
    EXPECT_FALSE(lexer.KeywordStartsWith("x"));
    EXPECT_FALSE(lexer.KeywordStartsWith("intx"));
    EXPECT_EQ(lexer.GetKeywordsString(5), "");
    EXPECT_EQ(lexer.GetKeywordsString(-1), "char else if int");
    EXPECT_EQ(lexer.GetKeywordsString(0), "else if");

    QelLexer upper;
    ASSERT_TRUE(upper.SetKeywords("Int"));
    EXPECT_FALSE(upper.KeywordStartsWith("IN"));
    EXPECT_FALSE(upper.KeywordStartsWith("in"));
}

TEST_F(LexerTest, ReadsItsElement)
{
    qeltest::LogCapture log;
    const QelLexer lexer = FromXml(R"(<lexer name="cpp" extensions="*.cpp;*.h">
  <comments begin1="/*" end1="*/" begin2="//"/>
  <keywords> int:1 char
    if else </keywords>
  <properties><property name="fold">1</property><property name="x"></property></properties>
  <styles><style no="1">COMMENT</style><other/><style no="2">italic</style></styles>
  <unknown/>
  <styles><style no="3">eol</style></styles>
</lexer>)");
    EXPECT_TRUE(lexer.IsOk());
    EXPECT_EQ(lexer.GetScintillaLexer(), "cpp");
    EXPECT_EQ(lexer.GetExtensions(), "*.cpp;*.h");
    EXPECT_EQ(lexer.GetCommentBegin(), "/*");
    EXPECT_EQ(lexer.GetCommentEnd(), "*/");
    EXPECT_EQ(lexer.GetCommentBegin2(), "//");
    EXPECT_EQ(lexer.GetCommentEnd2(), "");
    EXPECT_EQ(lexer.GetKeywordsSets(), (Sets{{1, {"char", "else", "if", "int"}}}));
    ASSERT_EQ(lexer.GetProperties().size(), 2u);   // valid or not
    EXPECT_EQ(lexer.GetProperties()[0].GetName(), "fold");
    EXPECT_TRUE(log.Has("Illegal property name: x or value:  on line: 5")) << log.Dump();
    ASSERT_EQ(lexer.GetStyles().size(), 3u);
    EXPECT_EQ(lexer.GetStyles()[0].GetValue(), "fore:#008000");
    EXPECT_EQ(lexer.GetStyles()[2].GetNo(), (std::set<int>{3}));
}

TEST_F(LexerTest, LaterElementsReplaceEarlierOnes)
{
    const QelLexer lexer = FromXml(R"(<lexer name="x">
  <keywords>a</keywords><keywords>b</keywords>
  <comments begin1="#"/><comments begin1=";"/>
</lexer>)");
    EXPECT_EQ(lexer.GetKeywordsString(-1), "b");
    EXPECT_EQ(lexer.GetCommentBegin(), ";");
}

TEST_F(LexerTest, MissingNameStopsReading)
{
    qeltest::LogCapture log;
    const QelLexer lexer = FromXml("\n\n<lexer name=\"\" extensions=\"*.x\"><keywords>a</keywords></lexer>");
    EXPECT_FALSE(lexer.IsOk());
    EXPECT_EQ(lexer.GetExtensions(), "");
    EXPECT_TRUE(lexer.GetKeywords().empty());
    EXPECT_TRUE(log.Has("Missing lexer on line: 3")) << log.Dump();
}

TEST_F(LexerTest, RefusedKeywordSetNumberNamesItsLine)
{
    qeltest::LogCapture log;
    const QelLexer lexer = FromXml("<lexer name=\"x\">\n<keywords>a:-1</keywords>\n</lexer>");
    EXPECT_TRUE(log.Has("Keywords could not be set on line: 2")) << log.Dump();
    EXPECT_TRUE(lexer.GetKeywordsSets().empty());
    EXPECT_TRUE(lexer.IsOk());
}

TEST_F(LexerTest, HypertextCommentsByDefault)
{
    const QelLexer plain = FromXml(R"(<lexer name="hypertext"/>)");
    EXPECT_EQ(plain.GetCommentBegin(), "<!--");
    EXPECT_EQ(plain.GetCommentEnd(), "-->");
    const QelLexer replaced = FromXml(R"(<lexer name="hypertext"><comments begin2="x"/></lexer>)");
    EXPECT_EQ(replaced.GetCommentBegin(), "");
    EXPECT_EQ(replaced.GetCommentEnd(), "");
    EXPECT_EQ(replaced.GetCommentBegin2(), "x");
}

TEST_F(LexerTest, AutoMatchTakesTheThemeStyles)
{
    const QelLexer lexer = FromXml(R"(<lexer name="cpp" match="SCE_C_"><styles><style no="9">eol</style></styles></lexer>)");
    std::vector<std::pair<std::set<int>, wxString>> styles;
    for (const auto& style : lexer.GetStyles()) styles.emplace_back(style.GetNo(), style.GetValue());
    const std::vector<std::pair<std::set<int>, wxString>> want{
        {{1}, "fore:#008000"}, {{2}, "fore:#008000"}, {{5}, "bold"}, {{9}, "eol"}};
    EXPECT_EQ(styles, want);

    // Without a theme nothing is matched.
    wxConfigBase::Get()->Write("theme", "nosuch");
    EXPECT_EQ(FromXml(R"(<lexer name="cpp" match="SCE_C_"/>)").GetStyles().size(), 0u);
}

TEST_F(LexerTest, UsableCharactersPerLine)
{
    EXPECT_EQ(WithComments("/*", "*/").UsableCharactersPerLine(), 74);
    EXPECT_EQ(WithComments("//", "").UsableCharactersPerLine(), 77);
    EXPECT_EQ(WithComments("#", "").UsableCharactersPerLine(), 78);
    EXPECT_EQ(WithComments("", "-->").UsableCharactersPerLine(), 76);
}

TEST_F(LexerTest, SingleCommentLines)
{
    struct Case { const char* begin; const char* end; const char* text; bool space; bool fill; wxString want; };
    const Case cases[] = {
        {"/*", "*/", "abc", false, true, "/* abc" + wxString(' ', 71) + " */"},
        {"/*", "*/", "", false, true, "/*" + wxString('*', 76) + "*/"},
        {"/*", "*/", "", true, true, "/*" + wxString(' ', 76) + "*/"},
        {"/*", "*/", "abc", false, false, "/* abc */"},
        {"//", "", "abc", false, true, "// abc"},
        {"//", "", "", false, true, wxString('/', 80)},
        {"#", "", "", false, true, wxString('#', 80)},
        {"#", "", "", false, false, "##"},
        {"#", "#", "", false, true, "#-" + wxString('-', 76) + "-#"},   // begin equals end
        {"", "-->", "", false, true, "-" + wxString('-', 76) + "--->"},  // no begin: '-'
        {"", "", "abc", false, true, "abc"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(wxString::Format("%s %s '%s' %d %d", c.begin, c.end, c.text, c.space, c.fill));
        EXPECT_EQ(WithComments(c.begin, c.end).MakeSingleLineComment(c.text, c.space, c.fill), c.want);
    }
}

TEST_F(LexerTest, PaddedCommentLinesAreEightyColumns)
{
    qeltest::TempDir dir;
    wxString lines;
    lines << WithComments("/*", "*/").MakeSingleLineComment("abc", false, true) << "\n"
          << WithComments("/*", "*/").MakeSingleLineComment("", false, true) << "\n"
          << WithComments("//", "").MakeSingleLineComment("", false, true) << "\n"
          << WithComments("#", "").MakeSingleLineComment("", false, true) << "\n"
          << FromXml(R"(<lexer name="hypertext"/>)").MakeSingleLineComment("", false, true) << "\n";
    ASSERT_TRUE(qeltest::WriteBytes(dir.File("lines"), lines.utf8_string()));
    EXPECT_EQ(qeltest::Run("awk '{print length}' " + qeltest::ShellQuote(dir.File("lines"))),
              "80\n80\n80\n80\n80\n");
}

TEST_F(LexerTest, WrappedComments)
{
    const QelLexer hash = WithComments("#", "");
    EXPECT_EQ(hash.MakeComment("one\ntwo", false, false), "# one\n# two");
    EXPECT_EQ(hash.MakeComment("one\ntwo\n", false, false), "# one\n# two");
    EXPECT_EQ(hash.MakeComment("one two", false, false), "# one two");
    EXPECT_EQ(QelLexer().MakeComment("one two", false, false), "one two");

    // Later pieces are indented as far as the prefix is long.
    const wxString labelled = hash.MakeComment("Author: ", "me\nyou");
    EXPECT_TRUE(labelled.StartsWith("# Author: me")) << labelled;
    EXPECT_TRUE(labelled.Contains("\n#         you")) << labelled;
    EXPECT_FALSE(labelled.EndsWith("\n"));
}

TEST_F(LexerTest, SetPropertyReplacesOrAdds)
{
    QelLexer lexer = FromXml(R"(<lexer name="x"><properties><property name="fold">1</property></properties></lexer>)");
    lexer.SetProperty("fold", "0");
    lexer.SetProperty("fold.comment", "1");
    ASSERT_EQ(lexer.GetProperties().size(), 2u);
    EXPECT_EQ(lexer.GetProperties()[0].GetValue(), "0");
    EXPECT_EQ(lexer.GetProperties()[1].GetName(), "fold.comment");
}

TEST_F(LexerTest, CopiesShareUntilChanged)
{
    const QelLexer original = FromXml(R"(<lexer name="cpp" extensions="*.c"><keywords>int</keywords></lexer>)");
    QelLexer copy = original;
    EXPECT_EQ(&copy.GetKeywords(), &original.GetKeywords());   // one block for both
    EXPECT_TRUE(copy.IsOk());

    copy.SetProperty("fold", "1");
    copy.SetKeywords("char");
    EXPECT_NE(&copy.GetKeywords(), &original.GetKeywords());
    EXPECT_TRUE(original.GetProperties().empty());
    EXPECT_TRUE(original.IsKeyword("int"));
    EXPECT_FALSE(original.IsKeyword("char"));
    EXPECT_EQ(copy.GetExtensions(), "*.c");

    // Empty lexers share one block too.
    EXPECT_EQ(&QelLexer().GetKeywords(), &QelLexer().GetKeywords());
}
