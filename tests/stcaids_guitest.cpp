// Editing aids: indentation, folding, markers, braces, line numbers.
#include <gtest/gtest.h>
#include <wx/frame.h>

#include <string>
#include <vector>

#include <qelkit/stc.h>

#include "testing.h"

using namespace qeltest;

namespace {

class StcAids : public EditorTest {
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        m_Stc = new QelSTC(m_Frame);
    }

    QelSTC* m_Stc = nullptr;
};

TEST_F(StcAids, ReturnCarriesTheLeadingWhiteSpace)
{
    const struct {
        const char* line;
        int caret; // -1: at the end
        bool taken;
        const char* want;
        int want_caret;
    } rows[] = {
        {"\t  foo", -1, true, "\t  foo\n\t  ", 10},
        {"\t  foo", 1, true, "\t\n\t    foo", 5},
        {"foo", -1, false, "foo", 3},
        {"", -1, false, "", 0},
        {"\n", 0, false, "\n", 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.line);
        m_Stc->SetText(row.line);
        m_Stc->GotoPos(row.caret < 0 ? m_Stc->GetTextLength() : row.caret);
        EXPECT_EQ(m_Stc->SmartIndentation(), row.taken);
        EXPECT_EQ(TextBytes(m_Stc), row.want);
        EXPECT_EQ(m_Stc->GetCurrentPos(), row.want_caret);
    }

    m_Stc->SetText("  x");
    m_Stc->SetReadOnly(true);
    EXPECT_FALSE(m_Stc->SmartIndentation());
}

