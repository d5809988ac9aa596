// Stock art: which art the provider is asked for, through a provider of our
// own so that the icon theme of the machine does not matter.
#include <vector>

#include <gtest/gtest.h>
#include <wx/artprov.h>

#include <qelkit/art.h>

namespace {

class RecordingArt : public wxArtProvider {
public:
    struct Request {
        wxArtID id;
        wxArtClient client;
        wxSize size;
    };
    std::vector<Request> requests;

protected:
    wxBitmap CreateBitmap(const wxArtID& id, const wxArtClient& client, const wxSize& size) override
    {
        requests.push_back({id, client, size});
        return wxBitmap(16, 16);
    }
};

class StockArt : public ::testing::Test {
protected:
    void SetUp() override { wxArtProvider::Push(m_Art = new RecordingArt); }
    void TearDown() override { wxArtProvider::Delete(m_Art); }

    RecordingArt* m_Art = nullptr;
};

TEST_F(StockArt, AsksForTheMappedArtOnly)
{
    const struct {
        int id;
        wxArtClient client;
        wxSize size;
        const char* art;
    } rows[] = {
        {wxID_OPEN, wxART_TOOLBAR, wxDefaultSize, "wxART_FILE_OPEN"},
        {wxID_EXIT, wxART_OTHER, wxSize(24, 24), "wxART_QUIT"},
        // No row, or (a view id) not a stock id in wx 3: no bitmap.
        {6164, wxART_TOOLBAR, wxDefaultSize, nullptr},
        {wxID_VIEW_DETAILS, wxART_TOOLBAR, wxDefaultSize, nullptr},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.id);
        m_Art->requests.clear();
        const wxBitmap bitmap = QelStockArt(row.id).GetBitmap(row.client, row.size);
        EXPECT_EQ(bitmap.IsOk(), row.art != nullptr);
        ASSERT_EQ(m_Art->requests.size(), row.art ? 1u : 0u);
        if (row.art == nullptr) continue;
        EXPECT_EQ(m_Art->requests[0].id, row.art);
        EXPECT_EQ(m_Art->requests[0].client, row.client);
        EXPECT_TRUE(row.size == wxDefaultSize || m_Art->requests[0].size == row.size);
    }
    // Later constructions add nothing to the table.
    const size_t known = QelStockArt::GetArtIDs().size();
    for (int i = 0; i < 1000; ++i) QelStockArt art(wxID_HIGHEST + i);
    EXPECT_EQ(QelStockArt::GetArtIDs().size(), known);
}

} // namespace
