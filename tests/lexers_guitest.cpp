// Records, lexers and the lexers object on hidden editor controls: what
// reaches the control is read back through its own getters, and its own lexer
// colours samples. Global styles, theme colours, the choice dialogs, the
// shipped lexers.xml, and mutated copies of it.
#include <gtest/gtest.h>

#include <list>
#include <random>
#include <regex>
#include <tuple>

#include <wx/choicdlg.h>
#include <wx/font.h>
#include <wx/frame.h>
#include <wx/listbox.h>
#include <wx/settings.h>
#include <wx/stc/stc.h>
#include <wx/testing.h>

#include <qelkit/lexers.h>
#include <qelkit/style.h>

#include "testing.h"

namespace {

using qeltest::XmlElement;

const wxString SHIPPED = QEL_SOURCE_DIR "/data/lexers.xml";

const char* const FIXTURE = R"(<lexers>
  <macro><def no="BOX">6</def>
    <themes>
      <theme name="xcode"><def style="BLUE">fore:#0000FF</def>
        <colour name="caretforeground">#FF0000</colour><colour name="edge">#00FF00</colour>
        <colour name="selbackground">#0000FF</colour><colour name="0">#123456</colour>
      </theme>
      <theme name="broken"><colour name="caretforeground">notacolour</colour><colour name="edge"/></theme>
    </themes>
  </macro>
  <global>
    <style no="32">BLUE</style>
    <style no="33">fore:#00FF00</style>
    <hex no="34">fore:#FF00FF</hex>
    <marker no="1">BOX,#000000,#FF8C00</marker>
    <marker no="5">2</marker>
    <indicator no="2">3,#FF0000,true</indicator>
    <properties><property name="fold">1</property></properties>
  </global>
  <lexer name="cpp" extensions="*.cpp"/>
  <lexer name="python" extensions="*.py"/>
</lexers>
)";

// Notes what the dialog shows as "title {[choice]...} at preselected row",
// selects `select` (none for -1) and ends the dialog with `result`.
class ExpectChoice : public wxExpectModalBase<wxSingleChoiceDialog, ExpectChoice> {
public:
    ExpectChoice(int select, int result, std::string* seen)
        : m_Select(select)
        , m_Result(result)
        , m_Seen(seen)
    { }

protected:
    int OnInvoked(wxSingleChoiceDialog* dialog) const override
    {
        wxArrayString strings;
        for (wxWindow* child : dialog->GetChildren())
            if (auto* list = dynamic_cast<wxListBox*>(child)) strings = list->GetStrings();
        const std::list<wxString> choices(strings.begin(), strings.end());
        *m_Seen = dialog->GetTitle().utf8_string() + " " + qeltest::ShowList(choices) + " at "
            + std::to_string(dialog->GetSelection());
        if (m_Select >= 0) dialog->SetSelection(m_Select);
        return m_Result;
    }

private:
    int m_Select, m_Result;
    std::string* m_Seen;
};

// The control's caret and edge colours.
std::string CaretAndEdge(const wxStyledTextCtrl* stc)
{
    return (stc->GetCaretForeground().GetAsString(wxC2S_HTML_SYNTAX) + " "
            + stc->GetEdgeColour().GetAsString(wxC2S_HTML_SYNTAX))
        .utf8_string();
}

class LexersStcTest : public qeltest::StcTest {
protected:
    QelLexers& InstallFixture() { return qeltest::InstallLexers(m_Temp, FIXTURE); }

    // What `show` returned, its dialog answered as ExpectChoice does.
    template <typename Show> bool Answer(Show show, int select, int result, std::string* seen)
    {
        bool ok = false;
        wxTEST_DIALOG(ok = show(), ExpectChoice(select, result, seen));
        return ok;
    }
};

} // namespace

