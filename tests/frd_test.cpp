// The shared find-and-replace settings: histories, options, the compiled
// expression (compared with grep -E), and persistence through the settings file.
#include <list>
#include <memory>

#include <gtest/gtest.h>
#include <wx/config.h>
#include <wx/stc/stc.h>

#include <qelkit/frd.h>
#include <qelkit/util.h>

#include "testing.h"

namespace {

using qeltest::ShowList;

class FindReplaceData : public qeltest::ConfigTest {
protected:
    static QelFindReplaceData* Frd() { return QelFindReplaceData::Get(); }

    // Deletes the instance (which stores it) and reads the settings file afresh.
    void Restart()
    {
        delete QelFindReplaceData::Set(nullptr);
        Reopen();
    }
};

TEST_F(FindReplaceData, HistoriesNewestFirstStoredAtOnce)
{
    QelFindReplaceData* frd = Frd();
    frd->SetFindStrings({"a", "b", "c", "a"}); // a list is taken as it is
    frd->SetFindString("b");
    frd->SetFindString("d");
    EXPECT_EQ(frd->GetFindString() + ShowList(frd->GetFindStrings()), "d{[d][b][a][c][a]}");
    // In the list format under the label (the settings file escapes its blank).
    ConfigText();
    int rc = -1;
    qeltest::Run("grep -qaP '^Find\\\\ what=d\\x0bb\\x0ba\\x0bc\\x0ba\\x0b$' "
                     + qeltest::ShellQuote(ConfigPath()),
                 &rc);
    EXPECT_EQ(rc, 0) << ConfigText();
    for (const char* value : {"x", "y", "x"}) frd->SetReplaceString(value);
    EXPECT_EQ(ShowList(QelListFromConfig("Replace with")), ShowList({"x", "y"}));

    // An empty list gives empty strings, not the front of an empty list.
    frd->SetFindStrings({});
    frd->SetReplaceStrings({});
    EXPECT_EQ(frd->GetFindString() + frd->GetReplaceString()
                  + ShowList(QelListFromConfig("Find what")),
              "{}");
}

TEST_F(FindReplaceData, OptionsAndEditorFlags)
{
    QelFindReplaceData* frd = Frd();
    EXPECT_TRUE(frd->Set("Regular expression", true));
    EXPECT_TRUE(frd->Set("Match whole word", true)); // turns the expression off
    EXPECT_EQ(frd->STCFlags(), wxSTC_FIND_WHOLEWORD);
    frd->SetUseRegularExpression(true); // but not the other way round
    EXPECT_TRUE(frd->Set("Match case", true));
    EXPECT_EQ(frd->STCFlags(), wxSTC_FIND_REGEXP | wxSTC_FIND_WHOLEWORD | wxSTC_FIND_MATCHCASE);

    // Only the bit asked for changes; the direction is no editor flag; other
    // labels are refused and touch nothing.
    frd->SetMatchWord(false);
    frd->SetSearchDown(false);
    for (const char* label : {"Search down", "Find what", "match case"})
        EXPECT_FALSE(frd->Set(label, false)) << label;
    EXPECT_EQ(frd->GetFlags(), wxFR_MATCHCASE);
    EXPECT_EQ(frd->STCFlags(), wxSTC_FIND_REGEXP | wxSTC_FIND_MATCHCASE);
}

// Compiled only with the option on; a pattern that does not compile is
// reported once and leaves the expression invalid.
TEST_F(FindReplaceData, CompiledExpressionAgreesWithGrep)
{
    QelFindReplaceData* frd = Frd();
    qeltest::LogCapture log;
    frd->SetFindString("(");
    EXPECT_TRUE(log.Records().empty()) << log.Dump();

    frd->SetUseRegularExpression(true);
    frd->SetFindString("fo+(ba");
    EXPECT_FALSE(frd->GetRegularExpression().IsValid());
    EXPECT_EQ(log.CountLevel(wxLOG_Error), 1u) << log.Dump();
    EXPECT_TRUE(log.Has("fo+(ba")) << log.Dump();

    const std::string pattern = "fo+ba[rz]|^x{2,3}$";
    for (const bool matchCase : {false, true}) {
        frd->SetMatchCase(matchCase);
        frd->SetFindString(pattern);
        ASSERT_TRUE(frd->GetRegularExpression().IsValid());
        for (const char* line : {"a FOOBAR", "fbar", "foobaz", "xx", "xxxx", "FoBaZ!", "XXX"}) {
            SCOPED_TRACE(std::string(line) + (matchCase ? " match case" : " ignore case"));
            const std::string grep
                = qeltest::Run("printf '%s\\n' " + qeltest::ShellQuote(line) + " | grep -Ec"
                               + (matchCase ? " " : "i ") + qeltest::ShellQuote(pattern));
            EXPECT_EQ(frd->GetRegularExpression().Matches(line), grep == "1\n");
        }
    }
}

// Histories and options come back from the settings file; the expression is
// compiled again by the first find string.
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
    EXPECT_EQ(ShowList(frd->GetFindStrings()), ShowList({"needle", "two words ", "x"}));
    EXPECT_EQ(frd->GetReplaceString(), "thread");
    EXPECT_EQ(frd->GetFlags(), wxFR_MATCHCASE);
    frd->SetFindString("ne+dle");
    EXPECT_TRUE(frd->GetRegularExpression().Matches("needle"));
    EXPECT_FALSE(frd->GetRegularExpression().Matches("NEEDLE"));
}

// Set hands the installed instance back without deleting it; deleting the
// installed one leaves none behind.
TEST_F(FindReplaceData, SetReturnsThePreviousWithoutDeletingIt)
{
    QelFindReplaceData* first = Frd();
    std::unique_ptr<QelFindReplaceData> taken(QelFindReplaceData::Set(nullptr));
    ASSERT_EQ(taken.get(), first);
    QelFindReplaceData* second = Frd();
    EXPECT_EQ(QelFindReplaceData::Set(taken.release()), second);
    delete second; // not installed: the installed one stays
    EXPECT_EQ(QelFindReplaceData::Get(false), first);
    delete first;
    EXPECT_EQ(QelFindReplaceData::Get(false), nullptr);
}

} // namespace
