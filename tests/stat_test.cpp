#include <cstdlib>
#include <ctime>
#include <string>

#include <gtest/gtest.h>
#include <wx/filefn.h>
#include <wx/string.h>

#include <qelkit/stat.h>

#include "testing.h"

using qeltest::ShellQuote;
using qeltest::TempDir;
using qeltest::WriteBytes;

using qeltest::CwdGuard;

namespace {

std::string Trim(std::string text)
{
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
    {
        text.pop_back();
    }
    return text;
}

// Sets TZ for the life of the object; the toolkit and `date` both follow it.
class ZoneGuard
{
public:
    explicit ZoneGuard(const char* zone)
    {
        if (const char* old = std::getenv("TZ"))
        {
            m_Old = old;
            m_HadOld = true;
        }
        setenv("TZ", zone, 1);
        tzset();
    }
    ~ZoneGuard()
    {
        if (m_HadOld)
        {
            setenv("TZ", m_Old.c_str(), 1);
        }
        else
        {
            unsetenv("TZ");
        }
        tzset();
    }

private:
    std::string m_Old;
    bool m_HadOld = false;
};


} // namespace

TEST(QelStat, ModificationTimeIsLocalTimeAsDatePrintsIt)
{
    TempDir temp;
    const wxString file = temp.File("f.txt");
    ASSERT_TRUE(WriteBytes(file, "x"));
    qeltest::Run("touch -m -d @1299334029 " + ShellQuote(file)); // 2011-03-05 14:07:09 UTC

    struct Row { const char* zone; const char* want; };
    const Row rows[] = {
        {"UTC", "2011-03-05 14:07:09"},
        {"XYZ-3", "2011-03-05 17:07:09"},   // POSIX form: three hours east
        {"ABC+10", "2011-03-05 04:07:09"},
    };

    for (const Row& row : rows)
    {
        SCOPED_TRACE(row.zone);
        ZoneGuard zone(row.zone);
        const QelStat stat(file);
        ASSERT_TRUE(stat.IsOk());
        EXPECT_EQ(stat.GetModificationTime(), row.want);
        EXPECT_EQ(stat.GetModificationTime().utf8_string(),
                  Trim(qeltest::Run("date -d @$(stat -c %Y " + ShellQuote(file) + ") '+%F %T'")));
    }
}

TEST(QelStat, ReadOnlyLooksAtTheOwnerWriteBitOnly)
{
    TempDir temp;
    const wxString file = temp.File("f.txt");
    ASSERT_TRUE(WriteBytes(file, "x"));

    struct Row { const char* mode; bool read_only; };
    const Row rows[] = {
        {"444", true}, {"244", false}, {"644", false}, {"400", true},
        {"200", false}, {"000", true}, {"477", true}, {"755", false},
    };

    for (const Row& row : rows)
    {
        SCOPED_TRACE(row.mode);
        qeltest::Run(wxString("chmod ") + row.mode + " " + ShellQuote(file));
        ASSERT_EQ(std::stoi(qeltest::Run("stat -c %a " + ShellQuote(file)), nullptr, 8),
                  std::stoi(row.mode, nullptr, 8));
        EXPECT_EQ(QelStat(file).IsReadOnly(), row.read_only);
    }
}

TEST(QelStat, WhatCannotBeStattedIsNotOkAndNotReadOnly)
{
    TempDir temp;

    const QelStat empty("");
    EXPECT_FALSE(empty.IsOk());
    EXPECT_FALSE(empty.IsReadOnly());
    EXPECT_EQ(empty.st_mtime, 0);
    EXPECT_EQ(empty.st_mode, 0u);

    const QelStat missing(temp.File("missing"));
    EXPECT_FALSE(missing.IsOk());
    EXPECT_FALSE(missing.IsReadOnly());

    // A path under a regular file cannot exist.
    ASSERT_TRUE(WriteBytes(temp.File("plain"), "x"));
    EXPECT_FALSE(QelStat(temp.File("plain/below")).IsOk());
}

TEST(QelStat, AFailedSyncLeavesNoFieldsOfTheEarlierFile)
{
    TempDir temp;
    const wxString file = temp.File("f.txt");
    ASSERT_TRUE(WriteBytes(file, "12345"));
    qeltest::Run("chmod 0444 " + ShellQuote(file));

    QelStat stat(file);
    ASSERT_TRUE(stat.IsReadOnly());
    EXPECT_EQ(stat.st_size, 5);

    EXPECT_FALSE(stat.Sync(temp.File("missing")));
    EXPECT_EQ(stat.GetFullPath(), temp.File("missing"));
    EXPECT_FALSE(stat.IsReadOnly());
    EXPECT_EQ(stat.st_size, 0);

    EXPECT_TRUE(stat.Sync(file));
    EXPECT_TRUE(stat.IsReadOnly());
}

TEST(QelStat, AFolderIsOk)
{
    TempDir temp;
    const QelStat stat(temp.Path());
    EXPECT_TRUE(stat.IsOk());
    EXPECT_TRUE(S_ISDIR(stat.st_mode));
}

TEST(QelStat, RelativePathFollowsTheWorkingFolderAndIsKeptAsGiven)
{
    TempDir temp;
    ASSERT_TRUE(WriteBytes(temp.File("rel.txt"), "abc"));

    QelStat stat("rel.txt");
    EXPECT_FALSE(stat.IsOk()) << "the test runs outside the temporary folder";

    {
        CwdGuard cwd(temp.Path());
        EXPECT_TRUE(stat.Sync());
        EXPECT_EQ(stat.GetFullPath(), "rel.txt");
        EXPECT_EQ(stat.st_size, 3);
    }

    EXPECT_FALSE(stat.Sync());
}

TEST(QelStat, NonAsciiName)
{
    TempDir temp;
    const wxString file = temp.File(wxString::FromUTF8("ä ö€.txt"));
    ASSERT_TRUE(WriteBytes(file, "1234567"));

    const QelStat stat(file);
    ASSERT_TRUE(stat.IsOk());
    EXPECT_EQ(std::to_string(stat.st_size), Trim(qeltest::Run("stat -c %s " + ShellQuote(file))));
}