// The global element and the theme's colours reach the control. Without a
// theme the first control's own colours come back, to every control; theme
// colours that are no colours are skipped, not sent.
TEST_F(LexersStcTest, GlobalRecordsAndThemeColours)
{
    // A grey that the toolkit calls "light grey" and GTK reads as another.
    m_Stc->SetEdgeColour(wxColour(192, 192, 192));
    const std::string own = CaretAndEdge(m_Stc);
    QelLexers& lexers = InstallFixture();
    m_Stc->SetLexerLanguage("cpp");
    lexers.ApplyGlobalStyles(m_Stc);
    lexers.ApplyMarkers(m_Stc);
    lexers.ApplyProperties(m_Stc);
    lexers.ApplyHexStyles(m_Stc);
    // The default style reaches every style through StyleClearAll.
    for (int no : {wxSTC_STYLE_DEFAULT, 5})
        EXPECT_EQ(m_Stc->StyleGetForeground(no), wxColour(0, 0, 255)) << no;
    EXPECT_EQ(m_Stc->StyleGetForeground(wxSTC_STYLE_LINENUMBER), wxColour(0, 255, 0));
    EXPECT_EQ(m_Stc->StyleGetForeground(wxSTC_STYLE_BRACELIGHT), wxColour(255, 0, 255));
    EXPECT_EQ(m_Stc->IndicatorGetStyle(2), 3);
    EXPECT_EQ(m_Stc->GetMarkerSymbolDefined(1), wxSTC_MARK_ARROWDOWN); // the macro BOX, 6
    EXPECT_EQ(m_Stc->GetProperty("fold"), "1");
    auto* second = new wxStyledTextCtrl(m_Frame); // its own colours are not taken
    second->SetCaretForeground(wxColour(0, 0, 255));
    lexers.ApplyGlobalStyles(second);
    EXPECT_EQ(CaretAndEdge(m_Stc) + " " + CaretAndEdge(second), "#FF0000 #00FF00 #FF0000 #00FF00");

    wxConfigBase::Get()->Write("theme", "nosuch");
    ASSERT_TRUE(lexers.Read());
    lexers.ApplyGlobalStyles(second);
    lexers.ApplyGlobalStyles(m_Stc);
    EXPECT_EQ(CaretAndEdge(m_Stc) + " " + CaretAndEdge(second), own + " " + own);

    wxConfigBase::Get()->Write("theme", "broken");
    ASSERT_TRUE(lexers.Read());
    m_Stc->SetCaretForeground(wxColour(1, 2, 3));
    const std::string before = CaretAndEdge(m_Stc);
    qeltest::ExpectAsserts asserts;
    lexers.ApplyGlobalStyles(m_Stc);
    EXPECT_EQ(asserts.Count(), 0);
    EXPECT_EQ(CaretAndEdge(m_Stc), before);
}

// The chosen entry is read by its index: the toolkit keeps the chosen text
// only when its own OK button ends the dialog.
TEST_F(LexersStcTest, ChoiceDialogs)
{
    {
        // Nothing read yet: no theme dialog (a hook without expectations fails on one).
        QelLexers unread(wxFileName(m_Temp.File("missing.xml")));
        wxTestingModalHook hook(__FILE__, __LINE__, __func__);
        EXPECT_FALSE(unread.ShowThemeDialog(m_Frame, "Enter Theme"));
        hook.CheckUnmetExpectations();
    }
    QelLexers& lexers = InstallFixture();
    std::string seen;
    struct Row {
        const char* lexer;
        int select;
        int result;
        bool ok;
        const char* want;
        int preselected;
    };
    for (const Row& row :
         {Row{"cpp", 2, wxID_OK, true, "", 0}, // the empty entry: no lexer
          Row{"", 1, wxID_OK, true, "python", 2}, Row{"python", 0, wxID_CANCEL, false, "python", 1},
          Row{"nosuch", -1, wxID_CANCEL, false, "nosuch", 0}}) { // no choice: first row
        SCOPED_TRACE(row.lexer);
        wxString lexer = row.lexer;
        EXPECT_EQ(Answer([&] { return lexers.ShowDialog(m_Frame, lexer, "Enter Lexer"); },
                         row.select, row.result, &seen),
                  row.ok);
        EXPECT_EQ(lexer, row.want);
        EXPECT_EQ(seen, "Enter Lexer {[cpp][python][]} at " + std::to_string(row.preselected));
    }

    // The theme dialog stores the choice and reads the file again.
    auto show = [&] { return lexers.ShowThemeDialog(m_Frame, "Enter Theme"); };
    EXPECT_TRUE(Answer(show, 1, wxID_OK, &seen));
    EXPECT_EQ(seen, "Enter Theme {[][broken][xcode]} at 2"); // the theme in effect
    EXPECT_EQ(wxConfigBase::Get()->Read("theme"), "broken");
    EXPECT_EQ(lexers.GetTheme(), "broken");
    EXPECT_TRUE(lexers.GetThemeMacros().empty()); // all read again for "broken"

    EXPECT_FALSE(Answer(show, 0, wxID_CANCEL, &seen));
    EXPECT_EQ(wxConfigBase::Get()->Read("theme"), "broken");
}

