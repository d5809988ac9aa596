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

    // Read-only is the owner's write bit only.
    using Mode = std::pair<const char*, bool>;
    for (const auto& [mode, readOnly] :
         {Mode{"444", true}, Mode{"244", false}, Mode{"477", true}, Mode{"200", false}}) {
        qeltest::Run(wxString("chmod ") + mode + " " + ShellQuote(plain));
        EXPECT_EQ(QelStat(plain).IsReadOnly(), readOnly) << mode;
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

TEST(QelFileName, StatusIsTakenOnceOfThePathAsGiven)
{
    qeltest::TempDir temp;
    const wxString file = temp.File("f.txt");
    ASSERT_TRUE(qeltest::WriteBytes(file, "x"));
    qeltest::SetModificationTime(file, 1300000000);

    {
        qeltest::CwdGuard cwd(temp.Path());
        const QelFileName relative("f.txt");
        EXPECT_TRUE(relative.GetStat().IsOk());
        EXPECT_EQ(relative.GetStat().GetFullPath(), "f.txt");
        EXPECT_FALSE(QelFileName("missing.txt").GetStat().IsOk());
    }
    EXPECT_EQ(QelFileName(wxFileName(temp.Path(), "f.txt")).GetStat().GetFullPath(), file);

    const QelFileName original(file);
    const QelFileName copied(original);
    QelFileName assigned;
    assigned = original;
    qeltest::SetModificationTime(file, 1300000010);
    for (const QelFileName* name :
         std::initializer_list<const QelFileName*>{&original, &copied, &assigned})
        EXPECT_EQ(name->GetStat().st_mtime, 1300000000);
    EXPECT_EQ(assigned.GetFullPath(), file);
    EXPECT_EQ(QelFileName(file).GetStat().st_mtime, 1300000010);

    assigned = QelFileName();
    EXPECT_FALSE(assigned.IsOk());
    EXPECT_FALSE(assigned.GetStat().IsOk());
    EXPECT_EQ(assigned.GetStat().st_mtime, 0);
}

// Its own settings file, as the lexers read "theme"; the lexers go with it.
class QelFileNameLexer : public qeltest::ConfigTest { };

TEST_F(QelFileNameLexer, IsLookedUpOnceWhenTheNameIsMade)
{
    ASSERT_EQ(QelLexers::Get(false), nullptr);
    const QelFileName early("A.CPP");
    qeltest::InstallLexers(QEL_TEST_DATA_DIR "/file/lexers.xml");

    struct Row {
        const char* name;
        const char* lexer;
    };
    for (const Row& row : {Row{"A.CPP", "cpp"}, Row{"dir/b.h", "cpp"}, Row{"x.py", "python"},
                           Row{"x.txt", ""}, Row{"cpp", ""}}) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(QelFileName(row.name).GetLexer().GetScintillaLexer(), row.lexer);
        EXPECT_EQ(QelFileName(wxFileName(row.name)).GetLexer().GetScintillaLexer(), row.lexer);
    }

    // Made before the lexers were there: no second lookup, not even by copying.
    QelFileName copy(early);
    EXPECT_EQ(early.GetLexer().GetScintillaLexer(), "");
    EXPECT_EQ(copy.GetLexer().GetScintillaLexer(), "");
    copy = QelFileName("x.py");
    EXPECT_EQ(copy.GetLexer().GetScintillaLexer(), "python");
}
