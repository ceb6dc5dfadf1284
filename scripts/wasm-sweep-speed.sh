#!/usr/bin/env bash
# The sweep alone, the page's WebAssembly (run by Node) against the desktop's
# build, on the same scenes from the same seed: milliseconds of processor
# time per frame side by side, and each scene's checksum of the world and
# next rand() draw after the frames, which must be the same in both builds.
#   wasm-sweep-speed.sh [--chromium] [FRAMES [REPEATS]]
# --chromium times the WebAssembly in headless Chromium too (wall clock).
# Builds both (build/sweep-native, Release, and the page's build/web) unless
# GRAINVOX_SWEEP_NATIVE and GRAINVOX_SWEEP_WASM name built programs.
# Fails if any checksum differs.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
chromium=
if [[ ${1:-} == --chromium ]]; then
    chromium=yes
    shift
fi
frames=${1:-60}
repeats=${2:-5}

if [[ -z ${GRAINVOX_SWEEP_NATIVE:-} || -z ${GRAINVOX_SWEEP_WASM:-} ]]; then
    "$root/scripts/install-deps.sh" test
    native_build=$root/build/sweep-native
    cmake -S "$root" -B "$native_build" -DCMAKE_BUILD_TYPE=Release -DGRAINVOX_BUILD_TESTS=OFF >/dev/null
    cmake --build "$native_build" -j"$(nproc)" --target grainvox-sweep-speed >&2
    page=$(GRAINVOX_WEB_TARGETS=grainvox-sweep-speed "$root/scripts/build-web.sh" "$root/build/web")
    GRAINVOX_SWEEP_NATIVE=$native_build/bin/grainvox-sweep-speed
    GRAINVOX_SWEEP_WASM=$root/build/web/bin/grainvox-sweep-speed.js
    echo "the page's module: $(stat -c %s "$page/grainvox.wasm") bytes of WebAssembly"
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
echo "timing the desktop's sweep ..." >&2
"$GRAINVOX_SWEEP_NATIVE" "$frames" "$repeats" >"$work/native"
echo "timing the page's sweep in Node ..." >&2
node "$GRAINVOX_SWEEP_WASM" "$frames" "$repeats" >"$work/node"
if [[ -n $chromium ]]; then
    echo "timing the page's sweep in headless Chromium ..." >&2
    PYTHONDONTWRITEBYTECODE=1 /usr/bin/python3 "$root/bench/sweep_speed/chromium_sweep_speed.py" \
        "$GRAINVOX_SWEEP_WASM" "$frames" "$repeats" >"$work/chromium"
fi

# Each program prints a header, then: scene ms_per_frame world_checksum next_rand.
echo "the sweep, $frames frames from one seed, each frame's fastest of $repeats passes, ms per frame:"
awk -v with_chromium="$chromium" '
    FNR == 1 { file++; next }
    { scene[file, $1] = $1; ms[file, $1] = $2; sum[file, $1] = $3 " " $4; if (file == 1) order[++count] = $1 }
    END {
        header = sprintf("%-16s %8s %8s %6s", "scene", "desktop", "node", "ratio")
        if (with_chromium) header = header sprintf(" %9s %6s", "chromium", "ratio")
        print header sprintf("  %-16s %11s  %s", "world", "next_rand", "same")
        failed = 0
        for (i = 1; i <= count; i++) {
            s = order[i]
            same = ((2, s) in sum) && sum[2, s] == sum[1, s]
            if (with_chromium) same = same && ((3, s) in sum) && sum[3, s] == sum[1, s]
            split(sum[1, s], parts, " ")
            line = sprintf("%-16s %8.3f %8.3f %6.2f", s, ms[1, s], ms[2, s], ms[2, s] / ms[1, s])
            if (with_chromium) line = line sprintf(" %9.3f %6.2f", ms[3, s], ms[3, s] / ms[1, s])
            print line sprintf("  %-16s %11s  %s", parts[1], parts[2], same ? "yes" : "NO")
            if (!same) failed = 1
        }
        if (count == 0) failed = 1
        exit failed
    }' "$work/native" "$work/node" ${chromium:+"$work/chromium"} || {
    echo "the page's sweep does not match the desktop's" >&2
    exit 1
}
