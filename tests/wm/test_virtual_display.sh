#!/usr/bin/env bash
# The virtual display of run.sh: a program started on it once it is ready gets
# its window framed and mapped, start after start (a program started while the
# window manager was still taking the display over was left unmapped: a black
# screen).
source "$(dirname "$0")/wm_support.sh"

for start in $(seq 12); do
    display_or_fail
    "$work/quelnet" 2>>"$work/stderr.txt" &
    program_pid=$!
    if ! window=$(wait_for_window "$program_pid" 10); then
        fail "start $start: no mapped window of the program within 10 s"
    elif [[ -z $(xprop -id "$window" _NET_FRAME_EXTENTS 2>/dev/null | grep '=') ]]; then
        fail "start $start: the window is not framed by the window manager"
    fi
    stop_program
    stop_virtual_display
done
finish
