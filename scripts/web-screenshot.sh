#!/usr/bin/env bash
# Builds the web page, pours a small scene into it in headless Chromium and
# saves the page as docs/web-screenshot.png; and the page on an emulated
# phone, with a starter scene at work, as docs/web-phone-screenshot.png.
#   web-screenshot.sh [OUTPUT.png [PHONE.png]]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
output=$(realpath -m "${1:-$root/docs/web-screenshot.png}")
phone=$(realpath -m "${2:-$root/docs/web-phone-screenshot.png}")
"$root/scripts/install-deps.sh" test
page=$("$root/scripts/build-web.sh" "$root/build/web")
mkdir -p "$(dirname "$output")"
PYTHONDONTWRITEBYTECODE=1 /usr/bin/python3 "$root/tests/web/page_screenshot.py" "$page" "$output" "$phone"
