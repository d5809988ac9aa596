// The project file format on its own: what is written reads back the same
// (also through Python's XML parser), any root is read, and a malformed or
// unstorable project is reported and never written.
#include <cstdio>
#include <cstdlib>
#include <string>

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>
#include <wx/stopwatch.h>

#include <qelkit/report/listviewfile.h>

#include "testing.h"

using qeltest::ReadBytes;
using qeltest::ShellQuote;
using E = QelProjectEntry;
using Entries = QelProjectFile::Entries;

namespace {

std::string Show(const Entries& entries)
{
    std::string text;
    for (const E& e : entries) {
        text += (e.kind == E::PROJECT_FILE ? "file " : "folder ") + e.path.utf8_string() + " ["
            + e.spec.utf8_string() + "]\n";
    }
    return text;
}

class ProjectFileTest : public qeltest::ConfigTest { };

TEST_F(ProjectFileTest, WrittenProjectsReadBackTheSame)
{
    // The name of the project file, in its comment, has no "--".
    const struct {
        const char *name, *comment;
        Entries entries;
    } cases[] = {
        {"a--b.prj", "a- -b.prj", {{E::PROJECT_FILE, "/t/x--y", ""}}},
        {"x---", "x- - -", {{E::PROJECT_FOLDER, "/t/-", "-*--"}}},
        {"marks.prj",
         "marks.prj",
         {{E::PROJECT_FILE, "/t/a&b <c> \"d\" 'e'.txt", ""},
          {E::PROJECT_FOLDER, L"/t/caf\u00e9 \u65e5\u672c", L"*.\u00e9;* .x"},
          {E::PROJECT_FILE, "/t/line\rfeed\tand\ttab", ""}}},
        {"empty.prj", "empty.prj", {}},
    };
    const char* python = "import sys, xml.etree.ElementTree as T\n"
                         "for e in T.parse(sys.argv[1]).getroot():\n"
                         "    print(e.tag, e.text, '[' + (e.get('extensions') or '') + ']')\n";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const wxString path = m_Temp.File(c.name);
        ASSERT_TRUE(QelProjectFile::Write(path, c.entries));
        Entries read{{E::PROJECT_FILE, "stale", ""}};
        wxString error;
        ASSERT_TRUE(QelProjectFile::Read(path, &read, &error)) << error;
        EXPECT_EQ(Show(read), Show(c.entries));
        EXPECT_EQ(qeltest::Run("python3 -c " + ShellQuote(python) + " " + ShellQuote(path)),
                  Show(c.entries));
        const std::string text = ReadBytes(path);
        EXPECT_NE(text.find(std::string(" project ") + c.comment + " "), std::string::npos) << text;
    }
}

