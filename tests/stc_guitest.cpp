// The editor control on real files: opening, line ends, mode lines and
// read-only following.
#include <gtest/gtest.h>
#include <wx/frame.h>

#include <utility>
#include <vector>

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
};

// A new line takes the line end guessed from the raw bytes, a CR LF across
// the first block read included.
TEST_F(StcControl, GuessesLineEndsFromTheRawBytes)
{
    for (const auto& [bytes, newline] : std::vector<std::pair<std::string, const char*>>{
             {"a\r\nb\nc", "\r\n"},
             {"a\rb", "\r"},
             {std::string(254, 'x') + "\r\ny\r\n", "\r\n"}}) {
        QelSTC* stc = Open("eol.txt", bytes);
        stc->DocumentEnd();
        stc->NewLine();
        EXPECT_EQ(TextBytes(stc), bytes + newline);
    }
}

// Opening the bound file on a line only goes there, without one it reads the
// file again; line -1 is its end. A failed open keeps the flags (the binding
// it keeps: FileBinding.LoadOrSaveThatDoesNotHappenChangesNothing).
TEST_F(StcControl, OpenReloadsOrKeepsTheBinding)
{
    QelSTC* stc = Open("a.txt", "a\nb\n", EDITOR_READ_ONLY);
    const QelFileName name = stc->GetFileName();
    WriteFile("a.txt", "changed\n");
    ASSERT_TRUE(stc->Open(name, 2, "", 0));
    EXPECT_EQ(stc->GetCurrentLine(), 1);
    EXPECT_EQ(TextBytes(stc), "a\nb\n");
    EXPECT_EQ(stc->GetFlags(), EDITOR_READ_ONLY);
    EXPECT_FALSE(stc->Open(QelFileName(m_Temp.File("missing.txt")), 0, "", EDITOR_HEX));
    EXPECT_EQ(stc->GetFlags(), EDITOR_READ_ONLY);
    EXPECT_TRUE(stc->Open(name, 0, "", 0));
    EXPECT_EQ(TextBytes(stc), "changed\n");
    EXPECT_EQ(stc->GetFlags(), 0);
    WriteFile("a.txt", "a log\ngrown\n");
    EXPECT_TRUE(stc->Open(name, -1, "", 0));
    EXPECT_EQ(stc->GetCurrentPos(), stc->GetTextLength());
}

// A read-only file is shown read-only until an idle check finds it writable
// (the attribute itself: FileBinding.ReloadFollowsEachChangeOnDisk); only a
// shown editor checks.
TEST_F(StcControl, FollowsTheReadOnlyAttribute)
{
    m_Frame->Show();
    const wxString path = WriteFile("ro.txt", "text");
    qeltest::Run("chmod 444 " + ShellQuote(path));
    QelSTC stc(m_Frame, QelFileName(path));
    EXPECT_TRUE(stc.GetReadOnly());
    qeltest::Run("chmod 644 " + ShellQuote(path) + " && touch -d '+2 sec' " + ShellQuote(path));
    wxIdleEvent idle;
    stc.ProcessWindowEvent(idle);
    EXPECT_FALSE(stc.GetReadOnly());
}

// The line-number margin of a shown editor fits the widest line number after
// a load, a reload, edits and a zoom, and narrows back to the width set.
TEST_F(StcControl, LineNumberMarginFitsTheLineCount)
{
    m_Frame->Show();
    wxConfigBase::Get()->Write("Line numbers", true);
    wxConfigBase::Get()->Write("Line number", 20L);
    QelSTC* stc = Open("lines.txt", std::string(99999, '\n'));
    const auto margin = [stc] {
        wxIdleEvent idle;
        stc->ProcessWindowEvent(idle);
        return stc->GetMarginWidth(QEL_MARGIN_LINE_NUMBER);
    };
    const auto wider
        = [stc](const char* number) { return stc->TextWidth(wxSTC_STYLE_LINENUMBER, number) + 1; };
    EXPECT_GE(margin(), wider("100000"));
    WriteFile("lines.txt", std::string(999999, '\n'));
    ASSERT_TRUE(stc->Open(stc->GetFileName(), 0, "", 0));
    EXPECT_GE(margin(), wider("1000000"));
    stc->DeleteRange(0, stc->GetLength() - 8);
    EXPECT_EQ(margin(), 20);
    stc->AppendText(std::string(99999, '\n'));
    EXPECT_GE(margin(), wider("100000"));
    stc->SetZoom(8);
    EXPECT_GE(stc->GetMarginWidth(QEL_MARGIN_LINE_NUMBER), wider("100000"));
}

// A makefile's recipe lines need a tab: Tab and indenting insert one there,
// whatever "Use tabs" says, also after the settings are read again.
TEST_F(StcControl, MakefilesIndentWithTabs)
{
    InstallLexers(QEL_SOURCE_DIR "/data/lexers.xml");
    wxConfigBase::Get()->Write("Use tabs", false);
    for (const auto& [name, indent] :
         {std::pair{"Makefile", "\t"}, {"rules.mk", "\t"}, {"notes.txt", "  "}}) {
        SCOPED_TRACE(name);
        QelSTC* stc = Open(name, "all:\n");
        stc->ConfigGet();
        stc->DocumentEnd();
        stc->Tab();
        stc->Indent(0, 0, true);
        EXPECT_EQ(TextBytes(stc), indent + std::string("all:\n") + indent);
    }
}

// A mode line may set options; one that tries a shell command runs nothing.
TEST_F(StcControl, ModeLineSetsOnlyOptions)
{
    const wxString pwned = m_Temp.File("pwned");
    const std::string text = "# :!touch " + std::string(pwned.utf8_str()) + "\n# vi: set ts=4\n";
    for (const bool vi : {false, true}) {
        SCOPED_TRACE(vi);
        wxConfigBase::Get()->Write("vi mode", vi);
        EXPECT_EQ(Open("mode.sh", text)->GetTabWidth(), vi ? 4 : 2);
        EXPECT_FALSE(wxFileExists(pwned));
        EXPECT_EQ(wxConfigBase::Get()->ReadLong("Tab width", 0), 2);
    }
}

} // namespace
