// The records of lexers.xml without a display: what styles, markers,
// indicators and properties make of their elements. Each message with its line
// is checked once, on the faults file (lexers_test); here the element's own
// line is line 1.
#include <gtest/gtest.h>

#include <climits>
#include <set>
#include <tuple>

#include <qelkit/indicator.h>
#include <qelkit/lexers.h>
#include <qelkit/marker.h>
#include <qelkit/property.h>
#include <qelkit/style.h>

#include "testing.h"

namespace {

using qeltest::XmlElement;

class RecordsTest : public qeltest::ConfigTest {
protected:
    void SetUp() override
    {
        ConfigTest::SetUp();
        qeltest::InstallLexers(m_Temp, R"(<lexers><macro>
  <def no="ONE">1</def><def no="LIST">5,6</def><def no="BOX">6</def><def no="BIG">99</def>
  <themes><theme name="xcode"><def style="COMMENT">fore:#008000</def></theme></themes>
</macro></lexers>)");
    }

    // The messages logged, one per line.
    qeltest::LogCapture m_Log;
};

} // namespace

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
