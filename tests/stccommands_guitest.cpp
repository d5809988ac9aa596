// Editor commands through the command handler, the context menu, the
// line-end menu, sorting and links.
#include <random>

#include <gtest/gtest.h>
#include <wx/config.h>
#include <wx/frame.h>
#include <wx/menu.h>
#include <wx/testing.h>
#include <wx/weakref.h>

#include <qelkit/frd.h>
#include <qelkit/menu.h>
#include <qelkit/stc.h>

#include "numberdialog.h"
#include "testing.h"

using namespace qeltest;

namespace {

class Editor : public QelSTC {
public:
    using QelSTC::BuildPopupMenu;
    using QelSTC::GetMenuStyle;
    using QelSTC::QelSTC;
    bool Command(int id, const wxString& text = wxEmptyString)
    {
        wxCommandEvent event(wxEVT_MENU, id);
        event.SetString(text);
        ProcessWindowEvent(event);
        return event.GetSkipped();
    }
};

class StcCommands : public EditorTest {
protected:
    Editor* Open(const std::string& bytes, const wxString& name = "doc.c")
    {
        return new Editor(m_Frame, QelFileName(WriteFile(name, bytes)));
    }
    static bool Changed(Editor* stc, int line)
    {
        return (stc->MarkerGet(line) & (1 << QEL_MARKER_CHANGE)) != 0;
    }
};

TEST_F(StcCommands, EveryCommandHasItsEffect)
{
    ClipboardLock lock;
    const std::string other = WriteFile("other.txt", "read\n").ToStdString();
    // `changed`: the lines marked as changed, each line above the last of
    // them unmarked. Pasting pastes the selection copied, at its end.
    const struct {
        const char* name;
        int id;
        const char* text;
        int from, to; // selection
        bool read_only;
        const char *want, *changed;
        wxString arg = wxEmptyString;
    } rows[] = {
        {"cut", wxID_CUT, "abcd\n", 1, 3, false, "ad\n", "0"},
        {"copy and paste, bytes kept", wxID_PASTE, "a\n\xe9\nc\n", 0, 6, false,
         "a\n\xe9\nc\na\n\xe9\nc\n", "3456"},
        {"delete", wxID_DELETE, "abc\n", 0, 2, false, "c\n", "0"},
        {"delete read-only", wxID_DELETE, "abc", 0, 2, true, "abc", ""},
        {"sort ascending", wxID_SORT_ASCENDING, "k2\nk3\nk1\nz", 0, 10, false, "k1\nk2\nk3\nz", ""},
        {"read file", ID_EDIT_READ_FILE, "ab", 1, 1, false, "aread\nb", "", other},
        {"uppercase", ID_EDIT_UPPERCASE, "abc\nd", 1, 5, false, "aBC\nD", "01"},
        {"dos", ID_EDIT_EOL_DOS, "a\nb\n", 0, 0, false, "a\r\nb\r\n", ""},
        {"unix", ID_EDIT_EOL_UNIX, "a\r\nb\r", 0, 0, false, "a\nb\n", ""},
        {"mac", ID_EDIT_EOL_MAC, "a\nb\n", 0, 0, false, "a\rb\r", ""},
        {"mac read-only", ID_EDIT_EOL_MAC, "a\nb\n", 0, 0, true, "a\nb\n", ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Editor* stc = Open(row.text);
        stc->SetSelection(row.from, row.to);
        stc->SetReadOnly(row.read_only);
        if (row.id == wxID_PASTE) stc->Copy(), stc->GotoPos(row.to);
        // Sorting asks for the column, proposing the caret's: the second, after
        // the "z" that ends the selection (its line is not sorted). The first
        // is taken.
        if (row.id == wxID_SORT_ASCENDING) {
            long proposed = 0;
            wxTEST_DIALOG(EXPECT_FALSE(stc->Command(row.id, row.arg)), ExpectNumber(1, &proposed));
            EXPECT_EQ(proposed, 2);
        } else {
            EXPECT_FALSE(stc->Command(row.id, row.arg));
        }
        const std::string text = TextBytes(stc);
        EXPECT_EQ(text, row.want);
        const std::string changed = row.changed;
        for (int line = 0; !changed.empty() && line <= changed.back() - '0'; ++line)
            EXPECT_EQ(Changed(stc, line), changed.find('0' + line) != std::string::npos) << line;
        // New lines get the line end converted to.
        if (row.id == ID_EDIT_EOL_DOS || row.id == ID_EDIT_EOL_UNIX || row.id == ID_EDIT_EOL_MAC) {
            EXPECT_EQ(text.substr(text.size() - stc->GetEOL().size()), stc->GetEOL());
        }
        EXPECT_EQ(stc->GetReadOnly(), row.read_only);
        stc->Destroy();
    }
}

// The zoom is one for all editors, bounded, and -1 is a level like any other.
TEST_F(StcCommands, ZoomIsSharedAndBounded)
{
    Editor* stc = Open("z");
    for (int i = 0; i < 40; ++i) stc->Command(ID_EDIT_ZOOM_IN);
    EXPECT_EQ(Open("y")->GetZoom(), 20);
    for (int i = 0; i < 40; ++i) stc->Command(ID_EDIT_ZOOM_OUT);
    EXPECT_EQ(stc->GetZoom(), -10);
    for (int i = 0; i < 9; ++i) stc->Command(ID_EDIT_ZOOM_IN);
    EXPECT_EQ(Open("w")->GetZoom(), -1);
    stc->SetZoom(0);
}

TEST_F(StcCommands, FindIsLeftToTheFrameAndUnknownIdsAssert)
{
    Editor* stc = Open("one two");
    stc->SetSelection(4, 7);
    EXPECT_TRUE(stc->Command(wxID_FIND));
    EXPECT_EQ(QelFindReplaceData::Get()->GetFindString(), "two");
    EXPECT_TRUE(stc->Command(wxID_REPLACE));

    ExpectAsserts asserts;
    for (const int id : {int(wxID_CLEAR), 6026, 6033, 6045}) EXPECT_FALSE(stc->Command(id));
    EXPECT_EQ(asserts.Count(), 4);
    EXPECT_EQ(TextBytes(stc), "one two");
}

TEST_F(StcCommands, CompareFindsTheOtherVersion)
{
    // Version folders are found by digits: the folders above have none.
    const TempDir dir(true);
    const wxString base = dir.Path();
    ASSERT_TRUE(wxFileName::Mkdir(base + "/v1") && wxFileName::Mkdir(base + "/v2"));
    ASSERT_TRUE(WriteBytes(base + "/v1/doc.c", "old\n") && WriteBytes(base + "/v2/doc.c", "new\n"));
    SetModificationTime(base + "/v1/doc.c", 1000000000);
    wxConfigBase::Get()->Write(_("Comparator"), "true");
    LogCapture log;
    (new Editor(m_Frame, QelFileName(base + "/v2/doc.c")))->Command(ID_EDIT_COMPARE_RECENT);
    EXPECT_TRUE(log.Has("Compared: \"" + base + "/v1/doc.c\" \"" + base + "/v2/doc.c\""))
        << log.Dump();

    // The search lets the event loop run: an editor closed meanwhile is
    // left alone, and nothing is compared.
    Editor* closed = new Editor(m_Frame, QelFileName(base + "/v2/doc.c"));
    const wxWeakRef<Editor> page(closed);
    m_Frame->CallAfter([&page] { delete page.get(); });
    closed->Command(ID_EDIT_COMPARE_RECENT);
    EXPECT_FALSE(page);
    EXPECT_EQ(log.Count("Compared"), 1u) << log.Dump();
}

TEST_F(StcCommands, HexToggleAsksAndRoundTrips)
{
    const std::string bytes = "t\xe9xt\n";
    Editor* stc = Open(bytes);
    stc->Command(ID_EDIT_HEX);
    stc->Command(ID_EDIT_HEX);
    EXPECT_EQ(TextBytes(stc), bytes);
    EXPECT_FALSE(stc->GetReadOnly());

    // Leaving the dump reads the file again: edits not saved stay in the text.
    stc->AddText("x");
    for (const int answer : {wxCANCEL, wxNO}) {
        wxTEST_DIALOG(stc->Command(ID_EDIT_HEX), wxExpectModal<wxMessageDialog>(answer));
        EXPECT_EQ(TextBytes(stc), "x" + bytes);
        EXPECT_TRUE(stc->GetModify());
        EXPECT_FALSE(stc->GetFlags() & EDITOR_HEX);
    }
    wxTEST_DIALOG(stc->Command(ID_EDIT_HEX), wxExpectModal<wxMessageDialog>(wxYES));
    EXPECT_EQ(TextBytes(stc).substr(0, 28), "00000000: 78 74 e9 78 74 0a ");
    EXPECT_TRUE(stc->GetReadOnly()) << "the dump is read-only";
    stc->Command(ID_EDIT_HEX);
    EXPECT_EQ(TextBytes(stc), "x" + bytes);
}

// Sorting on bytes agrees with the C locale's stable sort on a key column.
TEST_F(StcCommands, SortAgreesWithSortAndKeepsBytes)
{
    std::mt19937 random(3);
    std::string text;
    for (int i = 0; i < 200; ++i) {
        const int length = 1 + random() % 6;
        for (int c = 0; c < length; ++c) text += static_cast<char>('a' + random() % 3);
        text += '\n';
    }
    const wxString path = WriteFile("lines.txt", text);
    for (const int column : {1, 3, 5}) {
        SCOPED_TRACE(column);
        // Descending is the ascending order turned round.
        const wxString sort = wxString::Format(
            "LC_ALL=C sort -s -t \"$(printf '\\001')\" -k1.%d,1 %s", column, ShellQuote(path));
        EXPECT_EQ(QelSortLines(text, "\n", column, true), qeltest::Run(sort));
        EXPECT_EQ(QelSortLines(text, "\n", column, false), qeltest::Run(sort + " | tac"));
    }

    EXPECT_EQ(QelSortLines("b\n\na\n", "\n", 1, true), "a\nb\n");
    EXPECT_EQ(QelSortLines("b\r\nab\r\n", "\r\n", 9, true), "b\r\nab\r\n");

    Editor* stc = Open("z\xe9\ny\xe0\nx\xff\n", "latin.txt");
    stc->SelectAll();
    EXPECT_TRUE(stc->SortSelection(true, 1));
    EXPECT_EQ(TextBytes(stc), "x\xff\ny\xe0\nz\xe9\n");
}

TEST_F(StcCommands, LinksOpenBesideTheFile)
{
    WriteFile("other.c", "1\n2\n3\n4\n");
    wxMkdir(m_Temp.File("dir"));
    Editor* stc = Open("see other.c:3\n");
    for (const auto& [link, name] :
         {std::pair{"other.c", "other.c"}, {"other.c:abc", ""}, {"dir/", ""}}) {
        SCOPED_TRACE(link);
        wxString found;
        EXPECT_EQ(stc->LinkOpen(link, 0, &found), *name != '\0');
        EXPECT_EQ(found, name);
    }
    stc->SetSelection(4, 13);
    stc->Command(ID_EDIT_OPEN_LINK);
    EXPECT_EQ(stc->GetFileName().GetFullName(), "other.c");
    EXPECT_EQ(stc->GetCurrentLine(), 2);
    EXPECT_TRUE(stc->GetFlags() & EDITOR_FROM_LINK);
}

TEST_F(StcCommands, PopupOffersWhatTheDocumentAllows)
{
    const qeltest::ClipboardLock clipboard; // Paste asks the clipboard
    WriteFile("other.c", "x\n");
    const struct {
        const char* text;
        int to; // the selection from 0
        bool read_only;
        int has, lacks; // 0: none
    } rows[] = {
        {"", 0, false, 0, wxID_FIND},
        {"a\nb\nc", 3, false, wxID_SORT_ASCENDING, ID_EDIT_FOLD_TOGGLE},
        {"abc", 2, false, ID_EDIT_UPPERCASE, wxID_SORT_ASCENDING},
        {"abc", 2, true, wxID_FIND, wxID_REPLACE},
        {"other.c", 7, false, ID_EDIT_OPEN_LINK, ID_EDIT_COMPARE_RECENT},
        {"f() {\n x;\n}\n", 0, false, ID_EDIT_FOLD_TOGGLE, ID_EDIT_UPPERCASE},
        // Bytes that are not UTF-8 in the selection or on the link's line.
        {"a\xe9\nb\n", 4, false, wxID_COPY, ID_EDIT_FOLD_TOGGLE},
        {"\"other.c\" \xe9", 0, false, ID_EDIT_OPEN_LINK, ID_EDIT_UPPERCASE},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        Editor* stc = Open(row.text);
        stc->SetSelection(0, row.to);
        stc->SetReadOnly(row.read_only);
        QelMenu menu(stc->GetMenuStyle());
        stc->BuildPopupMenu(menu);
        EXPECT_TRUE(row.has == 0 || menu.FindItem(row.has) != nullptr);
        EXPECT_EQ(menu.FindItem(row.lacks), nullptr);
        // Toggling a fold has no key of its own: Ctrl+T is the frame's.
        if (const wxMenuItem* fold = menu.FindItem(ID_EDIT_FOLD_TOGGLE); fold != nullptr) {
            EXPECT_FALSE(fold->GetItemLabel().Contains("\t"));
        }
        stc->Destroy();
    }
}

TEST_F(StcCommands, FileTypeMenuChecksTheMode)
{
    const struct {
        const char* text;
        long flags;
        int checked;
    } rows[] = {{"a\nb\n", 0, ID_EDIT_EOL_UNIX},
                {"a\r\nb\r\n", 0, ID_EDIT_EOL_DOS},
                {"a\rb\r", 0, ID_EDIT_EOL_MAC},
                {"a\nb\n", EDITOR_HEX, ID_EDIT_HEX}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.checked);
        auto* stc
            = new Editor(m_Frame, QelFileName(WriteFile("t.txt", row.text)), 0, "", row.flags);
        wxMenu menu;
        stc->AppendFileTypeItems(menu);
        for (const int id : {ID_EDIT_EOL_DOS, ID_EDIT_EOL_MAC, ID_EDIT_EOL_UNIX, ID_EDIT_HEX})
            EXPECT_EQ(menu.IsChecked(id), id == row.checked) << id;
        stc->Destroy();
    }
}

} // namespace
