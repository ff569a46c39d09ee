// From pictures to the GIF file: frame composition on the black canvas, palette reduction, the writer's
// bytes as giflib reads them, and the export engine with its refusals, its safe replacement of the target
// and its behaviour when memory runs out.
#include "window/my_gifhandler/frame_composition.h"
#include "window/my_gifhandler/gif_export.h"
#include "window/my_gifhandler/my_gif_handler.h"
#include "window/my_gifhandler/palette_image.h"

#include "tests/support/files.h"
#include "tests/support/gif_decoder.h"

#include <wx/palette.h>

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <fstream>
#include <mutex>
#include <thread>
#include <tuple>

namespace {

using test_files::Ramp;
using test_files::Scratch;
using Bytes = std::vector<unsigned char>;

Bytes Pixels(const wxImage& image) { return {image.GetData(), image.GetData() + size_t(image.GetWidth()) * image.GetHeight() * 3}; }

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

const wxColour kRed(0xFF, 0, 0), kBlue(0, 0, 0xFF);

// A palette image whose pixel i takes palette entry indices[i % indices.size()].
wxImage PaletteImage(int width, int height, const std::vector<wxColour>& palette, const std::vector<int>& indices) {
    std::vector<unsigned char> r, g, b;
    for (const wxColour& c : palette)
        r.push_back(c.Red()), g.push_back(c.Green()), b.push_back(c.Blue());
    wxImage image(width, height);
    for (int i = 0; i < width * height; ++i) {
        const wxColour& c = palette[size_t(indices[size_t(i) % indices.size()])];
        image.SetRGB(i % width, i / width, c.Red(), c.Green(), c.Blue());
    }
    image.SetPalette(wxPalette(int(palette.size()), r.data(), g.data(), b.data()));
    return image;
}

// n distinct colours, used in the order 0, step, 2 step... (mod n).
wxImage ManyColours(int width, int height, int n, int step = 1) {
    std::vector<wxColour> colours;
    std::vector<int> indices;
    for (int i = 0; i < n; ++i)
        colours.emplace_back(i, 255 - i, i * 3 % 256), indices.push_back(i * step % n);
    return PaletteImage(width, height, colours, indices);
}

// Keeps the first `limit` bytes and refuses the rest, as a full disc does.
struct LimitedStream : wxOutputStream {
    explicit LimitedStream(size_t limit) : limit(limit) {}
    size_t OnSysWrite(const void* buffer, size_t size) override {
        const size_t accepted = std::min(size, limit - written.size());
        written.insert(written.end(), static_cast<const unsigned char*>(buffer), static_cast<const unsigned char*>(buffer) + accepted);
        m_lasterror = accepted < size ? wxSTREAM_WRITE_ERROR : wxSTREAM_NO_ERROR;
        return accepted;
    }
    size_t limit;
    Bytes written;
};

Bytes Save(const std::vector<wxImage>& images, int delayMilliseconds, bool* ok = nullptr, size_t limit = SIZE_MAX) {
    wxImageArray array;
    for (const wxImage& image : images)
        array.push_back(image);
    LimitedStream stream(limit);
    const bool saved = MyGifHandler().SaveAnimation(array, stream, delayMilliseconds);
    if (ok)
        *ok = saved;
    return stream.written;
}

}  // namespace

// The picture, scaled as the toolkit samples it, lies in the rectangle given on a black canvas of the size given.
TEST(FrameComposition, PicturesAreCentredAndShrunkByTheSmallerRatioNeverEnlarged) {
    const std::tuple<wxSize, wxSize, wxRect> cases[] = {
        {{100, 50}, {200, 200}, {50, 75, 100, 50}},  // fits: centred, unscaled
        {{101, 99}, {200, 200}, {49, 50, 101, 99}},  // odd leftovers go right and down
        {{64, 48}, {64, 48}, {0, 0, 64, 48}},
        {{161, 50}, {100, 100}, {0, 34, 99, 31}},    // 161 * (100 / 161) truncates to 99
        {{31, 300}, {100, 100}, {45, 0, 10, 100}},   // tall: the height ratio
        {{250, 40}, {100, 200}, {0, 92, 100, 16}},   // too wide only: both sides shrink
        {{997, 1}, {10, 10}, {0, 4, 10, 1}},         // a hairline keeps one row
    };
    for (const auto& [size, canvas, placed] : cases) {
        const wxImage picture = Ramp(size.x, size.y, 1);
        wxImage expected(canvas.x, canvas.y);
        expected.Paste(picture.Scale(placed.width, placed.height), placed.x, placed.y);
        EXPECT_TRUE(Pixels(ComposeExportFrame(picture, canvas.x, canvas.y)) == Pixels(expected)) << size.x << "x" << size.y;
    }
    // No picture is a black frame; an empty canvas the export refuses before composing any frame.
    EXPECT_EQ(Pixels(ComposeExportFrame(wxImage(), 7, 5)), Bytes(7 * 5 * 3, 0));
}

