#!/usr/bin/env bash
# Installs the demonstration panel beside the program:
#   tools/install-demo.sh BIN_DIR
# copies the pictures to BIN_DIR/demo/ and writes BIN_DIR/quelnet_scr.cnf bound
# to the simulator on 127.0.0.1:7080 (password 3958), with absolute picture
# paths, CR LF line ends and Windows-1250 text as the program writes it.
# A panel file that is already there is the user's and is left as it is.
set -euo pipefail
if [[ $# -ne 1 ]]; then
    echo "usage: $0 BIN_DIR" >&2
    exit 2
fi
here=$(cd "$(dirname "$0")/.." && pwd)
src=$here/assets/demo
mkdir -p "$1/demo"
bin=$(cd "$1" && pwd)
demo=$bin/demo
panel=$bin/quelnet_scr.cnf

cp -f "$src"/*.png "$demo/"

if [[ -e $panel ]]; then
    echo "Panel file kept: $panel (delete it to get the demonstration panel back)."
    exit 0
fi

# The directory goes into a sed replacement: escape \, & and the delimiter.
escaped=$(printf '%s' "$demo" | sed -e 's/[\\&|]/\\&/g')
tmp=$(mktemp "$bin/.quelnet_scr.XXXXXX")
trap 'rm -f "$tmp"' EXIT
if ! sed -e "s|@DEMO@|$escaped|g" "$src/quelnet_scr.cnf.in" | iconv -f UTF-8 -t WINDOWS-1250 |
    sed -e 's/$/\r/' >"$tmp"; then
    echo "Cannot write the demonstration panel (is $demo representable in Windows-1250?)." >&2
    exit 1
fi
chmod 644 "$tmp"
# -n: a panel file that appeared meanwhile still wins.
mv -n "$tmp" "$panel"
echo "Demonstration panel written: $panel"
