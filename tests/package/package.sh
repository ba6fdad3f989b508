#!/bin/sh
# package.sh launchers|deb: the launchers of a cmake --install tree, tried on stand-in programs;
# or the Debian package, built by cpack, looked into and checked by lintian.
# The environment comes from PackageTests.cmake.
set -eu
failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}
check() {  # check DESCRIPTION COMMAND...: a failure is counted, not fatal
    what=$1
    shift
    "$@" || fail "$what"
}
# The programs the package carries: each has a launcher, a manual page and nothing else beside.
programs='
tolva
tolva-capture
tolva-farm
tolva-preview
tolva-flashes
'
work=$TOLVA_BUILD_DIR/package-test/$1
rm -rf "$work"
mkdir -p "$work"

launchers() {
    prefix="$work/prefix with space"
    cmake --install "$TOLVA_BUILD_DIR" --prefix "$prefix" > "$work/install.log" 2>&1 ||
        { cat "$work/install.log" >&2; fail "cmake --install failed"; return; }
    bin=$prefix/$TOLVA_BINDIR
    data=$(cd "$prefix/$TOLVA_DATADIR" && pwd -P)
    for program in $programs; do  # stand-ins reporting where they run and what they get
        printf '#!/bin/sh\nprintf "%%s|" "$(pwd -P)" "${TOLVA_CALLER_DIR-unset}" "$@" > "$REPORT"\n' \
            > "$prefix/$TOLVA_PROGRAMDIR/$program"
    done
    c="$work/caller folder"
    mkdir -p "$c" "$work/links"
    ln -s "$bin/tolva" "$work/links/tolva"
    REPORT=$work/report
    export REPORT
    try() {  # try WHAT EXPECTED_REPORT LAUNCHER ARGUMENTS...: started from the caller's folder
        what=$1 expected=$2
        shift 2
        rm -f "$REPORT"
        (cd "$c" && "$@") || true
        got=$(cat "$REPORT" 2>/dev/null || true)
        [ "$got" = "$expected" ] || fail "$what: expected $expected, got $got"
    }
    try "the show runs in the asset folder with its arguments unchanged" \
        "$data|unset|two words||*|\$HOME|-x|" "$bin/tolva" "two words" "" '*' '$HOME' -x
    try "the preview runs in the asset folder with its arguments unchanged" \
        "$data|unset|--from|150|" "$bin/tolva-preview" --from 150
    try "the farm runs in the caller's folder with its arguments unchanged" \
        "$c|unset|--out|show.mp4|--hosts|my hosts|" "$bin/tolva-farm" --out show.mp4 --hosts "my hosts"
    try "the flash checker runs in the caller's folder with its arguments unchanged" \
        "$(cd "$c" && pwd -P)|unset|--csv|out.csv|my show.mp4|" "$bin/tolva-flashes" --csv out.csv "my show.mp4"
    try "the launcher started through a link finds the installation" "$data|unset|" "$work/links/tolva"
    try "the launcher started through PATH finds the installation" "$data|unset|" env PATH="$bin:$PATH" tolva
    try "the capture launcher makes the caller's relative paths absolute" \
        "$data|$c|--out|$c/show.mp4|--from|1.5|--stills|$c/my stills|--log=/abs/log.jsonl|--wav|$c/../up.wav|--help|" \
        "$bin/tolva-capture" --out show.mp4 --from 1.5 --stills "my stills" --log=/abs/log.jsonl --wav ../up.wav --help
    try "without an output the video goes to the caller's folder" \
        "$data|$c|--fps|24|--out|$c/tolva.mp4|" "$bin/tolva-capture" --fps 24
    for option in frames stills log wav; do
        try "--$option is an output: no video is added" "$data|$c|--$option=$c/x|" "$bin/tolva-capture" "--$option=x"
    done
    # Every option of the capture tool that takes free text takes a path.
    "$TOLVA_RUN_DIR/tolva-capture" --help > "$work/help" 2>&1 || true
    check "the capture tool's help lists options" grep -q -- '--out TEXT' "$work/help"
    for option in $(grep -Eo -- '--[a-z-]+ TEXT( |$)' "$work/help" | sed 's/ TEXT.*//'); do
        check "the capture launcher treats $option as a path" grep -q -- "^path_options=.* $option " "$bin/tolva-capture"
    done
    rm "$prefix/$TOLVA_PROGRAMDIR/tolva"
    if "$bin/tolva" 2> "$work/stderr"; then
        fail "a launcher without its program must fail"
    fi
    check "the failure names the missing program" grep -q "incomplete installation" "$work/stderr"
}

licensed() {  # licensed FILES COPYRIGHT: a paragraph for FILES names its licence
    awk -v f="Files: $1" '$0 == f { on = 1 } on && /^License:/ { found = 1 } END { exit !found }' "$2"
}

