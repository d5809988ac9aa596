// File status compared with stat(1) and date(1).
#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include <qelkit/stat.h>

#include "testing.h"

namespace {

using qeltest::ShellQuote;

std::string Fields(const QelStat& stat)
{
    return wxString::Format("%lld %lld %x\n", static_cast<long long>(stat.st_size),
                            static_cast<long long>(stat.st_mtime),
                            static_cast<unsigned>(stat.st_mode))
        .utf8_string();
}

} // namespace

// What stat(1) cannot read is not ok, not read-only, and every field is zero.
TEST(QelStat, AgreesWithStat)
{
    qeltest::TempDir temp;
    const wxString plain = temp.File("plain.txt");
    const wxString wide = temp.File(wxString::FromUTF8("ä ö€.txt"));
    ASSERT_TRUE(qeltest::WriteBytes(plain, "12345"));
    ASSERT_TRUE(qeltest::WriteBytes(wide, "1234567"));

    for (const wxString& path :
         {plain, wide, temp.Path(), wxString(), temp.File("missing"), plain + "/x"}) {
        SCOPED_TRACE(path.utf8_string());
        const QelStat stat(path);
        int rc = -1;
        const std::string out
            = qeltest::Run("stat -c '%s %Y %f' " + ShellQuote(path) + " 2>/dev/null", &rc);
        EXPECT_EQ(stat.IsOk(), rc == 0);
        EXPECT_EQ(Fields(stat), rc == 0 ? out : "0 0 0\n");
        EXPECT_EQ(stat.IsReadOnly(), false);
    }
}

TEST(QelStat, ReadOnlyIsTheOwnerWriteBitOnly)
{
    qeltest::TempDir temp;
    const wxString file = temp.File("f.txt");
    ASSERT_TRUE(qeltest::WriteBytes(file, "x"));
    struct Row {
        const char* mode;
        bool read_only;
    };
    for (const Row& row :
         {Row{"444", true}, Row{"244", false}, Row{"477", true}, Row{"200", false}}) {
        SCOPED_TRACE(row.mode);
        qeltest::Run(wxString("chmod ") + row.mode + " " + ShellQuote(file));
        EXPECT_EQ(QelStat(file).IsReadOnly(), row.read_only);
    }
}

TEST(QelStat, SyncRetakesThePathAsGiven)
{
    qeltest::TempDir temp;
    ASSERT_TRUE(qeltest::WriteBytes(temp.File("f.txt"), "12345"));
    qeltest::Run("chmod 0444 " + ShellQuote(temp.File("f.txt")));
    QelStat stat(temp.File("f.txt"));
    ASSERT_TRUE(stat.IsReadOnly());
    // A failed sync keeps nothing of the earlier file.
    EXPECT_FALSE(stat.Sync(temp.File("missing")));
    EXPECT_EQ(Fields(stat), "0 0 0\n");
    EXPECT_FALSE(stat.IsReadOnly());

    // A relative path stays relative: it follows the working folder.
    EXPECT_FALSE(stat.Sync("f.txt")) << "the test runs outside the temporary folder";
    {
        qeltest::CwdGuard cwd(temp.Path());
        EXPECT_TRUE(stat.Sync());
        EXPECT_EQ(stat.st_size, 5);
    }
    EXPECT_EQ(stat.GetFullPath(), "f.txt");
}

TEST(QelStat, ModificationTimeIsLocalTimeAsDatePrintsIt)
{
    qeltest::TempDir temp;
    const wxString file = temp.File("f.txt");
    ASSERT_TRUE(qeltest::WriteBytes(file, "x"));
    qeltest::SetModificationTime(file, 1299334029);

    const char* old = std::getenv("TZ");
    const std::optional<std::string> saved = old ? std::optional<std::string>(old) : std::nullopt;
    for (const char* zone : {"UTC", "XYZ-3", "ABC+10"}) { // POSIX zones: "XYZ-3" is east
        SCOPED_TRACE(zone);
        setenv("TZ", zone, 1);
        tzset();
        EXPECT_EQ(QelStat(file).GetModificationTime().utf8_string() + "\n",
                  qeltest::Run("date -d @1299334029 '+%F %T'"));
    }
    if (saved)
        setenv("TZ", saved->c_str(), 1);
    else
        unsetenv("TZ");
    tzset();
}
