#!/usr/bin/env bash
# The .deb that cpack makes from the build: it holds the programs, the
# texture, the starter scenes, the desktop entry, the icon and the manual pages, and depends on
# runtime packages only (freeglut, GLU, GL), never on -dev packages. Where
# lintian is installed, it must have nothing to say.
#   deb_package.sh BUILD_DIR
set -euo pipefail
build=$1
scratch=$(mktemp -d "${TMPDIR:-/tmp}/grainvox-deb.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cpack --config "$build/CPackConfig.cmake" -G DEB -B "$scratch/out" >"$scratch/cpack.log" 2>&1 ||
    { cat "$scratch/cpack.log" >&2; fail "cpack could not make the .deb"; }
debs=("$scratch"/out/*.deb)
[[ ${#debs[@]} -eq 1 && -f "${debs[0]}" ]] || fail "expected one .deb, found: ${debs[*]}"
deb=${debs[0]}

expected_files="./usr/bin/grainvox
./usr/bin/grainvox-win32
./usr/share/applications/grainvox.desktop
./usr/share/doc/grainvox/changelog.gz
./usr/share/doc/grainvox/copyright
./usr/share/grainvox/particle.bmp
./usr/share/grainvox/scenes/fire_and_water.gvx
./usr/share/grainvox/scenes/gas_columns.gvx
./usr/share/grainvox/scenes/glass_vase.gvx
./usr/share/grainvox/scenes/hourglass.gvx
./usr/share/grainvox/scenes/oil_on_water.gvx
./usr/share/icons/hicolor/scalable/apps/grainvox.svg
./usr/share/man/man6/grainvox-win32.6.gz
./usr/share/man/man6/grainvox.6.gz"
files=$(dpkg-deb --fsys-tarfile "$deb" | tar -t | grep -v '/$' | sort)
[[ "$files" == "$expected_files" ]] ||
    fail "the .deb holds other files:$(diff <(echo "$expected_files") <(echo "$files") | sed 's/^/\n    /')"

depends=$(dpkg-deb -f "$deb" Depends)
# GL comes as libgl1, or split by GLVND into libopengl0 and libglx0.
for runtime in libglut libglu1 'libgl1|libopengl0'; do
    grep -Eq "\b($runtime)" <<<"$depends" || fail "no dependency on $runtime: $depends"
done
! grep -q -- "-dev\b" <<<"$depends" || fail "depends on a development package: $depends"

dpkg-deb -x "$deb" "$scratch/root"
for program in grainvox grainvox-win32; do
    [[ -x "$scratch/root/usr/bin/$program" ]] || fail "$program is not executable"
    env -u DISPLAY "$scratch/root/usr/bin/$program" --version | grep -q '^Grainvox 0\.3[68]$' ||
        fail "the packaged $program does not run"
done

# lintian is large; where it is installed, it may only raise the one known
# complaint: Debian keeps games in /usr/games, ours go to bin as everywhere.
if command -v lintian >/dev/null 2>&1; then
    TMPDIR="$scratch" lintian --no-tag-display-limit "$deb" 2>/dev/null |
        grep -v ' package-section-games-but-contains-no-game$' >"$scratch/lintian.log" || true
    [[ ! -s "$scratch/lintian.log" ]] || { cat "$scratch/lintian.log" >&2; fail "lintian complains"; }
fi
echo "$(basename "$deb"): $(stat -c %s "$deb") bytes; depends on $depends"