TEST(FrameComposition, MaskedAndTranslucentPixelsShowBlack) {
    wxImage masked = Ramp(40, 40, 1);
    masked.SetRGB(wxRect(20, 0, 20, 40), 255, 0, 255);
    masked.SetMaskColour(255, 0, 255);
    wxImage expected(42, 42);
    expected.Paste(masked.GetSubImage(wxRect(0, 0, 20, 40)), 1, 1);
    EXPECT_EQ(Pixels(ComposeExportFrame(masked, 42, 42)), Pixels(expected));

    // Opaque, a fifth over black, and a half that must round rather than truncate.
    unsigned char rgb[] = {200, 100, 50, 255, 255, 255, 1, 2, 200}, alpha[] = {255, 51, 128};
    EXPECT_EQ(Pixels(ComposeExportFrame(wxImage(3, 1, rgb, alpha, true), 3, 1)), Bytes({200, 100, 50, 51, 51, 51, 1, 1, 100}));
}

TEST(PaletteImage, FewColoursStayExactManyAreReducedWell) {
    // 256 colours, the most kept exactly, as the file shows them.
    const wxImage exact = Ramp(16, 16);
    EXPECT_EQ(gif_decoder::Decode(Save({ConvertToPaletteImage(exact)}, 100)).frames.at(0).screen, Pixels(exact));

    // Smooth, like a photograph, with far more than 256 colours.
    const wxImage photo = Ramp(4, 4).Scale(640, 480, wxIMAGE_QUALITY_BILINEAR), reduced = ConvertToPaletteImage(photo);
    ASSERT_TRUE(reduced.HasPalette());
    EXPECT_GT(gif_decoder::Psnr(Pixels(reduced), photo.GetData()), 30.0);
    EXPECT_FALSE(ConvertToPaletteImage(wxImage()).HasPalette());
}

TEST(GifWriter, TwoFrameRedBlueAnimationByteForByte) {
    const Bytes gif = Save({PaletteImage(2, 1, {kRed, kBlue}, {0, 1}), PaletteImage(2, 1, {kRed, kBlue}, {1, 0})}, 100);
    // LZW with 8-bit codes: clear, the two indices, end, packed nine bits at a time from the low bit.
    const Bytes expected = {
        'G', 'I', 'F', '8', '9', 'a', 0x02, 0x00, 0x01, 0x00, 0x80, 0x00, 0x00, 0xFF, 0x00, 0x00, 0x00, 0x00, 0xFF,  // red, blue
        0x21, 0xFF, 0x0B, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0', 0x03, 0x01, 0x00, 0x00, 0x00,
        0x21, 0xF9, 0x04, 0x00, 0x0A, 0x00, 0x00, 0x00, 0x2C, 0x00, 0x00, 0x00, 0x00, 0x02, 0x00, 0x01, 0x00, 0x00,  // 10/100 s
        0x08, 0x05, 0x00, 0x01, 0x04, 0x08, 0x08, 0x00, 0x21, 0xF9, 0x04, 0x00, 0x0A, 0x00, 0x00, 0x00,
        0x2C, 0x00, 0x00, 0x00, 0x00, 0x02, 0x00, 0x01, 0x00, 0x80, 0xFF, 0x00, 0x00, 0x00, 0x00, 0xFF,  // its own table
        0x08, 0x05, 0x00, 0x03, 0x00, 0x08, 0x08, 0x00, 0x3B};
    EXPECT_EQ(gif, expected);
}

