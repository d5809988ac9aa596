// Configuration items: construction, their controls and their place in a
// dialog page. Loading and saving is in configitem_config.cpp.
#include <qelkit/configitem.h>

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/checklst.h>
#include <wx/clrpicker.h>
#include <wx/combobox.h>
#include <wx/commandlinkbutton.h>
#include <wx/dirdlg.h>
#include <wx/filepicker.h>
#include <wx/fontpicker.h>
#include <wx/hyperlink.h>
#include <wx/intl.h>
#include <wx/radiobox.h>
#include <wx/slider.h>
#include <wx/spinctrl.h>
#include <wx/statline.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/tglbtn.h>
#include <wx/valtext.h>

#include <qelkit/listviewfile.h>
#include <qelkit/stc.h>

namespace {

constexpr int WIDTH = 200;       // ordinary controls
constexpr int WIDTH_NUMBER = 75; // numeric controls
constexpr int WIDTH_COMBOBOX = 250;

// The size of a text field or static text: a square for several lines.
wxSize TextSize(long style)
{
    return (style & wxTE_MULTILINE) ? wxSize(WIDTH, WIDTH) : wxSize(WIDTH, -1);
}

// The kinds whose control keeps its natural size in its cell.
bool KeepsNaturalSize(QelConfigType type)
{
    switch (type) {
    case CONFIG_BUTTON:
    case CONFIG_COLOUR:
    case CONFIG_COMMAND_LINK_BUTTON:
    case CONFIG_FONTPICKERCTRL:
    case CONFIG_HYPERLINKCTRL:
    case CONFIG_INT:
    case CONFIG_SLIDER:
    case CONFIG_SPINCTRL:
    case CONFIG_SPINCTRL_DOUBLE:
    case CONFIG_TOGGLEBUTTON:
        return true;
    default:
        return false;
    }
}

// A picker that must not be typed into keeps its browse button.
template <typename Picker> Picker* ReadOnlyPicker(Picker* picker, bool readonly)
{
    if (readonly && picker->GetTextCtrl() != nullptr) picker->GetTextCtrl()->SetEditable(false);
    return picker;
}

template <typename Control> Control* WithMarkup(Control* control, const wxString& label)
{
    control->SetLabelMarkup(label);
    return control;
}

// An editor shows its text with the lexer named, if any.
QelSTC* WithLexer(QelSTC* stc, const wxString& lexer)
{
    if (!lexer.empty()) stc->SetLexer(lexer, false);
    return stc;
}

// The rows of a list or radio box: names in ascending value order, or the
// names of a set in its order.
wxArrayString Names(const std::map<long, const wxString>& choices)
{
    wxArrayString names;
    for (const auto& choice : choices) names.Add(choice.second);
    return names;
}

wxArrayString Names(const std::set<wxString>& choices)
{
    wxArrayString names;
    for (const auto& choice : choices) names.Add(choice);
    return names;
}

} // namespace

QelConfigItem::QelConfigItem(const wxString& label, QelConfigType type, const wxString& page,
                             bool is_required, int id, int max_items, bool add_label, int cols)
    : m_AddLabel(add_label)
    , m_IsRequired(is_required)
    , m_Cols(cols)
    , m_Id(id)
    , m_MajorDimension(1)
    , m_MaxItems(max_items)
    , m_Min(0)
    , m_Max(1)
    , m_Label(label)
    , m_Page(page)
    , m_Type(type)
{
    // These controls show the label themselves.
    if (type == CONFIG_BUTTON || type == CONFIG_CHECKBOX || type == CONFIG_COMMAND_LINK_BUTTON
        || type == CONFIG_TOGGLEBUTTON)
        m_AddLabel = false;
}

QelConfigItem::QelConfigItem(const wxString& label, const wxString& value, const wxString& page,
                             long style, QelConfigType type, bool is_required, bool add_label,
                             int cols)
    : m_AddLabel(add_label && type != CONFIG_STATICTEXT && type != CONFIG_HYPERLINKCTRL)
    , m_IsRequired(is_required)
    , m_Cols(cols)
    , m_Label(label)
    , m_Page(page)
    , m_Default(value)
    , m_Style(style)
    , m_Type(type)
{ }

QelConfigItem::QelConfigItem(const wxString& label, double min, double max, const wxString& page,
                             QelConfigType type, long style, double inc, int cols)
    : m_Cols(cols)
    , m_Min(min)
    , m_Max(max)
    , m_Inc(inc)
    , m_Label(label)
    , m_Page(page)
    , m_Style(style)
    , m_Type(type)
{ }

QelConfigItem::QelConfigItem(const wxString& label, wxWindow* window, QelUserWindowCreate user,
                             QelUserWindowToConfig cfg, const wxString& page, bool is_required,
                             bool add_label, int cols)
    : m_AddLabel(add_label)
    , m_IsRequired(is_required)
    , m_Cols(cols)
    , m_MaxItems(1)
    , m_Max(1)
    , m_Label(label)
    , m_Page(page)
    , m_UserWindowCreate(user)
    , m_UserWindowToConfig(cfg)
    , m_Type(CONFIG_USER)
    , m_Window(window)
{ }

