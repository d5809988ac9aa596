// The text-file scanner: find against grep, replace against sed, counts of
// code and comments written down by hand, and the failure paths.
#include <algorithm>
#include <random>
#include <set>
#include <vector>

#include <sys/stat.h>

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

// A scanner that records what its hooks receive.
class Recorder : public QelTextFile
{
public:
    using QelTextFile::QelTextFile;

    std::vector<size_t> lines;    // reported indexes
    std::vector<wxString> texts;  // the reported lines
    int statisticsCalls = 0;
    bool failWrite = false;
    wxString insertOnReport;

    std::set<size_t> LineNumbers() const
    {
        std::set<size_t> numbers;
        for (size_t line : lines) numbers.insert(line + 1);
        return numbers;
    }

    void ReportStatistics() override { ++statisticsCalls; }

protected:
    void Report(size_t line) override
    {
        lines.push_back(line);
        texts.push_back(GetCurrentLine());
        if (!insertOnReport.empty()) InsertLine(insertOnReport);
    }

    bool DoWriteFile(const wxString& path, const std::string& bytes) override
    {
        return !failWrite && QelTextFile::DoWriteFile(path, bytes);
    }
};

// Find in files reads a file in windows of whole lines: small reads make
// every edge case of a window edge happen in small files.
class ReadChunk
{
public:
    explicit ReadChunk(size_t bytes) { QelTextFile::SetReadChunkSize(bytes); }
    ~ReadChunk() { QelTextFile::SetReadChunkSize(0); }
    ReadChunk(const ReadChunk&) = delete;
    ReadChunk& operator=(const ReadChunk&) = delete;
};

const size_t readChunks[] = {0, 1, 2, 3, 7};

struct FindOptions
{
    FindOptions(const wxString& f, bool c = true, bool w = false, bool r = false, const wxString& to = wxString())
        : find(f), matchCase(c), matchWord(w), regex(r), replace(to)
    {
    }

    wxString find;
    bool matchCase;
    bool matchWord;
    bool regex;
    wxString replace;
};

class Scanner : public qeltest::ConfigTest
{
protected:
    void SetUp() override
    {
        ConfigTest::SetUp();
        auto* lexers = new QelLexers(wxFileName(QEL_TEST_DATA_DIR "/textfile/lexers.xml"));
        ASSERT_TRUE(lexers->Read());
        delete QelLexers::Set(lexers);
    }

    static void SetFind(const FindOptions& options)
    {
        QelFindReplaceData* frd = QelFindReplaceData::Get();
        frd->SetMatchCase(options.matchCase);
        frd->SetMatchWord(options.matchWord);
        frd->SetUseRegularExpression(options.regex);
        frd->SetReplaceString(options.replace);
        frd->SetFindString(options.find);
    }

    wxString Write(const wxString& name, const std::string& bytes)
    {
        const wxString path = m_Temp.File(name);
        EXPECT_TRUE(WriteBytes(path, bytes));
        return path;
    }

    static long Counter(const QelTextFile& scanner, const char* name)
    {
        return scanner.GetStatistics().GetElements().Get(name);
    }
};

// Line numbers that grep prints for the text a command writes.
std::set<size_t> GrepLines(const wxString& textCommand, const wxString& options, const wxString& pattern)
{
    const std::string out = qeltest::Run(textCommand + " | LC_ALL=C.UTF-8 grep -n " + options + " -e " +
                                ShellQuote(pattern) + " | cut -d: -f1");
    std::set<size_t> numbers;
    size_t start = 0;
    for (size_t end; (end = out.find('\n', start)) != std::string::npos; start = end + 1)
    {
        numbers.insert(std::stoul(out.substr(start, end - start)));
    }
    return numbers;
}

std::string Show(const std::set<size_t>& numbers)
{
    std::string text;
    for (size_t n : numbers) text += std::to_string(n) + " ";
    return text;
}

// The test files of find and replace: name, bytes, and a command that writes
// their text as UTF-8 lines, as the scanner sees them (no mark, no CR).
struct TextCase
{
    const char* name;
    std::string bytes;
    const char* text;   // %s is the quoted path
    bool latin1;
};

