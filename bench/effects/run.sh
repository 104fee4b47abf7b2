#!/bin/sh
# Normalize, fade out, reverse and time stretch (150 %) of 10 minutes of
# 44.1 kHz stereo: the whole job (load, effect, save) with orvenna-cli edit
# against the same job with sox (norm, fade, reverse, tempo 1.5) in the same
# run. Each runs three times in turn and its best time counts, since the
# machine may be busy. Prints both times and the ratio. A name as argument
# ("reverse") runs that job alone.
set -eu
ONLY=${1:-}
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
CLI=${ORVENNA_CLI:-$ROOT/build/release/cli/orvenna-cli}
[ -x "$CLI" ] || { cmake -S "$ROOT" -B "$ROOT/build/release" -G Ninja -DCMAKE_BUILD_TYPE=Release -DORVENNA_TESTS=OFF -DORVENNA_APP=OFF >/dev/null && cmake --build "$ROOT/build/release" --target orvenna-cli; }
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
export ORVENNA_CONFIG_DIR="$WORK" XDG_DATA_HOME="$WORK"

seconds() { /usr/bin/time -f "%e" -o "$WORK/t" "$@" >/dev/null 2>&1; cat "$WORK/t"; }
min() { awk -v a="$1" -v b="$2" 'BEGIN { print (a == "" || b < a) ? b : a }'; }

sox -q -n -r 44100 -c 2 -b 16 "$WORK/in.wav" synth 600 sine 440 sine 660 tremolo 2 30 vol 0.4
run() { # name, orvenna command, sox effect...
    NAME=$1; CMD=$2; shift 2
    [ -z "$ONLY" ] || [ "$ONLY" = "$NAME" ] || return 0
    OURS= SOX=
    for i in 1 2 3; do
        OURS=$(min "$OURS" "$(seconds "$CLI" edit "$WORK/in.wav" -o "$WORK/ours.wav" "Select All" "$CMD")")
        SOX=$(min "$SOX" "$(seconds sox "$WORK/in.wav" "$WORK/sox.wav" "$@")")
    done
    rm -f "$WORK/ours.wav" "$WORK/sox.wav"
    awk -v n="$NAME" -v a="$OURS" -v b="$SOX" 'BEGIN { printf "%-14s orvenna-cli %6.2fs  sox %6.2fs  ratio %.2f\n", n, a, b, (b > 0 ? a / b : 0) }'
}
run normalize "Normalize NormalizePeakLevel=100" norm
run fade "Fade Out" fade t 0 600 600
run reverse "Reverse" reverse
run "stretch 150%" "Constant Pitch and Speed Change ConstPitchSpeed=150" tempo 1.5
