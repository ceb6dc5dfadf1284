#!/usr/bin/env bash
# Runs a command on a private Xvfb server of its own, so that tests with a
# display can run side by side; the server is stopped when the command ends.
#   xvfb-run.sh [-s WxHxD] command args...
set -euo pipefail
screen=1024x768x24
if [[ "${1:-}" == "-s" ]]; then screen=$2; shift 2; fi

fifo=$(mktemp -u)
mkfifo "$fifo"
exec 3<>"$fifo"
rm -f "$fifo"
Xvfb -displayfd 3 -screen 0 "$screen" -nolisten tcp +extension GLX >/dev/null 2>&1 &
xvfb_pid=$!
trap 'kill "$xvfb_pid" 2>/dev/null; wait "$xvfb_pid" 2>/dev/null || true' EXIT
read -r -t 20 display <&3 || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$display"
# Always Mesa's software rasteriser, whatever the machine has.
export LIBGL_ALWAYS_SOFTWARE=1
"$@"
