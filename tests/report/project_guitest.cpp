// The project list in a hidden frame: load and save against real files and
// folders (missing ones too), malformed and read-only project files, adding
// a tree against find, and following changes on disk.
#include <algorithm>
#include <sys/stat.h>

#include <gtest/gtest.h>
#include <wx/config.h>

#include <qelkit/configdialog.h>
#include <qelkit/dir.h>
#include <qelkit/frd.h>
#include <qelkit/menu.h>
#include <qelkit/report/listviewfile.h>

#include "reportframe.h"

namespace {

using E = QelProjectEntry;
using Entries = QelProjectFile::Entries;
using qeltest::ShellQuote;

class ProjectTest : public qeltest::ReportFrameTest {
protected:
    // A list on the project file as it is, or after writing the entries.
    QelListViewFile* Open(const wxString& prj)
    {
        if (m_Frame == nullptr) Start();
        delete m_Frame->m_Project;
        return m_Frame->m_Project = new QelListViewFile(m_Frame, m_Frame, prj);
    }
    QelListViewFile* Open(const wxString& prj, const Entries& entries)
    {
        EXPECT_TRUE(QelProjectFile::Write(prj, entries));
        return Open(prj);
    }
    Entries Saved(const wxString& prj)
    {
        Entries entries;
        wxString error;
        EXPECT_TRUE(QelProjectFile::Read(prj, &entries, &error)) << error;
        return entries;
    }
    std::vector<wxString> Paths(const Entries& entries)
    {
        std::vector<wxString> paths;
        for (const E& e : entries) paths.push_back(e.path);
        std::sort(paths.begin(), paths.end());
        return paths;
    }
};

TEST_F(ProjectTest, MissingEntriesKeepPathAndPatternsThroughSaves)
{
    ASSERT_TRUE(wxMkdir(m_Temp.File("src")));
    const Entries entries{{E::PROJECT_FILE, Write("a.c", "a\n"), ""},
                          {E::PROJECT_FOLDER, m_Temp.File("src"), "*.c;*.h"},
                          {E::PROJECT_FILE, m_Temp.File("gone/x.c"), ""},
                          {E::PROJECT_FOLDER, m_Temp.File("gone/dir"), "*.x"}};
    const wxString prj = m_Temp.File("p.prj");
    QelListViewFile* list = Open(prj, entries);
    EXPECT_EQ(list->GetEntries(), entries);
    // The rows go missing on disk, are saved twice, and come back.
    ASSERT_TRUE(wxRenameFile(m_Temp.File("a.c"), m_Temp.File("a.keep")));
    ASSERT_TRUE(wxRenameFile(m_Temp.File("src"), m_Temp.File("src.keep")));
    for (int save = 0; save < 2; save++) {
        ASSERT_TRUE(list->FileSave());
        EXPECT_EQ(Saved(prj), entries);
        list = Open(prj);
    }
    ASSERT_TRUE(wxRenameFile(m_Temp.File("a.keep"), m_Temp.File("a.c")));
    ASSERT_TRUE(wxRenameFile(m_Temp.File("src.keep"), m_Temp.File("src")));
    EXPECT_EQ(Open(prj)->GetEntries(), entries);
    EXPECT_EQ(m_Frame->GetRecentProject(), prj);
    // Saved under a new name, it is the recent project at once.
    ASSERT_TRUE(m_Frame->m_Project->FileSave(QelFileName(m_Temp.File("copy.prj"))));
    EXPECT_EQ(m_Frame->GetRecentProject(), m_Temp.File("copy.prj"));
}

TEST_F(ProjectTest, MalformedProjectIsReportedAndNeverOverwritten)
{
    const std::string bad = "<files>\n  <!-- a--b -->\n  <file>/x</file>\n</files>\n";
    const wxString prj = Write("bad.prj", bad);
    qeltest::LogCapture log;
    Start();
    m_Frame->SetRecentProject(prj); // not opened again at the next start
    QelListViewFile* list = Open(prj);
    EXPECT_EQ(list->GetItemCount(), 0);
    EXPECT_TRUE(log.Has(prj) && log.Has("line 2")) << log.Dump();
    EXPECT_EQ(list->GetFileName().GetFullPath(), prj);
    list->ItemFromText(Write("a.c", "a\n"));
    log.Clear();
    m_Frame->Command(ID_PROJECT_SAVE);
    EXPECT_TRUE(list->GetContentsChanged());
    EXPECT_TRUE(log.Has("Project '" + prj + "' could not be read")) << log.Dump();
    EXPECT_EQ(qeltest::ReadBytes(prj), bad);
    EXPECT_NE(m_Frame->GetRecentProject(), prj);
    // Saved when the user names the file again.
    ASSERT_TRUE(list->FileSave(QelFileName(prj)));
    EXPECT_EQ(Saved(prj), list->GetEntries());

    // A project that turns malformed on disk keeps its rows and the file.
    const wxString good = m_Temp.File("good.prj");
    list = Open(good, Entries{{E::PROJECT_FILE, m_Temp.File("a.c"), ""}});
    ASSERT_TRUE(qeltest::WriteBytes(good, bad));
    qeltest::SetModificationTime(good, 1600000000);
    log.Clear();
    list->SyncStep();
    EXPECT_EQ(list->GetItemCount(), 1);
    EXPECT_TRUE(log.Has(good) && log.Has("line 2")) << log.Dump();
    EXPECT_EQ(qeltest::ReadBytes(good), bad);
}

TEST_F(ProjectTest, FailedSaveIsNoSuccess)
{
    ASSERT_TRUE(wxMkdir(m_Temp.File("d")));
    const wxString prj = m_Temp.File("d/p.prj");
    QelListViewFile* list = Open(prj);
    list->ItemFromText(Write("a.c", "a\n"));
    ASSERT_TRUE(list->GetContentsChanged());
    ASSERT_TRUE(wxRmdir(m_Temp.File("d")));
    ASSERT_TRUE(qeltest::WriteBytes(m_Temp.File("d"), "a file where the folder was\n"));
    qeltest::LogCapture log;
    m_Frame->Command(ID_PROJECT_SAVE);
    EXPECT_TRUE(list->GetContentsChanged());
    EXPECT_TRUE(log.Has(prj)) << log.Dump();
    EXPECT_TRUE(qeltest::PumpUntil([&] { return m_Frame->GetTitle() == "report *"; }, 1000));
    ASSERT_TRUE(wxRemoveFile(m_Temp.File("d")) && wxMkdir(m_Temp.File("d")));
    m_Frame->Command(ID_PROJECT_SAVE);
    EXPECT_FALSE(list->GetContentsChanged());
    EXPECT_TRUE(qeltest::PumpUntil([&] { return m_Frame->GetTitle() == "report"; }, 1000));
    EXPECT_EQ(Saved(prj), list->GetEntries());
}

TEST_F(ProjectTest, AddItemsAddsWhatFindFinds)
{
    for (const char* dir : {"t", "t/sub", "t/sub/deep", "t/.hid", "t/empty"})
        ASSERT_TRUE(wxMkdir(m_Temp.File(dir)));
    for (const char* file :
         {"t/a.c", "t/b.h", "t/.h.c", "t/sub/d.c", "t/sub/deep/e.c", "t/.hid/f.c", "t/sub/g.txt"})
        Write(file, "x\n");
    const wxString tree = ShellQuote(m_Temp.File("t"));
    struct Case {
        const char* what;
        bool files, folders, recursive;
        const char* find; // the arguments of find that give the same rows
    };
    const Case cases[] = {
        {"*.c", true, true, true, "-mindepth 1 -not -path '*/.*' \\( -type d -o -name '*.c' \\)"},
        {"*.c", false, true, true, "-mindepth 1 -not -path '*/.*' -type d"},
        {"*.c;*.h", true, false, true,
         "-not -path '*/.*' -type f \\( -name '*.c' -o -name '*.h' \\)"},
        {"*.zz", true, false, true, "-name '*.zz'"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.find);
        QelListViewFile* list = Open(m_Temp.File("p.prj"));
        wxConfigBase* config = wxConfigBase::Get();
        config->Write(_("In folder"), m_Temp.File("t"));
        config->Write(_("Add what"), c.what);
        config->Write(_("Add files"), c.files);
        config->Write(_("Add folders"), c.folders);
        config->Write(_("Recursive"), c.recursive);
        qeltest::LogCapture log;
        const long added = list->AddItems();

        std::vector<wxString> found;
        for (const wxString& line :
             wxSplit(qeltest::Run("find " + tree + " " + c.find), '\n', '\0'))
            if (!line.empty()) found.push_back(line);
        std::sort(found.begin(), found.end());
        EXPECT_EQ(Paths(list->GetEntries()), found);
        EXPECT_EQ(added, static_cast<long>(found.size()));
        EXPECT_EQ(list->GetContentsChanged(), added > 0);
        EXPECT_TRUE(log.Has(wxString::Format("Added %ld file(s)", added))) << log.Dump();
    }
}

TEST_F(ProjectTest, ChangesOnDiskAreFollowed)
{
    struct Case {
        const char* name;
        bool allow_sync;
        bool unsaved; // the list holds changes of its own
        int answer;   // to the question of the save that follows, if any
    };
    const Case cases[] = {{"followed", true, false, 0},
                          {"unsaved list kept, then saved over", true, true, wxID_YES},
                          {"unsaved list kept, save cancelled", true, true, wxID_CANCEL},
                          {"AllowSync off", false, false, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const wxString a = Write("a.c", "a\n"), b = Write("b.c", "b\n"), prj = m_Temp.File("p.prj");
        QelListViewFile* list = Open(prj, Entries{{E::PROJECT_FILE, a, ""}});
        wxConfigBase::Get()->Write("AllowSync", c.allow_sync);
        wxConfigBase::Get()->Write("List/SortSync", false); // row 0 stays
        if (c.unsaved) list->ItemFromText(b);
        const long rows = list->GetItemCount();
        const wxString before = list->GetItemText(0, _("Modified"));
        ASSERT_EQ(qeltest::Run("touch -d '2001-02-03 04:05:06' " + ShellQuote(a)), "");
        ASSERT_TRUE(
            QelProjectFile::Write(prj, {{E::PROJECT_FILE, b, ""}, {E::PROJECT_FILE, a, ""}}));
        qeltest::SetModificationTime(prj, 1600000000);

        // The list's own timer does the steps: the row, then the project.
        qeltest::LogCapture log;
        EXPECT_EQ(qeltest::PumpUntil([&] { return log.Has(a + " Synchronized"); },
                                     c.allow_sync ? 3000 : 300),
                  c.allow_sync);
        const bool reloaded = c.allow_sync && !c.unsaved;
        EXPECT_EQ(list->GetItemCount(), reloaded ? 2 : rows);
        EXPECT_EQ(log.Has(prj + " Synchronized"), reloaded) << log.Dump();
        EXPECT_TRUE(reloaded || (list->GetItemText(0, _("Modified")) != before) == c.allow_sync);
        EXPECT_EQ(list->GetContentsChanged(), c.unsaved);
        if (c.answer != 0) {
            wxTEST_DIALOG(m_Frame->Command(ID_PROJECT_SAVE),
                          wxExpectModal<wxMessageDialog>(c.answer));
            EXPECT_EQ(Saved(prj) == list->GetEntries(), c.answer == wxID_YES);
            EXPECT_EQ(list->GetContentsChanged(), c.answer != wxID_YES);
        }
        ASSERT_TRUE(Stop());
        wxConfigBase::Get()->DeleteAll();
    }
}

// A replace on the rows changed their files: the sync that followed put
// "Sorted on: Modified" over the run's end text at once.
TEST_F(ProjectTest, TheEndTextOfAReplaceOnTheRowsStays)
{
    const wxString a = Write("a.c", "foo\n"), b = Write("b.c", "foo foo\n");
    for (const wxString& path : {a, b}) qeltest::SetModificationTime(path, 1600000000);
    QelListViewFile* list
        = Open(m_Temp.File("p.prj"), Entries{{E::PROJECT_FILE, a, ""}, {E::PROJECT_FILE, b, ""}});
    list->Select(0);
    list->Select(1);
    QelFindReplaceData::Get()->SetFindString("foo");
    QelFindReplaceData::Get()->SetReplaceString("bar");
    qeltest::LogCapture log;
    wxTEST_DIALOG(list->RunItems(QelTool(ID_TOOL_REPLACE_IN_FILES)),
                  qeltest::ExpectConfigDialog(wxID_OK));
    ASSERT_EQ(qeltest::ReadBytes(b), "bar bar\n");
    // The status line after the list's timer: a step over the rows, and one
    // that starts again.
    const auto shown = [&] {
        list->SyncStep();
        list->SyncStep();
        wxString last;
        for (const auto& record : log.Records())
            if (record.level <= wxLOG_Status) last = record.text;
        return last;
    };
    EXPECT_EQ(shown(), "Replaced 3 matches in 2 file(s)") << log.Dump();
    EXPECT_EQ(list->GetItemText(1, _("Modified")), QelStat(b).GetModificationTime());
    // A change from elsewhere is news; the sort that follows it is not.
    qeltest::SetModificationTime(a, 1500000000);
    EXPECT_TRUE(shown().StartsWith(a + " Synchronized")) << log.Dump();
}

TEST_F(ProjectTest, SortAndSyncStepOverDeletedRows)
{
    Entries entries;
    for (const char* name : {"a.c", "b.c", "c.c"})
        entries.push_back({E::PROJECT_FILE, Write(name, "x\n"), ""});
    for (const bool sort_sync : {true, false}) {
        SCOPED_TRACE(sort_sync);
        wxConfigBase::Get()->Write("List/SortSync", sort_sync);
        QelListViewFile* list = Open(m_Temp.File("p.prj"), entries);
        list->SortColumn(_("File Name"), SORT_DESCENDING);
        EXPECT_EQ(list->GetContentsChanged(), !sort_sync);
        EXPECT_EQ(list->GetItemText(0, _("File Name")), "c.c");
    }
    // Rows deleted between two steps leave the next row past the end.
    QelListViewFile* list = Open(m_Temp.File("p.prj"));
    EXPECT_EQ(list->SyncStep(2), 2);
    list->Select(0);
    list->Select(1);
    list->EditDelete();
    EXPECT_EQ(list->SyncStep(1), 0);
    EXPECT_EQ(list->GetSyncRow(), 0);

    // No step while a folder walk (which lets events run) goes on.
    struct Walk : QelDir {
        Walk(QelListViewFile* list, const wxString& folder)
            : QelDir(folder, "*.c", wxDIR_FILES)
            , m_List(list)
        { }
        void OnFile(const wxString&) override { m_Checked += m_List->SyncStep(); }
        QelListViewFile* m_List;
        long m_Checked = 0;
    } walk(list, m_Temp.Path());
    EXPECT_EQ(walk.FindFiles(), 3u);
    EXPECT_EQ(walk.m_Checked, 0);
    EXPECT_GT(list->SyncStep(), 0);
}

TEST_F(ProjectTest, ReadOnlyProjectIgnoresEdits)
{
    const wxString prj = m_Temp.File("p.prj");
    const Entries entries{{E::PROJECT_FILE, Write("a.c", "a\n"), ""},
                          {E::PROJECT_FILE, Write("b.c", "b\n"), ""}};
    wxConfigBase::Get()->Write(_("In folder"), m_Temp.Path());
    wxConfigBase::Get()->Write(_("Add what"), "*.c");
    for (const bool read_only : {false, true}) {
        SCOPED_TRACE(read_only);
        wxRemoveFile(prj);
        QelListViewFile* list = Open(prj, entries);
        ASSERT_EQ(chmod(prj.fn_str(), read_only ? 0444 : 0644), 0);
        QelMenu menu;
        list->BuildPopupMenu(&menu);
        EXPECT_EQ(menu.FindItem(wxID_ADD) != nullptr, !read_only);
        EXPECT_EQ((menu.GetStyle() & MENU_READ_ONLY) != 0, read_only);

        list->Select(0);
        qeltest::Command(list, wxID_DELETE);
        list->ItemFromText(Write("c.c", "c\n"));
        EXPECT_EQ(list->AddItems() > 0, !read_only);
        EXPECT_EQ(list->GetItemCount() == 2, read_only);
        EXPECT_EQ(list->GetContentsChanged(), !read_only);
    }

    // The add command shows the dialog; a click below the rows names the project.
    qeltest::Command(m_Frame->m_Project, wxID_ADD);
    QelConfigDialog* dialog = m_Frame->m_Project->GetAddItemsDialog();
    EXPECT_TRUE(dialog->IsShown());
    dialog->Hide();
    qeltest::LogCapture log;
    // The click lands on the rows' window inside the list, which passes it on.
    for (wxWindow* child : m_Frame->m_Project->GetChildren()) {
        wxMouseEvent click(wxEVT_LEFT_DOWN);
        click.SetPosition(wxPoint(5, 5000));
        click.SetEventObject(child);
        child->ProcessWindowEvent(click);
    }
    EXPECT_EQ(log.Count("p.prj Modified"), 1u) << log.Dump();
}

} // namespace
