// From pictures to the GIF file: frame composition on the black canvas, palette reduction, and the export
// engine with its refusals, its safe replacement of the target and its behaviour when memory runs out.
#include "window/my_gifhandler/frame_composition.h"
#include "window/my_gifhandler/gif_export.h"
#include "window/my_gifhandler/my_gif_handler.h"
#include "window/my_gifhandler/palette_image.h"

#include "tests/support/files.h"

#include <wx/mstream.h>
#include <wx/palette.h>

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <fstream>
#include <mutex>
#include <thread>

namespace {

using test_files::Ramp;
using test_files::Scratch;
using Bytes = std::vector<unsigned char>;

Bytes Rgb(const wxImage& image) { return {image.GetData(), image.GetData() + size_t(image.GetWidth()) * image.GetHeight() * 3}; }

wxImage Picture(size_t index) { return Ramp(90 + int(index % 3) * 40, 60 + int(index % 2) * 50, int(index)); }

// An address-space limit of what the process uses now plus `extra` bytes, lifted again at the end of the scope.
struct MemoryLimit {
    explicit MemoryLimit(rlim_t extra) {
        getrlimit(RLIMIT_AS, &previous);
        rlim_t pages = 0;
        std::ifstream("/proc/self/statm") >> pages;
        const rlimit limit{pages * rlim_t(sysconf(_SC_PAGESIZE)) + extra, previous.rlim_max};
        setrlimit(RLIMIT_AS, &limit);
    }
    ~MemoryLimit() { setrlimit(RLIMIT_AS, &previous); }
    rlimit previous{};
};

}  // namespace

// The picture, scaled as the toolkit samples it, lies in `placed` on a black canvas.
TEST(FrameComposition, PicturesAreCentredAndShrunkByTheSmallerRatioNeverEnlarged) {
    const struct {
        wxSize picture, canvas;
        wxRect placed;
    } cases[] = {
        {{100, 50}, {200, 200}, {50, 75, 100, 50}},  // fits: centred, unscaled
        {{101, 99}, {200, 200}, {49, 50, 101, 99}},  // odd leftovers go right and down
        {{64, 48}, {64, 48}, {0, 0, 64, 48}},
        {{161, 50}, {100, 100}, {0, 34, 99, 31}},    // 161 * (100 / 161) truncates to 99
        {{31, 300}, {100, 100}, {45, 0, 10, 100}},   // tall: the height ratio
        {{250, 40}, {100, 200}, {0, 92, 100, 16}},   // too wide only: both sides shrink
        {{997, 1}, {10, 10}, {0, 4, 10, 1}},         // a hairline keeps one row
    };
    for (const auto& c : cases) {
        const wxImage picture = Ramp(c.picture.x, c.picture.y, 1);
        wxImage expected(c.canvas.x, c.canvas.y);
        expected.Paste(picture.Scale(c.placed.width, c.placed.height), c.placed.x, c.placed.y);
        const wxImage frame = ComposeExportFrame(picture, c.canvas.x, c.canvas.y);
        ASSERT_EQ(frame.GetSize(), c.canvas);
        EXPECT_TRUE(Rgb(frame) == Rgb(expected)) << c.picture.x << "x" << c.picture.y;
    }
    const wxImage black = ComposeExportFrame(wxImage(), 7, 5);  // no picture
    EXPECT_EQ(Rgb(black), Bytes(7 * 5 * 3, 0));
    EXPECT_FALSE(ComposeExportFrame(Ramp(4, 4), 0, 10).IsOk());  // no canvas
    EXPECT_FALSE(ComposeExportFrame(Ramp(4, 4), 10, -1).IsOk());
}

TEST(FrameComposition, MaskedAndTranslucentPixelsShowBlack) {
    wxImage masked = Ramp(40, 40, 1);
    masked.SetRGB(wxRect(20, 0, 20, 40), 255, 0, 255);
    masked.SetMaskColour(255, 0, 255);
    wxImage expected(42, 42);
    expected.Paste(masked.GetSubImage(wxRect(0, 0, 20, 40)), 1, 1);
    EXPECT_EQ(Rgb(ComposeExportFrame(masked, 42, 42)), Rgb(expected));
    EXPECT_EQ(ComposeExportFrame(masked, 20, 10).GetRed(12, 5), 0);  // shrunk, still masked

    // Opaque, a fifth over black, and a half that must round rather than truncate.
    unsigned char rgb[] = {200, 100, 50, 255, 255, 255, 1, 2, 200}, alpha[] = {255, 51, 128};
    EXPECT_EQ(Rgb(ComposeExportFrame(wxImage(3, 1, rgb, alpha, true), 3, 1)), Bytes({200, 100, 50, 51, 51, 51, 1, 1, 100}));
}

