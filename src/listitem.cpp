#include <qelkit/listitem.h>

#include <wx/config.h>
#include <wx/longlong.h>

#include <qelkit/frame.h>
#include <qelkit/listview.h>
#include <qelkit/rcs.h>
#include <qelkit/util.h>

wxString QelListItem::RowPath(const wxString& folder, const wxString& name)
{
    const wxFileName shown(name);
    if (name.empty() || folder.empty() || shown.IsAbsolute() || !shown.GetPath().empty())
        return name;
    return wxFileName(folder, name).GetFullPath();
}

QelListItem::QelListItem(QelListView* lv, long itemnumber)
    : m_ListView(lv)
{
    const wxString name = lv->GetItemText(itemnumber, _("File Name"));
    if (!name.empty()) {
        m_FileName = QelFileName(RowPath(lv->GetItemText(itemnumber, _("In Folder")), name));
    }
    m_FileSpec = lv->GetItemText(itemnumber, _("Type"));
    SetId(itemnumber);
    m_IsReadOnly = lv->GetItemData(itemnumber) > 0;
}

QelListItem::QelListItem(QelListView* listview, const QelFileName& filename,
                         const wxString& filespec)
    : m_ListView(listview)
    , m_FileName(filename)
    , m_FileSpec(filespec)
{
    SetId(-1);
}

void QelListItem::Insert(long index)
{
    const wxString full = m_FileName.GetFullPath();
    int name_col = 0;
    wxString name = full;
    if (m_ListView->InReportView()) {
        name_col = m_ListView->FindColumn(_("File Name"));
        const QelStat& stat = m_FileName.GetStat();
        if ((stat.IsOk() && S_ISREG(stat.st_mode)) || wxFileName::DirExists(m_FileName.GetPath())) {
            name = m_FileName.GetFullName();
        }
    }

    SetId(index == -1 ? m_ListView->GetItemCount() : index);
    SetColumn(0);
    SetMask(wxLIST_MASK_TEXT | wxLIST_MASK_IMAGE);
    SetText(name_col == 0 ? name : wxString());
    SetImage(m_FileName.GetStat().IsOk() ? QelGetIconID(m_FileName, m_FileName.GetStat()) : -1);

    const long row = m_ListView->InsertItem(*this);
    if (row == -1) {
        wxFAIL_MSG("the row could not be inserted");
        return;
    }
    SetId(row);
    QelFrame::UpdateStatusBar(m_ListView);
    Update();
    if (name_col > 0) SetItem(name_col, name);
}

void QelListItem::Update()
{
    const QelStat& stat = m_FileName.GetStat();
    SetReadOnly(stat.IsReadOnly());
    if (!m_ListView->InReportView()) return;

    // A file that is missing now keeps its folder, so that the row still
    // names it; its other file columns stay empty.
    SetItem(_("In Folder"), m_FileName.GetPath(wxPATH_GET_VOLUME));
    if (!stat.IsOk()) {
        SetItem(_("Size"), wxEmptyString);
        SetItem(_("Modified"), wxEmptyString);
        return;
    }
    const bool is_folder = S_ISDIR(stat.st_mode);
    SetItem(_("Type"), is_folder ? m_FileSpec : m_FileName.GetExt());
    SetItem(_("Size"), is_folder ? wxString() : wxULongLong(stat.st_size).ToString());
    SetItem(_("Modified"), stat.GetModificationTime());
}

void QelListItem::SetItem(int col_number, const wxString& text)
{
    if (col_number == -1) return;
    m_ListView->SetItem(GetId(), col_number, text);
}

void QelListItem::SetItem(const wxString& col_name, const wxString& text)
{
    SetItem(m_ListView->FindColumn(col_name), text);
}

void QelListItem::SetReadOnly(bool readonly)
{
    const wxColour colour
        = readonly ? wxConfigBase::Get()->ReadObject(_("List Colour"), wxColour("RED")) : *wxBLACK;
    SetTextColour(colour);
    m_IsReadOnly = readonly;

    // Only the colour and the data: the row's texts stay as they are.
    const long row = GetId();
    if (row < 0 || row >= m_ListView->GetItemCount()) return;
    m_ListView->SetItemTextColour(row, colour);
    m_ListView->SetItemData(row, readonly ? 1 : 0);
}

void QelListItem::UpdateRevisionList(const QelRCS& rcs)
{
    SetItem(_("Revision"), rcs.GetRevisionNumber());
    SetItem(_("Date"),
            rcs.GetRevisionTime().IsValid() ? rcs.GetRevisionTime().FormatISOCombined(' ')
                                            : wxString());
    SetItem(_("Initials"), rcs.GetUser());
    SetItem(_("Revision Comment"), rcs.GetDescription());
}

void QelListItem::Delete()
{
    m_ListView->DeleteItem(GetId());
}
