#!/bin/sh
# native-frames.sh CAPTURE RUN_DIR WORK S...: the native capture's first frame from each second S,
# as WORK/sS.png, for the page's stills to be held to. Needs an X display.
set -eu
capture=$1 run=$2 work=$3
shift 3
mkdir -p "$work"
for s in "$@"; do
    rm -rf "$work/frames-$s"
    to=$(awk "BEGIN { print $s + 0.01 }")
    (cd "$run" && "$capture" --fps 60 --from "$s" --to "$to" --frames "$work/frames-$s" >/dev/null)
    mv "$work/frames-$s/frame000000.png" "$work/s$s.png"
    rm -rf "$work/frames-$s"
done