TEST_F(StcAids, IndentShiftsOnlyWhiteSpace)
{
    m_Stc->SetIndent(4);
    m_Stc->SetUseTabs(false);
    const struct {
        const char* text;
        bool forward;
        const char* want;
    } rows[] = {
        {"x\ny", true, "    x\ny"}, {"      x", false, "  x"}, {"  x", false, "x"},
        {"x", false, "x"},          {"\tx", false, "x"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        m_Stc->SetText(row.text);
        m_Stc->Indent(1, row.forward);
        EXPECT_EQ(m_Stc->GetText(), row.want);
        m_Stc->Undo();
        EXPECT_EQ(m_Stc->GetText(), row.text);
    }
}

// A C text of functions of three lines ("int fN() {", "  x;", "}"), the
// last line end left out unless eol.
std::string Functions(int count, bool eol = true)
{
    std::string text;
    for (int i = 0; i < count; ++i) text += "int f" + std::to_string(i) + "() {\n  x;\n}\n";
    if (!eol) text.pop_back();
    return text;
}

// The lines of the editor's collapsed fold headers.
std::vector<int> Collapsed(QelSTC* stc)
{
    std::vector<int> lines;
    for (int line = 0; line < stc->GetLineCount(); ++line)
        if (!stc->GetFoldExpanded(line)) lines.push_back(line);
    return lines;
}

TEST_F(StcAids, LongDocumentsFoldAsStyled)
{
    // Each text is folded on opening (styled whole, it is short) and by
    // FoldAll; a block reaching further than the text styled while it is
    // shown stays open on opening, FoldAll closes it.
    const std::string guard = "#ifndef G\n" + Functions(70000) + "#endif\n";
    const struct {
        const char* name;
        std::string text;
        std::vector<int> opened, all; // collapsed lines; {-1}: every third from 0
    } rows[] = {
        {"1500 lines", Functions(500, false), {}, {-1}},
        {"1501 lines", Functions(500), {-1}, {-1}},
        {"blocks of two lines", std::string(1600, '\n') + "int f() {\n}", {}, {}},
        {"xml root",
         "<root>\n" + std::string(1600, '\n') + "<a>\n<b/>\n</a>\n</root>\n",
         {1601},
         {1601}},
        {"guard past the look-ahead", guard, {1}, {0}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const bool xml = row.name == std::string("xml root");
        auto* stc = new QelSTC(m_Frame, QelFileName(WriteFile(xml ? "a.xml" : "a.c", row.text)));
        const int lines = stc->GetLineCount();
        Pump(0); // folding starts once the window could show
        const auto expect = [&](const std::vector<int>& want) {
            std::vector<int> every;
            for (int line = 0; line + 2 < lines; line += 3) every.push_back(line);
            const std::vector<int> got = Collapsed(stc);
            if (want == std::vector<int>{-1})
                EXPECT_EQ(got, every);
            else if (row.text == guard)
                EXPECT_EQ(got.at(0), want.at(0)); // the inner ones depend on what was styled
            else
                EXPECT_EQ(got, want);
        };
        expect(row.opened);
        stc->FoldAll();
        expect(row.all);
        stc->Destroy();
    }
}

TEST_F(StcAids, LongDocumentsFoldAsShown)
{
    // 360 KB: only its start is styled on opening.
    auto* stc = new QelSTC(m_Frame, QelFileName(WriteFile("long.c", Functions(20000))));
    Pump(0);
    EXPECT_FALSE(stc->GetFoldExpanded(0));
    EXPECT_TRUE(stc->GetFoldExpanded(30000));
    EXPECT_LT(stc->GetEndStyled(), stc->PositionFromLine(30000));

    // Lines taken out above where folding goes on move that place up.
    int open = 0;
    while (!stc->GetFoldExpanded(open)) open += 3;
    stc->DeleteRange(0, stc->PositionFromLine(30));
    const int last = stc->GetLineCount() - 1;

    m_Frame->Show();
    stc->GotoLine(30001); // inside the block of line 30000, which stays open
    ASSERT_TRUE(PumpUntil([&] { return !stc->GetFoldExpanded(29997); }, 5000));
    EXPECT_FALSE(stc->GetFoldExpanded(open - 30));
    EXPECT_TRUE(stc->GetFoldExpanded(30000));
    EXPECT_TRUE(stc->GetLineVisible(30001));
    EXPECT_FALSE(stc->GetFoldExpanded(30003));
    // Nor was more styled than what was shown and a little beyond.
    EXPECT_TRUE(stc->GetFoldExpanded(last - 3));
    EXPECT_LT(stc->GetEndStyled(), stc->PositionFromLine(40000));

    // Once all is unfolded, nothing shown later folds.
    wxCommandEvent unfold(wxEVT_MENU, ID_EDIT_UNFOLD_ALL);
    stc->ProcessWindowEvent(unfold);
    EXPECT_TRUE(stc->GetFoldExpanded(29997));
    stc->GotoLine(last);
    stc->Update();
    Pump(50);
    EXPECT_GT(stc->GetFirstVisibleLine(), 50000);
    EXPECT_TRUE(stc->GetFoldExpanded(last - 6) && stc->GetFoldExpanded(last - 3));
}

TEST_F(StcAids, MarkersWrapAndChangesAreCleared)
{
    m_Stc->SetText("0\n1\n2\n3\n4\n5\n6\n7\n8\n");
    m_Stc->GotoLine(7);
    m_Stc->MarkerNext(true);
    EXPECT_EQ(m_Stc->GetCurrentLine(), 7);

    m_Stc->MarkerAdd(3, 0);
    m_Stc->MarkerAdd(7, 0);
    const struct {
        int from;
        bool next;
        int want;
    } rows[] = {{7, true, 3}, {3, false, 7}, {4, true, 7}, {4, false, 3}};
    for (const auto& row : rows) {
        m_Stc->GotoLine(row.from);
        m_Stc->MarkerNext(row.next);
        EXPECT_EQ(m_Stc->GetCurrentLine(), row.want) << row.from << (row.next ? " next" : " back");
    }

    // Changes are marked only in an editor on an existing file.
    m_Stc->MarkerAddChange(2);
    EXPECT_EQ(m_Stc->MarkerGet(2) & (1 << QEL_MARKER_CHANGE), 0);

    QelSTC file(m_Frame, QelFileName(WriteFile("m.txt", "a\nb\n")));
    file.MarkerAddChange(1);
    EXPECT_NE(file.MarkerGet(1) & (1 << QEL_MARKER_CHANGE), 0);
    ASSERT_TRUE(file.GetFile().FileSave());
    EXPECT_EQ(file.MarkerGet(1) & (1 << QEL_MARKER_CHANGE), 0);
}

TEST_F(StcAids, LineNumberAtTheCaret)
{
    const struct {
        const char* line;
        int want;
    } rows[] = {{"foo.c:120", 120}, {"foo:bar", 0}, {"no colon", 0}, {"a:1:2", 2}};
    for (const auto& row : rows) {
        m_Stc->SetText(row.line);
        EXPECT_EQ(m_Stc->GetLineNumberAtCurrentPos(), row.want) << row.line;
    }
}

} // namespace
