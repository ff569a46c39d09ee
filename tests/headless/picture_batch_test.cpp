// A batch of good and hostile pictures through the loader, the preview and the export's reading: refused
// files keep their place and reason, and a file gone after it was added is never shown or exported as
// another picture. Previews are made at the size shown, in the export's order (scale, then reduce), and
// prepared ahead of need on a thread of their own. Thumbnails are kept as palette indices.
#include "picture/added_pictures.h"
#include "picture/frame_loader.h"
#include "picture/frame_preview.h"
#include "picture/indexed_picture.h"
#include "tests/support/picture_bytes.h"
#include "window/my_gifhandler/frame_composition.h"
#include "window/my_gifhandler/palette_image.h"

#include <wx/filefn.h>

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {

using picture_intake::Refusal;

bool SamePixels(const wxImage& a, const wxImage& b) {
    return a.IsOk() && b.IsOk() && a.GetSize() == b.GetSize() &&
           std::equal(a.GetData(), a.GetData() + size_t(a.GetWidth()) * a.GetHeight() * 3, b.GetData());
}

PreviewKey KeyFor(const wxString& path, const wxSize& size) { return {path, picture_intake::StampOf(path), size, true}; }

// `colours` distinct colours, each in one column of two rows.
wxImage Colours(int colours) {
    wxImage image(colours, 2);
    for (int x = 0; x < colours; ++x)
        image.SetRGB(wxRect(x, 0, 1, 2), x & 0xFF, x >> 8, 255 - (x & 0xFF));
    return image;
}

}  // namespace

TEST(PictureBatch, LoaderKeepsTheOrderGivenAndTheRefusals) {
    std::vector<wxString> paths;
    for (int i = 0; i < 12; ++i)
        paths.push_back(test_files::RampFile(wxString::Format("f%d.png", i), 20 + i, 10));
    paths.insert(paths.begin() + 5, picture_bytes::WriteScratch("code-size-12.gif", picture_bytes::GifWithCodeSize(12)));
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
        // f7 is 27 x 10: the thumbnail fits 8 x 8 and keeps the proportion; the stated size is the picture's.
        EXPECT_EQ(frames[8].thumbnail.GetSize(), wxSize(8, 2));
        EXPECT_EQ(frames[8].outcome.width, 27);
    }
    // Left with frames untaken, the loader stops its workers rather than waiting for them.
    FrameLoader early(paths, wxSize(8, 8), 2);
    EXPECT_TRUE(early.TakeNext(std::chrono::seconds(20)));
}

// Removed after it was added: the preview and the export's reading refuse it, named with its reason,
// rather than give another picture. (A file rewritten after adding, and the window stopping its export on
// it, are window tests.)
TEST(PictureBatch, FileGoneAfterAddingIsNeitherShownNorExported) {
    for (const bool gone : {false, true}) {
        const wxString first = test_files::RampFile("first.png", 2, 2);
        const PreviewKey key = KeyFor(test_files::RampFile("added.png", 20, 20), wxSize(10, 10));
        AddedPictures pictures({{first, picture_intake::StampOf(first)}, {key.path, key.stamp}});
        ASSERT_TRUE(!gone || wxRemoveFile(key.path));
        PreviewPreparer preparer;
        preparer.Prefetch({key});
        const PreparedPreview prepared = preparer.Take(key);
        EXPECT_TRUE(prepared.picture.IsOk() != gone && prepared.refusal.refusal == (gone ? Refusal::Unreadable : Refusal::None));
        EXPECT_TRUE(pictures.Read(1).IsOk() != gone && pictures.Read(0).IsOk()) << gone;
        EXPECT_EQ(pictures.FailureText(), gone ? key.path + ": cannot be read: No such file or directory" : wxString());
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
        }
    EXPECT_FALSE(MakePreviewPicture(wxImage(), wxSize(10, 10), true).IsOk());
    EXPECT_FALSE(MakePreviewPicture(test_files::Ramp(10, 10), wxSize(0, 10), true).IsOk());
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
    EXPECT_EQ(preparer.ReadyCount(), PreviewPreparer::kMaxReady - 1) << "made again rather than taken from those kept";
    // One never asked for in advance is made on the spot.
    EXPECT_EQ(preparer.Take(KeyFor(keys[0].path, wxSize(20, 10))).picture.GetSize(), wxSize(20, 10));
}

TEST(IndexedPicture, KeepsEveryPixelOfUpTo256ColoursAndRefusesMore) {
    for (int colours : {1, 256, 257}) {
        const wxImage image = Colours(colours);
        EXPECT_EQ(SamePixels(IndexedPicture::FromImage(image).ToImage(), image), colours <= 256) << colours;
    }
    EXPECT_FALSE(IndexedPicture::FromImage(wxImage()).IsOk());
}
