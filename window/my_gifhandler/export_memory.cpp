#include "window/my_gifhandler/export_memory.h"

#include <fstream>
#include <limits>
#include <string>
#include <sys/resource.h>
#include <unistd.h>

namespace export_memory {
namespace {

// RGB canvas 3, shrunk RGB picture 3, RGB palette image 3, indices 1, the quantiser's float RGBA
// copy 16, and a little for its dither rows and histogram.
constexpr std::uint64_t kBytesPerPixel = 28;

std::uint64_t SystemAvailable() {
    std::ifstream meminfo("/proc/meminfo");
    std::string key;
    std::uint64_t kilobytes = 0;
    std::string unit;
    while (meminfo >> key >> kilobytes >> unit)
        if (key == "MemAvailable:")
            return kilobytes * 1024;
    const long pages = sysconf(_SC_AVPHYS_PAGES);
    return pages > 0 ? std::uint64_t(pages) * std::uint64_t(sysconf(_SC_PAGESIZE)) : 0;
}

std::uint64_t AddressSpaceLeft() {
    rlimit limit{};
    if (getrlimit(RLIMIT_AS, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY)
        return std::numeric_limits<std::uint64_t>::max();
    std::ifstream statm("/proc/self/statm");
    std::uint64_t pages = 0;
    statm >> pages;
    const std::uint64_t used = pages * std::uint64_t(sysconf(_SC_PAGESIZE));
    return limit.rlim_cur > used ? limit.rlim_cur - used : 0;
}

}  // namespace

std::uint64_t BytesPerFrame(int width, int height) {
    return std::uint64_t(width > 0 ? width : 0) * std::uint64_t(height > 0 ? height : 0) * kBytesPerPixel;
}

std::uint64_t AvailableBytes() {
    const std::uint64_t system = SystemAvailable();
    const std::uint64_t left = AddressSpaceLeft();
    return system < left ? system : left;
}

}  // namespace export_memory
