#!/bin/sh
# Project save and open of one hour of 44.1 kHz stereo against dd.
set -eu
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
BIN=$ROOT/build/release/bench/project/bench_project
[ -x "$BIN" ] || { cmake -S "$ROOT" -B "$ROOT/build/release" -G Ninja -DCMAKE_BUILD_TYPE=Release -DORVENNA_TESTS=OFF -DORVENNA_APP=OFF >/dev/null && cmake --build "$ROOT/build/release" --target bench_project; }
"$BIN" "${1:-60}"
