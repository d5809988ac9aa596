// Find, replace and go-to of the editor, against grep and sed on the same
// text.
#include <random>

#include <gtest/gtest.h>
#include <wx/frame.h>

#include <qelkit/frd.h>
#include <qelkit/stc.h>

#include "testing.h"

using namespace qeltest;

namespace {

class StcFind : public EditorTest {
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        m_Stc = new QelSTC(m_Frame);
    }

    void Options(bool regex)
    {
        QelFindReplaceData* frd = QelFindReplaceData::Get();
        frd->SetMatchCase(true);
        frd->SetMatchWord(false);
        frd->SetUseRegularExpression(regex);
    }

    // Lines of random words, "foo" in some of them (at most once a line).
    wxString Sample(int lines)
    {
        static const char* words[] = {"alpha", "beta", "fo", "oof", "gamma", "x"};
        std::mt19937 random(11);
        std::string text;
        for (int i = 0; i < lines; ++i) {
            for (int w = 0; w < 6; ++w) text += std::string(words[random() % 6]) + " ";
            if (random() % 3 == 0) text.insert(text.size() - 4 * (random() % 5) - 1, "foo");
            text += "\n";
        }
        WriteFile("sample.txt", text);
        return m_Temp.File("sample.txt");
    }

    QelSTC* m_Stc = nullptr;
};

TEST_F(StcFind, StepsThroughEveryMatchAndWrapsOnce)
{
    const wxString path = Sample(400);
    const int lines = std::stoi(qeltest::Run("grep -c foo " + ShellQuote(path)));
    m_Stc->SetText(wxString::FromUTF8(ReadBytes(path).c_str()));

    for (const bool forward : {true, false}) {
        SCOPED_TRACE(forward ? "forward" : "backward");
        m_Stc->DocumentStart();
        ASSERT_TRUE(m_Stc->FindNext("foo", wxSTC_FIND_MATCHCASE, forward));
        const int first = m_Stc->GetSelectionStart();
        int found = 1;
        while (m_Stc->FindNext("foo", wxSTC_FIND_MATCHCASE, forward)
               && m_Stc->GetSelectionStart() != first && found <= lines)
            ++found;
        EXPECT_EQ(found, lines);
    }

    m_Stc->SetSelection(5, 9);
    EXPECT_FALSE(m_Stc->FindNext("zzz", 0, true));
    EXPECT_EQ(m_Stc->GetSelectionStart(), 5);
    EXPECT_EQ(m_Stc->GetSelectionEnd(), 9);
}

TEST_F(StcFind, FindWrapsAtTheBottom)
{
    m_Stc->SetText("foo bar foo");
    m_Stc->DocumentEnd();
    LogCapture log;
    EXPECT_TRUE(m_Stc->FindNext("foo", 0, true));
    EXPECT_EQ(m_Stc->GetSelectionStart(), 0);
    EXPECT_EQ(m_Stc->GetSelectionEnd(), 3);
    EXPECT_TRUE(log.Has("hit bottom")) << log.Dump();
}

