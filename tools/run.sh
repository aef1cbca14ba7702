#!/usr/bin/env bash
# Installs what is missing, builds, and starts the main job: the controller
# simulator on 127.0.0.1 and the demo panel bound to it (run mode). Pass "-k"
# to open the panel editor instead; any other argument goes to the program.
# Without a display the program is started on a virtual one (Xvfb :99).
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh
tools/build.sh

bin=build/bin
if [[ -x $bin/quelnet-sim ]]; then
    "$bin/quelnet-sim" --demo &
    sim=$!
    trap 'kill $sim 2>/dev/null || true' EXIT
fi
if [[ -x tools/install-demo.sh ]]; then
    tools/install-demo.sh "$bin"
fi

if [[ -z ${DISPLAY:-} ]]; then
    echo "No display (DISPLAY is not set): starting a virtual one with Xvfb on :99."
    echo "Take a look with: DISPLAY=:99 import -window root shot.png"
    Xvfb :99 -screen 0 1280x800x24 -nolisten tcp &
    xvfb=$!
    trap 'kill ${sim:-} $xvfb 2>/dev/null || true' EXIT
    export DISPLAY=:99
    for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
    openbox >/dev/null 2>&1 &   # title bars and frames, as on a desktop
fi

"$bin/quelnet" "$@"
