#!/usr/bin/env bash
# make dist: builds both Windows exes as the tests build them, checks them
# (the release test of each; the end-to-end test of each width this host
# runs) and packs those very bytes into dist/: a zip per width holding
# hoppelmaru-<version>/ with hoppelmaru.exe, README.txt and LICENSE.txt, the
# exes themselves, and SHA256SUMS over all four. The same commit gives the
# same bytes anywhere. A tree with changes still builds, but its zips are
# named ...-dirty. Any failure ends it with one line and no dist/.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
start=$SECONDS
fail() { echo "dist: FAILED: $*" >&2; exit 1; }
must() {
    local what=$1 status=0
    shift
    "$@" || status=$?
    [ "$status" -eq 0 ] || fail "$what (exit $status)"
}
in_display() { timeout 1200 xvfb-run -a -s '-screen 0 1024x768x24' "$@"; }

# An old dist/ is gone before anything else: a failed run leaves none.
rm -rf dist
must "setup (scripts/setup.sh)" scripts/setup.sh
command -v zip >/dev/null || fail "no zip tool on PATH (the zip package; scripts/setup.sh installs it)"
command -v unzip >/dev/null || fail "no unzip on PATH (the unzip package; scripts/setup.sh installs it)"

suffix=
if ! git rev-parse --verify -q HEAD >/dev/null 2>&1; then
    suffix=-dirty why="this is no Git checkout"
elif [ -n "$(git status --porcelain)" ]; then
    suffix=-dirty why="the working tree differs from commit $(git rev-parse --short HEAD)"
fi
[ -z "$suffix" ] || echo "dist: $why: the zips are named ...-dirty, since no commit builds them"

declare -A arch_of=([win32]=i686 [win64]=x86_64)
for preset in win32 win64; do
    must "$preset configure" cmake --preset $preset >/dev/null
    must "$preset build of hoppelmaru.exe" cmake --build --preset $preset --target hoppelmaru
    must "the ${arch_of[$preset]} exe's release test" ctest --preset $preset -R '^exe_release$' --no-tests=error
done
source scripts/wine-env.sh
if host_runs_i686; then
    widths="win64 win32" said="x86_64 and i686 tested end to end"
else
    widths="win64" said="x86_64 tested end to end; i686 not: this kernel does not run 32-bit programs"
fi
must "the Wine prefix (scripts/wine-prefix.sh)" scripts/wine-prefix.sh
for preset in $widths; do
    must "the ${arch_of[$preset]} end-to-end test" in_display ctest --preset $preset -R '^e2e' --no-tests=error
done

version=$(sed -n 's/^#define HOPPEL_VERSION_TEXT "\(.*\)"$/\1/p' build/win32/app/win32/generated/hoppel_version.h)
[ -n "$version" ] || fail "no version in build/win32/app/win32/generated/hoppel_version.h"
epoch=$(cat build/win32/source-date-epoch)
[ "$epoch" = "$(cat build/win64/source-date-epoch)" ] || fail "the two builds have different source dates"
# A zip holds local times from 1980 on: UTC, and not before 1980.
[ "$epoch" -ge 315532800 ] || epoch=315532800
folder=hoppelmaru-$version

tmp=$(mktemp -d "$PWD/build/dist.XXXXXX")
trap 'rm -rf "$tmp"' EXIT
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
    touch -d "@$epoch" "$stage/$folder" "$stage/$folder"/* "$tmp/$arch" "$tmp/$arch/hoppelmaru.exe"
    zip_name=hoppelmaru-$version-windows-$arch$suffix.zip
    # Entries in this order, no extra fields (host times, user ids), times in UTC.
    (cd "$stage" && TZ=UTC zip -q -X "$tmp/$zip_name" "$folder/" "$folder/hoppelmaru.exe" \
        "$folder/README.txt" "$folder/LICENSE.txt") || fail "zip could not write $zip_name"
    zips+=("$zip_name") exes+=("$arch/hoppelmaru.exe")
done
must "the page's zip and static folder (scripts/web-dist.sh)" scripts/web-dist.sh "$tmp" "$version" "$suffix" "$epoch"
zips+=("hoppelmaru-$version-web$suffix.zip")
(cd "$tmp" && sha256sum "${zips[@]}" "${exes[@]}" >SHA256SUMS) || fail "sha256sum failed"
chmod 644 "$tmp"/*.zip "$tmp/SHA256SUMS"
touch -d "@$epoch" "$tmp"/*.zip "$tmp/SHA256SUMS"
rm -rf "$tmp"/stage-*
must "the packed files' check (scripts/dist-check.sh)" scripts/dist-check.sh "$tmp" "$version"
chmod 755 "$tmp"
mv "$tmp" dist || fail "could not move $tmp to dist"
trap - EXIT

echo "dist: $said"
for f in "${zips[@]}" "${exes[@]}"; do
    printf 'dist: %-40s %9d bytes  %s\n' "$f" "$(stat -c %s "dist/$f")" "$(sha256sum "dist/$f" | cut -d' ' -f1)"
done
echo "dist: version $version$suffix, written to dist/ in $((SECONDS - start)) s"
