#include "window/my_gifhandler/lzw_encoder.h"

#include <algorithm>
#include <array>
#include <memory>

namespace lzw {

namespace {

constexpr int kMaxCode = 4096;  // 12-bit codes
constexpr int kNone = -1;

class BitWriter {
public:
    explicit BitWriter(std::vector<uint8_t>& out) : m_out(out) {}

    void Put(int code, int bits) {
        m_buffer |= uint32_t(code) << m_count;
        m_count += bits;
        while (m_count >= 8) {
            m_out.push_back(static_cast<uint8_t>(m_buffer));
            m_buffer >>= 8;
            m_count -= 8;
        }
    }

    void Flush() {
        if (m_count > 0)
            m_out.push_back(static_cast<uint8_t>(m_buffer));
        m_buffer = 0;
        m_count = 0;
    }

private:
    std::vector<uint8_t>& m_out;
    uint32_t m_buffer = 0;
    int m_count = 0;
};

// The string table: a hash from (prefix code, pixel) to code for exact matches, and each code's
// children as a list for the lossy search among near matches.
class Dictionary {
public:
    explicit Dictionary(int rootCount) : m_rootCount(rootCount) { Reset(); }

    void Reset() {
        ++m_generation;
        for (int code = 0; code < m_rootCount; ++code)
            m_firstChild[code] = kNone;
    }

    int Find(int prefix, int pixel) const {
        for (size_t slot = Slot(prefix, pixel);; slot = (slot + 1) & (kSlots - 1)) {
            if (m_stamp[slot] != m_generation)
                return kNone;
            if (m_key[slot] == Key(prefix, pixel))
                return m_code[slot];
        }
    }

    void Add(int prefix, int pixel, int code) {
        size_t slot = Slot(prefix, pixel);
        while (m_stamp[slot] == m_generation)
            slot = (slot + 1) & (kSlots - 1);
        m_stamp[slot] = m_generation;
        m_key[slot] = Key(prefix, pixel);
        m_code[slot] = static_cast<int16_t>(code);
        m_pixel[code] = static_cast<uint8_t>(pixel);
        m_prefix[code] = static_cast<int16_t>(prefix);
        m_firstChild[code] = kNone;
        m_nextSibling[code] = m_firstChild[prefix];
        m_firstChild[prefix] = static_cast<int16_t>(code);
    }

    int FirstChild(int code) const { return m_firstChild[code]; }
    int NextSibling(int code) const { return m_nextSibling[code]; }
    int Pixel(int code) const { return m_pixel[code]; }
    int Prefix(int code) const { return m_prefix[code]; }

private:
    static constexpr size_t kSlots = 8192;  // a power of two, twice the codes

    static uint32_t Key(int prefix, int pixel) { return (uint32_t(prefix) << 8) | uint32_t(pixel); }
    static size_t Slot(int prefix, int pixel) { return (Key(prefix, pixel) * 2654435761u) >> 19; }

    const int m_rootCount;
    uint32_t m_generation = 0;
    std::array<uint32_t, kSlots> m_stamp{};
    std::array<uint32_t, kSlots> m_key{};
    std::array<int16_t, kSlots> m_code{};
    std::array<int16_t, kMaxCode> m_firstChild{};
    std::array<int16_t, kMaxCode> m_nextSibling{};
    std::array<uint8_t, kMaxCode> m_pixel{};
    std::array<int16_t, kMaxCode> m_prefix{};
};

// Finds the longest dictionary string that matches the pixels from a position within the bound,
// searching every near branch (the exact pixel is always a match), and rewrites the pixels to it.
class LongestNearMatch {
public:
    LongestNearMatch(const Dictionary& dictionary, std::vector<uint8_t>& indices, const Lossy& lossy)
        : m_dictionary(dictionary), m_indices(indices), m_lossy(lossy) {}

    // The code of the string starting at `position`; `end` is the position after it.
    int Match(size_t position, size_t& end) {
        m_bestCode = m_indices[position];
        m_bestLength = 0;
        m_bestCost = 0;
        m_visits = 0;
        const int none[3] = {0, 0, 0};
        Explore(m_indices[position], position + 1, none, 0, 0);
        int code = m_bestCode;
        for (size_t k = m_bestLength; k > 0; --k) {
            m_indices[position + k] = static_cast<uint8_t>(m_dictionary.Pixel(code));
            code = m_dictionary.Prefix(code);
        }
        end = position + 1 + m_bestLength;
        return m_bestCode;
    }

private:
    // Enough for the long strings of flat areas; bounds the time on noisy ones.
    static constexpr int kMaxVisits = 400;

