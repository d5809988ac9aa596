#include <qelkit/version.h>

wxVersionInfo QelGetVersionInfo()
{
    return wxVersionInfo("Qelkit", 1, 1, 0, "Qelkit 1.1.0");
}
