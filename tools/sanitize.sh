#!/usr/bin/env bash
# Builds everything with clang, AddressSanitizer and UndefinedBehaviorSanitizer
# (and the fuzz targets, which share the build) into ./build-asan, and runs every
# test there. Any sanitizer report ends its program and fails its test; leaks in
# system libraries are suppressed by name in tools/lsan.supp.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
tools/install-deps.sh
if [[ ! -f build-asan/CMakeCache.txt ]]; then
    CC=clang CXX=clang++ cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DQUELNET_SANITIZE=ON -DQUELNET_FUZZ=ON -DQUELNET_BUILD_BENCH=OFF >/dev/null
fi
cmake --build build-asan -j"$(nproc)"
export ASAN_OPTIONS=halt_on_error=1:abort_on_error=1:detect_leaks=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
export LSAN_OPTIONS=suppressions=$root/tools/lsan.supp:print_suppressions=0
cd build-asan
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)" "$@"
