#!/usr/bin/env bash
# Drives hoppelmaru.exe under Wine in an X display the way a user would, and
# checks what the screen shows and what the program plays.
# Usage: e2e_test.sh 32|64 EXE SHOT_FOLDER RESOURCE_FOLDER
# Screenshots and the sound sink stay in SHOT_FOLDER. Without $DISPLAY it
# starts a virtual one.
set -euo pipefail
width=$1
exe=$(realpath "$2")
shots=$(realpath -m "$3")
resources=$(realpath "$4")
builtin=$resources/radav.bmp
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
scripts=$here/../../scripts

source "$scripts/common.sh"
[ -n "${DISPLAY:-}" ] || { in_display 880 bash "${BASH_SOURCE[0]}" "$@"; exit; }
"$scripts/wine-prefix.sh"
source "$scripts/wine-env.sh" "$width"
source "$scripts/screen-lib.sh"
in_fresh_folder "$shots"

fail() { echo "FAIL: $*" >&2; exit 1; }

# Every sound the program plays lands in the sink, back to back as raw samples.
sink=$shots/played.raw
wine_sound_sink "$sink"
for i in 1 2 3; do
    [ "$(head -c 40 "$resources/slap$i.wav" | tail -c 4)" = data ] || fail "slap$i.wav: no data chunk at 36"
    tail -c +45 "$resources/slap$i.wav" >"sound-$i.raw"
done
# count_sounds: true when the sink holds nothing but whole built-in sounds;
# $sound_count says how many and $played which, in the order played.
count_sounds() {
    local found numbers i
    found=$(python3 "$here/sink_sounds.py" "$sink" sound-1.raw sound-2.raw sound-3.raw) || return 1
    read -r sound_count numbers <<<"$found"
    played=
    for i in $numbers; do played+=" SOUND$i"; done
}
sounds_are() { count_sounds && [ "$sound_count" = "$1" ]; }

step "start"
"$convert" "$builtin" builtin.png
start_program "$exe" || { shot no-window; fail "no window titled Hoppelmaru"; }
[ "$ww" = 540 ] && [ "$wh" = 468 ] || fail "window is ${ww}x$wh, not 540x468"

# screen position of view client (x, y)
sx() { echo $((vx + $1)); }
sy() { echo $((vy + $1)); }
# The view's frame found, the built-in picture in it and the counter at 0.
started() {
    vx=
    find_view || return 1
    picture_of "$last" picture-start.png
    counter_of "$last" counter-0.png
    [ "$(differing picture-start.png builtin.png)" = 0 ] && [ "$(count_colour counter-0.png 409080)" -gt 20 ]
}
# Moves the pointer onto the frame corner: the hand hides there.
hide_hand() { xdotool mousemove "$(sx 2)" "$(sy 2)"; }
# button_text IMAGE LEFT OUT: the inside of the button at client (LEFT, 8),
# 80 x 32, within its focus rectangle
button_text() { crop "$1" 70 22 $((vx - 8 + $2 + 5)) $((vy - 48 + 8 + 5)) "$3"; }

step "the built-in picture, framed, and the counter at 0"
wait_for 30 started || {
    [ -n "$vx" ] || fail "no framed picture in the window"
    [ "$(differing picture-start.png builtin.png)" = 0 ] || fail "the picture shown is not the built-in one"
    fail "no counter in (64, 144, 128)"
}
echo "window at $wx,$wy; view at $vx,$vy"

# A point of the figure whose slap falls on skin, and a point of the blue.
figure=$(figure_point builtin.png) || fail "found no skin in the built-in picture"
read -r px py <<<"$figure"   # shown at view client (px + 1, py + 1)
skin=$(pixel builtin.png "$px" "$py")
blue=
for c in "5 5" "5 160" "474 5" "474 314" "5 314"; do
    [ "$(pixel builtin.png $c)" != "0 0 255" ] || { blue=$c; break; }
done
[ -n "$blue" ] || fail "found no blue in the built-in picture"
read -r bx by <<<"$blue"