// Every shipped lexer is known to the control, whose own lexers colour
// samples with the shipped file's settings.
TEST_F(LexersStcTest, ShippedLexersColourSamples)
{
    wxConfigBase::Get()->Write("Default font",
                               wxToString(wxFont(wxFontInfo(11).FaceName("DejaVu Sans Mono"))));
    qeltest::LogCapture log;
    for (const auto& entry : qeltest::InstallLexers(SHIPPED).GetLexers()) {
        EXPECT_TRUE(QelLexer().ApplyLexer(entry.first, m_Stc)) << entry.first;
        EXPECT_EQ(m_Stc->GetLexerLanguage(), entry.first);
    }
    EXPECT_TRUE(log.Records().empty()) << log.Dump();

    struct Sample {
        const char* lexer;
        const char* text;
        int pos;
        int style;
    };
    // The shipped keyword sets reach the control; cpp's hold Java and
    // JavaScript keywords too.
    const Sample samples[] = {
        {"cpp", "class A extends B {}", 8, wxSTC_C_WORD},
        {"cpp", "function f() { return 1; }", 0, wxSTC_C_WORD},
        {"python", "def f(): pass", 0, wxSTC_P_WORD},
        {"bash", "if true; then echo; fi", 0, wxSTC_SH_WORD},
        {"cmake", "project(x)", 0, wxSTC_CMAKE_COMMANDS},
        {"css", "a { color: red; }", 0, wxSTC_CSS_TAG},
        {"sql", "select x from y", 0, wxSTC_SQL_WORD},
        {"perl", "my $x = 1;", 0, wxSTC_PL_WORD},
        {"ruby", "def x; end", 0, wxSTC_RB_WORD},
        {"lua", "local x = 1", 0, wxSTC_LUA_WORD},
        {"pascal", "begin end.", 0, wxSTC_PAS_WORD},
        {"fortran", "program x", 0, wxSTC_F_WORD},
        {"ada", "begin null; end;", 0, wxSTC_ADA_WORD},
        {"tcl", "set x 1", 0, wxSTC_TCL_WORD},
        {"lisp", "(defun f ())", 1, wxSTC_LISP_KEYWORD},
    };
    for (const Sample& s : samples) {
        SCOPED_TRACE(wxString(s.lexer) + ": " + s.text);
        m_Stc->SetText(s.text);
        ASSERT_TRUE(QelLexer().ApplyLexer(s.lexer, m_Stc));
        EXPECT_EQ(m_Stc->GetStyleAt(s.pos), s.style);
    }

    // The themes reached the control: keywords, default font, markers.
    m_Stc->SetText("int x;");
    ASSERT_TRUE(QelLexer().ApplyLexer("cpp", m_Stc));
    EXPECT_EQ(m_Stc->StyleGetForeground(wxSTC_C_WORD), wxColour("#AA0D91"));
    EXPECT_TRUE(m_Stc->StyleGetBold(wxSTC_C_WORD));
    EXPECT_EQ(m_Stc->StyleGetFaceName(wxSTC_C_WORD), "DejaVu Sans Mono");
    EXPECT_EQ(m_Stc->StyleGetSize(wxSTC_STYLE_DEFAULT), 11);

    wxConfigBase::Get()->Write("theme", "dark");
    ASSERT_TRUE(QelLexers::Get(false)->Read());
    ASSERT_TRUE(QelLexer().ApplyLexer("cpp", m_Stc));
    EXPECT_EQ(m_Stc->StyleGetForeground(wxSTC_C_WORD), wxColour("#569CD6"));
    EXPECT_EQ(m_Stc->GetCaretForeground(), wxColour("#AEAFAD"));
}

