# Sourced: the environment every wine call of the project runs in.
# Set on their own lines: a wine started without a prefix or display can hang.
HOPPEL_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEPREFIX=${HOPPEL_WINEPREFIX:-$HOPPEL_ROOT/build/wineprefix}
export WINEDEBUG=-all
# No Mono/Gecko offer (it would hang headless), no menu builder, no audio drivers
# (sndPlaySound then fails fast instead of printing ALSA errors).
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d;winealsa.drv,winepulse.drv=d"
export LANG=ja_JP.UTF-8
