#!/bin/sh
# Integrated loudness, loudness range and true peak of 10 minutes of 44.1 kHz
# stereo (pink noise swelling and fading, so the gates and the range have
# work): orvenna-cli info (which also finds the sample peak) against ffmpeg
# -af ebur128=peak=true, and against plain ebur128 without the true peak,
# in the same run. Each runs three times in turn and its best time counts,
# since the machine may be busy. Prints both times, the ratio and what each
# measured.
set -eu
. "$(dirname "$0")/../common.sh"
[ -x "$CLI" ] || need_build


sox -q -n -r 44100 -c 2 -b 16 "$WORK/in.wav" synth 600 pinknoise tremolo 0.05 80 vol 0.3
OURS= PEAK= PLAIN=
for i in 1 2 3; do
    OURS=$(min "$OURS" "$(seconds "$CLI" info "$WORK/in.wav")")
    PEAK=$(min "$PEAK" "$(seconds ffmpeg -nostdin -nostats -i "$WORK/in.wav" -af ebur128=peak=true -f null -)")
    PLAIN=$(min "$PLAIN" "$(seconds ffmpeg -nostdin -nostats -i "$WORK/in.wav" -af ebur128 -f null -)")
done
awk -v a="$OURS" -v b="$PEAK" -v c="$PLAIN" 'BEGIN {
    printf "loudness of 10 min stereo: orvenna-cli info %.2fs  ffmpeg ebur128=peak=true %.2fs  ratio %.2f\n", a, b, (b > 0 ? a / b : 0)
    printf "                           ffmpeg ebur128 (no true peak) %.2fs  ratio %.2f\n", c, (c > 0 ? a / c : 0) }'
echo "orvenna-cli: $("$CLI" info "$WORK/in.wav" | grep -E 'loudness|range|truepeak' | tr -s ' ' | tr '\n' ' ')"
echo "ffmpeg:      $(ffmpeg -nostdin -nostats -i "$WORK/in.wav" -af ebur128=peak=true -f null - 2>&1 | sed -n '/Summary/,$p' | grep -E ' I:|LRA:|Peak:' | tr -s ' ' | tr '\n' ' ')"