TEST(PaletteImage, FewColoursStayExactManyAreReducedWell) {
    wxImage exact(16, 16);
    for (int i = 0; i < 256; ++i)
        exact.SetRGB(i % 16, i / 16, i, 255 - i, (i * 7) % 256);
    exact.SetMaskColour(1, 254, 7);
    const wxImage kept = ConvertToPaletteImage(exact);
    EXPECT_EQ(kept.HasPalette() ? kept.GetPalette().GetColoursCount() : 0, 256);
    EXPECT_EQ(Rgb(kept), Rgb(exact));
    EXPECT_FALSE(kept.HasMask());

    wxImage photo(640, 480);  // smooth, like a photograph, with far more than 256 colours
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x)
            photo.SetRGB(x, y, x * 255 / 640, y * 255 / 480, (x + y) * 255 / 1120);
    photo.SetRGB(wxRect(0, 0, 50, 50), 0, 0, 0);
    photo.SetRGB(wxRect(590, 430, 50, 50), 255, 255, 255);
    const wxImage reduced = ConvertToPaletteImage(photo);
    ASSERT_TRUE(reduced.HasPalette());
    EXPECT_LE(reduced.GetPalette().GetColoursCount(), 256);
    double squares = 0;
    for (size_t i = 0; i < size_t(640) * 480 * 3; ++i)
        squares += std::pow(double(photo.GetData()[i]) - reduced.GetData()[i], 2);
    EXPECT_GT(10 * std::log10(255.0 * 255.0 * 640 * 480 * 3 / squares), 30.0);  // PSNR in dB
    EXPECT_EQ(Rgb(reduced.GetSubImage(wxRect(10, 10, 1, 1))), Bytes(3, 0));
    EXPECT_EQ(Rgb(reduced.GetSubImage(wxRect(620, 460, 1, 1))), Bytes(3, 255));
    EXPECT_FALSE(ConvertToPaletteImage(wxImage()).HasPalette());
}

// Each picture is composed and reduced as the sequential writer's input would be, whatever the number of
// workers; the source is asked once a frame on the workers, progress counts frames in order, and an
// unreadable picture is a black frame.
TEST(GifExport, WritesTheSequentialWritersBytesForAnyThreadCount) {
    wxImageArray frames;
    for (size_t i = 0; i < 9; ++i)
        frames.Add(ConvertToPaletteImage(ComposeExportFrame(i == 2 ? wxImage() : Picture(i), 120, 100)));
    wxMemoryOutputStream stream;
    ASSERT_TRUE(MyGifHandler().SaveAnimation(frames, stream, 70));
    std::string reference(stream.GetLength(), '\0');
    stream.CopyTo(reference.data(), reference.size());
    for (unsigned threads : {1u, 3u}) {
        std::mutex mutex;
        std::vector<size_t> asked, progress;
        const auto source = [&, caller = std::this_thread::get_id()](size_t index) {
            std::lock_guard<std::mutex> lock(mutex);
            EXPECT_NE(std::this_thread::get_id(), caller);
            asked.push_back(index);
            return index == 2 ? wxImage() : Picture(index);
        };
        const auto onProgress = [&](size_t done, size_t total) { progress.push_back(done); return total == 9; };
        const wxString path = Scratch(wxString::Format("t%u.gif", threads));
        ASSERT_TRUE(gif_export::Export({path, 9, 120, 100, 7, threads}, source, onProgress).ok);
        std::sort(asked.begin(), asked.end());
        ASSERT_TRUE(asked.size() == 9 && progress.size() == 9);
        for (size_t i = 0; i < 9; ++i)
            EXPECT_TRUE(asked[i] == i && progress[i] == i + 1) << i << ": " << asked[i] << ", " << progress[i];
        EXPECT_TRUE(test_files::Read(path) == reference) << threads;
    }
}

