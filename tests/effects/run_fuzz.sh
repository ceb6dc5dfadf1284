#!/usr/bin/env bash
# Runs the bitmap fuzzer briefly on a seed corpus of images we draw ourselves.
#   run_fuzz.sh FUZZER SEED_TOOL
set -euo pipefail
fuzzer=$1
draw=$2
work=$(mktemp -d "${TMPDIR:-/tmp}/grainvox-bitmap-fuzz.XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir "$work/corpus"
"$draw" "$work/corpus/square.bmp" 8 8
"$draw" "$work/corpus/filler.bmp" 3 5
"$draw" "$work/corpus/wide.bmp" 12 2
cd "$work"
TMPDIR="$work" "$fuzzer" -runs=40000 -max_total_time=10 -max_len=4096 -rss_limit_mb=1024 corpus
