#!/bin/sh
# Converts 10 minutes of 44.1 kHz stereo to 48 kHz, and 48 kHz to 8 kHz (the
# two-stage path), with orvenna-cli and with sox and ffmpeg in the same run.
# All read and write WAV files; the time of a plain copy (convert without
# --rate) is printed too, so the converter's own share can be read off. Each
# program runs three times in turn and its best time counts, since the
# machine may be busy; the output lengths are printed beside the times.
set -eu
. "$(dirname "$0")/../common.sh"
[ -x "$CLI" ] || need_build


run() { # from-rate to-rate
    sox -q -n -r "$1" -c 2 -b 16 "$WORK/in.wav" synth 600 sine 440 sine 660 vol 0.5
    COPY= OURS= SOX= FFMPEG=
    for i in 1 2 3; do
        COPY=$(min "$COPY" "$(seconds "$CLI" convert "$WORK/in.wav" "$WORK/copy.wav")")
        OURS=$(min "$OURS" "$(seconds "$CLI" convert "$WORK/in.wav" "$WORK/ours.wav" --rate "$2")")
        SOX=$(min "$SOX" "$(seconds sox "$WORK/in.wav" "$WORK/sox.wav" rate "$2")")
        FFMPEG=$(min "$FFMPEG" "$(seconds ffmpeg -nostdin -y -v quiet -i "$WORK/in.wav" -ar "$2" "$WORK/ffmpeg.wav")")
    done
    echo "10 min stereo $1 -> $2 Hz: orvenna-cli ${OURS}s (plain copy ${COPY}s), sox ${SOX}s, ffmpeg ${FFMPEG}s"
    echo "  frames: orvenna-cli $(soxi -s "$WORK/ours.wav"), sox $(soxi -s "$WORK/sox.wav"), ffmpeg $(soxi -s "$WORK/ffmpeg.wav")"
    rm -f "$WORK"/*.wav
    awk -v a="$OURS" -v b="$SOX" -v c="$FFMPEG" 'BEGIN { printf "  ratio orvenna/sox %.2f, orvenna/ffmpeg %.2f\n", (b > 0 ? a / b : 0), (c > 0 ? a / c : 0) }'
}
run 44100 48000
run 48000 8000
