#!/usr/bin/env bash
# Drops 480 x 320 BMP files on hoppelmaru.exe from the desktop, as a file
# manager does (XDND, which Wine turns into the shell's dropped-files
# message), and checks that each becomes the picture shown: a plain one, one
# with a Japanese name in a Japanese folder, and one that another program
# holds open for reading.
# Usage: e2e_drop_test.sh 32|64 EXE HOLDER_EXE SHOT_FOLDER
# HOLDER_EXE is hoppel_file_holder.exe (tests/support/file_holder.cpp). Screenshots and the dropped files stay in
# SHOT_FOLDER. Without $DISPLAY it starts a virtual one.
set -euo pipefail
width=$1
exe=$(realpath "$2")
holder_exe=$(realpath "$3")
shots=$(realpath -m "$4")
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
scripts=$here/../../scripts

source "$scripts/common.sh"
# A display, prefix and Wine session of its own: under Wine 8, every program
# started later in the session that took these drops ended at once (code 0),
# so no other test may share it.
[ "${HOPPEL_E2E_SCREEN:-}" = drop ] || { HOPPEL_E2E_SCREEN=drop in_display 400 bash "${BASH_SOURCE[0]}" "$@"; exit; }
source "$scripts/wine-env.sh" "$width"
export HOPPEL_WINEPREFIX=$HOPPEL_PREFIX_DIR/wineprefix-drop WINEPREFIX=$HOPPEL_PREFIX_DIR/wineprefix-drop
"$scripts/wine-prefix.sh"
source "$scripts/screen-lib.sh"
in_fresh_folder "$shots"

fail() { echo "FAIL: $*" >&2; exit 1; }

# picture FILE TOP BOTTOM: a 24-bit 480 x 320 BMP (460,854 bytes, as a drop
# needs) shading from colour TOP to colour BOTTOM, and FILE.png beside it.
picture() {
    mkdir -p "$(dirname "$1")"
    "$convert" -size 480x320 "gradient:#$2-#$3" -type truecolor "BMP3:$1"
    [ "$(stat -c %s "$1")" = 460854 ] || fail "$1 is not a 460,854-byte BMP"
    "$convert" "$1" "$1.png"
}
plain=$shots/plain.bmp
japanese=$shots/絵の箱/おしりの写真.bmp
held=$shots/held.bmp
picture "$plain" D08060 604090
picture "$japanese" 40C0A0 F0E070
picture "$held" A04030 E0C0B0

step "start"
# The pointer waits off the window: no hand drawn over the pictures compared.
start_program "$exe" || { shot no-window; fail "no window titled Hoppelmaru"; }
wait_for 20 find_view || fail "no framed picture in the window"
picture_of "$last" picture-start.png
echo "window at $wx,$wy; view at $vx,$vy"

# drop FILE: drops it on the middle of the picture; true once the program
# has taken the drop (which says nothing yet about what it made of it).
drop() { drop_on $((vx + 241)) $((vy + 161)) "$1"; }
# shows FILE: the picture shown is exactly the dropped file's.
shows() { shot "shows-$(basename "$1" .bmp)"; picture_of "$last" now.png; [ "$(differing now.png "$1.png")" = 0 ]; }

step "a BMP dropped from the desktop becomes the picture"
drop "$plain" || fail "the window did not take the drop of $plain"
wait_for 15 shows "$plain" || fail "the picture did not change to the dropped $plain"

step "one with a Japanese name in a Japanese folder"
drop "$japanese" || fail "the window did not take the drop of $japanese"
wait_for 15 shows "$japanese" || fail "the picture did not change to the dropped $japanese"

step "one that another program holds open for reading"
# The holder lets others read the file only, says "held" once it has it, and
# holds it until it is ended.
"$HOPPEL_WINE" "$holder_exe" r "Z:${held//\//\\}" >holder.out 2>&1 &
holder=$!
holding() { grep -q held holder.out; }
wait_for 30 holding || fail "the holder did not open $held: $(cat holder.out)"
drop "$held" || fail "the window did not take the drop of $held"
wait_for 15 shows "$held" ||
    fail "the picture did not change to $held, which another program holds open for reading"
kill -0 "$holder" 2>/dev/null || fail "the holder let go of $held before the drop was seen"
kill "$holder"
wait "$holder" 2>/dev/null || true

step "the program ends with code 0"
end_program || fail "the program $ending after alt+F4"
echo "e2e drop: all checks passed; screenshots in $shots"