QelConfigItem::QelConfigItem(long style, const wxString& page)
    : m_AddLabel(false)
    , m_Page(page)
    , m_Style(style)
    , m_Type(CONFIG_STATICLINE)
{ }

QelConfigItem::QelConfigItem(const std::set<wxString>& choices, const wxString& page, int cols)
    : m_AddLabel(false)
    , m_Cols(cols)
    , m_Label("checklistbox_noname")
    , m_Page(page)
    , m_ChoicesBool(choices)
    , m_Type(CONFIG_CHECKLISTBOX_NONAME)
{ }

QelConfigItem::QelConfigItem(const wxString& label, const std::map<long, const wxString>& choices,
                             bool use_radiobox, const wxString& page, int majorDimension,
                             long style, int cols)
    : m_AddLabel(false)
    , m_Cols(cols)
    , m_MajorDimension(majorDimension)
    , m_Label(label)
    , m_Page(page)
    , m_Style(style)
    , m_Choices(choices)
    , m_Type(use_radiobox ? CONFIG_RADIOBOX : CONFIG_CHECKLISTBOX)
{ }

wxFlexGridSizer* QelConfigItem::Layout(wxWindow* parent, wxSizer* sizer, bool readonly,
                                       wxFlexGridSizer* fgz)
{
    wxCHECK_MSG(parent != nullptr && sizer != nullptr, fgz, "no parent or sizer");

    CreateWindow(parent, readonly);
    // A control that was not made is left out; the reason was reported.
    if (!HasWindow()) return fgz;

    wxFlexGridSizer* result = fgz;
    if (m_Type == CONFIG_COMBOBOXDIR) {
        // The folder row always shows its label, beside the browse button.
        result = AddBrowseButton(sizer);
    } else if (!m_AddLabel) {
        sizer->Add(m_Window, m_SizerFlags);
    } else if (fgz != nullptr) {
        AddStaticText(fgz);
        fgz->Add(m_Window, m_SizerFlags);
    } else {
        result = new wxFlexGridSizer(2, 0, 0);
        result->AddGrowableCol(1);
        result->AddGrowableRow(0);
        AddStaticText(result);
        result->Add(m_Window, m_SizerFlags);
        sizer->Add(result, wxSizerFlags().Expand());
    }

    ToConfig(false);
    return result;
}

void QelConfigItem::CreateWindow(wxWindow* parent, bool readonly)
{
    if (m_Type <= CONFIG_ITEM_MIN || m_Type >= CONFIG_ITEM_MAX) {
        wxFAIL_MSG("Assert failure");
        return;
    }
    if (m_Type != CONFIG_USER)
        m_Window = NewControl(parent, readonly);
    else if (m_UserWindowCreate != nullptr && m_Window != nullptr)
        m_UserWindowCreate(m_Window, parent, readonly);

    wxCHECK_RET(HasWindow(), "the item \"" + m_Label + "\" has no window");

    // The spin controls of this toolkit ignore the read-only style: a
    // read-only dialog disables them, so that they take no typing either.
    if (readonly && (m_Type == CONFIG_SPINCTRL || m_Type == CONFIG_SPINCTRL_DOUBLE))
        m_Window->Disable();

    m_SizerFlags = wxSizerFlags().Border(wxALL).Left();
    if (!KeepsNaturalSize(m_Type)) m_SizerFlags.Expand();
}

