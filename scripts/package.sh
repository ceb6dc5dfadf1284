#!/usr/bin/env bash
# Builds Grainvox's packages into dist/:
#   package.sh [KIND...]   (no KIND: every kind)
# Kinds:
#   windows   dist/grainvox-VERSION-windows-x86_64.zip: both Windows
#             programs, particle.bmp and a README.txt for players
#   deb       dist/grainvox_VERSION_amd64.deb: what `cmake --install` puts
#             in place, under /usr
#   tarball   dist/grainvox-VERSION-linux-x86_64.tar.gz: the same, in one folder
#   web       dist/grainvox-VERSION-web.zip: the web page in one folder, whose
#             index.html and files work from any static web host
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build/package
readonly kinds_made=(windows deb tarball web)

configure() {
    cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DGRAINVOX_BUILD_TESTS=OFF \
          -DGRAINVOX_BUILD_BENCH=OFF -DGRAINVOX_DIST_DIR="$root/dist" "$@" >/dev/null
}

package_windows() {
    configure -DGRAINVOX_WINDOWS_PROGRAMS=ON
    cmake --build "$build" -j"$(nproc)" --target windows_zip
}

# package_linux CPACK_GENERATOR: the Linux programs and their files, through
# CPack; the package and its checksum land in dist/.
package_linux() {
    configure
    cmake --build "$build" -j"$(nproc)"
    local staging=$build/cpack-$1
    rm -rf "$staging"
    cpack --config "$build/CPackConfig.cmake" -G "$1" -B "$staging" >/dev/null
    mkdir -p "$root/dist"
    local file
    for file in "$staging"/*.deb "$staging"/*.tar.gz; do
        [[ -f "$file" ]] || continue
        cp "$file" "$file.sha256" "$root/dist/"
        echo "wrote $root/dist/$(basename "$file")"
    done
}

package_web() {
    local page version folder
    page=$("$root/scripts/build-web.sh" "$build-web")
    version=$(sed -n 's/^project(grainvox VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
    folder=grainvox-$version-web
    web_stage=$(mktemp -d)
    trap 'rm -rf "$web_stage"' EXIT
    mkdir "$web_stage/$folder"
    cp -r "$page"/. "$web_stage/$folder/"
    cp "$root/assets/copyright" "$web_stage/$folder/COPYRIGHT.txt"
    mkdir -p "$root/dist"
    rm -f "$root/dist/$folder.zip"
    (cd "$web_stage" && zip -q -X -r "$root/dist/$folder.zip" "$folder")
    echo "wrote $root/dist/$folder.zip"
}

package_deb() { package_linux DEB; }
package_tarball() { package_linux TGZ; }

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
