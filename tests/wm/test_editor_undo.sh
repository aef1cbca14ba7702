#!/usr/bin/env bash
# Undo, redo, copy and paste in the editor, driven as a user drives it under
# openbox: a palette item dragged onto the panel and placed with a click,
# Ctrl+Z and Ctrl+Y, and an element copied in one running editor and pasted
# into another (each with its own program folder and panel file). The panel
# file written on closing is compared byte for byte.
source "$(dirname "$0")/wm_support.sh"
display_or_fail

# client_origin WINDOW: "x y" of the window's client area on the screen.
client_origin() {
    xwininfo -id "$1" 2>/dev/null |
        awk '/Absolute upper-left X/ {x = $NF} /Absolute upper-left Y/ {y = $NF} END {print x, y}'
}

# at X Y: the panel's client point on the screen.
at() {
    local ox oy
    read -r ox oy < <(client_origin "$program_window")
    echo "$((ox + $1)) $((oy + $2))"
}

# toolbox: the program's toolbox window, shown by a double click on the empty
# panel at client point (450, 330).
toolbox() {
    local ids
    # shellcheck disable=SC2046
    xdotool mousemove $(at 450 330) click --repeat 2 --delay 60 1
    ids=$(timeout 5 xdotool search --sync --all --onlyvisible --pid "$program_pid" --name "Narz")
    echo "${ids%%$'\n'*}"
}

# drop_button X Y: drags the palette's first item (the button) onto the panel
# at client point (X, Y) and places it there with a click.
drop_button() {
    local tool tx ty x y i
    tool=$(toolbox)
    [[ -n $tool ]] || return 1
    read -r tx ty < <(client_origin "$tool")
    read -r x y < <(at "$1" "$2")
    # The first item of the list (8, 36 on the palette page, below the tabs).
    xdotool mousemove $((tx + 70)) $((ty + 90)) sleep 0.2 mousedown 1 sleep 0.2
    for i in 1 2 3 4 5 6 7 8 9 10; do
        xdotool mousemove $((tx + 70 + (x - tx - 70) * i / 10)) $((ty + 90 + (y - ty - 90) * i / 10)) sleep 0.05
    done
    xdotool mousemove "$x" "$y" sleep 0.3 mouseup 1 sleep 0.3 click 1 sleep 0.3
}

keys() {
    xdotool windowactivate --sync "$program_window" 2>/dev/null
    xdotool key --clearmodifiers "$@"
    sleep 0.3
}

# editor_run PANEL_FILE_BEFORE RESULT ACTIONS...: one editor start on the
# given panel file; after the actions the editor is closed and the file kept.
editor_run() {
    local before=$1 result=$2 action
    shift 2
    cp "$before" "$panel_file"
    if ! start_program "Wirtualny Quelnet" -k; then
        stop_program
        return 1
    fi
    wait_outer "$program_window" "420 0 500 380" >/dev/null
    for action in "$@"; do
        case $action in
        drop) drop_button 200 100 || fail "$result: no toolbox to drag from" ;;
        drop-beside) drop_button 304 200 || fail "$result: no toolbox to drag from" ;;
        *) keys "$action" ;;
        esac
    done
    close_program || echo "  ($result)"
    cp "$panel_file" "$work/$result"
}

same() { cmp -s "$work/$1" "$work/$2" || fail "$3"; }

write_panel 420 0 500 380 0
cp "$panel_file" "$work/empty"

editor_run "$work/empty" placed drop || fail "placing: no editor"
grep -q $'^x_tp=btn\r$' "$work/placed" || fail "the dropped button is not in the panel file"
grep -q $'^x_px=200\r$' "$work/placed" || fail "the button is not where it was dropped"
editor_run "$work/empty" undone drop ctrl+z || fail "undo: no editor"
same empty undone "after Ctrl+Z the panel file differs from the one before the drop"
editor_run "$work/empty" redone drop ctrl+z ctrl+y || fail "redo: no editor"
same placed redone "after Ctrl+Z, Ctrl+Y the panel file differs from the one after the drop"
editor_run "$work/placed" twice drop-beside ctrl+z ctrl+z ctrl+shift+z ctrl+z || fail "second run: no editor"
same placed twice "undo past the start of a run changed the panel file read at its start"

# Copy in one running editor, paste into another.
button_block=$'{\r\nx_tp=btn\r\nx_px=16\r\nx_py=16\r\nx_pw=96\r\nx_ph=32\r\np_en=yes\r\np_ho=127.0.0.1\r\np_pr=7080\r\np_ps=3958\r\np_oc=OUT1\r\np_om=2\r\np_ic=OUT1\r\np_im=1\r\np_il=/obrazki/wył.png\r\np_ih=/obrazki/zał.png\r\np_fr=500\r\np_cp=Pompa\r\n}\r\n'
write_panel 420 0 500 380 0
printf '%s' "$button_block" >>"$panel_file"
mkdir -p "$work/b"
cp "$work/quelnet" "$work/b/quelnet"
printf '{\r\nx_tp=scr\r\nx_px=420\r\nx_py=420\r\nx_pw=500\r\nx_ph=360\r\ns_ws=0\r\n}\r\n' >"$work/b/quelnet_scr.cnf"
if start_program "Wirtualny Quelnet" -k; then
    first_pid=$program_pid first_window=$program_window
    wait_outer "$program_window" "420 0 500 380" >/dev/null
    # shellcheck disable=SC2046
    xdotool mousemove $(at 40 30) click 1 sleep 0.8 # opened for editing after 250 ms
    keys ctrl+c
    # shellcheck disable=SC2046
    xdotool mousemove $(at 400 300) click 1 sleep 0.3
    program_dir=$work/b
    if start_program "Wirtualny Quelnet" -k; then
        wait_outer "$program_window" "420 420 500 360" >/dev/null
        xdotool windowactivate --sync "$program_window" 2>/dev/null
        # shellcheck disable=SC2046
        xdotool mousemove $(at 203 101) sleep 0.3
        keys ctrl+v
        xdotool click 1
        sleep 0.3
        close_program || echo "  (second editor)"
        expected=${button_block/x_px=16/x_px=200}
        expected=${expected/x_py=16/x_py=96}
        [[ $(tail -n +9 "$work/b/quelnet_scr.cnf") == "$(printf '%s' "$expected")" ]] ||
            fail "the pasted button's block differs: $(tail -n +9 "$work/b/quelnet_scr.cnf" | tr '\r\n' ' ')"
    else
        fail "no second editor"
    fi
    program_pid=$first_pid program_window=$first_window
    close_program || echo "  (first editor)"
else
    fail "no first editor"
fi
finish
