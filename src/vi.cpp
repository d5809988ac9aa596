#include <qelkit/vi.h>

#include <wx/config.h>
#include <wx/intl.h>
#include <wx/tokenzr.h>
#include <wx/utils.h>

#include <qelkit/stc.h>

QelVi::QelVi(QelSTC* stc)
    : m_STC(stc)
{ }

bool QelVi::OnChar(const wxKeyEvent&)
{
    // Normal and insert mode commands come with the emulation itself; until
    // then the editor handles every key as an ordinary editor.
    return true;
}

bool QelVi::OnKeyDown(const wxKeyEvent&)
{
    return true;
}

int QelViTabStop(const wxString& option)
{
    const wxString name = option.BeforeFirst('=');
    if (name != "ts" && name != "tabstop") return 0;

    long value = 0;
    if (!option.AfterFirst('=').ToLong(&value) || value <= 0 || value > 1000) return 0;
    return static_cast<int>(value);
}

bool QelVi::DoCommandSet(const wxString& command)
{
    const int width = QelViTabStop(command.Strip(wxString::both));
    if (width == 0) {
        wxBell();
        return false;
    }

    m_STC->SetTabWidth(width);
    wxConfigBase::Get()->Write(_("Tab width"), static_cast<long>(width));
    return true;
}

int QelVi::ApplyModeLine(const wxString& options)
{
    if (!m_IsActive) return 0;

    // vim's mode lines end their option list with ":" and may separate the
    // options by blanks or colons.
    int taken = 0;
    wxStringTokenizer tokens(options, " \t:");
    while (tokens.HasMoreTokens()) {
        if (const int width = QelViTabStop(tokens.GetNextToken()); width > 0) {
            m_STC->SetTabWidth(width);
            ++taken;
        }
    }
    return taken;
}
