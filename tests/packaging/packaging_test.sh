#!/usr/bin/env bash
# The installed files that describe corvtool against the program itself, one check per call:
#   packaging_test.sh man-page CORVTOOL MANPAGE          COMMANDS lists each command as --help does
#   packaging_test.sh completion CORVTOOL COMPLETION     Tab completes commands and options
#   packaging_test.sh version PROGRAM VERSION SOURCE_DIR --version names the version (and commit)
#   packaging_test.sh desktop-entries FILE...            desktop-file-validate passes (skipped without it)
set -euo pipefail
check=$1
shift

fail() { echo "FAIL: $*" >&2; exit 1; }

case $check in
man-page)
    tool=$1 man=$2
    # --help: "  NAME USAGE" lines (the exit-code lines start with a digit).
    help_lines=$("$tool" --help | sed -n 's/^  \([a-z][a-z-]* .*\)$/\1/p')
    # The man page: the line after each .TP of COMMANDS, font escapes and \- undone.
    man_lines=$(sed -n '/^\.SH COMMANDS/,/^\.SH /p' "$man" | sed -n '/^\.TP$/{n;p}' |
                sed -e 's/\\f[BIR]//g' -e 's/\\-/-/g')
    [ -n "$help_lines" ] || fail "no commands in $tool --help"
    if ! diff <(echo "$help_lines") <(echo "$man_lines") >&2; then
        fail "$man lists other commands than $tool --help (< help, > man page)"
    fi
    echo "$(echo "$help_lines" | wc -l) commands alike"
    ;;
completion)
    tool=$1 completion=$2
    PATH="$(cd "$(dirname "$tool")" && pwd):$PATH"
    # shellcheck source=/dev/null
    source "$completion"
    [[ $(complete -p corvtool) == *"-F _corvtool"* ]] || fail "no completion registered for corvtool"
    complete_words() {  # the completions of the last word
        COMP_WORDS=("$@")
        COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
        _corvtool
        echo "${COMPREPLY[*]}"
    }
    expect() {  # expected, words...
        local want=$1 got
        shift
        got=$(complete_words "$@")
        [ "$got" = "$want" ] || fail "'$*' completes to '$got', not '$want'"
    }
    expect "check" corvtool ch
    expect "make-demo make-ips make-bps" corvtool make
    expect "--project --patch --help" corvtool verify rom.smc --
    expect "--help --version" corvtool --
    expect "--strict" corvtool check demo.smc --st
    expect "--allow-missing --maximise --force --substitutions --help" corvtool insert rom.smc --
    expect "--script --scale" corvtool preview rom.smc data.txt 10000 --s
    expect "--all" corvtool preview rom.smc data.txt 10000 --a
    expect "--force --help" corvtool decompress --
    expect "--help" corvtool kana --   # a command without options still takes --help
    expect "--fuzzy --wrap --allow-outside --substitutions --help" corvtool import-po proj --
    expect "--block --reflow --force --allow-outside --help" corvtool wrap proj --
    expect "--substitutions" corvtool check rom.smc --su
    expect "--table" corvtool preview rom.smc data.txt 10000 --t
    expect "--allow-outside" corvtool build proj --al
    expect "--release --release-dir" corvtool build proj --r
    expect "" corvtool check rom.smc   # a file name: left to the shell's default
    echo "completion completes commands and options"
    ;;
version)
    program=$1 version=$2 source_dir=$3
    name=$(basename "$program")
    line=$(QT_QPA_PLATFORM=offscreen "$program" --version)
    if command -v git >/dev/null && [ -e "$source_dir/.git" ]; then
        [[ $line =~ ^"$name $version (commit "[0-9a-f]{12}(-modified)?")"$ ]] || fail "'$line' names no version and commit"
    else
        [ "$line" = "$name $version" ] || fail "'$line' is not '$name $version'"
    fi
    echo "$line"
    ;;
desktop-entries)
    command -v desktop-file-validate >/dev/null || { echo "desktop-file-validate is not installed"; exit 77; }
    for entry in "$@"; do
        out=$(desktop-file-validate "$entry" 2>&1) || fail "$entry: $out"
        [ -z "$out" ] || fail "$entry: $out"
    done
    echo "$# desktop entries valid"
    ;;
*)
    fail "unknown check $check"
    ;;
esac