wxWindow* QelConfigItem::NewControl(wxWindow* parent, bool readonly) const
{
    const wxPoint pos = wxDefaultPosition;
    const wxSize size = wxDefaultSize;
    const wxSize sizeNumber(WIDTH_NUMBER, -1);
    const long textReadOnly = readonly ? wxTE_READONLY : 0;

    switch (m_Type) {
    case CONFIG_BUTTON:
        return WithMarkup(new wxButton(parent, m_Id, wxEmptyString, pos, size, 0), m_Label);
    case CONFIG_CHECKBOX:
        return new wxCheckBox(parent, m_Id, m_Label, pos, size, 0);
    case CONFIG_CHECKLISTBOX:
        return new wxCheckListBox(parent, m_Id, pos, size, Names(m_Choices), 0);
    case CONFIG_CHECKLISTBOX_NONAME:
        return new wxCheckListBox(parent, m_Id, pos, size, Names(m_ChoicesBool), 0);
    case CONFIG_COLOUR:
        // The toolkit's own colour button on this platform.
        return new wxColourPickerWidget(parent, m_Id, *wxBLACK, pos, size, wxCLRBTN_DEFAULT_STYLE);
    case CONFIG_COMBOBOX:
    case CONFIG_COMBOBOXDIR:
        return new wxComboBox(parent, m_Id, wxEmptyString, pos, wxSize(WIDTH_COMBOBOX, -1), 0,
                              nullptr, 0);
    case CONFIG_COMMAND_LINK_BUTTON:
        return new wxCommandLinkButton(parent, m_Id, m_Label.BeforeFirst('\t'),
                                       m_Label.AfterFirst('\t'), pos, size, 0);
    case CONFIG_DIRPICKERCTRL:
        return ReadOnlyPicker(new wxDirPickerCtrl(parent, m_Id, wxEmptyString,
                                                  wxGetTranslation(wxDirSelectorPromptStr), pos,
                                                  wxSize(WIDTH, -1),
                                                  wxDIRP_USE_TEXTCTRL | wxDIRP_DIR_MUST_EXIST),
                              readonly);
    case CONFIG_FILEPICKERCTRL:
        return ReadOnlyPicker(
            new wxFilePickerCtrl(parent, m_Id, wxEmptyString, wxFileSelectorPromptStr,
                                 wxFileSelectorDefaultWildcardStr, pos, wxSize(WIDTH, -1),
                                 wxFLP_USE_TEXTCTRL | wxFLP_OPEN | wxFLP_FILE_MUST_EXIST),
            readonly);
    case CONFIG_FONTPICKERCTRL:
        return ReadOnlyPicker(
            new wxFontPickerCtrl(parent, m_Id, wxNullFont, pos, size, wxFNTP_FONTDESC_AS_LABEL),
            readonly);
    case CONFIG_HYPERLINKCTRL:
        return new wxHyperlinkCtrl(parent, m_Id, m_Label, m_Default, pos, wxSize(WIDTH, -1),
                                   wxHL_DEFAULT_STYLE);
    case CONFIG_INT:
        return new wxTextCtrl(parent, m_Id, wxEmptyString, pos, sizeNumber,
                              m_Style | wxTE_RIGHT | textReadOnly,
                              wxTextValidator(wxFILTER_NUMERIC));
    case CONFIG_LISTVIEW_FOLDER:
        return new QelListViewFolder(parent, m_Id, pos, wxSize(WIDTH, WIDTH));
    case CONFIG_RADIOBOX:
        return new wxRadioBox(parent, m_Id, m_Label, pos, size, Names(m_Choices), m_MajorDimension,
                              m_Style);
    case CONFIG_SLIDER:
        return new wxSlider(parent, m_Id, 0, static_cast<int>(m_Min), static_cast<int>(m_Max), pos,
                            sizeNumber, m_Style);
    // Spin controls take their own width: their buttons sit beside the
    // digits on GTK 3, and a fixed width cuts them off.
    case CONFIG_SPINCTRL:
        return new wxSpinCtrl(parent, m_Id, wxEmptyString, pos, size,
                              wxSP_ARROW_KEYS | textReadOnly, static_cast<int>(m_Min),
                              static_cast<int>(m_Max), 0);
    case CONFIG_SPINCTRL_DOUBLE:
        return new wxSpinCtrlDouble(parent, m_Id, wxEmptyString, pos, size,
                                    wxSP_ARROW_KEYS | textReadOnly, m_Min, m_Max, m_Min, m_Inc);
    case CONFIG_STATICLINE:
        return new wxStaticLine(parent, wxID_ANY, pos, size, m_Style);
    case CONFIG_STATICTEXT:
        return WithMarkup(
            new wxStaticText(parent, m_Id, wxEmptyString, pos, TextSize(m_Style), m_Style),
            m_Label);
    case CONFIG_STRING:
        return new wxTextCtrl(parent, m_Id, wxEmptyString, pos, TextSize(m_Style),
                              m_Style | textReadOnly);
    case CONFIG_STC:
        return WithLexer(new QelSTC(parent, wxEmptyString, 0, wxEmptyString, EDITOR_MENU_ALL, m_Id,
                                    pos, size, 0),
                         m_Default);
    case CONFIG_TOGGLEBUTTON:
        return new wxToggleButton(parent, m_Id, m_Label, pos, size, 0);
    default:
        return nullptr;
    }
}

bool QelConfigItem::HasWindow() const
{
    return m_Window != nullptr && m_Window->GetHandle() != nullptr;
}

void QelConfigItem::AddStaticText(wxSizer* sizer) const
{
    wxCHECK_RET(m_Window != nullptr, "the item has no window");
    wxASSERT_MSG(!m_Label.empty(), "the item has no label");

    auto* text = new wxStaticText(m_Window->GetParent(), wxID_ANY, m_Label + ":", wxDefaultPosition,
                                  wxDefaultSize, 0);
    sizer->Add(text, wxSizerFlags().Right().Border(wxALL));
}

wxFlexGridSizer* QelConfigItem::AddBrowseButton(wxSizer* sizer) const
{
    wxCHECK_MSG(m_Window != nullptr, nullptr, "the item has no window");

    auto* row = new wxFlexGridSizer(3, 0, 0);
    row->AddGrowableCol(1);
    AddStaticText(row);
    row->Add(m_Window, m_SizerFlags);

    // The button shares the combo box's id: that is how the dialog finds the
    // folder item when the button is clicked.
    auto* button = new wxButton(m_Window->GetParent(), m_Window->GetId(),
                                wxGetTranslation(wxDirPickerWidgetLabel), wxDefaultPosition,
                                wxDefaultSize, 0);
    row->Add(button, wxSizerFlags().Center().Border(wxALL));
    sizer->Add(row, wxSizerFlags().Left().Expand());
    return row;
}
