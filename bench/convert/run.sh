#!/bin/sh
# Converts a 10-minute 44.1 kHz stereo WAV with orvenna-cli and with sox in
# the same run, and copies three times its bytes with dd (the disk's pace
# for the editor's path, which writes and reads a cut file besides the
# output; convert itself streams from reader to writer, and the editor's
# path is timed by bench/effects). Prints times, ratios and peak memory,
# also for 60 minutes.
set -eu
. "$(dirname "$0")/../common.sh"
[ -x "$CLI" ] || need_build

seconds() { # command... -> prints elapsed seconds and peak RSS (KB) of the command
    /usr/bin/time -f "%e %M" -o "$WORK/t" "$@" >/dev/null 2>&1
    cat "$WORK/t"
}

for MIN in 10 60; do
    sox -q -n -r 44100 -c 2 -b 16 "$WORK/in.wav" synth $((MIN * 60)) sine 440 sine 660 vol 0.5
    BYTES=$(stat -c %s "$WORK/in.wav")
    sync
    set -- $(seconds "$CLI" convert "$WORK/in.wav" "$WORK/ours.wav"); OURS=$1; OURS_RSS=$2
    set -- $(seconds sox "$WORK/in.wav" "$WORK/sox.wav"); SOX=$1; SOX_RSS=$2
    set -- $(seconds dd if=/dev/zero of="$WORK/dd.bin" bs=1M count=$((BYTES * 3 / 1048576)) conv=fdatasync); DD=$1
    rm -f "$WORK/ours.wav" "$WORK/sox.wav" "$WORK/dd.bin"
    echo "$MIN min ($BYTES bytes): orvenna-cli ${OURS}s (peak RSS ${OURS_RSS} KB), sox ${SOX}s (peak RSS ${SOX_RSS} KB), dd 3x bytes ${DD}s"
    awk -v a="$OURS" -v b="$SOX" -v c="$DD" 'BEGIN { printf "  ratio orvenna/sox %.2f, orvenna/dd %.2f\n", (b > 0 ? a / b : 0), (c > 0 ? a / c : 0) }'
done
