// The tool table, the type predicates, the end-of-run message and the
// tables of named counters it shows.
#include <string>
#include <utility>

#include <gtest/gtest.h>
#include <wx/log.h>

#include <qelkit/statistics.h>
#include <qelkit/tool.h>

#include "testing.h"

namespace {

TEST(Tool, PredicatesAtTheEdgesOfTheRanges)
{
    // The kinds of each id: find, report, count, revision (RCS), statistics.
    const std::pair<int, std::string> rows[] = {
        {6100, "v"}, {6126, ""},   {6127, "fr"}, {6128, "fr"}, {6129, "rcs"},
        {6130, "r"}, {6131, "rv"}, {6132, "rs"}, {6142, "r"},  {6143, ""},
    };
    for (const auto& [id, kinds] : rows) {
        const QelTool tool(id);
        const std::string got = std::string(tool.IsFindType() ? "f" : "")
            + (tool.IsReportType() ? "r" : "") + (tool.IsCount() ? "c" : "")
            + (tool.IsRCSType() ? "v" : "") + (tool.IsStatisticsType() ? "s" : "");
        EXPECT_EQ(got, kinds) << id;
    }
}

// The status text, and for the count tool with files the statistics as a message.
TEST(Tool, LogShowsTheEndOfRunText)
{
    struct Row {
        int id;
        long files, actions; // no counter when negative
        const char* text;
    };
    const Row rows[] = {
        {ID_TOOL_FIND_IN_FILES, 4, -1, "Found 0 matches in 4 file(s)"},
        {ID_TOOL_REPORT_VERSION, 4, 9, " 4 file(s)"}, // no row in the table
        {ID_TOOL_REPORT_COUNT, 5, -1, "Counted 5 file(s)"},
        {ID_TOOL_REPORT_COUNT, 0, -1, "Counted 0 file(s)"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        QelStatistics<long> stat;
        stat.Set("Files", row.files);
        if (row.actions >= 0) stat.Set("Actions Completed", row.actions);
        qeltest::LogCapture log;
        QelTool(row.id).Log(&stat);
        const bool message = row.id == ID_TOOL_REPORT_COUNT && row.files > 0;
        ASSERT_EQ(log.Records().size(), message ? 2u : 1u) << log.Dump();
        EXPECT_EQ(log.Records().back().level, wxLOG_Status);
        EXPECT_EQ(log.Records().back().text, row.text);
        if (message) {
            EXPECT_EQ(log.Records()[0].text, stat.Get());
        }
    }
}

TEST(Statistics, CountersTheirTextAndTheirSum)
{
    QelStatistics<long> stat;
    EXPECT_EQ(stat.Inc("Lines", 10) + stat.Inc("Lines", 5), 25);
    stat.Set("files", 2); // another counter than "Files"
    stat.Set("Comments", 1234567890123L);
    EXPECT_EQ(stat.Get("x"), 0); // reading adds no counter
    EXPECT_EQ(stat.Get(), "Comments: 1234567890123\nLines: 15\nfiles: 2");

    QelFileStatistics sum, a, b;
    a.Elements().Set("Lines", 4);
    a.Keywords().Set("if", 2);
    b.Elements().Set("Comments", 3);
    b.Keywords().Set("if", 1);
    b.Keywords().Set("for", 5);
    sum += a;
    sum += b;
    EXPECT_EQ(sum.GetElements().Get(), "Comments: 3\nLines: 4");
    EXPECT_EQ(sum.GetKeywords().Get(), "for: 5\nif: 3");
    EXPECT_EQ(a.GetKeywords().Get(), "if: 2"); // the sides are unchanged
}

} // namespace
