// tindrel: the application object.
#include <qelkit/app.h>

class App : public QelApp {
public:
    bool OnInit() override
    {
        SetAppName("tindrel");
        if (!QelApp::OnInit()) return false;
        CallAfter([this] { ExitMainLoop(); });
        return true;
    }
};

wxIMPLEMENT_APP(App);
