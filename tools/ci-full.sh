#!/usr/bin/env bash
# CI: the normal build and every test (the README's test command), the Debian
# packages built from it and checked (lintian, hardening-check, menu entries,
# AppStream), then the sanitizer build and every test again, then each fuzz target for a minute from
# its seed corpus. Prints a summary; exits non-zero when any step failed.
set -uo pipefail
cd "$(dirname "$0")/.."
logs=$(mktemp -d)
summary=()
status=0
passed=0
failed=0

# Runs one step, its output shown and kept; counts what its ctest reported.
step() {
    local name=$1 log=$logs/$2
    shift 2
    local start=$SECONDS
    "$@" 2>&1 | tee "$log"
    local rc=${PIPESTATUS[0]}
    local took=$((SECONDS - start))
    local counts
    counts=$(sed -n 's/.*tests passed, \([0-9]*\) tests\{0,1\} failed out of \([0-9]*\).*/\1 \2/p' "$log" | tail -1)
    if [[ -n $counts ]]; then
        read -r bad total <<<"$counts"
        passed=$((passed + total - bad))
        failed=$((failed + bad))
    elif ((rc != 0)); then
        failed=$((failed + 1))
    fi
    if ((rc == 0)); then
        summary+=("$(printf '%-36s passed  %5d s' "$name" "$took")")
    else
        summary+=("$(printf '%-36s FAILED  %5d s (exit %d)' "$name" "$took" "$rc")")
        status=1
    fi
}

step "build and tests" normal.log tools/test.sh
step "Debian packages and their checks" package.log tools/check-package.sh build
step "sanitizer build and tests" sanitize.log tools/sanitize.sh
step "fuzz targets, 60 s each" fuzz.log tools/fuzz.sh 60 build-asan
fuzz_clean=$(grep -c 'no finding' "$logs/fuzz.log" || true)
fuzz_found=$(grep -c 'FINDING' "$logs/fuzz.log" || true)
passed=$((passed + fuzz_clean))
failed=$((failed + fuzz_found))

echo
echo "CI summary (${SECONDS} s in all):"
printf '  %s\n' "${summary[@]}"
grep -A20 '^fuzz summary:' "$logs/fuzz.log" | tail -n +2 || true
echo "ci: $passed passed, $failed failed"
exit $status
