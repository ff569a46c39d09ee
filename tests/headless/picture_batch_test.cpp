// A batch of good and hostile pictures through the loader, the preview and the export's reading: refused
// files keep their place and reason, and a file changed after it was added is never shown or exported as
// another picture. Previews are made at the size shown, in the export's order (scale, then reduce), and
// prepared ahead of need on a thread of their own.
#include "picture/added_pictures.h"
#include "picture/frame_loader.h"
#include "picture/frame_preview.h"
#include "picture/refused_files.h"
#include "tests/support/picture_bytes.h"
#include "window/my_gifhandler/frame_composition.h"
#include "window/my_gifhandler/gif_export.h"
#include "window/my_gifhandler/palette_image.h"

#include <wx/filefn.h>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <thread>
#include <tuple>

namespace {

using picture_bytes::Bytes;
using picture_bytes::WriteScratch;
using picture_intake::Refusal;

Bytes Png(int width, int height) { return picture_bytes::Encode(picture_bytes::Ramp(width, height), wxBITMAP_TYPE_PNG); }

bool SamePixels(const wxImage& a, const wxImage& b) {
    return a.IsOk() && b.IsOk() && a.GetSize() == b.GetSize() &&
           std::equal(a.GetData(), a.GetData() + size_t(a.GetWidth()) * a.GetHeight() * 3, b.GetData());
}

PreviewKey KeyFor(const wxString& path, const wxSize& size) { return {path, picture_intake::StampOf(path), size, true}; }

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
        EXPECT_EQ(frames[5].outcome.refusal, Refusal::Damaged);
        EXPECT_EQ(frames.back().outcome.refusal, Refusal::TooLarge);
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

// Rewritten, cut short or removed after it was added: the preview refuses it rather than show another
// picture, and the export stops before anything is written.
TEST(PictureBatch, FileChangedOrGoneAfterAddingIsNeitherShownNorExported) {
    const std::tuple<std::function<void(const wxString&)>, std::string, Refusal> cases[] = {
        {[](const wxString&) {}, "", Refusal::None},
        {[](const wxString& p) { picture_bytes::Write(p, Png(21, 20)); }, "changed since it was added", Refusal::Changed},
        {[](const wxString& p) { wxRemoveFile(p); }, "cannot be read: No such file or directory", Refusal::Unreadable},
        {[](const wxString& p) { picture_bytes::Write(p, Bytes{0x89, 'P', 'N', 'G'}); }, "changed since it was added",
         Refusal::Changed},
    };
    for (const auto& [change, reason, refusal] : cases) {
        std::vector<AddedPictures::File> files;
        for (int i = 0; i < 6; ++i) {
            const wxString path = WriteScratch(wxString::Format("%d.png", i), Png(20, 20));
            files.push_back({path, picture_intake::Read(path).stamp});
        }
        change(files[4].path);
        PreviewPreparer preparer;
        const PreviewKey key{files[4].path, files[4].stamp, wxSize(10, 10), true};
        preparer.Prefetch({key});
        const PreparedPreview prepared = preparer.Take(key);
        EXPECT_TRUE(prepared.picture.IsOk() == reason.empty() && prepared.refusal.refusal == refusal) << reason;
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

// What the preview shows is the frame the export writes at that size, reduced to its palette or not;
// nothing for an empty picture or size.
TEST(PreviewPicture, IsTheExportedFrameAtTheShownSize) {
    const std::pair<wxSize, wxSize> cases[] = {{{1920, 1080}, {640, 360}}, {{300, 200}, {300, 200}}, {{1000, 10}, {80, 1}}};
    for (const auto& [size, shown] : cases)
        for (const bool reduced : {true, false}) {
            const wxImage picture = test_files::Ramp(size.x, size.y, 3), frame = ComposeExportFrame(picture, shown.x, shown.y);
            const wxImage preview = MakePreviewPicture(picture, shown, reduced);
            EXPECT_TRUE(SamePixels(preview, reduced ? ConvertToPaletteImage(frame) : frame)) << shown.x << " " << reduced;
            EXPECT_EQ(preview.HasPalette(), reduced);
        }
    EXPECT_FALSE(MakePreviewPicture(wxImage(), wxSize(10, 10), true).IsOk());
    EXPECT_FALSE(MakePreviewPicture(test_files::Ramp(10, 10), wxSize(0, 10), true).IsOk());
    EXPECT_FALSE(MakePreviewPicture(test_files::Ramp(10, 10), wxSize(10, -1), false).IsOk());
}

TEST(PreviewPreparer, PreparesAheadWhatIsTakenLaterAndKeepsFewUntaken) {
    PreviewPreparer preparer;
    std::vector<PreviewKey> keys;
    for (int i = 0; i < 12; ++i)
        keys.push_back(KeyFor(test_files::RampFile(wxString::Format("f%d.png", i), 200, 100, i), wxSize(100, 50)));
    preparer.Prefetch(keys);
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (std::chrono::steady_clock::now() < until && preparer.WaitingCount() > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    // The oldest were dropped beyond the bound; the last one is among those kept.
    EXPECT_EQ(preparer.ReadyCount(), PreviewPreparer::kMaxReady);
    const PreparedPreview last = preparer.Take(keys.back());
    EXPECT_TRUE(SamePixels(last.picture, MakePreviewPicture(test_files::Ramp(200, 100, 11), wxSize(100, 50), true)));
    EXPECT_EQ(preparer.ReadyCount(), PreviewPreparer::kMaxReady - 1);
    // One never asked for in advance is made on the spot.
    EXPECT_EQ(preparer.Take(KeyFor(keys[0].path, wxSize(20, 10))).picture.GetSize(), wxSize(20, 10));
}
