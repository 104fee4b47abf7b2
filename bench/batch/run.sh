#!/bin/sh
# BATCH_FILES (default 1000) WAV files of BATCH_SECONDS (default 10) seconds,
# 44.1 kHz stereo, through a script of Normalize (100 %) and Convert Sample
# Rate 48000: orvenna-cli batch with --jobs 1 and --jobs 2, against sox
# doing the same (gain -n, rate 48000) in a shell loop and under xargs -P2,
# all on the same files in the same run. Prints the times, the ratios, the
# speed-up of the second job and the peak memory of each.
set -eu
. "$(dirname "$0")/../common.sh"
[ -x "$CLI" ] || need_build
N=${BATCH_FILES:-1000}
SECONDS_EACH=${BATCH_SECONDS:-10}

seconds() { # command... -> elapsed seconds and peak RSS (KB) of the command
    /usr/bin/time -f "%e %M" -o "$WORK/t" "$@" >/dev/null 2>&1
    cat "$WORK/t"
}

mkdir "$WORK/in"
sox -q -n -r 44100 -c 2 -b 16 "$WORK/in/0.wav" synth "$SECONDS_EACH" sine 440 sine 660 vol 0.4
i=1
while [ "$i" -lt "$N" ]; do cp "$WORK/in/0.wav" "$WORK/in/$i.wav"; i=$((i + 1)); done
"$CLI" script make "$WORK/s.ovb" "Normalize NormalizePeakLevel=100" \
    "Convert Sample Rate SampleRate=48000" >/dev/null
ls "$WORK"/in/*.wav >"$WORK/list"
sync

ours() { # jobs -> elapsed and peak RSS
    rm -rf "$WORK/ours"; mkdir "$WORK/ours"
    seconds sh -c "xargs \"$CLI\" batch \"$WORK/s.ovb\" --out \"$WORK/ours\" --jobs $1 <\"$WORK/list\""
}
cat >"$WORK/sox1.sh" <<EOS
#!/bin/sh
sox "\$1" "$WORK/sox/\$(basename "\$1")" gain -n rate 48000
EOS
peer() { # parallel -> elapsed and peak RSS of one sox
    rm -rf "$WORK/sox"; mkdir "$WORK/sox"
    seconds sh -c "xargs -n 1 -P $1 sh \"$WORK/sox1.sh\" <\"$WORK/list\""
}

set -- $(ours 1); O1=$1; O1_RSS=$2
set -- $(ours 2); O2=$1; O2_RSS=$2
[ "$(ls "$WORK/ours" | wc -l)" -eq "$N" ] || { echo "orvenna-cli did not write $N files" >&2; exit 1; }
set -- $(peer 1); S1=$1; S1_RSS=$2
set -- $(peer 2); S2=$1; S2_RSS=$2
echo "$N files of ${SECONDS_EACH}s 44.1 kHz stereo, Normalize + Convert Sample Rate 48000:"
echo "  orvenna-cli batch --jobs 1: ${O1}s (peak RSS ${O1_RSS} KB)"
echo "  orvenna-cli batch --jobs 2: ${O2}s (peak RSS ${O2_RSS} KB)"
echo "  sox in a shell loop:        ${S1}s (peak RSS of one sox ${S1_RSS} KB)"
echo "  xargs -P2 sox:              ${S2}s"
awk -v o1="$O1" -v o2="$O2" -v s1="$S1" -v s2="$S2" 'BEGIN {
    printf "  ratio orvenna/sox: one job %.2f, two jobs %.2f; speed-up of the second job: orvenna %.2f, sox %.2f\n",
        (s1 > 0 ? o1 / s1 : 0), (s2 > 0 ? o2 / s2 : 0), (o2 > 0 ? o1 / o2 : 0), (s2 > 0 ? s1 / s2 : 0) }'
