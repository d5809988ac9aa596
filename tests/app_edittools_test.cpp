#include <vector>

#include <gtest/gtest.h>
#include <wx/tokenzr.h>

#include "edittools.h"

namespace {

std::vector<wxString> Lines(const Sequence& sequence)
{
    std::vector<wxString> lines;
    sequence.Generate([&](const wxString& line) { lines.push_back(line); });
    return lines;
}

} // namespace

TEST(EditToolsTest, AsciiTable)
{
    const wxString table = AsciiTable("\r\n");
    const wxArrayString lines = wxSplit(table, '\n', 0);
    ASSERT_EQ(lines.size(), 52u); // 51 lines and the empty rest after the last end
    EXPECT_TRUE(lines.Last().empty());
    EXPECT_EQ(lines[0], "  1\t\x01\t  2\t\x02\t  3\t\x03\t  4\t\x04\t  5\t\x05\r");
    EXPECT_TRUE(lines[1].EndsWith("  9\tTAB\t 10\tLF\r")) << lines[1];
    EXPECT_TRUE(lines[2].StartsWith(" 11\t\x0b\t 12\t\x0c\t 13\tCR\t")) << lines[2];
    EXPECT_EQ(lines[50], wxString::FromUTF8("251\tû\t252\tü\t253\tý\t254\tþ\t255\tÿ\r"));
    // Every line holds five entries.
    for (size_t i = 0; i < 51; ++i) EXPECT_EQ(lines[i].Freq('\t'), 9u) << i;
}

TEST(EditToolsTest, Sequences)
{
    const struct {
        const char* start;
        const char* end;
        long count;
        std::vector<wxString> lines;
    } rows[] = {
        {"a", "c", 3, {"a", "b", "c"}},
        {"c", "a", 3, {"c", "b", "a"}},
        {"x", "x", 1, {"x"}},
        {"a1", "c3", 9, {"a1", "a2", "a3", "b1", "b2", "b3", "c1", "c2", "c3"}},
        {"c3", "a1", 9, {"c3", "c2", "c1", "b3", "b2", "b1", "a3", "a2", "a1"}},
        // Equal positions are wheels of one place, wherever they stand.
        {"0a0", "1a1", 4, {"0a0", "0a1", "1a0", "1a1"}},
        {"9z", "8z", 2, {"9z", "8z"}},
        {"a09", "a11", 0, {}}, // position 2 runs down while the whole runs up
        {"a3", "c1", 0, {}},
        {"ab", "c", 0, {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(wxString(row.start) + ".." + row.end);
        const Sequence sequence(row.start, row.end);
        EXPECT_EQ(sequence.GetLines(), row.count);
        EXPECT_EQ(sequence.GetError().empty(), row.count > 0) << sequence.GetError();
        EXPECT_EQ(Lines(sequence), row.lines);
    }
}

TEST(EditToolsTest, SequenceRefusals)
{
    EXPECT_EQ(Sequence("ab", "c").GetError(), "Start and end sequence should have same length");
    EXPECT_EQ(Sequence("09", "11").GetError(), "Start and end sequence do not run the same way");

    // 26^13 fits in a long, 26^14 does not: the count is checked, not wrapped.
    EXPECT_EQ(Sequence(wxString('a', 13), wxString('z', 13)).GetLines(), 2481152873203736576L);
    for (const size_t n : {14, 16, 40}) {
        SCOPED_TRACE(n);
        const Sequence sequence(wxString('a', n), wxString('z', n));
        EXPECT_EQ(sequence.GetLines(), 0);
        EXPECT_EQ(sequence.GetError(), "Sequence has too many lines");
    }
}

TEST(EditToolsTest, HeaderGoesBelowTheDocumentTypeOfHtml)
{
    EXPECT_EQ(HeaderInsertLine("hypertext"), 1);
    EXPECT_EQ(HeaderInsertLine("cpp"), 0);
    EXPECT_EQ(HeaderInsertLine(""), 0);
}
