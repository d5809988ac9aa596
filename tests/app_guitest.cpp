#include <algorithm>

#include <gtest/gtest.h>

#include <wx/filename.h>

#include "testing.h"

using namespace qeltest;

namespace {

// Copies the program into a folder of its own, so that its settings file and
// log land there, and starts it with the given settings.
struct ProgramRun {
    int exitCode = -1;
    std::string stderrText;
    std::string logText;
};

ProgramRun RunProgram(const TempDir& dir, const std::string& settings)
{
    const wxString exe = dir.File("tindrel");
    EXPECT_TRUE(wxCopyFile(QEL_TINDREL_EXE, exe));
    wxFileName(exe).SetPermissions(wxPOSIX_USER_READ | wxPOSIX_USER_WRITE | wxPOSIX_USER_EXECUTE);
    if (!settings.empty()) {
        EXPECT_TRUE(WriteBytes(dir.File("tindrel.ini"), settings));
    }

    ProgramRun run;
    qeltest::Run("cd " + ShellQuote(dir.Path()) + " && timeout 60 ./tindrel --quit 2>stderr.txt",
                 &run.exitCode);
    run.stderrText = ReadBytes(dir.File("stderr.txt"));
    run.logText = ReadBytes(dir.File("tindrel.log"));
    return run;
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
