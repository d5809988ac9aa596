// File lists and their rows: rows filled from real files in a temporary
// folder, the read-only colour, rows of missing files,
// the text form of file rows and the folder-type prompt.
#include <gtest/gtest.h>
#include <wx/frame.h>
#include <wx/regex.h>
#include <wx/testing.h>
#include <wx/textdlg.h>

#include <qelkit/listitem.h>
#include <qelkit/listviewfile.h>

#include "testing.h"

namespace {

using LV = QelListViewFileName;

class FileListTest : public qeltest::EditorTest {
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        m_Dir = m_Temp.File("data");
        ASSERT_TRUE(wxFileName::Mkdir(m_Dir));
        ASSERT_TRUE(qeltest::WriteBytes(m_Dir + "/a.txt", "hello"));
        ASSERT_TRUE(qeltest::WriteBytes(m_Dir + "/b.cpp", "int b;\n"));
        ASSERT_TRUE(wxFileName::Mkdir(m_Dir + "/sub"));
    }

    LV* MakeList(LV::ListType type) { return new LV(m_Frame, type); }

    static long Add(LV* lv, const wxString& path, const wxString& spec = wxEmptyString)
    {
        QelListItem(lv, QelFileName(path), spec).Insert(-1);
        return lv->GetItemCount() - 1;
    }

    wxString m_Dir;
};

TEST_F(FileListTest, RowsFillTheFileColumnsFromTheFile)
{
    // Cells "File Name|In Folder|Type|Size" with "@" for the folder; a file that
    // exists has a modification time. A missing file keeps its
    // folder; its other columns stay empty.
    const std::tuple<LV::ListType, const char*, const char*, const char*, bool> cases[] = {
        {LV::LIST_FIND, "a.txt", "", "a.txt|@|txt|5", true},
        {LV::LIST_FIND, "sub", "*.h", "sub|@|*.h|", true},
        {LV::LIST_FILE, "nofolder/gone.txt", "", "@/nofolder/gone.txt|@/nofolder||", false},
    };
    const wxRegEx iso("^[0-9]{4}-[0-9]{2}-[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2}$");
    for (const auto& [type, entry, spec, want, exists] : cases) {
        SCOPED_TRACE(entry);
        LV* lv = MakeList(type);
        const wxString path = m_Dir + "/" + entry;
        const long row = Add(lv, path, spec);
        wxString cells;
        for (const char* col : {"File Name", "In Folder", "Type", "Size"})
            cells << (cells.empty() ? "" : "|") << lv->GetItemText(row, col);
        cells.Replace(m_Dir, "@");
        EXPECT_EQ(cells, want);
        EXPECT_EQ(iso.Matches(lv->GetItemText(row, "Modified")), exists);
        // The row names the same file again, even when the file is missing.
        EXPECT_EQ(QelListItem(lv, row).GetFileName().GetFullPath(), path);
    }
}

TEST_F(FileListTest, ReadOnlyFilesUseTheListColourAlsoAfterSorting)
{
    const wxString locked = m_Dir + "/locked.txt";
    ASSERT_TRUE(qeltest::WriteBytes(locked, "x"));
    ASSERT_TRUE(wxFileName(locked).SetPermissions(wxPOSIX_USER_READ));
    for (const auto& [setting, colour] : {std::pair<const char*, wxColour>{nullptr, *wxRED},
                                          {"rgb(0, 128, 0)", wxColour(0, 128, 0)}}) {
        if (setting) wxConfigBase::Get()->Write("List Colour", setting);
        LV* lv = MakeList(LV::LIST_FIND);
        Add(lv, locked);
        Add(lv, m_Dir + "/a.txt");
        lv->SortColumn("File Name", SORT_DESCENDING); // sorting borrows the item data
        ASSERT_EQ(lv->GetItemText(0, "File Name"), "locked.txt");
        EXPECT_EQ(lv->GetItemData(0) * 10 + lv->GetItemData(1), 10);
        EXPECT_EQ(lv->GetItemTextColour(0), colour);
        EXPECT_EQ(lv->GetItemTextColour(1), *wxBLACK);
    }
}

TEST_F(FileListTest, RowsReadBackFromTheirTextForm)
{
    LV* project = MakeList(LV::LIST_FILE);
    Add(project, m_Dir + "/a.txt");
    Add(project, m_Dir + "/sub", "*.h");
    Add(project, m_Dir + "/gone.txt");
    EXPECT_EQ(project->ItemToText(1), m_Dir + "/sub\t*.h");

    LV* copy = MakeList(LV::LIST_FILE);
    for (long row = 0; row < 3; row++) {
        ASSERT_TRUE(copy->ItemFromText(project->ItemToText(row)));
        EXPECT_EQ(copy->ItemToText(row), project->ItemToText(row));
    }

    // Other lists carry their own cells after the path and the type.
    LV* found = MakeList(LV::LIST_FIND);
    const long row = Add(found, m_Dir + "/a.txt");
    QelListItem(found, row).SetItem("Line", "hello");
    QelListItem(found, row).SetItem("Match", "hell"); // empty cells would collapse
    QelListItem(found, row).SetItem("Line No", "1");
    LV* again = MakeList(LV::LIST_FIND);
    EXPECT_TRUE(again->ItemFromText(found->ItemToText(row)));
    EXPECT_EQ(again->ItemToText(0), found->ItemToText(row));
    EXPECT_TRUE(again->ItemFromText("\t\t")); // a line of separators names its row
    EXPECT_EQ(again->GetItemText(1, "File Name"), "\t\t");
}

TEST_F(FileListTest, DeleteDoublesComparesNeighboursOnly)
{
    // Doubles next to each other go in ReportUtilTest.VersionListHoldsTheOtherVersionsNewestFirst.
    // Rows naming no file are no doubles, not even of the empty start.
    const std::pair<std::vector<const char*>, const char*> cases[] = {
        {{"a.txt", "b.cpp", "a.txt"}, "a.txt,b.cpp,a.txt"},
        {{"", "", "a.txt", ""}, ",,a.txt,"},
    };
    for (const auto& [files, want] : cases) {
        LV* lv = MakeList(LV::LIST_FIND);
        for (const char* file : files) {
            if (*file) Add(lv, m_Dir + "/" + file);
            if (!*file) lv->InsertItem(lv->GetItemCount(), wxString());
        }
        lv->DeleteDoubles();
        wxString left;
        for (long row = 0; row < lv->GetItemCount(); row++)
            left << (row > 0 ? "," : "") << lv->GetItemText(row, "File Name");
        EXPECT_EQ(left, want);
    }
}

TEST_F(FileListTest, ActivatingAFolderRowAsksForItsType)
{
    LV* lv = MakeList(LV::LIST_FIND);
    const long file = Add(lv, m_Dir + "/a.txt");
    const long folder = Add(lv, m_Dir + "/sub", "*.h");
    const long device = Add(lv, "/dev/null");
    wxString seen;
    // A dialog for the file or the device row would take the one expected
    // answer.
    wxTEST_DIALOG(lv->ItemActivated(device); lv->ItemActivated(file);
                  lv->ItemActivated(folder),
                  qeltest::ExpectAnswer<wxTextEntryDialog>([&](wxTextEntryDialog* dialog) {
                      seen = dialog->GetTitle() + ":" + dialog->GetValue();
                      dialog->SetValue("*.cpp");
                  }));
    EXPECT_EQ(seen, "Folder Type:*.h");
    EXPECT_EQ(lv->GetItemText(folder, "Type"), "*.cpp");
    EXPECT_EQ(lv->GetItemText(file, "Type"), "txt");
}

} // namespace
