// Tables of named counters and their sums.
#include <gtest/gtest.h>

#include <qelkit/statistics.h>

namespace {

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
