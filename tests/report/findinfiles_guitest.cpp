// Find and replace in files and in a selection through the frame, its
// dialogs and its result lists, over a generated tree checked against grep
// and sed run on the same tree.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <functional>

#include <wx/checklst.h>
#include <wx/combobox.h>
#include <wx/config.h>
#include <wx/timer.h>

#include <qelkit/frd.h>
#include <qelkit/listitem.h>
#include <qelkit/report/listviewfile.h>
#include <qelkit/report/textfile.h>

#include "reportframe.h"

namespace {

using qeltest::ExpectConfigDialog;
using qeltest::ShellQuote;
using Type = QelListViewFileName::ListType;

// The end text, the last thing the status bar shows, after the events that
// follow the run.
wxString EndText(const qeltest::LogCapture& log)
{
    qeltest::Pump(50);
    for (auto r = log.Records().rbegin(); r != log.Records().rend(); ++r)
        if (r->level <= wxLOG_Status) return r->text;
    return wxString();
}

class FindInFilesTest : public qeltest::ReportFrameTest {
protected:
    void SetUp() override
    {
        ReportFrameTest::SetUp();
        m_Tree = m_Temp.File("t");
        MakeTree(m_Tree);
        m_Frame = Start();
    }

    // Nested folders, Latin-1, CRLF, no final newline, a byte-order mark,
    // a binary file, hidden entries, links to a file and a folder, a loop.
    static void MakeTree(const wxString& root)
    {
        const std::pair<const char*, std::string> files[] = {
            {"a.txt", "foo bar\nfood\nno match\nFOO upper\n  \tfoo indented  \n"},
            {"B.TXT", "Foo in caps\nfoo\n"},
            {"c.log", "abc_foo foo\nfoo_bar\nxfoo\n"},
            {"latin1.txt", "caf\xe9 foo\n\xe9t\xe9\nfoooo\n"},
            {"crlf.txt", "foo\r\nbar\r\nfoo foo\r\n"},
            {"nofinal.txt", "one\nfoo end"},
            {"bom.txt", std::string("\xef\xbb\xbf") + "foo first\nsecond foo\n"},
            {"bin.dat", std::string("foo\0\x01\x02 binary\nfoo again\n", 24)},
            {".dot.txt", "foo dot\n"},
            {".hidden/h.txt", "hidden foo\n"},
            {"sub/deep/d.txt", "deep fooo\nFoO\n"},
            {"sub/exec.sh", "#!/bin/sh\necho foo\n"},
            {"v2/f.txt", "x foo\n"},
        };
        for (const auto& [name, text] : files) {
            const wxString path = root + "/" + name;
            wxFileName::Mkdir(wxFileName(path).GetPath(), wxS_DIR_DEFAULT, wxPATH_MKDIR_FULL);
            ASSERT_TRUE(qeltest::WriteBytes(path, text)) << path;
        }
        const wxString sh = "cd " + ShellQuote(root)
            + " && chmod 640 a.txt && chmod 755 sub/exec.sh && ln -s v2 latest"
              " && ln -s .. v2/up && ln -s ../a.txt sub/flink.txt";
        qeltest::Run(sh);
    }

    // The search; `how` holds c for match case, w for whole word, r for a
    // regular expression.
    static void Settings(const char* find, const wxString& how, const char* replace = "")
    {
        QelFindReplaceData* frd = QelFindReplaceData::Get();
        frd->SetMatchCase(how.Contains("c"));
        frd->SetMatchWord(how.Contains("w"));
        frd->SetUseRegularExpression(how.Contains("r"));
        frd->SetFindString(find);
        frd->SetReplaceString(replace);
    }

    void Where(const wxString& folder, const wxString& spec, bool recursive)
    {
        wxConfigBase* config = wxConfigBase::Get();
        config->Write(m_Frame->GetTextInFolder(), folder);
        config->Write(m_Frame->GetTextInFiles(), spec);
        config->Write(m_Frame->GetTextRecursive(), recursive);
    }

