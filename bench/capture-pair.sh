#!/usr/bin/env bash
# The capture's time, two builds side by side: one second from the middle of every scene captured
# to a video by each build in turn, REPS times, each run timed from its first frame read back (the
# run-up to --from left out) to its end (x264's last frames and the join included). Prints every
# run, then per scene the medians and their ratio, and the whole show's estimate: each scene's
# seconds weighted by its length.
#   bench/capture-pair.sh BEFORE_RUN_DIR AFTER_RUN_DIR   REPS=2 TOLVA_BENCH_DISPLAY=N (default 88)
#   GLWORK_C=path of glwork.c (default ../shared/tools/glwork.c beside the checkout)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
before=$(cd "$1" && pwd) after=$(cd "$2" && pwd) reps=${REPS:-2}
display=:${TOLVA_BENCH_DISPLAY:-88}
work=$(mktemp -d)
cc -O2 -shared -fPIC -o "$work/glwork.so" "${GLWORK_C:-$top/../shared/tools/glwork.c}" -ldl
"$top/tests/display/xvfb.sh" start "$display"
trap '"$top/tests/display/xvfb.sh" stop "$display"; rm -rf "$work"' EXIT
# Each scene's middle and length in seconds of the show.
scenes=(30.6:61.317 79.3:36 125.8:57 178.8:49 222.8:39 254.3:24 290.8:49.083 330.4:30.017)
for rep in $(seq "$reps"); do
    for s in "${!scenes[@]}"; do
        from=${scenes[$s]%%:*}
        for build in before after; do
            dir=$before; [ "$build" = after ] && dir=$after
            rm -f "$work/frames.txt"
            start=$(date +%s.%N)
            (cd "$dir" && env DISPLAY=$display ALSOFT_DRIVERS=null GLWORK_OUT="$work/frames.txt" LD_PRELOAD="$work/glwork.so" \
                 ./tolva-capture --from "$from" --to "$(awk -v a="$from" 'BEGIN {print a + 1}')" --out "$work/video.mp4" \
                 >/dev/null 2>&1)
            end=$(date +%s.%N)
            # glwork's clock starts as the program loads: its first line is the first read-back.
            awk -v b="$build" -v s=$((s + 1)) -v t="$(awk -v a="$start" -v e="$end" 'BEGIN {print e - a}')" \
                'NR == 1 {printf "%s %d %.2f\n", b, s, t - $1}' "$work/frames.txt"
        done
    done
done | tee "$work/runs.txt"
awk -v lengths="${scenes[*]}" '
    BEGIN { n = split(lengths, parts, " "); for (k = 1; k <= n; ++k) { split(parts[k], p, ":"); length_[k] = p[2] } }
    { t[$1, $2, ++count[$1, $2]] = $3 }
    function median(b, s,   k, j, v, m, x) {
        m = count[b, s]; for (k = 1; k <= m; ++k) v[k] = t[b, s, k]
        for (k = 2; k <= m; ++k) { x = v[k]; for (j = k - 1; j >= 1 && v[j] > x; --j) v[j + 1] = v[j]; v[j + 1] = x }
        return m % 2 ? v[(m + 1) / 2] : (v[m / 2] + v[m / 2 + 1]) / 2
    }
    END {
        for (s = 1; s <= n; ++s) {
            b = median("before", s); a = median("after", s); wb += b * length_[s]; wa += a * length_[s]
            printf "scene %d: before %.2f s, after %.2f s a second of show, after / before %.2f\n", s, b, a, a / b
        }
        printf "whole show estimate: before %.0f s, after %.0f s, after / before %.3f\n", wb, wa, wa / wb
    }' "$work/runs.txt"
