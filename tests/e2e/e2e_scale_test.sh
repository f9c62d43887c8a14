#!/usr/bin/env bash
# Drives hoppelmaru.exe under Wine on a display of another scale (150 % is
# 144 DPI, 200 % is 192 DPI): the window holds its whole layout at that scale,
# the picture and the counter are shown scaled, a click reaches the picture
# pixel under it, and Tab and Space drive both buttons.
# Usage: e2e_scale_test.sh 32|64 EXE SHOT_FOLDER RESOURCE_FOLDER DPI
# Screenshots stay in SHOT_FOLDER. It runs in a virtual display and Wine
# session of its own: two prefixes' sessions on one display disturb each other
# (a window of one found by the other, programs ending at their start).
set -euo pipefail
width=$1
exe=$(realpath "$2")
shots=$(realpath -m "$3")
resources=$(realpath "$4")
dpi=$5
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
scripts=$here/../../scripts

source "$scripts/common.sh"
[ "${HOPPEL_E2E_SCREEN:-}" = "$dpi" ] || { HOPPEL_E2E_SCREEN=$dpi in_display 880 bash "${BASH_SOURCE[0]}" "$@"; exit; }
export HOPPEL_DPI=$dpi
"$scripts/wine-prefix.sh"
source "$scripts/wine-env.sh" "$width"
source "$scripts/screen-lib.sh"
in_fresh_folder "$shots"

fail() { echo "FAIL ($dpi DPI): $*" >&2; exit 1; }

# s FIGURE: a 96-DPI figure at this DPI, rounded as the program rounds it.
s() { echo $((($1 * dpi + 48) / 96)); }
# u POSITION: the 96-DPI figure whose scaled span holds the position.
u() { echo $((($1 * 96 + 47) / dpi)); }

# rows IMAGE RRGGBB: "first last" row holding the colour
rows() { "$convert" "$1" -depth 8 txt:- | awk -F'[,:]' -v c="#$2" 'index($0, c) { if (f == "") f = $2; l = $2 } END { print f, l }'; }

step "start"
start_program "$exe" || { shot no-window; fail "no window titled Hoppelmaru"; }
fw=$(s 482); fh=$(s 322)
white="255 255 255" grey="192 192 192"
# first_white IMAGE WIDTH HEIGHT X Y: the first white pixel, from the top of a
# column or the left of a row, after a grey one
first_white() {
    "$convert" "$1" -crop "$2x$3+$4+$5" -depth 8 txt:- |
        awk -F'[,: ]+' 'index($0, "#C0C0C0") { g = 1 } g && index($0, "#FFFFFF") { print ($1 > $2 ? $1 : $2); exit }'
}
# The view's white frame, fw x fh, on the grey background: its top edge
# crosses the window's middle column below the buttons, its left edge the
# row of its top edge.
find_frame() {
    shot start
    crop "$last" "$ww" "$wh" "$wx" "$wy" window.png
    local x y
    y=$(first_white window.png 1 "$wh" $((ww / 2)) 0); [ -n "$y" ] || return 1
    x=$(first_white window.png "$ww" 1 0 "$y"); [ -n "$x" ] || return 1
    [ "$(pixel window.png $((x + fw - 1)) $((y + fh - 1)))" = "$white" ] &&
        [ "$(pixel window.png $((x + fw)) $((y + fh)))" = "$grey" ] &&
        [ "$(pixel window.png $((x - 1)) $((y + fh - 1)))" = "$grey" ] || return 1
    frame="$x $y"
    vx=$((wx + x)); vy=$((wy + y))      # the view's client origin on the screen
}
p0=$(s 1); pw=$(($(s 481) - p0)); ph=$(($(s 321) - p0))
[ "$pw" = $((480 * dpi / 96)) ] && [ "$ph" = $((320 * dpi / 96)) ] || fail "the picture is $pw x $ph"
"$convert" "$resources/radav.bmp" builtin.png
# The stretch averages neighbouring pixels, so the shown picture is compared
# with the built-in one resized to the same size: 40 dB and more where it lies
# exactly in place, about 31 dB for a picture one screen pixel off.
"$convert" builtin.png -resize "${pw}x$ph!" builtin-scaled.png
kl=$(s 32); kt=$(s 322); kw=$(($(s 128) - kl)); kh=$(($(s 358) - kt))
counter_of() { crop "$1" "$kw" "$kh" $((vx + kl)) $((vy + kt)) "$2"; }
# The frame found, the picture in it and the counter at 0 shown.
frame= psnr=
started() {
    frame= psnr=
    find_frame || return 1
    crop "$last" "$pw" "$ph" $((vx + p0)) $((vy + p0)) picture-start.png
    psnr=$(/usr/bin/compare -metric PSNR picture-start.png builtin-scaled.png null: 2>&1 || true)
    counter_of "$last" counter-0.png
    awk -v p="$psnr" 'BEGIN { exit !(p + 0 >= 37) }' &&
        [ "$(count_colour counter-0.png 409080)" -gt $((20 * dpi / 96)) ]
}
wait_for 30 started || {
    [ -n "$frame" ] || fail "no ${fw} x $fh framed picture in the ${ww} x $wh window"
    awk -v p="$psnr" 'BEGIN { exit !(p + 0 >= 37) }' || fail "the picture shown is not the built-in one at the scale ($psnr dB)"
    fail "no counter in (64, 144, 128)"
}
read -r fx fy <<<"$frame"
cx=$((vx - $(s 8))); cy=$((vy - $(s 48)))  # the main window's client origin
echo "window ${ww} x $wh at $wx,$wy; view at $vx,$vy"

