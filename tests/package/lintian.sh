#!/bin/sh
# lintian on the package: no errors. Warnings and notes are printed for whoever reads the log.
. "$(dirname "$0")/common.sh"
if [ ! -f "$deb" ]; then
    fail "no package at $deb"
    finish
fi
set +e
lintian --info --display-info --pedantic --fail-on error "$deb" > "$TOLVA_WORK_DIR/lintian.log" 2>&1
status=$?
set -e
grep -v '^N:' "$TOLVA_WORK_DIR/lintian.log" || true
check "lintian reports no errors (status $status)" test "$status" -eq 0
finish
