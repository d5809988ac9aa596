#include <gtest/gtest.h>

#include <wx/regex.h>

#include <qelkit/paths.h>

#include "frame.h"
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
    }
}

// Each level reaches the status bar, the log file and the window's log text
// as the main window routes it.
using LogTest = ConfigTest;

TEST_F(LogTest, MessagesReachStatusBarFileAndTextByLevel)
{
    QelSetPathsOverride(m_Temp.Path());
    auto* frame = new Frame(false);
    const wxString file = frame->GetLogFile();
    const std::string stamp = "[0-9]{2}/[0-9]{2}/[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2}";
    const struct {
        std::function<void()> log;
        const char* status;   // field 0 afterwards
        std::string fileLine; // pattern of the file's new line; none when empty
        std::string textLine; // of the log text's
    } rows[] = {
        {[] { wxLogStatus("Opened: /x"); }, "Opened: /x", "", ""},
        {[] { wxLogError("Cannot open file: /x"); }, "Cannot open file: /x",
         stamp + ": Error: Cannot open file: /x", stamp + " Cannot open file: /x"},
        {[] { wxLogWarning("w"); }, "Cannot open file: /x", stamp + ": Warning: w", stamp + " w"},
        {[] { wxLogDebug("d"); }, "Cannot open file: /x", "", stamp + " d"},
    };
    const auto matches = [](const std::string& pattern, const std::string& text) {
        return pattern.empty() ? text.empty()
                               : wxRegEx("^" + pattern + "\n$").Matches(wxString::FromUTF8(text));
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.status);
        const size_t fileBefore = ReadBytes(file).size();
        const size_t textBefore = frame->GetLogText().utf8_string().size();
        row.log();
        wxLog::FlushActive();
        EXPECT_EQ(frame->GetStatusBar()->GetStatusText(0), row.status);
        const std::string fileAdded = ReadBytes(file).substr(fileBefore);
        const std::string textAdded = frame->GetLogText().utf8_string().substr(textBefore);
        EXPECT_TRUE(matches(row.fileLine, fileAdded)) << fileAdded;
        EXPECT_TRUE(matches(row.textLine, textAdded)) << textAdded;
    }
    delete frame;
    QelSetPathsOverride("");
}
