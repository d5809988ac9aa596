#include <qelkit/statusbar.h>

#include <set>

#include <wx/config.h>
#include <wx/tooltip.h>

#include <qelkit/frame.h>

int QelStatusBarPane::m_Total = 0;

namespace {

// "PaneLexer" gives "Lexer": the part after the first lower-case "e".
wxString HelpFromName(const wxString& name)
{
    const size_t e = name.find('e');
    return e == wxString::npos ? wxString() : name.substr(e + 1);
}

} // namespace

QelStatusBarPane::QelStatusBarPane(int width, int style)
    : wxStatusBarPane(style, width)
    , m_No(m_Total++)
{ }

QelStatusBarPane::QelStatusBarPane(const wxString& name, int width, const wxString& helptext,
                                   int style)
    : wxStatusBarPane(style, width)
    , m_HelpText(helptext.empty() ? HelpFromName(name) : helptext)
    , m_Name(name)
    , m_No(m_Total++)
{ }

wxBEGIN_EVENT_TABLE(QelStatusBar, wxStatusBar)
    EVT_LEFT_DCLICK(QelStatusBar::OnMouse)
    EVT_RIGHT_DCLICK(QelStatusBar::OnMouse)
wxEND_EVENT_TABLE()

QelStatusBar::QelStatusBar(QelFrame* parent, wxWindowID id, long style, const wxString& name)
    : wxStatusBar(parent, id, style, name)
    , m_Frame(parent)
{
    Show(wxConfigBase::Get()->ReadBool("ShowStatusBar", true));
}

QelStatusBar::~QelStatusBar()
{
    wxConfigBase::Get()->Write("ShowStatusBar", IsShown());
    if (QelFrame::m_StatusBar == this) QelFrame::m_StatusBar = nullptr;
}

void QelStatusBar::SetFields(const std::vector<QelStatusBarPane>& fields)
{
    wxCHECK_RET(m_Panes.empty(), "m_Panes.empty()");

    // Equal names keep the first pane.
    std::vector<QelStatusBarPane> panes;
    for (const auto& pane : fields)
        if (m_Panes.emplace(pane.GetName(), pane).second) panes.push_back(pane);

    // Pane numbers are field numbers only when they are exactly 0 .. n-1:
    // a second set of panes made in the same run (a second frame) has
    // higher numbers, and its panes are numbered by their place instead.
    const int count = static_cast<int>(panes.size());
    std::set<int> numbers;
    for (const auto& pane : panes)
        if (pane.GetNo() >= 0 && pane.GetNo() < count) numbers.insert(pane.GetNo());
    if (static_cast<int>(numbers.size()) != count) {
        for (int i = 0; i < count; ++i) {
            panes[i].m_No = i;
            m_Panes.at(panes[i].GetName()).m_No = i;
        }
    }

    std::vector<int> widths(count), styles(count);
    for (const auto& pane : panes) {
        widths[pane.GetNo()] = pane.GetWidth();
        styles[pane.GetNo()] = pane.GetStyle();
    }
    if (GetFieldsCount() == 0) {
        SetFieldsCount(count, widths.data());
    } else {
        SetFieldsCount(count);
        SetStatusWidths(count, widths.data());
    }
    SetStatusStyles(count, styles.data());
    Bind(wxEVT_MOTION, &QelStatusBar::OnMouse, this);
}

int QelStatusBar::GetFieldNo(const wxString& field) const
{
    const auto it = m_Panes.find(field);
    return it == m_Panes.end() ? -1 : it->second.GetNo();
}

const QelStatusBarPane* QelStatusBar::GetPane(int field) const
{
    for (const auto& [name, pane] : m_Panes)
        if (pane.GetNo() == field) return &pane;
    return nullptr;
}

void QelStatusBar::SetStatusText(const wxString& text, const wxString& field)
{
    const int no = GetFieldNo(field);
    if (no >= 0 && no < GetFieldsCount()) SetStatusText(text, no);
}

void QelStatusBar::DoUpdateStatusText(int field)
{
    if (field == 0) {
        wxStatusBar::DoUpdateStatusText(field);
        return;
    }
    if (wxRect rect; GetFieldRect(field, rect)) RefreshRect(rect);
}

void QelStatusBar::OnMouse(wxMouseEvent& event)
{
    event.Skip();

    const QelStatusBarPane* pane = nullptr;
    for (int field = 0; field < GetFieldsCount() && pane == nullptr; ++field) {
        wxRect rect;
        if (GetFieldRect(field, rect) && rect.Contains(event.GetPosition())) {
            pane = GetPane(field);
            if (pane == nullptr) return;
        }
    }
    if (pane == nullptr) return;

    if (event.LeftDClick()) {
        m_Frame->StatusBarDoubleClicked(pane->GetName());
    } else if (event.RightDClick()) {
        m_Frame->StatusBarDoubleClickedRight(pane->GetName());
    } else if (event.Moving()) {
        const wxToolTip* tip = GetToolTip();
        const wxString current = tip == nullptr ? wxString() : tip->GetTip();
        if (current != pane->GetHelpText()) SetToolTip(pane->GetHelpText());
    }
}
