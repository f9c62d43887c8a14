#!/usr/bin/env bash
# Installs what the build, the tests and the run need on Debian 12.
# Idempotent: prints nothing and changes nothing when everything is present.
# Any failure ends it with one line naming what failed and what to do.
# setup.sh native: only what the native build and its tests need; make test
# installs that first and builds while the rest installs.
set -euo pipefail

native=(cmake ninja-build g++ make googletest libgtest-dev libbenchmark-dev libstb-dev
        clang libclang-rt-14-dev clang-format python3)
cross=(g++-mingw-w64-i686-posix binutils-mingw-w64-i686
       g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64)
# Wine for both widths (wine32 is installed even where the kernel cannot run it)
# and the X libraries its drivers load, which are only recommended.
xlibs=(libxrender1 libxcursor1 libxrandr2 libxi6 libxinerama1 libxfixes3 libxcomposite1)
desktop=(wine wine64 wine32:i386 fonts-wine xvfb xauth xdotool imagemagick fonts-vlgothic locales
         "${xlibs[@]}" "${xlibs[@]/%/:i386}")

# make dist packs and checks the zips.
release=(zip unzip)
# The browser build and its tests: Debian's Emscripten (its system libraries
# come prebuilt: nothing is downloaded), the three browser engines the page is
# tested in (their clients come from npm, see tests/web/package.json), and an
# X drag source for drops from the desktop.
web=(emscripten nodejs chromium firefox-esr webkit2gtk-driver)
drag=(python3-xlib)
# Debian's nodejs comes without npm, which is a package of its own there; a
# nodejs that carries npm (and conflicts with that package) needs nothing more.
command -v npm >/dev/null || web+=(npm)

fail() { echo "setup: $*" >&2; exit 1; }

missing() {
    local p
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || echo "$p"
    done
}

sudo_() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }

command -v dpkg-query >/dev/null && command -v apt-get >/dev/null ||
    fail "this is no Debian system (no dpkg/apt-get); install the packages listed in scripts/setup.sh by hand"
[ "$(id -u)" -eq 0 ] || command -v sudo >/dev/null || fail "run as root or install sudo"

export DEBIAN_FRONTEND=noninteractive
log=$(mktemp "${TMPDIR:-/tmp}/hoppel-setup.XXXXXX")
trap 'rm -f "$log"' EXIT
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    sudo_ dpkg --add-architecture i386 || fail "could not add the i386 architecture (dpkg --add-architecture i386)"
    need_update=1
fi
todo=$(missing "${native[@]}" "${cross[@]}" "${desktop[@]}" "${release[@]}" "${web[@]}" "${drag[@]}")
[ "${1:-}" != native ] || todo=$(missing "${native[@]}")
if [ -n "$todo" ] || [ -n "${need_update:-}" ]; then
    [ -z "$todo" ] || echo "setup: installing $(echo $todo | wc -w) packages" >&2
    sudo_ timeout 600 apt-get update -qq >"$log" 2>&1 ||
        { tail -n 5 "$log" >&2; fail "apt-get update failed: check the network and /etc/apt/sources.list"; }
fi
if [ -n "$todo" ]; then
    # shellcheck disable=SC2086
    sudo_ timeout 1800 apt-get install -y -qq --no-install-recommends $todo >"$log" 2>&1 ||
        { tail -n 5 "$log" >&2; fail "apt-get install failed for: $(echo $todo)"; }
    still=$(missing $todo)
    [ -z "$still" ] || fail "still missing after apt-get install: $(echo $still)"
fi

[ "${1:-}" = native ] || command -v npm >/dev/null || fail "npm is missing (Debian's package npm; the page tests install their packages with it)"

# Without the generated locale the Japanese code page silently stays 1252 under Wine.
if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
    sudo_ sed -i 's/^# *ja_JP.UTF-8 UTF-8/ja_JP.UTF-8 UTF-8/' /etc/locale.gen
    sudo_ locale-gen >/dev/null || fail "locale-gen could not make ja_JP.UTF-8"
fi
