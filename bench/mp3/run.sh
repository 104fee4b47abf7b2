#!/bin/sh
# MP3 decoding speed: a 128 kb/s stereo file made by lame from music-like
# material (a sweep, a tone and pink noise with tremolo), decoded by ours,
# mpg123 and ffmpeg in the same run.
# Usage: bench/mp3/run.sh [seconds of audio, default 600]
set -e
root=$(cd "$(dirname "$0")/../.." && pwd)
secs=${1:-600}
build="$root/build/release"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DORVENNA_TESTS=OFF -DORVENNA_APP=OFF >/dev/null
ninja -C "$build" -j1 bench_mp3 >/dev/null
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
sox -q -n -r 44100 -c 2 -b 16 "$tmp/in.wav" synth "$secs" sine 220-880 sine 330 pinknoise tremolo 3 40 vol 0.3
lame --quiet -b 128 "$tmp/in.wav" "$tmp/in.mp3"
# Each is run three times and the fastest kept, by wall time and by CPU time
# (user + system, which a busy machine disturbs less).
best() { # prints "wall cpu" in seconds
    bw= bc=
    for i in 1 2 3; do
        s=$(date +%s.%N)
        /usr/bin/time -o "$tmp/t" -f "%U %S" "$@" >/dev/null 2>&1
        e=$(date +%s.%N)
        c=$(awk '{ print $1 + $2 }' "$tmp/t")
        bw=$(awk -v s="$s" -v e="$e" -v b="$bw" 'BEGIN { t = e - s; if (b == "" || t < b) b = t; print b }')
        bc=$(awk -v t="$c" -v b="$bc" 'BEGIN { if (b == "" || t < b) b = t; print b }')
    done
    echo "$bw $bc"
}
ours=$(best "$build/bench/mp3/bench_mp3" "$tmp/in.mp3")
mpg=$(best mpg123 -q -s "$tmp/in.mp3")
ff=$(best ffmpeg -nostdin -v quiet -i "$tmp/in.mp3" -f s16le -y /dev/null)
echo "decode of ${secs}s 44.1 kHz stereo at 128 kb/s (wall, cpu seconds): ours $ours, mpg123 $mpg, ffmpeg $ff"
echo "$ours $mpg $ff" | awk '{ printf "wall: ours/mpg123 %.2f, ours/ffmpeg %.2f\ncpu:  ours/mpg123 %.2f, ours/ffmpeg %.2f\n", $1 / $3, $1 / $5, $2 / $4, $2 / $6 }'
