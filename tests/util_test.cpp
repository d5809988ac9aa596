// Settings lists through a real settings file, and the text helpers, compared
// with grep, wc and tr where those say the same thing.
#include <list>
#include <random>

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

TEST_F(SettingsList, RoundTripKeepsBlanksAndEmptyLists)
{
    QelListToConfig({"old"}, "History");
    for (const StringList& items :
         {StringList{"a", "b"}, StringList{"x ", " y", "two  words", "\ttab"}, StringList{}}) {
        SCOPED_TRACE(ShowList(items));
        QelListToConfig(items, "History");
        Reopen();
        EXPECT_TRUE(wxConfigBase::Get()->HasEntry("History"));
        EXPECT_EQ(ShowList(QelListFromConfig("History")), ShowList(items));
        EXPECT_EQ(QelConfigFirstOf("History"), items.empty() ? wxString() : items.front());
    }
    // In the file every item is followed by character 11 (grep, not the toolkit).
    QelListToConfig({"a", "b"}, "History");
    ConfigText();
    int rc = -1;
    qeltest::Run("grep -qaP '^History=a\\x0bb\\x0b$' " + qeltest::ShellQuote(ConfigPath()), &rc);
    EXPECT_EQ(rc, 0) << ConfigText();
}

TEST_F(SettingsList, ReadingDropsEmptyItems)
{
    const wxString sep(QelGetFieldSeparator());
    struct Row {
        wxString stored;
        StringList want;
    };
    for (const Row& row : {Row{"a" + sep + sep + "b", {"a", "b"}}, Row{sep + "a" + sep, {"a"}},
                           Row{"solo", {"solo"}}, Row{sep + sep, {}}}) {
        SCOPED_TRACE(ShowList(row.want));
        wxConfigBase::Get()->Write("Key", row.stored);
        EXPECT_EQ(ShowList(QelListFromConfig("Key")), ShowList(row.want));
    }
    EXPECT_TRUE(QelListFromConfig("Missing").empty());
    EXPECT_EQ(QelConfigFirstOf("Missing"), "");
    wxConfigBase::Get()->Write("Key", wxString("plain value"));
    EXPECT_EQ(QelConfigFirstOf("Key"), "plain value");
}

TEST(HistoryList, PutsTheValueFirst)
{
    const wxArrayString items = wxSplit("b,c,d", ',');
    struct Row {
        const char* value;
        size_t max_items;
        StringList want;
    };
    const Row rows[] = {
        {"a", 3, {"a", "b", "c"}}, // new: the last one goes
        {"a", 10, {"a", "b", "c", "d"}},
        {"b", 3, {"b", "c", "d"}}, // already first
        {"b", 1, {"b"}},
        {"c", 2, {"c", "b", "d"}}, // moving up keeps the length
        {"B", 3, {"B", "b", "c"}}, // case-sensitive
        {"a", 0, {"a"}},           // no room asked for: the value alone
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.value) + " max " + std::to_string(row.max_items));
        EXPECT_EQ(ShowList(QelHistoryList(row.value, items, row.max_items)), ShowList(row.want));
    }
    EXPECT_EQ(ShowList(QelHistoryList("x", wxArrayString(), 5)), ShowList({"x"}));
}

// Characters, not bytes; with dots the text is one short of the maximum.
TEST(TextHelpers, EndOfText)
{
    const wxString wide = wxString::FromUTF8("äöüß€12");
    struct Row {
        wxString text;
        size_t max_chars;
        wxString want;
    };
    for (const Row& row : {Row{"abcdefghij", 8, "...ghij"}, Row{"abcdefghij", 5, "...j"},
                           Row{"abcdefghij", 4, "ghij"}, Row{"abcdefghij", 10, "abcdefghij"},
                           Row{wide, 6, "...12"}, Row{wide, 4, wxString::FromUTF8("ß€12")}}) {
        EXPECT_EQ(QelGetEndOfText(row.text, row.max_chars), row.want)
            << row.text << " " << row.max_chars;
    }
    EXPECT_EQ(QelTranslate("@PAGENUM@ of @PAGESCNT@, @PAGENUM@", 2, 5), "2 of 5, 2");
}

