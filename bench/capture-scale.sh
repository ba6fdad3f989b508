#!/usr/bin/env bash
# What --scale costs a capture: the same part of the show captured to a video at --scale 1 and at
# --scale K, RUNS times each, with a run that draws a single frame of it (the run-up to --from and
# the start-up, which every run pays alike). Prints each run's wall and CPU time (user + system,
# ffmpeg's included: on a machine others load, the steadier figure), the medians, the cost per
# frame of the part at each scale (run-up taken off), and the load.
#   bench/capture-scale.sh [RUN_DIR]   FROM=180 TO=182 FPS=60 K=2 RUNS=3 TOLVA_BENCH_DISPLAY=N (default 89)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
run=${1:-$top/build/run}
from=${FROM:-180} to=${TO:-182} fps=${FPS:-60} k=${K:-2} runs=${RUNS:-3}
display=:${TOLVA_BENCH_DISPLAY:-89}
work=$(mktemp -d)
"$top/tests/display/xvfb.sh" start "$display"
trap '"$top/tests/display/xvfb.sh" stop "$display"; rm -rf "$work"' EXIT
cd "$run"
frames=$(awk -v a="$from" -v b="$to" -v f="$fps" 'BEGIN {printf "%d", (b - a) * f + 0.5}')
one=$(awk -v a="$from" -v f="$fps" 'BEGIN {print a + 1 / f}')
median() { sort -g | awk '{v[NR]=$1} END {print v[int((NR+1)/2)]}'; }
declare -A wall cpu
for what in runup 1 "$k"; do
    times=()
    for _ in $(seq "$runs"); do
        if [ "$what" = runup ]; then
            arguments=(--to "$one" --log "$work/log.jsonl")
        else
            arguments=(--to "$to" --scale "$what" --out "$work/video.mp4")
        fi
        times+=("$(env DISPLAY=$display ALSOFT_DRIVERS=null /usr/bin/time -f '%e %U %S' \
                   ./tolva-capture --fps "$fps" --from "$from" "${arguments[@]}" 2>&1 >/dev/null | tail -n 1)")
    done
    printf '%s\n' "${times[@]}" | awk -v w="$what" '{print w ": " $1 " s, cpu " $2 + $3 " s"}'
    wall[$what]=$(printf '%s\n' "${times[@]}" | awk '{print $1}' | median)
    cpu[$what]=$(printf '%s\n' "${times[@]}" | awk '{print $2 + $3}' | median)
    [ "$what" = runup ] || echo "  size $(stat -c %s "$work/video.mp4") bytes"
done
for scale in 1 "$k"; do
    awk -v s="$scale" -v n="$frames" -v w="${wall[$scale]}" -v c="${cpu[$scale]}" -v w0="${wall[runup]}" -v c0="${cpu[runup]}" \
        'BEGIN {printf "--scale %s: median %.1f s, cpu %.1f s; per frame (run-up off) %.3f s, cpu %.3f s\n", s, w, c, (w - w0) / (n - 1), (c - c0) / (n - 1)}'
done
echo "$frames frames, seconds $from to $to at $fps fps; load: $(cut -d' ' -f1-3 /proc/loadavg)"
