#!/usr/bin/env bash
# Builds Grainvox, pours a small scene into it on a private X display and
# saves the window as docs/screenshot.png.
#   screenshot.sh [OUTPUT.png]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
output=${1:-$root/docs/screenshot.png}
build=$root/build/screenshot

if [[ -z "${GRAINVOX_SCREENSHOT_ON_DISPLAY:-}" ]]; then
    "$root/scripts/install-deps.sh" test
    cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release \
          -DGRAINVOX_BUILD_TESTS=OFF -DGRAINVOX_BUILD_BENCH=OFF >/dev/null
    cmake --build "$build" -j2 --target grainvox
    mkdir -p "$(dirname "$output")"
    # Run again on a display of our own, where the scene is poured.
    GRAINVOX_SCREENSHOT_ON_DISPLAY=1 exec "$root/tests/xvfb-run.sh" -s 800x600x24 \
        "$0" "$(cd "$(dirname "$output")" && pwd)/$(basename "$output")"
fi

# From here on we are on the private display.
program_pid=""
stop_program() {
    if [[ -n "$program_pid" ]] && kill -0 "$program_pid" 2>/dev/null; then
        kill "$program_pid" 2>/dev/null || true
        wait "$program_pid" 2>/dev/null || true
    fi
}
trap stop_program EXIT

# The program finds particle.bmp in its working directory.
(cd "$build/bin" && exec ./grainvox) &
program_pid=$!
window=$(timeout 30 xdotool search --sync --name '^Grainvox 0\.38$' | head -n 1)
[[ -n "$window" ]] || { echo "the Grainvox window did not appear" >&2; exit 1; }
sleep 1

# point X Y: moves the pointer to window pixel (X, Y), aiming the pen there.
point() { xdotool mousemove --window "$window" "$1" "$2"; sleep 0.2; }
# pour X Y SECONDS: holds the left button there for that long.
pour() {
    point "$1" "$2"
    xdotool mousedown 1
    sleep "$3"
    xdotool mouseup 1
}
press() { xdotool key "$@"; sleep 0.2; }

point 320 240
# A closer camera, looking a little more from above.
press a a a a a a a a
xdotool mousedown 3
for _ in $(seq 12); do xdotool mousemove_relative -- 0 -2; done
xdotool mouseup 3
sleep 0.3

# Sand (selected at start) in a heap in the middle, from a wide pen.
press plus plus
pour 320 300 5
# Oil (the first liquid after Sand) to the left, then Water to the right.
press 3
pour 220 320 3
press 3
pour 430 320 3
sleep 2
# A little fire (the next powder after Water) dropped on the oil.
press 2 minus minus minus
pour 200 300 0.6
# The pen marker goes to the back corner, out of the scene's way.
point 560 110
sleep 2.5

/usr/bin/import -window "$window" png:"$output"
echo "wrote $output"
