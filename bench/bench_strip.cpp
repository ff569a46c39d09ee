// The frame strip's costs: appending 200 640 x 480 PNG files (decode, 256-colour reduction, thumbnail),
// and one repaint of the strip holding 1,000 such frames, at the top and after a scroll.
#include "bench/bench_app.h"

#include "window/thumbnailctrl/thumbnail_ctrl.h"

#include <wx/app.h>
#include <wx/dir.h>
#include <wx/filefn.h>
#include <wx/filename.h>
#include <wx/frame.h>
#include <wx/image.h>
#include <wx/init.h>
#include <wx/log.h>
#include <wx/stopwatch.h>
#include <wx/utils.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <random>
#include <vector>

namespace {

constexpr int kFiles = 200;
constexpr int kItems = 1000;
constexpr int kRepaints = 25;

class CountingStrip : public wxThumbnailCtrl {
public:
    using wxThumbnailCtrl::wxThumbnailCtrl;
    bool DrawItemBackground(int n, wxDC& dc, const wxRect& rect, const wxRect& imageRect, int style) override {
        ++drawn;
        return wxThumbnailCtrl::DrawItemBackground(n, dc, rect, imageRect, style);
    }
    int drawn = 0;
};

// A picture with smooth areas and noise, so that the reduction has real work to do.
wxImage MakePicture(int seed) {
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> noise(-12, 12);
    wxImage image(640, 480);
    unsigned char* p = image.GetData();
    for (int y = 0; y < 480; ++y) {
        for (int x = 0; x < 640; ++x) {
            const int r = (x * 255 / 639 + seed * 7) % 256 + noise(random);
            const int g = (y * 255 / 479 + seed * 13) % 256 + noise(random);
            const int b = ((x + y) / 4 + seed * 29) % 256 + noise(random);
            *p++ = static_cast<unsigned char>(std::clamp(r, 0, 255));
            *p++ = static_cast<unsigned char>(std::clamp(g, 0, 255));
            *p++ = static_cast<unsigned char>(std::clamp(b, 0, 255));
        }
    }
    return image;
}

// Wall-clock and process CPU time: the CPU figure stays meaningful on a machine shared with other work.
class Timer {
public:
    Timer() : m_cpuStart(CpuMs()) {}
    double WallMs() const { return m_wall.TimeInMicro().ToDouble() / 1000.0; }
    double CpuTimeMs() const { return CpuMs() - m_cpuStart; }

private:
    wxStopWatch m_wall;
    double m_cpuStart;
};

// Median time of a full refresh painted synchronously, and the cells one paint draws.
void TimeRepaint(CountingStrip* strip, const char* where) {
    std::vector<double> wall;
    std::vector<double> cpu;
    int cells = 0;
    for (int i = 0; i < kRepaints; ++i) {
        strip->drawn = 0;
        const Timer timer;
        strip->Refresh();
        strip->Update();
        wall.push_back(timer.WallMs());
        cpu.push_back(timer.CpuTimeMs());
        cells = strip->drawn;
    }
    std::printf("repaint with %d items, %s: median %.2f ms wall, %.2f ms CPU; %d cells drawn (client %dx%d)\n",
                strip->GetCount(), where, Median(wall), Median(cpu), cells, strip->GetClientSize().x,
                strip->GetClientSize().y);
}

int Run() {
    wxInitAllImageHandlers();
    const wxString folder = wxFileName::CreateTempFileName("bench_strip");
    wxRemoveFile(folder);
    wxFileName::Mkdir(folder);
    std::vector<wxString> paths;
    for (int i = 0; i < kFiles; ++i) {
        paths.push_back(wxString::Format("%s/frame%03d.png", folder, i));
        MakePicture(i).SaveFile(paths.back(), wxBITMAP_TYPE_PNG);
    }

    wxFrame* window = new wxFrame(nullptr, wxID_ANY, "bench_strip", wxPoint(0, 0), wxSize(820, 640));
    CountingStrip* strip = new CountingStrip(window, wxPoint(0, 0), window->GetClientSize());
    window->Show();
    Pump(200);

    std::vector<double> perFile;
    const Timer total;
    strip->Freeze();
    for (const wxString& path : paths) {
        const Timer one;
        if (strip->Append(std::make_unique<wxImageThumbnailItem>(path), 10) < 0) {
            std::fprintf(stderr, "bench_strip: %s was refused\n", static_cast<const char*>(path.utf8_str()));
            return 1;
        }
        perFile.push_back(one.WallMs());
    }
    strip->Thaw();
    std::printf("append %d 640x480 PNG files: %.0f ms wall (%.0f ms CPU), median %.1f ms per file, slowest %.1f ms\n",
                kFiles, total.WallMs(), total.CpuTimeMs(), Median(perFile),
                *std::max_element(perFile.begin(), perFile.end()));

    // 1,000 frames of those pictures: the thumbnails are shared, so no file is decoded again.
    std::vector<wxImageThumbnailItem*> loaded;
    for (int i = 0; i < kFiles; ++i)
        loaded.push_back(wxDynamicCast(strip->GetItem(i), wxImageThumbnailItem));
    strip->Freeze();
    for (int i = kFiles; i < kItems; ++i) {
        const wxImageThumbnailItem* source = loaded[i % kFiles];
        auto item = std::make_unique<wxImageThumbnailItem>(source->m_path);
        item->m_pictureSize = source->m_pictureSize;
        item->m_stamp = source->m_stamp;
        item->m_thumbnail = source->m_thumbnail;
        strip->Append(std::move(item), 10);
    }
    strip->Thaw();
    Pump(200);

    TimeRepaint(strip, "at the top");
    strip->Scroll(0, strip->GetScrollLines(wxVERTICAL) / 2);
    Pump(100);
    TimeRepaint(strip, "scrolled to the middle");
    strip->Scroll(0, strip->GetScrollLines(wxVERTICAL));
    Pump(100);
    TimeRepaint(strip, "scrolled to the end");

    window->Destroy();
    Pump(50);
    wxDir::Remove(folder, wxPATH_RMDIR_RECURSIVE);
    return 0;
}

}  // namespace

int main(int argc, char** argv) { return RunInWindowApp(argc, argv, "bench_strip", Run); }
