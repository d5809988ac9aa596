// Records and lexers on a hidden editor control: what reaches the control is
// read back through its own getters, and its own lexer colours a sample.
#include <gtest/gtest.h>

#include <wx/font.h>
#include <wx/frame.h>
#include <wx/settings.h>
#include <wx/stc/stc.h>

#include <qelkit/lexers.h>
#include <qelkit/style.h>

#include "testing.h"

namespace {

using qeltest::XmlElement;

class LexerStcTest : public qeltest::StcTest {
protected:
    void Install()
    {
        qeltest::InstallLexers(m_Temp, R"(<lexers>
  <macro><def no="SCE_C_WORD">5</def><def no="CIRCLE">0</def>
    <themes><theme name="xcode">
      <def style="WORD">fore:#0000FF,bold</def><def style="FONTED">default-font,fore:black</def>
      <def style="RED">red</def>
    </theme></themes>
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
  <lexer name="xml" extensions="*.xml"/><lexer name="nosuchlexer" extensions="*.nsl"/>
</lexers>)");
    }
};

} // namespace

TEST_F(LexerStcTest, RecordsReachTheControl)
{
    Install();
    QelStyle{XmlElement(R"(<style no="3,4">fore:#FF0000,bold,face:Monaco</style>)").Node()}.Apply(
        m_Stc);
    for (int no : {3, 4}) {
        EXPECT_EQ(m_Stc->StyleGetForeground(no), wxColour(255, 0, 0)) << no;
        EXPECT_TRUE(m_Stc->StyleGetBold(no) && m_Stc->StyleGetFaceName(no) == "Monaco") << no;
    }
    EXPECT_FALSE(m_Stc->StyleGetBold(5));

    // Colours by name, by theme macro, blanks around them; unknown ones
    // stay unset and the control keeps its own.
    const QelMarker circle{XmlElement(R"(<marker no="3">CIRCLE,red, #00FF00 </marker>)").Node()};
    EXPECT_EQ(circle.GetForegroundColour(), wxColour(255, 0, 0));
    EXPECT_EQ(circle.GetBackgroundColour(), wxColour(0, 255, 0));
    const QelMarker unset{XmlElement(R"(<marker no="4">12,nosuchcolour,RED</marker>)").Node()};
    EXPECT_FALSE(unset.GetForegroundColour().IsOk());
    EXPECT_EQ(unset.GetBackgroundColour(), wxColour(255, 0, 0));
    m_Stc->MarkerDefine(3, wxSTC_MARK_ARROW);
    circle.Apply(m_Stc);
    unset.Apply(m_Stc);
    EXPECT_EQ(m_Stc->GetMarkerSymbolDefined(3), wxSTC_MARK_CIRCLE);
    EXPECT_EQ(m_Stc->GetMarkerSymbolDefined(4), wxSTC_MARK_BOXPLUS);

    // "under" only as "true"; a colour only when given.
    m_Stc->IndicatorSetForeground(2, wxColour(0, 0, 255));
    for (const char* xml :
         {R"(<indicator no="1">2,red,true</indicator>)",
          R"(<indicator no="3">4,red,TRUE</indicator>)", R"(<indicator no="2">6</indicator>)"})
        QelIndicator{XmlElement(xml).Node()}.Apply(m_Stc);
    EXPECT_EQ(m_Stc->IndicatorGetForeground(1), wxColour(255, 0, 0));
    EXPECT_EQ(m_Stc->IndicatorGetForeground(2), wxColour(0, 0, 255));
    struct Shown {
        int no;
        int style;
        bool under;
    };
    for (const Shown& shown : {Shown{1, 2, true}, Shown{3, 4, false}, Shown{2, 6, false}}) {
        EXPECT_EQ(m_Stc->IndicatorGetStyle(shown.no), shown.style) << shown.no;
        EXPECT_EQ(m_Stc->IndicatorGetUnder(shown.no), shown.under) << shown.no;
    }

    m_Stc->SetLexerLanguage("cpp");
    QelProperty("fold", "1").Apply(m_Stc);
    QelProperty("fold", "").Apply(m_Stc); // invalid: not applied
    EXPECT_EQ(m_Stc->GetProperty("fold"), "1");
    QelProperty("fold", "1").ApplyReset(m_Stc);
    EXPECT_EQ(m_Stc->GetProperty("fold"), "");
}

