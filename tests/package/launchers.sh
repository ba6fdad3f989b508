#!/bin/sh
# The launchers of a cmake --install tree, tried on stand-in programs: started from another
# folder, through a link and through PATH, they must run the program in the asset folder with the
# arguments unchanged; the capture launcher must also make the paths of its options absolute
# against the caller's folder and send the default video there.
. "$(dirname "$0")/common.sh"
work=$TOLVA_WORK_DIR/launchers
rm -rf "$work"
mkdir -p "$work"
prefix="$work/prefix with space"
cmake --install "$TOLVA_BUILD_DIR" --prefix "$prefix" > "$work/install.log" 2>&1 || {
    cat "$work/install.log" >&2
    fail "cmake --install failed"
    finish
}
bindir=$prefix/$TOLVA_BINDIR
programs=$prefix/$TOLVA_PROGRAMDIR
data=$(cd "$prefix/$TOLVA_DATADIR" && pwd -P)

check "the show's launcher is installed and executable" test -x "$bindir/tolva"
check "the show is installed beside, not in bin" test -x "$programs/tolva"
for folder in fonts graphics sounds shaders; do
    if [ -d "$TOLVA_RUN_DIR/$folder" ]; then
        check "share holds $folder/ as staged" diff -r "$TOLVA_RUN_DIR/$folder" "$data/$folder"
    fi
done

# Stand-ins: they write where they ran and what they got, one argument a line, to $REPORT.
stand_in() {
    cat > "$1" <<'STUB'
#!/bin/sh
{
    echo "cwd=$(pwd -P)"
    echo "caller=${TOLVA_CALLER_DIR-unset}"
    for a in "$@"; do printf 'arg=%s\n' "$a"; done
} > "$REPORT"
STUB
    chmod +x "$1"
}
mv "$programs/tolva" "$work/real-tolva"
stand_in "$programs/tolva"
# The capture launcher is generated even when the capture tool is not built: install it by hand.
if [ ! -x "$bindir/tolva-capture" ]; then
    cp "$TOLVA_BUILD_DIR/packaging/launchers/tolva-capture" "$bindir/tolva-capture"
    chmod +x "$bindir/tolva-capture"
fi
[ -f "$programs/tolva-capture" ] && mv "$programs/tolva-capture" "$work/real-tolva-capture"
stand_in "$programs/tolva-capture"

caller="$work/caller folder"
mkdir -p "$caller/frames" "$work/links"
ln -s "$bindir/tolva" "$work/links/tolva"
REPORT=$work/report
export REPORT

expect() {  # expect NAME: compares the report with the lines on standard input
    cat > "$work/expected"
    if ! diff -u "$work/expected" "$REPORT" >&2; then
        fail "$1"
    fi
}

cd "$caller"
"$bindir/tolva" "two words" "" '*' '$HOME' "-x"
expect "the show runs in the asset folder with its arguments unchanged" <<EOF
cwd=$data
caller=unset
arg=two words
arg=
arg=*
arg=\$HOME
arg=-x
EOF

for how in "$work/links/tolva" tolva; do  # through a link, through PATH
    PATH="$bindir:$PATH" "$how"
    expect "the launcher started as $how finds the installation" <<EOF
cwd=$data
caller=unset
EOF
done

"$bindir/tolva-capture" --out show.mp4 --frames=frames --from 1.5 --to 20 --fps 30 \
    --stills "my stills" --log=/abs/log.jsonl --wav ../up.wav --help
expect "the capture launcher makes the caller's relative paths absolute" <<EOF
cwd=$data
caller=$caller
arg=--out
arg=$caller/show.mp4
arg=--frames=$caller/frames
arg=--from
arg=1.5
arg=--to
arg=20
arg=--fps
arg=30
arg=--stills
arg=$caller/my stills
arg=--log=/abs/log.jsonl
arg=--wav
arg=$caller/../up.wav
arg=--help
EOF

"$bindir/tolva-capture" --fps 24
expect "without an output the video goes to tolva.mp4 in the caller's folder" <<EOF
cwd=$data
caller=$caller
arg=--fps
arg=24
arg=--out
arg=$caller/tolva.mp4
EOF

"$bindir/tolva-capture" --log run.jsonl --wav=run.wav
expect "a log or a sound file is an output: no video is added to overwrite one" <<EOF
cwd=$data
caller=$caller
arg=--log
arg=$caller/run.jsonl
arg=--wav=$caller/run.wav
EOF

"$bindir/tolva-capture" --stills=s
expect "an output given keeps the default video away" <<EOF
cwd=$data
caller=$caller
arg=--stills=$caller/s
EOF

# The launcher's list of path options follows the capture tool: every option that takes free text
# takes a path (a choice among words, as --audio's, is none).
if [ -x "$TOLVA_RUN_DIR/tolva-capture" ]; then
    "$TOLVA_RUN_DIR/tolva-capture" --help > "$work/help" 2>&1 || true
    for option in $(grep -Eo -- '--[a-z-]+ TEXT( |$)' "$work/help" | sed 's/ TEXT.*//'); do
        check "the capture launcher treats $option as a path" \
            grep -q -- "^path_options=.* $option " "$bindir/tolva-capture"
    done
    check "the capture tool's help lists options" grep -q -- '--out' "$work/help"
fi

# A launcher whose program is missing says so instead of running something else.
mv "$programs/tolva" "$work/stand-in"
if "$bindir/tolva" 2> "$work/stderr"; then
    fail "a launcher without its program must fail"
fi
check "the failure names the missing program" grep -q "incomplete installation" "$work/stderr"
finish