const std::vector<TextCase>& TextCases()
{
    static const std::vector<TextCase> cases = {
        {"latin1.txt", "caf\xe9 au lait\nCAF\xc9 noir\nfoo bar\nfoobar\nFOO_x foo\n\xe9t\xe9 foo\xe9\nsans\n",
         "iconv -f LATIN1 -t UTF-8 %s", true},
        {"bom.txt", "\xEF\xBB\xBF" "foo first\nsecond caf\xc3\xa9\nCAF\xc3\x89 Foo\nlast\n", "tail -c +4 %s", false},
        {"crlf.txt", "alpha foo\r\nbeta\r\nfoo_bar foo\r\nFoo\r\n\r\nfoofoo\r\n", "sed 's/\\r$//' %s", false},
        {"noeol.txt", "x\nfoo\n\nlast foo", "cat %s", false},
        {"utf8.txt",
         "\xd0\xbf\xd1\x80\xd0\xb8\xd0\xb2\xd0\xb5\xd1\x82 foo\n\xd0\x9f\xd0\xa0\xd0\x98\xd0\x92\xd0\x95\xd0\xa2 m\n"
         "stra\xc3\x9f" "e foo_1\nabc_d abc\n(abc)\nxABCx\nabc_d\n",
         "cat %s", false},
    };
    return cases;
}

wxString TextCommand(const TextCase& c, const wxString& path)
{
    return wxString::Format(c.text, ShellQuote(path));
}

TEST_F(Scanner, FindMatchesTheLinesGrepFinds)
{
    struct Search { const char* pattern; const char* grep; bool matchCase, matchWord, regex; };
    const Search searches[] = {
        {"foo", "-F", true, false, false},
        {"foo", "-Fi", false, false, false},
        {"foo", "-Fw", true, true, false},
        {"foo", "-Fiw", false, true, false},
        {"caf\xc3\xa9", "-F", true, false, false},
        {"caf\xc3\xa9", "-Fi", false, false, false},
        {"CAF\xc3\x89", "-Fiw", false, true, false},
        {"\xd0\xbf\xd1\x80\xd0\xb8\xd0\xb2\xd0\xb5\xd1\x82", "-Fi", false, false, false},
        {"abc", "-Fw", true, true, false},
        {"abc", "-Fiw", false, true, false},
        {"o", "-F", true, false, false},
        {"fo+", "-E", true, false, true},
        {"^(foo|alpha)", "-E", true, false, true},
        {"FO+", "-Ei", false, false, true},
        {"caf.", "-E", true, false, true},
        {"[a-z]+_[a-z0-9]", "-E", true, false, true},
        {"o$", "-E", true, false, true},
        {"\\(abc\\)", "-E", true, false, true},
    };

    size_t matched = 0; // so that agreeing on nothing cannot pass
    for (const TextCase& file : TextCases())
    {
        const wxString path = Write(file.name, file.bytes);
        for (const Search& search : searches)
        {
            const wxString pattern = wxString::FromUTF8(search.pattern);
            SCOPED_TRACE(std::string(file.name) + " grep " + search.grep + " " + search.pattern);
            SetFind({pattern, search.matchCase, search.matchWord, search.regex});
            const std::set<size_t> expected = GrepLines(TextCommand(file, path), search.grep, pattern);
            matched += expected.size();

            for (size_t chunk : readChunks)
            {
                SCOPED_TRACE(chunk);
                ReadChunk reads(chunk);
                Recorder scanner{QelFileName(path), QelTool(ID_TOOL_FIND_IN_FILES)};
                ASSERT_TRUE(scanner.RunTool());
                EXPECT_EQ(Show(scanner.LineNumbers()), Show(expected));
                EXPECT_EQ(Counter(scanner, "Actions Completed"), static_cast<long>(expected.size()));
                EXPECT_EQ(Counter(scanner, "Files"), 1);
            }
        }
    }
    EXPECT_GT(matched, 100u);
}

TEST_F(Scanner, FindReportsTheLineTextInTheFilesEncoding)
{
    const TextCase& latin1 = TextCases()[0];
    SetFind({"noir", false});
    Recorder scanner{QelFileName(Write(latin1.name, latin1.bytes)), QelTool(ID_TOOL_FIND_IN_FILES)};
    ASSERT_TRUE(scanner.RunTool());
    ASSERT_EQ(scanner.texts.size(), 1u);
    EXPECT_EQ(scanner.texts[0], wxString::FromUTF8("CAF\xc3\x89 noir"));
    EXPECT_EQ(scanner.GetEncoding(), QelTextEncoding::latin1);
}

