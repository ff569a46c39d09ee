#include "bench/bench_app.h"

#include "app/domain_option.h"
#include "app/paths.h"
#include "app/startup.h"
#include "window/my_frame.h"

#include <wx/app.h>
#include <wx/log.h>

#include <wx/stopwatch.h>
#include <wx/utils.h>

#include <algorithm>
#include <random>
#include <cstdio>
#include <ctime>

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

double CpuMs() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return now.tv_sec * 1000.0 + now.tv_nsec / 1e6;
}

void Pump(int ms) {
    wxStopWatch watch;
    while (watch.Time() < ms) {
        wxTheApp->Yield(true);
        wxMilliSleep(2);
    }
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Smooth areas and noise, so that the pictures compress and reduce like photographs, not flat colour.
wxImage MakePicture(int width, int height, int seed) {
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> noise(-12, 12);
    wxImage image(width, height);
    unsigned char* p = image.GetData();
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            *p++ = static_cast<unsigned char>(std::clamp((x * 255 / width + seed * 7) % 256 + noise(random), 0, 255));
            *p++ = static_cast<unsigned char>(std::clamp((y * 255 / height + seed * 13) % 256 + noise(random), 0, 255));
            *p++ = static_cast<unsigned char>(std::clamp(((x + y) / 4 + seed * 29) % 256 + noise(random), 0, 255));
        }
    }
    return image;
}

MyFrame* OpenMainWindow(const char* name) {
    const wxString installation = paths::InstallationFolder();
    startup::LoadResources(installation);
    SetTheDomainOption(new DomainOption(installation + "/option.cfg"));
    TheDomainOption()->Read();
    wxString error;
    MyFrame* frame = startup::CreateMainWindow(error);
    if (!frame) {
        std::fprintf(stderr, "%s: %s\n", name, static_cast<const char*>(error.utf8_str()));
        return nullptr;
    }
    frame->Show();
    Pump(200);
    return frame;
}
