#!/usr/bin/env bash
# The earlier stage (0.36): the number keys are not bound, so after `3` the
# pen still pours sand; F10 is not bound either, so the sand stays; `p`
# steps through the materials (Oil, then Water); q ends it with status 0.
#   early_stage.sh PROGRAM PIXEL_COUNTER
source "$(dirname "$0")/lib.sh"
E2E_PIXELS=$2
e2e_init
program=$1

readonly poured_pixels=150
readonly no_pixels=10

e2e_start "$program" "$(dirname "$program")" "Grainvox 0.36"
e2e_expect_window_size 640 480

e2e_key 3 3
e2e_pour sand "$poured_pixels" 40
e2e_at_most water "$no_pixels" || e2e_fail "the number keys changed the material"

e2e_key F10
# The current program empties its box within a frame or two of F10; here the
# sand must outlast many frames.
for _ in $(seq 10); do
    sleep 0.3
    e2e_sand_at_least "$((poured_pixels / 2))" || e2e_fail "sand vanished after F10"
done

e2e_key p p
e2e_pour water "$poured_pixels" 40 420 300

e2e_key q
e2e_expect_exit 20 0
echo "unbound keys ignored, p stepped to water, q quit as expected"
