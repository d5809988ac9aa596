// The editor settings: defaults written on first use, applied to editors.
#include <gtest/gtest.h>
#include <wx/bookctrl.h>
#include <wx/frame.h>
#include <wx/spinctrl.h>
#include <wx/testing.h>

#include <qelkit/configdialog.h>
#include <qelkit/stc.h>

#include "testing.h"

using namespace qeltest;

namespace {

class StcConfig : public EditorTest { };

// The page names of the first book control inside the window.
wxString Pages(wxWindow* window)
{
    if (auto* book = dynamic_cast<wxBookCtrlBase*>(window)) {
        wxString pages;
        for (size_t i = 0; i < book->GetPageCount(); ++i) pages << book->GetPageText(i) << ";";
        return pages;
    }
    for (wxWindow* child : window->GetChildren())
        if (const wxString pages = Pages(child); !pages.empty()) return pages;
    return wxEmptyString;
}

// Confirms the options dialog with the tab width changed.
class ConfirmTabWidth : public wxExpectModalBase<QelConfigDialog, ConfirmTabWidth> {
public:
    explicit ConfirmTabWidth(int width)
        : m_Width(width)
    { }

protected:
    int OnInvoked(QelConfigDialog* dialog) const override
    {
        for (const QelConfigItem& item : dialog->GetConfigItems())
            if (item.GetLabel() == "Tab width")
                static_cast<wxSpinCtrl*>(item.GetWindow())->SetValue(m_Width);
        wxCommandEvent ok(wxEVT_BUTTON, wxID_OK);
        dialog->ProcessWindowEvent(ok);
        return wxID_OK;
    }

private:
    int m_Width;
};

TEST_F(StcConfig, FirstEditorWritesTheDefaultsOnce)
{
    QelSTC first(m_Frame);
    wxConfigBase* config = wxConfigBase::Get();
    const struct {
        const char* key;
        long value;
    } rows[]
        = {{"Caret line", 0},   {"Edge column", 80}, {"Edge line", 0},   {"Fold flags", 20},
           {"Indent", 2},       {"Divider", 16},     {"Tab width", 2},   {"Wrap visual flags", 1},
           {"Auto fold", 1500}, {"Folding", 16},     {"Use tabs", 0},    {"vi mode", 0},
           {"Whitespace", 0},   {"Wrap line", 0},    {"Line numbers", 0}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.key);
        EXPECT_TRUE(config->Exists(row.key));
        EXPECT_EQ(config->ReadLong(row.key, -1), row.value);
    }
    EXPECT_TRUE(config->Exists("Default font"));
    EXPECT_FALSE(config->IsRecordingDefaults());

    Reopen();
    const std::string written = ConfigText();
    QelSTC second(m_Frame);
    Reopen();
    EXPECT_EQ(ConfigText(), written);
}

TEST_F(StcConfig, SettingsReachTheControl)
{
    wxConfigBase* config = wxConfigBase::Get();
    config->Write("Caret line", false);
    config->Write("Line number", 40L);
    config->Write("Edge line", 1L);
    config->Write("Edge column", 72L);
    config->Write("Include directory", "a\n\nb\r\n");

    QelSTC stc(m_Frame, QelFileName(WriteFile("x.txt", "x\n")));
    EXPECT_EQ(stc.GetMarginWidth(QEL_MARGIN_LINE_NUMBER), 0);
    EXPECT_EQ(stc.GetEdgeMode(), 1);
    EXPECT_EQ(stc.GetEdgeColumn(), 72);
    ASSERT_EQ(stc.GetPathList().size(), 2u);
    EXPECT_EQ(stc.GetPathList()[0], "a");
    EXPECT_EQ(stc.GetPathList()[1], "b");

    config->Write("Line numbers", true);
    config->Write("Tab width", 7L);
    stc.ConfigGet();
    EXPECT_EQ(stc.GetMarginWidth(QEL_MARGIN_LINE_NUMBER), 40);
    EXPECT_EQ(stc.GetTabWidth(), 7);

    // Log files never show the edge, in any case of their extension.
    QelSTC log(m_Frame, QelFileName(WriteFile("x.LOG", "x\n")));
    EXPECT_EQ(log.GetEdgeMode(), 0);
}

TEST_F(StcConfig, ChangedFontIsApplied)
{
    QelSTC stc(m_Frame);
    const wxFont font(wxFontInfo(13).FaceName("DejaVu Serif"));
    wxConfigBase::Get()->Write("Default font", wxToString(font));
    stc.ConfigGet();
    EXPECT_EQ(stc.StyleGetFaceName(wxSTC_STYLE_DEFAULT), "DejaVu Serif");
    EXPECT_EQ(stc.StyleGetSize(wxSTC_STYLE_DEFAULT), 13);
}

TEST_F(StcConfig, OptionsDialogPages)
{
    const struct {
        const char* name;
        bool lexers;
        long flags;
        const char* pages;
    } rows[] = {
        {"all", true, 0, "General;Edge;Margin;Folding;Directory;"},
        {"no include folders", true, EDITOR_CONFIG_NO_INCLUDE_DIRECTORY,
         "General;Edge;Margin;Folding;"},
        {"no lexers", false, 0, "General;Edge;Margin;Directory;"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        if (!row.lexers) InstallLexers(m_Temp, "<lexers/>");
        auto* parent = new wxFrame(nullptr, wxID_ANY, "parent");
        EXPECT_EQ(QelSTC::ConfigDialog(parent, "Options", row.flags | EDITOR_CONFIG_MODELESS), 1);
        wxWindow* dialog = wxWindow::FindWindowByName("QelConfigDialog");
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(Pages(dialog), row.pages);

        // Shown again, unchanged, until it goes with its parent.
        EXPECT_EQ(QelSTC::ConfigDialog(parent, "Other", EDITOR_CONFIG_MODELESS), 0);
        EXPECT_EQ(dialog->GetLabel(), "Options");
        delete parent;
        Pump(0);
    }
}

TEST_F(StcConfig, OptionsReachEveryEditor)
{
    // An edge column of 0 must still give the tab width a valid range.
    wxConfigBase::Get()->Write("Edge column", 0L);
    QelSTC a(m_Frame);
    QelSTC b(m_Frame, QelFileName(WriteFile("b.txt", "b\n")));

    int result = 0;
    wxTEST_DIALOG(result = QelSTC::ConfigDialog(m_Frame, "Editor Options"), ConfirmTabWidth(1));
    EXPECT_EQ(result, wxID_OK);
    EXPECT_EQ(wxConfigBase::Get()->ReadLong("Tab width", 0), 1);

    wxConfigBase::Get()->Write("Edge column", 80L);
    wxTEST_DIALOG(QelSTC::ConfigDialog(m_Frame, "Editor Options"), ConfirmTabWidth(6));
    for (QelSTC* stc : {&a, &b}) {
        stc->ConfigGet();
        EXPECT_EQ(stc->GetTabWidth(), 6);
    }
}

} // namespace
