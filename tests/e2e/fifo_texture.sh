#!/usr/bin/env bash
# A program started where particle.bmp is a FIFO must not wait on it: it
# shows its first frame within seconds, untextured, and quits with status 0.
#   fifo_texture.sh PROGRAM PIXEL_COUNTER TITLE
source "$(dirname "$0")/lib.sh"
E2E_PIXELS=$2
e2e_init
title=$3
readonly first_frame_seconds=10

workdir="$E2E_TMP/bin"
mkdir "$workdir"
cp "$1" "$workdir/"
mkfifo "$workdir/particle.bmp"

started=$SECONDS
e2e_start "$workdir/$(basename "$1")" "$workdir" "$title"
[[ $((SECONDS - started)) -le $first_frame_seconds ]] ||
    e2e_fail "the first frame took $((SECONDS - started))s"

e2e_key q
e2e_expect_exit 20 0
echo "did not wait on a FIFO particle.bmp and quit as expected"
