// Tables of named counters and their sums.
#include <gtest/gtest.h>

#include <qelkit/statistics.h>

namespace {

TEST(Statistics, ReadingAnAbsentCounterGivesZeroAndAddsNothing)
{
    QelStatistics<long> stat;
    stat.Set("Lines", 3);
    const wxString before = stat.Get();

    EXPECT_EQ(stat.Get("x"), 0);
    EXPECT_EQ(stat.Get(), before);
    EXPECT_EQ(stat.GetItems().size(), 1u);
}

TEST(Statistics, IncAddsAndSetReplaces)
{
    QelStatistics<long> stat;
    EXPECT_EQ(stat.Inc("Lines", 10), 10);
    EXPECT_EQ(stat.Inc("Lines", 5), 15);
    EXPECT_EQ(stat.Set("Lines", 7), 7);
    EXPECT_EQ(stat.Get("Lines"), 7);
    EXPECT_EQ(stat.Inc("Lines", -7), 0);
}

TEST(Statistics, NamesDifferByCase)
{
    QelStatistics<long> stat;
    stat.Set("Files", 1);
    stat.Set("files", 2);
    EXPECT_EQ(stat.Get("Files"), 1);
    EXPECT_EQ(stat.Get("files"), 2);
    EXPECT_EQ(stat.GetItems().size(), 2u);
}

TEST(Statistics, TextListsEveryCounterInNameOrder)
{
    QelStatistics<long> stat;
    stat.Set("Lines", 12);
    stat.Set("Files", 3);
    stat.Set("Comments", 1234567890123L);
    EXPECT_EQ(stat.Get(), "Comments: 1234567890123\nFiles: 3\nLines: 12");
    EXPECT_EQ(QelStatistics<long>().Get(), "");
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

    EXPECT_EQ(sum.GetElements().Get("Files"), 2);
    EXPECT_EQ(sum.GetElements().Get("Lines"), 4);
    EXPECT_EQ(sum.GetElements().Get("Comments"), 3);
    EXPECT_EQ(sum.GetKeywords().Get("if"), 3);
    EXPECT_EQ(sum.GetKeywords().Get("for"), 5);
    // The sides themselves are unchanged.
    EXPECT_EQ(a.GetElements().Get("Comments"), 0);
    EXPECT_EQ(a.GetElements().GetItems().size(), 2u);
}

} // namespace
