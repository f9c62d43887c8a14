#!/usr/bin/env bash
# Creates the project's Wine prefix once (about 7 s); later calls return at once.
# A 64-bit prefix: it runs the x86_64 build everywhere and the i686 one too
# where the kernel runs 32-bit programs. With HOPPEL_DPI set (see wine-env.sh)
# it makes the prefix whose display has that DPI.
# wine-prefix.sh --session COMMAND...: then runs the command (a test run) in
# the current display with the Wine session of the tests' prefix, at 96 DPI,
# started before it and ended after it: no test pays for the start, and none
# starts into a server that is shutting down. Exits as the command. (The 144
# and 192 DPI tests run in displays and sessions of their own: two prefixes'
# sessions on one display disturb each other.)
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
if [ "${1:-}" = --session ]; then
    shift
    [ -n "${DISPLAY:-}" ] || { echo "wine-prefix: --session needs a display" >&2; exit 1; }
    # The tests' prefix: COMMAND... in its environment.
    in_prefix() { (export HOPPEL_DPI=96 && source "$here/wine-env.sh" 64 && "$@"); }
    started() { wine_session_start && echo "$wine_session_took"; }
    trap 'in_prefix wine_session_end' EXIT
    # Stopped from outside (make test ends its other stages when one fails):
    # the session still ends, its persistent server with it.
    trap 'exit 143' TERM
    HOPPEL_DPI=96 "$here/wine-prefix.sh"
    took=$(in_prefix started) || { echo "wine-prefix: the Wine session at 96 DPI did not start" >&2; exit 1; }
    # The start's time, for the report of a window that never shows.
    export HOPPEL_WINE_SESSION=$DISPLAY HOPPEL_WINE_SESSION_TIMES="96 DPI in $took s"
    echo "wine-prefix: session started at $HOPPEL_WINE_SESSION_TIMES"
    status=0
    "$@" || status=$?
    exit "$status"
fi

source "$here/wine-env.sh" 64
fail() { echo "wine-prefix: $*" >&2; exit 1; }
[ -x "$HOPPEL_WINE" ] || fail "$HOPPEL_WINE is missing; run scripts/setup.sh"
mkdir -p "$(dirname "$WINEPREFIX")"
exec 9>"$WINEPREFIX.lock"
flock -w 300 9 || fail "another run holds $WINEPREFIX.lock"
ready=$WINEPREFIX/.hoppel-ready-64-dpi$HOPPEL_DPI
[ -f "$ready" ] && exit 0
rm -rf "$WINEPREFIX"
timeout 180 "$HOPPEL_WINE" wineboot -i >"$WINEPREFIX.log" 2>&1 ||
    fail "wineboot could not make the prefix $WINEPREFIX (log: $WINEPREFIX.log)"
reg() { timeout 60 "$HOPPEL_WINE" reg add "$@" /f >>"$WINEPREFIX.log" 2>&1 || fail "reg add $1 failed"; }
# Without a window manager Wine otherwise waits 2 s at every window destruction.
reg 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N
# The dialogs' and message boxes' fonts, which the program does not choose,
# have no Japanese glyphs otherwise.
for f in Tahoma 'MS Shell Dlg' 'MS Shell Dlg 2' 'MS UI Gothic' 'MS Gothic'; do
    reg 'HKCU\Software\Wine\Fonts\Replacements' /v "$f" /t REG_SZ /d 'VL PGothic'
done
# The display scale Wine gives every program of the prefix.
reg 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$HOPPEL_DPI"
timeout 60 "$HOPPEL_WINESERVER" -w || fail "the wine server did not finish"
# Wine does not load its own fonts from /usr/share/wine/fonts: the caption buttons need them.
cp /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
touch "$ready"
