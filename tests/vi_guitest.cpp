// vi normal mode on a real editor control, with vim as the reference:
// the same text, caret and keys go to both, and the written file and the
// cursor are compared.
#include <algorithm>
#include <tuple>

#include <gtest/gtest.h>
#include <wx/clipbrd.h>
#include <wx/frame.h>

#include <qelkit/frd.h>
#include <qelkit/indicator.h>

#include "vi_harness.h"

namespace qeltest {

namespace {
// The keys with a name, as vim writes them, with their modifiers.
const std::tuple<const char*, int, int> kNamed[] = {{"<Esc>", WXK_ESCAPE, 0},
                                                    {"<CR>", WXK_RETURN, 0},
                                                    {"<BS>", WXK_BACK, 0},
                                                    {"<M-BS>", WXK_BACK, wxMOD_ALT},
                                                    {"<Tab>", WXK_TAB, 0},
                                                    {"<Down>", WXK_DOWN, 0},
                                                    {"<Right>", WXK_RIGHT, 0},
                                                    {"<End>", WXK_END, 0}};
} // namespace

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
    m_Stc->ClearAll(); // as bytes: some rows hold bytes that are not UTF-8
    m_Stc->AppendTextRaw(text.data(), text.size());
    m_Stc->SetEOLMode(text.find("\r\n") != std::string::npos ? wxSTC_EOL_CRLF : wxSTC_EOL_LF);
    m_Stc->EmptyUndoBuffer();
    m_Stc->GotoPos(m_Stc->PositionFromLine(line - 1) + column - 1);
    m_Stc->ChooseCaretX();
}

std::string ViTest::Caret() const
{
    const int pos = m_Stc->GetCurrentPos();
    const int line = m_Stc->LineFromPosition(pos);
    return std::to_string(line + 1) + "," + std::to_string(pos - m_Stc->PositionFromLine(line) + 1);
}

void ViTest::SendKey(int key_code, int unicode, int modifiers)
{
    PressKey(m_Stc, key_code, unicode, modifiers);
}

void ViTest::Type(const std::string& keys)
{
    const wxString text = wxString::FromUTF8(keys);
    for (size_t i = 0; i < text.length(); ++i) {
        const wxString rest = text.Mid(i);
        const auto key = std::find_if(std::begin(kNamed), std::end(kNamed), [&](const auto& k) {
            return rest.StartsWith(std::get<0>(k));
        });
        if (key != std::end(kNamed)) {
            const auto& [name, code, modifiers] = *key;
            SendKey(code, code, modifiers);
            i += strlen(name) - 1;
        } else if (rest.StartsWith(":") && m_Vi->GetCommand().empty() && !m_Vi->GetInsertMode()) {
            // ":" opens the frame's command bar, which hands the line typed
            // up to Return to the vi.
            SendKey(':', ':', 0);
            const wxString line = rest.Mid(1, rest.Find("<CR>") - 1);
            m_Vi->ExecCommand(line);
            i += line.length() + strlen(":<CR>") - 1;
        } else if ((rest.StartsWith("/") || rest.StartsWith("?")) && m_Vi->GetCommand().empty()
                   && !m_Vi->GetInsertMode()) {
            // The bar searches the text typed up to Return as it does when
            // nothing was typed into it: once, from the caret.
            SendKey(rest[0].GetValue(), rest[0].GetValue(), 0);
            const wxString find = rest.Mid(1, rest.Find("<CR>") - 1);
            QelFindReplaceData::Get()->SetFindString(find);
            m_Stc->FindNext(find, m_Vi->GetSearchFlags(), rest[0] == '/');
            i += find.length() + strlen("/<CR>") - 1;
        } else if (rest.StartsWith("<C-")) {
            // "<C-S-x>" holds Shift down too.
            const bool shift = rest.StartsWith("<C-S-");
            const int letter = wxToupper(rest[shift ? 5 : 3]);
            SendKey(letter, letter - 'A' + 1, wxMOD_CONTROL | (shift ? wxMOD_SHIFT : 0));
            i += shift ? 6 : 4;
        } else {
            const int c = text[i].GetValue();
            SendKey(c < 128 ? static_cast<int>(wxToupper(c)) : static_cast<int>(WXK_NONE), c, 0);
        }
    }
}

