// Editing aids: indentation, folding, markers, braces, line numbers.
#include <gtest/gtest.h>
#include <wx/frame.h>

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

TEST_F(StcAids, LongDocumentsFoldOnceShown)
{
    for (const int functions : {500, 501}) {
        SCOPED_TRACE(functions);
        std::string text;
        for (int i = 0; i < functions; ++i) text += "int f" + std::to_string(i) + "() {\n  x;\n}\n";
        QelSTC* stc = new QelSTC(m_Frame,
                                 QelFileName(WriteFile("long.c", text.substr(0, text.size() - 1))));
        const int lines = stc->GetLineCount();
        ASSERT_EQ(lines, functions * 3);
        EXPECT_EQ(stc->GetMarginWidth(QEL_MARGIN_FOLDING), 16);

        Pump(0);
        int collapsed = 0;
        for (int line = 0; line < lines; line += 3) collapsed += stc->GetFoldExpanded(line) ? 0 : 1;
        EXPECT_EQ(collapsed, lines > 1500 ? functions : 0);
    }
}

TEST_F(StcAids, XmlRootStaysOpen)
{
    QelSTC stc(
        m_Frame,
        QelFileName(WriteFile("a.xml", "<root>\n<a>\n<b/>\n</a>\n<c>\n<d/>\n</c>\n</root>\n")));
    stc.FoldAll();
    EXPECT_TRUE(stc.GetFoldExpanded(0));
    EXPECT_FALSE(stc.GetFoldExpanded(1));
    EXPECT_FALSE(stc.GetFoldExpanded(4));
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
