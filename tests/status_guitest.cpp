// The clipboard through a real X server, the bell, and the external
// comparator started as a real process.
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <gtest/gtest.h>
#include <wx/clipbrd.h>
#include <wx/config.h>
#include <wx/filename.h>

#include <qelkit/status.h>

#include "testing.h"

namespace {

using qeltest::ShellQuote;

// The clipboard belongs to the display, which the test processes that CTest
// runs side by side share: the tests that use it take turns.
class ClipboardLock
{
public:
    ClipboardLock() : m_Fd(open("/tmp/qeltest-clipboard.lock", O_CREAT | O_RDWR | O_CLOEXEC, 0666))
    {
        if (m_Fd >= 0) flock(m_Fd, LOCK_EX);
    }
    ~ClipboardLock()
    {
        if (m_Fd >= 0) close(m_Fd);
    }
    ClipboardLock(const ClipboardLock&) = delete;
    ClipboardLock& operator=(const ClipboardLock&) = delete;

private:
    int m_Fd;
};

bool HaveProgram(const char* name)
{
    int status = 1;
    qeltest::Run(wxString("command -v ") + name, &status);
    return status == 0;
}

TEST(QelClipboard, RoundTripThroughTheServer)
{
    ClipboardLock lock;
    const wxString text = wxString::FromUTF8("h\xc3\xa9llo\nworld");
    ASSERT_TRUE(QelClipboardAdd(text));
    EXPECT_EQ(QelClipboardGet(), text);
}

TEST(QelClipboard, TextOfAnotherClient)
{
    if (!HaveProgram("xclip")) GTEST_SKIP() << "xclip is not installed";
    ClipboardLock lock;

    // xclip goes to the background to serve the text; wait until it does.
    qeltest::Run("printf 'h\\303\\251llo\\nworld' | xclip -selection clipboard >/dev/null 2>&1");
    ASSERT_TRUE(qeltest::PumpUntil([] {
        return qeltest::Run("timeout 5 xclip -o -selection clipboard 2>/dev/null") == "h\xc3\xa9llo\nworld";
    }, 10000));
    EXPECT_EQ(QelClipboardGet(), wxString::FromUTF8("h\xc3\xa9llo\nworld"));
}

TEST(QelClipboard, TextForAnotherClient)
{
    if (!HaveProgram("xclip")) GTEST_SKIP() << "xclip is not installed";
    ClipboardLock lock;

    qeltest::TempDir temp;
    const wxString out = temp.File("out");
    ASSERT_TRUE(QelClipboardAdd("xyz"));
    // We must answer the request while xclip waits: it runs in the background.
    qeltest::Run("(timeout 10 xclip -o -selection clipboard > " + ShellQuote(out) + ".part; mv " +
                 ShellQuote(out) + ".part " + ShellQuote(out) + ") >/dev/null 2>&1 &");
    ASSERT_TRUE(qeltest::PumpUntil([&] { return wxFileName::FileExists(out); }, 10000));
    EXPECT_EQ(qeltest::ReadBytes(out), "xyz");
}

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

TEST(FindResultBell, NotFoundRingsAndSays)
{
    qeltest::LogCapture log;
    QelFindResult("a\nb", true, true);
    ASSERT_EQ(log.Records().size(), 1u);
    EXPECT_EQ(log.Records()[0].level, wxLOG_Status);
    EXPECT_EQ(log.Records()[0].text, "'a b' not found");
}

class QelComparator : public qeltest::ConfigTest
{
protected:
    void SetUp() override
    {
        ConfigTest::SetUp();
        m_Script = m_Temp.File("cmp.sh");
        m_Out = m_Temp.File("out");
        qeltest::WriteBytes(m_Script, "#!/bin/sh\nprintf '%s\\n' \"$@\" > " + ShellQuote(m_Out + ".part").utf8_string() +
                                      "\nmv " + ShellQuote(m_Out + ".part").utf8_string() + " " +
                                      ShellQuote(m_Out).utf8_string() + "\n");
        qeltest::Run("chmod +x " + ShellQuote(m_Script));
    }

    wxString File(const wxString& name, const char* date)
    {
        const wxString path = m_Temp.File(name);
        qeltest::WriteBytes(path, "x");
        qeltest::Run(wxString("touch -d '") + date + "' " + ShellQuote(path));
        return path;
    }

    // The arguments the script received, one per line.
    std::string Arguments()
    {
        if (!qeltest::PumpUntil([&] { return wxFileName::FileExists(m_Out); }, 10000)) return "(not run)";
        return qeltest::ReadBytes(m_Out);
    }

    wxString m_Script;
    wxString m_Out;
};

TEST_F(QelComparator, OlderFileFirstEachPathOneArgument)
{
    wxConfigBase::Get()->Write("Comparator", m_Script + " --two");
    const wxString older = File("old \"quoted\" \\ name.txt", "2020-01-01");
    const wxString newer = File("new file.txt", "2021-01-01");

    qeltest::LogCapture log;
    ASSERT_TRUE(QelCompareFile(wxFileName(newer), wxFileName(older)));
    EXPECT_EQ(Arguments(), "--two\n" + older.utf8_string() + "\n" + newer.utf8_string() + "\n");
    ASSERT_EQ(log.Records().size(), 1u) << log.Dump();
    EXPECT_EQ(log.Records()[0].level, wxLOG_Status);
    EXPECT_EQ(log.Records()[0].text, "Compared: \"" + older + "\" \"" + newer + "\"");
}

TEST_F(QelComparator, EqualTimesPutTheSecondFileFirst)
{
    wxConfigBase::Get()->Write("Comparator", m_Script);
    const wxString one = File("one.txt", "2020-01-01");
    const wxString two = File("two.txt", "2020-01-01");
    ASSERT_TRUE(QelCompareFile(wxFileName(one), wxFileName(two)));
    EXPECT_EQ(Arguments(), two.utf8_string() + "\n" + one.utf8_string() + "\n");
}

TEST_F(QelComparator, ProgramFoundThroughPath)
{
    wxString path;
    wxGetEnv("PATH", &path);
    wxSetEnv("PATH", m_Temp.Path() + ":" + path);
    wxConfigBase::Get()->Write("Comparator", "cmp.sh");
    const bool started = QelCompareFile(wxFileName(File("a.txt", "2020-01-01")), wxFileName(File("b.txt", "2021-01-01")));
    wxSetEnv("PATH", path);
    ASSERT_TRUE(started);
    EXPECT_NE(Arguments(), "(not run)");
}

TEST_F(QelComparator, NothingStartsWithoutAProgram)
{
    const wxString a = File("a.txt", "2020-01-01");
    const wxString b = File("b.txt", "2021-01-01");
    struct Row { const char* setting; wxString file; size_t errors; };
    const Row rows[] = {
        {"", b, 0},
        {"/no/such/comparator", b, 1},
        {"no-such-comparator-anywhere", b, 1},
        {"cmp.sh", m_Temp.File("missing.txt"), 1},
    };
    for (const Row& row : rows)
    {
        SCOPED_TRACE(row.setting);
        wxConfigBase::Get()->Write("Comparator", row.setting == std::string("cmp.sh") ? m_Script : wxString(row.setting));
        qeltest::LogCapture log;
        EXPECT_FALSE(QelCompareFile(wxFileName(a), wxFileName(row.file)));
        EXPECT_EQ(log.CountLevel(wxLOG_Error), row.errors) << log.Dump();
        EXPECT_EQ(log.Count("Compared"), 0u);
    }
    qeltest::Pump(200);
    EXPECT_FALSE(wxFileName::FileExists(m_Out));
}

} // namespace
