// The editor settings: applied to a control, and the options dialog.
#include <qelkit/stc.h>

#include <wx/config.h>
#include <wx/intl.h>
#include <wx/tokenzr.h>

#include <qelkit/lexers.h>

void QelSTC::ConfigGet()
{
    wxConfigBase* config = wxConfigBase::Get(true);

    // The first run writes the default of every key it reads.
    if (!config->Exists(_("Caret line"))) config->SetRecordDefaults(true);

    const wxFont font = config->ReadObject(_("Default font"), QelDefaultEditorFont());
    if (font != m_DefaultFont) {
        m_DefaultFont = font;
        StyleResetDefault();
        StyleSetFont(wxSTC_STYLE_DEFAULT, m_DefaultFont);
        QelLexers::Get(true)->Read();
        SetLexer(GetLexer().GetScintillaLexer(), true);
    }

    if (GetFileName().GetExt().Lower() == "log") {
        SetEdgeMode(wxSTC_EDGE_NONE);
    } else {
        SetEdgeColumn(config->ReadLong(_("Edge column"), 80));
        SetEdgeMode(config->ReadLong(_("Edge line"), wxSTC_EDGE_NONE));
    }

    SetCaretLineVisible(config->ReadBool(_("Caret line"), false));
    SetFoldFlags(config->ReadLong(_("Fold flags"), 20));
    SetIndent(config->ReadLong(_("Indent"), 2));
    SetIndentationGuides(config->ReadBool(_("Indentation guide"), false));
    SetMarginWidth(m_MarginDividerNumber, config->ReadLong(_("Divider"), 16));
    Fold(false);

    const long line_number
        = config->ReadLong(_("Line number"), TextWidth(wxSTC_STYLE_DEFAULT, "999999"));
    SetMarginWidth(m_MarginLineNumber,
                   config->ReadBool(_("Line numbers"), false) ? line_number : 0);

    SetTabWidth(config->ReadLong(_("Tab width"), 2));
    SetUseTabs(config->ReadBool(_("Use tabs"), false));
    SetViewEOL(config->ReadBool(_("End of line"), false));
    SetViewWhiteSpace(config->ReadLong(_("Whitespace"), wxSTC_WS_INVISIBLE));
    SetWrapMode(config->ReadLong(_("Wrap line"), wxSTC_WRAP_NONE));
    SetWrapVisualFlags(config->ReadLong(_("Wrap visual flags"), wxSTC_WRAPVISUALFLAG_END));
    m_vi.Use(config->ReadBool(_("vi mode"), false));

    m_PathList.Clear();
    wxStringTokenizer folders(config->Read(_("Include directory"), wxEmptyString), "\r\n");
    while (folders.HasMoreTokens()) m_PathList.Add(folders.GetNextToken());

    if (config->IsRecordingDefaults()) {
        config->ReadLong(_("Auto fold"), 1500);
        config->ReadLong(_("Folding"), 16);
        config->SetRecordDefaults(false);
    }
}
