#include <algorithm>

#include <gtest/gtest.h>

#include <wx/filename.h>

#include "testing.h"

using namespace qeltest;

namespace {

ProgramRun RunProgram(const TempDir& dir, const std::string& settings)
{
    return qeltest::RunProgram(QEL_TINDREL_EXE, dir, settings);
}

} // namespace

TEST(Program, StartsAndExitsCleanlyWithoutSettings)
{
    TempDir dir;
    const ProgramRun run = RunProgram(dir, "");
    EXPECT_EQ(run.exitCode, 0) << run.stderrText;
}

TEST(Program, UnknownLanguageIsReportedOnceAndStartUpGoesOn)
{
    TempDir dir;
    const ProgramRun run = RunProgram(dir, "LANG=99999\n");
    EXPECT_EQ(run.exitCode, 0) << run.stderrText;
    EXPECT_NE(run.stderrText.find("Unknown language 99999"), std::string::npos) << run.stderrText;
    EXPECT_NE(run.logText.find("Unknown language 99999"), std::string::npos) << run.logText;
}

TEST(Program, LanguageWithoutInstalledLocaleStillStarts)
{
    TempDir dir;
    const ProgramRun run = RunProgram(dir, "LANG=" + std::to_string(wxLANGUAGE_DUTCH) + "\n");
    EXPECT_EQ(run.exitCode, 0) << run.stderrText;
    // The locale is not installed on the test machines: one line says so.
    EXPECT_LE(std::count(run.stderrText.begin(), run.stderrText.end(), '\n'), 1) << run.stderrText;
}
