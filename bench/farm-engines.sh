#!/usr/bin/env bash
# What a part costs the farm beyond its capture, through Slurm and through ssh, on this machine: a
# one-node cluster (tools/farm/tests/slurm-cluster.sh) and a private sshd on loopback
# (tools/farm/tests/sshd.sh), both in a temporary folder removed at the end.
#  1. A part that does nothing, REPS times each: `sbatch --wait` of a job that only writes its
#     outcome, against `ssh host true` and GNU parallel starting one job over that ssh.
#  2. The farm itself on the tests' range (2 s at 10 fps from 60 s), in 1 and in 3 parts, all of
#     them through the engine (two at a time, the machine's two processors): the whole run's
#     seconds, probe, sound and join included.
#   bench/farm-engines.sh RUN_DIR   REPS=5 TOLVA_BENCH_DISPLAY=N (default 88: the jobs' xvfb-run from there)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
run=$(cd "$1" && pwd) reps=${REPS:-5}
work=$(mktemp -d)
cleanup() {
    "$top/tools/farm/tests/slurm-cluster.sh" stop "$work/cluster" || true
    "$top/tools/farm/tests/sshd.sh" stop "$work/sshd" || true
    rm -rf "$work"
}
trap cleanup EXIT
mkdir -p "$work/cluster" "$work/sshd" "$work/session" "$work/out"
# The ssh sessions' capture: the build's, run from its folder (the parts give it absolute paths).
printf '#!/bin/sh\ncd %q && exec ./tolva-capture "$@"\n' "$run" > "$work/session/tolva-capture"
chmod +x "$work/session/tolva-capture"
export TOLVA_FARM_DISPLAY_FROM=${TOLVA_BENCH_DISPLAY:-88} ALSOFT_DRIVERS=null
unset DISPLAY
"$top/tools/farm/tests/slurm-cluster.sh" start "$work/cluster"
"$top/tools/farm/tests/sshd.sh" start "$work/sshd" "$work/session:/usr/bin:/bin"
export SLURM_CONF=$work/cluster/slurm.conf
ssh_login="$(cat "$work/sshd/ssh") root@127.0.0.1"

median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2) }'; }
timed() {
    local start end
    start=$(date +%s.%N)
    "$@" > /dev/null 2>&1
    end=$(date +%s.%N)
    awk -v a="$start" -v b="$end" 'BEGIN { printf "%.2f\n", b - a }'
}

echo "A part that does nothing, median of $reps (seconds):"
for _ in $(seq "$reps"); do timed sbatch --wait --output=/dev/null --wrap true; done | median | sed 's/^/  Slurm (sbatch --wait)      /'
for _ in $(seq "$reps"); do timed $ssh_login true; done | median | sed 's/^/  ssh                        /'
for _ in $(seq "$reps"); do timed parallel --will-cite -S "1/$ssh_login" --nonall true; done | median |
    sed 's/^/  GNU parallel over ssh      /'

echo "The farm, 2 s at 10 fps from 60 s, every part through the engine (seconds of the whole run):"
printf '2/%s\n' "$ssh_login" > "$work/hosts"
for parts in 1 3; do
    slurm=$(timed "$run/tolva-farm" --fps 10 --from 60 --to 62 --parts "$parts" --slurm --work "$work/out" \
        --out "$work/out/slurm.mp4")
    ssh=$(timed "$run/tolva-farm" --fps 10 --from 60 --to 62 --parts "$parts" --hosts "$work/hosts" \
        --out "$work/out/ssh.mp4")
    printf '  %s part(s): Slurm %.1f, ssh %.1f\n' "$parts" "$slurm" "$ssh"
done
