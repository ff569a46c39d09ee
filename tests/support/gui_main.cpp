// Window tests: every case runs inside an initialised wxApp with the toolkit's real event loop.
#include "tests/support/assertions.h"
#include "tests/support/isolated_home.h"

#include <wx/app.h>
#include <wx/image.h>
#include <wx/log.h>

#include <gtest/gtest.h>

wxIMPLEMENT_APP_NO_MAIN(wxApp);

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    // Listing the tests must not need a display.
    if (testing::GTEST_FLAG(list_tests))
        return RUN_ALL_TESTS();
    InstallIsolatedHome();
    InstallAssertionHandler();
    if (!wxEntryStart(argc, argv)) {
        fprintf(stderr, "gui_tests: cannot initialise GTK (is there a display?)\n");
        return 1;
    }
    wxTheApp->CallOnInit();
    delete wxLog::SetActiveTarget(new wxLogStderr);
    wxInitAllImageHandlers();
    const int result = RUN_ALL_TESTS();
    wxTheApp->OnExit();
    wxEntryCleanup();
    return result;
}