TEST_F(StcFind, ReplaceAllAgreesWithSed)
{
    const wxString path = Sample(2000);
    const struct {
        const char* name;
        bool regex;
        const char* find;
        const char* replace;
        const char* grep; // the same pattern for grep -o (basic syntax)
        const char* sed;
    } rows[] = {
        {"plain", false, "foo", "barbaz", "foo", "s/foo/barbaz/g"},
        {"plain backslash one is text", false, "foo", "\\1", "foo", "s/foo/\\\\1/g"},
        {"regex group", true, "\\(f\\)o+", "<\\1>", "fo\\+", "s/\\(f\\)o\\+/<\\1>/g"},
        {"regex shrinks", true, "[ab]", "", "[ab]", "s/[ab]//g"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Options(row.regex);
        m_Stc->SetText(wxString::FromUTF8(ReadBytes(path).c_str()));
        const int count = m_Stc->ReplaceAll(row.find, row.replace);

        EXPECT_EQ(count,
                  std::stoi(qeltest::Run("grep -o " + ShellQuote(row.grep) + " " + ShellQuote(path)
                                         + " | wc -l")));
        EXPECT_EQ(TextBytes(m_Stc),
                  qeltest::Run("sed " + ShellQuote(row.sed) + " " + ShellQuote(path)));
    }
}

TEST_F(StcFind, ReplaceAllIsOneUndoStepAndEnds)
{
    Options(false);
    m_Stc->SetText("aXa");
    LogCapture log;
    EXPECT_EQ(m_Stc->ReplaceAll("a", "b"), 2);
    EXPECT_EQ(m_Stc->GetText(), "bXb");
    EXPECT_TRUE(log.Has("Replaced: 2 occurrences of: a")) << log.Dump();
    m_Stc->Undo();
    EXPECT_EQ(m_Stc->GetText(), "aXa");

    // Each of these found the same place again for ever.
    EXPECT_EQ(m_Stc->ReplaceAll("", "z"), 0);
    Options(true);
    EXPECT_EQ(m_Stc->ReplaceAll("x*", "z"), 0);
    EXPECT_EQ(m_Stc->ReplaceAll("^", "z"), 0);
    EXPECT_EQ(m_Stc->GetText(), "aXa");
}

TEST_F(StcFind, ReplaceAllKeepsToAMultiLineSelection)
{
    Options(false);
    const wxString text = "a1\na2\na3\na4\na5\n";
    m_Stc->SetText(text);
    m_Stc->SetSelection(m_Stc->PositionFromLine(1), m_Stc->GetLineEndPosition(2));
    EXPECT_EQ(m_Stc->ReplaceAll("a", "aaa"), 2);
    EXPECT_EQ(m_Stc->GetText(), "a1\naaa2\naaa3\na4\na5\n");

    // A selection inside one line is no limit.
    m_Stc->SetText(text);
    m_Stc->SetSelection(0, 1);
    EXPECT_EQ(m_Stc->ReplaceAll("a", "b"), 5);
}

TEST_F(StcFind, ReplaceNextReplacesOnlyAMatch)
{
    Options(false);
    m_Stc->SetText("one foo two foo");
    m_Stc->SetSelection(0, 3);
    EXPECT_TRUE(m_Stc->ReplaceNext("foo", "X", 0, true));
    EXPECT_EQ(m_Stc->GetText(), "one X two foo");
    EXPECT_EQ(m_Stc->GetSelectedText(), "foo");
    EXPECT_TRUE(m_Stc->ReplaceNext("foo", "X", 0, true));
    EXPECT_EQ(m_Stc->GetText(), "one X two X");

    // A regular expression's groups come from the match that is replaced.
    m_Stc->SetText("abc abc");
    m_Stc->SetSelection(4, 7);
    EXPECT_TRUE(m_Stc->ReplaceNext("\\(ab\\)c", "\\1X", wxSTC_FIND_REGEXP, true));
    EXPECT_EQ(m_Stc->GetText(), "abc abX");
}

TEST_F(StcFind, GoToClampsTheLine)
{
    wxString text;
    for (int i = 1; i <= 20; ++i) text += wxString::Format("line %d\n", i);
    text.RemoveLast();
    m_Stc->SetText(text);

    const struct {
        int line;
        const char* text;
        const char* selected;
        long stored;
    } rows[] = {{1000, "", "line 20", 20}, {0, "", "line 1", 1}, {5, "ne", "ne", 5}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.line);
        m_Stc->GotoLineAndSelect(row.line, row.text);
        EXPECT_EQ(m_Stc->GetSelectedText(), row.selected);
        EXPECT_EQ(m_Stc->GetGotoLineNumber(), row.stored);
    }
}

TEST_F(StcFind, WordsAndFindStrings)
{
    m_Stc->SetText("int  ; a.b");
    EXPECT_EQ(m_Stc->GetWordAtPos(1), "int");
    EXPECT_EQ(m_Stc->GetWordAtPos(4), "");
    EXPECT_EQ(m_Stc->GetWordAtPos(5), ";");

    QelFindReplaceData::Get()->SetFindString("old");
    m_Stc->SetSelection(7, 10);
    Options(true);
    EXPECT_EQ(m_Stc->GetFindString(), "old");
    Options(false);
    EXPECT_EQ(m_Stc->GetFindString(), "a.b");
}

} // namespace
