#!/usr/bin/env bash
# Tab completion of drivetune-cli: commands, options per command, option values, port names
# from `drivetune-cli ports`, and parameter files by extension.
set -uo pipefail
completion=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# A stand-in program that lists two ports, one with an adapter description; with STUB_HELP set
# it also answers --help for itself and for upload, as a program with per-command help does.
mkdir -p "$work/bin" "$work/files/sub dir"
cat >"$work/bin/drivetune-cli" <<'STUB'
#!/bin/sh
[ "$1" = ports ] && printf 'COM1 (/dev/ttyS0)\nCOM33 (/dev/ttyUSB0, USB-Serial CH340)\n'
[ -n "$STUB_HELP" ] || exit 0
[ "$1" = --help ] && printf 'Usage: drivetune-cli [OPTIONS] [COMMAND]\n\nCommands:\n  show   s\n             wrapped on\n  upload   u\n  verify-all  v\n\nfooter\n  ignored\n'
[ "$1 $2" = "upload --help" ] && printf 'read\nUsage: drivetune-cli upload [OPTIONS]\n\nOptions:\n  -h,--help   help\n  --port P REQUIRED  port\n                     --not-an-option, a wrapped line\n  -o FILE   out\n  --keep-going   k\n'
exit 0
STUB
chmod +x "$work/bin/drivetune-cli"
touch "$work/files/a.foc" "$work/files/b.ged" "$work/files/C.FOC" "$work/files/notes.txt" "$work/files/d.foc.bak"
PATH="$work/bin:$PATH"
# shellcheck source=/dev/null
source "$completion"

passed=0 failed=0
# expect "command line up to the cursor" "expected completions, sorted, space-separated"
expect() {
    local line=$1 want=$2 got
    read -ra COMP_WORDS <<<"$line"
    [[ $line == *" " ]] && COMP_WORDS+=("")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMP_LINE=$line COMP_POINT=${#line}
    _drivetune_cli
    got=$(printf '%s\n' "${COMPREPLY[@]}" | sed '/^$/d' | sort | tr '\n' ' ' | sed 's/ $//')
    if [[ $got == "$want" ]]; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        printf 'FAIL: "%s"\n  want: %s\n  got:  %s\n' "$line" "$want" "$got"
    fi
}

cd "$work/files" || exit 1
expect "drivetune-cli " "backups check diff download ports program restore show store tables upload"
expect "drivetune-cli d" "diff download"
expect "drivetune-cli --lang " "cn en"
expect "drivetune-cli --lang en s" "show store"
expect "drivetune-cli --v" "--version"
expect "drivetune-cli show " "C.FOC a.foc b.ged sub dir"
expect "drivetune-cli diff a.foc " "C.FOC a.foc b.ged sub dir"
expect "drivetune-cli tables " ""
expect "drivetune-cli upload --p" "--port"
expect "drivetune-cli download --" "--baud --dry-run --help --json --lang --port --quiet --timeout --trace --verify"
expect "drivetune-cli upload --port " "/dev/ttyS0 /dev/ttyUSB0 COM1 COM33"
expect "drivetune-cli upload --port COM3" "COM33"
expect "drivetune-cli upload --port = COM" "COM1 COM33"
expect "drivetune-cli --port COM1 upload -o " "C.FOC a.foc b.ged sub dir"
expect "drivetune-cli store --port COM1 --baud 1" "115200 19200"

# Commands and options from the program's own help, where it has one.
export STUB_HELP=1
expect "drivetune-cli " "show upload verify-all"
expect "drivetune-cli upload --" "--help --keep-going --lang --port --quiet --trace"
expect "drivetune-cli upload -" "--help --keep-going --lang --port --quiet --trace -o"
expect "drivetune-cli download --" "--baud --dry-run --help --json --lang --port --quiet --timeout --trace --verify"

# The fixed lists against the real program's command table, when it is given: the same
# commands, and per command the same options (its --help aside).
real=${2:-}
if [[ -n $real ]]; then
    unset STUB_HELP
    sorted() { tr ' ' '\n' | sed '/^$/d;/^--help$/d' | sort | tr '\n' ' ' | sed 's/ $//'; }
    want=$("$real" --help | sed -n -E '/^Commands:/,/^$/ s/^  ([a-z][a-z-]*).*/\1/p' | sorted)
    got=$(_drivetune_cli_commands "$work/bin/drivetune-cli" | sorted)
    if [[ $got == "$want" ]]; then passed=$((passed + 1)); else
        failed=$((failed + 1))
        printf 'FAIL: fixed command list\n  want: %s\n  got:  %s\n' "$want" "$got"
    fi
    for command in $want; do
        want=$(_drivetune_cli_command_options "$real" "$command" | sorted)
        got=$(_drivetune_cli_command_options "$work/bin/drivetune-cli" "$command" | sorted)
        if [[ $got == "$want" ]]; then passed=$((passed + 1)); else
            failed=$((failed + 1))
            printf 'FAIL: fixed options of %s\n  want: %s\n  got:  %s\n' "$command" "$want" "$got"
        fi
    done
fi

echo "$passed passed, $failed failed"
[[ $failed -eq 0 ]]
