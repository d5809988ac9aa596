// The keyed notebook: pages found by key, re-keyed, deleted and closed with
// the frame asked, and commands run over its editor pages with real files.
#include <map>
#include <tuple>

#include <wx/msgdlg.h>
#include <wx/panel.h>
#include <wx/testing.h>

#include <qelkit/notebook.h>
#include <qelkit/stc.h>

#include "frames.h"
#include "testing.h"

namespace {

class NotebookTest : public qeltest::FrameTest {
protected:
    void SetUp() override
    {
        FrameTest::SetUp();
        m_Book = new QelNotebook(m_Frame.get(), m_Frame.get(), ID_NOTEBOOK_LISTS);
    }

    wxWindow* Panel(const wxString& key) { return m_Book->AddPage(new wxPanel(m_Book), key); }

    // An editor page on a file holding its name, changed when asked.
    QelSTC* Editor(const wxString& name, bool changed = true)
    {
        const wxString path = m_Temp.File(name);
        EXPECT_TRUE(qeltest::WriteBytes(path, name.utf8_string()));
        auto* stc = new QelSTC(m_Book, QelFileName(path));
        if (changed) stc->AppendText("+");
        EXPECT_EQ(m_Book->AddPage(stc, path), stc);
        return stc;
    }

    // Sends the close event of a tab; true when the toolkit may close it.
    bool Close(wxWindow* page)
    {
        wxAuiNotebookEvent event(wxEVT_AUINOTEBOOK_PAGE_CLOSE, m_Book->GetId());
        event.SetSelection(m_Book->GetPageIndex(page));
        event.SetEventObject(m_Book);
        m_Book->ProcessWindowEvent(event);
        return event.IsAllowed();
    }

    QelNotebook* m_Book = nullptr;
};

TEST_F(NotebookTest, PagesByKey)
{
    wxWindow* a = Panel("a");
    wxWindow* b = Panel("b");
    auto* again = new wxPanel(m_Book);
    EXPECT_EQ(m_Book->AddPage(again, "a"), nullptr);
    again->Destroy();

    // Re-keying: never onto a key that another page holds.
    const std::tuple<const char*, const char*, bool> rows[]
        = {{"nokey", "c", false}, {"a", "b", false}, {"a", "c", true}, {"c", "c", true}};
    for (const auto& [key, new_key, result] : rows)
        EXPECT_EQ(m_Book->SetPageText(key, new_key, new_key), result) << key << new_key;
    EXPECT_EQ(m_Book->GetPageByKey("a"), nullptr);
    EXPECT_EQ(m_Book->GetPageByKey("c"), a);
    EXPECT_EQ(m_Book->GetPageByKey("b"), b);
}

TEST_F(NotebookTest, DeletingTheLastPageTellsTheFrameOnce)
{
    Panel("a");
    Panel("b");
    EXPECT_TRUE(m_Book->DeletePage("a"));
    EXPECT_TRUE(m_Frame->sync_close_all.empty());
    EXPECT_TRUE(m_Book->DeletePage(size_t{0})); // by index: the key goes too
    EXPECT_EQ(m_Frame->sync_close_all, std::vector<int>{ID_NOTEBOOK_LISTS});
    qeltest::ExpectAsserts asserts;
    EXPECT_FALSE(m_Book->DeletePage("a"));
    EXPECT_EQ(asserts.Count(), 1);
}

TEST_F(NotebookTest, CloseAsksTheFrameAboutThatPage)
{
    wxWindow* a = Panel("a");
    wxWindow* b = Panel("b");
    m_Book->SelectPage("b");
    EXPECT_EQ(m_Frame->GetFindFocus(), b); // the page change made it the find focus
    m_Book->SelectPage("a");

    // A tab that is not the selected one: only its page is asked about and
    // forgotten.
    for (const bool allow : {false, true}) {
        m_Frame->allow_close = allow;
        EXPECT_EQ(Close(b), allow);
        EXPECT_EQ(m_Book->GetPageByKey("b"), allow ? nullptr : b);
    }
    EXPECT_EQ(m_Frame->closes_asked, (std::vector<wxWindow*>{b, b}));
    EXPECT_EQ(m_Book->GetPageByKey("a"), a);
}

// Pages added to a frozen notebook (a batch of files opened) are selected
// once, at the thaw: the last one asked for, the frame told once. The tabs
// grow for a taller bitmap.
TEST_F(NotebookTest, PagesAddedWhileFrozenAreSelectedAtTheThaw)
{
    Panel("a");
    const int height = m_Book->GetTabCtrlHeight();
    m_Frame->page_changes.clear();
    m_Book->Freeze();
    wxWindow* b = m_Book->AddPage(new wxPanel(m_Book), "b", "b", true);
    m_Book->AddPage(new wxPanel(m_Book), "c", "c", true, wxBitmap(40, 40));
    m_Book->SelectPage("b");
    m_Book->Thaw();
    EXPECT_EQ(m_Book->GetCurrentPage(), b);
    EXPECT_EQ(m_Frame->page_changes, std::vector<wxWindow*>{b});
    EXPECT_GT(m_Book->GetTabCtrlHeight(), height);
}

// Only changed documents are asked, last to first; the pages after a cancel
// go as one change, the frame told once of the page left selected.
TEST_F(NotebookTest, CloseAllStopsAtCancel)
{
    QelSTC* first = Editor("1.txt");
    Editor("2.txt");
    Editor("3.txt", false);
    Editor("4.txt", false);
    m_Book->SelectPage(m_Temp.File("4.txt"));
    m_Frame->page_changes.clear();
    bool result = true;
    wxTEST_DIALOG(result = m_Book->ForEach(ID_ALL_CLOSE), wxExpectModal<wxMessageDialog>(wxID_NO),
                  wxExpectModal<wxMessageDialog>(wxID_CANCEL));
    EXPECT_FALSE(result);
    EXPECT_EQ(m_Book->GetPageCount(), 1u);
    EXPECT_EQ(m_Frame->page_changes, std::vector<wxWindow*>{first});
    EXPECT_EQ(qeltest::ReadBytes(m_Temp.File("2.txt")), "2.txt");
}

TEST_F(NotebookTest, SaveAllReportsAFailedSaveAndGoesOn)
{
    const wxString folder = m_Temp.File("gone");
    ASSERT_TRUE(wxMkdir(folder));
    Editor("ok.txt");
    Editor("gone/lost.txt");
    ASSERT_TRUE(wxRemoveFile(folder + "/lost.txt") && wxRmdir(folder));

    // Save all: the saved file is written, the failed one reported.
    qeltest::LogCapture log;
    EXPECT_FALSE(m_Book->ForEach(ID_ALL_SAVE));
    EXPECT_EQ(qeltest::ReadBytes(m_Temp.File("ok.txt")), "ok.txt+");
    EXPECT_TRUE(log.Has("lost.txt")) << log.Dump();

    ASSERT_TRUE(wxMkdir(folder));
    EXPECT_TRUE(m_Book->ForEach(ID_ALL_SAVE));
    EXPECT_EQ(qeltest::ReadBytes(folder + "/lost.txt"), "gone/lost.txt+");
    wxTestingModalHook nothing; // all saved: closing asks nothing
    EXPECT_TRUE(m_Book->ForEach(ID_ALL_CLOSE));
    EXPECT_EQ(m_Book->GetPageCount(), 0u);
}

TEST_F(NotebookTest, SaveAllNamesANeverSavedDocument)
{
    const wxString target = m_Temp.File("named.txt");
    for (const int answer : {wxID_CANCEL, wxID_OK}) {
        SCOPED_TRACE(answer);
        auto* stc = new QelSTC(m_Book);
        stc->GetFile().FileNew(QelFileName("textfile1"));
        stc->AppendText("new");
        ASSERT_EQ(m_Book->AddPage(stc, "textfile1"), stc);
        bool result = false;
        wxTEST_DIALOG(result = m_Book->ForEach(ID_ALL_SAVE),
                      wxExpectModal<wxFileDialog>(target, answer));
        EXPECT_EQ(result, answer == wxID_OK);
        EXPECT_FALSE(wxFileExists("textfile1")); // never into the working folder
        EXPECT_EQ(qeltest::ReadBytes(target), answer == wxID_OK ? "new" : "");
        EXPECT_EQ(m_Book->GetPageByKey(answer == wxID_OK ? target : "textfile1"), stc);
        EXPECT_TRUE(m_Book->DeletePage(m_Book->GetKeyByPage(stc)));
    }
}

TEST_F(NotebookTest, CommandsSkipOtherPages)
{
    Panel("panel");
    Editor("e.txt", false);
    qeltest::ExpectAsserts asserts;
    EXPECT_TRUE(m_Book->ForEach(ID_ALL_STC_SET_LEXER)); // the panel: asserted, skipped
    EXPECT_TRUE(m_Book->ForEach(ID_VIEW_MENUBAR));      // no such command: asserted per page
    EXPECT_EQ(asserts.Count(), 3);
}

} // namespace

