// Loading many pictures into the real main window as the command line or a project gives them: the
// bench's photo frames repeated to 200 files of 1920x1080 and to 1,000 files of 640x480, and a
// project of 100,000 small pictures. Per set: time until every thumbnail is in the strip against a
// single-threaded decode of the same files, peak RSS, the longest time the GUI thread took to answer
// a probe posted every few milliseconds while loading, click to preview, and Save against
// quintrel-gif's export of the same files. Each set runs in a process of its own, so that its peak
// RSS is its own. The frame sets come from bench/run.sh (bench/make_frames.py).
#include "bench/bench_app.h"

#include "app/domain_option.h"
#include "cli/cli_run.h"
#include "picture/picture_intake.h"
#include "project/project_file.h"
#include "window/my_frame.h"
#include "window/thumbnailctrl/thumbnail_ctrl.h"
#include "window/thumbnailctrl/thumbnail_event.h"

#include <wx/app.h>
#include <wx/dir.h>
#include <wx/ffile.h>
#include <wx/filename.h>
#include <wx/image.h>
#include <wx/stopwatch.h>
#include <wx/utils.h>

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

struct Set {
    const char* name;
    const char* frames;  // folder of the frame sets
    int files;
    int smallSide;       // > 0: the frames shrunk to this width, opened as a project
};

const Set kSets[] = {{"hd", "photo-crops", 200, 0}, {"vga", "photo-pan", 1000, 0}, {"project", "photo-pan", 100000, 64}};
const Set* g_set = nullptr;