namespace {

// One random change of the kinds a user's edit or a broken copy makes.
std::string Mutate(const std::string& text, std::mt19937& rng)
{
    static const std::regex attribute(R"( [a-z0-9]+="[^"]*")");
    static const std::regex number(R"(("|>)(-?[0-9]+)("|<))");
    static const std::regex colour(R"(#[0-9A-F]{6})");
    static const std::regex content(R"(>[^<>]+<)");
    static const std::regex closing(R"(</[a-z]+>)");
    static const char* const numbers[]
        = {"-1", "256", "32", "8", "40", "99999999999", "", "x", "+3"};
    static const char* const colours[] = {"#12", "", "nosuchcolour", "#GGGGGG", "red", "#1234567"};

    // Replaces group `group` of one match of `re`, picked at random.
    auto change = [&](const std::regex& re, size_t group, const std::string& with) {
        const std::vector<std::smatch> all(std::sregex_iterator(text.begin(), text.end(), re),
                                           std::sregex_iterator());
        if (all.empty()) return text;
        const std::smatch& m = all[rng() % all.size()];
        return std::string(text).replace(size_t(m.position(group)), size_t(m.length(group)), with);
    };
    switch (rng() % 6) {
    case 0:
        return change(attribute, 0, "");
    case 1:
        return change(number, 2, numbers[rng() % std::size(numbers)]);
    case 2:
        return change(colour, 0, colours[rng() % std::size(colours)]);
    case 3:
        return change(content, 0, "><");
    case 4:
        return change(closing, 0, "");
    default:
        return text.substr(0, rng() % text.size());
    }
}

} // namespace

TEST_F(LexersStcTest, MutatedShippedFilesNeverAssert)
{
    const std::string original = qeltest::ReadBytes(SHIPPED);
    ASSERT_FALSE(original.empty());
    std::mt19937 rng(20240607);
    const wxString file = m_Temp.File("lexers.xml");
    m_Stc->SetText("int main() { return 0; } // x\n#!/bin/sh\n");
    int malformed = 0;

    for (int i = 0; i < 300; ++i) {
        std::string text = original;
        for (unsigned n = 1 + rng() % 3; n > 0; --n) text = Mutate(text, rng);
        ASSERT_TRUE(qeltest::WriteBytes(file, text));

        qeltest::LogCapture log;
        QelLexers& lexers = qeltest::InstallLexers(file);
        const bool wellFormed = qeltest::Run("xmllint --noout " + qeltest::ShellQuote(file)
                                             + " 2>/dev/null && echo ok")
            == "ok\n";
        if (!wellFormed) {
            ++malformed;
            EXPECT_TRUE(log.Has("Lexers file could not be loaded: " + file)) << i;
            EXPECT_EQ(lexers.Count(), 0u) << i;
        }
        // Whatever was read is applied; the assertion handler fails the test
        // at the first toolkit assertion.
        for (const char* name : {"cpp", "python", "hypertext", ""})
            QelLexer().ApplyLexer(name, m_Stc);
        lexers.ApplyHexStyles(m_Stc);
        lexers.ApplyMarkers(m_Stc);
        // The generator is seeded: the number names the mutation again.
        if (HasFailure()) FAIL() << "mutation " << i;
    }
    EXPECT_GT(malformed, 10);
}

namespace {

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
    for (int no : {3, 4, 5})
        EXPECT_EQ(m_Stc->StyleGetBold(no) && m_Stc->StyleGetFaceName(no) == "Monaco"
                      && m_Stc->StyleGetForeground(no) == wxColour(255, 0, 0),
                  no != 5)
            << no;

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
    EXPECT_EQ(m_Stc->IndicatorGetForeground(2), wxColour(0, 0, 255));
    for (const auto& [no, style, under] :
         {std::tuple{1, 2, true}, std::tuple{3, 4, false}, std::tuple{2, 6, false}}) {
        EXPECT_EQ(m_Stc->IndicatorGetStyle(no), style) << no;
        EXPECT_EQ(m_Stc->IndicatorGetUnder(no), under) << no;
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
    EXPECT_TRUE(m_Stc->StyleGetBold(wxSTC_C_WORD));
    EXPECT_EQ(m_Stc->StyleGetForeground(wxSTC_C_IDENTIFIER), wxColour(128, 128, 128));
    EXPECT_EQ(m_Stc->GetProperty("fold") + m_Stc->GetProperty("fold.comment"), "10");
    EXPECT_EQ(m_Stc->GetMarkerSymbolDefined(1), wxSTC_MARK_CIRCLE);

    wxConfigBase::Get()->Write("theme", "nosuch");
    ASSERT_TRUE(QelLexers::Get(false)->Read());
    EXPECT_TRUE(QelLexer().ApplyLexer("cpp", m_Stc, false, true));
    EXPECT_EQ(m_Stc->GetStyleAt(0), wxSTC_C_IDENTIFIER);
    EXPECT_EQ(m_Stc->GetProperty("fold.comment"), "");
}

// Applying with clear shows every line again, whether folded by the lexer's
// levels or hidden on text never styled, and the text is styled anew.
TEST_F(LexerStcTest, ApplyLexerWithClearShowsAllLines)
{
    Install();
    const struct {
        const char* name;
        bool style_first;
    } rows[] = {{"styled and folded", true}, {"never styled, lines hidden", false}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        m_Stc->SetText("int f()\n{\n    return 0;\n}\n");
        ASSERT_EQ(m_Stc->GetEndStyled(), 0);
        if (row.style_first) {
            ASSERT_TRUE(QelLexer().ApplyLexer("cpp", m_Stc, false, true));
            m_Stc->Colourise(0, -1);
            m_Stc->ToggleFold(1);
        } else {
            m_Stc->HideLines(2, 3);
        }
        ASSERT_FALSE(m_Stc->GetAllLinesVisible());
        EXPECT_TRUE(QelLexer().ApplyLexer("cpp", m_Stc, false, true));
        EXPECT_TRUE(m_Stc->GetAllLinesVisible());
        EXPECT_EQ(m_Stc->GetStyleAt(0), wxSTC_C_WORD);
    }
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
