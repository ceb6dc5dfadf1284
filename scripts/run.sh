#!/usr/bin/env bash
# Builds Grainvox and starts it in the current folder:
#   scripts/run.sh [--early] [ARGUMENTS...]   (--early: the 0.36 program)
#   scripts/run.sh --web [PORT]   builds the web page and serves it on
#                                 localhost (port 8038 by default)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

if [[ "${1:-}" == "--web" ]]; then
    "$root/scripts/install-deps.sh" web
    port=${2:-8038}
    page=$("$root/scripts/build-web.sh" "$root/build/web")
    echo "Grainvox is served at http://localhost:$port/ (Ctrl+C stops the server)"
    exec python3 -m http.server "$port" --bind 127.0.0.1 --directory "$page"
fi

"$root/scripts/install-deps.sh" run

program=grainvox
if [[ "${1:-}" == "--early" ]]; then
    program=grainvox-win32
    shift
fi

cmake -S "$root" -B "$root/build/release" -DCMAKE_BUILD_TYPE=Release \
      -DGRAINVOX_BUILD_TESTS=OFF -DGRAINVOX_BUILD_BENCH=OFF >/dev/null
cmake --build "$root/build/release" -j"$(nproc)" --target "$program"
# The program finds the particle.bmp that the build put beside it.
exec "$root/build/release/bin/$program" "$@"
