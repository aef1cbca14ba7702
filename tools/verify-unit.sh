#!/usr/bin/env bash
# Checks a systemd unit as systemd would load it: systemd-analyze verify on a
# copy whose ExecStart names the given (built, not installed) program.
# Usage: verify-unit.sh SYSTEMD-ANALYZE UNIT PROGRAM
set -euo pipefail
analyze=$1 unit=$2 program=$3
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
sed -E "s|^ExecStart=[^ ]+|ExecStart=$program|" "$unit" >"$dir/$(basename "$unit")"
out=$("$analyze" verify "$dir/$(basename "$unit")" 2>&1) || { echo "$out"; exit 1; }
# verify reports some faults only as messages.
if grep -E "$(basename "$unit")" <<<"$out"; then
    exit 1
fi
echo "unit: clean"
