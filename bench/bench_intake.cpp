// Loading many pictures into the real main window as the command line gives them: 200 files of
// 1920x1080 and 1,000 files of 640x480 (distinct pictures repeated). Per set: time until every
// thumbnail is in the strip against a single-threaded decode of the same files, peak RSS, the longest
// gap between events the GUI thread handled while loading, click to preview, and Save against
// quintrel-gif's export of the same files. Each set runs in a process of its own, so that its peak
// RSS is its own.
#include "bench/bench_app.h"

#include "app/domain_option.h"
#include "cli/cli_run.h"
#include "picture/picture_intake.h"
#include "window/my_frame.h"
#include "window/thumbnailctrl/thumbnail_ctrl.h"
#include "window/thumbnailctrl/thumbnail_event.h"

#include <wx/app.h>
#include <wx/dir.h>
#include <wx/eventfilter.h>
#include <wx/ffile.h>
#include <wx/filename.h>
#include <wx/image.h>
#include <wx/stopwatch.h>
#include <wx/utils.h>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Set {
    const char* name;
    int width, height;
    int distinct;
    int files;
};

const Set kSets[] = {{"hd", 1920, 1080, 20, 200}, {"vga", 640, 480, 50, 1000}};
const Set* g_set = nullptr;

// The longest time between two events the GUI thread handled.
class GapWatcher : public wxEventFilter {
public:
    GapWatcher() { wxEvtHandler::AddFilter(this); }
    ~GapWatcher() override { wxEvtHandler::RemoveFilter(this); }
    int FilterEvent(wxEvent&) override {
        const long long now = m_clock.TimeInMicro().GetValue();
        m_longest = std::max(m_longest, now - m_last);
        m_last = now;
        return Event_Skip;
    }
    double LongestMs() const { return m_longest / 1000.0; }

private:
    wxStopWatch m_clock;
    long long m_last = 0;
    long long m_longest = 0;
};

double PeakRssMiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

std::vector<unsigned char> ReadBytes(const wxString& path) {
    wxFFile file(path, "rb");
    std::vector<unsigned char> bytes(file.IsOpened() ? file.Length() : 0);
    if (!bytes.empty())
        file.Read(bytes.data(), bytes.size());
    return bytes;
}

int Run() {
    const Set& set = *g_set;
    wxInitAllImageHandlers();
    const wxString home = wxFileName::CreateTempFileName("bench_intake");
    wxRemoveFile(home);
    wxFileName::Mkdir(home);
    wxSetEnv("HOME", home);

    wxArrayString paths;
    for (int i = 0; i < set.distinct; ++i) {
        const wxString path = wxString::Format("%s/%d.png", home, i);
        MakePicture(set.width, set.height, i).SaveFile(path, wxBITMAP_TYPE_PNG);
    }
    for (int i = 0; i < set.files; ++i)
        paths.push_back(wxString::Format("%s/%d.png", home, i % set.distinct));

    MyFrame* frame = OpenMainWindow("bench_intake");
    if (!frame)
        return 1;
    const double rssBefore = PeakRssMiB();

    double loadMs = 0, longestGap = 0;
    {
        GapWatcher gaps;
        wxStopWatch clock;
        frame->OpenFromCommandLine(paths);
        loadMs = clock.TimeInMicro().ToDouble() / 1000.0;
        longestGap = gaps.LongestMs();
    }
    const int loaded = frame->m_thumbnailCtrl->GetCount();
    const double rssLoaded = PeakRssMiB();

    // Click to preview on a frame not shown before.
    wxThumbnailEvent click(wxEVT_COMMAND_THUMBNAIL_LEFT_CLICK, frame->m_thumbnailCtrl->GetId());
    click.SetIndex(loaded / 2);
    wxStopWatch clickClock;
    frame->OnThumbnailLeftClick(click);
    frame->Update();
    const double clickMs = clickClock.TimeInMicro().ToDouble() / 1000.0;

    // The same files decoded one after the other on this thread, nothing else.
    wxStopWatch decodeClock;
    for (const wxString& path : paths)
        picture_intake::Read(path);
    const double decodeMs = decodeClock.TimeInMicro().ToDouble() / 1000.0;

    frame->m_gifPath = home + "/window.gif";
    wxStopWatch saveClock;
    const bool saved = frame->WriteGifFile();
    const double saveMs = saveClock.TimeInMicro().ToDouble() / 1000.0;

    std::vector<wxString> arguments{"-W", wxString::Format("%d", frame->m_outputWidth), "-H",
                                    wxString::Format("%d", frame->m_outputHeight), "-o", home + "/cli.gif"};
    for (const wxString& path : paths)
        arguments.push_back(path);
    std::ostringstream out, err;
    wxStopWatch cliClock;
    const int status = cli::Main(arguments, {out, err, false});
    const double cliMs = cliClock.TimeInMicro().ToDouble() / 1000.0;
    const bool same = saved && status == 0 && ReadBytes(home + "/window.gif") == ReadBytes(home + "/cli.gif");

    std::printf("%d x %dx%d (%d distinct): %d frames in the strip after %.2f s; single-threaded decode %.2f s "
                "(ratio %.2f)\n",
                set.files, set.width, set.height, set.distinct, loaded, loadMs / 1000, decodeMs / 1000,
                loadMs / decodeMs);
    std::printf("  peak RSS %.0f MiB after loading (%.0f MiB before), %.0f MiB at the end; longest gap between "
                "GUI events while loading %.0f ms\n",
                rssLoaded, rssBefore, PeakRssMiB(), longestGap);
    std::printf("  click to preview %.0f ms; Save %.2f s, quintrel-gif export %.2f s (ratio %.2f), same bytes: %s\n",
                clickMs, saveMs / 1000, cliMs / 1000, saveMs / cliMs, same ? "yes" : "NO");

    frame->Destroy();
    Pump(50);
    delete TheDomainOption();
    SetTheDomainOption(nullptr);
    wxDir::Remove(home, wxPATH_RMDIR_RECURSIVE);
    return loaded == set.files && same ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        int failed = 0;
        for (const Set& set : kSets)
            failed |= std::system((std::string("'") + argv[0] + "' " + set.name).c_str());
        return failed ? 1 : 0;
    }
    for (const Set& set : kSets) {
        if (std::string(argv[1]) == set.name)
            g_set = &set;
    }
    if (!g_set) {
        std::fprintf(stderr, "bench_intake: no set \"%s\"\n", argv[1]);
        return 2;
    }
    return RunInWindowApp(1, argv, "bench_intake", Run);
}
