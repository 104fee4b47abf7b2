#!/bin/sh
# Screenshots under a virtual display: two documents (the stereo one with
# left up and right down) and the progress of a long load, with a second
# start handing its file to the running editor.
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

"$BUILD/bench/gui/gui_scene" 8 "$OUT/mono.wav" "$OUT/stereo.wav" &
sleep 5
import -window root "$OUT/two-docs.png"
wait

"$BUILD/app/orvenna" "$OUT/long.wav" &
PID=$!
sleep 3
import -window root "$OUT/progress.png"
"$BUILD/app/orvenna" "$OUT/mono.wav"
echo "second start ended with $?"
sleep 14
import -window root "$OUT/after-load.png"
kill $PID
