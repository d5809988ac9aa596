// Answers the toolkit's number dialog in a test.
#pragma once

#include <wx/numdlg.h>
#include <wx/spinctrl.h>
#include <wx/testing.h>

namespace qeltest {

// Enters value into the dialog's field and confirms it; a negative value
// cancels the dialog.
class ExpectNumber : public wxExpectModalBase<wxNumberEntryDialog> {
public:
    explicit ExpectNumber(long value)
        : m_Value(value)
    { }

protected:
    int OnInvoked(wxNumberEntryDialog* dlg) const override
    {
        if (m_Value < 0) return wxID_CANCEL;
        for (wxWindow* child : dlg->GetChildren())
            if (auto* spin = dynamic_cast<wxSpinCtrl*>(child)) spin->SetValue(m_Value);
        return wxID_OK;
    }

private:
    long m_Value;
};

} // namespace qeltest