step "the hand follows the pointer over the figure"
xdotool mousemove "$(sx $((px + 1)))" "$(sy $((py + 1)))"
# hand_shows BASELINE: the picture differs from the baseline by a hand's worth
hand_shows() { shot hand; picture_of "$last" picture-hand.png; [ "$(differing picture-hand.png "$1")" -gt 100 ]; }
wait_for 30 hand_shows builtin.png || fail "no hand drawn at the pointer"

# slapped NAME RRGGBB: a fresh screenshot (picture in picture-NAME.png, counter
# in counter-NAME.png) shows the counter in that colour, and a picture that
# differs from the built-in one only within the slap's box, redder at the
# figure point than the untouched skin: the slaps with the hand hidden, which,
# 196 pixels wide, does not fit the 115-pixel box. A click at view client
# (x + 1, y + 1) slaps picture pixel (x, y + 1): columns x - 57 .. x + 57,
# rows y - 47 .. y + 50.
slapped() {
    local l t r b r0 g0 r1 g1
    shot "$1"
    picture_of "$last" "picture-$1.png"
    counter_of "$last" "counter-$1.png"
    [ "$(count_colour "counter-$1.png" "$2")" -gt 20 ] || return 1
    read -r l t r b <<<"$(changed_box "picture-$1.png" builtin.png)"
    [ -n "$l" ] && [ "$l" -ge $((px - 57)) ] && [ "$r" -le $((px + 57)) ] &&
        [ "$t" -ge $((py - 47)) ] && [ "$b" -le $((py + 50)) ] || return 1
    read -r r0 g0 _ <<<"$skin"
    read -r r1 g1 _ <<<"$(pixel "picture-$1.png" "$px" "$py")"
    [ "$r1" -gt "$r0" ] || [ "$g1" -lt "$g0" ]
}

step "a click on the figure reddens the skin and counts 1"
xdotool click 1
hide_hand
wait_for 30 slapped 1 418F80 ||
    fail "no picture reddened around the click alone (from $skin) with the counter reading 1 (65, 143, 128)"
[ "$(count_colour counter-1.png 409080)" = 0 ] || fail "the counter still reads 0"
wait_for 30 sounds_are 1 || fail "the slap did not play one whole built-in sound ($(stat -c %s "$sink") bytes)"
echo "played:$played"

step "a click on the blue does nothing"
xdotool mousemove "$(sx $((bx + 1)))" "$(sy $((by + 1)))" click 1
# Messages are handled in order: once the hand shows over the figure again,
# the click before it has been handled.
xdotool mousemove "$(sx $((px + 1)))" "$(sy $((py + 1)))"
wait_for 30 hand_shows picture-1.png || fail "no hand after the click on the blue"
hide_hand
unchanged() { shot blue-click; picture_of "$last" picture-blue.png; [ "$(differing picture-blue.png picture-1.png)" = 0 ]; }
wait_for 30 unchanged || fail "the picture changed after a click on the blue"
counter_of "$last" counter-blue.png
[ "$(differing counter-blue.png counter-1.png)" = 0 ] || fail "the counter changed after a click on the blue"

step "two more slaps: three sounds in all, none for the blue"
xdotool mousemove "$(sx $((px + 1)))" "$(sy $((py + 1)))" click 1 click 1
hide_hand
wait_for 30 slapped 3 438D7F || fail "the counter does not read 3 (67, 141, 127), or the hand still shows"
wait_for 30 sounds_are 3 || fail "the sink does not hold exactly three built-in sounds ($(stat -c %s "$sink") bytes)"
echo "played:$played"

