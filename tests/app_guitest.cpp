#include <gtest/gtest.h>

#include "testing.h"

using namespace qeltest;

// Start-up messages (the settings, the locale, lexers.xml) go to stderr and
// the log, never to a dialog that would hold the start; the log says once
// which folder holds the settings and the log.
TEST(Program, StartUpMessagesNeverStopTheStart)
{
    const struct {
        std::string settings;
        const char* lexers; // none when null
        std::string logged; // in stderr and the log
    } rows[] = {
        {"LANG=99999\n", nullptr, "Warning: Unknown language 99999"},
        // The locale is not installed on the test machines.
        {"LANG=" + std::to_string(wxLANGUAGE_DUTCH) + "\n", nullptr, ""},
        {"", "<lexers><lexer name=", "Error: Lexers file could not be loaded"},
        // Read at the start and written back at exit, never expanded.
        {"Find what=$HOME-lit\x0b$(date\x0b\n", nullptr, ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.settings + row.logged);
        TempDir dir;
        if (row.lexers != nullptr) {
            ASSERT_TRUE(WriteBytes(dir.File("lexers.xml"), row.lexers));
        }
        const ProgramRun run = RunProgram(QEL_TINDREL_EXE, dir, row.settings);
        EXPECT_EQ(run.exitCode, 0) << run.stderrText;
        EXPECT_EQ(run.windows, "textfile1\n") << run.stderrText;
        EXPECT_NE(run.stderrText.find(row.logged), std::string::npos) << run.stderrText;
        EXPECT_NE(run.logText.find(row.logged), std::string::npos) << run.logText;
        const std::string line = ": Settings and log folder: " + dir.Path().utf8_string() + "\n";
        EXPECT_NE(run.logText.find(line), std::string::npos) << run.logText;
        EXPECT_EQ(run.logText.find(line), run.logText.rfind(line)) << run.logText;
        EXPECT_NE(ReadBytes(dir.File("tindrel.ini")).find(row.settings), std::string::npos);
    }
}
