// Opening files through a frame: names, "name:line", wildcards from the
// working folder, and the file dialog, with real files in a temporary folder.
#include <algorithm>

#include <wx/filename.h>
#include <wx/msgdlg.h>
#include <wx/testing.h>

#include <qelkit/openfiles.h>
#include <qelkit/stc.h>

#include "frames.h"
#include "testing.h"

using qeltest::RecordingFrame;

namespace {

TEST(OpenName, ReadsWildcardsAndLines)
{
    using Kind = QelOpenName::Kind;
    struct Row {
        const char* name;
        const char* text;
        bool exists;
        Kind kind;
        const char* file;
        int line;
    };
    const Row rows[] = {
        {"LineNumber", "notes.txt:120", false, Kind::file, "notes.txt", 120},
        {"NoDigits", "notes.txt:abc", false, Kind::file, "notes.txt", 0},
        {"FirstColon", "a:b:7", false, Kind::file, "a", 0},
        {"ExistingWithColon", "x:5", true, Kind::file, "x:5", 0},
        {"WildcardKeepsSuffix", "*.c:10", false, Kind::wildcard, "*.c:10", 0},
        {"ExistingWithQuestionMark", "q?.txt", true, Kind::file, "q?.txt", 0},
        {"MissingWithQuestionMark", "q?.txt", false, Kind::wildcard, "q?.txt", 0},
        {"ColonInFolder", "/d:x/n.txt:3", false, Kind::file, "/d:x/n.txt", 3},
        {"Plain", "plain", false, Kind::file, "plain", 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const QelOpenName open = QelParseOpenName(row.text, row.exists);
        EXPECT_EQ(open.kind, row.kind);
        EXPECT_EQ(open.name, row.file);
        EXPECT_EQ(open.line, row.line);
    }
}

class OpenFilesTest : public qeltest::ConfigTest {
protected:
    void SetUp() override
    {
        ConfigTest::SetUp();
        ASSERT_TRUE(wxMkdir(m_Temp.File("sub")));
        for (const char* name : {"a.h", "sub/b.h", "q?.txt", "x:5", "n.c"})
            ASSERT_TRUE(qeltest::WriteBytes(m_Temp.File(name), "text\n"));
    }

    // The opened paths relative to the folder, sorted, with their lines.
    std::vector<std::string> Opened(const RecordingFrame& frame) const
    {
        std::vector<std::string> opened;
        for (const auto& open : frame.opens) {
            wxString path = open.path;
            path.Replace(m_Temp.Path() + "/", "");
            opened.push_back(wxString::Format("%s@%d", path, open.line).utf8_string());
        }
        std::sort(opened.begin(), opened.end());
        return opened;
    }
};

TEST_F(OpenFilesTest, NamesFromTheWorkingFolder)
{
    struct Row {
        const char* name;
        std::vector<wxString> names;
        int dir_flags;
        std::vector<std::string> opened;
    };
    const Row rows[] = {
        {"WildcardRecursive", {"*.h"}, wxDIR_DEFAULT, {"a.h@0", "sub/b.h@0"}},
        {"WildcardFolderOnly", {"*.h"}, wxDIR_FILES, {"a.h@0"}},
        {"WildcardWithFolderPart", {"sub/*.h"}, wxDIR_DEFAULT, {}},
        {"ExistingQuestionMark", {"q?.txt"}, wxDIR_DEFAULT, {"q?.txt@0"}},
        {"ExistingColon", {"x:5"}, wxDIR_DEFAULT, {"x:5@0"}},
        {"RelativeLine", {"n.c:12"}, wxDIR_DEFAULT, {"n.c@12"}},
        {"Normalised", {"./sub/../a.h", "sub/b.h:2"}, wxDIR_FILES, {"a.h@0", "sub/b.h@2"}},
        {"Missing", {"none.txt"}, wxDIR_FILES, {"none.txt@0"}},
        {"Empty", {}, wxDIR_DEFAULT, {}},
    };
    qeltest::CwdGuard cwd(m_Temp.Path());
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        RecordingFrame frame;
        wxArrayString names;
        for (const auto& name : row.names) names.push_back(name);
        QelOpenFiles(&frame, names, EDITOR_READ_ONLY, row.dir_flags);
        EXPECT_EQ(Opened(frame), row.opened);
        for (const auto& open : frame.opens) EXPECT_EQ(open.flags, EDITOR_READ_ONLY);
    }
}

// Opens a wildcard again from inside the scan of another.
class NestingFrame : public RecordingFrame {
public:
    bool OpenFile(const QelFileName& filename, int line, const wxString& match, long flags) override
    {
        if (opens.empty()) {
            wxArrayString names;
            names.push_back("*.c");
            QelOpenFiles(this, names, 0, wxDIR_FILES);
        }
        return RecordingFrame::OpenFile(filename, line, match, flags);
    }
};

TEST_F(OpenFilesTest, WildcardDuringAScanOpensNothing)
{
    qeltest::CwdGuard cwd(m_Temp.Path());
    NestingFrame frame;
    wxArrayString names;
    names.push_back("*.h");
    QelOpenFiles(&frame, names, 0, wxDIR_FILES);
    EXPECT_EQ(Opened(frame), std::vector<std::string>{"a.h@0"});
}

TEST_F(OpenFilesTest, DialogOpensTheChosenFiles)
{
    const wxString chosen = m_Temp.File("n.c");
    {
        RecordingFrame frame;
        wxTEST_DIALOG(QelOpenFilesDialog(&frame, wxFD_OPEN),
                      wxExpectModal<wxFileDialog>(chosen, wxID_CANCEL));
        EXPECT_TRUE(frame.opens.empty());
        wxTEST_DIALOG(QelOpenFilesDialog(&frame, wxFD_OPEN), wxExpectModal<wxFileDialog>(chosen));
        EXPECT_EQ(frame.OpenedPaths(), std::vector<wxString>{chosen});
    }
    {
        // A changed editor is offered to be saved first; Cancel stops there.
        RecordingFrame frame;
        auto* stc = new QelSTC(&frame, "");
        ASSERT_TRUE(stc->Open(QelFileName(chosen)));
        stc->AppendText("more");
        frame.SetFindFocus(stc);
        wxTEST_DIALOG(QelOpenFilesDialog(&frame, wxFD_OPEN, wxFileSelectorDefaultWildcardStr, true),
                      wxExpectModal<wxMessageDialog>(wxID_CANCEL));
        EXPECT_TRUE(frame.opens.empty());
        EXPECT_EQ(qeltest::ReadBytes(chosen), "text\n");
    }
}

} // namespace
