// Lists whose rows are files or folders. The list type fixes the columns,
// the window name and how rows turn into text and back; the columns that
// come from the file itself are filled by QelListItem.
#pragma once

#include <qelkit/listview.h>

class QelLexer;

class QelListViewFileName : public QelListView {
public:
    enum ListType {
        LIST_BEFORE_FIRST = 0,
        LIST_FOLDER = 1,
        LIST_COUNT = 2,
        LIST_FIND = 3,
        LIST_HISTORY = 4,
        LIST_KEYWORD = 5,
        LIST_REPLACE = 6,
        LIST_PROCESS = 7,
        LIST_FILE = 8,
        LIST_REVISION = 9,
        LIST_SQL = 10,
        LIST_VERSION = 11,
        LIST_AFTER_LAST = 12,
    };

    // The lexer is read by LIST_KEYWORD only (one column per keyword).
    QelListViewFileName(wxWindow* parent, ListType type, wxWindowID id = wxID_ANY,
                        const QelLexer* lexer = nullptr, const wxPoint& pos = wxDefaultPosition,
                        const wxSize& size = wxDefaultSize, long style = wxLC_REPORT,
                        const wxValidator& validator = wxDefaultValidator,
                        const wxString& name = wxListCtrlNameStr);
    ~QelListViewFileName() override = default;

    // The translated description of a type ("Find Results"); empty outside
    // the real types.
    static wxString GetTypeDescription(ListType type);
    wxString GetTypeDescription() const { return GetTypeDescription(m_Type); }
    ListType GetType() const noexcept { return m_Type; }

    // Deletes a row when the row below it names the same file with the same
    // modification time.
    void DeleteDoubles();

    // Text form: the path, the "Type" cell when its folder exists, then
    // (except for LIST_FILE) all cells; -1 gives every row's first cell.
    bool ItemFromText(const wxString& text) override;
    wxString ItemToText(long item_number) const override;
    // Reads every row's file again.
    void ItemsUpdate() override;
    void BuildPopupMenu(QelMenu* menu) override;
    // Double click or Enter on a row: folder rows ask for a folder or a type.
    virtual void ItemActivated(long item_number);

private:
    void Initialize(const QelLexer* lexer);
    void AddCellsFromText(long row, const wxArrayString& cells, size_t first);

    void OnCommand(wxCommandEvent& event);
    void OnList(wxListEvent& event);

    const ListType m_Type;

    wxDECLARE_EVENT_TABLE();
};

// The folder list of a settings dialog: one folder per row, its text form
// one folder per line.
class QelListViewFolder : public QelListViewFileName {
public:
    QelListViewFolder(wxWindow* parent, wxWindowID id = wxID_ANY,
                      const wxPoint& pos = wxDefaultPosition, const wxSize& size = wxSize(200, 200),
                      long style = wxSUNKEN_BORDER | wxLC_LIST | wxLC_HRULES | wxLC_VRULES,
                      const wxValidator& validator = wxDefaultValidator,
                      const wxString& name = wxListCtrlNameStr);

    // Replaces the rows by the folders of the text, one per line.
    void SetFolders(const wxString& text);
    // Every folder followed by the line end.
    wxString GetFolders() const { return ItemToText(-1); }
};
