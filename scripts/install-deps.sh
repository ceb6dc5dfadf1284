#!/usr/bin/env bash
# Installs the Debian/Ubuntu packages Grainvox needs that are not there yet.
#   install-deps.sh run   what building and playing needs
#   install-deps.sh web   what building and serving the web page needs
#   install-deps.sh package  run and web, plus what the Windows programs and the zips need
#   install-deps.sh test  all of that, plus what the test suite needs (a browser among it)
set -euo pipefail

run_packages=(cmake g++ make pkg-config freeglut3-dev libglu1-mesa-dev libgl1-mesa-dev libgl1-mesa-dri
              libxi-dev libxxf86vm-dev)
# Debian's emscripten works offline with its own prebuilt system libraries;
# the page's texture is drawn by a tool built with the machine's compiler;
# Node runs the WebAssembly build of the sweep timing.
web_packages=(cmake g++ make emscripten binaryen python3 nodejs)
package_packages=(g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64 zip dpkg-dev file)
test_packages=(libgtest-dev libbenchmark-dev xvfb xauth xdotool imagemagick x11-utils
               clang libclang-rt-dev wine wine64 unzip chromium chromium-driver python3-selenium)

case "${1:-run}" in
    run) wanted=("${run_packages[@]}") ;;
    web) wanted=("${web_packages[@]}") ;;
    package) wanted=("${run_packages[@]}" "${web_packages[@]}" "${package_packages[@]}") ;;
    test) wanted=("${run_packages[@]}" "${web_packages[@]}" "${package_packages[@]}" "${test_packages[@]}") ;;
    *) echo "usage: $0 [run|web|package|test]" >&2; exit 2 ;;
esac

if ! command -v apt-get >/dev/null 2>&1; then
    echo "No apt-get here. Install these (or your system's equivalents) by hand:" >&2
    echo "  ${wanted[*]}" >&2
    exit 0
fi

missing=()
for package in "${wanted[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
    [[ "$status" == "install ok installed" ]] || missing+=("$package")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

if [[ $(id -u) -eq 0 ]]; then
    as_root=()
elif command -v sudo >/dev/null 2>&1; then
    as_root=(sudo)
else
    {
        echo "Grainvox needs ${#missing[@]} packages that are not installed, and installing them needs root:"
        echo "  ${missing[*]}"
        echo "Install them as root, then run this again; for example:"
        echo "  su -c 'apt-get update && apt-get install --no-install-recommends ${missing[*]}'"
    } >&2
    exit 1
fi

echo "Installing ${#missing[@]} packages with apt-get; this can take a few minutes:"
echo "  ${missing[*]}"
echo "== updating the package lists"
"${as_root[@]}" apt-get update -q
echo "== downloading and installing"
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
echo "== the packages are installed"
