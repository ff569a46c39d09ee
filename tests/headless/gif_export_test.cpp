#include "window/my_gifhandler/gif_export.h"

#include "tests/support/gif_decoder.h"
#include "tests/support/isolated_home.h"
#include "window/my_gifhandler/frame_composition.h"
#include "window/my_gifhandler/my_gif_handler.h"
#include "window/my_gifhandler/palette_image.h"

#include <wx/dir.h>
#include <wx/ffile.h>
#include <wx/filename.h>
#include <wx/mstream.h>

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>

#include <algorithm>
#include <csignal>
#include <mutex>
#include <thread>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

wxString TestFolder() { return wxString(IsolatedHomeListener::CurrentHome()); }

Bytes ReadFile(const wxString& path) {
    wxFFile file(path, "rb");
    Bytes bytes(file.IsOpened() ? file.Length() : 0);
    if (!bytes.empty())
        file.Read(bytes.data(), bytes.size());
    return bytes;
}

void WriteFile(const wxString& path, const char* text) {
    wxFFile file(path, "wb");
    file.Write(text, strlen(text));
}

wxArrayString FilesIn(const wxString& folder) {
    wxArrayString files;
    wxDir::GetAllFiles(folder, &files, "", wxDIR_FILES | wxDIR_HIDDEN);
    files.Sort();
    return files;
}

// Pictures of different sizes and many colours, so the quantiser does real work.
wxImage Picture(size_t index) {
    const int width = 90 + int(index % 3) * 40;
    const int height = 60 + int(index % 2) * 50;
    wxImage image(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.SetRGB(x, y, (x * 3 + int(index) * 20) % 256, (y * 5 + x) % 256, (x * y + int(index) * 7) % 256);
    return image;
}

// What the program's Save writes, done the plain way: all frames first, then the writer.
Bytes SequentialReference(size_t frames, int width, int height, int delay) {
    wxImageArray images;
    for (size_t i = 0; i < frames; ++i)
        images.Add(ConvertToPaletteImage(ComposeExportFrame(Picture(i), width, height)));
    wxMemoryOutputStream stream;
    MyGifHandler handler;
    EXPECT_TRUE(handler.SaveAnimation(images, stream, delay * 10));
    Bytes bytes(stream.GetLength());
    stream.CopyTo(bytes.data(), bytes.size());
    return bytes;
}

gif_export::Result ExportPictures(const wxString& path, size_t frames, int width, int height, int delay,
                       unsigned threads = 2, const gif_export::Progress& progress = {}) {
    gif_export::Request request;
    request.path = path;
    request.frameCount = frames;
    request.width = width;
    request.height = height;
    request.delay = delay;
    request.threads = threads;
    return gif_export::Export(request, Picture, progress);
}

}  // namespace

TEST(GifExport, BytesEqualTheSequentialWriterForAnyThreadCount) {
    const Bytes reference = SequentialReference(9, 120, 100, 7);
    for (unsigned threads : {1u, 2u, 4u}) {
        SCOPED_TRACE(threads);
        const wxString path = TestFolder() + wxString::Format("/t%u.gif", threads);
        const gif_export::Result result = ExportPictures(path, 9, 120, 100, 7, threads);
        ASSERT_TRUE(result.ok) << result.reason;
        EXPECT_TRUE(result.reason.empty());
        EXPECT_TRUE(ReadFile(path) == reference);
    }
}

