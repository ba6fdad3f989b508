#!/bin/sh
# web-steps.sh [STEPS] [RUNS]: each scene's step natively and in WebAssembly under node, at the
# middle moment of each scene (tests/support/SceneMoments.h), as a table of medians in
# microseconds. Needs build/ and build-web/ (scripts/web.sh builds both); the native run needs an
# X display for the fonts and textures, and takes Xvfb when there is none.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
steps=${1:-200}
runs=${2:-7}
cmake --build "$top/build" --target tolva-step-bench >/dev/null
NODE_PATH=/usr/share/nodejs cmake --build "$top/build-web" --target tolva-step-bench >/dev/null
native="$top/build/run/tolva-step-bench"
if [ -z "${DISPLAY:-}" ]; then
    native="xvfb-run -a -s \"-screen 0 640x480x24\" $native"
fi
median() { sed -n 's/.*median \([0-9.]*\) us.*/\1/p'; }
printf '%-6s %12s %12s %7s\n' scene "native us" "wasm us" ratio
sed -n 's/^ *{"\(s[1-8]b\)", \([1-8]\), "\([^"]*\)".*/\2 \3/p' "$top/tests/support/SceneMoments.h" |
while read -r scene settings; do
    # shellcheck disable=SC2086  # the settings are words
    a=$(cd "$top/build/run" && eval "$native" "$scene" $settings steps="$steps" runs="$runs" | median)
    # shellcheck disable=SC2086
    b=$(cd "$top/build-web/run" && node --no-experimental-fetch tolva-step-bench.js "$scene" $settings \
        steps="$steps" runs="$runs" | median)
    printf '%-6s %12s %12s %7s\n' "$scene" "$a" "$b" "$(echo "$b $a" | awk '{ printf "%.2f", $1 / $2 }')"
done
