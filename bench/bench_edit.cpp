// Reordering in the real main window: a block of 100 frames moved within a strip of 1,000 and the move
// undone, each timed on the GUI thread with the strip's repaint; beside them one plain repaint of the strip,
// measured in the same run. Then what the history holds after 1,000 steps, in process memory.
#include "bench/bench_app.h"

#include "app/domain_option.h"

#include "window/my_frame.h"
#include "window/thumbnailctrl/thumbnail_ctrl.h"

#include <wx/dir.h>
#include <wx/filefn.h>
#include <wx/filename.h>
#include <wx/stopwatch.h>
#include <wx/utils.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <unistd.h>

namespace {

constexpr int kFrames = 1000;
constexpr int kBlock = 100;
constexpr int kRounds = 15;
constexpr int kSteps = 1000;

double ResidentMb() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * static_cast<double>(sysconf(_SC_PAGESIZE)) / (1 << 20);
}

struct Times {
    std::vector<double> wall, cpu;
};

template <typename Action>
void Timed(wxThumbnailCtrl* strip, Times& times, Action action) {
    const double cpu = CpuMs();
    wxStopWatch watch;
    action();
    strip->Update();  // the repaint belongs to the change
    times.wall.push_back(watch.TimeInMicro().ToDouble() / 1000.0);
    times.cpu.push_back(CpuMs() - cpu);
}

void SelectBlock(wxThumbnailCtrl* strip, int first, int count) {
    strip->m_selections.Clear();
    for (int i = first; i < first + count; ++i)
        strip->m_selections.Add(i);
}

void Print(const char* what, const Times& times) {
    std::printf("%-44s median %7.2f ms wall (%7.2f ms CPU), worst %7.2f ms wall\n", what, Median(times.wall),
                Median(times.cpu), *std::max_element(times.wall.begin(), times.wall.end()));
}

int Run() {
    const wxString home = wxFileName::CreateTempFileName("bench_edit");
    wxRemoveFile(home);
    wxFileName::Mkdir(home);
    wxSetEnv("HOME", home);

    MyFrame* frame = OpenMainWindow("bench_edit");
    if (!frame)
        return 1;
    wxArrayString paths;
    const wxImage picture = MakePicture(64, 48, 1);
    for (int i = 0; i < kFrames; ++i) {
        paths.Add(wxString::Format("%s/f%04d.png", home, i));
        picture.SaveFile(paths.Last(), wxBITMAP_TYPE_PNG);
    }
    frame->AddImageFiles(paths);
    wxThumbnailCtrl* strip = frame->GetThumbnailCtrl();
    if (strip->GetCount() != kFrames) {
        std::fprintf(stderr, "bench_edit: %d frames loaded, not %d\n", strip->GetCount(), kFrames);
        return 1;
    }
    Pump(100);

    Times repaint, move, undo, redo;
    wxCommandEvent command;
    for (int round = 0; round < kRounds; ++round) {
        Timed(strip, repaint, [&] { strip->Refresh(false); });
        SelectBlock(strip, 100, kBlock);
        wxThumbnailEvent drop(wxEVT_COMMAND_THUMBNAIL_MOVE_SELECTION, strip->GetId());
        drop.SetIndex(800);
        Timed(strip, move, [&] { frame->OnThumbnailMoveSelection(drop); });
        Timed(strip, undo, [&] { frame->OnUndo(command); });
        Timed(strip, redo, [&] { frame->OnRedo(command); });
        frame->OnUndo(command);
    }
    std::printf("strip of %d frames, a block of %d moved from 100 to before 800:\n", kFrames, kBlock);
    Print("repaint of the strip alone", repaint);
    Print("move (drop of the block) with repaint", move);
    Print("undo of the move with repaint", undo);
    Print("redo of the move with repaint", redo);

    // History memory: 1,000 steps of each kind, measured as the process's resident memory.
    const auto steps = [&](const char* what, int first, int count) {
        wxCommandEvent open;
        frame->OnClearAll(open);  // a history of one step, which the measured ones drop as redo steps...
        frame->OnUndo(open);      // ...once the frames are back
        SelectBlock(strip, first, count);
        const double before = ResidentMb();
        for (int i = 0; i < kSteps; ++i) {
            if (i % 2 == 0)
                frame->OnMoveLater(command);
            else
                frame->OnMoveEarlier(command);
        }
        std::printf("%-44s %7.2f MB resident more after %d steps\n", what, ResidentMb() - before, kSteps);
    };
    steps("one frame moved to and fro", 500, 1);
    steps("a block of 100 moved to and fro", 100, kBlock);

    frame->Destroy();
    Pump(50);
    delete TheDomainOption();
    SetTheDomainOption(nullptr);
    wxDir::Remove(home, wxPATH_RMDIR_RECURSIVE);
    return 0;
}

}  // namespace

int main(int argc, char** argv) { return RunInWindowApp(argc, argv, "bench_edit", Run); }
