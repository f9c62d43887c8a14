# Sourced: the environment every wine call of the project runs in.
#   source scripts/wine-env.sh [32|64]     (default 64)
# Then "$HOPPEL_WINE" runs a program of that width and "$HOPPEL_WINESERVER" is
# the server. One 64-bit prefix serves both widths (WoW64 where the kernel runs
# 32-bit programs). Set on their own lines: a wine started without a prefix or
# display can hang.
# HOPPEL_DPI (96 unless set) picks a prefix whose display has that DPI, one
# prefix for each: wineprefix at 96, wineprefix-dpiN otherwise, in
# HOPPEL_PREFIX_DIR (build/ unless set: runs side by side each take a folder
# of their own, for two runs in one prefix disturb each other).
HOPPEL_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
HOPPEL_WINE_WIDTH=${1:-64}
HOPPEL_DPI=${HOPPEL_DPI:-96}
export HOPPEL_PREFIX_DIR=${HOPPEL_PREFIX_DIR:-$HOPPEL_ROOT/build}
if [ "$HOPPEL_DPI" = 96 ]; then
    export WINEPREFIX=${HOPPEL_WINEPREFIX:-$HOPPEL_PREFIX_DIR/wineprefix}
else
    export WINEPREFIX=${HOPPEL_WINEPREFIX:-$HOPPEL_PREFIX_DIR/wineprefix-dpi$HOPPEL_DPI}
fi
export WINEDEBUG=-all
# The system locale Wine gives its programs: Japanese (code page 932) unless
# HOPPEL_LANG names another, e.g. C.UTF-8 (1252).
export LANG=${HOPPEL_LANG:-ja_JP.UTF-8}
# Both widths talk to the one 64-bit server of the prefix.
export WINESERVER=/usr/lib/wine/wineserver64
HOPPEL_WINESERVER=$WINESERVER
if [ "$HOPPEL_WINE_WIDTH" = 32 ]; then
    HOPPEL_WINE=/usr/lib/wine/wine
    unset WINELOADER
else
    HOPPEL_WINE=/usr/lib/wine/wine64
    export WINELOADER=$HOPPEL_WINE
fi
# No Mono/Gecko offer (it would hang headless), no menu builder, and no audio
# drivers until wine_sound_on or wine_sound_sink (sndPlaySound then fails fast).
hoppel_overrides="mscoree,mshtml=;winemenubuilder.exe=d"
export WINEDLLOVERRIDES="$hoppel_overrides;winealsa.drv,winepulse.drv=d"

# The host's own audio: the slaps are heard.
wine_sound_on() { export WINEDLLOVERRIDES=$hoppel_overrides; }

# wine_sound_sink FILE: every sound played goes, in order, into FILE as raw
# samples (an ALSA file sink) instead of to a sound card. FILE starts empty.
wine_sound_sink() {
    local file conf
    file=$(realpath -m "$1")
    # ALSA takes ALSA_CONFIG_PATH apart at spaces: the configuration lives in
    # a path without any, one per sink.
    conf=/tmp/hoppel-sink-$(printf '%s' "$file" | sha1sum | cut -c1-16).asoundrc
    mkdir -p "$(dirname "$file")"
    : >"$file"
    # A pipe that appends: the plugin reopens its file at each sound. The path
    # is quoted for the shell that runs the pipe, then for ALSA's string.
    local quoted="'${file//\'/\'\\\'\'}'"
    quoted=${quoted//\\/\\\\}
    quoted=${quoted//\"/\\\"}
    printf 'pcm.!default { type file; slave.pcm { type null }; file "|cat >> %s"; format "raw" }\n' \
        "$quoted" >"$conf"
    export ALSA_CONFIG_PATH=$conf
    export WINEDLLOVERRIDES="$hoppel_overrides;winepulse.drv=d"
}

# wine_session_start: the prefix's server, kept until wine_session_end, with
# Wine's own processes of a session (services, the desktop) started, so that
# no program started later pays for them or starts into a server that is
# shutting down. Bounded; says how long it took in $wine_session_took.
wine_session_start() {
    local start=$SECONDS
    # A server that is still winding down is waited for first; one that
    # outlived its run (its display gone) is ended.
    if ! timeout 60 "$HOPPEL_WINESERVER" -w 2>/dev/null; then
        echo "wine: the server of $WINEPREFIX ran on for 60 s; ended" >&2
        wine_session_end
    fi
    "$HOPPEL_WINESERVER" -p </dev/null >/dev/null 2>&1 || return 1
    # The desktop closes once no program uses it: a program that waits for a
    # message that never comes holds it until wine_session_end. (rundll32
    # passes WaitMessage arguments it ignores.)
    WINELOADER=/usr/lib/wine/wine64 /usr/lib/wine/wine64 rundll32.exe user32.dll,WaitMessage \
        </dev/null >/dev/null 2>&1 &
    # Any call that needs the desktop window returns once it is there.
    WINELOADER=/usr/lib/wine/wine64 timeout 300 /usr/lib/wine/wine64 rundll32.exe user32.dll,GetDesktopWindow \
        </dev/null >/dev/null 2>&1 || return 1
    wine_session_took=$((SECONDS - start))
}
wine_session_end() {
    "$HOPPEL_WINESERVER" -k 2>/dev/null || true
    timeout 60 "$HOPPEL_WINESERVER" -w 2>/dev/null || true
}
# True where scripts/wine-prefix.sh --session holds the sessions for this display.
wine_session_held() { [ -n "${DISPLAY:-}" ] && [ "${HOPPEL_WINE_SESSION:-}" = "$DISPLAY" ]; }

# True where the kernel runs 32-bit programs: elsewhere the 32-bit loader
# fails at once with status 126.
host_runs_i686() { /usr/lib/wine/wine --version >/dev/null 2>&1; }
