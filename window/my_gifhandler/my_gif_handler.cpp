#include "window/my_gifhandler/my_gif_handler.h"

#include "window/my_gifhandler/colour_table.h"

#include <wx/intl.h>
#include <wx/log.h>
#include <wx/palette.h>

#include <algorithm>
#include <climits>
#include <vector>

namespace {

bool WriteBytes(wxOutputStream& stream, const void* data, size_t size) {
    return stream.Write(data, size).LastWrite() == size;
}

bool WriteByte(wxOutputStream& stream, unsigned char value) {
    return WriteBytes(stream, &value, 1);
}

// More than 256 distinct colours, or none, cannot be one GIF frame; nor can a side longer than
// the format's 16-bit fields, or more pixels than the compressor's int count holds.
bool IsWritableFrame(const wxImage& image) {
    if (!image.IsOk() || image.GetWidth() > 0xFFFF || image.GetHeight() > 0xFFFF)
        return false;
    const long long evenWidth = image.GetWidth() + (image.GetWidth() & 1);
    if (evenWidth * image.GetHeight() > INT_MAX)
        return false;
    const size_t pixelCount = size_t(image.GetWidth()) * image.GetHeight();
    if (pixelCount == 0)
        return false;
    ColourTable colours;
    const unsigned char* rgb = image.GetData();
    uint32_t last = 0xFFFFFFFFu;
    for (size_t i = 0; i < pixelCount; ++i, rgb += 3) {
        const uint32_t colour = ColourTable::Pack(rgb[0], rgb[1], rgb[2]);
        if (colour != last && !colours.Insert(colour, 0))
            return false;
        last = colour;
    }
    return true;
}

}  // namespace

MyGifHandler::~MyGifHandler() {
    ReleaseHashTable();
}

void MyGifHandler::ReleaseHashTable() {
    // The base class allocates the table with ::operator new and never frees it; its type is
    // incomplete here, so release the raw storage.
    ::operator delete(static_cast<void*>(m_hashTable));
    m_hashTable = nullptr;
}

bool MyGifHandler::SaveAnimation(const wxImageArray& images, wxOutputStream& stream, int delayMilliseconds) {
    for (size_t i = 0; i < images.size(); ++i) {
        if (!images[i].HasPalette() || images[i].GetSize() != images[0].GetSize())
            return false;
    }
    for (size_t i = 0; i < images.size(); ++i) {
        PaletteBuffer palette;
        int count = 0;
        int transparentIndex = -1;
        if (!GetFramePalette(images[i], palette, count, transparentIndex) ||
            !DoSaveFile(images[i], stream, i == 0, delayMilliseconds, palette, count, transparentIndex))
            return false;
    }
    return WriteTrailer(stream);
}

bool MyGifHandler::GetFramePalette(const wxImage& image, PaletteBuffer& palette, int& count, int& transparentIndex) {
    if (!image.HasPalette())
        return false;
    const wxPalette& source = image.GetPalette();
    const int available = std::min(source.GetColoursCount(), int(palette.size()));
    count = 0;
    while (count < available &&
           source.GetRGB(count, &palette[count].red, &palette[count].green, &palette[count].blue))
        ++count;

    transparentIndex = -1;
    if (image.HasMask()) {
        const unsigned char red = image.GetMaskRed();
        const unsigned char green = image.GetMaskGreen();
        const unsigned char blue = image.GetMaskBlue();
        transparentIndex = FindPaletteIndex(red, green, blue, palette, count);
        if (transparentIndex == -1 && count < int(palette.size())) {
            palette[count] = {red, green, blue};
            transparentIndex = count++;
        }
    }
    return true;
}

bool MyGifHandler::DoSaveFile(const wxImage& image, wxOutputStream& stream, bool first, int delayMilliseconds,
                              const PaletteBuffer& palette, int count, int transparentIndex) {
    if (!IsWritableFrame(image))
        return false;
    if (first && !WriteHeader(stream, image.GetWidth(), image.GetHeight(), palette, count))
        return false;
    if (!WriteFrameHeader(image, stream, first, delayMilliseconds, palette, count, transparentIndex))
        return false;
    if (!InitHashTable()) {
        wxLogError(_("Couldn't initialize GIF hash table."));
        return false;
    }

    ColourTable indices;  // the lowest index of each palette colour, as FindPaletteIndex finds it
    for (int i = 0; i < count; ++i)
        indices.Insert(ColourTable::Pack(palette[i].red, palette[i].green, palette[i].blue), i);
    const int width = image.GetWidth();
    const int height = image.GetHeight();
    const int evenWidth = width + (width & 1);
    std::vector<wxUint8> row(width);
    SetupCompress(&stream, 8);
    // The compressor closes the image data when the count reaches zero after a row.
    m_pixelCount = height * evenWidth;
    const unsigned char* rgb = image.GetData();
    bool written = true;
    for (int y = 0; y < height && written; ++y) {
        m_pixelCount -= evenWidth;
        for (int x = 0; x < width; ++x, rgb += 3) {
            int index = indices.Find(ColourTable::Pack(rgb[0], rgb[1], rgb[2]));
            wxASSERT(index != (-1));
            if (index == -1)
                index = 255;
            row[x] = static_cast<wxUint8>(index);
        }
        written = CompressLine(&stream, row.data(), width);
    }
    ReleaseHashTable();
    return written;
}

