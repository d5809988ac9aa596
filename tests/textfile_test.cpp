// The text-file scanner: find against grep, replace against sed, counts of
// code and comments written down by hand, and the failure paths.
#include <algorithm>
#include <set>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>
#include <wx/filename.h>

#include <qelkit/dir.h>
#include <qelkit/frd.h>
#include <qelkit/lexers.h>
#include <qelkit/textfile.h>

#include "testing.h"

namespace {

using qeltest::ReadBytes;
using qeltest::ShellQuote;
using qeltest::WriteBytes;

using LineSet = std::set<std::string>;

// A scanner that records what its hooks receive: each reported line as grep
// -n prints it ("number:text", numbered from 1).
class Recorder : public QelTextFile {
public:
    using QelTextFile::QelTextFile;

    std::vector<size_t> lines;
    LineSet reported;
    int statisticsCalls = 0;
    wxString insertOnReport;

    void ReportStatistics() override { ++statisticsCalls; }
    long Counter(const char* name) const { return GetStatistics().GetElements().Get(name); }

protected:
    void Report(size_t line) override
    {
        lines.push_back(line);
        reported.insert(std::to_string(line + 1) + ":" + GetCurrentLine().utf8_string());
        if (!insertOnReport.empty()) InsertLine(insertOnReport);
    }
};

// Find in files reads a file in windows of whole lines: small reads make
// every edge case of a window edge happen in small files; the default (0)
// comes last, for what runs after.
const size_t readChunks[] = {1, 2, 3, 7, 0};

class Scanner : public qeltest::ConfigTest {
protected:
    void SetUp() override
    {
        ConfigTest::SetUp();
        ASSERT_FALSE(
            qeltest::InstallLexers(QEL_TEST_DATA_DIR "/textfile/lexers.xml").GetLexers().empty());
    }

    void TearDown() override
    {
        QelTextFile::SetReadChunkSize(0);
        ConfigTest::TearDown();
    }

    // The find settings that grep's options name (-i, -w, -E).
    static void SetFind(const wxString& find, const std::string& grep = "-F",
                        const wxString& replace = wxString())
    {
        const auto has = [&grep](char option) { return grep.find(option) != std::string::npos; };
        QelFindReplaceData* frd = QelFindReplaceData::Get();
        frd->SetMatchCase(!has('i'));
        frd->SetMatchWord(has('w'));
        frd->SetUseRegularExpression(has('E'));
        frd->SetReplaceString(replace);
        frd->SetFindString(find);
    }

    wxString Write(const wxString& name, const std::string& bytes)
    {
        const wxString path = m_Temp.File(name);
        EXPECT_TRUE(WriteBytes(path, bytes));
        return path;
    }

    // A symbolic link to name.target, a file of mode 0640.
    wxString WriteLinked(const wxString& name, const std::string& bytes)
    {
        const wxString target = Write(name + ".target", bytes);
        const wxString link = m_Temp.File(name);
        EXPECT_EQ(chmod(target.fn_str(), 0640), 0);
        unlink(link.fn_str());
        EXPECT_EQ(symlink(wxFileName(target).GetFullName().fn_str(), link.fn_str()), 0);
        return link;
    }

