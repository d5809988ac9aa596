// The shell driven by key events on a hidden frame, its commands answered
// the way the process runner answers them: recorded, then a new prompt.
#include <map>

#include <qelkit/process.h>
#include <qelkit/shell.h>
#include <qelkit/status.h>

#include "testing.h"

namespace {

class ShellTest : public qeltest::EditorTest {
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        m_Handler.Bind(wxEVT_MENU, [this](wxCommandEvent& event) {
            m_Posted += (m_Posted.empty() ? "" : "|")
                + (event.GetId() == ID_SHELL_COMMAND ? QelSTCBytes(event.GetString()) : "STOP");
            if (event.GetId() == ID_SHELL_COMMAND) m_Shell->Prompt(wxEmptyString, true);
        });
        Make();
    }

    void Make(const wxString& command_end = wxEmptyString, int save = -1)
    {
        delete m_Shell;
        m_Shell = new QelSTCShell(m_Frame, ">", command_end, true, save);
        m_Shell->SetEventHandler(&m_Handler);
        m_Posted.clear();
    }

    // Typed keys: "\r" Return, "\b" Backspace, "\x1" Up, "\x2" Down, "\x3"
    // Home, "^C" Control with C. Not typed: "@n" puts the caret at n, "{mn"
    // selects m to n, "#P", "#D", "#X" paste, delete and cut from the menu,
    // "~" disables the shell, "%" inserts the byte 0xe9 (not UTF-8).
    void Type(const std::string& keys)
    {
        static const std::string named = "\r\b\x1\x2\x3";
        static const int codes[] = {WXK_RETURN, WXK_BACK, WXK_UP, WXK_DOWN, WXK_HOME};
        static const std::map<char, int> menu{
            {'P', wxID_PASTE}, {'D', wxID_DELETE}, {'X', wxID_CUT}};
        for (size_t i = 0; i < keys.size(); ++i) {
            const char c = keys[i];
            if (const size_t key = named.find(c); key != std::string::npos) {
                Send(codes[key], codes[key] < WXK_START ? codes[key] : 0);
            } else if (c == '^') {
                Send(keys[i + 1], keys[i + 1] - 'A' + 1, wxMOD_CONTROL);
                ++i;
            } else if (c == '@') {
                m_Shell->GotoPos(keys[++i] - '0');
            } else if (c == '{') {
                m_Shell->SetSelection(keys[i + 1] - '0', keys[i + 2] - '0');
                i += 2;
            } else if (c == '#') {
                wxCommandEvent event(wxEVT_MENU, menu.at(keys[++i]));
                m_Shell->ProcessWindowEvent(event);
            } else if (c == '~') {
                m_Shell->EnableShell(false);
            } else if (c == '%') {
                m_Shell->AddTextRaw("\xe9", 1);
            } else {
                Send(wxToupper(c), c, wxIsupper(c) ? wxMOD_SHIFT : wxMOD_NONE);
            }
            // The handler answers before the next key, as in the program.
            wxTheApp->ProcessPendingEvents();
        }
    }

    void Send(int key_code, int unicode, int modifiers = wxMOD_NONE)
    {
        wxKeyEvent down(wxEVT_KEY_DOWN);
        down.SetEventObject(m_Shell);
        down.m_keyCode = key_code;
        down.m_uniChar = unicode;
        down.m_controlDown = modifiers & wxMOD_CONTROL;
        down.m_shiftDown = modifiers & wxMOD_SHIFT;
        if (m_Shell->ProcessWindowEvent(down)) return;
        wxKeyEvent chr(down);
        chr.SetEventType(wxEVT_CHAR);
        chr.m_keyCode = unicode;
        m_Shell->ProcessWindowEvent(chr);
    }

    std::string Text() const { return qeltest::TextBytes(m_Shell); }

    QelSTCShell* m_Shell = nullptr;
    wxEvtHandler m_Handler;
    std::string m_Posted; // the posted commands' bytes, "|" between them
};

