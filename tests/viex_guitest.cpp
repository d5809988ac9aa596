// vi ex commands on a real editor control: addresses, ranges, substitute,
// move, write and set, and the events posted to the top window.
#include <csignal>

#include <sys/resource.h>

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/frame.h>

#include <qelkit/status.h>

#include "vi_harness.h"

namespace {

using qeltest::ViTest;

// The top window records what the ex commands post to it.
class ViExTest : public ViTest {
protected:
    void SetUp() override
    {
        ViTest::SetUp();
        m_PreviousTop = wxTheApp->GetTopWindow();
        wxTheApp->SetTopWindow(m_Frame);
        m_Frame->Bind(wxEVT_MENU, [this](wxCommandEvent& event) {
            m_Posted += wxString::Format("%d[%s] ", event.GetId(), event.GetString());
        });
        m_Frame->Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent& event) {
            m_Posted += event.CanVeto() ? "close " : "close! ";
            event.Veto();
        });
    }
    void TearDown() override
    {
        wxTheApp->SetTopWindow(m_PreviousTop);
        ViTest::TearDown();
    }

    // Runs the command as the command bar does, and what it posted.
    bool Exec(const wxString& command)
    {
        m_Posted.clear();
        const bool done = m_Vi->ExecCommand(command);
        wxTheApp->ProcessPendingEvents();
        return done;
    }

    static std::string Lines(int count)
    {
        std::string text;
        for (int i = 1; i <= count; ++i) text += std::to_string(i) + "\n";
        return text;
    }

    wxString m_Posted;
    wxWindow* m_PreviousTop = nullptr;
};

// One ex command on a text: the text after it (null: refused, the text
// unchanged), the message shown and the bells (-1: one when refused).
struct ExCase {
    const char *name, *text;
    int line;
    const char *command, *want;
    const char* message = "";
    int bells = -1;
};

const ExCase ExCases[] = {
    {"DeleteRange", "1\n2\n3\n4\n5\n6\n7\n8\n9\n10\n", 1, "1,3d", "4\n5\n6\n7\n8\n9\n10\n",
     "3 fewer lines"},
    {"DeleteCurrentLine", "a\nb\nc\n", 2, ".d", "a\nc\n"},
    {"DeleteOneLineRange", "a\nb\nc\n", 2, "2,.d", "a\nc\n"},
    {"DeleteWithOneAddress", "a\nb\n", 1, "5d", nullptr},
    {"DeleteBackwardsRange", "a\nb\nc\n", 1, "3,1d", nullptr},
    {"DeleteFromMark", "a\nb\nc\nd\n", 1, "'q,.d", nullptr, "", 2},
    {"MoveDown", "1\n2\n3\n4\n5\n6\n7\n8\n9\n10\n11\n12\n", 1, "2,4m 8",
     "1\n5\n6\n7\n8\n9\n10\n2\n3\n4\n11\n12\n", "3 lines moved"},
    {"MoveToZero", "a\nb\n", 1, "1,1m0", nullptr, "", 2},
    {"SubstituteEveryMatch", "aXa\nbab\n", 1, "%s/a/b/", "bXb\nbbb\n", "Replaced: 3 occurrences"},
    {"SubstituteRegex", "x1 x22\ny3\n", 1, "1,1s/x[0-9]+/n/", "n n\ny3\n", "Replaced: 2"},
    {"SubstituteWithoutPattern", "abc\n", 1, "%s", nullptr},
    // Replacements that add line breaks still end, and reach the range end.
    {"SubstituteAddingLineBreaks", "ab\nab\ncd\n", 1, "1,2s/\\(b\\)/\\1\\n\\n\\n/",
     "ab\n\n\n\nab\n\n\n\ncd\n", "Replaced: 2"},
    {"SubstituteLiteralAddsLines", "a;b;c\nd;e\n", 1, "1,1s/;/\n/", "a\nb\nc\nd;e\n",
     "Replaced: 2"},
    {"YankLastLines", "a\nb\n", 1, "1,$y", "a\nb\n", "2 lines yanked"},
    {"Unknown", "a\n", 1, "frobnicate", nullptr},
    {"SetTabStopWord", "a\n", 1, "set tabstop=x", nullptr},
};

void PrintTo(const ExCase& c, std::ostream* os)
{
    *os << c.name;
}

class ViEx : public ViExTest, public ::testing::WithParamInterface<ExCase> { };

TEST_P(ViEx, Result)
{
    const ExCase& c = GetParam();
    SetText(c.text, c.line);
    qeltest::LogCapture log;
    const int bells = m_Vi->GetBellCount();
    EXPECT_EQ(Exec(c.command), c.want != nullptr);
    EXPECT_EQ(Text(), c.want != nullptr ? c.want : c.text);
    EXPECT_EQ(m_Vi->GetBellCount() - bells, c.bells >= 0 ? c.bells : c.want == nullptr);
    if (*c.message != '\0')
        EXPECT_TRUE(log.Has(c.message)) << log.Dump();
    else
        EXPECT_EQ(log.Records().size(), 0u) << log.Dump();
}

