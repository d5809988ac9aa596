// Editing aids: indentation, folding, markers, line numbers.
#include <gtest/gtest.h>
#include <wx/frame.h>

#include <string>
#include <tuple>
#include <utility>

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

// Return carries the white space before the caret; nothing on a read-only text.
TEST_F(StcAids, SmartIndentationAndIndent)
{
    using Row = std::tuple<const char*, int, bool, const char*>;
    for (const auto& [line, caret, taken, want] :
         {Row{"\t  foo", 6, true, "\t  foo\n\t  "}, Row{"\t  foo", 1, true, "\t\n\t    foo"},
          Row{"foo", 3, false, "foo"}, Row{"\n", 0, false, "\n"}}) {
        SCOPED_TRACE(line);
        m_Stc->SetText(line);
        m_Stc->GotoPos(caret);
        EXPECT_EQ(m_Stc->SmartIndentation(), taken);
        EXPECT_EQ(TextBytes(m_Stc), want);
    }
    m_Stc->SetReadOnly(true);
    EXPECT_FALSE(m_Stc->SmartIndentation());
    m_Stc->SetReadOnly(false);

    // Indenting back takes only white space, and is undone as one step.
    m_Stc->SetIndent(4);
    m_Stc->SetUseTabs(false);
    using Shift = std::tuple<const char*, bool, const char*>;
    for (const auto& [text, forward, want] :
         {Shift{"x\ny", true, "    x\ny"}, Shift{"      x", false, "  x"},
          Shift{"\tx", false, "x"}}) {
        m_Stc->SetText(text);
        m_Stc->Indent(1, forward);
        EXPECT_EQ(m_Stc->GetText(), want);
        m_Stc->Undo();
        EXPECT_EQ(m_Stc->GetText(), text);
    }
}

// A C text of functions of three lines ("int fN() {", "  x;", "}").
std::string Functions(int count)
{
    std::string text;
    for (int i = 0; i < count; ++i) text += "int f" + std::to_string(i) + "() {\n  x;\n}\n";
    return text;
}

// A text longer than the folding limit is folded on opening; a block reaching
// further than the text styled while it is shown stays open then, and
// FoldAll closes it.
TEST_F(StcAids, LongDocumentsFoldAsStyled)
{
    const struct {
        const char* name;
        std::string text;
        int opened, all; // the first collapsed line, -1 for none
    } rows[] = {
        {"a.c", Functions(500), 0, 0},
        {"a.xml", "<root>\n" + std::string(1600, '\n') + "<a>\n<b/>\n</a>\n</root>\n", 1601, 1601},
        {"b.c", "#ifndef G\n" + Functions(70000) + "#endif\n", 1, 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        auto* stc = new QelSTC(m_Frame, QelFileName(WriteFile(row.name, row.text)));
        Pump(0); // folding starts once the window could show
        const auto first = [stc] {
            for (int line = 0; line < stc->GetLineCount(); ++line)
                if (!stc->GetFoldExpanded(line)) return line;
            return -1;
        };
        EXPECT_EQ(first(), row.opened);
        stc->FoldAll();
        EXPECT_EQ(first(), row.all);
        stc->Destroy();
    }
}

// 360 KB: only its start is styled and folded on opening, the rest as shown.
TEST_F(StcAids, LongDocumentsFoldAsShown)
{
    auto* stc = new QelSTC(m_Frame, QelFileName(WriteFile("long.c", Functions(20000))));
    Pump(0);
    EXPECT_TRUE(stc->GetFoldExpanded(30000));

    // Lines taken out above where folding goes on move that place up.
    int open = 0;
    while (!stc->GetFoldExpanded(open)) open += 3;
    stc->DeleteRange(0, stc->PositionFromLine(30));
    const int last = stc->GetLineCount() - 1;
    m_Frame->Show();
    stc->GotoLine(30001); // inside the block of line 30000, which stays open
    ASSERT_TRUE(PumpUntil([&] { return !stc->GetFoldExpanded(29997); }, 5000));
    EXPECT_TRUE(stc->GetFoldExpanded(30000) && stc->GetLineVisible(30001));
    EXPECT_TRUE(stc->GetFoldExpanded(last - 3));
    EXPECT_LT(stc->GetEndStyled(), stc->PositionFromLine(40000));
    // Blocks jumped over fold once shown, also after lines above them went.
    EXPECT_TRUE(stc->GetFoldExpanded(open - 30));
    stc->DeleteRange(0, stc->PositionFromLine(30));
    stc->SetFirstVisibleLine(stc->VisibleFromDocLine(open - 63));
    EXPECT_TRUE(PumpUntil([&] { return !stc->GetFoldExpanded(open - 60); }, 5000));

    // Once all is unfolded, nothing shown later folds.
    wxCommandEvent unfold(wxEVT_MENU, ID_EDIT_UNFOLD_ALL);
    stc->ProcessWindowEvent(unfold);
    stc->GotoLine(stc->GetLineCount() - 1);
    stc->Update();
    Pump(50);
    EXPECT_GT(stc->GetFirstVisibleLine(), 50000);
    EXPECT_TRUE(stc->GetFoldExpanded(29997) && stc->GetFoldExpanded(stc->GetLineCount() - 4));
}

// Markers are found round the end; change marks go with a save.
TEST_F(StcAids, MarkersWrapAndChangesAreCleared)
{
    m_Stc->SetText("0\n1\n2\n3\n4\n5\n6\n7\n8\n");
    m_Stc->MarkerAdd(3, 0);
    m_Stc->MarkerAdd(7, 0);
    using Step = std::tuple<int, bool, int>;
    for (const auto& [from, next, want] : {Step{7, true, 3}, Step{3, false, 7}, Step{4, true, 7}}) {
        m_Stc->GotoLine(from);
        m_Stc->MarkerNext(next);
        EXPECT_EQ(m_Stc->GetCurrentLine(), want) << from << next;
    }

    QelSTC file(m_Frame, QelFileName(WriteFile("m.txt", "a\nb\n")));
    file.MarkerAddChange(1);
    EXPECT_NE(file.MarkerGet(1) & (1 << QEL_MARKER_CHANGE), 0);
    ASSERT_TRUE(file.GetFile().FileSave());
    EXPECT_EQ(file.MarkerGet(1) & (1 << QEL_MARKER_CHANGE), 0);
}

TEST_F(StcAids, LineNumberAtTheCaret)
{
    using Row = std::pair<const char*, int>;
    for (const auto& [line, want] : {Row{"foo.c:120", 120}, Row{"foo:bar", 0}, Row{"a:1:2", 2}}) {
        m_Stc->SetText(line);
        EXPECT_EQ(m_Stc->GetLineNumberAtCurrentPos(), want) << line;
    }
}

} // namespace
