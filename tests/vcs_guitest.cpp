// The program reads vcs.xml beside it at start: our file without a word, a
// malformed one named with its line while the program goes on.
#include <gtest/gtest.h>
#include <wx/filename.h>

#include "testing.h"

TEST(ProgramVcs, StartUpReadsTheFileBesideTheProgram)
{
    struct Row {
        const char* name;
        std::string xml;
        const char* says; // in stderr and the log; null: nothing at all
        const char* settings;
    };
    const Row rows[] = {
        {"Shipped", qeltest::ReadBytes(QEL_SOURCE_DIR "/data/vcs.xml"), nullptr, "VCS=1"},
        {"Malformed", "<r>\n<vcs name=\"git\">\n</r>\n", "XML parsing error", ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        qeltest::TempDir dir;
        ASSERT_TRUE(qeltest::WriteBytes(dir.File("vcs.xml"), row.xml));
        const qeltest::ProgramRun run = qeltest::RunProgram(QEL_TINDREL_EXE, dir, "");
        EXPECT_EQ(run.exitCode, 0) << run.stderrText;
        const std::string settings = qeltest::ReadBytes(dir.File("tindrel.ini"));
        EXPECT_NE(settings.find(row.settings), std::string::npos) << settings;
        if (row.says == nullptr) {
            EXPECT_EQ(run.stderrText, "");
            continue;
        }
        const std::string where = dir.File("vcs.xml").ToStdString() + ": ";
        for (const std::string& text : {run.stderrText, run.logText}) {
            EXPECT_NE(text.find(where + row.says), std::string::npos) << text;
            EXPECT_NE(text.find("at line 3"), std::string::npos) << text;
        }
    }
}
