// Revision records and the revision tools of the scanner on real header
// comments.
#include <string>

#include <gtest/gtest.h>
#include <wx/config.h>

#include <qelkit/lexers.h>
#include <qelkit/rcs.h>
#include <qelkit/textfile.h>

#include "testing.h"

namespace {

// One record takes the headers in turn: a date-only header after one with a
// time gets midnight, and a header without a date changes nothing.
TEST(RCS, HeadersParsedIntoOneRecord)
{
    struct Row {
        const char* text;
        bool ok;
        const char* revision;
        const char* user;
        const char* time;
    };
    const Row rows[] = {
        {"110305 142200 usr Fix", true, "110305 142200 usr Fix", "usr", "2011-03-05 14:22:00"},
        {"1.4 110305 usr Reads the new format", true, "1.4 110305 usr Reads the new format", "usr",
         "2011-03-05 00:00:00"},
        {"2.0 no date here", false, "1.4 110305 usr Reads the new format", "usr",
         "2011-03-05 00:00:00"},
        {"110305 usr Text", true, "110305 usr Text", "usr", "2011-03-05 00:00:00"},
        {"991231 u d", true, "991231 u d", "u", "1999-12-31 00:00:00"},
        {"300101 u d", true, "300101 u d", "u", "2030-01-01 00:00:00"},
        {"310101 u d", true, "310101 u d", "u", "1931-01-01 00:00:00"},
        {"  2.1   200229\tana   Leap day  ", true, "2.1 200229 ana Leap day", "ana",
         "2020-02-29 00:00:00"},
        {"see 1.4 notes", false, "2.1 200229 ana Leap day", "ana", "2020-02-29 00:00:00"},
        {"", false, "2.1 200229 ana Leap day", "ana", "2020-02-29 00:00:00"},
    };
    QelRCS rcs;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        wxString text = row.text;
        EXPECT_EQ(rcs.SetRevision(text), row.ok);
        EXPECT_EQ(rcs.GetRevision(), row.revision);
        EXPECT_EQ(rcs.GetUser(), row.user);
        EXPECT_EQ(rcs.GetRevisionTime().Format("%Y-%m-%d %H:%M:%S"), row.time);
    }

    QelRCS fresh;
    fresh.AppendDescription("parser.");
    EXPECT_EQ(fresh.GetDescription(), "parser."); // no blank before the first text
}

// A scanner that records what the revision report hands out.
class RevisionScanner : public QelTextFile {
public:
    using QelTextFile::QelTextFile;
    wxString reports; // "line: revision" of each report, one per line

protected:
    void Report(size_t line) override { reports << line << ": " << GetRCS().GetRevision() << "\n"; }
};

class RevisionTool : public qeltest::ConfigTest {
protected:
    void SetUp() override
    {
        ConfigTest::SetUp();
        ASSERT_FALSE(
            qeltest::InstallLexers(QEL_TEST_DATA_DIR "/textfile/lexers.xml").GetLexers().empty());
    }
};

TEST_F(RevisionTool, ReportsTheHistoryOfTheHeader)
{
    const std::string history13 = "1.3 110305 tj Reads the new format and writes it back";
    // No text: the sample file of that name. Last: the record after the run.
    struct Row {
        const char* name;
        const char* text;
        int tool;
        bool recentOnly;
        std::string reports;
        long actions;
        const char* last;
    };
    const Row rows[] = {
        // The history ends at the copyright line.
        {"history.c", nullptr, ID_TOOL_REPORT_REVISION, false,
         "1: " + history13
             + "\n2: 1.2 110201 142200 tj Fixed the parser\n3: 1.1 101224 ab First version\n",
         3, "1.1 101224 ab First version"},
        // The revision still active at the end of the comment is reported.
        {"history.h", nullptr, ID_TOOL_REPORT_REVISION, false,
         "3: 2.0 991231 jm Moved to the new tree with all its tests and their data\n"
         "4: 1.9 990101 073000 jm Keeps the old names\n",
         2, "1.9 990101 073000 jm Keeps the old names"},
        // What RCS itself expands $Id$ and $Log$ into is another format.
        {"rcslog.c", nullptr, ID_TOOL_REPORT_REVISION, false, "", 0, ""},
        {"history.c", nullptr, ID_TOOL_RECENT_REVISION, false, "", 1, history13.c_str()},
        {"history.c", nullptr, ID_TOOL_REPORT_REVISION, true, "1: " + history13 + "\n", 1,
         history13.c_str()},
        {"one.c", "// 1.0 110101 me Initial\nint a;\n", ID_TOOL_REPORT_REVISION, false,
         "0: 1.0 110101 me Initial\n", 1, "1.0 110101 me Initial"},
        // "// a" is too short to end 1.4, and the continuation is not next
        // to it: 1.4 ends at the next header, its description unchanged.
        {"gaps.c",
         "// 1.4 110305 usr Reads\n// a\nint x;\n//    not adjacent\n// 1.3 110201 usr Older\n",
         ID_TOOL_REPORT_REVISION, false, "3: 1.4 110305 usr Reads\n4: 1.3 110201 usr Older\n", 2,
         "1.3 110201 usr Older"},
        // Only the header is read: up to the sixth line of code.
        {"late.c", "a;\nb;\nc;\nd;\ne;\nf;\n// 1.0 110101 me Late\n", ID_TOOL_REPORT_REVISION,
         false, "", 0, ""},
        {"early.c", "a;\nb;\nc;\nd;\ne;\n// 1.0 110101 me Early\n", ID_TOOL_REPORT_REVISION, false,
         "5: 1.0 110101 me Early\n", 1, "1.0 110101 me Early"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(wxString(row.name)
                     << " tool " << row.tool << (row.recentOnly ? " recent only" : ""));
        wxConfigBase::Get()->Write("RCS/RecentOnly", row.recentOnly);
        wxString path = wxString(QEL_TEST_DATA_DIR "/textfile/") + row.name;
        if (row.text != nullptr) {
            path = m_Temp.File(row.name);
            ASSERT_TRUE(qeltest::WriteBytes(path, row.text));
        }
        RevisionScanner scanner{QelFileName(path), QelTool(row.tool)};
        ASSERT_TRUE(scanner.RunTool());
        EXPECT_EQ(scanner.reports.utf8_string(), row.reports);
        EXPECT_EQ(scanner.GetStatistics().GetElements().Get("Actions Completed"), row.actions);
        EXPECT_EQ(scanner.GetRCS().GetRevision(), row.last);
    }
}

} // namespace
