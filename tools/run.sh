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
    # Xvfb picks a free display number and writes it to the pipe.
    exec 3< <(Xvfb -displayfd 1 -screen 0 1280x800x24 -nolisten tcp 2>/dev/null & echo "pid $!")
    read -r _ xvfb <&3
    read -r number <&3
    export DISPLAY=:$number
    trap 'kill ${sim:-} $xvfb 2>/dev/null || true' EXIT
    echo "No display (DISPLAY is not set): started a virtual one with Xvfb on $DISPLAY."
    echo "Take a look with: DISPLAY=$DISPLAY import -window root shot.png"
    openbox >/dev/null 2>&1 &   # title bars and frames, as on a desktop
fi

"$bin/quelnet" "$@"
