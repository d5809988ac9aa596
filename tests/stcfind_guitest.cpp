// Find, replace and go-to of the editor, against grep and sed on the same
// text.
#include <chrono>
#include <iterator>
#include <map>
#include <random>
#include <tuple>

#include <gtest/gtest.h>
#include <wx/frame.h>

#include <qelkit/frd.h>
#include <qelkit/stc.h>

#include "testing.h"

using namespace qeltest;

namespace {

class StcFind : public EditorTest {
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        m_Stc = new QelSTC(m_Frame);
        QelFindReplaceData::Get()->SetMatchCase(true);
        QelFindReplaceData::Get()->SetMatchWord(false);
    }

    static void Regex(bool on) { QelFindReplaceData::Get()->SetUseRegularExpression(on); }

    // The control's own search of the target (SCI_SEARCHINTARGET), or ours:
    // where it found the bytes, and the target after.
    std::tuple<int, int, int> SearchTarget(const std::string& bytes, int from, int to, bool raw)
    {
        m_Stc->SetTargetRange(from, to);
        const int pos = raw ? m_Stc->SendMsg(2197, bytes.size(), wxIntPtr(bytes.data()))
                            : QelSTCSearchBytes(m_Stc, bytes);
        return {pos, m_Stc->GetTargetStart(), m_Stc->GetTargetEnd()};
    }

    // Lines of random words, "foo" in some of them (at most once a line),
    // written to a file and put in the editor; the file's path.
    wxString Sample(int lines)
    {
        static const char* words[] = {"alpha", "beta", "fo", "oof", "gamma", "x"};
        std::mt19937 random(11);
        std::string text;
        for (int i = 0; i < lines; ++i) {
            for (int w = 0; w < 6; ++w) text += std::string(words[random() % 6]) + " ";
            if (random() % 3 == 0) text.insert(text.size() - 4 * (random() % 5) - 1, "foo");
            text += "\n";
        }
        m_Stc->SetText(text);
        return WriteFile("sample.txt", text);
    }

    QelSTC* m_Stc = nullptr;
};

// Each way, every match grep -o finds is found once before the search
// wraps, and is what grep found.
TEST_F(StcFind, StepsThroughEveryMatchAndWrapsOnce)
{
    const wxString path = Sample(400);
    const struct {
        const char* find;
        int flags;
        const char* grep;
    } rows[] = {
        {"foo", wxSTC_FIND_MATCHCASE, "-F foo"},
        // Whole words, also of an expression: "fo" and "foo" alone, not "alfoopha".
        {"fo+", wxSTC_FIND_MATCHCASE | wxSTC_FIND_REGEXP | wxSTC_FIND_WHOLEWORD, "-w -E 'fo+'"},
    };
    for (const auto& row : rows)
        for (const bool forward : {true, false}) {
            SCOPED_TRACE(wxString(row.find) << " forward " << forward);
            const std::string want = qeltest::Run("grep -o " + wxString(row.grep) + " "
                                                  + ShellQuote(path) + " | sort | uniq -c");
            std::map<wxString, int> found;
            m_Stc->DocumentStart();
            ASSERT_TRUE(m_Stc->FindNext(row.find, row.flags, forward));
            const int first = m_Stc->GetSelectionStart();
            int count = 0;
            do ++found[m_Stc->GetSelectedText()];
            while (m_Stc->FindNext(row.find, row.flags, forward)
                   && m_Stc->GetSelectionStart() != first && ++count < 10000);
            std::string seen;
            for (const auto& [text, n] : found)
                seen += wxString::Format("%7d %s\n", n, text).utf8_string();
            EXPECT_EQ(seen, want);
        }
    m_Stc->SetSelection(5, 9);
    EXPECT_FALSE(m_Stc->FindNext("zzz", 0, true));
    EXPECT_EQ(m_Stc->GetSelectedText(), m_Stc->GetTextRange(5, 9));
}

