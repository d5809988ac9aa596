// Opening files through a frame: names, "name:line", wildcards from the
// working folder, and the file dialog, with real files in a temporary folder.
#include <algorithm>
#include <functional>

#include <wx/filename.h>
#include <wx/msgdlg.h>
#include <wx/testing.h>

#include <qelkit/openfiles.h>
#include <qelkit/stc.h>

#include "frames.h"
#include "testing.h"

using qeltest::RecordingFrame;

namespace {

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
    // Existing names are taken as they are, even with "?" or ":"; of others
    // the first ":" of the last component starts the line, a wildcard is kept
    // whole and matched in the folder its path names. Wildcards that match
    // nothing are said, and so are those that cannot be looked for while
    // another folder scan runs.
    const struct {
        std::vector<wxString> names;
        int dir_flags;
        std::vector<std::string> opened;
        wxString said;
        bool scanning = false; // asked for from inside another folder scan
    } rows[] = {
        {{"*.h"}, wxDIR_DEFAULT, {"a.h@0", "sub/b.h@0"}, ""},
        {{"*.h"}, wxDIR_FILES, {"a.h@0"}, ""},
        {{"sub/*.h"}, wxDIR_DEFAULT, {"sub/b.h@0"}, ""},
        {{"./sub/b.?", m_Temp.File("sub/*.h")}, wxDIR_FILES, {"sub/b.h@0", "sub/b.h@0"}, ""},
        {{"q?.txt", "x:5", "n.c:12"}, wxDIR_DEFAULT, {"n.c@12", "q?.txt@0", "x:5@0"}, ""},
        {{"./sub/../a.h", "sub/b.h:2"}, wxDIR_FILES, {"a.h@0", "sub/b.h@2"}, ""},
        {{"none.txt", "notes.txt:abc", "a:b:7"},
         wxDIR_FILES,
         {"a@0", "none.txt@0", "notes.txt@0"},
         ""},
        {{"*.c:10", "/d:x/n.txt:3"}, wxDIR_DEFAULT, {"/d:x/n.txt@3"}, "No file matches: *.c:10"},
        {{"sub/*.c", "none/*.h", "*/b.h", "a.h", "*.x"},
         wxDIR_DEFAULT,
         {"a.h@0"},
         "No file matches 4 patterns: sub/*.c, none/*.h, */b.h, ..."},
        {{"*.h", "a.h"},
         wxDIR_FILES,
         {"a.h@0"},
         "Not opened while another folder scan runs: *.h",
         true},
    };
    // A scan of the folder that opens the names from its first file on.
    class Scan : public QelDir {
    public:
        Scan(const wxString& folder, std::function<void()> open)
            : QelDir(folder, "n.c", wxDIR_FILES)
            , m_Open(std::move(open))
        { }
        void OnFile(const wxString&) override { m_Open(); }

    private:
        std::function<void()> m_Open;
    };
    qeltest::CwdGuard cwd(m_Temp.Path());
    for (const auto& [names, dir_flags, opened, said, scanning] : rows) {
        SCOPED_TRACE(names.front());
        RecordingFrame frame;
        qeltest::LogCapture log;
        const auto open = [&, &names = names, dir_flags = dir_flags] {
            QelOpenFiles(&frame, wxArrayString(names.size(), names.data()), EDITOR_READ_ONLY,
                         dir_flags);
        };
        if (scanning)
            Scan(m_Temp.Path(), open).FindFiles();
        else
            open();
        EXPECT_EQ(Opened(frame), opened);
        for (const auto& open : frame.opens) EXPECT_EQ(open.flags, EDITOR_READ_ONLY);
        EXPECT_EQ(log.Records().size(), said.empty() ? 0u : 1u) << log.Dump();
        EXPECT_TRUE(said.empty() || log.Has(said)) << log.Dump();
    }
}

TEST_F(OpenFilesTest, DialogOpensTheChosenFiles)
{
    const wxString chosen = m_Temp.File("n.c");
    RecordingFrame frame;
    wxTEST_DIALOG(QelOpenFilesDialog(&frame, wxFD_OPEN),
                  wxExpectModal<wxFileDialog>(chosen, wxID_CANCEL));
    EXPECT_TRUE(frame.opens.empty());
    // A changed editor is offered to be saved first; Cancel stops there.
    auto* stc = new QelSTC(&frame, "");
    ASSERT_TRUE(stc->Open(QelFileName(chosen)));
    stc->AppendText("more");
    frame.SetFindFocus(stc);
    wxTEST_DIALOG(QelOpenFilesDialog(&frame, wxFD_OPEN, wxFileSelectorDefaultWildcardStr, true),
                  wxExpectModal<wxMessageDialog>(wxID_CANCEL));
    EXPECT_TRUE(frame.opens.empty());
    wxTEST_DIALOG(QelOpenFilesDialog(&frame, wxFD_OPEN), wxExpectModal<wxFileDialog>(chosen));
    EXPECT_EQ(frame.OpenedPaths(), std::vector<wxString>{chosen});
}

} // namespace
