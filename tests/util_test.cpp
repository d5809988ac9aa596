// Settings lists through a real settings file, and the text helpers.
#include <list>
#include <random>

#include <gtest/gtest.h>
#include <wx/config.h>
#include <wx/filename.h>
#include <wx/sstream.h>
#include <wx/tokenzr.h>
#include <wx/xml/xml.h>

#include <qelkit/lexer.h>
#include <qelkit/lexers.h>
#include <qelkit/util.h>

#include "testing.h"

namespace {

using StringList = std::list<wxString>;

class SettingsList : public qeltest::ConfigTest {};

TEST_F(SettingsList, StoresEveryItemFollowedByCharacter11)
{
    QelListToConfig({"a", "b"}, "History");

    // The bytes in the file, seen by grep rather than by the toolkit.
    int rc = -1;
    ConfigText();
    qeltest::Run("grep -qaP '^History=a\\x0bb\\x0b$' " + qeltest::ShellQuote(ConfigPath()), &rc);
    EXPECT_EQ(rc, 0) << ConfigText();

    Reopen();
    EXPECT_EQ(qeltest::ShowList(QelListFromConfig("History")), qeltest::ShowList({"a", "b"}));
}

TEST_F(SettingsList, KeepsBlanksOfItemsAcrossTheFile)
{
    const StringList items{"x ", " y", "two  words", "\ttab", "last "};
    QelListToConfig(items, "Find what");
    Reopen();
    EXPECT_EQ(qeltest::ShowList(QelListFromConfig("Find what")), qeltest::ShowList(items));
    EXPECT_EQ(QelConfigFirstOf("Find what"), "x ");
}

TEST_F(SettingsList, EmptyListReplacesAStoredOne)
{
    QelListToConfig({"old"}, "History");
    QelListToConfig({}, "History");
    Reopen();
    EXPECT_TRUE(wxConfigBase::Get()->HasEntry("History"));
    EXPECT_TRUE(QelListFromConfig("History").empty());
    EXPECT_EQ(QelConfigFirstOf("History"), "");
}

TEST_F(SettingsList, ReadingDropsEmptyItems)
{
    const wxString sep(QelGetFieldSeparator());
    struct Row {
        const char* name;
        wxString stored;
        StringList want;
    } rows[] = {
        {"TwoAdjacent", "a" + sep + sep + "b", {"a", "b"}},
        {"Leading", sep + "a" + sep, {"a"}},
        {"NoSeparator", "solo", {"solo"}},
        {"OnlySeparators", sep + sep, {}},
        {"Empty", "", {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        wxConfigBase::Get()->Write("Key", row.stored);
        EXPECT_EQ(qeltest::ShowList(QelListFromConfig("Key")), qeltest::ShowList(row.want));
    }
    EXPECT_TRUE(QelListFromConfig("Missing").empty());
}

TEST_F(SettingsList, FirstOfIsTheTextBeforeTheFirstSeparator)
{
    const wxString sep(QelGetFieldSeparator());
    wxConfigBase::Get()->Write("Key", "x" + sep + "y" + sep);
    EXPECT_EQ(QelConfigFirstOf("Key"), "x");
    wxConfigBase::Get()->Write("Key", wxString("plain value"));
    EXPECT_EQ(QelConfigFirstOf("Key"), "plain value");
    EXPECT_EQ(QelConfigFirstOf("Missing"), "");
}

TEST(HistoryList, PutsTheValueFirst)
{
    wxArrayString items;
    items.Add("b");
    items.Add("c");
    items.Add("d");
    struct Row {
        const char* value;
        size_t max_items;
        StringList want;
    } rows[] = {
        {"a", 3, {"a", "b", "c"}},
        {"b", 3, {"b", "c", "d"}},
        {"c", 3, {"c", "b", "d"}},
        {"c", 2, {"c", "b", "d"}},  // moving up keeps the length
        {"a", 1, {"a"}},
        {"b", 1, {"b"}},
        {"a", 10, {"a", "b", "c", "d"}},
        {"B", 3, {"B", "b", "c"}},  // case-sensitive lookup
        {"", 3, {"", "b", "c"}},
        {"a", 0, {"a"}},            // no room asked for: the value alone
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.value) + " max " + std::to_string(row.max_items));
        EXPECT_EQ(qeltest::ShowList(QelHistoryList(row.value, items, row.max_items)), qeltest::ShowList(row.want));
    }
    EXPECT_EQ(qeltest::ShowList(QelHistoryList("x", wxArrayString(), 5)), qeltest::ShowList({"x"}));
}

TEST(TextHelpers, QuotedAndEllipsed)
{
    EXPECT_EQ(QelQuoted("a b"), "'a b'");
    EXPECT_EQ(QelQuoted(""), "''");
    EXPECT_EQ(QelEllipsed("&Open"), "&Open...");
    EXPECT_EQ(QelEllipsed("&Find", "Ctrl+F"), "&Find...\tCtrl+F");
}

TEST(TextHelpers, EndOfText)
{
    struct Row {
        wxString text;
        size_t max_chars;
        wxString want;
    } rows[] = {
        {"abcdefghij", 8, "...ghij"},
        {"abcdefghij", 5, "...j"},
        {"abcdefghij", 4, "ghij"},
        {"abcdefghij", 3, "hij"},
        {"abcdefghij", 0, ""},
        {"abcdefghij", 10, "abcdefghij"},
        {"abcdefghij", 80, "abcdefghij"},
        {"", 0, ""},
        // Characters, not bytes.
        {wxString::FromUTF8("\xc3\xa4\xc3\xb6\xc3\xbc\xc3\x9f\xe2\x82\xac" "12"), 6, "...12"},
        {wxString::FromUTF8("\xc3\xa4\xc3\xb6\xc3\xbc\xc3\x9f\xe2\x82\xac" "12"), 4,
         wxString::FromUTF8("\xc3\x9f\xe2\x82\xac" "12")},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text.utf8_string() + " " + std::to_string(row.max_chars));
        EXPECT_EQ(QelGetEndOfText(row.text, row.max_chars), row.want);
    }
}

