#include "core/panel/SystemTick.h"

#include <chrono>

namespace quelnet {

std::uint64_t SystemTickMs() {
    // steady_clock counts from system start on Linux (CLOCK_MONOTONIC).
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now().time_since_epoch());
    return static_cast<std::uint64_t>(ms.count());
}

} // namespace quelnet
