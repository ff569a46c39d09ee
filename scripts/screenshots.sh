#!/bin/sh
# Makes the README's pictures from the real program under Xvfb: docs/animation.gif (written by quintrel-gif
# from drawn frames), docs/strip.png (frames in the strip, one in the preview), docs/german.png (the
# interface in German) and docs/saving.png (the progress of Save). Not part of `make test`.
# Needs a build (`make build`) and: xvfb xauth imagemagick xdotool.
# Usage: scripts/screenshots.sh [BUILD_DIR]
set -eu
SOURCE=$(cd "$(dirname "$0")/.." && pwd)
BUILD=$(cd "${1:-$SOURCE/build}" && pwd)
DOCS="$SOURCE/docs"
for tool in xvfb-run convert import xdotool; do
    command -v "$tool" > /dev/null || { echo "screenshots.sh: $tool is missing (apt-get install xvfb xauth imagemagick xdotool)" >&2; exit 1; }
done

if [ -z "${SCREENSHOTS_UNDER_XVFB:-}" ]; then
    SCREENSHOTS_UNDER_XVFB=1 exec xvfb-run -a -s "-screen 0 1000x720x24" "$0" "$BUILD"
fi

work=$(mktemp -d)
program_pid=""
stop_program() {
    if [ -n "$program_pid" ]; then
        kill "$program_pid" 2> /dev/null || true
        wait "$program_pid" 2> /dev/null || true
    fi
    program_pid=""
}
trap 'stop_program; rm -rf "$work"' EXIT
export HOME="$work/home"
mkdir -p "$HOME" "$DOCS"

# A ball thrown across a meadow, twelve frames.
mkdir "$work/frames"
for i in 0 1 2 3 4 5 6 7 8 9 10 11; do
    x=$((30 + i * 24))
    rise=$((120 - (2 * i - 11) * (2 * i - 11)))
    [ "$rise" -lt 0 ] && rise=0
    y=$((172 - rise))
    convert -size 320x240 gradient:'#87ceeb-#e0f4ff' -fill '#9fcf8a' -draw 'rectangle 0,190 320,240' \
        -fill '#f2b632' -draw 'circle 270,50 290,50' \
        -fill '#c0392b' -stroke '#7f241b' -strokewidth 2 -draw "circle $x,$y $((x + 18)),$y" \
        "$work/frames/frame$(printf %02d "$i").png"
done
"$BUILD/bin/quintrel-gif" -d 8 -o "$DOCS/animation.gif" "$work"/frames/frame*.png > /dev/null

# Starts the program on the given files and waits for its window; sets $window.
start_program() {
    # From the scratch folder, which the file dialogs then show.
    (cd "$work" && exec "$BUILD/bin/quintrel-tavelle" "$@") > "$work/program.log" 2>&1 &
    program_pid=$!
    window=""
    for _ in $(seq 50); do
        window=$(xdotool search --onlyvisible --name "Quintrel Tavelle" 2> /dev/null | head -1) || true
        [ -n "$window" ] && break
        sleep 0.2
    done
    [ -n "$window" ] || { cat "$work/program.log"; echo "screenshots.sh: the window did not appear" >&2; exit 1; }
    # Pictures load behind a progress window of their own; wait until the main window is alone.
    for _ in $(seq 300); do
        [ "$(xdotool search --onlyvisible --pid "$program_pid" 2> /dev/null | wc -l)" -le 1 ] && break
        sleep 0.2
    done
    sleep 1
}

# The whole screen cut to the main window (dialogs of the window lie over it), as a small PNG.
shoot() {
    eval "$(xdotool getwindowgeometry --shell "$window")"
    import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage -colors 255 "PNG8:$DOCS/$1"
}

# Clicks at a point given in window coordinates.
click() {
    xdotool mousemove --window "$window" "$1" "$2" click 1
    sleep 0.5
}

start_program "$work"/frames/frame*.png
click 140 400
shoot strip.png
stop_program

# The language file lives in the data folder the first start made; 89 is German.
language_file=$(find "$HOME" -name language.txt | head -1)
[ -n "$language_file" ] || { echo "screenshots.sh: no language file after the first start" >&2; exit 1; }
printf 89 > "$language_file"
start_program "$work"/frames/frame*.png
click 140 270
shoot german.png
stop_program
printf 58 > "$language_file"

# Large frames, so that Save runs long enough to show its progress.
mkdir "$work/large"
for frame in "$work"/frames/frame*.png; do
    convert "$frame" -resize 1600x1200 "$work/large/$(basename "$frame")"
done
start_program "$work"/large/frame*.png
click 20 12
xdotool key Down Return
sleep 1.5
xdotool type --delay 50 large.gif
xdotool key Return
# The progress window is the program's second window; shoot once it has shown a few frames.
for _ in $(seq 100); do
    [ "$(xdotool search --onlyvisible --pid "$program_pid" 2> /dev/null | wc -l)" -ge 2 ] && break
    sleep 0.1
done
sleep 2
shoot saving.png
stop_program
