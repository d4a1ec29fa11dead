# bash completion for tavrin-cli: commands, each command's options, key-map files, KEY-n.
# The options follow each command's --help (a test compares them).

_tavrin_cli_options()
{
    case $1 in
        list) echo "--json --device --serial" ;;
        info | dump | verify) echo "--json --wait --device --serial" ;;
        write | reset) echo "--wait --device --serial" ;;
        apply) echo "--verify --each --count --log --wait --device --serial" ;;
        params) echo "--long-press --debounce --wait --device --serial" ;;
        doctor) echo "--json" ;;
    esac
}

_tavrin_cli()
{
    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD - 1]}
    local command="" operands=0 i word
    # The command, and how many operands stand before the word being completed.
    for ((i = 1; i < COMP_CWORD; i++)); do
        word=${COMP_WORDS[i]}
        case $word in
            --lang | --device | --serial | --count | --log | --long-press | --debounce) ((i++)) ;;
            -*) ;;
            *) if [[ -z $command ]]; then command=$word; else ((operands++)); fi ;;
        esac
    done
    case $prev in
        --lang) COMPREPLY=($(compgen -W "en zh" -- "$cur")); return ;;
        --long-press) COMPREPLY=($(compgen -W "yes no" -- "$cur")); return ;;
        --device) COMPREPLY=($(compgen -G "${cur:-/dev/hidraw}*")); return ;;
        --log) compopt -o filenames 2>/dev/null; COMPREPLY=($(compgen -f -- "$cur")); return ;;
        --serial | --count | --debounce) return ;;
    esac
    if [[ -z $command ]]; then
        COMPREPLY=($(compgen -W "list info write apply params dump verify reset doctor --help --version --lang" -- "$cur"))
        return
    fi
    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W "$(_tavrin_cli_options "$command") --help --lang" -- "$cur"))
        return
    fi
    case $command in
        apply | verify | dump) compopt -o filenames 2>/dev/null; COMPREPLY=($(compgen -f -- "$cur")) ;;
        reset) ((operands == 0)) && COMPREPLY=($(compgen -W "1 2" -- "$cur")) ;;
        write) ((operands % 2 == 0)) && COMPREPLY=($(compgen -W "$(printf 'KEY-%d ' {1..64})" -- "$cur")) ;;
    esac
}
complete -F _tavrin_cli tavrin-cli
