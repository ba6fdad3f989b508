# Shared by the package tests (sourced). The environment comes from PackageTests.cmake.
set -eu
failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}
check() {  # check DESCRIPTION COMMAND...: one expectation; a failure is counted, not fatal
    what=$1
    shift
    if ! "$@"; then
        fail "$what"
    fi
}
finish() {
    if [ "$failures" -ne 0 ]; then
        echo "$failures check(s) failed" >&2
        exit 1
    fi
    echo "all checks passed"
}
arch=$(dpkg --print-architecture)
deb_dir=$TOLVA_WORK_DIR/deb
deb=$deb_dir/tolva_${TOLVA_VERSION}_${arch}.deb
# The package unpacked as dpkg would lay it out, in a scratch root.
unpack_root() {
    root=$1
    rm -rf "$root"
    mkdir -p "$root"
    dpkg-deb -x "$deb" "$root"
}
