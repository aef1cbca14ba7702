#!/usr/bin/env bash
# Checks the layer rule on the source tree given as $1 (default: the checkout):
#  - the layers are core < gui < app, core < sim, core < cli, core < bridge; an include that
#    names a higher or sibling layer is an error;
#  - core never names a Qt Gui or Widgets header;
#  - no two folders (core/base, gui/panel, sim, ...) include each other.
# Prints every offence and exits 1 if there is one.
set -uo pipefail
root=${1:-$(cd "$(dirname "$0")/.." && pwd)}
cd "$root" || exit 2

declare -A allowed=(
    [core]="core"
    [gui]="core gui"
    [app]="core gui app"
    [sim]="core sim"
    [cli]="core cli"
    [bridge]="core bridge"
)
status=0
edges=$(mktemp)
trap 'rm -f "$edges"' EXIT

folder_of() { # core/link/DeviceLink.h -> core/link ; sim/X.h -> sim
    local p=$1 top=${1%%/*}
    case $top in
    core | gui) local rest=${p#*/}; echo "$top/${rest%%/*}" ;;
    *) echo "$top" ;;
    esac
}

for layer in "${!allowed[@]}"; do
    [[ -d $layer ]] || continue
    while IFS= read -r -d '' file; do
        from=$(folder_of "$file")
        while IFS= read -r inc; do
            [[ -n $inc ]] || continue
            target=${inc%%/*}
            if [[ $inc == */* && -n ${allowed[$target]+x} ]]; then
                if [[ " ${allowed[$layer]} " != *" $target "* ]]; then
                    echo "$file: includes \"$inc\" ($layer may include only: ${allowed[$layer]})"
                    status=1
                fi
                to=$(folder_of "$inc")
                [[ $to != "$from" ]] && echo "$from $to" >>"$edges"
            fi
        done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$file")
        if [[ $layer == core ]] &&
            grep -nE '^[[:space:]]*#[[:space:]]*include[[:space:]]*<(QtWidgets/|QtGui/|QWidget|QApplication|QGuiApplication|QPixmap|QImage|QColor|QFont|QPainter)' "$file"; then
            echo "$file: the core includes a Qt Gui or Widgets header"
            status=1
        fi
    done < <(find "$layer" \( -name '*.h' -o -name '*.cpp' \) -print0)
done

# Folder pairs that depend on each other both ways.
pairs=$(sort -u "$edges")
while read -r a b; do
    [[ -n $a && $a < $b ]] || continue
    if grep -qx "$b $a" <<<"$pairs"; then
        echo "folders $a and $b include each other"
        status=1
    fi
done <<<"$pairs"

if ((status == 0)); then echo "layers: clean"; fi
exit $status
