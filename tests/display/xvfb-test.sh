#!/usr/bin/env bash
# xvfb-test.sh XVFB_SCRIPT :BASE — xvfb.sh stops the server it started and nothing else: files
# that name other processes (as anyone could plant them in /tmp) are not taken at their word.
set -u
script=$1 num=$((${2#:} + 9))
display=:$num fail=0
say() { echo "xvfb-test: $*" >&2; fail=1; }

sleep 300 &
victim=$!
trap 'kill $victim 2>/dev/null; rm -f "/tmp/tolva-xvfb-$num.pid" "/tmp/.X$num-lock"' EXIT

# A PID file at a name anyone can write, and a lock file for the display that names the victim.
echo "$victim" > "/tmp/tolva-xvfb-$num.pid"
printf '%10d\n' "$victim" > "/tmp/.X$num-lock"
"$script" start "$display" 2>/dev/null && say "started although the display's lock names a live process"
kill -0 "$victim" 2>/dev/null || say "start killed the process named in the lock file"
rm -f "/tmp/.X$num-lock"

"$script" start "$display" || say "did not start on a free display"
DISPLAY=$display xdpyinfo >/dev/null 2>&1 || say "no server on $display after start"
"$script" stop "$display"
kill -0 "$victim" 2>/dev/null || say "stop killed the process named in /tmp/tolva-xvfb-$num.pid"
sleep 0.5
DISPLAY=$display xdpyinfo >/dev/null 2>&1 && say "the server it started still runs after stop"
exit $fail
