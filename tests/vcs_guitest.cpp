// The program reads vcs.xml beside it at start: our file without a word, a
// malformed one named with its line while the program goes on.
#include <gtest/gtest.h>

#include "testing.h"

TEST(ProgramVcs, StartUpReadsTheFileBesideTheProgram)
{
    for (const bool malformed : {false, true}) {
        SCOPED_TRACE(malformed ? "malformed" : "shipped");
        qeltest::TempDir dir;
        ASSERT_TRUE(qeltest::WriteBytes(dir.File("vcs.xml"),
                                        malformed
                                            ? "<r>\n<vcs name=\"git\">\n</r>\n"
                                            : qeltest::ReadBytes(QEL_SOURCE_DIR "/data/vcs.xml")));
        const qeltest::ProgramRun run = qeltest::RunProgram(QEL_TINDREL_EXE, dir, "");
        EXPECT_EQ(run.exitCode, 0) << run.stderrText;
        if (!malformed) {
            EXPECT_EQ(run.stderrText, "");
            const std::string settings = qeltest::ReadBytes(dir.File("tindrel.ini"));
            EXPECT_NE(settings.find("VCS=1"), std::string::npos) << settings;
            continue;
        }
        const std::string where = dir.File("vcs.xml").ToStdString() + ": XML parsing error";
        for (const std::string& text : {run.stderrText, run.logText}) {
            EXPECT_NE(text.find(where), std::string::npos) << text;
            EXPECT_NE(text.find("at line 3"), std::string::npos) << text;
        }
    }
}