    void Explore(int code, size_t position, const int carried[3], size_t length, long long cost) {
        if (length > m_bestLength || (length == m_bestLength && cost < m_bestCost)) {
            m_bestCode = code;
            m_bestLength = length;
            m_bestCost = cost;
        }
        if (position == m_indices.size() || ++m_visits > kMaxVisits)
            return;
        int wanted[3];
        m_lossy.cost->Truth(position, wanted);
        for (int c = 0; c < 3; ++c)
            wanted[c] += carried[c];
        // The exact pixel first, so the search never does worse than the lossless encoder.
        const int exact = m_indices[position];
        const int exactChild = m_dictionary.Find(code, exact);
        if (exactChild != kNone) {
            const int none[3] = {0, 0, 0};
            Explore(exactChild, position + 1, none, length + 1, cost);
        }
        for (int child = m_dictionary.FirstChild(code); child != kNone; child = m_dictionary.NextSibling(child)) {
            const int pixel = m_dictionary.Pixel(child);
            if (pixel == exact)
                continue;
            int shown[3];
            m_lossy.cost->Shown(position, pixel, shown);
            const int distance = (shown[0] - wanted[0]) * (shown[0] - wanted[0]) +
                                 (shown[1] - wanted[1]) * (shown[1] - wanted[1]) +
                                 (shown[2] - wanted[2]) * (shown[2] - wanted[2]);
            if (distance <= m_lossy.bound) {
                const int left[3] = {(wanted[0] - shown[0]) / 2, (wanted[1] - shown[1]) / 2,
                                     (wanted[2] - shown[2]) / 2};
                Explore(child, position + 1, left, length + 1, cost + distance);
            }
        }
    }

    const Dictionary& m_dictionary;
    std::vector<uint8_t>& m_indices;
    const Lossy& m_lossy;
    int m_bestCode = 0;
    size_t m_bestLength = 0;
    long long m_bestCost = 0;
    int m_visits = 0;
};

}  // namespace

std::vector<uint8_t> Encode(std::vector<uint8_t>& indices, int minCodeSize, const Lossy& lossy) {
    std::vector<uint8_t> out;
    const int clearCode = 1 << minCodeSize;
    const int endCode = clearCode + 1;
    BitWriter writer(out);
    auto dictionary = std::make_unique<Dictionary>(clearCode);
    int codeSize = minCodeSize + 1;
    int next = endCode + 1;
    writer.Put(clearCode, codeSize);
    if (indices.empty()) {
        writer.Put(endCode, codeSize);
        writer.Flush();
        return out;
    }

    LongestNearMatch nearMatch(*dictionary, indices, lossy);
    int prefix = 0;
    for (size_t position = 0; position < indices.size();) {
        size_t end = position + 1;
        prefix = indices[position];
        if (lossy.cost) {
            prefix = nearMatch.Match(position, end);
        } else {
            for (int code; end < indices.size() && (code = dictionary->Find(prefix, indices[end])) != kNone; ++end)
                prefix = code;
        }
        position = end;
        if (end == indices.size())
            break;
        writer.Put(prefix, codeSize);
        dictionary->Add(prefix, indices[end], next++);
        // A decoder adds its entry one code later, so it widens its codes when its count passes
        // 2^codeSize; this is the same moment seen from here.
        if (next > (1 << codeSize) && codeSize < 12)
            ++codeSize;
        if (next == kMaxCode) {
            writer.Put(clearCode, codeSize);
            dictionary->Reset();
            codeSize = minCodeSize + 1;
            next = endCode + 1;
        }
    }
    writer.Put(prefix, codeSize);
    // The decoder adds one more entry on reading that last code before it reads the end code.
    if (next + 1 > (1 << codeSize) && codeSize < 12)
        ++codeSize;
    writer.Put(endCode, codeSize);
    writer.Flush();
    return out;
}

}  // namespace lzw
