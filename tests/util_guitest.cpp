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

class UtilControls : public qeltest::EditorTest {
protected:
    std::string Items(const wxComboBox* cb)
    {
        const wxArrayString strings = cb->GetStrings();
        return ShowList(std::list<wxString>(strings.begin(), strings.end()))
            + cb->GetValue().utf8_string();
    }
};

// What a history of a settings dialog goes through: load, use, store.
TEST_F(UtilControls, HistoryFillsTheComboBoxAndTakesTheValueFirst)
{
    auto* combo = new wxComboBox(m_Frame, wxID_ANY, "typed");
    QelComboBoxFromList(combo, {}); // nothing stored yet: the typed text stays
    EXPECT_EQ(Items(combo), "{}typed");
    QelComboBoxFromList(combo, {"one", "two words ", "three"});
    combo->SetValue("*.cpp;*.h");
    EXPECT_EQ(ShowList(QelComboBoxToList(combo, 3)), "{[*.cpp;*.h][one][two words ]}");
    EXPECT_EQ(Items(combo), "{[one][two words ][three]}*.cpp;*.h"); // reading changes nothing
}

TEST_F(UtilControls, FindOptionsShownInACheckList)
{
    const wxString items[] = {"b", "c", "d"};
    auto* check = new wxCheckListBox(m_Frame, wxID_ANY, wxDefaultPosition, wxDefaultSize, 3, items);
    QelFindReplaceData* frd = QelFindReplaceData::Get();
    frd->SetMatchCase(true);
    frd->SetUseRegularExpression(true);
    frd->SetMatchWord(true); // turns the expression off
    const char* const labels[] = {"Match whole word", "Match case", "Regular expression"};
    for (int i = 0; i < 3; ++i) EXPECT_TRUE(frd->Get(labels[i], check, i)) << labels[i];
    EXPECT_FALSE(frd->Get("Search down", check, 1)); // not an option of the list
    EXPECT_EQ(std::to_string(check->IsChecked(0)) + std::to_string(check->IsChecked(1))
                  + std::to_string(check->IsChecked(2)),
              "110");
}

TEST(IconID, ByExistenceFolderAndExtension)
{
    qeltest::TempDir temp;
    ASSERT_TRUE(qeltest::WriteBytes(temp.File("Makefile"), "all:\n"));
    ASSERT_TRUE(qeltest::WriteBytes(temp.File("main.cpp"), "int main() {}\n"));
    ASSERT_TRUE(wxFileName::Mkdir(temp.File("folder.cpp")));
    const std::pair<wxString, int> rows[] = {{"missing.cpp", wxFileIconsTable::computer},
                                             {"folder.cpp", wxFileIconsTable::folder},
                                             {"Makefile", wxFileIconsTable::file},
                                             {"main.cpp", wxTheFileIconsTable->GetIconID("cpp")}};
    for (const auto& [name, icon] : rows)
        EXPECT_EQ(QelGetIconID(wxFileName(temp.File(name))), icon) << name;
}

} // namespace
