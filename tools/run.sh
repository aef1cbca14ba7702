#!/usr/bin/env bash
# Installs what is missing, builds, and starts the main job: the controller
# simulator on 127.0.0.1 and the demo panel bound to it (run mode). Pass "-k"
# to open the panel editor instead; any other argument goes to the program.
# Without a display the program is started on a virtual one (Xvfb with the
# openbox window manager, on a free display number).
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh
tools/build.sh

bin=build/bin
sim=
program=
virtual=
cleanup() {
    local pid
    for pid in $program $sim; do
        kill "$pid" 2>/dev/null || true
    done
    if [[ -n $virtual ]]; then
        stop_virtual_display
    fi
}
trap cleanup EXIT

if [[ -x $bin/quelnet-sim ]]; then
    "$bin/quelnet-sim" --demo &
    sim=$!
fi
if [[ -x tools/install-demo.sh ]]; then
    tools/install-demo.sh "$bin"
fi

if [[ -z ${DISPLAY:-} ]]; then
    source tools/virtual-display.sh
    # The program starts only once openbox owns the display: a window mapped
    # while the manager is still taking the display over can stay unmapped.
    if ! start_virtual_display; then
        echo "No display (DISPLAY is not set), and no virtual one could be started (Xvfb with openbox)." >&2
        exit 1
    fi
    virtual=yes
    echo "No display (DISPLAY is not set): started a virtual one with Xvfb and openbox on $DISPLAY."
fi

"$bin/quelnet" "$@" &
program=$!
if [[ -n $virtual ]]; then
    if ! window=$(wait_for_window "$program" 20); then
        echo "The program's window did not appear on $DISPLAY within 20 s." >&2
        exit 1
    fi
    echo "The program's window ($window) is on the screen."
    echo "Take a look with: DISPLAY=$DISPLAY import -window root shot.png"
fi
status=0
wait "$program" || status=$?
program=
exit "$status"