step "the whole view shows, its last row too"
[ $((fy + $(s 360))) -le "$wh" ] || fail "the view's $(s 360) rows do not fit the window"
crop "$last" "$(s 482)" 1 "$vx" $((vy + $(s 360) - 1)) view-last-row.png
[ "$(count_colour view-last-row.png C0C0C0)" = "$(s 482)" ] || fail "the view's last row is cut"

step "the picture at the scale"
echo "picture ${pw} x $ph, $psnr dB from the built-in picture resized"

step "the counter at the scale, whole"
read -r top bottom <<<"$(rows counter-0.png 409080)"
digit=$((bottom - top + 1))
echo "counter $kw x $kh, digit $digit rows high"
[ "$top" -gt 0 ] && [ "$bottom" -lt $((kh - 1)) ] || fail "the digit touches the counter's edge"
# The 24-pixel font's digit is 14 rows high at 96 DPI; a row less than
# scaled leaves room for the font's own rounding.
[ "$digit" -ge $((14 * dpi / 96 - 1)) ] || fail "the digit is $digit rows high, not scaled"

# A figure pixel (x from the left, y from the top) whose whole slap is skin:
# then the slap changes exactly x - 57 .. x + 57 and y - 48 .. y + 49.
figure=$(figure_point builtin.png) || fail "found no wide skin in the built-in picture"
read -r px py <<<"$figure"

step "a click at the point of picture pixel ($px, $py from the top) slaps that pixel"
# The pointer's point of that pixel is view client (px + 1, py) at 96 DPI.
sx=$((vx + ($(s $((px + 1))) + $(s $((px + 2))) - 1) / 2))
sy=$((vy + ($(s "$py") + $(s $((py + 1))) - 1) / 2))
xdotool mousemove "$sx" "$sy" click 1
xdotool mousemove $((vx + 1)) $((vy + 1))   # on the frame: the hand hides
# Averaging may spread a changed pixel onto one screen pixel of a neighbour's
# span; the changed area's middle stays where the slap was.
near() { local d=$(($1 - $2)); [ "${d#-}" -le 1 ]; }
# The counter at 1 and the picture changed just in the slap's box: the slap
# shown with the hand hidden, which, 196 pixels wide, does not fit the box.
changed="nothing"
slapped() {
    local l t r b
    shot slapped
    crop "$last" "$pw" "$ph" $((vx + p0)) $((vy + p0)) picture-slapped.png
    counter_of "$last" counter-1.png
    [ "$(count_colour counter-1.png 418F80)" -gt 20 ] || return 1
    read -r l t r b <<<"$(changed_box picture-start.png picture-slapped.png)"
    [ -n "$l" ] || return 1
    first_x=$(($(u $((l + p0))) - 1)); last_x=$(($(u $((r + p0))) - 1))
    first_y=$(($(u $((t + p0))) - 1)); last_y=$(($(u $((b + p0))) - 1))
    changed="columns $first_x..$last_x, rows $first_y..$last_y (from the top)"
    near "$first_x" $((px - 57)) && near "$last_x" $((px + 57)) &&
        near "$first_y" $((py - 48)) && near "$last_y" $((py + 49)) &&
        near $((first_x + last_x)) $((2 * px)) && near $((first_y + last_y)) $((2 * py + 1))
}
wait_for 30 slapped || fail "no slap centred on ($px, $py) with the counter at 1 and the hand hidden; last changed: $changed"
echo "slapped $changed"

