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

} // namespace

// Words are split at blanks, tabs and line ends; a bad set number refuses
// the text, keeping what was stored before it (each kind of bad number is on
// the faults file). Words are lowered, keywords not.
TEST_F(LexerTest, Keywords)
{
    using Row = std::tuple<const char*, bool, Sets>;
    for (const auto& [text, ok, sets] :
         {Row{"if else int:1 char", true, {{0, {"else", "if"}}, {1, {"char", "int"}}}},
          Row{"x:1 y:2 z:1", true, {{1, {"x"}}, {2, {"y"}}}}, // a set is not reopened
          Row{"a:x b", true, {{0, {"a", "b"}}}},              // no number reads as 0
          Row{"  one\ttwo\r\nthree:1\n\tfour ",
              true,
              {{0, {"one", "two"}}, {1, {"four", "three"}}}},
          Row{"p q:1 r:9", false, {{0, {"p"}}}}}) {
        SCOPED_TRACE(text);
        QelLexer lexer;
        EXPECT_EQ(lexer.SetKeywords(text), ok);
        EXPECT_EQ(lexer.GetKeywordsSets(), sets);
    }

    QelLexer lexer;
    ASSERT_TRUE(lexer.SetKeywords("if else int:1 char x:2"));
    EXPECT_EQ(lexer.GetKeywordsString(-1), "char else if int x");
    EXPECT_TRUE(lexer.KeywordStartsWith("IN") && !lexer.KeywordStartsWith("intx"));
    ASSERT_TRUE(lexer.SetKeywords("Int")); // replaced, not added
    EXPECT_FALSE(lexer.IsKeyword("x") || lexer.KeywordStartsWith("in"));
}

