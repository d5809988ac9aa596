// The records of lexers.xml without a display: styles, markers, indicators
// and properties read from their elements, with their messages.
#include <gtest/gtest.h>

#include <climits>
#include <set>

#include <wx/sstream.h>
#include <wx/xml/xml.h>

#include <qelkit/indicator.h>
#include <qelkit/lexers.h>
#include <qelkit/marker.h>
#include <qelkit/property.h>
#include <qelkit/style.h>

#include "testing.h"

namespace {

// One element parsed from text; line numbers count from the element's line 1.
class Element
{
public:
    explicit Element(const wxString& xml)
    {
        wxStringInputStream in(xml);
        m_Doc.Load(in);
    }
    const wxXmlNode* Node() const { return m_Doc.GetRoot(); }

private:
    wxXmlDocument m_Doc;
};

// Macros and a theme for the records to expand with.
class RecordsTest : public qeltest::ConfigTest
{
protected:
    void SetUp() override
    {
        ConfigTest::SetUp();
        const wxString file = m_Temp.File("lexers.xml");
        qeltest::WriteBytes(file, R"(<lexers><macro>
  <def no="ONE">1</def>
  <def no="LIST">5,6</def>
  <def no="CIRCLE">0</def>
  <def no="BOX">6</def>
  <def no="BIG">99</def>
  <themes><theme name="xcode">
    <def style="COMMENT">fore:#008000</def>
    <def style="FONTED">default-font,fore:#000000</def>
  </theme></themes>
</macro></lexers>)");
        m_Lexers = new QelLexers(wxFileName(file));
        ASSERT_TRUE(m_Lexers->Read());
        delete QelLexers::Set(m_Lexers);
    }

    QelLexers* m_Lexers = nullptr;
};

} // namespace

