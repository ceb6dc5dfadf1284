#!/usr/bin/env bash
# Packs the Windows zip from the built programs and fails unless it holds
# exactly the files that the README's Windows section lists (the first cell
# of each table row there), in one folder named after the zip, and passes
# unzip's own test.
#   zip-matches-readme.sh MAKE_ZIP BIN_DIR ZIP_NAME README.md
set -euo pipefail
if [[ $# -ne 4 ]]; then
    echo "usage: $0 MAKE_ZIP BIN_DIR ZIP_NAME README.md" >&2
    exit 2
fi
make_zip=$1 bin=$2 zip_name=$3 readme=$4
folder=${zip_name%.zip}

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
"$make_zip" "$bin" "$scratch/$zip_name" >/dev/null

listed=$(awk '/^## / { in_windows = ($0 ~ /^## Windows/) }
              in_windows && /^\| `[^`]+` \|/ { split($0, cell, "`"); print cell[2] }' "$readme" | sort)
[[ -n "$listed" ]] || { echo "FAIL: the README's Windows section lists no file" >&2; exit 1; }
expected=$( (echo "$folder/"; sed "s|^|$folder/|" <<<"$listed") | sort)
actual=$(unzip -Z1 "$scratch/$zip_name" | sort)

if [[ "$actual" != "$expected" ]]; then
    echo "FAIL: the zip and the README disagree (< README, > zip):" >&2
    diff <(echo "$expected") <(echo "$actual") >&2 || true
    exit 1
fi
unzip -tq "$scratch/$zip_name" >/dev/null || { echo "FAIL: unzip finds the zip damaged" >&2; exit 1; }
echo "the zip holds what the README lists:" $listed
