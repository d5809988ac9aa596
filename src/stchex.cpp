// The hexadecimal view of the editor control: pairing digits and
// characters, values as call tips, characters by code, and switching.
#include <qelkit/stc.h>

#include <algorithm>

#include <wx/intl.h>
#include <wx/log.h>
#include <wx/msgdlg.h>
#include <wx/numdlg.h>
#include <wx/spinctrl.h>

#include <qelkit/status.h>

#include "stcnumber.h"

namespace {

// Columns of a dump line: offset, bytes in hexadecimal, bytes as characters.
constexpr int kHexColumn = 10;
constexpr int kMiddleColumn = 34; // the extra blank after the eighth byte
constexpr int kCharColumn = 60;

// The code last entered by its character, for all editors.
int& RememberedCode()
{
    static int code = 32;
    return code;
}

class NumberDialog : public wxNumberEntryDialog {
public:
    using wxNumberEntryDialog::wxNumberEntryDialog;
    long Entered() const { return m_spinctrl->GetValue(); }
};

} // namespace

long QelAskNumber(const wxString& message, const wxString& prompt, const wxString& caption,
                  long value, long min, long max, wxWindow* parent)
{
    NumberDialog dlg(parent, message, prompt, caption, value, min, max);
    return dlg.ShowModal() == wxID_OK ? dlg.Entered() : -1;
}

int QelHexPartnerColumn(int column, int n)
{
    if (column < kHexColumn) return -1;

    if (column >= kCharColumn) {
        const int index = column - kCharColumn;
        return index < n ? kHexColumn + 3 * index + (index >= 8 ? 1 : 0) : -2;
    }

    const int space = column > kMiddleColumn ? 1 : 0;
    const int offset = column - kHexColumn - space;
    const int index = offset / 3;
    if (column == kMiddleColumn || offset % 3 == 2 || index >= n) return -2;
    return kCharColumn + index;
}

bool QelSTC::CheckBraceHex(int pos)
{
    if (pos < 0 || pos > GetLength()) return false;

    const int line = LineFromPosition(pos);
    const int start = PositionFromLine(line);
    const int n = GetLineEndPosition(line) - start - kCharColumn;
    const int partner = QelHexPartnerColumn(pos - start, n);

    if (partner == -1) BraceHighlight(wxSTC_INVALID_POSITION, wxSTC_INVALID_POSITION);
    if (partner < 0) return false;

    BraceHighlight(pos, start + partner);
    return true;
}

wxString QelHexDecText(const wxString& word)
{
    if (word.empty()) return wxEmptyString;

    const unsigned long code = QelByteOfCharacter(word[0].GetValue());
    if (code < 32 || code > 125) return wxString::Format("hex: %lx dec: %lu", code, code);

    long dec = 0;
    long hex = 0;
    const bool is_dec = word.ToLong(&dec, 10);
    const bool is_hex = word.ToLong(&hex, 16);

    if (is_dec && is_hex) return wxString::Format("hex: %lx dec: %ld", dec, hex);
    if (is_dec) return wxString::Format("hex: %lx", dec);
    if (is_hex) return wxString::Format("dec: %ld", hex);
    return wxEmptyString;
}

void QelSTC::HexDecCalltip(int pos)
{
    if (CallTipActive()) CallTipCancel();

    const wxString text = QelHexDecText(HasSelectedText() ? GetSelectedText() : GetWordAtPos(pos));
    if (text.empty()) return;

    CallTipShow(pos, text);
    QelClipboardAdd(text);
}

void QelSTC::ControlCharDialog(const wxString& caption)
{
    const int start = GetSelectionStart();
    const int end = GetSelectionEnd();
    const int code = GetSelectedCharacterCode();
    if (start != end && code < 0) return;

    if (GetReadOnly()) {
        if (code >= 0)
            wxMessageBox(wxString::Format("hex: %x dec: %d", code, code), _("Control Character"),
                         wxOK | wxCENTRE, this);
        return;
    }

    if (code >= 0) RememberedCode() = code;

    // A character beyond the range is remembered, but not offered.
    const long value = QelAskNumber(wxEmptyString, _("Input") + " 0 - 255:", caption,
                                    std::min(RememberedCode(), 255), 0, 255, this);
    if (value < 0) return;

    // Always the one byte of that code, selected or not: the dialog is
    // about byte values, not characters.
    const char byte[2] = {static_cast<char>(value), 0};

    if (code >= 0) {
        int caret = end;
        if (value != code) {
            TargetFromSelection();
            if (ReplaceTargetRaw(byte, 1) < 0) return;
            caret = start + 1;
        }
        SetSelection(caret, PositionAfter(caret));
    } else {
        AddTextRaw(byte, 1);
    }
}

bool QelSTC::Reload(long flags)
{
    if ((flags & EDITOR_HEX) && !(m_Flags & EDITOR_HEX)) {
        // The way back reads the file: edits not saved would be lost there.
        if (GetModify()) {
            wxLogStatus(_("Save the changes to '%s' first: the hexadecimal view shows the file"),
                        GetFileName().GetFullPath());
            return false;
        }
        const int length = GetLength();
        // The dump of a longer document would not fit into the control.
        if (length > QelEditorMaxFileSize(true)) {
            wxLogError(_("Cannot open file: %s (the hexadecimal view holds at most %lld bytes)"),
                       GetFileName().GetFullPath(),
                       static_cast<long long>(QelEditorMaxFileSize(true)));
            return false;
        }
        const wxCharBuffer bytes = GetTextRangeRaw(0, length);
        // The dump is this view's: a split view goes on showing the text.
        m_File.LeaveSharedDocument(false);
        ClearDocument();
        AddTextHexMode(0, bytes.data(), static_cast<size_t>(length));
        SetReadOnly(true);
        m_Flags = flags;
        EmptyUndoBuffer();
        SetSavePoint();
        return true;
    }

    if (Open(GetFileName(), 0, wxEmptyString, flags)) return true;

    // The failed read left the flags as they were; the dump stays too.
    wxLogStatus(_("Cannot read '%s' again: the hexadecimal view stays"),
                GetFileName().GetFullPath());
    return false;
}