TEST(TextHelpers, LineNumberAfterTheLastColon)
{
    struct Row {
        const char* text;
        int want;
    };
    const Row rows[] = {
        {"main.txt:120", 120}, {"main.txt:120:5", 5},
        {"/a:b/c.cpp:33", 33}, {"f: 7", 7},
        {"main.txt:12a", 0},   {"f:7 ", 0},
        {"main.txt:", 0},      {"main.txt", 0},
        {"f:4294967297", 0},   {"f:2147483647", 2147483647}, // no line number wraps round
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(QelGetLineNumber(row.text), row.want);
    }
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
    EXPECT_EQ(QelSkipWhiteSpace(" a \r\n b c", ""), "abc");
    EXPECT_EQ(QelSkipWhiteSpace("a  b\tc", "\\0&"), "a\\0&b\\0&c");
}

TEST(TextHelpers, GetWordTakesTheFirstWordOff)
{
    struct Row {
        const char* text;
        bool other;
        bool path;
        const char* word;
        const char* rest;
    };
    const Row rows[] = {
        {"  alpha   beta", false, false, "alpha", "beta"},
        {" \t ", false, false, "", ""},
        {"a:b", false, false, "a:b", ""},
        {"a::b", true, false, "a", ":b"},
        {":b", true, false, "", "b"},
        {"usr local/bin/ x", true, true, "usr local", "bin/ x"}, // "/" replaces the others
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        wxString text(row.text);
        EXPECT_EQ(QelGetWord(text, row.other, row.path), row.word);
        EXPECT_EQ(text, row.rest);
    }
}

std::vector<wxString> Words(const wxString& text)
{
    const wxArrayString words = wxStringTokenize(text, " \t\n");
    return {words.begin(), words.end()};
}

wxString LongText(int words)
{
    std::mt19937 random(3);
    wxString text;
    for (int i = 0; i < words; ++i)
        text << (i > 0 ? " " : "") << wxString(char('a' + i % 26), 1 + random() % 12);
    return text;
}

// Every word kept in order, lines of at most 80 columns that the next word
// would overflow, later lines indented as far as the header is long; with a
// lexer, full comment lines.
TEST(AlignText, WrapsWordsWithoutLoss)
{
    const QelLexers tables(wxFileName("unread-lexers.xml"));
    const qeltest::XmlElement xml(R"(<lexer name="cpp"><comments begin1="/*" end1="*/"/></lexer>)");
    const QelLexer plain, cpp(xml.Node(), &tables);
    const wxString text = LongText(300);
    struct Row {
        wxString header;
        const QelLexer* lexer;
    };
    for (const Row& row : {Row{"", &plain}, Row{"Purpose:   ", &plain}, Row{"", &cpp}}) {
        SCOPED_TRACE(row.header + row.lexer->GetCommentBegin());
        const bool comment = row.lexer == &cpp;
        wxArrayString lines
            = wxSplit(QelAlignText(text, row.header, comment, comment, *row.lexer), '\n', '\0');
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
            EXPECT_TRUE(lines[i].StartsWith(i == 0 ? row.header + "a"
                                                   : wxString(' ', row.header.length())));
            if (i > 0) {
                EXPECT_NE(lines[i][row.header.length()], ' ');
                EXPECT_GT(lines[i - 1].length() + 1 + Words(lines[i]).front().length(),
                          size_t(row.lexer->UsableCharactersPerLine()));
            }
        }
        EXPECT_EQ(Words(all), Words(row.header + text));
    }
}

TEST(AlignText, EdgeCases)
{
    const QelLexer plain;
    // A word longer than the width gets its own line; a first word that does
    // not fit after the header leaves the header's line without a word.
    const wxString longWord('x', 100);
    EXPECT_EQ(QelAlignText("a " + longWord + " b", "", false, false, plain),
              "a\n" + longWord + "\nb");
    EXPECT_EQ(QelAlignText(longWord, "H: ", false, false, plain), "H: \n   " + longWord);
    EXPECT_EQ(QelAlignText("", "Header", false, false, plain), "Header");
    EXPECT_EQ(QelAlignText("   ", "", false, false, plain), "");
}

} // namespace
