#!/usr/bin/env bash
# release-test.sh built-twice|contents|any-way|bare-desktop: the party release's checks. The first
# writes the archive (twice, to compare) that the others look into; ReleaseTests.cmake gives the
# environment. Exit 77: skipped.
set -euo pipefail
check=$1
work=$TOLVA_BUILD_DIR/release-test
dist=$work/dist
programs='tolva tolva-capture tolva-preview tolva-farm tolva-flashes'
machine_list=$TOLVA_SOURCE_DIR/packaging/release/from-the-machine.txt
failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}
finish() {
    if [ "$failures" -ne 0 ]; then
        echo "release $check: $failures failed" >&2
        exit 1
    fi
    echo "release $check: passed"
    exit 0
}
# The archive of the last built-twice run, and its folder's name.
archive() {
    local found=("$dist"/tolva-*-linux-x86_64.tar.gz)
    [ -f "${found[0]}" ] || { echo "no archive in $dist: release.built-twice has not run" >&2; exit 1; }
    tarball=${found[0]}
    name=$(basename "$tarball" .tar.gz)
}
# The versions a binary asks of glibc, libstdc++ and libgcc_s, one a line: "GLIBC_2.34".
version_references() {
    objdump -p "$1" | sed -n '/^Version References:/,/^$/p' |
        grep -oE '\b(GLIBC|GLIBCXX|CXXABI|GCC)_[0-9][0-9.]*\b' | sort -u
}
# Whether version A is at most B ("2.34" "2.35").
at_most() {
    [ "$(printf '%s\n%s\n' "$1" "$2" | sort -V | tail -n1)" = "$2" ]
}
from_the_machine() {
    grep -qEf <(grep -vE '^\s*(#|$)' "$machine_list") <<< "$1"
}
# Hold Escape for a while on DISPLAY (a slow frame still sees it), then wait up to 30 s for PID, a
# child of this shell: sets ended to its exit status, or to "running" (then it is killed).
escape_and_wait() {
    local display=$1 pid=$2
    DISPLAY=$display xdotool keydown Escape sleep 2 keyup Escape > /dev/null 2>&1 || true
    timeout 30 tail --pid="$pid" -s 0.2 -f /dev/null 2>/dev/null || true
    ended=running
    if kill -0 "$pid" 2>/dev/null; then
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
        return 0
    fi
    ended=0
    wait "$pid" || ended=$?
}
# Wait up to SECONDS for a window named exactly TITLE on DISPLAY.
window_shows() {
    local display=$1 title=$2 seconds=$3 k
    for k in $(seq 1 $((seconds * 5))); do
        DISPLAY=$display xdotool search --name "^$title\$" > /dev/null 2>&1 && return 0
        sleep 0.2
    done
    return 1
}

case $check in
built-twice)
    # Twice, a second and a umask apart: the same bytes.
    rm -rf --one-file-system -- "$work"
    mkdir -p "$work"
    "$TOLVA_SOURCE_DIR/scripts/release.sh" --build-dir "$TOLVA_BUILD_DIR" --dist "$dist" > "$work/first.log" 2>&1 ||
        { cat "$work/first.log" >&2; fail "release.sh failed"; finish; }
    sleep 1
    (umask 077 && "$TOLVA_SOURCE_DIR/scripts/release.sh" --build-dir "$TOLVA_BUILD_DIR" --dist "$work/again") \
        > "$work/again.log" 2>&1 || { cat "$work/again.log" >&2; fail "release.sh failed the second time"; finish; }
    cat "$work/first.log"
    archive
    for kind in tar.gz zip; do
        [ -f "$dist/$name.$kind" ] || fail "no $name.$kind"
        cmp "$dist/$name.$kind" "$work/again/$name.$kind" || fail "$name.$kind differs between two builds"
    done
    rm -rf "$work/again"
    ;;