    QelListViewWithFrame* List(Type type)
    {
        QelListViewWithFrame*& list = m_Frame->m_Lists[type];
        if (list != nullptr) list->DeleteAllItems();
        return list;
    }

    // Runs the dialog `id` as if OK was pressed, into the emptied list; the list.
    QelListViewWithFrame* RunDialog(int id, Type type)
    {
        List(type);
        m_Frame->OnCommandConfigDialog(id, wxID_OK);
        return m_Frame->m_Lists[type];
    }

    // The rows as sorted lines "path:line", paths relative to the folder.
    static std::string Rows(QelListView* list, const wxString& folder)
    {
        wxArrayString rows;
        for (long r = 0; list != nullptr && r < list->GetItemCount(); r++) {
            wxString path = QelListItem(list, r).GetFileName().GetFullPath();
            path.StartsWith(folder + "/", &path);
            rows.push_back(path + ":" + list->GetItemText(r, _("Line No")) + "\n");
        }
        rows.Sort();
        std::string text;
        for (const wxString& row : rows) text += row.utf8_string();
        return text;
    }

    // The same of what grep finds from inside the folder.
    static std::string Grep(const wxString& folder, const wxString& command)
    {
        return qeltest::Run("cd " + ShellQuote(folder) + " && LC_ALL=C grep -a -H -n " + command
                            + " | cut -d: -f1,2 | sed 's|^\\./||' | LC_ALL=C sort");
    }

    // What differs between the trees, then the entries of each with their
    // types, modes and link targets.
    static std::string Diff(const wxString& a, const wxString& b)
    {
        const wxString list = " && find . -printf '%P %y %m %l\\n' | sort";
        return qeltest::Run("diff -r --no-dereference " + ShellQuote(a) + " " + ShellQuote(b)
                            + " 2>&1; cd " + ShellQuote(a) + list + "; cd " + ShellQuote(b) + list);
    }

    wxString Copy(const wxString& name)
    {
        const wxString copy = m_Temp.File(name);
        qeltest::Run("cp -a " + ShellQuote(m_Tree) + " " + ShellQuote(copy));
        return copy;
    }

