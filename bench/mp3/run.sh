#!/bin/sh
# MP3 decoding speed, ours against mpg123 on the same file in the same run.
# Usage: bench/mp3/run.sh [seconds of audio, default 240]
set -e
root=$(cd "$(dirname "$0")/../.." && pwd)
secs=${1:-240}
build="$root/build-bench"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DORVENNA_TESTS=OFF >/dev/null
ninja -C "$build" -j1 bench_mp3 >/dev/null
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
sox -n -r 44100 -c 2 -b 16 "$tmp/in.wav" synth "$secs" sine 220-880 sine 330 pinknoise vol 0.3
lame --quiet -b 192 "$tmp/in.wav" "$tmp/in.mp3"
best() { # runs "$@" three times, prints the fastest wall time in seconds
    b=
    for i in 1 2 3; do
        s=$(date +%s.%N); "$@" >/dev/null 2>&1; e=$(date +%s.%N)
        t=$(echo "$e - $s" | bc)
        if [ -z "$b" ] || [ "$(echo "$t < $b" | bc)" = 1 ]; then b=$t; fi
    done
    echo "$b"
}
ours=$(best "$build/bench/mp3/bench_mp3" "$tmp/in.mp3")
scalar=$(best "$build/bench/mp3/bench_mp3" "$tmp/in.mp3" --scalar)
peer=$(best mpg123 -q -s "$tmp/in.mp3")
echo "audio ${secs}s 44.1k stereo 192k: ours ${ours}s, ours scalar ${scalar}s, mpg123 ${peer}s"
echo "ratio ours/mpg123: $(echo "scale=2; $ours / $peer" | bc), scalar/mpg123: $(echo "scale=2; $scalar / $peer" | bc)"
