// The settings dialog of the system: a list of configuration items laid out
// in grids, on the pages of a book control when the items name pages,
// loaded from the settings file and saved when the user confirms.
#pragma once

#include <vector>

#include <qelkit/configitem.h>
#include <qelkit/dialog.h>

class wxBookCtrlBase;

class QelConfigDialog : public QelDialog {
public:
    // bookctrl_style: 0 notebook, 1 treebook, 2 choicebook, 3 listbook,
    // 4 toolbook; used when the first item names a page. Only wxCANCEL in
    // flags makes a read-only dialog. Every control is made and loaded when
    // the constructor returns.
    QelConfigDialog(wxWindow* parent, const std::vector<QelConfigItem>& v, const wxString& title,
                    int rows = 0, int cols = 1, long flags = wxOK | wxCANCEL,
                    wxWindowID id = wxID_ANY, int bookctrl_style = 0,
                    long style = wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER,
                    const wxString& name = "QelConfigDialog");

    // OK and Apply stay disabled until a check box, or a row of a checked
    // list of names, whose text holds `contains` (in any letter case) on
    // page `page` is checked.
    void ForceCheckBoxChecked(const wxString& contains, const wxString& page = wxEmptyString);

    // Every control loads its value again from the settings file.
    void Reload() const;

    // The dialog's own copies of the items, with their controls.
    const std::vector<QelConfigItem>& GetConfigItems() const { return m_ConfigItems; }

protected:
    // Item buttons browse or reach the frame; Cancel reloads, the other
    // dialog buttons save every item.
    void OnCommand(wxCommandEvent& event);
    // OK and Apply: enabled unless a required item is empty or a forced
    // check box is not checked.
    void OnUpdateUI(wxUpdateUIEvent& event);

private:
    void LayoutItems(int rows, int cols, int bookctrl_style);
    wxBookCtrlBase* CreateBook(int bookctrl_style);
    void FinishBook(wxBookCtrlBase* book);
    void BrowseFolder(const QelConfigItem& item);
    void Save() const;
    bool CanConfirm() const;
    bool IsForcedCheck(const wxString& label, const wxString& page, bool checked) const;
    // Tells the application's frame that the button `id` was pressed.
    void Click(int id) const;
    std::vector<QelConfigItem>::const_iterator FindConfigItem(int id) const;

    std::vector<QelConfigItem> m_ConfigItems;
    bool m_ForceCheckBoxChecked = false;
    wxString m_Contains;
    wxString m_Page;

    wxDECLARE_EVENT_TABLE();
};
