#!/bin/sh
# moment-digests.sh [RUN_DIR]: the digest table of tests/support/SceneMoments.h, printed afresh:
# for every scene moment there, the first 16 hex digits of the SHA-256 of what
# `tolva-inspect scene N SETTINGS` prints. Needs an X display, e.g.
#   xvfb-run -a -s "-screen 0 1920x1080x24" tests/support/moment-digests.sh build/run
# Paste its lines over the table only when the show is meant to draw differently (a new asset, a
# changed formula), never to make a failing test pass.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
cd "${1:-build/run}"
sed -n 's/^ *{"\(s[1-8][a-z]\)", \([1-8]\), "\([^"]*\)".*/\1 \2 \3/p' "$here/SceneMoments.h" |
while read -r name scene settings; do
    # shellcheck disable=SC2086  # the settings are words
    digest=$(./tolva-inspect scene "$scene" $settings 2>/dev/null | sha256sum | cut -c1-16)
    printf '        {"%s", %s, "%s", "%s"},\n' "$name" "$scene" "$settings" "$digest"
done