    wxString m_Tree;
};

TEST_F(FindInFilesTest, RowsAreGrepsReplacementsAreSedsAndRowsOpenTheirLine)
{
    struct Case {
        const char *find, *how, *spec;
        bool recursive;
        const char* grep;              // grep options and files, from inside the folder
        const char* replace = nullptr; // as the sed script, run on the non-binary files
        const char* sed = nullptr;
    };
    // grep -r, as the walk, passes over links met inside the tree; a
    // pattern of the file spec matches names in either case; hidden files
    // are searched too; the binary file is left as it was.
    const Case cases[] = {
        {"foo", "c", "*", true, "-r -F -e foo ."},
        {"FOO", "", "*", true, "-r -i -F -e FOO ."},
        {"foo", "cw", "*", true, "-r -w -F -e foo ."},
        {"fo+", "cwr", "*", true, "-r -w -E -e 'fo+' ."},
        {"fo+ [a-z]", "cr", "*", true, "-r -E -e 'fo+ [a-z]' ."},
        {"foo", "c", "*.txt;*.log", true,
         "-r -F --include='*.[tT][xX][tT]' --include='*.[lL][oO][gG]' -e foo ."},
        {"foo", "", "*", false, "-d skip -i -F -e foo -- * .[!.]*"},
        // Whole word, set by the last find, plays no part in a replace.
        {"foo", "cw", "*", true, "-r --exclude=bin.dat -F foo .", "bar", "s/foo/bar/g"},
        {"FOO", "", "*", true, "-r --exclude=bin.dat -i -F foo .", "Bar", "s/foo/Bar/gI"},
        {"fo(o+)", "cr", "*", true, "-r --exclude=bin.dat -E 'fo(o+)' .", "<\\1|&>",
         "s/fo\\(o\\+\\)/<\\1|&>/g"},
        // An empty match is replaced too; a byte-order mark stays first.
        {"^", "cr", "*", true, "-r --exclude=bin.dat -E '^' .", "# ",
         "1s/^\\xef\\xbb\\xbf/&# /;t;s/^/# /"},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.sed ? c.sed : c.grep);
        const wxString tree = c.sed ? Copy(wxString::Format("ours%d", n)) : m_Tree;
        const wxString theirs = c.sed ? Copy(wxString::Format("sed%d", n++)) : m_Tree;
        if (c.sed) {
            qeltest::Run("cd " + ShellQuote(theirs) + " && find . -type f ! -name bin.dat -exec "
                         + "env LC_ALL=C sed -i " + ShellQuote(c.sed) + " {} +");
        }
        Settings(c.find, c.how, c.replace ? c.replace : "");
        Where(tree, c.spec, c.recursive);
        qeltest::LogCapture log;
        QelListViewWithFrame* list = c.sed ? RunDialog(ID_REPLACE_IN_FILES, Type::LIST_REPLACE)
                                           : RunDialog(ID_FIND_IN_FILES, Type::LIST_FIND);
        ASSERT_NE(list, nullptr);
        // A replace ran without whole word, which the next find still has.
        EXPECT_EQ(QelFindReplaceData::Get()->MatchWord(), wxString(c.how).Contains("w"));
        const std::string want = Grep(m_Tree, c.grep);
        EXPECT_EQ(Rows(list, tree), want);
        if (c.sed) {
            EXPECT_EQ(Diff(tree, theirs), Diff(m_Tree, m_Tree));
            EXPECT_EQ(list->GetItemText(0, _("Replaced")), c.replace);
            // Replacements are texts: they sort as texts, never as numbers.
            EXPECT_EQ(list->GetColumns()[list->FindColumn(_("Replaced"))].GetType(),
                      QelColumn::COL_STRING);
        } else {
            const long lines = std::count(want.begin(), want.end(), '\n');
            const wxString end = EndText(log);
            EXPECT_TRUE(end.StartsWith(wxString::Format("Found %ld matches in", lines))
                        && !end.Contains("skipped"))
                << end;
        }

        // A row opens its file at its line, which it shows, with the match
        // (or what replaced it) selected.
        ASSERT_GT(list->GetItemCount(), 0);
        const long row = list->GetItemCount() - 1;
        list->ItemActivated(row);
        QelSTC* stc = m_Frame->m_Stc;
        const wxString file = QelListItem(list, row).GetFileName().GetFullPath();
        EXPECT_EQ(stc->GetFileName().GetFullPath(), file);
        EXPECT_EQ(m_Frame->GetRecentFile(), file);
        EXPECT_EQ(wxString::Format("%d", stc->GetCurrentLine() + 1),
                  list->GetItemText(row, _("Line No")));
        EXPECT_EQ(list->GetItemText(row, _("Line")),
                  stc->GetLineText(stc->GetCurrentLine()).Trim(false).Trim(true));
        EXPECT_EQ(list->GetItemText(row, _("Match")), c.find);
        EXPECT_TRUE(wxString(c.how).Contains("r")
                    || stc->GetSelectedText().Upper()
                        == wxString(c.sed ? c.replace : "foo").Upper())
            << stc->GetSelectedText();
    }
}

