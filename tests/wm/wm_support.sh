# Sourced by the window-manager tests. Each test runs a private copy of the
# program (so that the panel file beside it is the test's own) on its own
# virtual display with openbox, and looks at the windows as the X server and
# the window manager see them.
#   usage of a test: <test>.sh QUELNET_PROGRAM
set -uo pipefail
wm_support_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=../../tools/virtual-display.sh
source "$wm_support_dir/../../tools/virtual-display.sh"

export QT_QPA_PLATFORM=xcb
work=$(mktemp -d)
cp "$1" "$work/quelnet"
panel_file=$work/quelnet_scr.cnf
program_pid=
program_window=
failures=0
trap 'stop_program; stop_virtual_display; rm -rf "$work"' EXIT

fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

# Ends the test: exit status 0 only when nothing failed.
finish() {
    if ((failures)); then
        echo "$failures check(s) failed"
        exit 1
    fi
    echo "all checks passed"
    exit 0
}

display_or_fail() {
    start_virtual_display || {
        echo "FAIL: no virtual display with a window manager"
        exit 1
    }
}

# start_program TITLE ARGS...: starts the program and waits at most 20 s until
# its window whose title contains TITLE is mapped (program_window); 1 when not.
# The copy in $program_dir runs (the test's folder unless set otherwise).
start_program() {
    local title=$1 ids deadline=$((SECONDS + 20))
    shift
    "${program_dir:-$work}/quelnet" "$@" 2>>"$work/stderr.txt" &
    program_pid=$!
    program_window=
    while ((SECONDS < deadline)) && kill -0 "$program_pid" 2>/dev/null; do
        # One search at a time: a window that goes away during a search makes
        # xdotool give up.
        ids=$(xdotool search --all --onlyvisible --pid "$program_pid" --name "$title" 2>/dev/null)
        program_window=${ids%%$'\n'*}
        [[ -n $program_window ]] && return 0
        sleep 0.05
    done
    echo "no window \"$title\" of: quelnet $*; its messages:"
    cat "$work/stderr.txt"
    return 1
}

stop_program() {
    if [[ -n $program_pid ]]; then
        kill "$program_pid" 2>/dev/null
        wait "$program_pid" 2>/dev/null
    fi
    program_pid=
}

# Closes the program's window as a user does (Alt+F4: openbox asks the active
# window to close), asking again while another window of the program still had
# the focus, and waits at most 10 s for the program to end.
close_program() {
    local deadline=$((SECONDS + 10)) next=0
    while kill -0 "$program_pid" 2>/dev/null; do
        if ((SECONDS >= deadline)); then
            fail "the program did not end after its window was closed"
            stop_program
            return 1
        fi
        if ((SECONDS >= next)); then
            xdotool windowactivate --sync "$program_window" key alt+F4 2>/dev/null
            next=$((SECONDS + 2))
        fi
        sleep 0.05
    done
    wait "$program_pid" 2>/dev/null
    program_pid=
}

# outer_rect WINDOW: "left top width height" of the window with its frame: the
# client's place on the screen widened by _NET_FRAME_EXTENTS.
outer_rect() {
    local l=0 r=0 t=0 b=0 x y w h extents
    extents=$(xprop -id "$1" _NET_FRAME_EXTENTS 2>/dev/null | sed -n 's/.*= *//p' | tr -d ,)
    [[ -n $extents ]] && read -r l r t b <<<"$extents"
    read -r x y w h < <(xwininfo -id "$1" 2>/dev/null | awk '
        /Absolute upper-left X/ {x = $NF} /Absolute upper-left Y/ {y = $NF}
        /^ *Width:/ {w = $NF} /^ *Height:/ {h = $NF} END {print x, y, w, h}')
    echo "$((x - l)) $((y - t)) $((w + l + r)) $((h + t + b))"
}

# wait_outer WINDOW "l t w h": waits at most 3 s for the outer rectangle to
# become the one given (or to begin with "l t"); prints the last one seen.
wait_outer() {
    local deadline=$((SECONDS + 3)) seen
    while :; do
        seen=$(outer_rect "$1")
        [[ "$seen " == "$2 "* ]] && break
        ((SECONDS >= deadline)) && break
        sleep 0.05
    done
    echo "$seen"
}

# write_panel LEFT TOP WIDTH HEIGHT STATE: a panel file holding only the window.
write_panel() {
    printf '{\r\nx_tp=scr\r\nx_px=%s\r\nx_py=%s\r\nx_pw=%s\r\nx_ph=%s\r\ns_ws=%s\r\n}\r\n' "$@" >"$panel_file"
}

# saved_place: "left top width height state" of the panel file's window block.
saved_place() {
    tr -d '\r' <"$panel_file" | awk -F= '
        /^x_tp=/ {scr = ($2 == "scr")}
        scr && /^x_px=/ {x = $2} scr && /^x_py=/ {y = $2} scr && /^x_pw=/ {w = $2}
        scr && /^x_ph=/ {h = $2} scr && /^s_ws=/ {s = $2}
        END {print x, y, w, h, s}'
}

# net_wm_state WINDOW: the window manager's state atoms of the window.
net_wm_state() {
    xprop -id "$1" _NET_WM_STATE 2>/dev/null | sed -n 's/.*= *//p'
}
