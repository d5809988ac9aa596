// The editor settings: applied to a control, and the options dialog.
#include <qelkit/stc.h>

#include <algorithm>
#include <climits>
#include <map>
#include <set>
#include <vector>

#include <wx/config.h>
#include <wx/intl.h>
#include <wx/tokenzr.h>

#include <qelkit/configdialog.h>
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

    // The default width is measured in the default style and stored even
    // while the margin is hidden: the options dialog shows it, and turning
    // the numbers on uses it. Measuring is a text layout, so only an editor
    // that finds no width stored does it.
    if (!config->Exists(_("Line number")))
        config->Write(_("Line number"), long(TextWidth(wxSTC_STYLE_DEFAULT, "999999")));
    m_LineNumberWidth = config->ReadBool(_("Line numbers"), false)
        ? config->ReadLong(_("Line number"), 0)
        : 0;
    FitLineNumberMargin(true);

    SetTabWidth(config->ReadLong(_("Tab width"), 2));
    ApplyUseTabs();
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

namespace {

using Choices = std::map<long, const wxString>;

// The items of the options dialog, in their order on the pages.
std::vector<QelConfigItem> OptionItems(long flags)
{
    std::vector<QelConfigItem> items;

    const std::set<wxString> general{_("End of line"), _("Line numbers"), _("Use tabs"),
                                     _("Caret line"), _("vi mode")};
    items.emplace_back(general, _("General"), 2);
    items.emplace_back(
        _("Whitespace"),
        Choices{{0, _("Invisible")}, {1, _("Visible always")}, {2, _("Invisible after ident")}},
        true, _("General"), 1, 4);
    items.emplace_back(_("Wrap line"), Choices{{0, _("None")}, {1, _("Word")}, {2, _("Char")}},
                       true, _("General"), 1, 4);
    items.emplace_back(_("Wrap visual flags"),
                       Choices{{0, _("None")}, {1, _("End")}, {2, _("Start")}}, true, _("General"),
                       1, 4);
    items.emplace_back(_("Default font"), CONFIG_FONTPICKERCTRL, wxEmptyString, false, -1);

    items.emplace_back(_("Edge column"), 0.0, 500.0, _("Edge"), CONFIG_SPINCTRL, 4, 1.0);
    items.emplace_back(_("Edge line"),
                       Choices{{0, _("None")}, {1, _("Line")}, {2, _("Background")}}, true,
                       _("Edge"), 0, 4);

    // An edge column of 0 would give a range whose end lies below its start.
    const double edge = std::max(1L, wxConfigBase::Get(true)->ReadLong(_("Edge column"), 80));
    items.emplace_back(_("Tab width"), 1.0, edge, _("Margin"), CONFIG_SPINCTRL, 4, 1.0);
    items.emplace_back(_("Indent"), 1.0, edge, _("Margin"), CONFIG_SPINCTRL, 4, 1.0);
    items.emplace_back(_("Divider"), 0.0, 40.0, _("Margin"), CONFIG_SPINCTRL, 4, 1.0);
    items.emplace_back(_("Folding"), 0.0, 40.0, _("Margin"), CONFIG_SPINCTRL, 4, 1.0);
    items.emplace_back(_("Line number"), 0.0, 100.0, _("Margin"), CONFIG_SPINCTRL, 4, 1.0);

    if (QelLexers::Get(true)->Count() != 0) {
        items.emplace_back(_("Auto fold"), 0.0, double(INT_MAX), _("Folding"), CONFIG_SPINCTRL, 4,
                           1.0);
        items.emplace_back(_("Indentation guide"), CONFIG_CHECKBOX, _("Folding"));
        items.emplace_back(_("Fold flags"),
                           Choices{{2, _("Line before expanded")},
                                   {4, _("Line before contracted")},
                                   {8, _("Line after expanded")},
                                   {16, _("Line after contracted")}},
                           false, _("Folding"), 0, 4);
    }

    if (!(flags & EDITOR_CONFIG_NO_INCLUDE_DIRECTORY))
        items.emplace_back(_("Include directory"), CONFIG_LISTVIEW_FOLDER, _("Directory"), false,
                           -1, 25, false);

    return items;
}

} // namespace

int QelSTC::ConfigDialog(wxWindow* parent, const wxString& title, long flags, wxWindowID id)
{
    // The modeless dialog is made once; later calls only show it again.
    if ((flags & EDITOR_CONFIG_MODELESS) && m_ConfigDialog != nullptr)
        return m_ConfigDialog->Show(true);

    const long buttons
        = (flags & EDITOR_CONFIG_APPLY) ? wxOK | wxCANCEL | wxAPPLY : wxOK | wxCANCEL;
    const long style = wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER;

    if (!(flags & EDITOR_CONFIG_MODELESS)) {
        QelConfigDialog dialog(parent, OptionItems(flags), title, 0, 1, buttons, id, 0, style);
        return dialog.ShowModal();
    }

    m_ConfigDialog
        = new QelConfigDialog(parent, OptionItems(flags), title, 0, 1, buttons, id, 0, style);
    // The dialog goes with its parent: it must not be shown again after that.
    m_ConfigDialog->Bind(wxEVT_DESTROY, [](wxWindowDestroyEvent& event) {
        if (event.GetEventObject() == m_ConfigDialog) m_ConfigDialog = nullptr;
        event.Skip();
    });
    return m_ConfigDialog->Show(true);
}
