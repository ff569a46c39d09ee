// A batch of good and hostile pictures through the loader and the export's reading: refused files keep
// their place and reason, and a file changed after it was added stops the export before anything is written.
#include "picture/added_pictures.h"
#include "picture/frame_loader.h"
#include "picture/refused_files.h"
#include "tests/support/picture_bytes.h"
#include "window/my_gifhandler/gif_export.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using picture_bytes::Bytes;
using picture_bytes::WriteScratch;

Bytes Png(int width, int height) { return picture_bytes::Encode(picture_bytes::Ramp(width, height), wxBITMAP_TYPE_PNG); }

}  // namespace

TEST(PictureBatch, LoaderKeepsTheOrderGivenAndTheRefusals) {
    std::vector<wxString> paths;
    for (int i = 0; i < 12; ++i)
        paths.push_back(WriteScratch(wxString::Format("f%d.png", i), Png(20 + i, 10)));
    Bytes huge = Png(4, 4);
    huge[18] = huge[22] = 0x4E, huge[19] = huge[23] = 0x20;  // 20000 x 20000
    paths.insert(paths.begin() + 5, WriteScratch("code-size-12.gif", picture_bytes::GifWithCodeSize(12)));
    paths.push_back(WriteScratch("huge.png", huge));
    for (unsigned threads : {1u, 3u}) {
        FrameLoader loader(paths, wxSize(8, 8), threads);
        std::vector<LoadedFrame> frames;
        while (loader.Taken() < loader.Count())
            if (std::optional<LoadedFrame> frame = loader.TakeNext(std::chrono::milliseconds(50)))
                frames.push_back(std::move(*frame));
        EXPECT_FALSE(loader.TakeNext(std::chrono::milliseconds(0)));
        ASSERT_EQ(frames.size(), paths.size());
        for (size_t i = 0; i < frames.size(); ++i)
            EXPECT_TRUE(frames[i].path == paths[i] && !frames[i].outcome.picture.IsOk()) << i;  // full pictures are not kept
        EXPECT_EQ(frames[5].outcome.refusal, picture_intake::Refusal::Damaged);
        EXPECT_EQ(frames.back().outcome.refusal, picture_intake::Refusal::TooLarge);
        EXPECT_FALSE(frames[5].thumbnail.IsOk());
        // f7 is 27 x 10: the thumbnail fits 8 x 8 and keeps the proportion; the stated size is the picture's.
        EXPECT_EQ(frames[8].thumbnail.GetSize(), wxSize(8, 2));
        EXPECT_EQ(frames[8].outcome.width, 27);
        EXPECT_EQ(frames[8].outcome.stamp, picture_intake::StampOf(paths[8]));
    }
    // Left with frames untaken, the loader stops its workers rather than waiting for them.
    FrameLoader early(paths, wxSize(8, 8), 2);
    std::optional<LoadedFrame> frame;
    while (!frame)
        frame = early.TakeNext(std::chrono::milliseconds(50));
    EXPECT_EQ(frame->path, paths[0]);
    EXPECT_EQ(RefusedFilesList({{"/a/b.png", "damaged"}, {"/c.gif", "not a supported picture"}}),
              "/a/b.png: damaged\n/c.gif: not a supported picture");
}

TEST(PictureBatch, FileChangedOrGoneAfterAddingStopsTheExport) {
    const std::pair<std::function<void(const wxString&)>, std::string> cases[] = {
        {[](const wxString&) {}, ""},
        {[](const wxString& p) { picture_bytes::Write(p, Png(21, 20)); }, "changed since it was added"},
        {[](const wxString& p) { wxRemoveFile(p); }, "cannot be read: No such file or directory"},
        {[](const wxString& p) { picture_bytes::Write(p, Bytes{0x89, 'P', 'N', 'G'}); }, "changed since it was added"},
    };
    for (const auto& [change, reason] : cases) {
        std::vector<AddedPictures::File> files;
        for (int i = 0; i < 6; ++i) {
            const wxString path = WriteScratch(wxString::Format("%d.png", i), Png(20, 20));
            files.push_back({path, picture_intake::Read(path).stamp});
        }
        change(files[4].path);
        const wxString target = WriteScratch("kept.gif", {'o', 'l', 'd'});
        AddedPictures pictures(files);
        const gif_export::Result result = gif_export::Export(
            {target, pictures.Count(), 20, 20, 10, 2}, [&](size_t index) { return pictures.Read(index); },
            [&](size_t, size_t) { return !pictures.Failed(); });
        EXPECT_EQ(result.ok, reason.empty()) << reason;
        EXPECT_EQ(pictures.FailureText(), reason.empty() ? wxString() : files[4].path + ": " + reason);
        EXPECT_EQ(test_files::Read(target).substr(0, 3), reason.empty() ? "GIF" : "old") << reason;
    }
}
