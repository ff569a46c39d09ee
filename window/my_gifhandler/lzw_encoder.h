#pragma once
// The variable-length-code LZW compression of GIF image data, with an optional lossy mode: where the
// dictionary holds no entry for the next pixel, the encoder may take an entry whose colour is close
// enough to the one wanted, so strings grow longer and the file smaller.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace lzw {

// What the pixels should look like and what each palette index would make them look like.
class PixelCost {
public:
    virtual ~PixelCost() = default;
    virtual void Truth(size_t position, int rgb[3]) const = 0;
    virtual void Shown(size_t position, int index, int rgb[3]) const = 0;
};

struct Lossy {
    const PixelCost* cost = nullptr;  // null: lossless
    // The largest squared distance between a substitute and the true colour plus the error left
    // by the substitute before it; half of each substitute's error is carried on to the next pixel,
    // so substitutes average out along a run.
    int bound = 0;
};

// Compresses `indices` (every one below 2^minCodeSize; minCodeSize 2..8) into the code stream that
// follows the minimum code size byte, without the sub-block framing. In lossy mode some indices are
// replaced by the ones actually encoded, so the caller knows what a decoder will show.
std::vector<uint8_t> Encode(std::vector<uint8_t>& indices, int minCodeSize, const Lossy& lossy = {});

}  // namespace lzw
