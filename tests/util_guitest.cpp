// The helpers that need real controls: combo-box histories, the find options
// shown in a check list, and the file-icon index.
#include <list>

#include <gtest/gtest.h>
#include <wx/checklst.h>
#include <wx/combobox.h>
#include <wx/dirctrl.h>
#include <wx/filename.h>
#include <wx/frame.h>

#include <qelkit/frd.h>
#include <qelkit/util.h>

#include "testing.h"

namespace {

using qeltest::ShowList;

std::string Items(const wxComboBox* cb)
{
    const wxArrayString strings = cb->GetStrings();
    return ShowList(std::list<wxString>(strings.begin(), strings.end()));
}

// A hidden frame with a combo box and a check list, both holding b, c, d.
class UtilControls : public qeltest::EditorTest {
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        const wxString items[] = {"b", "c", "d"};
        m_Combo = new wxComboBox(m_Frame, wxID_ANY, "", wxDefaultPosition, wxDefaultSize, 3, items);
        m_Check = new wxCheckListBox(m_Frame, wxID_ANY, wxDefaultPosition, wxDefaultSize, 3, items);
    }
    wxComboBox* m_Combo = nullptr;
    wxCheckListBox* m_Check = nullptr;
};

// What a history of a settings dialog goes through: load, use, store, reload.
TEST_F(UtilControls, HistoryRoundTripThroughTheSettingsFile)
{
    m_Combo->SetValue("typed");
    QelComboBoxFromList(m_Combo, {}); // nothing stored yet: the box stays
    EXPECT_EQ(Items(m_Combo), ShowList({"b", "c", "d"}));
    EXPECT_EQ(m_Combo->GetValue(), "typed");

    QelListToConfig({"one", "two words ", "three"}, "In files");
    Reopen();
    QelComboBoxFromList(m_Combo, QelListFromConfig("In files"));
    EXPECT_EQ(Items(m_Combo), ShowList({"one", "two words ", "three"}));
    EXPECT_EQ(m_Combo->GetValue(), "one");

    m_Combo->SetValue("*.cpp;*.h");
    QelListToConfig(QelComboBoxToList(m_Combo, 3), "In files");
    EXPECT_EQ(Items(m_Combo), ShowList({"one", "two words ", "three"})); // reading changes nothing
    Reopen();
    wxComboBox* again = new wxComboBox(m_Frame, wxID_ANY);
    QelComboBoxFromList(again, QelListFromConfig("In files"));
    EXPECT_EQ(Items(again), ShowList({"*.cpp;*.h", "one", "two words "}));
    EXPECT_EQ(again->GetValue(), "*.cpp;*.h");
}

TEST_F(UtilControls, FindOptionsShownInACheckList)
{
    QelFindReplaceData* frd = QelFindReplaceData::Get();
    frd->SetMatchCase(true);
    frd->SetUseRegularExpression(true);
    const char* const labels[] = {"Match whole word", "Match case", "Regular expression"};
    auto show = [&] {
        for (int i = 0; i < 3; ++i) EXPECT_TRUE(frd->Get(labels[i], m_Check, i)) << labels[i];
        return std::to_string(m_Check->IsChecked(0)) + std::to_string(m_Check->IsChecked(1))
            + std::to_string(m_Check->IsChecked(2));
    };
    EXPECT_EQ(show(), "011");
    frd->SetMatchWord(true); // turns the expression off
    EXPECT_EQ(show(), "110");
    EXPECT_FALSE(frd->Get("Search down", m_Check, 1)); // not an option of the list
    EXPECT_TRUE(m_Check->IsChecked(1));
}

TEST(IconID, ByExistenceFolderAndExtension)
{
    qeltest::TempDir temp;
    ASSERT_TRUE(qeltest::WriteBytes(temp.File("Makefile"), "all:\n"));
    ASSERT_TRUE(qeltest::WriteBytes(temp.File("main.cpp"), "int main() {}\n"));
    ASSERT_TRUE(wxFileName::Mkdir(temp.File("folder.cpp")));

    struct Row {
        wxFileName name;
        int icon;
    };
    for (const Row& row :
         {Row{wxFileName(temp.File("missing.cpp")), wxFileIconsTable::computer},
          Row{wxFileName(temp.File("folder.cpp")), wxFileIconsTable::folder},
          Row{wxFileName::DirName(temp.Path()), wxFileIconsTable::folder},
          Row{wxFileName(temp.File("Makefile")), wxFileIconsTable::file},
          Row{wxFileName(temp.File("main.cpp")), wxTheFileIconsTable->GetIconID("cpp")}}) {
        EXPECT_EQ(QelGetIconID(row.name), row.icon) << row.name.GetFullPath();
    }
}

} // namespace
