#!/bin/sh
# Builds the Debian package with cpack into the test's own folder.
. "$(dirname "$0")/common.sh"
rm -rf "$deb_dir"
mkdir -p "$deb_dir"
cd "$TOLVA_BUILD_DIR"
cpack --config "$TOLVA_BUILD_DIR/CPackConfig.cmake" -B "$deb_dir" > "$deb_dir/cpack.log" 2>&1 || {
    cat "$deb_dir/cpack.log" >&2
    fail "cpack failed"
}
check "cpack wrote $deb" test -f "$deb"
finish
