#!/bin/sh
# record-behaviour.sh RUN_DIR OUT_DIR: what the show does, recorded for comparison before and after
# a change that must not alter it (a refactor, a new renderer beside the old one):
#   assets.sha256        every file of the four asset folders, byte for byte
#   moments/NAME.jsonl   `tolva-inspect scene ...` at every moment of tests/support/SceneMoments.h
#   timeline-60.jsonl, timeline-10.jsonl   the whole timeline at 60 and 10 frames a second
#   capture-S.jsonl      `tolva-capture --log` over one second from S, S in the middle of each scene
# Then `diff -r BEFORE AFTER` says whether anything changed. Needs an X display (run it under
# xvfb-run -a -s "-screen 0 1920x1080x24"). The captures run two at a time.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
run=$(cd "$1" && pwd)
mkdir -p "$2/moments"
out=$(cd "$2" && pwd)
cd "$run"
find fonts graphics sounds shaders -type f | LC_ALL=C sort | xargs sha256sum > "$out/assets.sha256"
sed -n 's/^ *{"\(s[1-8][a-z]\)", \([1-8]\), "\([^"]*\)".*/\1 \2 \3/p' "$here/SceneMoments.h" |
while read -r name scene settings; do
    # shellcheck disable=SC2086  # the settings are words
    ./tolva-inspect scene "$scene" $settings > "$out/moments/$name.jsonl"
done
./tolva-inspect timeline period_us=16667 startup_us=250000 > "$out/timeline-60.jsonl"
./tolva-inspect timeline period_us=100000 startup_us=250000 > "$out/timeline-10.jsonl"
printf '%s\n' 30 79 125 178 222 254 290 330 |
xargs -P 2 -I S sh -c './tolva-capture --fps 60 --from S --to $((S + 1)) --log "$1/capture-S.jsonl" 2>/dev/null' sh "$out"
