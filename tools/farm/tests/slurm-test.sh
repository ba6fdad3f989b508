#!/bin/sh
# slurm-test.sh: tolva-farm --slurm on a one-node Slurm cluster of the test's own
# (slurm-cluster.sh) against one tolva-capture run of the same range, and its faults: a part
# killed on its node, Ctrl-C, Slurm not answering, Slurm missing. The work folder and the results
# lie in a folder whose name holds a space, a quote, a command substitution, a colon and UTF-8.
# Everything is in one temporary folder, removed at the end with the cluster stopped. The environment comes
# from tools/farm/CMakeLists.txt: TOLVA_RUN_DIR TOLVA_XVFB_SCRIPT TOLVA_CLUSTER_SCRIPT
# TOLVA_DISPLAY (the one capture's) TOLVA_JOBS_DISPLAY (the first the jobs' xvfb-run may take).
set -eu
if [ "$(id -u)" -ne 0 ] || ! command -v slurmctld > /dev/null || ! command -v munged > /dev/null; then
    echo "skipped: the cluster's daemons need root, slurm-wlm and munge" >&2
    exit 77
fi
tmp=$(mktemp -d "${TMPDIR:-/tmp}/tolva-slurm-test.XXXXXX")
scratch=$tmp
. "$(dirname "$0")/against-one-run.sh"
cluster=$tmp/cluster
out="$tmp/out it's \$(touch pwned): ñandú"
shared=$out/shared
mkdir -p "$cluster" "$shared"
cleanup() {
    "$TOLVA_CLUSTER_SCRIPT" stop "$cluster" || true
    "$TOLVA_XVFB_SCRIPT" stop "$TOLVA_DISPLAY" || true
    rm -rf "$tmp"
}
trap cleanup EXIT
trap 'exit 1' INT TERM HUP

