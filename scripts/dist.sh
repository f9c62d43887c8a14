#!/usr/bin/env bash
# make dist: builds both Windows exes as the tests build them, checks them
# (the release test of each; the end-to-end test of each width this host
# runs) and packs those very bytes into dist/: a zip per width holding
# hoppelmaru-<version>/ with hoppelmaru.exe, README.txt and LICENSE.txt, the
# exes themselves, BUILDINFO (the source date and the versions of the Debian
# packages that shape the bytes), and SHA256SUMS over every file. The same
# commit and packages give the same bytes anywhere. A tree with changes still
# builds, but its zips are named ...-dirty. Any failure ends it with one line
# and no dist/.
# dist.sh --unchecked FOLDER: the same files into FOLDER, without the tests;
# scripts/repro-check.sh compares two of them.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
start=$SECONDS
fail() { echo "dist: FAILED: $*" >&2; exit 1; }
source scripts/common.sh

out=$PWD/dist checked=1
if [ "${1:-}" = --unchecked ]; then
    [ $# = 2 ] || fail "usage: dist.sh [--unchecked FOLDER]"
    out=$(realpath -m "$2") checked=
fi
# An old dist/ is gone before anything else: a failed run leaves none.
rm -rf "$out"
[ -z "$checked" ] || must "setup (scripts/setup.sh)" scripts/setup.sh
command -v zip >/dev/null || fail "no zip tool on PATH (the zip package; scripts/setup.sh installs it)"
command -v unzip >/dev/null || fail "no unzip on PATH (the unzip package; scripts/setup.sh installs it)"

mkdir -p build
tmp=$(mktemp -d "$PWD/build/dist.XXXXXX")
trap 'rm -rf "$tmp"' EXIT
# The date the builds will stamp, read first: a checkout git will not read (no
# Git, another user's) stops here unless SOURCE_DATE_EPOCH gives it.
cmake -DSOURCE_DIR="$PWD" -DOUT="$tmp/epoch" -P cmake/source_date_epoch.cmake 2>"$tmp/epoch.log" ||
    fail "$(sed -n 's/^  //p' "$tmp/epoch.log" | tr '\n' ' ')"
epoch=$(cat "$tmp/epoch") && rm "$tmp"/epoch*

suffix=
if ! commit=$(git rev-parse --verify -q HEAD 2>/dev/null); then
    suffix=-dirty why="git reads no commit here" source="no Git commit"
elif [ -n "$(git status --porcelain)" ]; then
    suffix=-dirty why="the working tree differs from commit ${commit:0:7}" source="commit $commit with changes"
else
    source="commit $commit"
fi
[ -z "$suffix" ] || echo "dist: $why: the zips are named ...-dirty, since no commit builds them"

declare -A arch_of=([win32]=i686 [win64]=x86_64)
for preset in win32 win64; do
    must "$preset configure" cmake --preset $preset >/dev/null
    must "$preset build of hoppelmaru.exe" cmake --build --preset $preset --target hoppelmaru
    [ "$(cat build/$preset/source-date-epoch)" = "$epoch" ] || fail "the $preset build has another source date than $epoch"
    [ -z "$checked" ] ||
        must "the ${arch_of[$preset]} exe's release test" ctest --preset $preset -R '^exe_release$' --no-tests=error
done
source scripts/wine-env.sh
if [ -z "$checked" ]; then
    widths='' said="not tested (--unchecked)"
elif host_runs_i686; then
    widths="win64 win32" said="x86_64 and i686 tested end to end"
else
    widths="win64" said="x86_64 tested end to end; i686 not: this kernel does not run 32-bit programs"
fi
[ -z "$widths" ] || must "the Wine prefix (scripts/wine-prefix.sh)" scripts/wine-prefix.sh
for preset in $widths; do
    must "the ${arch_of[$preset]} end-to-end test" in_display 3000 scripts/wine-session.sh ctest --preset $preset -R '^e2e' --no-tests=error
done

version=$(sed -n 's/^#define HOPPEL_VERSION_TEXT "\(.*\)"$/\1/p' build/win32/app/win32/generated/hoppel_version.h)
[ -n "$version" ] || fail "no version in build/win32/app/win32/generated/hoppel_version.h"
# A zip holds local times from 1980 on: UTC, and not before 1980.
stamp=$((epoch >= 315532800 ? epoch : 315532800))
folder=hoppelmaru-$version
# README.txt for Notepad: UTF-8 with a byte-order mark and CRLF line ends.
crlf() { sed -e 's/\r$//' -e 's/$/\r/' "$@"; }
unset ZIPOPT ZIP  # zip reads its options from these too
zips=() exes=()
for preset in win32 win64; do
    arch=${arch_of[$preset]}
    stage=$tmp/stage-$arch
    mkdir -p "$stage/$folder" "$tmp/$arch"
    cp build/$preset/app/win32/hoppelmaru.exe "$stage/$folder/hoppelmaru.exe"
    { printf '\xef\xbb\xbf'; crlf release/README.txt | sed "s/@VERSION@/$version/g"; } >"$stage/$folder/README.txt"
    crlf LICENSE >"$stage/$folder/LICENSE.txt"
    cp build/$preset/app/win32/hoppelmaru.exe "$tmp/$arch/hoppelmaru.exe"
    chmod 755 "$stage/$folder" "$tmp/$arch"
    chmod 644 "$stage/$folder"/* "$tmp/$arch/hoppelmaru.exe"
    touch -d "@$stamp" "$stage/$folder" "$stage/$folder"/* "$tmp/$arch" "$tmp/$arch/hoppelmaru.exe"
    zip_name=hoppelmaru-$version-windows-$arch$suffix.zip
    # Entries in this order, no extra fields (host times, user ids), times in UTC.
    (cd "$stage" && TZ=UTC zip -q -X "$tmp/$zip_name" "$folder/" "$folder/hoppelmaru.exe" \
        "$folder/README.txt" "$folder/LICENSE.txt") || fail "zip could not write $zip_name"
    zips+=("$zip_name") exes+=("$arch/hoppelmaru.exe")
done
# The page: one self-contained file in its zip, and the static folder web/.
must "the page's zip and static folder (scripts/web-dist.sh)" scripts/web-dist.sh "$tmp" "$version" "$suffix" "$stamp"
zips+=("hoppelmaru-$version-web$suffix.zip")
rm -rf "$tmp"/stage-*
scripts/buildinfo.sh "Hoppelmaru $version$suffix" "$source" "$epoch" \
    build/win32 build/win64 build/web >"$tmp/BUILDINFO" || fail "BUILDINFO could not be written (scripts/buildinfo.sh)"
# Every file, whatever packed it, in one order.
(cd "$tmp" && find . -type f ! -name SHA256SUMS | sed 's|^\./||' | LC_ALL=C sort | xargs sha256sum >SHA256SUMS) ||
    fail "sha256sum failed"
chmod 644 "$tmp"/*.zip "$tmp/BUILDINFO" "$tmp/SHA256SUMS"
touch -d "@$stamp" "$tmp"/*.zip "$tmp/BUILDINFO" "$tmp/SHA256SUMS"
must "the packed files' check (scripts/dist-check.sh)" scripts/dist-check.sh "$tmp" "$version"
chmod 755 "$tmp"
mv "$tmp" "$out" || fail "could not move $tmp to $out"
trap - EXIT

echo "dist: $said"
for f in "${zips[@]}" "${exes[@]}" BUILDINFO; do
    printf 'dist: %-40s %9d bytes  %s\n' "$f" "$(stat -c %s "$out/$f")" "$(sha256sum "$out/$f" | cut -d' ' -f1)"
done
echo "dist: version $version$suffix, written to $out in $((SECONDS - start)) s"
