// The hexadecimal view: the dump against hexdump, pairing, call tips,
// characters by code and switching back from a file that went.
#include <random>
#include <sstream>

#include <gtest/gtest.h>
#include <wx/frame.h>
#include <wx/msgdlg.h>
#include <wx/testing.h>

#include <qelkit/stc.h>

#include "numberdialog.h"
#include "testing.h"

using namespace qeltest;

namespace {

class StcHex : public EditorTest { };

std::string RandomBytes(size_t size, unsigned seed)
{
    std::mt19937 random(seed);
    std::string bytes(size, '\0');
    for (char& c : bytes) c = static_cast<char>(random());
    return bytes;
}

// Compares each dump line with hexdump's line: offset and hexadecimal
// columns as they are, the characters as hexdump shows them except the
// control characters that the dump keeps.
void ExpectLikeHexdump(const std::string& dump, const std::string& want, const std::string& bytes)
{
    std::istringstream got_lines(dump);
    std::istringstream want_lines(want);
    std::string got;
    std::string line;
    size_t first = 0;
    for (; std::getline(got_lines, got); first += 16) {
        SCOPED_TRACE(first);
        ASSERT_TRUE(std::getline(want_lines, line));
        const size_t n = std::min<size_t>(16, bytes.size() - first);
        ASSERT_EQ(got.size(), 60 + n);
        EXPECT_EQ(got.substr(0, 8) + got.substr(10, 50), line.substr(0, 8) + line.substr(10, 50));
        EXPECT_EQ(got.substr(8, 2), ": ");
        for (size_t i = 0; i < n; ++i) {
            const auto c = static_cast<unsigned char>(bytes[first + i]);
            const bool kept = c > 0 && c < 32 && c != '\t' && c != '\n' && c != '\r';
            EXPECT_EQ(got[60 + i], kept ? char(c) : line[61 + i]) << i;
        }
    }
    EXPECT_EQ(first, (bytes.size() + 15) / 16 * 16);
    EXPECT_FALSE(std::getline(want_lines, line) && line.size() > 10 && line[8] == ' ');
}

TEST_F(StcHex, DumpAgreesWithHexdump)
{
    // Short lines on either side of the middle gap, whole lines, and past the
    // slice the dump is made in and the block the file is read in.
    for (const size_t size : {0, 5, 15, 16, 17, (1 << 20) + 17}) {
        SCOPED_TRACE(size);
        const std::string bytes = RandomBytes(size, static_cast<unsigned>(size));
        const wxString path = WriteFile("data.bin", bytes);
        auto* stc = new QelSTC(m_Frame, QelFileName(path), 0, wxEmptyString, EDITOR_HEX);
        ExpectLikeHexdump(TextBytes(stc), qeltest::Run("hexdump -C -v " + ShellQuote(path)), bytes);

        // From an offset, as the tail of a growing file is shown.
        if (size > 100) {
            QelSTC tail(m_Frame);
            tail.AddTextHexMode(100, bytes.data() + 100, size - 100);
            ExpectLikeHexdump(TextBytes(&tail),
                              qeltest::Run("hexdump -C -v -s 100 " + ShellQuote(path)),
                              bytes.substr(100));
        }
        stc->Destroy();
    }
}

TEST_F(StcHex, DigitsPairWithCharacters)
{
    const struct {
        int column, n, want;
    } rows[] = {
        {20, 16, 63}, {19, 16, 63}, {68, 16, 35}, {35, 16, 68}, {60, 16, 10}, {9, 16, -1},
        {34, 16, -2}, {12, 16, -2}, {59, 16, -2}, {62, 2, -2},  {16, 2, -2},  {13, 2, 61},
    };
    for (const auto& row : rows)
        EXPECT_EQ(QelHexPartnerColumn(row.column, row.n), row.want) << row.column << "/" << row.n;

    QelSTC stc(m_Frame, "0123456789abcdefX", EDITOR_HEX);
    const int second = stc.PositionFromLine(1);
    EXPECT_TRUE(stc.CheckBraceHex(20));
    EXPECT_TRUE(stc.CheckBraceHex(second + 60));
    EXPECT_FALSE(stc.CheckBraceHex(second + 61)); // past the line's one byte
}

TEST_F(StcHex, CallTipsInHexAndDecimal)
{
    const struct {
        const char *word, *want;
    } rows[] = {{"10", "hex: a dec: 16"},
                {"ff", "dec: 255"},
                {"255", "hex: ff dec: 597"},
                {"~", "hex: 7e dec: 126"},
                {"\xc3\xa9", "hex: e9 dec: 233"},
                {"\xff", "hex: ff dec: 255"}, // not UTF-8: the byte
                {"zz", ""},
                {"0x1f", "dec: 31"},
                {"", ""}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.word);
        const wxString word = QelSTCText(row.word, strlen(row.word));
        EXPECT_EQ(QelHexDecText(word), row.want);
        // Numbers in both bases: printf gives the same text.
        if (const std::string w = row.word;
            !w.empty() && w.find_first_not_of("0123456789") == std::string::npos) {
            EXPECT_EQ(qeltest::Run(wxString::Format("printf 'hex: %%x dec: %%d' %s 0x%s", row.word,
                                                    row.word)),
                      row.want);
        }
    }