TEST_F(FindInFilesTest, FilesSkippedOrNotWrittenAreCountedInTheEndText)
{
    // The process may write no file over 16 KB: the big file's write fails,
    // whoever runs the test. A read-only file and a binary one are skipped
    // where they match, scanned like the others where they do not.
    const std::string big = "foo\n" + std::string(32 * 1024, 'x') + "\n";
    ASSERT_TRUE(qeltest::WriteBytes(m_Tree + "/big.txt", big));
    const std::pair<const char*, std::string> skipped[]
        = {{"ro.txt", "foo\n"}, {"ro-no.txt", "no\n"}, {"zero.txt", std::string("foo\0\n", 5)}};
    for (const auto& [name, text] : skipped)
        ASSERT_TRUE(qeltest::WriteBytes(m_Tree + "/" + name, text));
    qeltest::Run("cd " + ShellQuote(m_Tree) + " && chmod 444 ro.txt ro-no.txt");
    const wxString others = " a.txt bom.txt crlf.txt latin1.txt nofinal.txt .dot.txt";
    const wxString occurrences
        = "cd " + ShellQuote(m_Tree) + " && cat" + others + " | grep -o foo | wc -l";
    const long before = std::stol(qeltest::Run(occurrences));
    const std::string rows = Grep(m_Tree, "-F -e foo" + others);
    Settings("foo", "c", "bar");
    Where(m_Tree, "*.txt", false);
    qeltest::LogCapture log;
    const auto limited = [](const std::function<void()>& run) {
        rlimit old{};
        ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
        rlimit small = old;
        small.rlim_cur = 16 * 1024;
        sighandler_t handler = signal(SIGXFSZ, SIG_IGN);
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
        run();
        setrlimit(RLIMIT_FSIZE, &old);
        signal(SIGXFSZ, handler);
    };
    QelListViewWithFrame* list = nullptr;
    limited([&] { list = RunDialog(ID_REPLACE_IN_FILES, Type::LIST_REPLACE); });

    EXPECT_EQ(qeltest::ReadBytes(m_Tree + "/big.txt"), big);
    for (const auto& [name, text] : skipped)
        EXPECT_EQ(qeltest::ReadBytes(m_Tree + "/" + name), text);
    for (const char* name : {"big.txt", "ro.txt", "zero.txt"})
        EXPECT_TRUE(log.Has(m_Tree + "/" + name)) << name << log.Dump();
    ASSERT_NE(list, nullptr);
    // The other top-level *.txt files, the hidden one too, are replaced; a
    // single pattern matches the letter case it has.
    EXPECT_EQ(Rows(list, m_Tree), rows);
    EXPECT_EQ(std::stol(qeltest::Run(occurrences)), 0);
    EXPECT_EQ(EndText(log),
              wxString::Format("Replaced %ld matches in 7 file(s), 3 file(s) skipped: see the log",
                               before));

    // The same through rows of a file list.
    ASSERT_TRUE(qeltest::WriteBytes(m_Tree + "/again.txt", "foo\n"));
    auto* files = Selected(Type::LIST_FILE, {m_Tree + "/big.txt", m_Tree + "/again.txt"});
    log.Clear();
    limited([files] {
        wxTEST_DIALOG(files->RunItems(QelTool(ID_TOOL_REPLACE_IN_FILES)),
                      ExpectConfigDialog(wxID_OK));
    });
    EXPECT_EQ(qeltest::ReadBytes(m_Tree + "/big.txt"), big);
    EXPECT_EQ(qeltest::ReadBytes(m_Tree + "/again.txt"), "bar\n");
    EXPECT_EQ(EndText(log), "Replaced 1 matches in 1 file(s), 1 file(s) skipped: see the log");
}

// Names selected in a file explorer (rows of a list go through the tool
// runs' own tests and the failed write above).
// A row of a line of megabytes held the window for minutes while the list
// laid the whole line out in its cell.
TEST_F(FindInFilesTest, ARowShowsTheStartOfALongLine)
{
    const wxString folder = m_Temp.File("long");
    wxFileName::Mkdir(folder);
    const std::string line = "  start " + std::string(2 * 1024 * 1024, 'x') + " foo";
    ASSERT_TRUE(qeltest::WriteBytes(folder + "/one.txt", line + "\nfoo short\n"));
    Settings("foo", "c");
    Where(folder, "*", false);
    QelListViewWithFrame* list = RunDialog(ID_FIND_IN_FILES, Type::LIST_FIND);
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(Rows(list, folder), "one.txt:1\none.txt:2\n");
    const wxString shown = list->GetItemText(0, _("Line"));
    EXPECT_TRUE(shown.StartsWith("start xxx")) << shown.Left(20);
    EXPECT_LT(shown.length(), 2000u);
    EXPECT_EQ(list->GetItemText(1, _("Line")), "foo short");
}

