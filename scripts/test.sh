#!/usr/bin/env bash
# Installs what is missing, builds (the browser build in build-web/ too), and runs every test; then builds the unit tests and the
# inspector once more with AddressSanitizer and UndefinedBehaviorSanitizer (in build-asan/, using
# the assets of build/) and runs them and the inspector's whole timeline. Arguments go to ctest.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/install-deps.sh"

# The tests' X servers take the 24 display numbers from TOLVA_TEST_DISPLAY up. Keep the ones the
# build has if they are all free, else take the first free run of 24: a machine with an X server
# of its own on one of them, or a second checkout testing beside this one, must not fail the tests.
displays_free() {
    local n
    for n in $(seq "$1" $(($1 + 23))); do
        [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ] || return 1
    done
}
display=$(sed -n 's/^TOLVA_TEST_DISPLAY:STRING=//p' "$top/build/CMakeCache.txt" 2>/dev/null || true)
display=${display:-91}
if ! displays_free "$display"; then
    for base in $(seq 91 24 1000); do
        displays_free "$base" && display=$base && break
    done
fi
cmake -S "$top" -B "$top/build" -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_COMPILER_LAUNCHER=ccache \
      -DTOLVA_TEST_DISPLAY="$display" >/dev/null
"$top/scripts/build.sh"
# The browser build, whose tests compare it with this one: configured again so that they are in.
"$top/scripts/web.sh"
cmake -S "$top" -B "$top/build" >/dev/null
status=0
cd "$top/build"
ctest --output-on-failure -j "$(nproc)" "$@" || status=$?

# The sanitizer build takes its X display numbers from the same range as the first.
cmake -S "$top" -B "$top/build-asan" -DCMAKE_BUILD_TYPE=Release -DTOLVA_SANITIZE=ON \
      -DTOLVA_ASSETS_FROM="$top/build/run" -DTOLVA_TEST_DISPLAY="$display" >/dev/null
cmake --build "$top/build-asan" -j "$(nproc)"
cd "$top/build-asan"
ctest --output-on-failure -j "$(nproc)" "$@" || status=$?
exit "$status"
