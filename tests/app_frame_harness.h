// The application's main window, hidden, with the lexers of the source tree
// and settings of its own, for the tests of its commands.
#pragma once

#include <wx/toplevel.h>

#include <qelkit/configdialog.h>
#include <qelkit/stc.h>

#include "frame.h"
#include "testing.h"

class AppFrameTest : public qeltest::ConfigTest {
protected:
    void SetUp() override
    {
        ConfigTest::SetUp();
        qeltest::InstallLexers(QEL_SOURCE_DIR "/data/lexers.xml");
        m_Frame = new Frame(false);
    }
    // Deleted, not closed: unsaved test edits must not ask anything.
    void TearDown() override { delete m_Frame, ConfigTest::TearDown(); }

    // Runs a menu command through the window's event tables as a menu does;
    // true when a handler took it.
    bool Command(int id, const wxString& text = wxEmptyString, wxWindow* to = nullptr)
    {
        wxCommandEvent event(wxEVT_MENU, id);
        event.SetString(text);
        event.SetEventObject(to == nullptr ? m_Frame : to);
        return (to == nullptr ? m_Frame : to)->ProcessWindowEvent(event);
    }
    // Writes a file of the temporary folder and opens it; its editor.
    QelSTC* Open(const wxString& name, const std::string& bytes)
    {
        const wxString path = m_Temp.File(name);
        EXPECT_TRUE(qeltest::WriteBytes(path, bytes));
        EXPECT_TRUE(m_Frame->OpenFile(QelFileName(path)));
        return m_Frame->GetSTC();
    }
    // The modeless settings dialog with the id, when shown.
    static QelConfigDialog* Modeless(int id)
    {
        for (wxWindow* window : wxTopLevelWindows)
            if (auto* dialog = dynamic_cast<QelConfigDialog*>(window);
                dialog != nullptr && dialog->GetId() == id && dialog->IsShown())
                return dialog;
        return nullptr;
    }

    Frame* m_Frame = nullptr;
};
