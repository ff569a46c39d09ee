#include "bench/bench_app.h"

#include <wx/app.h>
#include <wx/log.h>

#include <cstdio>

namespace {
class BenchApp : public wxApp {
public:
    bool OnInit() override { return true; }
};
}  // namespace

wxIMPLEMENT_APP_NO_MAIN(BenchApp);

int RunInWindowApp(int argc, char** argv, const char* name, int (*run)()) {
    if (!wxEntryStart(argc, argv)) {
        std::fprintf(stderr, "%s: no display\n", name);
        return 1;
    }
    wxTheApp->CallOnInit();
    delete wxLog::SetActiveTarget(new wxLogStderr);
    const int result = run();
    wxTheApp->OnExit();
    wxEntryCleanup();
    return result;
}
