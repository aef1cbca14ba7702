// Throughput of the two checksums over buffers the size of package entries.
#include "core/protocol/Checksums.h"

#include <benchmark/benchmark.h>
#include <vector>
#include <zlib.h>

static void BM_CrcUpdate(benchmark::State& state) {
    std::vector<unsigned char> data(size_t(state.range(0)));
    for (size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<unsigned char>(i * 31 + 1);
    for (auto _ : state)
        benchmark::DoNotOptimize(quelnet::CrcUpdate(data.data(), std::uint32_t(data.size())));
    state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_CrcUpdate)->Arg(4096)->Arg(64 * 1024)->Arg(256 * 1024)->Arg(512 * 1024);

// Baseline: zlib's crc32 over the same buffers (a different start and final
// complement, the same amount of work).
static void BM_ZlibCrc32(benchmark::State& state) {
    std::vector<unsigned char> data(size_t(state.range(0)));
    for (size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<unsigned char>(i * 31 + 1);
    for (auto _ : state)
        benchmark::DoNotOptimize(crc32(0, data.data(), uInt(data.size())));
    state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ZlibCrc32)->Arg(4096)->Arg(64 * 1024)->Arg(256 * 1024)->Arg(512 * 1024);

static void BM_WordCrc(benchmark::State& state) {
    std::vector<unsigned char> data(size_t(state.range(0)));
    for (size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<unsigned char>(i * 7 + 3);
    for (auto _ : state)
        benchmark::DoNotOptimize(quelnet::WordCrc(data.data(), std::uint32_t(data.size())));
    state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_WordCrc)->Arg(16)->Arg(256 * 1024);
