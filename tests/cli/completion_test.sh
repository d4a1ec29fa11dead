#!/usr/bin/env bash
# The bash completion, sourced as bash-completion does: commands, each command's options exactly
# as its --help lists them (so that neither drifts), key-map files, KEY-n for write, reset's 1|2.
# Arguments: the completion file, tavrin-cli.
set -u
source "$1" || exit 1
cli=$2
failed=0

# What completing the last word of a command line offers.
offered() {
    COMP_WORDS=("$@")
    COMP_CWORD=$(($# - 1))
    COMPREPLY=()
    _tavrin_cli
    ((${#COMPREPLY[@]} == 0)) || printf '%s\n' "${COMPREPLY[@]}" | sort | tr '\n' ' '
}
expect() {
    if [[ "$2" != "$1" ]]; then
        echo "$3: expected '$1', offered '$2'"
        failed=1
    fi
}

expect "verify " "$(offered tavrin-cli ver)" "a command"
expect "--version " "$(offered tavrin-cli --vers)" "the program's option"
expect "1 2 " "$(offered tavrin-cli reset '')" "reset's configurations"
expect "KEY-6 KEY-60 KEY-61 KEY-62 KEY-63 KEY-64 " "$(offered tavrin-cli write KEY-1 ENTER KEY-6)" "a key of write"
expect "" "$(offered tavrin-cli write KEY-1 KEY-)" "write's text after its key"
expect "en zh " "$(offered tavrin-cli info --lang '')" "languages"

folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
touch "$folder/desk.txt"
(cd "$folder" && [[ "$(offered tavrin-cli apply --verify de)" == "desk.txt " ]]) || {
    echo "apply completes key-map files"
    failed=1
}

for command in list info write apply params dump verify reset doctor; do
    listed=$("$cli" "$command" --help | grep -o -- '--[a-z][a-z-]*' | sort -u | tr '\n' ' ')
    completed=$(offered tavrin-cli "$command" -- | tr ' ' '\n' | grep -v -x -e --help -e --lang | grep . | sort -u | tr '\n' ' ')
    expect "$listed" "$completed" "the options of $command"
done
exit $failed
