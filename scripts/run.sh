#!/usr/bin/env bash
# Builds the program and starts it under Wine in the user's display, with
# sound: the 32-bit exe (the product) where the kernel runs 32-bit programs,
# else its 64-bit twin, and says which. With no display ($DISPLAY empty) it
# plays a short round in a virtual one instead: moves the hand over the figure,
# slaps a few times, saves a screenshot under build/ and closes the program.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
root=$(pwd)
screenshot=$root/build/hoppelmaru-screenshot.png
fail() { echo "run: $*" >&2; exit 1; }

if [ "${1:-}" != --headless-round ]; then
    scripts/setup.sh || fail "setup failed (scripts/setup.sh)"
    source scripts/wine-env.sh
    if host_runs_i686; then
        preset=win32 width=32 why="the 32-bit program"
    else
        preset=win64 width=64 why="the 64-bit program: this kernel does not run 32-bit programs"
    fi
    cmake --preset $preset >/dev/null || fail "cmake --preset $preset failed"
    cmake --build --preset $preset --target hoppelmaru || fail "the $preset build failed"
    scripts/wine-prefix.sh || fail "the Wine prefix could not be made (scripts/wine-prefix.sh)"
    exe=$root/build/$preset/app/win32/hoppelmaru.exe
    echo "run: starting $why, $exe"
    if [ -n "${DISPLAY:-}" ]; then
        source scripts/wine-env.sh $width
        wine_sound_on
        exec "$HOPPEL_WINE" "$exe"
    fi
    echo "run: no display; playing a round in a virtual one"
    exec timeout 300 xvfb-run -a -s '-screen 0 1024x768x24' "$0" --headless-round $width "$exe"
fi

width=$2 exe=$3
source scripts/wine-env.sh "$width"
source scripts/screen-lib.sh
start_program "$exe"
wait_for 60 find_window || { echo "run: the window did not appear" >&2; exit 1; }
eval "$(xdotool getwindowgeometry --shell "$window")"

# The picture's white frame on the grey background gives the view's origin on
# the screen (its child windows are no X windows of their own).
shot=$(mktemp --suffix .png)
find_frame() {
    import -window root "$shot"
    /usr/bin/convert "$shot" -crop "${WIDTH}x$HEIGHT+$X+$Y" +repage "$shot"
    frame=$(frame_in "$shot")
    [ -n "$frame" ]
}
wait_for 20 find_frame || { echo "run: the picture did not show" >&2; exit 1; }
read -r fx fy <<<"$frame"
vx=$((X + fx)); vy=$((Y + fy))

# Five slaps around the middle of the figure; the counter then reads 5 in
# its colour (69, 139, 126).
for p in "200 150" "280 150" "240 180" "220 200" "260 200"; do
    read -r px py <<<"$p"
    xdotool mousemove $((vx + px)) $((vy + py)) click 1
done
xdotool mousemove $((vx + 250)) $((vy + 170))
counted() {
    import -window root "$shot"
    /usr/bin/convert "$shot" -crop "96x36+$((vx + 32))+$((vy + 322))" -depth 8 txt:- | grep -i ' #458B7E ' >/dev/null  # not -q: an early exit would fail the pipe
}
wait_for 30 counted || echo "run: the counter did not reach 5 (the screenshot shows what happened)" >&2
/usr/bin/convert "$shot" -crop "${WIDTH}x$HEIGHT+$X+$Y" +repage "$screenshot"
rm -f "$shot"

xdotool key --window "$window" alt+F4 2>/dev/null || true  # the window may be gone before xdotool returns
wait_for 20 program_ended || echo "run: the program did not close" >&2
code=0
wait "$program" || code=$?
program=
echo "run: the program ended with code $code; screenshot: $screenshot"
