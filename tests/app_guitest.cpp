#include <algorithm>
#include <regex>

#include <gtest/gtest.h>

#include <wx/filename.h>
#include <wx/frame.h>

#include <qelkit/paths.h>

#include "frame.h"
#include "testing.h"

using namespace qeltest;

namespace {

ProgramRun RunProgram(const TempDir& dir, const std::string& settings)
{
    return qeltest::RunProgram(QEL_TINDREL_EXE, dir, settings);
}

class LogTest : public ConfigTest {
protected:
    void TearDown() override
    {
        QelSetPathsOverride("");
        ConfigTest::TearDown();
    }
};

} // namespace

TEST(Program, StartsAndExitsCleanlyWithoutSettings)
{
    TempDir dir;
    const ProgramRun run = RunProgram(dir, "");
    EXPECT_EQ(run.exitCode, 0) << run.stderrText;
    // The log says once which folder holds the settings and the log.
    const std::string line = ": Settings and log folder: " + dir.Path().utf8_string() + "\n";
    size_t count = 0;
    for (size_t at = run.logText.find(line); at != std::string::npos;
         at = run.logText.find(line, at + 1))
        ++count;
    EXPECT_EQ(count, 1u) << run.logText;
}

TEST(Program, UnknownLanguageIsReportedOnceAndStartUpGoesOn)
{
    TempDir dir;
    const ProgramRun run = RunProgram(dir, "LANG=99999\n");
    EXPECT_EQ(run.exitCode, 0) << run.stderrText;
    EXPECT_NE(run.stderrText.find("Unknown language 99999"), std::string::npos) << run.stderrText;
    EXPECT_NE(run.logText.find("Warning: Unknown language 99999"), std::string::npos)
        << run.logText;
}

TEST(Program, LanguageWithoutInstalledLocaleStillStarts)
{
    TempDir dir;
    const ProgramRun run = RunProgram(dir, "LANG=" + std::to_string(wxLANGUAGE_DUTCH) + "\n");
    EXPECT_EQ(run.exitCode, 0) << run.stderrText;
    // The locale is not installed on the test machines: one line says so.
    EXPECT_LE(std::count(run.stderrText.begin(), run.stderrText.end(), '\n'), 1) << run.stderrText;
}

// Each level reaches the status bar, the log file and the window's log text
// as the main window routes it; a window destroyed without a close leaves
// the earlier target in place.
TEST_F(LogTest, MessagesReachStatusBarFileAndTextByLevel)
{
    QelSetPathsOverride(m_Temp.Path());
    wxLog* const before = wxLog::GetActiveTarget();
    auto* frame = new Frame(false);
    const wxString file = frame->GetLogFile();
    EXPECT_EQ(file, m_Temp.File(wxTheApp->GetAppName().Lower() + ".log"));

    const std::string stamp = R"(\d\d/\d\d/\d\d \d\d:\d\d:\d\d)";
    const struct {
        const char* name;
        std::function<void()> log;
        const char* status;   // field 0 afterwards
        std::string fileLine; // pattern of the file's new line; none when empty
        std::string textLine; // of the log text's
    } rows[] = {
        {"status", [] { wxLogStatus("Opened: /x"); }, "Opened: /x", "", ""},
        {"error", [] { wxLogError("Cannot open file: /x"); }, "Cannot open file: /x",
         stamp + ": Error: Cannot open file: /x", stamp + " Cannot open file: /x"},
        {"warning", [] { wxLogWarning("w"); }, "Cannot open file: /x", stamp + ": Warning: w",
         stamp + " w"},
        {"verbose", [] { wxLogVerbose("v"); }, "Cannot open file: /x", stamp + ": v", stamp + " v"},
        {"debug", [] { wxLogDebug("d"); }, "Cannot open file: /x", "", stamp + " d"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const std::string fileBefore = ReadBytes(file);
        const std::string textBefore = frame->GetLogText().utf8_string();
        row.log();
        wxLog::FlushActive();
        EXPECT_EQ(frame->GetStatusBar()->GetStatusText(0), row.status);
        const std::string fileAdded = ReadBytes(file).substr(fileBefore.size());
        const std::string textAdded = frame->GetLogText().utf8_string().substr(textBefore.size());
        EXPECT_TRUE(row.fileLine.empty()
                        ? fileAdded.empty()
                        : std::regex_match(fileAdded, std::regex(row.fileLine + "\n")))
            << fileAdded;
        EXPECT_TRUE(row.textLine.empty()
                        ? textAdded.empty()
                        : std::regex_match(textAdded, std::regex(row.textLine + "\n")))
            << textAdded;
    }
    delete frame;
    EXPECT_EQ(wxLog::GetActiveTarget(), before);
}
