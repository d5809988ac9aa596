// vi normal mode on a real editor control, with vim as the reference:
// the same text, caret and keys go to both, and the written file and the
// cursor are compared.
#include <algorithm>

#include <gtest/gtest.h>
#include <wx/clipbrd.h>
#include <wx/frame.h>

#include <qelkit/frd.h>

#include "vi_harness.h"

namespace qeltest {

void ViTest::SetUp()
{
    EditorTest::SetUp();
    m_Lock = std::make_unique<ClipboardLock>();
    m_Frame->SetSize(600, 400);
    m_Stc = new QelSTC(m_Frame);
    m_Stc->SetEOLMode(wxSTC_EOL_LF);
    // vim's defaults without a vimrc: a tab for each shift of 8 columns.
    m_Stc->SetUseTabs(true);
    m_Stc->SetIndent(8);
    m_Stc->SetTabWidth(8);
    // Up and down keep the caret's x, which is vim's column in a fixed font.
    m_Stc->StyleSetFont(wxSTC_STYLE_DEFAULT, wxFont(wxFontInfo(10).Family(wxFONTFAMILY_TELETYPE)));
    m_Stc->StyleClearAll();
    m_Vi = &m_Stc->GetVi();
    m_Vi->Use(true);
}

void ViTest::TearDown()
{
    m_Vi->Use(false);
    m_Lock.reset();
    EditorTest::TearDown();
}

void ViTest::SetText(const std::string& text, int line, int column)
{
    m_Stc->SetText(wxString::FromUTF8(text));
    m_Stc->EmptyUndoBuffer();
    m_Stc->GotoPos(m_Stc->PositionFromLine(line - 1) + column - 1);
    m_Stc->ChooseCaretX();
}

std::string ViTest::Text() const
{
    const wxCharBuffer raw = m_Stc->GetTextRaw();
    return std::string(raw.data(), m_Stc->GetLength());
}

std::string ViTest::Caret() const
{
    const int pos = m_Stc->GetCurrentPos();
    const int line = m_Stc->LineFromPosition(pos);
    return std::to_string(line + 1) + "," + std::to_string(pos - m_Stc->PositionFromLine(line) + 1);
}

void ViTest::SendKey(int key_code, int unicode, bool control)
{
    wxKeyEvent down(wxEVT_KEY_DOWN);
    down.SetEventObject(m_Stc);
    down.m_keyCode = key_code;
    down.m_uniChar = unicode;
    down.m_controlDown = control;
    // A key-down that nobody handles becomes a character event, as the
    // toolkit makes it.
    if (m_Stc->ProcessWindowEvent(down)) return;
    wxKeyEvent chr(wxEVT_CHAR);
    chr.SetEventObject(m_Stc);
    chr.m_keyCode = unicode < 128 ? unicode : WXK_NONE;
    chr.m_uniChar = unicode;
    chr.m_controlDown = control;
    m_Stc->ProcessWindowEvent(chr);
}

void ViTest::Type(const std::string& keys)
{
    static const std::pair<const char*, int> named[]
        = {{"<Esc>", WXK_ESCAPE}, {"<CR>", WXK_RETURN}, {"<BS>", WXK_BACK}, {"<Tab>", WXK_TAB}};
    const wxString text = wxString::FromUTF8(keys);
    for (size_t i = 0; i < text.length(); ++i) {
        const wxString rest = text.Mid(i);
        const auto key = std::find_if(std::begin(named), std::end(named),
                                      [&](const auto& k) { return rest.StartsWith(k.first); });
        if (key != std::end(named)) {
            SendKey(key->second, key->second, false);
            i += strlen(key->first) - 1;
        } else if (rest.StartsWith(":") && m_Vi->GetCommand().empty() && !m_Vi->GetInsertMode()) {
            // ":" opens the frame's command bar, which hands the line typed
            // up to Return to the vi.
            SendKey(':', ':', false);
            const wxString line = rest.Mid(1, rest.Find("<CR>") - 1);
            m_Vi->ExecCommand(line);
            i += line.length() + strlen(":<CR>") - 1;
        } else if (rest.StartsWith("<C-")) {
            const int letter = wxToupper(rest[3]);
            SendKey(letter, letter - 'A' + 1, true);
            i += 4;
        } else {
            const int c = text[i].GetValue();
            SendKey(c < 128 ? static_cast<int>(wxToupper(c)) : static_cast<int>(WXK_NONE), c,
                    false);
        }
    }
}

std::string ViTest::RunVim(const std::string& text, int line, int column, const std::string& keys,
                           std::string* caret) const
{
    // The keys inside a double-quoted vim string, the special ones escaped.
    std::string quoted;
    for (size_t i = 0; i < keys.size(); ++i) {
        if (keys.compare(i, 3, "<C-") == 0 || keys.compare(i, 5, "<Esc>") == 0
            || keys.compare(i, 4, "<CR>") == 0 || keys.compare(i, 4, "<BS>") == 0
            || keys.compare(i, 5, "<Tab>") == 0)
            quoted += '\\';
        else if (keys[i] == '"' || keys[i] == '\\')
            quoted += '\\';
        quoted += keys[i];
    }
    TempDir dir;
    const wxString file = dir.File("text.txt");
    const wxString pos = dir.File("pos.txt");
    const wxString script = dir.File("keys.vim");
    WriteBytes(file, text);
    WriteBytes(script,
               "call cursor(" + std::to_string(line) + ", " + std::to_string(column) + ")\n"
                   + "exe \"normal " + quoted + "\"\n"
                   + "call writefile([line('.') . ',' . col('.')], '" + pos.utf8_string()
                   + "')\nwq!\n");
    qeltest::Run("cd " + ShellQuote(dir.Path()) + " && timeout 10 vim -u NONE -i NONE -N -n -es -S "
                 + ShellQuote(script) + " " + ShellQuote(file) + " </dev/null >/dev/null 2>&1");
    if (caret != nullptr) {
        *caret = ReadBytes(pos);
        while (!caret->empty() && caret->back() == '\n') caret->pop_back();
    }
    return ReadBytes(file);
}

} // namespace qeltest

