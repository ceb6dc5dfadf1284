#!/usr/bin/env bash
# Pause and single step: sand poured and then paused hangs still in the air
# (the pen pours on while paused), one press of f moves it, Space lets it fall.
#   pause_step.sh PROGRAM PIXEL_COUNTER
source "$(dirname "$0")/lib.sh"
E2E_PIXELS=$2
e2e_init
program=$1

readonly poured_pixels=150
readonly still_pixels=5     # between two shots of a paused world: noise at most
readonly moved_pixels=40    # the grains one layer lower

# moved_since SHOT: a fresh screenshot differs from SHOT by the grains' move.
moved_since() { [[ $("$E2E_PIXELS" changed "$1" "$(e2e_shot)") -ge $moved_pixels ]]; }

e2e_start "$program" "$(dirname "$program")" "Grainvox 0.38"

# Pour, pause while the button is still held, and pour on a little paused.
xdotool mousemove --window "$app_window" 320 260
sleep 0.3
xdotool mousedown 1
e2e_wait_until 40 e2e_sand_at_least "$poured_pixels" || { xdotool mouseup 1; e2e_fail "no sand showed"; }
e2e_key space
sleep 0.5
xdotool mouseup 1
sleep 0.5

first=$(e2e_shot)
sleep 1
second=$(e2e_shot)
[[ $("$E2E_PIXELS" changed "$first" "$second") -le $still_pixels ]] || e2e_fail "the paused sand moved"

e2e_key f
e2e_wait_until 10 moved_since "$second" || e2e_fail "one step did not move the sand"
stepped=$(e2e_shot)
sleep 1
[[ $("$E2E_PIXELS" changed "$stepped" "$(e2e_shot)") -le $still_pixels ]] || e2e_fail "the sand moved on after one step"

e2e_key space
e2e_wait_until 10 moved_since "$stepped" || e2e_fail "the sand did not fall once running again"

e2e_key q
e2e_expect_exit 20 0
echo "paused, stepped once and ran on as expected"
