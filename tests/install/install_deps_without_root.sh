#!/usr/bin/env bash
# A user who is neither root nor has sudo gets the missing packages named,
# with how to install them, and exit status 1: not "sudo: command not
# found". The run gets a PATH of its own without sudo, and a dpkg-query that
# reports every package missing.
#   install_deps_without_root.sh INSTALL_DEPS_SCRIPT
set -euo pipefail
script=$1
scratch=$(mktemp -d "${TMPDIR:-/tmp}/grainvox-deps.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
chmod 755 "$scratch"
fail() { echo "FAIL: $*" >&2; sed 's/^/    /' "$scratch/err" >&2; exit 1; }

mkdir "$scratch/bin"
for tool in bash id apt-get; do ln -s "$(command -v "$tool")" "$scratch/bin/$tool"; done
printf '#!/bin/sh\nexit 1\n' >"$scratch/bin/dpkg-query"
chmod 755 "$scratch/bin/dpkg-query"

as_user=()
if [[ $(id -u) -eq 0 ]]; then as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups); fi
status=0
"${as_user[@]}" env -i PATH="$scratch/bin" HOME=/nonexistent bash "$script" run \
    >"$scratch/out" 2>"$scratch/err" || status=$?

[[ $status -eq 1 ]] || fail "exit status $status, expected 1"
grep -q "needs root" "$scratch/err" || fail "no word of root"
grep -q "freeglut3-dev" "$scratch/err" || fail "the missing packages are not named"
grep -q "apt-get install" "$scratch/err" || fail "no word of how to install them"
! grep -q "command not found" "$scratch/err" || fail "a command was missing"
[[ ! -s "$scratch/out" ]] || fail "it went on as if it could install: $(cat "$scratch/out")"
echo "named the packages and how to install them, and failed"
