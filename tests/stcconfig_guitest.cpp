// The editor settings: defaults written on first use, applied to editors.
#include <gtest/gtest.h>
#include <wx/frame.h>

#include <qelkit/stc.h>

#include "testing.h"

using namespace qeltest;

namespace {

class StcConfig : public EditorTest { };

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

} // namespace
