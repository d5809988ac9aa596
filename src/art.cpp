#include <qelkit/art.h>

#include <wx/stockitem.h>

std::map<wxWindowID, wxString> QelStockArt::m_ArtIDs;

QelStockArt::QelStockArt(wxWindowID id)
    : m_Id(id)
{
    if (!m_ArtIDs.empty()) return;

    Add(wxID_BACKWARD, wxART_GO_BACK);
    Add(wxID_CLOSE, wxART_CLOSE);
    Add(wxID_COPY, wxART_COPY);
    Add(wxID_CUT, wxART_CUT);
    Add(wxID_DELETE, wxART_DELETE);
    Add(wxID_DOWN, wxART_GO_DOWN);
    Add(wxID_EXIT, wxART_QUIT);
    Add(wxID_FIND, wxART_FIND);
    Add(wxID_FIRST, wxART_GOTO_FIRST);
    Add(wxID_FORWARD, wxART_GO_FORWARD);
    Add(wxID_HELP, wxART_HELP);
    Add(wxID_HOME, wxART_GO_HOME);
    Add(wxID_INFO, wxART_INFORMATION);
    Add(wxID_LAST, wxART_GOTO_LAST);
    Add(wxID_NEW, wxART_NEW);
    Add(wxID_OPEN, wxART_FILE_OPEN);
    Add(wxID_PASTE, wxART_PASTE);
    Add(wxID_PRINT, wxART_PRINT);
    Add(wxID_REDO, wxART_REDO);
    Add(wxID_REPLACE, wxART_FIND_AND_REPLACE);
    Add(wxID_SAVE, wxART_FILE_SAVE);
    Add(wxID_SAVEAS, wxART_FILE_SAVE_AS);
    Add(wxID_UNDO, wxART_UNDO);
    Add(wxID_UP, wxART_GO_UP);
    Add(wxID_VIEW_DETAILS, wxART_REPORT_VIEW);
    Add(wxID_VIEW_LIST, wxART_LIST_VIEW);
}

void QelStockArt::Add(wxWindowID id, const wxString& art)
{
    m_ArtIDs.insert({id, art});
}

const wxBitmap QelStockArt::GetBitmap(const wxArtClient& client, const wxSize& bitmap_size) const
{
    // wx 3 no longer counts wxID_VIEW_DETAILS and wxID_VIEW_LIST as stock
    // ids, so their rows give no bitmap.
    const auto it = m_ArtIDs.find(m_Id);
    if (!wxIsStockID(m_Id) || it == m_ArtIDs.end()) return wxNullBitmap;

    return wxArtProvider::GetBitmap(it->second, client, bitmap_size);
}
