// Reading pictures from outside: the format comes from the first bytes, the stated size is checked before
// any pixel is decoded, and damaged, cut or hostile files and paths are refused with a reason.
#include "picture/picture_intake.h"

#include "tests/support/picture_bytes.h"

#include <wx/colour.h>
#include <wx/filename.h>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <random>
#include <tuple>

namespace {

using picture_bytes::Bytes;
using picture_intake::Outcome;
using picture_intake::Refusal;
using test_files::Scratch;

Outcome DecodeBytes(const Bytes& bytes) {
    wxMemoryInputStream stream(bytes.data(), bytes.size());
    return picture_intake::Decode(stream);
}

void Put(Bytes& bytes, size_t at, long long value, int size, bool bigEndian) {
    for (int i = 0; i < size; ++i)
        bytes[at + size_t(bigEndian ? size - 1 - i : i)] = static_cast<unsigned char>(value >> (8 * i));
}

// One format: a good 32x24 file, the bytes that tell the format, where the header ends and where it
// states the size; offsets count from the JPEG start of frame, or from the start for the others.
struct Format {
    const char* name;
    wxBitmapType type;
    size_t signature, headerEnd;
    bool bigEndian;
    int field;
    std::vector<std::pair<size_t, size_t>> sizeAt;  // width and height fields

