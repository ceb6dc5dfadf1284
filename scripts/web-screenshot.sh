#!/usr/bin/env bash
# Builds the web page, pours a small scene into it in headless Chromium and
# saves the page as docs/web-screenshot.png.
#   web-screenshot.sh [OUTPUT.png]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
output=$(realpath -m "${1:-$root/docs/web-screenshot.png}")
"$root/scripts/install-deps.sh" test
page=$("$root/scripts/build-web.sh" "$root/build/web")
mkdir -p "$(dirname "$output")"
PYTHONDONTWRITEBYTECODE=1 /usr/bin/python3 "$root/tests/web/page_screenshot.py" "$page" "$output"
