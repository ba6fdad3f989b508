#!/usr/bin/env bash
# Whole-process start-up of the real show under Xvfb: with Escape held from the start, the show
# closes its window in its first iteration, so the process's run time is start-up to first frame
# plus tear-down. Prints each run's wall time and peak memory, then the medians.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
run=${1:-$top/build/run}
display=:${TOLVA_BENCH_DISPLAY:-89}
"$top/tests/display/xvfb.sh" start "$display"
trap '"$top/tests/display/xvfb.sh" stop "$display"' EXIT
# The X server lets go of a key when the client that pressed it leaves: keep xdotool there.
DISPLAY=$display xdotool keydown Escape sleep 600 keyup Escape &
holder=$!
trap 'kill $holder 2>/dev/null; "$top/tests/display/xvfb.sh" stop "$display"' EXIT
sleep 0.5
cd "$run"
results=()
for _ in 1 2 3 4 5 6 7; do
    results+=("$(DISPLAY=$display ALSOFT_DRIVERS=null /usr/bin/time -f '%e %M' ./tolva 2>&1 >/dev/null | tail -n 1)")
done
printf '%s\n' "${results[@]}" | awk '{print "run: " $1 " s, peak " $2/1024 " MiB"}'
printf '%s\n' "${results[@]}" | sort -n | awk '{t[NR]=$1; m[NR]=$2} END {print "median: " t[int((NR+1)/2)] " s"}'
printf '%s\n' "${results[@]}" | sort -k2 -n | awk '{m[NR]=$2} END {print "median peak: " m[int((NR+1)/2)]/1024 " MiB"}'
