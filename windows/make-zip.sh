#!/usr/bin/env bash
# Writes the Windows zip: one folder, named after the zip, with both
# programs, particle.bmp beside them (they read it from their working
# folder, which is theirs when started from Explorer), README.txt and the
# copyright notices (freeglut's among them: both programs carry it).
#   make-zip.sh BIN_DIR OUTPUT.zip
set -euo pipefail
if [[ $# -ne 2 || "$2" != *.zip ]]; then
    echo "usage: $0 BIN_DIR OUTPUT.zip" >&2
    exit 2
fi
bin=$1
output=$(realpath -m "$2")
folder=$(basename "$output" .zip)
readonly shipped=(grainvox.exe grainvox-win32.exe particle.bmp)

for file in "${shipped[@]}"; do
    [[ -f "$bin/$file" ]] || { echo "cannot package: $bin/$file is missing" >&2; exit 1; }
done

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
mkdir "$stage/$folder"
for file in "${shipped[@]}"; do
    cp "$bin/$file" "$stage/$folder/"
done
# Windows line ends, for Notepad.
sed 's/$/\r/' "$(dirname "$0")/README.txt" >"$stage/$folder/README.txt"
sed 's/$/\r/' "$(dirname "$0")/../assets/copyright" >"$stage/$folder/COPYRIGHT.txt"

mkdir -p "$(dirname "$output")"
rm -f "$output"
(cd "$stage" && zip -q -X -r "$output" "$folder")
echo "wrote $output"
