#pragma once
// The running bridge: the broker link, one worker per controller, discovery,
// and the service's side of systemd (readiness, watchdog, stopping).

#include "bridge/BridgeConfig.h"

namespace quelnet::bridge {

class Bridge {
public:
    explicit Bridge(BridgeConfig config) : m_config(std::move(config)) {}

    // Runs until SIGTERM, SIGINT or SIGHUP arrives (the caller blocks them in
    // every thread first, see BlockStopSignals) or the broker refuses the
    // bridge. Returns the exit status: 0 after a clean stop, 1 otherwise.
    int Run();

    // Blocks the stop signals in the calling thread and every thread it
    // starts afterwards; Run() takes them with sigtimedwait.
    static void BlockStopSignals();

private:
    BridgeConfig m_config;
};

} // namespace quelnet::bridge
