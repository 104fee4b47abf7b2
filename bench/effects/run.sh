#!/bin/sh
# Normalize, fade out, reverse, time stretch (150 %), echo, reverb, the
# high-pass filter and the equalizer on 10 minutes of 44.1 kHz stereo: the
# whole job (load, effect, save) with orvenna-cli edit against the same job
# with sox (norm, fade, reverse, tempo 1.5, echos, highpass -1) or ffmpeg
# (aecho with the echo's delay and gain, and with the reverb's five taps;
# afir with the equalizer's 4095 coefficients) in the same run. Each runs
# three times in turn and its best time counts, since the machine may be
# busy. Prints the wall-clock times and their ratio, then the processor
# times (user + system, every thread) and theirs: on a shared machine the
# second says more. A name as argument ("reverse") runs that job alone.
set -eu
ONLY=${1:-}
. "$(dirname "$0")/../common.sh"
TAPS=${EQ_TAPS:-$ROOT/build/release/bench/effects/bench_eq_taps}
[ -x "$CLI" ] && [ -x "$TAPS" ] || need_build orvenna-cli bench_eq_taps

# "wall cpu" of one run.
seconds() { /usr/bin/time -f "%e %U %S" -o "$WORK/t" "$@" >/dev/null 2>&1; awk '{ print $1, $2 + $3 }' "$WORK/t"; }

sox -q -n -r 44100 -c 2 -b 16 "$WORK/in.wav" synth 600 sine 440 sine 660 tremolo 2 30 vol 0.4
compare() { # name, orvenna command, peer name, peer command line...
    NAME=$1; CMD=$2; PEER=$3; shift 3
    [ -z "$ONLY" ] || [ "$ONLY" = "$NAME" ] || return 0
    OURS= THEIRS= OURSCPU= THEIRSCPU=
    for i in 1 2 3; do
        T=$(seconds "$CLI" edit "$WORK/in.wav" -o "$WORK/ours.wav" "Select All" "$CMD")
        OURS=$(min "$OURS" "${T% *}"); OURSCPU=$(min "$OURSCPU" "${T#* }")
        T=$(seconds "$@")
        THEIRS=$(min "$THEIRS" "${T% *}"); THEIRSCPU=$(min "$THEIRSCPU" "${T#* }")
    done
    rm -f "$WORK/ours.wav" "$WORK/peer.wav"
    awk -v n="$NAME" -v a="$OURS" -v p="$PEER" -v b="$THEIRS" -v c="$OURSCPU" -v d="$THEIRSCPU" 'BEGIN {
        printf "%-16s orvenna-cli %6.2fs  %-6s %6.2fs  ratio %.2f   cpu %6.2fs / %6.2fs  ratio %.2f\n",
            n, a, p, b, (b > 0 ? a / b : 0), c, d, (d > 0 ? c / d : 0) }'
}
run() { # name, orvenna command, sox effect...
    NAME=$1; CMD=$2; shift 2
    compare "$NAME" "$CMD" sox sox "$WORK/in.wav" "$WORK/peer.wav" "$@"
}
ffrun() { # name, orvenna command, ffmpeg audio filter
    compare "$1" "$2" ffmpeg ffmpeg -v error -y -i "$WORK/in.wav" -af "$3" "$WORK/peer.wav"
}
run normalize "Normalize NormalizePeakLevel=100" norm
run fade "Fade Out" fade t 0 600 600
run reverse "Reverse" reverse
run "stretch 150%" "Constant Pitch and Speed Change ConstPitchSpeed=150" tempo 1.5
run echo "Echo EchoTime=250 EchoGain=50" echos 1 1 250 0.5
ffrun "echo (ffmpeg)" "Echo EchoTime=250 EchoGain=50" aecho=1:1:250:0.5
# The reverb's taps at 50 ms: 0.2587, 0.4419, 0.6177, 0.789 and 1 of the time,
# with 204, 51, 153, 35 and 66 / 512.
ffrun reverb "Reverb ReverbLevel=100 ReverbTime=50" aecho=1:1:12.935\|22.095\|30.885\|39.45\|50:0.398\|0.0996\|0.299\|0.0684\|0.129
run high-pass "High-Pass Filter LowCutFreq=250" highpass -1 250
# The equalizer's 4095 taps for a curve, given to ffmpeg afir for both
# channels (a mono response would make afir's output mono: half the work).
EQ="0:200,30:60,100:150,180:90,255:128"
"$TAPS" "$EQ" "$WORK/taps.f32"
compare equalizer "Equalizer points=$EQ" ffmpeg ffmpeg -v error -y -i "$WORK/in.wav" -f f32le -ar 44100 -ac 1 \
    -i "$WORK/taps.f32" -filter_complex "[1:a]pan=stereo|c0=c0|c1=c0[ir];[0:a][ir]afir=gtype=none" "$WORK/peer.wav"
