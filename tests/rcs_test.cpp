// Revision records and the revision tools of the scanner on real header
// comments.
#include <vector>

#include <gtest/gtest.h>
#include <wx/config.h>

#include <qelkit/lexers.h>
#include <qelkit/rcs.h>
#include <qelkit/textfile.h>

#include "testing.h"

namespace {

wxDateTime Local(int year, wxDateTime::Month month, int day, int hour = 0, int minute = 0, int second = 0)
{
    return wxDateTime(static_cast<wxDateTime::wxDateTime_t>(day), month, year,
                      static_cast<wxDateTime::wxDateTime_t>(hour),
                      static_cast<wxDateTime::wxDateTime_t>(minute),
                      static_cast<wxDateTime::wxDateTime_t>(second));
}

TEST(RCS, HeaderWithNumberAndDate)
{
    QelRCS rcs;
    wxString text = "1.4 110305 usr Reads the new format";
    ASSERT_TRUE(rcs.SetRevision(text));
    EXPECT_EQ(rcs.GetRevisionNumber(), "1.4");
    EXPECT_EQ(rcs.GetRevisionTime(), Local(2011, wxDateTime::Mar, 5));
    EXPECT_EQ(rcs.GetRevisionFormat(), "%y%m%d");
    EXPECT_EQ(rcs.GetUser(), "usr");
    EXPECT_EQ(rcs.GetDescription(), "Reads the new format");
    EXPECT_EQ(rcs.GetRevision(), "1.4 110305 usr Reads the new format");
}

TEST(RCS, DateOnlyHeaderAfterOneWithTimeGetsMidnight)
{
    // The date parser fills missing fields from the object it parses into.
    QelRCS rcs;
    wxString first = "110305 142200 usr Fix";
    ASSERT_TRUE(rcs.SetRevision(first));
    EXPECT_EQ(rcs.GetRevisionNumber(), "");
    EXPECT_EQ(rcs.GetRevisionTime(), Local(2011, wxDateTime::Mar, 5, 14, 22, 0));
    EXPECT_EQ(rcs.GetRevisionFormat(), "%y%m%d %H%M%S");
    EXPECT_EQ(rcs.GetRevision(), "110305 142200 usr Fix");

    wxString second = "1.4 110305 usr Reads the new format";
    ASSERT_TRUE(rcs.SetRevision(second));
    EXPECT_EQ(rcs.GetRevisionTime(), Local(2011, wxDateTime::Mar, 5));
    EXPECT_EQ(rcs.GetRevisionFormat(), "%y%m%d");
}

TEST(RCS, HeadersAndTheirYears)
{
    struct Row { const char* text; bool ok; const char* number; const char* user; int year; };
    const Row rows[] = {
        {"110305 usr Text", true, "", "usr", 2011},
        {"991231 u d", true, "", "u", 1999},
        {"300101 u d", true, "", "u", 2030},
        {"310101 u d", true, "", "u", 1931},
        {"  2.1   200229\tana   Leap day  ", true, "2.1", "ana", 2020},
        {"see 1.4 notes", false, "", "", 0},
        {"1.4 notes", false, "", "", 0},
        {"", false, "", "", 0},
    };
    for (const Row& row : rows)
    {
        SCOPED_TRACE(row.text);
        QelRCS rcs;
        wxString text = row.text;
        ASSERT_EQ(rcs.SetRevision(text), row.ok);
        if (!row.ok) continue;
        EXPECT_EQ(rcs.GetRevisionNumber(), row.number);
        EXPECT_EQ(rcs.GetUser(), row.user);
        EXPECT_EQ(rcs.GetRevisionTime().GetYear(), row.year);
    }
}

TEST(RCS, FailedHeaderLeavesTheRecordAlone)
{
    QelRCS rcs;
    wxString good = "1.4 110305 usr Reads";
    ASSERT_TRUE(rcs.SetRevision(good));
    wxString bad = "2.0 no date here";
    EXPECT_FALSE(rcs.SetRevision(bad));
    EXPECT_EQ(rcs.GetRevision(), "1.4 110305 usr Reads");
}

TEST(RCS, AppendDescription)
{
    QelRCS rcs;
    rcs.AppendDescription("parser.");
    EXPECT_EQ(rcs.GetDescription(), "parser.");
    EXPECT_EQ(rcs.GetRevision(), "parser.");

    wxString text = "1.0 110305 usr Fixed the";
    ASSERT_TRUE(rcs.SetRevision(text));
    rcs.AppendDescription("parser.");
    EXPECT_EQ(rcs.GetDescription(), "Fixed the parser.");
}

// A scanner that records what the revision report hands out.
class RevisionScanner : public QelTextFile
{
public:
    struct Reported { size_t line; wxString revision; };

