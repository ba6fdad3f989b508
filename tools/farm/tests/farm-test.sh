#!/bin/sh
# farm-test.sh: tolva-farm against one tolva-capture run of the same range, with one part over
# ssh for real (a private sshd on a loopback port, its sessions on a cmake --install prefix and
# without a display), and its faults: a host that cannot be reached, a part killed on its host,
# a host with another renderer, Ctrl-C. The results go to a folder whose name holds a colon, a
# space, a quote, a command substitution and UTF-8, as any path may. The environment comes from tools/farm/CMakeLists.txt:
# TOLVA_BUILD_DIR TOLVA_RUN_DIR TOLVA_XVFB_SCRIPT TOLVA_SSHD_SCRIPT TOLVA_DISPLAY (this machine's
# parts) TOLVA_REMOTE_DISPLAY (the first the ssh sessions' xvfb-run may take).
set -eu
work=$TOLVA_BUILD_DIR/farm-test
scratch=$work
. "$(dirname "$0")/against-one-run.sh"
out="$work/out: it's \$(touch pwned) ñandú"
rm -rf "$work"
mkdir -p "$out"
cleanup() {
    "$TOLVA_SSHD_SCRIPT" stop "$work/sshd" || true
    "$TOLVA_XVFB_SCRIPT" stop "$TOLVA_DISPLAY" || true
}
trap cleanup EXIT

# A quiet range across scene 1's hand-over to scene 2 at 10 frames a second: 20 frames.
range="--fps 10 --from 60 --to 62"
cmake --install "$TOLVA_BUILD_DIR" --prefix "$work/prefix" > "$work/install.log" 2>&1 ||
    { cat "$work/install.log" >&2; exit 1; }
mkdir -p "$work/sshd"
TOLVA_FARM_DISPLAY_FROM=${TOLVA_REMOTE_DISPLAY#:} "$TOLVA_SSHD_SCRIPT" start "$work/sshd" "$work/prefix/bin:/usr/bin:/bin"
ssh_login="$(cat "$work/sshd/ssh") root@127.0.0.1"
home=$work/sshd/home
"$TOLVA_XVFB_SCRIPT" start "$TOLVA_DISPLAY"
export DISPLAY="$TOLVA_DISPLAY" ALSOFT_DRIVERS=null

capture_one_run

farm() {  # farm NAME ARGUMENTS...: a farm into out/NAME.mp4 and out/NAME.jsonl; its status in $status
    name=$1
    shift
    status=0
    "$TOLVA_RUN_DIR/tolva-farm" $range --out "$out/$name.mp4" --log "$out/$name.jsonl" "$@" \
        > "$work/$name.out" 2> "$work/$name.err" || status=$?
}
nothing_left() {  # nothing_left WHAT: no file of a farm here or on the ssh host, no process
    left=$(ls -A "$out")$(ls -A "$home")$(find "$work" "$TOLVA_RUN_DIR" "$PWD" -maxdepth 3 -name pwned)
    [ -z "$left" ] || fail "$1: left behind: $left"
    rm -rf "${out:?}"/* "$home"/*
    sleep 1
    processes=$(pgrep -af "tolva-farm-|$work/prefix/lib/tolva/tolva-capture|$TOLVA_RUN_DIR/tolva-farm " || true)
    [ -z "$processes" ] || fail "$1: still running: $processes"
}

# Three parts: one on the ssh host, the rest here; a host that cannot be reached is left out.
printf '1/%s\n1/:\nssh -p 1 -o BatchMode=yes -o ConnectTimeout=5 root@127.0.0.1\n' "$ssh_login" > "$work/hosts"
farm ssh --parts 3 --hosts "$work/hosts"
same_as_one_run ssh
grep -q "leaving out root@127.0.0.1 port 1: .*refused" "$work/ssh.err" || fail "the host that cannot be reached is not named"
grep -q "on root@127.0.0.1 port" "$work/ssh.err" || fail "no part ran on the ssh host: $(cat "$work/ssh.err")"
# Each part's first frame is a key frame of the joined video (0, 0.6 and 1.3 s).
keys=$(ffprobe -v error -select_streams v -show_entries packet=pts_time,flags -of csv=p=0 "$out/ssh.mp4" |
       awk -F, '$2 ~ /K/ { printf "%s ", $1 + 0 }')
[ "$keys" = "0 0.6 1.3 " ] || fail "key frames at $keys, not at the parts' starts"
rm -f "$out"/*
nothing_left "three parts"

# The ssh host's part killed there runs again, and the result is the same.
printf '1/%s\n1/:\n' "$ssh_login" > "$work/hosts"
"$TOLVA_RUN_DIR/tolva-farm" $range --out "$out/killed.mp4" --log "$out/killed.jsonl" --parts 2 \
    --hosts "$work/hosts" > "$work/killed.out" 2> "$work/killed.err" &
farm_pid=$!
ssh_part() { pgrep -f "^$work/prefix/bin/../lib/tolva/tolva-capture .*$home/tolva-farm-" | head -1; }
kill_when_found ssh_part || fail "no part ran on the ssh host to be killed"
status=0
wait "$farm_pid" || status=$?
same_as_one_run killed
grep -q "part .*Killed" "$work/killed.err" || fail "the part killed is not reported: $(cat "$work/killed.err")"
rm -f "$out"/*
nothing_left "a part killed"

# A host that draws with another renderer is refused before any work, in one line naming it.
printf '1/%s -o SetEnv=GALLIUM_DRIVER=softpipe root@127.0.0.1\n1/:\n' "$(cat "$work/sshd/ssh")" > "$work/hosts"
farm softpipe --hosts "$work/hosts"
[ "$status" -eq 2 ] || fail "another renderer: status $status, not 2"
[ "$(grep -c 'refusing root@127.0.0.1 port .*softpipe' "$work/softpipe.err")" -eq 1 ] ||
    fail "the other renderer's host is not named: $(cat "$work/softpipe.err")"
nothing_left "another renderer"

# Ctrl-C while parts run here and on the ssh host: every part ends, nothing stays.
printf '1/%s\n1/:\n' "$ssh_login" > "$work/hosts"
"$TOLVA_RUN_DIR/tolva-farm" $range --out "$out/stopped.mp4" --hosts "$work/hosts" 2> "$work/stopped.err" &
farm_pid=$!
found_within_a_minute ssh_part > /dev/null || true
sleep 1
kill -INT "$farm_pid"
status=0
wait "$farm_pid" || status=$?
[ "$status" -eq 130 ] || fail "Ctrl-C: status $status, not 130: $(cat "$work/stopped.err")"
nothing_left "Ctrl-C"

# The capture's other outputs are refused in one line.
status=0
"$TOLVA_RUN_DIR/tolva-farm" --frames "$out/frames" 2> "$work/frames.err" || status=$?
[ "$status" -eq 2 ] && [ "$(wc -l < "$work/frames.err")" -eq 1 ] || fail "--frames: status $status, $(cat "$work/frames.err")"

[ "$failures" -eq 0 ] || { echo "$failures check(s) failed" >&2; exit 1; }
cleanup
trap - EXIT
rm -rf "$work"
echo "all checks passed"
