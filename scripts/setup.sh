#!/usr/bin/env bash
# Installs what the build, the tests and the run need on Debian 12.
# Idempotent: prints nothing and changes nothing when everything is present.
set -euo pipefail

native=(cmake ninja-build g++ make googletest libgtest-dev libbenchmark-dev libstb-dev
        clang libclang-rt-14-dev)
cross=(g++-mingw-w64-i686 binutils-mingw-w64-i686)
desktop=(wine wine32:i386 fonts-wine xvfb xauth xdotool imagemagick fonts-vlgothic locales
         libxrender1:i386 libxcursor1:i386 libxrandr2:i386 libxi6:i386 libxinerama1:i386
         libxfixes3:i386 libxcomposite1:i386)

missing() {
    local p
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || echo "$p"
    done
}

sudo_() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }

export DEBIAN_FRONTEND=noninteractive
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    sudo_ dpkg --add-architecture i386
    need_update=1
fi
todo=$(missing "${native[@]}" "${cross[@]}" "${desktop[@]}")
if [ -n "$todo" ]; then
    echo "setup: installing $(echo $todo | wc -w) packages" >&2
    sudo_ apt-get update -qq
    # shellcheck disable=SC2086
    sudo_ apt-get install -y -qq --no-install-recommends $todo >/dev/null
elif [ -n "${need_update:-}" ]; then
    sudo_ apt-get update -qq
fi

# Without the generated locale the Japanese code page silently stays 1252 under Wine.
if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
    sudo_ sed -i 's/^# *ja_JP.UTF-8 UTF-8/ja_JP.UTF-8 UTF-8/' /etc/locale.gen
    sudo_ locale-gen >/dev/null
fi