# The inside of a button, within its border: client rectangle LEFT TOP RIGHT BOTTOM at 96 DPI.
button_of() { crop "$1" $(($(s "$4") - $(s "$2") - 6)) $(($(s "$5") - $(s "$3") - 6)) \
    $((cx + $(s "$2") + 3)) $((cy + $(s "$3") + 3)) "$6"; }
auto_of() { button_of "$1" 8 8 88 40 "$2"; }
clear_of() { button_of "$1" 96 8 176 40 "$2"; }
# button_is CROP REFERENCE: a fresh screenshot's crop equals the reference
button_is() { shot keys; "$1" "$last" now.png; [ "$(differing now.png "$2")" = 0 ]; }

step "Tab focuses 自動, Space presses it (停止), Space again (自動)"
auto_of "$last" auto-plain.png
clear_of "$last" clear-plain.png
xdotool windowfocus --sync "$window" 2>/dev/null || true
xdotool key --window "$window" Tab
focused() { shot tab; auto_of "$last" auto-focused.png; [ "$(differing auto-focused.png auto-plain.png)" -gt 10 ]; }
wait_for 30 focused || fail "Tab showed no focus on 自動"
clear_of "$last" now.png
[ "$(differing now.png clear-plain.png)" = 0 ] || fail "Tab changed クリア too"
xdotool key --window "$window" space
# running COUNTER: 自動 reads otherwise than focused and the counter has moved
# on from the one given: auto mode slaps (not just a button drawn pressed).
running() {
    shot auto
    auto_of "$last" auto-running.png
    counter_of "$last" counter-now.png
    [ "$(differing auto-running.png auto-focused.png)" -gt 10 ] && [ "$(differing counter-now.png "$1")" -gt 0 ]
}
wait_for 30 running counter-1.png || fail "Space did not start auto mode"
xdotool key --window "$window" space
wait_for 30 button_is auto_of auto-focused.png || fail "Space did not stop auto mode"

step "Tab focuses クリア, Space clears"
xdotool key --window "$window" Tab
wait_for 30 button_is auto_of auto-plain.png || fail "the focus did not leave 自動"
cleared() { shot clear; counter_of "$last" counter-now.png; [ "$(differing counter-now.png counter-0.png)" = 0 ]; }
xdotool key --window "$window" space
wait_for 30 cleared || fail "Space on クリア did not clear the counter"
clear_of "$last" clear-focused.png
[ "$(differing clear-focused.png clear-plain.png)" -gt 10 ] || fail "no focus shown on クリア"

step "after two mouse clicks on 自動, Space starts nothing"
auto_x=$((cx + $(s 48))); auto_y=$((cy + $(s 24)))
xdotool mousemove "$auto_x" "$auto_y" click 1
wait_for 30 running counter-0.png || fail "a click did not start auto mode"
xdotool click 1
wait_for 30 button_is auto_of auto-plain.png ||
    fail "after the second click 自動 is still running or keeps the focus"
shot still
crop "$last" "$pw" "$ph" $((vx + p0)) $((vy + p0)) before-space.png
xdotool key --window "$window" space
# Input is handled in order: once the hand has moved, the Space has been handled.
xdotool mousemove $((sx + $(s 40))) "$sy"
hand_moved() { shot hand; crop "$last" "$pw" "$ph" $((vx + p0)) $((vy + p0)) now.png; [ "$(differing now.png before-space.png)" -gt 100 ]; }
wait_for 30 hand_moved || fail "the hand did not follow the pointer after the clicks"
auto_of "$last" now.png
[ "$(differing now.png auto-plain.png)" = 0 ] || fail "自動 is running or still focused after the clicks and Space"

step "alt+F4 ends the program with code 0"
end_program || fail "the program $ending after alt+F4"
echo "measured at $dpi DPI: window $ww x $wh, picture $pw x $ph, counter digit $digit rows high"
echo "e2e at $dpi DPI: all checks passed; screenshots in $shots"
