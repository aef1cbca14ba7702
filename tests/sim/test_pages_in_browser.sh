#!/usr/bin/env bash
# A page installed with `quelnetctl resources` is what a browser shows from the
# simulator's HTTP port: headless Chromium, 127.0.0.1 only, a fresh profile.
# The page's text must be in the document Chromium builds, and the screenshot
# must show the page: its green block where the page puts it, the text drawn
# in white inside it, the rest of the window white.
#   usage: test_pages_in_browser.sh QUELNET_SIM QUELNETCTL CHROMIUM
set -uo pipefail
sim=$1 ctl=$2 chromium=$3
work=$(mktemp -d)
sim_pid=
trap '[[ -n $sim_pid ]] && kill "$sim_pid" 2>/dev/null; rm -rf "$work"' EXIT
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

cat >"$work/strona.html" <<'HTML'
<html><head><title>Pompa</title></head>
<body style="margin:0;background:#ffffff">
<div style="width:400px;height:300px;background:#00c000;color:#ffffff;font:bold 48px sans-serif">Pompa wody</div>
</body></html>
HTML

# The simulator on free loopback ports; its first line on standard error names them.
"$sim" --port 0 --http-port 0 2>"$work/sim.txt" &
sim_pid=$!
deadline=$((SECONDS + 20))
until grep -q 'HTTP on 127.0.0.1:[0-9]' "$work/sim.txt"; do
    if ((SECONDS >= deadline)) || ! kill -0 "$sim_pid" 2>/dev/null; then
        cat "$work/sim.txt"
        echo "FAIL: the simulator did not start"
        exit 1
    fi
    sleep 0.05
done
tcp=$(sed -n 's/.*control protocol on 127.0.0.1:\([0-9]*\).*/\1/p' "$work/sim.txt")
http=$(sed -n 's/.*HTTP on 127.0.0.1:\([0-9]*\).*/\1/p' "$work/sim.txt")

"$ctl" resources "127.0.0.1:$tcp" --page "1=$work/strona.html" >"$work/ctl.txt" 2>&1 ||
    fail "quelnetctl resources: $(cat "$work/ctl.txt")"

browse() {
    timeout 60 "$chromium" --headless --no-sandbox --disable-gpu --disable-quic --no-first-run \
        --disable-background-networking --disable-component-update --disable-sync \
        --user-data-dir="$work/profile-$1" --window-size=800,600 --hide-scrollbars "${@:2}" 2>>"$work/chromium.txt"
}
url=http://127.0.0.1:$http/u1.html
dom=$(browse dom --dump-dom "$url")
grep -q 'Pompa wody' <<<"$dom" || fail "the document has not the page's text: $dom"
browse shot --screenshot="$work/shot.png" "$url" >/dev/null
if [[ ! -s $work/shot.png ]]; then
    fail "no screenshot: $(tail -5 "$work/chromium.txt")"
else
    # mean_colour X Y W H: "r g b" of the region, each 0-255.
    mean_colour() {
        convert "$work/shot.png" -crop "$3x$4+$1+$2" +repage -resize 1x1\! -depth 8 txt:- |
            sed -n 's/.*(\([0-9.]*\),\([0-9.]*\),\([0-9.]*\).*/\1 \2 \3/p' | awk '{printf "%d %d %d", $1, $2, $3}'
    }
    # white_share X Y W H: per mille of the region's pixels that are near white.
    white_share() {
        convert "$work/shot.png" -crop "$3x$4+$1+$2" +repage -fuzz 15% -fill black +opaque white \
            -fill white -opaque white -colorspace gray -format '%[fx:int(mean*1000)]' info:
    }
    read -r r g b <<<"$(mean_colour 0 100 400 200)"
    ((g > 150 && r < 40 && b < 40)) || fail "the block is not green below the text: $r $g $b"
    read -r r g b <<<"$(mean_colour 450 0 350 600)"
    ((r > 245 && g > 245 && b > 245)) || fail "the page beside the block is not white: $r $g $b"
    text=$(white_share 0 0 400 70)
    ((text > 30 && text < 600)) || fail "no text drawn in the block (white share $text per mille)"
fi

if ((failures)); then
    echo "$failures check(s) failed"
    exit 1
fi
echo "all checks passed"
