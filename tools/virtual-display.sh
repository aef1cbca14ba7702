# Sourced (not run) by run.sh and the window-manager tests: a virtual X display
# with a window manager, as on a desktop.
#
#   start_virtual_display   starts Xvfb on a free display number and openbox on
#                           it, exports DISPLAY, and returns once openbox owns
#                           the display; a display that does not come up (either
#                           ends, or is not ready within VIRTUAL_DISPLAY_TIMEOUT
#                           seconds, default 10) is tried again, and after the
#                           third failure it returns non-zero
#   stop_virtual_display    stops both (only the processes started here)
#   wait_for_window PID [S] waits at most S seconds (default 20) until a window
#                           of process PID is mapped and viewable; prints its id
#
# A program started before openbox has taken the display over may see its
# window adopted half-way and left unmapped (a black screen): start programs
# only after start_virtual_display has returned.

virtual_display_xvfb=
virtual_display_wm=
virtual_display_numberfile=

start_virtual_display_once() {
    local limit=${VIRTUAL_DISPLAY_TIMEOUT:-10} number= deadline
    # Xvfb picks a free display number and writes it, with a newline, to its
    # own file once it accepts clients (a file, not a pipe shared with other
    # output, so that nothing else can be read for the number).
    virtual_display_numberfile=$(mktemp)
    Xvfb -displayfd 3 -screen 0 "${VIRTUAL_DISPLAY_SCREEN:-1280x800x24}" -nolisten tcp \
        3>"$virtual_display_numberfile" >/dev/null 2>&1 &
    virtual_display_xvfb=$!
    deadline=$((SECONDS + limit))
    until IFS= read -r number <"$virtual_display_numberfile" && [[ $number =~ ^[0-9]+$ ]]; do
        if ((SECONDS >= deadline)) || ! kill -0 "$virtual_display_xvfb" 2>/dev/null; then
            stop_virtual_display
            return 1
        fi
        sleep 0.02
    done
    export DISPLAY=:$number
    openbox >/dev/null 2>&1 &
    virtual_display_wm=$!
    # The manager announces itself on the root window (_NET_SUPPORTING_WM_CHECK)
    # once it has taken the display over; windows mapped from then on are
    # framed and mapped by it.
    deadline=$((SECONDS + limit))
    until [[ $(xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null) == *'window id #'* ]]; do
        if ((SECONDS >= deadline)) || ! kill -0 "$virtual_display_wm" 2>/dev/null; then
            stop_virtual_display
            return 1
        fi
        sleep 0.05
    done
}

# A display that fails to come up (Xvfb or openbox ending at once, as seen now
# and then on a loaded machine) is started again, at most three times in all.
start_virtual_display() {
    local _
    for _ in 1 2 3; do
        start_virtual_display_once && return 0
        sleep 0.2
    done
    return 1
}

stop_virtual_display() {
    local pid
    for pid in $virtual_display_wm $virtual_display_xvfb; do
        kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null
    done
    virtual_display_wm=
    virtual_display_xvfb=
    if [[ -n ${virtual_display_numberfile:-} ]]; then
        rm -f "$virtual_display_numberfile"
        virtual_display_numberfile=
    fi
    return 0
}

wait_for_window() {
    local ids
    ids=$(timeout "${2:-20}" xdotool search --sync --onlyvisible --pid "$1" 2>/dev/null) || return 1
    [[ -n $ids ]] || return 1
    echo "${ids%%$'\n'*}"
}
