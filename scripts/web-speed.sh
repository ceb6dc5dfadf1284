#!/usr/bin/env bash
# The web page's speed and weight, beside the desktop program's, in one run:
# frames per second of the page in headless Chromium (SwiftShader) and of the
# desktop program's frame (llvmpipe, grainvox-bench) for an empty box, a
# 20,000 and a 100,000-cell heap, 100,000 mixed cells and the full box, each
# drawn whole every frame as before meshes were kept and with kept meshes; the page's
# picture against the desktop's; and the page's size as a web server sends it.
#   scripts/web-speed.sh
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh" test
build=$root/build/speed

page=$("$root/scripts/build-web.sh" "$root/build/web")
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j"$(nproc)" --target grainvox grainvox-bench web_scenes grainvox-picture-agreement >&2

timings=$(mktemp --suffix=.json)
trap 'rm -f "$timings"' EXIT
echo "timing the desktop program's frames (grainvox-bench) ..." >&2
"$root/tests/xvfb-run.sh" "$build/bin/grainvox-bench" \
    --benchmark_filter='^Frame/(empty|heap_20k|heap_100k|mixed_100k|full_box_500k)/drawn/(today|kept)' \
    --benchmark_format=json >"$timings"
echo "timing the page in headless Chromium ..." >&2
PYTHONDONTWRITEBYTECODE=1 "$root/tests/xvfb-run.sh" /usr/bin/python3 "$root/tests/web/page_speed.py" \
    "$page" "$build/tests/bin/web_scenes" "$timings" "$build/bin/grainvox" \
    "$build/tests/bin/grainvox-picture-agreement"