# A quiet range across scene 1's hand-over to scene 2 at 10 frames a second: 20 frames.
range="--fps 10 --from 60 --to 62"
TOLVA_CLUSTER_LIMIT=600 "$TOLVA_CLUSTER_SCRIPT" start "$cluster"
export SLURM_CONF="$cluster/slurm.conf" ALSOFT_DRIVERS=null TOLVA_FARM_DISPLAY_FROM=${TOLVA_JOBS_DISPLAY#:}

"$TOLVA_XVFB_SCRIPT" start "$TOLVA_DISPLAY"
DISPLAY=$TOLVA_DISPLAY
export DISPLAY
capture_one_run

# The farm's parts carry no display of ours: they start their own, as on a cluster's node.
unset DISPLAY
farm() {  # farm NAME ARGUMENTS...: a farm on Slurm into out/NAME.mp4 and out/NAME.jsonl; its status in $status
    name=$1
    shift
    status=0
    timeout 200 "$TOLVA_RUN_DIR/tolva-farm" $range --slurm --work "$shared" --out "$out/$name.mp4" \
        --log "$out/$name.jsonl" "$@" > "$tmp/$name.out" 2> "$tmp/$name.err" || status=$?
}
# The capture of a part (not the sound's, which writes no log), once one runs.
part_capture() { pgrep -f "^$TOLVA_RUN_DIR/tolva-capture .*-part-00$1\\.jsonl" | head -n 1; }
nothing_left() {  # nothing_left WHAT: no job queued, no file of the farm, no process
    sleep 1
    jobs=$(squeue -h -o '%i %j %T' 2>&1)
    [ -z "$jobs" ] || fail "$1: jobs left in the queue: $jobs"
    left=$(ls -A "$shared")$(find "$tmp" "$TOLVA_RUN_DIR" -maxdepth 3 -name pwned)
    [ -z "$left" ] || fail "$1: left behind: $left"
    processes=$(pgrep -af "$TOLVA_RUN_DIR/tolva-|xvfb-run -a -n $TOLVA_FARM_DISPLAY_FROM " || true)
    [ -z "$processes" ] || fail "$1: still running: $processes"
    rm -f "$out"/*.mp4 "$out"/*.jsonl
}

# Three parts as a job array, the sound and the join as jobs of their own.
farm three --parts 3
same_as_one_run three
grep -q "part 1 on tolva1 (.* s), part 2 on tolva1 (.* s), part 3 on tolva1 (.* s)" "$tmp/three.err" ||
    fail "where the parts ran is not said: $(cat "$tmp/three.err")"
grep -q "3/3 parts done, 0 running .* 20/20 frames" "$tmp/three.err" || fail "no progress: $(cat "$tmp/three.err")"
keys=$(ffprobe -v error -select_streams v -show_entries packet=pts_time,flags -of csv=p=0 "$out/three.mp4" |
       awk -F, '$2 ~ /K/ { printf "%s ", $1 + 0 }')
[ "$keys" = "0 0.6 1.3 " ] || fail "key frames at $keys, not at the parts' starts"
nothing_left "three parts"

# A part killed on its node runs again, the others untouched, and the result is the same.
timeout 200 "$TOLVA_RUN_DIR/tolva-farm" $range --slurm --work "$shared" --out "$out/killed.mp4" \
    --log "$out/killed.jsonl" --parts 2 > "$tmp/killed.out" 2> "$tmp/killed.err" &
farm_pid=$!
kill_when_found part_capture 2 || fail "part 2 never ran to be killed"
status=0
wait "$farm_pid" || status=$?
same_as_one_run killed
grep -q "part 2 failed on tolva1 (status 137); running it again" "$tmp/killed.err" ||
    fail "the part killed is not reported: $(cat "$tmp/killed.err")"
[ "$(grep -c "running it again" "$tmp/killed.err")" -eq 1 ] || fail "another part ran again: $(cat "$tmp/killed.err")"
grep -q "part 1 on tolva1 (.*), part 2 failed on tolva1 (status 137, .*), part 2 on tolva1" "$tmp/killed.err" ||
    fail "where the parts ran is not said: $(cat "$tmp/killed.err")"
nothing_left "a part killed"

# Ctrl-C while the parts run: every job cancelled, nothing left, status 130.
timeout 200 "$TOLVA_RUN_DIR/tolva-farm" $range --slurm --work "$shared" --out "$out/stopped.mp4" --parts 2 \
    > /dev/null 2> "$tmp/stopped.err" &
farm_pid=$!
found_within_a_minute part_capture 1 > /dev/null || true
sleep 1
kill -INT "$farm_pid"
status=0
wait "$farm_pid" || status=$?
[ "$status" -eq 130 ] || fail "Ctrl-C: status $status, not 130: $(cat "$tmp/stopped.err")"
[ -z "$(ls -A "$out" | grep -v '^shared$')" ] || fail "Ctrl-C: results left: $(ls -A "$out")"
nothing_left "Ctrl-C"

# Slurm not answering (a controller on a loopback port nobody listens on): one line, status 2.
dead=$(shuf -i 20000-60999 -n 1)
while ss -Htan "sport = :$dead" | grep -q .; do dead=$(shuf -i 20000-60999 -n 1); done
sed "s/^SlurmctldPort=.*/SlurmctldPort=$dead/" "$SLURM_CONF" > "$tmp/dead.conf"
SLURM_CONF=$tmp/dead.conf farm dead
[ "$status" -eq 2 ] && [ "$(wc -l < "$tmp/dead.err")" -eq 1 ] && grep -q "Slurm does not answer" "$tmp/dead.err" ||
    fail "Slurm not answering: status $status, $(cat "$tmp/dead.err")"
nothing_left "Slurm not answering"

# No Slurm client at all: one line, status 2.
mkdir "$tmp/bin"
for program in ffmpeg ffprobe sh timeout; do ln -s "$(command -v $program)" "$tmp/bin/$program"; done
PATH=$tmp/bin farm missing
[ "$status" -eq 2 ] && [ "$(wc -l < "$tmp/missing.err")" -eq 1 ] && grep -q "slurm-client" "$tmp/missing.err" ||
    fail "Slurm missing: status $status, $(cat "$tmp/missing.err")"
nothing_left "Slurm missing"

# Options that cannot go together are refused before anything starts.
status=0
"$TOLVA_RUN_DIR/tolva-farm" --slurm --out "$out/x.mp4" 2> "$tmp/nowork.err" || status=$?
[ "$status" -eq 2 ] && grep -q -- "--slurm needs --work" "$tmp/nowork.err" || fail "--slurm without --work: status $status"

[ "$failures" -eq 0 ] || { echo "$failures check(s) failed" >&2; exit 1; }
echo "all checks passed"
