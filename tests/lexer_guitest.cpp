// Records and lexers on a hidden editor control: what reaches the control is
// read back through its own getters, and its own lexer colours a sample.
#include <gtest/gtest.h>

#include <wx/font.h>
#include <wx/frame.h>
#include <wx/settings.h>
#include <wx/sstream.h>
#include <wx/stc/stc.h>
#include <wx/xml/xml.h>

#include <qelkit/lexers.h>

#include "testing.h"

namespace {

const char* const FIXTURE = R"(<lexers>
  <macro>
    <def no="SCE_C_WORD">5</def>
    <def no="CIRCLE">0</def>
    <themes>
      <theme name="xcode">
        <def style="WORD">fore:#0000FF,bold</def>
        <def style="FONTED">default-font,fore:black</def>
        <def style="RED">red</def>
      </theme>
    </themes>
  </macro>
  <global>
    <style no="32">fore:#000000,back:#FFFFFF</style>
    <properties><property name="fold">1</property><property name="fold.comment">1</property></properties>
    <marker no="1">CIRCLE,#000000,#FF8C00</marker>
  </global>
  <lexer name="cpp" extensions="*.cpp" match="SCE_C_">
    <keywords>int Char</keywords>
    <properties><property name="fold.comment">0</property></properties>
    <styles><style no="11">fore:#808080</style></styles>
  </lexer>
  <lexer name="xml" extensions="*.xml"/>
  <lexer name="nosuchlexer" extensions="*.nsl"/>
</lexers>
)";

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

// A hidden editor control and the fixture's lexers, installed.
class StcTest : public qeltest::ConfigTest
{
protected:
    void SetUp() override
    {
        ConfigTest::SetUp();
        m_Frame = new wxFrame(nullptr, wxID_ANY, "lexer test");
        m_Stc = new wxStyledTextCtrl(m_Frame);
    }

    void TearDown() override
    {
        m_Frame->Destroy();
        qeltest::Pump(0);
        ConfigTest::TearDown();
    }

    QelLexers& Install(const std::string& xml = FIXTURE)
    {
        qeltest::WriteBytes(m_Temp.File("lexers.xml"), xml);
        QelLexers* lexers = new QelLexers(wxFileName(m_Temp.File("lexers.xml")));
        delete QelLexers::Set(lexers);
        lexers->Read();
        return *lexers;
    }

    wxFrame* m_Frame = nullptr;
    wxStyledTextCtrl* m_Stc = nullptr;
};

} // namespace

TEST_F(StcTest, StyleReachesTheControl)
{
    Install();
    const QelStyle style{Element(R"(<style no="3,4">fore:#FF0000,bold,face:Monaco</style>)").Node()};
    style.Apply(m_Stc);
    for (int no : {3, 4}) {
        EXPECT_EQ(m_Stc->StyleGetForeground(no), wxColour(255, 0, 0));
        EXPECT_TRUE(m_Stc->StyleGetBold(no));
        EXPECT_EQ(m_Stc->StyleGetFaceName(no), "Monaco");
    }
    EXPECT_FALSE(m_Stc->StyleGetBold(5));
}

TEST_F(StcTest, StyleWithoutNumbersResetsTheDefaultStyle)
{
    Install();
    const wxColour before = m_Stc->StyleGetForeground(wxSTC_STYLE_DEFAULT);
    m_Stc->StyleSetForeground(wxSTC_STYLE_DEFAULT, wxColour(0, 0, 255));
    qeltest::LogCapture log;
    QelStyle{Element(R"(<style no="">bold</style>)").Node()}.Apply(m_Stc);
    EXPECT_TRUE(log.Has("Illegal style: bold on line: 1"));
    EXPECT_EQ(m_Stc->StyleGetForeground(wxSTC_STYLE_DEFAULT), before);
}

