// Main of the GUI test binary: a real application object whose event loop
// runs the tests, so that dialogs, timers and processes behave as in the
// program. Runs under Xvfb when there is no display.
#include <cstring>

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/apptrait.h>
#include <wx/fileconf.h>

#include <qelkit/app.h>

#include "testing.h"

namespace {

// Settings made on demand read back as stored, as the program's do.
class TestTraits : public wxGUIAppTraits {
public:
    wxConfigBase* CreateConfig() override
    {
        return QelCreateConfig(wxFileConfig::GetLocalFileName(wxTheApp->GetAppName()));
    }
};

class TestApp : public wxApp {
public:
    bool OnInit() override
    {
        SetAppName("tindrel-tests");
        SetExitOnFrameDelete(false);
        qeltest::InstallTestHandlers();
        CallAfter([this] {
            m_Result = RUN_ALL_TESTS();
            ExitMainLoop();
        });
        return true;
    }
    int OnExit() override
    {
        qeltest::ResetSingletons();
        return wxApp::OnExit();
    }
    int OnRun() override
    {
        wxApp::OnRun();
        return m_Result;
    }

protected:
    wxAppTraits* CreateTraits() override { return new TestTraits; }

private:
    int m_Result = 1;
};

} // namespace

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--gtest_list_tests") == 0) return RUN_ALL_TESTS();

    wxApp::SetInstance(new TestApp);
    return wxEntry(argc, argv);
}
