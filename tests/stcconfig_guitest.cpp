// The editor settings: written once on first use, applied to editors.
#include <gtest/gtest.h>
#include <wx/frame.h>
#include <wx/spinctrl.h>
#include <wx/testing.h>

#include <qelkit/configdialog.h>
#include <qelkit/stc.h>

#include "testing.h"

using namespace qeltest;

namespace {

class StcConfig : public EditorTest { };

// Confirms the options dialog with the tab width changed.
ExpectAnswer<QelConfigDialog> ConfirmTabWidth(int width)
{
    return ExpectAnswer<QelConfigDialog>([width](QelConfigDialog* dialog) {
        for (const QelConfigItem& item : dialog->GetConfigItems())
            if (item.GetLabel() == "Tab width")
                static_cast<wxSpinCtrl*>(item.GetWindow())->SetValue(width);
        wxCommandEvent ok(wxEVT_BUTTON, wxID_OK);
        dialog->ProcessWindowEvent(ok);
    });
}

// The defaults are written by the first editor and left alone by the next.
// The line-number width is among them although the margin is hidden: the
// options dialog shows it, and turning the numbers on uses it.
TEST_F(StcConfig, FirstEditorWritesTheDefaultsOnce)
{
    QelSTC first(m_Frame);
    EXPECT_FALSE(wxConfigBase::Get()->IsRecordingDefaults());
    EXPECT_TRUE(wxConfigBase::Get()->Exists("Tab width"));
    const long measured = first.TextWidth(wxSTC_STYLE_DEFAULT, "999999");
    EXPECT_GT(measured, 0);
    EXPECT_EQ(wxConfigBase::Get()->ReadLong("Line number", 0), measured);
    Reopen();
    const std::string written = ConfigText();
    QelSTC second(m_Frame);
    Reopen();
    EXPECT_EQ(ConfigText(), written);

    // Settings that lack the width get it from the next editor.
    wxConfigBase::Get()->DeleteEntry("Line number");
    wxConfigBase::Get()->Write("Line numbers", true);
    second.ConfigGet();
    EXPECT_EQ(wxConfigBase::Get()->ReadLong("Line number", 0), measured);
    EXPECT_GE(second.GetMarginWidth(QEL_MARGIN_LINE_NUMBER), measured);
}

// Blank include folders are dropped; log files never show the edge.
TEST_F(StcConfig, SettingsReachTheControl)
{
    wxConfigBase* config = wxConfigBase::Get();
    config->Write("Edge line", 1L);
    config->Write("Edge column", 72L);
    config->Write("Include directory", "a\n\nb\r\n");
    QelSTC stc(m_Frame, QelFileName(WriteFile("x.txt", "x\n")));
    EXPECT_EQ(stc.GetEdgeMode() * 100 + stc.GetEdgeColumn(), 172);
    EXPECT_EQ(wxJoin(stc.GetPathList(), ';'), "a;b");

    config->Write("Line numbers", true);
    config->Write("Line number", 40L);
    config->Write("Default font", wxToString(wxFont(wxFontInfo(13).FaceName("DejaVu Serif"))));
    stc.ConfigGet();
    EXPECT_EQ(stc.GetMarginWidth(QEL_MARGIN_LINE_NUMBER), 40);
    EXPECT_EQ(stc.StyleGetFaceName(wxSTC_STYLE_DEFAULT), "DejaVu Serif");
    EXPECT_EQ(stc.StyleGetSize(wxSTC_STYLE_DEFAULT), 13);
    EXPECT_EQ(QelSTC(m_Frame, QelFileName(WriteFile("x.LOG", "x\n"))).GetEdgeMode(), 0);
}

// The modeless dialog is shown again, unchanged, until it goes with its parent.
TEST_F(StcConfig, ModelessDialogLivesWithItsParent)
{
    auto* parent = new wxFrame(nullptr, wxID_ANY, "parent");
    EXPECT_EQ(QelSTC::ConfigDialog(parent, "Options", EDITOR_CONFIG_MODELESS), 1);
    wxWindow* dialog = wxWindow::FindWindowByName("QelConfigDialog");
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(QelSTC::ConfigDialog(parent, "Other", EDITOR_CONFIG_MODELESS), 0);
    EXPECT_EQ(dialog->GetLabel(), "Options");
    delete parent;
    Pump(0);
    EXPECT_EQ(QelSTC::ConfigDialog(m_Frame, "Again", EDITOR_CONFIG_MODELESS), 1);
}

// An edge column of 0 must still give the tab width a valid range; the
// confirmed options reach every editor.
TEST_F(StcConfig, OptionsReachEveryEditor)
{
    wxConfigBase::Get()->Write("Edge column", 0L);
    QelSTC a(m_Frame);
    QelSTC b(m_Frame, QelFileName(WriteFile("b.txt", "b\n")));
    int result = 0;
    wxTEST_DIALOG(result = QelSTC::ConfigDialog(m_Frame, "Editor Options"), ConfirmTabWidth(1));
    EXPECT_EQ(result, wxID_OK);
    for (QelSTC* stc : {&a, &b}) {
        stc->ConfigGet();
        EXPECT_EQ(stc->GetTabWidth(), 1); // not the default 2
    }
}

} // namespace
