// The frame base that hosts keyed notebooks: the hooks each notebook calls
// when a page is selected, asked to close, or the last page went.
#pragma once

#include <qelkit/frame.h>

class QelManagedFrame : public QelFrame {
public:
    QelManagedFrame(wxWindow* parent, wxWindowID id, const wxString& title,
                    long style = wxDEFAULT_FRAME_STYLE);

    // May notebook id close page? The base forgets the find focus and
    // allows it.
    virtual bool AllowClose(int id, wxWindow* page);
    // Notebook id selected page: it becomes the find focus.
    virtual void OnNotebook(int id, wxWindow* page);
    // Notebook id lost its last page: the find focus is forgotten.
    virtual void SyncCloseAll(int id);
};
