#!/usr/bin/env bash
# Undo: Ctrl+Z brings back the heap that F10 emptied, and the heap that F9
# replaced by the (empty) scene file.
#   undo_keys.sh PROGRAM PIXEL_COUNTER
source "$(dirname "$0")/lib.sh"
E2E_PIXELS=$2
e2e_init
program=$1

readonly poured_pixels=150
readonly no_pixels=10

e2e_start "$program" "$E2E_TMP" "Grainvox 0.38" "$E2E_TMP/empty.gvx"
e2e_key F5  # the scene file: an empty box
e2e_pour sand "$poured_pixels" 40
sleep 1  # the grains settle
heap=$(e2e_count sand)
heap_back() { e2e_sand_at_least $((heap * 9 / 10)); }

e2e_key F10
e2e_wait_until 20 e2e_sand_at_most "$no_pixels" || e2e_fail "sand still shows after F10"
e2e_key ctrl+z
e2e_wait_until 20 heap_back || e2e_fail "Ctrl+Z did not bring back the heap F10 emptied"

e2e_key F9
e2e_wait_until 20 e2e_sand_at_most "$no_pixels" || e2e_fail "F9 did not load the empty scene"
e2e_key ctrl+z
e2e_wait_until 20 heap_back || e2e_fail "Ctrl+Z did not bring back the heap F9 replaced"

e2e_key q
e2e_expect_exit 20 0
echo "Ctrl+Z brought back the heap after F10 and after F9, as expected"
