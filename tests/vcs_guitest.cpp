// The program reads vcs.xml beside it at start: a malformed one is named with
// its line while the program goes on.
#include <gtest/gtest.h>

#include "testing.h"

TEST(ProgramVcs, StartUpReadsTheFileBesideTheProgram)
{
    qeltest::TempDir dir;
    ASSERT_TRUE(qeltest::WriteBytes(dir.File("vcs.xml"), "<r>\n<vcs name=\"git\">\n</r>\n"));
    const qeltest::ProgramRun run = qeltest::RunProgram(QEL_TINDREL_EXE, dir, "");
    EXPECT_EQ(run.exitCode, 0) << run.stderrText;
    const std::string where = dir.File("vcs.xml").ToStdString() + ": XML parsing error";
    for (const std::string& text : {run.stderrText, run.logText}) {
        EXPECT_NE(text.find(where), std::string::npos) << text;
        EXPECT_NE(text.find("at line 3"), std::string::npos) << text;
    }
}
