#!/usr/bin/env bash
# A user who is neither root nor has sudo gets the missing packages named,
# with how to install them, and exit status 1: not "sudo: command not
# found". The run gets a PATH of its own without sudo, and a dpkg-query that
# reports every package missing.
#   install_deps_without_root.sh INSTALL_DEPS_SCRIPT
set -euo pipefail
script=$1

# Run as root, the check drops to nobody, who may not enter the checkout
# (say /root/grainvox) or TMPDIR: it gets a copy of the script in the first
# scratch folder it can reach.
as_user=()
if [[ $(id -u) -eq 0 ]]; then as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups); fi
scratch=
for base in "${TMPDIR:-/tmp}" /tmp /var/tmp /dev/shm; do
    candidate=$(mktemp -d "$base/grainvox-deps.XXXXXX" 2>/dev/null) || continue
    chmod 755 "$candidate"
    if "${as_user[@]}" test -x "$candidate"; then scratch=$candidate; break; fi
    rm -rf "$candidate"
done
[[ -n "$scratch" ]] || { echo "FAIL: no scratch folder that the unprivileged user can enter" >&2; exit 1; }
trap 'rm -rf "$scratch"' EXIT
fail() { echo "FAIL: $*" >&2; sed 's/^/    /' "$scratch/err" >&2; exit 1; }

install -m 644 "$script" "$scratch/install-deps.sh"
mkdir "$scratch/bin"
for tool in bash id apt-get; do ln -s "$(command -v "$tool")" "$scratch/bin/$tool"; done
printf '#!/bin/sh\nexit 1\n' >"$scratch/bin/dpkg-query"
chmod 755 "$scratch/bin" "$scratch/bin/dpkg-query"

status=0
"${as_user[@]}" env -i PATH="$scratch/bin" HOME=/nonexistent bash "$scratch/install-deps.sh" run \
    >"$scratch/out" 2>"$scratch/err" || status=$?

[[ $status -eq 1 ]] || fail "exit status $status, expected 1"
grep -q "needs root" "$scratch/err" || fail "no word of root"
grep -q "freeglut3-dev" "$scratch/err" || fail "the missing packages are not named"
grep -q "apt-get install" "$scratch/err" || fail "no word of how to install them"
! grep -q "command not found" "$scratch/err" || fail "a command was missing"
[[ ! -s "$scratch/out" ]] || fail "it went on as if it could install: $(cat "$scratch/out")"
echo "named the packages and how to install them, and failed"
