#!/usr/bin/env bash
# Builds the program and starts it under Wine in the user's display, with
# sound: the 32-bit exe (the product) where the kernel runs 32-bit programs,
# else its 64-bit twin, and says which. With no display ($DISPLAY empty) it
# plays a short round in a virtual one instead: moves the hand over the figure,
# slaps a few times, saves a screenshot under build/ and closes the program.
# run.sh --screenshot: that round, whatever $DISPLAY says, its screenshot then
# made docs/screenshot.png (the README's picture), stripped of the PNG's time
# chunks.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
root=$(pwd)
screenshot=$root/build/hoppelmaru-screenshot.png
fail() { echo "run: $*" >&2; exit 1; }
source scripts/common.sh

if [ "${1:-}" = --screenshot ]; then
    rm -f "$screenshot"
    DISPLAY='' "$root/scripts/run.sh" || fail "the round without a display failed"
    [ -s "$screenshot" ] || fail "the round left no $screenshot"
    /usr/bin/convert "$screenshot" -strip docs/screenshot.png || fail "could not write docs/screenshot.png"
    echo "run: docs/screenshot.png ($(/usr/bin/identify -format '%w x %h' docs/screenshot.png))"
    exit
fi
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
    in_display 300 "$0" --headless-round $width "$exe"
    exit
fi

width=$2 exe=$3
source scripts/wine-env.sh "$width"
source scripts/screen-lib.sh
# Its screenshots go into a folder of their own.
in_fresh_folder "$root/build/run-shots"
start_program "$exe" || fail "the window did not appear"

wait_for 20 find_view || fail "the picture did not show"

# Five slaps around a point of the figure; the counter then reads 5 in its
# colour (69, 139, 126).
"$convert" "$root/resources/radav.bmp" builtin.png
read -r ax ay <<<"$(figure_point builtin.png)" || fail "found no point of the figure"
for p in "-40 -10" "40 -10" "0 20" "-20 40" "20 40"; do
    read -r dx dy <<<"$p"
    xdotool mousemove $((vx + ax + dx)) $((vy + ay + dy)) click 1
done
xdotool mousemove $((vx + ax + 10)) $((vy + ay + 10))
counted() {
    shot counted
    counter_of "$last" counter.png
    [ "$(count_colour counter.png 458B7E)" -gt 0 ]
}
wait_for 30 counted || echo "run: the counter did not reach 5 (the screenshot shows what happened)" >&2
crop "$last" "$ww" "$wh" "$wx" "$wy" "$screenshot"

end_program || true
echo "run: the program $ending; screenshot: $screenshot"