    ClipboardLock lock;
    QelSTC stc(m_Frame, "a 255 zz");
    stc.HexDecCalltip(3);
    EXPECT_TRUE(stc.CallTipActive());
    stc.HexDecCalltip(7);
    EXPECT_FALSE(stc.CallTipActive());
}

// Shows the read-only editor's message box and keeps its text.
class ExpectMessage : public wxExpectModalBase<wxMessageDialog> {
public:
    explicit ExpectMessage(wxString* message)
        : m_Message(message)
    { }

protected:
    int OnInvoked(wxMessageDialog* dlg) const override
    {
        *m_Message = dlg->GetMessage();
        return wxID_OK;
    }

private:
    wxString* m_Message;
};

TEST_F(StcHex, ControlCharactersByCode)
{
    const std::string e_acute_b = std::string("\xc3\xa9") + "b";
    const struct {
        const char* name;
        std::string text;
        int from, to;
        bool read_only;
        long answer; // -1 cancels; 0: no dialog expected; read-only: a message
        std::string want;
        int selected = -1; // where the one character selected after starts
    } rows[] = {
        {"insert", "ab", 1, 1, false, 65, "aAb"},
        {"high byte over the selection", "ab", 0, 1, false, 233, "\351b", 1},
        {"cancelled", "ab", 1, 1, false, -1, "ab"},
        {"read-only", "ab", 1, 1, true, 0, "ab"},
        {"two selected", "ab", 0, 2, false, 0, "ab"},
        // One character, whatever its bytes.
        {"two bytes replaced", e_acute_b, 0, 2, false, 65, "Ab", 1},
        {"two bytes kept", e_acute_b, 0, 2, false, 233, e_acute_b, 2},
        {"two bytes read-only", e_acute_b, 0, 2, true, 1, e_acute_b},
        {"a line end of two characters", "a\r\nb", 1, 3, true, 0, "a\r\nb"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        QelSTC stc(m_Frame);
        stc.SetTextRaw(row.text.c_str());
        stc.SetSelection(row.from, row.to);
        stc.SetReadOnly(row.read_only);
        wxString message;
        if (row.answer != 0 && row.read_only) {
            wxTEST_DIALOG(stc.ControlCharDialog(), ExpectMessage(&message));
            EXPECT_EQ(message, "hex: e9 dec: 233");
        } else if (row.answer != 0) {
            wxTEST_DIALOG(stc.ControlCharDialog(), ExpectNumber(row.answer));
        } else {
            stc.ControlCharDialog();
        }
        EXPECT_EQ(TextBytes(&stc), row.want);
        if (row.selected >= 0) {
            EXPECT_EQ(stc.GetSelectionStart(), row.selected);
            EXPECT_EQ(stc.GetSelectionEnd(), row.selected + 1);
        }
    }
}

TEST_F(StcHex, LeavingTheDumpOfAVanishedFileKeepsIt)
{
    const wxString path = WriteFile("gone.txt", "abc\n");
    QelSTC stc(m_Frame, QelFileName(path));
    stc.SetViewWhiteSpace(wxSTC_WS_VISIBLEALWAYS);
    stc.SetViewEOL(true);
    ASSERT_TRUE(stc.Reload(stc.GetFlags() | EDITOR_HEX));
    const std::string dump = TextBytes(&stc);
    // The dump shows neither the text's white space nor line ends.
    EXPECT_EQ(stc.GetViewWhiteSpace(), wxSTC_WS_INVISIBLE);
    EXPECT_FALSE(stc.GetViewEOL());

    ASSERT_TRUE(wxRemoveFile(path));
    LogCapture log;
    EXPECT_FALSE(stc.Reload(stc.GetFlags() & ~EDITOR_HEX));
    EXPECT_EQ(TextBytes(&stc), dump);
    EXPECT_TRUE(stc.GetFlags() & EDITOR_HEX);
    EXPECT_TRUE(stc.GetReadOnly());
    EXPECT_TRUE(log.Has("the hexadecimal view stays")) << log.Dump();
}

} // namespace