TEST_F(StcFind, ReplaceAllAgreesWithSed)
{
    const wxString sample = Sample(2000);
    // The pattern, its replacement, the same for sed; the sample's matches
    // counted by grep -o with `grep`, else a text of its own and its count.
    const int re = wxSTC_FIND_REGEXP | wxSTC_FIND_MATCHCASE;
    const struct {
        int flags;
        const char *find, *replace, *sed, *grep, *text = nullptr;
        int count = 0;
    } rows[] = {
        {wxSTC_FIND_MATCHCASE, "foo", "barbaz", "s/foo/barbaz/g", "foo"},
        {wxSTC_FIND_MATCHCASE, "foo", "\\1", "s/foo/\\\\1/g", "foo"}, // plain: "\1" is text
        {0, "FOO", "X", "s/foo/X/g", "foo"},
        {wxSTC_FIND_MATCHCASE | wxSTC_FIND_WHOLEWORD, "foo", "X", "s/\\<foo\\>/X/g", "\\<foo\\>"},
        // Whole words of an expression: from where a match starts, the
        // longest match that is one; "fooo_" holds none.
        {re | wxSTC_FIND_WHOLEWORD, "\\(fo\\)o*", "[\\1]", "s/\\<\\(fo\\)o*\\>/[\\1]/g",
         "\\<foo*\\>"},
        {re | wxSTC_FIND_WHOLEWORD, "fo*", "X", "s/\\<fo*\\>/X/g", nullptr,
         "fooo_ f fo_o foo\n_f caf\xc3\xa9 f\xc3\xa9\n", 2},
        {re, "\\(f\\)o+", "<\\1>\\t", "s/\\(f\\)o\\+/<\\1>\\t/g", "fo\\+"},
        {re, "[ab]", "", "s/[ab]//g", "[ab]"},
        // A match of nothing is replaced and the search goes one character
        // on, but not right after a match, nor on the empty last line; an
        // empty line has one. (At the end of a line that holds text sed has
        // one too, vim and the editor none.)
        {re, "[0-9]*", "N", "s/[0-9]*/N/g", nullptr, "12 34 56\n", 3},
        {re, "x*", "-", "s/x*/-/g", nullptr, "axxbx\n\n", 4},
        {re, "^", "# ", "s/^/# /", nullptr, "a\n\nb\n", 3},
        {re, "$", ";", "s/$/;/", nullptr, "a\n\nb", 3},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.sed);
        QelFindReplaceData* frd = QelFindReplaceData::Get();
        frd->SetMatchWord(row.flags & wxSTC_FIND_WHOLEWORD);
        frd->SetMatchCase(row.flags & wxSTC_FIND_MATCHCASE);
        Regex(row.flags & wxSTC_FIND_REGEXP);
        const wxString path = row.grep ? sample : WriteFile("text.txt", row.text);
        m_Stc->SetTextRaw(ReadBytes(path).c_str());
        const int count = row.grep ? std::stoi(qeltest::Run("grep -o " + ShellQuote(row.grep) + " "
                                                            + ShellQuote(path) + " | wc -l"))
                                   : row.count;
        EXPECT_EQ(m_Stc->ReplaceAll(row.find, row.replace), count);
        EXPECT_EQ(TextBytes(m_Stc),
                  qeltest::Run("sed " + ShellQuote(row.sed) + " " + ShellQuote(path)));
    }
}

// One undo step; markers, caret and view stay with their text; a selection
// over lines limits it.
TEST_F(StcFind, ReplaceAllEndsAndKeepsToASelection)
{
    Regex(false);
    m_Stc->SetText("aXa\nb\nc\nd\n");
    m_Stc->MarkerAdd(2, 3);
    m_Stc->GotoPos(6);
    EXPECT_EQ(m_Stc->ReplaceAll("a", "a\n"), 2);
    EXPECT_EQ(m_Stc->wxStyledTextCtrl::MarkerNext(0, 1 << 3), 4);
    EXPECT_EQ(m_Stc->GetCurrentPos(), 8);
    m_Stc->Undo();
    EXPECT_EQ(m_Stc->GetText(), "aXa\nb\nc\nd\n");
    EXPECT_EQ(m_Stc->ReplaceAll("", "z"), 0);

    // The selection holds a byte that has no text form.
    m_Stc->SetTextRaw("a1\na2\xe9\na3\na4\n");
    m_Stc->SetSelection(m_Stc->PositionFromLine(1), m_Stc->GetLineEndPosition(2));
    EXPECT_EQ(m_Stc->ReplaceAll("a", "aaa"), 2);
    EXPECT_EQ(TextBytes(m_Stc), "a1\naaa2\xe9\naaa3\na4\n");
    m_Stc->SetSelection(0, 1); // inside one line: no limit
    EXPECT_EQ(m_Stc->ReplaceAll("a", "b"), 8);
}

