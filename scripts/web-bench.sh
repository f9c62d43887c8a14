#!/usr/bin/env bash
# make bench's browser figures, in one run: the slap, the composition, BMP
# decoding and encoding in the wasm build under Node against the same
# workloads natively (ratios), a click to its pixels in headless Chromium,
# and the page's sizes against their budgets.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
source scripts/common.sh
fail() { echo "web-bench: FAILED: $*" >&2; exit 1; }
cmake --preset web >/dev/null || fail "web configure"
cmake --build --preset web --target hoppel_page hoppel_web_bench >/dev/null || fail "web build"
[ -f build/bench/build.ninja ] || cmake --preset bench >/dev/null || fail "bench configure"
cmake --build --preset bench --target hoppel_web_bench >/dev/null || fail "native build of hoppel_web_bench"
native=$(build/bench/bench/hoppel_web_bench resources) || fail "the native run"
wasm=$(/usr/bin/node --no-experimental-fetch build/web/app/web/hoppel_web_bench.js resources) || fail "the wasm run"
echo "browser build (wasm, -O3 -msimd128, under Node) against native (g++ -O3), microseconds per call:"
# Budgets: slap and composition within 2x, decode and encode within 3x.
paste <(echo "$native") <(echo "$wasm") | awk '
    BEGIN { budget["slap"] = 2; budget["compose"] = 2; budget["decode"] = 3; budget["encode"] = 3 }
    { r = $4 / $2; printf "  %-8s native %9.2f  wasm %9.2f  ratio %5.2fx (budget %dx)%s\n",
      $1, $2, $4, r, budget[$1], r <= budget[$1] ? "" : "  OVER" }'
node_packages || fail "the page tests' npm packages (npm ci of tests/web/package-lock.json)"
timeout 300 node tests/web/click_bench.js build/web/app/web/site || fail "the click measurement"
site=build/web/app/web/site
html=$(stat -c %s build/web/app/web/hoppelmaru.html)
packed=$(cat "$site/hoppel_core.wasm" "$site/hoppel_core.js" "$site/page.js" | gzip -9n | wc -c)
echo "hoppelmaru.html: $html bytes (budget 1,048,576)"
echo "static folder's wasm and JavaScript: $(cat "$site/hoppel_core.wasm" "$site/hoppel_core.js" "$site/page.js" | wc -c) bytes, $packed gzipped (budget 122,880)"
