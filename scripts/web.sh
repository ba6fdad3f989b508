#!/usr/bin/env bash
# Builds the show for the browser into build-web/ (the page and the node inspector in
# build-web/run, with the assets they read), after the native pieces it needs in build/: the
# asset generators and the glyph exporter.
#
#   scripts/web.sh                 install what is missing, build, stage build-web/run
#   scripts/web.sh --serve [PORT]  serve build-web/run on 127.0.0.1 (default port 8619)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
web="$top/build-web"
run="$web/run"

if [ "${1:-}" = "--serve" ]; then
    port=${2:-8619}
    if [ ! -d "$run" ]; then
        echo "web.sh: $run does not exist: run scripts/web.sh first" >&2
        exit 1
    fi
    echo "The show: http://127.0.0.1:$port/index.html"
    cd "$run"
    exec /usr/bin/python3 -m http.server --bind 127.0.0.1 "$port"
fi
if [ $# -gt 0 ]; then
    echo "usage: scripts/web.sh [--serve [PORT]]" >&2
    exit 2
fi

"$top/scripts/install-deps.sh"

# The native side: the assets, and the fonts measured through SFML (which the browser has not).
cmake -S "$top" -B "$top/build" -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_COMPILER_LAUNCHER=ccache >/dev/null
cmake --build "$top/build" -j "$(nproc)" --target tolva_assets tolva-glyphs tolva-inspect >/dev/null

mkdir -p "$run"
for folder in fonts graphics sounds shaders; do
    mkdir -p "$run/$folder"
    cp -pu "$top/build/run/$folder"/* "$run/$folder/"
done
# The glyph export is made again when the exporter or a font is newer than it: into a folder of
# its own, moved in whole, so that an export cut short never passes for a finished one.
export_glyphs() {
    local into="$run/fonts.export"
    rm -rf "$into" && mkdir -p "$into"
    local exporter=("$top/build/run/tolva-glyphs" "$top/build/run/fonts" "$into")
    if [ -n "${DISPLAY:-}" ]; then
        "${exporter[@]}"
    else
        xvfb-run -a -s "-screen 0 640x480x24" "${exporter[@]}"
    fi
    mv "$into"/* "$run/fonts/" && rmdir "$into"
}
stamp="$run/fonts/Noot.ttf.glyphs"
if [ ! -e "$stamp" ] || [ -n "$(find "$top/build/run/tolva-glyphs" "$top/build/run/fonts" -newer "$stamp" -type f | head -1)" ]; then
    export_glyphs || export_glyphs
fi

# emcc's optimizer needs Debian's node modules (acorn) whichever node comes first on PATH.
export NODE_PATH=/usr/share/nodejs
emcmake cmake -S "$top" -B "$web" -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_COMPILER_LAUNCHER=ccache >/dev/null
cmake --build "$web" -j "$(nproc)"
echo "web.sh: built $run"
