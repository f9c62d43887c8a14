#!/usr/bin/env bash
# ctest's emulator: wine-run.sh 32|64 PROGRAM ARGS... runs a Windows program of
# that width in the project's prefix. Its sounds go to an ALSA file sink,
# sound/played-PROGRAM.raw beside the program (in the build tree, wherever
# this was started from), whose Windows path the program finds in
# HOPPEL_SOUND_SINK. Without a display it starts a virtual one.
set -euo pipefail
here=$(dirname "${BASH_SOURCE[0]}")
width=$1; shift
"$here/wine-prefix.sh"
source "$here/wine-env.sh" "$width"
sink=$(dirname "$(realpath "$1")")/sound/played-$(basename "$1" .exe).raw
wine_sound_sink "$sink"
export HOPPEL_SOUND_SINK="Z:${sink//\//\\}"
if [ -z "${DISPLAY:-}" ]; then
    source "$here/common.sh"
    in_display 600 "$HOPPEL_WINE" "$@"
    exit
fi
exec "$HOPPEL_WINE" "$@"
