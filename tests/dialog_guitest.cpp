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
    explicit LayoutDialog(long flags)
        : QelDialog(nullptr, "test", flags)
    { }
    using QelDialog::AddUserSizer;
    using QelDialog::GetUserSizer;
    using QelDialog::LayoutSizers;
};

// A document of text bound to a file, changed until saved or reset.
class TextFile : public QelFile {
public:
    bool GetContentsChanged() const override { return changed; }
    void ResetContentsChanged() override { changed = false; }

    std::string text;
    bool changed = false;

protected:
    bool DoFileSave(bool) override { return Write(text.data(), text.size()) == text.size(); }
};

TEST(Dialog, LayoutRowsAndButtons)
{
    struct Row {
        const char* name;
        long flags;
        size_t top_items;
    };
    const Row rows[] = {{"NoButtons", 0, 3}, {"OkCancel", wxOK | wxCANCEL, 4}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        LayoutDialog dialog(row.flags);
        dialog.AddUserSizer(new wxStaticText(&dialog, wxID_ANY, "fixed"));
        dialog.AddUserSizer(new wxStaticText(&dialog, wxID_ANY, "grows"), wxSizerFlags().Expand());
        wxFlexGridSizer* user = dialog.GetUserSizer();
        dialog.LayoutSizers();
        EXPECT_EQ(dialog.GetSizer()->GetItemCount(), row.top_items);
        EXPECT_EQ(dialog.FindWindow(wxID_OK) != nullptr, (row.flags & wxOK) != 0);
        EXPECT_FALSE(user->IsRowGrowable(0));
        EXPECT_TRUE(user->IsRowGrowable(1));
    }
}

class FileDialogTest : public qeltest::ConfigTest {
protected:
    // A named file "doc.txt" holding "old", its document changed to "new".
    void Bind(TextFile& file)
    {
        m_Path = m_Temp.File("doc.txt");
        ASSERT_TRUE(qeltest::WriteBytes(m_Path, "old"));
        ASSERT_TRUE(file.FileLoad(QelFileName(m_Path)));
        file.text = "new";
        file.changed = true;
    }

    wxString m_Path;
};

TEST_F(FileDialogTest, UnchangedFileAsksNothing)
{
    TextFile file;
    Bind(file);
    file.changed = false;
    QelFileDialog dialog(nullptr, &file);
    wxTestingModalHook hook; // any dialog shown fails the test
    EXPECT_EQ(dialog.ShowModalIfChanged(false), wxID_OK);
}

TEST_F(FileDialogTest, NamedFileAnswers)
{
    struct Row {
        const char* name;
        int answer;
        int result;
        const char* disk;
        bool changed;
    };
    const Row rows[] = {
        {"Yes", wxID_YES, wxID_OK, "new", false},
        {"No", wxID_NO, wxID_OK, "old", false},
        {"Cancel", wxID_CANCEL, wxID_CANCEL, "old", true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        TextFile file;
        Bind(file);
        QelFileDialog dialog(nullptr, &file);
        int result = 0;
        wxTEST_DIALOG(result = dialog.ShowModalIfChanged(false),
                      wxExpectModal<wxMessageDialog>(row.answer));
        EXPECT_EQ(result, row.result);
        EXPECT_EQ(qeltest::ReadBytes(m_Path), row.disk);
        EXPECT_EQ(file.changed, row.changed);
    }
}

TEST_F(FileDialogTest, FailedSaveAnswersCancel)
{
    // The file's folder is gone: the save cannot be written, and the caller
    // must not close the document.
    TextFile file;
    Bind(file);
    ASSERT_TRUE(wxRemoveFile(m_Path));
    ASSERT_TRUE(wxRmdir(m_Temp.Path()));
    qeltest::LogCapture log;
    QelFileDialog dialog(nullptr, &file);
    int result = 0;
    wxTEST_DIALOG(result = dialog.ShowModalIfChanged(false),
                  wxExpectModal<wxMessageDialog>(wxID_YES));
    EXPECT_EQ(result, wxID_CANCEL);
    EXPECT_TRUE(file.changed);
    EXPECT_TRUE(log.Has("Changes not saved")) << log.Dump();
    ASSERT_TRUE(wxMkdir(m_Temp.Path()));
}

TEST_F(FileDialogTest, UnnamedFileIsSavedUnderAChosenName)
{
    const wxString target = m_Temp.File("chosen.txt");
    struct Row {
        const char* name;
        bool choose;
        int result;
        bool written;
    };
    const Row rows[]
        = {{"Chosen", true, wxID_OK, true}, {"SaveCancelled", false, wxID_CANCEL, false}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        if (wxFileExists(target)) wxRemoveFile(target);
        TextFile file;
        file.text = "fresh";
        file.changed = true;
        QelFileDialog dialog(nullptr, &file, wxFileSelectorPromptStr,
                             wxFileSelectorDefaultWildcardStr, wxFD_OPEN);
        qeltest::LogCapture log;
        int result = 0;
        if (row.choose) {
            wxTEST_DIALOG(result = dialog.ShowModalIfChanged(false),
                          wxExpectModal<wxMessageDialog>(wxID_YES),
                          wxExpectModal<wxFileDialog>(target));
        } else {
            wxTEST_DIALOG(result = dialog.ShowModalIfChanged(false),
                          wxExpectModal<wxMessageDialog>(wxID_YES),
                          wxExpectModal<wxFileDialog>(wxEmptyString, wxID_CANCEL));
        }
        EXPECT_EQ(result, row.result);
        EXPECT_EQ(wxFileExists(target), row.written);
        EXPECT_EQ(file.changed, !row.written);
        if (row.written) {
            EXPECT_EQ(qeltest::ReadBytes(target), "fresh");
        }
        EXPECT_EQ(log.Has("Changes not saved"), !row.written) << log.Dump();
    }
}

TEST_F(FileDialogTest, WildcardKeptOrTakenFromLexers)
{
    qeltest::InstallLexers(QEL_SOURCE_DIR "/data/lexers.xml");
    TextFile named;
    Bind(named);
    TextFile unnamed;

    struct Row {
        const char* name;
        QelFile* file;
        wxString wildcard;
        wxString expected;
    };
    const wxString lexers = QelLexers::Get()->BuildWildCards(named.GetFileName());
    const Row rows[] = {
        {"Explicit", &named, "Text|*.txt", "Text|*.txt"},
        {"DefaultInvalidName", &unnamed, wxFileSelectorDefaultWildcardStr,
         wxFileSelectorDefaultWildcardStr},
        {"DefaultValidName", &named, wxFileSelectorDefaultWildcardStr, lexers},
    };
    ASSERT_NE(lexers, wxFileSelectorDefaultWildcardStr);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        QelFileDialog dialog(nullptr, row.file, "m", row.wildcard);
        EXPECT_EQ(dialog.GetWildcard(), row.expected);
    }
    QelFileDialog dialog(nullptr, &named);
    EXPECT_EQ(dialog.GetDirectory(), m_Temp.Path());
    EXPECT_EQ(dialog.GetFilename(), "doc.txt");
}

} // namespace
