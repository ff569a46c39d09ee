// Small rules with large consequences: the output size, the frame labels, where the preview draws, and how
// the update check reads the newest version and compares versions.
#include "app/update_check.h"
#include "window/output_size.h"
#include "window/preview_fit.h"
#include "window/thumbnailctrl/frame_label.h"

#include "tests/support/files.h"

#include <wx/mstream.h>

#include <gtest/gtest.h>

TEST(OutputSize, ALargerSideInEitherDirectionReplacesBothNumbers) {
    const std::pair<std::vector<wxSize>, wxSize> cases[] = {
        {{}, {0, 0}}, {{{100, 50}, {50, 100}}, {50, 100}}, {{{50, 100}, {100, 50}}, {100, 50}},
        {{{320, 240}, {0, 0}, {320, 240}}, {320, 240}}, {{{320, 240}, {640, 10}}, {640, 10}}};
    for (const auto& [sizes, best] : cases)
        EXPECT_EQ(output_size::FindBestSize(sizes), best);
}

TEST(OutputSize, ProportionsTruncateAndAZeroReferenceGivesNoAnswer) {
    int h = -1, w = -1;
    EXPECT_TRUE(output_size::HeightForWidth(200, 400, 300, h) && output_size::WidthForHeight(100, 400, 300, w));
    EXPECT_EQ(wxSize(w, h), wxSize(133, 150));
    EXPECT_TRUE(output_size::HeightForWidth(100, 300, 400, h) && output_size::WidthForHeight(200, 300, 400, w));
    EXPECT_EQ(wxSize(w, h), wxSize(150, 133));
    h = w = 7;
    EXPECT_FALSE(output_size::HeightForWidth(200, 0, 300, h) || output_size::WidthForHeight(100, 400, 0, w));
    EXPECT_EQ(wxSize(w, h), wxSize(7, 7));
    EXPECT_TRUE(output_size::HeightForWidth(65535, 65535, 65535, h));  // wraps, without undefined behaviour
}

TEST(FrameLabel, NumberFromOneAndStartTimeInSinglePrecision) {
    const struct {
        int index, delay;
        const char* label;
    } cases[] = {{0, 10, "#1  0.00sec"}, {3, 10, "#4  0.30sec"}, {99, 3, "#100  2.97sec"}, {9, 0, "#10  0.00sec"},
                 {198601, 33, "#198602  65538.34sec"}};  // double precision would say 65538.33
    for (const auto& c : cases)
        EXPECT_EQ(FrameLabel(c.index, c.delay), c.label);
}

TEST(PreviewFit, ShrinksByTheSmallerRatioCentresAndNeverEnlarges) {
    const struct {
        wxSize panel, picture;
        wxRect placed;
    } cases[] = {{{400, 400}, {800, 600}, {0, 50, 400, 300}},   {{400, 400}, {600, 800}, {50, 0, 300, 400}},
                 {{400, 300}, {800, 100}, {0, 125, 400, 50}},   {{400, 300}, {1920, 1080}, {0, 37, 400, 225}},
                 {{400, 400}, {100, 50}, {150, 175, 100, 50}},  {{101, 101}, {10, 10}, {45, 45, 10, 10}},
                 {{400, 400}, {0, 0}, {}},                      {{0, 0}, {800, 600}, {}},
                 {{400, 300}, {4000, 5}, {}}};
    for (const auto& c : cases) {
        const wxRect placed = preview_fit::Place(c.panel, c.picture);
        if (c.placed.IsEmpty())
            EXPECT_TRUE(placed.IsEmpty()) << c.picture.x;
        else
            EXPECT_EQ(placed, c.placed) << c.picture.x;
    }
}

TEST(UpdateCheck, NewestVersionIsTheAttributeAfterTheProductsNameInTheLastMatchingElement) {
    const auto products = [](const std::string& elements) { return "<?xml version=\"1.0\"?>\n<p>" + elements + "</p>"; };
    const std::string deep = "<v><p name=\"Quintrel Tavelle\" version=\"9.9\"/>" + test_files::Repeat("<a>", 150000);
    const std::pair<std::string, const char*> cases[] = {
        {products("<p name=\"Quintrel Tavelle\" version=\"1.3.0\"/>"), "1.3.0"},
        {products("<o a=\"Tool\" b=\"9\"/><i code=\"Q\" t=\"Quintrel Tavelle\" v=\"2.0.1\" x=\"y\"/>"), "2.0.1"},
        {products("<p n=\"Quintrel Tavelle\" v=\"1.4\"/><p n=\"Quintrel Tavelle\" v=\"1.3\"/>"), "1.3"},
        {products("<p n=\"Quintrel Tavelle\" v=\"1.4\" m=\"Quintrel Tavelle\" w=\"1.5\"/>"), "1.4"},
        {products("<p version=\"1.3.0\" name=\"Quintrel Tavelle\"/>"), ""},
        {products("<p name=\"quintrel tavelle\" version=\"1.3.0\"/>"), ""},
        {products("<p>Quintrel Tavelle</p><g><p name=\"Quintrel Tavelle\" v=\"1.3\"/></g>"), ""},
        {products("<p name=\"Quintrel Tavelle\" version=\"1.3 \xc3\x9f\"/>"), "1.3 \xc3\x9f"},
        {products("<p name=\"Quintrel Tavelle\" version=\"1.3\"/><unclosed>"), ""},
        {"", ""}, {"Quintrel Tavelle 1.3.0", ""}, {"<?xml?>", ""},
        // Nested too deep for the toolkit's recursive parser, closed or not.
        {deep, ""}, {deep + test_files::Repeat("</a>", 150000) + "</v>", ""}};
    for (const auto& [document, version] : cases) {
        wxMemoryInputStream stream(document.data(), document.size());
        EXPECT_EQ(ReadNewestVersion(stream), wxString::FromUTF8(version)) << document.substr(0, 100);
    }
}

TEST(UpdateCheck, VersionsAreOrderedNumericallyPartByPart) {
    // Each is older than the next; equal spellings of one version follow in the second table.
    const std::vector<const char*> sorted = {"", "0.1", "0.9.9", "1", "1.0.0.1", "1.2", "1.2.6", "1.2.6.1", "1.2.9",
                                             "1.2.10", "1.9", "1.10", "1.239", "1.240", "1.255", "1.65265", "2",
                                             "10", "240", "70000", "4294967295"};
    for (size_t i = 0; i < sorted.size(); ++i)
        for (size_t j = 0; j < sorted.size(); ++j) {
            const int result = CompareVersions(sorted[i], sorted[j]);
            EXPECT_EQ((result > 0) - (result < 0), (i > j) - (i < j)) << sorted[i] << " vs " << sorted[j];
        }
    const std::pair<const char*, const char*> equal[] = {
        {"1.2", "1.2.0.0"}, {"1.02", "1.2"}, {"", "0"}, {" 1.2.6 ", "1.2.6"}, {"1.2.6-beta", "1.2.6"},
        {"1.4294967295", "1.99999999999999999999"}, {"1.2.3.4.5.6.7.8.9.1", "1.2.3.4.5.6.7.8.9.2"},  // nine bytes
        {"4000000000.1.2.3.4.5", "4000000000.1.2.3.4.6"}};
    for (const auto& [a, b] : equal)
        EXPECT_EQ(CompareVersions(a, b), 0) << a << " == " << b;
}
