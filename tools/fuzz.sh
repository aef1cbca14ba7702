#!/usr/bin/env bash
# Builds the fuzz targets (clang, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs each for a given time:
#   tools/fuzz.sh [SECONDS [BUILD_DIR]]   default 60 s each, build folder build-fuzz
#   tools/fuzz.sh --seeds [BUILD_DIR]     writes the seed corpora in tests/fuzz/corpus anew
# Each target starts from its seed corpus in the repository (left unchanged: what
# a run finds goes to BUILD_DIR/fuzz/work) with its dictionary. A crash, a leak,
# a sanitizer report or a time-out is a finding: its input is kept as
# BUILD_DIR/fuzz/findings/<target>-*, and the script exits 1.
set -uo pipefail
cd "$(dirname "$0")/.."
root=$PWD

seeds=0
if [[ ${1:-} == --seeds ]]; then
    seeds=1
    shift
    seconds=0
else
    seconds=${1:-60}
    shift || true
fi
build=${1:-build-fuzz}

tools/install-deps.sh || exit 1
if [[ ! -f $build/CMakeCache.txt ]]; then
    CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DQUELNET_SANITIZE=ON -DQUELNET_FUZZ=ON -DQUELNET_BUILD_BENCH=OFF >/dev/null || exit 1
fi
cmake -S . -B "$build" -DQUELNET_FUZZ=ON >/dev/null || exit 1
mapfile -t rows <"$build/fuzz/targets.txt"
targets=()
for row in "${rows[@]}"; do targets+=("fuzz_${row%% *}"); done
cmake --build "$build" -j2 --target "${targets[@]}" quelnet-fuzz-seeds || exit 1

if ((seeds)); then
    "$build/fuzz/quelnet-fuzz-seeds" tests/fuzz/corpus || exit 1
    echo "seed corpora written to tests/fuzz/corpus"
    exit 0
fi

export ASAN_OPTIONS=${ASAN_OPTIONS:-halt_on_error=1:abort_on_error=1:detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$root/tools/lsan.supp:print_suppressions=0}
export QT_LOGGING_RULES="*.debug=false;*.warning=false"
mkdir -p "$build/fuzz/findings"
failed=0
summary=()
for row in "${rows[@]}"; do
    read -r name dict <<<"$row"
    work="$build/fuzz/work/$name"
    mkdir -p "$work"
    log="$build/fuzz/$name.log"
    "$build/fuzz/fuzz_$name" -max_total_time="$seconds" -print_final_stats=1 -timeout=10 \
        -rss_limit_mb=2048 -dict="tests/fuzz/$dict" -artifact_prefix="$build/fuzz/findings/$name-" \
        "$work" "tests/fuzz/corpus/$name" >"$log" 2>&1
    rc=$?
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    if ((rc == 0)); then
        summary+=("$(printf '%-16s %12s executions in %s s, no finding' "$name" "${runs:-?}" "$seconds")")
    else
        failed=1
        summary+=("$(printf '%-16s FINDING (exit %d), see %s' "$name" "$rc" "$log")")
        grep -E '^(==[0-9]+==ERROR|SUMMARY|.*runtime error)' "$log" | head -5
    fi
done
echo "fuzz summary:"
printf '  %s\n' "${summary[@]}"
exit $failed
