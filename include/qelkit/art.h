// Bitmaps for commands with one of the toolkit's stock ids, from the art
// provider, for menus (wxART_OTHER) and tool bars (wxART_TOOLBAR).
#pragma once

#include <map>

#include <wx/artprov.h>
#include <wx/bitmap.h>
#include <wx/gdicmn.h>
#include <wx/string.h>

class QelStockArt {
public:
    // The first object made fills the table shared by all.
    explicit QelStockArt(wxWindowID id);

    // The art provider's bitmap for the id, when the id is a stock id with a
    // row in the table; else an invalid bitmap.
    const wxBitmap GetBitmap(const wxArtClient& client = wxART_OTHER,
                             const wxSize& bitmap_size = wxDefaultSize) const;

    // Stock id to art-provider id.
    static const std::map<wxWindowID, wxString>& GetArtIDs() noexcept { return m_ArtIDs; }

private:
    // The first pair for an id wins.
    void Add(wxWindowID id, const wxString& art);

    wxWindowID m_Id;

    static std::map<wxWindowID, wxString> m_ArtIDs;
};