    using QelTextFile::QelTextFile;
    std::vector<Reported> reports;

protected:
    void Report(size_t line) override { reports.push_back({line, GetRCS().GetRevision()}); }
};

class RevisionTool : public qeltest::ConfigTest
{
protected:
    void SetUp() override
    {
        ConfigTest::SetUp();
        auto* lexers = new QelLexers(wxFileName(QEL_TEST_DATA_DIR "/textfile/lexers.xml"));
        ASSERT_TRUE(lexers->Read());
        delete QelLexers::Set(lexers);
    }

    static wxString Data(const char* name) { return wxString(QEL_TEST_DATA_DIR "/textfile/") + name; }

    wxString Write(const char* name, const std::string& text)
    {
        const wxString path = m_Temp.File(name);
        EXPECT_TRUE(qeltest::WriteBytes(path, text));
        return path;
    }

    static long Actions(const QelTextFile& scanner)
    {
        return scanner.GetStatistics().GetElements().Get("Actions Completed");
    }
};

TEST_F(RevisionTool, LineCommentHistoryEndsAtTheCopyrightLine)
{
    RevisionScanner scanner(QelFileName(Data("history.c")), QelTool(ID_TOOL_REPORT_REVISION));
    ASSERT_TRUE(scanner.RunTool());

    ASSERT_EQ(scanner.reports.size(), 3u);
    EXPECT_EQ(scanner.reports[0].line, 1u);
    EXPECT_EQ(scanner.reports[0].revision, "1.3 110305 tj Reads the new format and writes it back");
    EXPECT_EQ(scanner.reports[1].line, 2u);
    EXPECT_EQ(scanner.reports[1].revision, "1.2 110201 142200 tj Fixed the parser");
    EXPECT_EQ(scanner.reports[2].line, 3u);
    EXPECT_EQ(scanner.reports[2].revision, "1.1 101224 ab First version");
    EXPECT_EQ(Actions(scanner), 3);
}

TEST_F(RevisionTool, BlockCommentHistoryReportsTheLastRevisionAtTheEnd)
{
    RevisionScanner scanner(QelFileName(Data("history.h")), QelTool(ID_TOOL_REPORT_REVISION));
    ASSERT_TRUE(scanner.RunTool());

    ASSERT_EQ(scanner.reports.size(), 2u);
    EXPECT_EQ(scanner.reports[0].line, 3u);
    EXPECT_EQ(scanner.reports[0].revision, "2.0 991231 jm Moved to the new tree with all its tests and their data");
    EXPECT_EQ(scanner.reports[1].line, 4u);
    EXPECT_EQ(scanner.reports[1].revision, "1.9 990101 073000 jm Keeps the old names");
    EXPECT_EQ(scanner.GetRCS().GetRevisionTime(), Local(1999, wxDateTime::Jan, 1, 7, 30, 0));
    EXPECT_EQ(Actions(scanner), 2);
}

TEST_F(RevisionTool, RcsKeywordHeaderIsNoHistory)
{
    // What RCS itself expands $Id$ and $Log$ into is another format.
    RevisionScanner scanner(QelFileName(Data("rcslog.c")), QelTool(ID_TOOL_REPORT_REVISION));
    ASSERT_TRUE(scanner.RunTool());
    EXPECT_TRUE(scanner.reports.empty());
    EXPECT_EQ(Actions(scanner), 0);
}

TEST_F(RevisionTool, RecentRevisionKeepsTheNewestAndReportsNothing)
{
    RevisionScanner scanner(QelFileName(Data("history.c")), QelTool(ID_TOOL_RECENT_REVISION));
    ASSERT_TRUE(scanner.RunTool());
    EXPECT_TRUE(scanner.reports.empty());
    EXPECT_EQ(scanner.GetRCS().GetRevision(), "1.3 110305 tj Reads the new format and writes it back");
    EXPECT_EQ(Actions(scanner), 1);
}

TEST_F(RevisionTool, RecentOnlySettingReportsTheFirstRevisionOnly)
{
    wxConfigBase::Get()->Write("RCS/RecentOnly", true);
    RevisionScanner scanner(QelFileName(Data("history.c")), QelTool(ID_TOOL_REPORT_REVISION));
    ASSERT_TRUE(scanner.RunTool());
    ASSERT_EQ(scanner.reports.size(), 1u);
    EXPECT_EQ(scanner.reports[0].revision, "1.3 110305 tj Reads the new format and writes it back");
}

TEST_F(RevisionTool, SingleRevisionIsReported)
{
    for (int id : {ID_TOOL_REPORT_REVISION, ID_TOOL_RECENT_REVISION})
    {
        SCOPED_TRACE(id);
        RevisionScanner scanner(QelFileName(Write("one.c", "// 1.0 110101 me Initial\nint a;\n")), QelTool(id));
        ASSERT_TRUE(scanner.RunTool());
        EXPECT_EQ(Actions(scanner), 1);
        EXPECT_EQ(scanner.GetRCS().GetRevision(), "1.0 110101 me Initial");
        EXPECT_EQ(scanner.reports.size(), id == ID_TOOL_REPORT_REVISION ? 1u : 0u);
    }
}

TEST_F(RevisionTool, ShortCommentsAndDistantContinuationsAreIgnored)
{
    const wxString path = Write("gaps.c",
        "// 1.4 110305 usr Reads\n"
        "// a\n"
        "int x;\n"
        "//    not adjacent\n"
        "// 1.3 110201 usr Older\n");
    RevisionScanner scanner{QelFileName(path), QelTool(ID_TOOL_REPORT_REVISION)};
    ASSERT_TRUE(scanner.RunTool());

    // "// a" is too short to end 1.4 (that would report line 0), and the
    // continuation is not next to it: 1.4 ends at the next header, with
    // its description unchanged.
    ASSERT_EQ(scanner.reports.size(), 2u);
    EXPECT_EQ(scanner.reports[0].line, 3u);
    EXPECT_EQ(scanner.reports[0].revision, "1.4 110305 usr Reads");
    EXPECT_EQ(scanner.reports[1].line, 4u);
    EXPECT_EQ(scanner.reports[1].revision, "1.3 110201 usr Older");
}

TEST_F(RevisionTool, HistoryAfterSixLinesOfCodeIsNotRead)
{
    const wxString path = Write("late.c", "a;\nb;\nc;\nd;\ne;\nf;\n// 1.0 110101 me Late\n");
    RevisionScanner scanner{QelFileName(path), QelTool(ID_TOOL_REPORT_REVISION)};
    ASSERT_TRUE(scanner.RunTool());
    EXPECT_TRUE(scanner.reports.empty());
    EXPECT_EQ(scanner.GetStatistics().GetElements().Get("Lines Of Code"), 6);

    // One line of code less and the header is read.
    RevisionScanner early(QelFileName(Write("early.c", "a;\nb;\nc;\nd;\ne;\n// 1.0 110101 me Early\n")),
                          QelTool(ID_TOOL_REPORT_REVISION));
    ASSERT_TRUE(early.RunTool());
    EXPECT_EQ(early.reports.size(), 1u);
}

} // namespace