TEST_F(LexerTest, ReadsItsElementLaterElementsWin)
{
    const QelLexer lexer = FromXml(R"(<lexer name="cpp" extensions="*.cpp;*.h">
  <comments begin1="#"/><comments begin1="/*" end1="*/" begin2="//"/>
  <keywords>a</keywords><keywords> int:1 char
    if else </keywords>
  <properties><property name="fold">1</property><property name="x"></property></properties>
  <styles><style no="1">COMMENT</style><other/><style no="2">italic</style></styles>
  <unknown/>
  <styles><style no="3">eol</style></styles>
</lexer>)");
    EXPECT_EQ(lexer.GetCommentBegin() + lexer.GetCommentEnd() + lexer.GetCommentBegin2() + "|"
                  + lexer.GetCommentEnd2(),
              "/**///|");
    EXPECT_EQ(lexer.GetKeywordsSets(), (Sets{{1, {"char", "else", "if", "int"}}}));
    EXPECT_EQ(lexer.GetProperties().size(), 2u); // valid or not
    EXPECT_EQ(lexer.GetStyles().size(), 3u);

    // Without a name nothing else is read.
    const QelLexer nameless = FromXml(R"(<lexer extensions="*.x"><keywords>a</keywords></lexer>)");
    EXPECT_FALSE(nameless.IsOk());
    EXPECT_EQ(nameless.GetExtensions() + nameless.GetKeywordsString(), "");
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

// An empty comment line filled out is 80 columns of the start's last
// character (lines with text are wrapped and filled by QelAlignText). Later
// lines of a comment are indented as far as the prefix is long.
TEST_F(LexerTest, Comments)
{
    using Row = std::tuple<const char*, const char*, bool, wxString>;
    for (const auto& [begin, end, space, want] :
         {Row{"/*", "*/", false, "/*" + wxString('*', 76) + "*/"},
          Row{"/*", "*/", true, "/*" + wxString(' ', 76) + "*/"},
          Row{"#", "#", false, "#-" + wxString('-', 76) + "-#"},      // begin equals end
          Row{"", "-->", false, "-" + wxString('-', 76) + "--->"}}) { // no begin: '-'
        SCOPED_TRACE(wxString::Format("%s %s %d", begin, end, space));
        const QelLexer lexer = FromXml(wxString::Format(
            R"(<lexer name="cpp"><comments begin1="%s" end1="%s"/></lexer>)", begin, end));
        EXPECT_EQ(lexer.MakeSingleLineComment("", space, true), want);
    }

    const QelLexer hash = FromXml(R"(<lexer name="sh"><comments begin1="#"/></lexer>)");
    EXPECT_EQ(hash.MakeComment("one\ntwo\n", false, false), "# one\n# two");
    const wxString labelled = hash.MakeComment("Author: ", "me\nyou");
    EXPECT_TRUE(labelled.StartsWith("# Author: me")) << labelled;
    EXPECT_TRUE(labelled.Contains("\n#         you")) << labelled;
}

// A copy shares the original's tables until one of them changes.
TEST_F(LexerTest, CopiesShareUntilChanged)
{
    const QelLexer original = FromXml(R"(<lexer name="cpp" extensions="*.c"><keywords>int</keywords>
  <properties><property name="fold">1</property></properties></lexer>)");
    QelLexer copy = original;
    EXPECT_EQ(&copy.GetKeywords(), &original.GetKeywords()); // one block for both
    copy.SetProperty("fold", "0");                           // replaces
    copy.SetKeywords("char");
    EXPECT_EQ(copy.GetProperties().size(), 1u);
    EXPECT_EQ(copy.GetProperties()[0].GetValue() + copy.GetKeywordsString(), "0char");
    EXPECT_EQ(original.GetProperties()[0].GetValue() + original.GetKeywordsString(), "1int");
}

// Numbers must be whole and fit an int, else the record is refused; symbols
// are read as atoi reads them, saturated. Colours the control would assert on
// make a style definition invalid.
TEST(RecordHelpers, NumbersAndColours)
{
    using Number = std::tuple<const char*, bool, int>;
    for (const auto& [text, whole, leading] :
         {Number{"-3", true, -3}, Number{"+4", true, 4}, Number{"2147483647", true, INT_MAX},
          Number{"", false, 0}, Number{"1x", false, 1}, Number{" 1", false, 1},
          Number{"0x10", false, 0}, Number{"2147483648", false, INT_MAX},
          Number{"-99999999999", false, INT_MIN}}) {
        SCOPED_TRACE(text);
        int got = -7;
        EXPECT_EQ(QelToWholeNumber(text, &got), whole);
        EXPECT_EQ(got, whole ? leading : -7);
        EXPECT_EQ(QelLeadingNumber(text), leading);
    }
    for (const auto& [value, ok] : {std::pair{"", true}, std::pair{"back:#abcdef,bold", true},
                                    std::pair{"fore:#1234567", false}})
        EXPECT_EQ(QelStyleSpecIsValid(value), ok) << value;
}

// Each bad item of a number list is one message; the whole list may be a
// macro. Values are trimmed and theme style names (case-sensitive) expanded,
// file macros not.
TEST_F(LexerTest, Styles)
{
    using Numbers = std::tuple<const char*, std::set<int>, size_t>;
    for (const auto& [no, want, messages] :
         {Numbers{"1,,2", {1, 2}, 1}, Numbers{"x,,y", {}, 3 + 1},
          Numbers{"ONE,255,32", {1, 32, 255}, 0}, Numbers{"LIST", {5, 6}, 0},
          Numbers{"BIG, 2", {99}, 1}}) { // " 2" is no whole number
        SCOPED_TRACE(no);
        m_Log.Clear();
        EXPECT_EQ(QelStyle{XmlElement(wxString::Format("<style no=\"%s\">bold</style>", no)).Node()}
                      .GetNo(),
                  want);
        EXPECT_EQ(m_Log.Records().size(), messages) << m_Log.Dump();
    }
    for (const auto& [content, want] : {std::pair{"  fore:#112233,bold \n", "fore:#112233,bold"},
                                        std::pair{"COMMENT", "fore:#008000"},
                                        std::pair{"comment", "comment"}, std::pair{"ONE", "ONE"}}) {
        SCOPED_TRACE(content);
        const QelStyle style{
            XmlElement(wxString("<style no=\"1\">") + content + "</style>").Node()};
        EXPECT_EQ(style.GetValue(), want);
    }
    m_Log.Clear();
    EXPECT_EQ(QelStyle("ONE,x", " COMMENT ").GetNo(), (std::set<int>{1}));
    EXPECT_EQ(m_Log.Dump(), "1: Illegal style: ONE,x\n");
    EXPECT_TRUE(QelStyle("32,1", "bold").ContainsDefaultStyle());
}

// Numbers 0..31 (styles of indicators 0..7): anything else is one message.
// The first marker of a number stays in the ordered set.
TEST_F(LexerTest, MarkersIndicatorsAndProperties)
{
    using Row = std::tuple<const char*, int, int, bool>;
    for (const auto& [element, no, value, ok] :
         {Row{R"(<marker>BOX</marker>)", 0, 6, true},
          Row{R"(<marker no="2">-1</marker>)", 2, -1, false},
          Row{R"(<marker no="99999999999">0</marker>)", -1, -1, false},
          Row{R"(<indicator no="ONE">7</indicator>)", 1, 7, true},
          Row{R"(<indicator no="-1">1</indicator>)", -1, 1, false}}) {
        SCOPED_TRACE(element);
        m_Log.Clear();
        const XmlElement xml(element);
        std::tuple<int, int, bool> got;
        if (xml.Node()->GetName() == "marker") {
            const QelMarker marker{xml.Node()};
            got = {marker.GetNo(), marker.GetSymbol(), marker.IsOk()};
        } else {
            const QelIndicator indicator{xml.Node()};
            got = {indicator.GetNo(), indicator.GetStyle(), indicator.IsOk()};
        }
        EXPECT_EQ(got, std::make_tuple(no, value, ok));
        EXPECT_EQ(m_Log.Records().size(), ok ? 0u : 1u) << m_Log.Dump();
    }
    const std::set<QelMarker> set{QelMarker{XmlElement(R"(<marker no="4">1</marker>)").Node()},
                                  QelMarker{XmlElement(R"(<marker no="4">2</marker>)").Node()}};
    EXPECT_EQ(set.size(), 1u);
    EXPECT_EQ(set.begin()->GetSymbol(), 1);

    // A property's name and value are taken as given; an empty one refuses it.
    using Property = std::tuple<const char*, const char*, bool>;
    for (const auto& [element, text, ok] :
         {Property{R"(<property name="fold"> 1 </property>)", "fold=1", true},
          Property{R"(<property name=" f ">ONE</property>)", " f =ONE", true}, // no expansion
          Property{R"(<property name="">1</property>)", "=1", false}}) {
        SCOPED_TRACE(element);
        m_Log.Clear();
        const QelProperty property{XmlElement(element).Node()};
        EXPECT_EQ(property.GetName() + "=" + property.GetValue(), text);
        EXPECT_EQ(property.IsOk(), ok);
        EXPECT_EQ(m_Log.Records().size(), ok ? 0u : 1u) << m_Log.Dump();
    }
}
