// The export levels: decoded and composited by giflib, frames show their sources within each level's
// bounds; the encoder, the estimate, quintrel-gif's options and the stored level.
#include "app/export_level_setting.h"
#include "app/paths.h"
#include "cli/cli_options.h"
#include "cli/cli_run.h"
#include "project/project_file.h"
#include "tests/support/files.h"
#include "tests/support/gif_decoder.h"
#include "window/my_gifhandler/gif_export.h"
#include "window/my_gifhandler/lzw_encoder.h"
#include "window/my_gifhandler/optimised_gif_writer.h"

#include <wx/filename.h>
#include <wx/mstream.h>

#include <gtest/gtest.h>

#include <atomic>
#include <random>
#include <sstream>

namespace {

using gif_decoder::Psnr;
using test_files::Scratch;
namespace go = gif_optimise;
using Pictures = std::vector<wxImage>;

const go::Level kLevels[] = {go::kExact, go::kSmaller, go::kSmallest};

gif_export::Request Request(const Pictures& frames, go::Level level, unsigned threads = 2, int lossy = go::kDefaultLossy) {
    return {Scratch("out.gif"), frames.size(), frames[0].GetWidth(), frames[0].GetHeight(), 7, threads, level, lossy};
}

std::string Export(const Pictures& frames, go::Level level, unsigned threads = 2, int lossy = go::kDefaultLossy) {
    EXPECT_TRUE(gif_export::Export(Request(frames, level, threads, lossy), [&](size_t i) { return frames[i].Copy(); }).ok);
    return test_files::Read(Scratch("out.gif"));
}

// The frames as a viewer shows them.
std::vector<gif_decoder::Frame> Shown(const std::string& bytes) { return gif_decoder::Decode({bytes.begin(), bytes.end()}).frames; }

// Smooth gradients with grain that moves with the picture (seen `shift` pixels to the right), or flat colours.
wxImage Picture(int width, int height, int shift, unsigned seed, bool photo = true) {
    wxImage image(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const int u = x + shift, grain = int(((unsigned(u) * 73856093u) ^ (unsigned(y) * 19349663u) ^ seed) % 9) - 4;
            if (photo)
                image.SetRGB(x, y, std::clamp(u * 255 / (width + 40) + grain, 0, 255),
                             std::clamp(y * 255 / height + grain, 0, 255), std::clamp((u + y) % 200 + grain, 0, 255));
            else
                image.SetRGB(x, y, x < width / 2 ? 200 : 20, y < height / 2 ? 40 : 160, 90);
        }
    return image;
}

}  // namespace

// A first frame, the same again, one corner pixel changed, every pixel changed; flat colours must come
// back exactly, photographs within the exact level's dithering noise (a little more when lossy).
TEST(OptimisedFrames, ShowTheirSourcesWithTheRightRectanglesAndTransparency) {
    const int w = 64, h = 48;
    for (const bool photo : {false, true})
        for (const go::Level level : {go::kSmaller, go::kSmallest}) {
            SCOPED_TRACE(testing::Message() << "photo " << photo << ", level " << level);
            Pictures frames(4, Picture(w, h, 0, 1, photo));
            frames[2] = frames[0].Copy(), frames[3] = frames[0].Copy();
            frames[2].SetRGB(w - 1, h - 1, 255, 255, 255);
            for (size_t i = 0; i < size_t(w) * h * 3; ++i)
                frames[3].GetData()[i] = 255 - frames[0].GetData()[i];
            const auto shown = Shown(Export(frames, level)), exact = Shown(Export(frames, go::kExact));
            ASSERT_TRUE(shown.size() == 4 && exact.size() == 4);
            const int rect[4][5] = {{0, 0, w, h, 0}, {0, 0, 1, 1, 1}, {w - 1, h - 1, 1, 1, 1}, {0, 0, w, h, 1}};
            for (size_t i = 0; i < 4; ++i) {
                EXPECT_EQ(shown[i].disposal, DISPOSE_DO_NOT) << i;
                EXPECT_EQ(std::vector<int>({shown[i].left, shown[i].top, shown[i].width, shown[i].height,
                                            shown[i].transparentIndex != NO_TRANSPARENT_COLOR}),
                          std::vector<int>(rect[i], rect[i] + 5)) << i;
                const double bound = photo ? Psnr(exact[i].screen, frames[i].GetData()) - (level == go::kSmaller ? 1 : 4) : 100;
                EXPECT_GE(Psnr(shown[i].screen, frames[i].GetData()), bound) << i;
            }
            EXPECT_EQ(shown[1].indices, std::vector<int>{shown[1].transparentIndex});  // nothing changed
        }
}

