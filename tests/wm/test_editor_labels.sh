#!/usr/bin/env bash
# The editor draws text labels whole, as the run mode does, also where a
# label's saved rectangle is smaller than its text (the demonstration panel's
# title: 420 x 24 pixels for 14-point bold text). The labels are blue, nothing
# else in the window is: the editor must show at least as much blue text as
# the run mode (its frames are grey), and closing it keeps the saved rectangles.
source "$(dirname "$0")/wm_support.sh"
display_or_fail

label() { # label X Y W H SIZE TEXT
    printf '{\r\nx_tp=tlb\r\nx_px=%s\r\nx_py=%s\r\nx_pw=%s\r\nx_ph=%s\r\nt_en=yes\r\nt_tx=%s\r\nt_fn=Tahoma\r\nt_fs=%s\r\nt_fc=$00FF0000\r\nt_fb=yes\r\nt_fi=no\r\nt_fu=no\r\nt_ft=no\r\n}\r\n' \
        "$1" "$2" "$3" "$4" "$6" "$5"
}
write_labels() {
    write_panel 0 0 702 407 0
    label 20 12 420 24 14 'Wirtualny Quelnet - panel demonstracyjny' >>"$panel_file"
    label 20 60 60 8 9 'Sterownik 127.0.0.1, port 7080' >>"$panel_file"
}

# blue_pixels WINDOW: how many pixels of the window's client area are blue,
# once two screenshots in a row agree (at most 5 s).
blue_pixels() {
    local deadline=$((SECONDS + 5)) last=-1 count
    while :; do
        count=$(import -window "$1" png:- 2>/dev/null |
            convert png:- -fuzz 30% -fill white +opaque blue -fill black -opaque blue \
                -format '%[fx:int((1-mean)*w*h+0.5)]' info:)
        [[ -n $count && $count -gt 0 && $count == "$last" ]] && break
        ((SECONDS >= deadline)) && break
        last=$count
        sleep 0.2
    done
    echo "${count:-0}"
}

write_labels
saved=$(cat "$panel_file")
if start_program "Wirtualny Quelnet" ; then
    run=$(blue_pixels "$program_window")
else
    fail "run mode: no panel window"
fi
stop_program
if start_program "Wirtualny Quelnet" -k; then
    edit=$(blue_pixels "$program_window")
    close_program
else
    fail "editor: no panel window"
    stop_program
fi
echo "blue text pixels: run mode ${run:-?}, editor ${edit:-?}"
if [[ -n ${run:-} && -n ${edit:-} ]]; then
    ((run > 500)) || fail "run mode shows hardly any text ($run blue pixels)"
    ((edit * 100 >= run * 95)) || fail "the editor cuts the labels: $edit blue pixels against $run in run mode"
fi
for rect in 'x_pw=420.x_ph=24' 'x_pw=60.x_ph=8'; do
    tr -d '\r' <"$panel_file" | tr '\n' '.' | grep -q "$rect" || fail "the editor did not keep the label rectangle $rect"
done
finish
