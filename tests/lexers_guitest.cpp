// The lexers object on hidden editor controls: global styles, theme colours,
// markers, indicators, properties, the choice dialogs, the shipped
// lexers.xml on the control's own lexers, and mutated copies of it.
#include <gtest/gtest.h>

#include <random>
#include <regex>

#include <wx/choicdlg.h>
#include <wx/frame.h>
#include <wx/listbox.h>
#include <wx/settings.h>
#include <wx/stc/stc.h>
#include <wx/testing.h>

#include <qelkit/lexers.h>

#include "testing.h"

namespace {

const wxString SHIPPED = QEL_SOURCE_DIR "/data/lexers.xml";

const char* const FIXTURE = R"(<lexers>
  <macro>
    <def no="BOX">6</def>
    <themes>
      <theme name="xcode">
        <def style="BLUE">fore:#0000FF</def>
        <colour name="caretforeground">#FF0000</colour>
        <colour name="edge">#00FF00</colour>
        <colour name="selbackground">#0000FF</colour>
        <colour name="0">#123456</colour>
      </theme>
      <theme name="broken">
        <colour name="caretforeground">notacolour</colour>
        <colour name="edge"></colour>
      </theme>
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

// What the choice dialog showed, and how the test answers it.
struct ChoiceSeen
{
    wxString title;
    std::vector<wxString> choices;
    int selection = -2;
};

class ExpectChoice : public wxExpectModalBase<wxSingleChoiceDialog, ExpectChoice>
{
public:
    ExpectChoice(int select, int result, ChoiceSeen* seen)
        : m_Select(select), m_Result(result), m_Seen(seen) {}

protected:
    int OnInvoked(wxSingleChoiceDialog* dialog) const override
    {
        m_Seen->title = dialog->GetTitle();
        m_Seen->selection = dialog->GetSelection();
        for (wxWindow* child : dialog->GetChildren())
            if (auto* list = dynamic_cast<wxListBox*>(child))
                for (const auto& choice : list->GetStrings()) m_Seen->choices.push_back(choice);
        if (m_Select >= 0) dialog->SetSelection(m_Select);
        return m_Result;
    }

private:
    int m_Select;
    int m_Result;
    ChoiceSeen* m_Seen;
};

class LexersStcTest : public qeltest::ConfigTest
{
protected:
    void SetUp() override
    {
        ConfigTest::SetUp();
        m_Frame = new wxFrame(nullptr, wxID_ANY, "lexers test");
        m_Stc = new wxStyledTextCtrl(m_Frame);
    }

    void TearDown() override
    {
        m_Frame->Destroy();
        qeltest::Pump(0);
        ConfigTest::TearDown();
    }

    QelLexers& Install(const wxString& file)
    {
        QelLexers* lexers = new QelLexers(wxFileName(file));
        delete QelLexers::Set(lexers);
        lexers->Read();
        return *lexers;
    }

    QelLexers& InstallText(const std::string& xml)
    {
        qeltest::WriteBytes(m_Temp.File("lexers.xml"), xml);
        return Install(m_Temp.File("lexers.xml"));
    }

    wxFrame* m_Frame = nullptr;
    wxStyledTextCtrl* m_Stc = nullptr;
};

} // namespace

TEST_F(LexersStcTest, GlobalStylesAndThemeColours)
{
    QelLexers& lexers = InstallText(FIXTURE);
    lexers.ApplyGlobalStyles(m_Stc);

    // The default style reaches every style through StyleClearAll.
    EXPECT_EQ(m_Stc->StyleGetForeground(wxSTC_STYLE_DEFAULT), wxColour(0, 0, 255));
    EXPECT_EQ(m_Stc->StyleGetForeground(5), wxColour(0, 0, 255));
    EXPECT_EQ(m_Stc->StyleGetForeground(wxSTC_STYLE_LINENUMBER), wxColour(0, 255, 0));
    EXPECT_EQ(m_Stc->GetCaretForeground(), wxColour(255, 0, 0));
    EXPECT_EQ(m_Stc->GetEdgeColour(), wxColour(0, 255, 0));
    EXPECT_EQ(m_Stc->IndicatorGetStyle(2), 3);
    EXPECT_EQ(m_Stc->IndicatorGetForeground(2), wxColour(255, 0, 0));
    EXPECT_TRUE(m_Stc->IndicatorGetUnder(2));
}

