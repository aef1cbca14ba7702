#pragma once
// Shared by the benchmarks that program the simulator over loopback: a
// simulator on its own thread that restarts at once after an update start,
// the minimum as an extra statistic, and a main with a QCoreApplication.
#include "sim/SimThread.h"

#include <QCoreApplication>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <vector>

namespace quelnet::bench {

inline sim::SimThread& InstantlyRestartingSim() {
    static sim::SimThread* s = [] {
        sim::SimConfig config;
        config.restartDelayMs = 0;
        auto* t = new sim::SimThread(config);
        if (!t->Start())
            std::abort();
        return t;
    }();
    return *s;
}

// The machine is shared: run with --benchmark_repetitions (and random
// interleaving) and compare the minima as well as the medians.
inline double Min(const std::vector<double>& v) {
    return *std::min_element(v.begin(), v.end());
}

inline int RunWithCoreApplication(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

} // namespace quelnet::bench
