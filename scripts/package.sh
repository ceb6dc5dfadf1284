#!/usr/bin/env bash
# Builds Grainvox's packages into dist/:
#   package.sh [KIND...]   (no KIND: every kind)
# Kinds:
#   windows   dist/grainvox-VERSION-windows-x86_64.zip: both Windows
#             programs, particle.bmp and a README.txt for players
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build/package
readonly kinds_made=(windows)

configure() {
    cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DGRAINVOX_BUILD_TESTS=OFF \
          -DGRAINVOX_BUILD_BENCH=OFF -DGRAINVOX_DIST_DIR="$root/dist" "$@" >/dev/null
}

package_windows() {
    configure -DGRAINVOX_WINDOWS_PROGRAMS=ON
    cmake --build "$build" -j"$(nproc)" --target windows_zip
}

# The Linux packages (.deb and .tar.gz, through CPack) are to come here as
# package_deb and package_tarball, each on the same build folder.

kinds=("$@")
[[ ${#kinds[@]} -gt 0 ]] || kinds=("${kinds_made[@]}")
for kind in "${kinds[@]}"; do
    if [[ " ${kinds_made[*]} " != *" $kind "* ]]; then
        echo "unknown package kind '$kind'; known: ${kinds_made[*]}" >&2
        exit 2
    fi
done

"$root/scripts/install-deps.sh" package
for kind in "${kinds[@]}"; do
    "package_$kind"
done
