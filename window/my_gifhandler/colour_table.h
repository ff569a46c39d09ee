#pragma once
// A small hash table from RGB colours to palette indices, for the at most 256 colours of one frame.
// Far faster per pixel than scanning a palette, with the same answers.

#include <array>
#include <cstdint>

class ColourTable {
public:
    static constexpr int kCapacity = 256;

    static uint32_t Pack(unsigned char red, unsigned char green, unsigned char blue) {
        return (uint32_t(red) << 16) | (uint32_t(green) << 8) | blue;
    }

    ColourTable() { m_slots.fill(kEmpty); }

    // Records the colour under the index unless it is there already (the first index stays).
    // Returns false, recording nothing, when the colour is new and the table holds 256 colours.
    bool Insert(uint32_t colour, int index) {
        size_t slot = SlotOf(colour);
        while (m_slots[slot] != kEmpty) {
            if (m_slots[slot] == colour)
                return true;
            slot = (slot + 1) & (kSlotCount - 1);
        }
        if (m_count == kCapacity)
            return false;
        m_slots[slot] = colour;
        m_indices[slot] = static_cast<uint8_t>(index);
        ++m_count;
        return true;
    }

    // The index recorded for the colour, or -1.
    int Find(uint32_t colour) const {
        size_t slot = SlotOf(colour);
        while (m_slots[slot] != kEmpty) {
            if (m_slots[slot] == colour)
                return m_indices[slot];
            slot = (slot + 1) & (kSlotCount - 1);
        }
        return -1;
    }

    int Count() const { return m_count; }

private:
    static constexpr uint32_t kEmpty = 0xFFFFFFFFu;  // no 24-bit colour has this value
    static constexpr size_t kSlotCount = 1024;       // a power of two, four times the capacity

    static size_t SlotOf(uint32_t colour) { return (colour * 2654435761u) >> 22; }

    std::array<uint32_t, kSlotCount> m_slots;
    std::array<uint8_t, kSlotCount> m_indices{};
    int m_count = 0;
};
