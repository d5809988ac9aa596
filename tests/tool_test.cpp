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
    // Tools without a row of their own leave the shared table as it was.
    EXPECT_EQ(QelTool(42).GetToolInfo().size(), 6u);
}

// The status text, and for the count tool the statistics as a message.
TEST(Tool, LogShowsTheEndOfRunText)
{
    struct Row {
        int id;
        long files, actions;
        const char* text;
        bool message;
    };
    const Row rows[] = {
        {ID_TOOL_FIND_IN_FILES, 3, 12, "Found 12 matches in 3 file(s)", false},
        {ID_TOOL_FIND_IN_FILES, 4, -1, "Found 0 matches in 4 file(s)", false},
        {ID_TOOL_REPORT_VERSION, 4, 9, " 4 file(s)", false}, // no row in the table
        {ID_TOOL_RECENT_REVISION, 1, 1, "Recent revision from 1 file(s)", false},
        {ID_TOOL_REPLACE_IN_FILES, 2, 5, "Replaced 5 matches in 2 file(s)", false},
        {ID_TOOL_REPORT_REVISION, 2, 7, "Reported 7 revisions in 2 file(s)", false},
        {ID_TOOL_REPORT_KEYWORD, 2, 1, "Reported 1 keywords in 2 file(s)", false},
        {ID_TOOL_REPORT_COUNT, 5, -1, "Counted 5 file(s)", true},
        {ID_TOOL_REPORT_COUNT, 0, -1, "Counted 0 file(s)", false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        QelStatistics<long> stat;
        stat.Set("Files", row.files);
        stat.Set("Lines", 100);
        if (row.actions >= 0) stat.Set("Actions Completed", row.actions);

        qeltest::LogCapture log;
        QelTool(row.id).Log(&stat);
        ASSERT_EQ(log.Records().size(), row.message ? 2u : 1u) << log.Dump();
        EXPECT_EQ(log.Records().back().level, wxLOG_Status);
        EXPECT_EQ(log.Records().back().text, row.text);
        if (row.message) {
            EXPECT_EQ(log.Records()[0].level, wxLOG_Message);
            EXPECT_EQ(log.Records()[0].text, stat.Get());
        }
    }
}

TEST(Statistics, CountersAndTheirText)
{
    QelStatistics<long> stat;
    EXPECT_EQ(stat.Get(), "");
    EXPECT_EQ(stat.Inc("Lines", 10), 10);
    EXPECT_EQ(stat.Inc("Lines", 5), 15);
    EXPECT_EQ(stat.Set("Lines", 12), 12);
    stat.Set("Files", 3);
    stat.Set("files", 2); // another counter
    stat.Set("Comments", 1234567890123L);
    EXPECT_EQ(stat.Get("x"), 0); // reading adds no counter
    EXPECT_EQ(stat.Get(), "Comments: 1234567890123\nFiles: 3\nLines: 12\nfiles: 2");
}

TEST(Statistics, SumKeepsCountersOfOneSide)
{
    QelFileStatistics sum;
    QelFileStatistics a;
    QelFileStatistics b;
    a.Elements().Set("Files", 1);
    a.Elements().Set("Lines", 4);
    a.Keywords().Set("if", 2);
    b.Elements().Set("Files", 1);
    b.Elements().Set("Comments", 3);
    b.Keywords().Set("if", 1);
    b.Keywords().Set("for", 5);

    sum += a;
    sum += b;

    EXPECT_EQ(sum.GetElements().Get(), "Comments: 3\nFiles: 2\nLines: 4");
    EXPECT_EQ(sum.GetKeywords().Get(), "for: 5\nif: 3");
    EXPECT_EQ(a.GetElements().Get(), "Files: 1\nLines: 4"); // the sides are unchanged
}

} // namespace
