// Main of the headless test binary: the toolkit's base only, no display.
#include <gtest/gtest.h>
#include <wx/init.h>

#include "testing.h"

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    wxInitializer initializer(argc, argv);
    if (!initializer.IsOk()) {
        fprintf(stderr, "cannot initialise the toolkit\n");
        return 1;
    }
    qeltest::InstallTestHandlers();
    return RUN_ALL_TESTS();
}