TEST_F(FindInFilesTest, SelectionsOfFoldersAndFiles)
{
    struct Case {
        const char *find, *how, *selected;
        const char* grep;     // the rows wanted, found in the tree before
        const char* sed = ""; // a replace with "bar": the same on the selected names
    };
    // A selected folder has its sub-folders searched, "Recursive" off;
    // whole word holds for a replace too.
    const Case cases[] = {
        {"foo", "c", "sub a.txt", "-r -F -e foo sub a.txt"},
        {"fo+", "cwr", "sub c.log", "-r -w -E -e 'fo+' sub c.log"},
        {"foo", "cw", "crlf.txt c.log", "-w -F -e foo crlf.txt c.log", "s/\\bfoo\\b/bar/g"},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.selected);
        const bool replace = c.sed[0] != 0;
        const wxString tree = Copy(wxString::Format("sel%d", n));
        const wxString oracle = Copy(wxString::Format("sed%d", n++));
        Settings(c.find, c.how, "bar");
        Where(tree, "*", false);
        wxArrayString names;
        for (const wxString& name : wxSplit(c.selected, ' ')) names.push_back(tree + "/" + name);
        const Type type = replace ? Type::LIST_REPLACE : Type::LIST_FIND;
        List(type);
        bool whole = false; // the dialog offers whole word, ticked as set
        const auto look = [&whole](QelConfigDialog* dialog) {
            for (const QelConfigItem& item : dialog->GetConfigItems())
                if (auto* box = dynamic_cast<wxCheckListBox*>(item.GetWindow())) {
                    const int at = box->FindString(_("Match whole word"));
                    whole = at != wxNOT_FOUND && box->IsChecked(at);
                }
        };
        wxTEST_DIALOG(m_Frame->FindInSelection(
                          names, replace ? ID_TOOL_REPLACE_IN_FILES : ID_TOOL_FIND_IN_FILES),
                      ExpectConfigDialog(wxID_OK, look));
        EXPECT_EQ(whole, wxString(c.how).Contains("w"));
        ASSERT_NE(m_Frame->m_Lists[type], nullptr);
        EXPECT_EQ(Rows(m_Frame->m_Lists[type], tree), Grep(m_Tree, c.grep));
        if (replace) // a find writes nothing
            qeltest::Run("cd " + ShellQuote(oracle) + " && sed -i " + ShellQuote(c.sed) + " "
                         + c.selected);
        EXPECT_EQ(Diff(tree, oracle), Diff(m_Tree, m_Tree));
    }
}

