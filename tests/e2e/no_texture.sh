#!/usr/bin/env bash
# The current program started in a folder without particle.bmp still runs,
# draws, pours and quits with status 0 (Escape this time).
#   no_texture.sh PROGRAM PIXEL_COUNTER
source "$(dirname "$0")/lib.sh"
E2E_PIXELS=$2
e2e_init
lonely_dir="$E2E_TMP/bin"
mkdir "$lonely_dir"
cp "$1" "$lonely_dir/"
program="$lonely_dir/$(basename "$1")"
[[ ! -e "$lonely_dir/particle.bmp" ]] || e2e_fail "particle.bmp should be absent"

e2e_start "$program" "$lonely_dir" "Grainvox 0.38"
e2e_pour sand 150 40

e2e_key Escape
e2e_expect_exit 20 0
echo "ran without particle.bmp and quit as expected"
