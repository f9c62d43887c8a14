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
# dist.sh --unchecked FOLDER: the same files into FOLDER, without the tests.
# dist.sh --reproduce: packs the release twice that way and fails on any byte
# that differs: once from this tree's builds, the exes the tests test, once
# from a copy of the tree in another folder, built from nothing under another
# umask and time zone. Every file of the two is compared, whatever packed it;
# for an exe the first differing offset's PE field is named. The source date
# must come from git (or SOURCE_DATE_EPOCH): where git cannot read the
# commit, the build refuses, never guesses.
# dist.sh --compare FOLDER FOLDER: only compares two releases, e.g. a rebuilt
# dist/ and a downloaded one.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
start=$SECONDS
fail() { echo "dist: FAILED: $*" >&2; exit 1; }
source scripts/common.sh

reproduce() {
    # first_difference A B: where two files part, and for exes in which PE field.
    first_difference() {
        local a=$1 b=$2 offsets off report checksum
        [ "$(stat -c %s "$a")" = "$(stat -c %s "$b")" ] || echo -n "$(stat -c %s "$a") bytes against $(stat -c %s "$b"); "
        # cmp counts from 1.
        mapfile -t offsets < <(cmp -l "$a" "$b" 2>/dev/null | awk '{ print $1 - 1 }' | head -n 100000)
        [ ${#offsets[@]} -gt 0 ] || offsets=($(($(stat -c %s "$a") < $(stat -c %s "$b") ? $(stat -c %s "$a") : $(stat -c %s "$b"))))
        report="${#offsets[@]} bytes differ, the first at 0x$(printf %x "${offsets[0]}")"
        if [ "${a%.exe}" != "$a" ] && pe_open "$a" 2>/dev/null; then
            report+=": $(pe_field "${offsets[0]}")"
            # The checksum differs whenever anything else does: name the first
            # difference past it too.
            checksum=$((pe_opt + 64))
            for off in "${offsets[@]}"; do
                if [ "$off" -ge $((checksum + 4)) ] || [ "$off" -lt "$checksum" ]; then
                    [ "$off" = "${offsets[0]}" ] || report+="; first outside the checksum at 0x$(printf %x "$off"): $(pe_field "$off")"
                    break
                fi
            done
        fi
        echo "$report"
    }
    # compare FIRST SECOND: fails on any file or byte in which two releases differ.
    compare() {
        local first=$1 second=$2 files report f
        files=$(cd "$first" && find . -type f | LC_ALL=C sort)
        [ "$files" = "$(cd "$second" && find . -type f | LC_ALL=C sort)" ] ||
            fail "the two releases hold other files: $(diff <(echo "$files") <(cd "$second" && find . -type f | LC_ALL=C sort) |
                sed -n 's/^\([<>]\) \.\//\1 /p' | tr '\n' ' ')"
        report=
        while read -r f; do
            f=${f#./}
            cmp -s "$first/$f" "$second/$f" || report+="$f ($(first_difference "$first/$f" "$second/$f")); "
        done <<<"$files"
        [ -z "$report" ] || fail "the two releases of the same sources differ: ${report%; } ($first, $second)"
        echo "repro: the two releases are the same, file for file ($(wc -l <<<"$files") files," \
            "SHA256SUMS $(sha256sum "$first/SHA256SUMS" | cut -c1-16)...) in $((SECONDS - start)) s"
    }

    if [ "$1" = --compare ]; then
        [ $# = 3 ] || fail "usage: dist.sh --compare FOLDER FOLDER"
        compare "$(realpath "$2")" "$(realpath "$3")"
        exit
    fi
    work=$PWD/build/repro
    rm -rf "$work"
    mkdir -p "$work/dated" "$work/plain"

    # pack NAME: the release into $work/NAME, its log beside it.
    pack() {
        # The folder's own script: the second release is packed by the copy's.
        scripts/dist.sh --unchecked "$work/$1" >"$work/$1.log" 2>&1 ||
            { tail -n 5 "$work/$1.log" >&2 || true; fail "the $1 release failed (log: $work/$1.log)"; }
    }
    pack first

    # source_date DIR [ENV...]: the date the build would stamp for DIR.
    source_date() {
        local dir=$1
        shift
        env -u SOURCE_DATE_EPOCH "$@" "$(command -v cmake)" -DSOURCE_DIR="$dir" -DOUT="$work/date" -P cmake/source_date_epoch.cmake \
            2>"$work/date.log" && cat "$work/date"
    }
    git -C "$work/dated" init -q && GIT_COMMITTER_DATE=@1700000000 git -C "$work/dated" commit -q --allow-empty -m dated ||
        fail "git could not make a repository to date"
    date=$(source_date "$work/dated") || fail "no source date for a commit git made here: $(tr -s '\n ' ' ' <"$work/date.log")"
    [ "$date" = 1700000000 ] || fail "the source date of a commit of 1700000000 is $date"
    # refused DIR [ENV...]: git cannot read DIR's commit there, and the date says why.
    refused() {
        ! date=$(source_date "$@") || fail "a source date ($date) where git cannot read the commit: $*"
        grep -q 'no source date' "$work/date.log" || fail "no reason given where git cannot read the commit: $*"
    }
    # git's own switch for a repository of another user, whom no safe.directory trusts.
    refused "$work/dated" GIT_TEST_ASSUME_DIFFERENT_OWNER=1 GIT_CONFIG_GLOBAL=/dev/null GIT_CONFIG_NOSYSTEM=1
    refused "$work/dated" PATH=/nonexistent
    refused "$work/plain" GIT_CEILING_DIRECTORIES="$work"

    mkdir "$work/sources"
    if git rev-parse --git-dir >/dev/null 2>&1; then
        # A clone under the copied files: git there reads the same commit, date
        # and changes, so the copy's names and BUILDINFO are the tree's.
        exclude=$(git rev-parse --git-path info/exclude)
        git clone -q --shared --no-checkout . "$work/sources" && git -C "$work/sources" read-tree HEAD &&
            { [ ! -f "$exclude" ] || cp "$exclude" "$work/sources/.git/info/exclude"; } ||
            fail "could not clone this checkout into $work/sources"
    fi
    tar --exclude=./build --exclude=./dist --exclude=./.git -cf - . | tar -xf - -C "$work/sources"
    (
        umask 0077
        export TZ=Pacific/Kiritimati
        cd "$work/sources"
        pack second
    )

    compare "$work/first" "$work/second"
}

if [ "${1:-}" = --reproduce ] || [ "${1:-}" = --compare ]; then
    source scripts/pe-lib.sh
    fail() { echo "repro: $*" >&2; exit 1; }
    reproduce "$@"
    exit
fi

out=$PWD/dist checked=1
if [ "${1:-}" = --unchecked ]; then
    [ $# = 2 ] || fail "usage: dist.sh [--unchecked FOLDER | --reproduce | --compare FOLDER FOLDER]"
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
    must "the ${arch_of[$preset]} end-to-end test" in_display 3000 scripts/wine-prefix.sh --session ctest --preset $preset -R '^e2e' --no-tests=error
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