TEST_F(FindInFilesTest, DialogsTakeTheSelectionAndCancelStopsTheWalk)
{
    // The editor's selection becomes the find text the dialog shows (which
    // selections do is the editor's own test).
    Settings("old", "c");
    m_Frame->m_Stc->SetText("alpha beta\ngamma");
    m_Frame->m_Stc->SetSelection(6, 10);
    m_Frame->Command(ID_REPLACE_IN_FILES);
    QelConfigDialog* dialog = m_Frame->FindDialog(true);
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->IsShown());
    wxString find;
    for (const QelConfigItem& item : dialog->GetConfigItems())
        if (item.GetLabel() == QelFindReplaceData::Get()->GetTextFindWhat())
            find = static_cast<wxComboBox*>(item.GetWindow())->GetValue();
    EXPECT_EQ(find, "beta");
    dialog->Hide();

    // Enough files that the run lets the event loop turn several times:
    // names of one file, which are quick to make.
    const wxString many = m_Temp.File("many");
    ASSERT_TRUE(wxFileName::Mkdir(many));
    ASSERT_TRUE(qeltest::WriteBytes(many + "/0", "foo\n"));
    for (int f = 1; f < 10000; f++)
        ASSERT_EQ(link((many + "/0").fn_str(), wxString::Format("%s/%d", many, f).fn_str()), 0);
    Settings("foo", "c");
    Where(many, "*", true);
    struct Case {
        const char* name;
        int during;  // button pressed on the dialog while the run goes on
        bool before; // at the first turn of the loop, else once rows are shown
        const char* status;
        bool all; // every row found
    };
    const Case cases[] = {
        {"Cancel before the walk", wxID_CANCEL, true, "Cancelled", false},
        {"Cancel during the walk", wxID_CANCEL, false, "Cancelled", false},
        {"a second OK", wxID_OK, false, "A tool is running", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QelListView* list = List(Type::LIST_FIND);
        qeltest::LogCapture log;
        const auto press
            = [this, c] { m_Frame->OnCommandConfigDialog(ID_FIND_IN_FILES, c.during); };
        wxTimer timer;
        timer.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
            if (list->GetItemCount() == 0) return;
            timer.Stop();
            press();
        });
        if (c.before) m_Frame->CallAfter(press);
        if (!c.before && c.during != 0) timer.Start(1);
        m_Frame->OnCommandConfigDialog(ID_FIND_IN_FILES, wxID_OK);
        timer.Stop();
        const long count = m_Frame->m_Lists[Type::LIST_FIND]->GetItemCount();
        EXPECT_EQ(count == 10000, c.all) << count;
        EXPECT_TRUE(log.Has(c.status)) << log.Dump();
        EXPECT_FALSE(QelDir::GetIsBusy());
    }

    // Closing the results page while the run goes on stops the run; the
    // next run gets a page of its own.
    {
        qeltest::LogCapture log;
        m_Frame->CallAfter([this] {
            delete m_Frame->m_Lists[Type::LIST_FIND];
            m_Frame->m_Lists.erase(Type::LIST_FIND);
        });
        m_Frame->OnCommandConfigDialog(ID_FIND_IN_FILES, wxID_OK);
        EXPECT_TRUE(log.Has("Cancelled")) << log.Dump();
        EXPECT_FALSE(QelDir::GetIsBusy());
        QelListView* again = RunDialog(ID_FIND_IN_FILES, Type::LIST_FIND);
        ASSERT_NE(again, nullptr);
        EXPECT_EQ(again->GetItemCount(), 10000);
    }

    // An expression that does not compile starts nothing.
    Settings("fo(o", "cr");
    qeltest::LogCapture log;
    EXPECT_EQ(RunDialog(ID_FIND_IN_FILES, Type::LIST_FIND)->GetItemCount(), 0);
    EXPECT_TRUE(log.Has("not a valid regular expression")) << log.Dump();
    EXPECT_FALSE(log.Has("Found"));
}

// A project takes the items of its own Add Items dialog, not the project
// that the frame shows at the time; Cancel adds nothing.
TEST_F(FindInFilesTest, ProjectAddItemsGoToTheDialogsProject)
{
    qeltest::ReportFrame* frame = m_Frame;
    auto* mine = new QelListViewFile(frame, frame, m_Temp.File("p.prj"));
    QelListViewFile* shown = frame->m_Project
        = new QelListViewFile(frame, frame, m_Temp.File("q.prj"));
    const long files = std::stol(qeltest::Run("find " + ShellQuote(m_Tree)
                                              + " -maxdepth 1 -type f -name '[!.]*.txt' | wc -l"));
    for (const int button : {wxID_CANCEL, wxID_OK}) {
        SCOPED_TRACE(button);
        qeltest::Command(mine, wxID_ADD);
        QelConfigDialog* dialog = mine->GetAddItemsDialog();
        ASSERT_TRUE(dialog->IsShown());
        const std::vector<QelConfigItem>& items = dialog->GetConfigItems();
        static_cast<wxComboBox*>(items.at(0).GetWindow())->SetValue("*.txt");
        static_cast<wxComboBox*>(items.at(1).GetWindow())->SetValue(m_Tree);
        auto* what = static_cast<wxCheckListBox*>(items.at(2).GetWindow());
        for (unsigned row = 0; row < what->GetCount(); row++)
            what->Check(row, what->GetString(row) == _("Add files"));
        wxCommandEvent press(wxEVT_BUTTON, button);
        press.SetEventObject(dialog);
        dialog->ProcessWindowEvent(press);
        qeltest::Pump(0);
        EXPECT_EQ(mine->GetItemCount(), button == wxID_OK ? files : 0);
        EXPECT_EQ(mine->GetContentsChanged(), button == wxID_OK);
        EXPECT_EQ(shown->GetItemCount(), 0);
        EXPECT_FALSE(shown->GetContentsChanged());
    }
}

} // namespace
