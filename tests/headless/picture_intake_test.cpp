#include "picture/picture_intake.h"

#include "tests/support/picture_bytes.h"

#include <wx/colour.h>
#include <wx/filename.h>
#include <wx/mstream.h>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <functional>
#include <random>
#include <set>
#include <string>

namespace {

using picture_bytes::Bytes;
using picture_intake::Outcome;
using picture_intake::Refusal;

Outcome DecodeBytes(const Bytes& bytes) {
    wxMemoryInputStream stream(bytes.data(), bytes.size());
    return picture_intake::Decode(stream);
}

size_t JpegFrameOffset(const Bytes& jpeg) {
    for (size_t i = 2; i + 1 < jpeg.size(); ++i) {
        if (jpeg[i] == 0xFF && (jpeg[i + 1] == 0xC0 || jpeg[i + 1] == 0xC2))
            return i;
    }
    return 0;
}

void PutBigEndian(Bytes& bytes, size_t at, unsigned value, int size) {
    for (int i = 0; i < size; ++i)
        bytes[at + i] = static_cast<unsigned char>(value >> (8 * (size - 1 - i)));
}

void PutLittleEndian(Bytes& bytes, size_t at, unsigned value, int size) {
    for (int i = 0; i < size; ++i)
        bytes[at + i] = static_cast<unsigned char>(value >> (8 * i));
}

// One format: a good 32x24 file, where its header ends and how to state another size in it.
struct Format {
    const char* name;
    size_t signature;  // bytes that tell the format
    std::function<Bytes()> make;
    std::function<size_t(const Bytes&)> headerEnd;
    std::function<void(Bytes&, long long width, long long height)> setSize;
};

std::vector<Format> Formats() {
    return {
        {"png", 8, [] { return picture_bytes::Encode(picture_bytes::Ramp(32, 24), wxBITMAP_TYPE_PNG); },
         [](const Bytes&) { return size_t(33); },
         [](Bytes& b, long long w, long long h) {
             PutBigEndian(b, 16, unsigned(w), 4);
             PutBigEndian(b, 20, unsigned(h), 4);
         }},
        {"jpeg", 3, [] { return picture_bytes::Encode(picture_bytes::Ramp(32, 24), wxBITMAP_TYPE_JPEG); },
         [](const Bytes& b) { return JpegFrameOffset(b) + 19; },
         [](Bytes& b, long long w, long long h) {
             const size_t frame = JpegFrameOffset(b);
             PutBigEndian(b, frame + 5, unsigned(h), 2);
             PutBigEndian(b, frame + 7, unsigned(w), 2);
         }},
        {"bmp", 2, [] { return picture_bytes::Encode(picture_bytes::Ramp(32, 24), wxBITMAP_TYPE_BMP); },
         [](const Bytes&) { return size_t(54); },
         [](Bytes& b, long long w, long long h) {
             PutLittleEndian(b, 18, unsigned(w), 4);
             PutLittleEndian(b, 22, unsigned(h), 4);
         }},
        {"gif", 6, [] { return picture_bytes::Gif({32, 24, -1, false}); },
         [](const Bytes&) { return size_t(35); },
         [](Bytes& b, long long w, long long h) {
             PutLittleEndian(b, 6, unsigned(w), 2);
             PutLittleEndian(b, 8, unsigned(h), 2);
             PutLittleEndian(b, 30, unsigned(w), 2);
             PutLittleEndian(b, 32, unsigned(h), 2);
         }},
    };
}

class EachFormat : public testing::TestWithParam<Format> {};

TEST_P(EachFormat, GoodFileIsTakenAtItsSize) {
    const Outcome outcome = DecodeBytes(GetParam().make());
    ASSERT_TRUE(outcome.Taken()) << picture_intake::ReasonText(outcome);
    EXPECT_EQ(outcome.picture.GetSize(), wxSize(32, 24));
    EXPECT_TRUE(picture_intake::ReasonText(outcome).empty());
}

// Cut short anywhere: refused, or the part the decoder recovered at the stated size; never more.
TEST_P(EachFormat, TruncatedFileIsRefusedOrRecovered) {
    const Bytes whole = GetParam().make();
    for (size_t length : {size_t(0), size_t(1), size_t(7), size_t(20), size_t(40), size_t(100), whole.size() / 2,
                          whole.size() - 1}) {
        const Outcome outcome = DecodeBytes(Bytes(whole.begin(), whole.begin() + std::min(length, whole.size())));
        if (length < GetParam().signature) {
            EXPECT_EQ(outcome.refusal, Refusal::Unsupported) << length;
        } else if (length < GetParam().headerEnd(whole)) {
            EXPECT_EQ(outcome.refusal, Refusal::Damaged) << length;
        } else if (outcome.Taken()) {
            EXPECT_EQ(outcome.picture.GetSize(), wxSize(32, 24)) << length;
        } else {
            EXPECT_EQ(outcome.refusal, Refusal::Damaged) << length;
        }
    }
}

TEST_P(EachFormat, RandomBytesBehindTheHeaderNeverCrash) {
    const Bytes whole = GetParam().make();
    std::mt19937 random(20261207);
    for (int round = 0; round < 40; ++round) {
        Bytes bytes(whole.begin(), whole.begin() + GetParam().headerEnd(whole));
        for (int i = 0; i < 4096; ++i)
            bytes.push_back(static_cast<unsigned char>(random()));
        const Outcome outcome = DecodeBytes(bytes);
        EXPECT_TRUE(outcome.refusal == Refusal::Damaged || outcome.Taken()) << round;
        if (outcome.Taken()) {
            EXPECT_EQ(outcome.picture.GetSize(), wxSize(32, 24)) << round;
        }
    }
}

// Bytes of the good file changed at random, as a fuzzer would; the sanitized build checks the decoders.
TEST_P(EachFormat, MutatedFilesNeverCrash) {
    const Bytes whole = GetParam().make();
    std::mt19937 random(7);
    std::set<Refusal> seen;
    for (int round = 0; round < 300; ++round) {
        Bytes bytes = whole;
        for (int changes = 1 + round % 8; changes > 0; --changes)
            bytes[random() % bytes.size()] = static_cast<unsigned char>(random());
        const Outcome outcome = DecodeBytes(bytes);
        seen.insert(outcome.refusal);
        if (outcome.Taken()) {
            EXPECT_LE(outcome.picture.GetWidth(), picture_intake::kMaxSide);
            EXPECT_LE(outcome.picture.GetHeight(), picture_intake::kMaxSide);
        }
    }
    EXPECT_TRUE(seen.count(Refusal::None)) << "no mutation left a usable picture";
}

struct StatedSize {
    long long width;
    long long height;
    Refusal refusal;
    const char* formats;  // the formats whose header can state this size
};

// A BMP states a top-down picture with a negative height; a negative width means nothing.
TEST_P(EachFormat, StatedSizesAreCheckedBeforeDecoding) {
    const StatedSize sizes[] = {
        {0, 24, Refusal::Damaged, "png jpeg bmp gif"},
        {32, 0, Refusal::Damaged, "png jpeg bmp gif"},
        {-32, 24, Refusal::Damaged, "bmp"},
        {-32, 24, Refusal::TooLarge, "png"},  // 2^32 - 32 as the unsigned field reads
        {65535, 24, Refusal::TooLarge, "png jpeg bmp gif"},
        {65535, 65535, Refusal::TooLarge, "png jpeg bmp gif"},
        {2147483647, 24, Refusal::TooLarge, "png bmp"},
        {24, 2147483647, Refusal::TooLarge, "png bmp"},
        {16385, 1, Refusal::TooLarge, "png jpeg bmp gif"},
        {10000, 7000, Refusal::TooLarge, "png jpeg bmp gif"},
    };
    const std::string name = GetParam().name;
    for (const StatedSize& size : sizes) {
        if (std::string(size.formats).find(name) == std::string::npos)
            continue;
        Bytes bytes = GetParam().make();
        GetParam().setSize(bytes, size.width, size.height);
        const Outcome outcome = DecodeBytes(bytes);
        EXPECT_EQ(outcome.refusal, size.refusal) << size.width << "x" << size.height;
    }
}

INSTANTIATE_TEST_SUITE_P(Intake, EachFormat, testing::ValuesIn(Formats()),
                         [](const testing::TestParamInfo<Format>& info) { return std::string(info.param.name); });

TEST(PictureIntake, BmpWithNegativeHeightIsTopDown) {
    const Bytes bottomUp = picture_bytes::Encode(picture_bytes::Ramp(32, 24), wxBITMAP_TYPE_BMP);
    Bytes topDown = bottomUp;
    PutLittleEndian(topDown, 22, unsigned(-24), 4);
    const Outcome outcome = DecodeBytes(topDown);
    ASSERT_TRUE(outcome.Taken());
    const wxImage upright = DecodeBytes(bottomUp).picture;
    EXPECT_EQ(outcome.picture.GetRed(5, 0), upright.GetRed(5, 23));
    EXPECT_EQ(outcome.picture.GetGreen(5, 0), upright.GetGreen(5, 23));
}

TEST(PictureIntake, TooLargeReasonNamesTheSize) {
    Bytes png = picture_bytes::Encode(picture_bytes::Ramp(4, 4), wxBITMAP_TYPE_PNG);
    PutBigEndian(png, 16, 20000, 4);
    PutBigEndian(png, 20, 20000, 4);
    const Outcome outcome = DecodeBytes(png);
    EXPECT_EQ(outcome.refusal, Refusal::TooLarge);
    EXPECT_EQ(picture_intake::ReasonText(outcome),
              "20000 x 20000 px is above the limit of 16384 px a side and 64 megapixels");
}

TEST(PictureIntake, LargestAllowedSizesPassTheHeaderCheck) {
    // 8K passes, one pixel more area than the limit does not.
    for (const auto& [width, height, taken] : {std::tuple{7680, 4320, true}, std::tuple{16384, 3906, true},
                                               std::tuple{16384, 3907, false}, std::tuple{8000, 8001, false}}) {
        Bytes png = picture_bytes::Encode(picture_bytes::Ramp(4, 4), wxBITMAP_TYPE_PNG);
        PutBigEndian(png, 16, unsigned(width), 4);
        PutBigEndian(png, 20, unsigned(height), 4);
        // The pixel data no longer fits the size, so a passed header ends in a damaged picture.
        EXPECT_EQ(DecodeBytes(png).refusal, taken ? Refusal::Damaged : Refusal::TooLarge) << width << "x" << height;
    }
}

TEST(PictureIntake, GifLzwCodeSizes) {
    // Below 2 the decoder still recovers the one pixel; above 8 no code fits a byte of palette.
    const std::pair<unsigned char, Refusal> cases[] = {
        {2, Refusal::None}, {0, Refusal::None}, {1, Refusal::None},
        {9, Refusal::Damaged}, {12, Refusal::Damaged}, {15, Refusal::Damaged},
    };
    for (const auto& [codeSize, refusal] : cases) {
        const Outcome outcome = DecodeBytes(picture_bytes::GifWithCodeSize(codeSize));
        EXPECT_EQ(outcome.refusal, refusal) << int(codeSize);
        EXPECT_EQ(outcome.picture.IsOk() ? outcome.picture.GetSize() : wxSize(), refusal == Refusal::None ? wxSize(1, 1) : wxSize())
            << int(codeSize);
    }
}

TEST(PictureIntake, GifColoursTransparencyAndInterlace) {
    for (bool interlaced : {false, true}) {
        const Outcome outcome = DecodeBytes(picture_bytes::Gif({5, 9, 1, interlaced}));
        ASSERT_TRUE(outcome.Taken()) << interlaced;
        const wxImage& picture = outcome.picture;
        ASSERT_TRUE(picture.HasMask());
        EXPECT_EQ(wxColour(picture.GetMaskRed(), picture.GetMaskGreen(), picture.GetMaskBlue()), wxColour(255, 0, 255));
        for (int y = 0; y < 9; ++y) {
            for (int x = 0; x < 5; ++x) {
                // black, transparent, green, and magenta nudged off the mask colour
                static const wxColour kExpected[] = {{0, 0, 0}, {255, 0, 255}, {0, 255, 0}, {255, 0, 254}};
                const wxColour got(picture.GetRed(x, y), picture.GetGreen(x, y), picture.GetBlue(x, y));
                EXPECT_EQ(got, kExpected[(x + 2 * y) % 4]) << x << "," << y << " interlaced " << interlaced;
            }
        }
    }
    const Outcome opaque = DecodeBytes(picture_bytes::Gif({4, 3, -1, false}));
    ASSERT_TRUE(opaque.Taken());
    EXPECT_FALSE(opaque.picture.HasMask());
    EXPECT_EQ(wxColour(opaque.picture.GetRed(3, 0), opaque.picture.GetGreen(3, 0), opaque.picture.GetBlue(3, 0)),
              wxColour(255, 0, 255));
}

TEST(PictureIntake, FormatComesFromTheContentsNotTheName) {
    const struct {
        const char* name;
        Bytes bytes;
        Refusal refusal;
    } files[] = {
        {"png-named.jpg", picture_bytes::Encode(picture_bytes::Ramp(8, 8), wxBITMAP_TYPE_PNG), Refusal::None},
        {"jpeg-named.gif", picture_bytes::Encode(picture_bytes::Ramp(8, 8), wxBITMAP_TYPE_JPEG), Refusal::None},
        {"gif-named.bmp", picture_bytes::Gif({8, 8, -1, false}), Refusal::None},
        {"bmp-named.png", picture_bytes::Encode(picture_bytes::Ramp(8, 8), wxBITMAP_TYPE_BMP), Refusal::None},
        {"cursor.png", {'R', 'I', 'F', 'F', 40, 0, 0, 0, 'A', 'C', 'O', 'N', 'a', 'n', 'i', 'h', 36, 0, 0, 0}, Refusal::Unsupported},
        {"iff.png", {'F', 'O', 'R', 'M', 0x7F, 0xFF, 0xFF, 0xFF, 'I', 'L', 'B', 'M', 'B', 'M', 'H', 'D'}, Refusal::Unsupported},
        {"icon.bmp", {0, 0, 1, 0, 1, 0, 16, 16, 0, 0, 1, 0, 32, 0}, Refusal::Unsupported},
        {"text.gif", {'G', 'I', 'F', ' ', 'i', 's', ' ', 'a', ' ', 'w', 'o', 'r', 'd'}, Refusal::Unsupported},
        {"empty.png", {}, Refusal::Unsupported},
    };
    for (const auto& file : files) {
        const Outcome outcome = picture_intake::Read(picture_bytes::WriteScratch(file.name, file.bytes));
        EXPECT_EQ(outcome.refusal, file.refusal) << file.name;
        EXPECT_EQ(outcome.picture.IsOk(), file.refusal == Refusal::None) << file.name;
    }
    EXPECT_EQ(picture_intake::ReasonText(picture_intake::Read(test_files::Scratch() + "/iff.png")), "not a supported picture");
}

TEST(PictureIntake, PathsThatAreNoReadableFile) {
    const wxString pipe = test_files::Scratch() + "/pipe.png";
    ASSERT_EQ(mkfifo(pipe.fn_str(), 0600), 0);
    ASSERT_TRUE(wxFileName::Mkdir(test_files::Scratch() + "/folder.png"));
    const struct {
        wxString path;
        Refusal refusal;
        const char* reason;
    } cases[] = {
        {test_files::Scratch() + "/missing.png", Refusal::Unreadable, "cannot be read: No such file or directory"},
        {test_files::Scratch() + "/folder.png", Refusal::Unreadable, "cannot be read: Is a directory"},
        {test_files::Scratch() + "/folder.png/inside.png", Refusal::Unreadable, "cannot be read: No such file or directory"},
        // Opening does not wait for a writer; a pipe is no picture file.
        {pipe, Refusal::Unsupported, "not a supported picture"},
        // Opens, but every read fails: the reading error is told, not "damaged".
        {"/proc/self/mem", Refusal::Unreadable, "cannot be read: Input/output error"},
    };
    for (const auto& c : cases) {
        const Outcome outcome = picture_intake::Read(c.path);
        EXPECT_EQ(outcome.refusal, c.refusal) << c.path;
        EXPECT_EQ(picture_intake::ReasonText(outcome), c.reason) << c.path;
    }
}

TEST(PictureIntake, FileWithoutReadPermission) {
    if (geteuid() == 0)
        GTEST_SKIP() << "root reads every file; the read failure itself is covered by /proc/self/mem";
    const wxString path = picture_bytes::WriteScratch("locked.png", picture_bytes::Encode(picture_bytes::Ramp(4, 4), wxBITMAP_TYPE_PNG));
    ASSERT_EQ(chmod(path.fn_str(), 0), 0);
    EXPECT_EQ(picture_intake::ReasonText(picture_intake::Read(path)), "cannot be read: Permission denied");
}

TEST(PictureIntake, StampChangesWhenTheFileIsRewritten) {
    const wxString path = picture_bytes::WriteScratch("stamped.png", picture_bytes::Encode(picture_bytes::Ramp(4, 4), wxBITMAP_TYPE_PNG));
    const Outcome first = picture_intake::Read(path);
    ASSERT_TRUE(first.Taken());
    EXPECT_EQ(first.stamp, picture_intake::StampOf(path));
    ASSERT_TRUE(picture_bytes::Write(path, picture_bytes::Encode(picture_bytes::Ramp(5, 4), wxBITMAP_TYPE_PNG)));
    EXPECT_NE(first.stamp, picture_intake::StampOf(path));
    wxRemoveFile(path);
    EXPECT_EQ(picture_intake::StampOf(path).size, -1);
}

TEST(PictureIntake, ReadSizeDecodesNoPixels) {
    const wxString path = picture_bytes::WriteScratch("sized.bmp", picture_bytes::Encode(picture_bytes::Ramp(30, 20), wxBITMAP_TYPE_BMP));
    const Outcome outcome = picture_intake::ReadSize(path);
    EXPECT_TRUE(outcome.Taken());
    EXPECT_FALSE(outcome.picture.IsOk());
    EXPECT_EQ(outcome.width, 30);
    EXPECT_EQ(outcome.height, 20);
}

}  // namespace
