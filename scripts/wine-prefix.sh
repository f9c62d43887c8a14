#!/usr/bin/env bash
# Creates the project's Wine prefix once (about 11 s); later calls return at once.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"
mkdir -p "$(dirname "$WINEPREFIX")"
exec 9>"$WINEPREFIX.lock"
flock 9
[ -f "$WINEPREFIX/.hoppel-ready" ] && exit 0
rm -rf "$WINEPREFIX"
wineboot -i >/dev/null 2>&1
# Without a window manager Wine otherwise waits 2 s at every window destruction.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
# The default UI fonts have no Japanese glyphs.
for f in Tahoma 'MS Shell Dlg' 'MS Shell Dlg 2' 'MS UI Gothic' 'MS Gothic'; do
    wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$f" /t REG_SZ /d 'VL PGothic' /f >/dev/null 2>&1
done
wineserver -w
cp /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
touch "$WINEPREFIX/.hoppel-ready"
