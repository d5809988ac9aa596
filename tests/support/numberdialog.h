// Answers the toolkit's number dialog in a test.
#pragma once

#include <wx/numdlg.h>
#include <wx/spinctrl.h>
#include <wx/testing.h>

namespace qeltest {

// Enters value into the dialog's field and confirms it; a negative value
// cancels the dialog. The number the dialog proposed goes to `proposed`.
class ExpectNumber : public wxExpectModalBase<wxNumberEntryDialog> {
public:
    explicit ExpectNumber(long value, long* proposed = nullptr)
        : m_Value(value)
        , m_Proposed(proposed)
    { }

protected:
    int OnInvoked(wxNumberEntryDialog* dlg) const override
    {
        for (wxWindow* child : dlg->GetChildren()) {
            auto* spin = dynamic_cast<wxSpinCtrl*>(child);
            if (spin == nullptr) continue;
            if (m_Proposed != nullptr) *m_Proposed = spin->GetValue();
            if (m_Value >= 0) spin->SetValue(m_Value);
        }
        return m_Value < 0 ? wxID_CANCEL : wxID_OK;
    }

private:
    long m_Value;
    long* m_Proposed;
};

} // namespace qeltest
