#pragma once
// The system's millisecond tick counter: monotonic time since system start,
// in 64 bits (no wrap in any uptime).

#include "core/panel/RunSeams.h"

namespace quelnet {

std::uint64_t SystemTickMs();

class SystemTick : public ITickSource {
public:
    std::uint64_t TickMs() override { return SystemTickMs(); }
};

} // namespace quelnet