TEST(GifExport, DecodedFramesAreTheComposedPaletteFrames) {
    const wxString path = TestFolder() + "/anim.gif";
    gif_export::Request request;
    request.path = path;
    request.frameCount = 4;
    request.width = 100;
    request.height = 80;
    request.delay = 25;
    const auto source = [](size_t index) { return index == 2 ? wxImage() : Picture(index); };
    ASSERT_TRUE(gif_export::Export(request, source).ok);

    const gif_decoder::Animation decoded = gif_decoder::Decode(ReadFile(path));
    ASSERT_TRUE(decoded.ok) << decoded.error;
    EXPECT_EQ(decoded.loopCount, 0);
    EXPECT_EQ(decoded.screenWidth, 100);
    EXPECT_EQ(decoded.screenHeight, 80);
    ASSERT_EQ(decoded.frames.size(), 4u);
    for (size_t f = 0; f < 4; ++f) {
        EXPECT_EQ(decoded.frames[f].delay, 25);
        const wxImage expected = ConvertToPaletteImage(ComposeExportFrame(source(f), 100, 80));
        const unsigned char* rgb = expected.GetData();
        for (size_t p = 0; p < decoded.frames[f].pixels.size(); ++p, rgb += 3)
            ASSERT_EQ(decoded.frames[f].pixels[p], (gif_decoder::Rgb{rgb[0], rgb[1], rgb[2]})) << f << " " << p;
    }
    // The invalid picture is a black frame.
    for (const gif_decoder::Rgb& pixel : decoded.frames[2].pixels)
        ASSERT_EQ(pixel, (gif_decoder::Rgb{0, 0, 0}));
}

TEST(GifExport, SourceRunsOnTheWorkersOncePerFrameWithBoundedLookAhead) {
    const std::thread::id caller = std::this_thread::get_id();
    std::mutex mutex;
    std::vector<size_t> asked;
    size_t reported = 0;
    size_t worstLead = 0;
    gif_export::Request request;
    request.path = TestFolder() + "/order.gif";
    request.frameCount = 20;
    request.width = 50;
    request.height = 50;
    request.delay = 10;
    request.threads = 3;
    const auto source = [&](size_t index) {
        std::lock_guard<std::mutex> lock(mutex);
        EXPECT_NE(std::this_thread::get_id(), caller);
        asked.push_back(index);
        worstLead = std::max(worstLead, index + 1 - std::min(index + 1, reported));
        return Picture(index);
    };
    std::vector<size_t> progress;
    const auto onProgress = [&](size_t done, size_t total) {
        EXPECT_EQ(std::this_thread::get_id(), caller);
        EXPECT_EQ(total, 20u);
        progress.push_back(done);
        std::lock_guard<std::mutex> lock(mutex);
        reported = done;
        return true;
    };
    ASSERT_TRUE(gif_export::Export(request, source, onProgress).ok);
    ASSERT_EQ(asked.size(), 20u);
    std::sort(asked.begin(), asked.end());
    for (size_t i = 0; i < asked.size(); ++i) {
        EXPECT_EQ(asked[i], i);
        EXPECT_EQ(progress[i], i + 1);
    }
    // Never more than one frame per worker and one more waiting to be written.
    EXPECT_LE(worstLead, 4u);
}

TEST(GifExport, CancelAndBadSizesLeaveTheTargetAndNoTemporaryFile) {
    const wxString path = TestFolder() + "/keep.gif";
    WriteFile(path, "old contents");
    const auto cancelAtTwo = [](size_t done, size_t) { return done < 2; };
    gif_export::Result result = ExportPictures(path, 5, 40, 40, 10, 2, cancelAtTwo);
    EXPECT_FALSE(result.ok);
    EXPECT_TRUE(result.cancelled);
    EXPECT_FALSE(result.reason.empty());
    EXPECT_TRUE(ReadFile(path) == Bytes({'o', 'l', 'd', ' ', 'c', 'o', 'n', 't', 'e', 'n', 't', 's'}));
    EXPECT_EQ(FilesIn(TestFolder()), wxArrayString(1, &path));

    size_t asked = 0;
    gif_export::Request request;
    request.path = path;
    request.frameCount = 3;
    request.delay = 10;
    for (const wxSize size : {wxSize(0, 10), wxSize(10, 0), wxSize(-5, 10)}) {
        request.width = size.x;
        request.height = size.y;
        result = gif_export::Export(request, [&](size_t) { ++asked; return wxImage(4, 4); });
        EXPECT_FALSE(result.ok);
        EXPECT_FALSE(result.cancelled);
        EXPECT_TRUE(result.reason.Contains("no pixels")) << result.reason;
    }
    request.width = request.height = 10;
    request.frameCount = 0;
    EXPECT_FALSE(gif_export::Export(request, [&](size_t) { ++asked; return wxImage(4, 4); }).ok);
    EXPECT_EQ(asked, 0u);
    EXPECT_EQ(FilesIn(TestFolder()), wxArrayString(1, &path));
}

