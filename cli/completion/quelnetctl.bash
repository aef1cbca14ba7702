# bash completion for quelnetctl
# Installed to share/bash-completion/completions/quelnetctl.
#
# Commands and options are taken from the tool's own help ("quelnetctl
# --help", "quelnetctl COMMAND --help"), so a new command completes without
# changes here. Help lines look like
#   "  identify HOST[:PORT]"          (a command and its operands)
#   "  --hosts FILE         ..."      (an option and its value)
# An option's value completes by its placeholder: FILE and K=FILE as file
# names, DIR as folders, "a|b" as one of its words. Before a command only the
# tool's own options are offered, after it only the command's.

# Words of the command list: "identify", "panel check", ...
_quelnetctl_commands() {
    "$1" --help 2>/dev/null | awk '
        /^[^ ]/ { list = ($0 ~ /^Polecenia:/); next }
        list && /^  [a-z]/ { w = $1; if ($2 ~ /^[a-z]+$/) w = w " " $2; print w }'
}

# "--name VALUE" or "--name" lines of a command's help (or the tool's).
_quelnetctl_options() {
    local exe=$1
    shift
    "$exe" "$@" --help 2>/dev/null |
        awk '/^  --/ { sub(/,$/, "", $1); v = ($2 ~ /^[A-Z]|\|/) ? $2 : ""; print $1, v }'
}

# COMPREPLY from the lines of a command, one entry a line (names with blanks
# stay whole); file names are quoted and folders get their slash.
_quelnetctl_reply() {
    local line
    COMPREPLY=()
    while IFS= read -r line; do
        [[ -n $line ]] && COMPREPLY+=("$line")
    done < <("$@")
}

_quelnetctl_files() {
    compopt -o filenames 2>/dev/null
    _quelnetctl_reply compgen -f -- "$1"
}

_quelnetctl() {
    local exe=${COMP_WORDS[0]} cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD - 1]}
    local commands words=() i w
    commands=$(_quelnetctl_commands "$exe")

    # The command: the longest one whose words begin the words typed.
    for ((i = 1; i < COMP_CWORD; i++)); do
        [[ ${COMP_WORDS[i]} == -* ]] || words+=("${COMP_WORDS[i]}")
    done
    local command="" line
    while read -r line; do
        [[ -n $line && " ${words[*]} " == " $line "* && ${#line} -gt ${#command} ]] && command=$line
    done <<<"$commands"

    local options
    if [[ -n $command ]]; then
        options=$(_quelnetctl_options "$exe" $command)
    else
        options=$(_quelnetctl_options "$exe")
    fi

    # The operands typed after the command (option values skipped).
    local operands=0 n=0
    for ((i = 1; i < COMP_CWORD; i++)); do
        w=${COMP_WORDS[i]}
        if [[ $w == --* ]]; then
            [[ $w != *=* ]] && grep -q "^$w [^ ]" <<<"$options" && ((i++))
            continue
        fi
        ((n++))
        [[ -n $command ]] && ((n > $(wc -w <<<"$command"))) && ((operands++))
    done

    # The value of an option.
    local value
    value=$(awk -v o="$prev" '$1 == o { print $2 }' <<<"$options")
    if [[ -n $value ]]; then
        case $value in
        FILE) _quelnetctl_files "$cur" ;;
        DIR)
            compopt -o filenames 2>/dev/null
            _quelnetctl_reply compgen -d -- "$cur"
            ;;
        K=FILE)
            if [[ $cur == *=* ]]; then
                local key=${cur%%=*}=
                _quelnetctl_reply compgen -P "$key" -f -- "${cur#*=}"
            fi
            ;;
        *\|*) _quelnetctl_reply compgen -W "${value//|/ }" -- "$cur" ;;
        esac
        return
    fi

    if [[ $cur == -* ]]; then
        _quelnetctl_reply compgen -W "$(awk '{ print $1 }' <<<"$options")" -- "$cur"
    elif [[ -z $command ]]; then
        # The next word of a command (one or two words).
        local next
        next=$(awk -v n=${#words[@]} -v typed="${words[*]}" '{
            split($0, p, " "); pre = ""; for (k = 1; k <= n; k++) pre = pre (k > 1 ? " " : "") p[k];
            if (pre == typed && (n + 1) in p) print p[n + 1] }' <<<"$commands")
        _quelnetctl_reply compgen -W "$next" -- "$cur"
    elif [[ $command == package && $operands -eq 0 ]]; then
        _quelnetctl_reply compgen -W "list extract image" -- "$cur"
    elif [[ $command == set && $operands -ge 2 ]]; then
        _quelnetctl_reply compgen -W "on off toggle" -- "$cur"
    elif [[ $command == "panel check" ]]; then
        _quelnetctl_files "$cur"
    fi
}
complete -F _quelnetctl quelnetctl
