#!/usr/bin/env bash
# Builds Grainvox and runs every test: once plainly (with the Windows
# programs), once under AddressSanitizer and UndefinedBehaviorSanitizer. Any
# failure fails the run.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh" test
jobs=$(nproc)

build_and_test() {
    local dir=$1
    shift
    cmake -S "$root" -B "$dir" -DGRAINVOX_WERROR=ON "$@" >/dev/null
    cmake --build "$dir" -j"$jobs"
    ctest --test-dir "$dir" --output-on-failure -j"$jobs"
}

# The Windows programs are built and run under Wine in the plain pass only:
# the sanitizers do not reach into them.
echo "== plain build, with the Windows programs =="
build_and_test "$root/build/test" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DGRAINVOX_WINDOWS_PROGRAMS=ON

echo "== AddressSanitizer + UndefinedBehaviorSanitizer =="
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
build_and_test "$root/build/sanitize" -DCMAKE_BUILD_TYPE=Debug -DGRAINVOX_SANITIZE=ON \
    -DGRAINVOX_BUILD_BENCH=OFF
