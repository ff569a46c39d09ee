// A batch of good and hostile pictures through quintrel-gif and through the export's reading: every
// refused file is named with its reason, the good ones are still written, and a file changed after
// it was added stops the export before anything is written.
#include "cli/cli_run.h"
#include "picture/added_pictures.h"
#include "picture/frame_loader.h"
#include "picture/refused_files.h"
#include "tests/support/gif_decoder.h"
#include "tests/support/picture_bytes.h"
#include "window/my_gifhandler/gif_export.h"

#include <wx/filename.h>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <sstream>
#include <thread>

namespace {

using picture_bytes::Bytes;

Bytes ReadBytes(const wxString& path) {
    const std::string bytes = test_files::Read(path);
    return Bytes(bytes.begin(), bytes.end());
}

Bytes Png(int width, int height) { return picture_bytes::Encode(picture_bytes::Ramp(width, height), wxBITMAP_TYPE_PNG); }

Bytes HugePngHeader() {
    Bytes png = Png(4, 4);
    for (size_t at : {16u, 20u}) {
        png[at] = 0, png[at + 1] = 0, png[at + 2] = 0x4E, png[at + 3] = 0x20;  // 20000
    }
    return png;
}

struct BadFile {
    wxString path;
    std::string reason;
};

// One of each kind of refusal, the good pictures around them.
std::vector<BadFile> HostileFiles() {
    Bytes truncatedJpeg = picture_bytes::Encode(picture_bytes::Ramp(16, 16), wxBITMAP_TYPE_JPEG);
    truncatedJpeg.resize(12);
    wxFileName::Mkdir(test_files::Scratch() + "/folder.png");
    return {
        {picture_bytes::WriteScratch("code-size-12.gif", picture_bytes::GifWithCodeSize(12)), "damaged"},
        {picture_bytes::WriteScratch("cursor.png", {'R', 'I', 'F', 'F', 8, 0, 0, 0, 'A', 'C', 'O', 'N'}), "not a supported picture"},
        {picture_bytes::WriteScratch("huge.png", HugePngHeader()), "20000 x 20000 px is above the limit of 16384 px a side and 64 megapixels"},
        {picture_bytes::WriteScratch("cut.jpg", truncatedJpeg), "damaged"},
        {test_files::Scratch() + "/folder.png", "cannot be read: Is a directory"},
        {test_files::Scratch() + "/missing.bmp", "cannot be read: No such file or directory"},
    };
}

TEST(PictureBatch, CommandLineNamesEveryRefusedFileAndExportsTheGoodOnes) {
    const wxString first = picture_bytes::WriteScratch("first.png", Png(40, 30));
    const wxString last = picture_bytes::WriteScratch("last.gif", picture_bytes::Gif({40, 30, -1, false}));
    std::vector<wxString> arguments{"-o", test_files::Scratch() + "/batch.gif", first};
    const std::vector<BadFile> bad = HostileFiles();
    for (const BadFile& file : bad)
        arguments.push_back(file.path);
    arguments.push_back(last);

    std::ostringstream out, err;
    ASSERT_EQ(cli::Main(arguments, {out, err, false}), 0) << err.str();
    for (const BadFile& file : bad) {
        const std::string line = "quintrel-gif: \"" + file.path.utf8_string() + "\": " + file.reason + "; skipped.\n";
        EXPECT_NE(err.str().find(line), std::string::npos) << line << err.str();
    }
    EXPECT_EQ(out.str(), "batch.gif (40 * 30)px, 2 frames\n");
    const gif_decoder::Animation animation = gif_decoder::Decode(ReadBytes(test_files::Scratch() + "/batch.gif"));
    ASSERT_TRUE(animation.ok) << animation.error;
    EXPECT_EQ(animation.frames.size(), 2u);
}

TEST(PictureBatch, LoaderKeepsTheOrderGivenAndTheRefusals) {
    std::vector<wxString> paths;
    for (int i = 0; i < 12; ++i)
        paths.push_back(picture_bytes::WriteScratch(wxString::Format("f%d.png", i), Png(20 + i, 10)));
    const std::vector<BadFile> bad = HostileFiles();
    paths.insert(paths.begin() + 5, bad[0].path);
    paths.push_back(bad[2].path);

    for (unsigned threads : {1u, 3u}) {
        FrameLoader loader(paths, wxSize(8, 8), threads);
        std::vector<LoadedFrame> frames;
        while (loader.Taken() < loader.Count()) {
            if (std::optional<LoadedFrame> frame = loader.TakeNext(std::chrono::milliseconds(50)))
                frames.push_back(std::move(*frame));
        }
        EXPECT_FALSE(loader.TakeNext(std::chrono::milliseconds(0)));
        ASSERT_EQ(frames.size(), paths.size());
        for (size_t i = 0; i < frames.size(); ++i) {
            EXPECT_EQ(frames[i].path, paths[i]);
            EXPECT_FALSE(frames[i].outcome.picture.IsOk()) << "full pictures are not kept";
        }
        EXPECT_EQ(frames[5].outcome.refusal, picture_intake::Refusal::Damaged);
        EXPECT_EQ(frames.back().outcome.refusal, picture_intake::Refusal::TooLarge);
        EXPECT_FALSE(frames[5].thumbnail.IsOk());
        // f7 is 27 x 10: the thumbnail fits 8 x 8 and keeps the proportion; the stated size is the picture's.
        EXPECT_EQ(frames[8].thumbnail.GetSize(), wxSize(8, 2));
        EXPECT_EQ(frames[8].outcome.width, 27);
        EXPECT_EQ(frames[8].outcome.stamp, picture_intake::StampOf(paths[8]));
    }
}

TEST(PictureBatch, LoaderStoppedEarlyDropsTheRest) {
    std::vector<wxString> paths;
    for (int i = 0; i < 40; ++i)
        paths.push_back(picture_bytes::WriteScratch(wxString::Format("s%d.png", i), Png(64, 64)));
    FrameLoader loader(paths, wxSize(8, 8), 2);
    std::optional<LoadedFrame> frame;
    while (!frame)
        frame = loader.TakeNext(std::chrono::milliseconds(50));
    EXPECT_EQ(frame->path, paths[0]);
    EXPECT_EQ(loader.Taken(), 1u);
    // Leaving the scope with 39 frames untaken must stop the workers, not wait for all of them.
}

TEST(PictureBatch, RefusedFilesAreListedOnePerLine) {
    EXPECT_EQ(RefusedFilesList({{"/a/b.png", "damaged"}, {"/c.gif", "not a supported picture"}}),
              "/a/b.png: damaged\n/c.gif: not a supported picture");
    EXPECT_EQ(RefusedFilesList({}), "");
}

gif_export::Result ExportAdded(AddedPictures& pictures, const wxString& target) {
    gif_export::Request request;
    request.path = target;
    request.frameCount = pictures.Count();
    request.width = 20;
    request.height = 20;
    request.delay = 10;
    request.threads = 2;
    return gif_export::Export(
        request, [&](size_t index) { return pictures.Read(index); },
        [&](size_t, size_t) { return !pictures.Failed(); });
}

// Changed or vanished after being added: the export names the file and leaves the target as it was.
TEST(PictureBatch, FileChangedOrGoneAfterAddingStopsTheExport) {
    const struct {
        const char* name;
        std::function<void(const wxString&)> change;
        std::string reason;
    } cases[] = {
        {"rewritten.png", [](const wxString& p) { picture_bytes::Write(p, Png(21, 20)); }, "changed since it was added"},
        {"removed.png", [](const wxString& p) { wxRemoveFile(p); }, "cannot be read: No such file or directory"},
        {"damaged.png", [](const wxString& p) { picture_bytes::Write(p, Bytes{0x89, 'P', 'N', 'G'}); },
         "changed since it was added"},
    };
    for (const auto& c : cases) {
        std::vector<AddedPictures::File> files;
        for (int i = 0; i < 6; ++i) {
            const wxString path = picture_bytes::WriteScratch(wxString::Format("%d-%s", i, c.name), Png(20, 20));
            files.push_back({path, picture_intake::Read(path).stamp});
        }
        const wxString changed = files[4].path;
        c.change(changed);
        const wxString target = picture_bytes::WriteScratch("kept.gif", {'o', 'l', 'd'});
        AddedPictures pictures(files);
        const gif_export::Result result = ExportAdded(pictures, target);
        EXPECT_FALSE(result.ok) << c.name;
        EXPECT_EQ(pictures.FailureText(), changed + ": " + c.reason);
        EXPECT_EQ(ReadBytes(target), (Bytes{'o', 'l', 'd'})) << c.name;
    }

    std::vector<AddedPictures::File> files;
    for (int i = 0; i < 3; ++i) {
        const wxString path = picture_bytes::WriteScratch(wxString::Format("same%d.png", i), Png(20, 20));
        files.push_back({path, picture_intake::Read(path).stamp});
    }
    AddedPictures unchanged(files);
    EXPECT_TRUE(ExportAdded(unchanged, test_files::Scratch() + "/fine.gif").ok);
    EXPECT_FALSE(unchanged.Failed());
    EXPECT_EQ(unchanged.FailureText(), "");
}

}  // namespace
