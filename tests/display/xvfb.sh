#!/usr/bin/env bash
# xvfb.sh start|stop DISPLAY [WxHxD]: a private X server for the tests that need one.
set -eu
action=$1
display=$2
screen=${3:-1920x1080x24}
num=${display#:}
pidfile=/tmp/tolva-xvfb-$num.pid

stop() {
    if [ -f "$pidfile" ]; then
        kill "$(cat "$pidfile")" 2>/dev/null || true
        rm -f "$pidfile"
    fi
}

case $action in
start)
    stop
    # A server left behind by an earlier run would hold the display's lock.
    if [ -f "/tmp/.X$num-lock" ]; then
        kill "$(tr -d ' ' < "/tmp/.X$num-lock")" 2>/dev/null || true
        rm -f "/tmp/.X$num-lock" "/tmp/.X11-unix/X$num"
    fi
    # -noreset: by default the server resets whenever its last client leaves, and drops any
    # connection that arrives meanwhile; a test that checks for the display and then opens it
    # would lose that race now and then.
    Xvfb "$display" -screen 0 "$screen" -nolisten tcp +extension GLX -noreset >/dev/null 2>&1 &
    echo $! > "$pidfile"
    for _ in $(seq 1 100); do
        if xdpyinfo -display "$display" >/dev/null 2>&1; then
            exit 0
        fi
        sleep 0.1
    done
    echo "xvfb.sh: Xvfb did not start on $display" >&2
    exit 1
    ;;
stop)
    stop
    ;;
*)
    echo "usage: xvfb.sh start|stop DISPLAY [WxHxD]" >&2
    exit 2
    ;;
esac
