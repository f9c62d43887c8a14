#!/usr/bin/env bash
# Packs the release twice as make dist does (scripts/dist.sh --unchecked) and
# fails on any byte that differs: once from this tree's builds, the exes the
# tests test, once from a copy of the tree in another folder, built from
# nothing under another umask and time zone. Every file of the two is
# compared, whatever packed it; for an exe the first differing offset's PE
# field is named. The source date must come from git (or SOURCE_DATE_EPOCH):
# where git cannot read the commit, the build refuses, never guesses.
# repro-check.sh --compare FOLDER FOLDER: only compares two releases, e.g. a
# rebuilt dist/ and a downloaded one.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
source scripts/pe-lib.sh
fail() { echo "repro: $*" >&2; exit 1; }
start=$SECONDS

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

if [ "${1:-}" = --compare ]; then
    [ $# = 3 ] || fail "usage: repro-check.sh [--compare FOLDER FOLDER]"
    compare "$(realpath "$2")" "$(realpath "$3")"
    exit
fi
work=$PWD/build/repro
rm -rf "$work"
mkdir -p "$work/dated" "$work/plain"

# pack NAME: the release into $work/NAME, its log beside it.
pack() {
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
