#pragma once
// Writes equally sized palette images as one animated GIF89a that loops for ever. Everything outside
// the compressed pixel data is written here; the LZW compressor is the toolkit GIF handler's.

#include <wx/image.h>
#include <wx/anidecod.h>  // wxImageArray
#include <wx/imaggif.h>
#include <wx/stream.h>

#include <array>

class MyGifHandler : public wxGIFHandler {
public:
    struct PaletteEntry {
        unsigned char red;
        unsigned char green;
        unsigned char blue;
    };
    using PaletteBuffer = std::array<PaletteEntry, 256>;

    MyGifHandler() = default;
    ~MyGifHandler() override;

    // Writes every image with the one delay, then the trailer. Refuses, writing nothing, when an
    // image has no palette or a size other than the first image's. True when every byte was written.
    bool SaveAnimation(const wxImageArray& images, wxOutputStream& stream, int delayMilliseconds);

    // The frame's palette (at most 256 entries) and transparent index (-1 for none). A mask colour
    // missing from a palette with room is appended. False when the image has no palette.
    static bool GetFramePalette(const wxImage& image, PaletteBuffer& palette, int& count, int& transparentIndex);

    // Writes one frame, preceded by the file header when it is the first. The palette, count and
    // transparent index come from GetFramePalette of this image. False on a frame with no pixels or
    // more than 256 colours, and on a short write.
    bool DoSaveFile(const wxImage& image, wxOutputStream& stream, bool first, int delayMilliseconds,
                    const PaletteBuffer& palette, int count, int transparentIndex);

    // The byte that ends the file.
    static bool WriteTrailer(wxOutputStream& stream);

    // The lowest index whose entry equals the colour, or -1.
    static int FindPaletteIndex(unsigned char red, unsigned char green, unsigned char blue,
                                const PaletteBuffer& palette, int count);
    // The smallest b in 1..8 with 2^b >= count.
    static int BitsPerPixel(int count);
    static bool WriteWord(wxOutputStream& stream, int value);
    // 2^bits entries: the palette's, then black.
    static bool WritePalette(wxOutputStream& stream, const PaletteBuffer& palette, int count, int bits);

private:
    bool WriteHeader(wxOutputStream& stream, int width, int height, const PaletteBuffer& palette, int count);
    bool WriteFrameHeader(const wxImage& image, wxOutputStream& stream, bool first, int delayMilliseconds,
                          const PaletteBuffer& palette, int count, int transparentIndex);
    void ReleaseHashTable();
};
