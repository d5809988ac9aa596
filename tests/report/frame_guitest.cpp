// The frame with history: recent files and projects kept through a restart
// in the settings file, vanished ones dropped for good, and the title mark.
#include <gtest/gtest.h>
#include <wx/config.h>

#include <qelkit/listitem.h>
#include <qelkit/report/process.h>

#include "reportframe.h"

namespace {

using qeltest::ReportFrame;

std::vector<wxString> Entries(const wxFileHistory& history)
{
    std::vector<wxString> entries;
    for (size_t i = 0; i < history.GetCount(); i++) entries.push_back(history.GetHistoryFile(i));
    return entries;
}

class HistoryTest : public qeltest::ReportFrameTest { };

TEST_F(HistoryTest, RecentFilesAndProjectsSurviveARestart)
{
    const wxString a = Write("a.txt", "a\n"), b = Write("b.txt", "b\n");
    std::vector<wxString> projects;
    for (const char* name : {"p0.prj", "p1.prj", "p2.prj", "p3.prj"})
        projects.push_back(Write(name, "<project/>\n"));
    ReportFrame* frame = Start();
    EXPECT_TRUE(frame->OpenFile(QelFileName(a)));
    EXPECT_TRUE(frame->OpenFile(QelFileName(b)));
    EXPECT_TRUE(frame->OpenFile(QelFileName(a)));
    // A failed load is not a recent file.
    EXPECT_FALSE(frame->OpenFile(QelFileName(m_Temp.File("missing/c.txt"))));
    for (auto it = projects.rbegin(); it != projects.rend(); ++it) frame->SetRecentProject(*it);
    frame->SetRecentProject(wxEmptyString);
    ASSERT_TRUE(Stop());
    Reopen();

    frame = Start();
    EXPECT_EQ(Entries(frame->GetFileHistory()), (std::vector<wxString>{a, b}));
    EXPECT_EQ(Entries(frame->GetProjectHistory()), projects);
    EXPECT_EQ(frame->m_ProjectMenu->FindItemByPosition(0)->GetSubMenu()->GetMenuItemCount(), 4u);
}

TEST_F(HistoryTest, VanishedEntriesAreDroppedAndStayDropped)
{
    struct Row {
        const char* name;
        int command; // the first entry of the history
        bool project;
    };
    const Row rows[] = {
        {"File", ID_RECENT_FILE_LOWEST, false},
        {"Project", ID_RECENT_PROJECT_LOWEST, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const wxString kept = Write("kept", "k\n"), gone = Write("gone", "g\n");
        ReportFrame* frame = Start();
        for (const wxString& path : {kept, gone}) {
            row.project ? frame->SetRecentProject(path) : frame->SetRecentFile(path);
        }
        ASSERT_TRUE(wxRemoveFile(gone));
        const wxString before = frame->m_Stc->GetText();
        {
            qeltest::LogCapture log;
            frame->Command(row.command);
            EXPECT_TRUE(log.Has("Removed not existing file: " + gone + " from history"))
                << log.Dump();
        }
        EXPECT_EQ(frame->m_Stc->GetText(), before); // nothing opened
        ASSERT_TRUE(Stop());
        Reopen();

        frame = Start();
        const wxFileHistory& history
            = row.project ? frame->GetProjectHistory() : frame->GetFileHistory();
        EXPECT_EQ(Entries(history), std::vector<wxString>{kept});
        EXPECT_FALSE(wxConfigBase::Get()->Exists("RecentProject1"));
        ASSERT_TRUE(Stop());
        wxConfigBase::Get()->DeleteAll();
    }
}

TEST_F(HistoryTest, TitleMarksUnsavedChanges)
{
    struct Row {
        const char* title;
        bool modified;
        const char* result;
    };
    // Marking and unmarking are followed in ProjectTest.FailedSaveIsNoSuccess.
    const Row rows[]
        = {{"f.c *", true, "f.c *"}, {"*", false, "*"}, {" *", false, " *"}, {"", false, ""}};
    for (const Row& row : rows) {
        EXPECT_EQ(QelFrameWithHistory::TitleMark(row.title, row.modified), row.result)
            << row.title << row.modified;
    }
}

} // namespace
