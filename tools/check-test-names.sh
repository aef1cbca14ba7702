#!/usr/bin/env bash
# Fails when a test binary lists a case named by the raw bytes of its parameter
# ("40-byte object <E6-43 ...>"): such names hold addresses and padding, so they
# change from build to build. A parameter type needs a PrintTo for the listings.
# Usage: check-test-names.sh TEST_BINARY...
set -uo pipefail
export QT_QPA_PLATFORM=offscreen
status=0
for binary in "$@"; do
    if ! listing=$("$binary" --gtest_list_tests 2>&1); then
        echo "$binary: cannot list its tests" >&2
        status=1
        continue
    fi
    if raw=$(grep -E -- '-byte object <' <<<"$listing"); then
        echo "$binary: cases named by raw parameter bytes:" >&2
        echo "$raw" | head -5 >&2
        status=1
    fi
done
exit $status
