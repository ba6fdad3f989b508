#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test; then builds the unit tests and the
# inspector once more with AddressSanitizer and UndefinedBehaviorSanitizer (in build-asan/, using
# the assets of build/) and runs them and the inspector's whole timeline. Arguments go to ctest.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/build.sh"
status=0
cd "$top/build"
ctest --output-on-failure -j "$(nproc)" "$@" || status=$?

# The sanitizer build takes its X display numbers from the same range as the first.
display=$(sed -n 's/^TOLVA_TEST_DISPLAY:STRING=//p' "$top/build/CMakeCache.txt")
cmake -S "$top" -B "$top/build-asan" -DCMAKE_BUILD_TYPE=Release -DTOLVA_SANITIZE=ON \
      -DTOLVA_ASSETS_FROM="$top/build/run" -DTOLVA_TEST_DISPLAY="${display:-91}" >/dev/null
cmake --build "$top/build-asan" -j "$(nproc)"
cd "$top/build-asan"
ctest --output-on-failure -j "$(nproc)" "$@" || status=$?
exit "$status"
