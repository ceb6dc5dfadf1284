#!/usr/bin/env bash
# Puts freeglut's source, from Debian's own source package, into a folder:
#   fetch-freeglut-source.sh CACHE_DIR SOURCE_DIR
# The upstream archive is fetched once into CACHE_DIR with apt-get under a
# private apt configuration (nothing of the system's apt state is touched),
# checked against its known checksum and unpacked into SOURCE_DIR.
set -euo pipefail
if [[ $# -ne 2 ]]; then
    echo "usage: $0 CACHE_DIR SOURCE_DIR" >&2
    exit 2
fi
cache=$1
source_dir=$2

readonly package=freeglut
readonly archive=freeglut_3.4.0.orig.tar.gz
readonly archive_sha256=3c0bcb915d9b180a97edaebd011b7a1de54583a838644dcd42bb0ea0c6f3eaec
readonly fallback_mirror=http://deb.debian.org/debian

fail() {
    echo "freeglut source for the Windows build cannot be had: $*" >&2
    exit 1
}

archive_is_good() {
    [[ -f "$1" ]] && echo "$archive_sha256  $1" | sha256sum --check --status
}

# Prints "MIRROR SUITE KEYRING" of the machine's first Debian package source
# (deb822 or one-line format), or the fallback mirror with the release's
# codename; KEYRING may be empty.
debian_source() {
    local found=""
    if [[ -r /etc/apt/sources.list.d/debian.sources ]]; then
        found=$(awk '
            /^[ \t]*$/ { if (deb && uri && suite) exit; deb = uri = suite = key = "" }
            /^Types:/ && / deb( |$)/ { deb = 1 }
            /^URIs:/ { uri = $2 }
            /^Suites:/ { suite = $2 }
            /^Signed-By:/ { key = $2 }
            END { if (deb && uri && suite) print uri, suite, key }' /etc/apt/sources.list.d/debian.sources)
    fi
    if [[ -z "$found" && -r /etc/apt/sources.list ]]; then
        found=$(sed 's/\[[^]]*\]//' /etc/apt/sources.list | awk '$1 == "deb" { print $2, $3; exit }')
    fi
    if [[ -z "$found" ]]; then
        local codename
        codename=$(. /etc/os-release 2>/dev/null && echo "${VERSION_CODENAME:-}" || true)
        [[ -n "$codename" ]] && found="$fallback_mirror $codename"
    fi
    echo "$found"
}

fetch_archive() {
    command -v apt-get >/dev/null || fail "apt-get is missing"
    local mirror suite keyring
    read -r mirror suite keyring <<<"$(debian_source)" || true
    [[ -n "${mirror:-}" && -n "${suite:-}" ]] || fail "no Debian package source found in /etc/apt"

    # A folder of its own, so that two builds fetching at once do not meet;
    # kept on failure for its logs.
    local apt_dir
    apt_dir=$(mktemp -d "$cache/apt.XXXXXX")
    mkdir -p "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial"
    echo "deb-src ${keyring:+[signed-by=$keyring] }$mirror $suite main" >"$apt_dir/sources.list"
    local apt=(apt-get -q -o "Dir::Etc::SourceList=$apt_dir/sources.list" -o Dir::Etc::SourceParts=/dev/null
               -o "Dir::State::Lists=$apt_dir/lists" -o "Dir::Cache=$apt_dir/cache"
               -o APT::Sandbox::User=root)
    echo "Fetching the $package source package from $mirror $suite"
    "${apt[@]}" update >"$apt_dir/update.log" 2>&1 ||
        fail "apt-get update of $mirror $suite failed (see $apt_dir/update.log)"
    (cd "$apt_dir" && "${apt[@]}" source --download-only "$package") >"$apt_dir/source.log" 2>&1 ||
        fail "apt-get source $package failed (see $apt_dir/source.log)"
    [[ -f "$apt_dir/$archive" ]] || fail "the $package source package holds no $archive (see $apt_dir/source.log)"
    mv "$apt_dir/$archive" "$cache/$archive"
    rm -rf "$apt_dir"
}

mkdir -p "$cache"
archive_is_good "$cache/$archive" || fetch_archive
archive_is_good "$cache/$archive" || fail "$archive does not have the expected sha256 $archive_sha256"

rm -rf "$source_dir"
mkdir -p "$source_dir"
tar -xzf "$cache/$archive" -C "$source_dir" --strip-components=1
echo "freeglut source ready in $source_dir"
