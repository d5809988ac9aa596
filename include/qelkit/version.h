// The library's version record, shown by the application's About box.
#pragma once

#include <wx/versioninfo.h>

wxVersionInfo QelGetVersionInfo();
