// A dialog whose body is one editor control, a plain editor holding a text
// or a command shell, below an optional line telling what to do.
#pragma once

#include <qelkit/dialog.h>

class QelLexer;
class QelSTC;
class QelSTCShell;

class QelSTCEntryDialog : public QelDialog {
public:
    // With use_shell the editor is a shell with the prompt ">" and text is
    // not used. The position and size are kept under the window name and
    // restored by the next dialog of that name.
    QelSTCEntryDialog(wxWindow* parent, const wxString& caption,
                      const wxString& text = wxEmptyString, const wxString& prompt = wxEmptyString,
                      long button_style = wxOK | wxCANCEL, bool use_shell = false,
                      wxWindowID id = wxID_ANY, const wxPoint& pos = wxDefaultPosition,
                      const wxSize& size = wxDefaultSize,
                      long style = wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER,
                      const wxString& name = "QelSTCEntryDialog");
    ~QelSTCEntryDialog() override;

    QelSTC* GetSTC() { return m_STC; }
    // Null when the dialog holds a plain editor.
    QelSTCShell* GetSTCShell();

    wxString GetText() const;
    wxCharBuffer GetTextRaw() const;
    const QelLexer& GetLexer() const;
    // The named lexer, without refolding; false when the editor refused it.
    bool SetLexer(const wxString& lexer);

private:
    void OnCommand(wxCommandEvent& event);

    QelSTC* m_STC;
};
