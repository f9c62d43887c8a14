#!/usr/bin/env bash
# The browser build's tests: the unit tests of stream/, image/ and app/ as
# wasm under Node, then the page itself in headless Chromium. Any failure ends
# it with one line naming what failed.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
export NODE_PATH=/usr/share/nodejs
fail() { echo "web-test: FAILED: $*" >&2; exit 1; }

cmake --preset web >/dev/null || fail "web configure"
cmake --build --preset web || fail "web build"
ctest --preset web || fail "the wasm unit tests under Node"
