#!/usr/bin/env bash
# The browser build's tests: the unit tests of stream/, image/ and app/ as
# wasm under Node, then the page itself in headless Chromium. Any failure ends
# it with one line naming what failed.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
fail() { echo "web-test: FAILED: $*" >&2; exit 1; }

cmake --preset web >/dev/null || fail "web configure"
cmake --build --preset web || fail "web build"
ctest --preset web || fail "the wasm unit tests under Node"

# The expected pictures come from the native logic on the same seeded steps.
[ -f build/native/build.ninja ] || cmake --preset native >/dev/null || fail "native configure"
cmake --build --preset native --target hoppel_scripted_run >/dev/null || fail "the native scripted run"
timeout 900 /usr/bin/python3 tests/web/page_test.py build/web/app/web/site build/web/app/web/hoppelmaru.html \
    resources build/native/tests/app/hoppel_scripted_run tests/app/scripted_run.txt build/web/page-test ||
    fail "the page in headless Chromium (tests/web/page_test.py; shots in build/web/page-test)"
cp build/web/page-test/page-dpr2.png build/hoppelmaru-web-dpr2.png