TEST(TextHelpers, NumberOfLines)
{
    struct Row {
        const char* text;
        int want;
    } rows[] = {
        {"", 0}, {"abc", 1}, {"a\rb\rc", 3}, {"a\r\nb", 2}, {"a\n", 2},
        {"\n", 2}, {"a\nb\nc\n\n", 5}, {"a\r\n\r\nb\n\n\n", 3},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(QelGetNumberOfLines(row.text), row.want);
    }
}

TEST(TextHelpers, NumberOfLinesAgreesWithWc)
{
    // Without carriage returns the count is wc's line feeds plus one.
    std::mt19937 random(7);
    const char alphabet[] = "ab \n\n\t";
    for (int round = 0; round < 20; ++round) {
        std::string text;
        const int length = 1 + static_cast<int>(random() % 30);
        for (int i = 0; i < length; ++i) text += alphabet[random() % 6];
        qeltest::TempDir temp;
        qeltest::WriteBytes(temp.File("t"), text);
        const int wc = std::stoi(qeltest::Run("wc -l < " + qeltest::ShellQuote(temp.File("t"))));
        SCOPED_TRACE(text);
        EXPECT_EQ(QelGetNumberOfLines(text), wc + 1);
    }
}

TEST(TextHelpers, LineNumber)
{
    struct Row {
        const char* text;
        int want;
    } rows[] = {
        {"main.txt:120", 120}, {"main.txt:120:5", 5}, {"main.txt:12a", 0},
        {"main.txt", 0}, {"main.txt:", 0}, {"f: 7", 7}, {"f:7 ", 0}, {"", 0},
        {"/a:b/c.cpp:33", 33},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(QelGetLineNumber(row.text), row.want);
    }
}

TEST(TextHelpers, SkipWhiteSpace)
{
    EXPECT_EQ(QelSkipWhiteSpace("  a \n\t b  ", " "), "a b");
    EXPECT_EQ(QelSkipWhiteSpace(" a \r\n b \f\v c", ""), "abc");
    EXPECT_EQ(QelSkipWhiteSpace("", " "), "");
    EXPECT_EQ(QelSkipWhiteSpace(" \t\n ", " "), "");
    // The replacement is plain text, not a regular-expression replacement.
    EXPECT_EQ(QelSkipWhiteSpace("a  b\tc", "&"), "a&b&c");
    EXPECT_EQ(QelSkipWhiteSpace("a  b", "\\0"), "a\\0b");
}

TEST(TextHelpers, SkipWhiteSpaceAgreesWithTr)
{
    std::mt19937 random(11);
    const char alphabet[] = "ab  \t\n\v\f\rc";
    for (int round = 0; round < 20; ++round) {
        std::string text;
        const int length = static_cast<int>(random() % 25);
        for (int i = 0; i < length; ++i) text += alphabet[random() % 11];
        qeltest::TempDir temp;
        qeltest::WriteBytes(temp.File("t"), text);
        const std::string want = qeltest::Run(
            "tr -s ' \\t\\n\\v\\f\\r' ' ' < " + qeltest::ShellQuote(temp.File("t")) +
            " | sed -e 's/^ *//' -e 's/ *$//' | tr -d '\\n'");
        SCOPED_TRACE(::testing::PrintToString(text));
        EXPECT_EQ(QelSkipWhiteSpace(wxString::FromUTF8(text), " ").utf8_string(), want);
    }
}

TEST(TextHelpers, GetWordWalksThroughTheWords)
{
    wxString text("  alpha   beta");
    EXPECT_EQ(QelGetWord(text), "alpha");
    EXPECT_EQ(text, "beta");
    EXPECT_EQ(QelGetWord(text), "beta");
    EXPECT_EQ(text, "");
    EXPECT_EQ(QelGetWord(text), "");
    EXPECT_EQ(text, "");

    text = "a::b";
    EXPECT_EQ(QelGetWord(text, true), "a");
    EXPECT_EQ(text, ":b");
    EXPECT_EQ(QelGetWord(text, true), "");
    EXPECT_EQ(text, "b");

    // The path separator replaces the others.
    text = "usr local/bin/ x";
    EXPECT_EQ(QelGetWord(text, true, true), "usr local");
    EXPECT_EQ(text, "bin/ x");

    text = " \t ";
    EXPECT_EQ(QelGetWord(text), "");
    EXPECT_EQ(text, "");
}