// Each colour count at sizes with odd widths, single pixels and rows longer than one data sub-block, with
// delays that need the high byte: the screen's packed byte follows the count, and giflib reads back the
// size, every pixel and the delay.
TEST(GifWriter, ColourCountsSizesAndDelaysAsGiflibReadsThem) {
    // Colours, width, height, delay in hundredths (as the export gives it) and the screen's packed byte.
    const std::tuple<int, int, int, int, int> cases[] = {{1, 1, 1, 4, 0x80}, {2, 3, 2, 0, 0x80}, {3, 2, 3, 300, 0xA1},
        {5, 257, 3, 65535, 0xC2}, {17, 16, 16, 0, 0x84}, {128, 16, 16, 7, 0xC6}, {129, 640, 5, 7, 0xE7}, {256, 16, 16, 7, 0xE7}};
    for (const auto& [count, width, height, hundredths, packed] : cases) {
        SCOPED_TRACE(count);
        const wxImage frame = ManyColours(width, height, count, 7);
        const std::vector<wxImage> images = {frame, frame, PaletteImage(width, height, {kRed, kBlue}, {1, 0})};
        const Bytes gif = Save(images, hundredths * 10);
        EXPECT_EQ(gif[10], packed);
        const gif_decoder::Animation decoded = gif_decoder::Decode(gif);
        ASSERT_TRUE(decoded.ok) << decoded.error;
        EXPECT_EQ(wxSize(decoded.screenWidth, decoded.screenHeight), wxSize(width, height));
        ASSERT_EQ(decoded.frames.size(), images.size());
        for (size_t f = 0; f < images.size(); ++f)
            EXPECT_TRUE(decoded.frames[f].delay == hundredths && decoded.frames[f].screen == Pixels(images[f])) << f;
    }
}

// The first frame's data takes several sub-blocks. More than 256 colours cannot be one frame: the writer
// stops there, after the frames before it. (The export hands the writer only frames of the canvas size
// with a palette and no mask, so those are not tried here.)
TEST(GifWriter, ShortWritesAndAFrameOfTooManyColoursFailKeepingExactlyWhatWasWritten) {
    const std::vector<wxImage> images = {ManyColours(31, 15, 40), PaletteImage(31, 15, {kRed, kBlue, {9, 9, 9}}, {2, 1, 0, 0})};
    const Bytes full = Save(images, 70);
    for (size_t limit = 0; limit < full.size(); ++limit) {
        bool ok = true;
        ASSERT_EQ(Save(images, 70, &ok, limit), Bytes(full.begin(), full.begin() + limit)) << limit;
        ASSERT_FALSE(ok) << limit;
    }
    wxImage tooMany = Ramp(31, 15);  // 465 colours behind a three-entry palette
    tooMany.SetPalette(images[1].GetPalette());
    bool ok = true;
    EXPECT_EQ(Save({images[0], images[1], tooMany, images[0]}, 70, &ok), Bytes(full.begin(), full.end() - 1));  // no trailer
    EXPECT_FALSE(ok);
}

// Each picture is composed and reduced as the sequential writer's input would be, whatever the number of
// workers; the source is asked once a frame on the workers, progress counts frames in order, and an
// unreadable picture is a black frame.
TEST(GifExport, WritesTheSequentialWritersBytesForAnyThreadCount) {
    std::vector<wxImage> frames;
    for (size_t i = 0; i < 9; ++i)
        frames.push_back(ConvertToPaletteImage(ComposeExportFrame(i == 2 ? wxImage() : Picture(i), 120, 100)));
    const Bytes reference = Save(frames, 70);
    const std::vector<size_t> eachOnce = {1, 2, 3, 4, 5, 6, 7, 8, 9};
    for (unsigned threads : {1u, 3u}) {
        std::mutex mutex;
        std::vector<size_t> asked, progress;
        const auto source = [&, caller = std::this_thread::get_id()](size_t index) {
            std::lock_guard<std::mutex> lock(mutex);
            EXPECT_NE(std::this_thread::get_id(), caller);
            asked.push_back(index + 1);
            return index == 2 ? wxImage() : Picture(index);
        };
        const auto onProgress = [&](size_t done, size_t total) { progress.push_back(done); return total == 9; };
        const wxString path = Scratch(wxString::Format("t%u.gif", threads));
        ASSERT_TRUE(gif_export::Export({path, 9, 120, 100, 7, threads}, source, onProgress).ok);
        std::sort(asked.begin(), asked.end());
        EXPECT_EQ(asked, eachOnce);  // the frames' numbers
        EXPECT_EQ(progress, eachOnce);
        EXPECT_TRUE(test_files::Read(path) == std::string(reference.begin(), reference.end())) << threads;
    }
}

