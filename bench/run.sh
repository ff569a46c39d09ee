#!/bin/bash
# Runs the benchmarks against a build tree: the GIF export beside ImageMagick and ffmpeg on frame sets made
# here, then every bench_* program of the build. Usage: bench/run.sh BUILD_FOLDER
set -euo pipefail
BUILD=$(cd "${1:?usage: bench/run.sh BUILD_FOLDER}" && pwd)
HERE=$(cd "$(dirname "$0")" && pwd)
OUT="$HERE/out"
SETS="$OUT/sets"
# Debian's interpreter: the one that has python3-pil.
PYTHON=/usr/bin/python3

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"

missing=""
for package in ffmpeg imagemagick time python3 python3-pil xvfb xauth; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing="$missing $package"
done
if [ -n "$missing" ]; then
    echo "Installing:$missing"
    export DEBIAN_FRONTEND=noninteractive
    $SUDO apt-get update -q
    $SUDO apt-get install -y -q --no-install-recommends $missing
fi

# The photograph, from a Debian wallpaper package fetched once.
PHOTO_PACKAGE=lomiri-wallpapers-16.04
PHOTO="$OUT/photo/usr/share/backgrounds/aitzgorri_by_Aitzol_Berasategi.jpg"
if [ ! -f "$PHOTO" ]; then
    mkdir -p "$OUT/download"
    (cd "$OUT/download" && { apt-get download -q "$PHOTO_PACKAGE" || { $SUDO apt-get update -q && apt-get download -q "$PHOTO_PACKAGE"; }; })
    dpkg-deb -x "$OUT"/download/"$PHOTO_PACKAGE"_*.deb "$OUT/photo"
    rm -rf "$OUT/download"
fi

# The frame sets, made again whenever their recipe changes.
recipe=$(md5sum < "$HERE/make_frames.py" | cut -d' ' -f1)
if [ "$(cat "$SETS/recipe" 2>/dev/null)" != "$recipe" ]; then
    echo "Making the frame sets in $SETS"
    rm -rf "$SETS"
    "$PYTHON" "$HERE/make_frames.py" "$PHOTO" "$SETS"
    echo "$recipe" > "$SETS/recipe"
fi

# gifski, a peer from npm: installed into the results folder when npm is there, never a dependency.
GIFSKI_HOME="$OUT/gifski-peer"
if [ ! -x "$GIFSKI_HOME/node_modules/gifski/bin/debian/gifski" ] && command -v npm >/dev/null; then
    npm install --no-audit --no-fund --prefix "$GIFSKI_HOME" gifski >/dev/null || echo "gifski could not be installed"
fi
if [ -x "$GIFSKI_HOME/node_modules/gifski/bin/debian/gifski" ]; then
    export GIFSKI="$GIFSKI_HOME/node_modules/gifski/bin/debian/gifski"
fi

echo "Machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //')"
echo "Peers: $(/usr/bin/convert -version | head -1 | cut -d' ' -f2-3), $(ffmpeg -version | head -1 | cut -d' ' -f1-3)${GIFSKI:+, $("$GIFSKI" --version)}"
echo
"$PYTHON" "$HERE/gif_bench.py" "$BUILD/bin/quintrel-gif" "$OUT/results" \
    "$SETS/photo-pan" "$SETS/synthetic" "$SETS/photo-crops" | tee "$OUT/gif-report.txt"

# Every other benchmark is a program named bench_* in the build, run from the build folder; windows need a
# display.
cd "$BUILD"
failed=0
for program in "$BUILD"/bench/bench_* "$BUILD"/bin/bench_*; do
    [ -f "$program" ] && [ -x "$program" ] || continue
    echo "== $(basename "$program")"
    if [ -n "${DISPLAY:-}" ]; then
        "$program" || failed=1
    else
        xvfb-run -a -s "-screen 0 1280x1024x24" "$program" || failed=1
    fi
    echo
done
exit $failed
