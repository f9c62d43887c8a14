# Sourced by the scripts that drive the real program in an X display (the
# headless round of run.sh and the end-to-end tests). Source wine-env.sh first.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

# ImageMagick's own: /usr/local/bin/convert may be a stand-in on these machines.
convert=/usr/bin/convert
step() { echo "-- $*"; }

# in_fresh_folder FOLDER: FOLDER, emptied, becomes the working folder, where
# the screenshots go.
in_fresh_folder() {
    rm -rf "$1"
    mkdir -p "$1"
    cd "$1"
}

# wait_for SECONDS COMMAND...: polls the command until it succeeds; false
# once a poll begun after SECONDS has failed too: on a loaded machine one poll
# (a screenshot and its reading) may itself take longer than that.
wait_for() {
    local end=$((SECONDS + $1)) began
    shift
    until began=$SECONDS && "$@"; do
        [ "$began" -lt "$end" ] || return 1
        sleep 0.2
    done
}

# shot NAME: the whole screen into shot-NN-NAME.png in the working folder,
# its name in $last.
shot_no=0
shot() { shot_no=$((shot_no + 1)); last="shot-$(printf %02d $shot_no)-$1.png"; import -window root "$last"; }
# crop IMAGE W H X Y OUT
crop() { "$convert" "$1" -crop "$2x$3+$4+$5" +repage "$6"; }
# differing A B: the number of differing pixels of two images of one size
differing() { /usr/bin/compare -metric AE "$1" "$2" null: 2>&1 || true; }
# changed_box A B: "left top right bottom" of the pixels two images of one size
# differ in; nothing when none do.
changed_box() {
    "$convert" "$1" "$2" -compose difference -composite -threshold 0 -format '%@' info: 2>/dev/null |
        awk -F'[x+]' '$1 > 0 { print $3, $4, $3 + $1 - 1, $4 + $2 - 1 }'
}
# count_colour IMAGE RRGGBB: the pixels of exactly that colour within the image
count_colour() { "$convert" "$1" -depth 8 txt:- | grep -ci " #$2 " || true; }
# pixel IMAGE X Y: "r g b" of one pixel
pixel() { "$convert" "$1" -crop "1x1+$2+$3" -depth 8 txt:- | awk -F'[(),]' 'NR == 2 { print $3 + 0, $4 + 0, $5 + 0 }'; }

# figure_point PICTURE: "x y" (y from the top) of a point of the 480 x 320
# picture whose whole slap, x - 57 .. x + 57 and y - 48 .. y + 49, falls on the
# figure (not the blue) as far as its edges' middles show.
figure_point() {
    local c x y p
    for c in "240 160" "240 180" "220 170" "260 170" "240 140" "200 180" "280 180"; do
        read -r x y <<<"$c"
        for p in "$x $y" "$((x - 57)) $y" "$((x + 57)) $y" "$x $((y - 48))" "$x $((y + 49))"; do
            [ "$(pixel "$1" $p)" != "0 0 255" ] || continue 2
        done
        echo "$x $y"
        return 0
    done
    return 1
}