// Colours the control would assert on are refused while reading, with the
// line; refused records never reach the control.
TEST_F(LexerStcTest, RefusedRecordsNeverReachTheControl)
{
    Install();
    struct Row {
        const char* value;
        bool ok;
    };
    for (const Row& row : {Row{"fore:red", true}, Row{"back:black,bold", true}, Row{"RED", true},
                           Row{"fore:nosuchcolour", false}, Row{"bold,back:notacolour", false}}) {
        SCOPED_TRACE(row.value);
        qeltest::LogCapture log;
        const QelStyle style{
            XmlElement(wxString("\n<style no=\"7\">") + row.value + "</style>").Node()};
        EXPECT_EQ(style.IsOk(), row.ok);
        EXPECT_EQ(log.Has(wxString("Illegal style: ") + row.value + " on line: 2"), !row.ok)
            << log.Dump();
        style.Apply(m_Stc); // an assertion here fails the test
    }

    // No numbers: the default style is reset, not set.
    qeltest::LogCapture log;
    const wxColour before = m_Stc->StyleGetForeground(wxSTC_STYLE_DEFAULT);
    m_Stc->StyleSetForeground(wxSTC_STYLE_DEFAULT, wxColour(0, 0, 255));
    QelStyle{XmlElement(R"(<style no="">bold</style>)").Node()}.Apply(m_Stc);
    EXPECT_EQ(m_Stc->StyleGetForeground(wxSTC_STYLE_DEFAULT), before);

    m_Stc->MarkerDefine(2, wxSTC_MARK_ARROW);
    QelMarker{XmlElement(R"(<marker no="2">40</marker>)").Node()}.Apply(m_Stc);
    EXPECT_EQ(m_Stc->GetMarkerSymbolDefined(2), wxSTC_MARK_ARROW);
    m_Stc->IndicatorSetStyle(4, 1);
    QelIndicator{XmlElement(R"(<indicator no="4">8</indicator>)").Node()}.Apply(m_Stc);
    EXPECT_EQ(m_Stc->IndicatorGetStyle(4), 1);
    EXPECT_EQ(log.Records().size(), 3u) << log.Dump();
}

// Only a theme macro expands "default-font", from the setting or else the
// system's fixed font. The toolkit keeps installed faces only: DejaVu is.
TEST_F(LexerStcTest, DefaultFontExpandsOnlyInThemeMacros)
{
    Install();
    const wxFont system = QelDefaultEditorFont();
    const wxString fonted = R"(<style no="1">FONTED</style>)";
    EXPECT_TRUE(QelStyle{XmlElement(fonted).Node()}.GetValue().StartsWith(wxString::Format(
        "face:%s,size:%d,fore:black", system.GetFaceName(), system.GetPointSize())));

    struct Row {
        wxFont font;
        const char* want;
    };
    const Row rows[] = {
        {wxFont(wxFontInfo(12).FaceName("DejaVu Sans Mono").Bold()),
         "face:DejaVu Sans Mono,size:12,fore:black,bold"},
        {wxFont(wxFontInfo(9).FaceName("DejaVu Serif").Italic().Underlined()),
         "face:DejaVu Serif,size:9,fore:black,italic,underline"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.want);
        wxConfigBase::Get()->Write("Default font", wxToString(row.font));
        const QelStyle style{XmlElement(fonted).Node()};
        EXPECT_EQ(style.GetValue(), row.want);
        style.Apply(m_Stc);
        EXPECT_EQ(m_Stc->StyleGetFaceName(1), row.font.GetFaceName());
        EXPECT_EQ(m_Stc->StyleGetSize(1), row.font.GetPointSize());
    }
    EXPECT_EQ(QelStyle{XmlElement(R"(<style no="1">default-font,bold</style>)").Node()}.GetValue(),
              "default-font,bold");
}

