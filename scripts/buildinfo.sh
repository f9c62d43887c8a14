#!/usr/bin/env bash
# Writes BUILDINFO to stdout: what a release was built from and the exact
# Debian packages whose versions shape its bytes, found from the tools and
# files each CMake build folder used (compilers, their libraries and headers,
# assembler, linker, resource compiler, CMake), plus zip. Nothing of the
# machine or the hour: the same sources and packages give the same file.
# Usage: buildinfo.sh TITLE SOURCE EPOCH BUILD_DIR...
set -euo pipefail
title=$1 source=$2 epoch=$3
shift 3
fail() { echo "buildinfo: $*" >&2; exit 1; }
command -v dpkg-query >/dev/null || fail "no dpkg-query: BUILDINFO names Debian packages"

files=("$(command -v zip)")
for dir in "$@"; do
    cache() { sed -n "s/^$1:INTERNAL=//p" "$dir/CMakeCache.txt" 2>/dev/null || true; }
    # What the CMake of the cache found; an older CMake's folder may lie beside it.
    detected=$dir/CMakeFiles/$(cache CMAKE_CACHE_MAJOR_VERSION).$(cache CMAKE_CACHE_MINOR_VERSION).$(cache CMAKE_CACHE_PATCH_VERSION)
    [ -d "$detected" ] || fail "$dir is no configured CMake build folder"
    tool() { sed -n "s/^set($1 \"\(.*\)\")\$/\1/p" "$detected"/*.cmake | head -n 1; }
    cxx=$(tool CMAKE_CXX_COMPILER) rc=$(tool CMAKE_RC_COMPILER)
    [ -n "$cxx" ] || fail "$dir names no C++ compiler"
    files+=("$cxx" "$(tool CMAKE_C_COMPILER)" "$(tool CMAKE_LINKER)" "$(tool CMAKE_AR)"
        "$(cache CMAKE_COMMAND)" "$(cache CMAKE_ROOT)/Modules/CMakeCXXInformation.cmake")
    for query in -print-prog-name=cc1plus -print-prog-name=as -print-prog-name=ld \
        -print-libgcc-file-name -print-file-name=libstdc++.a -print-file-name=crt2.o; do
        files+=("$("$cxx" "$query" 2>/dev/null || true)")
    done
    # The headers of the C++ library and of the C runtime beneath it.
    mapfile -t -O "${#files[@]}" files < <(printf '#include <cstdio>\n' | "$cxx" -x c++ -M - 2>/dev/null |
        tr ' ' '\n' | grep '^/' || true)
    if [ -n "$rc" ]; then
        rc=$(command -v "$rc") || fail "$dir's resource compiler is not on PATH"
        # It preprocesses with the C compiler of its own name.
        files+=("$rc" "$(command -v "${rc%windres}gcc" || true)")
    fi
done

# Bare names are what a compiler answers for a file it does not have.
mapfile -t paths < <(for file in "${files[@]}"; do
    [ "${file#/}" = "$file" ] || [ ! -e "$file" ] || realpath -e "$file"
done | LC_ALL=C sort -u)
# One query for all: dpkg reads its whole file list each time.
owners=$(dpkg-query -S "${paths[@]}" 2>/dev/null | grep -v '^diversion by') || true
unowned=$(LC_ALL=C comm -23 <(printf '%s\n' "${paths[@]}") <(sed 's|^.*: /|/|' <<<"$owners" | LC_ALL=C sort -u))
[ -z "$unowned" ] || fail "no installed Debian package holds $(tr '\n' ' ' <<<"$unowned")"
packages=$(sed 's|: /.*||' <<<"$owners" | tr ',' '\n' | sed 's/^ *//; s/:.*//' | LC_ALL=C sort -u)

echo "$title"
echo "Source: $source"
echo "Source date: $epoch ($(date -u -d "@$epoch" +%Y-%m-%dT%H:%M:%SZ)), the SOURCE_DATE_EPOCH to rebuild with"
echo "Debian packages that shape the bytes (name, version, architecture):"
xargs dpkg-query -W -f '  ${Package} ${Version} ${Architecture}\n' <<<"$packages" ||
    fail "dpkg-query cannot say the versions"
