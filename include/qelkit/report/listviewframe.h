// The file list that knows the frame with history: a row opens its file at
// its line with the match selected, and the popup menu runs compare,
// version control, find in the selection and the tools on the rows.
#pragma once

#include <qelkit/listviewfile.h>
#include <qelkit/tool.h>

class QelFileName;
class QelFrameWithHistory;

class QelListViewWithFrame : public QelListViewFileName {
public:
    // A history list becomes the frame's mirror of the recent files.
    QelListViewWithFrame(wxWindow* parent, QelFrameWithHistory* frame, ListType type,
                         wxWindowID id = wxID_ANY,
                         long menu_flags = LIST_MENU_FIND | LIST_MENU_TOOL,
                         const QelLexer* lexer = nullptr, const wxPoint& pos = wxDefaultPosition,
                         const wxSize& size = wxDefaultSize, long style = wxLC_REPORT,
                         const wxValidator& validator = wxDefaultValidator,
                         const wxString& name = wxListCtrlNameStr);
    // A tool run over the rows of this list is cancelled.
    ~QelListViewWithFrame() override;

    QelFrameWithHistory* GetFrame() { return m_Frame; }
    long GetMenuFlags() const { return m_MenuFlags; }

    // The list type that receives the results of the tool.
    static ListType GetTypeTool(const QelTool& tool);

    // Runs the tool over the selected rows; false when it did not run.
    bool RunItems(const QelTool& tool);

    void BuildPopupMenu(QelMenu* menu) override;
    void ItemActivated(long item_number) override;

private:
    // The selected rows, in selection order.
    std::vector<long> Selection() const;
    // Of the rows, those whose path is not a folder.
    std::vector<long> FileRows(const std::vector<long>& rows);
    // The files of the rows, read before anything lets the event loop run.
    std::vector<QelFileName> FileNames(const std::vector<long>& rows);
    // The rows compared in pairs: first with second, third with fourth.
    void Compare(const std::vector<long>& rows);
    // The other versions of the rows' files into the frame's version list.
    void VersionList(const std::vector<long>& rows);
    // The items for an existing first selected row: versions, version
    // control, find and replace in the selection, and the tools.
    void AppendSelectionItems(QelMenu* menu, const QelFileName& file, bool is_folder,
                              bool read_only);
    // The one selected file of the current project; empty when none.
    wxString ProjectFile();
    void OnCommand(wxCommandEvent& event);

    const long m_MenuFlags;
    QelFrameWithHistory* m_Frame; // not owned, never null
    bool m_RunningTool = false;   // RunItems goes on over the rows

    wxDECLARE_EVENT_TABLE();
};