namespace {

using qeltest::ViTest;

// One normal-mode case. With `part` empty the editor must write what vim
// writes; otherwise the editor deliberately differs and must give `part`
// (the note says why). The caret is compared only where both place it on
// the same character.
struct ViCase {
    const char* name;
    const char* text;
    int line;
    int column;
    const char* keys;
    bool caret;
    const char* part;
    const char* note;
};

const ViCase ViCases[] = {
    // Motions and counts.
    {"CountDown", "a\nb\nc\nd\n", 1, 1, "2jx", true, "", ""},
    {"CountUpKeepsColumn", "abcd\nefgh\nijkl\n", 3, 3, "2kx", true, "", ""},
    {"RightThenDown", "abcd\nefgh\nijkl\n", 1, 1, "lljx", true, "", ""},
    {"HugeCountDown", "a\nb\nc\n", 1, 1, "999999999jx", false, "a\nb\nc\n",
     "the editor's last line is the empty one after the last line break: nothing to delete"},
    {"WordsForward", "one two three four\n", 1, 1, "2wx", true, "", ""},
    {"WordBack", "one two three\n", 1, 9, "bx", true, "", ""},
    {"LineEndAndStart", "  abc\n", 1, 3, "0x", true, "", ""},
    {"GotoLine", "a\nb\nc\nd\n", 1, 1, "3Gx", true, "", ""},
    {"GotoStartWithG", "a\nb\nc\n", 3, 1, "gx", false, "\nb\nc\n",
     "\"g\" goes to the document start alone (vim waits for a second key)"},
    {"LastLineWithG", "a\nb\nc\n", 1, 1, "GkX", false, "a\nbc\n",
     "\"G\" goes to the end of the document, after the last line break"},
    {"Brace", "f(a, (b));\n", 1, 2, "%x", true, "", ""},
    {"Paragraph", "a\n\nb\nc\n\nd\n", 3, 1, "}dd", false, "a\n\nb\nc\n\n",
     "\"}\" goes on to the next paragraph's first line, vim stops at the blank line"},
    // Deleting.
    {"DeleteChars", "abcdef\n", 1, 2, "3x", true, "", ""},
    {"DeleteUtf8Chars",
     "a\xc3\xa9\xe2\x82\xac"
     "b\n",
     1, 2, "2x", true, "", ""},
    {"DeleteBack", "abcdef\n", 1, 4, "2X", true, "", ""},
    {"DeleteLines", "a\nb\nc\nd\ne\n", 2, 1, "2dd", false, "", ""},
    {"DeleteWords", "one two three\n", 1, 1, "2dw", true, "", ""},
    {"DeleteToEnd", "one two\n", 1, 4, "D", false, "", ""},
    {"DeleteToEndWithDDollar", "one two\n", 1, 4, "d$", false, "", ""},
    {"DeleteToStart", "one two\n", 1, 5, "d0", true, "", ""},
    {"ReplaceChars", "abcdef\n", 1, 2, "3rx", false, "", ""},
    {"ReplaceUtf8Char", "\xc3\xa9t\xc3\xa9\n", 1, 1, "2rx", false, "", ""},
    {"ReplaceWithUtf8", "abc\n", 1, 1, "r\xc3\xa9", false, "", ""},
    {"ToggleCase", "aBc\n", 1, 1, "~~~", false, "", ""},
    {"ToggleUtf8Case", "\xc3\xa9t\xc3\xa9\n", 1, 1, "~~", false, "", ""},
    {"Join", "a\nb\nc\n", 1, 1, "J", false, "", ""},
    // Changing and inserting.
    {"Insert", "abc\n", 1, 2, "ixy<Esc>", false, "", ""},
    {"Append", "abc\n", 1, 2, "axy<Esc>", false, "", ""},
    {"OpenBelow", "a\nb\n", 1, 1, "oxy<Esc>", false, "", ""},
    {"OpenAbove", "a\nb\n", 2, 1, "Oxy<Esc>", false, "", ""},
    {"InsertCount", "ab\n", 1, 2, "3ix<Esc>", false, "", ""},
    {"InsertReturn", "ab\n", 1, 2, "ix<CR>y<Esc>", false, "", ""},
    {"ChangeWord", "one two\n", 1, 1, "cwxy<Esc>", false, "", ""},
    {"ChangeLine", "one\ntwo\n", 1, 2, "ccxy<Esc>", false, "", ""},
    {"ChangeToEnd", "one two\n", 1, 5, "Cxy<Esc>", false, "", ""},
    {"ShiftRight", "a\nb\nc\n", 1, 1, "2>>", false, "", ""},
    {"ShiftLeft", "\t\ta\n\tb\n", 1, 1, "2<<", false, "", ""},
    // Repeat, yank and put, undo.
    {"DotDeletesLine", "a\nb\nc\nd\n", 1, 1, "dd.", false, "", ""},
    {"DotReplays3x", "abcdefgh\n", 1, 1, "3x.", true, "", ""},
    {"DotInsertOnce", "ab\n", 1, 1, "3ix<Esc>.", false, "xxxxab\n",
     "\".\" inserts the text once, without the count"},
    {"DotAfterChangeWord", "one two three\n", 1, 1, "cwX<Esc>w.", false, "", ""},
    {"YankPutLine", "a\nb\nc\n", 1, 1, "yyjp", true, "", ""},
    {"YankPutLinesAbove", "a\nb\nc\n", 2, 1, "2yyP", false, "", ""},
    {"DeletePutLine", "a\nb\nc\n", 1, 1, "ddp", true, "", ""},
    {"Undo", "abc\n", 1, 1, "xxu", false, "", ""},
    // Finding.
    {"FindChar", "a.b.c\n", 1, 1, "2f.x", false, "ab.c\n",
     "\"f\" searches a regular expression, where \".\" is any character"},
    {"FindCharDelete", "a-b-c\n", 1, 1, "2f-x", false, "", ""},
    {"FindCharBackDelete", "a-b-c\n", 1, 5, "F-X", false, "a-bc\n",
     "\"X\" takes the character found, vim the one before it"},
    {"FindCharRepeat", "a-b-c-d\n", 1, 1, "f-;D", false, "", ""},
    // Ex commands typed in normal mode.
    {"ExDeleteRange", "1\n2\n3\n4\n5\n", 1, 1, ":2,3d<CR>", false, "", ""},
    {"ExSubstituteGroups", "ab ab\ncd\n", 1, 1, ":%s/\\(a\\)\\(b\\)/\\2\\1/g<CR>", false, "", ""},
    {"ExMarks", "a\nb\nc\nd\ne\n", 2, 1, "majjmb:'a,'bd<CR>", false, "", ""},
    {"ExMarkOffset", "a\nb\nc\nd\ne\n", 2, 1, "ma:'a+1,'a+2d<CR>", false, "", ""},
    {"ExIndent", "a\nb\nc\n", 1, 1, ":1,2><CR>", false, "", ""},
    {"ExMove", "1\n2\n3\n4\n5\n6\n", 1, 1, ":1,2m 5<CR>", false, "3\n4\n5\n6\n1\n2\n",
     "the lines land at the start of the destination line of the shortened document"},
};

void PrintTo(const ViCase& c, std::ostream* os)
{
    *os << c.name;
}

class ViOracle : public ViTest, public ::testing::WithParamInterface<ViCase> { };

TEST_P(ViOracle, SameResultAsVim)
{
    const ViCase& c = GetParam();
    std::string vim_caret;
    const std::string vim = RunVim(c.text, c.line, c.column, c.keys, &vim_caret);
    ASSERT_FALSE(vim.empty()) << "vim wrote nothing";

    SetText(c.text, c.line, c.column);
    Type(c.keys);
    if (*c.part == '\0') {
        EXPECT_EQ(Text(), vim);
        if (c.caret) {
            EXPECT_EQ(Caret(), vim_caret);
        }
    } else {
        EXPECT_EQ(Text(), c.part) << c.note;
        EXPECT_NE(vim, c.part) << "vim agrees now: the row needs no exception";
    }
    EXPECT_FALSE(m_Vi->GetInsertMode());
}

INSTANTIATE_TEST_SUITE_P(QelVi, ViOracle, ::testing::ValuesIn(ViCases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace

namespace {

// Keys whose result the editor decides on its own: where vim's differs, or
// where the written behaviour would corrupt the text or never end.
struct KeyCase {
    const char* name;
    const char* text;
    int line;
    int column;
    const char* keys;
    const char* want;
    int bells;
    const char* pending; // what stays of the command afterwards
};

const KeyCase KeyCases[] = {
    // "r" never replaces a line break, nor adds at the document end.
    {"ReplacePastLineEnd", "abc\ndef\n", 1, 1, "5rx", "abc\ndef\n", 1, ""},
    {"ReplaceAtDocumentEnd", "abc", 1, 4, "rx", "abc", 1, ""},
    {"ReplaceCountOverLastChar", "abc", 1, 3, "3rx", "abc", 1, ""},
    {"ReplaceWholeCharacters",
     "\xc3\xa9\xc3\xa9"
     "a\n",
     1, 1, "2r\xe2\x82\xac",
     "\xe2\x82\xac\xe2\x82\xac"
     "a\n",
     0, ""},
    {"ToggleAtDocumentEnd", "ab", 1, 3, "~", "ab", 0, ""},
    {"DeleteCharsStopsAtDocumentEnd", "abc\ndef\n", 2, 2, "999999999x", "abc\nd", 0, ""},
    {"DeleteBackStopsAtDocumentStart", "abc\n", 1, 3, "999999999X", "c\n", 0, ""},
    // "." replays what was stored before it, never itself.
    {"DotWithCountReplaysStored", "abcdef\n", 1, 1, "x3..", "def\n", 0, ""},
    {"DotAfterPutRepeatsEarlier", "a\nb\nc\nd\n", 1, 1, "ddP.", "a\nc\nd\n", 0, ""},
    {"MarkJoinsLines", "a\nb\n", 1, 1, "mJ", "a b\n", 0, ""},
    {"UnsetMarkRings", "a\nb\n", 1, 1, "'b", "a\nb\n", 1, ""},
    {"CountStaysPending", "a\n", 1, 1, "10", "a\n", 0, "10"},
    {"EscapeRingsAndClears", "a\n", 1, 1, "12<Esc>", "a\n", 1, ""},
    {"BackspaceKeepsOneCollected", "ab\n", 1, 1, "ia<BS><Esc>$.", "aba\n", 0, ""},
    {"ShiftBeyondLastLine", "a\nb\n", 2, 1, "999999999>>", "a\n\tb\n\t", 0, ""},
    {"JoinBeyondLastLine", "a\nb\n", 2, 1, "999999999J", "a\nb ", 0, ""},
};

void PrintTo(const KeyCase& c, std::ostream* os)
{
    *os << c.name;
}

class ViKeys : public ViTest, public ::testing::WithParamInterface<KeyCase> { };

TEST_P(ViKeys, Result)
{
    const KeyCase& c = GetParam();
    SetText(c.text, c.line, c.column);
    const int bells = m_Vi->GetBellCount();
    Type(c.keys);
    EXPECT_EQ(Text(), c.want);
    EXPECT_EQ(m_Vi->GetBellCount() - bells, c.bells);
    EXPECT_EQ(m_Vi->GetCommand(), c.pending);
}

INSTANTIATE_TEST_SUITE_P(QelVi, ViKeys, ::testing::ValuesIn(KeyCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ViTest, HugeCountsReturnAtOnce)
{
    std::string text;
    for (int i = 0; i < 200000; ++i) text += "line " + std::to_string(i) + "\n";
    SetText(text);
    QelFindReplaceData::Get()->SetFindString("line");
    for (const char* keys : {"999999999j", "999999999k", "999999999l", "999999999w",
                             "999999999<C-g>", "999999999fe", "999999999n", "999999999yw"}) {
        SCOPED_TRACE(keys);
        wxStopWatch watch;
        Type(keys);
        // Stepping each of those counts takes hours; a bounded one a fraction
        // of a second, more on a loaded machine.
        EXPECT_LT(watch.Time(), 15000);
    }
    Type("999999999j");
    EXPECT_EQ(Caret(), "200001,1");
}

TEST_F(ViTest, ReturnRepeatsWithTheDocumentsLineEnd)
{
    for (const int eol : {wxSTC_EOL_LF, wxSTC_EOL_CRLF, wxSTC_EOL_CR}) {
        SCOPED_TRACE(eol);
        SetText("ab");
        m_Stc->SetEOLMode(eol);
        const std::string end = m_Stc->GetEOL().utf8_string();
        Type("3ix<CR><Esc>");
        EXPECT_EQ(Text(), "x" + end + "x" + end + "x" + end + "ab");
        Type(".");
        EXPECT_EQ(Text(), "x" + end + "x" + end + "x" + end + "x" + end + "ab");
    }
}

TEST_F(ViTest, LeavingInsertModeClosesItsUndoGroup)
{
    const std::function<void()> leave[] = {
        [this] { m_Vi->Use(false); },
        [this] { m_Stc->SetText("again"); },
    };
    for (const auto& how : leave) {
        SetText("ab");
        m_Vi->Use(true);
        Type("ixy");
        ASSERT_TRUE(m_Vi->GetInsertMode());
        how();
        EXPECT_FALSE(m_Vi->GetInsertMode());
        const std::string before = Text();
        m_Stc->InsertText(0, "Q");
        m_Stc->Undo();
        // Only the last edit goes: it was not merged into an open group.
        EXPECT_EQ(Text(), before);
    }
}

TEST_F(ViTest, LinesMessagesAndMarks)
{
    qeltest::LogCapture log;
    SetText("1\n2\n3\n4\n5\n6\n7\n8\n");
    Type("3dd");
    EXPECT_EQ(Text(), "4\n5\n6\n7\n8\n");
    EXPECT_TRUE(log.Has("3 fewer lines")) << log.Dump();
    log.Clear();
    Type("dd2yy");
    EXPECT_TRUE(log.Has("2 lines yanked")) << log.Dump();
    EXPECT_FALSE(log.Has("fewer")) << "\"dd\" tells nothing";

    SetText("1\n2\n3\n4\n5\n6\n7\n8\n", 7);
    Type("ma");
    EXPECT_TRUE(m_Stc->MarkerGet(6) & 1);
    Type("gmagjj");
    EXPECT_FALSE(m_Stc->MarkerGet(6) & 1) << "a mark set again moves";
    EXPECT_TRUE(m_Stc->MarkerGet(0) & 1);
    Type("'a");
    EXPECT_EQ(m_Stc->GetSelectedText(), "1");
}

TEST_F(ViTest, ReadOnlyEditorMovesButNeverChanges)
{
    SetText("one two\nthree\n");
    m_Stc->SetReadOnly(true);
    const int bells = m_Vi->GetBellCount();
    Type("cw");
    EXPECT_EQ(Caret(), "1,5") << "\"cw\" ends as \"w\"";
    Type("~xXDddrxiabc<Esc>>>");
    EXPECT_EQ(Text(), "one two\nthree\n");
    EXPECT_FALSE(m_Vi->GetInsertMode());
    EXPECT_FALSE(m_Stc->GetModify());
    EXPECT_EQ(m_Vi->GetBellCount() - bells, 1) << "the Escape only";
}

TEST_F(ViTest, SearchesWithTheSharedFindString)
{
    SetText("ab x ab y ab\n");
    Type("*");
    EXPECT_EQ(QelFindReplaceData::Get()->GetFindString(), "\\<ab\\>");
    EXPECT_EQ(m_Stc->GetSelectionStart(), 0) << "the search starts at the caret";
    Type("n");
    EXPECT_EQ(m_Stc->GetSelectionStart(), 5);
    Type("2n");
    EXPECT_EQ(m_Stc->GetSelectionStart(), 0) << "after a wrap";
    Type("N");
    EXPECT_EQ(m_Stc->GetSelectionStart(), 10);
    const int bells = m_Vi->GetBellCount();
    SetText("  \n");
    Type("*");
    EXPECT_EQ(m_Vi->GetBellCount() - bells, 1) << "no word at the caret";
}

} // namespace
