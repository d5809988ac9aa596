// File status compared with stat(1) and date(1); file names take their status
// once, of the path as given, and look their lexer up once, when made.
#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>
#include <utility>

#include <gtest/gtest.h>

#include <qelkit/filename.h>
#include <qelkit/lexers.h>
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

// What stat(1) cannot read is not ok, not read-only, and every field is zero;
// read-only is the owner's write bit only.
TEST(QelStat, AgreesWithStat)
{
    qeltest::TempDir temp;
    const wxString plain = temp.File("plain.txt");
    const wxString wide = temp.File(wxString::FromUTF8("ä ö€.txt"));
    ASSERT_TRUE(qeltest::WriteBytes(plain, "12345"));
    ASSERT_TRUE(qeltest::WriteBytes(wide, "1234567"));
    for (const wxString& path : {plain, wide, temp.Path(), wxString(), temp.File("missing")}) {
        SCOPED_TRACE(path.utf8_string());
        const QelStat stat(path);
        int rc = -1;
        const std::string out
            = qeltest::Run("stat -c '%s %Y %f' " + ShellQuote(path) + " 2>/dev/null", &rc);
        EXPECT_EQ(stat.IsOk(), rc == 0);
        EXPECT_EQ(Fields(stat), rc == 0 ? out : "0 0 0\n");
        EXPECT_FALSE(stat.IsReadOnly());
    }
    for (const char* mode : {"444", "244", "477"}) {
        qeltest::Run(wxString("chmod ") + mode + " " + ShellQuote(plain));
        EXPECT_EQ(QelStat(plain).IsReadOnly(), mode[0] == '4') << mode;
    }
}

// A failed sync keeps nothing of the earlier file; a relative path stays
// relative and follows the working folder.
TEST(QelStat, SyncRetakesThePathAsGiven)
{
    qeltest::TempDir temp;
    ASSERT_TRUE(qeltest::WriteBytes(temp.File("f.txt"), "12345"));
    qeltest::Run("chmod 0444 " + ShellQuote(temp.File("f.txt")));
    QelStat stat(temp.File("f.txt"));
    ASSERT_TRUE(stat.IsReadOnly());
    EXPECT_FALSE(stat.Sync(temp.File("missing")));
    EXPECT_EQ(Fields(stat), "0 0 0\n");
    EXPECT_FALSE(stat.IsReadOnly());
    // The path given last is the one looked at, by a copy too.
    EXPECT_TRUE(stat.Sync(temp.File("f.txt")));
    QelStat copy(stat);
    EXPECT_FALSE(copy.Sync(temp.File("missing")));
    EXPECT_TRUE(stat.Sync());

    EXPECT_FALSE(stat.Sync("f.txt")) << "the test runs outside the temporary folder";
    qeltest::CwdGuard cwd(temp.Path());
    EXPECT_TRUE(stat.Sync());
    EXPECT_EQ(stat.st_size, 5);
}

TEST(QelStat, ModificationTimeIsLocalTimeAsDatePrintsIt)
{
    qeltest::TempDir temp;
    const wxString file = temp.File("f.txt");
    ASSERT_TRUE(qeltest::WriteBytes(file, "x"));
    qeltest::SetModificationTime(file, 1299334029);

    const char* old = std::getenv("TZ");
    const std::optional<std::string> saved = old ? std::optional<std::string>(old) : std::nullopt;
    for (const char* zone : {"UTC", "XYZ-3"}) { // POSIX zones: "XYZ-3" is east
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

// Copies keep the status taken when the first name was made.
TEST(QelFileName, StatusIsTakenOnceOfThePathAsGiven)
{
    qeltest::TempDir temp;
    const wxString file = temp.File("f.txt");
    ASSERT_TRUE(qeltest::WriteBytes(file, "x"));
    qeltest::SetModificationTime(file, 1300000000);
    const QelFileName original(file);
    const QelFileName copied(original);
    QelFileName assigned;
    assigned = original;
    qeltest::SetModificationTime(file, 1300000010);
    for (const QelFileName* name : {&original, &copied, &std::as_const(assigned)})
        EXPECT_EQ(name->GetStat().st_mtime, 1300000000);
    EXPECT_EQ(QelFileName(file).GetStat().st_mtime, 1300000010);
}

// Its own settings file, as the lexers read "theme"; the lexers go with it.
class QelFileNameLexer : public qeltest::ConfigTest { };

TEST_F(QelFileNameLexer, IsLookedUpOnceWhenTheNameIsMade)
{
    const QelFileName early("A.CPP");
    qeltest::InstallLexers(QEL_TEST_DATA_DIR "/file/lexers.xml");
    const std::pair<const char*, const char*> rows[]
        = {{"A.CPP", "cpp"}, {"dir/b.h", "cpp"}, {"x.txt", ""}, {"cpp", ""}};
    for (const auto& [name, lexer] : rows) {
        SCOPED_TRACE(name);
        EXPECT_EQ(QelFileName(name).GetLexer().GetScintillaLexer(), lexer);
        EXPECT_EQ(QelFileName(wxFileName(name)).GetLexer().GetScintillaLexer(), lexer);
    }
    // Made before the lexers were there: no second lookup, not even by copying.
    QelFileName copy(early);
    EXPECT_EQ(copy.GetLexer().GetScintillaLexer(), "");
    copy = QelFileName("x.py");
    EXPECT_EQ(copy.GetLexer().GetScintillaLexer(), "python");
}
