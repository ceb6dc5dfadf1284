#!/usr/bin/env bash
# The current program: its 640 x 480 window starts empty, sand poured with
# the left button shows, F10 empties the box, and q ends the program with
# status 0.
#   pour_reset_quit.sh PROGRAM PIXEL_COUNTER
source "$(dirname "$0")/lib.sh"
E2E_PIXELS=$2
e2e_init
program=$1

readonly poured_pixels=150   # several grains' worth, far above noise
readonly no_pixels=10

e2e_start "$program" "$(dirname "$program")" "Grainvox 0.38"
e2e_expect_window_size 640 480
e2e_sand_at_most "$no_pixels" || e2e_fail "sand shows before any was poured"

e2e_pour sand "$poured_pixels" 40

e2e_key F10
e2e_wait_until 20 e2e_sand_at_most "$no_pixels" || e2e_fail "sand still shows after F10"

e2e_key q
e2e_expect_exit 20 0
echo "poured, reset and quit as expected"
