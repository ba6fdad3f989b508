#!/usr/bin/env bash
# xvfb.sh start|stop DISPLAY [WxHxD]: a private X server for the tests that need one.
#
# The server's PID is kept in a folder only this user can write (made by mktemp, checked to be
# ours before it is read), and stop kills that PID only if it is still the Xvfb this script started
# on that display. Nothing is killed on the word of a file anyone else could have written: a display
# taken by someone else's server is reported, not freed.
set -eu
action=$1 display=$2 screen=${3:-1920x1080x24}
case ${display#:} in
'' | *[!0-9]*) echo "xvfb.sh: not a display number: $display" >&2 && exit 2 ;;
esac
prefix=${TMPDIR:-/tmp}/tolva-xvfb-${display#:}.

stop() {
    for dir in "$prefix"*; do
        # Only folders of ours (not links, not someone else's).
        { [ -d "$dir" ] && [ ! -L "$dir" ] && [ -O "$dir" ]; } || continue
        pid=$(cat "$dir/pid" 2>/dev/null || true)
        # Still the server we started (the PID may have been reused since)?
        if [[ $pid =~ ^[0-9]+$ ]] && tr "\\0" " " 2>/dev/null < "/proc/$pid/cmdline" | grep -q "^Xvfb $display "; then
            kill "$pid" 2>/dev/null || true
            timeout 5 tail --pid="$pid" -s 0.1 -f /dev/null 2>/dev/null || true
        fi
        rm -rf "$dir"
    done
}

case $action in
start)
    stop
    dir=$(mktemp -d "${prefix}XXXXXX")
    # -noreset: by default the server resets whenever its last client leaves, and drops any
    # connection that arrives meanwhile; a test that checks for the display and then opens it
    # would lose that race now and then.
    Xvfb "$display" -screen 0 "$screen" -nolisten tcp +extension GLX -noreset >/dev/null 2>&1 &
    echo $! > "$dir/pid"
    # Until it answers, or gives up because the display is taken (a stale lock it clears itself).
    for _ in $(seq 1 100); do
        kill -0 $! 2>/dev/null || break
        xdpyinfo -display "$display" >/dev/null 2>&1 && kill -0 $! 2>/dev/null && exit 0
        sleep 0.1
    done
    stop
    echo "xvfb.sh: Xvfb did not start on $display (is another X server using it?)" >&2
    exit 1
    ;;
stop) stop ;;
*) echo "usage: xvfb.sh start|stop DISPLAY [WxHxD]" >&2 && exit 2 ;;
esac
