#!/usr/bin/env bash
# Saved scenes: a heap saved with F5 comes back with F9 after F10 emptied
# the box, and with Ctrl+Z after F10 and after F9; a second F5 replaces the scene, and a later start with the scene
# file (after a GLUT option) opens with the heap. A text named by mistake is
# refused, and F5 keeps it and saves beside it instead. The files are named
# relative to the working directory, the test's own folder.
#   scene_save_reload.sh PROGRAM PIXEL_COUNTER
source "$(dirname "$0")/lib.sh"
E2E_PIXELS=$2
e2e_init
program=$1

readonly poured_pixels=150
readonly no_pixels=10
cd "$E2E_TMP"
scene=heap.gvx

# The scene file does not exist yet: the box starts empty, and F5 makes it.
e2e_start "$program" "$E2E_TMP" "Grainvox 0.38" "$scene"
e2e_pour sand "$poured_pixels" 40
sleep 1  # the grains settle
heap=$(e2e_count sand)

e2e_key F5
e2e_wait_until 10 test -s "$scene" || e2e_fail "F5 wrote no scene file"
e2e_key F10
e2e_wait_until 20 e2e_sand_at_most "$no_pixels" || e2e_fail "sand still shows after F10"
e2e_key F9
heap_back() { e2e_sand_at_least $((heap * 9 / 10)); }
e2e_wait_until 20 heap_back || e2e_fail "F9 did not bring the heap back"
e2e_key F10
e2e_wait_until 20 e2e_sand_at_most "$no_pixels" || e2e_fail "sand still shows after F10"
e2e_key ctrl+z
e2e_wait_until 20 heap_back || e2e_fail "Ctrl+Z did not bring back the heap that F10 emptied"
first_save=$(cksum <"$scene")
scene_replaced() { [[ $(cksum <"$scene") != "$first_save" ]]; }
e2e_key F10 F5
e2e_wait_until 10 scene_replaced || e2e_fail "a second F5 did not replace the scene"
e2e_key F9
e2e_wait_until 20 e2e_sand_at_most "$no_pixels" || e2e_fail "the replaced scene is not the empty box"
e2e_key ctrl+z
e2e_wait_until 20 heap_back || e2e_fail "Ctrl+Z did not bring back the heap"
e2e_key F9
e2e_wait_until 20 e2e_sand_at_most "$no_pixels" || e2e_fail "F9 did not load the empty box"
e2e_key ctrl+z
e2e_wait_until 20 heap_back || e2e_fail "Ctrl+Z did not bring back the heap that F9 replaced"
e2e_key q
e2e_expect_exit 20 0

# Saved again with the heap, for the start that follows.
e2e_start "$program" "$E2E_TMP" "Grainvox 0.38" "$scene"
e2e_pour sand "$poured_pixels" 40
sleep 1
heap=$(e2e_count sand)
e2e_key F5
e2e_key q
e2e_expect_exit 20 0

# GLUT takes its own options; the scene file is the word that is none.
e2e_start "$program" "$E2E_TMP" "Grainvox 0.38" -sync "$scene"
e2e_sand_at_least $((heap * 9 / 10)) || e2e_fail "the heap is not there at start"
e2e_key q
e2e_expect_exit 20 0

# A text is no scene: loading refuses it, F5 keeps it and saves beside it.
printf 'my notes\n' >notes.gvx
e2e_start "$program" "$E2E_TMP" "Grainvox 0.38" notes.gvx
e2e_pour sand "$poured_pixels" 40
e2e_key F5
e2e_key F5
e2e_wait_until 10 test -s notes-2.gvx || e2e_fail "the second F5 did not save beside the text"
e2e_key q
e2e_expect_exit 20 0
[[ $(cat notes.gvx) == "my notes" ]] || e2e_fail "F5 wrote over a file that is no scene"

[[ -z $(find "$E2E_TMP" -name '*.gvx.*') ]] || e2e_fail "a temporary file was left beside the scene"
echo "saved, replaced, reloaded and restarted with the heap, and kept the text, as expected"
