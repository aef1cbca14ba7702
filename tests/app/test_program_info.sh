#!/usr/bin/env bash
# quelnet --help and --version answer without a display (the xcb platform with
# no X server would end the program if it tried to open a window), and the
# program, the command-line tool and the simulator report one version.
#   usage: test_program_info.sh QUELNET QUELNETCTL QUELNET_SIM VERSION
set -uo pipefail
quelnet=$1 ctl=$2 sim=$3 version=$4
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}
run() {
    env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb timeout 10 "$@" 2>&1
}

out=$(run "$quelnet" --version) || fail "quelnet --version: exit $?"
[[ $out == "quelnet $version" ]] || fail "quelnet --version printed: $out"
out=$(run "$ctl" --version) || fail "quelnetctl --version: exit $?"
[[ $out == "quelnetctl $version" ]] || fail "quelnetctl --version printed: $out"
out=$(run "$sim" --version) || fail "quelnet-sim --version: exit $?"
[[ $out == "quelnet-sim $version" ]] || fail "quelnet-sim --version printed: $out"

out=$(run "$quelnet" --help) || fail "quelnet --help: exit $?"
for mode in -k -u -r -b -x -dravin --version; do
    grep -q -- "^  .*$mode " <<<"$out" || fail "quelnet --help does not list $mode"
done
# Only the exact first argument counts: --help later on is no request for help
# (the panel would start, which needs the display).
if run "$quelnet" -k --help >/dev/null; then
    fail "quelnet -k --help answered instead of starting the editor"
fi

if ((failures)); then
    echo "$failures check(s) failed"
    exit 1
fi
echo "all checks passed"
