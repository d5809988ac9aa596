// The shell driven by key events on a hidden frame, its commands answered by
// a handler that records them and writes the next prompt, as a process does.
#include <map>

#include <wx/clipbrd.h>

#include <qelkit/process.h>
#include <qelkit/shell.h>

#include "testing.h"

namespace {

using Commands = std::list<wxString>;

// Receives the shell's command events.
class Recorder : public wxEvtHandler {
public:
    explicit Recorder(QelSTCShell*& shell)
        : m_Shell(shell)
    {
        Bind(wxEVT_MENU, [this](wxCommandEvent& event) {
            ids.push_back(event.GetId());
            if (event.GetId() != ID_SHELL_COMMAND) return;
            posted.push_back(event.GetString());
            m_Shell->Prompt(wxEmptyString, true);
        });
    }
    Commands posted;
    std::vector<int> ids;

private:
    QelSTCShell*& m_Shell;
};

class ShellTest : public qeltest::EditorTest {
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        Make();
    }

    void Make(const wxString& command_end = wxEmptyString, int save = -1)
    {
        delete m_Shell;
        m_Shell = new QelSTCShell(m_Frame, ">", command_end, true, save);
        m_Shell->SetEventHandler(&m_Recorder);
    }

    // Characters as typed; "\r" is Return, "\b" Backspace, "\x1" Up, "\x2"
    // Down, "\x3" Home, and "^" before a capital letter holds Control.
    void Type(const std::string& keys)
    {
        static const std::map<char, int> named{{'\r', WXK_RETURN},
                                               {'\b', WXK_BACK},
                                               {'\x1', WXK_UP},
                                               {'\x2', WXK_DOWN},
                                               {'\x3', WXK_HOME}};
        for (size_t i = 0; i < keys.size(); ++i) {
            const char c = keys[i];
            if (const auto key = named.find(c); key != named.end())
                Send(key->second, key->second < WXK_START ? key->second : 0);
            else if (c == '^' && ++i < keys.size())
                Send(keys[i], keys[i] - 'A' + 1, wxMOD_CONTROL);
            else
                Send(wxToupper(c), c, wxIsupper(c) ? wxMOD_SHIFT : wxMOD_NONE);
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

    std::string Text() const { return std::string(m_Shell->GetText().utf8_str()); }
    std::string LastLine() const
    {
        return std::string(m_Shell->GetLine(m_Shell->GetLineCount() - 1).utf8_str());
    }

    QelSTCShell* m_Shell = nullptr;
    Recorder m_Recorder{m_Shell};
};

TEST_F(ShellTest, HistoryKeepsEachCommandOnceAndListsIt)
{
    Type("ls\rpwd\rls\r");
    EXPECT_EQ(m_Recorder.posted, (Commands{"ls", "pwd", "ls"}));
    EXPECT_EQ(m_Shell->GetCommands(), (Commands{"pwd", "ls"}));

    Type("history\r");
    EXPECT_EQ(Text(), ">ls\n>pwd\n>ls\n>history\n1 pwd\n2 ls\n3 history\n>");
    EXPECT_EQ(m_Recorder.posted.size(), 3u) << "history is not run by the handler";

    // An empty line gets a new prompt and posts nothing.
    Type("\r");
    EXPECT_EQ(LastLine(), ">");
    EXPECT_EQ(m_Recorder.posted.size(), 3u);
}

TEST_F(ShellTest, RecallByNumberAndPrefix)
{
    const struct {
        const char* name;
        const char* typed;
        const char* posted; // nullptr: nothing posted
        const char* tail;   // the end of the document
    } rows[] = {
        {"Number", "!1", "pwd", "!1\npwd\n>"},
        {"Prefix", "!l", "ls", "!l\nls\n>"},
        {"LoneMark", "!", "ls", "!\nls\n>"},
        {"BeyondHistory", "!9", nullptr, "!9\n!9: event not found\n>"},
        {"UnknownPrefix", "!x", nullptr, "!x\n!x: event not found\n>"},
        {"HugeNumber", "!99999999999999999999", nullptr, ": event not found\n>"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Make();
        Type("pwd\rls\r");
        m_Recorder.posted.clear();
        Type(std::string(row.typed) + "\r");
        EXPECT_EQ(m_Recorder.posted, row.posted ? Commands{row.posted} : Commands{});
        EXPECT_EQ(m_Shell->GetCommands(), (Commands{"pwd", "ls"})) << "a recall keeps its place";
        EXPECT_TRUE(wxString(Text()).EndsWith(row.tail)) << Text();
    }
}

TEST_F(ShellTest, UpAndDownBrowseTheHistory)
{
    const struct {
        const char* name;
        const char* history; // typed first
        const char* keys;
        const char* line;
    } rows[] = {
        {"UpShowsNewest", "pwd\rls\r", "\x1", ">ls"},
        {"UpTwice", "pwd\rls\r", "\x1\x1", ">pwd"},
        {"UpStopsAtOldest", "pwd\rls\r", "\x1\x1\x1", ">pwd"},
        {"DownBack", "pwd\rls\r", "\x1\x1\x2", ">ls"},
        {"DownPastNewest", "pwd\rls\r", "\x1\x1\x2\x2", ">"},
        {"TypingEndsBrowsing", "pwd\rls\r", "\x1\x1x\x1", ">ls"},
        // Stepping back through nothing leaves the typed command as it is.
        {"EmptyHistory", "", "ab\x1\x1", ">ab"},
        {"EmptyHistoryDown", "", "ab\x2", ">ab"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Make();
        Type(row.history);
        Type(row.keys);
        EXPECT_EQ(LastLine(), row.line);
        EXPECT_EQ(m_Shell->GetCurrentPos(), m_Shell->GetLength());
    }
}

TEST_F(ShellTest, OldOutputIsProtected)
{
    const struct {
        const char* name;
        int caret; // -1: the end
        const char* keys;
        const char* text;
    } rows[] = {
        {"LetterMovesToEnd", 0, "x", ">ls\n>abx"},
        {"CapitalMovesToEnd", 1, "X", ">ls\n>abX"},
        {"BackspaceAtCommandStart", 5, "\b\b", ">ls\n>ab"},
        {"BackspaceInOutput", 2, "\b", ">ls\n>ab"},
        {"BackspaceInCommand", -1, "\b", ">ls\n>a"},
        {"HomeSkipsPrompt", -1, "\x3z", ">ls\n>zab"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Make();
        Type("ls\rab");
        m_Shell->GotoPos(row.caret < 0 ? m_Shell->GetLength() : row.caret);
        Type(row.keys);
        EXPECT_EQ(Text(), row.text);
    }
}

TEST_F(ShellTest, CommandsThatRemoveOrPasteKeepOldOutput)
{
    qeltest::ClipboardLock lock;
    ASSERT_TRUE(wxTheClipboard->Open());
    wxTheClipboard->SetData(new wxTextDataObject("cd"));
    wxTheClipboard->Close();

    const struct {
        const char* name;
        int id; // 0: Ctrl+V typed
        int from, to;
        const char* text;
    } rows[] = {
        {"PasteInOutput", wxID_PASTE, 1, 1, ">ls\n>abcd"},
        {"CtrlVInOutput", 0, 1, 1, ">ls\n>abcd"},
        {"DeleteInOutput", wxID_DELETE, 1, 1, ">ls\n>ab"},
        {"CutAcrossPrompt", wxID_CUT, 2, 6, ">ls\n>ab"},
        {"CutInCommand", wxID_CUT, 5, 6, ">ls\n>b"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Make();
        Type("ls\rab");
        m_Shell->SetSelection(row.from, row.to);
        if (row.id == 0) {
            Type("^V");
        } else {
            wxCommandEvent event(wxEVT_MENU, row.id);
            m_Shell->ProcessWindowEvent(event);
        }
        EXPECT_EQ(Text(), row.text);
    }
}

TEST_F(ShellTest, CommandEnd)
{
    const struct {
        const char* name;
        const char* keys;
        Commands posted;
        const char* text;
    } rows[] = {
        {"WithoutEndGoesOn", "ls\r", {}, ">ls\n"},
        {"EndPostsWithIt", "ls;\r", {"ls;"}, ">ls;\n>"},
        {"TwoLines", "ls\r-l;\r", {"ls\n-l;"}, ">ls\n-l;\n>"},
        {"History", "ls;\rhistory;\r", {"ls;"}, ">ls;\n>history;\n1 ls;\n2 history;\n>"},
        {"RecallByPrefix", "ls;\r!l;\r", {"ls;", "ls;"}, ">ls;\n>!l;\nls;\n>"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Make(";");
        m_Recorder.posted.clear();
        Type(row.keys);
        EXPECT_EQ(m_Recorder.posted, row.posted);
        EXPECT_EQ(Text(), row.text);
    }
}

TEST_F(ShellTest, HistoryStoredUnderShell)
{
    const wxString stored = wxString("c") + wxUniChar(3) + "b" + wxUniChar(3);
    Make(wxEmptyString, 2);
    Type("a\rb\rc\r");
    Make(wxEmptyString, 2); // the first one writes its history as it goes
    EXPECT_EQ(wxConfigBase::Get()->Read("Shell"), stored);
    EXPECT_EQ(m_Shell->GetCommands(), (Commands{"b", "c"}));

    // Without a count the history is neither read nor written.
    Make();
    EXPECT_TRUE(m_Shell->GetCommands().empty());
    Type("d\r");
    Make();
    EXPECT_EQ(wxConfigBase::Get()->Read("Shell"), stored);
}

TEST_F(ShellTest, DisabledShellIsAPlainEditor)
{
    m_Shell->EnableShell(false);
    Type("ls\r");
    m_Shell->Prompt("out", true);
    EXPECT_EQ(Text(), ">ls\n");
    EXPECT_TRUE(m_Recorder.ids.empty());

    m_Shell->EnableShell(true);
    Type("^C^Q");
    EXPECT_EQ(m_Recorder.ids, (std::vector<int>{ID_SHELL_COMMAND_STOP, ID_SHELL_COMMAND_STOP}));
}

TEST_F(ShellTest, TypingReachesThePromptWithViOn)
{
    wxConfigBase::Get()->Write(_("vi mode"), true);
    Make();
    Type("ls");
    EXPECT_FALSE(m_Shell->GetVi().GetIsActive());
    EXPECT_EQ(Text(), ">ls");
    EXPECT_EQ(m_Shell->GetName(), "SHELL");
}

} // namespace

namespace {

// The process runner as the shell's handler: lines typed reach the running
// child, its output comes back into the same shell, Ctrl+C stops it.
TEST_F(ShellTest, ProcessAnswersInTheSharedShell)
{
    wxTheApp->SetTopWindow(m_Frame);
    delete m_Shell;
    m_Shell = nullptr;
    {
        QelProcess process;
        ASSERT_GT(process.Execute("cat"), 0);
        m_Shell = dynamic_cast<QelSTCShell*>(QelProcess::GetSTC());
        ASSERT_NE(m_Shell, nullptr);
        EXPECT_EQ(m_Shell->GetCommandHandler(), &process);
        EXPECT_TRUE(m_Shell->GetParent()->IsShown());

        Type("hello\r");
        EXPECT_TRUE(qeltest::PumpUntil([&] { return Text() == ">hello\n>hello\n"; }, 5000))
            << Text();
        Type("^C");
        EXPECT_TRUE(qeltest::PumpUntil([&] { return !process.IsRunning(); }, 5000));

        // A synchronous run leaves the shell a plain editor showing its output.
        ASSERT_EQ(process.Execute("echo hi", wxEXEC_SYNC), 0);
        process.ShowOutput("caption");
        EXPECT_EQ(Text(), "hi");
        EXPECT_EQ(m_Shell->GetParent()->GetLabel(), "caption");
        EXPECT_FALSE(m_Shell->GetShellEnabled());
    }
    // The shell outlives the process and no longer posts to it.
    EXPECT_EQ(m_Shell->GetCommandHandler(), nullptr);
    wxTheApp->SetTopWindow(nullptr);
}

} // namespace
