// Frames as the preview shows them: made at the size shown, in the export's order (scale, then
// reduce), prepared ahead of need on a thread of their own, and never from a file other than the
// one added.
#include "picture/frame_preview.h"
#include "tests/support/files.h"
#include "window/my_gifhandler/palette_image.h"

#include <wx/filefn.h>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <thread>

namespace {

using picture_intake::Refusal;

bool SamePixels(const wxImage& a, const wxImage& b) {
    return a.IsOk() && b.IsOk() && a.GetSize() == b.GetSize() &&
           std::equal(a.GetData(), a.GetData() + size_t(a.GetWidth()) * a.GetHeight() * 3, b.GetData());
}

PreviewKey KeyFor(const wxString& path, const wxSize& size) { return {path, picture_intake::StampOf(path), size, true}; }

}  // namespace

// At the sizes shown, reduced or in the file's own colours; nothing for an empty picture or size.
TEST(PreviewPicture, IsTheExportsScalingThenItsReductionAtTheShownSize) {
    const struct {
        wxSize picture, shown;
        bool reduced;
    } cases[] = {{{1920, 1080}, {640, 360}, true}, {{1920, 1080}, {640, 360}, false},
                 {{300, 200}, {300, 200}, true},  // shown whole: the GIF's own frame
                 {{1000, 10}, {80, 1}, true},      {{30, 20}, {30, 20}, false}};
    for (const auto& c : cases) {
        const wxImage picture = test_files::Ramp(c.picture.x, c.picture.y, 3);
        const wxImage preview = MakePreviewPicture(picture, c.shown, c.reduced);
        const wxImage scaled = picture.Scale(c.shown.x, c.shown.y, wxIMAGE_QUALITY_NORMAL);
        EXPECT_TRUE(SamePixels(preview, c.reduced ? ConvertToPaletteImage(scaled) : scaled)) << c.shown.x << " " << c.reduced;
        EXPECT_EQ(preview.HasPalette(), c.reduced);
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

// Rewritten, removed or cut short after it was added.
TEST(PreviewPreparer, ASpoiledFileIsRefusedAndNotShownAsAnotherPicture) {
    const std::pair<std::function<void(const wxString&)>, Refusal> cases[] = {
        {[](const wxString& path) { test_files::Ramp(65, 48).SaveFile(path, wxBITMAP_TYPE_PNG); }, Refusal::Changed},
        {[](const wxString& path) { wxRemoveFile(path); }, Refusal::Unreadable},
        {[](const wxString& path) { test_files::Write(path, test_files::Read(path).substr(0, 60)); }, Refusal::Changed}};
    for (const auto& [spoil, refusal] : cases) {
        const PreviewKey key = KeyFor(test_files::RampFile("frame.png", 64, 48), wxSize(32, 24));
        spoil(key.path);
        PreviewPreparer preparer;
        preparer.Prefetch({key});
        const PreparedPreview prepared = preparer.Take(key);
        EXPECT_FALSE(prepared.picture.IsOk());
        EXPECT_EQ(prepared.refusal.refusal, refusal);
    }
}
