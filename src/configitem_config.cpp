// Configuration items: their values in the settings file. The key of an item
// is its label; a checked list of names keys each row by its text.
#include <qelkit/configitem.h>

#include <wx/checkbox.h>
#include <wx/checklst.h>
#include <wx/clrpicker.h>
#include <wx/combobox.h>
#include <wx/config.h>
#include <wx/filepicker.h>
#include <wx/fontpicker.h>
#include <wx/radiobox.h>
#include <wx/settings.h>
#include <wx/slider.h>
#include <wx/spinctrl.h>
#include <wx/textctrl.h>
#include <wx/tglbtn.h>

#include <qelkit/frd.h>
#include <qelkit/listviewfile.h>
#include <qelkit/stc.h>
#include <qelkit/style.h>
#include <qelkit/util.h>

namespace {

wxConfigBase& Config()
{
    return *wxConfigBase::Get();
}

// Saving a combo box keyed like the find or replace history also makes the
// list the current one of the find-and-replace settings.
void ShareWithFindReplace(const wxString& key, const std::list<wxString>& list)
{
    QelFindReplaceData* frd = QelFindReplaceData::Get();
    if (key == frd->GetTextFindWhat())
        frd->SetFindStrings(list);
    else if (key == frd->GetTextReplaceWith())
        frd->SetReplaceStrings(list);
}

// A check box or toggle button: one boolean, false when missing.
template <typename Control> void BoolToConfig(Control* control, const wxString& key, bool save)
{
    if (save)
        Config().Write(key, control->GetValue());
    else
        control->SetValue(Config().ReadBool(key, false));
}

} // namespace

bool QelConfigItem::ToConfig(bool save) const
{
    wxCHECK_MSG(HasWindow(), false, "the item \"" + m_Label + "\" has no window");

    switch (m_Type) {
    case CONFIG_BUTTON:
    case CONFIG_COMMAND_LINK_BUTTON:
    case CONFIG_HYPERLINKCTRL:
    case CONFIG_STATICLINE:
    case CONFIG_STATICTEXT:
        return false;
    case CONFIG_USER:
        return m_UserWindowToConfig == nullptr || m_UserWindowToConfig(m_Window, save);
    case CONFIG_CHECKLISTBOX:
    case CONFIG_CHECKLISTBOX_NONAME:
    case CONFIG_RADIOBOX:
        return ToConfigChoices(save);
    case CONFIG_COMBOBOX:
    case CONFIG_COMBOBOXDIR:
    case CONFIG_DIRPICKERCTRL:
    case CONFIG_FILEPICKERCTRL:
    case CONFIG_INT:
    case CONFIG_LISTVIEW_FOLDER:
    case CONFIG_STC:
    case CONFIG_STRING:
        return ToConfigText(save);
    default:
        return ToConfigValue(save);
    }
}

// Check boxes, toggle buttons, colour, font and the numeric controls.
bool QelConfigItem::ToConfigValue(bool save) const
{
    wxConfigBase& cfg = Config();

    switch (m_Type) {
    case CONFIG_CHECKBOX:
        BoolToConfig(static_cast<wxCheckBox*>(m_Window), m_Label, save);
        return true;
    case CONFIG_TOGGLEBUTTON:
        BoolToConfig(static_cast<wxToggleButton*>(m_Window), m_Label, save);
        return true;
    case CONFIG_COLOUR: {
        auto* button = static_cast<wxColourPickerWidget*>(m_Window);
        if (save) {
            cfg.Write(m_Label, button->GetColour());
        } else {
            wxColour colour;
            cfg.Read(m_Label, &colour, *wxWHITE);
            button->SetColour(colour);
        }
        return true;
    }
    case CONFIG_FONTPICKERCTRL: {
        auto* picker = static_cast<wxFontPickerCtrl*>(m_Window);
        if (save) {
            cfg.Write(m_Label, picker->GetSelectedFont());
        } else {
            wxFont font;
            cfg.Read(m_Label, &font, wxSystemSettings::GetFont(wxSYS_OEM_FIXED_FONT));
            picker->SetSelectedFont(font);
        }
        return true;
    }
    case CONFIG_SLIDER: {
        auto* slider = static_cast<wxSlider*>(m_Window);
        if (save)
            cfg.Write(m_Label, slider->GetValue());
        else
            slider->SetValue(cfg.ReadLong(m_Label, static_cast<long>(m_Min)));
        return true;
    }
    case CONFIG_SPINCTRL: {
        auto* spin = static_cast<wxSpinCtrl*>(m_Window);
        if (save)
            cfg.Write(m_Label, spin->GetValue());
        else
            spin->SetValue(cfg.ReadLong(m_Label, static_cast<long>(m_Min)));
        return true;
    }
    case CONFIG_SPINCTRL_DOUBLE: {
        auto* spin = static_cast<wxSpinCtrlDouble*>(m_Window);
        if (save)
            cfg.Write(m_Label, spin->GetValue());
        else
            spin->SetValue(cfg.ReadDouble(m_Label, m_Min));
        return true;
    }
    default:
        wxFAIL_MSG("Assert failure");
        return false;
    }
}