TEST_F(ShellTest, KeysAndCommands)
{
    qeltest::ClipboardLock lock;
    ASSERT_TRUE(QelClipboardAdd("cd"));

    const struct {
        const char* name;
        const char* end; // command end
        const char* keys;
        const char* text;
        const char* posted;
    } rows[] = {
        {"History", "", "ls\rpwd\rls\rhistory\r",
         ">ls\n>pwd\n>ls\n>history\n1 pwd\n2 ls\n3 history\n>", "ls|pwd|ls"},
        {"EmptyLine", "", "\r", ">\n>", ""},
        {"RecallKeepsPlace", "", "pwd\rls\r!1\rhistory\r",
         ">pwd\n>ls\n>!1\npwd\n>history\n1 pwd\n2 ls\n3 history\n>", "pwd|ls|pwd"},
        {"RecallPrefix", "", "pwd\rls\r!l\r", ">pwd\n>ls\n>!l\nls\n>", "pwd|ls|ls"},
        {"RecallBeyond", "", "pwd\r!9\r", ">pwd\n>!9\n!9: event not found\n>", "pwd"},
        {"RecallHuge", "", "!99999999999\r", ">!99999999999\n!99999999999: event not found\n>", ""},
        {"UpStopsAtOldest", "", "pwd\rls\r\x1\x1\x1", ">pwd\n>ls\n>pwd", "pwd|ls"},
        {"DownPastNewest", "", "pwd\rls\r\x1\x2\x2", ">pwd\n>ls\n>", "pwd|ls"},
        {"TypingEndsBrowsing", "", "pwd\rls\r\x1\x1x\x1", ">pwd\n>ls\n>ls", "pwd|ls"},
        // Stepping through an empty history leaves the typed command alone.
        {"UpEmptyHistory", "", "ab\x1\x2", ">ab", ""},
        {"LetterInOutput", "", "ls\rab@0x", ">ls\n>abx", "ls"},
        {"BackAtCommandStart", "", "ls\rab@5\b\b", ">ls\n>ab", "ls"},
        {"BackInCommand", "", "ls\rab\b", ">ls\n>a", "ls"},
        {"HomeSkipsPrompt", "", "ls\rab\x3z", ">ls\n>zab", "ls"},
        {"HomeSkipsPromptOfBytes", "", "ls\r%b\x3z",
         ">ls\n>z\xe9"
         "b",
         "ls"},
        {"CommandOfBytes", "", "%ls\r", ">\xe9ls\n>", "\xe9ls"},
        {"PasteInOutput", "", "ls\rab@1#P", ">ls\n>abcd", "ls"},
        {"CtrlVInOutput", "", "ls\rab@1^V", ">ls\n>abcd", "ls"},
        {"CutAcrossPrompt", "", "ls\rab{26#X", ">ls\n>ab", "ls"},
        {"DeleteInCommand", "", "ls\rab{56#D", ">ls\n>b", "ls"},
        {"Stop", "", "^C^Q", ">", "STOP|STOP"},
        {"Disabled", "", "~ls\r^Q", ">ls\n", ""},
        {"EndPosted", ";", "ls;\r", ">ls;\n>", "ls;"},
        {"EndOnNextLine", ";", "ls\r-l;\r", ">ls\n-l;\n>", "ls\n-l;"},
        {"EndHistory", ";", "ls;\rhistory;\r", ">ls;\n>history;\n1 ls;\n2 history;\n>", "ls;"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Make(row.end);
        Type(row.keys);
        EXPECT_EQ(Text(), row.text);
        EXPECT_EQ(m_Posted, row.posted);
    }
}

TEST_F(ShellTest, HistoryStoredUnderShell)
{
    const wxString stored = wxString("c") + wxUniChar(3) + "b" + wxUniChar(3);
    Make(wxEmptyString, 2);
    Type("a\rb\rc\r");
    Make(wxEmptyString, 2); // the first one writes its history as it goes
    EXPECT_EQ(wxConfigBase::Get()->Read("Shell"), stored);
    Type("\x1\x1\x1");
    EXPECT_EQ(Text(), ">b");

    // Without a count the history is neither read nor written.
    Make();
    Type("d\r\x1\x1");
    EXPECT_EQ(Text(), ">d\n>d");
    Make();
    EXPECT_EQ(wxConfigBase::Get()->Read("Shell"), stored);
}

TEST_F(ShellTest, TypingReachesThePromptWithViOn)
{
    wxConfigBase::Get()->Write(_("vi mode"), true);
    Make();
    Type("ls");
    EXPECT_EQ(Text(), ">ls");
}

// The process runner as the shell's handler: lines typed reach the running
// child, its output comes back into the same shell, Ctrl+C stops it.
TEST_F(ShellTest, ProcessAnswersInTheSharedShell)
{
    wxTheApp->SetTopWindow(m_Frame);
    delete m_Shell;
    m_Shell = nullptr;
    {
        // The runner that makes the window answers in it even when its
        // command could not start: a line typed there gets a new prompt.
        QelProcess maker;
        {
            qeltest::LogCapture log;
            EXPECT_EQ(maker.Execute("/nonexistent/program"), 0);
        }
        m_Shell = dynamic_cast<QelSTCShell*>(QelProcess::GetSTC());
        ASSERT_NE(m_Shell, nullptr);
        Type("x\r");
        EXPECT_EQ(Text(), ">x\n>");

        // Another runner's child then gets what is typed, not the maker.
        QelProcess process;
        ASSERT_GT(process.Execute("cat"), 0);
        ASSERT_EQ(QelProcess::GetSTC(), m_Shell);

        // A byte that is not UTF-8 reaches the child as typed (its output
        // comes back decoded as Latin-1).
        Type("h%llo\r");
        EXPECT_TRUE(
            qeltest::PumpUntil([&] { return Text() == ">h\xe9llo\n>h\xc3\xa9llo\n"; }, 5000))
            << Text();
        Type("^C");
        EXPECT_TRUE(qeltest::PumpUntil([&] { return !process.IsRunning(); }, 5000));
        // Prompted once by the stop; the end of the child adds no second one.
        EXPECT_EQ(Text(), ">h\xe9llo\n>h\xc3\xa9llo\n\n>");

        // A synchronous run leaves the shell a plain editor showing its output.
        ASSERT_EQ(process.Execute("echo hi", wxEXEC_SYNC), 0);
        process.ShowOutput("caption");
        EXPECT_EQ(Text(), "hi");
        EXPECT_FALSE(m_Shell->GetShellEnabled());
    }
    // The shell outlives the process and no longer posts to it.
    EXPECT_EQ(m_Shell->GetCommandHandler(), nullptr);
    wxTheApp->SetTopWindow(nullptr);
}

} // namespace
