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
  <macro><def no="BOX">6</def><def no="SCE_C_WORD">5</def><themes>
    <theme name="xcode"><def style="BLUE">fore:#0000FF</def><def style="WORD">fore:#0000FF,bold</def>
      <def style="FONTED">default-font,fore:black</def><def style="RED">red</def>
      <colour name="caretforeground">#FF0000</colour><colour name="edge">#00FF00</colour>
      <colour name="selbackground">#0000FF</colour><colour name="0">#123456</colour></theme>
    <theme name="broken"><colour name="caretforeground">notacolour</colour><colour name="edge"/></theme>
  </themes></macro>
  <global><style no="32">BLUE</style><hex no="34">fore:#FF00FF</hex>
    <marker no="1">BOX,#000000,#FF8C00</marker>
    <properties><property name="fold">1</property><property name="fold.comment">1</property></properties>
  </global>
  <lexer name="cpp" extensions="*.cpp" match="SCE_C_"><keywords>int Char</keywords>
    <properties><property name="fold.comment">0</property></properties>
    <styles><style no="11">fore:#808080</style></styles></lexer>
  <lexer name="nosuchlexer" extensions="*.nsl"/><lexer name="xml" extensions="*.xml"/>
</lexers>
)";

// Notes what the dialog shows as "title {[choice]...} at preselected row",
// selects `select` (none for -1) and ends the dialog with `result`.
qeltest::ExpectAnswer<wxSingleChoiceDialog> Choose(int select, int result, std::string* seen)
{
    return qeltest::ExpectAnswer<wxSingleChoiceDialog>(
        [=](wxSingleChoiceDialog* dialog) {
            wxArrayString strings;
            for (wxWindow* child : dialog->GetChildren())
                if (auto* list = dynamic_cast<wxListBox*>(child)) strings = list->GetStrings();
            *seen = dialog->GetTitle().utf8_string() + " "
                + qeltest::ShowList({strings.begin(), strings.end()}) + " at "
                + std::to_string(dialog->GetSelection());
            if (select >= 0) dialog->SetSelection(select);
        },
        result);
}

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
    lexers.ApplyHexStyles(m_Stc);
    // The default style reaches every style through StyleClearAll.
    EXPECT_EQ(m_Stc->StyleGetForeground(5), wxColour(0, 0, 255));
    EXPECT_EQ(m_Stc->StyleGetForeground(wxSTC_STYLE_BRACELIGHT), wxColour(255, 0, 255));
    EXPECT_EQ(m_Stc->GetMarkerSymbolDefined(1), wxSTC_MARK_ARROWDOWN); // the macro BOX, 6
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
    QelLexers& lexers = InstallFixture();
    std::string seen;
    // The lexer, the row chosen, the button, the result, the lexer after, the row preselected.
    using Row = std::tuple<const char*, int, int, bool, const char*, int>;
    for (const auto& [name, select, button, ok, want, preselected] :
         {Row{"cpp", 3, wxID_OK, true, "", 0}, Row{"xml", 0, wxID_CANCEL, false, "xml", 2},
          Row{"nosuch", -1, wxID_CANCEL, false, "nosuch", 0}}) {
        SCOPED_TRACE(name);
        wxString lexer = name;
        bool got = false;
        wxTEST_DIALOG(got = lexers.ShowDialog(m_Frame, lexer, "Enter Lexer"),
                      Choose(select, button, &seen));
        EXPECT_EQ(got, ok);
        EXPECT_EQ(lexer, want);
        EXPECT_EQ(seen,
                  "Enter Lexer {[cpp][nosuchlexer][xml][]} at " + std::to_string(preselected));
    }

    // The theme dialog stores the choice and reads the file again.
    bool got = false;
    wxTEST_DIALOG(got = lexers.ShowThemeDialog(m_Frame, "Enter Theme"), Choose(1, wxID_OK, &seen));
    EXPECT_TRUE(got);
    EXPECT_EQ(seen, "Enter Theme {[][broken][xcode]} at 2"); // the theme in effect
    EXPECT_EQ(wxConfigBase::Get()->Read("theme"), "broken");
    EXPECT_TRUE(lexers.GetThemeMacros().empty()); // all read again for "broken"
}

