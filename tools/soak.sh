#!/usr/bin/env bash
# Fault soak (not part of the tests): 100 configuration transfers (each written,
# then read back) and 100 DataFlash programming runs against the simulator with
# 5 % of the page replies dropped and 5 % echoing a wrong address, at random.
# Every run must end with the simulator's memory equal to what was written, or
# with the clean failure after ten faults in a row on one page. Prints the counts.
#   tools/soak.sh [quelnet-soak options: --runs N --drop P --wrong-echo P --seed N --timeout MS]
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j2 --target quelnet-soak
exec build/bin/quelnet-soak "$@"
