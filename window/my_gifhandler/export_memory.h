#pragma once
// How much memory an export needs and may take, so that a size the machine cannot hold is refused
// before the first frame instead of failing (or being killed) half-way.

#include <cstdint>

namespace export_memory {

// The most one frame in preparation holds at once: canvas, shrunk picture, palette image, palette
// indices and the quantiser's working copy.
std::uint64_t BytesPerFrame(int width, int height);

// What this process can still allocate: the system's available memory, or less when an address-space
// limit leaves less.
std::uint64_t AvailableBytes();

}  // namespace export_memory