TEST_F(Scanner, LineNumbersAddUpOverWindows)
{
    // Long stretches without a match, with all three line ends: the windows
    // that hold no match are only counted.
    std::string text;
    const char* ends[] = {"\n", "\r\n", "\r"};
    for (int line = 0; line < 3000; ++line)
    {
        text += std::string(1 + line % 37, 'x') + (line % 500 == 499 ? " foo" : "") + ends[line % 3];
    }
    text += "last foo";
    const wxString path = Write("long.txt", text);
    SetFind({"foo"});

    std::vector<size_t> whole;
    for (size_t chunk : {size_t(0), size_t(100), size_t(4096), size_t(5)})
    {
        SCOPED_TRACE(chunk);
        ReadChunk reads(chunk);
        Recorder scanner{QelFileName(path), QelTool(ID_TOOL_FIND_IN_FILES)};
        ASSERT_TRUE(scanner.RunTool());
        if (chunk == 0) whole = scanner.lines;
        EXPECT_EQ(scanner.lines, whole);
    }
    EXPECT_EQ(whole, (std::vector<size_t>{499, 999, 1499, 1999, 2499, 2999, 3000}));
}

TEST_F(Scanner, WholeWordTriesEveryOccurrence)
{
    // The first "abc" is followed by "_"; the second one stands alone.
    SetFind({"abc", true, true});
    Recorder scanner{QelFileName(Write("w.txt", "abc_d abc\nabc_d\n(abc)\nxabc abcx\n")), QelTool(ID_TOOL_FIND_IN_FILES)};
    ASSERT_TRUE(scanner.RunTool());
    EXPECT_EQ(Show(scanner.LineNumbers()), "1 3 ");
}

TEST_F(Scanner, FindCountsOneActionPerLine)
{
    SetFind({"a"});
    Recorder scanner{QelFileName(Write("a.txt", "aaa\nb\na a\n")), QelTool(ID_TOOL_FIND_IN_FILES)};
    ASSERT_TRUE(scanner.RunTool());
    EXPECT_EQ(Counter(scanner, "Actions Completed"), 2);
}

// A walk that runs the scanner on every file, as find in files does.
class FindWalk : public QelDir
{
public:
    explicit FindWalk(const wxString& path) : QelDir(path, "*") {}

    std::set<std::string> pairs;
    QelFileStatistics sum;

    void OnFile(const wxString& file) override
    {
        Recorder scanner{QelFileName(file), QelTool(ID_TOOL_FIND_IN_FILES)};
        scanner.RunTool();
        for (size_t line : scanner.lines) pairs.insert(file.utf8_string() + ":" + std::to_string(line + 1));
        sum += scanner.GetStatistics();
    }
};

TEST_F(Scanner, FindInATreeMatchesGrepRecursive)
{
    std::mt19937 random(4);
    const char* words[] = {"foo", "FOO", "fOo", "bar", "food", "xfoox", "baz", " ", "\t"};
    const wxString root = m_Temp.File("tree");
    int files = 0;
    for (const char* folder : {"", "/a", "/a/b", "/c"})
    {
        wxFileName::Mkdir(root + folder, 0755, wxPATH_MKDIR_FULL);
        for (int f = 0; f < 6; ++f, ++files)
        {
            std::string text;
            for (int line = 0; line < 40; ++line)
            {
                for (int w = random() % 6; w > 0; --w) text += words[random() % 9];
                text += "\n";
            }
            WriteBytes(root + folder + wxString::Format("/f%d.txt", f), text);
        }
    }

    for (bool matchCase : {true, false})
    {
        SCOPED_TRACE(matchCase);
        SetFind({"foo", matchCase});
        // Windows of some lines each: the line numbers counted over windows
        // without a match must add up.
        ReadChunk reads(matchCase ? 0 : 100);
        FindWalk walk(root);
        walk.FindFiles();

        const std::string grep = qeltest::Run(wxString("cd ") + ShellQuote(m_Temp.Path()) + " && LC_ALL=C grep -Rn" +
                                     (matchCase ? "" : "i") + "F foo tree | cut -d: -f1,2");
        std::set<std::string> expected;
        size_t start = 0;
        for (size_t end; (end = grep.find('\n', start)) != std::string::npos; start = end + 1)
        {
            expected.insert(m_Temp.Path().utf8_string() + "/" + grep.substr(start, end - start));
        }
        EXPECT_EQ(walk.pairs, expected);
        EXPECT_EQ(walk.sum.GetElements().Get("Actions Completed"), static_cast<long>(expected.size()));
        EXPECT_EQ(walk.sum.GetElements().Get("Files"), files);
    }
}

