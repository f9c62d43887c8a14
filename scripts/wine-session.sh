#!/usr/bin/env bash
# wine-session.sh COMMAND...: runs the command (a test run) in the current
# display with the Wine session of the tests' prefix started before it and
# ended after it: no test pays for the start, and none starts into a server
# that is shutting down. Exits as the command. (The 144 and 192 DPI tests run
# in displays and sessions of their own: two prefixes' sessions on one display
# disturb each other.)
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
[ -n "${DISPLAY:-}" ] || { echo "wine-session: no display" >&2; exit 1; }
dpis="96"
# in_prefix DPI COMMAND...: the command in that prefix's environment.
in_prefix() { (export HOPPEL_DPI=$1 && shift && source "$here/wine-env.sh" 64 && "$@"); }
started() { wine_session_start && echo "$wine_session_took"; }
trap 'for dpi in $dpis; do in_prefix "$dpi" wine_session_end; done' EXIT
# The start's times, for the report of a window that never shows.
HOPPEL_WINE_SESSION_TIMES=
for dpi in $dpis; do
    HOPPEL_DPI=$dpi "$here/wine-prefix.sh"
    took=$(in_prefix "$dpi" started) || { echo "wine-session: the Wine session at $dpi DPI did not start" >&2; exit 1; }
    HOPPEL_WINE_SESSION_TIMES+="${HOPPEL_WINE_SESSION_TIMES:+, }$dpi DPI in $took s"
done
echo "wine-session: started at $HOPPEL_WINE_SESSION_TIMES"
export HOPPEL_WINE_SESSION=$DISPLAY HOPPEL_WINE_SESSION_TIMES
status=0
"$@" || status=$?
exit "$status"
