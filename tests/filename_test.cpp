#include <string>

#include <gtest/gtest.h>
#include <wx/filefn.h>
#include <wx/filename.h>

#include <qelkit/filename.h>
#include <qelkit/lexers.h>

#include "testing.h"

using qeltest::ShellQuote;
using qeltest::TempDir;
using qeltest::WriteBytes;

using qeltest::SetModificationTime;

using qeltest::CwdGuard;

namespace {



} // namespace

TEST(QelFileName, EmptyNameHasNoStatusAndNoLexer)
{
    const QelFileName name;
    EXPECT_FALSE(name.IsOk());
    EXPECT_FALSE(name.GetStat().IsOk());
    EXPECT_EQ(name.GetStat().st_mtime, 0);
    EXPECT_TRUE(name.GetLexer().GetScintillaLexer().empty());
}

TEST(QelFileName, StatusIsOfThePathExactlyAsGiven)
{
    TempDir temp;
    ASSERT_TRUE(WriteBytes(temp.File("rel.txt"), "abc"));
    CwdGuard cwd(temp.Path());

    const QelFileName relative("rel.txt");
    EXPECT_TRUE(relative.GetStat().IsOk());
    EXPECT_EQ(relative.GetStat().GetFullPath(), "rel.txt");
    EXPECT_FALSE(relative.IsAbsolute());
    EXPECT_EQ(relative.GetFullName(), "rel.txt");

    const QelFileName from_toolkit{wxFileName(temp.Path(), "rel.txt")};
    EXPECT_TRUE(from_toolkit.GetStat().IsOk());
    EXPECT_EQ(from_toolkit.GetStat().GetFullPath(), temp.File("rel.txt"));

    const QelFileName missing("missing.txt");
    EXPECT_TRUE(missing.IsOk());
    EXPECT_FALSE(missing.GetStat().IsOk());
}

TEST(QelFileName, CopiesKeepTheStatusTheyWereMadeWith)
{
    TempDir temp;
    const wxString file = temp.File("f.txt");
    ASSERT_TRUE(WriteBytes(file, "x"));
    SetModificationTime(file, 1300000000);

    const QelFileName original(file);
    const QelFileName copied(original);
    QelFileName assigned;
    assigned = original;

    SetModificationTime(file, 1300000010);
    const QelFileName fresh(file);

    EXPECT_EQ(original.GetStat().st_mtime, 1300000000);
    EXPECT_EQ(copied.GetStat().st_mtime, 1300000000);
    EXPECT_EQ(assigned.GetStat().st_mtime, 1300000000);
    EXPECT_EQ(assigned.GetFullPath(), file);
    EXPECT_EQ(fresh.GetStat().st_mtime, 1300000010);
}

TEST(QelFileName, AssignmentReplacesEverything)
{
    TempDir temp;
    ASSERT_TRUE(WriteBytes(temp.File("a.txt"), "a"));

    QelFileName name(temp.File("a.txt"));
    name = QelFileName();
    EXPECT_FALSE(name.IsOk());
    EXPECT_FALSE(name.GetStat().IsOk());
    EXPECT_TRUE(name.GetFullPath().empty());

    QelFileName self(temp.File("a.txt"));
    const QelFileName& alias = self;
    self = alias;
    EXPECT_EQ(self.GetFullPath(), temp.File("a.txt"));
    EXPECT_TRUE(self.GetStat().IsOk());
}

TEST(QelFileName, NonAsciiName)
{
    TempDir temp;
    const wxString file = temp.File(wxString::FromUTF8("ä ö.txt"));
    ASSERT_TRUE(WriteBytes(file, "x"));

    const QelFileName name(file);
    EXPECT_TRUE(name.GetStat().IsOk());
    EXPECT_EQ(name.GetFullName(), wxString::FromUTF8("ä ö.txt"));
    EXPECT_EQ(name.GetExt(), "txt");
}

// Its own settings file, as the lexers read "theme"; the lexers go with it.
class QelFileNameLexer : public qeltest::ConfigTest
{
};

TEST_F(QelFileNameLexer, IsLookedUpOnceWhenTheNameIsMade)
{
    ASSERT_EQ(QelLexers::Get(false), nullptr);
    const QelFileName early("A.CPP");
    EXPECT_TRUE(early.GetLexer().GetScintillaLexer().empty());

    auto* lexers = new QelLexers(wxFileName(QEL_TEST_DATA_DIR "/file/lexers.xml"));
    delete QelLexers::Set(lexers);
    ASSERT_TRUE(lexers->Read());

    struct Row { const char* name; const char* lexer; };
    const Row rows[] = {
        {"A.CPP", "cpp"}, {"dir/b.h", "cpp"}, {"x.py", "python"}, {"x.txt", ""}, {"cpp", ""},
    };
    for (const Row& row : rows)
    {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(QelFileName(row.name).GetLexer().GetScintillaLexer(), row.lexer);
        EXPECT_EQ(QelFileName(wxFileName(row.name)).GetLexer().GetScintillaLexer(), row.lexer);
    }

    // Made before the lexers were there: no second lookup, not even by copying.
    EXPECT_TRUE(early.GetLexer().GetScintillaLexer().empty());
    QelFileName copy(early);
    EXPECT_TRUE(copy.GetLexer().GetScintillaLexer().empty());
    copy = QelFileName("x.py");
    EXPECT_EQ(copy.GetLexer().GetScintillaLexer(), "python");
}
