
#include <gtest/gtest.h>

#include <wx/filename.h>
#include <wx/frame.h>
#include <wx/regex.h>

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

// Start-up messages (the settings, the locale, lexers.xml) go to stderr and
// the log, never to a dialog that would hold the start; the log says once
// which folder holds the settings and the log.
TEST(Program, StartUpMessagesNeverStopTheStart)
{
    const struct {
        const char* name;
        std::string settings;
        const char* lexers; // none when null
        const char* logged; // in stderr and the log; none when null
    } rows[] = {
        {"no settings", "", nullptr, nullptr},
        {"unknown language", "LANG=99999\n", nullptr, "Warning: Unknown language 99999"},
        // The locale is not installed on the test machines.
        {"language not installed", "LANG=" + std::to_string(wxLANGUAGE_DUTCH) + "\n", nullptr,
         nullptr},
        {"broken lexers", "", "<lexers><lexer name=", "Error: Lexers file could not be loaded"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        TempDir dir;
        if (row.lexers != nullptr) {
            ASSERT_TRUE(WriteBytes(dir.File("lexers.xml"), row.lexers));
        }
        const ProgramRun run = RunProgram(dir, row.settings);
        EXPECT_EQ(run.exitCode, 0) << run.stderrText;
        EXPECT_EQ(run.windows, "textfile1\n") << run.stderrText;
        if (row.logged != nullptr) {
            EXPECT_NE(run.stderrText.find(row.logged), std::string::npos) << run.stderrText;
            EXPECT_NE(run.logText.find(row.logged), std::string::npos) << run.logText;
        }
        const std::string line = ": Settings and log folder: " + dir.Path().utf8_string() + "\n";
        size_t count = 0;
        for (size_t at = run.logText.find(line); at != std::string::npos;
             at = run.logText.find(line, at + 1))
            ++count;
        EXPECT_EQ(count, 1u) << run.logText;
    }
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

    const std::string stamp = "[0-9]{2}/[0-9]{2}/[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2}";
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
        const auto matches = [](const std::string& pattern, const std::string& text) {
            return pattern.empty()
                ? text.empty()
                : wxRegEx("^" + pattern + "\n$").Matches(wxString::FromUTF8(text));
        };
        EXPECT_TRUE(matches(row.fileLine, fileAdded)) << fileAdded;
        EXPECT_TRUE(matches(row.textLine, textAdded)) << textAdded;
    }
    delete frame;
    EXPECT_EQ(wxLog::GetActiveTarget(), before);
}