TEST(RecordHelpers, SplitItems)
{
    struct Case { const char* text; std::vector<wxString> want; };
    const Case cases[] = {
        {"", {}},
        {"1", {"1"}},
        {"1,,2", {"1", "", "2"}},
        {"1,2,", {"1", "2"}},
        {",1", {"", "1"}},
        {",", {""}},
        {" a , b", {" a ", " b"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(QelSplitItems(c.text), c.want);
    }
}

TEST(RecordHelpers, WholeNumbers)
{
    struct Case { const char* text; bool ok; int want; };
    const Case cases[] = {
        {"12", true, 12}, {"-3", true, -3}, {"+4", true, 4}, {"0", true, 0},
        {"", false, 0}, {"-", false, 0}, {"1x", false, 0}, {" 1", false, 0}, {"1 ", false, 0},
        {"0x10", false, 0}, {"2147483647", true, INT_MAX}, {"2147483648", false, 0},
        {"99999999999999999999", false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        int n = -7;
        EXPECT_EQ(QelToWholeNumber(c.text, &n), c.ok);
        if (c.ok) {
            EXPECT_EQ(n, c.want);
        }
    }
}

TEST(RecordHelpers, LeadingNumberReadsLikeAtoi)
{
    struct Case { const char* text; int want; };
    const Case cases[] = {
        {"12", 12}, {" \t12ab", 12}, {"x", 0}, {"", 0}, {"-5", -5}, {"+5", 5}, {"- 5", 0},
        {"99999999999", INT_MAX}, {"-99999999999", INT_MIN},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(QelLeadingNumber(c.text), c.want);
    }
}

TEST(RecordHelpers, StyleSpecColours)
{
    struct Case { const char* spec; bool ok; };
    const Case cases[] = {
        {"", true}, {"bold,italic", true}, {"fore:#00FF00", true}, {"back:#abcdef,bold", true},
        {"face:Monaco,size:12", true}, {"fore:", false}, {"back:", false}, {"fore:#12", false},
        {"fore:#12F", false}, {"back:#GGGGGG", false}, {"fore:#1234567", false},
        {"bold,fore:#000000,back:", false}, {"fore", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.spec);
        EXPECT_EQ(QelStyleSpecIsValid(c.spec), c.ok);
    }
}

TEST_F(RecordsTest, StyleNumberLists)
{
    struct Case { const char* element; std::set<int> no; int listMessages; bool lineMessage; };
    const Case cases[] = {
        {R"(<style no="1,2,x">bold</style>)", {1, 2}, 1, false},
        {R"(<style no="1,,2">bold</style>)", {1, 2}, 1, false},
        {R"(<style no="1,2,">bold</style>)", {1, 2}, 0, false},
        {R"(<style no="x,,y">bold</style>)", {}, 3, true},
        {R"(<style>bold</style>)", {0}, 0, false},
        {R"(<style no="">bold</style>)", {}, 0, true},
        {R"(<style no="ONE,255,32">bold</style>)", {1, 32, 255}, 0, false},
        {R"(<style no="LIST">bold</style>)", {5, 6}, 0, false},   // the whole list is a macro
        {R"(<style no="256">bold</style>)", {}, 1, true},
        {R"(<style no="-1,3">bold</style>)", {3}, 1, false},
        {R"(<style no="99999999999">bold</style>)", {}, 1, true},
        {R"(<style no="BIG, 2">bold</style>)", {99}, 1, false},     // " 2" is no whole number
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.element);
        qeltest::LogCapture log;
        const QelStyle style{Element(c.element).Node()};
        EXPECT_EQ(style.GetNo(), c.no);
        EXPECT_EQ(style.IsOk(), !c.no.empty());
        EXPECT_EQ(log.Count(" on line: 1"), c.lineMessage ? 1u : 0u) << log.Dump();
        EXPECT_EQ(log.CountLevel(wxLOG_Error), size_t(c.listMessages + (c.lineMessage ? 1 : 0)))
            << log.Dump();
    }
}

TEST_F(RecordsTest, StyleValues)
{
    struct Case { const char* element; const char* value; bool ok; };
    const Case cases[] = {
        {"<style no=\"1\">  fore:#112233,bold \n</style>", "fore:#112233,bold", true},
        {"<style no=\"1\">COMMENT</style>", "fore:#008000", true},
        {"<style no=\"1\">comment</style>", "comment", true},          // names are case-sensitive
        {"<style no=\"1\">ONE</style>", "ONE", true},                   // file macros do not count
        {"<style no=\"1\">default-font,bold</style>", "default-font,bold", true},
        {"<style no=\"1\"></style>", "", false},
        {"<style no=\"1\">fore:#12</style>", "", false},                // refused, never applied
        {"<style no=\"1\">bold,back:</style>", "", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.element);
        qeltest::LogCapture log;
        const QelStyle style{Element(c.element).Node()};
        EXPECT_EQ(style.GetValue(), c.value);
        EXPECT_EQ(style.IsOk(), c.ok);
        EXPECT_EQ(log.Count("Illegal style: "), c.ok ? 0u : 1u) << log.Dump();
    }
}

TEST_F(RecordsTest, StyleFromNumbersAndValue)
{
    qeltest::LogCapture log;
    const QelStyle style("ONE,x", " COMMENT ");
    EXPECT_EQ(style.GetNo(), (std::set<int>{1}));
    EXPECT_EQ(style.GetValue(), " COMMENT ");  // as given: no stripping, no theme
    EXPECT_EQ(log.Records().size(), 1u);
    EXPECT_TRUE(log.Has("Illegal style: ONE,x"));
    EXPECT_TRUE(QelStyle("32,1", "bold").ContainsDefaultStyle());
    EXPECT_FALSE(QelStyle("31,33", "bold").ContainsDefaultStyle());
    EXPECT_FALSE(QelStyle().IsOk());
}

TEST_F(RecordsTest, Markers)
{
    struct Case { const char* element; int no; int symbol; bool ok; const char* message; };
    const Case cases[] = {
        {R"(<marker no="1">2</marker>)", 1, 2, true, nullptr},
        {R"(<marker>BOX</marker>)", 0, 6, true, nullptr},
        {R"(<marker no="ONE"> 7,,</marker>)", 1, 7, true, nullptr},
        {R"(<marker no="3"></marker>)", 3, 0, true, nullptr},
        {R"(<marker no="3">x</marker>)", 3, 0, true, nullptr},
        {R"(<marker no="3">12abc</marker>)", 3, 12, true, nullptr},
        {R"(<marker no="32">0</marker>)", 32, 0, false, "Illegal marker number: 32 on line: 1"},
        {R"(<marker no="2">40</marker>)", 2, 40, false, "Illegal marker number: 2 on line: 1"},
        {R"(<marker no="2">-1</marker>)", 2, -1, false, "Illegal marker number: 2 on line: 1"},
        {R"(<marker no="-1">0</marker>)", -1, 0, false, "Illegal marker number: -1 on line: 1"},
        {R"(<marker no="x">0</marker>)", -1, -1, false, "Illegal marker: x on line: 1"},
        {R"(<marker no="">0</marker>)", -1, -1, false, "Illegal marker:  on line: 1"},
        {R"(<marker no="99999999999">0</marker>)", -1, -1, false,
         "Illegal marker: 99999999999 on line: 1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.element);
        qeltest::LogCapture log;
        const QelMarker marker{Element(c.element).Node()};
        EXPECT_EQ(marker.GetNo(), c.no);
        EXPECT_EQ(marker.GetSymbol(), c.symbol);
        EXPECT_EQ(marker.IsOk(), c.ok);
        if (c.message == nullptr) {
            EXPECT_TRUE(log.Records().empty()) << log.Dump();
        }
        else {
            EXPECT_TRUE(log.Records().size() == 1 && log.Has(c.message)) << log.Dump();
        }
    }
}

TEST_F(RecordsTest, MarkersCompareByNumber)
{
    const QelMarker a{Element(R"(<marker no="4">1</marker>)").Node()};
    const QelMarker b{Element(R"(<marker no="4">2</marker>)").Node()};
    EXPECT_EQ(a, b);
    std::set<QelMarker> markers{a, b, QelMarker(5)};
    EXPECT_EQ(markers.size(), 2u);
    EXPECT_EQ(markers.begin()->GetSymbol(), 1);
    EXPECT_FALSE(QelMarker(5).IsOk());   // a number only, no symbol
    EXPECT_FALSE(QelMarker().IsOk());
}

TEST_F(RecordsTest, Indicators)
{
    struct Case { const char* element; int no; int style; bool ok; const char* message; };
    const Case cases[] = {
        {R"(<indicator no="1">2</indicator>)", 1, 2, true, nullptr},
        {R"(<indicator>BOX</indicator>)", 0, 6, true, nullptr},
        {R"(<indicator no="ONE">CIRCLE</indicator>)", 1, 0, true, nullptr},
        {R"(<indicator no="1">x</indicator>)", 1, -1, false, "Illegal indicator style: x on line: 1"},
        {R"(<indicator no="1"></indicator>)", 1, -1, false, "Illegal indicator style:  on line: 1"},
        {R"(<indicator no="1">8</indicator>)", 1, 8, false, "Illegal indicator number: 1 on line: 1"},
        {R"(<indicator no="32">1</indicator>)", 32, 1, false, "Illegal indicator number: 32 on line: 1"},
        {R"(<indicator no="y">1</indicator>)", -1, -1, false, "Illegal indicator: y on line: 1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.element);
        qeltest::LogCapture log;
        const QelIndicator indicator{Element(c.element).Node()};
        EXPECT_EQ(indicator.GetNo(), c.no);
        EXPECT_EQ(indicator.GetStyle(), c.style);
        EXPECT_EQ(indicator.IsOk(), c.ok);
        EXPECT_FALSE(indicator.GetUnder());
        if (c.message == nullptr) {
            EXPECT_TRUE(log.Records().empty()) << log.Dump();
        }
        else {
            EXPECT_TRUE(log.Records().size() == 1 && log.Has(c.message)) << log.Dump();
        }
    }
    std::set<QelIndicator> indicators{QelIndicator(3), QelIndicator(3), QelIndicator(1)};
    EXPECT_EQ(indicators.size(), 2u);
}

TEST_F(RecordsTest, Properties)
{
    struct Case { const char* element; const char* name; const char* value; bool ok; };
    const Case cases[] = {
        {R"(<property name="fold"> 1 </property>)", "fold", "1", true},
        {R"(<property>1</property>)", "0", "1", true},
        {R"(<property name=" fold ">ONE</property>)", " fold ", "ONE", true},  // no expansion
        {R"(<property name="fold"></property>)", "fold", "", false},
        {R"(<property name="">1</property>)", "", "1", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.element);
        qeltest::LogCapture log;
        QelProperty property{Element(c.element).Node()};
        EXPECT_EQ(property.GetName(), c.name);
        EXPECT_EQ(property.GetValue(), c.value);
        EXPECT_EQ(property.IsOk(), c.ok);
        EXPECT_EQ(log.Count("Illegal property name: "), c.ok ? 0u : 1u);
    }
    qeltest::LogCapture log;
    QelProperty{Element("\n<property name=\"fold\"/>").Node()};
    EXPECT_TRUE(log.Has("Illegal property name: fold or value:  on line: 2")) << log.Dump();
}
