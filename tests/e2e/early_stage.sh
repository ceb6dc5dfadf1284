#!/usr/bin/env bash
# The earlier stage (0.36): sand poured with the left button shows, F10 is
# not bound there so the sand stays, and q ends the program with status 0.
#   early_stage.sh PROGRAM PIXEL_COUNTER
source "$(dirname "$0")/lib.sh"
E2E_PIXELS=$2
e2e_init
program=$1

readonly poured_sand_pixels=150

e2e_start "$program" "$(dirname "$program")" "Grainvox 0.36"
e2e_pour 40 "$poured_sand_pixels"

e2e_key F10
# The current program empties its box within a frame or two of F10; here the
# sand must outlast many frames.
for _ in $(seq 10); do
    sleep 0.3
    e2e_sand_at_least "$((poured_sand_pixels / 2))" || e2e_fail "sand vanished after F10"
done

e2e_key q
e2e_expect_exit 20 0
echo "F10 left the sand alone and q quit as expected"
