#include "window/my_gifhandler/optimised_gif_writer.h"

#include <algorithm>
#include <vector>

namespace gif_optimise {

namespace {

class Bytes {
public:
    Bytes& Byte(int value) {
        m_bytes.push_back(static_cast<unsigned char>(value));
        return *this;
    }
    Bytes& Word(int value) { return Byte(value & 0xFF).Byte((value >> 8) & 0xFF); }
    Bytes& Text(const char* text, size_t length) {
        m_bytes.insert(m_bytes.end(), text, text + length);
        return *this;
    }
    // 2^bits entries: the palette's colours, then black.
    Bytes& Table(const Palette& palette, int bits) {
        for (int i = 0; i < (1 << bits); ++i) {
            const Colour colour = i < int(palette.size()) ? palette[i] : Colour{0, 0, 0};
            Byte(colour.red).Byte(colour.green).Byte(colour.blue);
        }
        return *this;
    }
    bool WriteTo(wxOutputStream& stream) const {
        return stream.Write(m_bytes.data(), m_bytes.size()).LastWrite() == m_bytes.size();
    }

private:
    std::vector<unsigned char> m_bytes;
};

// The table must also hold the transparent index that follows the colours.
int TableBits(const Palette& palette) {
    int bits = 1;
    while (bits < 8 && (1 << bits) < int(palette.size()) + 1)
        ++bits;
    return bits;
}

constexpr int kDoNotDispose = 1 << 2;
constexpr int kHasTransparency = 1;

}  // namespace

bool WriteHeader(wxOutputStream& stream, int width, int height, const Palette& global) {
    const int bits = TableBits(global);
    Bytes bytes;
    bytes.Text("GIF89a", 6).Word(width).Word(height).Byte(0xF0 | (bits - 1)).Byte(0).Byte(0).Table(global, bits);
    bytes.Byte(0x21).Byte(0xFF).Byte(11).Text("NETSCAPE2.0", 11).Byte(3).Byte(1).Word(0).Byte(0);
    return bytes.WriteTo(stream);
}

bool WriteFrame(wxOutputStream& stream, const Frame& frame, int delay) {
    const bool transparent = frame.transparentIndex >= 0;
    Bytes bytes;
    bytes.Byte(0x21).Byte(0xF9).Byte(4).Byte(kDoNotDispose | (transparent ? kHasTransparency : 0)).Word(delay);
    bytes.Byte(transparent ? frame.transparentIndex : 0).Byte(0);
    bytes.Byte(0x2C).Word(frame.left).Word(frame.top).Word(frame.width).Word(frame.height);
    if (frame.usesGlobalPalette) {
        bytes.Byte(0);
    } else {
        const int bits = TableBits(frame.palette);
        bytes.Byte(0x80 | (bits - 1)).Table(frame.palette, bits);
    }
    bytes.Byte(frame.minCodeSize);
    const std::vector<uint8_t>& data = frame.lzwData;
    for (size_t offset = 0; offset < data.size(); offset += 255) {
        const size_t block = std::min<size_t>(255, data.size() - offset);
        bytes.Byte(static_cast<int>(block)).Text(reinterpret_cast<const char*>(data.data()) + offset, block);
    }
    bytes.Byte(0);
    return bytes.WriteTo(stream);
}

}  // namespace gif_optimise
