// The editor control on real files: opening, line ends, mode lines and
// read-only following.
#include <gtest/gtest.h>
#include <wx/frame.h>

#include <functional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include <qelkit/status.h>
#include <qelkit/stc.h>

#include "testing.h"

using namespace qeltest;

namespace {

class StcControl : public EditorTest {
protected:
    QelSTC* Open(const wxString& name, const std::string& bytes, long flags = 0)
    {
        return new QelSTC(m_Frame, QelFileName(WriteFile(name, bytes)), 0, "", flags);
    }
};

// A new line takes the line end guessed from the raw bytes, a CR LF across
// the first block read included.
TEST_F(StcControl, GuessesLineEndsFromTheRawBytes)
{
    for (const auto& [bytes, newline] : std::vector<std::pair<std::string, const char*>>{
             {"a\r\nb\nc", "\r\n"},
             {"a\rb", "\r"},
             {std::string(254, 'x') + "\r\ny\r\n", "\r\n"}}) {
        QelSTC* stc = Open("eol.txt", bytes);
        stc->DocumentEnd();
        stc->NewLine();
        EXPECT_EQ(TextBytes(stc), bytes + newline);
    }
}

// Opening the bound file on a line only goes there, without one it reads the
// file again; line -1 is its end. A failed open keeps the flags (the binding
// it keeps: FileBinding.LoadOrSaveThatDoesNotHappenChangesNothing).
TEST_F(StcControl, OpenReloadsOrKeepsTheBinding)
{
    QelSTC* stc = Open("a.txt", "a\nb\n", EDITOR_READ_ONLY);
    const QelFileName name = stc->GetFileName();
    WriteFile("a.txt", "changed\n");
    ASSERT_TRUE(stc->Open(name, 2, "", 0));
    EXPECT_EQ(stc->GetCurrentLine(), 1);
    EXPECT_EQ(TextBytes(stc), "a\nb\n");
    EXPECT_EQ(stc->GetFlags(), EDITOR_READ_ONLY);
    EXPECT_FALSE(stc->Open(QelFileName(m_Temp.File("missing.txt")), 0, "", EDITOR_HEX));
    EXPECT_EQ(stc->GetFlags(), EDITOR_READ_ONLY);
    EXPECT_TRUE(stc->Open(name, 0, "", 0));
    EXPECT_EQ(TextBytes(stc), "changed\n");
    EXPECT_EQ(stc->GetFlags(), 0);
    WriteFile("a.txt", "a log\ngrown\n");
    EXPECT_TRUE(stc->Open(name, -1, "", 0));
    EXPECT_EQ(stc->GetCurrentPos(), stc->GetTextLength());
}

// A read-only file is shown read-only until an idle check finds it writable
// (the attribute itself: FileBinding.ReloadFollowsEachChangeOnDisk); only a
// shown editor checks.
TEST_F(StcControl, FollowsTheReadOnlyAttribute)
{
    m_Frame->Show();
    const wxString path = WriteFile("ro.txt", "text");
    qeltest::Run("chmod 444 " + ShellQuote(path));
    QelSTC stc(m_Frame, QelFileName(path));
    EXPECT_TRUE(stc.GetReadOnly());
    qeltest::Run("chmod 644 " + ShellQuote(path) + " && touch -d '+2 sec' " + ShellQuote(path));
    wxIdleEvent idle;
    stc.ProcessWindowEvent(idle);
    EXPECT_FALSE(stc.GetReadOnly());
}

// The line-number margin of a shown editor fits the widest line number after
// a load, a reload, edits and a zoom, and narrows back to the width set.
TEST_F(StcControl, LineNumberMarginFitsTheLineCount)
{
    m_Frame->Show();
    wxConfigBase::Get()->Write("Line numbers", true);
    wxConfigBase::Get()->Write("Line number", 20L);
    QelSTC* stc = Open("lines.txt", std::string(99999, '\n'));
    const auto margin = [stc] {
        wxIdleEvent idle;
        stc->ProcessWindowEvent(idle);
        return stc->GetMarginWidth(QEL_MARGIN_LINE_NUMBER);
    };
    const auto wider
        = [stc](const char* number) { return stc->TextWidth(wxSTC_STYLE_LINENUMBER, number) + 1; };
    EXPECT_GE(margin(), wider("100000"));
    WriteFile("lines.txt", std::string(999999, '\n'));
    ASSERT_TRUE(stc->Open(stc->GetFileName(), 0, "", 0));
    EXPECT_GE(margin(), wider("1000000"));
    stc->DeleteRange(0, stc->GetLength() - 8);
    EXPECT_EQ(margin(), 20);
    stc->AppendText(std::string(99999, '\n'));
    EXPECT_GE(margin(), wider("100000"));
    stc->SetZoom(8);
    EXPECT_GE(stc->GetMarginWidth(QEL_MARGIN_LINE_NUMBER), wider("100000"));
}

// A makefile's recipe lines need a tab: Tab and indenting insert one there,
// whatever "Use tabs" says, also after the settings are read again.
TEST_F(StcControl, MakefilesIndentWithTabs)
{
    InstallLexers(QEL_SOURCE_DIR "/data/lexers.xml");
    wxConfigBase::Get()->Write("Use tabs", false);
    for (const auto& [name, indent] :
         {std::pair{"Makefile", "\t"}, {"rules.mk", "\t"}, {"notes.txt", "  "}}) {
        SCOPED_TRACE(name);
        QelSTC* stc = Open(name, "all:\n");
        stc->ConfigGet();
        stc->DocumentEnd();
        stc->Tab();
        stc->Indent(0, 0, true);
        EXPECT_EQ(TextBytes(stc), indent + std::string("all:\n") + indent);
    }
}

// A mode line may set options; one that tries a shell command runs nothing.
TEST_F(StcControl, ModeLineSetsOnlyOptions)
{
    const wxString pwned = m_Temp.File("pwned");
    const std::string text = "# :!touch " + std::string(pwned.utf8_str()) + "\n# vi: set ts=4\n";
    for (const bool vi : {false, true}) {
        SCOPED_TRACE(vi);
        wxConfigBase::Get()->Write("vi mode", vi);
        EXPECT_EQ(Open("mode.sh", text)->GetTabWidth(), vi ? 4 : 2);
        EXPECT_FALSE(wxFileExists(pwned));
        EXPECT_EQ(wxConfigBase::Get()->ReadLong("Tab width", 0), 2);
    }
}

// Typing into a 20 MB line took 6 s a key: the line was weighed only when a
// file was read. No edit makes a line heavier than the limit, however its
// text comes in: it is refused with one message naming the limit and leaves
// no trace, not even in the undo history. Two lines of half the limit are
// joined by the rows that join, one byte over the limit, and the clipboard
// holds half the limit.
TEST_F(StcControl, NoEditMakesALineTooHeavy)
{
    const size_t max = QelEditorMaxLineWeight();
    const std::string a(max / 2, 'a'), b(max / 2, 'b');
    const std::string two = a + "\n" + b + "x\n";
    const int eol = static_cast<int>(a.size()); // the first line end
    // 420 KiB, 60 selected to the line end, 10 more selected, 60 after.
    const int kib = static_cast<int>(max / 512);
    const std::string moved = std::string(kib * 420, 'p') + std::string(kib * 60, 'q') + "\n"
        + std::string(kib * 10, 'r') + std::string(kib * 60, 's') + "\n";
    const auto replace = [](const char* find, const char* by) {
        return [=](QelSTC* stc) { stc->ReplaceAllInRange(0, stc->GetLength(), find, by, 0); };
    };
    const auto vi = [](const char* keys) {
        return [=](QelSTC* stc) {
            stc->GetVi().Use(true);
            for (const char* key = keys; *key != '\0'; ++key) PressKey(stc, wxToupper(*key), *key);
        };
    };
    const struct {
        const char* name;
        std::string text;
        int anchor, caret;
        std::function<void(QelSTC*)> edit;
        bool fits = false;
    } rows[] = {
        {"Paste", a + "x\n", 0, 0, [](QelSTC* stc) { stc->Paste(); }},
        {"PasteToTheLimit", a + "\n", 0, 0, [](QelSTC* stc) { stc->Paste(); }, true},
        {"PasteKey", a + "x\n", 0, 0, [](QelSTC* stc) { PressKey(stc, 'V', 22, wxMOD_CONTROL); }},
        {"PasteOverLineEnd", two, eol, eol + 1, [](QelSTC* stc) { stc->Paste(); }},
        {"InsertedText", a + "x\n", 0, 0, [&](QelSTC* stc) { stc->AddText(b); }},
        {"BytesNotUtf8", a + b.substr(300), 0, 0,
         [](QelSTC* stc) { stc->AddTextRaw(std::string(20, '\xE9').c_str(), 20); }},
        {"BytesNotUtf8Fit", a + b.substr(300), 0, 0,
         [](QelSTC* stc) { stc->AddTextRaw(std::string(10, '\xE9').c_str(), 10); }, true},
        {"Dropped", a + "x\n", 0, 0,
         [&](QelSTC* stc) {
             const wxPoint at = stc->PointFromPosition(0);
             stc->DoDragOver(at.x, at.y, wxDragCopy);
             stc->DoDropText(at.x, at.y, b);
         }},
        // A move takes the selection away and puts it at the drop: the
        // line made is weighed whole, though its pieces are light apart.
        {"DropMoved", moved, kib * 420, kib * 490 + 1,
         [&](QelSTC* stc) {
             const int end = static_cast<int>(moved.size()) - 1;
             const wxPoint at = stc->PointFromPosition(end);
             stc->DoDragOver(at.x, at.y, wxDragMove);
             EXPECT_EQ(stc->DoDropText(at.x, at.y, stc->GetSelectedText()), false);
         }},
        {"ReplaceAll", a + "x\n", 0, 0, replace("a", "aa")},
        {"ReplaceAllMatchingALineEnd", two, 0, 0, replace("\n", "")},
        {"ReplaceNext", a + b.substr(1) + "c\n", 0, 0,
         [](QelSTC* stc) { stc->ReplaceNext("c", "cc", 0); }},
        {"DeleteLineEnd", two, eol, eol,
         [](QelSTC* stc) {
             wxCommandEvent del(wxEVT_MENU, wxID_DELETE);
             stc->ProcessWindowEvent(del);
         }},
        {"DeleteKeyLineEnd", two, eol, eol, [](QelSTC* stc) { PressKey(stc, WXK_DELETE, 127); }},
        {"WordDeleteKeyOverLineEnd", two, eol, eol,
         [](QelSTC* stc) { PressKey(stc, WXK_DELETE, 127, wxMOD_CONTROL); }},
        {"BackspaceLineEnd", two, eol + 1, eol + 1,
         [](QelSTC* stc) { PressKey(stc, WXK_BACK, 8); }},
        {"WordBackOverLineEnd", two, eol + 1, eol + 1,
         [](QelSTC* stc) { PressKey(stc, WXK_BACK, 8, wxMOD_CONTROL); }},
        {"CutOverLineEnd", two, eol, eol + 1, [](QelSTC* stc) { stc->Cut(); }},
        {"TypedOverLineEnd", two, eol, eol + 1, [](QelSTC* stc) { PressKey(stc, 'Z', 'z'); }},
        {"OvertypedOverLineEnd", two, eol, eol + 1,
         [](QelSTC* stc) {
             stc->SetOvertype(true);
             PressKey(stc, 'Z', 'z');
         }},
        // At its end a line is typed onto, not over.
        {"OvertypedAtLineEnd", std::string(max, 'a') + "\nb\n", static_cast<int>(max),
         static_cast<int>(max),
         [](QelSTC* stc) {
             stc->SetOvertype(true);
             PressKey(stc, 'Z', 'z');
         }},
        {"ViJoin", two, 0, 0, vi("J")},
        {"ViPut", a + "x\n", 0, 0, vi("p")},
        {"Macro", a + "x\n", 0, 0,
         [&](QelSTC* stc) {
             QelSTC other(stc->GetParent());
             other.StartRecord();
             other.AddText(b); // twice: the playback stops at the first
             other.AddText(b);
             other.StopRecord();
             stc->MacroPlayback();
         }},
    };
    const ClipboardLock lock;
    ASSERT_TRUE(QelClipboardAdd(b));
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        auto* stc = new QelSTC(m_Frame);
        m_Frame->Show();
        stc->SetText(row.text);
        stc->SetSelection(row.anchor, row.caret);
        stc->SetSavePoint();
        wxTheApp->ProcessPendingEvents();
        LogCapture log;
        row.edit(stc);
        const wxString said = wxString::Format("%zu KiB", max / 1024);
        if (row.fits) {
            EXPECT_NE(TextBytes(stc), row.text);
            EXPECT_EQ(log.Count(said), 0u) << log.Dump();
        } else {
            EXPECT_TRUE(TextBytes(stc) == row.text) << TextBytes(stc).size();
            EXPECT_FALSE(stc->GetModify() || stc->CanUndo());
            EXPECT_EQ(log.Count(said), 1u) << log.Dump();
        }
        stc->Destroy();
    }

