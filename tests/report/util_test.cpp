// Other versions of a file in sibling version folders, read from real trees,
// and the words of a make run.
#include <algorithm>

#include <gtest/gtest.h>
#include <wx/config.h>

#include <qelkit/report/util.h>

#include "testing.h"

namespace {

using Result = QelOtherVersions::Result;

class OtherVersions : public qeltest::ConfigTest {
protected:
    // A file below root with the text and modification time; its path.
    wxString Put(const wxString& name, long seconds)
    {
        const wxString path = m_Root.File(name);
        EXPECT_TRUE(wxFileName::Mkdir(wxFileName(path).GetPath(), 0755, wxPATH_MKDIR_FULL));
        EXPECT_TRUE(qeltest::WriteBytes(path, name.utf8_string() + "\n"));
        qeltest::SetModificationTime(path, seconds);
        return path;
    }

    static std::vector<wxString> Paths(const QelOtherVersions& found)
    {
        std::vector<wxString> paths;
        for (const wxFileName& file : found.files) paths.push_back(file.GetFullPath());
        std::sort(paths.begin(), paths.end());
        return paths;
    }

    // Every folder of the path but the test's own is free of digits.
    qeltest::TempDir m_Root{true};
};

TEST_F(OtherVersions, SiblingFoldersWithOtherTimesAreFound)
{
    struct Row {
        const char* name;
        std::vector<std::pair<const char*, long>> files; // the first is the given one
        Result result;
        std::vector<const char*> found;
    };
    const Row rows[] = {
        {"TwoSiblings",
         {{"lib-1.2/src/a.txt", 2000}, {"lib-1.1/src/a.txt", 1000}, {"lib-1.3/src/a.txt", 3000}},
         Result::found,
         {"lib-1.1/src/a.txt", "lib-1.3/src/a.txt"}},
        {"SameTimeIsSkipped",
         {{"lib-1.2/src/a.txt", 2000}, {"lib-1.1/src/a.txt", 2000}, {"lib-1.3/src/a.txt", 3000}},
         Result::found,
         {"lib-1.3/src/a.txt"}},
        // Offsets taken from the lower-cased path cut the path as written.
        {"UpperCaseFolders",
         {{"Lib-1.2/Src/A.txt", 2000}, {"Lib-1.1/Src/A.txt", 1000}, {"LIB-2/Src/A.txt", 3000}},
         Result::found,
         {"LIB-2/Src/A.txt", "Lib-1.1/Src/A.txt"}},
        {"OnlyTheFirstVersionFolderCounts",
         {{"rel1/v2/a.txt", 2000}, {"rel1/v3/a.txt", 1000}, {"rel2/v2/a.txt", 3000}},
         Result::found,
         {"rel2/v2/a.txt"}},
        {"NoOtherCopy",
         {{"lib-1.2/src/a.txt", 2000}, {"lib-1.1/src/b.txt", 1000}},
         Result::none,
         {}},
        {"NoVersionFolder",
         {{"plain/src/a.txt", 2000}, {"other/src/a.txt", 1000}},
         Result::no_version,
         {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        std::vector<wxString> paths;
        for (const auto& [name, seconds] : row.files) paths.push_back(Put(name, seconds));
        const QelOtherVersions found = QelFindOtherVersions(wxFileName(paths[0]));
        EXPECT_EQ(found.result, row.result);
        std::vector<wxString> want;
        for (const char* name : row.found) want.push_back(m_Root.File(name));
        std::sort(want.begin(), want.end());
        EXPECT_EQ(Paths(found), want);
        if (row.result != Result::no_version) {
            EXPECT_EQ(found.base, m_Root.Path() + "/");
        }
        for (const wxString& path : paths) wxRemoveFile(path);
    }
}

TEST_F(OtherVersions, AFolderThatCannotBeReadIsAResultNotAnAssertion)
{
    const QelOtherVersions found
        = QelFindOtherVersions(wxFileName(m_Root.File("gone/lib-1.2/a.txt")));
    EXPECT_EQ(found.result, Result::no_folder);
    EXPECT_EQ(found.base, m_Root.File("gone/"));
    EXPECT_TRUE(found.files.empty());
}

class MakeArguments : public qeltest::ConfigTest { };

TEST_F(MakeArguments, ThePathIsOneWordWhateverItHolds)
{
    struct Row {
        const char* name;
        const char* make; // null: not set
        const char* make_switch;
        const char* makefile;
        wxArrayString want;
    };
    const auto words = [](std::initializer_list<const char*> list) {
        wxArrayString array;
        for (const char* word : list) array.push_back(word);
        return array;
    };
    const Row rows[] = {
        {"Defaults", nullptr, nullptr, "/p/Makefile", words({"make", "-f", "/p/Makefile"})},
        {"OtherProgram", "gmake", "--file", "/p/Makefile",
         words({"gmake", "--file", "/p/Makefile"})},
        {"BlankInFolder", nullptr, nullptr, "/tmp/a b/Makefile",
         words({"make", "-f", "/tmp/a b/Makefile"})},
        {"QuotesAndDollar", nullptr, nullptr, "/p/'$x\"/GNUmakefile",
         words({"make", "-f", "/p/'$x\"/GNUmakefile"})},
        {"ProgramWithOption", "make -j2", "-f", "/p/Makefile",
         words({"make", "-j2", "-f", "/p/Makefile"})},
        {"NoSwitch", "make", "", "/p/Makefile", words({"make", "/p/Makefile"})},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        wxConfigBase* config = wxConfigBase::Get();
        config->DeleteAll();
        if (row.make != nullptr) config->Write("Make", row.make);
        if (row.make_switch != nullptr) config->Write("MakeSwitch", row.make_switch);
        EXPECT_EQ(QelMakeArguments(wxFileName(row.makefile)), row.want);
    }
}

} // namespace
