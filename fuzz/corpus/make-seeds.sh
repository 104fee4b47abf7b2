#!/bin/sh
# Writes the seed files of the AIFF and AU fuzz targets: one small file of
# every kind the readers take (and one AIFC they refuse), made by sox and
# ffmpeg. The files are committed; run this again only to change them.
set -eu
DIR=$(cd "$(dirname "$0")" && pwd)
AIF="$DIR/fuzz_open_aif" AU="$DIR/fuzz_open_au"
TMP=$(mktemp -d)
trap 'rm -rf "$TMP"' EXIT
mkdir -p "$AIF" "$AU"
# 24 stereo frames at 8000 Hz, as float so every width has low bits set.
sox -n -r 8000 -c 2 -e floating-point -b 32 "$TMP/src.wav" synth 0.003 sine 300-2000 sine 500 vol 0.9

for b in 8 16 24 32; do sox "$TMP/src.wav" -b $b "$AIF/aiff-$b.aiff"; done
sox "$TMP/src.wav" -b 16 "$AIF/aifc-none.aifc"
sed 's/NONE/twos/' "$AIF/aifc-none.aifc" >"$AIF/aifc-twos.aifc"
for c in s16le:sowt f32be:fl32 f64be:fl64 alaw:alaw mulaw:ulaw; do
    ffmpeg -v error -y -i "$TMP/src.wav" -c:a "pcm_${c%%:*}" "$AIF/aifc-${c#*:}.aifc"
done
ffmpeg -v error -y -i "$TMP/src.wav" -c:a adpcm_ima_qt "$AIF/aifc-ima4-refused.aifc"

for e in "mu-law 8 1" "signed 8 2" "signed 16 3" "signed 24 4" "signed 32 5" \
    "floating-point 32 6" "floating-point 64 7" "a-law 8 27"; do
    set -- $e
    sox "$TMP/src.wav" -e "$1" -b "$2" "$AU/au-$3.au"
done
