// The shared find-and-replace settings: defaults, histories, options, the
// compiled expression, and persistence through the settings file.
#include <list>
#include <memory>

#include <gtest/gtest.h>
#include <wx/config.h>

#include <qelkit/frd.h>
#include <qelkit/util.h>

#include "testing.h"

namespace {

using StringList = std::list<wxString>;

class FindReplaceData : public qeltest::ConfigTest {
protected:
    static QelFindReplaceData* Frd() { return QelFindReplaceData::Get(); }

    // Deletes the instance (storing it) and reads the settings file afresh.
    void Restart()
    {
        delete QelFindReplaceData::Set(nullptr);
        Reopen();
    }
};

TEST_F(FindReplaceData, FreshConfigurationGivesTheDefaults)
{
    EXPECT_EQ(QelFindReplaceData::Get(false), nullptr);
    QelFindReplaceData* frd = Frd();
    ASSERT_NE(frd, nullptr);
    EXPECT_EQ(QelFindReplaceData::Get(false), frd);
    EXPECT_EQ(Frd(), frd);

    EXPECT_TRUE(frd->SearchDown());
    EXPECT_FALSE(frd->MatchCase());
    EXPECT_FALSE(frd->MatchWord());
    EXPECT_FALSE(frd->UseRegularExpression());
    EXPECT_EQ(frd->STCFlags(), 0);
    EXPECT_TRUE(frd->GetFindStrings().empty());
    EXPECT_TRUE(frd->GetReplaceStrings().empty());
    EXPECT_EQ(frd->GetFindString(), "");
    EXPECT_EQ(frd->GetReplaceString(), "");
    EXPECT_FALSE(frd->GetRegularExpression().IsValid());
}

TEST_F(FindReplaceData, LabelsAreTheKeys)
{
    QelFindReplaceData* frd = Frd();
    EXPECT_EQ(frd->GetTextFindWhat(), "Find what");
    EXPECT_EQ(frd->GetTextMatchCase(), "Match case");
    EXPECT_EQ(frd->GetTextMatchWholeWord(), "Match whole word");
    EXPECT_EQ(frd->GetTextRegEx(), "Regular expression");
    EXPECT_EQ(frd->GetTextReplaceWith(), "Replace with");
    EXPECT_EQ(frd->GetTextSearchDown(), "Search down");

    // An ordered set: string order, not the order of insertion.
    const std::set<wxString>& info = frd->GetInfo();
    EXPECT_EQ(qeltest::ShowList(StringList(info.begin(), info.end())),
              qeltest::ShowList({"Match case", "Match whole word", "Regular expression"}));
}

TEST_F(FindReplaceData, SettingAStringMovesItToTheFront)
{
    QelFindReplaceData* frd = Frd();
    frd->SetFindStrings({"a", "b", "c"});
    EXPECT_EQ(frd->GetFindString(), "a");

    frd->SetFindString("b");
    EXPECT_EQ(qeltest::ShowList(frd->GetFindStrings()), qeltest::ShowList({"b", "a", "c"}));
    frd->SetFindString("d");
    EXPECT_EQ(qeltest::ShowList(frd->GetFindStrings()), qeltest::ShowList({"d", "b", "a", "c"}));
    EXPECT_EQ(frd->GetFindString(), "d");

    // Each change is stored at once, in the list format, newest first
    // (the settings file escapes the blank of the key).
    int rc = -1;
    ConfigText();
    qeltest::Run("grep -qaP '^Find\\\\ what=d\\x0bb\\x0ba\\x0bc\\x0b$' " +
                 qeltest::ShellQuote(ConfigPath()), &rc);
    EXPECT_EQ(rc, 0) << ConfigText();

    frd->SetReplaceString("x");
    frd->SetReplaceString("y");
    frd->SetReplaceString("x");
    EXPECT_EQ(qeltest::ShowList(frd->GetReplaceStrings()), qeltest::ShowList({"x", "y"}));
    EXPECT_EQ(qeltest::ShowList(QelListFromConfig("Replace with")), qeltest::ShowList({"x", "y"}));
}

TEST_F(FindReplaceData, SettingListsTakesThemAsTheyAre)
{
    QelFindReplaceData* frd = Frd();
    frd->SetFindStrings({"z", "y", "z"});
    EXPECT_EQ(qeltest::ShowList(frd->GetFindStrings()), qeltest::ShowList({"z", "y", "z"}));
    frd->SetReplaceStrings({"r1", "r2"});
    EXPECT_EQ(frd->GetReplaceString(), "r1");
    EXPECT_EQ(qeltest::ShowList(QelListFromConfig("Replace with")), qeltest::ShowList({"r1", "r2"}));
}

// An empty list used to take the front of an empty list.
TEST_F(FindReplaceData, EmptyListsGiveEmptyStrings)
{
    QelFindReplaceData* frd = Frd();
    frd->SetFindStrings({"a"});
    frd->SetReplaceStrings({"b"});
    frd->SetFindStrings({});
    frd->SetReplaceStrings({});
    EXPECT_EQ(frd->GetFindString(), "");
    EXPECT_EQ(frd->GetReplaceString(), "");
    EXPECT_TRUE(QelListFromConfig("Find what").empty());
    EXPECT_TRUE(QelListFromConfig("Replace with").empty());
}

TEST_F(FindReplaceData, OptionsInterplay)
{
    QelFindReplaceData* frd = Frd();
    frd->SetUseRegularExpression(true);
    EXPECT_EQ(frd->STCFlags(), 0x200000);
    frd->SetMatchWord(true);
    EXPECT_FALSE(frd->UseRegularExpression());
    EXPECT_EQ(frd->STCFlags(), 2);

    frd->SetUseRegularExpression(true);
    EXPECT_TRUE(frd->MatchWord());
    EXPECT_EQ(frd->STCFlags(), 0x200002);
    frd->SetMatchCase(true);
    EXPECT_EQ(frd->STCFlags(), 0x200006);

    // Only the bit asked for changes; the direction is not an editor flag.
    frd->SetMatchWord(false);
    EXPECT_TRUE(frd->UseRegularExpression());
    EXPECT_EQ(frd->GetFlags(), wxFR_DOWN | wxFR_MATCHCASE);
    frd->SetSearchDown(false);
    EXPECT_EQ(frd->GetFlags(), wxFR_MATCHCASE);
    EXPECT_EQ(frd->STCFlags(), 0x200004);
}

TEST_F(FindReplaceData, OptionsByLabel)
{
    QelFindReplaceData* frd = Frd();
    EXPECT_TRUE(frd->Set("Match case", true));
    EXPECT_TRUE(frd->MatchCase());
    EXPECT_TRUE(frd->Set("Regular expression", true));
    EXPECT_TRUE(frd->UseRegularExpression());
    EXPECT_TRUE(frd->Set("Match whole word", true));
    EXPECT_TRUE(frd->MatchWord());
    EXPECT_FALSE(frd->UseRegularExpression());

    const int flags = frd->GetFlags();
    EXPECT_FALSE(frd->Set("Search down", false));
    EXPECT_FALSE(frd->Set("Find what", true));
    EXPECT_FALSE(frd->Set("match case", false));
    EXPECT_EQ(frd->GetFlags(), flags);
    // Unknown labels are refused before the list box is looked at.
    EXPECT_FALSE(frd->Get("Find what", nullptr, 0));
}

TEST_F(FindReplaceData, InfoText)
{
    QelFindReplaceData* frd = Frd();
    frd->SetFindString("abc");
    frd->SetReplaceString("x");
    EXPECT_EQ(frd->GetFindReplaceInfoText(false), "Searching for: abc");
    EXPECT_EQ(frd->GetFindReplaceInfoText(true), "Searching for: abc replacing with: x");
}

// grep -E's count of matching lines of `text` for the pattern.
int GrepCount(const std::string& pattern, const std::string& text, bool ignoreCase)
{
    qeltest::TempDir temp;
    qeltest::WriteBytes(temp.File("t"), text);
    return std::stoi(qeltest::Run(wxString("grep -Ec") + (ignoreCase ? "i " : " ") +
                                  qeltest::ShellQuote(pattern) + " " +
                                  qeltest::ShellQuote(temp.File("t"))));
}

TEST_F(FindReplaceData, CompiledExpressionAgreesWithGrep)
{
    QelFindReplaceData* frd = Frd();
    frd->SetUseRegularExpression(true);
    const std::string pattern = "fo+ba[rz]|^x{2,3}$";
    const char* lines[] = {"a FOOBAR", "fbar", "foobaz", "xx", "xxxx", "FoBaZ!", "XXX"};

    for (const bool matchCase : {false, true}) {
        frd->SetMatchCase(matchCase);
        frd->SetFindString(pattern);
        ASSERT_TRUE(frd->GetRegularExpression().IsValid());
        for (const char* line : lines) {
            SCOPED_TRACE(std::string(line) + (matchCase ? " match case" : " ignore case"));
            EXPECT_EQ(frd->GetRegularExpression().Matches(line),
                      GrepCount(pattern, std::string(line) + "\n", !matchCase) == 1);
        }
    }
}

TEST_F(FindReplaceData, InvalidExpressionIsReportedAndLeftInvalid)
{
    QelFindReplaceData* frd = Frd();
    frd->SetUseRegularExpression(true);
    qeltest::LogCapture log;
    frd->SetFindString("fo+(ba");
    EXPECT_FALSE(frd->GetRegularExpression().IsValid());
    EXPECT_EQ(log.CountLevel(wxLOG_Error), 1u) << log.Dump();
    EXPECT_TRUE(log.Has("fo+(ba")) << log.Dump();
    EXPECT_TRUE(log.Has("Invalid regular expression")) << log.Dump();

    // The option off: nothing is compiled, nothing reported.
    log.Clear();
    frd->SetUseRegularExpression(false);
    frd->SetFindString("(");
    EXPECT_TRUE(log.Records().empty()) << log.Dump();
}

TEST_F(FindReplaceData, PersistsAcrossInstancesThroughTheFile)
{
    QelFindReplaceData* frd = Frd();
    frd->SetFindStrings({"needle", "two words ", "x"});
    frd->SetReplaceStrings({"thread"});
    frd->SetMatchCase(true);
    frd->SetUseRegularExpression(true);
    frd->SetSearchDown(false);
    Restart();

    frd = Frd();
    EXPECT_EQ(qeltest::ShowList(frd->GetFindStrings()), qeltest::ShowList({"needle", "two words ", "x"}));
    EXPECT_EQ(qeltest::ShowList(frd->GetReplaceStrings()), qeltest::ShowList({"thread"}));
    EXPECT_EQ(frd->GetFindString(), "needle");
    EXPECT_EQ(frd->GetReplaceString(), "thread");
    EXPECT_TRUE(frd->MatchCase());
    EXPECT_FALSE(frd->MatchWord());
    EXPECT_TRUE(frd->UseRegularExpression());
    EXPECT_FALSE(frd->SearchDown());

    // After a restart the expression is compiled by the first find string.
    EXPECT_FALSE(frd->GetRegularExpression().IsValid());
    frd->SetFindString("ne+dle");
    EXPECT_TRUE(frd->GetRegularExpression().IsValid());
    EXPECT_FALSE(frd->GetRegularExpression().Matches("NEEDLE"));

    // Whole word and regular expression as stored, both on.
    frd->SetMatchWord(true);
    Restart();
    wxConfigBase::Get()->Write("Regular expression", true);
    frd = Frd();
    EXPECT_TRUE(frd->MatchWord());
    EXPECT_TRUE(frd->UseRegularExpression());
}

TEST_F(FindReplaceData, DestructorWritesTheOptions)
{
    QelFindReplaceData* frd = Frd();
    frd->SetMatchWord(true);
    EXPECT_FALSE(wxConfigBase::Get()->HasEntry("Match whole word"));
    delete QelFindReplaceData::Set(nullptr);

    bool value = false;
    EXPECT_TRUE(wxConfigBase::Get()->Read("Match whole word", &value));
    EXPECT_TRUE(value);
    EXPECT_TRUE(wxConfigBase::Get()->Read("Search down", &value));
    EXPECT_TRUE(value);
    EXPECT_TRUE(wxConfigBase::Get()->Read("Match case", &value));
    EXPECT_FALSE(value);
    EXPECT_TRUE(wxConfigBase::Get()->Read("Regular expression", &value));
    EXPECT_FALSE(value);
}

TEST_F(FindReplaceData, SetReturnsThePreviousWithoutDeletingIt)
{
    QelFindReplaceData* first = Frd();
    first->SetFindString("first");

    std::unique_ptr<QelFindReplaceData> taken(QelFindReplaceData::Set(nullptr));
    ASSERT_EQ(taken.get(), first);
    EXPECT_EQ(QelFindReplaceData::Get(false), nullptr);
    EXPECT_EQ(taken->GetFindString(), "first");  // still alive

    QelFindReplaceData* second = Frd();
    EXPECT_NE(second, first);
    EXPECT_EQ(QelFindReplaceData::Set(taken.release()), second);
    EXPECT_EQ(QelFindReplaceData::Get(false), first);
    delete second;  // not installed: the installed one stays
    EXPECT_EQ(QelFindReplaceData::Get(false), first);

    // Deleting the installed one leaves no dangling instance behind.
    delete first;
    EXPECT_EQ(QelFindReplaceData::Get(false), nullptr);
}

} // namespace