    // A text given whole is held to the limit too: shown as a dump.
    LogCapture log;
    auto* given = new QelSTC(m_Frame, wxString(max + 1, 'x'));
    EXPECT_TRUE(given->GetFlags() & EDITOR_HEX);
    EXPECT_TRUE(given->GetReadOnly());
    EXPECT_EQ(log.Count("Shown in hexadecimal"), 1u) << log.Dump();
    // A light text after it (an output shown in the same editor) is text
    // again, not a dump.
    given->SetText("int a;\n");
    EXPECT_FALSE(given->GetFlags() & EDITOR_HEX);
    EXPECT_EQ(given->GetControlCharSymbol(), 0);
    EXPECT_EQ(TextBytes(given), "int a;\n");
}

// Paste weighs the text it read and inserts it itself: as the control's own
// paste does, with the document's line ends, over the selection, in one undo
// step and with the caret after it.
TEST_F(StcControl, PasteIsTheControlsPaste)
{
    const ClipboardLock lock;
    for (const auto& [text, anchor, caret, pasted] : {std::tuple{"ab\r\ncd\r\n", 1, 5, "x\ny\r\nz"},
                                                      {"ab\ncd\n", 3, 3, "x\r\ny\n"},
                                                      {"ab\rcd", 2, 0, "x\xc3\xa9\n"}}) {
        SCOPED_TRACE(text);
        ASSERT_TRUE(QelClipboardAdd(wxString::FromUTF8(pasted)));
        std::vector<std::string> results;
        for (const bool own : {true, false}) {
            auto* stc = new QelSTC(m_Frame, wxString(text));
            stc->SetSelection(anchor, caret);
            if (own)
                stc->Paste();
            else
                stc->wxStyledTextCtrl::Paste();
            results.push_back(TextBytes(stc) + "|" + std::to_string(stc->GetCurrentPos())
                              + std::to_string(stc->GetAnchor()));
            stc->Undo();
            EXPECT_EQ(TextBytes(stc), text);
            EXPECT_FALSE(stc->CanUndo());
            stc->Destroy();
        }
        EXPECT_NE(results[0].find("x"), std::string::npos);
        EXPECT_EQ(results[0], results[1]);
    }
}

