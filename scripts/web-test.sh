#!/usr/bin/env bash
# The browser build's tests: the unit tests of stream/, image/ and app/ as
# wasm under Node, then the page itself in Chromium, Firefox and WebKit side
# by side (tests/web/page_test.js; logs and shots in build/web/page-test).
# Any failure ends it with one line naming what failed.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
source scripts/common.sh
fail() { echo "web-test: FAILED: $*" >&2; exit 1; }

cmake --preset web >/dev/null || fail "web configure"
cmake --build --preset web || fail "web build"
ctest --preset web || fail "the wasm unit tests under Node"

# The expected pictures come from the native logic on the same seeded steps.
[ -f build/native/build.ninja ] || cmake --preset native >/dev/null || fail "native configure"
cmake --build --preset native --target hoppel_scripted_run >/dev/null || fail "the native scripted run"
node_packages || fail "the page tests' npm packages (npm ci of tests/web/package-lock.json)"
out=build/web/page-test
rm -rf "$out" && mkdir -p "$out"
args=(build/web/app/web/site build/web/app/web/hoppelmaru.html resources
      build/native/tests/app/hoppel_scripted_run tests/app/scripted_run.txt "$out")
engines=(chromium firefox webkit)
timeout 900 node tests/web/page_test.js chromium "${args[@]}" >"$out/chromium.log" 2>&1 & pids=($!)
timeout 900 node tests/web/page_test.js firefox "${args[@]}" >"$out/firefox.log" 2>&1 & pids+=($!)
# WebKitGTK's browser needs an X display, here one with room for a phone's window at ratio 3.
hoppel_screen=2600x2600 in_display 900 node tests/web/page_test.js webkit "${args[@]}" >"$out/webkit.log" 2>&1 & pids+=($!)
failed=()
for i in 0 1 2; do wait "${pids[$i]}" || failed+=("${engines[$i]}"); done
grep -h '^page test in' "$out"/*.log || true
[ ${#failed[@]} -eq 0 ] ||
    fail "the page in ${failed[*]} ($(grep -h '^FAIL' "$out"/*.log | head -n 3 | cut -c7- | paste -sd';' -); logs in $out)"
cp "$out/chromium/page-dpr2.png" build/hoppelmaru-web-dpr2.png
echo "web-test: the page passed in Chromium, Firefox and WebKit"
