#!/usr/bin/env bash
# Compiles sources to Windows (x86-64 COFF) object files and fails when a
# source does not compile or does not yield a Windows object.
#   compile-for-windows.sh [--only-including HEADER] COMPILER OBJECT_DIR FLAG... -- SOURCE...
# With --only-including, only the sources that include HEADER (directly or
# not) are compiled; at least one must.
set -euo pipefail
only_including=""
if [[ "${1:-}" == "--only-including" ]]; then
    only_including=$2
    shift 2
fi
if [[ $# -lt 3 ]]; then
    echo "usage: $0 [--only-including HEADER] COMPILER OBJECT_DIR FLAG... -- SOURCE..." >&2
    exit 2
fi
compiler=$1
object_dir=$2
shift 2

flags=()
while [[ $# -gt 0 && "$1" != "--" ]]; do
    flags+=("$1")
    shift
done
[[ "${1:-}" == "--" ]] && shift
if [[ $# -eq 0 ]]; then
    echo "no sources given" >&2
    exit 2
fi

# IMAGE_FILE_MACHINE_AMD64, little-endian, opens every x86-64 COFF object.
readonly amd64_coff_magic="64 86"

includes_header() {
    "$compiler" "${flags[@]}" -MM "$1" | tr -s ' \\\n' '\n' | grep "/${only_including}\$" >/dev/null
}

mkdir -p "$object_dir"
failed=0
compiled=0
for source in "$@"; do
    if [[ -n "$only_including" ]] && ! includes_header "$source"; then
        continue
    fi
    compiled=$((compiled + 1))
    object="$object_dir/$(basename "${source%.*}").obj"
    rm -f "$object"
    if ! "$compiler" "${flags[@]}" -c "$source" -o "$object"; then
        echo "FAILED: $source" >&2
        failed=1
        continue
    fi
    magic=$(od -An -tx1 -N2 "$object" | tr -s ' ' | sed 's/^ //;s/ $//')
    if [[ "$magic" != "$amd64_coff_magic" ]]; then
        echo "NOT A WINDOWS OBJECT ($magic): $object" >&2
        failed=1
        continue
    fi
    echo "ok: $source"
done
if [[ $compiled -eq 0 ]]; then
    echo "no source compiled${only_including:+: none includes $only_including}" >&2
    exit 1
fi
exit "$failed"
