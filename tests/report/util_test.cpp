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
        const char* files; // "path:seconds", the given one first
        Result result;
        const char* found;
    };
    const Row rows[] = {
        // The same time is skipped.
        {"lib-1.2/src/a.txt:2 lib-1.1/src/a.txt:2 lib-1.3/src/a.txt:3", Result::found,
         "lib-1.3/src/a.txt"},
        // Offsets taken from the lower-cased path cut the path as written.
        {"Lib-1.2/Src/A.txt:2 Lib-1.1/Src/A.txt:1 LIB-2/Src/A.txt:3", Result::found,
         "LIB-2/Src/A.txt Lib-1.1/Src/A.txt"},
        // Only the first version folder counts.
        {"rel1/v2/a.txt:2 rel1/v3/a.txt:1 rel2/v2/a.txt:3", Result::found, "rel2/v2/a.txt"},
        {"lib-1.2/src/a.txt:2 lib-1.1/src/b.txt:1", Result::none, ""},
        {"plain/src/a.txt:2 other/src/a.txt:1", Result::no_version, ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.files);
        std::vector<wxString> paths, want;
        for (const wxString& file : wxSplit(row.files, ' '))
            paths.push_back(Put(file.BeforeLast(':'), 1000 * wxAtol(file.AfterLast(':'))));
        const QelOtherVersions found = QelFindOtherVersions(wxFileName(paths[0]));
        EXPECT_EQ(found.result, row.result);
        for (const wxString& name : wxSplit(row.found, ' '))
            if (!name.empty()) want.push_back(m_Root.File(name));
        std::sort(want.begin(), want.end());
        EXPECT_EQ(Paths(found), want);
        EXPECT_TRUE(row.result == Result::no_version || found.base == m_Root.Path() + "/")
            << found.base;
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
        const char* make; // null: not set
        const char* make_switch;
        const char* makefile;
        const char* want; // the words, split at '|'
    };
    const Row rows[] = {
        {nullptr, nullptr, "/p/'$x\"/GNUmakefile", "make|-f|/p/'$x\"/GNUmakefile"},
        {"gmake -j2", "--file", "/p/Makefile", "gmake|-j2|--file|/p/Makefile"},
        {"make", "", "/p/Makefile", "make|/p/Makefile"},
        {"make 'CPPFLAGS=-DA=\\\"b\\\"'", "-f", "/p/Makefile",
         "make|CPPFLAGS=-DA=\\\"b\\\"|-f|/p/Makefile"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.want);
        wxConfigBase* config = wxConfigBase::Get();
        config->DeleteAll();
        if (row.make != nullptr) config->Write("Make", row.make);
        if (row.make_switch != nullptr) config->Write("MakeSwitch", row.make_switch);
        EXPECT_EQ(QelMakeArguments(wxFileName(row.makefile)), wxSplit(row.want, '|', '\0'));
    }
}

} // namespace
