#include <vector>

#include <gtest/gtest.h>
#include <wx/tokenzr.h>

#include "edittools.h"

TEST(EditToolsTest, AsciiTable)
{
    const wxArrayString lines = wxSplit(AsciiTable("\r\n"), '\n', 0);
    ASSERT_EQ(lines.size(), 52u); // 51 lines and the empty rest after the last end
    EXPECT_EQ(lines[0], "  1\t\x01\t  2\t\x02\t  3\t\x03\t  4\t\x04\t  5\t\x05\r");
    EXPECT_TRUE(lines[1].EndsWith("  9\tTAB\t 10\tLF\r")) << lines[1];
    EXPECT_EQ(lines[50], wxString::FromUTF8("251\tû\t252\tü\t253\tý\t254\tþ\t255\tÿ\r"));
    for (size_t i = 0; i < 51; ++i) EXPECT_EQ(lines[i].Freq('\t'), 9u) << i;
}

// Sequences run either way over wheels of equal positions; a sequence that
// cannot be made gives no lines and says why.
TEST(EditToolsTest, Sequences)
{
    const struct {
        wxString start, end;
        long count;
        std::vector<wxString> lines;
        const char* error;
    } rows[] = {
        {"x", "x", 1, {"x"}, ""},
        {"c3", "a1", 9, {"c3", "c2", "c1", "b3", "b2", "b1", "a3", "a2", "a1"}, ""},
        {"0a0", "1a1", 4, {"0a0", "0a1", "1a0", "1a1"}, ""},
        {"a09", "a11", 0, {}, "Start and end sequence do not run the same way"},
        {"ab", "c", 0, {}, "Start and end sequence should have same length"},
        // 26^14 does not fit in a long: the count is checked, not wrapped.
        {wxString('a', 14), wxString('z', 14), 0, {}, "Sequence has too many lines"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.start + ".." + row.end);
        const Sequence sequence(row.start, row.end);
        EXPECT_EQ(sequence.GetLines(), row.count);
        EXPECT_EQ(sequence.GetError(), row.error);
        std::vector<wxString> lines;
        sequence.Generate([&](const wxString& line) { lines.push_back(line); });
        EXPECT_EQ(lines, row.lines);
    }
    EXPECT_EQ(Sequence(wxString('a', 13), wxString('z', 13)).GetLines(), 2481152873203736576L);
}