INSTANTIATE_TEST_SUITE_P(QelVi, ViEx, ::testing::ValuesIn(ExCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Addresses read through "=", which shows the line number they name; 0 is
// a refused address. The last line is the last that holds text, not the
// empty one after the last line end.
TEST_F(ViExTest, Addresses)
{
    SetText(Lines(10), 4);
    Type("jjmaggmb"); // mark a on line 6, b on line 1
    for (const auto& [address, line] : {std::pair{"$", 10},
                                        {"$-1", 9},
                                        {".", 1},
                                        {"'a", 6},
                                        {"'a+2", 8},
                                        {"'a-'b", 5},
                                        {"-5", 1},
                                        {"99", 10},
                                        {"'z", 0},
                                        {"'", 0},
                                        {"0", 0},
                                        {"x", 0},
                                        {"1 0", 10},
                                        {"", 1},
                                        {"99999999999999999", 10},
                                        {"-99999999999999999", 1}}) {
        SCOPED_TRACE(address);
        qeltest::LogCapture log;
        const int bells = m_Vi->GetBellCount();
        EXPECT_EQ(Exec(wxString(address) + "="), line != 0);
        if (line != 0)
            EXPECT_TRUE(log.Has(wxString::Format("%d", line))) << log.Dump();
        else
            EXPECT_EQ(m_Vi->GetBellCount() - bells, 1);
    }
}

TEST_F(ViExTest, MoveKeepsTheClipboardDeleteFillsItAndRepeats)
{
    QelClipboardAdd("untouched");
    SetText(Lines(10));
    ASSERT_TRUE(Exec("2,4m 8"));
    EXPECT_EQ(QelClipboardGet(), "untouched");
    m_Stc->Undo();
    EXPECT_EQ(Text(), Lines(10)) << "the move is one undo step";
    ASSERT_TRUE(Exec("1,3d"));
    EXPECT_EQ(QelClipboardGet(), "1\n2\n3\n");
    Type(".");
    EXPECT_EQ(Text(), "7\n8\n9\n10\n");
}

TEST_F(ViExTest, GoToLineSelectsIt)
{
    SetText("a\nbb\nc\n");
    for (const auto& [command, selected] :
         {std::pair{"2", "bb"}, {"0", "a"}, {"99", "c"}, {"$", "c"}}) {
        SCOPED_TRACE(command);
        ASSERT_TRUE(Exec(command));
        EXPECT_EQ(m_Stc->GetSelectedText(), selected);
    }
}

TEST_F(ViExTest, WriteRangeToNewFilesOnly)
{
    const qeltest::CwdGuard cwd(m_Temp.Path());
    SetText("l1\nl2\nl3\n");
    m_Stc->SetSavePoint();
    ASSERT_TRUE(Exec("1,2wout.txt"));
    EXPECT_FALSE(m_Stc->GetModify());
    ASSERT_TRUE(Exec("2,3w   spaced.txt"));
    EXPECT_EQ(qeltest::ReadBytes(m_Temp.File("spaced.txt")), "l2\nl3\n");
    // An existing file is never written over.
    for (const char* command : {"1,2wout.txt", "1,2w", "1,2wno/such/folder/x"}) {
        SCOPED_TRACE(command);
        EXPECT_FALSE(Exec(command));
    }
    EXPECT_EQ(qeltest::ReadBytes(m_Temp.File("out.txt")), "l1\nl2\n");

    // A full disk (files limited to no bytes, as root too) is told once,
    // naming the file, and no part of the file is left.
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    void (*handler)(int) = signal(SIGXFSZ, SIG_IGN);
    const rlimit none{0, old.rlim_max};
    qeltest::LogCapture log;
    setrlimit(RLIMIT_FSIZE, &none);
    const bool written = Exec("1,3wfull.txt");
    setrlimit(RLIMIT_FSIZE, &old);
    signal(SIGXFSZ, handler);
    EXPECT_FALSE(written);
    EXPECT_EQ(log.Records().size(), 1u) << log.Dump();
    EXPECT_TRUE(log.Has("'full.txt'")) << log.Dump();
    EXPECT_FALSE(wxFileExists(m_Temp.File("full.txt")));
}

// What the commands that act on the document ask of the frame: the file
// name as typed, saving before closing only where asked.
TEST_F(ViExTest, PostedCommands)
{
    SetText("a\n");
    const std::pair<const char*, wxString> cases[] = {
        {"e  a b.txt", wxString::Format("%d[a b.txt] ", wxID_OPEN)},
        {"w  new.txt", wxString::Format("%d[new.txt] ", wxID_SAVEAS)},
        {"x", wxString::Format("%d[] close ", wxID_SAVE)},
        {"q", "close "},
    };
    for (const auto& [command, posted] : cases) {
        SCOPED_TRACE(command);
        EXPECT_TRUE(Exec(command));
        EXPECT_EQ(m_Posted, posted);
    }
    m_Posted.clear();
    Type("ZZ");
    wxTheApp->ProcessPendingEvents();
    EXPECT_EQ(m_Posted, wxString::Format("%d[] close ", wxID_SAVE));
    // Quitting without saving gives up this editor's changes only: the frame
    // may still ask about other documents.
    Type("x");
    EXPECT_TRUE(Exec("q!"));
    EXPECT_FALSE(m_Stc->GetModify());
    EXPECT_EQ(m_Posted, "close ");

    // A shell command runs in the background, leaving the text alone.
    const wxString marker = m_Temp.File("ran");
    EXPECT_TRUE(Exec("!touch " + marker));
    EXPECT_TRUE(qeltest::PumpUntil([&] { return wxFileExists(marker); }, 5000));
    EXPECT_EQ(Text(), "\n");
}

TEST_F(ViExTest, OffRefusesEverything)
{
    SetText("a\nb\n");
    m_Vi->Use(false);
    for (const char* command : {"d", "1,2d", "set ts=3", "q", "!touch x"}) {
        SCOPED_TRACE(command);
        EXPECT_FALSE(Exec(command));
    }
    EXPECT_EQ(Text(), "a\nb\n");
    EXPECT_EQ(m_Posted, "");
}

} // namespace
