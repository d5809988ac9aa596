// The file header for real files laid out by the shipped lexers, and its
// dialog answered through the modal-dialog hook.
#include <ctime>

#include <gtest/gtest.h>
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
    // "Purpose|Author|Email|License|" as stored.
    static wxString Stored()
    {
        wxString out;
        for (const char* key : {"Purpose", "Author", "Email", "License"})
            out << wxConfigBase::Get()->Read(key, "") << "|";
        return out;
    }
};

TEST_F(HeaderTest, LaysOutEachLexerWithAndWithoutEmailAndLicence)
{
    // In `want`, "@D" is today's date, "@Y" the year and "@#" a line of 80 "#".
    const struct {
        const char *file, *content, *email, *license, *svn, *want; // content null: no file
        bool old;                                                  // changed two days ago
    } rows[] = {
        // clang-format off
        {"my-file.h", nullptr, "e@x", "", nullptr, "/*\nName:      my-file.h\nPurpose:   Parse it\nAuthor:    A\nCreated:   @D\n"
         "Copyright: (c) @Y A <e@x>\n*/\n\n\n#if !defined (__my_file_h)\n#define __my_file_h\n#endif\n", false},
        {"u.cpp", "int x;\n", "", "GPL */ or MIT", nullptr, "/*\nName:      u.cpp\nPurpose:   Parse it\nAuthor:    A\n"
         "Copyright: (c) @Y A\nLicense:   GPL * / or MIT\n*/\n\n", true},
        {"a.c", "x", "", "", ".svn", "/*\nName:      a.c\nPurpose:   Parse it\nAuthor:    A\nCreated:   @D\n"
         "RCS-ID:    $Id$\nCopyright: (c) @Y A\n*/\n\n", false},
        {"x.py", nullptr, "e@x", "MIT", nullptr, "@#\n# Name:      x.py\n# Purpose:   Parse it\n# Author:    A\n"
         "# Created:   @D\n# Copyright: (c) @Y A <e@x>\n# License:   MIT\n@#\n\n", false},
        {"x.py", "pass\n", "", "", nullptr, "@#\n# Name:      x.py\n# Purpose:   Parse it\n# Author:    A\n"
         "# Copyright: (c) @Y A\n@#\n\n", true},
        {"v.h", "int v;\n", "", "", nullptr, "/*\nName:      v.h\nPurpose:   Parse it\nAuthor:    A\nCreated:   @D\n"
         "Copyright: (c) @Y A\n*/\n\n", false},
        // clang-format on
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(wxString(row.file) + (row.content ? " filled" : " new"));
        qeltest::TempDir dir;
        const wxString path = dir.File(row.file);
        if (row.content != nullptr) qeltest::WriteBytes(path, row.content);
        if (row.old) qeltest::SetModificationTime(path, std::time(nullptr) - 2 * 86400);
        if (row.svn != nullptr) wxFileName::Mkdir(dir.File(row.svn));
        wxConfigBase::Get()->DeleteAll();

        wxString want(row.want);
        want.Replace("@D", wxDateTime::Now().FormatISODate());
        want.Replace("@Y", wxDateTime::Now().Format("%Y"));
        want.Replace("@#", wxString(80, '#'));
        const QelFileName filename(path);
        EXPECT_EQ(QelHeader("Parse it", "A", row.email, row.license).Get(&filename), want);
    }
}

// The dialog's field labels are noted ("*" when required), the answers typed
// in order and OK pressed; when OK is off, "off" is noted and Cancel pressed.
TEST_F(HeaderTest, DialogAsksWhatIsMissingAndStoresOnlyOnOk)
{
    const wxString all = "Purpose*;Author*;Email;License;";
    const struct {
        const char* author; // stored before
        std::vector<wxString> answers;
        int result;
        wxString labels, stored;
    } rows[] = {{"A", {"Tools"}, wxID_OK, "Purpose*;", "Tools|A|||"},
                {"", {"Tools", "B", "b@x", "MIT"}, wxID_OK, all, "Tools|B|b@x|MIT|"},
                {"", {"Tools", ""}, wxID_CANCEL, all + "off", "||||"}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.labels);
        wxConfigBase::Get()->DeleteAll();
        const QelHeader header("", row.author);
        wxString labels;
        int result = 0;
        const auto answer = [&](QelConfigDialog* dlg) {
            const auto& items = dlg->GetConfigItems();
            for (size_t i = 0; i < items.size(); ++i) {
                labels << items[i].GetLabel() << (items[i].GetIsRequired() ? "*;" : ";");
                if (i < row.answers.size()) qeltest::Edit(items[i].GetWindow(), row.answers[i]);
            }
            dlg->UpdateWindowUI(wxUPDATE_UI_RECURSE);
            wxWindow* button = dlg->FindWindow(row.result);
            if (row.result != wxID_OK)
                labels << (dlg->FindWindow(wxID_OK)->IsEnabled() ? "on" : "off");
            wxCommandEvent click(wxEVT_BUTTON, row.result);
            click.SetEventObject(button);
            button->GetEventHandler()->ProcessEvent(click);
        };
        wxTEST_DIALOG(result = header.ShowDialog(nullptr),
                      qeltest::ExpectAnswer<QelConfigDialog>(answer, row.result));
        EXPECT_EQ(result, row.result);
        EXPECT_EQ(labels, row.labels);
        EXPECT_EQ(Stored(), row.stored);
        EXPECT_EQ(header.InfoNeeded(), result != wxID_OK);
    }
}

} // namespace
