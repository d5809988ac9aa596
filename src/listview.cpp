#include <qelkit/listview.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <numeric>
#include <string>

#include <wx/artprov.h>
#include <wx/utils.h>
#include <wx/config.h>
#include <wx/datetime.h>
#include <wx/dcmemory.h>
#include <wx/dirctrl.h>
#include <wx/fdrepdlg.h>
#include <wx/imaglist.h>
#include <wx/settings.h>
#include <wx/textbuf.h>
#include <wx/tokenzr.h>

#include <qelkit/defs.h>
#include <qelkit/frd.h>
#include <qelkit/status.h>

#include "stcnumber.h"

namespace {

// What a cell is compared by, worked out once per cell before sorting.
struct CellKey {
    long long whole = 0; // integers; dates as YYYYMMDDhhmmss (signed)
    double real = 0;     // floats; NaN is turned into -infinity to keep the order total
    std::string text;    // texts, as UTF-8, so bytes compare in code-point order
};

// A date and time as the digits of its local fields, YYYYMMDDhhmmss, which
// order as the times do. The lists' own form is read digit by digit (a
// project of many files sorts on "Modified" at once); other forms go to the
// toolkit's parser. Empty or unreadable cells sort as 1970-01-01 00:00:00.
long long DateKey(const wxString& cell)
{
    static const char shape[] = "dddd-dd-dd dd:dd:dd";
    const auto field = [&cell](size_t at, size_t digits) {
        long long value = 0;
        for (size_t i = at; i < at + digits; i++) value = value * 10 + (cell[i].GetValue() - '0');
        return value;
    };
    const auto pack
        = [](long long y, long long mo, long long d, long long h, long long mi, long long s) {
              return ((((y * 100 + mo) * 100 + d) * 100 + h) * 100 + mi) * 100 + s;
          };

    bool fast = cell.length() == sizeof(shape) - 1;
    for (size_t i = 0; fast && i < cell.length(); i++) {
        const wxUniChar c = cell[i];
        fast = shape[i] == 'd' ? c >= '0' && c <= '9' : c == shape[i];
    }
    if (fast) {
        const long long month = field(5, 2), day = field(8, 2), hour = field(11, 2),
                        minute = field(14, 2), second = field(17, 2);
        if (month >= 1 && month <= 12 && day >= 1 && day <= 31 && hour <= 23 && minute <= 59
            && second <= 59)
            return pack(field(0, 4), month, day, hour, minute, second);
    }
    wxDateTime dt;
    if (cell.empty() || !dt.ParseISOCombined(cell, ' ')) return pack(1970, 1, 1, 0, 0, 0);
    return pack(dt.GetYear(), dt.GetMonth() + 1, dt.GetDay(), dt.GetHour(), dt.GetMinute(),
                dt.GetSecond());
}

CellKey MakeKey(QelColumn::QelColumnType type, const wxString& cell, bool match_case)
{
    CellKey key;
    switch (type) {
    case QelColumn::COL_INT:
        key.whole = std::strtoll(cell.utf8_str(), nullptr, 10);
        break;
    case QelColumn::COL_DATE:
        key.whole = DateKey(cell);
        break;
    case QelColumn::COL_FLOAT:
        key.real = std::strtod(cell.utf8_str(), nullptr);
        if (std::isnan(key.real)) key.real = -std::numeric_limits<double>::infinity();
        break;
    case QelColumn::COL_STRING:
        key.text = (match_case ? cell : cell.Upper()).utf8_string();
        break;
    default:
        wxFAIL_MSG("unknown column type");
    }
    return key;
}

template <typename T> int Order(const T& a, const T& b)
{
    return a < b ? -1 : (b < a ? 1 : 0);
}

int CompareKeys(QelColumn::QelColumnType type, const CellKey& a, const CellKey& b)
{
    switch (type) {
    case QelColumn::COL_INT:
    case QelColumn::COL_DATE:
        return Order(a.whole, b.whole);
    case QelColumn::COL_FLOAT:
        return Order(a.real, b.real);
    case QelColumn::COL_STRING:
        return Order(a.text, b.text);
    default:
        wxFAIL_MSG("unknown column type");
        return 0;
    }
}

wxString EscapeHtml(const wxString& text)
{
    wxString escaped;
    escaped.reserve(text.length());
    for (const wxUniChar c : text) {
        switch (c.GetValue()) {
        case '&':
            escaped += "&amp;";
            break;
        case '<':
            escaped += "&lt;";
            break;
        case '>':
            escaped += "&gt;";
            break;
        case '"':
            escaped += "&quot;";
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
}

bool MatchCaseIsOn()
{
    return QelFindReplaceData::Get()->MatchCase();
}

// Cells up to this length are given whole to the control.
constexpr size_t SHORT_CELL_LENGTH = 32;

size_t RowLength(const QelListView::Row& row)
{
    size_t length = 0;
    for (const wxString& cell : row.cells) length += cell.length();
    return length;
}

} // namespace

// --- columns ---

QelColumn::QelColumn(const wxString& name, QelColumnType type, int width)
    : m_Type(type)
{
    int align = wxLIST_FORMAT_LEFT;
    int default_width = 100;
    switch (type) {
    case COL_INT:
        align = wxLIST_FORMAT_RIGHT;
        default_width = 60;
        break;
    case COL_DATE:
        default_width = 150;
        break;
    case COL_FLOAT:
        align = wxLIST_FORMAT_RIGHT;
        default_width = 80;
        break;
    case COL_STRING:
        break;
    default:
        wxFAIL_MSG("unknown column type");
    }
    SetText(name);
    SetColumn(-1);
    SetAlign(static_cast<wxListColumnFormat>(align));
    SetWidth(width == 0 ? default_width : width);
}

void QelColumn::SetIsSortedAscending(QelSortType sort_method)
{
    switch (sort_method) {
    case SORT_KEEP:
        break;
    case SORT_ASCENDING:
        m_IsSortedAscending = true;
        break;
    case SORT_DESCENDING:
        m_IsSortedAscending = false;
        break;
    case SORT_TOGGLE:
        m_IsSortedAscending = !m_IsSortedAscending;
        break;
    default:
        wxFAIL_MSG("unknown sort type");
    }
}

int QelCompareCells(QelColumn::QelColumnType type, const wxString& a, const wxString& b,
                    bool match_case)
{
    return CompareKeys(type, MakeKey(type, a, match_case), MakeKey(type, b, match_case));
}

bool ListViewDropTarget::OnDropText(wxCoord, wxCoord, const wxString& text)
{
    if (m_ListView->GetSelectedItemCount() > 0) return false;
    return m_ListView->ItemFromText(text);
}

// --- the list ---

// clang-format off
wxBEGIN_EVENT_TABLE(QelListView, wxListView)
    EVT_FIND(wxID_ANY, QelListView::OnFindDialog)
    EVT_FIND_NEXT(wxID_ANY, QelListView::OnFindDialog)
    EVT_LIST_BEGIN_DRAG(wxID_ANY, QelListView::OnList)
    EVT_LIST_COL_CLICK(wxID_ANY, QelListView::OnList)
    EVT_LIST_COL_RIGHT_CLICK(wxID_ANY, QelListView::OnList)
    EVT_LIST_ITEM_DESELECTED(wxID_ANY, QelListView::OnList)
    EVT_LIST_ITEM_FOCUSED(wxID_ANY, QelListView::OnList)
    EVT_LIST_ITEM_SELECTED(wxID_ANY, QelListView::OnList)
    EVT_MENU(wxID_DELETE, QelListView::OnCommand)
    EVT_MENU(wxID_SELECTALL, QelListView::OnCommand)
    EVT_MENU(wxID_SORT_ASCENDING, QelListView::OnCommand)
    EVT_MENU(wxID_SORT_DESCENDING, QelListView::OnCommand)
    EVT_MENU(ID_EDIT_SELECT_INVERT, QelListView::OnCommand)
    EVT_MENU(ID_EDIT_SELECT_NONE, QelListView::OnCommand)
    EVT_MENU_RANGE(wxID_CUT, wxID_CLEAR, QelListView::OnCommand)
    EVT_MENU_RANGE(ID_COLUMN_SORT_LOWEST, ID_COLUMN_SORT_HIGHEST, QelListView::OnCommand)
    EVT_KEY_DOWN(QelListView::OnKeyDown)
    EVT_LEFT_DOWN(QelListView::OnLeftDown)
    EVT_RIGHT_DOWN(QelListView::OnMouse)
    EVT_SHOW(QelListView::OnShow)
wxEND_EVENT_TABLE();
// clang-format on

QelListView::QelListView(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size,
                         long style, QelImageType image_type, const wxValidator& validator,
                         const wxString& name)
    : wxListView(parent, id, pos, size,
                 (style & wxLC_REPORT) != 0 ? style | wxLC_VIRTUAL : style & ~wxLC_VIRTUAL,
                 validator, name)
    , m_ImageType(image_type)
{
    SetDropTarget(new ListViewDropTarget(this));

    switch (m_ImageType) {
    case IMAGE_NONE:
        break;
    case IMAGE_ART:
    case IMAGE_OWN:
        AssignImageList(new wxImageList(m_ImageWidth, m_ImageHeight, true, 0), wxIMAGE_LIST_SMALL);
        break;
    case IMAGE_FILE_ICON:
        SetImageList(wxTheFileIconsTable->GetSmallImageList(), wxIMAGE_LIST_SMALL);
        break;
    default:
        wxFAIL_MSG("unknown image type");
    }

    SetFont(wxConfigBase::Get()->ReadObject(_("List Font"),
                                            wxSystemSettings::GetFont(wxSYS_OEM_FIXED_FONT)));

    // The keys the popup menu shows, taken here before the window's menus,
    // whose Copy and Select All go to the editor.
    wxAcceleratorEntry entries[] = {
        {wxACCEL_CTRL, 'A', wxID_SELECTALL},       {wxACCEL_CTRL, 'C', wxID_COPY},
        {wxACCEL_CTRL, 'V', wxID_PASTE},           {wxACCEL_CTRL, 'X', wxID_CUT},
        {wxACCEL_NORMAL, WXK_DELETE, wxID_DELETE}, {wxACCEL_CTRL, WXK_INSERT, wxID_COPY},
        {wxACCEL_SHIFT, WXK_INSERT, wxID_PASTE},   {wxACCEL_SHIFT, WXK_DELETE, wxID_CUT},
    };
    SetAcceleratorTable(wxAcceleratorTable(WXSIZEOF(entries), entries));
}

QelListView::~QelListView() = default;

void QelListView::InsertColumn(const QelColumn& col)
{
    QelColumn copy(col);
    const long number = GetColumnCount();
    wxListView::InsertColumn(number, copy);
    copy.SetColumn(GetColumnCount() - 1);
    m_Columns.push_back(copy);
}

// --- rows ---

long QelListView::InsertItem(long index, const wxString& label, int image)
{
    Row row;
    row.cells.push_back(label);
    row.image = image;
    return InsertRow(index, std::move(row));
}

long QelListView::InsertItem(wxListItem& info)
{
    Row row;
    row.cells.push_back(info.GetText());
    if ((info.GetMask() & wxLIST_MASK_IMAGE) != 0) row.image = info.GetImage();
    if ((info.GetMask() & wxLIST_MASK_DATA) != 0) row.data = info.GetData();
    return InsertRow(info.GetId(), std::move(row));
}

long QelListView::InsertRow(long index, Row row)
{
    const long count = static_cast<long>(m_Rows.size());
    if (index < 0 || index > count) index = count;
    m_TextLength += RowLength(row);
    row.added = ++m_Added;

    if (!IsVirtualList()) {
        m_Rows.insert(m_Rows.begin() + index, std::move(row));
        wxListView::InsertItem(index, GetShownText(index, 0), m_Rows[index].image);
        ShowRow(index);
        return index;
    }
    // The control keeps the selection by row number: rows below the new
    // one move down with theirs. A row added at the end moves none.
    const auto insert = [&] {
        m_Rows.insert(m_Rows.begin() + index, std::move(row));
        SetItemCount(count + 1);
    };
    if (index == count) {
        insert();
        return index;
    }
    MoveRows(insert, [index](long item) { return item < index ? item : item + 1; });
    RefreshItems(index, count);
    return index;
}

const QelListView::Row& QelListView::GetRow(long item) const
{
    static const Row none;
    return IsRow(item) ? m_Rows[item] : none;
}

bool QelListView::SetItem(long index, int col, const wxString& label, int image)
{
    if (!IsRow(index) || col < 0 || col >= GetColumnCount()) return false;
    Row& row = m_Rows[index];
    if (row.cells.size() <= static_cast<size_t>(col)) row.cells.resize(col + 1);
    m_TextLength = m_TextLength - row.cells[col].length() + label.length();
    row.cells[col] = label;
    if (col == 0 && image != -1) row.image = image;
    if (IsVirtualList()) {
        RefreshItem(index);
        return true;
    }
    if (col > 0) return true; // kept for the report view
    return wxListView::SetItem(index, col, GetShownText(index, col), col == 0 ? row.image : -1);
}

bool QelListView::SetItemData(long item, long data)
{
    if (!IsRow(item)) return false;
    m_Rows[item].data = data;
    return IsVirtualList() || wxListView::SetItemData(item, data);
}

wxUIntPtr QelListView::GetItemData(long item) const
{
    return IsRow(item) ? m_Rows[item].data : 0;
}

void QelListView::SetItemTextColour(long item, const wxColour& colour)
{
    if (!IsRow(item)) return;
    wxItemAttr& attr = m_Attrs[colour.IsOk() ? colour.GetRGBA() : 0];
    attr.SetTextColour(colour);
    m_Rows[item].attr = &attr;
    if (IsVirtualList()) {
        RefreshItem(item);
    } else {
        wxListView::SetItemTextColour(item, colour);
    }
}

wxColour QelListView::GetItemTextColour(long item) const
{
    return IsRow(item) && m_Rows[item].attr != nullptr ? m_Rows[item].attr->GetTextColour()
                                                       : wxNullColour;
}

bool QelListView::DeleteItem(long item)
{
    if (!IsRow(item)) return false;
    if (IsSelected(item)) Select(item, false);
    // The control still reads the row while it deletes it.
    const bool deleted = wxListView::DeleteItem(item);
    m_TextLength -= RowLength(m_Rows[item]);
    m_Rows.erase(m_Rows.begin() + item);
    return deleted;
}

bool QelListView::DeleteAllItems()
{
    const bool deleted = wxListView::DeleteAllItems();
    m_Rows.clear();
    m_TextLength = 0;
    return deleted;
}

long QelListView::DeleteItems(long first, long count)
{
    const long size = static_cast<long>(m_Rows.size());
    if (first < 0 || first >= size || count <= 0) return 0;
    count = std::min(count, size - first);
    std::vector<bool> doomed(size, false);
    std::fill(doomed.begin() + first, doomed.begin() + first + count, true);
    return DeleteItems(doomed);
}

long QelListView::DeleteItems(const std::vector<bool>& doomed)
{
    const long size = static_cast<long>(m_Rows.size());
    const long end = std::min(size, static_cast<long>(doomed.size()));
    if (!IsVirtualList()) {
        // The control keeps the selection of its own rows.
        long count = 0;
        for (long item = end - 1; item >= 0; item--) {
            if (doomed[item] && DeleteItem(item)) count++;
        }
        return count;
    }
    // The virtual control keeps the selection, the focus and the view by
    // row number, and deleting its rows one by one would measure every
    // cell of each. A row that stays moves up by the rows deleted above it.
    std::vector<long> moved_to(size);
    long kept = 0;
    for (long item = 0; item < size; item++) {
        moved_to[item] = item < end && doomed[item] ? -1 : kept++;
    }
    if (kept == size) return 0;
    const long top = GetTopItem();
    MoveRows(
        [&] {
            for (long item = 0; item < size; item++) {
                if (moved_to[item] == -1) {
                    m_TextLength -= RowLength(m_Rows[item]);
                } else if (moved_to[item] != item) {
                    m_Rows[moved_to[item]] = std::move(m_Rows[item]);
                }
            }
            m_Rows.resize(kept);
            SetItemCount(kept);
        },
        [&moved_to](long item) { return moved_to[item]; });
    // The view has not moved: the row that was first in view is above it
    // now, and a row above the view is scrolled to its top; a deleted row
    // gives its place to the first row after it.
    long shown = top;
    while (shown >= 0 && shown < size && moved_to[shown] == -1) shown++;
    if (shown >= 0 && shown < size) EnsureVisible(moved_to[shown]);
    return size - kept;
}

size_t QelListView::GetTextLength(long item) const
{
    return IsRow(item) ? RowLength(m_Rows[item]) : 0;
}

wxString QelListView::GetItemText(long item_number, int col) const
{
    if (!IsRow(item_number) || col < 0) return wxString();
    const std::vector<wxString>& cells = m_Rows[item_number].cells;
    return static_cast<size_t>(col) < cells.size() ? cells[col] : wxString();
}

void QelListView::ShowRow(long item)
{
    if (IsVirtualList() || !IsRow(item)) return;
    const Row& row = m_Rows[item];
    // The icon and list views, the lists that are not virtual, show the
    // first column alone.
    if (GetColumnCount() > 0) wxListView::SetItem(item, 0, GetShownText(item, 0), row.image);
    wxListView::SetItemData(item, row.data);
    if (row.attr != nullptr) wxListView::SetItemTextColour(item, row.attr->GetTextColour());
}

void QelListView::SetWindowStyleFlag(long style)
{
    style = (style & wxLC_REPORT) != 0 ? style | wxLC_VIRTUAL : style & ~wxLC_VIRTUAL;
    const bool was_virtual = IsVirtualList();
    wxListView::SetWindowStyleFlag(style);
    if (IsVirtualList()) {
        SetItemCount(static_cast<long>(m_Rows.size()));
    } else if (was_virtual || wxListView::GetItemCount() != static_cast<int>(m_Rows.size())) {
        wxListView::DeleteAllItems();
        for (long item = 0; item < static_cast<long>(m_Rows.size()); item++) {
            wxListView::InsertItem(item, GetShownText(item, 0), m_Rows[item].image);
            ShowRow(item);
        }
    }
}

wxString QelListView::GetShownText(long item, int col) const
{
    if (!IsRow(item) || col < 0) return wxString();
    const std::vector<wxString>& cells = m_Rows[item].cells;
    if (static_cast<size_t>(col) >= cells.size()) return wxString();
    // A short cell costs the control little, however narrow its column.
    const wxString& cell = cells[col];
    if (cell.length() <= SHORT_CELL_LENGTH) return cell;
    return IsVirtualList() ? FitToColumn(cell, col) : cell.Left(SHOWN_CELL_LENGTH);
}

wxString QelListView::FitToColumn(const wxString& cell, int col) const
{
    // The control cuts a cell wider than its column one character at a
    // time, measuring each: a thousand characters took a third of a second
    // at each paint. It is given the characters that fill the column and
    // one more, which it replaces by its ellipsis. No character is narrower
    // than a pixel.
    const int width = std::max(0, GetColumnWidth(col));
    const wxString start = cell.Left(std::min<size_t>(SHOWN_CELL_LENGTH, width + 1));
    if (!m_Measure) {
        wxBitmap canvas(1, 1);
        m_Measure = std::make_unique<wxMemoryDC>(canvas);
    }
    m_Measure->SetFont(GetFont());
    wxArrayInt extents; // of each start of `start`
    if (!m_Measure->GetPartialTextExtents(start, extents)) return start;
    const size_t fit = std::upper_bound(extents.begin(), extents.end(), width) - extents.begin();
    return start.Left(fit + 1);
}

wxString QelListView::OnGetItemText(long item, long col) const
{
    return GetShownText(item, static_cast<int>(col));
}

int QelListView::OnGetItemImage(long item) const
{
    return IsRow(item) ? m_Rows[item].image : -1;
}

wxItemAttr* QelListView::OnGetItemAttr(long item) const
{
    return IsRow(item) ? m_Rows[item].attr : nullptr;
}

void QelListView::Reorder(const std::vector<long>& order)
{
    std::vector<long> moved_to(order.size());
    for (size_t i = 0; i < order.size(); i++) moved_to[order[i]] = static_cast<long>(i);
    MoveRows(
        [&] {
            std::vector<Row> rows;
            rows.reserve(m_Rows.size());
            for (const long item : order) rows.push_back(std::move(m_Rows[item]));
            m_Rows = std::move(rows);
        },
        [&moved_to](long item) { return moved_to[item]; });
    if (GetFocusedItem() != -1) EnsureVisible(GetFocusedItem());
    if (IsVirtualList()) {
        if (!m_Rows.empty()) RefreshItems(0, static_cast<long>(m_Rows.size()) - 1);
    } else {
        for (long item = 0; item < static_cast<long>(m_Rows.size()); item++) ShowRow(item);
    }
}

void QelListView::MoveRows(const std::function<void()>& change,
                           const std::function<long(long)>& moved)
{
    std::vector<long> selected;
    for (long item = GetFirstSelected(); item != -1; item = GetNextSelected(item)) {
        selected.push_back(item);
    }
    const long count = static_cast<long>(selected.size());
    const long size = static_cast<long>(m_Rows.size());
    long focused = GetFocusedItem();
    {
        // The rows keep their selection: the control is told of each row
        // selected again, and its handlers here count the selection for
        // the status bar each time, which took seconds for the rows of a
        // run that the user selected all of.
        wxEventBlocker quiet(this, wxEVT_LIST_ITEM_SELECTED);
        quiet.Block(wxEVT_LIST_ITEM_DESELECTED);
        if (count > 0) SetItemState(-1, 0, wxLIST_STATE_SELECTED);
        if (focused != -1) SetItemState(focused, 0, wxLIST_STATE_FOCUSED);
        change();
        for (const long item : selected) {
            if (moved(item) != -1) Select(moved(item));
        }
        while (focused != -1 && focused < size && moved(focused) == -1) focused++;
        if (focused != -1 && focused < size)
            SetItemState(moved(focused), wxLIST_STATE_FOCUSED, wxLIST_STATE_FOCUSED);
    }
    if (GetSelectedItemCount() != count) UpdateStatusBar();
}

int QelListView::FindColumn(const wxString& name) const
{
    for (size_t i = 0; i < m_Columns.size(); i++) {
        if (m_Columns[i].GetText() == name) return static_cast<int>(i);
    }
    return -1;
}

wxString QelListView::GetItemText(long item_number, const wxString& col_name) const
{
    const int col = FindColumn(col_name);
    return col == -1 ? wxString() : GetItemText(item_number, col);
}

// --- sorting ---

void QelListView::SortColumn(int column_no, QelSortType sort_method)
{
    if (column_no < 0 || column_no >= static_cast<int>(m_Columns.size())) return;

    SortColumnReset();
    QelColumn& col = m_Columns[column_no];
    col.SetIsSortedAscending(sort_method);

    {
        wxBusyCursor wait;
        const QelColumn::QelColumnType type = col.GetType();
        const bool ascending = col.GetIsSortedAscending();
        const bool match_case = MatchCaseIsOn();
        std::vector<CellKey> keys;
        keys.reserve(m_Rows.size());
        for (long i = 0; i < static_cast<long>(m_Rows.size()); i++) {
            keys.push_back(MakeKey(type, GetItemText(i, column_no), match_case));
        }
        // Rows that compare equal keep their order.
        std::vector<long> order(m_Rows.size());
        std::iota(order.begin(), order.end(), 0);
        std::stable_sort(order.begin(), order.end(), [&](long a, long b) {
            const int c = CompareKeys(type, keys[a], keys[b]);
            return ascending ? c < 0 : c > 0;
        });
        Reorder(order);
    }

    m_SortedColumnNo = column_no;

    if (!m_ArtIDs.empty()) {
        SetColumnImage(column_no,
                       GetArtID(col.GetIsSortedAscending() ? "wxART_GO_DOWN" : "wxART_GO_UP"));
    }

    if (GetItemCount() > 0) {
        ItemsUpdate();
        AfterSorting();
    }

    wxLogStatus("%s", _("Sorted on") + ": " + col.GetText());
}

void QelListView::SortColumn(const wxString& column_name, QelSortType sort_method)
{
    SortColumn(FindColumn(column_name), sort_method);
}

void QelListView::SortColumnReset()
{
    if (m_SortedColumnNo != -1 && !m_ArtIDs.empty()) ClearColumnImage(m_SortedColumnNo);
    m_SortedColumnNo = -1;
}

int QelListView::GetArtID(const wxString& artid)
{
    wxImageList* images = GetImageList(wxIMAGE_LIST_SMALL);
    if (images == nullptr || m_ImageType != IMAGE_ART) {
        wxFAIL_MSG("the list has no art images");
        return 0;
    }
    const auto found = m_ArtIDs.find(artid);
    if (found != m_ArtIDs.end()) return found->second;

    m_ArtIDs[artid] = images->GetImageCount();
    return images->Add(
        wxArtProvider::GetBitmap(artid, wxART_OTHER, wxSize(m_ImageWidth, m_ImageHeight)));
}

// --- text form ---

wxString QelListView::ItemToText(long item_number) const
{
    wxString text;
    for (int col = 0; col < GetColumnCount(); col++) {
        if (col > 0) text += m_FieldSeparator;
        text += GetItemText(item_number, col);
    }
    return text;
}

bool QelListView::ItemFromText(const wxString& text)
{
    if (text.empty()) return false;

    bool added = false;
    // The default tokenizer mode drops empty lines and empty cells.
    wxStringTokenizer lines(text, wxTextBuffer::GetEOL());
    while (lines.HasMoreTokens()) {
        const wxString line = lines.GetNextToken();
        wxStringTokenizer cells(line, wxString(m_FieldSeparator));
        const long row
            = InsertItem(GetItemCount(), cells.HasMoreTokens() ? cells.GetNextToken() : line);
        for (int col = 1; col < GetColumnCount() && cells.HasMoreTokens(); col++) {
            SetItem(row, col, cells.GetNextToken());
        }
        added = true;
    }

    if (added) {
        if (wxConfigBase::Get()->ReadBool("List/SortSync", true)) {
            SortColumn(_("Modified"), SORT_KEEP);
        } else {
            SortColumnReset();
        }
    }
    return added;
}

// --- editing ---

void QelListView::CopySelectedItemsToClipboard()
{
    if (GetSelectedItemCount() == 0) return;

    wxBusyCursor wait;
    wxString text;
    for (long item = GetFirstSelected(); item != -1; item = GetNextSelected(item)) {
        text += ItemToText(item) + wxTextBuffer::GetEOL();
    }
    QelClipboardAdd(text);
}

void QelListView::EditDelete()
{
    if (GetSelectedItemCount() == 0) return;

    std::vector<bool> doomed(m_Rows.size(), false);
    long count = 0;
    long last = -1;
    for (long item = GetFirstSelected(); item != -1; item = GetNextSelected(item)) {
        doomed[item] = true;
        count++;
        last = item;
    }
    if (IsVirtualList()) {
        // In one pass: the control would measure every cell of each row it deletes.
        SetItemState(-1, 0, wxLIST_STATE_SELECTED);
        long kept = 0;
        for (long item = 0; item < static_cast<long>(m_Rows.size()); item++) {
            if (doomed[item]) {
                m_TextLength -= RowLength(m_Rows[item]);
                continue;
            }
            if (kept != item) m_Rows[kept] = std::move(m_Rows[item]);
            kept++;
        }
        m_Rows.resize(kept);
        SetItemCount(kept);
        Refresh();
    } else {
        for (long item = GetFirstSelected(); item != -1; item = GetFirstSelected())
            DeleteItem(item);
    }
    // The row that followed the last deleted one takes the selection.
    const long next = last - (count - 1);
    if (next < GetItemCount()) SelectAlone(next);
    ItemsUpdate();
}

void QelListView::EditClearAll()
{
    DeleteAllItems();
    UpdateStatusBar();
}

// All rows in one change: selected one at a time, each would tell the
// status bar of itself.
void QelListView::EditSelectAll()
{
    SetItemState(-1, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
}

void QelListView::EditSelectNone()
{
    SetItemState(-1, 0, wxLIST_STATE_SELECTED);
}

void QelListView::EditInvertAll()
{
    for (long item = 0; item < GetItemCount(); item++) Select(item, !IsSelected(item));
}

// --- find and go to ---

bool QelListView::FindNext(const wxString& text, bool find_next)
{
    return FindInRows(text, find_next, false);
}

bool QelListView::FindInRows(const wxString& text, bool find_next, bool wrapped)
{
    if (text.empty()) return false;

    const QelFindReplaceData* frd = QelFindReplaceData::Get();
    const bool match_case = frd->MatchCase();
    const bool match_word = frd->MatchWord();
    const wxString what = match_case ? text : text.Upper();
    const long first = GetFirstSelected();
    const long count = GetItemCount();
    const int columns = std::max(1, GetColumnCount());

    // Downward from the row after the selection, upward from the row before
    // it; the wrapped pass covers the whole list.
    const long step = find_next ? 1 : -1;
    const long end = find_next ? count : -1;
    long start = first == -1 ? 0 : first + step;
    if (wrapped) start = find_next ? 0 : count - 1;

    long match = -1;
    for (long row = start; row != end && match == -1; row += step) {
        for (int col = 0; col < columns; col++) {
            const wxString cell = GetItemText(row, col);
            const wxString seen = match_case ? cell : cell.Upper();
            if (match_word ? seen == what : seen.Contains(what)) {
                match = row;
                break;
            }
        }
    }

    if (match == -1) {
        QelFindResult(text, find_next, wrapped);
        if (!wrapped) FindInRows(text, find_next, true);
        return false;
    }

    SelectAlone(match);
    return true;
}

void QelListView::OnFindDialog(wxFindDialogEvent& event)
{
    const wxEventType type = event.GetEventType();
    if (type != wxEVT_FIND && type != wxEVT_FIND_NEXT) {
        wxFAIL_MSG("unexpected find event");
        return;
    }
    const QelFindReplaceData* frd = QelFindReplaceData::Get();
    FindNext(frd->GetFindString(), frd->SearchDown());
}

bool QelListView::GotoDialog(const wxString& caption)
{
    const long count = GetItemCount();
    if (!IsShown() || count == 0) return false;

    const long first = GetFirstSelected();
    const long initial = first == -1 ? 1 : first + 1;
    const long chosen = QelAskNumber(_("Input") + wxString::Format(" (1 - %ld):", count),
                                     wxEmptyString, caption, initial, 1, count, nullptr);
    if (chosen < 0) return false;

    SelectAlone(chosen - 1);
    return true;
}

void QelListView::SelectAlone(long item)
{
    // The toolkit's next plain click or arrow key deselects the focused
    // row, taking it to be the one selected: the focus must be on it.
    SetItemState(-1, 0, wxLIST_STATE_SELECTED);
    Select(item);
    Focus(item);
}

// --- printing ---

wxString QelListView::BuildPage() const
{
    const wxString eol = wxTextBuffer::GetEOL();
    const bool rules = (GetWindowStyleFlag() & (wxLC_HRULES | wxLC_VRULES)) != 0;

    wxString page = "<TABLE ";
    page += rules ? "border=1" : "border=0";
    page += " cellpadding=4 cellspacing=0 >" + eol;
    page += "<tr>" + eol;
    for (const QelColumn& col : m_Columns) {
        page += "<td><i>" + EscapeHtml(col.GetText()) + "</i>" + eol;
    }
    for (long row = 0; row < GetItemCount(); row++) {
        page += "<tr>" + eol;
        for (size_t col = 0; col < m_Columns.size(); col++) {
            page += "<td>" + EscapeHtml(GetItemText(row, col)) + eol;
        }
    }
    page += "</TABLE>" + eol;
    return page;
}

// --- events ---

long QelListView::GetMenuStyle() const
{
    long style = MENU_OFFER_PASTE;
    const bool has_rows = GetItemCount() > 0;
    const bool has_selection = GetSelectedItemCount() > 0;
    if (has_selection) style |= MENU_HAS_SELECTION;
    if (!has_rows) style |= MENU_NO_CONTENT;
    if (has_rows && !has_selection) style |= MENU_OFFER_CLEAR;
    return style;
}

void QelListView::OnCommand(wxCommandEvent& event)
{
    const int id = event.GetId();
    if (id >= ID_COLUMN_SORT_LOWEST && id <= ID_COLUMN_SORT_HIGHEST) {
        SortColumn(id - ID_COLUMN_SORT_LOWEST, SORT_TOGGLE);
    } else {
        switch (id) {
        case wxID_CUT:
            CopySelectedItemsToClipboard();
            EditDelete();
            break;
        case wxID_COPY:
            CopySelectedItemsToClipboard();
            break;
        case wxID_PASTE:
            ItemFromText(QelClipboardGet());
            break;
        case wxID_CLEAR:
            EditClearAll();
            break;
        case wxID_SELECTALL:
            EditSelectAll();
            break;
        case wxID_DELETE:
            EditDelete();
            break;
        case wxID_SORT_ASCENDING:
            SortColumn(m_ToBeSortedColumnNo, SORT_ASCENDING);
            break;
        case wxID_SORT_DESCENDING:
            SortColumn(m_ToBeSortedColumnNo, SORT_DESCENDING);
            break;
        case ID_EDIT_SELECT_NONE:
            EditSelectNone();
            break;
        case ID_EDIT_SELECT_INVERT:
            EditInvertAll();
            break;
        default:
            wxFAIL_MSG("unexpected command");
        }
    }
    UpdateStatusBar();
}

void QelListView::OnKeyDown(wxKeyEvent& event)
{
    event.Skip(); // the toolkit moves the focus and selects its row
    if (event.GetModifiers() != wxMOD_NONE) return;
    switch (event.GetKeyCode()) {
    case WXK_UP:
    case WXK_DOWN:
    case WXK_PAGEUP:
    case WXK_PAGEDOWN:
    case WXK_HOME:
    case WXK_END:
        break;
    default:
        return;
    }
    // A plain move deselects the focused row only, as if it were the one
    // selected: rows left selected elsewhere (after Invert, or a Ctrl-click
    // that deselected the focused row) would stay beside the new one, and
    // Delete would take them too.
    const long focused = GetFocusedItem();
    if (focused != -1 && (GetSelectedItemCount() != 1 || !IsSelected(focused)))
        SelectAlone(focused);
}

void QelListView::OnLeftDown(wxMouseEvent& event)
{
    event.Skip(); // the toolkit selects the clicked row
    if (event.ShiftDown() || event.CmdDown() || GetSelectedItemCount() != 1) return;
    // A plain click deselects only the focused row, as if it were the one
    // selected; a row left selected elsewhere (the focus moved on with a
    // Ctrl-click that deselected a row) would stay selected beside the new one.
    const long selected = GetFirstSelected();
    if (GetFocusedItem() != selected)
        SetItemState(selected, wxLIST_STATE_FOCUSED, wxLIST_STATE_FOCUSED);
}

void QelListView::OnList(wxListEvent& event)
{
    const wxEventType type = event.GetEventType();
    if (type == wxEVT_LIST_COL_CLICK) {
        long method = wxConfigBase::Get()->ReadLong("List/SortMethod", SORT_TOGGLE);
        if (method < SORT_KEEP || method > SORT_TOGGLE) method = SORT_TOGGLE;
        SortColumn(event.GetColumn(), static_cast<QelSortType>(method));
    } else if (type == wxEVT_LIST_COL_RIGHT_CLICK) {
        m_ToBeSortedColumnNo = event.GetColumn();
        PopupSortMenu();
    } else if (type == wxEVT_LIST_ITEM_SELECTED || type == wxEVT_LIST_ITEM_DESELECTED) {
        UpdateStatusBar();
    } else if (type == wxEVT_LIST_ITEM_FOCUSED) {
        // Shift with a click or a key moves the focus first, then selects a
        // range, of which a virtual list tells no row: the count is taken
        // once the selection settled.
        event.Skip();
        if (m_StatusPending) return;
        m_StatusPending = true;
        CallAfter([this] {
            m_StatusPending = false;
            UpdateStatusBar();
        });
    } else if (type == wxEVT_LIST_BEGIN_DRAG) {
        wxString text;
        for (long item = GetFirstSelected(); item != -1; item = GetNextSelected(item)) {
            text += ItemToText(item) + wxTextBuffer::GetEOL();
        }
        if (text.empty()) return;
        wxTextDataObject data(text);
        wxDropSource source(data, this);
        source.DoDragDrop(wxDrag_AllowMove);
    } else {
        wxFAIL_MSG("unexpected list event");
    }
}

void QelListView::OnShow(wxShowEvent& event)
{
    event.Skip();
    UpdateStatusBar();
}
