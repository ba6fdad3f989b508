#!/usr/bin/env bash
# Makes the README's pictures of the content (docs/content-*.png) from a build's staged run folder:
#   tools/assets/make-docs.sh [BUILD_DIR]     (default: build)
# The logo, the characters and the pond come from tolva-asset-sheet; the two
# tracks' spectrograms from sox.
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$top/build}
cmake --build "$build" --target tolva_assets tolva-asset-sheet -j 2 >/dev/null
run="$build/run"
docs="$top/docs"
mkdir -p "$docs"
"$build/tools/assets/tolva-asset-sheet" "$run" "$docs"
sox -t flac "$run/sounds/klez.wav" -n remix - rate 16k spectrogram -x 1200 -y 300 -z 80 \
    -t "klez.wav: doina | freylekhs | hora | bulgar | tsimbl | finale" -c "" -o "$docs/content-klez.png"
sox -t flac "$run/sounds/endOfTolva.wav" -n remix - rate 16k spectrogram -x 600 -y 300 -z 80 \
    -t "endOfTolva.wav" -c "" -o "$docs/content-end.png"
echo "docs pictures written to $docs"