// Every shipped lexer is known to the control, whose own lexers colour
// samples with the shipped file's keyword sets and theme.
TEST_F(LexersStcTest, ShippedLexersColourSamples)
{
    qeltest::LogCapture log;
    for (const auto& entry : qeltest::InstallLexers(SHIPPED).GetLexers()) {
        EXPECT_TRUE(QelLexer().ApplyLexer(entry.first, m_Stc)) << entry.first;
        EXPECT_EQ(m_Stc->GetLexerLanguage(), entry.first);
    }
    EXPECT_TRUE(log.Records().empty()) << log.Dump();

    // cpp's keywords hold Java ones too.
    m_Stc->SetText("class A extends B {}");
    ASSERT_TRUE(QelLexer().ApplyLexer("cpp", m_Stc));
    EXPECT_EQ(m_Stc->GetStyleAt(8), wxSTC_C_WORD);
    EXPECT_EQ(m_Stc->StyleGetForeground(wxSTC_C_WORD), wxColour("#AA0D91"));
}

namespace {

// One random change of the kinds a user's edit or a broken copy makes: a
// match of a pattern (its group) replaced, or the text cut short.
std::string Mutate(const std::string& text, std::mt19937& rng)
{
    struct Kind {
        std::regex re;
        size_t group;
        std::vector<std::string> with;
    };
    static const Kind kinds[] = {{std::regex(R"( [a-z0-9]+="[^"]*")"), 0, {""}},
                                 {std::regex(R"(("|>)(-?[0-9]+)("|<))"),
                                  2,
                                  {"-1", "256", "32", "8", "40", "99999999999", "", "x", "+3"}},
                                 {std::regex(R"(#[0-9A-F]{6})"),
                                  0,
                                  {"#12", "", "nosuchcolour", "#GGGGGG", "red", "#1234567"}},
                                 {std::regex(R"(>[^<>]+<)"), 0, {"><"}},
                                 {std::regex(R"(</[a-z]+>)"), 0, {""}}};
    const size_t k = rng() % 6;
    if (k == std::size(kinds)) return text.substr(0, rng() % text.size());
    const Kind& kind = kinds[k];
    const std::string with
        = kind.with.size() > 1 ? kind.with[rng() % kind.with.size()] : kind.with[0];
    const std::vector<std::smatch> all(std::sregex_iterator(text.begin(), text.end(), kind.re),
                                       std::sregex_iterator());
    if (all.empty()) return text;
    const std::smatch& m = all[rng() % all.size()];
    return std::string(text).replace(size_t(m.position(kind.group)), size_t(m.length(kind.group)),
                                     with);
}

} // namespace

TEST_F(LexersStcTest, MutatedShippedFilesNeverAssert)
{
    const std::string original = qeltest::ReadBytes(SHIPPED);
    ASSERT_FALSE(original.empty());
    std::mt19937 rng(20240607);
    const wxString file = m_Temp.File("lexers.xml");
    m_Stc->SetText("int main() { return 0; } // x\n#!/bin/sh\n");

    // Unoptimised builds (sanitizers, coverage) read the file several times
    // slower: fewer mutations keep the test far from its time limit.
#if defined(__OPTIMIZE__)
    constexpr int kMutations = 300;
#else
    constexpr int kMutations = 60;
#endif
    for (int i = 0; i < kMutations; ++i) {
        std::string text = original;
        for (unsigned n = 1 + rng() % 3; n > 0; --n) text = Mutate(text, rng);
        ASSERT_TRUE(qeltest::WriteBytes(file, text));

        qeltest::LogCapture log;
        QelLexers& lexers = qeltest::InstallLexers(file);
        // Whatever was read is applied; the assertion handler fails the test
        // at the first toolkit assertion.
        for (const char* name : {"cpp", "python", "hypertext", ""})
            QelLexer().ApplyLexer(name, m_Stc);
        lexers.ApplyHexStyles(m_Stc);
        lexers.ApplyMarkers(m_Stc);
        // The generator is seeded: the number names the mutation again.
        if (HasFailure()) FAIL() << "mutation " << i;
    }
}

// Styles reach every number given; colours are read by name, by theme macro
// and with blanks around them, unknown ones stay unset and the control keeps
// its own. An indicator's "under" is only "true".
TEST_F(LexersStcTest, RecordsReachTheControl)
{
    InstallFixture();
    QelStyle{XmlElement(R"(<style no="3,4">fore:#FF0000,bold,face:Monaco</style>)").Node()}.Apply(
        m_Stc);
    for (int no : {3, 4, 5})
        EXPECT_EQ(m_Stc->StyleGetBold(no) && m_Stc->StyleGetFaceName(no) == "Monaco"
                      && m_Stc->StyleGetForeground(no) == wxColour(255, 0, 0),
                  no != 5)
            << no;

    const QelMarker circle{XmlElement(R"(<marker no="3">CIRCLE,red, #00FF00 </marker>)").Node()};
    EXPECT_EQ(circle.GetBackgroundColour(), wxColour(0, 255, 0));
    const QelMarker unset{XmlElement(R"(<marker no="4">12,nosuchcolour,RED</marker>)").Node()};
    EXPECT_FALSE(unset.GetForegroundColour().IsOk());
    EXPECT_EQ(unset.GetBackgroundColour(), wxColour(255, 0, 0));
    circle.Apply(m_Stc);
    unset.Apply(m_Stc);
    EXPECT_EQ(m_Stc->GetMarkerSymbolDefined(3), wxSTC_MARK_CIRCLE);

    m_Stc->IndicatorSetForeground(2, wxColour(0, 0, 255));
    QelIndicator{XmlElement(R"(<indicator no="1">2,red,true</indicator>)").Node()}.Apply(m_Stc);
    QelIndicator{XmlElement(R"(<indicator no="2">4,red,TRUE</indicator>)").Node()}.Apply(m_Stc);
    EXPECT_TRUE(m_Stc->IndicatorGetUnder(1));
    EXPECT_FALSE(m_Stc->IndicatorGetUnder(2));
    EXPECT_EQ(m_Stc->IndicatorGetStyle(2), 4);

    m_Stc->SetLexerLanguage("cpp");
    QelProperty("fold", "1").Apply(m_Stc);
    QelProperty("fold", "").Apply(m_Stc); // invalid: not applied
    EXPECT_EQ(m_Stc->GetProperty("fold"), "1");

    // Only a theme macro expands "default-font", from the setting or else the
    // system's fixed font. The toolkit keeps installed faces only: DejaVu is.
    const wxFont system = QelDefaultEditorFont();
    const wxString fonted = R"(<style no="1">FONTED</style>)";
    EXPECT_TRUE(QelStyle{XmlElement(fonted).Node()}.GetValue().StartsWith(wxString::Format(
        "face:%s,size:%d,fore:black", system.GetFaceName(), system.GetPointSize())));
    wxConfigBase::Get()->Write(
        "Default font",
        wxToString(wxFont(wxFontInfo(9).FaceName("DejaVu Serif").Italic().Underlined())));
    const QelStyle style{XmlElement(fonted).Node()};
    EXPECT_EQ(style.GetValue(), "face:DejaVu Serif,size:9,fore:black,italic,underline");
    style.Apply(m_Stc); // the face reaches the control as Monaco did
    EXPECT_EQ(m_Stc->StyleGetSize(1), 9);
    EXPECT_EQ(QelStyle{XmlElement(R"(<style no="1">default-font,bold</style>)").Node()}.GetValue(),
              "default-font,bold");
}

// Colour names the control would assert on are refused while reading;
// refused records never reach the control (their messages are checked on
// the faults file).
TEST_F(LexersStcTest, RefusedRecordsNeverReachTheControl)
{
    InstallFixture();
    qeltest::LogCapture log;
    for (const char* value : {"fore:nosuchcolour", "bold,back:notacolour"}) {
        const QelStyle style{XmlElement(wxString("<style no=\"7\">") + value + "</style>").Node()};
        EXPECT_FALSE(style.IsOk()) << value;
        style.Apply(m_Stc); // an assertion here fails the test
    }

    // No numbers: the default style is reset, not set.
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
}

// Keywords go in lower case ("Char" colours "char"); own styles and
// properties win over the global ones. Without a theme no keywords are sent.
TEST_F(LexersStcTest, ApplyLexerColoursWithTheControlsOwnLexer)
{
    InstallFixture();
    m_Stc->SetText("int x;\nchar y;\n");
    QelLexer lexer = QelLexers::Get(false)->FindByName("cpp");
    // The name passed is the lexer's own, which the call replaces.
    EXPECT_TRUE(lexer.ApplyLexer(lexer.GetScintillaLexer(), m_Stc, false, true));
    for (const auto& [pos, style] :
         {std::pair{0, wxSTC_C_WORD}, std::pair{4, wxSTC_C_IDENTIFIER}, std::pair{7, wxSTC_C_WORD}})
        EXPECT_EQ(m_Stc->GetStyleAt(pos), style) << pos;
    EXPECT_EQ(m_Stc->StyleGetForeground(wxSTC_C_IDENTIFIER), wxColour(128, 128, 128));
    EXPECT_EQ(m_Stc->GetProperty("fold") + m_Stc->GetProperty("fold.comment"), "10");

    wxConfigBase::Get()->Write("theme", "nosuch");
    ASSERT_TRUE(QelLexers::Get(false)->Read());
    EXPECT_TRUE(QelLexer().ApplyLexer("cpp", m_Stc, false, true));
    EXPECT_EQ(m_Stc->GetStyleAt(0), wxSTC_C_IDENTIFIER);
    EXPECT_EQ(m_Stc->GetProperty("fold.comment"), "");
}

// Applying with clear shows every line again, whether folded by the lexer's
// levels or hidden on text never styled, and the text is styled anew.
TEST_F(LexersStcTest, ApplyLexerWithClearShowsAllLines)
{
    InstallFixture();
    for (const bool styleFirst : {true, false}) {
        SCOPED_TRACE(styleFirst);
        m_Stc->SetText("int f()\n{\n    return 0;\n}\n");
        ASSERT_EQ(m_Stc->GetEndStyled(), 0);
        if (styleFirst) {
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

// Without a name the lexer is guessed from the first line ("bash", which the
// file lacks, gives none); a name the control does not know is reported when
// asked, a name without a lexer never.
TEST_F(LexersStcTest, LexerByNameOrFirstLine)
{
    InstallFixture();
    // Name, text, show, result, lexer, message.
    using Row = std::tuple<const char*, const char*, bool, bool, int, const char*>;
    for (const auto& [name, text, show, ok, scintilla, message] :
         {Row{"", "<?xml version=\"1.0\"?><a>\xe9</a>\n", true, true, wxSTC_LEX_XML, ""},
          Row{"", "#!/bin/sh\n", true, true, wxSTC_LEX_NULL, ""},
          Row{"nosuchlexer", "", true, false, wxSTC_LEX_NULL,
              "1: Lexer is not known: nosuchlexer\n"},
          Row{"nosuchlexer", "", false, false, wxSTC_LEX_NULL, ""},
          Row{"undefined", "", true, false, wxSTC_LEX_NULL, ""}}) {
        SCOPED_TRACE(wxString::Format("%s %s%d", name, text, show));
        m_Stc->SetLexer(wxSTC_LEX_PYTHON);
        m_Stc->SetTextRaw(text);
        qeltest::LogCapture log;
        EXPECT_EQ(QelLexer().ApplyLexer(name, m_Stc, show), ok);
        EXPECT_EQ(m_Stc->GetLexer(), scintilla);
        EXPECT_EQ(log.Dump(), message);
    }
}