TEST_F(StcTest, ColourNamesInStyles)
{
    Install();
    struct Case { const char* value; bool ok; };
    const Case cases[] = {
        {"fore:red", true}, {"back:black,bold", true}, {"fore:nosuchcolour", false},
        {"bold,back:notacolour", false}, {"fore:#00FF00", true}, {"RED", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        qeltest::LogCapture log;
        const QelStyle style{Element(wxString("\n<style no=\"7\">") + c.value + "</style>").Node()};
        EXPECT_EQ(style.IsOk(), c.ok);
        EXPECT_EQ(log.Has(wxString("Illegal style: ") + c.value + " on line: 2"), !c.ok) << log.Dump();
        style.Apply(m_Stc);   // an assertion here fails the test
    }
}

TEST_F(StcTest, DefaultFontExpandsOnlyInThemeMacros)
{
    // The font's stored form is read back through the toolkit, which keeps
    // only installed faces: the test uses the DejaVu fonts.
    wxConfigBase::Get()->Write("Default font",
        wxToString(wxFont(wxFontInfo(12).FaceName("DejaVu Sans Mono").Bold())));
    Install();
    const QelStyle fonted{Element(R"(<style no="1">FONTED</style>)").Node()};
    EXPECT_EQ(fonted.GetValue(), "face:DejaVu Sans Mono,size:12,fore:black,bold");
    const QelStyle direct{Element(R"(<style no="1">default-font,fore:black</style>)").Node()};
    EXPECT_EQ(direct.GetValue(), "default-font,fore:black");

    wxConfigBase::Get()->Write("Default font",
        wxToString(wxFont(wxFontInfo(9).FaceName("DejaVu Serif").Italic().Underlined())));
    EXPECT_EQ(QelStyle{Element(R"(<style no="1">FONTED</style>)").Node()}.GetValue(),
              "face:DejaVu Serif,size:9,fore:black,italic,underline");

    fonted.Apply(m_Stc);
    EXPECT_EQ(m_Stc->StyleGetFaceName(1), "DejaVu Sans Mono");
    EXPECT_EQ(m_Stc->StyleGetSize(1), 12);
    EXPECT_TRUE(m_Stc->StyleGetBold(1));
}

TEST_F(StcTest, DefaultFontWithoutSettingIsTheSystemFixedFont)
{
    Install();
    const wxFont font = wxSystemSettings::GetFont(wxSYS_OEM_FIXED_FONT);
    const wxString value = QelStyle{Element(R"(<style no="1">FONTED</style>)").Node()}.GetValue();
    EXPECT_TRUE(value.StartsWith(wxString::Format("face:%s,size:%d,fore:black",
        font.GetFaceName(), font.GetPointSize()))) << value;
}

TEST_F(StcTest, MarkersReachTheControl)
{
    Install();
    qeltest::LogCapture log;
    const QelMarker marker{Element(R"(<marker no="3">CIRCLE,red, #00FF00 </marker>)").Node()};
    EXPECT_EQ(marker.GetForegroundColour(), wxColour(255, 0, 0));
    EXPECT_EQ(marker.GetBackgroundColour(), wxColour(0, 255, 0));
    m_Stc->MarkerDefine(3, wxSTC_MARK_ARROW);
    marker.Apply(m_Stc);
    EXPECT_EQ(m_Stc->GetMarkerSymbolDefined(3), wxSTC_MARK_CIRCLE);

    // Unknown colours stay unset and the control keeps its own.
    const QelMarker unset{Element(R"(<marker no="4">12,nosuchcolour,RED</marker>)").Node()};
    EXPECT_FALSE(unset.GetForegroundColour().IsOk());
    EXPECT_EQ(unset.GetBackgroundColour(), wxColour(255, 0, 0));   // a theme macro
    unset.Apply(m_Stc);
    EXPECT_EQ(m_Stc->GetMarkerSymbolDefined(4), wxSTC_MARK_BOXPLUS);

    // An invalid marker is never applied.
    m_Stc->MarkerDefine(2, wxSTC_MARK_ARROW);
    QelMarker{Element(R"(<marker no="2">40</marker>)").Node()}.Apply(m_Stc);
    EXPECT_EQ(m_Stc->GetMarkerSymbolDefined(2), wxSTC_MARK_ARROW);
    EXPECT_EQ(log.Records().size(), 1u) << log.Dump();
}

TEST_F(StcTest, IndicatorsReachTheControl)
{
    Install();
    m_Stc->IndicatorSetForeground(2, wxColour(0, 0, 255));
    const QelIndicator under{Element(R"(<indicator no="1">2,red,true</indicator>)").Node()};
    const QelIndicator upper{Element(R"(<indicator no="3">4,red,TRUE</indicator>)").Node()};
    const QelIndicator plain{Element(R"(<indicator no="2">6</indicator>)").Node()};
    for (const auto* indicator : {&under, &upper, &plain}) indicator->Apply(m_Stc);

    EXPECT_EQ(m_Stc->IndicatorGetStyle(1), 2);
    EXPECT_EQ(m_Stc->IndicatorGetForeground(1), wxColour(255, 0, 0));
    EXPECT_TRUE(m_Stc->IndicatorGetUnder(1));
    EXPECT_EQ(m_Stc->IndicatorGetStyle(3), 4);
    EXPECT_FALSE(m_Stc->IndicatorGetUnder(3));
    EXPECT_EQ(m_Stc->IndicatorGetStyle(2), 6);
    EXPECT_EQ(m_Stc->IndicatorGetForeground(2), wxColour(0, 0, 255));   // kept
}

TEST_F(StcTest, PropertiesReachTheControl)
{
    m_Stc->SetLexerLanguage("cpp");
    QelProperty("fold", "1").Apply(m_Stc);
    EXPECT_EQ(m_Stc->GetProperty("fold"), "1");
    QelProperty("fold", "").Apply(m_Stc);   // invalid: not applied
    EXPECT_EQ(m_Stc->GetProperty("fold"), "1");
    QelProperty("fold", "1").ApplyReset(m_Stc);
    EXPECT_EQ(m_Stc->GetProperty("fold"), "");
}

TEST_F(StcTest, ApplyLexerColoursWithTheControlsOwnLexer)
{
    Install();
    m_Stc->SetText("int x;\nchar y;\n");
    QelLexer lexer;
    EXPECT_TRUE(lexer.ApplyLexer("cpp", m_Stc, false, true));
    EXPECT_EQ(m_Stc->GetLexer(), wxSTC_LEX_CPP);
    EXPECT_EQ(m_Stc->GetStyleAt(0), wxSTC_C_WORD);
    EXPECT_EQ(m_Stc->GetStyleAt(4), wxSTC_C_IDENTIFIER);
    // Keywords go in lower case: "Char" in the file colours "char".
    EXPECT_EQ(m_Stc->GetStyleAt(7), wxSTC_C_WORD);

    // Theme style by match, own style, own property over the global one.
    EXPECT_EQ(m_Stc->StyleGetForeground(wxSTC_C_WORD), wxColour(0, 0, 255));
    EXPECT_TRUE(m_Stc->StyleGetBold(wxSTC_C_WORD));
    EXPECT_EQ(m_Stc->StyleGetForeground(wxSTC_C_IDENTIFIER), wxColour(128, 128, 128));
    EXPECT_EQ(m_Stc->GetProperty("fold"), "1");
    EXPECT_EQ(m_Stc->GetProperty("fold.comment"), "0");
    EXPECT_EQ(m_Stc->GetMarkerSymbolDefined(1), wxSTC_MARK_CIRCLE);
}

TEST_F(StcTest, WithoutThemeNoKeywordsAreSent)
{
    wxConfigBase::Get()->Write("theme", "nosuch");
    Install();
    m_Stc->SetText("int x;\n");
    QelLexer lexer;
    EXPECT_TRUE(lexer.ApplyLexer("cpp", m_Stc, false, true));
    EXPECT_EQ(m_Stc->GetLexer(), wxSTC_LEX_CPP);
    EXPECT_EQ(m_Stc->GetStyleAt(0), wxSTC_C_IDENTIFIER);
    EXPECT_EQ(m_Stc->GetProperty("fold.comment"), "");
}

TEST_F(StcTest, ApplyLexerWithItsOwnName)
{
    Install();
    m_Stc->SetText("int x;\n");
    QelLexer lexer = QelLexers::Get(false)->FindByName("cpp");
    // The name passed is the lexer's own, which the call replaces.
    EXPECT_TRUE(lexer.ApplyLexer(lexer.GetScintillaLexer(), m_Stc));
    EXPECT_EQ(lexer.GetScintillaLexer(), "cpp");
    EXPECT_EQ(m_Stc->GetStyleAt(0), wxSTC_C_WORD);
}

TEST_F(StcTest, GuessedFromTheFirstLine)
{
    Install();
    struct Case { const char* text; const char* lexer; int scintilla; };
    const Case cases[] = {
        {"<?xml version=\"1.0\"?>\n<a/>\n", "xml", wxSTC_LEX_XML},
        {"// a comment\nint x;\n", "cpp", wxSTC_LEX_CPP},
        {"#!/bin/sh\n", "", wxSTC_LEX_NULL},    // guessed "bash", which the file lacks
        {"plain\n", "", wxSTC_LEX_NULL},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        m_Stc->SetLexer(wxSTC_LEX_PYTHON);
        m_Stc->SetText(c.text);
        QelLexer lexer;
        EXPECT_TRUE(lexer.ApplyLexer("", m_Stc));
        EXPECT_EQ(lexer.GetScintillaLexer(), c.lexer);
        EXPECT_EQ(m_Stc->GetLexer(), c.scintilla);
    }
}

TEST_F(StcTest, UnknownLexerNamesAreReportedOnlyWhenAsked)
{
    Install();
    m_Stc->SetText("plain\n");
    qeltest::LogCapture log;
    QelLexer lexer;
    EXPECT_FALSE(lexer.ApplyLexer("nosuchlexer", m_Stc, true, true));
    EXPECT_FALSE(lexer.IsOk());
    EXPECT_TRUE(log.Has("Lexer is not known: nosuchlexer")) << log.Dump();

    log.Clear();
    EXPECT_FALSE(lexer.ApplyLexer("nosuchlexer", m_Stc, false, true));
    EXPECT_FALSE(lexer.ApplyLexer("undefined", m_Stc, true, true));   // no lexer: no name to report
    EXPECT_TRUE(log.Records().empty()) << log.Dump();
}
