#!/usr/bin/env bash
# make web: builds the page and serves its static folder on 127.0.0.1 (the
# first line names the address; Ctrl+C ends it). With no display ($DISPLAY
# empty) it plays a short round in headless Chromium instead, leaves
# build/hoppelmaru-web-screenshot.png and stops. The one-file page,
# build/web/app/web/hoppelmaru.html, plays straight from disk too.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
source scripts/common.sh
fail() { echo "web: $*" >&2; exit 1; }
scripts/setup.sh || fail "setup failed (scripts/setup.sh)"
cmake --preset web >/dev/null || fail "cmake --preset web failed"
cmake --build --preset web --target hoppel_page || fail "the web build failed"
site=build/web/app/web/site
port=${HOPPEL_WEB_PORT:-8642}
# The first free port from there on.
while (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null; do port=$((port + 1)); done
url=http://127.0.0.1:$port/
echo "web: serving $site at $url (one file: build/web/app/web/hoppelmaru.html)"
if [ -n "${DISPLAY:-}" ]; then
    exec /usr/bin/python3 -m http.server --bind 127.0.0.1 --directory "$site" "$port"
fi
/usr/bin/python3 -m http.server --bind 127.0.0.1 --directory "$site" "$port" >/dev/null 2>&1 &
server=$!
trap 'kill $server 2>/dev/null' EXIT
for _ in $(seq 100); do (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null && break; sleep 0.1; done
echo "web: no display; playing a round in headless Chromium"
node_packages || fail "the page tests' npm packages (npm ci of tests/web/package-lock.json)"
timeout 300 node tests/web/round.js "$url" build/hoppelmaru-web-screenshot.png ||
    fail "the round in headless Chromium failed"
