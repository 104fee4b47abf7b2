#!/bin/sh
# Times 10,000 random edits with undo on 1-hour and 10-hour documents, each
# in its own process so that the peak memory belongs to that length.
set -eu
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
BIN=$ROOT/build/release/bench/edits/bench_edits
[ -x "$BIN" ] || { cmake -S "$ROOT" -B "$ROOT/build/release" -G Ninja -DCMAKE_BUILD_TYPE=Release -DORVENNA_TESTS=OFF -DORVENNA_APP=OFF >/dev/null && cmake --build "$ROOT/build/release" --target bench_edits; }
"$BIN" 1
"$BIN" 10
