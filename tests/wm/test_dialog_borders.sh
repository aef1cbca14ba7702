#!/usr/bin/env bash
# Windows with the fixed dialog border under openbox: they ask for a title bar
# with the close button only (Motif hints without minimise and maximise, the
# dialog window type; the toolbox stays a utility window), the window manager
# offers neither resizing nor maximising, and the centred windows are centred
# with their frame. The sizeable editor window keeps its maximise button.
# (openbox itself still offers minimising and full screen to every normal or
# dialog window whatever the window asks for.)
source "$(dirname "$0")/wm_support.sh"
display_or_fail
read -r screen_w screen_h < <(xdotool getdisplaygeometry)

# motif WINDOW: "functions decorations" of _MOTIF_WM_HINTS, as numbers.
motif() {
    local fields
    IFS=', ' read -r -a fields < <(xprop -id "$1" _MOTIF_WM_HINTS 2>/dev/null | sed -n 's/.*= *//p')
    echo "$((${fields[1]:-0})) $((${fields[2]:-0}))"
}

# check_fixed NAME WINDOW TYPE: the hints of a fixed dialog border.
check_fixed() {
    local name=$1 window=$2 type=$3 functions decorations actions
    read -r functions decorations < <(motif "$window")
    # Functions: 0x08 minimise, 0x10 maximise; decorations: 0x20, 0x40 the buttons.
    ((functions & 0x18)) && fail "$name: Motif functions $functions offer minimise or maximise"
    ((decorations & 0x60)) && fail "$name: Motif decorations $decorations ask for minimise or maximise buttons"
    ((functions & 0x20)) || fail "$name: Motif functions $functions without close"
    [[ $(xprop -id "$window" _NET_WM_WINDOW_TYPE) == *"= _NET_WM_WINDOW_TYPE_$type"* ]] ||
        fail "$name: window type is not $type first"
    actions=$(xprop -id "$window" _NET_WM_ALLOWED_ACTIONS)
    [[ $actions == *CLOSE* ]] || fail "$name: openbox offers no close"
    [[ $actions == *MAXIMIZE* || $actions == *RESIZE* ]] && fail "$name: openbox offers $actions"
    return 0
}

# check_centred NAME WINDOW: the frame in the middle of the screen.
check_centred() {
    local l t w h seen
    read -r l t w h < <(outer_rect "$2")
    local want="$(((screen_w - w) / 2)) $(((screen_h - h) / 2)) $w $h"
    seen=$(wait_outer "$2" "$want")
    [[ $seen == "$want" ]] || fail "$1: frame at $seen, not centred at $want"
}

for mode in -u -r -b -x; do
    title=$(case $mode in -u) echo Aktualizacja ;; -r) echo Zasoby ;; -b) echo Ustawienia ;; -x) echo Rozszerzenia ;; esac)
    if ! start_program "$title" "$mode"; then
        fail "quelnet $mode: no window"
        stop_program
        continue
    fi
    check_fixed "quelnet $mode" "$program_window" DIALOG
    if [[ $mode == -x ]]; then
        seen=$(wait_outer "$program_window" "0 0")
        [[ "$seen " == "0 0 "* ]] || fail "quelnet -x: frame at $seen, not at 0 0"
    else
        check_centred "quelnet $mode" "$program_window"
    fi
    close_program
done

if start_program "Wirtualny Quelnet" ; then
    check_fixed "run-mode panel" "$program_window" DIALOG
    close_program
else
    fail "run-mode panel: no window"
    stop_program
fi

if start_program "Edycja" -k; then
    actions=$(xprop -id "$program_window" _NET_WM_ALLOWED_ACTIONS)
    [[ $actions == *MAXIMIZE_HORZ* && $actions == *RESIZE* ]] || fail "editor: openbox offers only $actions"
    read -r x y _ < <(outer_rect "$program_window")
    xdotool mousemove $((x + 300)) $((y + 200)) click --repeat 2 --delay 60 1
    ids=$(timeout 5 xdotool search --sync --all --onlyvisible --pid "$program_pid" --name "Narz")
    if [[ -n $ids ]]; then
        check_fixed "toolbox" "${ids%%$'\n'*}" UTILITY
    else
        fail "toolbox: not shown after a double click on the panel"
    fi
    close_program
else
    fail "editor: no window"
    stop_program
fi
finish