// Keywords go in lower case ("Char" colours "char"); own styles and
// properties win over the global ones. Without a theme no keywords are sent.
TEST_F(LexerStcTest, ApplyLexerColoursWithTheControlsOwnLexer)
{
    Install();
    m_Stc->SetText("int x;\nchar y;\n");
    QelLexer lexer = QelLexers::Get(false)->FindByName("cpp");
    // The name passed is the lexer's own, which the call replaces.
    EXPECT_TRUE(lexer.ApplyLexer(lexer.GetScintillaLexer(), m_Stc, false, true));
    EXPECT_EQ(m_Stc->GetLexer(), wxSTC_LEX_CPP);
    EXPECT_EQ(m_Stc->GetStyleAt(0), wxSTC_C_WORD);
    EXPECT_EQ(m_Stc->GetStyleAt(4), wxSTC_C_IDENTIFIER);
    EXPECT_EQ(m_Stc->GetStyleAt(7), wxSTC_C_WORD);
    EXPECT_EQ(m_Stc->StyleGetForeground(wxSTC_C_WORD), wxColour(0, 0, 255));
    EXPECT_TRUE(m_Stc->StyleGetBold(wxSTC_C_WORD));
    EXPECT_EQ(m_Stc->StyleGetForeground(wxSTC_C_IDENTIFIER), wxColour(128, 128, 128));
    EXPECT_EQ(m_Stc->GetProperty("fold"), "1");
    EXPECT_EQ(m_Stc->GetProperty("fold.comment"), "0");
    EXPECT_EQ(m_Stc->GetMarkerSymbolDefined(1), wxSTC_MARK_CIRCLE);

    wxConfigBase::Get()->Write("theme", "nosuch");
    ASSERT_TRUE(QelLexers::Get(false)->Read());
    EXPECT_TRUE(QelLexer().ApplyLexer("cpp", m_Stc, false, true));
    EXPECT_EQ(m_Stc->GetStyleAt(0), wxSTC_C_IDENTIFIER);
    EXPECT_EQ(m_Stc->GetProperty("fold.comment"), "");
}

// Without a name the lexer is guessed from the first line; a name the control
// does not know is reported when asked, a name without a lexer never.
TEST_F(LexerStcTest, LexerByNameOrFirstLine)
{
    Install();
    struct Row {
        const char* name;
        const char* text;
        bool show;
        bool ok;
        const char* lexer;
        int scintilla;
        const char* message;
    };
    const Row rows[] = {
        {"", "<?xml version=\"1.0\"?>\n<a/>\n", true, true, "xml", wxSTC_LEX_XML, ""},
        {"", "// a comment\nint x;\n", true, true, "cpp", wxSTC_LEX_CPP, ""},
        {"", "#!/bin/sh\n", true, true, "", wxSTC_LEX_NULL,
         ""}, // guessed "bash", which the file lacks
        {"", "plain\n", true, true, "", wxSTC_LEX_NULL, ""},
        {"nosuchlexer", "plain\n", true, false, "nosuchlexer", wxSTC_LEX_NULL,
         "1: Lexer is not known: nosuchlexer\n"},
        {"nosuchlexer", "plain\n", false, false, "nosuchlexer", wxSTC_LEX_NULL, ""},
        {"undefined", "plain\n", true, false, "", wxSTC_LEX_NULL, ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(wxString::Format("%s %s%d", row.name, row.text, row.show));
        m_Stc->SetLexer(wxSTC_LEX_PYTHON);
        m_Stc->SetText(row.text);
        qeltest::LogCapture log;
        QelLexer lexer;
        EXPECT_EQ(lexer.ApplyLexer(row.name, m_Stc, row.show), row.ok);
        EXPECT_EQ(lexer.IsOk(), row.ok);
        EXPECT_EQ(lexer.GetScintillaLexer(), row.lexer);
        EXPECT_EQ(m_Stc->GetLexer(), row.scintilla);
        EXPECT_EQ(log.Dump(), row.message);
    }
}
