#!/bin/sh
# Sets up a fresh Debian machine for Orvenna and then either runs the
# program's main job ("run") or every test ("test").
#   scripts/orvenna.sh run [FILE...]   install what is missing, build, start the editor
#   scripts/orvenna.sh test   install what is missing, check the formatting, build with
#                             sanitizers and warnings as errors, run all tests, then the
#                             threaded layers under ThreadSanitizer and the fuzz targets
#   scripts/orvenna.sh install [PREFIX]   build Release and install the programs, the menu
#                             entry, icons, MIME types, manual pages and help into PREFIX
#                             (default /usr/local; DESTDIR is honoured)
#   scripts/orvenna.sh package   build Release and make a Debian package in build/release
set -eu

ROOT=$(cd "$(dirname "$0")/.." && pwd)
MODE=${1:-run}

# Every Debian package the project needs: build tools, libraries, and the
# peer programs the interoperation tests and the outside components use.
PACKAGES="build-essential g++ cmake ninja-build pkg-config git libgtest-dev
clang clang-format libclang-rt-14-dev sox ffmpeg mpg123 lame libgsm-tools xdg-utils time
qt6-base-dev libgl-dev portaudio19-dev libasound2-dev alsa-utils xvfb xauth xdotool
desktop-file-utils appstream libxml2-utils man-db dpkg-dev espeak-ng libespeak-ng-dev"

install_packages() {
    missing=""
    for p in $PACKAGES; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
    done
    [ -z "$missing" ] && return 0
    if [ "$(id -u)" = 0 ]; then
        DEBIAN_FRONTEND=noninteractive apt-get update -q
        DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends $missing
    else
        echo "These packages are missing. Install them as root with:" >&2
        echo "  apt-get install -y$missing" >&2
        exit 2
    fi
}

build() { # folder, extra cmake options...
    dir=$1; shift
    cmake -S "$ROOT" -B "$dir" -G Ninja "$@" >/dev/null
    cmake --build "$dir"
}

install_packages
case "$MODE" in
run)
    build "$ROOT/build/release" -DCMAKE_BUILD_TYPE=Release -DORVENNA_TESTS=OFF
    shift || true
    # Without a file a sample made here is opened (30 seconds of a two-tone
    # stereo signal), so there is something to look at and play.
    SAMPLE_DIR="$ROOT/build/sample"
    mkdir -p "$SAMPLE_DIR"
    [ -f "$SAMPLE_DIR/sample.wav" ] ||
        sox -q -n -r 44100 -c 2 -b 16 "$SAMPLE_DIR/sample.wav" synth 30 sine 220 sine 330 tremolo 3 40 fade 0.5 30 0.5 vol 0.7
    [ $# -gt 0 ] || set -- "$SAMPLE_DIR/sample.wav"
    if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
        exec "$ROOT/build/release/app/orvenna" "$@"
    fi
    # No desktop to show a window on: do the main job on the command line.
    echo "orvenna: no display found; running orvenna-cli on $1 instead." >&2
    CLI="$ROOT/build/release/cli/orvenna-cli"
    "$CLI" info "$1"
    "$CLI" edit "$1" -o "$SAMPLE_DIR/edited.wav" "select 1000 2000" "Cut" "Select All" "Normalize"
    "$CLI" info "$SAMPLE_DIR/edited.wav"
    ;;
test)
    # Every C++ file as the repository's .clang-format lays it out.
    (cd "$ROOT" && git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror)
    build "$ROOT/build/test" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORVENNA_SANITIZE=ON -DORVENNA_WERROR=ON
    # The MPEG Layer III compliance streams, kept beside the repository (not
    # in it): the MP3 conformance test decodes them when they are there. A
    # folder already named in the environment is kept.
    if [ -z "${ORVENNA_MP3_VECTORS:-}" ] && [ -d "$ROOT/../shared/mp3-conformance" ]; then
        ORVENNA_MP3_VECTORS=$(cd "$ROOT/../shared/mp3-conformance" && pwd)
        export ORVENNA_MP3_VECTORS
    fi
    (cd "$ROOT/build/test" && ctest --output-on-failure -j2 --timeout 900)
    # The threaded layers again under ThreadSanitizer (ORVENNA_TSAN=0 skips it).
    if [ "${ORVENNA_TSAN:-1}" = 1 ]; then
        cmake -S "$ROOT" -B "$ROOT/build/tsan" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORVENNA_TSAN=ON -DORVENNA_APP=OFF >/dev/null
        cmake --build "$ROOT/build/tsan" --target test_platform test_process test_engine test_features
        for t in test_platform test_process test_engine test_features; do
            TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" "$ROOT/build/tsan/tests/$t"
        done
    fi
    if command -v clang++ >/dev/null 2>&1; then
        # The file-header fuzz targets, built with clang and run briefly.
        CXX=clang++ build "$ROOT/build/fuzz" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORVENNA_FUZZ=ON -DORVENNA_TESTS=OFF -DORVENNA_APP=OFF
        # A target's seed files (fuzz/corpus/<target>, when it has some) start
        # it off; what it finds goes to a corpus folder of the build. Each runs
        # ORVENNA_FUZZ_SECONDS (20 by default) so the whole run stays short.
        secs=${ORVENNA_FUZZ_SECONDS:-20}
        for f in "$ROOT"/build/fuzz/fuzz/fuzz_*; do
            [ -x "$f" ] || continue
            name=$(basename "$f")
            mkdir -p "$ROOT/build/fuzz/corpus/$name"
            set -- "$ROOT/build/fuzz/corpus/$name"
            [ -d "$ROOT/fuzz/corpus/$name" ] && set -- "$@" "$ROOT/fuzz/corpus/$name"
            echo "fuzzing $name for $secs s"
            "$f" -max_total_time="$secs" -rss_limit_mb=2048 "$@" >"$ROOT/build/fuzz/$name.log" 2>&1 ||
                { tail -50 "$ROOT/build/fuzz/$name.log"; exit 1; }
        done
    fi
    ;;
install)
    build "$ROOT/build/release" -DCMAKE_BUILD_TYPE=Release -DORVENNA_TESTS=OFF
    cmake --install "$ROOT/build/release" --prefix "${2:-/usr/local}"
    # The desktop's caches, where the tools are there and the files went live.
    if [ -z "${DESTDIR:-}" ]; then
        share="${2:-/usr/local}/share"
        command -v update-mime-database >/dev/null 2>&1 && update-mime-database "$share/mime" || true
        command -v update-desktop-database >/dev/null 2>&1 && update-desktop-database "$share/applications" || true
    fi
    ;;
package)
    build "$ROOT/build/release" -DCMAKE_BUILD_TYPE=Release -DORVENNA_TESTS=OFF
    (cd "$ROOT/build/release" && cpack -G DEB)
    ;;
*)
    echo "usage: $0 run|test|install [PREFIX]|package" >&2
    exit 2
    ;;
esac
