#!/bin/sh
# The dynamics of 10 minutes of 44.1 kHz stereo whose level swells and fades
# over 30 dB every five seconds, with a little noise: the whole job (load,
# effect, save) with orvenna-cli edit against a peer doing comparable work in
# the same run. The compressor (-20 dB, 2:1) against ffmpeg acompressor and
# sox compand with the same curve, the noise reduction against ffmpeg agate,
# the automatic gain control against ffmpeg dynaudnorm. Each runs three times
# in turn and its best time counts, since the machine may be busy. Prints
# both times and the ratio. A name as argument ("gate") runs that job alone.
set -eu
ONLY=${1:-}
. "$(dirname "$0")/../common.sh"
[ -x "$CLI" ] || need_build


sox -q -n -r 44100 -c 2 -b 16 "$WORK/tone.wav" synth 600 sine 440 tremolo 0.2 97 vol 0.4
sox -q -n -r 44100 -c 2 -b 16 "$WORK/noise.wav" synth 600 whitenoise vol 0.01
sox -q -m "$WORK/tone.wav" "$WORK/noise.wav" "$WORK/in.wav"
rm -f "$WORK/tone.wav" "$WORK/noise.wav"
compare() { # name, orvenna command, peer name, peer command line...
    NAME=$1; CMD=$2; PEER=$3; shift 3
    [ -z "$ONLY" ] || [ "$ONLY" = "$NAME" ] || return 0
    OURS= THEIRS=
    for i in 1 2 3; do
        OURS=$(min "$OURS" "$(seconds "$CLI" edit "$WORK/in.wav" -o "$WORK/ours.wav" "Select All" "$CMD")")
        THEIRS=$(min "$THEIRS" "$(seconds "$@")")
    done
    rm -f "$WORK/ours.wav" "$WORK/peer.wav"
    awk -v n="$NAME" -v a="$OURS" -v p="$PEER" -v b="$THEIRS" 'BEGIN { printf "%-16s orvenna-cli %6.2fs  %-6s %6.2fs  ratio %.2f\n", n, a, p, b, (b > 0 ? a / b : 0) }'
}
ffrun() { # name, orvenna command, ffmpeg audio filter
    compare "$1" "$2" ffmpeg ffmpeg -v error -y -i "$WORK/in.wav" -af "$3" "$WORK/peer.wav"
}
COMP="Dynamic Range Compressor CompressorThreshold=-20 CompressorRatio=2"
ffrun compressor "$COMP" acompressor=threshold=0.1:ratio=2:attack=10:release=90:makeup=1
# compand's curve in dBFS: +10 dB below -32 dBFS, 2:1 from there, unity at -12 dBFS.
compare "compressor (sox)" "$COMP" sox sox "$WORK/in.wav" "$WORK/peer.wav" compand 0.01,0.09 -90,-80,-32,-22,-12,-12,0,-6
ffrun gate "Noise Reduction NoiseGateLevel=-30" agate=threshold=0.01:ratio=9000
ffrun agc "Automatic Gain Control" dynaudnorm
