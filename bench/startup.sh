#!/usr/bin/env bash
# Whole-process start-up of the real show under Xvfb: with Escape held from the start, the show
# closes its window in its first iteration, so the process's run time is start-up to first frame
# plus tear-down. Prints each run's wall time, CPU time (user + system: on a machine that others
# load, this is the steadier figure) and peak memory, then the medians, and the load beside them.
#   bench/startup.sh [RUN_DIR]   TOLVA_BENCH_DISPLAY=N (default 89)
#   TOLVA_BENCH_ENV="NAME=value ..." runs the show with that environment, e.g.
#   GLIBC_TUNABLES=glibc.malloc.hugetlb=1 (huge pages for the start-up's large buffers).
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
    results+=("$(env DISPLAY=$display ALSOFT_DRIVERS=null ${TOLVA_BENCH_ENV:-} /usr/bin/time -f '%e %U %S %M' ./tolva 2>&1 >/dev/null | tail -n 1)")
done
printf '%s\n' "${results[@]}" | awk '{print "run: " $1 " s, cpu " $2 + $3 " s, peak " $4/1024 " MiB"}'
median() { sort -g | awk '{v[NR]=$1} END {print v[int((NR+1)/2)]}'; }
echo "median: $(printf '%s\n' "${results[@]}" | awk '{print $1}' | median) s," \
     "cpu $(printf '%s\n' "${results[@]}" | awk '{print $2 + $3}' | median) s," \
     "peak $(printf '%s\n' "${results[@]}" | awk '{print $4/1024}' | median) MiB"
echo "load: $(cut -d' ' -f1-3 /proc/loadavg)"
