// The editor's file binding: byte-exact round trips, failed saves, the
// sync prompts, log tails, the hexadecimal view and reading a file in.

#include <gtest/gtest.h>
#include <wx/frame.h>
#include <wx/msgdlg.h>
#include <wx/testing.h>

#include <qelkit/stc.h>

#include "testing.h"

using namespace qeltest;

namespace {

class StcFile : public EditorTest {
protected:
    QelSTC* Open(const wxString& name, const std::string& bytes, long flags = 0)
    {
        return new QelSTC(m_Frame, QelFileName(WriteFile(name, bytes)), 0, "", flags);
    }

    // Moves the file's time on, so that the next check sees a change.
    static void Touch(const QelSTC* stc, int seconds = 2)
    {
        qeltest::Run(wxString::Format("touch -d '+%d sec' ", seconds)
                     + ShellQuote(stc->GetFileName().GetFullPath()));
    }

    // Whether two files hold the same bytes, by cmp.
    static bool Same(const wxString& a, const wxString& b)
    {
        int code = -1;
        qeltest::Run("cmp -s " + ShellQuote(a) + " " + ShellQuote(b), &code);
        return code == 0;
    }
};

// An edit changes the file only where it was made, whatever its bytes.
TEST_F(StcFile, SavesTheBytesItRead)
{
    const struct {
        const char* name;
        std::string bytes;
        int lines;
    } rows[] = {
        {"utf8",
         "Gr\xC3\xBC\xC3\x9F"
         "e\n\xE6\x97\xA5\n",
         3},
        {"latin1", "caf\xE9\nna\xEFve\n", 3},
        {"crlf", "a\r\nb\r\n", 3},
        {"cr", "a\rb\r", 3},
        {"mixed", "a\r\nb\nc\rd", 4},
        {"binary", std::string("\x00\x01\xFF\xFE\x00z\x80\n\r\x00", 10), 3},
        {"crlf across read blocks", std::string((1 << 20) - 1, 'x') + "\r\n\xC3\xA9\r\n", 3},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        QelSTC* stc = Open(row.name, row.bytes);
        EXPECT_EQ(TextBytes(stc), row.bytes);
        EXPECT_EQ(stc->GetLineCount(), row.lines);

        stc->InsertTextRaw(1, "X");
        ASSERT_TRUE(stc->GetFile().FileSave());
        EXPECT_FALSE(stc->GetModify());

        std::string want = row.bytes;
        want.insert(1, "X");
        EXPECT_TRUE(Same(stc->GetFileName().GetFullPath(), WriteFile("want", want)));
    }
}

// A save that cannot be written keeps the document modified, the file as it
// was, and does not claim "Saved".
TEST_F(StcFile, FailedSaveKeepsEverything)
{
    QelSTC* stc = Open("keep.txt", "disk\n");
    const wxString path = stc->GetFileName().GetFullPath();
    stc->AddText("edit");

    LogCapture log;
    EXPECT_FALSE(stc->GetFile().FileSave(QelFileName(m_Temp.File("missing/keep.txt"))));
    EXPECT_EQ(stc->GetFileName().GetFullPath(), path);

    // The file's place taken by a folder: it cannot be replaced.
    wxRemoveFile(path);
    wxMkdir(path);
    EXPECT_FALSE(stc->GetFile().FileSave());
    EXPECT_TRUE(wxDirExists(path));

    EXPECT_TRUE(stc->GetModify());
    EXPECT_EQ(TextBytes(stc), "editdisk\n");
    EXPECT_FALSE(log.Has("Saved")) << log.Dump();
    EXPECT_GE(log.CountLevel(wxLOG_Error), 2u) << log.Dump();
}

TEST_F(StcFile, HexViewIsNeverSavedOverItsFile)
{
    const std::string bytes("\x00\x01text\xFF\n", 8);
    QelSTC* stc = Open("bin.dat", bytes, EDITOR_HEX);
    const wxString path = stc->GetFileName().GetFullPath();
    EXPECT_TRUE(stc->GetReadOnly());
    EXPECT_EQ(TextBytes(stc), QelHexDump(0, bytes.data(), bytes.size(), "\n"));

    EXPECT_FALSE(stc->GetFile().FileSave());
    EXPECT_FALSE(stc->GetFile().FileSave(QelFileName(m_Temp.File("copy.dat"))));
    EXPECT_EQ(ReadBytes(path), bytes);
    EXPECT_FALSE(wxFileExists(m_Temp.File("copy.dat")));

    ASSERT_TRUE(stc->Open(stc->GetFileName(), 0, "", 0));
    ASSERT_TRUE(stc->GetFile().FileSave());
    EXPECT_EQ(ReadBytes(path), bytes);
}

// Unsaved edits and a change on disk: the user decides, and no text is lost
// that the user did not choose to drop.
TEST_F(StcFile, SyncWithEditsAsksFirst)
{
    const struct {
        const char* name;
        int answer;
        bool reloaded;
        const char* shown;
        const char* disk;
        bool modified;
    } rows[] = {
        {"yes saves the edits", wxID_YES, true, "mine old\n", "mine old\n", false},
        {"no loads the disk", wxID_NO, true, "theirs\n", "theirs\n", false},
        {"cancel keeps the edits", wxID_CANCEL, false, "mine old\n", "theirs\n", true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        QelSTC* stc = Open(wxString(row.name) + ".txt", "old\n");
        const wxString path = stc->GetFileName().GetFullPath();
        stc->InsertText(0, "mine ");
        WriteBytes(path, "theirs\n");
        Touch(stc);

        bool reloaded = false;
        wxTEST_DIALOG(reloaded = stc->GetFile().CheckSync(),
                      wxExpectModal<wxMessageDialog>(row.answer));
        EXPECT_EQ(reloaded, row.reloaded);
        EXPECT_EQ(TextBytes(stc), row.shown);
        EXPECT_EQ(ReadBytes(path), row.disk);
        EXPECT_EQ(stc->GetModify(), row.modified);
    }
}

TEST_F(StcFile, GrowingLogGetsItsTail)
{
    const struct {
        const char* name;
        size_t size;
        int caret; // -1: at the end
        bool tail;
        int want_caret;
    } rows[] = {
        {"caret at the end follows", 2000, -1, true, -1},
        {"caret elsewhere stays", 2000, 10, true, 10},
        {"short log is read whole", 500, -1, false, 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        std::string bytes;
        while (bytes.size() < row.size) bytes += "line " + std::to_string(bytes.size()) + "\n";
        QelSTC* stc = Open("t.log", bytes);
        row.caret < 0 ? stc->DocumentEnd() : stc->GotoPos(row.caret);

        // A changed first byte shows whether the whole file was read again.
        std::string grown = "L" + bytes.substr(1) + std::string(100, 'n');
        WriteFile("t.log", grown);
        Touch(stc);
        ASSERT_TRUE(stc->GetFile().CheckSync());

        if (row.tail) grown[0] = bytes[0];
        EXPECT_EQ(TextBytes(stc), grown);
        EXPECT_FALSE(stc->GetModify());
        EXPECT_FALSE(stc->CanUndo());
        EXPECT_EQ(stc->GetCurrentPos(), row.want_caret < 0 ? stc->GetTextLength() : row.want_caret);
    }
}

TEST_F(StcFile, ReadInsertsAFileFromTheBoundFolder)
{
    WriteFile("rel.txt", std::string("in\xE9\n", 4));
    QelSTC* stc = Open("main.txt", "ab");
    stc->GotoPos(1);

    TempDir elsewhere;
    CwdGuard cwd(elsewhere.Path());
    EXPECT_TRUE(static_cast<QelSTCFile&>(stc->GetFile()).Read("rel.txt"));
    EXPECT_EQ(TextBytes(stc), std::string("ain\xE9\nb", 6));

    LogCapture log;
    EXPECT_FALSE(static_cast<QelSTCFile&>(stc->GetFile()).Read("none.txt"));
    EXPECT_TRUE(log.Has("file: " + m_Temp.File("none.txt") + " does not exist")) << log.Dump();
}

TEST_F(StcFile, CatalogBasePathJoinsTheIncludeFolders)
{
    QelSTC* stc = Open("de.po", "msgid \"\"\nmsgstr \"\"\n\"X-Poedit-Basepath: ../src\\n\"\n");
    const wxArrayString& folders = stc->GetPathList();
    EXPECT_NE(folders.Index("../src"), wxNOT_FOUND) << folders.size();
}

} // namespace
