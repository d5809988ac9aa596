// Status texts, the search for other versions of a file and the print texts.
#include <random>

#include <gtest/gtest.h>
#include <wx/filename.h>
#include <wx/regex.h>

#include <qelkit/status.h>

#include "testing.h"

namespace {

using qeltest::ShellQuote;

// A folder whose path holds no version-like part: only the leftmost such part
// counts, and a temporary name with digits would be that part.
class LettersDir
{
public:
    LettersDir()
    {
        std::random_device random;
        wxString name = "/tmp/qelversions-";
        for (int i = 0; i < 10; ++i) name += wxUniChar('a' + random() % 26);
        m_Path = name;
        wxFileName::Mkdir(m_Path, 0755, wxPATH_MKDIR_FULL);
    }
    ~LettersDir() { wxFileName::Rmdir(m_Path, wxPATH_RMDIR_RECURSIVE); }

    // Makes the file (and its folders) with the modification time given.
    wxString File(const wxString& relative, const char* date) const
    {
        const wxString path = m_Path + "/" + relative;
        wxFileName::Mkdir(wxFileName(path).GetPath(), 0755, wxPATH_MKDIR_FULL);
        qeltest::WriteBytes(path, "text\n");
        qeltest::Run(wxString("touch -d '") + date + "' " + ShellQuote(path));
        return path;
    }

    const wxString& Path() const { return m_Path; }

private:
    wxString m_Path;
};

wxString Trimmed(const std::string& text)
{
    return wxString::FromUTF8(text).Trim();
}

TEST(VersionFolderPattern, FindsTheLeftmostVersionPart)
{
    struct Row { const char* path; int start; int length; };
    const Row rows[] = {
        {"/src/rel1/a.txt", 4, 5},
        {"/data2/src/rel1/a.txt", 0, 6},
        {"/x/build990308/y", 2, 12},
        {"/x/release-2.9.2/y", 2, 14},
        {"/x/7/y", 2, 2},
        {"/x/v1.2.3.4.5/y", 2, 9},
        {"/src/rel/a.txt", -1, 0},
        {"/src/a|b1", 6, 3},
        {"c:\\src\\rel1\\a.txt", 6, 5},
    };
    const wxRegEx pattern(QelVersionFolderPattern());
    ASSERT_TRUE(pattern.IsValid());
    for (const Row& row : rows)
    {
        SCOPED_TRACE(row.path);
        size_t start = 0;
        size_t length = 0;
        const bool found = pattern.Matches(row.path) && pattern.GetMatch(&start, &length);
        ASSERT_EQ(found, row.start >= 0);
        if (!found) continue;
        EXPECT_EQ(static_cast<int>(start), row.start);
        EXPECT_EQ(static_cast<int>(length), row.length);
    }
}

TEST(FindOtherFileName, NewestSiblingAsLsSortsIt)
{
    LettersDir root;
    const wxString file = root.File("src/rel1/a.txt", "2020-01-01 10:00");
    root.File("src/rel2/a.txt", "2020-03-01 10:00");
    root.File("src/rel3/a.txt", "2019-01-01 10:00");
    root.File("src/rel4/a.txt", "2020-01-01 10:00"); // the same time: not another version
    root.File("src/rel5/b.txt", "2021-01-01 10:00"); // another file

    wxFileName found;
    qeltest::LogCapture log;
    ASSERT_TRUE(QelFindOtherFileName(wxFileName(file), &found));
    EXPECT_TRUE(log.Records().empty()) << log.Dump();

    const std::string newest = qeltest::Run("ls -t " + ShellQuote(root.Path()) + "/src/*/a.txt | grep -v -e /rel1/ -e /rel4/ | head -1");
    EXPECT_EQ(found.GetFullPath(), Trimmed(newest));
    EXPECT_EQ(found.GetFullPath(), root.Path() + "/src/rel2/a.txt");
}

TEST(FindOtherFileName, OnlyTheLeftmostVersionPartCounts)
{
    LettersDir root;
    const wxString file = root.File("data2/src/rel1/a.txt", "2020-01-01");
    root.File("data2/src/rel2/a.txt", "2021-01-01"); // a sibling of rel1: not looked at
    root.File("data3/src/rel1/a.txt", "2019-01-01");

    wxFileName found;
    ASSERT_TRUE(QelFindOtherFileName(wxFileName(file), &found));
    EXPECT_EQ(found.GetFullPath(), root.Path() + "/data3/src/rel1/a.txt");
}

TEST(FindOtherFileName, UpperCaseFoldersCountAndCaseTwinsDoNot)
{
    LettersDir root;
    const wxString file = root.File("src/REL2/a.txt", "2020-01-01");
    root.File("src/rel2/a.txt", "2022-01-01"); // differs only in case: ignored
    root.File("src/Rel1/a.txt", "2019-01-01");

    wxFileName found;
    ASSERT_TRUE(QelFindOtherFileName(wxFileName(file), &found));
    EXPECT_EQ(found.GetFullPath(), root.Path() + "/src/Rel1/a.txt");
}

TEST(FindOtherFileName, SaysWhyNothingWasFound)
{
    LettersDir root;
    const wxString alone = root.File("src/rel1/a.txt", "2020-01-01");
    const wxString plain = root.File("src/plain/a.txt", "2020-01-01");

    struct Row { wxString path; wxLogLevel level; wxString text; };
    const Row rows[] = {
        {plain, wxLOG_Status, "No version information found"},
        {alone, wxLOG_Status, "No files found"},
        {root.Path() + "/src/rel1/missing.txt", wxLOG_Error, "does not exist"},
        {root.Path() + "/gone/rel1/a.txt", wxLOG_Error, "Cannot open folder"},
    };
    for (const Row& row : rows)
    {
        SCOPED_TRACE(row.path);
        wxFileName found("/untouched");
        qeltest::LogCapture log;
        EXPECT_FALSE(QelFindOtherFileName(wxFileName(row.path), &found));
        EXPECT_EQ(found.GetFullPath(), "/untouched");
        ASSERT_EQ(log.Records().size(), 1u) << log.Dump();
        EXPECT_EQ(log.Records()[0].level, row.level);
        EXPECT_TRUE(log.Records()[0].text.Contains(row.text)) << log.Dump();
    }
}

class LogStatus : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_File = m_Temp.File("notes 100%.txt");
        qeltest::WriteBytes(m_File, "x");
        qeltest::Run("touch -d '2011-03-05 14:07:09' " + ShellQuote(m_File));
        m_Time = Trimmed(qeltest::Run("LC_ALL=C date -r " + ShellQuote(m_File) + " +%c"));
    }

    qeltest::TempDir m_Temp;
    wxString m_File;
    wxString m_Time;
};