contents() {
    field() { dpkg-deb -f "$deb" "$1"; }
    check "control fields" test "$(field Package) $(field Version) $(field Architecture) $(field Recommends)" = \
                                "tolva $TOLVA_VERSION $arch ffmpeg"
    check "the farm's tools suggested" sh -c "dpkg-deb -f '$deb' Suggests | grep -q 'parallel, openssh-client, rsync'"
    fonts=$(grep -E '^[[:space:]]*fonts-[a-z0-9.+-]+[[:space:]]*$' "$TOLVA_SOURCE_DIR/scripts/packages.txt" | tr -d ' \t' | sort -u | tr '\n' ' ')
    depends=" $(field Depends | tr ',' '\n' | sed 's/^ *//; s/[ (].*//; s/[0-9.]*$//' | tr '\n' ' ')"
    for package in libsfml-graphics libsfml-window libsfml-system libsfml-audio $fonts; do
        case $depends in *" $package "*) ;; *) fail "Depends lacks $package: $(field Depends)" ;; esac
    done

    # Launchers in bin, the programs beside the assets, and nothing else (no inspector).
    listed=$(printf '%s\n' $programs | sort)
    check "bin holds the launchers" test "$(ls "$usr/$TOLVA_BINDIR")" = "$listed"
    check "the program folder holds the programs" test "$(ls "$usr/$TOLVA_PROGRAMDIR")" = "$listed"
    for program in $programs; do
        check "$program is an ELF file, not a launcher" sh -c "head -c 4 '$usr/$TOLVA_PROGRAMDIR/$program' | grep -q ELF"
        check "$program has a manual page" test -e "$usr/share/man/man6/$program.6.gz"
    done
    bad=$(dpkg-deb -c "$deb" | awk -v x="^[.]/usr/($TOLVA_BINDIR|$TOLVA_PROGRAMDIR)/" '$2 != "root/root" ||
        ($1 ~ /^d/ && $1 != "drwxr-xr-x") || ($1 ~ /^-/ && $1 != ($6 ~ x ? "-rwxr-xr-x" : "-rw-r--r--"))')
    check "modes 0755 for folders and programs, 0644 for files, owner root: $bad" test -z "$bad"

    # Every staged asset installed; the fonts as relative links to files of the font packages.
    for staged in "$TOLVA_RUN_DIR"/fonts/* "$TOLVA_RUN_DIR"/graphics/* "$TOLVA_RUN_DIR"/sounds/* "$TOLVA_RUN_DIR"/shaders/*; do
        name=${staged#"$TOLVA_RUN_DIR"/}
        installed=$usr/$TOLVA_DATADIR/$name
        case $name in fonts/*.copyright | fonts/README.md) continue ;; esac  # in the copyright file
        if [ ! -L "$installed" ]; then
            check "$name installed as staged" cmp -s "$staged" "$installed"
            continue
        fi
        case $(readlink "$installed") in /*) fail "$name links to an absolute path" ;; esac
        resolved=$(cd "$(dirname "$installed")" && realpath -m "$(readlink "$installed")")
        resolved=/${resolved#"$root"/}  # where it leads with the package installed
        check "$name leads to the same bytes as staged ($resolved)" cmp -s "$staged" "$resolved"
        owner=$(dpkg -S "$resolved" 2>/dev/null | sed 's/:.*//') || true
        case " $fonts" in *" $owner "*) ;; *) fail "$name comes from '$owner', not a font package depended on" ;; esac
    done

    desktop=$usr/share/applications/tolva.desktop
    check "the desktop entry is valid" desktop-file-validate "$desktop"
    check "the desktop entry starts a launcher" test -x "$usr/$TOLVA_BINDIR/$(sed -n 's/^Exec=//p' "$desktop")"
    for size in 48 128 256; do
        icon=$usr/share/icons/hicolor/${size}x${size}/apps/tolva.png
        check "$icon is a ${size}x${size} PNG" \
            test "$(od -An -tu1 -j16 -N8 "$icon" | awk '{ print $3 * 256 + $4 "x" $7 * 256 + $8 }')" = "${size}x${size}"
    done

    manual=$usr/share/man/man6/tolva.6.gz
    check "the manual page is gzipped" gzip -t "$manual"
    MANWIDTH=80 LC_ALL=C.UTF-8 man --warnings -E UTF-8 -l "$manual" > "$work/manual.txt" 2> "$work/manual.err" || true
    check "the manual page renders without warnings: $(cat "$work/manual.err")" test ! -s "$work/manual.err"
    for phrase in Escape tolva-capture "/usr/$TOLVA_DATADIR" "/usr/$TOLVA_BINDIR/tolva" demoscene; do
        check "the manual page mentions $phrase" grep -q -- "$phrase" "$work/manual.txt"
    done
    copyright=$usr/share/doc/tolva/copyright
    check "the copyright file is machine-readable" \
        grep -qx 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' "$copyright"
    for font in "$usr/$TOLVA_DATADIR"/fonts/*.ttf; do
        check "the copyright file gives the licence of fonts/${font##*/}" licensed "fonts/${font##*/}" "$copyright"
    done
    check "the changelog names this version" \
        sh -c "gzip -dc '$usr/share/doc/tolva/changelog.gz' | head -1 | grep -qF 'tolva ($TOLVA_VERSION)'"
}

deb() {
    arch=$(dpkg --print-architecture)
    deb=$work/tolva_${TOLVA_VERSION}_${arch}.deb
    root=$work/root
    usr=$root/usr
    (cd "$TOLVA_BUILD_DIR" && cpack --config CPackConfig.cmake -B "$work") > "$work/cpack.log" 2>&1 ||
        cat "$work/cpack.log" >&2
    [ -f "$deb" ] || { fail "cpack wrote no $deb"; return; }
    dpkg-deb -x "$deb" "$root"
    contents
    lintian --info --display-info --pedantic --fail-on error "$deb" > "$work/lintian.log" 2>&1 || fail "lintian errors"
    grep -v '^N:' "$work/lintian.log" || true
}

"$1"
[ "$failures" -eq 0 ] || { echo "$failures check(s) failed" >&2; exit 1; }
echo "all checks passed"
