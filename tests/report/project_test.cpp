// The project file format on its own: what is written reads back the same
// (also through another XML parser), any root is read, and a malformed or
// unstorable project is reported and never written.
#include <string>

#include <gtest/gtest.h>

#include <qelkit/report/listviewfile.h>

#include "testing.h"

using qeltest::ReadBytes;
using qeltest::ShellQuote;
using qeltest::WriteBytes;
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

// The entries as Python's own XML parser reads the file, in Show's form.
std::string ParsedByPython(const wxString& path)
{
    const char* script = "import sys, xml.etree.ElementTree as T\n"
                         "for e in T.parse(sys.argv[1]).getroot():\n"
                         "    a = e.get('extensions')\n"
                         "    print(e.tag, e.text, '[' + (a or '') + ']')\n";
    return qeltest::Run("python3 -c " + ShellQuote(script) + " " + ShellQuote(path));
}

class ProjectFileTest : public qeltest::ConfigTest { };

TEST_F(ProjectFileTest, WrittenProjectsReadBackTheSame)
{
    struct Case {
        const char* name; // the project file's name
        Entries entries;
    };
    const Case cases[] = {
        {"files-and-folders.prj",
         {{E::PROJECT_FILE, "/t/a.c", ""},
          {E::PROJECT_FOLDER, "/t/src", "*.c;*.h"},
          {E::PROJECT_FOLDER, "/t/gone", ""},
          {E::PROJECT_FILE, "/t/b.c", ""}}},
        {"a--b.prj", {{E::PROJECT_FILE, "/t/x--y", ""}}},
        {"---.prj", {{E::PROJECT_FOLDER, "/t/-", "-*--"}}},
        {"marks.prj",
         {{E::PROJECT_FILE, "/t/a&b <c> \"d\" 'e'.txt", ""},
          {E::PROJECT_FOLDER, L"/t/caf\u00e9 \u65e5\u672c", L"*.\u00e9;* .x"},
          {E::PROJECT_FILE, "/t/line\rfeed\tand\ttab", ""}}},
        {"empty.prj", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const wxString path = m_Temp.File(c.name);
        ASSERT_TRUE(QelProjectFile::Write(path, c.entries));

        Entries read{{E::PROJECT_FILE, "stale", ""}};
        wxString error;
        ASSERT_TRUE(QelProjectFile::Read(path, &read, &error)) << error;
        EXPECT_EQ(Show(read), Show(c.entries));
        EXPECT_EQ(ParsedByPython(path), Show(c.entries));

        // The root, then the comment naming the project, then the rows.
        const std::string text = ReadBytes(path);
        EXPECT_EQ(text.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<files>\n  <!--", 0), 0u)
            << text;
        EXPECT_NE(text.find(QelProjectFile::CommentText(c.name).ToStdString()), std::string::npos);
    }
}

TEST_F(ProjectFileTest, CommentsNeverHoldTwoDashes)
{
    const struct {
        const char* text;
        const char* comment;
    } cases[] = {
        {"a--b.prj", "a- -b.prj"},
        {"a---b", "a- - -b"},
        {"x-", "x- "},
        {"plain name", "plain name"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(QelProjectFile::CommentText(c.text), c.comment) << c.text;
    }
}

TEST_F(ProjectFileTest, AnyRootIsReadAndOtherNodesSkipped)
{
    struct Case {
        const char* name;
        const char* xml;
        Entries entries;
    };
    const Case cases[] = {
        {"project root",
         "<project><file>/a</file><folder extensions=\"*.h\">/b</folder></project>",
         {{E::PROJECT_FILE, "/a", ""}, {E::PROJECT_FOLDER, "/b", "*.h"}}},
        {"folder without extensions",
         "<files><folder>/b</folder></files>",
         {{E::PROJECT_FOLDER, "/b", ""}}},
        {"other nodes",
         "<files><!-- c --><other>/x</other>text<file>/a</file><file/><?pi x?></files>",
         {{E::PROJECT_FILE, "/a", ""}}},
        {"blanks kept", "<files><file> /a b </file></files>", {{E::PROJECT_FILE, " /a b ", ""}}},
        {"Latin-1 declared",
         "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><files><file>/caf\xe9</file></files>",
         {{E::PROJECT_FILE, L"/caf\u00e9", ""}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Entries read;
        wxString error;
        ASSERT_TRUE(QelProjectFile::Parse(c.xml, &read, &error)) << error;
        EXPECT_EQ(Show(read), Show(c.entries));
    }
}

TEST_F(ProjectFileTest, MalformedProjectsAreReportedWithNameAndLine)
{
    const struct {
        const char* name;
        const char* xml;
        int line;
    } cases[] = {
        {"two-dashes.prj", "<?xml version=\"1.0\"?>\n<files>\n  <!-- a--b -->\n</files>\n", 3},
        {"unclosed.prj", "<files>\n  <file>/a</file>\n  <file>/b\n</files>\n", 4},
        {"empty.prj", "", 1},
        {"text.prj", "just text\n", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const wxString path = m_Temp.File(c.name);
        ASSERT_TRUE(WriteBytes(path, c.xml));
        Entries read{{E::PROJECT_FILE, "stale", ""}};
        wxString error;
        qeltest::LogCapture log;
        EXPECT_FALSE(QelProjectFile::Read(path, &read, &error));
        EXPECT_TRUE(read.empty());
        EXPECT_TRUE(error.Contains(path)) << error;
        EXPECT_TRUE(error.Contains(wxString::Format("line %d", c.line))) << error;
        EXPECT_EQ(log.Records().size(), 0u) << log.Dump(); // the caller reports it
        EXPECT_EQ(ReadBytes(path), c.xml);
    }
    Entries read;
    wxString error;
    EXPECT_FALSE(QelProjectFile::Read(m_Temp.File("missing.prj"), &read, &error));
    EXPECT_TRUE(error.Contains(m_Temp.File("missing.prj"))) << error;
}

TEST_F(ProjectFileTest, SavesReplaceTheFileKeepingItsModeAndLink)
{
    const wxString target = m_Temp.File("real.prj"), link = m_Temp.File("link.prj");
    ASSERT_TRUE(WriteBytes(target, "<files/>\n"));
    ASSERT_EQ(chmod(target.fn_str(), 0640), 0);
    ASSERT_EQ(symlink(target.fn_str(), link.fn_str()), 0);

    const Entries entries{{E::PROJECT_FILE, "/t/a", ""}};
    ASSERT_TRUE(QelProjectFile::Write(link, entries));
    EXPECT_EQ(qeltest::Run("stat -c %a " + ShellQuote(target)), "640\n");
    EXPECT_EQ(qeltest::Run("test -L " + ShellQuote(link) + " && echo link"), "link\n");
    Entries read;
    wxString error;
    ASSERT_TRUE(QelProjectFile::Read(target, &read, &error)) << error;
    EXPECT_EQ(Show(read), Show(entries));
    EXPECT_EQ(qeltest::Run("ls -A " + ShellQuote(m_Temp.Path())), "link.prj\nreal.prj\n");
}

TEST_F(ProjectFileTest, NamesTheDocumentCannotHoldAreNeverWritten)
{
    const wxString path = m_Temp.File("p.prj");
    const std::string before = "<files><file>/old</file></files>\n";
    const Entries cases[] = {
        {{E::PROJECT_FILE, "/t/a\x01z", ""}},
        {{E::PROJECT_FILE, "/t/a\x0bz", ""}},
        {{E::PROJECT_FOLDER, "/t/d", "*.c\x1f"}},
    };
    for (const Entries& entries : cases) {
        SCOPED_TRACE(Show(entries));
        ASSERT_TRUE(WriteBytes(path, before));
        qeltest::LogCapture log;
        EXPECT_FALSE(QelProjectFile::Write(path, entries));
        EXPECT_TRUE(log.Has(path)) << log.Dump();
        EXPECT_EQ(ReadBytes(path), before);
    }
    EXPECT_EQ(qeltest::Run("ls -A " + ShellQuote(m_Temp.Path())), "p.prj\n");
}

} // namespace
