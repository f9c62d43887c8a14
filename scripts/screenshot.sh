#!/usr/bin/env bash
# Makes docs/screenshot.png, the README's picture of the program, anew: the
# round that make run plays without a display (five slaps, the hand over the
# figure), its screenshot stripped of the PNG's time chunks.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
shot=build/hoppelmaru-screenshot.png
fail() { echo "screenshot: $*" >&2; exit 1; }
rm -f "$shot"
DISPLAY='' scripts/run.sh || fail "the round without a display failed (scripts/run.sh)"
[ -s "$shot" ] || fail "the round left no $shot"
mkdir -p docs
/usr/bin/convert "$shot" -strip docs/screenshot.png || fail "could not write docs/screenshot.png"
echo "screenshot: docs/screenshot.png ($(/usr/bin/identify -format '%w x %h' docs/screenshot.png))"