// Replace compared with sed on a copy: the bytes must be the same.
struct ReplaceCase
{
    const char* find;       // UTF-8
    bool matchCase, matchWord, regex;
    const char* replace;    // UTF-8
    const char* sed;        // the sed -E script
    const char* locale;     // for sed
    bool latin1Too;         // the Latin-1 file can be checked with this sed
    bool crlfToo;           // lines with CR can be checked with this sed
    bool asciiOnly;         // sed moves on by a byte after an empty match
    const char* grepCount;  // grep -o options counting the replacements, or null
};

TEST_F(Scanner, ReplaceWritesWhatSedWrites)
{
    const ReplaceCase cases[] = {
        {"foo", true, false, false, "bar", "s/foo/bar/g", "C", true, true, false, "-F"},
        {"foo", false, false, false, "bar", "s/foo/bar/gI", "C.UTF-8", false, true, false, "-Fi"},
        {"foo", false, false, false, "b\xc3\xa4r", "s/foo/b\xc3\xa4r/gI", "C.UTF-8", false, true, false, nullptr},
        {"foo", true, true, false, "bar", "s/\\bfoo\\b/bar/g", "C.UTF-8", false, true, false, "-Fw"},
        {"abc", false, true, false, "X", "s/\\babc\\b/X/gI", "C.UTF-8", false, true, false, "-Fiw"},
        {"caf\xc3\xa9", true, false, false, "tea", "s/caf\xc3\xa9/tea/g", "C.UTF-8", false, true, false, "-F"},
        {"fo+", true, false, true, "<&>", "s/fo+/<&>/g", "C", true, true, false, nullptr},
        {"(o)(o)", true, false, true, "\\2-\\1", "s/(o)(o)/\\2-\\1/g", "C", true, true, false, nullptr},
        {"$", true, false, true, ";", "s/$/;/", "C.UTF-8", false, false, false, nullptr},
        {"x*", true, false, true, "-", "s/x*/-/g", "C.UTF-8", false, false, true, nullptr},
        {"a*", true, false, true, "-", "s/a*/-/g", "C.UTF-8", false, false, true, nullptr},
    };

    for (const ReplaceCase& rc : cases)
    {
        const FindOptions options{wxString::FromUTF8(rc.find), rc.matchCase, rc.matchWord, rc.regex,
                                  wxString::FromUTF8(rc.replace)};
        for (const TextCase& file : TextCases())
        {
            const bool crlf = std::string(file.name) == "crlf.txt";
            const bool ascii = std::none_of(file.bytes.begin(), file.bytes.end(), [](char c) { return c & 0x80; });
            if ((file.latin1 && !rc.latin1Too) || (crlf && !rc.crlfToo) || (!ascii && rc.asciiOnly)) continue;
            SCOPED_TRACE(std::string(file.name) + " sed " + rc.sed);

            const wxString ours = Write(wxString("ours-") + file.name, file.bytes);
            const wxString theirs = Write(wxString("sed-") + file.name, file.bytes);
            qeltest::Run(wxString("LC_ALL=") + rc.locale + " sed -E -i " + ShellQuote(wxString::FromUTF8(rc.sed)) + " " +
                ShellQuote(theirs));

            SetFind(options);
            Recorder scanner{QelFileName(ours), QelTool(ID_TOOL_REPLACE_IN_FILES)};
            ASSERT_TRUE(scanner.RunTool());

            int differs = 0;
            qeltest::Run("cmp " + ShellQuote(ours) + " " + ShellQuote(theirs), &differs);
            EXPECT_EQ(differs, 0) << "ours:  " << ReadBytes(ours) << "\nsed:   " << ReadBytes(theirs);

            if (rc.grepCount != nullptr)
            {
                const std::string count = qeltest::Run(TextCommand(file, Write("orig", file.bytes)) +
                    " | LC_ALL=C.UTF-8 grep -o " + rc.grepCount + " -e " + ShellQuote(options.find) + " | wc -l");
                EXPECT_EQ(Counter(scanner, "Actions Completed"), std::stol(count));
            }
        }
    }
}

