#!/usr/bin/env bash
# Checks how a program links freeglut: "static" when it carries freeglut
# inside (no shared libglut among the libraries it needs), "shared" when it
# loads the shared one.
#   glut-linkage.sh PROGRAM static|shared
set -euo pipefail
program=$1
wanted=$2
needed=$(readelf -d "$program" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p')
[[ -n "$needed" ]] || { echo "cannot read the libraries $program needs" >&2; exit 1; }
if grep -q '^libglut\.' <<<"$needed"; then actual=shared; else actual=static; fi
if [[ "$actual" != "$wanted" ]]; then
    echo "$program links freeglut $actual, expected $wanted; it needs:" >&2
    echo "$needed" >&2
    exit 1
fi
echo "$program links freeglut $actual"
