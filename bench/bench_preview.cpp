// The preview player's tick: the main window drawing the next frame fitted into a panel of about
// 400 x 300, for 1920 x 1080 and 640 x 480 frames. The first pass fits every frame anew; later passes
// reuse the fitted copies. Each tick includes the synchronous repaint of the panel.
#include "bench/bench_app.h"

#include "app/domain_option.h"
#include "window/my_frame.h"
#include "window/thumbnailctrl/thumbnail_ctrl.h"

#include <wx/app.h>
#include <wx/dir.h>
#include <wx/filefn.h>
#include <wx/filename.h>
#include <wx/image.h>
#include <wx/init.h>
#include <wx/log.h>
#include <wx/panel.h>
#include <wx/spinctrl.h>
#include <wx/stopwatch.h>
#include <wx/utils.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <random>
#include <vector>

namespace {

constexpr int kFrames = 8;
constexpr int kPasses = 25;

struct TickTimes {
    std::vector<double> wall, cpu;
};

void Tick(MyFrame* frame, TickTimes& times) {
    wxTimerEvent event(frame->m_timer);
    const double cpu = CpuMs();
    wxStopWatch wall;
    frame->OnTimer(event);
    times.wall.push_back(wall.TimeInMicro().ToDouble() / 1000.0);
    times.cpu.push_back(CpuMs() - cpu);
}

bool Measure(MyFrame* frame, const wxString& folder, int width, int height) {
    wxArrayString paths;
    for (int i = 0; i < kFrames; ++i) {
        paths.push_back(wxString::Format("%s/%dx%d-%d.png", folder, width, height, i));
        MakePicture(width, height, i).SaveFile(paths.back(), wxBITMAP_TYPE_PNG);
    }
    wxCommandEvent command;
    frame->OnClearAll(command);
    frame->AddImageFiles(paths);
    if (frame->m_thumbnailCtrl->GetCount() != kFrames) {
        std::fprintf(stderr, "bench_preview: the %dx%d frames did not load\n", width, height);
        return false;
    }
    // Ticks come from here only: the timer itself would wait 50 seconds.
    frame->m_spinctrl_delay->SetValue(5000);
    frame->m_loopCount = 0;
    frame->OnRunAnimation(command);
    Pump(50);

    TickTimes first, later;
    for (int i = 0; i < kFrames; ++i)
        Tick(frame, first);
    for (int i = 0; i < kFrames * (kPasses - 1); ++i)
        Tick(frame, later);
    frame->StopAnimation();

    const wxSize panel = frame->m_panel2->GetSize();
    std::printf("tick %dx%d into a %dx%d panel: median %.2f ms wall (%.2f ms CPU); first pass %.2f ms wall "
                "(%.2f ms CPU)\n",
                width, height, panel.x, panel.y, Median(later.wall), Median(later.cpu), Median(first.wall),
                Median(first.cpu));
    return true;
}

int Run() {
    const wxString home = wxFileName::CreateTempFileName("bench_preview");
    wxRemoveFile(home);
    wxFileName::Mkdir(home);
    // The window reads and writes its settings under HOME; keep them out of the user's.
    wxSetEnv("HOME", home);

    MyFrame* frame = OpenMainWindow("bench_preview");
    if (!frame)
        return 1;
    frame->m_panel2->SetSize(400, 300);
    Pump(100);

    bool ok = Measure(frame, home, 1920, 1080) && Measure(frame, home, 640, 480);

    frame->Destroy();
    Pump(50);
    delete TheDomainOption();
    SetTheDomainOption(nullptr);
    wxDir::Remove(home, wxPATH_RMDIR_RECURSIVE);
    return ok ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) { return RunInWindowApp(argc, argv, "bench_preview", Run); }