TEST_F(Scanner, ReplaceCountsEveryReplacement)
{
    for (bool regex : {false, true})
    {
        SCOPED_TRACE(regex);
        SetFind({"a", true, false, regex, "b"});
        const wxString path = Write("aaa.txt", "aaa");
        Recorder scanner{QelFileName(path), QelTool(ID_TOOL_REPLACE_IN_FILES)};
        ASSERT_TRUE(scanner.RunTool());
        EXPECT_EQ(Counter(scanner, "Actions Completed"), 3);
        EXPECT_EQ(ReadBytes(path), "bbb");
        ASSERT_EQ(scanner.texts.size(), 1u);
        EXPECT_EQ(scanner.texts[0], "bbb");
    }
}

TEST_F(Scanner, ReplaceKeepsModeAndSymbolicLink)
{
    SetFind({"foo", true, false, false, "bar"});
    const wxString target = Write("target.txt", "a foo\n");
    chmod(target.fn_str(), 0640);
    const wxString link = m_Temp.File("link.txt");
    ASSERT_EQ(symlink("target.txt", link.fn_str()), 0);

    Recorder scanner{QelFileName(link), QelTool(ID_TOOL_REPLACE_IN_FILES)};
    ASSERT_TRUE(scanner.RunTool());

    EXPECT_EQ(qeltest::Run("readlink " + ShellQuote(link)), "target.txt\n");
    EXPECT_EQ(ReadBytes(target), "a bar\n");
    EXPECT_EQ(qeltest::Run("stat -c %a " + ShellQuote(target)), "640\n");
}

TEST_F(Scanner, ReplaceKeepsUtf16AndItsMark)
{
    const std::string text = "foo bar\r\nx \xc3\xa9 foo\r\n";
    const wxString source = Write("utf8.txt", text);
    const wxString path = m_Temp.File("utf16.txt");
    const wxString expected = m_Temp.File("expected.txt");
    qeltest::Run("{ printf '\\377\\376'; iconv -f UTF-8 -t UTF-16LE " + ShellQuote(source) + "; } > " + ShellQuote(path));
    qeltest::Run("{ printf '\\377\\376'; sed 's/foo/baz/g' " + ShellQuote(source) + " | iconv -f UTF-8 -t UTF-16LE; } > " +
        ShellQuote(expected));

    SetFind({"foo", true, false, false, "baz"});
    Recorder scanner{QelFileName(path), QelTool(ID_TOOL_REPLACE_IN_FILES)};
    ASSERT_TRUE(scanner.RunTool());
    EXPECT_EQ(scanner.GetEncoding(), QelTextEncoding::utf16le);
    EXPECT_TRUE(scanner.HasByteOrderMark());
    EXPECT_EQ(Counter(scanner, "Actions Completed"), 2);
    EXPECT_EQ(ReadBytes(path), ReadBytes(expected));
}

TEST_F(Scanner, ReplaceRefusesFilesItCannotWriteFaithfully)
{
    struct Row { const char* name; std::string bytes; mode_t mode; const char* replace; const char* message; };
    const Row rows[] = {
        {"readonly.txt", "foo\n", 0444, "bar", "read-only"},
        {"binary.bin", std::string("foo\0bar\n", 8), 0644, "bar", "binary"},
        // Latin-1 has no Cyrillic letters: the file cannot take the text.
        {"latin1.txt", "caf\xe9 foo\n", 0644, "\xd0\xb6", "encoding"},
    };
    for (const Row& row : rows)
    {
        SCOPED_TRACE(row.name);
        const wxString path = Write(row.name, row.bytes);
        chmod(path.fn_str(), row.mode);
        SetFind({"foo", true, false, false, wxString::FromUTF8(row.replace)});

        qeltest::LogCapture log;
        Recorder scanner{QelFileName(path), QelTool(ID_TOOL_REPLACE_IN_FILES)};
        EXPECT_FALSE(scanner.RunTool());
        EXPECT_EQ(ReadBytes(path), row.bytes);
        EXPECT_EQ(Counter(scanner, "Files"), 1);
        EXPECT_EQ(Counter(scanner, "Actions Completed"), 0);
        EXPECT_EQ(log.Count(path), 1u) << log.Dump();
        EXPECT_EQ(log.Count(row.message), 1u) << log.Dump();
    }
}

