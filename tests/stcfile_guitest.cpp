// The editor's file binding: byte-exact round trips, failed saves, the
// sync prompts, log tails, the hexadecimal view and reading a file in.

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

#include <gtest/gtest.h>
#include <wx/frame.h>
#include <wx/msgdlg.h>
#include <wx/testing.h>

#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include <qelkit/file.h>
#include <qelkit/stc.h>
#include <qelkit/vi.h>

#include "testing.h"

using namespace qeltest;

namespace {

class StcFile : public EditorTest {
protected:
    QelSTC* Open(const wxString& name, const std::string& bytes, long flags = 0)
    {
        return new QelSTC(m_Frame, QelFileName(WriteFile(name, bytes)), 0, "", flags);
    }

    // Whether two files hold the same bytes, by cmp.
    static bool Same(const wxString& a, const wxString& b)
    {
        int code = -1;
        qeltest::Run("cmp -s " + ShellQuote(a) + " " + ShellQuote(b), &code);
        return code == 0;
    }
};

// An edit changes the file only where it was made, whatever its bytes: no
// conversion of characters or line ends, nothing lost between read blocks.
TEST_F(StcFile, SavesTheBytesItRead)
{
    for (const std::string& bytes :
         {std::string("Gr\xC3\xBC\xC3\x9F"
                      "e\r\n\xE6\x97\xA5\n"),
          std::string("\x00\x01\xFF\xE9\x00z\x80\n\r\nc\rd\x00", 14),
          // CR LF across read blocks, after lines short enough to be shown as text.
          [] {
              std::string lines((1 << 20) - 1, 'x');
              for (size_t end = 99; end < lines.size(); end += 100) lines[end] = '\n';
              return lines;
          }() + "\r\n\xC3\xA9\r\n"}) {
        SCOPED_TRACE(bytes.substr(0, 12));
        QelSTC* stc = Open(wxString::Format("f%zu", bytes.size()), bytes);
        EXPECT_EQ(TextBytes(stc), bytes);
        stc->InsertTextRaw(1, "X");
        ASSERT_TRUE(stc->GetFile().FileSave());
        EXPECT_FALSE(stc->GetModify());
        std::string want = bytes;
        want.insert(1, "X");
        EXPECT_TRUE(Same(stc->GetFileName().GetFullPath(), WriteFile("want", want)));
    }
}

// A save that cannot be written keeps the document modified and does not
// claim "Saved" (the failures of the save itself: FileBinding tests).
TEST_F(StcFile, FailedSaveKeepsEverything)
{
    QelSTC* stc = Open("keep.txt", "disk\n");
    const wxString path = stc->GetFileName().GetFullPath();
    stc->AddText("edit");
    // The file's place taken by a folder: it cannot be replaced.
    ASSERT_TRUE(wxRemoveFile(path) && wxMkdir(path));
    LogCapture log;
    EXPECT_FALSE(stc->GetFile().FileSave());
    EXPECT_TRUE(stc->GetModify());
    EXPECT_EQ(TextBytes(stc), "editdisk\n");
    EXPECT_FALSE(log.Has("Saved")) << log.Dump();
    EXPECT_TRUE(log.Has(path)) << log.Dump();
}

// The dump is no content: saving it is refused (the save hook does not tell
// save from save as).
TEST_F(StcFile, HexViewIsNeverSavedOverItsFile)
{
    const std::string bytes("\x00\x01text\xFF\n", 8);
    QelSTC* stc = Open("bin.dat", bytes, EDITOR_HEX);
    const wxString path = stc->GetFileName().GetFullPath();
    EXPECT_FALSE(stc->GetFile().FileSave(QelFileName(m_Temp.File("copy.dat"))));
    EXPECT_FALSE(wxFileExists(m_Temp.File("copy.dat")));

    ASSERT_TRUE(stc->Open(stc->GetFileName(), 0, "", 0));
    ASSERT_TRUE(stc->GetFile().FileSave());
    EXPECT_EQ(ReadBytes(path), bytes);
}

// Two editors on one document (a split view) follow their file as one: a
// save by one is no change on disk to the other, whose reload would drop
// the undo; a change on disk is read once (a log's tail only once, also
// after a save) and asked about once; a dump is the view's own.
TEST_F(StcFile, SplitViewsFollowTheirFileAsOne)
{
    const std::string log(2000, 'x');
    QelSTC* a = Open("split.log", log);
    auto* b = new QelSTC(*a);
    const wxString path = a->GetFileName().GetFullPath();
    const auto untouched = [](QelSTC* stc) { // neither asked nor read again
        bool asked = false, reloaded = true;
        wxTEST_DIALOG(
            reloaded = stc->GetFile().CheckSync(),
            ExpectAnswer<wxMessageDialog>([&](auto*) { asked = true; }, wxID_CANCEL).Optional());
        return !asked && !reloaded;
    };
    b->AppendText("\nnew");
    EXPECT_EQ(TextBytes(a), log + "\nnew");
    ASSERT_TRUE(a->GetFile().FileSave());
    EXPECT_TRUE(untouched(b));
    EXPECT_TRUE(b->CanUndo());

    ASSERT_TRUE(WriteBytes(path, log + "\nnew\ntail"));
    EXPECT_TRUE(a->GetFile().CheckSync());
    EXPECT_TRUE(untouched(b));
    EXPECT_EQ(TextBytes(b), log + "\nnew\ntail");

    b->AppendText(" mine");
    ASSERT_TRUE(WriteBytes(path, "theirs\n"));
    wxTEST_DIALOG(EXPECT_FALSE(a->GetFile().CheckSync()),
                  wxExpectModal<wxMessageDialog>(wxID_CANCEL));
    EXPECT_TRUE(untouched(b));

    QelSTC* text = Open("dump.txt", "text\n");
    auto* view = new QelSTC(*text);
    ASSERT_TRUE(text->Reload(text->GetFlags() | EDITOR_HEX));
    EXPECT_EQ(TextBytes(view), "text\n");
    EXPECT_FALSE(view->GetReadOnly() || (view->GetFlags() & EDITOR_HEX));

    // The vi marks of a view saved under another name go along into its
    // own document, to their lines; the other view keeps its own alone.
    QelSTC* first = Open("marks.txt", "1\n2\n3\n4\n5\n");
    auto* second = new QelSTC(*first);
    first->GetVi().PutMark('b', 1);
    second->GetVi().PutMark('a', 3);
    ASSERT_TRUE(second->GetFile().FileSave(QelFileName(m_Temp.File("marks2.txt"))));
    ASSERT_NE(first->GetDocPointer(), second->GetDocPointer());
    second->GetVi().Use(true);
    PressKey(second, '\'', '\'');
    PressKey(second, 'A', 'a');
    EXPECT_EQ(second->GetCurrentLine(), 3);
    EXPECT_EQ(second->GetVi().GetBellCount(), 0);
    EXPECT_EQ(first->MarkerGet(3), 0);
    EXPECT_EQ(first->GetVi().TakeMarks(0, 5),
              (std::vector<std::pair<wxUniChar, int>>{{wxUniChar('b'), 1}}));
}

// Unsaved edits and a change on disk, met by a check or by a save: the user
// decides, and no text is lost that the user did not choose to drop. Another
// editor changed on disk asks when the question is answered, not inside it.
TEST_F(StcFile, ChangeOnDiskUnderEditsAsksFirst)
{
    // The answer; what a check and a save return; what is shown, what is on disk.
    using Row = std::tuple<int, bool, bool, const char*, const char*>;
    for (const auto& [answer, reloaded, saved, shown, disk] :
         {Row{wxID_YES, true, true, "mine old\n", "mine old\n"},
          Row{wxID_NO, true, false, "theirs\n", "theirs\n"},
          Row{wxID_CANCEL, false, false, "mine old\n", "theirs\n"}}) {
        for (const bool save : {false, true}) {
            SCOPED_TRACE(wxString::Format("%d %s", answer, save ? "save" : "check"));
            QelSTC* stc = Open(wxString::Format("%d%d.txt", answer, save), "old\n");
            QelSTC* other = Open(wxString::Format("other%d%d.txt", answer, save), "old\n");
            for (QelSTC* changed : {stc, other}) {
                changed->InsertText(0, "mine ");
                WriteBytes(changed->GetFileName().GetFullPath(), "theirs\n");
            }

            bool result = false, nested = true;
            const auto check_other
                = [&](wxMessageDialog*) { nested = other->GetFile().CheckSync(); };
            wxTEST_DIALOG(result = save ? stc->GetFile().FileSave() : stc->GetFile().CheckSync(),
                          ExpectAnswer<wxMessageDialog>(check_other, answer));
            EXPECT_FALSE(nested);
            wxTEST_DIALOG(other->GetFile().CheckSync(),
                          wxExpectModal<wxMessageDialog>(wxID_CANCEL));
            EXPECT_EQ(result, save ? saved : reloaded);
            EXPECT_EQ(TextBytes(stc), shown);
            EXPECT_EQ(ReadBytes(stc->GetFileName().GetFullPath()), disk);
            EXPECT_EQ(stc->GetModify(), answer == wxID_CANCEL);
            EXPECT_FALSE(stc->GetFile().CheckSync()); // that change was answered
        }
    }
}

// A save in place killed as it wrote (by the signal of the size limit)
// left the old text in a copy beside the file. Opening the file says where,
// last in the status line; a save asks whether to delete the copy (Yes),
// keep it (No) or not to save (Cancel).
TEST_F(StcFile, CopyLeftByAKilledSaveIsToldAndAskedAbout)
{
    using Row = std::tuple<int, bool, bool>; // the answer, saved, the copy kept
    for (const auto& [answer, saved, kept] :
         {Row{wxID_YES, true, false}, Row{wxID_NO, true, true}, Row{wxID_CANCEL, false, true}}) {
        SCOPED_TRACE(answer);
        TempDir folder;
        const wxString path = folder.File("f.txt");
        ASSERT_TRUE(WriteBytes(path, "old\n"));
        ASSERT_EQ(link(path.fn_str(), folder.File("g.txt").fn_str()), 0);
        const pid_t child = fork();
        if (child == 0) {
            const rlimit limit{4096, 4096};
            setrlimit(RLIMIT_FSIZE, &limit);
            signal(SIGXFSZ, SIG_DFL);
            const std::string text(64 * 1024, 'n');
            _exit(QelWriteFileAtomic(path, text.data(), text.size()) ? 0 : 1);
        }
        int status = 0;
        ASSERT_TRUE(waitpid(child, &status, 0) == child && WIFSIGNALED(status)) << status;
        const std::string name = qeltest::Run("cd " + ShellQuote(folder.Path()) + " && ls -A .f*");
        const wxString copy = folder.File(wxString::FromUTF8(name.substr(0, name.size() - 1)));

        LogCapture log;
        QelSTC* stc = new QelSTC(m_Frame, QelFileName(path));
        ASSERT_FALSE(log.Records().empty());
        const LogCapture::Record said = log.Records().back();
        EXPECT_TRUE(said.level == wxLOG_Status && said.text.Contains("'" + copy + "'"))
            << log.Dump();
        // Read again on the way back from the dump: told once is enough.
        log.Clear();
        ASSERT_TRUE(stc->Reload(stc->GetFlags() | EDITOR_HEX));
        ASSERT_TRUE(stc->Reload(stc->GetFlags() & ~EDITOR_HEX));
        EXPECT_FALSE(log.Has(copy)) << log.Dump();

        stc->DocumentEnd();
        stc->AddText("mine");
        wxString asked;
        bool result = false;
        wxTEST_DIALOG(result = stc->GetFile().FileSave(),
                      ExpectAnswer<wxMessageDialog>(
                          [&](wxMessageDialog* dialog) { asked = dialog->GetMessage(); }, answer));
        EXPECT_TRUE(asked.Contains(copy)) << asked;
        EXPECT_EQ(result, saved);
        EXPECT_EQ(stc->GetModify(), !saved);
        EXPECT_EQ(ReadBytes(path), std::string(4096, 'n') + (saved ? "mine" : ""));
        EXPECT_EQ(ReadBytes(copy), kept ? "old\n" : "");
    }
}

// Idle work follows only what is shown: a hidden editor leaves its file
// alone until it is shown again.
TEST_F(StcFile, OnlyAShownEditorFollowsItsFile)
{
    m_Frame->Show();
    QelSTC* shown = Open("shown.txt", "old\n");
    QelSTC* hidden = Open("hidden.txt", "old\n");
    hidden->Hide();
    for (QelSTC* stc : {shown, hidden}) WriteBytes(stc->GetFileName().GetFullPath(), "theirs\n");
    EXPECT_TRUE(PumpUntil([&] { return TextBytes(shown) == "theirs\n"; }, 3000));
    EXPECT_EQ(TextBytes(hidden), "old\n");
    hidden->Show();
    EXPECT_TRUE(PumpUntil([&] { return TextBytes(hidden) == "theirs\n"; }, 3000));
}

// Without idle time (no idle events reach the editors) the timer follows a
// shown editor alone: also one that was hidden and is shown again.
TEST_F(StcFile, TimerFollowsAnEditorShownAgain)
{
    m_Frame->Show();
    QelSTC* stc = Open("again.txt", "old\n");
    stc->Hide();
    stc->Show();
    wxIdleEvent::SetMode(wxIDLE_PROCESS_SPECIFIED);
    WriteBytes(stc->GetFileName().GetFullPath(), "theirs\n");
    const bool followed = PumpUntil([&] { return TextBytes(stc) == "theirs\n"; }, 3000);
    wxIdleEvent::SetMode(wxIDLE_PROCESS_ALL);
    EXPECT_TRUE(followed);
}

// A grown log gets only its tail read, and the caret at the end follows it;
// one of up to 1024 bytes is read whole.
TEST_F(StcFile, GrowingLogGetsItsTail)
{
    using Row = std::tuple<size_t, int, bool, int>; // size, caret (-1: the end), tail, caret after
    for (const auto& [size, caret, tail, after] :
         {Row{2000, -1, true, -1}, Row{2000, 10, true, 10}, Row{500, -1, false, 0},
          Row{1024, -1, false, 0}, Row{1025, -1, true, -1}}) {
        SCOPED_TRACE(size + caret);
        std::string bytes;
        while (bytes.size() < size) bytes += "line " + std::to_string(bytes.size()) + "\n";
        bytes.resize(size);
        QelSTC* stc = Open("t.log", bytes);
        caret < 0 ? stc->DocumentEnd() : stc->GotoPos(caret);
        // A changed first byte shows whether the whole file was read again.
        std::string grown = "L" + bytes.substr(1) + std::string(100, 'n');
        WriteFile("t.log", grown);
        ASSERT_TRUE(stc->GetFile().CheckSync());
        if (tail) grown[0] = bytes[0];
        EXPECT_EQ(TextBytes(stc), grown);
        EXPECT_FALSE(stc->GetModify() || stc->CanUndo());
        EXPECT_EQ(stc->GetCurrentPos(), after < 0 ? stc->GetTextLength() : after);
    }
}

// A file larger than the editor or its dump can hold is refused unread, with
// its name and the limit; so is one to be read into the document, and one
// with a line longer than the editor lays out (NUL bytes: no line end). One
// read in whose line is too heavy to lay out in time is refused too.
TEST_F(StcFile, TooLargeFileIsRefusedUnread)
{
    const wxString huge = m_Temp.File("huge"), big = m_Temp.File("big"), wide = m_Temp.File("wide");
    const wxString heavy = WriteFile("heavy", std::string(QelEditorMaxLineWeight(), 'x') + "\x01");
    qeltest::Run("truncate -s 2G " + ShellQuote(huge) + "; truncate -s 500M " + ShellQuote(big)
                 + "; truncate -s 64M " + ShellQuote(wide) + "; printf 'x\\n' >>"
                 + ShellQuote(wide));
    QelSTC* stc = Open("small.txt", "x");
    const std::pair<wxString, long> rows[]
        = {{huge, 0L}, {big, EDITOR_HEX}, {huge, -1L}, {wide, 0L}, {wide, -1L}, {heavy, -1L}};
    for (const auto& [path, flags] : rows) {
        SCOPED_TRACE(path + wxString::Format(" %ld", flags));
        LogCapture log;
        const bool read = flags < 0 ? static_cast<QelSTCFile&>(stc->GetFile()).Read(path)
                                    : stc->Open(QelFileName(path), 0, "", flags);
        EXPECT_FALSE(read);
        EXPECT_EQ(stc->GetTextLength(), 1); // not the text: it may be 64 MB
        EXPECT_EQ(stc->GetFileName().GetFullName(), "small.txt");
        const wxFileOffset limit
            = path == wide ? QelEditorMaxLineLength() : QelEditorMaxFileSize(flags == EDITOR_HEX);
        const wxString why = path == heavy ? wxString("too long for the editor to lay out in time")
                                           : wxString::Format("%lld", limit);
        EXPECT_TRUE(log.Has(path) && log.Has(why)) << log.Dump();
    }
}

// Only the line ends at a block's edges are looked for; a line over blocks
// is counted whole, with the line the first block goes on with. Its weight
// is its bytes, and kBreakWeight more for each byte the control measures
// apart from the text around it: a tab, a control character, a byte of no
// UTF-8 character.
TEST(LongestLine, CountsLinesOverBlocks)
{
    constexpr size_t kBreak = QelLineWeight::kBreakWeight;
    const struct {
        const char* name;
        size_t open;
        std::vector<std::string> blocks;
        size_t want;
        size_t weight;
    } rows[] = {
        {"NoLineEnd", 0, {"abc", "de"}, 5, 5},
        {"GoesOnWithTheOpenLine", 10, {"ab\ncd"}, 12, 12},
        {"EndsAtBothEdges", 0, {"x\n", "\nyy"}, 2, 2},
        {"CrLfSplitByBlocks", 0, {"abc\r", "\ndef"}, 3, 3},
        {"CrAlone", 0, {"ab\rcdef"}, 4, 4},
        {"OverThreeBlocks", 0, {"a\nbbb", "bbbb", "bb\nc"}, 9, 9},
        {"Empty", 0, {}, 0, 0},
        {"BreaksWeighMore", 0, {std::string("a\tb\0\x7F\n", 6), "abcdefghij"}, 10, 5 + 3 * kBreak},
        {"CharacterOverBlocks", 0, {"\xC3", "\xA9\xE6\x97\xA5"}, 5, 5},
        {"NotUtf8", 0, {"\xE9x\r\n\x80\xFF\xC3"}, 3, 3 + 2 * kBreak},
        {"LeadAtTheLineEnd", 0, {"\xC3\r\nab"}, 2, 1 + kBreak},
        {"BreaksAmidLongText", 0, {"abcdefghijk\x7Fmnopqrstuvw~ z\x1F\n"}, 27, 27 + 2 * kBreak},
        // One break inside a word of eight bytes of text, the rest plain.
        {"TabInAWordOfText", 0, {"abcdefgh\tbcdefghijklmnop"}, 24, 24 + kBreak},
        {"DeleteInAWordOfText", 0, {"abcdefghab\x7F" "defghijklmnop"}, 24, 24 + kBreak},
        {"Latin1InAWordOfText", 0, {"abcdefghabc\xE9" "efghijklmnop"}, 24, 24 + kBreak},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        QelLongestLine longest(row.open);
        QelLineWeight weight(row.open);
        for (const std::string& block : row.blocks) {
            longest.Add(block.data(), block.size());
            weight.Add(block.data(), block.size());
        }
        EXPECT_EQ(longest.Get(), row.want);
        EXPECT_EQ(weight.Get(), row.weight);
    }
}

// A line of hundreds of kilobytes is shown plainly: no lexer, whatever the
// file's name or its first line says, also when the lexers are applied again
// (a theme); the text and caret as the file gives them. A lexer the user
// picks is taken, and the next file without such a line gets its own again.
TEST_F(StcFile, LongLineIsShownPlainly)
{
    const std::string line = "// " + std::string(QelEditorMaxLineWeight() - 3, 'x');
    QelSTC* stc = Open("long.c", line + "\nint main;\n");
    EXPECT_EQ(stc->GetLexer().GetScintillaLexer(), "");
    EXPECT_EQ(stc->GetLineCount(), 3);
    EXPECT_EQ(stc->GetCurrentPos(), 0);
    EXPECT_TRUE(TextBytes(stc) == line + "\nint main;\n"); // not shown: half a megabyte
    EXPECT_FALSE(stc->GetModify());
    EXPECT_TRUE(stc->SetLexer("", true));
    EXPECT_EQ(stc->GetLexer().GetScintillaLexer(), "");
    EXPECT_TRUE(stc->SetLexer("cpp"));
    EXPECT_EQ(stc->GetLexer().GetScintillaLexer(), "cpp");
    ASSERT_TRUE(stc->Open(QelFileName(WriteFile("short.txt", "// x\n"))));
    EXPECT_EQ(stc->GetLexer().GetScintillaLexer(), "cpp"); // by its first line
}

// A line too heavy for the control to lay out at every key in time shows
// its file as a dump, with one line naming the file and why: when opened,
// when the dump is left, when a file shown grows such a line. The dump is
// never saved over the file.
TEST_F(StcFile, LineTooHeavyToLayOutShowsTheDump)
{
    const size_t max = QelEditorMaxLineWeight();
    const struct {
        const char* name;
        std::string bytes;
        bool dump;
    } rows[] = {
        {"TextAtTheLimit", "a\n" + std::string(max, 'x') + "\n", false},
        {"TextOverTheLimit", "a\n" + std::string(max + 1, 'x'), true},
        {"BytesNotUtf8", std::string(max / QelLineWeight::kBreakWeight, '\xE9'), true},
        {"LinesUnderTheLimitEach", std::string(max, 'x') + "\r" + std::string(max, 'y'), false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        LogCapture log;
        QelSTC* stc = Open(wxString(row.name) + ".txt", row.bytes);
        const wxString said = "Shown in hexadecimal: " + stc->GetFileName().GetFullPath() + " (";
        wxTheApp->ProcessPendingEvents(); // the reason is told after the page
        EXPECT_EQ(log.Has(said), row.dump) << log.Dump();
        EXPECT_EQ((stc->GetFlags() & EDITOR_HEX) != 0, row.dump);
        const int text_lines = row.bytes[1] == '\n' ? 3 : 2;
        EXPECT_EQ(stc->GetLineCount(), row.dump ? int(row.bytes.size() + 15) / 16 + 1 : text_lines);
        if (!row.dump) continue;
        EXPECT_TRUE(stc->GetReadOnly());
        log.Clear();
        EXPECT_TRUE(stc->Reload(stc->GetFlags() & ~EDITOR_HEX));
        EXPECT_TRUE(stc->GetFlags() & EDITOR_HEX);
        EXPECT_TRUE(PumpUntil([&] { return log.Count(said) == 1; }, 3000)) << log.Dump();
        EXPECT_FALSE(stc->GetFile().FileSave());
        EXPECT_EQ(ReadBytes(stc->GetFileName().GetFullPath()), row.bytes);
    }
    // A log long enough to be followed by its tail is shown whole as a dump,
    // not as its text and a dump of what was added.
    const std::string start = std::string(1999, 's') + "\n";
    QelSTC* stc = Open("grows.log", start);
    WriteFile("grows.log", start + std::string(max + 1, 'x'));
    EXPECT_TRUE(stc->GetFile().CheckSync());
    EXPECT_TRUE(stc->GetFlags() & EDITOR_HEX);
    EXPECT_EQ(stc->GetLineCount(), int(start.size() + max + 1 + 15) / 16 + 1);
}

// What the control throws while it takes a file in is no end of the
// program: the load fails with the file's name, the document is left empty
// and unbound, and the next load works.
TEST_F(StcFile, ThrowDuringTheLoadFailsIt)
{
    const wxString path = WriteFile("throws.txt", "thrown\n");
    LogCapture log;
    QelSTC* stc = nullptr;
    {
        ThrowWhileLoading thrower("throws.txt");
        stc = new QelSTC(m_Frame, QelFileName(path));
    }
    EXPECT_FALSE(stc->GetFileName().IsOk());
    EXPECT_EQ(TextBytes(stc), "");
    EXPECT_TRUE(log.Has("Cannot open file: " + path + " (std::bad_alloc)")) << log.Dump();
    EXPECT_TRUE(stc->Open(QelFileName(WriteFile("next.txt", "next\n"))));
    EXPECT_EQ(TextBytes(stc), "next\n");
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

    // A named pipe or a device is refused at once, said once. The test holds
    // the pipe open for writing, so that a read that waited for a writer
    // would not hang it but read nothing and complain.
    const wxString pipe = m_Temp.File("pipe");
    ASSERT_EQ(mkfifo(pipe.fn_str(), 0600), 0);
    const int writer = open(pipe.fn_str(), O_RDWR);
    ASSERT_GE(writer, 0);
    for (const wxString& name : {pipe, wxString("/dev/null")}) {
        SCOPED_TRACE(name);
        log.Clear();
        EXPECT_FALSE(static_cast<QelSTCFile&>(stc->GetFile()).Read(name));
        EXPECT_EQ(log.Records().size(), 1u) << log.Dump();
        EXPECT_TRUE(log.Has(name + "': not a regular file")) << log.Dump();
        EXPECT_EQ(TextBytes(stc), std::string("ain\xE9\nb", 6));
    }
    close(writer);
}

TEST_F(StcFile, CatalogBasePathJoinsTheIncludeFolders)
{
    // A folder that is not UTF-8 is named as the file system's names are.
    for (const std::string folder : {"../src", "../sr\xe9"}) {
        QelSTC* stc
            = Open("de.po", "msgid \"\"\nmsgstr \"\"\n\"X-Poedit-Basepath: " + folder + "\\n\"\n");
        EXPECT_NE(stc->GetPathList().Index(wxString(folder.c_str(), *wxConvFileName)), wxNOT_FOUND);
    }
}

} // namespace
