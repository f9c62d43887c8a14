#!/usr/bin/env bash
# Checks a folder written by make dist as its user gets it: the hashes of
# every file, BUILDINFO's date and packages, each zip's entries, that each
# unpacks to the exe of its width, and README.txt and LICENSE.txt as Notepad wants them (README.txt UTF-8 with a byte-order mark,
# both with CRLF line ends).
# Usage: dist-check.sh FOLDER VERSION
set -euo pipefail
dist=$(realpath "$1") version=$2
source "$(dirname "${BASH_SOURCE[0]}")/pe-lib.sh"
fail() { echo "dist-check: $*" >&2; exit 1; }

(cd "$dist" && sha256sum -c --quiet --strict SHA256SUMS) || fail "sha256sum -c SHA256SUMS fails in $dist"
unlisted=$(cd "$dist" && find . -type f ! -name SHA256SUMS | sed 's|^\./||' | LC_ALL=C sort |
    comm -23 - <(sed 's/^[0-9a-f]*  //' SHA256SUMS | LC_ALL=C sort))
[ -z "$unlisted" ] || fail "SHA256SUMS does not cover $(tr '\n' ' ' <<<"$unlisted")"
grep -qE '^Source date: [0-9]+ ' "$dist/BUILDINFO" || fail "BUILDINFO gives no source date"
for package in g++-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64-i686 binutils-mingw-w64-x86-64 \
    mingw-w64-i686-dev mingw-w64-x86-64-dev mingw-w64-common zip cmake; do
    awk -v p="$package" '/^  / && index($1, p) == 1 && NF == 3 { found = 1 } END { exit !found }' \
        "$dist/BUILDINFO" || fail "BUILDINFO names no $package package with its version"
done
folder=hoppelmaru-$version
unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
# bare_lf FILE: true when a line ends in LF alone, or the last line has no end.
bare_lf() { [ "$(tail -c 2 "$1" | od -An -tx1 | tr -d ' \n')" != 0d0a ] || grep -qv $'\r$' "$1"; }
for arch in i686 x86_64; do
    zip=
    for name in "hoppelmaru-$version-windows-$arch.zip" "hoppelmaru-$version-windows-$arch-dirty.zip"; do
        [ ! -f "$dist/$name" ] || zip=$name
    done
    [ -n "$zip" ] || fail "no $arch zip in $dist"
    [ "$(unzip -Z1 "$dist/$zip" | tr '\n' ' ')" = "$folder/ $folder/hoppelmaru.exe $folder/README.txt $folder/LICENSE.txt " ] ||
        fail "$zip holds $(unzip -Z1 "$dist/$zip" | tr '\n' ' '), not $folder/ with hoppelmaru.exe, README.txt, LICENSE.txt"
    extra=$(zipinfo -v "$dist/$zip" | grep -E 'length of extra field: +[1-9]') && fail "$zip has extra fields: $extra"
    mkdir "$unpacked/$arch"
    unzip -q "$dist/$zip" -d "$unpacked/$arch" || fail "$zip does not unpack"
    exe=$unpacked/$arch/$folder/hoppelmaru.exe
    cmp -s "$exe" "$dist/$arch/hoppelmaru.exe" || fail "$zip's exe is not $arch/hoppelmaru.exe"
    pe_open "$exe" || fail "$zip's exe is no PE file"
    case $arch:$(pe_u $((pe_at + 4)) 2) in
        i686:332 | x86_64:34404) ;;
        *) fail "$zip's exe is not an $arch exe" ;;
    esac
    readme=$unpacked/$arch/$folder/README.txt
    [ "$(head -c 3 "$readme" | od -An -tx1 | tr -d ' \n')" = efbbbf ] || fail "$zip: README.txt has no UTF-8 byte-order mark"
    iconv -f UTF-8 -t UTF-8 "$readme" >/dev/null 2>&1 || fail "$zip: README.txt is not UTF-8"
    ! grep -q @VERSION@ "$readme" || fail "$zip: README.txt still says @VERSION@"
    license=$unpacked/$arch/$folder/LICENSE.txt
    grep -q 'Copyright (c) 2026 the Hoppelmaru authors' "$license" || fail "$zip: LICENSE.txt has no copyright line"
    for f in "$readme" "$license"; do
        ! bare_lf "$f" || fail "$zip: $(basename "$f") has a line without CRLF"
    done
done
echo "dist-check: $dist: hashes, entries, widths and texts as they should be"
