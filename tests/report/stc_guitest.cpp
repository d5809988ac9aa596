// The editor bound to the frame: links open pages of their own through the
// frame, loads reach the recent files only when they succeed, the title
// names the editor and its read-only state, and a version-control command
// first offers to save unsaved changes.
#include <sys/stat.h>

#include <gtest/gtest.h>
#include <wx/config.h>
#include <wx/testing.h>

#include <qelkit/report/stc.h>

#include "reportframe.h"

namespace {

using qeltest::ShellQuote;

// Opens every file in a page of its own, or in the page that shows it
// already, handing the flags on unchanged as the application's frame does.
class PageFrame : public qeltest::ReportFrame {
public:
    using QelFrameWithHistory::OpenFile;
    bool OpenFile(const QelFileName& filename, int line_number, const wxString& match,
                  long flags) override
    {
        for (QelSTCWithFrame* page : pages)
            if (page->GetFileName().GetFullPath() == filename.GetFullPath())
                return page->Open(filename, line_number, match, flags);
        pages.push_back(new QelSTCWithFrame(this, this, filename, line_number, match, flags));
        return pages.back()->GetFileName().IsOk();
    }
    std::vector<QelSTCWithFrame*> pages;
};

class FrameEditorTest : public qeltest::ReportFrameTest {
protected:
    void SetUp() override
    {
        ReportFrameTest::SetUp();
        qeltest::InstallLexers(QEL_SOURCE_DIR "/data/lexers.xml");
        m_Frame = m_Pages = new PageFrame();
    }
    PageFrame* m_Pages = nullptr;
};

TEST_F(FrameEditorTest, ALinkOpensAPageOfItsOwn)
{
    const wxString first = Write("first.c", "see other.c:3\n");
    const wxString other = Write("other.c", "int a;\nint b;\nint c;\n");
    m_Pages->OpenFile(QelFileName(first), 0, wxEmptyString, 0);
    ASSERT_EQ(m_Pages->pages.size(), 1u);
    QelSTCWithFrame* editor = m_Pages->pages[0];
    for (int round = 1; round <= 2; round++) {
        SCOPED_TRACE(round);
        ASSERT_TRUE(editor->LinkOpen("other.c:3", 3));
        // The second time the frame selects the page and hands the open,
        // link bit and all, back to it: it loads there and does not loop.
        ASSERT_EQ(m_Pages->pages.size(), 2u);
        EXPECT_EQ(m_Pages->pages[1]->GetFileName().GetFullPath(), other);
        EXPECT_EQ(m_Pages->pages[1]->GetCurrentLine(), 2);
        EXPECT_EQ(editor->GetFileName().GetFullPath(), first);
        EXPECT_EQ(editor->GetText(), "see other.c:3\n");
        EXPECT_EQ(m_Pages->GetRecentFile(), other);
    }
}

TEST_F(FrameEditorTest, OnlyLoadsThatSucceedBecomeRecentFiles)
{
    const wxString a = Write("a.c", "a\n"), b = Write("b.c", "b\n");
    const wxString missing = m_Temp.File("gone/missing.c");
    QelSTCWithFrame* editor = new QelSTCWithFrame(m_Pages, m_Pages, QelFileName(a));
    EXPECT_EQ(m_Pages->GetRecentFile(), a);
    struct Row {
        bool construct; // a new editor on the file, else an open in the first
        wxString path, recent;
    };
    const Row rows[] = {{false, b, b}, {false, missing, b}, {true, missing, b}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.path + (row.construct ? " constructed" : " opened"));
        const bool opened = row.construct
            ? (new QelSTCWithFrame(m_Pages, m_Pages, QelFileName(row.path)))
                  ->GetFileName()
                  .FileExists()
            : editor->Open(QelFileName(row.path));
        EXPECT_EQ(opened, row.path != missing);
        EXPECT_EQ(m_Pages->GetRecentFile(), row.recent);
    }
    EXPECT_EQ(m_Pages->GetFileHistory().GetCount(), 2u);
}

TEST_F(FrameEditorTest, TitleNamesTheEditorAndMarksReadOnly)
{
    const wxString file = Write("ro.c", "int r;\n");
    ASSERT_EQ(chmod(file.utf8_str(), 0444), 0);
    auto* editor = new QelSTCWithFrame(m_Pages, m_Pages, QelFileName(file));
    editor->PropertiesMessage(0);
    EXPECT_EQ(m_Pages->GetTitle(), file + " [Readonly]");

    auto* text = new QelSTCWithFrame(m_Pages, m_Pages, "some text", 0, "Log");
    text->PropertiesMessage(0);
    EXPECT_EQ(m_Pages->GetTitle(), "Log");
}

TEST_F(FrameEditorTest, VersionControlCommandOffersToSaveFirst)
{
    const wxString root = GitTree("w");
    const wxString marker = m_Temp.File("marker");
    const wxString script = Write("fakegit",
                                  "#!/bin/sh\nfor a; do last=$a; done\ncat \"$last\" > "
                                      + ShellQuote(marker).utf8_string() + "\n");
    ASSERT_EQ(chmod(script.utf8_str(), 0755), 0);
    wxConfigBase::Get()->Write("git", script);
    wxConfigBase::Get()->Write("VCS", 1);
    int status = -1;
    for (const auto& command : QelVCS::GetEntries().at("git").GetCommands())
        if (command.GetCommand(true, false) == "status")
            status = ID_EDIT_VCS_LOWEST + 1 + command.GetNo();
    ASSERT_NE(status, -1);

    struct Row {
        int answer;
        const char* on_disk; // the file afterwards
        const char* seen;    // by the command; nothing when it did not run
    };
    const Row rows[] = {{wxCANCEL, "x\n", ""}, {wxYES, "x\nint b;\n", "x\nint b;\n"}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.answer);
        wxRemoveFile(marker);
        auto* editor = new QelSTCWithFrame(m_Pages, m_Pages, QelFileName(root + "/t.c"));
        editor->DocumentEnd();
        editor->AddText("int b;\n");
        ASSERT_TRUE(editor->GetModify());
        wxCommandEvent event(wxEVT_MENU, status);
        wxTEST_DIALOG(editor->ProcessWindowEvent(event), wxExpectModal<wxMessageDialog>(row.answer),
                      qeltest::ExpectConfigDialog(wxID_OK).Optional());
        EXPECT_EQ(qeltest::ReadBytes(marker), row.seen);
        EXPECT_EQ(qeltest::ReadBytes(root + "/t.c"), row.on_disk);
        editor->Destroy();
    }
}

} // namespace
