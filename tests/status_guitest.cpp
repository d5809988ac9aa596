// The clipboard without text, the find result texts, and the external
// comparator started as a real process.
#include <stdio.h>

#include <tuple>

#include <gtest/gtest.h>
#include <wx/clipbrd.h>
#include <wx/config.h>
#include <wx/filename.h>

#include <qelkit/filename.h>
#include <qelkit/status.h>

#include "testing.h"

namespace {

using qeltest::ClipboardLock;
using qeltest::ShellQuote;

TEST(QelClipboard, NoTextOnTheClipboard)
{
    ClipboardLock lock;
    {
        wxClipboardLocker locker;
        ASSERT_TRUE(!!locker);
        auto* data = new wxCustomDataObject(wxDataFormat("application/x-qeltest"));
        data->SetData(3, "abc");
        ASSERT_TRUE(wxTheClipboard->SetData(data));
    }
    qeltest::LogCapture log;
    EXPECT_EQ(QelClipboardGet(), "");
    ASSERT_EQ(log.Records().size(), 1u) << log.Dump();
    EXPECT_EQ(log.Records()[0].level, wxLOG_Error);
    EXPECT_EQ(log.Records()[0].text, "Clipboard format not supported");
}

TEST(FindResult, StatusTexts)
{
    // The text's white space folds to one blank; the last one rings a bell.
    const std::tuple<bool, bool, const char*> rows[]
        = {{true, false, "Searching for 'a b' hit bottom"},
           {false, false, "Searching for 'a b' hit top"},
           {true, true, "'a b' not found"}};
    for (const auto& [next, recursive, text] : rows) {
        qeltest::LogCapture log;
        QelFindResult(" a\n\t b ", next, recursive);
        ASSERT_EQ(log.Records().size(), 1u);
        EXPECT_EQ(log.Records()[0].level, wxLOG_Status);
        EXPECT_EQ(log.Records()[0].text, text);
    }
}

// The comparator: a script that writes the arguments it received, in a
// folder that is first on PATH.
class QelComparator : public qeltest::ConfigTest {
protected:
    void SetUp() override
    {
        ConfigTest::SetUp();
        const std::string part = ShellQuote(m_Out + ".part").utf8_string();
        qeltest::WriteBytes(m_Script,
                            "#!/bin/sh\nprintf '%s\\n' \"$@\" > " + part + "\nmv " + part + " "
                                + ShellQuote(m_Out).utf8_string() + "\n");
        qeltest::Run("chmod +x " + ShellQuote(m_Script));
        wxGetEnv("PATH", &m_Path);
        wxSetEnv("PATH", m_Temp.Path() + ":" + m_Path);
    }

    void TearDown() override
    {
        wxSetEnv("PATH", m_Path);
        ConfigTest::TearDown();
    }

    wxString File(const wxString& name, const char* date)
    {
        const wxString path = m_Temp.File(name);
        qeltest::WriteBytes(path, "x");
        qeltest::Run(wxString("touch -d '") + date + "' " + ShellQuote(path));
        return path;
    }

    const wxString m_Script = m_Temp.File("cmp.sh");
    const wxString m_Out = m_Temp.File("out");
    wxString m_Path;
};

TEST_F(QelComparator, OlderFileFirstEachPathOneArgumentOrNothingStarts)
{
    const wxString older = File("old \"quoted\" \\ name.txt", "2020-01-01");
    const wxString newer = File("new file.txt", "2021-01-01");
    const wxString twin = File("twin.txt", "2020-01-01");
    // A name that is not UTF-8, read as the program reads file names.
    qeltest::Run("cd " + ShellQuote(m_Temp.Path())
                 + " && n=$(printf 'n\\377.txt') && echo x >$n && touch -d 2022-01-01 $n");
    const wxString notUTF8 = m_Temp.File(wxString("n\xff.txt", *wxConvFileName));
    ASSERT_EQ(QelFileNameBytes(notUTF8), m_Temp.File("n").utf8_string() + "\xff.txt");
    const struct {
        wxString setting;
        wxString file1, file2;
        std::string options;
        wxString first, second;
        size_t errors;
    } rows[] = {
        {m_Script + " --two", newer, older, "--two\n", older, newer, 0},
        {m_Script + " --label='a\\b'", newer, older, "--label=a\\b\n", older, newer, 0},
        // Found through PATH; equal times put the second first.
        {"cmp.sh", older, twin, "", twin, older, 0},
        {"cmp.sh", notUTF8, older, "", older, notUTF8, 0},
        // Nothing starts; an empty setting turns comparison off.
        {"", older, newer, "", "", "", 0},
        {"/no/such/comparator", older, newer, "", "", "", 1},
        {"no-such-comparator-anywhere", older, newer, "", "", "", 1},
        {"cmp.sh", older, m_Temp.File("missing.txt"), "", "", "", 1},
        {"cmp.sh", "/dev/null", older, "", "", "", 1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.setting + " " + row.file2);
        std::remove(m_Out.fn_str());
        wxConfigBase::Get()->Write("Comparator", row.setting);
        const bool runs = !row.first.empty();
        qeltest::LogCapture log;
        ASSERT_EQ(QelCompareFile(wxFileName(row.file1), wxFileName(row.file2)), runs);
        EXPECT_EQ(log.CountLevel(wxLOG_Error), row.errors) << log.Dump();
        EXPECT_EQ(log.Count("not a regular file"), row.file1 == "/dev/null" ? 1u : 0u);
        if (!runs) {
            EXPECT_EQ(log.Count("Compared"), 0u);
            qeltest::Pump(100);
            EXPECT_FALSE(wxFileName::FileExists(m_Out));
            continue;
        }
        ASSERT_TRUE(qeltest::PumpUntil([&] { return wxFileName::FileExists(m_Out); }, 10000));
        EXPECT_EQ(qeltest::ReadBytes(m_Out),
                  row.options + QelFileNameBytes(row.first) + "\n" + QelFileNameBytes(row.second)
                      + "\n");
        ASSERT_EQ(log.Records().size(), 1u) << log.Dump();
        EXPECT_EQ(log.Records()[0].level, wxLOG_Status);
        EXPECT_EQ(log.Records()[0].text, "Compared: \"" + row.first + "\" \"" + row.second + "\"");
    }
}

} // namespace
