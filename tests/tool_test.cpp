// The tool table, the type predicates and the end-of-run message.
#include <gtest/gtest.h>
#include <wx/log.h>

#include <qelkit/tool.h>

#include "testing.h"

namespace {

QelStatistics<long> Counters(long files, long actions = -1)
{
    QelStatistics<long> stat;
    stat.Set("Files", files);
    if (actions >= 0) stat.Set("Actions Completed", actions);
    return stat;
}

TEST(Tool, TableHasSixRowsThatLaterToolsDoNotChange)
{
    const QelTool find(ID_TOOL_FIND_IN_FILES);
    const QelTool other(42);
    const auto& table = other.GetToolInfo();

    ASSERT_EQ(table.size(), 6u);
    EXPECT_EQ(&table, &find.GetToolInfo());
    EXPECT_EQ(table.at(6131).GetInfo(), "Reported %ld revisions in");
    EXPECT_EQ(table.at(6131).GetText(), "Report &Revision");
    EXPECT_EQ(table.at(6129).GetText(), "Report &Count");
    EXPECT_EQ(table.at(6132).GetText(), "Report &Keyword");
    EXPECT_EQ(table.at(6100).GetInfo(), "Recent revision from");
    EXPECT_EQ(table.at(6100).GetText(), "");
    EXPECT_EQ(table.at(6128).GetHelpText(), "");
    EXPECT_EQ(other.Info(), "");
    EXPECT_EQ(find.Info(), "Found %ld matches in");
}

TEST(Tool, PredicatesTestTheIdOnly)
{
    struct Row { int id; bool find, report, count, rcs, statistics; };
    const Row rows[] = {
        {6100, false, false, false, true, false},
        {6126, false, false, false, false, false},
        {6127, true, true, false, false, false},
        {6128, true, true, false, false, false},
        {6129, false, true, true, false, true},
        {6130, false, true, false, false, false},
        {6131, false, true, false, true, false},
        {6132, false, true, false, false, true},
        {6142, false, true, false, false, false},
        {6143, false, false, false, false, false},
    };
    for (const Row& row : rows)
    {
        SCOPED_TRACE(row.id);
        const QelTool tool(row.id);
        EXPECT_EQ(tool.GetId(), row.id);
        EXPECT_EQ(tool.IsFindType(), row.find);
        EXPECT_EQ(tool.IsReportType(), row.report);
        EXPECT_EQ(tool.IsCount(), row.count);
        EXPECT_EQ(tool.IsRCSType(), row.rcs);
        EXPECT_EQ(tool.IsStatisticsType(), row.statistics);
    }
}

TEST(Tool, LogShowsTheEndOfRunText)
{
    struct Row { int id; QelStatistics<long> stat; const char* text; };
    const Row rows[] = {
        {ID_TOOL_FIND_IN_FILES, Counters(3, 12), "Found 12 matches in 3 file(s)"},
        {ID_TOOL_FIND_IN_FILES, Counters(4), "Found 0 matches in 4 file(s)"},
        {ID_TOOL_REPORT_VERSION, Counters(4, 9), " 4 file(s)"},
        {ID_TOOL_RECENT_REVISION, Counters(1, 1), "Recent revision from 1 file(s)"},
        {ID_TOOL_REPLACE_IN_FILES, Counters(2, 5), "Replaced 5 matches in 2 file(s)"},
    };
    for (const Row& row : rows)
    {
        SCOPED_TRACE(row.text);
        qeltest::LogCapture log;
        QelTool(row.id).Log(&row.stat);
        ASSERT_EQ(log.Records().size(), 1u) << log.Dump();
        EXPECT_EQ(log.Records()[0].level, wxLOG_Status);
        EXPECT_EQ(log.Records()[0].text, row.text);
    }
}

TEST(Tool, CountToolAlsoLogsItsStatistics)
{
    QelStatistics<long> stat = Counters(5);
    stat.Set("Lines", 100);
    qeltest::LogCapture log;
    QelTool(ID_TOOL_REPORT_COUNT).Log(&stat);

    ASSERT_EQ(log.Records().size(), 2u) << log.Dump();
    EXPECT_EQ(log.CountLevel(wxLOG_Message), 1u);
    EXPECT_EQ(log.Records()[0].text, stat.Get());
    EXPECT_EQ(log.Records()[1].text, "Counted 5 file(s)");
}

TEST(Tool, NoStatisticsMessageWithoutFilesOrForOtherTools)
{
    for (int id : {ID_TOOL_REPORT_COUNT, ID_TOOL_REPORT_KEYWORD})
    {
        SCOPED_TRACE(id);
        const QelStatistics<long> none = Counters(0);
        const QelStatistics<long> some = Counters(2);
        qeltest::LogCapture log;
        QelTool(id).Log(&none);
        if (id != ID_TOOL_REPORT_COUNT) QelTool(id).Log(&some);
        EXPECT_EQ(log.CountLevel(wxLOG_Message), 0u) << log.Dump();
    }
}

} // namespace