std::string ViTest::RunVim(const std::string& text, int line, int column, const std::string& keys,
                           std::string* caret) const
{
    // The keys inside a double-quoted vim string, the named ones escaped.
    std::string quoted;
    for (size_t i = 0; i < keys.size(); ++i) {
        const bool named = keys.compare(i, 3, "<C-") == 0
            || std::any_of(std::begin(kNamed), std::end(kNamed), [&](const auto& k) {
                               const char* name = std::get<0>(k);
                               return keys.compare(i, strlen(name), name) == 0;
                           });
        if (named || keys[i] == '"' || keys[i] == '\\') quoted += '\\';
        quoted += keys[i];
    }
    TempDir dir;
    const wxString file = dir.File("text.txt"), pos = dir.File("pos.txt");
    const wxString script = dir.File("keys.vim");
    WriteBytes(file, text);
    // vim's Backspace goes over line ends and the insert's start, as the
    // editor's does.
    WriteBytes(script,
               "set nofixeol\nset backspace=2\ncall cursor(" + std::to_string(line) + ", "
                   + std::to_string(column) + ")\n" + "exe \"normal " + quoted + "\"\n"
                   + "call writefile([line('.') . ',' . col('.')], '" + pos.utf8_string()
                   + "')\nwq!\n");
    qeltest::Run("cd " + ShellQuote(dir.Path()) + " && timeout 10 vim -u NONE -i NONE -N -n -es -S "
                 + ShellQuote(script) + " " + ShellQuote(file) + " </dev/null >/dev/null 2>&1");
    *caret = ReadBytes(pos);
    while (!caret->empty() && caret->back() == '\n') caret->pop_back();
    return ReadBytes(file);
}

} // namespace qeltest

