#!/usr/bin/env bash
# Runs a Windows program under wine in the project's prefix; ctest's emulator.
# Without a display it starts a virtual one for the program's lifetime.
set -euo pipefail
here=$(dirname "${BASH_SOURCE[0]}")
"$here/wine-prefix.sh"
source "$here/wine-env.sh"
if [ -z "${DISPLAY:-}" ]; then
    exec xvfb-run -a -s '-screen 0 1024x768x24' wine "$@"
fi
exec wine "$@"
