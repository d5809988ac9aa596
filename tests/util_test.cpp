// Settings lists through a real settings file, and the text helpers, compared
// with grep, wc and tr where those say the same thing.
#include <list>
#include <random>
#include <tuple>

#include <gtest/gtest.h>
#include <wx/config.h>
#include <wx/filename.h>
#include <wx/tokenzr.h>

#include <qelkit/lexer.h>
#include <qelkit/lexers.h>
#include <qelkit/util.h>

#include "testing.h"

namespace {

using StringList = std::list<wxString>;
using qeltest::ShowList;

class SettingsList : public qeltest::ConfigTest { };

// Blanks inside items survive a reopened file; empty items are dropped on reading.
TEST_F(SettingsList, RoundTripKeepsBlanksAndDropsEmptyItems)
{
    QelListToConfig({"old"}, "History");
    for (const StringList& items : {StringList{"x ", " y", "two  words", "\ttab"}, StringList{}}) {
        QelListToConfig(items, "History");
        Reopen();
        EXPECT_EQ(ShowList(QelListFromConfig("History")), ShowList(items));
        EXPECT_EQ(QelConfigFirstOf("History"), items.empty() ? wxString() : items.front());
    }
    const wxString sep(QelGetFieldSeparator());
    const std::pair<wxString, StringList> rows[]
        = {{sep + "a" + sep + sep + "b", {"a", "b"}}, {sep + sep, {}}, {"plain", {"plain"}}};
    for (const auto& [stored, want] : rows) {
        wxConfigBase::Get()->Write("Key", stored);
        EXPECT_EQ(ShowList(QelListFromConfig("Key")), ShowList(want));
    }
    // In the file every item is followed by character 11 (grep, not the toolkit).
    QelListToConfig({"a", "b"}, "History");
    ConfigText();
    int rc = -1;
    qeltest::Run("grep -qaP '^History=a\\x0bb\\x0b$' " + qeltest::ShellQuote(ConfigPath()), &rc);
    EXPECT_EQ(rc, 0) << ConfigText();
}

TEST(HistoryList, PutsTheValueFirst)
{
    const std::tuple<const char*, size_t, StringList> rows[] = {
        {"a", 3, {"a", "b", "c"}}, // new: the last one goes
        {"c", 2, {"c", "b", "d"}}, // moving up keeps the length
        {"B", 3, {"B", "b", "c"}}, // case-sensitive
        {"a", 0, {"a"}},           // no room asked for: the value alone
    };
    for (const auto& [value, max_items, want] : rows) {
        EXPECT_EQ(ShowList(QelHistoryList(value, wxSplit("b,c,d", ','), max_items)), ShowList(want))
            << value << " max " << max_items;
    }
}

// Characters, not bytes; with dots the text is one short of the maximum.
TEST(TextHelpers, EndOfText)
{
    const wxString wide = wxString::FromUTF8("äöüß€12");
    const std::tuple<wxString, size_t, wxString> rows[]
        = {{"abcdefghij", 8, "...ghij"}, {"abcdefgh", 8, "abcdefgh"}, {wide, 6, "...12"},
           {wide, 4, wxString::FromUTF8("ß€12")}};
    for (const auto& [text, max_chars, want] : rows)
        EXPECT_EQ(QelGetEndOfText(text, max_chars), want) << text << " " << max_chars;
    EXPECT_EQ(QelTranslate("@PAGENUM@ of @PAGESCNT@, @PAGENUM@", 2, 5), "2 of 5, 2");
}

TEST(TextHelpers, LineNumberAfterTheLastColon)
{
    const std::pair<const char*, int> rows[]
        = {{"/a:b/c.cpp:120:5", 5},     {"f: 7", 7}, {"f:12a", 0}, {"f", 0}, {"f:4294967297", 0},
           {"f:2147483647", 2147483647}};
    for (const auto& [text, want] : rows) EXPECT_EQ(QelGetLineNumber(text), want) << text;
}

// Random texts: line feeds + 1 as wc -l counts them (carriage returns count
// instead when there are any); white-space runs as tr -s and two trims make them.
TEST(TextHelpers, LinesAndWhiteSpaceAgreeWithWcAndTr)
{
    qeltest::TempDir temp;
    const wxString file = qeltest::ShellQuote(temp.File("t"));
    std::mt19937 random(7);
    const std::string alphabet = "ab  \t\n\n\v\f";
    for (int round = 0; round < 30; ++round) {
        std::string text;
        for (size_t n = random() % 30; n > 0; --n) text += alphabet[random() % alphabet.size()];
        SCOPED_TRACE(::testing::PrintToString(text));
        qeltest::WriteBytes(temp.File("t"), text);
        const int wc = std::stoi(qeltest::Run("wc -l < " + file));
        EXPECT_EQ(QelGetNumberOfLines(text), text.empty() ? 0 : wc + 1);
        EXPECT_EQ(QelSkipWhiteSpace(text, " ").utf8_string(),
                  qeltest::Run("tr -s ' \\t\\n\\v\\f' ' ' < " + file
                               + " | sed -e 's/^ *//' -e 's/ *$//' | tr -d '\\n'"));
    }
    for (const char* crs : {"a\rb\rc", "a\r\n\r\nb\n\n"})
        EXPECT_EQ(QelGetNumberOfLines(crs), 3) << crs;
    // The replacement is taken literally, not as a regular-expression one.
    EXPECT_EQ(QelSkipWhiteSpace("a  b\tc", "\\0&"), "a\\0&b\\0&c");
}

TEST(TextHelpers, GetWordTakesTheFirstWordOff)
{
    const std::tuple<const char*, bool, bool, const char*, const char*> rows[] = {
        {"  alpha   beta", false, false, "alpha", "beta"},
        {" \t ", false, false, "", ""},
        {"a:b", false, false, "a:b", ""},
        {"a::b", true, false, "a", ":b"},
        {"usr local/bin/ x", true, true, "usr local", "bin/ x"}, // "/" replaces the others
    };
    for (const auto& [input, other, path, word, rest] : rows) {
        wxString text(input);
        EXPECT_EQ(QelGetWord(text, other, path), word) << input;
        EXPECT_EQ(text, rest) << input;
    }
}

std::vector<wxString> Words(const wxString& text)
{
    const wxArrayString words = wxStringTokenize(text, " \t\n");
    return {words.begin(), words.end()};
}

// Every word kept in order, lines of at most 80 columns that the next word
// would overflow, later lines indented as far as the header is long; with a
// lexer, full comment lines.
TEST(AlignText, WrapsWordsWithoutLoss)
{
    const QelLexers tables(wxFileName("unread-lexers.xml"));
    const qeltest::XmlElement xml(R"(<lexer name="cpp"><comments begin1="/*" end1="*/"/></lexer>)");
    const QelLexer plain, cpp(xml.Node(), &tables);
    std::mt19937 random(3);
    wxString text;
    for (int i = 0; i < 300; ++i)
        text << (i > 0 ? " " : "") << wxString(char('a' + i % 26), 1 + random() % 12);
    for (const auto& [header, lexer] :
         {std::pair<wxString, const QelLexer*>{"", &plain}, {"Purpose:   ", &plain}, {"", &cpp}}) {
        SCOPED_TRACE(header + lexer->GetCommentBegin());
        const bool comment = lexer == &cpp;
        wxArrayString lines
            = wxSplit(QelAlignText(text, header, comment, comment, *lexer), '\n', '\0');
        ASSERT_GT(lines.size(), 20u);
        wxString all;
        for (size_t i = 0; i < lines.size(); ++i) {
            SCOPED_TRACE(lines[i]);
            if (comment) {
                EXPECT_EQ(lines[i].length(), 80u);
                wxString inner, trimmed;
                EXPECT_TRUE(lines[i].StartsWith("/* ", &inner) && inner.EndsWith(" */", &trimmed));
                lines[i] = trimmed.Trim();
            }
            all << lines[i] << "\n";
            EXPECT_LE(lines[i].length(), 80u);
            EXPECT_TRUE(
                lines[i].StartsWith(i == 0 ? header + "a" : wxString(' ', header.length())));
            if (i > 0) {
                EXPECT_NE(lines[i][header.length()], ' ');
                EXPECT_GT(lines[i - 1].length() + 1 + Words(lines[i]).front().length(),
                          size_t(lexer->UsableCharactersPerLine()));
            }
        }
        EXPECT_EQ(Words(all), Words(header + text));
    }
    // A word longer than the width gets its own line; a first word that does
    // not fit after the header leaves the header's line without a word.
    const wxString longWord('x', 100);
    EXPECT_EQ(QelAlignText("a " + longWord + " b", "", false, false, plain),
              "a\n" + longWord + "\nb");
    EXPECT_EQ(QelAlignText(longWord, "H: ", false, false, plain), "H: \n   " + longWord);
    EXPECT_EQ(QelAlignText("", "Header", false, false, plain), "Header");
}

} // namespace