namespace {

using qeltest::ViTest;

// How a row's result is judged: as vim's text (and cursor), or as `want`
// where the editor deliberately differs from vim (vim is run to see that it
// still does), or as `want` alone where vim is no guide.
enum How { Vim, VimCaret, Differs, Own };

// One normal-mode case; with Own also the bells and what stays of the
// command afterwards.
struct ViCase {
    const char *name, *text;
    int line, column;
    const char* keys;
    How how;
    const char* want = "";
    int bells = 0;
    const char* pending = "";
};

const char* const kTenLines
    = "line 1\nline 2\nline 3\nline 4\nline 5\nline 6\nline 7\nline 8\nline 9\nline 10\n";

const ViCase ViCases[] = {
    // Motions and counts.
    {"CountUpKeepsColumn", "abcd\nefgh\nijkl\n", 3, 3, "2kx", VimCaret},
    {"RightThenDown", "abcd\nefgh\nijkl\n", 1, 1, "lljx", VimCaret},
    // The editor's last line is the empty one after the last line break.
    {"HugeCountDown", "a\nb\nc\n", 1, 1, "999999999jx", Differs, "a\nb\nc\n"},
    {"WordsForward", "one two three four\n", 1, 1, "2wx", VimCaret},
    {"WordBack", "one two three\n", 1, 9, "bx", VimCaret},
    {"LineEndAndStart", "  abc\n", 1, 3, "0x", VimCaret},
    {"GotoLine", "a\nb\nc\nd\n", 1, 1, "3Gx", VimCaret},
    // "g" goes to the document start alone (vim waits for a second key).
    {"GotoStartWithG", "a\nb\nc\n", 3, 1, "gx", Differs, "\nb\nc\n"},
    // "G" goes to the end of the document, after the last line break.
    {"LastLineWithG", "a\nb\nc\n", 1, 1, "Gkx", Differs, "a\nb\n\n"},
    {"Brace", "f(a, (b));\n", 1, 2, "%x", VimCaret},
    // "}" goes on to the next paragraph's first line, vim stops at the blank.
    {"Paragraph", "a\n\nb\nc\n\nd\n", 3, 1, "}dd", Differs, "a\n\nb\nc\n\n"},
    // Deleting.
    {"DeleteUtf8Chars", "a\303\251\342\202\254b\n", 1, 2, "2x", VimCaret},
    {"DeleteBack", "abcdef\n", 1, 4, "2X", VimCaret},
    {"DeleteLines", "a\nb\nc\nd\ne\n", 2, 1, "2dd", Vim},
    {"DeleteWords", "one two three\n", 1, 1, "2dw", VimCaret},
    {"DeleteToEnd", "one two\nthree four\n", 1, 4, "Dj0wd$", Vim},
    {"DeleteToStart", "one two\n", 1, 5, "d0", VimCaret},
    {"ReplaceUtf8Chars", "\303\251\303\251a\n", 1, 1, "2r\xe2\x82\xac", Vim},
    {"ToggleCase", "aB\xc3\xa9\n", 1, 1, "~~~", Vim},
    {"Join", "a\nb\nc\nd\ne\n", 1, 1, "J3J", Vim},
    // Lines stay whole, also the last one without a line end.
    {"DeleteLastCharNotLineEnd", "ab\ncd\n", 1, 1, "$x", Vim},
    {"DeleteBackStopsAtLineStart", "abc\ndef\n", 2, 2, "999999999X", Vim},
    {"DeleteCharsStopAtLineEnd", "abc\ndef\n", 2, 2, "999999999x", Vim},
    {"AppendAtLineEnd", "ab\ncd\n", 1, 1, "$ax<Esc>", Vim},
    // A caret after the last character stands on it; the last word moved
    // over ends at its line end, and an empty line is a word.
    {"DeleteWordAtLineEnds", "one two\nthree\n", 1, 8, "dwjdw", Vim},
    {"DeleteWordAtCrLfUtf8LineEnd", "ab c\303\251\r\nef\r\n", 1, 7, "dw", Vim},
    {"DeleteTrailingBlanksDot", "ab  \ncd\n", 1, 3, "dw.", Vim},
    {"DeleteWordsPastLineEnds", "one two\nthree\nfour five\n", 1, 5, "3dw", Vim},
    {"DeleteWordsToEmptyLine", "one\n\n\ntwo\n", 1, 3, "2dw", Vim},
    {"DeleteWordsFromIndentTakesLines", "  one\n\ntwo\n", 1, 3, "2dw", Vim},
    {"ChangeWordAtLineEnd", "one two\nthree\n", 1, 8, "cwX<Esc>", Vim},
    {"ChangeTrailingBlanks", "one  \ntwo\n", 1, 4, "cwX<Esc>", Vim},
    {"ChangeWordOnEmptyLine", "a\n\nb\n", 2, 1, "cwX<Esc>", Vim},
    {"ChangeWordsPastLineEnd", "one two\nthree four\n", 1, 5, "2cwX<Esc>", Vim},
    {"ChangeWordEndStopsAtPunctuation", "one.two three\n", 1, 3, "2cwX<Esc>", Vim},
    {"ChangeWordDotAtLineEnd", "ab cd\nef gh\n", 1, 4, "cwX<Esc>j$.", Vim},
    {"ReplaceAtLineEndDot", "ab\ncd\n", 1, 3, "rxj$.", Vim},
    // To the line end from after the last character is nothing; "~" there
    // goes on to the next line.
    {"DeleteToEndAtLineEnd", "ab\ncd\n", 1, 3, "Dd$", Differs, "ab\ncd\n"},
    {"ChangeToEndAtLineEnd", "ab\ncd\n", 1, 3, "CX<Esc>", Differs, "abX\ncd\n"},
    {"ToggleCaseAtLineEnd", "ab\ncd\n", 1, 3, "~~", Differs, "ab\nCd\n"},
    {"DeleteUnendedLastLine", "a\nb\nc", 3, 1, "dd", Vim},
    {"PutUnendedLastLineAbove", "a\nb\n\xe9z", 3, 1, "yyggP", VimCaret},
    {"PutBelowUnendedLastLine", "\xe9q\nb", 1, 1, "yyjp", VimCaret},
    {"ExMoveBelowUnendedLast", "a\nb\nc", 1, 1, ":1,1m 3<CR>", Vim},
    {"ExMoveToEnd", "a\nb\nc", 1, 1, ":1,2m $<CR>", Vim},
    // The lines go to the start of line 1, vim puts them below it.
    {"ExMoveUnendedLastUp", "a\nb\nc", 1, 1, ":3,3m 1<CR>", Differs, "c\na\nb"},
    {"ExDeleteUnendedLastLines", "a\nb\nc", 1, 1, ":2,3d<CR>", Vim},
    // Changing and inserting.
    {"Append", "abc\n", 1, 2, "axy<Esc>", Vim},
    {"OpenBelowAndAbove", "a\nb\n", 1, 1, "oxy<Esc>Ozw<Esc>", Vim},
    {"InsertCount", "ab\n", 1, 2, "3ix<Esc>", Vim},
    {"InsertReturn", "ab\n", 1, 2, "ix<CR>y<Esc>", Vim},
    // Backspace takes back the whole line end Return recorded.
    {"CountedInsertBackOverCrLf", "one\r\ntwo\r\nthree\r\n", 1, 1, "3ia<CR><BS>b<Esc>", Vim},
    {"CountedInsertReturnFirstBackOverCrLf", "one\r\ntwo\r\n", 1, 1, "3i<CR><BS>b<Esc>", Vim},
    {"CountedInsertReturnFirstBackOverLf", "one\ntwo\n", 1, 1, "3i<CR><BS>b<Esc>", Vim},
    {"ChangeWord", "one two\n", 1, 1, "cwxy<Esc>", Vim},
    {"ChangeLine", "one\ntwo\n", 1, 2, "ccxy<Esc>", Vim},
    {"ChangeToEnd", "one two\n", 1, 5, "Cxy<Esc>", Vim},
    {"ShiftRight", "a\nb\nc\n", 1, 1, "2>>", Vim},
    {"ShiftLeft", "\t\ta\n\tb\n", 1, 1, "2<<", Vim},
    // Repeat, yank and put (bytes that are not UTF-8 kept), undo.
    {"DotReplays3x", "abcdefgh\n", 1, 1, "3x.", VimCaret},
    // "." inserts the text once, without the count.
    {"DotInsertOnce", "ab\n", 1, 1, "3ix<Esc>.", Differs, "xxxxab\n"},
    {"DotAfterChangeWord", "one two three\n", 1, 1, "cwX<Esc>w.", Vim},
    // A yank leaves nothing selected that a put would replace.
    {"YankWordPut", "\xe9\xe9 two\n", 1, 1, "ywP", Differs, "\xe9\xe9\xe9\xe9 two\n"},
    {"YankWordKeepsCaret", "one two\n", 1, 2, "ywx", VimCaret},
    {"YankPutLinesAbove", "a\n\xe9x\nc\n", 2, 1, "2yyP", Vim},
    {"YankPutCrLfLines", "a\r\nb\r\n", 1, 1, "yyp", Vim},
    {"DeletePutLine", "a\xe9\nb\nc\n", 1, 1, "ddp", VimCaret},
    {"Undo", "abc\n", 1, 1, "xxu", Vim},
    // Finding. "f" searches a regular expression, where "." is any character.
    {"FindChar", "a.b.c\n", 1, 1, "2f.x", Differs, "ab.c\n"},
    {"FindCharBackDelete", "a-b-c\n", 1, 5, "F-X", Vim},
    {"FindCharRepeat", "a-b-c-d\n", 1, 1, "f-;D", Vim},
    {"FindWordWithByte", "x\xe9y a\nx\xe9y b\n", 1, 3, "*0x", VimCaret},
    {"FindWordBackWithByte", "x\xe9y a\nx\xe9y b\n", 2, 3, "#0x", VimCaret},
    // A jump or a search leaves its target selected, but the commands act
    // where vi's cursor stands, at the target's start: nothing replaces it.
    {"InsertAfterGotoLine", kTenLines, 1, 1, ":5<CR>iX<Esc>", Vim},
    {"InsertAfterSearch", kTenLines, 1, 1, "/ne 3<CR>iY<Esc>", Vim},
    {"InsertAfterNextMatch", kTenLines, 1, 1, "/ne<CR>niY<Esc>", Vim},
    {"InsertAfterMatchBefore", kTenLines, 3, 1, "/ne<CR>NiY<Esc>", Vim},
    {"InsertAfterMarkJump", kTenLines, 5, 1, "magg'aiX<Esc>", Vim},
    {"InsertAfterWordSearch", kTenLines, 3, 2, "*iX<Esc>", Vim},
    {"InsertAfterWordSearchBack", kTenLines, 3, 2, "#iX<Esc>", Vim},
    {"DeleteCharAfterGotoLine", kTenLines, 1, 1, ":5<CR>x", VimCaret},
    {"ReplaceCharAfterGotoLine", kTenLines, 1, 1, ":5<CR>rZ", VimCaret},
    {"ToggleCaseAfterGotoLine", kTenLines, 1, 1, ":5<CR>~", VimCaret},
    {"DeleteWordAfterSearch", kTenLines, 1, 1, "/ne<CR>dw", Vim},
    {"FindCharAfterGotoLine", kTenLines, 1, 1, ":5<CR>fex", VimCaret},
    {"EscapeAfterGotoLine", kTenLines, 1, 1, ":5<CR><Esc>x", VimCaret},
    {"RightKeyAfterGotoLine", kTenLines, 1, 1, ":5<CR><Right>x", VimCaret},
    // "$" is the last line that holds text, not the empty one after it.
    {"ExDeleteBeforeLastLine", kTenLines, 1, 1, ":$-3,$-1d<CR>", Vim},
    {"ExGotoLastLine", kTenLines, 1, 1, ":$<CR>x", VimCaret},
    {"ExGotoBeyondLastLine", kTenLines, 1, 1, ":99<CR>x", VimCaret},
    // Ex commands typed in normal mode.
    {"ExSubstituteGroups", "ab ab\ncd\n", 1, 1, ":%s/\\(a\\)\\(b\\)/\\2\\1/g<CR>", Vim},
    // Empty matches: the search goes on one character further.
    {"ExSubstituteEmptyMatches", "12 34 56\n\nabc\naab\n", 1, 1, ":%s/[0-9]*/N/g<CR>", Vim},
    {"ExSubstituteEmptyLinesGroups", "\n1\n\n", 1, 1, ":%s/\\([0-9]*\\)/<\\1>/<CR>", Vim},
    {"ExSubstituteLineStarts", "a\nb\n\nc\n", 1, 1, ":2,3s/^/# /<CR>", Vim},
    {"ExSubstituteLineEnds", "\na\n\nb\n", 1, 1, ":%s/$/;/<CR>", Vim},
    {"ExMarks", "a\nb\nc\nd\ne\n", 2, 1, "majjmb:'a,'bd<CR>", Vim},
    {"ExIndent", "a\nb\nc\n", 1, 1, ":1,2><CR>", Vim},
    // A mark stays on its text as lines come and go above it or it moves.
    {"MarkAfterLinesDeletedAbove", "1\n2\n3\n4\n5\n6\n7\n8\n", 7, 1, "maggdd'aD", Vim},
    {"MarkAfterLineOpenedAbove", "a\nb\nc\n", 3, 1, "maggOx<Esc>'aD", Vim},
    {"ExMarkAfterLinesDeleted", "1\n2\n3\n4\n5\n", 4, 1, "maggdd:'a,'ad<CR>", Vim},
    {"ExMoveCarriesMarks", "a\nb\nc\nd\n", 1, 1, "ma:1,1m $<CR>'aD", Vim},
    {"ExSubstituteKeepsMarks", "a\nb\nc\n", 2, 1, "mb:%s/[ac]/x/<CR>'bD", Vim},
    // Where the written behaviour would corrupt the text or never end: "r"
    // never replaces a line break, nor adds at the document end.
    {"ReplacePastLineEnd", "abc\ndef\n", 1, 1, "5rx", Own, "abc\ndef\n", 1},
    {"ReplaceCountOverLastChar", "abc", 1, 3, "3rx", Own, "abc", 1},
    {"ToggleAtDocumentEnd", "ab", 1, 3, "~", Own, "ab"},
    // "." replays what was stored before it, never itself.
    {"DotWithCountReplaysStored", "abcdef\n", 1, 1, "x3..", Own, "def\n"},
    {"DotAfterPutRepeatsEarlier", "a\nb\nc\nd\n", 1, 1, "ddP.", Own, "b\nc\nd\n"},
    {"MarkJoinsLines", "a\nb\n", 1, 1, "mJ", Own, "a b\n"},
    {"UnsetMarkRings", "a\nb\n", 1, 1, "'b", Own, "a\nb\n", 1},
    {"EscapeRingsAndClears", "a\n", 1, 1, "12<Esc>", Own, "a\n", 1},
    // A control key without a vi command is the window's, never pending.
    {"OtherControlKeyNotPending", "ab\n", 1, 1, "2<C-s><C-o>", Own, "ab\n", 0, "2"},
    // Nor do they reach the control's own keys, which edit: cut, delete,
    // swap or duplicate a line, change case, undo.
    // Keys that only move the caret still reach the control.
    {"MotionKeysMove", "abc\ndef\nghi\n", 1, 1, "<Down><Right>x<Down><End>x", Vim},
    {"ControlsEditingKeysChangeNothing", "aBc\nd\n", 1, 1,
     "x<C-l><C-S-l><C-t><C-d>fc<C-u><C-S-u><M-BS>", Own, "Bc\nd\n"},
    // What insert mode replays is what it inserted, never a key that added
    // nothing.
    {"InsertCountControlCharAddingNothing", "x\n", 1, 1, "3ia<C-e>b<Esc>", Vim},
    {"DotControlCharAddingNothing", "x\n", 1, 1, "ia<C-e>b<Esc>0.", Vim},
    {"InsertCountTab", "x\n", 1, 1, "3ia<Tab>b<Esc>", Vim},
    {"DotTabAtLineStart", "x\ny\n", 1, 1, "i<Tab>a<Esc>j0.", Vim},
    {"BackspaceKeepsOneCollected", "ab\n", 1, 1, "ia<BS><Esc>$.", Own, "aba\n"},
    {"ShiftBeyondLastLine", "a\nb\n", 2, 1, "999999999>>", Own, "a\n\tb\n\t"},
    {"JoinBeyondLastLine", "a\nb\n", 2, 1, "999999999J", Own, "a\nb\n", 1},
};

void PrintTo(const ViCase& c, std::ostream* os)
{
    *os << c.name;
}

class ViKeys : public ViTest, public ::testing::WithParamInterface<ViCase> { };

TEST_P(ViKeys, Result)
{
    const ViCase& c = GetParam();
    std::string vim, vim_caret;
    if (c.how != Own) vim = RunVim(c.text, c.line, c.column, c.keys, &vim_caret);
    ASSERT_TRUE(c.how == Own || !vim.empty()) << "vim wrote nothing";
    SetText(c.text, c.line, c.column);
    const int bells = m_Vi->GetBellCount();
    Type(c.keys);
    EXPECT_EQ(Text(), c.how <= VimCaret ? vim : c.want);
    if (c.how == VimCaret) {
        EXPECT_EQ(Caret(), vim_caret);
    } else if (c.how == Differs) {
        EXPECT_NE(vim, c.want) << "vim agrees now: the row needs no exception";
    }
    if (c.how == Own) {
        EXPECT_EQ(m_Vi->GetBellCount() - bells, c.bells);
        EXPECT_EQ(m_Vi->GetCommand(), c.pending);
    } else {
        EXPECT_FALSE(m_Vi->GetInsertMode());
    }
}

INSTANTIATE_TEST_SUITE_P(QelVi, ViKeys, ::testing::ValuesIn(ViCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Any count is carried out in full: a motion stops only where the caret
// stops, and a search, which wraps around, goes round as often as counted.
TEST_F(ViTest, CountsAreCarriedOutInFull)
{
    std::string words;
    for (int i = 0; i < 3000; ++i) words += "w" + std::to_string(i) + " ";
    const auto word
        = [&](int i) { return static_cast<int>(words.find("w" + std::to_string(i) + " ")); };
    for (const auto& [keys, start, end] : {std::tuple{"1500w", word(1500), word(1500)},
                                           {"1500fw", word(1499), word(1499) + 1},
                                           {"1234567fw", word(1566), word(1566) + 1},
                                           {"1500dw", 0, 0}}) {
        SCOPED_TRACE(keys);
        SetText(words);
        Type(keys);
        EXPECT_EQ(m_Stc->GetSelectionStart(), start);
        EXPECT_EQ(m_Stc->GetSelectionEnd(), end);
    }
    EXPECT_TRUE(Text() == words.substr(word(1500))) << Text().substr(0, 20);

    // Huge counts end where the document does.
    std::string text;
    for (int i = 0; i < 2000; ++i) text += "line " + std::to_string(i) + "\n";
    SetText(text);
    QelFindReplaceData::Get()->SetFindString("line");
    for (const char* keys :
         {"999999999j", "999999999l", "999999999fe", "999999999n", "999999999yw", "999999999w"}) {
        SCOPED_TRACE(keys);
        Type(keys);
    }
    EXPECT_EQ(Caret(), "2001,1");
}

// "L" went to the line below the last one shown, and all three took the
// first line shown as a line of the document.
TEST_F(ViTest, ScreenLinesAreTheLinesShown)
{
    m_Stc->SetSize(400, 300);
    std::string text;
    for (int i = 0; i < 100; ++i) text += "  l" + std::to_string(i) + "\n";
    struct Row {
        const char* name;
        int folded;   // lines hidden below line 12
        bool wrapped; // line 11 long enough to wrap
    };
    for (const Row& row :
         {Row{"Plain", 0, false}, Row{"Folded", 4, false}, Row{"Wrapped", 0, true}}) {
        SCOPED_TRACE(row.name);
        std::string lines = text;
        if (row.wrapped) lines.insert(lines.find("  l11\n") + 5, std::string(200, 'w'));
        SetText(lines);
        m_Stc->SetWrapMode(row.wrapped ? wxSTC_WRAP_CHAR : wxSTC_WRAP_NONE);
        qeltest::Pump(50);
        m_Stc->ShowLines(0, m_Stc->GetLineCount() - 1);
        if (row.folded > 0) m_Stc->HideLines(13, 12 + row.folded);
        const int wraps = m_Stc->WrapCount(11);
        const int shown = m_Stc->LinesOnScreen(); // no scroll bar below when wrapped
        ASSERT_GE(shown, 8);
        ASSERT_EQ(wraps > 1, row.wrapped);
        m_Stc->SetFirstVisibleLine(10);
        // The lines hidden come on, the wrapped line's display lines go off.
        const int extra = row.folded - (wraps - 1);
        const int last = 10 + shown - 1 + extra;
        for (const auto& [keys, line] :
             {std::pair{"L", last},
              {"3L", last - 2},
              {"H", 10},
              {"3H", 12},
              {"999999999H", last},
              {"999999999L", 10},
              {"M", m_Stc->DocLineFromVisible(10 + (shown + 1) / 2 - 1)}}) {
            SCOPED_TRACE(keys);
            Type(keys);
            EXPECT_EQ(m_Stc->GetFirstVisibleLine(), 10) << "the view stays";
            EXPECT_EQ(Caret(), std::to_string(line + 1) + ",3");
        }
    }
    // A wrapped line cut off at the top or at the bottom is not one shown.
    const int wrapped_at = m_Stc->VisibleFromDocLine(11);
    m_Stc->SetFirstVisibleLine(wrapped_at + 1);
    Type("H");
    EXPECT_EQ(Caret(), "13,3");
    m_Stc->SetSize(400, 100);
    ASSERT_GE(m_Stc->LinesOnScreen(), 3);
    // Line 11 starts on the last line but one.
    m_Stc->SetFirstVisibleLine(wrapped_at + 2 - m_Stc->LinesOnScreen());
    Type("L");
    EXPECT_EQ(Caret(), "11,3");

    // A short text ends the lines shown.
    SetText("a\nb\nc\nd\ne");
    for (const auto& [keys, caret] : {std::pair{"L", "5,1"}, {"M", "3,1"}, {"H", "1,1"}}) {
        Type(keys);
        EXPECT_EQ(Caret(), caret) << keys;
    }
}

TEST_F(ViTest, ReturnRepeatsWithTheDocumentsLineEnd)
{
    for (const int eol : {wxSTC_EOL_LF, wxSTC_EOL_CRLF, wxSTC_EOL_CR}) {
        SCOPED_TRACE(eol);
        SetText("ab");
        m_Stc->SetEOLMode(eol);
        const std::string x = "x" + m_Stc->GetEOL().utf8_string();
        Type("3ix<CR><Esc>.");
        EXPECT_EQ(Text(), x + x + x + x + "ab");
    }
}

TEST_F(ViTest, LeavingInsertModeClosesItsUndoGroup)
{
    const std::function<void()> leave[]
        = {[this] { m_Vi->Use(false); }, [this] { m_Stc->SetText("again"); }};
    for (const auto& how : leave) {
        SetText("ab");
        m_Vi->Use(true);
        Type("ixy");
        how();
        EXPECT_FALSE(m_Vi->GetInsertMode());
        const std::string before = Text();
        m_Stc->InsertText(0, "Q");
        m_Stc->Undo();
        // Only the last edit goes: it was not merged into an open group.
        EXPECT_EQ(Text(), before);
    }
}

TEST_F(ViTest, MarkSetAgainMoves)
{
    SetText("1\n2\n3\n4\n5\n6\n7\n8\n", 7);
    Type("magmagjj");
    EXPECT_FALSE(m_Stc->MarkerGet(6) & 1);
    EXPECT_TRUE(m_Stc->MarkerGet(0) & 1);
    Type("'a");
    EXPECT_EQ(m_Stc->GetSelectedText(), "1");

    // The symbol that went up with its line goes when the mark moves.
    SetText("1\n2\n3\n4\n5\n6\n7\n8\n", 7);
    Type("maggddG");
    ASSERT_TRUE(m_Stc->MarkerGet(5) & 1);
    Type("ma");
    EXPECT_FALSE(m_Stc->MarkerGet(5) & 1);
    EXPECT_EQ(m_Stc->wxStyledTextCtrl::MarkerNext(0, 1), m_Stc->GetLineCount() - 1);
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

TEST_F(ViTest, IndicatorFillsLoadedOnesOnly)
{
    qeltest::InstallLexers(QEL_SOURCE_DIR "/data/lexers.xml"); // 0 to 2, not 5
    SetText("abcdef");
    for (const auto& [no, start, end, filled] : {std::tuple{2, 1, 4, "-+++--"},
                                                 {5, 0, 6, "------"},
                                                 {2, 5, 99, "-----+"},
                                                 {2, 4, 2, "------"}}) {
        m_Stc->IndicatorClearRange(0, m_Stc->GetLength());
        m_Vi->SetIndicator(QelIndicator(no), start, end);
        std::string got;
        for (int pos = 0; pos < m_Stc->GetLength(); ++pos)
            got += m_Stc->IndicatorValueAt(no, pos) != 0 ? '+' : '-';
        EXPECT_EQ(got, filled) << no << " " << start << "," << end;
    }
}

TEST_F(ViTest, SearchesWithTheSharedFindString)
{
    SetText("ab x ab y ab\n");
    for (const auto& [keys, start] : {std::pair{"*", 0}, {"n", 5}, {"2n", 0}, {"N", 10}}) {
        SCOPED_TRACE(keys);
        Type(keys);
        EXPECT_EQ(m_Stc->GetSelectionStart(), start);
    }
    EXPECT_EQ(QelFindReplaceData::Get()->GetFindString(), "\\<ab\\>");
    const int bells = m_Vi->GetBellCount();
    SetText("  \n");
    Type("*");
    EXPECT_EQ(m_Vi->GetBellCount() - bells, 1) << "no word at the caret";
}

// Only what a jump or a search selected gives way to vi's cursor: what the
// user selects is still what the commands take.
TEST_F(ViTest, SelectionTheUserMadeIsTaken)
{
    for (const auto& [keys, want] : {std::pair{"X", "abc \nghi\n"}, {"x", "abc de\nghi\n"}}) {
        SCOPED_TRACE(keys);
        SetText("abc def\nghi\n");
        Type("fd");
        m_Stc->SetSelection(4, 7); // "def"
        Type(keys);
        EXPECT_EQ(Text(), want);
    }
}

} // namespace