// Only a selected match is replaced, with the groups of that match.
TEST_F(StcFind, ReplaceNextReplacesOnlyAMatch)
{
    Regex(false);
    m_Stc->SetText("one foo two foo");
    m_Stc->SetSelection(0, 3);
    EXPECT_TRUE(m_Stc->ReplaceNext("foo", "X", 0, true));
    EXPECT_EQ(m_Stc->GetText(), "one X two foo");
    EXPECT_TRUE(m_Stc->ReplaceNext("foo", "X", 0, true));
    EXPECT_EQ(m_Stc->GetText(), "one X two X");

    m_Stc->SetText("abc abc");
    m_Stc->SetSelection(4, 7);
    EXPECT_TRUE(m_Stc->ReplaceNext("\\(ab\\)c", "\\1X", wxSTC_FIND_REGEXP, true));
    EXPECT_EQ(m_Stc->GetText(), "abc abX");
}

TEST_F(StcFind, GoToClampsTheLine)
{
    m_Stc->SetText("line 1\nline 2\nline 3");
    for (const auto& [line, text, selected] :
         {std::tuple{1000, "", "line 3"}, std::tuple{0, "", "line 1"}, std::tuple{2, "ne", "ne"}}) {
        m_Stc->GotoLineAndSelect(line, text);
        EXPECT_EQ(m_Stc->GetSelectedText(), selected) << line;
    }
    // A line inside a fold is unfolded.
    m_Stc->SetFoldLevel(0, wxSTC_FOLDLEVELBASE | wxSTC_FOLDLEVELHEADERFLAG);
    for (const int line : {1, 2}) m_Stc->SetFoldLevel(line, wxSTC_FOLDLEVELBASE + 1);
    m_Stc->ToggleFold(0);
    ASSERT_FALSE(m_Stc->GetLineVisible(2));
    m_Stc->GotoLineAndSelect(3);
    EXPECT_TRUE(m_Stc->GetLineVisible(2));
}

// A regular expression does not take the selection as the text to find, nor
// does anything take a selection over lines.
TEST_F(StcFind, FindStringFromTheSelection)
{
    QelFindReplaceData::Get()->SetFindString("old");
    m_Stc->SetText("int  ; a.b\nnext");
    m_Stc->SetSelection(7, 10);
    Regex(true);
    EXPECT_EQ(m_Stc->GetFindString(), "old");
    Regex(false);
    EXPECT_EQ(m_Stc->GetFindString(), "a.b");
    m_Stc->SetSelection(0, 13);
    EXPECT_EQ(m_Stc->GetFindString(), "a.b");
    // A byte that is not UTF-8 is taken, and found again, as the byte.
    m_Stc->SetTextRaw("caf\xe9 caf\xe9");
    m_Stc->SetSelection(0, 4);
    EXPECT_TRUE(m_Stc->FindNext(m_Stc->GetFindString(), 0));
    EXPECT_EQ(m_Stc->GetSelectionStart(), 5);
}

// In a long document the search as the user types runs between the keys:
// it has not run when the key returns, a newer text replaces it, and it ends
// where FindNext ends, a match across the cut of its first slice included.
TEST_F(StcFind, FindAsYouTypeGivesWayToKeysAndFindsAsFindNext)
{
    const int cut = 1 << 19; // the end of the first slice
    std::string text(3 * cut, 'x');
    for (size_t line = 1000; line < text.size(); line += 1000) text[line] = '\n';
    text.replace(cut - 1, 2, "ab");
    text.replace(2 * cut + 5, 4, " ab "); // the one whole word
    m_Stc->SetTextRaw(text.c_str());
    const struct {
        const char* find;
        int flags, origin;
        bool forward;
    } rows[] = {{"ab", 0, 0, true},
                {"ab", 0, 3 * cut, false},
                {"a[b]", wxSTC_FIND_REGEXP, 0, true},
                {"a[b]", wxSTC_FIND_REGEXP, 3 * cut, false},
                {"a[b]", wxSTC_FIND_REGEXP | wxSTC_FIND_WHOLEWORD, 0, true},
                {"a[b]", wxSTC_FIND_REGEXP | wxSTC_FIND_WHOLEWORD, 3 * cut, false},
                {"zz", 0, 10, true}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.find);
        m_Stc->SetSelection(row.origin, row.origin);
        m_Stc->FindAsYouType("x", row.flags, row.forward);
        m_Stc->FindAsYouType(row.find, row.flags, row.forward);
        EXPECT_EQ(m_Stc->GetCurrentPos(), row.origin);
        EXPECT_TRUE(PumpUntil([this] { return !m_Stc->IsFindingAsYouType(); }, 10000));
        const int found = m_Stc->GetSelectionStart();
        m_Stc->SetSelection(row.origin, row.origin);
        m_Stc->FindNext(row.find, row.flags, row.forward);
        EXPECT_EQ(found, m_Stc->GetSelectionStart());
        if (row.flags & wxSTC_FIND_WHOLEWORD) {
            EXPECT_EQ(found, 2 * cut + 6);
        }
    }
}

