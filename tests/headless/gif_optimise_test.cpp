// The smaller export levels: decoded and composited by giflib, every frame must show its source
// within the level's bounds, with the rectangle, disposal and transparency a GIF89a decoder needs.

#include "tests/support/isolated_home.h"
#include "window/my_gifhandler/gif_export.h"
#include "window/my_gifhandler/lzw_encoder.h"
#include "window/my_gifhandler/optimised_gif_writer.h"

#include <wx/ffile.h>
#include <wx/mstream.h>

#include <gif_lib.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>

namespace {

using Bytes = std::vector<unsigned char>;

struct DecodedFrame {
    int left, top, width, height;
    int disposal;
    int transparentIndex;
    std::vector<int> indices;
    Bytes canvas;  // RGB of the whole screen after this frame, as a viewer shows it
};

// Decodes with giflib and composites each frame over the previous screen.
std::vector<DecodedFrame> DecodeAndComposite(const Bytes& bytes, int& screenWidth, int& screenHeight) {
    struct Reader {
        const Bytes* bytes;
        size_t position;
    } reader{&bytes, 0};
    auto read = [](GifFileType* gif, GifByteType* out, int n) -> int {
        auto* r = static_cast<Reader*>(gif->UserData);
        const size_t count = std::min<size_t>(n, r->bytes->size() - r->position);
        std::memcpy(out, r->bytes->data() + r->position, count);
        r->position += count;
        return static_cast<int>(count);
    };
    int error = 0;
    GifFileType* gif = DGifOpen(&reader, read, &error);
    std::vector<DecodedFrame> frames;
    if (!gif)
        return frames;
    if (DGifSlurp(gif) == GIF_OK) {
        screenWidth = gif->SWidth;
        screenHeight = gif->SHeight;
        Bytes screen(size_t(gif->SWidth) * gif->SHeight * 3, 0);
        for (int i = 0; i < gif->ImageCount; ++i) {
            const SavedImage& image = gif->SavedImages[i];
            GraphicsControlBlock control{};
            DGifSavedExtensionToGCB(gif, i, &control);
            DecodedFrame frame{image.ImageDesc.Left, image.ImageDesc.Top, image.ImageDesc.Width,
                               image.ImageDesc.Height, control.DisposalMode, control.TransparentColor, {}, {}};
            const ColorMapObject* map = image.ImageDesc.ColorMap ? image.ImageDesc.ColorMap : gif->SColorMap;
            for (int p = 0; p < frame.width * frame.height; ++p) {
                const int index = image.RasterBits[p];
                frame.indices.push_back(index);
                const int x = frame.left + p % frame.width, y = frame.top + p / frame.width;
                if (index == frame.transparentIndex || x >= gif->SWidth || y >= gif->SHeight)
                    continue;
                const GifColorType colour = map->Colors[index];
                unsigned char* out = &screen[(size_t(y) * gif->SWidth + x) * 3];
                out[0] = colour.Red;
                out[1] = colour.Green;
                out[2] = colour.Blue;
            }
            frame.canvas = screen;
            frames.push_back(std::move(frame));
        }
    }
    DGifCloseFile(gif, &error);
    return frames;
}

Bytes ReadFile(const wxString& path) {
    wxFFile file(path, "rb");
    Bytes bytes(file.IsOpened() ? file.Length() : 0);
    if (!bytes.empty())
        file.Read(bytes.data(), bytes.size());
    return bytes;
}

wxString Target(const char* name) { return wxString(IsolatedHomeListener::CurrentHome()) + "/" + name; }

Bytes ExportFrames(const std::vector<wxImage>& frames, gif_optimise::Level level, unsigned threads = 2,
                   int lossy = gif_optimise::kDefaultLossy) {
    gif_export::Request request;
    request.path = Target("optimised.gif");
    request.frameCount = frames.size();
    request.width = frames[0].GetWidth();
    request.height = frames[0].GetHeight();
    request.delay = 7;
    request.threads = threads;
    request.level = level;
    request.lossy = lossy;
    const auto source = [&](size_t index) { return frames[index].Copy(); };
    EXPECT_TRUE(gif_export::Export(request, source).ok);
    return ReadFile(request.path);
}

// A photograph-like picture seen from `shift` pixels to the right: smooth gradients with grain
// that moves with the picture, far more than 256 colours.
wxImage Photo(int width, int height, int shift, unsigned seed) {
    wxImage image(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const int u = x + shift;
            const int grain = int(((unsigned(u) * 73856093u) ^ (unsigned(y) * 19349663u) ^ seed) % 9) - 4;
            image.SetRGB(x, y, std::clamp(u * 255 / (width + 40) + grain, 0, 255),
                         std::clamp(y * 255 / height + grain, 0, 255), std::clamp((u + y) % 200 + grain, 0, 255));
        }
    return image;
}

// A few flat colours: the palette is exact.
wxImage Flat(int width, int height) {
    wxImage image(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.SetRGB(x, y, x < width / 2 ? 200 : 20, y < height / 2 ? 40 : 160, 90);
    return image;
}

wxImage WithCornerPixel(const wxImage& image) {
    wxImage changed = image.Copy();
    changed.SetRGB(image.GetWidth() - 1, image.GetHeight() - 1, 255, 255, 255);
    return changed;
}

wxImage Inverted(const wxImage& image) {
    wxImage inverted = image.Copy();
    unsigned char* data = inverted.GetData();
    for (size_t i = 0; i < size_t(image.GetWidth()) * image.GetHeight() * 3; ++i)
        data[i] = 255 - data[i];
    return inverted;
}

double Psnr(const Bytes& shown, const wxImage& source) {
    double squares = 0;
    for (size_t i = 0; i < shown.size(); ++i)
        squares += std::pow(double(shown[i]) - source.GetData()[i], 2);
    return squares == 0 ? 100.0 : 10 * std::log10(255.0 * 255.0 * shown.size() / squares);
}

int LargestChannelError(const Bytes& shown, const wxImage& source) {
    int largest = 0;
    for (size_t i = 0; i < shown.size(); ++i)
        largest = std::max(largest, std::abs(int(shown[i]) - source.GetData()[i]));
    return largest;
}

struct Scenario {
    const char* name;
    bool photo;  // else flat colours, kept exactly
    gif_optimise::Level level;
};

class OptimisedFrames : public testing::TestWithParam<Scenario> {};

// A first frame, the same frame again, one corner pixel changed, every pixel changed.
TEST_P(OptimisedFrames, ShowTheirSourcesWithTheRightRectanglesAndTransparency) {
    const Scenario scenario = GetParam();
    const int width = 64, height = 48;
    const wxImage first = scenario.photo ? Photo(width, height, 0, 1) : Flat(width, height);
    const std::vector<wxImage> frames = {first, first.Copy(), WithCornerPixel(first), Inverted(first)};
    const Bytes bytes = ExportFrames(frames, scenario.level);
    const Bytes exact = ExportFrames(frames, gif_optimise::kExact);
    int screenWidth = 0, screenHeight = 0;
    const std::vector<DecodedFrame> decoded = DecodeAndComposite(bytes, screenWidth, screenHeight);
    const std::vector<DecodedFrame> reference = DecodeAndComposite(exact, screenWidth, screenHeight);
    ASSERT_EQ(decoded.size(), frames.size());
    ASSERT_EQ(reference.size(), frames.size());
    EXPECT_EQ(screenWidth, width);
    EXPECT_EQ(screenHeight, height);

    const struct {
        int left, top, width, height;
        bool transparent;
    } expected[] = {{0, 0, width, height, false}, {0, 0, 1, 1, true}, {width - 1, height - 1, 1, 1, true},
                    {0, 0, width, height, true}};
    for (size_t i = 0; i < frames.size(); ++i) {
        SCOPED_TRACE(testing::Message() << "frame " << i);
        const DecodedFrame& frame = decoded[i];
        EXPECT_EQ(frame.disposal, DISPOSE_DO_NOT);
        EXPECT_EQ(frame.left, expected[i].left);
        EXPECT_EQ(frame.top, expected[i].top);
        EXPECT_EQ(frame.width, expected[i].width);
        EXPECT_EQ(frame.height, expected[i].height);
        EXPECT_EQ(frame.transparentIndex != NO_TRANSPARENT_COLOR, expected[i].transparent);
        if (scenario.photo) {
            // Within the dithering noise of the exact level; the lossy level may lose a little more.
            const double allowed = scenario.level == gif_optimise::kSmaller ? 1.0 : 4.0;
            EXPECT_GE(Psnr(frame.canvas, frames[i]), Psnr(reference[i].canvas, frames[i]) - allowed);
        } else {
            EXPECT_EQ(LargestChannelError(frame.canvas, frames[i]), 0);
        }
    }
    // Nothing changed in the second frame: its one pixel is transparent.
    ASSERT_EQ(decoded[1].indices.size(), 1u);
    EXPECT_EQ(decoded[1].indices[0], decoded[1].transparentIndex);
}

INSTANTIATE_TEST_SUITE_P(Levels, OptimisedFrames,
                         testing::Values(Scenario{"FlatSmaller", false, gif_optimise::kSmaller},
                                         Scenario{"FlatSmallest", false, gif_optimise::kSmallest},
                                         Scenario{"PhotoSmaller", true, gif_optimise::kSmaller},
                                         Scenario{"PhotoSmallest", true, gif_optimise::kSmallest}),
                         [](const testing::TestParamInfo<Scenario>& info) { return info.param.name; });

// A slow pan over a photograph-like picture, with a still stretch in the middle.
std::vector<wxImage> Pan(int count, int width, int height) {
    std::vector<wxImage> frames;
    for (int i = 0; i < count; ++i)
        frames.push_back(Photo(width, height, std::min(i, count / 2) * 3, 7));
    return frames;
}

TEST(OptimisedExport, BytesDoNotDependOnTheThreadCountAndShrinkByLevel) {
    const std::vector<wxImage> frames = Pan(8, 96, 64);
    size_t previousSize = SIZE_MAX;
    for (const gif_optimise::Level level : {gif_optimise::kExact, gif_optimise::kSmaller, gif_optimise::kSmallest}) {
        SCOPED_TRACE(testing::Message() << "level " << level);
        const Bytes one = ExportFrames(frames, level, 1);
        EXPECT_EQ(ExportFrames(frames, level, 2), one);
        EXPECT_EQ(ExportFrames(frames, level, 4), one);
        EXPECT_LT(one.size(), previousSize);
        previousSize = one.size();
    }
}

TEST(OptimisedExport, StrongerLossyGivesFewerBytesWithinItsBound) {
    const std::vector<wxImage> frames = Pan(6, 96, 64);
    const Bytes mild = ExportFrames(frames, gif_optimise::kSmallest, 2, 5);
    const Bytes strong = ExportFrames(frames, gif_optimise::kSmallest, 2, gif_optimise::kMaxLossy);
    EXPECT_LT(strong.size(), mild.size());
    int screenWidth = 0, screenHeight = 0;
    const std::vector<DecodedFrame> decoded = DecodeAndComposite(strong, screenWidth, screenHeight);
    ASSERT_EQ(decoded.size(), frames.size());
    for (size_t i = 0; i < frames.size(); ++i)
        EXPECT_GE(Psnr(decoded[i].canvas, frames[i]), 20.0) << "frame " << i;
}

// The encoder's codes, decoded by giflib, give back the indices: short, long (the table fills and
// is cleared many times), one colour, and noise, at every code size.
TEST(LzwEncoder, GiflibDecodesWhatWasEncoded) {
    std::mt19937 random(3);
    for (const int bits : {1, 2, 5, 8}) {
        const int colours = 1 << bits;
        for (const size_t length : {size_t(1), size_t(2), size_t(300), size_t(200000)}) {
            for (const bool noise : {false, true}) {
                SCOPED_TRACE(testing::Message() << bits << " bits, " << length << " pixels, noise " << noise);
                gif_optimise::Frame frame;
                frame.width = static_cast<int>(std::min<size_t>(length, 500));
                frame.height = static_cast<int>(length / frame.width);
                frame.palette.resize(size_t(colours - 1));
                for (int c = 0; c + 1 < colours; ++c)
                    frame.palette[c] = {static_cast<unsigned char>(c), 0, 0};
                frame.usesGlobalPalette = true;
                frame.minCodeSize = std::max(2, bits);
                std::vector<uint8_t> indices(length);
                for (size_t i = 0; i < length; ++i)
                    indices[i] = static_cast<uint8_t>(noise ? random() % colours : (i / 97) % colours);
                std::vector<uint8_t> encoded = indices;
                frame.lzwData = lzw::Encode(encoded, frame.minCodeSize);
                ASSERT_EQ(encoded, indices);  // lossless leaves the indices alone
                wxMemoryOutputStream stream;
                ASSERT_TRUE(gif_optimise::WriteHeader(stream, frame.width, frame.height, frame.palette));
                ASSERT_TRUE(gif_optimise::WriteFrame(stream, frame, 0));
                const unsigned char trailer = 0x3B;
                stream.Write(&trailer, 1);
                Bytes bytes(stream.GetSize());
                stream.CopyTo(bytes.data(), bytes.size());
                int screenWidth = 0, screenHeight = 0;
                const std::vector<DecodedFrame> decoded = DecodeAndComposite(bytes, screenWidth, screenHeight);
                ASSERT_EQ(decoded.size(), 1u);
                EXPECT_TRUE(std::equal(indices.begin(), indices.end(), decoded[0].indices.begin(),
                                       decoded[0].indices.end()));
            }
        }
    }
}

struct EstimateCase {
    const char* name;
    bool photo;
    gif_optimise::Level level;
};

class SizeEstimate : public testing::TestWithParam<EstimateCase> {};

TEST_P(SizeEstimate, IsWithinTenPercentOfTheWrittenSize) {
    const EstimateCase c = GetParam();
    std::vector<wxImage> frames;
    if (c.photo) {
        for (int i = 0; i < 60; ++i)
            frames.push_back(Photo(80, 60, i * 2, 5));
    } else {
        // A square moving over flat colours.
        for (int i = 0; i < 60; ++i) {
            wxImage frame = Flat(80, 60);
            for (int y = 20; y < 35; ++y)
                for (int x = 0; x < 15; ++x)
                    frame.SetRGB((x + i * 3) % 80, y, 250, 250, 0);
            frames.push_back(frame);
        }
    }
    gif_export::Request request;
    request.frameCount = frames.size();
    request.width = 80;
    request.height = 60;
    request.delay = 10;
    request.level = c.level;
    std::vector<size_t> asked;
    const gif_export::SizeEstimate estimate = gif_export::EstimateSize(request, [&](size_t index) {
        asked.push_back(index);
        return frames[index].Copy();
    });
    ASSERT_TRUE(estimate.ok) << estimate.reason;
    EXPECT_EQ(asked, gif_export::EstimatedFrames(frames.size()));
    EXPECT_LT(asked.size(), frames.size() / 2);  // a sample, not the whole animation
    const double real = double(ExportFrames(frames, c.level).size());
    EXPECT_NEAR(double(estimate.bytes), real, real * 0.10);
}

INSTANTIATE_TEST_SUITE_P(Sets, SizeEstimate,
                         testing::Values(EstimateCase{"PhotoExact", true, gif_optimise::kExact},
                                         EstimateCase{"PhotoSmaller", true, gif_optimise::kSmaller},
                                         EstimateCase{"PhotoSmallest", true, gif_optimise::kSmallest},
                                         EstimateCase{"MotionSmaller", false, gif_optimise::kSmaller},
                                         EstimateCase{"MotionSmallest", false, gif_optimise::kSmallest}),
                         [](const testing::TestParamInfo<EstimateCase>& info) { return info.param.name; });

TEST(SizeEstimateOfFewFrames, IsExactAndRefusesWhatExportRefuses) {
    const std::vector<wxImage> frames = Pan(3, 40, 30);
    for (const gif_optimise::Level level : {gif_optimise::kExact, gif_optimise::kSmallest}) {
        gif_export::Request request;
        request.frameCount = frames.size();
        request.width = 40;
        request.height = 30;
        request.level = level;
        const auto source = [&](size_t index) { return frames[index].Copy(); };
        const gif_export::SizeEstimate estimate = gif_export::EstimateSize(request, source);
        ASSERT_TRUE(estimate.ok);
        EXPECT_EQ(estimate.bytes, ExportFrames(frames, level).size());
        request.width = 0;
        EXPECT_FALSE(gif_export::EstimateSize(request, source).ok);
        request.width = 40;
        request.frameCount = 0;
        EXPECT_FALSE(gif_export::EstimateSize(request, source).ok);
    }
}

}  // namespace
