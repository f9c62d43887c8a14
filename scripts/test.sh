#!/usr/bin/env bash
# The whole test run: installs what is missing, builds both presets, runs every
# test of both (the Windows ones under wine in a virtual display) and a bounded
# fuzz run. Fails when anything fails.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
start=$SECONDS
step() { printf '\n== %s (%ds)\n' "$*" $((SECONDS - start)); }

step setup
scripts/setup.sh

step "native build and tests (AddressSanitizer, UndefinedBehaviorSanitizer)"
cmake --preset native >/dev/null
cmake --build --preset native
ctest --preset native

step "win32 build and tests under wine"
cmake --preset win32 >/dev/null
cmake --build --preset win32
scripts/wine-prefix.sh
# One virtual display for every Windows test of the run.
xvfb-run -a -s '-screen 0 1024x768x24' ctest --preset win32

if [ -f tests/fuzz/CMakeLists.txt ]; then
    step "fuzzing the BMP decoder"
    cmake --preset fuzz >/dev/null
    cmake --build --preset fuzz
    scripts/fuzz.sh "${HOPPEL_FUZZ_SECONDS:-60}"
fi

step "all tests passed"
