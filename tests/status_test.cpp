// Status texts, the search for other versions of a file and the print header.
#include <gtest/gtest.h>
#include <wx/filename.h>
#include <wx/regex.h>

#include <qelkit/status.h>

#include "testing.h"

namespace {

using qeltest::ShellQuote;

// Makes the file (and its folders) with the modification time given.
wxString MakeFile(const wxString& path, const char* date)
{
    wxFileName::Mkdir(wxFileName(path).GetPath(), 0755, wxPATH_MKDIR_FULL);
    qeltest::WriteBytes(path, "text\n");
    qeltest::Run(wxString("touch -d '") + date + "' " + ShellQuote(path));
    return path;
}

// The file's modification time as date(1) writes it.
wxString DateOf(const wxString& path)
{
    return wxString::FromUTF8(qeltest::Run("LC_ALL=C date -r " + ShellQuote(path) + " +%c")).Trim();
}

TEST(VersionFolderPattern, FindsTheLeftmostVersionPart)
{
    const struct {
        const char* path;
        int start, length;
    } rows[] = {
        {"/x/build990308/y", 2, 12}, {"/x/release-2.9.2/y", 2, 14}, {"/x/7/y", 2, 2},
        {"/x/v1.2.3.4.5/y", 2, 9},   {"/src/a|b1", 6, 3},           {"c:\\src\\rel1\\a.txt", 6, 5},
    };
    const wxRegEx pattern(QelVersionFolderPattern());
    ASSERT_TRUE(pattern.IsValid());
    for (const auto& row : rows) {
        size_t start = 0, length = 0;
        if (!pattern.Matches(row.path) || !pattern.GetMatch(&start, &length)) start = size_t(-1);
        EXPECT_EQ(static_cast<int>(start), row.start) << row.path;
        EXPECT_EQ(static_cast<int>(length), row.length) << row.path;
    }
}

TEST(FindOtherFileName, NewestOtherVersionOrWhyNone)
{
    // The files as "path@time;..."; `want` null: none is found, and the log says why.
    const char* const one = "src/rel1/a.txt@2020-01-01";
    const struct {
        const char* name;
        const char* files;
        const char* file; // whose other version is looked for
        const char* want;
        wxLogLevel level;
        const char* message;
    } trees[] = {
        // The same time is not newer; another file name does not count.
        {"newest sibling",
         "src/rel1/a.txt@2020-01-01 10:00;src/rel2/a.txt@2020-03-01 10:00;"
         "src/rel3/a.txt@2019-01-01;src/rel4/a.txt@2020-01-01 10:00;src/rel5/b.txt@2021-01-01",
         "src/rel1/a.txt", "src/rel2/a.txt", 0, nullptr},
        // The siblings of the leftmost version part are searched.
        {"leftmost part",
         "data2/src/rel1/a.txt@2020-01-01;data2/src/rel2/a.txt@2021-01-01;"
         "data3/src/rel1/a.txt@2019-01-01",
         "data2/src/rel1/a.txt", "data3/src/rel1/a.txt", 0, nullptr},
        // Upper-case folders count; one that differs only in case is another folder.
        {"case", "src/REL2/a.txt@2020-01-01;src/rel2/a.txt@2022-01-01;src/Rel1/a.txt@2019-01-01",
         "src/REL2/a.txt", "src/Rel1/a.txt", 0, nullptr},
        {"no version part", "src/plain/a.txt@2020-01-01", "src/plain/a.txt", nullptr, wxLOG_Status,
         "No version information found"},
        {"alone", one, "src/rel1/a.txt", nullptr, wxLOG_Status, "No files found"},
        {"missing file", one, "src/rel1/gone.txt", nullptr, wxLOG_Error, "does not exist"},
        {"missing folder", one, "gone/rel1/a.txt", nullptr, wxLOG_Error, "Cannot open folder"},
    };
    for (const auto& tree : trees) {
        SCOPED_TRACE(tree.name);
        // Only the leftmost version-like part counts: none in the folder.
        const qeltest::TempDir root(true);
        for (const wxString& file : wxSplit(tree.files, ';', '\0'))
            MakeFile(root.Path() + "/" + file.BeforeFirst('@'), file.AfterFirst('@').utf8_str());

        wxFileName found("/untouched");
        qeltest::LogCapture log;
        ASSERT_EQ(QelFindOtherFileName(wxFileName(root.Path() + "/" + tree.file), &found),
                  tree.want != nullptr);
        EXPECT_EQ(found.GetFullPath(),
                  tree.want ? root.Path() + "/" + tree.want : wxString("/untouched"));
        ASSERT_EQ(log.Records().size(), tree.message ? 1u : 0u) << log.Dump();
        if (tree.message == nullptr) continue;
        EXPECT_EQ(log.Records()[0].level, tree.level);
        EXPECT_TRUE(log.Records()[0].text.Contains(tree.message)) << log.Dump();
    }
}

TEST(LogStatus, ShowsNameWordAndTime)
{
    qeltest::TempDir temp;
    const wxString file
        = MakeFile(temp.File("notes 100%.txt"), "2011-03-05 14:07:09"); // not a format
    const wxString time = DateOf(file);

    const struct {
        wxFileName name;
        long flags;
        wxString text;
    } rows[] = {
        {wxFileName(file), 0, "notes 100%.txt Modified " + time},
        {wxFileName(file), STAT_SYNC | STAT_FULLPATH, file + " Synchronized " + time},
        {wxFileName(temp.File("gone.txt")), 0, "gone.txt"},
        {wxFileName(), STAT_FULLPATH, ""}, // nothing at all
    };
    for (const auto& row : rows) {
        qeltest::LogCapture log;
        QelLogStatus(row.name, row.flags);
        wxString text;
        for (const auto& record : log.Records())
            text << (record.level == wxLOG_Status ? "" : "<not a status>") << record.text;
        EXPECT_EQ(text, row.text);
    }
}

TEST(PrintTexts, HeaderShortensThePathAndGivesTheTime)
{
    qeltest::TempDir temp;
    const wxString path
        = MakeFile(temp.File(wxString('d', 100)) + "/file.txt", "2011-03-05 14:07:09");
    const wxString time = DateOf(path);

    const wxString header = QelPrintHeader(wxFileName(path));
    EXPECT_EQ(header.length(), 79u);
    EXPECT_TRUE(header.StartsWith("...")) << header;
    EXPECT_TRUE(header.EndsWith("/file.txt " + time)) << header;

    EXPECT_TRUE(QelPrintHeader(wxFileName(temp.File("unsaved.txt"))).StartsWith("Printed: "));
}

} // namespace