// Typing in a long line is weighed from what is known of the line, and the
// line itself only when that may reach the limit: each tab weighs 17, and
// exactly as many as fit go in.
TEST_F(StcControl, TypingStopsAtTheLimit)
{
    const size_t room = 500, tab = 1 + QelLineWeight::kBreakWeight;
    const std::string line(QelEditorMaxLineWeight() - room, 'x');
    auto* stc = new QelSTC(m_Frame);
    stc->SetText(line + "\n");
    stc->GotoPos(static_cast<int>(line.size()));
    LogCapture log;
    for (size_t i = 0; i < room / tab + 10; ++i) stc->AddText("\t");
    EXPECT_TRUE(TextBytes(stc) == line + std::string(room / tab, '\t') + "\n");
    EXPECT_EQ(log.Count("512 KiB"), 1u) << log.Dump();

    // Tabs put one by one over the "x"s weigh 16 more each: what is kept of
    // the line's weight, followed through each deletion and insertion, lets
    // exactly as many in.
    stc->SetText(line + "\n");
    size_t put = 0;
    for (size_t at = 0; at < room / (tab - 1) + 10; ++at) {
        stc->SetTargetRange(static_cast<int>(at), static_cast<int>(at) + 1);
        put += stc->ReplaceTargetRaw("\t", 1) >= 0;
    }
    EXPECT_EQ(put, room / (tab - 1));
    EXPECT_TRUE(TextBytes(stc) == std::string(put, '\t') + line.substr(put) + "\n");
}

} // namespace
