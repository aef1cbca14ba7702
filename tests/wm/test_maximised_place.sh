#!/usr/bin/env bash
# A maximised editor window under openbox keeps its normal outer rectangle in
# the panel file: when it was opened maximised from the file, when the user
# maximised it (double click on the title bar), and after it was restored.
# openbox frames a maximised window without its borders, so the frame of the
# moment is not the frame of the normal place. The first start (a panel file
# without a window block) is tried too, on the screen size users reported.
export VIRTUAL_DISPLAY_SCREEN=1600x1000x24
source "$(dirname "$0")/wm_support.sh"
display_or_fail

# wait_maximised WINDOW yes|no: waits at most 3 s for openbox to report the
# window maximised (both ways) or not.
wait_maximised() {
    local deadline=$((SECONDS + 3)) state
    while :; do
        state=$(net_wm_state "$1")
        if [[ $state == *MAXIMIZED_VERT*MAXIMIZED_HORZ* || $state == *MAXIMIZED_HORZ*MAXIMIZED_VERT* ]]; then
            [[ $2 == yes ]] && return 0
        else
            [[ $2 == no ]] && return 0
        fi
        ((SECONDS >= deadline)) && return 1
        sleep 0.05
    done
}

# wait_framed WINDOW: waits at most 3 s for openbox to tell the window's frame.
wait_framed() {
    local deadline=$((SECONDS + 3))
    until xprop -id "$1" _NET_FRAME_EXTENTS 2>/dev/null | grep -q '='; do
        ((SECONDS >= deadline)) && return 1
        sleep 0.05
    done
}

title_double_click() {
    xdotool mousemove "$1" "$2" click --repeat 2 --delay 60 1
}

designed="0 0 702 407"
for start in $(seq 12); do
    write_panel $designed 2
    if ! start_program "Wirtualny Quelnet" -k; then
        fail "maximised start $start: no panel window"
        stop_program
        continue
    fi
    wait_maximised "$program_window" yes || fail "maximised start $start: the window is not maximised"
    if ((start % 4 == 0)); then
        # Restored by the user: the normal place is the file's.
        title_double_click 640 10
        wait_maximised "$program_window" no || fail "maximised start $start: not restored"
        seen=$(wait_outer "$program_window" "$designed")
        [[ $seen == "$designed" ]] || fail "maximised start $start: restored to $seen, not $designed"
        title_double_click 320 10
        wait_maximised "$program_window" yes || fail "maximised start $start: not maximised again"
    fi
    close_program
    saved=$(saved_place)
    [[ $saved == "$designed 2" ]] || fail "maximised start $start: stored $saved, not $designed 2"
done

place="400 0 716 420"
for start in $(seq 8); do
    write_panel $place 0
    if ! start_program "Wirtualny Quelnet" -k; then
        fail "user start $start: no panel window"
        stop_program
        continue
    fi
    wait_outer "$program_window" "$place" >/dev/null
    title_double_click 700 10
    wait_maximised "$program_window" yes || fail "user start $start: the window was not maximised"
    close_program
    saved=$(saved_place)
    [[ $saved == "$place 2" ]] || fail "user start $start: stored $saved, not $place 2"
done
# First start: the panel file holds an element but no window block, so the
# window comes up at its designed size wherever openbox puts it; the user
# maximises it at once and closes it.
for start in $(seq 6); do
    printf '{\r\nx_tp=tlb\r\nx_px=20\r\nx_py=12\r\nx_pw=40\r\nx_ph=8\r\nt_en=yes\r\nt_tx=Etykieta\r\n}\r\n' \
        >"$panel_file"
    if ! start_program "Wirtualny Quelnet" -k; then
        fail "first start $start: no panel window"
        stop_program
        continue
    fi
    wait_framed "$program_window" || fail "first start $start: openbox did not frame the window"
    normal=$(outer_rect "$program_window")
    read -r left top width height <<<"$normal"
    title_double_click $((left + width / 2)) $((top + 10))
    wait_maximised "$program_window" yes || fail "first start $start: the window was not maximised"
    close_program
    saved=$(saved_place)
    [[ $saved == "$normal 2" ]] || fail "first start $start: stored $saved, not $normal 2"
done
finish
