// Configuration items: one setting of a settings dialog each, with its kind,
// its label (also its key in the settings file), its page and its limits.
// An item makes its own control, lays it out and moves its value between
// the control and the settings file.
#pragma once

#include <map>
#include <set>

#include <wx/sizer.h>
#include <wx/string.h>

class wxFlexGridSizer;
class wxWindow;

enum QelConfigType {
    CONFIG_ITEM_MIN = 0, // lower bound, never an item
    CONFIG_BUTTON,
    CONFIG_CHECKBOX,
    CONFIG_CHECKLISTBOX,        // named bit flags, one number
    CONFIG_CHECKLISTBOX_NONAME, // names, one boolean each
    CONFIG_COLOUR,
    CONFIG_COMBOBOX,    // editable, keeps a list of recent texts
    CONFIG_COMBOBOXDIR, // the same for a folder, with a browse button
    CONFIG_COMMAND_LINK_BUTTON,
    CONFIG_DIRPICKERCTRL,
    CONFIG_FILEPICKERCTRL,
    CONFIG_FONTPICKERCTRL,
    CONFIG_HYPERLINKCTRL,
    CONFIG_INT,
    CONFIG_LISTVIEW_FOLDER,
    CONFIG_RADIOBOX,
    CONFIG_SLIDER,
    CONFIG_SPINCTRL,
    CONFIG_SPINCTRL_DOUBLE,
    CONFIG_STATICLINE,
    CONFIG_STATICTEXT,
    CONFIG_STRING,
    CONFIG_STC,
    CONFIG_TOGGLEBUTTON,
    CONFIG_USER,     // a window made by the caller, with caller callbacks
    CONFIG_ITEM_MAX, // upper bound, never an item
};

// Creates the caller's window `user` as a child of `parent`.
typedef void (*QelUserWindowCreate)(wxWindow* user, wxWindow* parent, bool readonly);
// Loads (save false) or saves the caller's window; the result is ToConfig's.
typedef bool (*QelUserWindowToConfig)(wxWindow* user, bool save);

// A plain value, copied freely: all copies share the control once it is made.
// The item never owns its control; the dialog page destroys it.
class QelConfigItem {
public:
    // Check boxes, buttons, combo boxes, pickers, colour, the folder list.
    QelConfigItem(const wxString& label, QelConfigType type, const wxString& page = wxEmptyString,
                  bool is_required = false, int id = -1, int max_items = 25, bool add_label = true,
                  int cols = -1);
    // Strings, static texts, hyperlinks (value is the URL), editors (value is
    // the lexer name).
    QelConfigItem(const wxString& label, const wxString& value = wxEmptyString,
                  const wxString& page = wxEmptyString, long style = 0,
                  QelConfigType type = CONFIG_STRING, bool is_required = false,
                  bool add_label = true, int cols = -1);
    // Sliders and spin controls; style 4 is a horizontal slider.
    QelConfigItem(const wxString& label, double min, double max,
                  const wxString& page = wxEmptyString, QelConfigType type = CONFIG_SPINCTRL,
                  long style = 4, double inc = 1, int cols = -1);
    // A window of the caller's own.
    QelConfigItem(const wxString& label, wxWindow* window, QelUserWindowCreate user,
                  QelUserWindowToConfig cfg, const wxString& page, bool is_required, bool add_label,
                  int cols);
    // A separator line.
    QelConfigItem(long style, const wxString& page);
    // A checked list of names, each stored as its own boolean.
    explicit QelConfigItem(const std::set<wxString>& choices, const wxString& page = wxEmptyString,
                           int cols = -1);
    // A radio box of named values, or a checked list of named bit flags;
    // style 4 lays the radio box out in columns.
    QelConfigItem(const wxString& label, const std::map<long, const wxString>& choices,
                  bool use_radiobox = false, const wxString& page = wxEmptyString,
                  int majorDimension = 0, long style = 4, int cols = -1);

    int GetColumns() const { return m_Cols; }
    bool GetIsRequired() const { return m_IsRequired; }
    const wxString& GetLabel() const { return m_Label; }
    const wxString& GetPage() const { return m_Page; }
    QelConfigType GetType() const { return m_Type; }
    wxWindow* GetWindow() const { return m_Window; }
    // The control exists: made by the item, or the caller's window created.
    bool HasWindow() const;
    bool GetAddLabel() const { return m_AddLabel; }
    int GetId() const { return m_Id; }
    int GetMaxItems() const { return m_MaxItems; }
    long GetStyle() const { return m_Style; }

    // Makes the control as a child of `parent`, places it (with its label
    // into `fgz` when given) and loads its value. Returns the label grid
    // used, to be passed back as `fgz` for a following item of the same kind.
    // An item whose control could not be made is reported and left out.
    wxFlexGridSizer* Layout(wxWindow* parent, wxSizer* sizer, bool readonly,
                            wxFlexGridSizer* fgz = nullptr);

    // Loads (save false) or saves the value under the label. False for the
    // kinds that hold no value and for an item without a control.
    bool ToConfig(bool save) const;

private:
    void CreateWindow(wxWindow* parent, bool readonly);
    wxWindow* NewControl(wxWindow* parent, bool readonly) const;
    void AddStaticText(wxSizer* sizer) const;
    wxFlexGridSizer* AddBrowseButton(wxSizer* sizer) const;

    bool ToConfigValue(bool save) const;
    bool ToConfigChoices(bool save) const;
    bool ToConfigText(bool save) const;

    bool m_AddLabel = true;
    bool m_IsRequired = false;
    int m_Cols = -1;
    int m_Id = -1;
    int m_MajorDimension = 1;
    int m_MaxItems = 0;
    double m_Min = 0;
    double m_Max = 0;
    double m_Inc = 1;
    wxString m_Label;
    wxString m_Page;
    wxString m_Default;
    long m_Style = 0;
    std::map<long, const wxString> m_Choices;
    std::set<wxString> m_ChoicesBool;
    QelUserWindowCreate m_UserWindowCreate = nullptr;
    QelUserWindowToConfig m_UserWindowToConfig = nullptr;
    QelConfigType m_Type = CONFIG_ITEM_MIN;
    wxSizerFlags m_SizerFlags;
    wxWindow* m_Window = nullptr;
};
