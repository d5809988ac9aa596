// The file header for real files in a temporary folder, laid out by the
// shipped lexers, and its dialog answered through the modal-dialog hook.
#include <ctime>

#include <gtest/gtest.h>
#include <wx/datetime.h>
#include <wx/filename.h>
#include <wx/testing.h>

#include <qelkit/configdialog.h>
#include <qelkit/filename.h>
#include <qelkit/header.h>
#include <qelkit/vcs.h>

#include "configcontrols.h"
#include "testing.h"

namespace {

class HeaderTest : public qeltest::ConfigTest {
protected:
    void SetUp() override
    {
        ConfigTest::SetUp();
        qeltest::InstallLexers(QEL_SOURCE_DIR "/data/lexers.xml");
        QelVCS vcs{wxFileName(QEL_SOURCE_DIR "/data/vcs.xml")};
        ASSERT_TRUE(QelVCS::Read());
    }

    // The stored values, "Purpose|Author|Email|License".
    static wxString Stored()
    {
        wxString out;
        for (const char* key : {"Purpose", "Author", "Email", "License"})
            out << wxConfigBase::Get()->Read(key, "") << (key[0] == 'L' ? "" : "|");
        return out;
    }
};

// "@DATE@" and "@YEAR@" stand for today's date and year.
wxString Expand(wxString text)
{
    const wxDateTime now = wxDateTime::Now();
    text.Replace("@DATE@", now.FormatISODate());
    text.Replace("@YEAR@", now.Format("%Y"));
    return text;
}

const wxString HASHES(80, '#');

TEST_F(HeaderTest, LaysOutEachLexerWithAndWithoutEmailAndLicence)
{
    const struct {
        const char* name;
        const char* file;
        const char* content; // nullptr: the file does not exist
        bool old;            // last changed yesterday
        const char *email, *license, *svn;
        wxString want;
    } rows[] = {
        {"CppNewHeader", "util.h", nullptr, false, "e@x", "", nullptr,
         "/*\nName:      util.h\nPurpose:   Parse it\nAuthor:    A\nCreated:   @DATE@\n"
         "Copyright: (c) @YEAR@ A <e@x>\n*/\n\n"
         "\n#if !defined (__util_h)\n#define __util_h\n#endif\n"},
        {"CppOldWithLicence", "util.cpp", "int x;\n", true, "", "GPL */ or MIT", nullptr,
         "/*\nName:      util.cpp\nPurpose:   Parse it\nAuthor:    A\n"
         "Copyright: (c) @YEAR@ A\nLicense:   GPL * / or MIT\n*/\n\n"},
        {"CppUnderSvn", "a.c", "x", false, "", "", ".svn",
         "/*\nName:      a.c\nPurpose:   Parse it\nAuthor:    A\nCreated:   @DATE@\n"
         "RCS-ID:    $Id$\nCopyright: (c) @YEAR@ A\n*/\n\n"},
        {"PythonNewWithBoth", "x.py", nullptr, false, "e@x", "MIT", nullptr,
         HASHES
             + "\n# Name:      x.py\n# Purpose:   Parse it\n# Author:    A\n"
               "# Created:   @DATE@\n# Copyright: (c) @YEAR@ A <e@x>\n# License:   MIT\n"
             + HASHES + "\n\n"},
        {"PythonOldWithout", "x.py", "pass\n", true, "", "", nullptr,
         HASHES
             + "\n# Name:      x.py\n# Purpose:   Parse it\n# Author:    A\n"
               "# Copyright: (c) @YEAR@ A\n"
             + HASHES + "\n\n"},
        {"UpperCaseHHasNoGuard", "u.H", nullptr, false, "", "", nullptr,
         "/*\nName:      u.H\nPurpose:   Parse it\nAuthor:    A\nCreated:   @DATE@\n"
         "Copyright: (c) @YEAR@ A\n*/\n\n"},
        {"FilledHeaderHasNoGuard", "v.h", "int v;\n", false, "", "", nullptr,
         "/*\nName:      v.h\nPurpose:   Parse it\nAuthor:    A\nCreated:   @DATE@\n"
         "Copyright: (c) @YEAR@ A\n*/\n\n"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        qeltest::TempDir dir;
        const wxString path = dir.File(row.file);
        if (row.content != nullptr) qeltest::WriteBytes(path, row.content);
        if (row.old) qeltest::SetModificationTime(path, std::time(nullptr) - 2 * 86400);
        if (row.svn != nullptr) wxFileName::Mkdir(dir.File(row.svn));
        wxConfigBase::Get()->DeleteAll();

        const QelHeader header("Parse it", "A", row.email, row.license);
        const QelFileName filename(path);
        EXPECT_EQ(header.Get(&filename), Expand(row.want));
    }
}

TEST_F(HeaderTest, StoresOnlyGivenValuesAndAsksForWhatIsMissing)
{
    QelHeader("", "", "", "");
    EXPECT_EQ(Stored(), "|||");
    EXPECT_TRUE(QelHeader().InfoNeeded());
    QelHeader("", "A", "", "");
    EXPECT_TRUE(QelHeader().InfoNeeded()) << "author without purpose";
    QelHeader("P", "", "", "L");
    EXPECT_EQ(Stored(), "P|A||L");
    EXPECT_FALSE(QelHeader().InfoNeeded());
    QelHeader("Q", "", "", "");
    EXPECT_EQ(Stored(), "Q|A||L") << "only the purpose replaced";
    wxConfigBase::Get()->DeleteEntry("Author");
    EXPECT_TRUE(QelHeader().InfoNeeded()) << "purpose without author";
}

TEST_F(HeaderTest, IncludeGuardHoldsOnlyIdentifierCharacters)
{
    const struct {
        const char *name, *want;
    } rows[] = {{"util", "__util_h"},
                {"my-file", "__my_file_h"},
                {"a.b c+d", "__a_b_c_d_h"},
                {"\xC3\xA9t\xC3\xA9", "___t__h"},
                {"9lives", "__9lives_h"}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(QelIncludeGuard(wxString::FromUTF8(row.name)), row.want);
    }
}

// Answers the header dialog: records its field labels, types the answers
// into them in order and presses the button.
class ExpectHeaderDialog : public wxExpectModalBase<QelConfigDialog, ExpectHeaderDialog> {
public:
    ExpectHeaderDialog(wxString* labels, std::vector<wxString> answers, int button)
        : m_Labels(labels)
        , m_Answers(std::move(answers))
        , m_Button(button)
    { }

protected:
    int OnInvoked(QelConfigDialog* dlg) const override
    {
        const auto& items = dlg->GetConfigItems();
        for (size_t i = 0; i < items.size(); ++i) {
            *m_Labels << items[i].GetLabel() << (items[i].GetIsRequired() ? "*" : "") << ";";
            if (i < m_Answers.size()) qeltest::Edit(items[i].GetWindow(), m_Answers[i]);
        }
        // A button the user cannot press is reported, and Cancel pressed.
        dlg->UpdateWindowUI(wxUPDATE_UI_RECURSE);
        int id = m_Button;
        if (!dlg->FindWindow(id)->IsEnabled()) {
            *m_Labels << "off";
            id = wxID_CANCEL;
        }
        wxWindow* button = dlg->FindWindow(id);
        wxCommandEvent click(wxEVT_BUTTON, id);
        click.SetEventObject(button);
        button->GetEventHandler()->ProcessEvent(click);
        return id;
    }

private:
    wxString* m_Labels;
    std::vector<wxString> m_Answers;
    int m_Button;
};

TEST_F(HeaderTest, DialogAsksAndStores)
{
    const struct {
        const char* name;
        const char* author; // stored before
        std::vector<wxString> answers;
        int button;
        const char *labels, *stored;
        int result;
    } rows[] = {
        {"AuthorKnownAsksPurposeOnly", "A", {"Tools"}, wxID_OK, "Purpose*;", "Tools|A||", wxID_OK},
        {"NoAuthorAsksAll",
         "",
         {"Tools", "B", "b@x", "MIT"},
         wxID_OK,
         "Purpose*;Author*;Email;License;",
         "Tools|B|b@x|MIT",
         wxID_OK},
        {"RequiredAuthorMissingKeepsOkOff",
         "",
         {"Tools", ""},
         wxID_OK,
         "Purpose*;Author*;Email;License;off",
         "|||",
         wxID_CANCEL},
        {"CancelStoresNothing",
         "",
         {"Tools", "B"},
         wxID_CANCEL,
         "Purpose*;Author*;Email;License;",
         "|||",
         wxID_CANCEL},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        wxConfigBase::Get()->DeleteAll();
        const QelHeader header("", row.author);
        wxString labels;
        int result = 0;
        wxTEST_DIALOG(result = header.ShowDialog(nullptr),
                      ExpectHeaderDialog(&labels, row.answers, row.button));
        EXPECT_EQ(result, row.result);
        EXPECT_EQ(labels, row.labels);
        EXPECT_EQ(Stored(), row.stored);
    }
}

TEST_F(HeaderTest, DialogFormGivesTheHeaderAfterOkOnly)
{
    qeltest::TempDir dir;
    const QelFileName filename(dir.File("n.py"));
    const QelHeader header("", "A");
    wxString labels, text = "unset";
    wxTEST_DIALOG(text = header.ShowDialog(&filename, nullptr),
                  ExpectHeaderDialog(&labels, {"Tools"}, wxID_CANCEL));
    EXPECT_EQ(text, "");
    wxTEST_DIALOG(text = header.ShowDialog(&filename, nullptr),
                  ExpectHeaderDialog(&labels, {"Tools"}, wxID_OK));
    EXPECT_TRUE(text.Contains("# Purpose:   Tools\n")) << text;
}

} // namespace