// A slow pan with a still stretch in the middle.
TEST(OptimisedExport, SameBytesOnAnyThreadCountFewerByLevelAndLossyWithinItsBoundLoopingForEver) {
    Pictures frames;
    for (int i = 0; i < 8; ++i)
        frames.push_back(Picture(96, 64, std::min(i, 4) * 3, 7));
    size_t previous = SIZE_MAX;
    for (const go::Level level : kLevels) {
        const std::string one = Export(frames, level, 1);
        EXPECT_TRUE(Export(frames, level, 2) == one && Export(frames, level, 4) == one) << level;
        EXPECT_LT(one.size(), previous) << level;
        previous = one.size();
    }
    const std::string strong = Export(frames, go::kSmallest, 2, go::kMaxLossy);  // smaller: see the command's test
    const gif_decoder::Animation shown = gif_decoder::Decode({strong.begin(), strong.end()});
    ASSERT_EQ(shown.frames.size(), frames.size());
    EXPECT_EQ(shown.loopCount, 0);  // for ever
    for (size_t i = 0; i < frames.size(); ++i)
        EXPECT_GE(Psnr(shown.frames[i].screen, frames[i].GetData()), 20.0) << "frame " << i;
}

// Short, long (the table fills and is cleared many times), runs and noise, at every code size.
TEST(LzwEncoder, GiflibDecodesWhatWasEncoded) {
    std::mt19937 random(3);
    for (const int bits : {1, 2, 5, 8})
        for (const size_t length : {1, 2, 300, 200000})
            for (const bool noise : {false, true}) {
                SCOPED_TRACE(testing::Message() << bits << " bits, " << length << " pixels, noise " << noise);
                go::Frame frame;
                frame.width = int(std::min<size_t>(length, 500)), frame.height = int(length / frame.width);
                frame.palette.resize((1u << bits) - 1);
                frame.usesGlobalPalette = true;
                frame.minCodeSize = std::max(2, bits);
                std::vector<uint8_t> indices(length);
                for (size_t i = 0; i < length; ++i)
                    indices[i] = uint8_t((noise ? random() : i / 97) % (1u << bits));
                std::vector<uint8_t> encoded = indices;  // lossless must leave them alone: compared below
                frame.lzwData = lzw::Encode(encoded, frame.minCodeSize);
                wxMemoryOutputStream stream;
                ASSERT_TRUE(go::WriteHeader(stream, frame.width, frame.height, frame.palette) && go::WriteFrame(stream, frame, 0));
                stream.PutC(0x3B);
                std::string bytes(stream.GetSize(), '\0');
                stream.CopyTo(bytes.data(), bytes.size());
                EXPECT_EQ(Shown(bytes).at(0).indices, std::vector<int>(indices.begin(), indices.end()));
            }
}

// Sixty frames of a pan, or of a square moving over flat colours, estimated from a sample.
TEST(SizeEstimate, IsWithinTenPercentOfTheWrittenSizeAndRefusesWhatExportRefuses) {
    for (const bool photo : {true, false})
        for (const go::Level level : kLevels) {
            SCOPED_TRACE(testing::Message() << "photo " << photo << ", level " << level);
            Pictures frames;
            for (int i = 0; i < 60; ++i) {
                frames.push_back(Picture(80, 60, photo ? i * 2 : 0, 5, photo));
                if (!photo)
                    frames.back().SetRGB(wxRect(i * 3 % 65, 20, 15, 15), 250, 250, 0);
            }
            gif_export::Request request = Request(frames, level);
            std::atomic<size_t> asked{0};  // the source is called on the export's workers
            const auto source = [&](size_t i) { return ++asked, frames[i].Copy(); };
            const gif_export::SizeEstimate estimate = gif_export::EstimateSize(request, source);
            ASSERT_TRUE(estimate.ok) << estimate.reason;
            EXPECT_LT(asked.load(), frames.size() / 2);  // a sample, not the whole animation
            const double real = double(Export(frames, level).size());
            EXPECT_NEAR(double(estimate.bytes), real, real * 0.10);
            request.frameCount = 0;  // nothing to average: the export's refusal, not a division by zero
            EXPECT_FALSE(gif_export::EstimateSize(request, source).ok);
        }
}

