// Revision records and the revision tools of the scanner on real header
// comments.
#include <algorithm>
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
        const char* revision; // null: not a header, the record stays as it was
        const char* user;
        const char* time;
    };
    const Row rows[] = {
        {"110305 142200 usr Fix", "110305 142200 usr Fix", "usr", "2011-03-05 14:22:00"},
        {"1.4 110305 usr Reads", "1.4 110305 usr Reads", "usr", "2011-03-05 00:00:00"},
        {"2.0 no date here", nullptr, "usr", "2011-03-05 00:00:00"},
        {"300101 u d", "300101 u d", "u", "2030-01-01 00:00:00"},
        {"310101 u d", "310101 u d", "u", "1931-01-01 00:00:00"},
        {"  2.1   200229\tana   Leap day  ", "2.1 200229 ana Leap day", "ana",
         "2020-02-29 00:00:00"},
        {"see 1.4 notes", nullptr, "ana", "2020-02-29 00:00:00"},
        {"", nullptr, "ana", "2020-02-29 00:00:00"},
    };
    QelRCS rcs;
    wxString revision;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        wxString text = row.text;
        EXPECT_EQ(rcs.SetRevision(text), row.revision != nullptr);
        if (row.revision) revision = row.revision;
        EXPECT_EQ(rcs.GetRevision(), revision);
        EXPECT_EQ(rcs.GetUser(), row.user);
        EXPECT_EQ(rcs.GetRevisionTime().Format("%Y-%m-%d %H:%M:%S"), row.time);
    }
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

// Each row: the file (no text: the sample file of that name), the tool (0:
// the report with "RCS/RecentOnly" on), the reports ("line: revision") and
// the record after the run, when not the last one reported.
TEST_F(RevisionTool, ReportsTheHistoryOfTheHeader)
{
    const std::string h13 = "1: 1.3 110305 tj Reads the new format and writes it back\n";
    struct Row {
        const char* name;
        const char* text;
        int tool;
        std::string reports;
        std::string last = "";
    };
    const int report = ID_TOOL_REPORT_REVISION;
    const Row rows[] = {
        // The history ends at the copyright line.
        {"history.c", nullptr, report,
         h13 + "2: 1.2 110201 142200 tj Fixed the parser\n3: 1.1 101224 ab First version\n"},
        // The revision still active at the end of the comment is reported.
        {"history.h", nullptr, report,
         "3: 2.0 991231 jm Moved to the new tree with all its tests and their data\n"
         "4: 1.9 990101 073000 jm Keeps the old names\n"},
        // What RCS itself expands $Id$ and $Log$ into is another format.
        {"rcslog.c", nullptr, report, ""},
        {"history.c", nullptr, 0, h13},
        {"history.c", nullptr, ID_TOOL_RECENT_REVISION, "", h13.substr(3, h13.size() - 4)},
        // "// a" is too short to end 1.4, and the continuation is not next
        // to it: 1.4 ends at the next header, its description unchanged.
        {"gaps.c",
         "// 1.4 110305 usr Reads\n// a\nint x;\n//    not adjacent\n// 1.3 110201 usr Older\n",
         report, "3: 1.4 110305 usr Reads\n4: 1.3 110201 usr Older\n"},
        // Only the header is read: up to the sixth line of code.
        {"late.c", "a;\nb;\nc;\nd;\ne;\nf;\n// 1.0 110101 me Late\n", report, ""},
        {"early.c", "a;\nb;\nc;\nd;\ne;\n// 1.0 110101 me Early\n", report,
         "5: 1.0 110101 me Early\n"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(wxString(row.name) << " tool " << row.tool);
        wxConfigBase::Get()->Write("RCS/RecentOnly", row.tool == 0);
        wxString path = wxString(QEL_TEST_DATA_DIR "/textfile/") + row.name;
        if (row.text != nullptr) {
            path = m_Temp.File(row.name);
            ASSERT_TRUE(qeltest::WriteBytes(path, row.text));
        }
        RevisionScanner scanner{QelFileName(path), QelTool(row.tool ? row.tool : report)};
        ASSERT_TRUE(scanner.RunTool());
        EXPECT_EQ(scanner.reports.utf8_string(), row.reports);
        const long reports = std::count(row.reports.begin(), row.reports.end(), '\n');
        EXPECT_EQ(scanner.GetStatistics().GetElements().Get("Actions Completed"),
                  row.last.empty() ? reports : 1);
        const wxString last = wxString::FromUTF8(row.reports).BeforeLast('\n').AfterLast('\n');
        EXPECT_EQ(scanner.GetRCS().GetRevision(),
                  row.last.empty() ? last.AfterFirst(' ') : wxString::FromUTF8(row.last));
    }
}

} // namespace
