#!/bin/sh
# stage-assets.sh FROM SHADERS TO STAMP: gathers the page's assets from the run folder FROM and the
# WebGL 2 shader pair of SHADERS into TO, re-encoding the tracks as Opus at 96 kb/s (a tenth of the WAV
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

# Newer than its staged form: made again from it.
stale() {
    [ ! -f "$2" ] || [ "$1" -nt "$2" ]
}

for file in "$from"/fonts/*; do
    [ -f "$file" ] || continue
    case "$file" in
        *.ttf|*/README.md) ;;  # the page reads the exports, never the fonts themselves
        *.png)
            # Glyph pages are white with their coverage in alpha: stored as grey and alpha, losslessly,
            # they weigh half as much.
            if stale "$file" "$to/fonts/${file##*/}"; then
                rm -f "$to/fonts/${file##*/}"
                optipng -quiet -o1 -out "$to/fonts/${file##*/}" "$file"
                changed=1
            fi ;;
        *) take "$file" "$to/fonts/${file##*/}" ;;
    esac
done
for file in "$from"/graphics/*.png; do
    [ -f "$file" ] && take "$file" "$to/graphics/${file##*/}"
done
# The scroller's pair in GLSL ES 3.00, under the names the show loads it by.
for file in "$shaders"/*.es.*; do
    name=${file##*/}
    take "$file" "$to/shaders/${name%%.es.*}.${name##*.es.}"
done
for file in "$from"/sounds/*.wav; do
    [ -f "$file" ] || continue
    opus="$to/sounds/$(basename "$file" .wav).opus"
    if stale "$file" "$opus"; then
        opusenc --quiet --bitrate 96 "$file" "$opus"
        changed=1
    fi
done
# What the run folder no longer holds goes from the package too.
for staged in "$to"/fonts/* "$to"/graphics/* "$to"/sounds/*; do
    [ -e "$staged" ] || continue
    name=${staged#"$to"/}
    case "$name" in
        sounds/*.opus) source="$from/${name%.opus}.wav" ;;
        *) source="$from/$name" ;;
    esac
    if [ ! -f "$source" ]; then
        rm -f "$staged"
        changed=1
    fi
done
if [ "$changed" = 1 ] || [ ! -f "$stamp" ]; then
    touch "$stamp"
fi
