# bash completion for quelnetctl
# Installed to share/bash-completion/completions/quelnetctl.
#
# Commands and options are taken from the tool's own help ("quelnetctl
# --help", "quelnetctl COMMAND --help"), so a new command completes without
# changes here. Help lines look like
#   "  identify HOST[:PORT]   ..."   (a command and its operands)
#   "  --hosts FILE           ..."   (an option and its value)

# Words of the command list: "identify", "panel check", ...
_quelnetctl_commands() {
    "$1" --help 2>/dev/null | awk '
        /^[^ ]/ { list = ($0 ~ /^Polecenia:/); next }
        list && NF { w = $1; if ($2 ~ /^[a-z]+$/) w = w " " $2; print w }'
}

# "--name VALUE" or "--name" lines of a command's help (or the tool's).
_quelnetctl_options() {
    local exe=$1
    shift
    "$exe" "$@" --help 2>/dev/null | awk '$1 ~ /^--/ { sub(/,$/, "", $1); v = ($2 ~ /^[A-Z]|\|/) ? $2 : ""; print $1, v }'
}

_quelnetctl() {
    local exe=${COMP_WORDS[0]} cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD - 1]}
    local commands words=() i w
    commands=$(_quelnetctl_commands "$exe")

    # The command's words typed so far (options and their values skipped).
    local options
    options=$(_quelnetctl_options "$exe")
    for ((i = 1; i < COMP_CWORD; i++)); do
        w=${COMP_WORDS[i]}
        if [[ $w == --* ]]; then
            grep -q "^$w [^ ]" <<<"$options" && ((i++))
            continue
        fi
        words+=("$w")
    done

    local command=""
    while read -r line; do
        [[ -n $line && " ${words[*]} " == " $line "* ]] && command=$line
    done <<<"$commands"
    [[ -n $command ]] && options=$(_quelnetctl_options "$exe" $command)

    # The value of an option.
    local value
    value=$(awk -v o="$prev" '$1 == o { print $2 }' <<<"$options")
    if [[ -n $value ]]; then
        case $value in
        FILE) COMPREPLY=($(compgen -f -- "$cur")) ;;
        *\|*) COMPREPLY=($(compgen -W "${value//|/ }" -- "$cur")) ;;
        esac
        return
    fi

    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W "$(awk '{ print $1 }' <<<"$options")" -- "$cur"))
    elif [[ -z $command ]]; then
        # The next word of a command (one or two words).
        local next
        next=$(awk -v n=${#words[@]} -v typed="${words[*]}" '{
            split($0, p, " "); pre = ""; for (k = 1; k <= n; k++) pre = pre (k > 1 ? " " : "") p[k];
            if (pre == typed && (n + 1) in p) print p[n + 1] }' <<<"$commands")
        COMPREPLY=($(compgen -W "$next" -- "$cur"))
    elif [[ $command == set && ${#words[@]} -ge 3 ]]; then
        COMPREPLY=($(compgen -W "on off toggle" -- "$cur"))
    elif [[ $command == "panel check" ]]; then
        COMPREPLY=($(compgen -f -- "$cur"))
    fi
}
complete -F _quelnetctl quelnetctl