TEST(TextHelpers, Translate)
{
    EXPECT_EQ(QelTranslate("Page @PAGENUM@ of @PAGESCNT@", 2, 5), "Page 2 of 5");
    EXPECT_EQ(QelTranslate("@PAGENUM@/@PAGENUM@", 12, 0), "12/12");
    EXPECT_EQ(QelTranslate("no placeholders", 1, 1), "no placeholders");
}

// Words of a text, split at blanks, tabs and line feeds.
std::vector<wxString> Words(const wxString& text)
{
    std::vector<wxString> words;
    wxStringTokenizer tkz(text, " \t\n");
    while (tkz.HasMoreTokens()) words.push_back(tkz.GetNextToken());
    return words;
}

wxString LongText(int words)
{
    std::mt19937 random(3);
    wxString text;
    for (int i = 0; i < words; ++i) {
        if (i > 0) text += ' ';
        text += wxString(static_cast<char>('a' + i % 26), static_cast<size_t>(1 + random() % 12));
    }
    return text;
}

// A lexer read from XML against empty tables, not the installed lexers.
QelLexer LexerFromXml(const wxString& xml)
{
    const QelLexers tables(wxFileName("unread-lexers.xml"));
    wxStringInputStream stream(xml);
    wxXmlDocument doc(stream);
    return QelLexer(doc.GetRoot(), &tables);
}

TEST(AlignText, WrapsWordsWithoutLoss)
{
    const QelLexer plain;
    const wxString text = LongText(300);
    const wxString aligned = QelAlignText(text, "", false, false, plain);

    ASSERT_FALSE(aligned.empty());
    EXPECT_NE(aligned.Last(), '\n');
    EXPECT_EQ(Words(aligned), Words(text));

    const auto lines = wxSplit(aligned, '\n', '\0');
    EXPECT_GT(lines.size(), 20u);
    for (size_t i = 0; i < lines.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_LE(lines[i].length(), 80u);
        // A line is full: the next word would not have fitted.
        if (i + 1 < lines.size()) {
            EXPECT_GT(lines[i].length() + 1 + Words(lines[i + 1]).front().length(), 80u);
        }
    }
}

TEST(AlignText, HeaderLeadsAndIndentsTheRest)
{
    const QelLexer plain;
    const wxString header = "Purpose:   ";
    const wxString aligned = QelAlignText(LongText(60), header, false, false, plain);
    const auto lines = wxSplit(aligned, '\n', '\0');
    ASSERT_GT(lines.size(), 2u);
    EXPECT_TRUE(lines[0].StartsWith(header + "a")) << lines[0];
    for (size_t i = 1; i < lines.size(); ++i) {
        EXPECT_TRUE(lines[i].StartsWith(wxString(' ', header.length()))) << lines[i];
        EXPECT_NE(lines[i][header.length()], ' ') << lines[i];
    }
}

TEST(AlignText, EdgeCases)
{
    const QelLexer plain;
    // A word longer than the width gets its own line; a first word that does
    // not fit after the header leaves the header's line without a word.
    const wxString longWord(wxString('x', 100));
    EXPECT_EQ(QelAlignText("a " + longWord + " b", "", false, false, plain),
              "a\n" + longWord + "\nb");
    EXPECT_EQ(QelAlignText(longWord, "H: ", false, false, plain), "H: \n   " + longWord);
    EXPECT_EQ(QelAlignText("", "Header", false, false, plain), "Header");
    EXPECT_EQ(QelAlignText("   ", "", false, false, plain), "");
}

TEST(AlignText, MakesCommentLinesOfTheLexer)
{
    const QelLexer cpp = LexerFromXml(
        "<lexer name=\"cpp\"><comments begin1=\"/*\" end1=\"*/\"/></lexer>");
    ASSERT_EQ(cpp.UsableCharactersPerLine(), 74);

    const wxString text = LongText(120);
    const wxString aligned = QelAlignText(text, "", true, true, cpp);
    EXPECT_NE(aligned.Last(), '\n');

    const auto lines = wxSplit(aligned, '\n', '\0');
    ASSERT_GT(lines.size(), 5u);
    wxString inner;
    for (const auto& line : lines) {
        SCOPED_TRACE(line.utf8_string());
        EXPECT_EQ(line.length(), 80u);
        EXPECT_TRUE(line.StartsWith("/* "));
        EXPECT_TRUE(line.EndsWith(" */"));
        inner << line.Mid(3, line.length() - 6) << " ";
    }
    EXPECT_EQ(Words(inner), Words(text));
}

} // namespace