bool MyGifHandler::WriteHeader(wxOutputStream& stream, int width, int height, const PaletteBuffer& palette,
                               int count) {
    const int bpp = BitsPerPixel(count);
    // The size field is shifted by five places, not four: 0xE7 for a 256-entry table.
    const unsigned char packed = static_cast<unsigned char>(0x80 | ((bpp - 1) << 5) | (bpp - 1));
    static const unsigned char kLoopForEver[19] = {0x21, 0xFF, 0x0B, 'N', 'E', 'T', 'S', 'C', 'A', 'P',
                                                   'E',  '2',  '.',  '0', 0x03, 0x01, 0x00, 0x00, 0x00};
    return WriteBytes(stream, "GIF89a", 6) && WriteWord(stream, width) && WriteWord(stream, height) &&
           WriteByte(stream, packed) && WriteByte(stream, 0) && WriteByte(stream, 0) &&
           WritePalette(stream, palette, count, bpp) && WriteBytes(stream, kLoopForEver, sizeof kLoopForEver);
}

bool MyGifHandler::WriteFrameHeader(const wxImage& image, wxOutputStream& stream, bool first,
                                    int delayMilliseconds, const PaletteBuffer& palette, int count,
                                    int transparentIndex) {
    const wxString comment = image.GetOption("GifComment");
    if (!comment.empty()) {
        const wxCharBuffer bytes = comment.mb_str();
        const size_t length = bytes.length();
        if (!WriteByte(stream, 0x21) || !WriteByte(stream, 0xFE))
            return false;
        for (size_t offset = 0; offset < length; offset += 255) {
            const size_t block = std::min<size_t>(255, length - offset);
            if (!WriteByte(stream, static_cast<unsigned char>(block)) ||
                !WriteBytes(stream, bytes.data() + offset, block))
                return false;
        }
        if (!WriteByte(stream, 0))
            return false;
    }

    const bool transparent = transparentIndex != -1;
    const unsigned char control[4] = {0x21, 0xF9, 0x04, static_cast<unsigned char>(transparent ? 0x01 : 0x00)};
    if (!WriteBytes(stream, control, sizeof control) || !WriteWord(stream, delayMilliseconds / 10) ||
        !WriteByte(stream, static_cast<unsigned char>(transparent ? transparentIndex : 0)) ||
        !WriteByte(stream, 0))
        return false;

    if (!WriteByte(stream, 0x2C) || !WriteWord(stream, 0) || !WriteWord(stream, 0) ||
        !WriteWord(stream, image.GetWidth()) || !WriteWord(stream, image.GetHeight()))
        return false;
    if (first)
        return WriteByte(stream, 0x00);
    const int bpp = BitsPerPixel(count);
    const unsigned char packed = static_cast<unsigned char>(0x80 | (((bpp - 1) & 1) << 5) | (bpp - 1));
    return WriteByte(stream, packed) && WritePalette(stream, palette, count, bpp);
}

bool MyGifHandler::WriteTrailer(wxOutputStream& stream) {
    return WriteByte(stream, 0x3B);
}

int MyGifHandler::FindPaletteIndex(unsigned char red, unsigned char green, unsigned char blue,
                                   const PaletteBuffer& palette, int count) {
    for (int i = 0; i < count; ++i) {
        if (palette[i].red == red && palette[i].green == green && palette[i].blue == blue)
            return i;
    }
    return -1;
}

int MyGifHandler::BitsPerPixel(int count) {
    int bits = 1;
    while (bits < 8 && (1 << bits) < count)
        ++bits;
    return bits;
}

bool MyGifHandler::WriteWord(wxOutputStream& stream, int value) {
    const unsigned char bytes[2] = {static_cast<unsigned char>(value & 0xFF),
                                    static_cast<unsigned char>((value >> 8) & 0xFF)};
    return WriteBytes(stream, bytes, 2);
}

bool MyGifHandler::WritePalette(wxOutputStream& stream, const PaletteBuffer& palette, int count, int bits) {
    std::vector<unsigned char> table(size_t(3) << bits, 0);
    for (int i = 0; i < count && i < (1 << bits); ++i) {
        table[i * 3] = palette[i].red;
        table[i * 3 + 1] = palette[i].green;
        table[i * 3 + 2] = palette[i].blue;
    }
    return WriteBytes(stream, table.data(), table.size());
}
