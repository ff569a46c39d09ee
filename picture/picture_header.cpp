#include "picture/picture_header.h"

#include <array>
#include <cstdint>
#include <cstring>

namespace picture_header {

namespace {

bool ReadExact(wxInputStream& stream, unsigned char* buffer, size_t size) {
    return stream.Read(buffer, size).LastRead() == size;
}

uint32_t BigEndian32(const unsigned char* p) {
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

unsigned BigEndian16(const unsigned char* p) { return unsigned(p[0]) << 8 | p[1]; }

unsigned LittleEndian16(const unsigned char* p) { return unsigned(p[1]) << 8 | p[0]; }

int32_t LittleEndian32(const unsigned char* p) {
    return static_cast<int32_t>(uint32_t(p[3]) << 24 | uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0]);
}

Header Known(Format format, long long width, long long height) {
    Header header;
    header.format = format;
    // A picture without pixels cannot be decoded into anything.
    header.verdict = width > 0 && height > 0 ? Verdict::Known : Verdict::Damaged;
    header.width = width;
    header.height = height;
    return header;
}

Header Damaged(Format format) {
    Header header;
    header.verdict = Verdict::Damaged;
    header.format = format;
    return header;
}

// Signature, then the IHDR chunk, which must come first.
Header ReadPng(wxInputStream& stream) {
    std::array<unsigned char, 16> rest{};
    if (!ReadExact(stream, rest.data(), rest.size()) || std::memcmp(rest.data() + 4, "IHDR", 4) != 0)
        return Damaged(Format::Png);
    return Known(Format::Png, BigEndian32(rest.data() + 8), BigEndian32(rest.data() + 12));
}

Header ReadGif(wxInputStream& stream) {
    std::array<unsigned char, 4> screen{};
    if (!ReadExact(stream, screen.data(), screen.size()))
        return Damaged(Format::Gif);
    return Known(Format::Gif, LittleEndian16(screen.data()), LittleEndian16(screen.data() + 2));
}

// The file header's remaining 12 bytes, then the size field of the information header, whose length
// tells the old 16-bit layout from the later 32-bit ones. A negative height is a top-down picture.
Header ReadBmp(wxInputStream& stream) {
    std::array<unsigned char, 24> rest{};
    if (!ReadExact(stream, rest.data(), 16))
        return Damaged(Format::Bmp);
    const int32_t infoSize = LittleEndian32(rest.data() + 12);
    if (infoSize == 12) {
        if (!ReadExact(stream, rest.data() + 16, 4))
            return Damaged(Format::Bmp);
        return Known(Format::Bmp, LittleEndian16(rest.data() + 16), LittleEndian16(rest.data() + 18));
    }
    if (infoSize < 40 || !ReadExact(stream, rest.data() + 16, 8))
        return Damaged(Format::Bmp);
    const long long height = LittleEndian32(rest.data() + 20);
    return Known(Format::Bmp, LittleEndian32(rest.data() + 16), height < 0 ? -height : height);
}

bool IsStartOfFrame(unsigned marker) {
    // SOF0..SOF15 without DHT (C4), JPG (C8) and DAC (CC).
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

// Walks the marker segments up to the first start-of-frame, the one the decoder uses.
Header ReadJpeg(wxInputStream& stream) {
    for (;;) {
        unsigned char byte = 0;
        if (!ReadExact(stream, &byte, 1) || byte != 0xFF)
            return Damaged(Format::Jpeg);
        do {
            if (!ReadExact(stream, &byte, 1))
                return Damaged(Format::Jpeg);
        } while (byte == 0xFF);  // fill bytes
        const unsigned marker = byte;
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7))
            continue;  // segments without a length
        if (marker == 0xD9 || marker == 0xDA)
            return Damaged(Format::Jpeg);  // image end or scan data before any frame
        std::array<unsigned char, 7> segment{};
        if (!ReadExact(stream, segment.data(), 2))
            return Damaged(Format::Jpeg);
        const unsigned length = BigEndian16(segment.data());
        if (length < 2)
            return Damaged(Format::Jpeg);
        if (IsStartOfFrame(marker)) {
            if (length < 7 || !ReadExact(stream, segment.data() + 2, 5))
                return Damaged(Format::Jpeg);
            // A height of 0 defers it to a later marker, which the decoder does not support.
            return Known(Format::Jpeg, BigEndian16(segment.data() + 5), BigEndian16(segment.data() + 3));
        }
        if (stream.SeekI(length - 2, wxFromCurrent) == wxInvalidOffset)
            return Damaged(Format::Jpeg);
    }
}

}  // namespace

Header Read(wxInputStream& stream) {
    std::array<unsigned char, 8> start{};
    const size_t got = stream.Read(start.data(), start.size()).LastRead();
    static const unsigned char kPng[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    if (got == 8 && std::memcmp(start.data(), kPng, 8) == 0)
        return ReadPng(stream);
    if (got >= 3 && start[0] == 0xFF && start[1] == 0xD8 && start[2] == 0xFF) {
        stream.SeekI(2);
        return ReadJpeg(stream);
    }
    if (got >= 6 && (std::memcmp(start.data(), "GIF87a", 6) == 0 || std::memcmp(start.data(), "GIF89a", 6) == 0)) {
        stream.SeekI(6);
        return ReadGif(stream);
    }
    if (got >= 2 && start[0] == 'B' && start[1] == 'M') {
        stream.SeekI(2);
        return ReadBmp(stream);
    }
    return Header();
}

}  // namespace picture_header
