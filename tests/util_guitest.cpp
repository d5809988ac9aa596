// The helpers that need real controls: combo-box histories, the file-icon
// index and the find options shown in a check list.
#include <list>

#include <gtest/gtest.h>
#include <wx/checklst.h>
#include <wx/combobox.h>
#include <wx/dirctrl.h>
#include <wx/filename.h>
#include <wx/frame.h>
#include <wx/imaglist.h>

#include <qelkit/frd.h>
#include <qelkit/util.h>

#include "testing.h"

namespace {

using StringList = std::list<wxString>;

std::string Items(const wxComboBox* cb)
{
    const wxArrayString strings = cb->GetStrings();
    return qeltest::ShowList(StringList(strings.begin(), strings.end()));
}

// A hidden frame with a combo box holding b, c, d and a check list of three.
class UtilControls : public qeltest::ConfigTest {
protected:
    void SetUp() override
    {
        ConfigTest::SetUp();
        m_Frame = new wxFrame(nullptr, wxID_ANY, "controls");
        const wxString items[] = {"b", "c", "d"};
        m_Combo = new wxComboBox(m_Frame, wxID_ANY, "", wxDefaultPosition, wxDefaultSize, 3, items);
        m_Check = new wxCheckListBox(m_Frame, wxID_ANY, wxDefaultPosition, wxDefaultSize, 3, items);
    }
    void TearDown() override
    {
        m_Frame->Destroy();
        qeltest::Pump(0);
        ConfigTest::TearDown();
    }

    wxFrame* m_Frame = nullptr;
    wxComboBox* m_Combo = nullptr;
    wxCheckListBox* m_Check = nullptr;
};

TEST_F(UtilControls, ComboBoxToListPutsTheValueFirst)
{
    struct Row {
        const char* value;
        size_t max_items;
        StringList want;
    } rows[] = {
        {"a", 3, {"a", "b", "c"}},
        {"b", 3, {"b", "c", "d"}},
        {"c", 3, {"c", "b", "d"}},
        {"c", 2, {"c", "b", "d"}},
        {"", 2, {"", "b"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.value) + " max " + std::to_string(row.max_items));
        m_Combo->SetValue(row.value);
        EXPECT_EQ(qeltest::ShowList(QelComboBoxToList(m_Combo, row.max_items)), qeltest::ShowList(row.want));
    }
    // Reading the box changes nothing in it.
    EXPECT_EQ(Items(m_Combo), qeltest::ShowList({"b", "c", "d"}));
}

TEST_F(UtilControls, ComboBoxFromList)
{
    m_Combo->SetValue("typed");
    QelComboBoxFromList(m_Combo, {});
    EXPECT_EQ(Items(m_Combo), qeltest::ShowList({"b", "c", "d"}));
    EXPECT_EQ(m_Combo->GetValue(), "typed");

    QelComboBoxFromList(m_Combo, {"x y", "z"});
    EXPECT_EQ(Items(m_Combo), qeltest::ShowList({"x y", "z"}));
    EXPECT_EQ(m_Combo->GetValue(), "x y");
}

// What a history item of a settings dialog does: load, use, store, reload.
TEST_F(UtilControls, HistoryRoundTripThroughTheSettingsFile)
{
    QelListToConfig({"one", "two words ", "three"}, "In files");
    Reopen();
    QelComboBoxFromList(m_Combo, QelListFromConfig("In files"));
    EXPECT_EQ(m_Combo->GetValue(), "one");

    m_Combo->SetValue("*.cpp;*.h");
    QelListToConfig(QelComboBoxToList(m_Combo, 3), "In files");
    Reopen();

    wxComboBox* again = new wxComboBox(m_Frame, wxID_ANY);
    QelComboBoxFromList(again, QelListFromConfig("In files"));
    EXPECT_EQ(Items(again), qeltest::ShowList({"*.cpp;*.h", "one", "two words "}));
    EXPECT_EQ(again->GetValue(), "*.cpp;*.h");
    EXPECT_EQ(QelConfigFirstOf("In files"), "*.cpp;*.h");
}

TEST_F(UtilControls, NullComboBoxIsAProgrammingError)
{
    qeltest::ExpectAsserts asserts;
    EXPECT_TRUE(QelComboBoxToList(nullptr, 3).empty());
    QelComboBoxFromList(nullptr, {"a"});
    EXPECT_EQ(asserts.Count(), 2);
    QelComboBoxFromList(nullptr, {});  // nothing to do, nothing to report
    EXPECT_EQ(asserts.Count(), 2);
}

TEST_F(UtilControls, FindOptionsShownInACheckList)
{
    QelFindReplaceData* frd = QelFindReplaceData::Get();
    frd->SetMatchCase(true);
    frd->SetUseRegularExpression(true);

    EXPECT_TRUE(frd->Get("Match whole word", m_Check, 0));
    EXPECT_TRUE(frd->Get("Match case", m_Check, 1));
    EXPECT_TRUE(frd->Get("Regular expression", m_Check, 2));
    EXPECT_FALSE(m_Check->IsChecked(0));
    EXPECT_TRUE(m_Check->IsChecked(1));
    EXPECT_TRUE(m_Check->IsChecked(2));

    // Whole word on turns the expression off; the list follows when asked.
    frd->SetMatchWord(true);
    EXPECT_TRUE(frd->Get("Match whole word", m_Check, 0));
    EXPECT_TRUE(frd->Get("Regular expression", m_Check, 2));
    EXPECT_TRUE(m_Check->IsChecked(0));
    EXPECT_FALSE(m_Check->IsChecked(2));

    EXPECT_FALSE(frd->Get("Search down", m_Check, 1));
    EXPECT_TRUE(m_Check->IsChecked(1));
}

TEST(IconID, ByExistenceFolderAndExtension)
{
    qeltest::TempDir temp;
    ASSERT_TRUE(qeltest::WriteBytes(temp.File("Makefile"), "all:\n"));
    ASSERT_TRUE(qeltest::WriteBytes(temp.File("main.cpp"), "int main() {}\n"));
    ASSERT_TRUE(wxFileName::Mkdir(temp.File("folder.cpp")));

    EXPECT_EQ(QelGetIconID(wxFileName(temp.File("missing.cpp"))), wxFileIconsTable::computer);
    EXPECT_EQ(QelGetIconID(wxFileName(temp.File("folder.cpp"))), wxFileIconsTable::folder);
    EXPECT_EQ(QelGetIconID(wxFileName::DirName(temp.Path())), wxFileIconsTable::folder);
    EXPECT_EQ(QelGetIconID(wxFileName(temp.File("Makefile"))), wxFileIconsTable::file);

    const int cpp = QelGetIconID(wxFileName(temp.File("main.cpp")));
    EXPECT_GE(cpp, 0);
    EXPECT_LT(cpp, wxTheFileIconsTable->GetSmallImageList()->GetImageCount());
    EXPECT_NE(cpp, wxFileIconsTable::computer);
    EXPECT_NE(cpp, wxFileIconsTable::folder);
}

} // namespace
