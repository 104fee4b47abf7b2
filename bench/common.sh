# Shared set-up of the bench scripts, sourced after `set -eu`:
#   . "$(dirname "$0")/../common.sh"
# ROOT is the checkout, CLI the release orvenna-cli (or ORVENNA_CLI), WORK a
# scratch folder removed on exit that also holds the settings, so a bench
# never reads or changes the user's. need_build builds what is missing.
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
CLI=${ORVENNA_CLI:-$ROOT/build/release/cli/orvenna-cli}
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
export ORVENNA_CONFIG_DIR="$WORK" XDG_DATA_HOME="$WORK"

need_build() { # target... (default orvenna-cli): a Release build without tests
    [ $# -gt 0 ] || set -- orvenna-cli
    cmake -S "$ROOT" -B "$ROOT/build/release" -G Ninja -DCMAKE_BUILD_TYPE=Release -DORVENNA_TESTS=OFF >/dev/null
    cmake --build "$ROOT/build/release" --target "$@"
}
# The wall time of a command in seconds, its output thrown away.
seconds() { /usr/bin/time -f "%e" -o "$WORK/t" "$@" >/dev/null 2>&1; cat "$WORK/t"; }
# The smaller of two times, the first of which may be empty.
min() { awk -v a="$1" -v b="$2" 'BEGIN { print (a == "" || b < a) ? b : a }'; }