    static wxString Data(const char* name)
    {
        return wxString(QEL_TEST_DATA_DIR "/textfile/") + name;
    }
};

// The test files of find and replace: name, bytes, and a command that writes
// their text as UTF-8 lines, as the scanner sees them (no mark, no CR).
struct TextCase {
    const char* name;
    std::string bytes;
    const char* text; // %s is the quoted path
    bool latin1;
};

const std::vector<TextCase>& TextCases()
{
    static const std::vector<TextCase> cases = {
        {"latin1.txt",
         "caf\xe9 au lait\nCAF\xc9 noir\nfoo bar\nfoobar\nFOO_x foo\n\xe9t\xe9 foo\xe9\nsans\n",
         "iconv -f LATIN1 -t UTF-8 %s", true},
        {"bom.txt",
         "\xEF\xBB\xBF"
         "foo first\nsecond caf\xc3\xa9\nCAF\xc3\x89 Foo\nlast\n",
         "tail -c +4 %s", false},
        // A UTF-8 mark before text that is not UTF-8: Latin-1 text, mark included.
        {"oddbom.txt",
         "\xEF\xBB\xBF"
         "caf\xe9 foo\nFOO\n",
         "iconv -f LATIN1 -t UTF-8 %s", true},
        // Matches and near misses at every offset of a line, in blocks of 16 bytes.
        {"offsets.txt",
         [] {
             std::string text;
             for (int k = 0; k < 40; ++k)
                 text += std::string(k, k % 3 == 0 ? 'F' : '.') + (k % 2 ? "fOo" : "fo.o") + "\n";
             return text;
         }(),
         "cat %s", false},
        {"utf8.txt",
         "\xd0\xbf\xd1\x80\xd0\xb8\xd0\xb2\xd0\xb5\xd1\x82 "
         "foo\n\xd0\x9f\xd0\xa0\xd0\x98\xd0\x92\xd0\x95\xd0\xa2 m\n"
         "stra\xc3\x9f"
         "e foo_1\nabc_d abc\n(abc)\nxABCx\nabc_d\nfoofoo\n",
         "cat %s", false},
    };
    return cases;
}

wxString TextCommand(const TextCase& c, const wxString& path)
{
    return wxString::Format(c.text, ShellQuote(path));
}

// The lines a shell command prints.
LineSet Lines(const wxString& command)
{
    const std::string out = qeltest::Run(command);
    LineSet lines;
    size_t start = 0;
    for (size_t end; (end = out.find('\n', start)) != std::string::npos; start = end + 1) {
        lines.insert(out.substr(start, end - start));
    }
    return lines;
}

// The lines grep -n prints for the text a command writes.
LineSet Grep(const wxString& textCommand, const wxString& options, const wxString& pattern)
{
    return Lines(textCommand + " | LC_ALL=C.UTF-8 grep -n " + options + " -e "
                 + ShellQuote(pattern));
}

// Find compared with grep -n at every read size; replace compared with sed on
// a copy, each reached through a symbolic link to a file of mode 0640: the
// bytes, the link and the mode must be the same.
TEST_F(Scanner, FindIsGrepAndReplaceIsSed)
{
    struct Row {
        const char* find; // UTF-8, with the options of grep below
        const char* grep;
        const char* replace = nullptr; // UTF-8; none: find only
        const char* sed
            = nullptr;          // the sed -E script; in the C locale where it runs on Latin-1 too
        bool latin1Too = false; // the Latin-1 files can be checked with this sed
        bool asciiOnly = false; // sed moves on by a byte after an empty match
    };
    const Row rows[] = {
        {"foo", "-Fi", "b\xc3\xa4r", "s/foo/b\xc3\xa4r/gI"},
        {"caf\xc3\xa9", "-F", "tea", "s/caf\xc3\xa9/tea/g"},
        {"caf\xc3\xa9", "-Fi"},
        {"CAF\xc3\x89", "-Fiw"},
        {"\xd0\xbf\xd1\x80\xd0\xb8\xd0\xb2\xd0\xb5\xd1\x82", "-Fi"},
        {"abc", "-Fw"},
        {"bc", "-Fw"}, // after an "a": no word
        // "abc_d abc": every occurrence is tried.
        {"abc", "-Fiw", "X", "s/\\babc\\b/X/gI"},
        {"^(foo|alpha)", "-E"},
        {"FO+", "-Ei"},
        {"caf.", "-E"},
        {"o$", "-E"},
        {"$", "-E", ";", "s/$/;/"},
        // Later matches see the character before them.
        {"\\bfoo", "-E", "X", "s/\\bfoo/X/g", true},
        {"x*", "-E", "-", "s/x*/-/g", false, true},
        // Whole words with an expression: "foofoo" and "FOO_x" hold none,
        // "fooo_" only shorter matches that are not whole words either.
        {"fo+", "-Ewi"},
        {"a.c", "-Ew"},
        {"(fo+|caf.)", "-Ew", "<\\1>", "s/\\b(fo+|caf.)\\b/<\\1>/g"},
        {"[a-z]+_[a-z0-9]", "-Ewi", "#", "s/\\b[a-z]+_[a-z0-9]\\b/#/gI"},
    };
    size_t matched = 0; // so that agreeing on nothing cannot pass
    for (const Row& rc : rows) {
        const wxString find = wxString::FromUTF8(rc.find);
        for (const TextCase& file : TextCases()) {
            SCOPED_TRACE(std::string(file.name) + " grep " + rc.grep + " " + rc.find);
            const wxString path = Write(file.name, file.bytes);
            SetFind(find, rc.grep, wxString::FromUTF8(rc.replace ? rc.replace : ""));
            const LineSet expected = Grep(TextCommand(file, path), rc.grep, find);
            matched += expected.size();
            for (size_t chunk : readChunks) {
                SCOPED_TRACE(chunk);
                QelTextFile::SetReadChunkSize(chunk);
                Recorder scanner{QelFileName(path), QelTool(ID_TOOL_FIND_IN_FILES)};
                ASSERT_TRUE(scanner.RunTool());
                EXPECT_EQ(scanner.reported, expected);
                EXPECT_EQ(scanner.Counter("Actions Completed"), static_cast<long>(expected.size()));
            }

            const bool ascii = std::none_of(file.bytes.begin(), file.bytes.end(),
                                            [](char c) { return c & 0x80; });
            if (!rc.sed || (file.latin1 && !rc.latin1Too) || (!ascii && rc.asciiOnly)) continue;
            const wxString ours = WriteLinked(wxString("ours-") + file.name, file.bytes);
            const wxString theirs = WriteLinked(wxString("sed-") + file.name, file.bytes);
            qeltest::Run(wxString("LC_ALL=") + (rc.latin1Too ? "C" : "C.UTF-8")
                         + " sed -E -i --follow-symlinks " + ShellQuote(wxString::FromUTF8(rc.sed))
                         + " " + ShellQuote(theirs));
            Recorder scanner{QelFileName(ours), QelTool(ID_TOOL_REPLACE_IN_FILES)};
            ASSERT_TRUE(scanner.RunTool());

            int differs = 0;
            qeltest::Run("cmp " + ShellQuote(ours) + " " + ShellQuote(theirs), &differs);
            EXPECT_EQ(differs, 0) << "ours:  " << ReadBytes(ours)
                                  << "\nsed:   " << ReadBytes(theirs);
            const wxString kinds = "stat -c '%a %F' ";
            EXPECT_EQ(
                qeltest::Run(kinds + ShellQuote(ours) + " " + ShellQuote(ours + ".target")),
                qeltest::Run(kinds + ShellQuote(theirs) + " " + ShellQuote(theirs + ".target")));
            // Each reported line carries its new text.
            const LineSet after = Grep(TextCommand(file, theirs), "", "");
            EXPECT_TRUE(std::includes(after.begin(), after.end(), scanner.reported.begin(),
                                      scanner.reported.end()));
        }
    }
    EXPECT_GT(matched, 100u);
}

TEST_F(Scanner, LineNumbersAddUpOverWindows)
{
    // Long stretches without a match, with all three line ends: the windows
    // that hold no match are only counted; no line end sticks to a line.
    std::string text;
    const char* ends[] = {"\n", "\r\n", "\r"};
    for (int line = 0; line < 3000; ++line) {
        text
            += std::string(1 + line % 37, 'x') + (line % 500 == 499 ? " foo" : "") + ends[line % 3];
    }
    const wxString path = Write("long.txt", text + "last foo");
    SetFind("foo$", "-E");

    for (size_t chunk : {size_t(0), size_t(100), size_t(4096), size_t(5)}) {
        SCOPED_TRACE(chunk);
        QelTextFile::SetReadChunkSize(chunk);
        Recorder scanner{QelFileName(path), QelTool(ID_TOOL_FIND_IN_FILES)};
        ASSERT_TRUE(scanner.RunTool());
        EXPECT_EQ(scanner.lines, (std::vector<size_t>{499, 999, 1499, 1999, 2499, 2999, 3000}));
    }
}

TEST_F(Scanner, ReplaceKeepsUtf16AndItsMark)
{
    const wxString source = Write("utf8.txt", "foo bar\r\nx \xc3\xa9 foo\r\n");
    const wxString path = m_Temp.File("utf16.txt");
    const wxString expected = m_Temp.File("expected.txt");
    qeltest::Run("{ printf '\\377\\376'; iconv -f UTF-8 -t UTF-16LE " + ShellQuote(source)
                 + "; } > " + ShellQuote(path));
    qeltest::Run("{ printf '\\377\\376'; sed 's/foo/baz/g' " + ShellQuote(source)
                 + " | iconv -f UTF-8 -t UTF-16LE; } > " + ShellQuote(expected));

    SetFind("foo", "-F", "baz");
    Recorder scanner{QelFileName(path), QelTool(ID_TOOL_REPLACE_IN_FILES)};
    ASSERT_TRUE(scanner.RunTool());
    EXPECT_EQ(scanner.Counter("Actions Completed"), 2);
    EXPECT_EQ(ReadBytes(path), ReadBytes(expected));
}

// A run that cannot start, or a replacement that cannot be written, says why
// once, changes no file, and cancels the rest when every file would fail alike.
TEST_F(Scanner, RunThatFailsChangesNothingAndSaysWhy)
{
    const wxString fifo = m_Temp.File("pipe"); // would block a plain open
    ASSERT_EQ(mkfifo(fifo.fn_str(), 0644), 0);
    // A replacement makes the run replace; the file is written with its mode
    // unless that is 0; an empty find string is a caller's error.
    struct Row {
        const char* name;
        std::string bytes;
        mode_t mode;
        const char* find;
        bool regex;
        const char* replace;
        const char* message;
    };
    const Row rows[] = {
        {"readonly.txt", "foo\n", 0444, "foo", false, "bar", "read-only"},
        {"binary.bin", std::string("foo\0bar\n", 8), 0644, "foo", false, "bar", "binary"},
        // Latin-1 has no Cyrillic letters: the file cannot take the text.
        {"latin1.txt", "caf\xe9 foo\n", 0644, "foo", false, "\xd0\xb6", "encoding"},
        {"empty.txt", "a(\nfoo\n", 0644, "", false, "", nullptr},
        {"regex.txt", "a(\nfoo\n", 0644, "a(", true, "", "not a valid regular expression"},
        {"missing.txt", "", 0, "foo", false, "", "missing.txt"},
        {"pipe", "", 0, "foo", false, "", "not a regular file"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const wxString path = m_Temp.File(row.name);
        if (row.mode != 0) {
            ASSERT_TRUE(WriteBytes(path, row.bytes));
            chmod(path.fn_str(), row.mode);
        }
        const bool replace = row.replace[0] != 0;
        SetFind(row.find, row.regex ? "-E" : "-F", wxString::FromUTF8(row.replace));
        qeltest::LogCapture log;
        qeltest::ExpectAsserts asserts;
        Recorder scanner{QelFileName(path),
                         QelTool(replace ? ID_TOOL_REPLACE_IN_FILES : ID_TOOL_FIND_IN_FILES)};
        EXPECT_FALSE(scanner.RunTool());
        EXPECT_EQ(asserts.Count(), row.find[0] ? 0 : 1);
        // A file left as it was counts apart; an error of the settings does not.
        const bool skipped = row.message != nullptr && !row.regex;
        EXPECT_EQ(scanner.Counter("Files"), skipped ? 0 : 1);
        EXPECT_EQ(scanner.Counter("Files Skipped"), skipped ? 1 : 0);
        EXPECT_EQ(scanner.Counter("Actions Completed"), 0);
        if (row.mode != 0) {
            EXPECT_EQ(ReadBytes(path), row.bytes);
        }
        EXPECT_EQ(log.Records().size(), row.message ? 1u : 0u) << log.Dump();
        if (row.message) {
            EXPECT_EQ(log.Count(row.message), 1u) << log.Dump();
        }
        if (replace) { // the matches were found, the file not written
            EXPECT_EQ(log.Count(path), 1u) << log.Dump();
        } else {
            EXPECT_TRUE(scanner.lines.empty());
            EXPECT_EQ(log.CountLevel(wxLOG_Error), log.Records().size());
        }
    }
    EXPECT_TRUE(QelDir::Cancelled()); // every other file would fail the same way
}

TEST_F(Scanner, InsertLineFromAHook)
{
    SetFind("foo");
    for (size_t chunk : readChunks) {
        SCOPED_TRACE(chunk);
        QelTextFile::SetReadChunkSize(chunk);
        const wxString path = Write("f.c", "a\nfoo\nb\r\nfoo\nend");
        Recorder scanner{QelFileName(path), QelTool(ID_TOOL_FIND_IN_FILES)};
        scanner.insertOnReport = "// here";
        ASSERT_TRUE(scanner.RunTool());
        EXPECT_EQ(ReadBytes(path), "a\n// here\nfoo\nb\r\n// here\nfoo\nend");
        // The second match counts the line inserted before the first.
        EXPECT_EQ(scanner.lines, (std::vector<size_t>{1, 4}));
    }
}

// Counts of code and comments, written down by hand from the rules: column 0
// is never judged and makes no code; a marker is found in a window of
// begin1's length; quotes hide markers; a comment whose end marker is longer
// than begin1's window only ends at the start of a line.
TEST_F(Scanner, CountTool)
{
    struct Row {
        const char* name;
        const char* text;   // none: the sample file of that name
        std::string counts; // lines, empty lines, code lines and words, comments, their size
    };
    const Row rows[] = {{"sample.c", nullptr, "16 2 7 24 4 95"},
                        {"sample.py", nullptr, "9 2 7 17 1 11"},
                        {"sample.xml", nullptr, "5 0 1 2 1 70"},
                        // The words are "=", "1" and the first "/" of the marker: column 0's
                        // "x" only starts the word.
                        {"note.c", "x = 1; // note\n", "1 0 1 3 1 7"},
                        {"string.c", "s = \"//\";\n", "1 0 1 2 0 0"},
                        {"late.c", "x//\n", "1 0 1 1 1 2"},
                        {"short.c", "a /*/ b\n", "1 0 1 2 1 3"},
                        {"nomarkers.txt", "abcd", "1 0 0 0 2 1"},
                        {"empty.c", "", "0 0 0 0 0 0"}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const wxString path = row.text ? Write(row.name, row.text) : Data(row.name);
        Recorder scanner{QelFileName(path), QelTool(ID_TOOL_REPORT_COUNT)};
        ASSERT_TRUE(scanner.RunTool());
        EXPECT_EQ(scanner.statisticsCalls, 1);
        std::string counts;
        for (const char* name :
             {"Lines", "Empty Lines", "Lines Of Code", "Words Of Code", "Comments", "Comment Size"})
            counts += (counts.empty() ? "" : " ") + std::to_string(scanner.Counter(name));
        EXPECT_EQ(counts, row.counts);
        EXPECT_EQ(scanner.Counter("Files"), 1);
        EXPECT_EQ(scanner.Counter("Total Size"), wxFileName::GetSize(path).GetValue());
        EXPECT_EQ(scanner.Counter("Actions Completed"), 0);
    }
}

TEST_F(Scanner, KeywordReport)
{
    struct Row {
        const char* name;
        wxString path;
        const char* keywords;
    };
    const Row rows[] = {
        {"sample.c", Data("sample.c"), "int: 4\nreturn: 2\nvoid: 1"},
        {"x if", Write("b.c", "x if\n"), ""}, // column 0 merges with the next word
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Recorder scanner{QelFileName(row.path), QelTool(ID_TOOL_REPORT_KEYWORD)};
        ASSERT_TRUE(scanner.RunTool());
        EXPECT_EQ(scanner.GetStatistics().GetKeywords().Get(), row.keywords);
        EXPECT_EQ(scanner.Counter("Actions Completed"), 1);
        // Only the count tool counts lines, words and comment characters.
        EXPECT_EQ(scanner.Counter("Words Of Code") + scanner.Counter("Lines"), 0);
    }
}

// The text every match of the pattern holds: what the scanner looks for
// before it runs the expression.
TEST(RegexRequiredText, IsTextEveryMatchHolds)
{
    const std::pair<const char*, const char*> rows[] = {
        {"abc?d", "ab"},        {"ab{2}cd", "cd"},       {"a{x}", "x}"},
        {"a\\.b\\(c", "a.b(c"}, {"abc|def", ""},         {"(abc|def)ghi", "ghi"},
        {"(?i)abc", ""},        {"[]x]yz", "yz"},        {"[[:alpha:]]+one", "one"},
        {"\\x41BC", ""},        {"caf\xc3\xa9s", "caf"},
    };
    for (const auto& [pattern, text] : rows)
        EXPECT_EQ(QelRegexRequiredText(wxString::FromUTF8(pattern)), text) << pattern;
}

TEST(RegexReplace, MovesOnAfterEmptyMatches)
{
    struct Row {
        const char* pattern;
        const char* text;
        const char* replacement;
        const char* result;
        size_t count;
        bool whole = false; // whole words only
    };
    const Row rows[] = {
        // Empty and non-empty matches in turn; a group that took no part or
        // does not exist; escaped "&" and backslash. The sed comparison has the
        // rest.
        {"a*", "baaac", "-", "-b-c-", 3},
        {"^", "abc", ">", ">abc", 1},
        {"(a)(b)?", "ab a", "\\2\\1\\3", "ba a", 2},
        {"a", "aa", "\\&\\\\", "&\\&\\", 2},
        {"z", "abc", "-", "abc", 0},
        {"", "", "-", "-", 1},
        // A boundary or look-behind after the previous match sees its text.
        {"(?<=a)b", "abbab", "X", "aXbaX", 2},
        {"\\Bb", "bbb", "X", "bXX", 2},
        {"\\b", "ab cd", "|", "|ab| |cd|", 4},
        // Whole words: letters that are not ASCII are word characters; a
        // verb of the pattern stays in front.
        {"fo+", "foo_ fo ffoo foo\xc3\xa9 x-foo", "X", "foo_ X ffoo foo\xc3\xa9 x-X", 2, true},
        {"(*UCP)\\w+", "\xc3\xa9t\xc3\xa9, x", "<&>", "<\xc3\xa9t\xc3\xa9>, <x>", 2, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.pattern + std::string(" on ") + row.text);
        const wxString pattern
            = row.whole ? QelRegexWholeWordPattern(row.pattern) : wxString(row.pattern);
        const wxRegEx re(pattern);
        wxRegEx follow;
        const wxString follow_pattern = QelRegexFollowPattern(pattern);
        if (!follow_pattern.empty()) follow.Compile(follow_pattern);
        ASSERT_TRUE(re.IsValid() && (follow_pattern.empty() || follow.IsValid()));
        size_t count = 99;
        EXPECT_EQ(
            QelRegexReplace(re, wxString::FromUTF8(row.text), row.replacement, &count, &follow),
            wxString::FromUTF8(row.result));
        EXPECT_EQ(count, row.count);
    }
}

TEST(ScannerRules, CaseFoldingNeverCrossesIntoAscii)
{
    // The long s and the dotless i stay as they are.
    const std::pair<wchar_t, wchar_t> folds[] = {{L'a', L'A'},
                                                 {L'\u00e9', L'\u00c9'},
                                                 {L'\u0434', L'\u0414'},
                                                 {L'\u017f', L'\u017f'},
                                                 {L'\u0131', L'\u0131'}};
    for (const auto& [c, upper] : folds) EXPECT_EQ(QelFoldCase(c), upper) << static_cast<int>(c);
    EXPECT_TRUE(QelIsWordCharacter(L'_') && QelIsWordCharacter(L'\u00e9'));
    EXPECT_FALSE(QelIsWordCharacter(L'-') || QelIsWordCharacter(L'\u00a0'));
}

} // namespace