TEST(CliOptimise, BadValuesAreRefusedWithAReason) {
    const std::pair<std::vector<wxString>, const char*> table[] = {
        {{"-O", "3"}, "-O takes 0 (exact), 1 (smaller) or 2 (smallest), not \"3\""}, {{"-O"}, "-O needs a value"},
        {{"--optimise="}, "--optimise takes 0"}, {{"--optimise=1x"}, "not \"1x\""}, {{"-O", "2", "--lossy=101"}, "not \"101\""},
        {{"-O", "2", "--lossy=0"}, "--lossy takes a whole number from 1 to 100, not \"0\""},
        {{"-O", "1", "--lossy=20"}, "--lossy is the strength of -O 2"}, {{"--estimate", "--save-project", "p.xml"}, "--estimate writes"},
    };
    for (const auto& [options, complaint] : table) {
        std::vector<wxString> arguments = {"a.png", "-o", "a.gif"};  // the option last, so that it may lack its value
        arguments.insert(arguments.end(), options.begin(), options.end());
        const cli::ParsedArguments parsed = cli::ParseArguments(arguments);
        EXPECT_TRUE(!parsed.ok && parsed.error.Contains(complaint)) << complaint << ": " << parsed.error;
    }
}

// Few frames: the estimate encodes them all, so it must match exactly, and it writes nothing. The
// default strength and the strongest, through both spellings of the level; the other levels reaching the
// export, and exact being the default, are shown by the command's own tests.
TEST(CliOptimise, LossyStrengthReachesTheExportAndTheEstimateForetellsTheSize) {
    const wxString a = test_files::RampFile("a.png", 48, 32, 1), b = test_files::RampFile("b.png", 48, 32, 2);
    std::vector<size_t> sizes;
    for (std::vector<wxString> arguments : {std::vector<wxString>{"-O", "2"}, {"--optimise=2", "--lossy=100"}}) {
        const wxString gif = Scratch(wxString::Format("level%zu.gif", sizes.size()));
        arguments.insert(arguments.end(), {a, b, "-o", gif, "--estimate"});
        std::ostringstream estimate, out, err;
        ASSERT_EQ(cli::Main(arguments, {estimate, err, false}), cli::kDone) << err.str();
        EXPECT_FALSE(wxFileName::FileExists(gif));
        arguments.pop_back();
        ASSERT_EQ(cli::Main(arguments, {out, err, false}), cli::kDone) << err.str();
        sizes.push_back(test_files::Read(gif).size());
        EXPECT_EQ(estimate.str(), std::to_string(sizes.back()) + "\n");
    }
    EXPECT_LT(sizes[1], sizes[0]);
}

TEST(ExportLevelSetting, ReadsOnlyALevelAndFallsBackToExact) {
    wxMkdir(paths::DataFolder());
    EXPECT_EQ(export_level_setting::Read(), 0);  // nothing saved yet
    const std::pair<std::string, int> table[] = {{"1", 1}, {" 2\n", 2}, {"3", 0}, {"-1", 0}, {"abc", 0}, {"", 0},
        {"99999999999999999999", 0}, {std::string(1 << 20, '1'), 0}, {std::string("\0\xff", 2), 0}};
    for (const auto& [contents, level] : table) {
        test_files::Write(paths::DataFolder() + "/export_level.txt", contents);
        EXPECT_EQ(export_level_setting::Read(), level) << contents.substr(0, 20);
    }
}

// At level 0 the project is written as before levels existed; a level out of range is read as exact. (A
// level carried out and back in is the command's test.)
TEST(ProjectExportLevel, ExactIsNotStoredAndALevelOutOfRangeIsReadAsExact) {
    const wxString path = Scratch("work.xml");
    ASSERT_TRUE(project_file::Save(path, {"", 20, 10, 5, 0, {"/a.png"}}).ok);
    EXPECT_EQ(test_files::Read(path).find("export_level"), std::string::npos);
    ASSERT_TRUE(project_file::Save(path, {"", 20, 10, 5, 2, {"/a.png"}}).ok);
    std::string text = test_files::Read(path);
    test_files::Write(path, text.replace(text.find(">2</export_level>"), 2, ">7"));
    const project_file::ReadResult read = project_file::Read(path);
    EXPECT_TRUE(read.ok && read.contents.level == 0) << read.reason;
}
