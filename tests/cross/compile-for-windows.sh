#!/usr/bin/env bash
# Compiles sources to Windows (x86-64 COFF) object files and fails on the first
# source that does not compile or does not yield a Windows object.
#   compile-for-windows.sh COMPILER OBJECT_DIR FLAG... -- SOURCE...
set -euo pipefail
if [[ $# -lt 3 ]]; then
    echo "usage: $0 COMPILER OBJECT_DIR FLAG... -- SOURCE..." >&2
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

mkdir -p "$object_dir"
failed=0
for source in "$@"; do
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
exit "$failed"
