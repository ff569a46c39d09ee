// Small rules with large consequences: the output size, the frame labels, where the preview draws, and the
// natural order files taken together go in (a drop gives a project to open or the pictures to add).
#include "picture/dropped_files.h"
#include "picture/natural_order.h"
#include "tests/support/files.h"
#include "window/output_size.h"
#include "window/preview_fit.h"
#include "window/thumbnailctrl/frame_label.h"

#include <wx/filename.h>

#include <gtest/gtest.h>

#include <tuple>

TEST(OutputSize, ALargerSideInEitherDirectionReplacesBothNumbers) {
    const std::pair<std::vector<wxSize>, wxSize> cases[] = {
        {{}, {0, 0}}, {{{100, 50}, {50, 100}}, {50, 100}}, {{{320, 240}, {0, 0}, {320, 240}}, {320, 240}},
        {{{320, 240}, {640, 10}}, {640, 10}}};
    for (const auto& [sizes, best] : cases)
        EXPECT_EQ(output_size::FindBestSize(sizes), best);
}

// The proportions themselves are seen through quintrel-gif's -W and -H.
TEST(OutputSize, AZeroReferenceGivesNoAnswer) {
    int h = 7, w = 7;
    EXPECT_FALSE(output_size::HeightForWidth(200, 0, 300, h) || output_size::WidthForHeight(100, 400, 0, w));
    EXPECT_EQ(wxSize(w, h), wxSize(7, 7));  // left as they were
}

TEST(FrameLabel, NumberFromOneAndStartTimeInSinglePrecision) {
    const std::tuple<int, int, const char*> cases[] = {  // index, delay, label
        {0, 10, "#1  0.00sec"}, {3, 10, "#4  0.30sec"}, {99, 3, "#100  2.97sec"}, {9, 0, "#10  0.00sec"},
        {198601, 33, "#198602  65538.34sec"}};  // double precision would say 65538.33
    for (const auto& [index, delay, label] : cases)
        EXPECT_EQ(FrameLabel(index, delay), label);
}

TEST(PreviewFit, ShrinksByTheSmallerRatioCentresAndNeverEnlarges) {
    const std::tuple<wxSize, wxSize, wxRect> cases[] = {  // panel, picture, where it goes (empty: nothing drawn)
        {{400, 400}, {800, 600}, {0, 50, 400, 300}},   {{400, 400}, {600, 800}, {50, 0, 300, 400}},
        {{400, 300}, {1920, 1080}, {0, 37, 400, 225}}, {{101, 101}, {10, 10}, {45, 45, 10, 10}},
        {{400, 400}, {0, 0}, {}},                      {{0, 0}, {800, 600}, {}},
        {{400, 300}, {4000, 5}, {}}};
    for (const auto& [panel, picture, expected] : cases) {
        const wxRect placed = preview_fit::Place(panel, picture);
        EXPECT_TRUE(expected.IsEmpty() ? placed.IsEmpty() : placed == expected) << picture.x << " " << placed.x;
    }
}

TEST(NaturalOrder, IsAStrictOrderOverAwkwardNames) {
    std::vector<wxString> ordered = {  // a folder's files first; equal numbers and cases by their characters
        "/s/a/f10.png", "/s/a-1/f1.png", "/s/a1.png", "0000000000000000000000001.png", "01.png", "1.png", "2.png",
        "10.png", "0010b.png", "99999999999999999999.png", "100000000000000000000.png", "frame", "frame.png",
        "Frame1.png", "frame2.png", "FRAME10.png", "frame10.png", "take2_f9.png", "take2_f10.png", "take10_f1.png",
        "Zoe.png"};
    for (const char* name : {"Ärger3", "ärger20", "émile", "Ωmega2", "ωmega10", "Кадр9", "кадр10", "フレーム2", "フレーム10"})
        ordered.push_back(wxString::FromUTF8(name));
    // Sorting by it is seen through quintrel-gif, which sorts what it is given.
    for (size_t i = 0; i < ordered.size(); ++i)
        for (size_t j = 0; j < ordered.size(); ++j)
            EXPECT_EQ(natural_order::Less(ordered[i], ordered[j]), i < j) << ordered[i] << " / " << ordered[j];
}

TEST(NaturalOrder, ADropGivesAProjectAloneOrTheFilesAndThePicturesDirectlyInEachFolder) {
    const wxString shots = test_files::Scratch("shots"), project = test_files::Scratch("walk.XML"), a = test_files::Scratch("a.png");
    ASSERT_TRUE(wxFileName::Mkdir(shots + "/sub", wxS_DIR_DEFAULT, wxPATH_MKDIR_FULL));
    for (const char* name : {"f10.png", "f2.JPEG", "F1.gif", "p.bmp", "q.jpg", "notes.txt", ".hidden.png", "sub/f3.png"})
        test_files::Write(shots + "/" + name, "x");
    const std::tuple<std::vector<wxString>, wxString, std::vector<wxString>> cases[] = {  // dropped, project, pictures
        {{shots, a}, "", {a, shots + "/F1.gif", shots + "/f2.JPEG", shots + "/f10.png", shots + "/p.bmp", shots + "/q.jpg"}},
        {{project}, project, {}},
        {{project, a}, "", {a, project}}};  // for the intake to refuse
    for (const auto& [dropped, alone, pictures] : cases) {
        EXPECT_EQ(dropped_files::Resolve(dropped).pictures, pictures) << dropped[0];
        EXPECT_EQ(dropped_files::Resolve(dropped).project, alone) << dropped[0];
    }
}