// Sizes the format or the machine cannot hold are refused before the first frame; failures part-way and
// cancels leave the target as it was and no temporary file.
TEST(GifExport, RefusalsFailuresAndCancelLeaveTheTargetAsItWas) {
    const wxString target = Scratch("keep.gif");
    test_files::Write(target, "old");
    const auto expectUntouched = [&](const gif_export::Result& result, const char* reasonPart) {
        EXPECT_FALSE(result.ok);
        EXPECT_TRUE(result.reason.Contains(reasonPart)) << result.reason;
        EXPECT_EQ(test_files::Read(target), "old");
        EXPECT_EQ(test_files::FilesIn(Scratch()), std::vector<wxString>{target});
    };
    const struct {
        size_t frames;
        int width, height;
        const char* says;
    } cases[] = {
        {5, 40, 40, "cancelled"},  // the progress below cancels after two frames
        {3, 0, 10, "0 x 10 has no pixels"}, {3, 10, 0, "no pixels"}, {3, -5, 10, "no pixels"}, {0, 10, 10, "no frames"},
        {2, 30000, 30000, "Not enough memory for a 30000 x 30000 canvas."},
        {2, 3000, 300000, "3000 x 300000 is larger than a GIF file can hold"},
        {2, 65536, 10, "65536 x 10 is larger than a GIF file can hold"},
        {2, 65535, 65535, "65535 x 65535 is larger than a GIF file can hold"},
        {2, 10000, 10000, "Not enough memory for a 10000 x 10000 canvas."},
    };
    {
        const MemoryLimit memory(rlim_t(600) << 20);
        for (const auto& c : cases)
            expectUntouched(gif_export::Export({target, c.frames, c.width, c.height, 10, 2}, Picture,
                                               [](size_t done, size_t) { return done < 2; }),
                            c.says);
        ASSERT_TRUE(gif_export::Export({Scratch("fits.gif"), 2, 300, 200, 10, 2}, Picture).ok);
        wxRemoveFile(Scratch("fits.gif"));
    }

    // A file size limit makes writes fail part-way, as a full disc does.
    signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{3000, RLIM_INFINITY}, unlimited{RLIM_INFINITY, RLIM_INFINITY};
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
    expectUntouched(gif_export::Export({target, 6, 200, 200, 10, 2}, Picture), "Cannot write");
    setrlimit(RLIMIT_FSIZE, &unlimited);

    ASSERT_EQ(chmod(target.fn_str(), 0444), 0);
    expectUntouched(gif_export::Export({target, 1, 10, 10, 10, 2}, Picture), "read-only");
}

TEST(GifExport, ReplacingKeepsPermissionsAndLinksAndNewFilesFollowTheUmask) {
    const wxString kept = Scratch("kept.gif"), real = Scratch("real.gif"), link = Scratch("link.gif");
    test_files::Write(kept, "old");
    ASSERT_EQ(chmod(kept.fn_str(), 0640), 0);
    test_files::Write(real, "old");
    ASSERT_EQ(symlink(real.fn_str(), link.fn_str()), 0);
    const mode_t mask = umask(022);
    for (const wxString& path : {kept, link, Scratch("fresh.gif")})
        ASSERT_TRUE(gif_export::Export({path, 2, 30, 20, 10, 2}, Picture).ok) << path;
    umask(mask);
    struct stat status {};
    ASSERT_EQ(stat(kept.fn_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0640u);
    ASSERT_EQ(stat(Scratch("fresh.gif").fn_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0644u);
    ASSERT_EQ(lstat(link.fn_str(), &status), 0);
    EXPECT_TRUE(S_ISLNK(status.st_mode));
    EXPECT_EQ(test_files::Read(real).substr(0, 6), "GIF89a");
    EXPECT_EQ(test_files::FilesIn(Scratch()).size(), 4u);
}

TEST(GifExport, GifExtensionIsAppendedUnlessPresentCaseSensitively) {
    const std::pair<const char*, const char*> cases[] = {
        {"/tmp/anim", "/tmp/anim.gif"}, {"/tmp/anim.gif", "/tmp/anim.gif"}, {"a.GIF", "a.GIF.gif"},
        {"a.gif.png", "a.gif.png.gif"}, {"agif", "agif.gif"}, {"", ".gif"}};
    for (const auto& [given, expected] : cases)
        EXPECT_EQ(gif_export::EnsureGifExtension(given), expected);
}

// In a test of its own: the heap an earlier test left behind would serve these allocations.
TEST(ExportLimits, FailedAllocationsGiveNoImageInsteadOfACrash) {
#if defined(__SANITIZE_ADDRESS__)
    // The sanitizer's own allocator needs room beyond any address-space limit; the plain build runs this.
    GTEST_SKIP() << "an address-space limit stops AddressSanitizer itself";
#endif
    const wxImage many = Ramp(2000, 2000);  // thousands of colours: the quantiser's path
    const wxImage few(2000, 2000);          // black: the exact-colour path
    const MemoryLimit limit(rlim_t(4) << 20);
    EXPECT_FALSE(ComposeExportFrame(few, 20000, 20000).IsOk());
    EXPECT_FALSE(ConvertToPaletteImage(few).IsOk());
    EXPECT_FALSE(ConvertToPaletteImage(many).IsOk());
}
