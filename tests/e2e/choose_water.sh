#!/usr/bin/env bash
# The current program: the liquid key, pressed twice from the start-up Sand,
# selects Water (Oil first), and the left button then pours water, not sand.
#   choose_water.sh PROGRAM PIXEL_COUNTER
source "$(dirname "$0")/lib.sh"
E2E_PIXELS=$2
e2e_init
program=$1

readonly poured_pixels=150
readonly no_pixels=10

e2e_start "$program" "$(dirname "$program")" "Grainvox 0.38"
e2e_at_most water "$no_pixels" || e2e_fail "water shows before any was poured"

e2e_key 3 3
e2e_pour water "$poured_pixels" 40
e2e_sand_at_most "$no_pixels" || e2e_fail "the pen poured sand besides water"

e2e_key q
e2e_expect_exit 20 0
echo "chose water and poured it as expected"
