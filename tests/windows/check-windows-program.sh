#!/usr/bin/env bash
# Fails unless each Windows program is a GUI program (no console window
# beside it) that imports nothing but DLLs every Windows has: no MinGW
# runtime (libgcc_s_seh-1.dll, libstdc++-6.dll, libwinpthread-1.dll) and no
# freeglut.dll.
#   check-windows-program.sh OBJDUMP PROGRAM.exe...
set -euo pipefail
if [[ $# -lt 2 ]]; then
    echo "usage: $0 OBJDUMP PROGRAM.exe..." >&2
    exit 2
fi
objdump=$1
shift

readonly system_dlls="advapi32.dll gdi32.dll glu32.dll kernel32.dll msvcrt.dll opengl32.dll user32.dll winmm.dll"

failed=0
for program in "$@"; do
    headers=$("$objdump" -p "$program") || { echo "FAIL: $program: not a program objdump reads" >&2; failed=1; continue; }
    subsystem=$(sed -n 's/^Subsystem[[:space:]]\+[0-9a-f]\+[[:space:]]\+//p' <<<"$headers")
    if [[ "$subsystem" != "(Windows GUI)" ]]; then
        echo "FAIL: $program: subsystem ${subsystem:-unknown}, expected (Windows GUI)" >&2
        failed=1
    fi
    dlls=$(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$headers" | tr '[:upper:]' '[:lower:]' | sort -u)
    # A program with no import read means the listing was not understood.
    if ! grep -qx kernel32.dll <<<"$dlls"; then
        echo "FAIL: $program: no KERNEL32.dll among its imports; objdump's listing not understood" >&2
        failed=1
    fi
    for dll in $dlls; do
        if [[ " $system_dlls " != *" $dll "* ]]; then
            echo "FAIL: $program imports $dll, which Windows does not have" >&2
            failed=1
        fi
    done
    echo "$program: $subsystem, imports" $dlls
done
exit "$failed"
