#!/bin/sh
# Screenshots under a virtual display: two documents (the stereo one with
# left up and right down), the progress of a long load, and the play dialog.
#   xvfb-run -a -s "-screen 0 1280x800x24" bench/gui/screens.sh build OUTDIR
set -e
BUILD=${1:-build}
OUT=${2:-/tmp/orvenna-screens}
mkdir -p "$OUT/cfg" "$OUT/data"
export ORVENNA_CONFIG_DIR="$OUT/cfg" XDG_DATA_HOME="$OUT/data"
sox -n -r 22050 -c 1 -b 16 "$OUT/mono.wav" synth 6 sine 300-900 tremolo 2 80 vol 0.7
sox -n -r 44100 -c 2 -b 16 "$OUT/chord.wav" synth 8 sine 220 sine 660 tremolo 0.7 90 vol 0.8
sox "$OUT/chord.wav" "$OUT/stereo.wav" remix 1 2v0.4
[ -f "$OUT/long.wav" ] || sox -n -r 44100 -c 2 -b 16 "$OUT/long.wav" synth 3600 sine 440 tremolo 0.1 70 vol 0.6

SCENE="$BUILD/bench/gui/gui_scene"
"$SCENE" 3 "$OUT/two-docs.png" "$OUT/mono.wav" "$OUT/stereo.wav"
"$SCENE" 2 "$OUT/progress.png" "$OUT/long.wav"
"$SCENE" --player 3 "$OUT/player.png" "$OUT/stereo.wav"
