#!/usr/bin/env bash
# Builds the web page with Debian's emscripten:
#   build-web.sh [BUILD_FOLDER [CMAKE_OPTION...]]   (default build/web)
# The page lands in BUILD_FOLDER/page: index.html and the files beside it,
# ready for any static web server. Prints that folder's path last.
# GRAINVOX_WEB_TARGETS names further targets of the same build to make, such
# as grainvox-sweep-speed (the sweep timing, in BUILD_FOLDER/bin).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/web}
shift $(($# > 0 ? 1 : 0))

# Debian's emscripten finds its JavaScript tools (acorn) among Debian's Node
# modules; a Node from elsewhere does not look there by itself.
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}

emcmake cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release \
        -DGRAINVOX_BUILD_TESTS=OFF -DGRAINVOX_BUILD_BENCH=OFF "$@" >/dev/null
# shellcheck disable=SC2086  # a list of target names
cmake --build "$build" -j"${GRAINVOX_JOBS:-$(nproc)}" --target grainvox_page_offline ${GRAINVOX_WEB_TARGETS:-} >&2
echo "$build/page"
