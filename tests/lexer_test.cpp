// The records of lexers.xml and one lexer, without a display: what styles,
// markers, indicators and properties make of their elements, keyword sets,
// comment lines, styles made from the theme, and cheap copies. Each message
// with its line is checked once, on the faults file (lexers_test); here an
// element's own line is line 1.
#include <climits>
#include <set>
#include <tuple>

#include <gtest/gtest.h>

#include <qelkit/indicator.h>
#include <qelkit/lexer.h>
#include <qelkit/lexers.h>
#include <qelkit/marker.h>
#include <qelkit/property.h>
#include <qelkit/style.h>

#include "testing.h"

namespace {

using qeltest::XmlElement;
using Sets = std::map<int, std::set<wxString>>;

class LexerTest : public qeltest::ConfigTest {
protected:
    void SetUp() override
    {
        ConfigTest::SetUp();
        // The match attribute takes the macros starting with it (case-sensitive).
        m_Lexers = &qeltest::InstallLexers(m_Temp, R"(<lexers><macro>
  <def no="ONE">1</def><def no="LIST">5,6</def><def no="BOX">6</def><def no="BIG">99</def>
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
    qeltest::LogCapture m_Log; // the messages logged, one per line
};

class RecordsTest : public LexerTest { };

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
    EXPECT_TRUE(lexer.IsKeyword("z") && !lexer.IsKeyword("Z")); // z's set was not kept
    EXPECT_EQ(lexer.GetKeywordsString(0) + "|" + lexer.GetKeywordsString(5), "else if|");
    EXPECT_EQ(lexer.GetKeywordsString(-1), "char else if int x z");
    EXPECT_TRUE(lexer.KeywordStartsWith("IN") && lexer.KeywordStartsWith("ch"));
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
    copy.SetProperty("fold", "0");                           // replaces
    copy.SetProperty("fold.comment", "1");                   // adds
    copy.SetKeywords("char");
    auto properties = [](const QelLexer& lexer) {
        wxString text;
        for (const auto& property : lexer.GetProperties())
            text << property.GetName() << "=" << property.GetValue() << " ";
        return text;
    };
    EXPECT_EQ(properties(copy) + copy.GetExtensions(), "fold=0 fold.comment=1 *.c");
    // The original keeps its own.
    EXPECT_EQ(properties(original) + original.GetKeywordsString(), "fold=1 int");
}

// Numbers must be whole and fit an int, else the record is refused; symbols
// are read as atoi reads them, saturated. Colours the control would assert on
// make a style definition invalid.
TEST(RecordHelpers, NumbersAndColours)
{
    struct Number {
        const char* text;
        bool whole;
        int leading;
    };
    const Number numbers[] = {
        {"12", true, 12},
        {"-3", true, -3},
        {"+4", true, 4},
        {"2147483647", true, INT_MAX},
        {"", false, 0},
        {"-", false, 0},
        {"1x", false, 1},
        {" 1", false, 1},
        {"0x10", false, 0},
        {"- 5", false, 0},
        {"2147483648", false, INT_MAX},
        {"-99999999999", false, INT_MIN},
    };
    for (const Number& n : numbers) {
        SCOPED_TRACE(n.text);
        int got = -7;
        EXPECT_EQ(QelToWholeNumber(n.text, &got), n.whole);
        EXPECT_EQ(got, n.whole ? n.leading : -7);
        EXPECT_EQ(QelLeadingNumber(n.text), n.leading);
    }
    struct Spec {
        const char* spec;
        bool ok;
    };
    for (const Spec& s :
         {Spec{"", true}, Spec{"bold,italic", true}, Spec{"back:#abcdef,bold", true},
          Spec{"face:Monaco,size:12", true}, Spec{"fore:", false}, Spec{"fore:#12F", false},
          Spec{"back:#GGGGGG", false}, Spec{"fore:#1234567", false},
          Spec{"bold,fore:#000000,back:", false}}) {
        EXPECT_EQ(QelStyleSpecIsValid(s.spec), s.ok) << s.spec;
    }
}

TEST_F(RecordsTest, Styles)
{
    // Numbers: each bad item is one message naming the list; the whole list may be a macro.
    struct Numbers {
        const char* no;
        std::set<int> want;
        size_t messages;
    };
    const Numbers lists[] = {
        {"1,2,", {1, 2}, 0}, {"1,,2", {1, 2}, 1},
        {"x,,y", {}, 3 + 1}, {"ONE,255,32", {1, 32, 255}, 0},
        {"LIST", {5, 6}, 0}, {"-1,3", {3}, 1},
        {"BIG, 2", {99}, 1}, // " 2" is no whole number
    };
    for (const Numbers& row : lists) {
        SCOPED_TRACE(row.no);
        m_Log.Clear();
        const QelStyle style{
            XmlElement(wxString::Format("<style no=\"%s\">bold</style>", row.no)).Node()};
        EXPECT_EQ(style.GetNo(), row.want);
        EXPECT_EQ(m_Log.Records().size(), row.messages) << m_Log.Dump();
    }
    EXPECT_EQ(QelStyle{XmlElement("<style>bold</style>").Node()}.GetNo(), (std::set<int>{0}));

    // Values: trimmed, theme style names (case-sensitive) expanded, file macros not.
    struct Value {
        const char* content;
        const char* want;
    };
    for (const Value& row :
         {Value{"  fore:#112233,bold \n", "fore:#112233,bold"}, Value{"COMMENT", "fore:#008000"},
          Value{"comment", "comment"}, Value{"ONE", "ONE"}, Value{"fore:#12", ""}}) {
        SCOPED_TRACE(row.content);
        const QelStyle style{
            XmlElement(wxString("<style no=\"1\">") + row.content + "</style>").Node()};
        EXPECT_EQ(style.GetValue(), row.want);
        EXPECT_EQ(style.IsOk(), *row.want != '\0'); // a refused colour is never applied
    }

    // Made from texts: numbers checked, the value taken as given.
    m_Log.Clear();
    const QelStyle style("ONE,x", " COMMENT ");
    EXPECT_EQ(style.GetNo(), (std::set<int>{1}));
    EXPECT_EQ(style.GetValue(), " COMMENT ");
    EXPECT_EQ(m_Log.Dump(), "1: Illegal style: ONE,x\n");
    EXPECT_TRUE(QelStyle("32,1", "bold").ContainsDefaultStyle());
    EXPECT_FALSE(QelStyle("31,33", "bold").ContainsDefaultStyle());
}

// Numbers 0..31 (styles of indicators 0..7): anything else is one message.
// The first marker of a number stays in the ordered set.
TEST_F(RecordsTest, MarkersAndIndicators)
{
    struct Row {
        const char* element;
        int no;
        int value;
        bool ok;
    };
    const Row rows[] = {
        {R"(<marker>BOX</marker>)", 0, 6, true},
        {R"(<marker no="ONE"> 7,,</marker>)", 1, 7, true},
        {R"(<marker no="3">12abc</marker>)", 3, 12, true}, // symbols read as atoi reads them
        {R"(<marker no="2">-1</marker>)", 2, -1, false},
        {R"(<marker no="-1">0</marker>)", -1, 0, false},
        {R"(<marker no="99999999999">0</marker>)", -1, -1, false},
        {R"(<indicator>BOX</indicator>)", 0, 6, true},
        {R"(<indicator no="ONE">7</indicator>)", 1, 7, true},
        {R"(<indicator no="1"></indicator>)", 1, -1, false},
        {R"(<indicator no="-1">1</indicator>)", -1, 1, false},
        {R"(<indicator no="99999999999">1</indicator>)", -1, -1, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.element);
        m_Log.Clear();
        const XmlElement xml(row.element);
        std::tuple<int, int, bool> got;
        if (xml.Node()->GetName() == "marker") {
            const QelMarker marker{xml.Node()};
            got = {marker.GetNo(), marker.GetSymbol(), marker.IsOk()};
        } else {
            const QelIndicator indicator{xml.Node()};
            got = {indicator.GetNo(), indicator.GetStyle(), indicator.IsOk()};
        }
        EXPECT_EQ(got, std::make_tuple(row.no, row.value, row.ok));
        EXPECT_EQ(m_Log.Records().size(), row.ok ? 0u : 1u) << m_Log.Dump();
    }
    const QelMarker first{XmlElement(R"(<marker no="4">1</marker>)").Node()};
    const std::set<QelMarker> set{
        first, QelMarker{XmlElement(R"(<marker no="4">2</marker>)").Node()}, QelMarker(5)};
    EXPECT_EQ(set.size(), 2u);
    EXPECT_EQ(set.begin()->GetSymbol(), 1);
    EXPECT_FALSE(QelMarker(5).IsOk()); // a number only, no symbol
}

TEST_F(RecordsTest, Properties)
{
    struct Row {
        const char* element;
        const char* name;
        const char* value;
        bool ok;
    };
    for (const Row& row :
         {Row{R"(<property name="fold"> 1 </property>)", "fold", "1", true},
          Row{R"(<property>1</property>)", "0", "1", true},
          Row{R"(<property name=" f ">ONE</property>)", " f ", "ONE", true}, // no expansion
          Row{R"(<property name="fold"/>)", "fold", "", false},
          Row{R"(<property name="">1</property>)", "", "1", false}}) {
        SCOPED_TRACE(row.element);
        m_Log.Clear();
        const QelProperty property{XmlElement(row.element).Node()};
        EXPECT_EQ(property.GetName() + "=" + property.GetValue(),
                  wxString(row.name) + "=" + row.value);
        EXPECT_EQ(property.IsOk(), row.ok);
        EXPECT_EQ(m_Log.Records().size(), row.ok ? 0u : 1u) << m_Log.Dump();
    }
}
