// The base dialog's layout and the file dialog's save prompt, answered
// through the toolkit's modal test hook, with real files.
#include <wx/msgdlg.h>
#include <wx/stattext.h>
#include <wx/testing.h>

#include <qelkit/dialog.h>
#include <qelkit/file.h>
#include <qelkit/filedlg.h>
#include <qelkit/lexers.h>

#include "testing.h"

namespace {

class LayoutDialog : public QelDialog {
public:
    using QelDialog::AddUserSizer;
    using QelDialog::GetUserSizer;
    using QelDialog::LayoutSizers;
    using QelDialog::QelDialog;
};

// A document of text bound to a file, changed until saved or reset.
class TextFile : public QelFile {
public:
    bool GetContentsChanged() const override { return changed; }
    void ResetContentsChanged() override { changed = false; }
    std::string text = "new";
    bool changed = true;

protected:
    bool DoFileSave(bool) override { return Write(text.data(), text.size()) == text.size(); }
};

// A row added with Expand grows with the dialog; the others keep their size.
TEST(Dialog, LayoutRowsAndButtons)
{
    LayoutDialog dialog(nullptr, "test", wxOK | wxCANCEL);
    dialog.AddUserSizer(new wxStaticText(&dialog, wxID_ANY, "fixed"));
    dialog.AddUserSizer(new wxStaticText(&dialog, wxID_ANY, "grows"), wxSizerFlags().Expand());
    dialog.LayoutSizers();
    EXPECT_FALSE(dialog.GetUserSizer()->IsRowGrowable(0));
    EXPECT_TRUE(dialog.GetUserSizer()->IsRowGrowable(1));
}

class FileDialogTest : public qeltest::ConfigTest {
protected:
    // Binds the file to "doc.txt" holding "old"; its document says "new".
    void Bind(TextFile& file)
    {
        m_Path = m_Temp.File("doc.txt");
        ASSERT_TRUE(qeltest::WriteBytes(m_Path, "old"));
        ASSERT_TRUE(file.FileLoad(QelFileName(m_Path)));
        file.changed = true; // the load marked it unchanged
    }
    wxString m_Path;
};

// With its folder gone, Yes cannot save, and the caller must keep the
// document open. No goes on without saving: the document may stay open, so
// it keeps its changes (only a close forgets them).
TEST_F(FileDialogTest, NamedFileAnswers)
{
    const struct {
        int answer;
        bool gone; // the folder removed
        int result;
        const char* disk;
        bool changed;
    } rows[] = {{wxID_YES, false, wxID_OK, "new", false},
                {wxID_NO, false, wxID_OK, "old", true},
                {wxID_CANCEL, false, wxID_CANCEL, "old", true},
                {wxID_YES, true, wxID_CANCEL, "", true}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.answer);
        TextFile file;
        Bind(file);
        if (row.gone) {
            ASSERT_TRUE(wxRemoveFile(m_Path) && wxRmdir(m_Temp.Path()));
        }
        qeltest::LogCapture log;
        int result = 0;
        wxTEST_DIALOG(result = QelSaveIfChanged(nullptr, &file),
                      wxExpectModal<wxMessageDialog>(row.answer));
        EXPECT_EQ(result, row.result);
        EXPECT_EQ(qeltest::ReadBytes(m_Path), row.disk);
        EXPECT_EQ(file.changed, row.changed);
        EXPECT_EQ(log.Has("Cannot save file: " + m_Path), row.gone) << log.Dump();
        if (row.gone) {
            ASSERT_TRUE(wxMkdir(m_Temp.Path()));
        }
    }
    TextFile unchanged;
    Bind(unchanged);
    unchanged.changed = false;
    wxTestingModalHook nothing; // any dialog shown fails the test
    EXPECT_EQ(QelSaveIfChanged(nullptr, &unchanged), wxID_OK);
}

// Through an open dialog of the caller too.
TEST_F(FileDialogTest, NeverSavedFileIsSavedUnderAChosenName)
{
    const wxString target = m_Temp.File("chosen.txt");
    for (const auto& [answer, dialog] :
         {std::pair{wxID_OK, false}, {wxID_CANCEL, false}, {wxID_OK, true}, {wxID_CANCEL, true}}) {
        SCOPED_TRACE(wxString::Format("%d %d", answer, dialog));
        TextFile file;
        const auto ask = [&file, dialog = dialog] {
            return !dialog ? QelSaveIfChanged(nullptr, &file)
                           : QelFileDialog(nullptr, &file, wxFileSelectorPromptStr,
                                           wxFileSelectorDefaultWildcardStr, wxFD_OPEN)
                                 .ShowModalIfChanged(false);
        };
        qeltest::LogCapture log;
        int result = 0;
        wxTEST_DIALOG(result = ask(), wxExpectModal<wxMessageDialog>(wxID_YES),
                      wxExpectModal<wxFileDialog>(target, answer));
        EXPECT_EQ(result, answer);
        EXPECT_EQ(qeltest::ReadBytes(target), answer == wxID_OK ? "new" : "");
        EXPECT_EQ(file.changed, answer != wxID_OK);
        if (wxFileExists(target)) wxRemoveFile(target);
    }
}

TEST_F(FileDialogTest, WildcardKeptOrTakenFromLexers)
{
    qeltest::InstallLexers(QEL_SOURCE_DIR "/data/lexers.xml");
    TextFile named, unnamed;
    Bind(named);
    const wxString lexers = QelLexers::Get()->BuildWildCards(named.GetFileName());
    ASSERT_NE(lexers, wxFileSelectorDefaultWildcardStr);
    const struct {
        QelFile* file;
        wxString wildcard, expected;
    } rows[] = {{&named, "Text|*.txt", "Text|*.txt"},
                {&unnamed, wxFileSelectorDefaultWildcardStr, wxFileSelectorDefaultWildcardStr},
                {&named, wxFileSelectorDefaultWildcardStr, lexers}};
    for (const auto& row : rows)
        EXPECT_EQ(QelFileDialog(nullptr, row.file, "m", row.wildcard).GetWildcard(), row.expected);
    QelFileDialog dialog(nullptr, &named);
    EXPECT_EQ(dialog.GetDirectory() + "/" + dialog.GetFilename(), m_Path);
}

} // namespace