TEST_F(LexersStcTest, NoThemeGivesTheFirstControlsColoursBack)
{
    const wxColour own = m_Stc->GetCaretForeground();
    // A grey that the toolkit calls "light grey" and GTK reads as another.
    m_Stc->SetEdgeColour(wxColour(192, 192, 192));
    const wxColour ownEdge = m_Stc->GetEdgeColour();
    QelLexers& lexers = InstallText(FIXTURE);
    lexers.ApplyGlobalStyles(m_Stc);
    ASSERT_EQ(m_Stc->GetCaretForeground(), wxColour(255, 0, 0));

    // A second control: its own colours are not recorded again.
    auto* second = new wxStyledTextCtrl(m_Frame);
    second->SetCaretForeground(wxColour(0, 0, 255));
    lexers.ApplyGlobalStyles(second);
    EXPECT_EQ(second->GetCaretForeground(), wxColour(255, 0, 0));

    wxConfigBase::Get()->Write("theme", "nosuch");
    ASSERT_TRUE(lexers.Read());
    lexers.ApplyGlobalStyles(second);
    lexers.ApplyGlobalStyles(m_Stc);
    EXPECT_EQ(second->GetCaretForeground(), own);
    EXPECT_EQ(m_Stc->GetCaretForeground(), own);
    EXPECT_EQ(m_Stc->GetEdgeColour(), ownEdge);
    // Without a theme the global element was not read.
    EXPECT_FALSE(lexers.MarkerIsLoaded(QelMarker(1)));
}

TEST_F(LexersStcTest, ThemeColoursThatAreNoColoursAreSkipped)
{
    wxConfigBase::Get()->Write("theme", "broken");
    QelLexers& lexers = InstallText(FIXTURE);
    m_Stc->SetCaretForeground(wxColour(1, 2, 3));
    m_Stc->SetEdgeColour(wxColour(4, 5, 6));
    qeltest::ExpectAsserts asserts;
    lexers.ApplyGlobalStyles(m_Stc);
    EXPECT_EQ(asserts.Count(), 0);
    EXPECT_EQ(m_Stc->GetCaretForeground(), wxColour(1, 2, 3));
    EXPECT_EQ(m_Stc->GetEdgeColour(), wxColour(4, 5, 6));
}

TEST_F(LexersStcTest, MarkersPropertiesAndHexStyles)
{
    const QelLexers& lexers = InstallText(FIXTURE);
    m_Stc->SetLexerLanguage("cpp");
    lexers.ApplyMarkers(m_Stc);
    lexers.ApplyProperties(m_Stc);
    lexers.ApplyHexStyles(m_Stc);
    EXPECT_EQ(m_Stc->GetMarkerSymbolDefined(1), wxSTC_MARK_ARROWDOWN);   // the macro BOX, 6
    EXPECT_EQ(m_Stc->GetMarkerSymbolDefined(5), wxSTC_MARK_ARROW);
    EXPECT_EQ(m_Stc->GetProperty("fold"), "1");
    EXPECT_EQ(m_Stc->StyleGetForeground(wxSTC_STYLE_BRACELIGHT), wxColour(255, 0, 255));
}