// Sizes the format or the machine cannot hold are refused before the first frame; failures part-way and
// cancels leave the target as it was and no temporary file.
TEST(GifExport, RefusalsFailuresAndCancelLeaveTheTargetAsItWas) {
    const wxString target = Scratch("keep.gif");
    test_files::Write(target, "old");
    const auto expectUntouched = [&](const gif_export::Result& result, const char* reasonPart) {
        EXPECT_TRUE(!result.ok && result.reason.Contains(reasonPart)) << result.reason;
        EXPECT_EQ(test_files::Read(target), "old");
        EXPECT_EQ(test_files::FilesIn(Scratch()), std::vector<wxString>{target});
    };
    const std::tuple<size_t, int, int, const char*> cases[] = {  // frames, width, height, and what is said
        {5, 40, 40, "cancelled"},  // the progress below cancels after two frames
        {3, 0, 10, "0 x 10 has no pixels"}, {3, 10, 0, "no pixels"}, {0, 10, 10, "no frames"},
        {2, 3000, 300000, "3000 x 300000 is larger than a GIF file can hold"}, {2, 65536, 10, "65536 x 10 is larger"},
        {2, 65535, 65535, "65535 x 65535 is larger"}, {2, 10000, 10000, "Not enough memory for a 10000 x 10000 canvas."},
    };
    {
        const MemoryLimit memory(rlim_t(600) << 20);
        for (const auto& [frames, width, height, says] : cases)
            expectUntouched(gif_export::Export({target, frames, width, height, 10, 2}, Picture,
                                               [](size_t done, size_t) { return done < 2; }),
                            says);
        ASSERT_TRUE(gif_export::Export({Scratch("fits.gif"), 2, 300, 200, 10, 2}, Picture).ok);
        wxRemoveFile(Scratch("fits.gif"));
    }

    // A file size limit makes writes fail part-way, as a full disc does.
    signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{3000, RLIM_INFINITY}, unlimited{RLIM_INFINITY, RLIM_INFINITY};
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
    expectUntouched(gif_export::Export({target, 6, 200, 200, 10, 2}, Picture), "Cannot write");
    setrlimit(RLIMIT_FSIZE, &unlimited);
}

// (That a replaced file keeps its permissions is the project file's test: the same replacement.)
TEST(GifExport, ReplacingFollowsLinksAndNewFilesFollowTheUmask) {
    const wxString real = Scratch("real.gif"), link = Scratch("link.gif"), fresh = Scratch("new.gif");
    test_files::Write(real, "old");
    ASSERT_EQ(symlink(real.fn_str(), link.fn_str()), 0);
    const mode_t mask = umask(022);
    for (const wxString& path : {link, fresh})
        ASSERT_TRUE(gif_export::Export({path, 2, 30, 20, 10, 2}, Picture).ok) << path;
    umask(mask);
    struct stat status {};
    EXPECT_TRUE(lstat(link.fn_str(), &status) == 0 && S_ISLNK(status.st_mode));
    EXPECT_TRUE(stat(fresh.fn_str(), &status) == 0 && (status.st_mode & 0777) == 0644) << std::oct << status.st_mode;
    EXPECT_EQ(test_files::Read(real).substr(0, 6), "GIF89a");
}

TEST(GifExport, GifExtensionIsAppendedUnlessPresentCaseSensitively) {
    for (const auto& [given, expected] : {std::pair{"/tmp/anim.gif", "/tmp/anim.gif"}, {"a.GIF", "a.GIF.gif"}, {"agif", "agif.gif"}})
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