TEST_F(Scanner, FailedWriteCountsNoReplacement)
{
    SetFind({"foo", true, false, false, "bar"});
    const wxString path = Write("f.txt", "foo foo\nfoo\n");
    qeltest::LogCapture log;
    Recorder scanner{QelFileName(path), QelTool(ID_TOOL_REPLACE_IN_FILES)};
    scanner.failWrite = true;

    EXPECT_FALSE(scanner.RunTool());
    EXPECT_TRUE(scanner.IsWriteFailed());
    EXPECT_EQ(scanner.lines.size(), 2u); // reported before the write
    EXPECT_EQ(Counter(scanner, "Actions Completed"), 0);
    EXPECT_EQ(Counter(scanner, "Files"), 1);
    EXPECT_EQ(ReadBytes(path), "foo foo\nfoo\n");
    EXPECT_EQ(log.Count(path), 1u) << log.Dump();
}

TEST_F(Scanner, EmptyFindTextIsAProgrammingError)
{
    SetFind({""});
    const wxString path = Write("f.txt", "foo\n");
    qeltest::ExpectAsserts asserts;
    Recorder scanner{QelFileName(path), QelTool(ID_TOOL_FIND_IN_FILES)};
    EXPECT_FALSE(scanner.RunTool());
    EXPECT_EQ(asserts.Count(), 1);
    EXPECT_EQ(Counter(scanner, "Files"), 1);
}

TEST_F(Scanner, InvalidRegularExpressionStopsTheRun)
{
    SetFind({"a(", true, false, true});
    const wxString path = Write("f.txt", "a(\n");
    qeltest::LogCapture log;
    Recorder scanner{QelFileName(path), QelTool(ID_TOOL_FIND_IN_FILES)};
    EXPECT_FALSE(scanner.RunTool());
    EXPECT_TRUE(scanner.lines.empty());
    EXPECT_EQ(log.Records().size(), 1u) << log.Dump();
    EXPECT_EQ(log.CountLevel(wxLOG_Error), 1u);
    EXPECT_EQ(log.Count("not a valid regular expression"), 1u);
    EXPECT_TRUE(QelDir::Cancelled());
}

TEST_F(Scanner, MissingFileSaysSoAndCountsNothing)
{
    SetFind({"foo"});
    const wxString path = m_Temp.File("missing.txt");
    qeltest::LogCapture log;
    Recorder scanner{QelFileName(path), QelTool(ID_TOOL_FIND_IN_FILES)};
    EXPECT_FALSE(scanner.RunTool());
    EXPECT_TRUE(scanner.GetStatistics().GetElements().GetItems().empty());
    EXPECT_EQ(log.Count(path), 1u) << log.Dump();
}

TEST_F(Scanner, ReadsRegularFilesOnly)
{
    // A named pipe would block a plain open until someone writes to it.
    SetFind({"foo"});
    const wxString fifo = m_Temp.File("pipe");
    ASSERT_EQ(mkfifo(fifo.fn_str(), 0644), 0);
    for (const wxString& path : {fifo, m_Temp.Path()})
    {
        SCOPED_TRACE(path);
        qeltest::LogCapture log;
        Recorder scanner{QelFileName(path), QelTool(ID_TOOL_FIND_IN_FILES)};
        EXPECT_FALSE(scanner.RunTool());
        EXPECT_EQ(log.Count("not a regular file"), 1u) << log.Dump();
    }
}

TEST_F(Scanner, Utf8MarkBeforeOtherBytesIsLatin1Text)
{
    const std::string bytes = "\xEF\xBB\xBF" "caf\xe9 foo\n";
    const wxString path = Write("odd.txt", bytes);
    SetFind({"foo", true, false, false, "bar"});
    Recorder scanner{QelFileName(path), QelTool(ID_TOOL_REPLACE_IN_FILES)};
    ASSERT_TRUE(scanner.RunTool());
    EXPECT_EQ(scanner.GetEncoding(), QelTextEncoding::latin1);
    EXPECT_FALSE(scanner.HasByteOrderMark());
    EXPECT_EQ(ReadBytes(path), "\xEF\xBB\xBF" "caf\xe9 bar\n");
}