// Idle time reaches the pages shown and not the hundreds of others; a page
// chosen gets it from then on.
TEST_F(NotebookTest, IdleTimeGoesToThePageShown)
{
    m_Frame->Show();
    wxWindow* first = Panel("first");
    wxWindow* second = Panel("second");
    std::map<wxWindow*, int> idles;
    for (wxWindow* page : {first, second})
        page->Bind(wxEVT_IDLE, [&idles, page](wxIdleEvent& event) {
            event.Skip();
            ++idles[page];
        });
    const std::tuple<wxWindow*, wxWindow*> rows[] = {{first, second}, {second, first}};
    for (const auto& [shown, hidden] : rows) {
        m_Book->SetSelection(m_Book->GetPageIndex(shown));
        idles.clear();
        wxTheApp->ProcessIdle();
        EXPECT_GT(idles[shown], 0);
        EXPECT_EQ(idles[hidden], 0);
    }
}

// GTK goes through every child of the notebook at each drawing of it (a
// blink of the caret in the page shown): the pages not shown are kept out
// of its children, and a page chosen comes back in their place, shown where
// the page before it was.
TEST_F(NotebookTest, PagesNotShownStayOutOfItsChildren)
{
    m_Frame->Show();
    QelSTC* first = Editor("first.txt", false);
    QelSTC* second = Editor("second.txt", false);
    qeltest::Pump(50);
    const wxRect place = first->GetRect();
    const std::tuple<QelSTC*, QelSTC*> rows[] = {{first, second}, {second, first}};
    for (const auto& [shown, hidden] : rows) {
        m_Book->SetSelection(m_Book->GetPageIndex(shown));
        qeltest::Pump(50);
        EXPECT_TRUE(m_Book->GetChildren().Find(shown) != nullptr);
        EXPECT_TRUE(m_Book->GetChildren().Find(hidden) == nullptr);
        EXPECT_TRUE(shown->IsShownOnScreen());
        EXPECT_EQ(shown->GetRect(), place);
        EXPECT_EQ(QelNotebook::Of(hidden), m_Book);
        EXPECT_EQ(m_Book->GetPage(m_Book->GetPageIndex(hidden)), hidden);
    }
    EXPECT_TRUE(m_Book->DeletePage(m_Book->GetKeyByPage(first)));
    EXPECT_EQ(m_Book->GetPageCount(), 1u);
    EXPECT_TRUE(second->IsShownOnScreen());
}
