// Frames as the preview shows them: made at the size shown, in the export's order (scale, then
// reduce), prepared ahead of need on a thread of their own, and never from a file other than the
// one added.
#include "picture/frame_preview.h"
#include "tests/support/files.h"
#include "window/my_gifhandler/palette_image.h"

#include <wx/filefn.h>

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {

bool SamePixels(const wxImage& a, const wxImage& b) {
    return a.IsOk() && b.IsOk() && a.GetSize() == b.GetSize() &&
           std::equal(a.GetData(), a.GetData() + size_t(a.GetWidth()) * a.GetHeight() * 3, b.GetData());
}

PreviewKey KeyFor(const wxString& path, const wxSize& size) {
    return PreviewKey{path, picture_intake::StampOf(path), size, true};
}

struct PreviewCase {
    wxSize picture, shown;
    bool reduced;
};

class PreviewPicture : public testing::TestWithParam<PreviewCase> {};

TEST_P(PreviewPicture, IsTheExportsScalingThenItsReductionAtTheShownSize) {
    const PreviewCase& c = GetParam();
    const wxImage picture = test_files::Ramp(c.picture.x, c.picture.y, 3);
    const wxImage preview = MakePreviewPicture(picture, c.shown, c.reduced);
    const wxImage scaled = picture.Scale(c.shown.x, c.shown.y, wxIMAGE_QUALITY_NORMAL);
    EXPECT_TRUE(SamePixels(preview, c.reduced ? ConvertToPaletteImage(scaled) : scaled));
    EXPECT_EQ(preview.HasPalette(), c.reduced);
}

INSTANTIATE_TEST_SUITE_P(Sizes, PreviewPicture,
                         testing::Values(PreviewCase{{1920, 1080}, {640, 360}, true},
                                         PreviewCase{{1920, 1080}, {640, 360}, false},
                                         PreviewCase{{300, 200}, {300, 200}, true},  // shown whole: the GIF's own frame
                                         PreviewCase{{1000, 10}, {80, 1}, true},
                                         PreviewCase{{30, 20}, {30, 20}, false}),
                         [](const testing::TestParamInfo<PreviewCase>& info) {
                             const PreviewCase& c = info.param;
                             return wxString::Format("From%dx%dTo%dx%d%s", c.picture.x, c.picture.y, c.shown.x,
                                                     c.shown.y, c.reduced ? "Reduced" : "")
                                 .ToStdString();
                         });

TEST(PreviewPictureEdges, NothingForAnEmptyPictureOrAnEmptySize) {
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

struct RefusedCase {
    const char* name;
    void (*spoil)(const wxString& path);
    picture_intake::Refusal refusal;
};

class PreviewOfASpoiledFile : public testing::TestWithParam<RefusedCase> {};

TEST_P(PreviewOfASpoiledFile, IsRefusedAndNotShownAsAnotherPicture) {
    const wxString path = test_files::RampFile("frame.png", 64, 48);
    const PreviewKey key = KeyFor(path, wxSize(32, 24));
    GetParam().spoil(path);
    PreviewPreparer preparer;
    preparer.Prefetch({key});
    const PreparedPreview prepared = preparer.Take(key);
    EXPECT_FALSE(prepared.picture.IsOk());
    EXPECT_EQ(prepared.refusal.refusal, GetParam().refusal);
}

INSTANTIATE_TEST_SUITE_P(
    Files, PreviewOfASpoiledFile,
    testing::Values(
        RefusedCase{"Rewritten", [](const wxString& path) { test_files::Ramp(65, 48).SaveFile(path, wxBITMAP_TYPE_PNG); },
                    picture_intake::Refusal::Changed},
        RefusedCase{"Removed", [](const wxString& path) { wxRemoveFile(path); }, picture_intake::Refusal::Unreadable},
        RefusedCase{"Truncated", [](const wxString& path) { test_files::Write(path, test_files::Read(path).substr(0, 60)); },
                    picture_intake::Refusal::Changed}),
    [](const testing::TestParamInfo<RefusedCase>& info) { return info.param.name; });

}  // namespace
