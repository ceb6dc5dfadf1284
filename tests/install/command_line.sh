#!/usr/bin/env bash
# The program answers --help and --version and refuses an unknown option
# (one dash or two), a GLUT option without its value and a second file
# before it opens a window, so none of this needs a display; a command line
# it takes reaches GLUT, which then fails for want of a display.
#   command_line.sh PROGRAM TITLE
set -euo pipefail
program=$1
title=$2
unset DISPLAY
scratch=$(mktemp -d "${TMPDIR:-/tmp}/grainvox-cli.XXXXXX")
trap 'rm -rf "$scratch"' EXIT

failures=0
# case STATUS STDOUT_REGEX STDERR_REGEX ARGS...: runs the program with ARGS;
# an empty regex asks for empty output.
case_() {
    local status=$1 out_regex=$2 err_regex=$3
    shift 3
    local got=0
    "$program" "$@" >"$scratch/out" 2>"$scratch/err" </dev/null || got=$?
    local what="'$*'"
    if [[ $got -ne $status ]]; then
        echo "FAIL $what: exit status $got, expected $status" >&2
        failures=$((failures + 1))
    fi
    local stream regex matched
    for stream in out err; do
        regex=$out_regex
        [[ $stream == err ]] && regex=$err_regex
        if [[ -z "$regex" ]]; then
            [[ ! -s "$scratch/$stream" ]] && matched=1 || matched=0
        else
            grep -Eq -- "$regex" "$scratch/$stream" && matched=1 || matched=0
        fi
        if [[ $matched -eq 0 ]]; then
            echo "FAIL $what: std$stream does not match '${regex:-<empty>}':" >&2
            sed 's/^/    /' "$scratch/$stream" >&2
            failures=$((failures + 1))
        fi
    done
    if [[ $status -eq 2 && $(wc -l <"$scratch/err") -ne 1 ]]; then
        echo "FAIL $what: the error takes more than one line" >&2
        failures=$((failures + 1))
    fi
}

case_ 0 "^${title}\$" "" --version
case_ 0 "^${title}\$" "" -display :0 --version
case_ 0 "Escape, q +quit" "" --help
case_ 0 "^${title}\$" "" --version --help
case_ 0 "--version" "" --help --no-such-option
case_ 2 "" "^[^ ]+: unknown option '--no-such-option'" --no-such-option --help
case_ 2 "" "unknown option '-h'" -h
case_ 2 "" "unknown option '-geometery'" -geometery 800x600
case_ 2 "" "'-display' needs a value" -display
case_ 2 "" "empty file name" ""
# GLUT's own options are GLUT's: it gets them and finds no display.
case_ 1 "" "display" -iconic
case_ 1 "" "display" -geometry 800x600 -sync
if [[ $title == *0.38 ]]; then
    case_ 2 "" "one scene file at a time: 'a.gvx' and 'b.gvx'" a.gvx b.gvx
    case_ 2 "" "one scene file at a time" a.gvx -- -b.gvx
    # A file name after "--", even one that looks like an option.
    case_ 1 "" "display" -- -odd-name.gvx
    case_ 1 "" "display" -geometry 800x600 -- --help
else
    case_ 2 "" "takes no file" a.gvx
fi

if [[ $failures -ne 0 ]]; then
    echo "$failures failures" >&2
    exit 1
fi
echo "--help, --version and unknown options answered as expected"
