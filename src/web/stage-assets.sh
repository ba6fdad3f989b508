#!/bin/sh
# stage-assets.sh FROM SHADERS TO STAMP: gathers the page's assets from the run folder FROM and the
# shader sources SHADERS into TO, re-encoding the tracks as Opus at 96 kb/s (a tenth of the WAV
# files' weight, and no one hears the difference in these synthesized tracks). STAMP is touched
# when anything changed, so that the page is packaged again only then.
set -eu
from=$1 shaders=$2 to=$3 stamp=$4
changed=0
mkdir -p "$to/fonts" "$to/graphics" "$to/shaders" "$to/sounds"

# Copies $1 to $2 unless $2 holds the same bytes already.
take() {
    if ! cmp -s "$1" "$2"; then
        cp "$1" "$2"
        changed=1
    fi
}

for file in "$from"/fonts/*; do
    case "$file" in
        *.ttf|*/README.md) ;;  # the page reads the exports, never the fonts themselves
        *) [ -f "$file" ] && take "$file" "$to/fonts/${file##*/}" ;;
    esac
done
for file in "$from"/graphics/*.png; do
    [ -f "$file" ] && take "$file" "$to/graphics/${file##*/}"
done
for file in "$shaders"/*.es.*; do
    take "$file" "$to/shaders/${file##*/}"
done
for file in "$from"/sounds/*.wav; do
    [ -f "$file" ] || continue
    opus="$to/sounds/$(basename "$file" .wav).opus"
    if [ ! -f "$opus" ] || [ "$file" -nt "$opus" ]; then
        opusenc --quiet --bitrate 96 "$file" "$opus"
        changed=1
    fi
done
if [ "$changed" = 1 ] || [ ! -f "$stamp" ]; then
    touch "$stamp"
fi