// A text is found where the control's own search of its target finds it,
// either way, with case and word flags: around characters of several bytes,
// bytes that are not UTF-8, the Kelvin sign and the long s (which the
// control does not fold to k and s), line ends, and targets that cut a
// character or span a long stretch without a match.
TEST_F(StcFind, SearchOfBytesFindsWhatTheControlFinds)
{
    static const char* pieces[]
        = {"foo",          "Foo",         "FOO",         " ",        "_",    "\r\n",
           "\n",           "caf\xc3\xa9", "CAF\xc3\x89", "\xe9",     "\xc3", "\xa9",
           "\xe2\x84\xaa", "k",           "K",           "\xc5\xbf", "s",    "\xf0\x9f\x98\x80"};
    static const char* needles[]
        = {"foo",      "FOO",      "oo",          "o\r",      "\r\n", "k",     "K",
           "s",        "S",        "caf\xc3\xa9", "\xa9",     "\xc3", "\xe9 ", "\x9f\x98",
           "\xf0\x9f", "\xe2\x84", "\xaa\x66o",   "x y\nfoo", "Foo_"};
    static const int flags[] = {0, wxSTC_FIND_MATCHCASE, wxSTC_FIND_WHOLEWORD, wxSTC_FIND_WORDSTART,
                                wxSTC_FIND_MATCHCASE | wxSTC_FIND_WHOLEWORD};
    std::mt19937 engine(5);
    const auto random = [&engine](size_t n) { return static_cast<int>(engine() % n); };
    std::string text;
    for (const size_t end : {3000, 123000, 126000})
        while (text.size() < end)
            text += end == 123000 ? "x y\n" : pieces[random(std::size(pieces))];
    m_Stc->SetTextRaw(text.c_str());
    const int length = m_Stc->GetLength();

    for (int trial = 0; trial < 800; ++trial) {
        const std::string needle = needles[random(std::size(needles))];
        const int n = static_cast<int>(needle.size());
        // Ends near the text's edges, where the matches are, or anywhere; or
        // a target that cuts the first or the last byte off a match; or, back
        // from 64 KB past the last match before the stretch, one that puts
        // that match across the cut of the first block searched back.
        const auto end = [&] {
            const int edge = random(4) ? random(4000) : random(length + 1);
            return random(2) ? edge : length - edge;
        };
        int from = end(), to = end();
        const size_t any = text.find(needle, random(length));
        const size_t last = text.rfind(needle, 3000);
        if (trial % 3 == 0 && any != std::string::npos) {
            const int at = static_cast<int>(any);
            from = random(2) ? at - random(50) : std::min(length, at + n + random(50));
            to = from <= at ? at + n - 1 : at + 1;
        } else if (trial % 3 == 1 && last != std::string::npos && n > 1) {
            from = static_cast<int>(last) + (1 << 16) + n + 1 + random(n - 1);
            to = random(last + 1);
        }
        m_Stc->SetSearchFlags(flags[random(std::size(flags))]);
        SCOPED_TRACE(testing::Message() << "'" << needle << "' flags " << m_Stc->GetSearchFlags()
                                        << " from " << from << " to " << to);
        EXPECT_EQ(SearchTarget(needle, from, to, true), SearchTarget(needle, from, to, false));
    }
}

// The find bar searches a long document whole when its text is missing: the
// search takes a small part of the time that the control's own takes.
TEST_F(StcFind, SearchOfBytesOutrunsTheControl)
{
    std::string text;
    while (text.size() < (8 << 20))
        text += "static int f(int a, int b) { return a + b; } /* Sum */\n";
    m_Stc->SetTextRaw(text.c_str());
    // The best of three rounds.
    const auto time = [this](bool raw) {
        auto best = std::chrono::steady_clock::duration::max();
        for (int round = 0; round < 3; ++round) {
            const auto start = std::chrono::steady_clock::now();
            EXPECT_EQ(std::get<0>(SearchTarget("struct_x", 0, m_Stc->GetLength(), raw)), -1);
            best = std::min(best, std::chrono::steady_clock::now() - start);
        }
        return std::chrono::duration_cast<std::chrono::microseconds>(best).count();
    };
    for (const int flags : {0, wxSTC_FIND_MATCHCASE}) {
        m_Stc->SetSearchFlags(flags);
        EXPECT_LT(4 * time(false), time(true)) << "microseconds, flags " << flags;
    }
}

} // namespace