TEST_F(ProjectFileTest, AnyRootIsReadAndOtherNodesSkipped)
{
    std::string lines;
    while (lines.size() < 4 << 20) lines += "a\n";
    const std::string spec(4 << 20, 'x');
    const struct {
        std::string xml;
        Entries entries;
    } cases[] = {
        {"<project><file>/a</file><folder extensions=\"*.h\">/b</folder></project>",
         {{E::PROJECT_FILE, "/a", ""}, {E::PROJECT_FOLDER, "/b", "*.h"}}},
        {"<files><!-- c --><other>/x</other>text<file>/a</file><file/><?pi x?></files>",
         {{E::PROJECT_FILE, "/a", ""}}},
        {"<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><files><file> /caf\xe9 </file></files>",
         {{E::PROJECT_FILE, L" /caf\u00e9 ", ""}}},
        {"<?xml version=\"1.0\" encoding=\"windows-1252\"?><files><file>/\x80</file></files>",
         {{E::PROJECT_FILE, L"/\u20ac", ""}}},
        // As deep as a document may nest.
        {"<files><file>/a</file>" + qeltest::NestedXml(999) + "</files>",
         {{E::PROJECT_FILE, "/a", ""}}},
        // Values of 4 MB: a text of many lines, an attribute, a text of one line.
        {"<files><folder extensions=\"" + spec + "\">/" + lines + "</folder><file>/" + spec
             + "</file></files>",
         {{E::PROJECT_FOLDER, "/" + lines, spec}, {E::PROJECT_FILE, "/" + spec, ""}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.xml.substr(0, 80));
        Entries read;
        wxString error;
        // Reading takes time in proportion to the size, however long a value.
        const wxStopWatch watch;
        ASSERT_TRUE(QelProjectFile::Parse(c.xml, &read, &error)) << error;
        EXPECT_LT(watch.Time(), 3000);
        const std::string got = Show(read), want = Show(c.entries);
        EXPECT_TRUE(got == want) << got.substr(0, 200) << "\nnot\n" << want.substr(0, 200);
    }
}

TEST_F(ProjectFileTest, MalformedOrUnstorableProjectsAreReportedAndNotWritten)
{
    const struct {
        std::string xml;
        int line;
    } malformed[] = {
        {"<files>\n  <file>/a</file>\n  <file>/b\n</files>\n", 4},
        {"", 1},
        {qeltest::NestedXml(1001), 1001},
    };
    const wxString path = m_Temp.File("p.prj");
    for (const auto& c : malformed) {
        SCOPED_TRACE(c.xml);
        ASSERT_TRUE(qeltest::WriteBytes(path, c.xml));
        Entries read{{E::PROJECT_FILE, "stale", ""}};
        wxString error;
        EXPECT_FALSE(QelProjectFile::Read(path, &read, &error));
        EXPECT_TRUE(read.empty());
        EXPECT_TRUE(error.Contains(path) && error.Contains(wxString::Format("line %d", c.line)))
            << error;
    }

    // What cannot be read is named with the system's reason, never the
    // handle's descriptor. A folder once ended the program, and a FIFO kept
    // it waiting for a writer: they are read in a child process, which an
    // alarm ends if it waits.
    const wxString missing = m_Temp.File("missing.prj");
    Entries read;
    wxString error;
    EXPECT_FALSE(QelProjectFile::Read(missing, &read, &error));
    EXPECT_EQ(error.utf8_string(),
              "Cannot load project '" + missing.utf8_string() + "': No such file or directory");
    // Nor is a file read that would not fit into memory.
    const wxString huge = m_Temp.File("huge.prj");
    qeltest::Run("truncate -s 1G " + qeltest::ShellQuote(huge));
    EXPECT_FALSE(QelProjectFile::Read(huge, &read, &error));
    EXPECT_TRUE(error.EndsWith("': more than 268435456 bytes")) << error;
    wxRemoveFile(huge);
    const wxString fifo = m_Temp.File("fifo.prj");
    ASSERT_EQ(mkfifo(fifo.fn_str(), 0600), 0);
    EXPECT_EXIT(
        {
            alarm(10);
            bool refused = true;
            for (const wxString& path : {m_Temp.Path(), fifo}) {
                refused = !QelProjectFile::Read(path, &read, &error) && refused;
                fprintf(stderr, "%s\n", error.utf8_str().data());
            }
            std::exit(refused ? 0 : 1);
        },
        testing::ExitedWithCode(0),
        "Cannot load project '.*': not a regular file\n"
        "Cannot load project '.*fifo.prj': not a regular file\n");
    ASSERT_EQ(unlink(fifo.fn_str()), 0);

    // A control character cannot be held by XML 1.0, not even escaped.
    const std::string before = "<files><file>/old</file></files>\n";
    for (const Entries& entries : {Entries{{E::PROJECT_FILE, "/t/a\x01z", ""}},
                                   Entries{{E::PROJECT_FOLDER, "/t/d", "*.c\x1f"}}}) {
        SCOPED_TRACE(Show(entries));
        ASSERT_TRUE(qeltest::WriteBytes(path, before));
        qeltest::LogCapture log;
        EXPECT_FALSE(QelProjectFile::Write(path, entries));
        EXPECT_TRUE(log.Has(path)) << log.Dump();
        EXPECT_EQ(ReadBytes(path), before);
    }
    EXPECT_EQ(qeltest::Run("ls -A " + ShellQuote(m_Temp.Path())), "p.prj\n");
}

} // namespace