TEST(GifExport, UnwritableTargetsAreRefusedWithAReason) {
    const wxString missingFolder = TestFolder() + "/no/such/folder/a.gif";
    gif_export::Result result = ExportPictures(missingFolder, 1, 10, 10, 10);
    EXPECT_FALSE(result.ok);
    EXPECT_TRUE(result.reason.Contains(TestFolder() + "/no/such/folder")) << result.reason;

    const wxString folder = TestFolder() + "/folder.gif";
    ASSERT_TRUE(wxFileName::Mkdir(folder));
    result = ExportPictures(folder, 1, 10, 10, 10);
    EXPECT_FALSE(result.ok);
    EXPECT_TRUE(result.reason.Contains("folder")) << result.reason;

    const wxString readOnly = TestFolder() + "/readonly.gif";
    WriteFile(readOnly, "x");
    chmod(readOnly.fn_str(), 0444);
    result = ExportPictures(readOnly, 1, 10, 10, 10);
    EXPECT_FALSE(result.ok);
    EXPECT_TRUE(result.reason.Contains("read-only")) << result.reason;
    EXPECT_TRUE(ReadFile(readOnly) == Bytes{'x'});
    EXPECT_EQ(FilesIn(TestFolder()).size(), 1u);
}

TEST(GifExport, ShortWriteOnAFullDiscKeepsTheOldFile) {
    const wxString path = TestFolder() + "/full.gif";
    WriteFile(path, "old");
    // A file size limit makes writes fail part-way, as a full disc does.
    signal(SIGXFSZ, SIG_IGN);
    rlimit saved;
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit limited = saved;
    limited.rlim_cur = 3000;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
    const gif_export::Result result = ExportPictures(path, 6, 200, 200, 10);
    setrlimit(RLIMIT_FSIZE, &saved);
    EXPECT_FALSE(result.ok);
    EXPECT_FALSE(result.cancelled);
    EXPECT_TRUE(result.reason.Contains("Cannot write")) << result.reason;
    EXPECT_TRUE(ReadFile(path) == Bytes({'o', 'l', 'd'}));
    EXPECT_EQ(FilesIn(TestFolder()), wxArrayString(1, &path));
}

TEST(GifExport, ReplacesAnExistingFileKeepingItsPermissions) {
    const wxString path = TestFolder() + "/replace.gif";
    WriteFile(path, "old");
    chmod(path.fn_str(), 0640);
    ASSERT_TRUE(ExportPictures(path, 2, 30, 20, 10).ok);
    EXPECT_TRUE(gif_decoder::Decode(ReadFile(path)).ok);
    struct stat status;
    ASSERT_EQ(stat(path.fn_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0640u);

    // A new file gets the permissions of any newly created file, not a temporary file's 0600.
    const mode_t mask = umask(022);
    const wxString fresh = TestFolder() + "/fresh.gif";
    ASSERT_TRUE(ExportPictures(fresh, 1, 30, 20, 10).ok);
    umask(mask);
    ASSERT_EQ(stat(fresh.fn_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0644u);
    EXPECT_EQ(FilesIn(TestFolder()).size(), 2u);
}

TEST(GifExport, GifExtensionIsAppendedUnlessPresentCaseSensitively) {
    EXPECT_EQ(gif_export::EnsureGifExtension("/tmp/anim"), "/tmp/anim.gif");
    EXPECT_EQ(gif_export::EnsureGifExtension("/tmp/anim.gif"), "/tmp/anim.gif");
    EXPECT_EQ(gif_export::EnsureGifExtension("/tmp/anim.GIF"), "/tmp/anim.GIF.gif");
    EXPECT_EQ(gif_export::EnsureGifExtension("anim.gif.png"), "anim.gif.png.gif");
    EXPECT_EQ(gif_export::EnsureGifExtension(""), ".gif");
}
