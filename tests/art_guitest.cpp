// Stock art: which art the provider is asked for, through a provider of our
// own so that the icon theme of the machine does not matter.
#include <vector>

#include <gtest/gtest.h>
#include <wx/artprov.h>

#include <qelkit/art.h>

namespace {

static_assert(wxID_BACKWARD == 5107 && wxID_CLOSE == 5001 && wxID_COPY == 5032 && wxID_CUT == 5031);
static_assert(wxID_DELETE == 5038 && wxID_DOWN == 5121 && wxID_EXIT == 5006 && wxID_FIND == 5035);
static_assert(wxID_FIRST == 5147 && wxID_FORWARD == 5106 && wxID_HELP == 5009 && wxID_HOME == 5122);
static_assert(wxID_INFO == 5150 && wxID_LAST == 5148 && wxID_NEW == 5002 && wxID_OPEN == 5000);
static_assert(wxID_PASTE == 5033 && wxID_PRINT == 5010 && wxID_REDO == 5008 && wxID_REPLACE == 5039);
static_assert(wxID_SAVE == 5003 && wxID_SAVEAS == 5004 && wxID_UNDO == 5007 && wxID_UP == 5120);
static_assert(wxID_VIEW_DETAILS == 5042 && wxID_VIEW_LIST == 5045);

class RecordingArt : public wxArtProvider
{
public:
    struct Request { wxArtID id; wxArtClient client; wxSize size; };
    std::vector<Request> requests;

protected:
    wxBitmap CreateBitmap(const wxArtID& id, const wxArtClient& client, const wxSize& size) override
    {
        requests.push_back({id, client, size});
        return wxBitmap(16, 16);
    }
};

class StockArt : public ::testing::Test
{
protected:
    void SetUp() override { wxArtProvider::Push(m_Art = new RecordingArt); }
    void TearDown() override { wxArtProvider::Delete(m_Art); }

    RecordingArt* m_Art = nullptr;
};

TEST_F(StockArt, AsksForTheMappedArt)
{
    struct Row { wxWindowID id; wxArtClient client; wxSize size; const char* art; };
    const Row rows[] = {
        {wxID_OPEN, wxART_TOOLBAR, wxDefaultSize, "wxART_FILE_OPEN"},
        {wxID_EXIT, wxART_OTHER, wxSize(24, 24), "wxART_QUIT"},
        {wxID_REPLACE, wxART_MENU, wxDefaultSize, "wxART_FIND_AND_REPLACE"},
        {wxID_INFO, wxART_OTHER, wxDefaultSize, "wxART_INFORMATION"},
    };
    for (const Row& row : rows)
    {
        SCOPED_TRACE(row.art);
        m_Art->requests.clear();
        const wxBitmap bitmap = QelStockArt(row.id).GetBitmap(row.client, row.size);
        EXPECT_TRUE(bitmap.IsOk());
        ASSERT_EQ(m_Art->requests.size(), 1u);
        EXPECT_EQ(m_Art->requests[0].id, row.art);
        EXPECT_EQ(m_Art->requests[0].client, row.client);
        if (row.size != wxDefaultSize)
        {
            EXPECT_EQ(m_Art->requests[0].size, row.size);
        }
    }
}

TEST_F(StockArt, OtherIdsGiveNoBitmapAndAskNothing)
{
    // wx 3 does not count the two view ids as stock ids: their rows are dead.
    for (int id : {int(wxID_ABOUT), int(wxID_PREFERENCES), 6164, int(wxID_VIEW_DETAILS), int(wxID_VIEW_LIST)})
    {
        SCOPED_TRACE(id);
        EXPECT_FALSE(QelStockArt(id).GetBitmap(wxART_TOOLBAR).IsOk());
    }
    EXPECT_TRUE(m_Art->requests.empty());
}

TEST_F(StockArt, TableIsFilledOnce)
{
    for (int i = 0; i < 1000; ++i) QelStockArt art(wxID_HIGHEST + i);
    const auto& table = QelStockArt::GetArtIDs();
    EXPECT_EQ(table.size(), 26u);
    EXPECT_EQ(table.at(wxID_BACKWARD), "wxART_GO_BACK");
    EXPECT_EQ(table.at(wxID_VIEW_LIST), "wxART_LIST_VIEW");
}

} // namespace
