#!/usr/bin/env bash
# quelnetctl-help.sh QUELNETCTL --help|--version: the tool's help followed by
# the help of each of its commands, for help2man (quelnetctl(1) documents every
# command and option from the program itself). The commands are the first
# indented list of the main help; a command's own help is printed without the
# common part that the main help already has (from its first line that the main
# help has too).
set -euo pipefail
ctl=$1
shift
if [[ ${1:-} != --help ]]; then
    exec "$ctl" "$@"
fi
main=$("$ctl" --help)
printf '%s\n' "$main"
commands=$(awk '/^  [a-z]/ {print $1; seen = 1; next} seen {exit}' <<<"$main")
for command in $commands; do
    if ! text=$("$ctl" "$command" --help 2>/dev/null); then
        # A command with subcommands ("panel check"): the help of each.
        text=
        for sub in $(awk -v c="$command" '$1 == c {print $2}' <<<"$main"); do
            text+=$("$ctl" "$command" "$sub" --help)$'\n'
        done
    fi
    echo
    echo "Polecenie $command:"
    awk 'NR == FNR {common[$0] = 1; next}
         /^[^ ]/ && ($0 in common) && !/^Użycie/ {exit}
         /^$/ {body = 1}
         !body && /^[^ ]/ {print "  " $0; next}
         {print}' <(printf '%s\n' "$main" | sed -n '/^$/,$p') <(printf '%s\n' "$text")
done
