// The value of a configuration item's control as text, and setting it from
// text, for every kind of control that an item makes.
#pragma once

#include <wx/checkbox.h>
#include <wx/checklst.h>
#include <wx/clrpicker.h>
#include <wx/combobox.h>
#include <wx/filepicker.h>
#include <wx/fontpicker.h>
#include <wx/radiobox.h>
#include <wx/slider.h>
#include <wx/spinctrl.h>
#include <wx/textctrl.h>
#include <wx/tglbtn.h>

#include <qelkit/listviewfile.h>
#include <qelkit/stc.h>

namespace qeltest {

// Check lists: the checked rows, each followed by ";". Combo boxes: the
// value, "/" and the number of entries. Booleans: "1" or "0".
inline wxString Shown(wxWindow* w)
{
    const auto flag = [](bool on) { return wxString(on ? "1" : "0"); };
    if (auto* c = dynamic_cast<wxCheckBox*>(w)) return flag(c->GetValue());
    if (auto* c = dynamic_cast<wxToggleButton*>(w)) return flag(c->GetValue());
    if (auto* c = dynamic_cast<wxCheckListBox*>(w)) {
        wxString rows;
        for (unsigned i = 0; i < c->GetCount(); ++i)
            if (c->IsChecked(i)) rows << c->GetString(i) << ";";
        return rows;
    }
    if (auto* c = dynamic_cast<wxColourPickerWidget*>(w))
        return c->GetColour().GetAsString(wxC2S_HTML_SYNTAX);
    if (auto* c = dynamic_cast<wxComboBox*>(w))
        return c->GetValue() + wxString::Format("/%u", c->GetCount());
    if (auto* c = dynamic_cast<wxFileDirPickerCtrlBase*>(w)) return c->GetPath();
    if (auto* c = dynamic_cast<wxFontPickerCtrl*>(w))
        return c->GetSelectedFont().GetNativeFontInfoDesc();
    if (auto* c = dynamic_cast<wxRadioBox*>(w)) return c->GetStringSelection();
    if (auto* c = dynamic_cast<wxSlider*>(w)) return wxString::Format("%d", c->GetValue());
    if (auto* c = dynamic_cast<wxSpinCtrl*>(w)) return wxString::Format("%d", c->GetValue());
    if (auto* c = dynamic_cast<wxSpinCtrlDouble*>(w)) return wxString::FromCDouble(c->GetValue());
    if (auto* c = dynamic_cast<QelListViewFolder*>(w)) return c->GetFolders();
    if (auto* c = dynamic_cast<QelSTC*>(w)) return c->GetText();
    if (auto* c = dynamic_cast<wxTextCtrl*>(w)) return c->GetValue();
    return "<no value>";
}

// The same forms as Shown; a check list takes the rows to check.
inline void Edit(wxWindow* w, const wxString& v)
{
    if (auto* c = dynamic_cast<wxCheckBox*>(w)) c->SetValue(v == "1");
    if (auto* c = dynamic_cast<wxToggleButton*>(w)) c->SetValue(v == "1");
    if (auto* c = dynamic_cast<wxCheckListBox*>(w))
        for (unsigned i = 0; i < c->GetCount(); ++i) c->Check(i, v.Contains(c->GetString(i) + ";"));
    if (auto* c = dynamic_cast<wxColourPickerWidget*>(w)) c->SetColour(wxColour(v));
    if (auto* c = dynamic_cast<wxComboBox*>(w)) c->SetValue(v);
    if (auto* c = dynamic_cast<wxFileDirPickerCtrlBase*>(w)) c->SetPath(v);
    if (auto* c = dynamic_cast<wxFontPickerCtrl*>(w)) c->SetSelectedFont(wxFont(v));
    if (auto* c = dynamic_cast<wxRadioBox*>(w)) c->SetStringSelection(v);
    if (auto* c = dynamic_cast<wxSlider*>(w)) c->SetValue(wxAtoi(v));
    if (auto* c = dynamic_cast<wxSpinCtrl*>(w)) c->SetValue(wxAtoi(v));
    if (auto* c = dynamic_cast<wxSpinCtrlDouble*>(w)) c->SetValue(wxAtof(v));
    if (auto* c = dynamic_cast<QelListViewFolder*>(w)) c->SetFolders(v);
    if (auto* c = dynamic_cast<QelSTC*>(w)) c->SetText(v);
    if (auto* c = dynamic_cast<wxTextCtrl*>(w)) c->ChangeValue(v);
}

} // namespace qeltest