step "Auto slaps by itself and its button reads 停止"
button_text "$last" 8 auto-button-off.png
button_text "$last" 96 clear-button-on.png
xdotool mousemove $((vx - 8 + 48)) $((vy - 48 + 24)) click 1
auto_slaps() { shot auto; picture_of "$last" picture-auto.png; [ "$(differing picture-auto.png picture-3.png)" -gt 0 ]; }
wait_for 30 auto_slaps || fail "auto mode did not slap"
# Between its slaps the hand is hidden: wait for a moment without it.
auto_counts() { shot auto; counter_of "$last" counter-auto.png; [ "$(count_colour counter-auto.png 438D7F)" = 0 ]; }
wait_for 30 auto_counts || fail "the counter did not move on in auto mode"
button_text "$last" 8 auto-button-on.png
button_text "$last" 96 clear-button-off.png
[ "$(differing auto-button-on.png auto-button-off.png)" -gt 20 ] || fail "the Auto button's text did not change"
[ "$(differing clear-button-off.png clear-button-on.png)" -gt 20 ] || fail "the Clear button is not greyed"

step "Auto again stops it: 自動 again, Clear enabled"
xdotool click 1
buttons_back() {
    shot auto-off
    button_text "$last" 8 auto-button-now.png
    button_text "$last" 96 clear-button-now.png
    [ "$(differing auto-button-now.png auto-button-off.png)" = 0 ] &&
        [ "$(differing clear-button-now.png clear-button-on.png)" = 0 ]
}
wait_for 30 buttons_back || fail "the buttons did not return to 自動 and enabled Clear"

step "Clear restores the picture and the counter"
xdotool mousemove $((vx - 8 + 136)) $((vy - 48 + 24)) click 1
cleared() {
    shot cleared; picture_of "$last" picture-cleared.png; counter_of "$last" counter-cleared.png
    [ "$(differing picture-cleared.png builtin.png)" = 0 ] && [ "$(differing counter-cleared.png counter-0.png)" = 0 ]
}
wait_for 30 cleared || fail "Clear did not restore the built-in picture and the counter 0"

step "Save image through the real dialog"
xdotool mousemove "$(sx $((px + 1)))" "$(sy $((py + 1)))" click 1
hide_hand
wait_for 30 slapped to-save 418F80 || fail "the skin did not redden before saving"
saved_bmp=$shots/saved.bmp
rm -f "$saved_bmp"
# Menu keys: File, then the item's letter. A key that comes before the menu
# is open is lost, so the pair is tried again until the wanted window shows.
menu_keys() {
    local item=$1 check=$2 try
    for try in 1 2 3 4 5; do
        xdotool key --window "$window" Escape Escape
        xdotool key --delay 300 alt+f "$item"
        wait_for 8 "$check" && return 0
    done
    return 1
}
find_dialog() { dialog=$(xdotool search --onlyvisible --name '保存するファイル名を指定してください' 2>/dev/null | head -1); [ -n "$dialog" ]; }
menu_keys s find_dialog || { shot no-dialog; fail "no save dialog"; }
shot dialog
xdotool type --delay 30 "Z:${saved_bmp//\//\\}"
xdotool key Return
saved() { [ -f "$saved_bmp" ] && [ "$(stat -c %s "$saved_bmp")" = 460854 ]; }
wait_for 30 saved || { shot no-file; fail "no 460,854-byte file at $saved_bmp"; }
"$convert" "$saved_bmp" saved.png
[ "$(differing saved.png picture-to-save.png)" = 0 ] || fail "the saved pixels differ from the picture shown"

step "Exit ends the program with code 0"
dialog_gone() { ! xdotool search --onlyvisible --name '保存するファイル名を指定してください' >/dev/null 2>&1; }
wait_for 30 dialog_gone || fail "the save dialog stayed open"
end_program menu_keys x program_ended || fail "the program $ending after Exit"
# Auto mode and the slap before saving played more; still whole sounds only.
# The sink's writer may still be at work after the program has gone.
five_or_more() { count_sounds && [ "$sound_count" -ge 5 ]; }
wait_for 30 five_or_more || fail "the sink does not hold five or more whole built-in sounds ($(stat -c %s "$sink") bytes)"
echo "played:$played"
echo "e2e: all checks passed; screenshots in $shots"
