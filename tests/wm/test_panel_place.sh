#!/usr/bin/env bash
# The panel window's place under openbox: the panel file holds the outer
# rectangle (frame included). Every start must put the frame there, and
# closing the editor must store the same rectangle again, start after start
# (each start reads what the previous one stored). The toolbox, brought up by
# a double click on the empty panel, has its frame at (0, 0).
source "$(dirname "$0")/wm_support.sh"
display_or_fail

place="400 0 716 420"
write_panel $place 0
for start in $(seq 30); do
    if ! start_program "Wirtualny Quelnet" -k; then
        fail "editor start $start: no panel window"
        stop_program
        continue
    fi
    seen=$(wait_outer "$program_window" "$place")
    [[ $seen == "$place" ]] || fail "editor start $start: outer rectangle $seen, not $place"
    if ((start % 3 == 0)); then
        xdotool mousemove 700 200 click --repeat 2 --delay 60 1
        ids=$(timeout 5 xdotool search --sync --all --onlyvisible --pid "$program_pid" --name "Narz")
        if [[ -z $ids ]]; then
            fail "editor start $start: no toolbox after a double click on the panel"
        else
            seen=$(wait_outer "${ids%%$'\n'*}" "0 0")
            [[ "$seen " == "0 0 "* ]] || fail "editor start $start: toolbox frame at $seen, not at 0 0"
        fi
    fi
    close_program
    saved=$(saved_place)
    if [[ $saved != "$place 0" ]]; then
        fail "editor start $start: stored $saved, not $place 0"
        write_panel $place 0
    fi
done

# Run mode: the fixed border has no resize handle, the frame is another size.
for start in $(seq 10); do
    if ! start_program "Wirtualny Quelnet" ; then
        fail "run start $start: no panel window"
        stop_program
        continue
    fi
    seen=$(wait_outer "$program_window" "$place")
    [[ $seen == "$place" ]] || fail "run start $start: outer rectangle $seen, not $place"
    close_program
done
finish