    Bytes Make() const {
        return type == wxBITMAP_TYPE_GIF ? picture_bytes::Gif({32, 24}) : picture_bytes::Encode(test_files::Ramp(32, 24), type);
    }
    size_t Base(const Bytes& b) const {
        for (size_t i = 2; type == wxBITMAP_TYPE_JPEG && i + 1 < b.size(); ++i)
            if (b[i] == 0xFF && (b[i + 1] == 0xC0 || b[i + 1] == 0xC2))
                return i;
        return 0;
    }
};

const Format kFormats[] = {
    {"png", wxBITMAP_TYPE_PNG, 8, 33, true, 4, {{16, 20}}},
    {"jpeg", wxBITMAP_TYPE_JPEG, 3, 19, true, 2, {{7, 5}}},
    {"bmp", wxBITMAP_TYPE_BMP, 2, 54, false, 4, {{18, 22}}},
    {"gif", wxBITMAP_TYPE_GIF, 6, 35, false, 2, {{6, 8}, {30, 32}}},
};

class EachFormat : public testing::TestWithParam<Format> {};

// Whole, under any name: taken at its size. Cut short anywhere: refused, or the part the decoder
// recovered at the stated size; never more.
TEST_P(EachFormat, WholeFileIsTakenACutOneRefusedOrRecovered) {
    const Format& format = GetParam();
    const Bytes whole = format.Make();
    const Outcome read = picture_intake::Read(picture_bytes::WriteScratch("named.txt", whole));
    ASSERT_TRUE(read.Taken()) << picture_intake::ReasonText(read);
    EXPECT_EQ(read.picture.GetSize(), wxSize(32, 24));
    for (const size_t length : std::initializer_list<size_t>{0, 1, 7, 20, 40, 100, whole.size() / 2, whole.size() - 1}) {
        const Outcome outcome = DecodeBytes(Bytes(whole.begin(), whole.begin() + std::min(length, whole.size())));
        const Refusal expected = length < format.signature                        ? Refusal::Unsupported
                                 : length < format.Base(whole) + format.headerEnd ? Refusal::Damaged
                                 : outcome.Taken()                                ? Refusal::None
                                                                                  : Refusal::Damaged;
        EXPECT_EQ(outcome.refusal, expected) << length;
        EXPECT_TRUE(!outcome.Taken() || outcome.picture.GetSize() == wxSize(32, 24)) << length;
    }
}

// Random bytes behind a good header, then good files with bytes changed at random, as a fuzzer would;
// the sanitized build checks the decoders.
TEST_P(EachFormat, DamagedFilesNeverCrash) {
    const Bytes whole = GetParam().Make();
    std::mt19937 random(7);
    for (int round = 0; round < 340; ++round) {
        Bytes bytes = whole;
        const bool randomTail = round < 40;
        if (randomTail) {
            bytes.resize(GetParam().Base(whole) + GetParam().headerEnd);
            for (int i = 0; i < 4096; ++i)
                bytes.push_back(static_cast<unsigned char>(random()));
        }
        for (int changes = randomTail ? 0 : 1 + round % 8; changes > 0; --changes)
            bytes[random() % bytes.size()] = static_cast<unsigned char>(random());
        const Outcome outcome = DecodeBytes(bytes);
        const wxSize size = outcome.picture.IsOk() ? outcome.picture.GetSize() : wxSize();
        const bool fits = (!randomTail || size == wxSize(32, 24)) && std::max(size.x, size.y) <= picture_intake::kMaxSide;
        EXPECT_TRUE(outcome.Taken() ? fits : !randomTail || outcome.refusal == Refusal::Damaged) << round;
    }
}

// A BMP states a top-down picture with a negative height; a negative width means nothing. A size that
// passes the header check but not the pixel data is damaged: the limits themselves are let through.
TEST_P(EachFormat, StatedSizesAreCheckedBeforeDecoding) {
    // A stated size, what it is refused as, and the formats whose header can state it.
    const std::tuple<long long, long long, Refusal, const char*> sizes[] = {
        {0, 24, Refusal::Damaged, "png jpeg bmp gif"},      {32, 0, Refusal::Damaged, "png jpeg bmp gif"},
        {-32, 24, Refusal::Damaged, "bmp"},                 {32, -24, Refusal::None, "bmp"},
        {-32, 24, Refusal::TooLarge, "png"},  // 2^32 - 32 as the unsigned field reads
        {16385, 1, Refusal::TooLarge, "png jpeg bmp gif"},  {1, 16385, Refusal::TooLarge, "png jpeg bmp gif"},
        {2147483647, 24, Refusal::TooLarge, "png bmp"},     {8000, 8001, Refusal::TooLarge, "png jpeg bmp gif"},
        {16384, 3906, Refusal::Damaged, "png"},             {16384, 3907, Refusal::TooLarge, "png"},
    };
    const Format& format = GetParam();
    for (const auto& [width, height, refusal, formats] : sizes) {
        if (std::string(formats).find(format.name) == std::string::npos)
            continue;
        Bytes bytes = format.Make();
        for (const auto& [w, h] : format.sizeAt) {
            Put(bytes, format.Base(bytes) + w, width, format.field, format.bigEndian);
            Put(bytes, format.Base(bytes) + h, height, format.field, format.bigEndian);
        }
        const Outcome outcome = DecodeBytes(bytes);
        EXPECT_EQ(outcome.refusal, refusal) << width << "x" << height;
        const wxString tooLarge = wxString::Format("%lld x %lld px is above the limit of 16384 px a side and 64 megapixels", width, height);
        EXPECT_TRUE(refusal != Refusal::TooLarge || width < 0 || picture_intake::ReasonText(outcome) == tooLarge)
            << picture_intake::ReasonText(outcome);
    }
}

INSTANTIATE_TEST_SUITE_P(Intake, EachFormat, testing::ValuesIn(kFormats),
                         [](const testing::TestParamInfo<Format>& info) { return std::string(info.param.name); });

// Below 2 the decoder still recovers the one pixel; above 8 no code fits a byte of palette.
TEST(PictureIntake, GifLzwCodeSizes) {
    for (const unsigned char codeSize : {0, 1, 2, 9, 12, 15})
        EXPECT_EQ(DecodeBytes(picture_bytes::GifWithCodeSize(codeSize)).refusal, codeSize <= 8 ? Refusal::None : Refusal::Damaged)
            << int(codeSize);
}

// Black, red or transparent (shown as the mask colour), green, and magenta, nudged off the mask colour
// when there is one; interlaced rows come back in their places.
TEST(PictureIntake, GifColoursTransparencyAndInterlace) {
    for (const picture_bytes::GifRecipe& recipe : {picture_bytes::GifRecipe{5, 9, 1, false}, {5, 9, 1, true}, {5, 9, -1, true}}) {
        const wxImage picture = DecodeBytes(picture_bytes::Gif(recipe)).picture;
        ASSERT_TRUE(picture.IsOk()) << recipe.interlaced;
        const bool masked = recipe.transparentIndex >= 0;
        ASSERT_EQ(picture.HasMask(), masked);
        const wxColour magenta(255, 0, 255), colours[] = {{0, 0, 0}, masked ? magenta : wxColour(255, 0, 0), {0, 255, 0},
                                                          wxColour(255, 0, masked ? 254 : 255)};
        EXPECT_TRUE(!masked || wxColour(picture.GetMaskRed(), picture.GetMaskGreen(), picture.GetMaskBlue()) == magenta);
        for (int y = 0; y < 9; ++y)
            for (int x = 0; x < 5; ++x)
                EXPECT_EQ(wxColour(picture.GetRed(x, y), picture.GetGreen(x, y), picture.GetBlue(x, y)), colours[(x + y) % 4])
                    << x << "," << y << " interlaced " << recipe.interlaced;
    }
}

TEST(PictureIntake, WhatIsNoPictureFileIsRefusedWithItsReason) {
    const wxString pipe = Scratch("pipe.png"), unsupported = "not a supported picture";
    ASSERT_EQ(mkfifo(pipe.fn_str(), 0600), 0);  // opening does not wait for a writer
    ASSERT_TRUE(wxFileName::Mkdir(Scratch("folder.png")));
    const std::pair<wxString, wxString> cases[] = {
        {pipe, unsupported}, {Scratch("missing.png"), "cannot be read: No such file or directory"},
        {Scratch("folder.png"), "cannot be read: Is a directory"}, {picture_bytes::WriteScratch("empty.png", {}), unsupported},
        // Opens, but every read fails: the reading error is told, not "damaged".
        {"/proc/self/mem", "cannot be read: Input/output error"},
        {picture_bytes::WriteScratch("iff.png", {'F', 'O', 'R', 'M', 0x7F, 0xFF, 0xFF, 0xFF, 'I', 'L', 'B', 'M'}), unsupported},
        {picture_bytes::WriteScratch("word.png", {'G', 'I', 'F', ' ', 'i', 's', ' ', 'a', ' ', 'w', 'o', 'r', 'd'}), unsupported}};
    for (const auto& [path, reason] : cases)
        EXPECT_EQ(picture_intake::ReasonText(picture_intake::Read(path)), reason) << path;
}

}  // namespace
