#!/usr/bin/env bash
# Runs the scene fuzzer briefly on seed scenes written by our own tool, in a
# folder of its own that is removed afterwards.
#   run_scene_fuzz.sh FUZZER SEED_TOOL
set -euo pipefail
fuzzer=$1
seeds=$2
work=$(mktemp -d "${TMPDIR:-/tmp}/grainvox-scene-fuzz.XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir "$work/corpus"
"$seeds" "$work/corpus"
cd "$work"
"$fuzzer" -runs=20000 -max_total_time=10 -max_len=4096 -rss_limit_mb=2048 corpus
