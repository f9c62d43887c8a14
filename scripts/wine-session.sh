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
# The tests' prefix, at 96 DPI: COMMAND... in its environment.
in_prefix() { (export HOPPEL_DPI=96 && source "$here/wine-env.sh" 64 && "$@"); }
started() { wine_session_start && echo "$wine_session_took"; }
trap 'in_prefix wine_session_end' EXIT
HOPPEL_DPI=96 "$here/wine-prefix.sh"
took=$(in_prefix started) || { echo "wine-session: the Wine session at 96 DPI did not start" >&2; exit 1; }
# The start's time, for the report of a window that never shows.
export HOPPEL_WINE_SESSION=$DISPLAY HOPPEL_WINE_SESSION_TIMES="96 DPI in $took s"
echo "wine-session: started at $HOPPEL_WINE_SESSION_TIMES"
status=0
"$@" || status=$?
exit "$status"
