#!/usr/bin/env bash
# Builds everything into build/ (the show and its assets are staged in build/run).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/install-deps.sh"
# ccache (installed with the rest) lets the party release's build reuse these objects.
cmake -S "$top" -B "$top/build" -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_COMPILER_LAUNCHER=ccache >/dev/null
cmake --build "$top/build" -j "$(nproc)"
