#!/usr/bin/env bash
# Pointer motion and pouring while the window is resized under it, shrinking
# and growing down to 1 x 1: motion events queued before a resize notice
# must not make the program read outside its buffers. It must survive, draw
# again at its start-up size and quit with status 0.
#   resize_stress.sh PROGRAM PIXEL_COUNTER TITLE [SECONDS]
source "$(dirname "$0")/lib.sh"
E2E_PIXELS=$2
e2e_init
program=$1
title=$3
readonly stress_seconds=${4:-25}
# Sizes the window flips through, in order, again and again.
readonly sizes=(200x150 640x480 1x1 1280x1024 37x1 1x300 320x240 640x480 90x700 2x2)

e2e_start "$program" "$(dirname "$program")" "$title"

# Random pointer motion over the window and beyond its edges (screen
# coordinates: the window stands near the top left corner), with the left
# button held for stretches (the pen pours; the held button keeps the
# pointer's events with the window even outside it).
move_pointer_at_random() {
    local end=$((SECONDS + stress_seconds)) n=0
    while [[ $SECONDS -lt $end ]]; do
        n=$((n + 1))
        case $((n % 200)) in
            1) xdotool mousedown 1 ;;
            120) xdotool mouseup 1 ;;
        esac
        xdotool mousemove $((RANDOM % 800)) $((RANDOM % 640))
    done
    xdotool mouseup 1
}
xdotool mousemove --window "$app_window" 320 260
move_pointer_at_random &
mover_pid=$!

flips=0
deadline=$((SECONDS + stress_seconds))
while [[ $SECONDS -lt $deadline ]]; do
    for size in "${sizes[@]}"; do
        xdotool windowsize "$app_window" "${size%x*}" "${size#*x}"
        flips=$((flips + 1))
        sleep 0.0$((RANDOM % 10))
        kill -0 "$app_pid" 2>/dev/null || break 2
    done
done
wait "$mover_pid" || true
e2e_has_ended && e2e_expect_exit 1 0

xdotool windowsize "$app_window" 640 480
e2e_wait_until 20 e2e_shows_something || e2e_fail "the window stays black after the resizes"
e2e_key q
e2e_expect_exit 20 0
echo "survived $flips resizes under a moving pointer and quit as expected"
