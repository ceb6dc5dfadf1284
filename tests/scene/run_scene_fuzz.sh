#!/usr/bin/env bash
# Runs the scene fuzzer briefly on seed scenes written by our own tool (the
# current format) and on the files of the first format kept in OLD_FOLDER,
# in a folder of its own that is removed afterwards.
#   run_scene_fuzz.sh FUZZER SEED_TOOL OLD_FOLDER
set -euo pipefail
fuzzer=$1
seeds=$2
old_scenes=$3
work=$(mktemp -d "${TMPDIR:-/tmp}/grainvox-scene-fuzz.XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir "$work/corpus"
"$seeds" "$work/corpus"
cp "$old_scenes"/*.gvx "$work/corpus/"
cd "$work"
"$fuzzer" -runs=20000 -max_total_time=10 -max_len=4096 -rss_limit_mb=2048 corpus
