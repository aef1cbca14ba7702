#pragma once
// The system's millisecond tick counter (monotonic time since system start, in
// 32 bits, so it wraps after about 49.7 days).

#include "core/panel/RunSeams.h"

namespace quelnet {

std::uint32_t SystemTickMs();

class SystemTick : public ITickSource {
public:
    std::uint32_t TickMs() override { return SystemTickMs(); }
};

} // namespace quelnet
