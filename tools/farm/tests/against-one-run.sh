# against-one-run.sh, sourced by the farm's end-to-end tests: one tolva-capture run of $range, the
# reference, into $scratch/one.*, and the check that holds a farm's results in $out to it. The test
# sets $scratch, $out and $range (and TOLVA_RUN_DIR); its `farm NAME ...` leaves its status in
# $status, its standard output and errors in $scratch/NAME.out and .err.
failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}
sound() { ffmpeg -v error -i "$1" -map 0:a -f s16le - | md5sum; }
chapters() { ffprobe -v error -show_chapters -of csv=p=0 "$1"; }
frames() { ffprobe -v error -count_packets -select_streams v -show_entries stream=nb_read_packets,duration -of csv=p=0 "$1"; }
capture_one_run() {  # on $DISPLAY: the video, log and chapters of one capture of the range
    (cd "$TOLVA_RUN_DIR" && timeout 120 ./tolva-capture $range --log "$scratch/one.jsonl" --out "$scratch/one.mp4") \
        > "$scratch/one.out" 2> "$scratch/one.err" ||
        { cat "$scratch/one.err" >&2; exit 1; }
    one_sound=$(sound "$scratch/one.mp4")
    one_frames=$(frames "$scratch/one.mp4")
}
same_as_one_run() {  # same_as_one_run NAME: frames, video and sound as one capture made them
    name=$1
    [ "$status" -eq 0 ] || { fail "$name: status $status: $(cat "$scratch/$name.err")"; return; }
    cmp -s "$scratch/one.jsonl" "$out/$name.jsonl" ||
        fail "$name: the log differs from one run's: $(diff "$scratch/one.jsonl" "$out/$name.jsonl" | head -5)"
    [ "$(frames "$out/$name.mp4")" = "$one_frames" ] ||
        fail "$name: frames and duration $(frames "$out/$name.mp4"), one run has $one_frames"
    [ "$(sound "$out/$name.mp4")" = "$one_sound" ] || fail "$name: the decoded sound differs from one run's"
    [ "$(chapters "$out/$name.mp4")" = "$(chapters "$scratch/one.mp4")" ] || fail "$name: the video's chapters differ"
    cmp -s "$scratch/one.out" "$scratch/$name.out" || fail "$name: the chapters on standard output differ"
}
found_within_a_minute() {  # found_within_a_minute FINDER...: what FINDER prints once it prints anything
    for _ in $(seq 600); do
        found=$("$@")
        [ -z "$found" ] || { echo "$found"; return 0; }
        sleep 0.1
    done
    return 1
}
kill_when_found() {  # kill_when_found FINDER...: kills the process FINDER prints, waiting a minute at most
    killed=$(found_within_a_minute "$@") && kill -KILL "$killed"
}
