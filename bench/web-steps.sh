#!/bin/sh
# web-steps.sh [STEPS] [RUNS] [PASSES]: each scene's step natively and in WebAssembly under node,
# at the middle moment of each scene (tests/support/SceneMoments.h), as a table of medians in
# microseconds. Each pass runs every scene natively and then in WebAssembly (RUNS runs of STEPS
# steps each, after one to warm up); the table gives, for each, the median over the passes of
# each pass's median run, so that a burst of load on a shared machine moves one pass, not the
# table. Needs build/ and build-web/ (scripts/web.sh builds both); the native run needs an X
# display for the fonts and textures, and takes Xvfb when there is none.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
steps=${1:-100}
runs=${2:-5}
passes=${3:-5}
cmake --build "$top/build" --target tolva-step-bench >/dev/null
NODE_PATH=/usr/share/nodejs cmake --build "$top/build-web" --target tolva-step-bench >/dev/null
native="$top/build/run/tolva-step-bench"
if [ -z "${DISPLAY:-}" ]; then
    native="xvfb-run -a -s \"-screen 0 640x480x24\" $native"
fi
results=$(mktemp)
trap 'rm -f "$results"' EXIT
moments=$(sed -n 's/^ *{"\(s[1-8]b\)", \([1-8]\), "\([^"]*\)".*/\2 \3/p' "$top/tests/support/SceneMoments.h")
for pass in $(seq "$passes"); do
    echo "$moments" | while read -r scene settings; do
        # shellcheck disable=SC2086  # the settings are words
        (cd "$top/build/run" && eval "$native" "$scene" $settings steps="$steps" runs="$runs") |
            sed -n "s/^scene \([0-9]\): median \([0-9.]*\) us.*/native \1 \2/p" >> "$results"
        # shellcheck disable=SC2086
        (cd "$top/build-web/run" && node --no-experimental-fetch tolva-step-bench.js "$scene" $settings \
            steps="$steps" runs="$runs") | sed -n "s/^scene \([0-9]\): median \([0-9.]*\) us.*/wasm \1 \2/p" >> "$results"
    done
    echo "pass $pass of $passes done" >&2
done
median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
printf '%-6s %12s %12s %7s   (medians of %s passes of %s runs of %s steps)\n' scene "native us" "wasm us" ratio \
    "$passes" "$runs" "$steps"
for scene in 1 2 3 4 5 6 7 8; do
    a=$(awk -v s="$scene" '$1 == "native" && $2 == s { print $3 }' "$results" | median)
    b=$(awk -v s="$scene" '$1 == "wasm" && $2 == s { print $3 }' "$results" | median)
    printf '%-6s %12s %12s %7s\n' "$scene" "$a" "$b" "$(echo "$b $a" | awk '{ printf "%.2f", $1 / $2 }')"
done
