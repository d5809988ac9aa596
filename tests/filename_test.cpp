// File names: their status is taken once, of the path as given, and their
// lexer is looked up once, when the name is made.
#include <gtest/gtest.h>
#include <wx/filename.h>

#include <qelkit/filename.h>
#include <qelkit/lexers.h>

#include "testing.h"

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
