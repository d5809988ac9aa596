// The editor control on real files: opening, line ends, mode lines,
// read-only following, zoom and text.
#include <gtest/gtest.h>
#include <wx/frame.h>

#include <qelkit/stc.h>

#include "testing.h"

using namespace qeltest;

namespace {

class StcControl : public EditorTest {
protected:
    QelSTC* Open(const wxString& name, const std::string& bytes, long flags = 0)
    {
        return new QelSTC(m_Frame, QelFileName(WriteFile(name, bytes)), 0, "", flags);
    }

    // A typed character, as the toolkit delivers it.
    static void Type(QelSTC* stc, wxChar c)
    {
        wxKeyEvent event(wxEVT_CHAR);
        event.m_uniChar = c;
        event.m_keyCode = c;
        stc->ProcessWindowEvent(event);
    }
};

TEST_F(StcControl, GuessesLineEndsFromTheRawBytes)
{
    const struct {
        const char* name;
        std::string bytes;
        int want;
        const char* newline;
    } rows[] = {
        {"crlf", "a\r\nb\nc", wxSTC_EOL_CRLF, "\r\n"},
        {"lf", "a\nb", wxSTC_EOL_LF, "\n"},
        {"cr", "a\rb", wxSTC_EOL_CR, "\r"},
        {"none stays lf", "abc", wxSTC_EOL_LF, "\n"},
        {"latin1", "caf\xE9\nbar\n", wxSTC_EOL_LF, "\n"},
        {"crlf at the cut", std::string(254, 'x') + "\r\ny\r\n", wxSTC_EOL_CRLF, "\r\n"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        QelSTC* stc = Open("eol.txt", row.bytes);
        EXPECT_EQ(stc->GetEOLMode(), row.want);
        stc->DocumentEnd();
        stc->NewLine();
        EXPECT_EQ(TextBytes(stc), row.bytes + row.newline);
    }
}

TEST_F(StcControl, OpenGoesToALineOrReloads)
{
    std::string lines;
    for (int i = 1; i <= 20; ++i) lines += "line " + std::to_string(i) + "\n";
    QelSTC* stc = Open("a.txt", lines, EDITOR_READ_ONLY);
    const QelFileName name = stc->GetFileName();

    ASSERT_TRUE(stc->Open(name, 12, "", 0));
    EXPECT_EQ(stc->GetCurrentLine(), 11);
    WriteFile("a.txt", "changed\n");
    EXPECT_TRUE(stc->Open(name, 12, "", 0));
    EXPECT_EQ(TextBytes(stc), lines);
    EXPECT_EQ(stc->GetFlags(), EDITOR_READ_ONLY);

    EXPECT_TRUE(stc->Open(name, 0, "", 0));
    EXPECT_EQ(TextBytes(stc), "changed\n");
    EXPECT_EQ(stc->GetFlags(), 0);
}

TEST_F(StcControl, OpenWithoutLineFindsTheLastMatchOrTheEnd)
{
    QelSTC* stc = Open("m.txt", "foo x foo y");
    ASSERT_TRUE(stc->Open(stc->GetFileName(), -1, "foo", 0));
    EXPECT_EQ(stc->GetSelectionStart(), 6);
    EXPECT_EQ(stc->GetSelectionEnd(), 9);
    ASSERT_TRUE(stc->Open(stc->GetFileName(), -1, "", 0));
    EXPECT_EQ(stc->GetCurrentPos(), stc->GetTextLength());

    QelSTC copy(*stc);
    EXPECT_EQ(copy.GetFileName().GetFullPath(), stc->GetFileName().GetFullPath());
    EXPECT_EQ(TextBytes(&copy), "foo x foo y");
    EXPECT_EQ(copy.GetCurrentPos(), copy.GetTextLength());
}

// A failed open must not leave the editor bound to the new name, or a later
// save would write the old text under it.
TEST_F(StcControl, FailedOpenKeepsTheBinding)
{
    QelSTC* stc = Open("kept.txt", "kept", EDITOR_READ_ONLY);
    const wxString path = stc->GetFileName().GetFullPath();

    EXPECT_FALSE(stc->Open(QelFileName(m_Temp.File("missing.txt")), 0, "", EDITOR_HEX));
    EXPECT_EQ(stc->GetFileName().GetFullPath(), path);
    EXPECT_EQ(stc->GetFlags(), EDITOR_READ_ONLY);
    EXPECT_EQ(TextBytes(stc), "kept");
}

TEST_F(StcControl, FollowsTheReadOnlyAttribute)
{
    const wxString path = WriteFile("ro.txt", "text");
    qeltest::Run("chmod 444 " + ShellQuote(path));
    QelSTC stc(m_Frame, QelFileName(path));
    EXPECT_TRUE(stc.GetReadOnly());

    LogCapture log;
    Type(&stc, 'a');
    EXPECT_EQ(TextBytes(&stc), "text");
    EXPECT_TRUE(log.Has("Document is readonly")) << log.Dump();

    qeltest::Run("chmod 644 " + ShellQuote(path) + " && touch -d '+2 sec' " + ShellQuote(path));
    wxIdleEvent idle;
    stc.ProcessWindowEvent(idle);
    EXPECT_FALSE(stc.GetReadOnly());
    EXPECT_TRUE(log.Has("Readonly attribute changed")) << log.Dump();

    stc.DocumentEnd();
    Type(&stc, 'a');
    EXPECT_EQ(TextBytes(&stc), "texta");
}

// A mode line may set options; one that tries a shell command runs nothing.
TEST_F(StcControl, ModeLineSetsOnlyOptions)
{
    const wxString pwned = m_Temp.File("pwned");
    const std::string text = "# :!touch " + std::string(pwned.utf8_str()) + "\n# vi: set ts=4\n";

    for (const bool vi : {false, true}) {
        SCOPED_TRACE(vi ? "vi mode" : "no vi mode");
        wxConfigBase::Get()->Write("vi mode", vi);
        QelSTC* stc = Open("mode.sh", text);
        EXPECT_EQ(stc->GetTabWidth(), vi ? 4 : 2);
        EXPECT_FALSE(wxFileExists(pwned));
        EXPECT_EQ(wxConfigBase::Get()->ReadLong("Tab width", 0), 2);
    }
}

} // namespace
