# Sourced by the scripts that drive the real program in an X display (the
# headless round of run.sh and the end-to-end test). Source wine-env.sh first.

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

# wait_for SECONDS COMMAND...: polls the command until it succeeds; false on timeout.
wait_for() {
    local end=$((SECONDS + $1)); shift
    until "$@"; do
        [ $SECONDS -lt $end ] || return 1
        sleep 0.2
    done
}

# shot NAME: the whole screen into shot-NN-NAME.png in the working folder,
# its name in $last.
shot_no=0
shot() { shot_no=$((shot_no + 1)); last="shot-$(printf %02d $shot_no)-$1.png"; import -window root "$last"; }
# crop IMAGE W H X Y OUT
crop() { /usr/bin/convert "$1" -crop "$2x$3+$4+$5" +repage "$6"; }
# number of differing pixels of two images of one size
differing() { /usr/bin/compare -metric AE "$1" "$2" null: 2>&1 || true; }
# pixels of exactly colour #RRGGBB within an image
count_colour() { /usr/bin/convert "$1" -depth 8 txt:- | grep -ci " #$2 " || true; }

# start_program EXE: runs it under wine in the background as $program; on exit
# the script stops it and the wine server (avoids "X connection broken").
start_program() {
    # The last program's server may still be winding down; a program started
    # into it then could go with it.
    timeout 60 "$HOPPEL_WINESERVER" -w 2>/dev/null || true
    "$HOPPEL_WINE" "$1" &
    program=$!
    trap stop_program EXIT
}
stop_program() {
    if [ -n "${program:-}" ] && kill -0 "$program" 2>/dev/null; then kill "$program" || true; fi
    "$HOPPEL_WINESERVER" -k 2>/dev/null || true
}
program_ended() { ! kill -0 "$program" 2>/dev/null; }

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

# frame_in IMAGE: "x y" of the picture view's 482 x 322 white frame on the grey
# background within IMAGE. Child windows are no X windows of their own, so the
# view is found on the screen.
frame_in() {
    /usr/bin/convert "$1" -depth 8 txt:- | awk -F'[,:() ]+' -v w=482 -v h=322 '
        NR > 1 { p[$1","$2] = $3" "$4" "$5 }
        END { W = "255 255 255"; G = "192 192 192"
              for (k in p) { if (p[k] != W) continue; split(k, a, ","); x = a[1]; y = a[2]
                if (p[(x+w-1)","y] == W && p[x","(y+h-1)] == W && p[(x+w-1)","(y+h-1)] == W &&
                    p[(x-1)","y] == G && p[x","(y-1)] == G && p[(x+w)","y] == G && p[x","(y+h)] == G)
                    print x, y } }'
}

# ---- Drops from the desktop -------------------------------------------------
# drop_on X Y FILE...: drops the files on $window at screen position (X, Y) as
# a file manager does (XDND), with no mouse; true once the program has taken
# the drop, false when it refused it or did not answer in time.
drop_on() { /usr/bin/python3 "$(dirname "${BASH_SOURCE[0]}")/xdnd_drop.py" "$window" "$@"; }
