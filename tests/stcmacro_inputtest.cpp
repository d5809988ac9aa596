// Keyboard macros recorded from real key presses and played back.
#include <csignal>
#include <functional>

#include <gtest/gtest.h>
#include <wx/frame.h>
#include <wx/sizer.h>
#include <wx/uiaction.h>

#include <qelkit/status.h>
#include <qelkit/stc.h>

#include "testing.h"

using namespace qeltest;

namespace {

class StcMacro : public EditorTest {
protected:
    // A shown editor with the keyboard focus.
    QelSTC* Focused()
    {
        auto* stc = new QelSTC(m_Frame);
        m_Frame->SetSizer(new wxBoxSizer(wxVERTICAL));
        m_Frame->GetSizer()->Add(stc, 1, wxEXPAND);
        m_Frame->Show();
        m_Frame->Raise();
        stc->SetFocus();
        PumpUntil([stc] { return stc->HasFocus(); }, 3000);
        return stc;
    }
};

// Keys typed while recording: "\t" is Tab, "\n" Return, "\x16" Ctrl+V, and
// "\x01" an e acute sent to the editor, not typed (reported first); what the
// recording left must be what the playback makes, and with `eols` also with
// the playing editor's line ends.
struct TypedCase {
    const char *name, *clipboard, *keys, *want;
    bool eols = false;
};

const TypedCase TypedCases[] = {
    {"TypedAndSent", "", "h \x01llo\n", "h \xc3\xa9llo\n", true},
    {"TabBetweenLetters", "", "ab\tc", "ab\tc"},
    {"PasteThenLetter", "PP", "\x16x", "PPx"},
    {"ReturnKeepsIndent", "", "\ta\nb", "\ta\n\tb"},
};

void PrintTo(const TypedCase& c, std::ostream* os)
{
    *os << c.name;
}

class StcMacroTyped : public StcMacro, public ::testing::WithParamInterface<TypedCase> { };

TEST_P(StcMacroTyped, PlaysBackWhatWasInserted)
{
    const TypedCase& c = GetParam();
    const ClipboardLock lock;
    ASSERT_TRUE(*c.clipboard == '\0' || QelClipboardAdd(c.clipboard));
    QelSTC* a = Focused();
    ASSERT_TRUE(a->HasFocus());
    a->SetUseTabs(true);
    LogCapture log;
    a->StartRecord();
    wxUIActionSimulator sim;
    for (const char* key = c.keys; *key != '\0'; ++key) {
        if (*key == '\x01') {
            Pump(100);
            a->ReplaceSelection(wxString::FromUTF8("\xc3\xa9"));
        } else if (*key == '\x16') {
            sim.Char('V', wxMOD_CONTROL);
        } else {
            sim.Char(*key == '\t' ? int(WXK_TAB) : *key == '\n' ? int(WXK_RETURN) : *key);
        }
    }
    PumpUntil([&] { return TextBytes(a) == c.want; }, 3000);
    a->StopRecord();
    ASSERT_EQ(TextBytes(a), c.want);
    EXPECT_TRUE(log.Has("Macro is recorded"));

    for (const auto& [eol, end] :
         {std::pair{wxSTC_EOL_LF, "\n"}, {wxSTC_EOL_CRLF, "\r\n"}, {wxSTC_EOL_CR, "\r"}}) {
        QelSTC b(m_Frame);
        b.SetUseTabs(true);
        b.SetEOLMode(eol);
        b.MacroPlayback();
        wxString want = wxString::FromUTF8(c.want);
        want.Replace("\n", end);
        EXPECT_EQ(TextBytes(&b), want.utf8_string()) << eol;
        if (!c.eols) break;
    }
    EXPECT_TRUE(log.Has("Macro played back"));
}

INSTANTIATE_TEST_SUITE_P(QelSTC, StcMacroTyped, ::testing::ValuesIn(TypedCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Return on an indented line inserted and moved the caret at absolute
// positions, so playing it back edited the place where it was recorded.
TEST_F(StcMacro, PlaysBackAtTheCaret)
{
    // A document, the caret where recording starts, the keys typed ("\x1b"
    // is Insert, which turns typing over on and off); the playback is at
    // play_at and leaves the caret at caret, -1 for the document end.
    const struct {
        const char *name, *text;
        int record_at;
        const char *keys, *want;
        int play_at = -1, caret = -1;
    } rows[] = {
        {"ReturnOnIndentedLine", "  x\nend\nZ", 3, "\ny", "  x\n  y\nend\nZ\n  y"},
        {"ReturnOnUnindentedLine", "x\nend\nZ", 1, "\ny", "x\ny\nend\nZ\ny"},
        {"ReturnInIndent", "\t\tx\nZ", 1, "\n", "\t\n\t\t\tx\nZ\n\t\t"},
        // Typed over, played back over: not inserted.
        {"TypedOver", "abcdef\nabcdef", 0, "\x1bxy\x1b", "xycdef\nxycdef", 7, 9},
        {"TypedOverUpToTheLineEnd", "ab\nab", 0, "\x1bxyz\x1b", "xyz\nxyz", 4, 7},
        {"TypedOverCharacters", "\xc3\xa9\xc3\xa9z\n\xc3\xa9\xc3\xa9z", 0, "\x1bxy\x1b", "xyz\nxyz",
         4, 6},
    };
    QelSTC* stc = Focused();
    ASSERT_TRUE(stc->HasFocus());
    stc->SetEOLMode(wxSTC_EOL_LF);
    wxUIActionSimulator sim;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        stc->SetText(wxString::FromUTF8(row.text));
        stc->GotoPos(row.record_at);
        stc->StartRecord();
        for (const char* key = row.keys; *key != '\0'; ++key)
            sim.Char(*key == '\n' ? int(WXK_RETURN) : *key == '\x1b' ? int(WXK_INSERT) : *key);
        Pump(100);
        stc->StopRecord();
        ASSERT_FALSE(stc->GetOvertype());
        stc->GotoPos(row.play_at < 0 ? stc->GetLength() : row.play_at);
        stc->MacroPlayback();
        EXPECT_EQ(TextBytes(stc), row.want);
        EXPECT_EQ(stc->GetCurrentPos(), row.caret < 0 ? stc->GetLength() : row.caret);
        EXPECT_FALSE(stc->GetOvertype());
    }

    // Positions given to the control are taken from the caret too.
    stc->SetText("abc\n");
    stc->GotoPos(1);
    stc->StartRecord();
    stc->InsertText(stc->GetCurrentPos() + 1, "<");
    stc->GotoPos(stc->GetCurrentPos() + 3);
    stc->StopRecord();
    stc->DocumentEnd();
    stc->AddText("def");
    stc->GotoPos(6);
    stc->MacroPlayback();
    EXPECT_EQ(TextBytes(stc), "ab<c\nde<f");
    EXPECT_EQ(stc->GetCurrentPos(), 9);
}

TEST_F(StcMacro, RecordingsReplaceAndExcludeEachOther)
{
    QelSTC a(m_Frame);
    QelSTC b(m_Frame);
    LogCapture log;

    a.StartRecord();
    a.AddText("abc"); // length first: played back from the stored text only
    b.StartRecord();
    EXPECT_FALSE(b.MacroIsRecording());
    a.StopRecord();
    ASSERT_TRUE(a.MacroIsRecorded());
    EXPECT_EQ(QelSTC::GetMacro().front(), "2001 3 abc");
    b.MacroPlayback();
    EXPECT_EQ(TextBytes(&b), "abc");

    // A recording with nothing in it empties the earlier macro.
    log.Clear();
    b.StartRecord();
    b.StopRecord();
    EXPECT_FALSE(b.MacroIsRecorded());
    EXPECT_FALSE(log.Has("Macro is recorded"));
}

// Each typed character replayed alone made the control lay out the caret's
// line again: a macro of 10,000 characters on one line took most of a minute.
TEST_F(StcMacro, PlaysARunOfTypedCharactersAsOneInsertion)
{
    QelSTC a(m_Frame);
    a.StartRecord();
    for (int i = 0; i < 2000; ++i) a.ReplaceSelection(i % 100 == 99 ? "\xc3\xa9" : "x");
    a.CharLeft();
    a.ReplaceSelection("y");
    a.StopRecord();

    QelSTC b(m_Frame);
    const std::string line(20000, '-');
    b.SetText(line);
    b.DocumentEnd();
    int insertions = 0;
    b.Bind(wxEVT_STC_MODIFIED, [&](wxStyledTextEvent& event) {
        insertions += (event.GetModificationType() & wxSTC_MOD_INSERTTEXT) != 0;
        event.Skip();
    });
    b.MacroPlayback();
    EXPECT_EQ(insertions, 2);
    EXPECT_EQ(TextBytes(&b), line + TextBytes(&a));
}

// What the window does when it answers during a playback.
std::function<void()> g_Going;
void Going(int = 0)
{
    if (g_Going) g_Going();
}

// Playback kept the window and the signals waiting; what it lets through may
// take the editor or its window away (a page closed, Quit, the signal that
// ends the program: SIGUSR1 here, handled as the program handles SIGTERM).
TEST_F(StcMacro, StopsWhenItsEditorOrWindowGoes)
{
    for (const std::string goes : {"editor", "window", "signal"}) {
        SCOPED_TRACE(goes);
        auto* frame = new wxFrame(nullptr, wxID_ANY, "macro");
        wxWeakRef<QelSTC> stc = new QelSTC(frame);
        stc->StartRecord();
        stc->ReplaceSelection("a");
        stc->ReplaceSelection("a"); // one step with the first
        stc->CharLeft();
        stc->ReplaceSelection("b");
        stc->StopRecord();
        stc->ClearAll();
        std::string seen;
        g_Going = [&] {
            seen = TextBytes(stc);
            goes == "editor" ? stc->Destroy() : frame->Destroy();
        };
        ASSERT_TRUE(wxTheApp->SetSignalHandler(SIGUSR1, Going));
        if (goes == "signal") raise(SIGUSR1);
        if (goes != "signal") wxTheApp->CallAfter([] { Going(); });
        stc->MacroPlayback();
        wxTheApp->SetSignalHandler(SIGUSR1, SIG_DFL);
        g_Going = nullptr;
        EXPECT_EQ(seen, "aa");
        EXPECT_EQ(stc ? TextBytes(stc) : "gone", goes == "editor" ? "gone" : "aa");
        if (!wxTheApp->IsScheduledForDestruction(frame)) frame->Destroy();
        PumpUntil([&] { return !wxTheApp->IsScheduledForDestruction(frame); }, 3000);
    }
}

} // namespace