TEST_F(Scanner, InsertLineFromAHook)
{
    SetFind({"foo"});
    for (size_t chunk : readChunks)
    {
        SCOPED_TRACE(chunk);
        ReadChunk reads(chunk);
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
TEST_F(Scanner, CountToolOnSamples)
{
    struct Row { const char* file; long lines, empty, code, words, comments, commentSize; };
    const Row rows[] = {
        {"sample.c", 16, 2, 7, 24, 4, 95},
        {"sample.py", 9, 2, 7, 17, 1, 11},
        {"sample.sh", 5, 0, 5, 12, 1, 6},
        {"sample.xml", 5, 0, 1, 2, 1, 70},
    };
    for (const Row& row : rows)
    {
        SCOPED_TRACE(row.file);
        const wxString path = wxString(QEL_TEST_DATA_DIR "/textfile/") + row.file;
        Recorder scanner{QelFileName(path), QelTool(ID_TOOL_REPORT_COUNT)};
        ASSERT_TRUE(scanner.RunTool());
        EXPECT_EQ(scanner.statisticsCalls, 1);
        EXPECT_EQ(Counter(scanner, "Files"), 1);
        EXPECT_EQ(Counter(scanner, "Total Size"), static_cast<long>(wxFileName::GetSize(path).GetValue()));
        EXPECT_EQ(Counter(scanner, "Lines"), row.lines);
        EXPECT_EQ(Counter(scanner, "Empty Lines"), row.empty);
        EXPECT_EQ(Counter(scanner, "Lines Of Code"), row.code);
        EXPECT_EQ(Counter(scanner, "Words Of Code"), row.words);
        EXPECT_EQ(Counter(scanner, "Comments"), row.comments);
        EXPECT_EQ(Counter(scanner, "Comment Size"), row.commentSize);
        EXPECT_EQ(Counter(scanner, "Actions Completed"), 0);
    }
}

TEST_F(Scanner, KeywordReportOnTheCSample)
{
    Recorder scanner{QelFileName(QEL_TEST_DATA_DIR "/textfile/sample.c"), QelTool(ID_TOOL_REPORT_KEYWORD)};
    ASSERT_TRUE(scanner.RunTool());
    EXPECT_EQ(scanner.statisticsCalls, 1);
    const auto& keywords = scanner.GetStatistics().GetKeywords();
    EXPECT_EQ(keywords.Get(), "int: 4\nreturn: 2\nvoid: 1");
    EXPECT_EQ(Counter(scanner, "Actions Completed"), 1);
    // Only the count tool counts words and comment characters.
    EXPECT_EQ(Counter(scanner, "Words Of Code"), 0);
    EXPECT_EQ(Counter(scanner, "Lines"), 0);
}

TEST_F(Scanner, CommentRulesLineByLine)
{
    struct Row { const char* name; const char* text; long code, words, comments, commentSize; };
    const Row rows[] = {
        // The words are "=", "1" and the first "/" of the marker: column 0's
        // "x" only starts the word.
        {"note.c", "x = 1; // note\n", 1, 3, 1, 7},
        {"string.c", "s = \"//\";\n", 1, 2, 0, 0},
        {"brace.c", "}\n", 0, 0, 0, 0},
        {"late.c", "x//\n", 1, 1, 1, 2},
        {"short.c", "a /*/ b\n", 1, 2, 1, 3},
        {"hash.py", "# column 0\n  # later\n", 1, 2, 1, 7},
        {"nomarkers.txt", "abcd", 0, 0, 2, 1},
    };
    for (const Row& row : rows)
    {
        SCOPED_TRACE(row.text);
        Recorder scanner{QelFileName(Write(row.name, row.text)), QelTool(ID_TOOL_REPORT_COUNT)};
        ASSERT_TRUE(scanner.RunTool());
        EXPECT_EQ(Counter(scanner, "Lines Of Code"), row.code);
        EXPECT_EQ(Counter(scanner, "Words Of Code"), row.words);
        EXPECT_EQ(Counter(scanner, "Comments"), row.comments);
        EXPECT_EQ(Counter(scanner, "Comment Size"), row.commentSize);
    }
}

TEST_F(Scanner, KeywordInColumnZeroMergesWithTheNextWord)
{
    struct Row { const char* text; const char* keywords; };
    const Row rows[] = {{"if x\n", "if: 1"}, {"x if\n", ""}, {"  if (a) return;\n", "if: 1\nreturn: 1"}};
    for (const Row& row : rows)
    {
        SCOPED_TRACE(row.text);
        Recorder scanner{QelFileName(Write("k.c", row.text)), QelTool(ID_TOOL_REPORT_KEYWORD)};
        ASSERT_TRUE(scanner.RunTool());
        EXPECT_EQ(scanner.GetStatistics().GetKeywords().Get(), row.keywords);
    }
}

TEST_F(Scanner, EmptyFileIsCountedNotParsed)
{
    const wxString path = Write("empty.c", "");
    Recorder scanner{QelFileName(path), QelTool(ID_TOOL_REPORT_COUNT)};
    ASSERT_TRUE(scanner.RunTool());
    EXPECT_EQ(Counter(scanner, "Files"), 1);
    EXPECT_EQ(Counter(scanner, "Lines"), 0);
    EXPECT_EQ(scanner.statisticsCalls, 1);
}

TEST_F(Scanner, StatisticsOfThreeFilesAddUp)
{
    QelFileStatistics sum;
    wxString paths;
    for (const char* name : {"sample.c", "sample.sh", "sample.xml"})
    {
        const wxString path = wxString(QEL_TEST_DATA_DIR "/textfile/") + name;
        paths += " " + ShellQuote(path);
        Recorder scanner{QelFileName(path), QelTool(ID_TOOL_REPORT_COUNT)};
        ASSERT_TRUE(scanner.RunTool());
        sum += scanner.GetStatistics();
    }
    EXPECT_EQ(sum.GetElements().Get("Files"), 3);
    EXPECT_EQ(sum.GetElements().Get("Lines"), std::stol(qeltest::Run("cat" + paths + " | awk 'END{print NR}'")));
    EXPECT_EQ(sum.GetElements().Get("Total Size"), std::stol(qeltest::Run("cat" + paths + " | wc -c")));
    EXPECT_EQ(sum.GetElements().Get("Empty Lines"), 2); // sample.c only
}

TEST(RegexRequiredText, IsTextEveryMatchHolds)
{
    struct Row { const char* pattern; const char* text; };
    const Row rows[] = {
        {"wx[A-Z][a-z]+Ctrl", "Ctrl"},
        {"foo", "foo"},
        {"fo+", "fo"},
        {"abc?d", "ab"},
        {"ab{2}cd", "cd"},
        {"a{x}", "x}"},
        {"\\bword\\b", "word"},
        {"a\\.b\\(c", "a.b(c"},
        {"x*", ""},
        {"abc|def", ""},
        {"(abc|def)ghi", "ghi"},
        {"(?i)abc", ""},
        {"[]x]yz", "yz"},
        {"[[:alpha:]]+one", "one"},
        {"^start.end$", "start"},
        {"\\x41BC", ""},
        {"caf\xc3\xa9s", "caf"},
    };
    for (const Row& row : rows)
    {
        SCOPED_TRACE(row.pattern);
        EXPECT_EQ(QelRegexRequiredText(wxString::FromUTF8(row.pattern)), row.text);
    }
}

TEST(RegexReplace, MovesOnAfterEmptyMatches)
{
    struct Row { const char* pattern; const char* text; const char* replacement; const char* result; size_t count; };
    const Row rows[] = {
        {"$", "abc", ";", "abc;", 1},
        {"x*", "abc", "-", "-a-b-c-", 4},
        {"a*", "baaac", "-", "-b-c-", 3},
        {"^", "abc", ">", ">abc", 1},
        {"b", "abcb", "[&]", "a[b]c[b]", 2},
        {"(a)(b)?", "ab a", "\\2\\1\\3", "ba a", 2},
        {"a", "aa", "\\&\\\\", "&\\&\\", 2},
        {"z", "abc", "-", "abc", 0},
        {"", "", "-", "-", 1},
    };
    for (const Row& row : rows)
    {
        SCOPED_TRACE(row.pattern + std::string(" on ") + row.text);
        const wxRegEx re(row.pattern);
        ASSERT_TRUE(re.IsValid());
        size_t count = 99;
        EXPECT_EQ(QelRegexReplace(re, row.text, row.replacement, &count), row.result);
        EXPECT_EQ(count, row.count);
    }
}

TEST(ScannerRules, CaseFoldingAndWordCharacters)
{
    EXPECT_EQ(QelFoldCase(L'a'), L'A');
    EXPECT_EQ(QelFoldCase(L'\u00e9'), L'\u00c9');
    EXPECT_EQ(QelFoldCase(L'\u0434'), L'\u0414');
    // Never across to ASCII: the long s and the dotless i stay as they are.
    EXPECT_EQ(QelFoldCase(L'\u017f'), L'\u017f');
    EXPECT_EQ(QelFoldCase(L'\u0131'), L'\u0131');
    EXPECT_TRUE(QelIsWordCharacter(L'_'));
    EXPECT_TRUE(QelIsWordCharacter(L'\u00e9'));
    EXPECT_FALSE(QelIsWordCharacter(L'-'));
    EXPECT_FALSE(QelIsWordCharacter(L'\u00a0'));
}

} // namespace
