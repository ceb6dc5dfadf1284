#!/usr/bin/env bash
# Saved scenes: a heap saved with F5 comes back with F9 after F10 emptied
# the box, and a later start with the scene file (after a GLUT option) opens
# with the heap.
#   scene_save_reload.sh PROGRAM PIXEL_COUNTER
source "$(dirname "$0")/lib.sh"
E2E_PIXELS=$2
e2e_init
program=$1

readonly poured_pixels=150
readonly no_pixels=10
scene="$E2E_TMP/heap.gvx"

# The scene file does not exist yet: the box starts empty, and F5 makes it.
e2e_start "$program" "$(dirname "$program")" "Grainvox 0.38" "$scene"
e2e_pour sand "$poured_pixels" 40
sleep 1  # the grains settle
heap=$(e2e_count sand)

e2e_key F5
e2e_wait_until 10 test -s "$scene" || e2e_fail "F5 wrote no scene file"
e2e_key F10
e2e_wait_until 20 e2e_sand_at_most "$no_pixels" || e2e_fail "sand still shows after F10"
e2e_key F9
e2e_wait_until 20 e2e_sand_at_least $((heap * 9 / 10)) || e2e_fail "F9 did not bring the heap back"
e2e_key q
e2e_expect_exit 20 0

# GLUT takes its own options; the scene file is what it leaves.
e2e_start "$program" "$(dirname "$program")" "Grainvox 0.38" -sync "$scene"
e2e_sand_at_least $((heap * 9 / 10)) || e2e_fail "the heap is not there at start"
e2e_key q
e2e_expect_exit 20 0
[[ -z $(find "$E2E_TMP" -name 'heap.gvx.*') ]] || e2e_fail "a temporary file was left beside the scene"
echo "saved, reset, reloaded and restarted with the heap as expected"