// Posts a probe to the GUI thread every few milliseconds and keeps the longest wait for an answer:
// the longest time the GUI thread did not return to its event loop.
class StallProbe {
public:
    StallProbe() : m_thread([this] { Post(); }) {}
    ~StallProbe() {
        m_stop = true;
        m_thread.join();
        wxTheApp->ProcessPendingEvents();
    }
    double LongestMs() const { return m_longestUs / 1000.0; }

private:
    using Clock = std::chrono::steady_clock;
    void Post() {
        while (!m_stop) {
            if (!m_waiting) {
                m_waiting = true;
                const Clock::time_point sent = Clock::now();
                wxTheApp->CallAfter([this, sent] {
                    const long long waited =
                        std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - sent).count();
                    m_longestUs = std::max<long long>(m_longestUs, waited);
                    m_waiting = false;
                });
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_waiting{false};
    std::atomic<long long> m_longestUs{0};
    std::thread m_thread;
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

// The set's files in `home`: links to the photo frames repeated, or small copies of them.
wxArrayString MakeFiles(const Set& set, const wxString& home) {
    wxArrayString frames;
    wxDir::GetAllFiles(wxString(QUINTREL_SOURCE_DIR "/bench/out/sets/") + set.frames, &frames, "*.png", wxDIR_FILES);
    frames.Sort();
    wxArrayString paths;
    if (frames.empty())
        return paths;
    if (set.smallSide > 0) {
        for (size_t i = 0; i < frames.size(); ++i) {
            const wxImage frame(frames[i]);
            const int height = frame.GetHeight() * set.smallSide / frame.GetWidth();
            frames[i] = wxString::Format("%s/small%zu.png", home, i);
            frame.Scale(set.smallSide, height, wxIMAGE_QUALITY_HIGH).SaveFile(frames[i], wxBITMAP_TYPE_PNG);
        }
        for (int i = 0; i < set.files; ++i)
            paths.push_back(frames[size_t(i) % frames.size()]);
        return paths;
    }
    for (int i = 0; i < set.files; ++i) {
        const wxString link = wxString::Format("%s/%04d.png", home, i);
        if (::symlink(frames[size_t(i) % frames.size()].fn_str(), link.fn_str()) != 0)
            return wxArrayString();
        paths.push_back(link);
    }
    return paths;
}

// Time from a click on frame `index` to its picture on the screen.
double ClickMs(MyFrame* frame, int index) {
    wxThumbnailEvent click(wxEVT_COMMAND_THUMBNAIL_LEFT_CLICK, frame->m_thumbnailCtrl->GetId());
    click.SetIndex(index);
    wxStopWatch clock;
    frame->OnThumbnailLeftClick(click);
    frame->Update();
    return clock.TimeInMicro().ToDouble() / 1000.0;
}

int Run() {
    const Set& set = *g_set;
    wxInitAllImageHandlers();
    const wxString home = wxFileName::CreateTempFileName("bench_intake");
    wxRemoveFile(home);
    wxFileName::Mkdir(home);
    wxSetEnv("HOME", home);

    const wxArrayString paths = MakeFiles(set, home);
    if (paths.empty()) {
        std::fprintf(stderr, "bench_intake: no frames in bench/out/sets/%s (run bench/run.sh)\n", set.frames);
        return 1;
    }
    wxString project;
    if (set.smallSide > 0) {
        project_file::ProjectContents contents;
        contents.width = set.smallSide;
        contents.height = set.smallSide;
        contents.delay = 10;
        contents.imagePaths.assign(paths.begin(), paths.end());
        project = home + "/many.xml";
        if (!project_file::Save(project, contents).ok)
            return 1;
    }

    MyFrame* frame = OpenMainWindow("bench_intake");
    if (!frame)
        return 1;
    const double rssBefore = PeakRssMiB();

    double loadMs = 0, longestStall = 0;
    {
        StallProbe probe;
        wxStopWatch clock;
        frame->OpenFromCommandLine(project.empty() ? paths : wxArrayString(1, &project));
        loadMs = clock.TimeInMicro().ToDouble() / 1000.0;
        longestStall = probe.LongestMs();
    }
    const int loaded = frame->m_thumbnailCtrl->GetCount();
    const double rssLoaded = PeakRssMiB();

    // Clicks on frames not shown before, far from each other so that none was prepared in advance,
    // then on the frame after the last one, which was.
    std::vector<double> clicks;
    for (int i = 1; i <= 5; ++i)
        clicks.push_back(ClickMs(frame, loaded * i / 7));
    const double coldClickMs = Median(clicks);
    const double coldClickMax = *std::max_element(clicks.begin(), clicks.end());
    Pump(1500);
    const double nextClickMs = ClickMs(frame, loaded * 5 / 7 + 1);

    // The same files decoded one after the other on this thread, nothing else.
    wxStopWatch decodeClock;
    for (const wxString& path : paths)
        picture_intake::Read(path);
    const double decodeMs = decodeClock.TimeInMicro().ToDouble() / 1000.0;

    std::printf("%s: %d x %s%s: %d frames in the strip after %.2f s; single-threaded decode %.2f s (ratio %.2f)\n",
                set.name, set.files, set.frames, set.smallSide ? " shrunk, opened as a project" : "", loaded,
                loadMs / 1000, decodeMs / 1000, loadMs / decodeMs);
    std::printf("  peak RSS %.0f MiB after loading (%.0f MiB before); longest GUI stall while loading %.0f ms\n",
                rssLoaded, rssBefore, longestStall);
    std::printf("  click to preview: %.0f ms median, %.0f ms longest of 5 frames not shown before; %.0f ms for a "
                "frame prepared in advance\n",
                coldClickMs, coldClickMax, nextClickMs);

    bool same = true;
    if (project.empty()) {
        frame->m_gifPath = home + "/window.gif";
        wxStopWatch saveClock;
        const bool saved = frame->WriteGifFile();
        const double saveMs = saveClock.TimeInMicro().ToDouble() / 1000.0;
        const double rssSaved = PeakRssMiB();

        std::vector<wxString> arguments{"-W", wxString::Format("%d", frame->m_outputWidth), "-H",
                                        wxString::Format("%d", frame->m_outputHeight), "-o", home + "/cli.gif"};
        for (const wxString& path : paths)
            arguments.push_back(path);
        std::ostringstream out, err;
        wxStopWatch cliClock;
        const int status = cli::Main(arguments, {out, err, false});
        const double cliMs = cliClock.TimeInMicro().ToDouble() / 1000.0;
        same = saved && status == 0 && ReadBytes(home + "/window.gif") == ReadBytes(home + "/cli.gif");
        std::printf("  Save %.2f s, quintrel-gif export %.2f s (ratio %.2f), same bytes: %s; peak RSS %.0f MiB after Save, "
                    "%.0f MiB after quintrel-gif's export in the same process\n",
                    saveMs / 1000, cliMs / 1000, saveMs / cliMs, same ? "yes" : "NO", rssSaved, PeakRssMiB());
    }
    std::fflush(stdout);

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
