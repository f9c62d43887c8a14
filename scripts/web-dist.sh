#!/usr/bin/env bash
# make dist's page step: builds the web preset and packs into DIR
# hoppelmaru-<version>-web[-dirty].zip, holding the one self-contained
# hoppelmaru.html, and web/, the static folder for a web server (page, styles,
# script, the module's JavaScript and wasm, resources). Same bytes from the
# same commit: file times are the commit's, entries in a fixed order.
# Usage: web-dist.sh DIR VERSION SUFFIX EPOCH
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
dir=$1 version=$2 suffix=$3 epoch=$4
fail() { echo "web-dist: FAILED: $*" >&2; exit 1; }
cmake --preset web >/dev/null || fail "web configure"
cmake --build --preset web --target hoppel_page || fail "web build of the page"
built=build/web/app/web
stage=$(mktemp -d "$dir/stage-web.XXXXXX")
cp "$built/hoppelmaru.html" "$stage/hoppelmaru.html"
chmod 644 "$stage/hoppelmaru.html"
touch -d "@$epoch" "$stage/hoppelmaru.html"
(cd "$stage" && TZ=UTC zip -q -X "$dir/hoppelmaru-$version-web$suffix.zip" hoppelmaru.html) ||
    fail "zip could not write the page's zip"
rm -rf "$stage"
cp -R "$built/site" "$dir/web"
find "$dir/web" -type d -exec chmod 755 {} + -o -type f -exec chmod 644 {} +
find "$dir/web" -exec touch -d "@$epoch" {} +
