#!/bin/sh
# The unpacked package's launcher, started from another folder under a private Xvfb: the show
# runs from the installed asset folder, opens its window, and Escape ends it with status 0; the
# capture launcher writes a relative output into the folder it was started from.
. "$(dirname "$0")/common.sh"
work=$TOLVA_WORK_DIR/start
root=$work/root
rm -rf "$work"
mkdir -p "$work/elsewhere"
if [ ! -f "$deb" ]; then
    fail "no package at $deb"
    finish
fi
unpack_root "$root"
# On a real system the font packages are installed: let the fonts' links resolve the same way.
[ -e "$root/usr/share/fonts" ] || ln -s /usr/share/fonts "$root/usr/share/fonts"

show=""
cleanup() {
    if [ -n "$show" ] && kill -0 "$show" 2>/dev/null; then
        kill "$show" 2>/dev/null || true
    fi
    "$TOLVA_XVFB_SCRIPT" stop "$TOLVA_DISPLAY"
}
trap cleanup EXIT
# Started a second time if it is gone a moment later (a server of an earlier run may have been
# the one that answered).
"$TOLVA_XVFB_SCRIPT" start "$TOLVA_DISPLAY"
sleep 1
xdpyinfo -display "$TOLVA_DISPLAY" > /dev/null 2>&1 || "$TOLVA_XVFB_SCRIPT" start "$TOLVA_DISPLAY"

cd "$work/elsewhere"
DISPLAY=$TOLVA_DISPLAY ALSOFT_DRIVERS=null "$root/usr/$TOLVA_BINDIR/tolva" > "$work/show.log" 2>&1 &
show=$!

# The window: up to a minute under software GL.
window=""
for _ in $(seq 1 600); do
    window=$(DISPLAY=$TOLVA_DISPLAY xdotool search --name '^Tolva$' 2>/dev/null | head -1 || true)
    [ -n "$window" ] && break
    kill -0 "$show" 2>/dev/null || break
    sleep 0.1
done
if [ -z "$window" ]; then
    fail "no window titled Tolva appeared; the show said: $(cat "$work/show.log")"
    finish
fi

# The launcher has handed over to the program itself, running in the installed asset folder.
check "the show runs the installed program" \
    test "$(readlink "/proc/$show/exe")" = "$(realpath "$root/usr/$TOLVA_PROGRAMDIR/tolva")"
check "the show runs in the installed asset folder" \
    test "$(readlink "/proc/$show/cwd")" = "$(realpath "$root/usr/$TOLVA_DATADIR")"
# Every font the show reads is one it could open: the links lead to the font packages' files.
for font in Noot.ttf tox.ttf brevin.ttf; do
    if [ -e "$TOLVA_RUN_DIR/fonts/$font" ]; then
        check "fonts/$font is readable from the show's folder" test -r "/proc/$show/cwd/fonts/$font"
    fi
done

# Escape, held long enough for a slow frame to see it. The window opens before the show loads
# its assets, and the key is read only once the frame loop runs, so it is pressed again until the
# show ends.
status=""
for _ in $(seq 1 60); do
    DISPLAY=$TOLVA_DISPLAY xdotool keydown Escape
    sleep 0.5
    DISPLAY=$TOLVA_DISPLAY xdotool keyup Escape
    for _ in 1 2 3 4 5; do
        if ! kill -0 "$show" 2>/dev/null; then
            set +e
            wait "$show"
            status=$?
            set -e
            break 2
        fi
        sleep 0.1
    done
done
if [ -z "$status" ]; then
    fail "the show was still running after a minute of pressing Escape"
else
    check "Escape ends the show with status 0 (got $status; it said: $(cat "$work/show.log"))" \
        test "$status" -eq 0
fi
show=""

# The capture launcher, from the same folder: a relative output lands there, not in the
# (read-only, for a real installation) asset folder. A few frames of the black lead-in suffice.
if [ -x "$root/usr/$TOLVA_BINDIR/tolva-capture" ]; then
    if DISPLAY=$TOLVA_DISPLAY ALSOFT_DRIVERS=null "$root/usr/$TOLVA_BINDIR/tolva-capture" \
            --fps 10 --to 0.3 --frames captured > "$work/capture.log" 2>&1; then
        check "the capture wrote its frames into the caller's folder" \
            test -f "$work/elsewhere/captured/frame000000.png"
        check "the capture wrote its sound into the caller's folder" \
            test -f "$work/elsewhere/captured/sound.wav"
        check "nothing was written into the asset folder" \
            test ! -e "$root/usr/$TOLVA_DATADIR/captured"
    else
        fail "tolva-capture failed: $(cat "$work/capture.log")"
    fi
fi
finish