TEST_F(LexersStcTest, LexerDialog)
{
    const QelLexers& lexers = InstallText(FIXTURE);
    struct Case { const char* name; const char* lexer; int select; int result; bool ok; const char* want; int preselected; };
    const Case cases[] = {
        {"EmptyEntryMeansNoLexer", "cpp", 2, wxID_OK, true, "", 0},
        {"PickPython", "", 1, wxID_OK, true, "python", 2},
        {"CancelKeepsTheLexer", "python", 0, wxID_CANCEL, false, "python", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        wxString lexer = c.lexer;
        ChoiceSeen seen;
        bool ok = !c.ok;
        seen.choices.clear();
        wxTEST_DIALOG(ok = lexers.ShowDialog(m_Frame, lexer, "Enter Lexer"),
                      ExpectChoice(c.select, c.result, &seen));
        EXPECT_EQ(ok, c.ok);
        EXPECT_EQ(lexer, c.want);
        EXPECT_EQ(seen.title, "Enter Lexer");
        EXPECT_EQ(seen.choices, (std::vector<wxString>{"cpp", "python", ""}));
        EXPECT_EQ(seen.selection, c.preselected);
    }
    // A lexer that is no choice preselects nothing: the dialog keeps its own
    // first row.
    wxString lexer = "nosuch";
    ChoiceSeen seen;
    wxTEST_DIALOG(lexers.ShowDialog(m_Frame, lexer, "Enter Lexer"), ExpectChoice(-1, wxID_CANCEL, &seen));
    EXPECT_EQ(lexer, "nosuch");
    EXPECT_EQ(seen.selection, 0);
}

TEST_F(LexersStcTest, ThemeDialogBeforeAnyReadShowsNothing)
{
    QelLexers lexers(wxFileName(m_Temp.File("missing.xml")));
    // A hook without expectations: any dialog shown fails the test.
    wxTestingModalHook hook(__FILE__, __LINE__, __func__);
    EXPECT_FALSE(lexers.ShowThemeDialog(m_Frame, "Enter Theme"));
    hook.CheckUnmetExpectations();
}

TEST_F(LexersStcTest, ThemeDialogStoresTheThemeAndReads)
{
    QelLexers& lexers = InstallText(FIXTURE);
    ChoiceSeen seen;
    bool ok = false;
    wxTEST_DIALOG(ok = lexers.ShowThemeDialog(m_Frame, "Enter Theme"), ExpectChoice(1, wxID_OK, &seen));
    EXPECT_TRUE(ok);
    EXPECT_EQ(seen.choices, (std::vector<wxString>{"", "broken", "xcode"}));
    EXPECT_EQ(seen.selection, 2);   // the theme in effect
    EXPECT_EQ(seen.title, "Enter Theme");
    EXPECT_EQ(wxConfigBase::Get()->Read("theme"), "broken");
    EXPECT_EQ(lexers.GetTheme(), "broken");
    EXPECT_TRUE(lexers.GetThemeMacros().empty());    // all read again for "broken"

    wxTEST_DIALOG(ok = lexers.ShowThemeDialog(m_Frame, "Enter Theme"), ExpectChoice(0, wxID_CANCEL, &seen));
    EXPECT_FALSE(ok);
    EXPECT_EQ(wxConfigBase::Get()->Read("theme"), "broken");
}

TEST_F(LexersStcTest, ShippedLexersAreKnownToTheControl)
{
    qeltest::LogCapture log;
    const QelLexers& lexers = Install(SHIPPED);
    EXPECT_TRUE(log.Records().empty()) << log.Dump();
    for (const auto& entry : lexers.GetLexers()) {
        SCOPED_TRACE(entry.first);
        QelLexer lexer;
        EXPECT_TRUE(lexer.ApplyLexer(entry.first, m_Stc));
        EXPECT_NE(m_Stc->GetLexer(), wxSTC_LEX_NULL);
        EXPECT_EQ(m_Stc->GetLexerLanguage(), entry.first);
    }
    EXPECT_TRUE(log.Records().empty()) << log.Dump();
}

TEST_F(LexersStcTest, ShippedLexersColourSamples)
{
    wxConfigBase::Get()->Write("Default font",
        wxToString(wxFont(wxFontInfo(11).FaceName("DejaVu Sans Mono"))));
    Install(SHIPPED);
    struct Sample { const char* lexer; const char* text; int pos; int style; };
    const Sample samples[] = {
        {"cpp", "int x; // c", 0, wxSTC_C_WORD},
        {"cpp", "int x; // c", 7, wxSTC_C_COMMENTLINE},
        {"cpp", "class A extends B {}", 8, wxSTC_C_WORD},       // Java
        {"cpp", "function f() { return 1; }", 0, wxSTC_C_WORD},  // JavaScript
        {"python", "def f(): pass", 0, wxSTC_P_WORD},
        {"python", "# c", 0, wxSTC_P_COMMENTLINE},
        {"bash", "if true; then echo; fi", 0, wxSTC_SH_WORD},
        {"makefile", "# c\nall: x\n", 0, wxSTC_MAKE_COMMENT},
        {"cmake", "project(x)", 0, wxSTC_CMAKE_COMMANDS},
        {"xml", "<a b=\"c\"/>", 1, wxSTC_H_TAG},
        {"hypertext", "<html><body>", 1, wxSTC_H_TAG},
        {"css", "a { color: red; }", 0, wxSTC_CSS_TAG},
        {"sql", "select x from y", 0, wxSTC_SQL_WORD},
        {"perl", "my $x = 1;", 0, wxSTC_PL_WORD},
        {"ruby", "def x; end", 0, wxSTC_RB_WORD},
        {"lua", "local x = 1", 0, wxSTC_LUA_WORD},
        {"pascal", "begin end.", 0, wxSTC_PAS_WORD},
        {"fortran", "program x", 0, wxSTC_F_WORD},
        {"ada", "begin null; end;", 0, wxSTC_ADA_WORD},
        {"latex", "\\begin{x}", 0, wxSTC_L_COMMAND},
        {"diff", "+added\n", 0, wxSTC_DIFF_ADDED},
        {"props", "[section]\n", 0, wxSTC_PROPS_SECTION},
        {"batch", "rem x\n", 0, wxSTC_BAT_COMMENT},
        {"yaml", "# c\n", 0, wxSTC_YAML_COMMENT},
        {"markdown", "# Title\n", 0, wxSTC_MARKDOWN_HEADER1},
        {"tcl", "set x 1", 0, wxSTC_TCL_WORD},
        {"lisp", "(defun f ())", 1, wxSTC_LISP_KEYWORD},
    };
    for (const auto& s : samples) {
        SCOPED_TRACE(wxString(s.lexer) + ": " + s.text);
        m_Stc->SetText(s.text);
        QelLexer lexer;
        ASSERT_TRUE(lexer.ApplyLexer(s.lexer, m_Stc));
        EXPECT_EQ(m_Stc->GetStyleAt(s.pos), s.style);
    }

    // The theme reached the control: xcode's keywords and default font.
    m_Stc->SetText("int x;");
    QelLexer cpp;
    ASSERT_TRUE(cpp.ApplyLexer("cpp", m_Stc));
    EXPECT_EQ(m_Stc->StyleGetForeground(wxSTC_C_WORD), wxColour("#AA0D91"));
    EXPECT_TRUE(m_Stc->StyleGetBold(wxSTC_C_WORD));
    EXPECT_EQ(m_Stc->StyleGetFaceName(wxSTC_STYLE_DEFAULT), "DejaVu Sans Mono");
    EXPECT_EQ(m_Stc->StyleGetSize(wxSTC_STYLE_DEFAULT), 11);
    EXPECT_EQ(m_Stc->StyleGetFaceName(wxSTC_C_WORD), "DejaVu Sans Mono");
    EXPECT_EQ(m_Stc->GetProperty("fold"), "1");
    EXPECT_EQ(m_Stc->GetMarkerSymbolDefined(1), wxSTC_MARK_LEFTRECT);
    EXPECT_EQ(m_Stc->GetMarkerSymbolDefined(wxSTC_MARKNUM_FOLDER), wxSTC_MARK_BOXPLUS);
}

TEST_F(LexersStcTest, ShippedDarkTheme)
{
    wxConfigBase::Get()->Write("theme", "dark");
    qeltest::LogCapture log;
    Install(SHIPPED);
    m_Stc->SetText("int x;");
    QelLexer cpp;
    ASSERT_TRUE(cpp.ApplyLexer("cpp", m_Stc));
    EXPECT_TRUE(log.Records().empty()) << log.Dump();
    EXPECT_EQ(m_Stc->StyleGetBackground(wxSTC_STYLE_DEFAULT), wxColour("#1E1E1E"));
    EXPECT_EQ(m_Stc->StyleGetBackground(wxSTC_C_WORD), wxColour("#1E1E1E"));
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
    static const char* const numbers[] = {"-1", "256", "32", "8", "40", "99999999999", "", "x", "+3"};
    static const char* const colours[] = {"#12", "", "nosuchcolour", "#GGGGGG", "red", "#1234567"};

    auto pick = [&](const std::regex& re) -> std::smatch {
        std::vector<std::smatch> all;
        for (auto it = std::sregex_iterator(text.begin(), text.end(), re); it != std::sregex_iterator(); ++it)
            all.push_back(*it);
        return all.empty() ? std::smatch() : all[rng() % all.size()];
    };
    auto replace = [&](const std::smatch& m, size_t group, const std::string& with) {
        if (m.empty()) return text;
        std::string out = text;
        out.replace(size_t(m.position(group)), size_t(m.length(group)), with);
        return out;
    };

    switch (rng() % 6) {
    case 0: return replace(pick(attribute), 0, "");
    case 1: return replace(pick(number), 2, numbers[rng() % std::size(numbers)]);
    case 2: return replace(pick(colour), 0, colours[rng() % std::size(colours)]);
    case 3: return replace(pick(content), 0, "><");
    case 4: return replace(pick(closing), 0, "");
    default: return text.substr(0, rng() % text.size());
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
        QelLexers& lexers = Install(file);
        const bool wellFormed = qeltest::Run("xmllint --noout " + qeltest::ShellQuote(file) +
                                             " 2>/dev/null && echo ok") == "ok\n";
        if (!wellFormed) {
            ++malformed;
            EXPECT_TRUE(log.Has("Lexers file could not be loaded: " + file)) << i;
            EXPECT_EQ(lexers.Count(), 0u) << i;
        }
        // Whatever was read is applied; the assertion handler fails the test
        // at the first toolkit assertion.
        for (const wxString name : {"cpp", "python", "hypertext", ""}) {
            QelLexer lexer;
            lexer.ApplyLexer(name, m_Stc, true, true);
        }
        lexers.ApplyHexStyles(m_Stc);
        lexers.ApplyMarkers(m_Stc);
        // The generator is seeded: the number names the mutation again.
        if (HasFailure()) FAIL() << "mutation " << i;
    }
    EXPECT_GT(malformed, 10);
}