// Flag lists, checked lists of names and radio boxes.
bool QelConfigItem::ToConfigChoices(bool save) const
{
    wxConfigBase& cfg = Config();

    if (m_Type == CONFIG_RADIOBOX) {
        auto* radio = static_cast<wxRadioBox*>(m_Window);
        if (save) {
            for (const auto& choice : m_Choices)
                if (choice.second == radio->GetStringSelection()) {
                    cfg.Write(m_Label, choice.first);
                    break;
                }
        } else {
            // A stored value that is not a choice leaves the selection alone.
            const auto found = m_Choices.find(cfg.ReadLong(m_Label, 0));
            if (found != m_Choices.end()) radio->SetStringSelection(found->second);
        }
        return true;
    }

    auto* list = static_cast<wxCheckListBox*>(m_Window);
    if (m_Type == CONFIG_CHECKLISTBOX) {
        // Rows are the flags in ascending order, as the control was filled.
        if (save) {
            long flags = 0;
            unsigned row = 0;
            for (const auto& choice : m_Choices)
                if (list->IsChecked(row++)) flags |= choice.first;
            cfg.Write(m_Label, flags);
        } else {
            const long flags = cfg.ReadLong(m_Label, 0);
            unsigned row = 0;
            for (const auto& choice : m_Choices) list->Check(row++, (choice.first & flags) != 0);
        }
        return true;
    }

    // The find-and-replace settings keep their own options; every other row
    // is a boolean under its own text.
    QelFindReplaceData* frd = QelFindReplaceData::Get();
    for (unsigned row = 0; row < list->GetCount(); ++row) {
        const wxString name = list->GetString(row);
        if (save) {
            if (!frd->Set(name, list->IsChecked(row))) cfg.Write(name, list->IsChecked(row));
        } else if (!frd->Get(name, list, static_cast<int>(row))) {
            list->Check(row, cfg.ReadBool(name, false));
        }
    }
    return true;
}

// Combo boxes, pickers of paths, the folder list and the text fields.
bool QelConfigItem::ToConfigText(bool save) const
{
    wxConfigBase& cfg = Config();

    switch (m_Type) {
    case CONFIG_COMBOBOX:
    case CONFIG_COMBOBOXDIR: {
        auto* box = static_cast<wxComboBox*>(m_Window);
        if (save) {
            const auto list = QelComboBoxToList(box, m_MaxItems > 0 ? m_MaxItems : 0);
            QelListToConfig(list, m_Label);
            ShareWithFindReplace(m_Label, list);
        } else {
            QelComboBoxFromList(box, QelListFromConfig(m_Label));
        }
        return true;
    }
    case CONFIG_DIRPICKERCTRL: {
        auto* picker = static_cast<wxDirPickerCtrl*>(m_Window);
        if (save)
            cfg.Write(m_Label, picker->GetPath());
        else
            picker->SetPath(cfg.Read(m_Label, wxEmptyString));
        return true;
    }
    case CONFIG_FILEPICKERCTRL: {
        auto* picker = static_cast<wxFilePickerCtrl*>(m_Window);
        if (save) {
            cfg.Write(m_Label, picker->GetPath());
        } else {
            const wxString path = cfg.Read(m_Label, wxEmptyString);
            if (!path.empty()) picker->SetPath(path);
        }
        return true;
    }
    case CONFIG_INT: {
        auto* text = static_cast<wxTextCtrl*>(m_Window);
        if (save)
            cfg.Write(m_Label, QelLeadingNumber(text->GetValue()));
        else
            text->ChangeValue(wxString::Format("%ld", cfg.ReadLong(m_Label, 0)));
        return true;
    }
    case CONFIG_LISTVIEW_FOLDER: {
        // One folder per line.
        auto* list = static_cast<QelListViewFolder*>(m_Window);
        if (save)
            cfg.Write(m_Label, list->GetFolders());
        else
            list->SetFolders(cfg.Read(m_Label, wxEmptyString));
        return true;
    }
    case CONFIG_STC: {
        auto* stc = static_cast<QelSTC*>(m_Window);
        if (save)
            cfg.Write(m_Label, stc->GetText());
        else
            stc->SetText(cfg.Read(m_Label, wxEmptyString));
        return true;
    }
    case CONFIG_STRING: {
        auto* text = static_cast<wxTextCtrl*>(m_Window);
        if (save)
            cfg.Write(m_Label, text->GetValue());
        else
            text->ChangeValue(cfg.Read(m_Label, wxEmptyString));
        return true;
    }
    default:
        wxFAIL_MSG("Assert failure");
        return false;
    }
}
