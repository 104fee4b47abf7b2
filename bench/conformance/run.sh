#!/bin/sh
# Prints the codecs' conformance report: every MP3 compliance stream (folder
# given as argument 1 or in ORVENNA_MP3_VECTORS) against its reference output
# for our vector and scalar paths and mpg123, lame files against mpg123, and
# GSM 06.10 against toast/untoast.
set -e
root=$(cd "$(dirname "$0")/../.." && pwd)
build="$root/build/release"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DORVENNA_TESTS=OFF -DORVENNA_APP=OFF >/dev/null
ninja -C "$build" -j1 codecs_conformance >/dev/null
# The compliance streams: argument 1, else ORVENNA_MP3_VECTORS, else the
# folder kept beside the repository.
vectors=${1:-${ORVENNA_MP3_VECTORS:-}}
[ -n "$vectors" ] || [ ! -d "$root/../shared/mp3-conformance" ] || vectors="$root/../shared/mp3-conformance"
"$build/bench/conformance/codecs_conformance" "$vectors"