TEST_F(LogStatus, ShowsNameWordAndTime)
{
    struct Row { long flags; wxString text; };
    const Row rows[] = {
        {0, "notes 100%.txt Modified " + m_Time},
        {STAT_SYNC, "notes 100%.txt Synchronized " + m_Time},
        {STAT_FULLPATH, m_File + " Modified " + m_Time},
        {STAT_SYNC | STAT_FULLPATH, m_File + " Synchronized " + m_Time},
    };
    for (const Row& row : rows)
    {
        SCOPED_TRACE(row.flags);
        qeltest::LogCapture log;
        QelLogStatus(wxFileName(m_File), row.flags);
        ASSERT_EQ(log.Records().size(), 1u);
        EXPECT_EQ(log.Records()[0].level, wxLOG_Status);
        EXPECT_EQ(log.Records()[0].text, row.text);
    }
}

TEST_F(LogStatus, MissingFileShowsItsNameAndInvalidNameNothing)
{
    qeltest::LogCapture log;
    QelLogStatus(wxFileName(m_Temp.File("gone.txt")), 0);
    QelLogStatus(wxFileName(), STAT_FULLPATH);
    ASSERT_EQ(log.Records().size(), 1u);
    EXPECT_EQ(log.Records()[0].text, "gone.txt");
}

TEST(FindResult, WrapAroundTexts)
{
    struct Row { bool next; const char* text; };
    for (const Row& row : {Row{true, "Searching for 'a b' hit bottom"}, Row{false, "Searching for 'a b' hit top"}})
    {
        qeltest::LogCapture log;
        QelFindResult(" a\n\t b ", row.next, false);
        ASSERT_EQ(log.Records().size(), 1u);
        EXPECT_EQ(log.Records()[0].level, wxLOG_Status);
        EXPECT_EQ(log.Records()[0].text, row.text);
    }
}

TEST(PrintTexts, HeaderCaptionAndFooter)
{
    qeltest::TempDir temp;
    const wxString folder = temp.File(wxString('d', 100));
    wxFileName::Mkdir(folder);
    const wxString path = folder + "/file.txt";
    qeltest::WriteBytes(path, "x");
    qeltest::Run("touch -d '2011-03-05 14:07:09' " + ShellQuote(path));
    const wxString time = Trimmed(qeltest::Run("LC_ALL=C date -r " + ShellQuote(path) + " +%c"));

    const wxString header = QelPrintHeader(wxFileName(path));
    EXPECT_EQ(header.length(), 79u);
    EXPECT_TRUE(header.StartsWith("...")) << header;
    EXPECT_TRUE(header.EndsWith("/file.txt " + time)) << header;

    EXPECT_EQ(QelPrintCaption(wxFileName(path)), path);
    EXPECT_TRUE(QelPrintHeader(wxFileName(temp.File("unsaved.txt"))).StartsWith("Printed: "));
    EXPECT_EQ(QelPrintFooter(), "Page @PAGENUM@ of @PAGESCNT@");
}

} // namespace
