#!/usr/bin/env bash
# Builds the i686 exe a second time from a copy of the sources in another
# folder, with another umask and time zone, and fails on any byte that differs
# from build/win32's, naming the first differing offset and its PE field.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
source scripts/pe-lib.sh
fail() { echo "repro: $*" >&2; exit 1; }

cmake --preset win32 >/dev/null || fail "win32 configure failed"
cmake --build --preset win32 --target hoppelmaru >/dev/null || fail "the win32 build failed"
first=build/win32/app/win32/hoppelmaru.exe
# The copy has no Git history: it takes the first build's source date.
epoch=$(cat build/win32/source-date-epoch)

work=$PWD/build/repro
rm -rf "$work"
mkdir -p "$work/sources"
tar --exclude=./build --exclude=./dist --exclude=./.git -cf - . | tar -xf - -C "$work/sources"
(
    umask 0077
    export TZ=Pacific/Kiritimati SOURCE_DATE_EPOCH=$epoch
    cd "$work/sources"
    cmake --preset win32 -B "$work/build" >"$work/build.log" 2>&1 &&
        cmake --build "$work/build" --target hoppelmaru >>"$work/build.log" 2>&1
) || { tail -n 5 "$work/build.log" >&2 || true; fail "the second i686 build failed (log: $work/build.log)"; }
second=$work/build/app/win32/hoppelmaru.exe

if cmp -s "$first" "$second"; then
    echo "repro: the i686 exe built twice is the same $(stat -c %s "$first") bytes ($(sha256sum "$first" | cut -c1-16)...)"
    exit 0
fi
[ "$(stat -c %s "$first")" = "$(stat -c %s "$second")" ] ||
    echo "repro: $first is $(stat -c %s "$first") bytes, $second $(stat -c %s "$second")" >&2
pe_open "$first" || fail "$first is no PE file"
# cmp counts from 1. The checksum differs whenever anything else does: name
# the first difference past it too.
mapfile -t offsets < <(cmp -l "$first" "$second" 2>/dev/null | awk '{ print $1 - 1 }' | head -n 100000)
[ ${#offsets[@]} -gt 0 ] || offsets=($(($(stat -c %s "$first") < $(stat -c %s "$second") ? $(stat -c %s "$first") : $(stat -c %s "$second"))))
report="first at 0x$(printf %x "${offsets[0]}"): $(pe_field "${offsets[0]}")"
checksum=$((pe_opt + 64))
for off in "${offsets[@]}"; do
    if [ "$off" -ge $((checksum + 4)) ] || [ "$off" -lt "$checksum" ]; then
        [ "$off" = "${offsets[0]}" ] || report+="; first outside the checksum at 0x$(printf %x "$off"): $(pe_field "$off")"
        break
    fi
done
fail "the i686 exe differs between two builds of the same sources (${#offsets[@]} bytes differ; $report): $first, $second"