# start_program EXE: runs it under wine in the background as $program, waits
# for its window, bounded, and sets $window and its screen rectangle wx wy ww
# wh. The pointer waits in the screen's corner, off the window. Where no
# scripts/wine-prefix.sh --session holds the prefix's session, it starts one and ends
# it on exit; on exit the program is stopped too. False, with the start's
# phases, Wine's processes and the load said, when no window shows.
start_program() {
    local began=$SECONDS session=held
    trap stop_program EXIT
    if ! wine_session_held; then
        wine_session_start || { echo "the Wine session did not start" >&2; return 1; }
        session="started here in $wine_session_took s"
        own_session=1
    fi
    local w h
    read -r w h < <(xdotool getdisplaygeometry)
    xdotool mousemove $((w - 1)) $((h - 1))
    local launched=$SECONDS
    "$HOPPEL_WINE" "$1" &
    program=$!
    if ! wait_for 60 find_window; then
        {
            echo "no window after $((SECONDS - launched)) s (Wine session: $session${HOPPEL_WINE_SESSION_TIMES:+, started at $HOPPEL_WINE_SESSION_TIMES};" \
                "$((launched - began)) s before the start); windows shown: $(windows_shown)"
            echo "load: $(cat /proc/loadavg)"
            echo "Wine's processes:"
            ps -eo pid,etime,time,stat,args | grep -iE '[w]ine|[.]exe' || true
        } >&2
        return 1
    fi
    eval "$(xdotool getwindowgeometry --shell "$window")"
    wx=$X wy=$Y ww=$WIDTH wh=$HEIGHT
}
# stop_program: the exit trap: stops a program still running, and the session
# start_program started.
stop_program() {
    if [ -n "${program:-}" ] && kill -0 "$program" 2>/dev/null; then kill "$program" || true; fi
    [ -z "${own_session:-}" ] || wine_session_end
}
program_ended() { ! kill -0 "$program" 2>/dev/null; }
# end_program [COMMAND...]: asks the program to end (alt+F4 to its window
# unless COMMAND does it) and waits for it, bounded; true when it ended with
# code 0. $ending says how it ended.
end_program() {
    [ $# -gt 0 ] || set -- xdotool key --window "$window" alt+F4
    "$@" 2>/dev/null || true  # the window may be gone before xdotool returns
    ending="did not end"
    wait_for 20 program_ended || return 1
    local code=0
    wait "$program" || code=$?
    program=
    ending="ended with code $code"
    [ "$code" = 0 ]
}

# find_window: sets $window to the visible main window. Use --onlyvisible: a
# hidden IME window matches first otherwise.
find_window() {
    window=$(xdotool search --onlyvisible --name '^Hoppelmaru$' 2>/dev/null | head -1)
    [ -n "$window" ]
}
# The titles of the windows shown, for a failure's message.
windows_shown() {
    local w
    for w in $(xdotool search --onlyvisible --name '.' 2>/dev/null); do
        printf '"%s" ' "$(xdotool getwindowname "$w" 2>/dev/null)"
    done
    kill -0 "$program" 2>/dev/null && printf '(the program runs)' || printf '(the program has ended)'
}

# find_view: a fresh screenshot ($last) shows the picture view's 482 x 322
# white frame on the grey background within the window; sets vx vy, the
# view's client origin on the screen. Child windows are no X windows of their
# own, so the view is found on the screen.
find_view() {
    local at
    shot start
    crop "$last" "$ww" "$wh" "$wx" "$wy" window.png
    at=$("$convert" window.png -depth 8 txt:- | awk -F'[,:() ]+' -v w=482 -v h=322 '
        NR > 1 { p[$1","$2] = $3" "$4" "$5 }
        END { W = "255 255 255"; G = "192 192 192"
              for (k in p) { if (p[k] != W) continue; split(k, a, ","); x = a[1]; y = a[2]
                if (p[(x+w-1)","y] == W && p[x","(y+h-1)] == W && p[(x+w-1)","(y+h-1)] == W &&
                    p[(x-1)","y] == G && p[x","(y-1)] == G && p[(x+w)","y] == G && p[x","(y+h)] == G)
                    print x, y } }')
    [ -n "$at" ] || return 1
    read -r vx vy <<<"$at"
    vx=$((wx + vx)) vy=$((wy + vy))
}
# picture_of SHOT OUT, counter_of SHOT OUT: the picture and the counter at 96
# DPI, found by find_view.
picture_of() { crop "$1" 480 320 $((vx + 1)) $((vy + 1)) "$2"; }
counter_of() { crop "$1" 96 36 $((vx + 32)) $((vy + 322)) "$2"; }

# ---- Drops from the desktop -------------------------------------------------
# drop_on X Y FILE...: drops the files on $window at screen position (X, Y) as
# a file manager does (XDND), with no mouse; true once the program has taken
# the drop, false when it refused it or did not answer in time.
drop_on() { /usr/bin/python3 "$(dirname "${BASH_SOURCE[0]}")/xdnd_drop.py" "$window" "$@"; }
