// Headless tests: the toolkit's base and image code without a display.
#include "tests/support/assertions.h"
#include "tests/support/isolated_home.h"

#include <wx/image.h>
#include <wx/init.h>
#include <wx/log.h>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    InstallIsolatedHome();
    wxInitializer initializer;
    if (!initializer.IsOk()) {
        fprintf(stderr, "cannot initialise the toolkit\n");
        return 1;
    }
    InstallAssertionHandler();
    delete wxLog::SetActiveTarget(new wxLogStderr);
    wxInitAllImageHandlers();
    return RUN_ALL_TESTS();
}
