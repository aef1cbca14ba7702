#!/usr/bin/env bash
# The mode is chosen by the first argument as given on the command line, also
# when it is one of Qt's own options (which Qt takes out of the arguments):
# "-reverse -k" starts the run-mode panel, "-k -reverse" the editor.
source "$(dirname "$0")/wm_support.sh"
display_or_fail

# expect_title TITLE ARGS...: the program started with ARGS shows a window
# whose whole title is TITLE.
expect_title() {
    local title=$1
    shift
    if ! start_program "Wirtualny Quelnet" "$@"; then
        fail "quelnet $*: no panel window"
    else
        local seen
        seen=$(xdotool getwindowname "$program_window" 2>/dev/null)
        [[ $seen == "$title" ]] || fail "quelnet $*: window \"$seen\", not \"$title\""
    fi
    stop_program
}

expect_title "Wirtualny Quelnet 4.0.1f" -reverse -k
expect_title "Wirtualny Quelnet 4.0.1f" -style fusion -k
expect_title "Wirtualny Quelnet 4.0.1f - Edycja" -k -reverse
finish
