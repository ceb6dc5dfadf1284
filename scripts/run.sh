#!/usr/bin/env bash
# Builds Grainvox and starts it:  scripts/run.sh [--early]   (--early: the 0.36 program)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh" run

program=grainvox
[[ "${1:-}" == "--early" ]] && program=grainvox-win32

cmake -S "$root" -B "$root/build/release" -DCMAKE_BUILD_TYPE=Release \
      -DGRAINVOX_BUILD_TESTS=OFF -DGRAINVOX_BUILD_BENCH=OFF >/dev/null
cmake --build "$root/build/release" -j"$(nproc)" --target "$program"
# The program reads particle.bmp from its working directory.
cd "$root/build/release/bin"
exec "./$program"
