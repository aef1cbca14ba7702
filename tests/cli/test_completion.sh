#!/usr/bin/env bash
# The bash completion of quelnetctl against the built program:
#   test_completion.sh QUELNETCTL COMPLETION_SCRIPT
# Each case completes a command line and compares the candidates offered.
set -uo pipefail
exe=$1
# shellcheck source=/dev/null
source "$2"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/backups" "$work/with space"
touch "$work/Conf one.QNC" "$work/Text.QNT"
failed=0

# complete WORD... : the candidates for the last word, one a line, sorted.
complete_line() {
    COMP_WORDS=("$exe" "$@")
    COMP_CWORD=$#
    COMPREPLY=()
    _quelnetctl
    printf '%s\n' "${COMPREPLY[@]}" | sort
}

expect() { # expect NAME EXPECTED -- WORD...
    local name=$1 expected=$2
    shift 3
    local got
    got=$(complete_line "$@")
    if [[ $got != "$expected" ]]; then
        printf 'FAIL %s\n  expected: %q\n  got:      %q\n' "$name" "$expected" "$got"
        failed=1
    else
        echo "ok   $name"
    fi
}

has() { # has NAME WORD EXPECTED(0 present, 1 absent) -- WORD...
    local name=$1 word=$2 want=$3
    shift 4
    complete_line "$@" | grep -qx -- "$word"
    local found=$?
    if [[ $found != "$want" ]]; then
        echo "FAIL $name ($word)"
        failed=1
    else
        echo "ok   $name"
    fi
}

has "commands first" identify 0 -- ""
has "two-word command begins" panel 0 -- ""
expect "second word of panel" "check" -- panel ""
expect "only the tool's options before a command" $'--help\n--version' -- --
expect "actions of package" $'extract\nimage\nlist' -- package ""
expect "versions after --to" $'V2.1.4\nV4.0.1f' -- update 127.0.0.1 --to ""
expect "package versions too" $'V2.1.4\nV4.0.1f' -- package extract IP_QueL.hex --firmware ""
expect "a file name with a blank is one candidate" "$work/Conf one.QNC" -- backup 127.0.0.1 --config "$work/Conf"
expect "folders only for --backup-dir" "$work/backups"$'\n'"$work/with space" -- update 127.0.0.1 --backup-dir "$work/"
has "no password for package" --password 1 -- package list --
has "no yes for identify" --yes 1 -- identify 127.0.0.1 --
has "password for identify" --password 0 -- identify 127.0.0.1 --
has "yes for update" --yes 0 -- update 127.0.0.1 --
expect "set values" $'off\non\ntoggle' -- set 127.0.0.1 OUT1 ""
expect "page files after K=" "1=$work/Text.QNT" -- resources 127.0.0.1 --page "1=$work/Te"
exit $failed