contents)
    archive
    epoch=${SOURCE_DATE_EPOCH:-$(git -C "$TOLVA_SOURCE_DIR" log -1 --format=%ct)}
    stamp=$(TZ=UTC date -d "@$epoch" '+%F %T')
    TZ=UTC tar --full-time -tvzf "$tarball" > "$work/listing"
    # One top folder; owner 0; every time the commit's.
    awk -v top="$name/" 'index($6, top) != 1' "$work/listing" | grep . && fail "entries outside $name/"
    awk '$2 != "0/0"' "$work/listing" | grep . && fail "entries not owned by 0/0"
    awk -v when="$stamp" '$4 " " $5 != when' "$work/listing" | grep . && fail "entries not dated $stamp"
    # The zip holds the same names.
    diff <(tar -tzf "$tarball" | LC_ALL=C sort) <(unzip -Z1 "$dist/$name.zip" | LC_ALL=C sort) ||
        fail "the zip and the tar hold different names"
    rm -rf "$work/contents"
    mkdir -p "$work/contents"
    tar -xzf "$tarball" -C "$work/contents"
    top=$work/contents/$name
    for program in $programs; do
        [ -x "$top/$program" ] && [ "$(head -c 4 "$top/$program" | od -An -c | tr -d ' ')" = '177ELF' ] ||
            fail "$program is not a program at the top"
    done
    for entry in fonts/Noot.ttf fonts/tox.ttf fonts/brevin.ttf graphics/demoname.png sounds/klez.wav \
                 shaders/ScrollerShaderE.frag WARNING.txt README.txt licences/libopenal1.copyright; do
        [ -s "$top/$entry" ] || fail "$entry is missing"
    done
    grep -q 'flash' "$top/WARNING.txt" || fail "WARNING.txt does not warn of the flashes"
    grep -q 'ffmpeg' "$top/README.txt" || fail "README.txt does not say what the tools need"
    # Every binary: its libraries found beside it, none of the machine's own carried, every
    # library it needs carried or the machine's, and no symbol version past Ubuntu 22.04's.
    for file in "$top"/tolva "$top"/tolva-* "$top"/lib/*; do
        short=${file#"$top/"}
        runpath=$(patchelf --print-rpath "$file")
        case $short in
        lib/*)
            from_the_machine "${short#lib/}" && fail "$short is the machine's own and must not be carried"
            case $runpath in '' | '$ORIGIN') ;; *) fail "$short looks for libraries in $runpath" ;; esac
            # A library's own dependencies are not looked for in the programs' RUNPATH.
            for needed in $(patchelf --print-needed "$file"); do
                [ ! -f "$top/lib/$needed" ] || [ "$runpath" = '$ORIGIN' ] ||
                    fail "$short needs the carried $needed but does not look beside itself"
            done
            ;;
        *) [ "$runpath" = '$ORIGIN/lib' ] || fail "$short looks for libraries in '$runpath', not \$ORIGIN/lib" ;;
        esac
        for needed in $(patchelf --print-needed "$file"); do
            [ -f "$top/lib/$needed" ] || from_the_machine "$needed" ||
                fail "$short needs $needed, neither carried nor the machine's"
        done
        for reference in $(version_references "$file"); do
            version=${reference#*_}
            case ${reference%%_*} in
            GLIBC) limit=2.35 ;;
            GLIBCXX) limit=3.4.30 ;;
            CXXABI) limit=1.3.13 ;;
            GCC) limit=12.0.0 ;;
            esac
            at_most "$version" "$limit" || fail "$short needs $reference, past Ubuntu 22.04's ${reference%%_*}_$limit"
        done
    done
    # Nothing carried that no program needs.
    for library in "$top"/lib/*; do
        needed_by=$(for file in "$top"/tolva "$top"/tolva-* "$top"/lib/*; do patchelf --print-needed "$file"; done |
                    grep -cxF "$(basename "$library")" || true)
        [ "$needed_by" -gt 0 ] || fail "lib/$(basename "$library") is carried but needed by nothing"
    done
    ;;

any-way)
    archive
    place="$work/any way"
    rm -rf "$place"
    mkdir -p "$place/party files" "$place/elsewhere" "$place/home/Desktop"
    tar -xzf "$tarball" -C "$place/party files"
    top=$place/party\ files/$name
    ln -s "$top/tolva-capture" "$place/home/Desktop/capture"
    snapshot() { (cd "$top" && find . -printf '%p %s %T@ %m\n' | LC_ALL=C sort); }
    snapshot > "$place/before"
    display=:$TOLVA_RELEASE_DISPLAY
    xvfb=$TOLVA_SOURCE_DIR/tests/display/xvfb.sh
    "$xvfb" start "$display"
    trap '"$xvfb" stop "$display"' EXIT
    export DISPLAY=$display ALSOFT_DRIVERS=null
    # Eight seconds in, the credits' letters are drawn with the show's font: frames that miss an
    # asset differ. The reference comes from the build's own run folder.
    span=(--from 8 --to 8.05)
    (cd "$TOLVA_RUN_DIR" && ./tolva-capture "${span[@]}" --log "$place/reference.jsonl") > /dev/null 2>&1 ||
        fail "the build's capture failed"
    grep '"frame"' "$place/reference.jsonl" > "$place/reference.frames" || fail "the reference has no frames"
    # capture_from WHAT FOLDER LOG PROGRAM: the capture started from FOLDER, logging to LOG as given.
    capture_from() {
        local what=$1 folder=$2 log=$3 program=$4
        (cd "$folder" && "$program" "${span[@]}" --log "$log") > "$place/out" 2> "$place/err" ||
            { cat "$place/err" >&2; fail "$what: the capture failed"; return; }
        grep -i 'failed to' "$place/err" && fail "$what: an asset was not found"
        case $log in /*) ;; *) log=$folder/$log ;; esac
        grep '"frame"' "$log" 2>/dev/null | cmp -s - "$place/reference.frames" ||
            fail "$what: frames differ from the build's (or the log is not where it was asked for)"
    }
    capture_from "from its folder" "$top" "$place/own.jsonl" ./tolva-capture
    capture_from "from another folder, a relative path" "$place/elsewhere" "relative.jsonl" "$top/tolva-capture"
    capture_from "by a link on the desktop, in the home folder" "$place/home" "link.jsonl" Desktop/capture
    PATH=$top:$PATH capture_from "through PATH, from /" / "$place/path.jsonl" tolva-capture
    # The show and the preview as a double-click starts them: in the home folder.
    for program in tolva tolva-preview; do
        title=Tolva
        [ "$program" = tolva ] || title="Tolva preview"
        (cd "$place/home" && exec env HOME="$place/home" "$top/$program") > /dev/null 2> "$place/$program.err" &
        pid=$!
        window_shows "$display" "$title" 60 || fail "$program: no window named $title"
        sleep 2
        escape_and_wait "$display" "$pid"
        [ "$ended" = 0 ] || fail "$program from the home folder: ended with $ended on Escape, not 0"
        grep -i 'failed to' "$place/$program.err" && fail "$program from the home folder: an asset was not found"
    done
    snapshot | diff "$place/before" - || fail "the programs wrote or changed something in their own folder"
    ;;

bare-desktop)
    # The archive on a fresh minimal Debian 12 with only what a stock desktop adds (desktop-root.sh),
    # unpacked onto a read-only bind mount under a path with a space, its programs started from the
    # home folder as a double-click would.
    if [ "$(id -u)" -ne 0 ]; then
        echo "skipped: the Debian root needs root (debootstrap, chroot, mounts)"
        exit 77
    fi
    archive
    root=$("$TOLVA_SOURCE_DIR/tests/release/desktop-root.sh") || { fail "no Debian root"; finish; }
    # One run at a time in the shared root; whatever a killed run left mounted there is ours now.
    exec 8> "$(dirname "$root")/.in-use"
    flock -w 600 8 || { fail "another run holds $(dirname "$root")/.in-use"; finish; }
    . "$TOLVA_SOURCE_DIR/tests/release/mounts.sh"
    unmount_under "$root"
    place=$work/bare-desktop
    [ -z "$(mounts_under "$place")" ] || { fail "$place has mounts inside"; finish; }
    rm -rf --one-file-system -- "$place"
    mkdir -p "$place/release" "$place/tmp/home" "$place/tmp/party stuff/$name"
    chmod 1777 "$place/tmp"
    tar -xzf "$tarball" -C "$place/release"
    inside="/tmp/party stuff/$name"
    display=:$TOLVA_RELEASE_ROOT_DISPLAY
    pids=()
    cleanup() {
        local pid
        for pid in "${pids[@]}"; do
            kill "$pid" 2>/dev/null || true
        done
        for pid in "${pids[@]}"; do
            timeout 10 tail --pid="$pid" -s 0.2 -f /dev/null 2>/dev/null || kill -KILL "$pid" 2>/dev/null || true
        done
        unmount_under "$root"
    }
    trap cleanup EXIT
    trap 'exit 143' INT TERM
    mount --bind "$place/tmp" "$root/tmp"
    mount --bind "$place/release/$name" "$root$inside"
    mount -o remount,bind,ro "$root$inside"
    mount -t proc proc "$root/proc"
    mount --bind /dev "$root/dev"
    # A clean environment, as a desktop session would give; the home folder is the root's /tmp/home.
    # (A command, not a function: started in the background, its PID is the program's own.)
    in_root=(chroot "$root" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/tmp/home DISPLAY="$display")
    if "${in_root[@]}" sh -c 'touch "$0/x"' "$inside" 2>/dev/null; then
        fail "the archive's folder is writable inside the root"
    fi

    # Every library of every binary: from the archive, or the machine's own from the root.
    for file in "$place/release/$name"/tolva "$place/release/$name"/tolva-* "$place/release/$name"/lib/*; do
        short=${file#"$place/release/$name/"}
        "${in_root[@]}" ldd "$inside/$short" > "$place/ldd" 2>&1 || { cat "$place/ldd" >&2; fail "ldd $short failed"; continue; }
        while IFS= read -r line; do
            soname=$(awk '{ print $1 }' <<< "$line")
            case $line in
            *" => not found"*) fail "$short: $soname is found neither in the archive nor in the root" ;;
            *" => $inside/lib/"*) ;;
            *" => "*) from_the_machine "$soname" || fail "$short: $soname comes from the root, not the archive" ;;
            esac
        done < "$place/ldd"
    done

    # The X server a stock desktop would have, inside the root; bounded in time, like everything.
    "${in_root[@]}" timeout 600 Xvfb "$display" -screen 0 1920x1080x24 -nolisten tcp +extension GLX -noreset \
        > "$place/xvfb.log" 2>&1 &
    pids+=($!)
    for _ in $(seq 1 100); do
        xdpyinfo -display "$display" > /dev/null 2>&1 && break
        sleep 0.2
    done
    xdpyinfo -display "$display" > /dev/null 2>&1 || { cat "$place/xvfb.log" >&2; fail "Xvfb did not start in the root"; finish; }

    # The show, its sound recorded by OpenAL Soft's wave writer, until its second scene has
    # played a while (it starts about 62 s in), then Escape.
    printf '[general]\ndrivers = wave\nfrequency = 44100\nchannels = stereo\nsample-type = int16\n[wave]\nfile = /tmp/show.wav\n' \
        > "$place/tmp/alsoft.conf"
    "${in_root[@]}" ALSOFT_CONF=/tmp/alsoft.conf timeout 300 sh -c 'cd "$HOME" && exec "$0"' "$inside/tolva" \
        > "$place/show.out" 2> "$place/show.err" &
    show=$!
    pids+=("$show")
    if window_shows "$display" Tolva 60; then
        for _ in $(seq 1 85); do
            kill -0 "$show" 2>/dev/null || break
            sleep 1
        done
        if kill -0 "$show" 2>/dev/null; then
            escape_and_wait "$display" "$show"
            [ "$ended" = 0 ] || fail "the show ended with $ended on Escape, not 0"
        else
            fail "the show ended by itself before Escape"
        fi
    else
        fail "the show opened no window"
    fi
    grep -i 'failed to\|error' "$place/show.err" && fail "the show reported errors"
    read -r agreement second < <("$TOLVA_HEARD" "$place/tmp/show.wav" "$place/release/$name/sounds/klez.wav" || echo "0 0")
    echo "scene 2's soundtrack: correlation $agreement at $second s"
    awk -v c="$agreement" -v s="$second" 'BEGIN { exit !(c >= 0.8 && s >= 50 && s <= 80) }' ||
        fail "the show did not reach scene 2: its soundtrack was not heard 50 to 80 s in"

    # A second of frames from the capture, into the home folder (no ffmpeg on a compo machine).
    "${in_root[@]}" timeout 300 sh -c 'cd "$HOME" && exec "$0" --frames frames --to 1' "$inside/tolva-capture" \
        > "$place/capture.out" 2> "$place/capture.err" || { cat "$place/capture.err" >&2; fail "the capture failed"; }
    frames=$(find "$place/tmp/home/frames" -name '*.png' 2>/dev/null | wc -l)
    [ "$frames" -eq 60 ] || fail "the capture wrote $frames frames, not 60"
    [ -s "$place/tmp/home/frames/sound.wav" ] || fail "the capture wrote no sound.wav"
    grep -i 'failed to' "$place/capture.err" && fail "the capture did not find an asset"
    ;;
*)
    echo "usage: release-test.sh built-twice|contents|any-way|bare-desktop" >&2
    exit 2
    ;;
esac
finish
